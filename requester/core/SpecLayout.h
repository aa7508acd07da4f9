#pragma once
// The create/stat layouts: file specification, key-segment specifications and collating sequences.
#include "requester/core/Schema.h"

#include <cstdint>
#include <string>

namespace reqcore {

// Key numbers run from 0 to KeyNumberLimit - 1.
constexpr uint8_t KeyNumberLimit = 119;

// Reads the segments of one key starting at specs (count specifications available); status 0 or the refusal.
int16_t ParseKey(const uint8_t* specs, size_t available, const Schema& schema, KeyDef& key, size_t& used);
// Checks a key against the record layout; 0 or the refusal.
int16_t ValidateKey(const KeyDef& key, const Schema& schema);
// Reads a create request (file specification, key specifications, collating sequences) into a schema.
int16_t ParseCreate(const uint8_t* data, size_t length, Schema& schema);
// The stat reply: file specification with the record count, key specifications, collating sequences.
std::string BuildStat(const Schema& schema, uint32_t recordCount);

}  // namespace reqcore
