#include "tools/mkdemo/DemoRegistry.h"

#include <utility>

#include "rtl/Registry.h"

namespace {

const char* const AliasKey = "\\Software\\Borea\\Btrieve\\Aliases\\VAVUZ";
const char* const HostKey = "\\Software\\KDV\\Ordavane\\Host";

void OpenOrFail(TRegistry& registry, const std::string& key)
{
    if (!registry.OpenKey(key, true)) throw ERegistryException("cannot open or create HKLM" + key);
}

}  // namespace

void WriteDemoRegistry(const std::string& dataDirectory)
{
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    OpenOrFail(registry, AliasKey);
    registry.WriteString("PhysicalName", dataDirectory);
    registry.WriteString("Description", "Demo data");
    OpenOrFail(registry, HostKey);
    const std::pair<const char*, const char*> settings[] = {
        {"EntryMode", "C"}, {"NumericOrder", "Y"}, {"HideClosedCasesInAcctStat", "N"},
        {"HideInactiveClientsInAcctStat", "N"}};
    for (const auto& [name, value] : settings) {
        if (!registry.ValueExists(name)) registry.WriteString(name, value);
    }
}
