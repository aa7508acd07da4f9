#pragma once
// The create/stat byte layout of a FileDescription: file specification, key-segment specifications, then the
// alternate collating sequences.
#include <cstdint>
#include <vector>

#include "requester/butil/FileDescription.h"

namespace butil {

// The data buffer of a create call: keys in ascending number, key numbers given when they are not 0, 1, 2, ...
std::vector<uint8_t> EncodeCreateSpec(const FileDescription& description);

// The description in a stat reply of the given length.
FileDescription DecodeStatReply(const uint8_t* reply, size_t length);

}  // namespace butil
