// The text that ends the note viewer's date and file messages.
#pragma once

#include "hostdata/OVWCon.h"

namespace dunlist {

using ::CallForAssistanceSuffix;

}  // namespace dunlist
