#include "requester/core/Schema.h"

#include "requester/core/BtrCall.h"

#include <cstring>

namespace reqcore {

bool KeyDef::Duplicates() const { return !segments.empty() && (segments[0].flags & KeyFlag::Duplicates); }

bool KeyDef::Modifiable() const { return !segments.empty() && (segments[0].flags & KeyFlag::Modifiable); }

uint16_t KeyDef::RawLength() const {
  uint16_t total = 0;
  for (const auto& s : segments) total += s.length;
  return total;
}

bool Schema::VariableLength() const { return fileFlags & FileFlag::VariableLength; }

const KeyDef* Schema::Key(int number) const {
  if (number < 0) return nullptr;
  auto it = keys.find(static_cast<uint8_t>(number));
  return it == keys.end() ? nullptr : &it->second;
}

std::string RawKey(const KeyDef& key, std::string_view record) {
  std::string raw;
  raw.reserve(key.RawLength());
  for (const auto& s : key.segments) raw.append(record.substr(s.offset, s.length));
  return raw;
}

namespace {

uint8_t UpperAnsi(uint8_t c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0xE0 && c != 0xF7 && c != 0xFF) return c - 32;
  return c;
}

// Little-endian bytes to big-endian, optionally flipping the sign bit.
void AppendBigEndian(std::string& out, std::string_view v, bool flipSign) {
  size_t start = out.size();
  for (size_t i = v.size(); i-- > 0;) out.push_back(v[i]);
  if (flipSign && !v.empty()) out[start] = static_cast<char>(out[start] ^ 0x80);
}

void AppendFloat(std::string& out, std::string_view v) {
  size_t start = out.size();
  AppendBigEndian(out, v, false);
  if (v.empty()) return;
  bool negative = static_cast<uint8_t>(out[start]) & 0x80;
  for (size_t i = start; i < out.size(); ++i) {
    if (negative)
      out[i] = static_cast<char>(~out[i]);
    else if (i == start)
      out[i] = static_cast<char>(out[i] ^ 0x80);
  }
}

// Packed decimal: a sign byte, then one byte per digit (inverted for negative numbers).
void AppendDecimal(std::string& out, std::string_view v) {
  std::string digits;
  for (size_t i = 0; i < v.size(); ++i) {
    uint8_t b = v[i];
    digits.push_back(static_cast<char>(b >> 4));
    if (i + 1 < v.size()) digits.push_back(static_cast<char>(b & 0x0F));
  }
  uint8_t sign = v.empty() ? 0x0F : static_cast<uint8_t>(v.back()) & 0x0F;
  bool negative = (sign == 0x0D || sign == 0x0B) && digits.find_first_not_of('\0') != std::string::npos;
  out.push_back(negative ? 0 : 1);
  for (char d : digits) out.push_back(negative ? static_cast<char>(9 - d) : d);
}

void AppendString(std::string& out, const Schema& schema, const Segment& s, std::string_view v) {
  const CollatingSequence* acs = nullptr;
  if ((s.flags & KeyFlag::AltCollating) && s.collating < schema.collating.size()) acs = &schema.collating[s.collating];
  for (uint8_t c : v) {
    if (acs)
      c = (*acs)[9 + c];
    else if (s.flags & KeyFlag::NoCase)
      c = UpperAnsi(c);
    out.push_back(static_cast<char>(c));
  }
}

void AppendSegment(std::string& out, const Schema& schema, const Segment& s, std::string_view v) {
  switch (s.type) {
    case KeyType::Integer:
    case KeyType::AutoIncrement:
      AppendBigEndian(out, v, true);
      break;
    case KeyType::Unsigned:
    case KeyType::Logical:
      AppendBigEndian(out, v, false);
      break;
    case KeyType::Float:
      AppendFloat(out, v);
      break;
    case KeyType::Date:  // day, month, year
      AppendBigEndian(out, v.substr(2, 2), false);
      out.push_back(v[1]);
      out.push_back(v[0]);
      break;
    case KeyType::Time:  // hundredths, second, minute, hour
      AppendBigEndian(out, v, false);
      break;
    case KeyType::Decimal:
    case KeyType::Money:
      AppendDecimal(out, v);
      break;
    case KeyType::LString: {
      size_t n = v.empty() ? 0 : static_cast<uint8_t>(v[0]);
      std::string_view text = v.substr(1, std::min(n, v.size() - 1));
      AppendString(out, schema, s, text);
      out.append(v.size() - text.size(), '\0');
      break;
    }
    case KeyType::ZString: {
      std::string_view text = v.substr(0, std::min(v.find('\0'), v.size()));
      AppendString(out, schema, s, text);
      out.append(v.size() - text.size(), '\0');
      break;
    }
    default:
      AppendString(out, schema, s, v);
      break;
  }
}

}  // namespace

std::string NormalizeKey(const Schema& schema, const KeyDef& key, std::string_view rawKey) {
  std::string out;
  out.reserve(rawKey.size() + 8);
  size_t at = 0;
  for (const auto& s : key.segments) {
    size_t start = out.size();
    AppendSegment(out, schema, s, rawKey.substr(at, s.length));
    if (s.flags & KeyFlag::Descending)
      for (size_t i = start; i < out.size(); ++i) out[i] = static_cast<char>(~out[i]);
    at += s.length;
  }
  return out;
}

}  // namespace reqcore
