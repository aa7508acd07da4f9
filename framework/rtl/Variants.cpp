#include "rtl/Variants.h"

#include <cmath>
#include <limits>

#include "rtl/SysUtils.h"

struct Variant::TArrayData {
    TVarType ElementType;
    std::vector<Integer> Bounds;  // low and high of each dimension
    std::vector<Variant> Elements;  // the last dimension varies fastest
};

namespace {

bool IsIntegerType(TVarType t)
{
    switch (t) {
    case varSmallint: case varInteger: case varByte: case varWord: case varLongWord: case varInt64: case varBoolean:
        return true;
    default:
        return false;
    }
}

bool SameWord(const std::string& s, const char* word)
{
    return CompareText(Trim(s), word) == 0;
}

Integer Sign(double d) { return d < 0 ? -1 : d > 0 ? 1 : 0; }

template <class T>
Integer Compare3(T a, T b) { return a < b ? -1 : b < a ? 1 : 0; }

[[noreturn]] void InvalidOperation()
{
    throw EVariantInvalidOpError("Invalid variant operation");
}

[[noreturn]] void BadIndex()
{
    throw EVariantBadIndexError("Variant or safe array index out of bounds");
}

}  // namespace

Variant::Variant() = default;
Variant::Variant(bool value) : type_(varBoolean), integer_(value ? -1 : 0) {}
Variant::Variant(SmallInt value) : type_(varSmallint), integer_(value) {}
Variant::Variant(Integer value) : type_(varInteger), integer_(value) {}
Variant::Variant(Byte value) : type_(varByte), integer_(value) {}
Variant::Variant(Word value) : type_(varWord), integer_(value) {}
Variant::Variant(Cardinal value) : type_(varLongWord), integer_(value) {}
Variant::Variant(Int64 value) : type_(varInt64), integer_(value) {}
Variant::Variant(double value) : type_(varDouble), real_(value) {}
Variant::Variant(Currency value) : type_(varCurrency), integer_(value.Scaled()) {}
Variant::Variant(const std::string& value) : type_(varString), string_(value) {}
Variant::Variant(const char* value) : type_(varString), string_(value) {}

Variant Variant::FromDate(TDateTime value)
{
    Variant v(value);
    v.type_ = varDate;
    return v;
}

Variant::Variant(const Variant& other)
        : type_(other.type_), integer_(other.integer_), real_(other.real_), string_(other.string_),
          array_(other.array_ ? std::make_unique<TArrayData>(*other.array_) : nullptr)
{
}

Variant& Variant::operator=(const Variant& other)
{
    if (this != &other) *this = Variant(other);
    return *this;
}

Variant::Variant(Variant&& other) noexcept = default;
Variant& Variant::operator=(Variant&& other) noexcept = default;
Variant::~Variant() = default;

bool Variant::ToBoolean() const
{
    if (type_ == varString) {
        if (SameWord(string_, "True")) return true;
        if (SameWord(string_, "False")) return false;
        double d;
        if (!TryStrToFloat(string_, d)) CastError(varBoolean);
        return d != 0;
    }
    if (type_ == varEmpty) return false;
    if (IsIntegerType(type_) || type_ == varCurrency) return integer_ != 0;
    if (type_ == varDouble || type_ == varDate) return real_ != 0;
    CastError(varBoolean);
}

Integer Variant::ToInteger() const
{
    return Integer(ToIntegerIn(varInteger, std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max()));
}

Int64 Variant::ToInt64() const
{
    return ToIntegerIn(varInt64, std::numeric_limits<Int64>::min(), std::numeric_limits<Int64>::max());
}

double Variant::ToDouble() const
{
    return ToDoubleAs(varDouble);
}

Currency Variant::ToCurrency() const
{
    if (type_ == varCurrency) return Currency::FromScaled(integer_);
    if (type_ == varString) {
        Currency c;
        if (!TextToFloat(string_, c)) CastError(varCurrency);
        return c;
    }
    const double d = ToDoubleAs(varCurrency);
    if (std::fabs(d) >= 922337203685477.5807) OverflowError(varCurrency);
    return Currency(d);
}

TDateTime Variant::ToDateTime() const
{
    if (type_ == varString) {
        TDateTime d;
        if (!TryStrToDateTime(string_, d)) CastError(varDate);
        return d;
    }
    return ToDoubleAs(varDate);
}

std::string Variant::ToString() const
{
    switch (type_) {
    case varEmpty: return std::string();
    case varString: return string_;
    case varBoolean: return integer_ ? "True" : "False";
    case varDouble: return FloatToStr(real_);
    case varDate: return DateTimeToStr(real_);
    case varCurrency: return CurrToStr(Currency::FromScaled(integer_));
    default:
        if (IsIntegerType(type_)) return IntToStr(integer_);
        CastError(varString);
    }
}

