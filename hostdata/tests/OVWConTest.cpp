// Configuration values against a scratch machine registry.
#include <gtest/gtest.h>

#include "hostdata/OVWCon.h"
#include "hostdata/tests/LookupComboRoutinesFixture.h"
#include "tools/mkdemo/MachineRegistryOverride.h"
#include "vcl/StdCtrls.h"
#include "vcl/TestHelpers.h"

namespace {

const std::string Contact = "Please contact KDV, Inc. for assistance.";

class ConfigValues : public ::testing::Test {
protected:
    void SetUp() override
    {
        registry_.SetString(AliasKeyVavuz, "PhysicalName", "C:\\DATA");
        registry_.SetString(AliasKeyOvwmas, "PhysicalName", "R:\\REMOTE");
        registry_.SetString(AliasKeyOvmngr, "PhysicalName", "M:\\CASEMGR");
        registry_.SetString(RemoteKey, "AuditPrinter", "Audit");
        registry_.SetString(RemoteKey, "BatchPrinter", "Batch");
        registry_.SetString(RemoteKey, "BatchPrintOptions", "Opts");
    }

    std::vector<std::string> ShownTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& box : dialogs_.Shown) texts.push_back(box.Text);
        return texts;
    }

    TMachineRegistryOverride registry_;
    TScriptedDialogs dialogs_;
};

struct ReadCase {
    std::string Name;
    bool AliasMode;
    std::string Expected;
};

TEST_F(ConfigValues, NamesChooseKeyAndValueByPrefix)
{
    registry_.SetString(HostKey, "EntryMode", "1");
    registry_.SetString(HostKey, "PRINTEROPTS", "host value");
    const ReadCase cases[] = {
        {"PhysicalName", true, "C:\\DATA"},
        {"REMOTEXYZ", true, "R:\\REMOTE"},
        {"CMDATA", true, "M:\\CASEMGR"},
        {"Description", true, ""},  // present key, missing value: empty and quiet
        {"EntryMode", false, "1"},
        {"REMOTEXYZ", false, "Audit"},
        {"BPRINTER", false, "Batch"},
        {"APRINTER", false, "Audit"},
        {"PRINTEROPTS", false, "Opts"},
        {"remote", false, ""},  // prefixes are case-sensitive: the Host value "remote", missing
    };
    for (const ReadCase& c : cases) {
        EXPECT_EQ(ReadConfigValue(c.Name, c.AliasMode), c.Expected) << c.Name << (c.AliasMode ? " alias" : " host");
    }
    EXPECT_TRUE(dialogs_.Shown.empty());
}

TEST_F(ConfigValues, MissingKeyOrUnreadableValueGivesEmptyAndMessage)
{
    EXPECT_EQ(ReadConfigValue("EntryMode", false), "");
    registry_.SetDword(HostKey, "NumericOrder", 1);
    EXPECT_EQ(ReadConfigValue("NumericOrder", false), "");
    EXPECT_EQ(ShownTexts(),
              (std::vector<std::string>{
                      "Not able to read the 'EntryMode' value from the registry at this time." + Contact,
                      "Not able to read the 'NumericOrder' value from the registry at this time." + Contact}));
    EXPECT_EQ(dialogs_.Shown[0].Type, mtInformation);
}

TEST_F(ConfigValues, MissingAliasKeyNamesTheValueRead)
{
    EXPECT_EQ(ReadConfigValue("CMDATA", true), "M:\\CASEMGR");
    TMachineRegistryOverride empty;  // a second, empty machine root
    EXPECT_EQ(ReadConfigValue("REMOTE", true), "");
    ASSERT_EQ(ShownTexts().size(), 1u);
    EXPECT_EQ(ShownTexts()[0], "Not able to read the 'PhysicalName' value from the registry at this time." + Contact);
}

struct WriteCase {
    std::string Name;
    std::string Key;
    std::string ValueName;
};

TEST_F(ConfigValues, WritesGoToTheValueTheNameSelectsAndReportSuccess)
{
    registry_.CreateKey(HostKey);
    const WriteCase cases[] = {
        {"EntryMode", HostKey, "EntryMode"},
        {"APRINTER", RemoteKey, "AuditPrinter"},
        {"BPRINTER", RemoteKey, "BatchPrinter"},
        {"PPRINTER", RemoteKey, "BatchPrintOptions"},
        {"PRINTEROPTS", HostKey, "PRINTEROPTS"},  // "PRINTER" at the first character: a Host value
        {"REMOTEPhysicalName", AliasKeyVavuz, "PhysicalName"},
    };
    for (const WriteCase& c : cases) {
        EXPECT_TRUE(WriteConfigValue(c.Name, "v-" + c.Name)) << c.Name;
        EXPECT_EQ(registry_.ReadString(c.Key, c.ValueName), "v-" + c.Name) << c.Name;
    }
    EXPECT_EQ(registry_.ReadString(AliasKeyVavuz, "Descripton"), "REMOTE Mode");
    EXPECT_TRUE(dialogs_.Shown.empty());
}

