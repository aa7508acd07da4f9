// The custom Btrieve types 228 to 255: those the field-conversion DLL serves, and the engine's built-in ones.
#pragma once

#include "rtl/Types.h"

namespace BtrCustom {

bool IsCustomType(Word btrType);

// False when the value cannot be converted (no DLL, an unbound entry point, a failing call, an unknown type).
bool Read(Word btrType, Word size, SmallInt decimals, bool& blank, void* destination, const Byte* source);
bool Write(Word btrType, Word size, SmallInt decimals, Byte* destination, const void* value);

}  // namespace BtrCustom
