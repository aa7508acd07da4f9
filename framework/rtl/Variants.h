// Variant: a value of one of several types that converts between them as the platform does.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "rtl/Exceptions.h"
#include "rtl/Types.h"

using TVarType = Word;

constexpr TVarType varEmpty = 0x0000;
constexpr TVarType varNull = 0x0001;
constexpr TVarType varSmallint = 0x0002;
constexpr TVarType varInteger = 0x0003;
constexpr TVarType varDouble = 0x0005;
constexpr TVarType varCurrency = 0x0006;
constexpr TVarType varDate = 0x0007;
constexpr TVarType varBoolean = 0x000B;
constexpr TVarType varVariant = 0x000C;
constexpr TVarType varByte = 0x0011;
constexpr TVarType varWord = 0x0012;
constexpr TVarType varLongWord = 0x0013;
constexpr TVarType varInt64 = 0x0014;
constexpr TVarType varString = 0x0100;
constexpr TVarType varTypeMask = 0x0FFF;
constexpr TVarType varArray = 0x2000;

class EVariantTypeCastError : public EVariantError { public: using EVariantError::EVariantError; };
class EVariantOverflowError : public EVariantError { public: using EVariantError::EVariantError; };
class EVariantBadIndexError : public EVariantError { public: using EVariantError::EVariantError; };
class EVariantInvalidOpError : public EVariantError { public: using EVariantError::EVariantError; };

enum TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

class Variant {
public:
    Variant();  // Unassigned
    Variant(bool value);
    Variant(SmallInt value);
    Variant(Integer value);
    Variant(Byte value);
    Variant(Word value);
    Variant(Cardinal value);
    Variant(Int64 value);
    Variant(double value);
    Variant(Currency value);
    Variant(const std::string& value);
    Variant(const char* value);
    static Variant FromDate(TDateTime value);

    Variant(const Variant& other);
    Variant(Variant&& other) noexcept;
    Variant& operator=(const Variant& other);
    Variant& operator=(Variant&& other) noexcept;
    ~Variant();

    TVarType Type() const { return type_; }

    // Conversions; each raises EVariantTypeCastError for a value that does not convert (Null among them) and
    // EVariantOverflowError for a number out of the target's range. Fractions round half to even.
    bool ToBoolean() const;
    Integer ToInteger() const;
    Int64 ToInt64() const;
    double ToDouble() const;
    Currency ToCurrency() const;
    TDateTime ToDateTime() const;
    std::string ToString() const;

    // Element of a one-dimensional variant array, by an index within its bounds. Stores the value as given; use
    // VarArrayPut to store into an array of a fixed element type.
    Variant& operator[](Integer index);
    const Variant& operator[](Integer index) const;

    bool operator==(const Variant& other) const;
    bool operator!=(const Variant& other) const { return !(*this == other); }
    bool operator<(const Variant& other) const;
    bool operator>(const Variant& other) const { return other < *this; }
    bool operator<=(const Variant& other) const { return !(other < *this); }
    bool operator>=(const Variant& other) const { return !(*this < other); }

private:
    struct TArrayData;
    friend Variant VarArrayCreate(const std::vector<Integer>& bounds, TVarType elementType);
    friend Integer VarArrayDimCount(const Variant& v);
    friend Integer VarArrayLowBound(const Variant& v, Integer dim);
    friend Integer VarArrayHighBound(const Variant& v, Integer dim);
    friend Variant VarArrayGet(const Variant& v, const std::vector<Integer>& indices);
    friend void VarArrayPut(Variant& v, const Variant& value, const std::vector<Integer>& indices);
    friend Variant Null();
    friend Variant VarAsType(const Variant& v, TVarType varType);

    const TArrayData& Array() const;
    Variant& Element(const std::vector<Integer>& indices) const;
    Int64 ToIntegerIn(TVarType target, Int64 low, Int64 high) const;
    double ToDoubleAs(TVarType target) const;
    [[noreturn]] void CastError(TVarType target) const;
    [[noreturn]] void OverflowError(TVarType target) const;

    TVarType type_ = varEmpty;
    Int64 integer_ = 0;  // Boolean (0 or -1), the integer types, Currency (scaled)
    double real_ = 0;    // Double, Date
    std::string string_;
    std::unique_ptr<TArrayData> array_;
};

Variant Null();
Variant Unassigned();

TVarType VarType(const Variant& v);
bool VarIsNull(const Variant& v);
bool VarIsEmpty(const Variant& v);
bool VarIsArray(const Variant& v);
// The value as text; Null gives "" (VarToStr) or the default.
std::string VarToStr(const Variant& v);
std::string VarToStrDef(const Variant& v, const std::string& defaultValue);
// The value converted to the type; Null and Unassigned convert only to themselves.
Variant VarAsType(const Variant& v, TVarType varType);
// The name of a variant type as the platform's messages give it ("Integer", "String", "Array Variant", ...).
std::string VarTypeAsText(TVarType varType);
// Null and Unassigned are equal only to themselves and unordered against other values.
TVariantRelationship VarCompareValue(const Variant& a, const Variant& b);

// A variant array of elementType with the given bounds (low and high of each dimension, in pairs); elements start
// as Unassigned (varVariant) or as the type's zero.
Variant VarArrayCreate(const std::vector<Integer>& bounds, TVarType elementType);
// A one-dimensional, zero-based array of Variant elements.
Variant VarArrayOf(const std::vector<Variant>& values);
Integer VarArrayDimCount(const Variant& v);
Integer VarArrayLowBound(const Variant& v, Integer dim);
Integer VarArrayHighBound(const Variant& v, Integer dim);
Variant VarArrayGet(const Variant& v, const std::vector<Integer>& indices);
void VarArrayPut(Variant& v, const Variant& value, const std::vector<Integer>& indices);
