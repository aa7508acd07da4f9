// The alias VAVUZ written in the machine's own registry for a test's length.
#pragma once

#include <stdexcept>
#include <string>

#include "rtl/Registry.h"

const char* const AliasKey = "\\Software\\Borea\\Btrieve\\Aliases\\VAVUZ";

// Writes the alias's data directory in the machine's registry (the one the child reads) and puts back what was
// there, or removes it, at the end.
class TAliasForTheRun {
public:
    explicit TAliasForTheRun(const std::string& dataDirectory)
    {
        TRegistry registry;
        registry.SetRootKey(HKEY_LOCAL_MACHINE);
        keyExisted_ = registry.KeyExists(AliasKey);
        if (!registry.OpenKey(AliasKey, true)) throw std::runtime_error("cannot open the alias key");
        valueExisted_ = registry.ValueExists("PhysicalName");
        if (valueExisted_) previous_ = registry.ReadString("PhysicalName");
        registry.WriteString("PhysicalName", dataDirectory);
    }
    ~TAliasForTheRun()
    {
        TRegistry registry;
        registry.SetRootKey(HKEY_LOCAL_MACHINE);
        if (!keyExisted_) {
            registry.DeleteKey(AliasKey);
            return;
        }
        if (!registry.OpenKey(AliasKey, false)) return;
        if (valueExisted_) {
            registry.WriteString("PhysicalName", previous_);
        } else {
            registry.DeleteValue("PhysicalName");
        }
    }

private:
    bool keyExisted_ = false;
    bool valueExisted_ = false;
    std::string previous_;
};
