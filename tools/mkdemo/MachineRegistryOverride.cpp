#include "tools/mkdemo/MachineRegistryOverride.h"

#include <stdexcept>

namespace {

int overrides = 0;

std::string RelativePath(const std::string& key)
{
    return !key.empty() && key[0] == '\\' ? key.substr(1) : key;
}

}  // namespace

TMachineRegistryOverride::TMachineRegistryOverride()
    : scratchPath_("Software\\DunTests\\Machine" + std::to_string(GetCurrentProcessId()) + "-" +
                   std::to_string(++overrides))
{
    RegDeleteTreeA(HKEY_CURRENT_USER, scratchPath_.c_str());
    if (RegCreateKeyExA(HKEY_CURRENT_USER, scratchPath_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &scratch_,
                        nullptr) != ERROR_SUCCESS ||
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, scratch_) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot redirect HKEY_LOCAL_MACHINE");
    }
}

TMachineRegistryOverride::~TMachineRegistryOverride()
{
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegCloseKey(scratch_);
    RegDeleteTreeA(HKEY_CURRENT_USER, scratchPath_.c_str());
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
