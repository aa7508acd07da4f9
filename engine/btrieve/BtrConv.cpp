#include "engine/btrieve/BtrConv.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "engine/btrieve/BtrCustomTypes.h"
#include "engine/btrieve/BtrDateTime.h"
#include "engine/btrieve/BtrError.h"
#include "engine/btrieve/BtrLoad.h"
#include "engine/btrieve/BtrNumFormats.h"
#include "rtl/StringRoutines.h"
#include "rtl/WinApi.h"

namespace {

constexpr Word MaxNoteSize = 255;
// Room for the longest fixed-size custom format around a shorter field.
constexpr size_t CustomScratchSize = 16;

Integer ReadLocalTimeOffset()
{
    TIME_ZONE_INFORMATION zone{};
    GetTimeZoneInformation(&zone);
    return Integer(zone.Bias + zone.DaylightBias);
}

const Integer localTimeOffset = ReadLocalTimeOffset();

bool AllZero(const Byte* bytes, size_t size)
{
    return std::all_of(bytes, bytes + size, [](Byte b) { return b == 0; });
}

template <class T>
T Load(const void* source)
{
    T value;
    std::memcpy(&value, source, sizeof value);
    return value;
}

template <class T>
void Store(void* destination, T value)
{
    std::memcpy(destination, &value, sizeof value);
}

// ---- strings

// Up to count characters, ending at the first zero byte.
std::string CharactersUpToZero(const Byte* source, size_t count)
{
    const auto* text = reinterpret_cast<const char*>(source);
    return std::string(text, strnlen(text, count));
}

void StoreText(void* destination, const std::string& text)
{
    std::memcpy(destination, text.c_str(), text.size() + 1);
}

std::string LogicalText(const void* value) { return static_cast<const char*>(value); }

void WriteString(Byte* destination, Word size, const std::string& text)
{
    const size_t length = std::min<size_t>(text.size(), size);
    std::memcpy(destination, text.data(), length);
    if (BtrFieldSettings().StringPaddedSpaces) std::memset(destination + length, ' ', size - length);
}

void WriteLString(Byte* destination, Word size, const std::string& text)
{
    if (size == 0) return;
    const size_t length = std::min<size_t>({text.size(), size_t(size - 1), 255});
    destination[0] = Byte(length);
    std::memcpy(destination + 1, text.data(), length);
}

void WriteZString(Byte* destination, Word size, const std::string& text)
{
    const size_t length = std::min<size_t>(text.size(), size > 0 ? size - 1 : 0);
    std::memcpy(destination, text.data(), length);
}

// ---- integers

bool IntegerIsBlank(Int64 value) { return value == 0 && !BtrFieldSettings().IntegersShowAsZero; }

bool ReadSignedInteger(Word btrType, Word size, const Byte* source, bool& blank, void* destination)
{
    Int64 value = 0;
    switch (size) {
    case 1:
        if (btrType == BtrType::Integer && BtrFieldSettings().SmallIntAsByte) {
            value = source[0];
            Store<Word>(destination, Word(value));
        } else {
            value = ShortInt(source[0]);
            Store<SmallInt>(destination, SmallInt(value));
        }
        break;
    case 2: value = Load<SmallInt>(source); Store<SmallInt>(destination, SmallInt(value)); break;
    case 4: value = Load<Integer>(source); Store<Integer>(destination, Integer(value)); break;
    case 8: value = Load<Int64>(source); Store<Int64>(destination, value); break;
    default: return false;
    }
    blank = IntegerIsBlank(value);
    return true;
}

bool WriteSignedInteger(Word btrType, Word size, Byte* destination, const void* value)
{
    switch (size) {
    case 1: {
        if (btrType == BtrType::Integer && BtrFieldSettings().SmallIntAsByte) {
            const Word number = Load<Word>(value);
            if (number > 0xFF) return false;
            destination[0] = Byte(number);
        } else {
            const SmallInt number = Load<SmallInt>(value);
            if (number < -128 || number > 127) return false;
            destination[0] = Byte(number);
        }
        return true;
    }
    case 2: std::memcpy(destination, value, 2); return true;
    case 4: std::memcpy(destination, value, 4); return true;
    default: return false;
    }
}

bool ReadUnsigned(Word size, const Byte* source, void* destination)
{
    switch (size) {
    case 1: Store<Word>(destination, source[0]); return true;
    case 2: Store<Word>(destination, Load<Word>(source)); return true;
    case 4: Store<Cardinal>(destination, Load<Cardinal>(source)); return true;
    case 6: case 8: std::memcpy(destination, source, size); return true;
    default: return false;
    }
}

bool WriteUnsigned(Word size, Byte* destination, const void* value)
{
    switch (size) {
    case 1: {
        const Word number = Load<Word>(value);
        if (number > 0xFF) return false;
        destination[0] = Byte(number);
        return true;
    }
    case 2: case 4: case 6: case 8: std::memcpy(destination, value, size); return true;
    default: return false;
    }
}

// ---- booleans

SmallInt LogicalBool(bool value) { return value ? -1 : 0; }

bool ReadBit(SmallInt bit, const Byte* source, void* destination)
{
    const bool set = bit >= 0 && bit <= 7 && (source[0] >> bit) & 1;
    Store<SmallInt>(destination, LogicalBool(set));
    return true;
}

bool WriteBit(SmallInt bit, Byte* destination, const void* value)
{
    if (bit < 0 || bit > 7) return false;
    const Byte mask = Byte(1 << bit);
    destination[0] = Load<SmallInt>(value) != 0 ? Byte(destination[0] | mask) : Byte(destination[0] & ~mask);
    return true;
}

bool WriteLogical(Word size, Byte* destination, const void* value)
{
    if (size != 1 && size != 2 && size != 4) return false;
    destination[0] = Load<SmallInt>(value) != 0 ? 1 : 0;
    return true;
}

// ---- numbers as 64-bit floats

bool ReadCurrency(Word size, const Byte* source, double& value)
{
    if (size != 8) return false;
    value = double(Load<Int64>(source)) / 10000.0;
    return true;
}

bool WriteCurrency(Word size, Byte* destination, double value)
{
    if (size != 8 || !std::isfinite(value)) return false;
    const double scaled = std::nearbyint(value * 10000.0);
    if (scaled < -9.2233720368547758e18 || scaled >= 9.2233720368547758e18) return false;
    Store<Int64>(destination, Int64(scaled));
    return true;
}

// The Btrieve types read as a 64-bit float; false for a type that is not one.
bool IsFloatType(Word btrType)
{
    switch (btrType) {
    case BtrType::Float: case BtrType::Decimal: case BtrType::Money: case BtrType::Numeric: case BtrType::BFloat:
    case BtrType::NumericSts: case BtrType::NumericSa: case BtrType::Currency:
        return true;
    default:
        return false;
    }
}

bool ReadFloat(Word btrType, Word size, SmallInt decimals, const Byte* source, double& value)
{
    if (btrType != BtrType::Float && btrType != BtrType::Currency && AllZero(source, size)) {
        value = 0;
        return true;
    }
    switch (btrType) {
    case BtrType::Float: return BtrNum::ReadIeee(source, size, value);
    case BtrType::Decimal: return BtrNum::ReadPacked(source, size, decimals, value);
    case BtrType::Money: return BtrNum::ReadPacked(source, size, 2, value);
    case BtrType::Numeric: case BtrType::NumericSa: return BtrNum::ReadOverpunched(source, size, decimals, value);
    case BtrType::BFloat: return BtrNum::ReadMbf(source, size, value);
    case BtrType::NumericSts: return BtrNum::ReadTrailingSign(source, size, decimals, value);
    case BtrType::Currency: return ReadCurrency(size, source, value);
    default: return false;
    }
}

bool WriteFloat(Word btrType, Word size, SmallInt decimals, Byte* destination, double value)
{
    switch (btrType) {
    case BtrType::Float: return BtrNum::WriteIeee(destination, size, value);
    case BtrType::Decimal: return BtrNum::WritePacked(destination, size, decimals, value);
    case BtrType::Money: return BtrNum::WritePacked(destination, size, 2, value);
    case BtrType::Numeric: case BtrType::NumericSa: return BtrNum::WriteOverpunched(destination, size, decimals, value);
    case BtrType::BFloat: return BtrNum::WriteMbf(destination, size, value);
    case BtrType::NumericSts: return BtrNum::WriteTrailingSign(destination, size, decimals, value);
    case BtrType::Currency: return WriteCurrency(size, destination, value);
    default: return false;
    }
}

// ---- reading and writing by type; false: unconvertible

bool ReadText(Word btrType, Word size, const Byte* source, bool& blank, void* destination)
{
    const Word examined = btrType == BtrType::Note ? std::min(size, MaxNoteSize) : size;
    blank = AllZero(source, examined);
    if (blank) return true;
    switch (btrType) {
    case BtrType::String:
        StoreText(destination, TrimRight(CharactersUpToZero(source, size)));
        return true;
    case BtrType::LString:
        StoreText(destination, std::string(reinterpret_cast<const char*>(source) + 1,
                                           std::min<size_t>(source[0], size > 0 ? size - 1 : 0)));
        return true;
    case BtrType::ZString:
        StoreText(destination, CharactersUpToZero(source, size > 0 ? size - 1 : 0));
        return true;
    default:  // note
        StoreText(destination, CharactersUpToZero(source, std::min<Word>(examined, MaxNoteSize - 1)));
        return true;
    }
}

bool ReadValue(Word btrType, Word size, SmallInt decimals, bool& blank, void* destination, const Byte* source)
{
    if (IsFloatType(btrType)) {
        double value = 0;
        if (!ReadFloat(btrType, size, decimals, source, value)) return false;
        Store<double>(destination, value);
        return true;
    }
    switch (btrType) {
    case BtrType::String: case BtrType::LString: case BtrType::ZString: case BtrType::Note:
        return ReadText(btrType, size, source, blank, destination);
    case BtrType::Integer: case BtrType::AutoInc:
        return ReadSignedInteger(btrType, size, source, blank, destination);
    case BtrType::Unsigned:
        return ReadUnsigned(size, source, destination);
    case BtrType::Date:
        if (size != 4) return false;
        blank = AllZero(source, 4);
        if (!blank) Store<Integer>(destination, BtrDateTime::ReadDate(source));
        return true;
    case BtrType::Time:
        if (size != 4) return false;
        blank = AllZero(source, 4);
        if (!blank) Store<Integer>(destination, BtrDateTime::ReadTime(source));
        return true;
    case BtrType::Logical:
        Store<Integer>(destination, AllZero(source, size) ? 0 : -1);
        return true;
    case BtrType::VarLength:
        std::memcpy(destination, source, size);
        return true;
    case BtrType::Bit:
        return size > 0 && ReadBit(decimals, source, destination);
    case BtrType::TimeStamp:
        if (size != 8) return false;
        Store<double>(destination, BtrDateTime::ReadTimeStamp(source, LocalTimeOffset()));
        return true;
    default:
        return true;  // types without a logical form: nothing to read
    }
}

bool WriteValue(Word btrType, Word size, SmallInt decimals, Byte* destination, const void* value)
{
    if (IsFloatType(btrType)) return WriteFloat(btrType, size, decimals, destination, Load<double>(value));
    switch (btrType) {
    case BtrType::String: WriteString(destination, size, LogicalText(value)); return true;
    case BtrType::LString: WriteLString(destination, size, LogicalText(value)); return true;
    case BtrType::ZString: WriteZString(destination, size, LogicalText(value)); return true;
    case BtrType::Note: return false;
    case BtrType::Integer: case BtrType::AutoInc: return WriteSignedInteger(btrType, size, destination, value);
    case BtrType::Unsigned: return WriteUnsigned(size, destination, value);
    case BtrType::Date: return size == 4 && BtrDateTime::WriteDate(destination, Load<Integer>(value));
    case BtrType::Time: return size == 4 && BtrDateTime::WriteTime(destination, Load<Integer>(value));
    case BtrType::Logical: return WriteLogical(size, destination, value);
    case BtrType::VarLength: std::memcpy(destination, value, size); return true;
    case BtrType::Bit: return size > 0 && WriteBit(decimals, destination, value);
    case BtrType::TimeStamp:
        return size == 8 && BtrDateTime::WriteTimeStamp(destination, Load<double>(value), LocalTimeOffset());
    default:
        return true;  // types without a logical form: nothing to write
    }
}

[[noreturn]] void RaiseUnconvertible()
{
    throw EBtrieveEngineError(BtrStatus::ConversionFailed);
}

// Custom formats may be longer than a field declared too short: they work on a padded copy.
std::vector<Byte> PaddedCopy(const void* source, Word size)
{
    std::vector<Byte> copy(std::max<size_t>(size, CustomScratchSize), 0);
    if (source) std::memcpy(copy.data(), source, size);
    return copy;
}

bool ReadAnyType(Word btrType, Word size, SmallInt decimals, bool& blank, void* destination, const void* source)
{
    if (BtrCustom::IsCustomType(btrType)) {
        const std::vector<Byte> padded = PaddedCopy(source, size);
        return BtrCustom::Read(btrType, size, decimals, blank, destination, padded.data());
    }
    return ReadValue(btrType, size, decimals, blank, destination, static_cast<const Byte*>(source));
}

bool WriteAnyType(Word btrType, Word size, SmallInt decimals, Byte* field, const void* value)
{
    std::vector<Byte> scratch = PaddedCopy(field, size);
    const bool written = BtrCustom::IsCustomType(btrType)
            ? BtrCustom::Write(btrType, size, decimals, scratch.data(), value)
            : WriteValue(btrType, size, decimals, scratch.data(), value);
    if (written) std::memcpy(field, scratch.data(), size);
    return written;
}

}  // namespace

