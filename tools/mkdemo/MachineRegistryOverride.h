// Sends the process's HKEY_LOCAL_MACHINE to a scratch key below HKEY_CURRENT_USER for the object's lifetime, so
// tests write machine configuration values without touching the machine's. The machine keys printing reads stay
// visible through links in the scratch key (System: the printers, drivers and ports; Software\Microsoft\Windows
// NT\CurrentVersion: the default printer's settings), so printing still finds the system's printers; values
// written below those two are the machine's own.
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