Variant& Variant::operator[](Integer index)
{
    return Element({index});
}

const Variant& Variant::operator[](Integer index) const
{
    return Element({index});
}

bool Variant::operator==(const Variant& other) const
{
    return VarCompareValue(*this, other) == vrEqual;
}

// Null sorts before every other value.
bool Variant::operator<(const Variant& other) const
{
    if (type_ == varNull || other.type_ == varNull) return type_ == varNull && other.type_ != varNull;
    return VarCompareValue(*this, other) == vrLessThan;
}

const Variant::TArrayData& Variant::Array() const
{
    if (!array_) InvalidOperation();
    return *array_;
}

Variant& Variant::Element(const std::vector<Integer>& indices) const
{
    const TArrayData& data = Array();
    if (indices.size() * 2 != data.Bounds.size()) BadIndex();
    size_t offset = 0;
    for (size_t dim = 0; dim < indices.size(); ++dim) {
        const Integer low = data.Bounds[dim * 2];
        const Integer high = data.Bounds[dim * 2 + 1];
        if (indices[dim] < low || indices[dim] > high) BadIndex();
        offset = offset * size_t(high - low + 1) + size_t(indices[dim] - low);
    }
    return array_->Elements[offset];
}

Int64 Variant::ToIntegerIn(TVarType target, Int64 low, Int64 high) const
{
    Int64 value = 0;
    if (IsIntegerType(type_)) {
        value = integer_;
    } else if (type_ == varString && TryStrToInt64(string_, value)) {
    } else if (type_ != varEmpty) {
        const double d = std::nearbyint(ToDoubleAs(target));
        if (d < double(low) || d >= double(high) + 1.0) OverflowError(target);
        value = Int64(d);
    }
    if (value < low || value > high) OverflowError(target);
    return value;
}

double Variant::ToDoubleAs(TVarType target) const
{
    switch (type_) {
    case varEmpty: return 0;
    case varDouble: case varDate: return real_;
    case varCurrency: return Currency::FromScaled(integer_).ToDouble();
    case varString: {
        double d;
        if (TryStrToFloat(string_, d)) return d;
        Int64 i;
        if (TryStrToInt64(string_, i)) return double(i);
        CastError(target);
    }
    default:
        if (IsIntegerType(type_)) return double(integer_);
        CastError(target);
    }
}

void Variant::OverflowError(TVarType target) const
{
    throw EVariantOverflowError("Overflow while converting variant of type (" + VarTypeAsText(type_) +
                                ") into type (" + VarTypeAsText(target) + ")");
}

void Variant::CastError(TVarType target) const
{
    throw EVariantTypeCastError("Could not convert variant of type (" + VarTypeAsText(type_) + ") into type (" +
                                VarTypeAsText(target) + ")");
}

Variant Null()
{
    Variant v;
    v.type_ = varNull;
    return v;
}

Variant Unassigned()
{
    return Variant();
}

TVarType VarType(const Variant& v)
{
    return v.Type();
}

bool VarIsNull(const Variant& v)
{
    return v.Type() == varNull;
}

bool VarIsEmpty(const Variant& v)
{
    return v.Type() == varEmpty;
}

bool VarIsArray(const Variant& v)
{
    return (v.Type() & varArray) != 0;
}

std::string VarToStr(const Variant& v)
{
    return VarToStrDef(v, std::string());
}

std::string VarToStrDef(const Variant& v, const std::string& defaultValue)
{
    return VarIsNull(v) ? defaultValue : v.ToString();
}

Variant VarAsType(const Variant& v, TVarType varType)
{
    if (v.Type() == varType) return v;
    switch (varType) {
    case varEmpty: return Unassigned();
    case varNull: return Null();
    case varBoolean: return Variant(v.ToBoolean());
    case varSmallint: return Variant(SmallInt(v.ToIntegerIn(varSmallint, -32768, 32767)));
    case varInteger: return Variant(v.ToInteger());
    case varByte: return Variant(Byte(v.ToIntegerIn(varByte, 0, 255)));
    case varWord: return Variant(Word(v.ToIntegerIn(varWord, 0, 65535)));
    case varLongWord: return Variant(Cardinal(v.ToIntegerIn(varLongWord, 0, 0xFFFFFFFFLL)));
    case varInt64: return Variant(v.ToInt64());
    case varDouble: return Variant(v.ToDouble());
    case varCurrency: return Variant(v.ToCurrency());
    case varDate: return Variant::FromDate(v.ToDateTime());
    case varString: return Variant(v.ToString());
    default: throw EVariantTypeCastError("Could not convert variant of type (" + VarTypeAsText(v.Type()) +
                                         ") into type (" + VarTypeAsText(varType) + ")");
    }
}