TBtrFieldSettings& BtrFieldSettings()
{
    static TBtrFieldSettings settings;
    return settings;
}

Integer LocalTimeOffset() { return localTimeOffset; }

void MapBtrieveType(Word btrType, Word size, Word& logicalType, SmallInt& units1, Word& subType)
{
    logicalType = fldUNKNOWN;
    subType = 0;
    units1 = SmallInt(size);
    auto memo = [&](Word units) {
        logicalType = fldBLOB;
        subType = BtrSubType::Memo;
        units1 = SmallInt(units);
    };
    auto integer = [&](bool byteAsUnsigned) {
        switch (size) {
        case 1: logicalType = byteAsUnsigned ? fldUINT16 : fldINT16; units1 = 2; break;
        case 2: logicalType = fldINT16; units1 = 2; break;
        case 4: logicalType = fldINT32; break;
        case 8: logicalType = fldINT64; units1 = 8; break;
        }
    };
    switch (btrType) {
    case BtrType::String:
        if (size <= 255) logicalType = fldZSTRING;
        else memo(size - 1);
        break;
    case BtrType::Integer: integer(BtrFieldSettings().SmallIntAsByte); break;
    case BtrType::Float: case BtrType::Decimal: case BtrType::Numeric: case BtrType::BFloat:
    case BtrType::NumericSts: case BtrType::NumericSa:
        logicalType = fldFLOAT;
        break;
    case BtrType::Date: logicalType = fldDATE; break;
    case BtrType::Time: logicalType = fldTIME; break;
    case BtrType::Money: case BtrType::Currency: logicalType = fldFLOAT; subType = BtrSubType::Money; break;
    case BtrType::Logical: logicalType = fldBOOL; units1 = 4; break;
    case BtrType::LString: logicalType = fldZSTRING; units1 = SmallInt(size - 1); break;
    case BtrType::ZString:
        if (size == 1) logicalType = fldBYTES;
        else if (size <= 256) { logicalType = fldZSTRING; units1 = SmallInt(size - 1); }
        else memo(size - 1);
        break;
    case BtrType::Note:
        if (size == 1) logicalType = fldBYTES;
        else memo(size - 1);
        break;
    case BtrType::VarLength:
        if (size < 4) logicalType = fldBYTES;
        else memo(size - 4);
        break;
    case BtrType::Unsigned:
        switch (size) {
        case 1: logicalType = fldUINT16; units1 = 2; break;
        case 2: logicalType = fldUINT16; break;
        case 4: logicalType = fldUINT32; break;
        case 6: logicalType = fldBYTES; break;
        case 8: logicalType = fldUINT64; break;
        }
        break;
    case BtrType::AutoInc:
        integer(false);
        if (size == 6) logicalType = fldBYTES;
        subType = BtrSubType::AutoInc;
        break;
    case BtrType::Bit: logicalType = fldBOOL; break;
    case BtrType::TimeStamp: case 253: logicalType = fldTIMESTAMP; break;
    case 228: case 233: case 234: case 241: case 242: case 243: case 244: case 245: logicalType = fldDATE; break;
    case 229: case 230: case 231: case 232: case 235: case 237: case 238: case 239: case 246: case 247: case 255:
        logicalType = fldFLOAT;
        break;
    case 236: case 240: logicalType = fldTIME; break;
    case 254: logicalType = fldFLOAT; subType = BtrSubType::Money; break;
    }
}

