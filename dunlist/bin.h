// The note viewer's configuration values: alias and host settings read from the machine's registry, the
// contact line that ends its messages, and the frame style of its lookup forms.
#pragma once

#include <string>

#include "hostdata/OVWCon.h"

namespace dunlist {

using ::ContactForAssistanceText;
using ::StripFormFrameStyle;
using ::SetLookupComboSearch;

// As the tracking program's, except that the key 0 on a blank text does nothing.
void LookupComboKeyFilter(TvxDBCustomLookupCombo* combo, Word& key);
// As the tracking program's, without repainting the combos.
void ColorLookupCombos(TComponent* owner);

// The string value name under the VAVUZ alias key (aliasMode) or the host key. A key that cannot be opened or a
// value that cannot be read shows a message and reads as ""; a missing value reads as "" without one.
std::string ReadConfigValue(const std::string& name, bool aliasMode);

}  // namespace dunlist
