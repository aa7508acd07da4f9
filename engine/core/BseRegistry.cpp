#include "engine/core/BseRegistry.h"

bool TRightsRegistry::OpenKey(const std::string& key, bool canCreate)
{
    const bool relative = IsRelative(key);
    const std::string path = relative ? key : key.substr(1);
    HKEY opened = nullptr;
    const LONG result = canCreate && !path.empty()
            ? RegCreateKeyExA(GetBaseKey(relative), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              View32(KEY_ALL_ACCESS), nullptr, &opened, nullptr)
            : RegOpenKeyExA(GetBaseKey(relative), path.c_str(), 0, View32(Access()), &opened);
    if (result != ERROR_SUCCESS) return false;
    ChangeKey(opened, PathAfterOpen(path, relative));
    return true;
}
