#include "requester/butil/SpecLayout.h"

#include <algorithm>
#include <string>

#include "requester/core/BtrCall.h"

namespace butil {

namespace {

namespace KeyFlag = reqcore::KeyFlag;
namespace FileFlag = reqcore::FileFlag;

void Put16(std::vector<uint8_t>& bytes, size_t offset, uint16_t value) {
  bytes[offset] = static_cast<uint8_t>(value);
  bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}

uint16_t Get16(const uint8_t* bytes) {
  return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

uint32_t Get32(const uint8_t* bytes) {
  return static_cast<uint32_t>(Get16(bytes)) | static_cast<uint32_t>(Get16(bytes + 2)) << 16;
}

std::vector<KeyDescription> KeysByNumber(const FileDescription& description) {
  std::vector<KeyDescription> keys = description.keys;
  std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.number < b.number; });
  return keys;
}

bool NumbersInSequence(const std::vector<KeyDescription>& keys) {
  for (size_t index = 0; index < keys.size(); ++index) {
    if (keys[index].number != static_cast<int>(index)) return false;
  }
  return true;
}

uint16_t SegmentFlags(const KeyDescription& key, const SegmentDescription& segment, bool last) {
  uint16_t flags = KeyFlag::ExtendedType;
  if (key.duplicates) flags |= KeyFlag::Duplicates;
  if (key.modifiable) flags |= KeyFlag::Modifiable;
  if (!last) flags |= KeyFlag::Segmented;
  if (segment.collating >= 0) flags |= KeyFlag::AltCollating;
  if (segment.descending) flags |= KeyFlag::Descending;
  if (segment.caseInsensitive) flags |= KeyFlag::NoCase;
  return flags;
}

void AppendSegment(std::vector<uint8_t>& bytes, const KeyDescription& key, size_t index) {
  const SegmentDescription& segment = key.segments[index];
  const size_t offset = bytes.size();
  bytes.resize(offset + reqcore::KeySpecSize);
  Put16(bytes, offset, segment.position);
  Put16(bytes, offset + 2, segment.length);
  Put16(bytes, offset + 4, SegmentFlags(key, segment, index + 1 == key.segments.size()));
  bytes[offset + 10] = segment.type;
  bytes[offset + 14] = static_cast<uint8_t>(key.number);
  bytes[offset + 15] = static_cast<uint8_t>(segment.collating >= 0 ? segment.collating : 0);
}

void AppendCollating(std::vector<uint8_t>& bytes, const CollatingSequence& sequence) {
  bytes.push_back(reqcore::CollatingSignature);
  std::string name = sequence.name;
  name.resize(8, ' ');
  bytes.insert(bytes.end(), name.begin(), name.end());
  bytes.insert(bytes.end(), sequence.table.begin(), sequence.table.end());
}

// Reads the segments of one key from the entry at index; returns the index after its last segment.
size_t DecodeKey(const uint8_t* segments, size_t index, size_t segmentCount, KeyDescription& key) {
  key.number = segments[index * reqcore::KeySpecSize + 14];
  for (; index < segmentCount; ++index) {
    const uint8_t* entry = segments + index * reqcore::KeySpecSize;
    const uint16_t flags = Get16(entry + 4);
    key.duplicates = key.duplicates || (flags & KeyFlag::Duplicates);
    key.modifiable = key.modifiable || (flags & KeyFlag::Modifiable);
    key.supplemental = key.supplemental || (flags & KeyFlag::Supplemental);
    SegmentDescription segment;
    segment.position = Get16(entry);
    segment.length = Get16(entry + 2);
    segment.type = entry[10];
    segment.descending = flags & KeyFlag::Descending;
    segment.caseInsensitive = flags & KeyFlag::NoCase;
    segment.collating = (flags & KeyFlag::AltCollating) ? entry[15] : -1;
    key.segments.push_back(segment);
    if (!(flags & KeyFlag::Segmented)) return index + 1;
  }
  return index;
}

CollatingSequence DecodeCollating(const uint8_t* entry, size_t number) {
  CollatingSequence sequence;
  sequence.name.assign(reinterpret_cast<const char*>(entry + 1), 8);
  sequence.name.erase(std::min(sequence.name.find('\0'), sequence.name.find_last_not_of(' ') + 1));
  if (sequence.name.empty()) sequence.name = "acs" + std::to_string(number);
  std::copy_n(entry + 9, sequence.table.size(), sequence.table.begin());
  return sequence;
}

}  // namespace

std::vector<uint8_t> EncodeCreateSpec(const FileDescription& description) {
  const std::vector<KeyDescription> keys = KeysByNumber(description);
  std::vector<uint8_t> bytes(reqcore::FileSpecSize);
  Put16(bytes, 0, description.recordLength);
  Put16(bytes, 2, description.pageSize);
  Put16(bytes, 4, static_cast<uint16_t>(keys.size()));
  uint16_t fileFlags = description.variableLength ? FileFlag::VariableLength : 0;
  if (!NumbersInSequence(keys)) fileFlags |= FileFlag::KeyNumbersGiven;
  Put16(bytes, 10, fileFlags);
  for (const KeyDescription& key : keys) {
    for (size_t index = 0; index < key.segments.size(); ++index) AppendSegment(bytes, key, index);
  }
  for (const CollatingSequence& sequence : description.collating) AppendCollating(bytes, sequence);
  return bytes;
}

FileDescription DecodeStatReply(const uint8_t* reply, size_t length) {
  FileDescription description;
  if (length < reqcore::FileSpecSize) return description;
  description.recordLength = Get16(reply);
  description.pageSize = Get16(reply + 2);
  description.recordCount = Get32(reply + 6);
  description.variableLength = Get16(reply + 10) & FileFlag::VariableLength;
  const uint8_t* segments = reply + reqcore::FileSpecSize;
  const size_t segmentCount = (length - reqcore::FileSpecSize) / reqcore::KeySpecSize;
  const size_t keyCount = Get16(reply + 4);
  size_t index = 0;
  while (description.keys.size() < keyCount && index < segmentCount) {
    KeyDescription key;
    index = DecodeKey(segments, index, segmentCount, key);
    description.keys.push_back(key);
  }
  const uint8_t* collating = segments + index * reqcore::KeySpecSize;
  const size_t collatingCount = (reply + length - collating) / reqcore::CollatingSpecSize;
  for (size_t number = 0; number < collatingCount; ++number) {
    description.collating.push_back(DecodeCollating(collating + number * reqcore::CollatingSpecSize, number));
  }
  return description;
}

}  // namespace butil
