// Sends the process's HKEY_LOCAL_MACHINE to a scratch key below HKEY_CURRENT_USER for the object's lifetime, so
// tests write machine configuration values without touching the machine's.
#pragma once

#include <string>

#include "rtl/WinApi.h"

class TMachineRegistryOverride {
public:
    TMachineRegistryOverride();
    ~TMachineRegistryOverride();
    TMachineRegistryOverride(const TMachineRegistryOverride&) = delete;
    TMachineRegistryOverride& operator=(const TMachineRegistryOverride&) = delete;

    // Creates key (a path below the machine root, "\Software\...") and sets a string value when name is not empty.
    void SetString(const std::string& key, const std::string& name, const std::string& value);
    void SetDword(const std::string& key, const std::string& name, DWORD value);
    void CreateKey(const std::string& key);
    // The string value, or "<missing>".
    std::string ReadString(const std::string& key, const std::string& name) const;

private:
    std::string scratchPath_;
    HKEY scratch_ = nullptr;
};
