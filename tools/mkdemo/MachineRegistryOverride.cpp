#include "tools/mkdemo/MachineRegistryOverride.h"

#include <cwchar>
#include <stdexcept>
#include <string>

namespace {

int overrides = 0;

// The machine keys printing reads, seen through links in the scratch key: the printers, their drivers and ports
// (System) and the default printer's settings (CurrentVersion).
struct TMachineLink {
    const wchar_t* Parent;
    const wchar_t* Name;
    const wchar_t* Target;
};
const TMachineLink machineLinks[] = {
    {L"", L"System", L"\\Registry\\Machine\\System"},
    {L"Software\\Microsoft\\Windows NT", L"CurrentVersion",
     L"\\Registry\\Machine\\Software\\Microsoft\\Windows NT\\CurrentVersion"},
};

std::string RelativePath(const std::string& key)
{
    return !key.empty() && key[0] == '\\' ? key.substr(1) : key;
}

bool MakeLink(HKEY scratch, const TMachineLink& link)
{
    HKEY parent = nullptr, made = nullptr;
    if (RegCreateKeyExW(scratch, link.Parent, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &parent, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    LONG result = RegCreateKeyExW(parent, link.Name, 0, nullptr, REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &made, nullptr);
    RegCloseKey(parent);
    if (result != ERROR_SUCCESS) return false;
    result = RegSetValueExW(made, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(link.Target),
                            DWORD(wcslen(link.Target) * sizeof(wchar_t)));
    RegCloseKey(made);
    return result == ERROR_SUCCESS;
}

// Deletes the link itself, never the machine's key it leads to; false when the link is still there.
bool RemoveLink(HKEY scratch, const TMachineLink& link)
{
    const std::wstring path = *link.Parent ? std::wstring(link.Parent) + L"\\" + link.Name : link.Name;
    HKEY opened = nullptr;
    const LONG result = RegOpenKeyExW(scratch, path.c_str(), REG_OPTION_OPEN_LINK, DELETE, &opened);
    if (result == ERROR_FILE_NOT_FOUND) return true;
    if (result != ERROR_SUCCESS) return false;
    using TNtDeleteKey = LONG(WINAPI*)(HANDLE);
    const auto deleteKey = reinterpret_cast<TNtDeleteKey>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDeleteKey")));
    const bool deleted = deleteKey && deleteKey(opened) == 0;
    RegCloseKey(opened);
    return deleted;
}

bool LinkMachineKeys(HKEY scratch)
{
    for (const TMachineLink& link : machineLinks)
        if (!MakeLink(scratch, link)) return false;
    return true;
}

bool UnlinkMachineKeys(HKEY scratch)
{
    bool all = true;
    for (const TMachineLink& link : machineLinks) all = RemoveLink(scratch, link) && all;
    return all;
}

// Deletes a scratch key with what tests wrote in it; the machine's keys behind its links are left alone.
void RemoveScratch(const std::string& path)
{
    HKEY scratch = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &scratch) != ERROR_SUCCESS) return;
    const bool unlinked = UnlinkMachineKeys(scratch);
    RegCloseKey(scratch);
    if (unlinked) RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
}

}  // namespace

TMachineRegistryOverride::TMachineRegistryOverride()
    : scratchPath_("Software\\DunTests\\Machine" + std::to_string(GetCurrentProcessId()) + "-" +
                   std::to_string(++overrides))
{
    RemoveScratch(scratchPath_);
    if (RegCreateKeyExA(HKEY_CURRENT_USER, scratchPath_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &scratch_,
                        nullptr) != ERROR_SUCCESS ||
        !LinkMachineKeys(scratch_) || RegOverridePredefKey(HKEY_LOCAL_MACHINE, scratch_) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot redirect HKEY_LOCAL_MACHINE");
    }
}

TMachineRegistryOverride::~TMachineRegistryOverride()
{
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegCloseKey(scratch_);
    RemoveScratch(scratchPath_);
}

void TMachineRegistryOverride::CreateKey(const std::string& key)
{
    HKEY opened = nullptr;
    if (RegCreateKeyExA(scratch_, RelativePath(key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened,
                        nullptr) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot create " + key);
    }
    RegCloseKey(opened);
}

void TMachineRegistryOverride::SetString(const std::string& key, const std::string& name, const std::string& value)
{
    CreateKey(key);
    RegSetKeyValueA(scratch_, RelativePath(key).c_str(), name.c_str(), REG_SZ, value.c_str(), DWORD(value.size() + 1));
}

void TMachineRegistryOverride::SetDword(const std::string& key, const std::string& name, DWORD value)
{
    CreateKey(key);
    RegSetKeyValueA(scratch_, RelativePath(key).c_str(), name.c_str(), REG_DWORD, &value, sizeof(value));
}

std::string TMachineRegistryOverride::ReadString(const std::string& key, const std::string& name) const
{
    char data[1024] = {};
    DWORD size = sizeof(data) - 1;
    if (RegGetValueA(scratch_, RelativePath(key).c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, data, &size) !=
        ERROR_SUCCESS) {
        return "<missing>";
    }
    return data;
}
