#include "dunlist/bin.h"

namespace dunlist {

std::string ReadConfigValue(const std::string& name, bool aliasMode)
{
    return ReadMachineString(aliasMode ? AliasKeyVavuz : HostKey, name,
                             "Unable to read the '" + name + "' value from the registry at this time." +
                                     ContactForAssistanceText);
}

void LookupComboKeyFilter(TvxDBCustomLookupCombo* combo, Word& key)
{
    ::LookupComboKeyFilter(combo, key, false);
}

void ColorLookupCombos(TComponent* owner)
{
    ::ColorLookupCombos(owner, false);
}

}  // namespace dunlist
