#include "requester/butil/KeyTypeNames.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "requester/core/BtrCall.h"

namespace butil {

namespace {
struct TypeName {
  uint8_t type;
  const char* name;
};

constexpr TypeName kTypeNames[] = {
    {reqcore::KeyType::String, "string"},       {reqcore::KeyType::Integer, "integer"},
    {reqcore::KeyType::Float, "float"},         {reqcore::KeyType::Date, "date"},
    {reqcore::KeyType::Time, "time"},           {reqcore::KeyType::Decimal, "decimal"},
    {reqcore::KeyType::Money, "money"},         {reqcore::KeyType::Logical, "logical"},
    {reqcore::KeyType::LString, "lstring"},     {reqcore::KeyType::ZString, "zstring"},
    {reqcore::KeyType::Unsigned, "unsigned"},   {reqcore::KeyType::AutoIncrement, "autoincrement"},
};

std::string Lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}
}  // namespace

std::string KeyTypeName(uint8_t type) {
  for (const TypeName& entry : kTypeNames) {
    if (entry.type == type) return entry.name;
  }
  return std::to_string(type);
}

std::optional<uint8_t> KeyTypeFromName(const std::string& text) {
  const std::string lowered = Lowered(text);
  for (const TypeName& entry : kTypeNames) {
    if (lowered == entry.name) return entry.type;
  }
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty() || value > 255) return std::nullopt;
  return static_cast<uint8_t>(value);
}

}  // namespace butil
