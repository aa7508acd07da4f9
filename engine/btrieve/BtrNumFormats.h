// Number formats of Btrieve fields: each reader and writer answers false for a value it cannot convert. Writers
// refuse a value that does not fit the field; they never cut it.
#pragma once

#include "rtl/Types.h"

namespace BtrNum {

// Packed decimal: 2 * size - 1 digits, high nibble first, the last low nibble the sign (0xD negative).
bool ReadPacked(const Byte* source, Word size, SmallInt decimals, double& value);
bool WritePacked(Byte* destination, Word size, SmallInt decimals, double value);

// Right-justified digits with an implied decimal point; the last digit carries the sign ("{", "A".."I" positive,
// "}", "J".."R" negative).
bool ReadOverpunched(const Byte* source, Word size, SmallInt decimals, double& value);
bool WriteOverpunched(Byte* destination, Word size, SmallInt decimals, double value);

// Digits followed by a sign byte "+" or "-".
bool ReadTrailingSign(const Byte* source, Word size, SmallInt decimals, double& value);
bool WriteTrailingSign(Byte* destination, Word size, SmallInt decimals, double value);

// IEEE floats of 4, 8 and 10 bytes; 4 bytes are written through 7 significant digits.
bool ReadIeee(const Byte* source, Word size, double& value);
bool WriteIeee(Byte* destination, Word size, double value);

// Microsoft binary format floats of 4 and 8 bytes.
bool ReadMbf(const Byte* source, Word size, double& value);
bool WriteMbf(Byte* destination, Word size, double value);

// The 10-byte decimal float: byte 0 the sign (bit 7) and an excess-64 power of ten, bytes 9 down to 1 the 18
// mantissa digits 0.d1d2...d18, two a byte, high nibble first.
bool ReadDecimalFloat(const Byte* source, double& value);
bool WriteDecimalFloat(Byte* destination, double value);

// The 6-byte binary real: byte 0 the exponent biased by 129 (0: zero), bytes 1..5 the mantissa, sign in bit 7 of
// byte 5.
bool ReadReal48(const Byte* source, double& value);
bool WriteReal48(Byte* destination, double value);

}  // namespace BtrNum
