// Btrieve field types: their logical types, field descriptions from the data dictionary, and value conversions
// between Btrieve record bytes and the engine's logical value forms.
//
// Logical value forms: text zero-terminated; date a 32-bit day number (1 = 1 Jan 0001); time 32-bit milliseconds
// since midnight; time stamp a 64-bit float of milliseconds (day 1 = 1 Jan 0001); float a 64-bit float; boolean
// 16-bit 0 or -1 (32-bit for the logical type); integers in their logical width.
#pragma once

#include "engine/core/BseRecords.h"
#include "rtl/Types.h"

namespace BtrType {
constexpr Word String = 0;
constexpr Word Integer = 1;
constexpr Word Float = 2;
constexpr Word Date = 3;
constexpr Word Time = 4;
constexpr Word Decimal = 5;
constexpr Word Money = 6;
constexpr Word Logical = 7;
constexpr Word Numeric = 8;
constexpr Word BFloat = 9;
constexpr Word LString = 10;
constexpr Word ZString = 11;
constexpr Word Note = 12;
constexpr Word VarLength = 13;
constexpr Word Unsigned = 14;
constexpr Word AutoInc = 15;
constexpr Word Bit = 16;
constexpr Word NumericSts = 17;
constexpr Word NumericSa = 18;
constexpr Word Currency = 19;
constexpr Word TimeStamp = 20;
}  // namespace BtrType

// Logical subtypes the Btrieve types map to.
namespace BtrSubType {
constexpr Word Money = 21;
constexpr Word Memo = 22;
constexpr Word Binary = 23;
constexpr Word Graphic = 26;
constexpr Word AutoInc = 29;
}  // namespace BtrSubType

// Process-wide settings of the conversions (the session reads them from the registry at start-up).
struct TBtrFieldSettings {
    bool Read = false;                // an unconvertible read gives zeros instead of raising
    bool Write = false;               // an unconvertible write is skipped instead of raising
    bool SmallIntAsByte = false;      // 1-byte integers are unsigned
    bool StringPaddedSpaces = true;   // strings are blank-padded, else ended by a zero byte
    bool IntegersShowAsZero = false;  // an integer 0 is a value, not blank
};
TBtrFieldSettings& BtrFieldSettings();

// Minutes of the local time zone (Bias + DaylightBias), read once at start-up; used by time stamps.
Integer LocalTimeOffset();

// units1 starts as size; an unknown type and size give logical type 0.
void MapBtrieveType(Word btrType, Word size, Word& logicalType, SmallInt& units1, Word& subType);

// Bytes of the logical value a read of that field produces.
Word LogicalValueSize(Word btrType, Word size);

#pragma pack(push, 1)
// One record of FIELD.DDF.
struct TFieldDDFRecord {
    Word FieldId;
    Word FileId;
    char Name[20];
    Byte DataType;
    Word Offset;
    Word Size;
    Byte Decimals;
    Word Flags;
};
#pragma pack(pop)
static_assert(sizeof(TFieldDDFRecord) == 32);

void FieldDescFromDictionary(const TFieldDDFRecord& record, Word fieldNumber, FLDDesc& descriptor);

// Btrieve bytes (size of them at source) to the logical value at destination; blank tells an empty field.
// An unconvertible value zeroes the destination when the Read setting is on, else raises EBtrieveEngineError 2999.
void GetFieldValue(Word btrType, Word size, SmallInt decimals, bool& blank, void* destination, const void* source);

// The logical value to size Btrieve bytes at destination, zeroed first (the bit type keeps its other bits). A value
// that does not fit is unconvertible: skipped when the Write setting is on, else EBtrieveEngineError 2999.
void PutFieldValue(Word btrType, Word size, SmallInt decimals, void* destination, const void* value);
