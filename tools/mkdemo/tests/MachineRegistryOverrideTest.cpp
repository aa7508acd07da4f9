// The machine registry override: machine values written under it stay in its scratch key, and the machine's
// printers are found and print while it is in force and after it ends.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "rtl/Registry.h"
#include "tools/mkdemo/MachineRegistryOverride.h"
#include "vcl/Printers.h"

namespace {

const char* const TestKey = "\\Software\\DunTests\\OverrideProbe";

bool MachineKeyExists(const char* key)
{
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    return registry.KeyExists(key);
}

// A fresh printer object prints one page on the machine's default printer.
void PrintAPage(const std::string& title)
{
    TPrinter printer;
    ASSERT_FALSE(printer.Printers().empty());
    ASSERT_GE(printer.PrinterIndex(), 0);
    printer.SetOrientation(poLandscape);
    EXPECT_EQ(printer.Orientation(), poLandscape);
    printer.SetTitle(title);
    printer.BeginDoc();
    printer.Canvas()->TextOut(100, 100, title);
    printer.EndDoc();
    EXPECT_FALSE(printer.Printing());
}

TEST(MachineRegistryOverride, KeepsWritesInItsScratchKeyAndTheMachinesPrintersInView)
{
    {
        TMachineRegistryOverride machine;
        machine.SetString(TestKey, "Value", "scratch");
        EXPECT_EQ(machine.ReadString(TestKey, "Value"), "scratch");
        EXPECT_TRUE(MachineKeyExists(TestKey));
        EXPECT_TRUE(MachineKeyExists("\\System\\CurrentControlSet\\Control\\Print\\Printers"));
        PrintAPage("under the override");
        {
            TMachineRegistryOverride nested;
            EXPECT_FALSE(MachineKeyExists(TestKey));
            PrintAPage("under a second override");
        }
    }
    EXPECT_FALSE(MachineKeyExists(TestKey));
    EXPECT_TRUE(MachineKeyExists("\\System\\CurrentControlSet\\Control\\Print\\Printers"));
    PrintAPage("after the override");
}

}  // namespace
