#include "engine/btrieve/BtrCustomTypes.h"

#include <algorithm>
#include <cstring>

#include "engine/btrieve/BtrConvDll.h"
#include "engine/btrieve/BtrDateTime.h"
#include "engine/btrieve/BtrNumFormats.h"

namespace BtrCustom {

namespace {

using FieldConv::Intermediate;

constexpr Integer MagicDayBase = 693593;
constexpr Integer MagicDayBaseOld = 367;

enum class TKind { None, Date, Time, Float, DateTime };

TKind KindOf(Word btrType)
{
    switch (btrType) {
    case 228: case 233: case 234: case 241: case 242: case 243: case 244: case 245:
        return TKind::Date;
    case 236: case 240:
        return TKind::Time;
    case 229: case 230: case 231: case 232: case 235: case 237: case 238: case 239:
    case 246: case 247: case 254: case 255:
        return TKind::Float;
    case 253:
        return TKind::DateTime;
    default:
        return TKind::None;
    }
}

bool AllZero(const Byte* bytes, Word size)
{
    return std::all_of(bytes, bytes + size, [](Byte b) { return b == 0; });
}

// A DLL entry point called only when the DLL is loaded and the entry point is bound; 0 is success.
template <class Fn, class... Args>
bool CallDll(Fn TConversionFunctions::*entryPoint, Args... args)
{
    if (!ConversionFunctionsAvailable()) return false;
    Fn function = ConversionFunctions().*entryPoint;
    return function && function(args...) == 0;
}

// ---- dates and times through the intermediate value

bool ReadDllDate(Word btrType, const Byte* source, Intermediate& value)
{
    using C = TConversionFunctions;
    switch (btrType) {
    case 228: return CallDll(&C::Get_LongYMD, source, &value);
    case 233: return CallDll(&C::Get_MagicDate, source, &value, MagicDayBase);
    case 234: return CallDll(&C::Get_Ctime, source, &value);
    case 241: return CallDll(&C::Get_MagicDate, source, &value, MagicDayBaseOld);
    case 242: return CallDll(&C::Get_YMD, source, &value);
    case 243: return CallDll(&C::Get_YYMMDD, source, &value);
    case 244: return CallDll(&C::Get_YYYYMMDD, source, &value);
    case 245: return CallDll(&C::Get_TasProDate, source, &value);
    default: return false;
    }
}

bool WriteDllDate(Word btrType, Byte* destination, Intermediate value)
{
    using C = TConversionFunctions;
    switch (btrType) {
    case 228: return CallDll(&C::Set_LongDate, destination, value);
    case 233: return CallDll(&C::Set_MagicDate, destination, MagicDayBase, value);
    case 234: return CallDll(&C::Set_Ctime, destination, value);
    case 241: return CallDll(&C::Set_MagicDate, destination, MagicDayBaseOld, value);
    case 242: return CallDll(&C::Set_YMD, destination, value);
    case 243: return CallDll(&C::Set_YYMMDD, destination, value);
    case 244: return CallDll(&C::Set_YYYYMMDD, destination, value);
    case 245: return CallDll(&C::Set_TasProDate, destination, value);
    default: return false;
    }
}

bool ReadDllTime(Word btrType, const Byte* source, Intermediate& value)
{
    using C = TConversionFunctions;
    return btrType == 236 ? CallDll(&C::Get_TasProTime, source, &value) : CallDll(&C::Get_MagicTime, source, &value);
}

bool WriteDllTime(Word btrType, Byte* destination, Intermediate value)
{
    using C = TConversionFunctions;
    return btrType == 236 ? CallDll(&C::Set_TasProTime, destination, value)
                          : CallDll(&C::Set_MagicTime, destination, value);
}

bool ReadDate(Word btrType, const Byte* source, void* destination)
{
    Intermediate value = 0;
    Byte btrDate[4] = {};
    if (!ReadDllDate(btrType, source, value) || !CallDll(&TConversionFunctions::Set_BtrieveDate, btrDate, value)) {
        return false;
    }
    const Integer dayNumber = BtrDateTime::ReadDate(btrDate);
    std::memcpy(destination, &dayNumber, 4);
    return true;
}

bool WriteDate(Word btrType, Byte* destination, const void* logical)
{
    Integer dayNumber;
    std::memcpy(&dayNumber, logical, 4);
    Byte btrDate[4] = {};
    Intermediate value = 0;
    return BtrDateTime::WriteDate(btrDate, dayNumber)
            && CallDll(&TConversionFunctions::Get_BtrieveDate, btrDate, &value)
            && WriteDllDate(btrType, destination, value);
}

bool ReadTime(Word btrType, const Byte* source, void* destination)
{
    Intermediate value = 0;
    Byte btrTime[4] = {};
    if (!ReadDllTime(btrType, source, value) || !CallDll(&TConversionFunctions::Set_BtrieveTime, btrTime, value)) {
        return false;
    }
    const Integer msecs = BtrDateTime::ReadTime(btrTime);
    std::memcpy(destination, &msecs, 4);
    return true;
}

bool WriteTime(Word btrType, Byte* destination, const void* logical)
{
    Integer msecs;
    std::memcpy(&msecs, logical, 4);
    Byte btrTime[4] = {};
    Intermediate value = 0;
    return BtrDateTime::WriteTime(btrTime, msecs)
            && CallDll(&TConversionFunctions::Get_BtrieveTime, btrTime, &value)
            && WriteDllTime(btrType, destination, value);
}

// ---- floats

// The binary integer variants: signed, big-endian.
void BinaryFlags(Word btrType, int32_t& isSigned, int32_t& bigEndian)
{
    isSigned = btrType == 229 ? 1 : 0;
    bigEndian = btrType == 230 ? 1 : 0;
}

bool ReadFloat(Word btrType, Word size, SmallInt decimals, const Byte* source, double& value)
{
    using C = TConversionFunctions;
    int32_t isSigned = 0, bigEndian = 0;
    switch (btrType) {
    case 229: case 230: case 231:
        BinaryFlags(btrType, isSigned, bigEndian);
        return CallDll(&C::Get_Binary, source, int32_t(size), int32_t(decimals), &value, isSigned, bigEndian);
    case 232: return BtrNum::ReadOverpunched(source, size, decimals, value);
    case 235: case 239: return CallDll(&C::Get_MagicNum100, source, int32_t(size), &value);
    case 237: case 246: return CallDll(&C::Get_TasProNum, source, int32_t(size), int32_t(decimals), &value);
    case 238: return size == 10 && BtrNum::ReadDecimalFloat(source, value);
    case 247: return CallDll(&C::Get_UDecimal, source, int32_t(size), int32_t(decimals), &value);
    case 254: return CallDll(&C::Get_VBCurrency, source, &value);
    case 255: return size == 6 && BtrNum::ReadReal48(source, value);
    default: return false;
    }
}

bool WriteFloat(Word btrType, Word size, SmallInt decimals, Byte* destination, double value)
{
    using C = TConversionFunctions;
    int32_t isSigned = 0, bigEndian = 0;
    switch (btrType) {
    case 229: case 230: case 231:
        BinaryFlags(btrType, isSigned, bigEndian);
        return CallDll(&C::Set_Binary, destination, int32_t(size), int32_t(decimals), value, isSigned, bigEndian);
    case 232: return BtrNum::WriteOverpunched(destination, size, decimals, value);
    case 235: case 239: return CallDll(&C::Set_MagicNum100, destination, int32_t(size), value);
    case 237: case 246: return CallDll(&C::Set_TasProNum, destination, int32_t(size), int32_t(decimals), value);
    case 238: return size == 10 && BtrNum::WriteDecimalFloat(destination, value);
    case 247: return CallDll(&C::Set_UDecimal, destination, int32_t(size), int32_t(decimals), value);
    case 254: return CallDll(&C::Set_VBCurrency, destination, value);
    case 255: return size == 6 && BtrNum::WriteReal48(destination, value);
    default: return false;
    }
}

bool AlwaysCallsDll(Word btrType) { return btrType >= 229 && btrType <= 231; }

}  // namespace

bool IsCustomType(Word btrType) { return btrType >= 228 && btrType <= 255; }

bool Read(Word btrType, Word size, SmallInt decimals, bool& blank, void* destination, const Byte* source)
{
    const TKind kind = KindOf(btrType);
    const bool zero = AllZero(source, size);
    switch (kind) {
    case TKind::Date:
    case TKind::Time:
    case TKind::DateTime:
        blank = zero;
        if (zero) return true;
        if (kind == TKind::Date) return ReadDate(btrType, source, destination);
        if (kind == TKind::Time) return ReadTime(btrType, source, destination);
        {
            double msecs = 0;
            if (size != 8 || !BtrDateTime::ReadDateTime(source, msecs)) return false;
            std::memcpy(destination, &msecs, 8);
            return true;
        }
    case TKind::Float: {
        double value = 0;
        if ((zero && !AlwaysCallsDll(btrType)) || ReadFloat(btrType, size, decimals, source, value)) {
            std::memcpy(destination, &value, 8);
            return true;
        }
        return false;
    }
    case TKind::None:
        return true;
    }
    return false;
}

bool Write(Word btrType, Word size, SmallInt decimals, Byte* destination, const void* value)
{
    switch (KindOf(btrType)) {
    case TKind::Date: return WriteDate(btrType, destination, value);
    case TKind::Time: return WriteTime(btrType, destination, value);
    case TKind::DateTime: {
        double msecs;
        std::memcpy(&msecs, value, 8);
        return size == 8 && BtrDateTime::WriteDateTime(destination, msecs);
    }
    case TKind::Float: {
        double number;
        std::memcpy(&number, value, 8);
        return WriteFloat(btrType, size, decimals, destination, number);
    }
    case TKind::None:
        return true;
    }
    return false;
}

}  // namespace BtrCustom
