#include "db/DateTimeFields.h"

#include <cmath>

#include "classes/TypInfo.h"
#include "db/DBConsts.h"
#include "db/DBErrors.h"
#include "db/NativeData.h"
#include "rtl/SysUtils.h"

TDateTimeField::TDateTimeField(TComponent* owner) : TDateTimeField(owner, ftDateTime)
{
}

TDateTimeField::TDateTimeField(TComponent* owner, TFieldType type) : TField(owner)
{
    SetDataType(type);
}

TDateField::TDateField(TComponent* owner) : TDateTimeField(owner, ftDate)
{
}

TTimeField::TTimeField(TComponent* owner) : TDateTimeField(owner, ftTime)
{
}

void TDateTimeField::SetDisplayFormat(const std::string& format)
{
    displayFormat_ = format;
    PropertyChanged(false);
}

bool TDateTimeField::GetValue(TDateTime& value) const
{
    switch (DataType()) {
    case ftDate: {
        Integer days = 0;
        if (!GetData(&days)) return false;
        value = NativeDateToDateTime(days);
        return true;
    }
    case ftTime: {
        Integer msecs = 0;
        if (!GetData(&msecs)) return false;
        value = NativeTimeToDateTime(msecs);
        return true;
    }
    default: {
        double msecs = 0;
        if (!GetData(&msecs)) return false;
        value = NativeDateTimeToDateTime(msecs);
        return true;
    }
    }
}

TDateTime TDateTimeField::GetAsDateTime() const
{
    TDateTime value = 0;
    return GetValue(value) ? value : 0;
}

void TDateTimeField::SetAsDateTime(TDateTime value)
{
    switch (DataType()) {
    case ftDate: {
        const Integer days = DateTimeToNativeDate(value);
        SetData(&days);
        break;
    }
    case ftTime: {
        const Integer msecs = DateTimeToNativeTime(value);
        SetData(&msecs);
        break;
    }
    default: {
        const double msecs = DateTimeToNativeDateTime(value);
        SetData(&msecs);
        break;
    }
    }
}

std::string TDateTimeField::GetAsString() const
{
    std::string text;
    GetText(text, false);
    return text;
}

// The display format when one is set and asked for; otherwise the platform's short date, long time or both.
void TDateTimeField::GetText(std::string& text, bool displayText) const
{
    TDateTime value = 0;
    if (!GetValue(value)) {
        text.clear();
        return;
    }
    std::string format;
    if (displayText && !displayFormat_.empty())
        format = displayFormat_;
    else if (DataType() == ftDate)
        format = ShortDateFormat;
    else if (DataType() == ftTime)
        format = LongTimeFormat;
    DateTimeToString(text, format, value);
}

void TDateTimeField::SetAsString(const std::string& value)
{
    if (value.empty()) {
        Clear();
        return;
    }
    TDateTime parsed = 0;
    const bool ok = DataType() == ftDate   ? TryStrToDate(value, parsed)
                    : DataType() == ftTime ? TryStrToTime(value, parsed)
                                           : TryStrToDateTime(value, parsed);
    if (!ok) DatabaseErrorFmt(dbconsts::SInvalidDateValue, {value, DisplayName()});
    SetAsDateTime(parsed);
}

void TDateTimeField::Publish(TPublisher<TDateTimeField>& p)
{
    p.Property("DisplayFormat", &TDateTimeField::DisplayFormat, &TDateTimeField::SetDisplayFormat);
}