std::string VarTypeAsText(TVarType varType)
{
    std::string name;
    switch (varType & varTypeMask) {
    case varEmpty: name = "Empty"; break;
    case varNull: name = "Null"; break;
    case varSmallint: name = "Smallint"; break;
    case varInteger: name = "Integer"; break;
    case varDouble: name = "Double"; break;
    case varCurrency: name = "Currency"; break;
    case varDate: name = "Date"; break;
    case varBoolean: name = "Boolean"; break;
    case varVariant: name = "Variant"; break;
    case varByte: name = "Byte"; break;
    case varWord: name = "Word"; break;
    case varLongWord: name = "LongWord"; break;
    case varInt64: name = "Int64"; break;
    case varString: name = "String"; break;
    default: name = "Unknown"; break;
    }
    return (varType & varArray) ? "Array " + name : name;
}

// Mixed types compare as the wider one: strings against numbers as numbers, Booleans against strings as
// Booleans; strings against strings by their bytes.
TVariantRelationship VarCompareValue(const Variant& a, const Variant& b)
{
    const TVarType ta = a.Type();
    const TVarType tb = b.Type();
    if (ta == varNull || tb == varNull || ta == varEmpty || tb == varEmpty)
        return ta == tb ? vrEqual : vrNotEqual;
    if (VarIsArray(a) || VarIsArray(b)) InvalidOperation();
    Integer c;
    if (ta == varString && tb == varString) c = Compare3(a.ToString(), b.ToString());
    else if (ta == varBoolean || tb == varBoolean) c = Compare3(a.ToBoolean() ? -1 : 0, b.ToBoolean() ? -1 : 0);
    else if (IsIntegerType(ta) && IsIntegerType(tb)) c = Compare3(a.ToInt64(), b.ToInt64());
    else if (ta == varCurrency && tb == varCurrency) c = Compare3(a.ToCurrency(), b.ToCurrency());
    else c = Sign(a.ToDouble() - b.ToDouble());
    return c < 0 ? vrLessThan : c > 0 ? vrGreaterThan : vrEqual;
}

Variant VarArrayCreate(const std::vector<Integer>& bounds, TVarType elementType)
{
    if (bounds.empty() || bounds.size() % 2 != 0) throw EVariantError("Invalid argument");
    Variant v;
    v.type_ = varArray | elementType;
    v.array_ = std::make_unique<Variant::TArrayData>();
    v.array_->ElementType = elementType;
    v.array_->Bounds = bounds;
    size_t count = 1;
    for (size_t i = 0; i < bounds.size(); i += 2) {
        if (bounds[i + 1] < bounds[i] - 1) throw EVariantError("Invalid argument");
        count *= size_t(bounds[i + 1] - bounds[i] + 1);
    }
    const Variant zero = elementType == varVariant ? Variant() : VarAsType(Variant(0), elementType);
    v.array_->Elements.assign(count, zero);
    return v;
}

Variant VarArrayOf(const std::vector<Variant>& values)
{
    Variant v = VarArrayCreate({0, Integer(values.size()) - 1}, varVariant);
    for (size_t i = 0; i < values.size(); ++i) v[Integer(i)] = values[i];
    return v;
}

Integer VarArrayDimCount(const Variant& v)
{
    return VarIsArray(v) ? Integer(v.Array().Bounds.size() / 2) : 0;
}

Integer VarArrayLowBound(const Variant& v, Integer dim)
{
    if (dim < 1 || dim > VarArrayDimCount(v)) throw EVariantError("Variant array bounds error");
    return v.Array().Bounds[(dim - 1) * 2];
}

Integer VarArrayHighBound(const Variant& v, Integer dim)
{
    if (dim < 1 || dim > VarArrayDimCount(v)) throw EVariantError("Variant array bounds error");
    return v.Array().Bounds[(dim - 1) * 2 + 1];
}

Variant VarArrayGet(const Variant& v, const std::vector<Integer>& indices)
{
    return v.Element(indices);
}

// Stores the value converted to the array's element type.
void VarArrayPut(Variant& v, const Variant& value, const std::vector<Integer>& indices)
{
    Variant& element = v.Element(indices);
    const TVarType elementType = v.Array().ElementType;
    element = elementType == varVariant ? value : VarAsType(value, elementType);
}
