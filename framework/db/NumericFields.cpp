#include "db/NumericFields.h"

#include <cmath>
#include <cstring>

#include "classes/TypInfo.h"
#include "db/DBConsts.h"
#include "db/DBErrors.h"
#include "rtl/SysUtils.h"

namespace {

// Digits and signs, and the given further characters.
TFieldChars NumberChars(std::initializer_list<char> more)
{
    TFieldChars chars;
    for (char c : std::string("+-0123456789")) chars.set(static_cast<unsigned char>(c));
    for (char c : more) chars.set(static_cast<unsigned char>(c));
    return chars;
}

}  // namespace

// --- TNumericField -------------------------------------------------------------------------------------------------

TNumericField::TNumericField(TComponent* owner) : TField(owner)
{
    SetDefaultAlignment(taRightJustify);
    SetValidChars(NumberChars({}));
}

void TNumericField::SetDisplayFormat(const std::string& format)
{
    displayFormat_ = format;
    PropertyChanged(false);
}

void TNumericField::SetEditFormat(const std::string& format)
{
    editFormat_ = format;
    PropertyChanged(false);
}

const std::string& TNumericField::FormatFor(bool displayText) const
{
    return displayText || editFormat_.empty() ? displayFormat_ : editFormat_;
}

// --- TIntegerField and its narrower kinds --------------------------------------------------------------------------

TIntegerField::TIntegerField(TComponent* owner) : TIntegerField(owner, ftInteger, INT32_MIN, INT32_MAX)
{
}

TIntegerField::TIntegerField(TComponent* owner, TFieldType type, Integer minLimit, Integer maxLimit)
        : TNumericField(owner), minLimit_(minLimit), maxLimit_(maxLimit)
{
    SetDataType(type);
}

bool TIntegerField::GetValue(Integer& value) const
{
    int32_t data = 0;
    const bool present = GetData(&data);
    value = data;
    return present;
}

void TIntegerField::StoreValue(Integer value)
{
    const int32_t data = value;
    SetData(&data);
}

Integer TIntegerField::GetAsInteger() const
{
    Integer value = 0;
    return GetValue(value) ? value : 0;
}

std::string TIntegerField::GetAsString() const
{
    Integer value = 0;
    return GetValue(value) ? IntToStr(value) : std::string();
}

void TIntegerField::GetText(std::string& text, bool displayText) const
{
    Integer value = 0;
    if (!GetValue(value)) {
        text.clear();
        return;
    }
    const std::string& format = FormatFor(displayText);
    text = format.empty() ? IntToStr(value) : FormatFloat(format, value);
}

void TIntegerField::SetAsInteger(Integer value)
{
    const Integer low = minValue_ != 0 || maxValue_ != 0 ? minValue_ : minLimit_;
    const Integer high = minValue_ != 0 || maxValue_ != 0 ? maxValue_ : maxLimit_;
    if (value < low || value > high) RangeError(IntToStr(value), IntToStr(low), IntToStr(high));
    StoreValue(value);
}

void TIntegerField::SetAsFloat(double value)
{
    SetAsInteger(Integer(std::nearbyint(value)));
}

void TIntegerField::SetAsString(const std::string& value)
{
    if (value.empty()) {
        Clear();
        return;
    }
    Int64 number = 0;
    if (!TryStrToInt64(value, number) || number < INT32_MIN || number > INT32_MAX)
        DatabaseErrorFmt(dbconsts::SInvalidIntegerValue, {value, DisplayName()});
    SetAsInteger(Integer(number));
}

TSmallintField::TSmallintField(TComponent* owner) : TIntegerField(owner, ftSmallint, -32768, 32767)
{
}

bool TSmallintField::GetValue(Integer& value) const
{
    int16_t data = 0;
    const bool present = GetData(&data);
    value = data;
    return present;
}

void TSmallintField::StoreValue(Integer value)
{
    const int16_t data = int16_t(value);
    SetData(&data);
}

TWordField::TWordField(TComponent* owner) : TIntegerField(owner, ftWord, 0, 65535)
{
}

bool TWordField::GetValue(Integer& value) const
{
    uint16_t data = 0;
    const bool present = GetData(&data);
    value = data;
    return present;
}

void TWordField::StoreValue(Integer value)
{
    const uint16_t data = uint16_t(value);
    SetData(&data);
}

TAutoIncField::TAutoIncField(TComponent* owner) : TIntegerField(owner, ftAutoInc, INT32_MIN, INT32_MAX)
{
}

// --- TLargeintField ------------------------------------------------------------------------------------------------

TLargeintField::TLargeintField(TComponent* owner) : TNumericField(owner)
{
    SetDataType(ftLargeint);
}

Int64 TLargeintField::AsLargeInt() const
{
    Int64 value = 0;
    return GetData(&value) ? value : 0;
}

void TLargeintField::SetAsLargeInt(Int64 value)
{
    SetData(&value);
}

std::string TLargeintField::GetAsString() const
{
    Int64 value = 0;
    return GetData(&value) ? IntToStr(value) : std::string();
}

void TLargeintField::GetText(std::string& text, bool displayText) const
{
    Int64 value = 0;
    if (!GetData(&value)) {
        text.clear();
        return;
    }
    const std::string& format = FormatFor(displayText);
    text = format.empty() ? IntToStr(value) : FormatFloat(format, double(value));
}

void TLargeintField::SetAsString(const std::string& value)
{
    if (value.empty()) {
        Clear();
        return;
    }
    Int64 number = 0;
    if (!TryStrToInt64(value, number)) DatabaseErrorFmt(dbconsts::SInvalidIntegerValue, {value, DisplayName()});
    SetAsLargeInt(number);
}