Word LogicalValueSize(Word btrType, Word size)
{
    Word logicalType = 0, subType = 0;
    SmallInt units1 = 0;
    MapBtrieveType(btrType, size, logicalType, units1, subType);
    switch (logicalType) {
    case fldZSTRING: case fldBLOB: return Word(size + 1);
    case fldBOOL: return btrType == BtrType::Logical ? 4 : 2;
    case fldINT16: case fldUINT16: return 2;
    case fldDATE: case fldTIME: case fldINT32: case fldUINT32: return 4;
    case fldFLOAT: case fldTIMESTAMP: case fldINT64: case fldUINT64: return 8;
    case fldBYTES: return size;
    default: return 0;
    }
}

void FieldDescFromDictionary(const TFieldDDFRecord& record, Word fieldNumber, FLDDesc& descriptor)
{
    std::memset(&descriptor, 0, sizeof descriptor);
    descriptor.iFldNum = fieldNumber;
    const std::string name = Trim(std::string(record.Name, strnlen(record.Name, sizeof record.Name)));
    std::memcpy(descriptor.szName, name.data(), std::min(name.size(), DBIMAXNAMELEN));
    Word logicalType = 0, subType = 0;
    SmallInt units1 = 0;
    MapBtrieveType(record.DataType, record.Size, logicalType, units1, subType);
    descriptor.iFldType = logicalType;
    descriptor.iSubType = subType;
    descriptor.iUnits1 = units1;
    if (logicalType == fldBLOB) {
        descriptor.iUnits1 = 0;
        if (name.find("111") != std::string::npos) descriptor.iSubType = BtrSubType::Graphic;
        else if (name.find("222") != std::string::npos) descriptor.iSubType = BtrSubType::Binary;
        else descriptor.iUnits1 = units1;
    }
    descriptor.iLen = record.Size;
    descriptor.iUnits2 = record.Decimals;
    descriptor.iOffset = record.Offset;
    descriptor.efldvVchk = 2;
    descriptor.efldrRights = 3;
}

void GetFieldValue(Word btrType, Word size, SmallInt decimals, bool& blank, void* destination, const void* source)
{
    blank = false;
    if (ReadAnyType(btrType, size, decimals, blank, destination, source)) return;
    if (!BtrFieldSettings().Read) RaiseUnconvertible();
    blank = false;
    std::memset(destination, 0, LogicalValueSize(btrType, size));
}

void PutFieldValue(Word btrType, Word size, SmallInt decimals, void* destination, const void* value)
{
    auto* field = static_cast<Byte*>(destination);
    if (btrType != BtrType::Bit) std::memset(field, 0, size);
    if (!WriteAnyType(btrType, size, decimals, field, value) && !BtrFieldSettings().Write) RaiseUnconvertible();
}
