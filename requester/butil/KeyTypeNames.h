#pragma once
// The names of the extended key types in description files.
#include <cstdint>
#include <optional>
#include <string>

namespace butil {

// The type's name, or its number as text when it has no name.
std::string KeyTypeName(uint8_t type);

// The type of a name (any case) or of a number; nothing when the text is neither.
std::optional<uint8_t> KeyTypeFromName(const std::string& text);

}  // namespace butil
