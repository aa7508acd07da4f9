// The registry class through which the engine reads its configuration: keys are opened with its own access mask.
#pragma once

#include <string>

#include "rtl/Registry.h"

class TRightsRegistry : public TRegistry {
    DUN_CLASS(TRightsRegistry, TRegistry)
public:
    TRightsRegistry() : TRegistry(KEY_ALL_ACCESS) {}

    // A key is created (when canCreate and the key is not empty) with full access, otherwise opened with Access.
    bool OpenKey(const std::string& key, bool canCreate) override;
};
