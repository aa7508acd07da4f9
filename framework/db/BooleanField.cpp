#include "db/BooleanField.h"

#include <algorithm>

#include "classes/TypInfo.h"
#include "db/DBConsts.h"
#include "db/DBErrors.h"
#include "rtl/SysUtils.h"

TBooleanField::TBooleanField(TComponent* owner) : TField(owner)
{
    SetDataType(ftBoolean);
    SetDisplayValues("True;False");
}

void TBooleanField::SetDisplayValues(const std::string& values)
{
    displayValues_ = values;
    const size_t separator = values.find(';');
    if (separator == std::string::npos || separator == 0 || separator == values.size() - 1)
        DatabaseErrorFmt(dbconsts::SInvalidBoolValue, {values, DisplayName()});
    trueText_ = values.substr(0, separator);
    falseText_ = values.substr(separator + 1);
    PropertyChanged(true);
}

Integer TBooleanField::GetDefaultWidth() const
{
    return Integer(std::max(trueText_.size(), falseText_.size()));
}

bool TBooleanField::GetAsBoolean() const
{
    uint16_t data = 0;
    return GetData(&data) && data != 0;
}

std::string TBooleanField::GetAsString() const
{
    uint16_t data = 0;
    if (!GetData(&data)) return std::string();
    return data != 0 ? trueText_ : falseText_;
}

void TBooleanField::SetAsBoolean(bool value)
{
    const uint16_t data = value ? 0xFFFF : 0;
    SetData(&data);
}

// A text matches a value when it is the value's text or a beginning of it, ignoring case.
void TBooleanField::SetAsString(const std::string& value)
{
    if (value.empty()) {
        Clear();
        return;
    }
    auto matches = [&](const std::string& text) { return AnsiCompareText(value, text.substr(0, value.size())) == 0; };
    if (matches(falseText_))
        SetAsBoolean(false);
    else if (matches(trueText_))
        SetAsBoolean(true);
    else
        DatabaseErrorFmt(dbconsts::SInvalidBoolValue, {value, DisplayName()});
}

void TBooleanField::Publish(TPublisher<TBooleanField>& p)
{
    p.Property("DisplayValues", &TBooleanField::DisplayValues, &TBooleanField::SetDisplayValues);
}
