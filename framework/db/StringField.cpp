#include "db/StringField.h"

#include <vector>

#include "classes/TypInfo.h"
#include "db/DBConsts.h"
#include "db/DBErrors.h"
#include "db/DataSet.h"
#include "rtl/SysUtils.h"

TStringField::TStringField(TComponent* owner) : TField(owner)
{
    SetDataType(ftString);
    SetSize(20);
}

std::string TStringField::GetAsString() const
{
    std::vector<char> buffer(DataSize() + 1, '\0');
    if (!GetData(buffer.data())) return std::string();
    if (transliterate_) DataSet()->Translate(buffer.data(), buffer.data(), false);
    return std::string(buffer.data());
}

void TStringField::SetAsString(const std::string& value)
{
    std::string data(DataSize(), '\0');
    value.copy(data.data(), Size());
    if (transliterate_) DataSet()->Translate(data.data(), data.data(), true);
    SetData(data.data());
}

Integer TStringField::GetAsInteger() const
{
    const std::string text = GetAsString();
    Integer value = 0;
    if (!TryStrToInt(text, value)) DatabaseErrorFmt(dbconsts::SInvalidIntegerValue, {text, DisplayName()});
    return value;
}

double TStringField::GetAsFloat() const
{
    const std::string text = GetAsString();
    double value = 0;
    if (!TextToFloat(text, value)) DatabaseErrorFmt(dbconsts::SInvalidFloatValue, {text, DisplayName()});
    return value;
}

void TStringField::SetAsFloat(double value)
{
    SetAsString(FloatToStr(value));
}

bool TStringField::GetAsBoolean() const
{
    const std::string text = GetAsString();
    return !text.empty() && (text[0] == 'T' || text[0] == 't' || text[0] == 'Y' || text[0] == 'y');
}

TDateTime TStringField::GetAsDateTime() const
{
    return StrToDateTime(GetAsString());
}

void TStringField::SetAsDateTime(TDateTime value)
{
    SetAsString(DateTimeToStr(value));
}

void TStringField::Publish(TPublisher<TStringField>& p)
{
    p.Property("Size", &TStringField::Size, &TStringField::SetSize).Default(20);
    p.Property("Transliterate", &TStringField::Transliterate, &TStringField::SetTransliterate).Default(true);
}