TEST_F(ConfigValues, WriteIntoMissingKeyFailsWithoutCreatingIt)
{
    EXPECT_FALSE(WriteConfigValue("NumericOrder", "1"));
    EXPECT_EQ(registry_.ReadString(HostKey, "NumericOrder"), "<missing>");
    TMachineRegistryOverride empty;
    EXPECT_FALSE(WriteConfigValue("APRINTER", "x"));
    EXPECT_FALSE(WriteConfigValue("REMOTEPhysicalName", "x"));
    EXPECT_EQ(empty.ReadString(RemoteKey, "AuditPrinter"), "<missing>");
    EXPECT_EQ(ShownTexts(),
              (std::vector<std::string>{"Unable to reset the 'NumericOrder' value at this time." + Contact,
                                        "Unable to reset the remote default printer value at this time." + Contact,
                                        "Unable to reset the 'REMOTEPhysicalName' value at this time." + Contact}));
}

TEST(FormFrameStyle, ClearsTheFrameBitsAndKeepsTheOthers)
{
    TCreateParams params;
    params.Style = WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_SYSMENU;
    StripFormFrameStyle(params);
    EXPECT_EQ(params.Style, DWORD(WS_CHILD | WS_VISIBLE | WS_MAXIMIZEBOX | WS_SYSMENU));
}

}  // namespace

namespace {

// The application's main form (freed by the application) with a named, a watched and an unnamed edit; the cursor
// is put on one of them.
class HoverOverControls : public ::testing::Test {
protected:
    void SetUp() override
    {
        form_ = Application->CreateForm<TForm>();
        form_->SetBounds(60, 60, 400, 200);
        named_ = AddEdit("CaseSuffix", 10);
        watched_ = AddEdit("ClientCode", 50);
        unnamed_ = AddEdit("", 90);
        form_->Show();
        PumpMessages();
        ASSERT_EQ(Application->MainForm(), form_);
    }
    void TearDown() override
    {
        HoverWatchedControl = nullptr;
        form_->Hide();
        PumpMessages(20);
    }

    TEdit* AddEdit(const std::string& name, int top)
    {
        auto* edit = new TEdit(form_);
        edit->SetName(name);
        edit->SetParent(form_);
        edit->SetBounds(10, top, 150, 22);
        return edit;
    }

    // Puts the cursor on the control, calls the routine and tells whether the hover message arrived.
    bool HoverPostedOver(TWinControl* control)
    {
        RECT rect{};
        GetWindowRect(control->Handle(), &rect);
        SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        PostHoverToMainForm();
        MSG message{};
        return PeekMessageA(&message, form_->Handle(), HoverMessage, HoverMessage, PM_REMOVE) != 0;
    }

    TForm* form_ = nullptr;
    TEdit* named_ = nullptr;
    TEdit* watched_ = nullptr;
    TEdit* unnamed_ = nullptr;
};

TEST_F(HoverOverControls, PostedOnlyOverAnotherNamedControlWhileOneIsWatched)
{
    EXPECT_FALSE(HoverPostedOver(named_)) << "no watched control";
    HoverWatchedControl = watched_;
    EXPECT_TRUE(HoverPostedOver(named_));
    EXPECT_FALSE(HoverPostedOver(watched_));
    EXPECT_FALSE(HoverPostedOver(unnamed_));
}

}  // namespace

namespace {

TEST_F(LookupComboRoutines, SearchSwitchStoresTheThreeProperties)
{
    SetLookupComboSearch(first_, true);
    EXPECT_TRUE(first_->AutoDropDown());
    EXPECT_TRUE(first_->ShowMatchText());
    EXPECT_EQ(first_->SeqSearchOptions(), TvxSeqSearchOptions{ssoEnabled});
    SetLookupComboSearch(first_, false);
    EXPECT_FALSE(first_->AutoDropDown());
    EXPECT_FALSE(first_->ShowMatchText());
    EXPECT_TRUE(first_->SeqSearchOptions().Empty());
}

TEST_F(LookupComboRoutines, EditingKeysAndKeyZeroOnABlankTextSwitchTheSearchOff)
{
    const TKeyFilter filter = [](TvxDBCustomLookupCombo* combo, Word& key) { LookupComboKeyFilter(combo, key); };
    struct Case {
        Word Key;
        std::string Text;
        bool Off;
    };
    for (const Case& c : std::vector<Case>{{VK_BACK, "AB", true}, {VK_DELETE, "AB", true}, {VK_LEFT, "AB", true},
                                           {VK_RIGHT, "AB", true}, {VK_HOME, "AB", true}, {VK_END, "AB", true},
                                           {0, "   ", true}, {0, "", true}, {0, " A ", false}, {'A', "", false},
                                           {VK_UP, "", false}, {VK_TAB, "AB", false}})
        EXPECT_EQ(SwitchesSearchOff(filter, c.Key, c.Text), c.Off) << "key " << c.Key << " text '" << c.Text << "'";
}

TEST_F(LookupComboRoutines, ColoursEveryLookupComboOfTheOwnerAndRepaintsIt)
{
    EXPECT_TRUE(ColoursAndRepaints([](TComponent* owner) { ColorLookupCombos(owner); }));
}

}  // namespace
