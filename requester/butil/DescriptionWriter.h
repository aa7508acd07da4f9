#pragma once
// Writes a FileDescription in the description-file format, so that a stat can be read back by create.
#include <string>

#include "requester/butil/FileDescription.h"

namespace butil {

std::string FormatDescription(const FileDescription& description);

}  // namespace butil
