#include "requester/core/SpecLayout.h"

#include "requester/core/BtrCall.h"
#include "requester/core/Statuses.h"

#include <cstring>
#include <set>

namespace reqcore {

namespace {

constexpr int MaxSegments = 119;
constexpr int MaxKeyLength = 255;

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

void Put16(std::string& out, uint16_t v) {
  out.push_back(static_cast<char>(v));
  out.push_back(static_cast<char>(v >> 8));
}

bool LengthFits(uint8_t type, uint16_t length) {
  switch (type) {
    case KeyType::Integer:
    case KeyType::Unsigned:
      return length == 1 || length == 2 || length == 4 || length == 8;
    case KeyType::Float:
      return length == 4 || length == 8;
    case KeyType::Date:
    case KeyType::Time:
      return length == 4;
    case KeyType::AutoIncrement:
      return length == 2 || length == 4;
    case KeyType::Logical:
      return length == 1 || length == 2;
    case KeyType::LString:
      return length >= 2;
    case KeyType::String:
    case KeyType::Decimal:
    case KeyType::Money:
    case KeyType::ZString:
      return length >= 1;
    default:
      return false;
  }
}

bool KnownType(uint8_t type) {
  switch (type) {
    case KeyType::String: case KeyType::Integer: case KeyType::Float: case KeyType::Date: case KeyType::Time:
    case KeyType::Decimal: case KeyType::Money: case KeyType::Logical: case KeyType::LString: case KeyType::ZString:
    case KeyType::Unsigned: case KeyType::AutoIncrement:
      return true;
    default:
      return false;
  }
}

int16_t ValidateSegment(const Segment& s, const Schema& schema) {
  if (s.flags & KeyFlag::ExtendedType && !KnownType(s.type)) return Status::InvalidKeyType;
  if (s.length == 0 || !LengthFits(s.type, s.length)) return Status::InvalidKeyLength;
  if (s.offset + s.length > schema.recordLength) return Status::InvalidKeyPosition;
  if ((s.flags & KeyFlag::AltCollating) && s.collating >= schema.collating.size())
    return Status::InvalidCollatingSequence;
  return Status::Ok;
}

}  // namespace

int16_t ParseKey(const uint8_t* specs, size_t available, const Schema& schema, KeyDef& key, size_t& used) {
  key.segments.clear();
  for (used = 0; used < available;) {
    const uint8_t* p = specs + used * KeySpecSize;
    ++used;
    uint16_t position = Get16(p);
    if (position == 0) return Status::InvalidKeyPosition;
    Segment s;
    s.offset = position - 1;
    s.length = Get16(p + 2);
    uint16_t flags = Get16(p + 4);
    s.flags = flags & ~(KeyFlag::Segmented | KeyFlag::Supplemental);
    s.type = (flags & KeyFlag::ExtendedType) ? p[10] : KeyType::String;
    s.nullValue = p[11];
    s.collating = p[15];
    if (key.segments.empty()) key.number = p[14];
    key.segments.push_back(s);
    if (!(flags & KeyFlag::Segmented)) return Status::Ok;
  }
  return Status::InvalidKeyCount;
}

int16_t ValidateKey(const KeyDef& key, const Schema& schema) {
  for (const auto& s : key.segments)
    if (int16_t status = ValidateSegment(s, schema); status != Status::Ok) return status;
  if (key.RawLength() > MaxKeyLength) return Status::InvalidKeyLength;
  return Status::Ok;
}

int16_t ParseCreate(const uint8_t* data, size_t length, Schema& schema) {
  if (!data || length < FileSpecSize) return Status::DataBufferTooShort;
  schema = Schema{};
  schema.recordLength = Get16(data);
  schema.pageSize = Get16(data + 2);
  uint16_t keyCount = Get16(data + 4);
  schema.fileFlags = Get16(data + 10);
  if (schema.recordLength == 0) return Status::InvalidRecordLength;
  if (schema.pageSize < 512 || schema.pageSize % 512 != 0) return Status::InvalidPageSize;
  if (keyCount > MaxSegments) return Status::InvalidKeyCount;
  size_t specCount = (length - FileSpecSize) / KeySpecSize;
  const uint8_t* specs = data + FileSpecSize;
  std::vector<KeyDef> keys(keyCount);
  size_t at = 0;
  for (uint16_t k = 0; k < keyCount; ++k) {
    size_t used = 0;
    if (int16_t status = ParseKey(specs + at * KeySpecSize, specCount - at, schema, keys[k], used); status != 0)
      return status;
    at += used;
    if (!(schema.fileFlags & FileFlag::KeyNumbersGiven)) keys[k].number = static_cast<uint8_t>(k);
  }
  if (at > MaxSegments) return Status::InvalidKeyCount;
  int collatingCount = 0;
  for (const auto& key : keys)
    for (const auto& s : key.segments)
      if (s.flags & KeyFlag::AltCollating) collatingCount = std::max(collatingCount, s.collating + 1);
  const uint8_t* acs = specs + at * KeySpecSize;
  size_t acsBytes = length - FileSpecSize - at * KeySpecSize;
  for (int i = 0; i < collatingCount; ++i) {
    if (acsBytes < size_t(i + 1) * CollatingSpecSize || acs[i * CollatingSpecSize] != CollatingSignature)
      return Status::InvalidCollatingSequence;
    CollatingSequence table;
    std::memcpy(table.data(), acs + i * CollatingSpecSize, table.size());
    schema.collating.push_back(table);
  }
  for (auto& key : keys) {
    if (key.number >= KeyNumberLimit || schema.keys.count(key.number)) return Status::InvalidKeyNumber;
    if (int16_t status = ValidateKey(key, schema); status != Status::Ok) return status;
    schema.keys[key.number] = key;
  }
  return Status::Ok;
}

std::string BuildStat(const Schema& schema, uint32_t recordCount) {
  std::string out;
  Put16(out, schema.recordLength);
  Put16(out, schema.pageSize);
  Put16(out, static_cast<uint16_t>(schema.keys.size()));
  Put16(out, static_cast<uint16_t>(recordCount));
  Put16(out, static_cast<uint16_t>(recordCount >> 16));
  Put16(out, schema.fileFlags);
  Put16(out, 0);
  Put16(out, 0);
  for (const auto& [number, key] : schema.keys) {
    for (size_t i = 0; i < key.segments.size(); ++i) {
      const Segment& s = key.segments[i];
      uint16_t flags = s.flags;
      if (i + 1 < key.segments.size()) flags |= KeyFlag::Segmented;
      if (key.supplemental) flags |= KeyFlag::Supplemental;
      Put16(out, s.offset + 1);
      Put16(out, s.length);
      Put16(out, flags);
      out.append(4, '\0');
      out.push_back(static_cast<char>(s.type));
      out.push_back(static_cast<char>(s.nullValue));
      out.append(2, '\0');
      out.push_back(static_cast<char>(number));
      out.push_back(static_cast<char>(s.collating));
    }
  }
  for (const auto& table : schema.collating) out.append(reinterpret_cast<const char*>(table.data()), table.size());
  return out;
}

}  // namespace reqcore