void TLargeintField::SetAsFloat(double value)
{
    SetAsLargeInt(Int64(std::nearbyint(value)));
}

// --- TFloatField ---------------------------------------------------------------------------------------------------

TFloatField::TFloatField(TComponent* owner) : TNumericField(owner)
{
    SetDataType(ftFloat);
    SetValidChars(NumberChars({DecimalSeparator, 'E', 'e'}));
}

void TFloatField::SetCurrency(bool value)
{
    currency_ = value;
    PropertyChanged(false);
}

void TFloatField::SetPrecision(Integer value)
{
    precision_ = value < 2 ? 2 : value > 15 ? 15 : value;
    PropertyChanged(false);
}

double TFloatField::GetAsFloat() const
{
    double value = 0;
    return GetData(&value) ? value : 0;
}

Integer TFloatField::GetAsInteger() const
{
    return Integer(std::nearbyint(GetAsFloat()));
}

std::string TFloatField::GetAsString() const
{
    double value = 0;
    return GetData(&value) ? FloatToStr(value) : std::string();
}

void TFloatField::GetText(std::string& text, bool displayText) const
{
    double value = 0;
    if (!GetData(&value)) {
        text.clear();
        return;
    }
    const std::string& format = FormatFor(displayText);
    if (!format.empty()) {
        text = FormatFloat(format, value);
    } else if (currency_) {
        text = FloatToStrF(value, displayText ? ffCurrency : ffFixed, precision_, CurrencyDecimals);
    } else {
        text = FloatToStrF(value, ffGeneral, precision_, 0);
    }
}

void TFloatField::SetAsFloat(double value)
{
    if ((minValue_ != 0 || maxValue_ != 0) && (value < minValue_ || value > maxValue_))
        RangeError(FloatToStr(value), FloatToStr(minValue_), FloatToStr(maxValue_));
    SetData(&value);
}

void TFloatField::SetAsString(const std::string& value)
{
    if (value.empty()) {
        Clear();
        return;
    }
    double number = 0;
    if (!TextToFloat(value, number)) DatabaseErrorFmt(dbconsts::SInvalidFloatValue, {value, DisplayName()});
    SetAsFloat(number);
}

TCurrencyField::TCurrencyField(TComponent* owner) : TFloatField(owner)
{
    SetDataType(ftCurrency);
    SetCurrency(true);
}

// --- TBCDField -----------------------------------------------------------------------------------------------------

TBCDField::TBCDField(TComponent* owner) : TNumericField(owner)
{
    SetDataType(ftBCD);
    SetSize(4);
    SetValidChars(NumberChars({DecimalSeparator}));
}

::Currency TBCDField::GetAsCurrency() const
{
    TBcd bcd;
    ::Currency value;
    if (!GetData(&bcd) || !BCDToCurr(bcd, value)) return ::Currency();
    return value;
}

Integer TBCDField::GetAsInteger() const
{
    return Integer(std::nearbyint(GetAsCurrency().ToDouble()));
}

std::string TBCDField::GetAsString() const
{
    return IsNull() ? std::string() : CurrToStr(GetAsCurrency());
}

void TBCDField::GetText(std::string& text, bool displayText) const
{
    if (IsNull()) {
        text.clear();
        return;
    }
    const ::Currency value = GetAsCurrency();
    const std::string& format = FormatFor(displayText);
    if (!format.empty())
        text = FormatFloat(format, value.ToDouble());
    else if (currency_)
        text = CurrToStrF(value, displayText ? ffCurrency : ffFixed, CurrencyDecimals);
    else
        text = CurrToStr(value);
}

void TBCDField::SetAsCurrency(::Currency value)
{
    TBcd bcd;
    if (!CurrToBCD(value, bcd, 32, Size())) RangeError(CurrToStr(value), "", "");
    SetData(&bcd);
}

void TBCDField::SetAsString(const std::string& value)
{
    if (value.empty()) {
        Clear();
        return;
    }
    ::Currency number;
    if (!TextToFloat(value, number)) DatabaseErrorFmt(dbconsts::SInvalidFloatValue, {value, DisplayName()});
    SetAsCurrency(number);
}

// --- Published properties ----------------------------------------------------------------------------------------

void TNumericField::Publish(TPublisher<TNumericField>& p)
{
    p.Property("DisplayFormat", &TNumericField::DisplayFormat, &TNumericField::SetDisplayFormat);
    p.Property("EditFormat", &TNumericField::EditFormat, &TNumericField::SetEditFormat);
}

void TIntegerField::Publish(TPublisher<TIntegerField>& p)
{
    p.Property("MaxValue", &TIntegerField::MaxValue, &TIntegerField::SetMaxValue).Default(0);
    p.Property("MinValue", &TIntegerField::MinValue, &TIntegerField::SetMinValue).Default(0);
}

void TFloatField::Publish(TPublisher<TFloatField>& p)
{
    p.Property("Currency", &TFloatField::Currency, &TFloatField::SetCurrency).Default(false);
    p.Property("MaxValue", &TFloatField::MaxValue, &TFloatField::SetMaxValue);
    p.Property("MinValue", &TFloatField::MinValue, &TFloatField::SetMinValue);
    p.Property("Precision", &TFloatField::Precision, &TFloatField::SetPrecision).Default(15);
}

void TBCDField::Publish(TPublisher<TBCDField>& p)
{
    p.Property("Currency", &TBCDField::Currency, &TBCDField::SetCurrency).Default(false);
    p.Property("Precision", &TBCDField::Precision, &TBCDField::SetPrecision).Default(0);
    p.Property("Size", &TBCDField::Size, &TBCDField::SetSize).Default(4);
}
