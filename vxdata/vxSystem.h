// User-typed dates, times and numbers read by the locale settings (short date format, date and time separators,
// AM and PM designators, short month names). Nothing here raises: an invalid text gives false or 0.
#pragma once

#include <string>

#include "db/DBTypes.h"
#include "rtl/Types.h"

class TField;

// 0 month-day-year, 1 day-month-year, 2 year-month-day: the first of D, M and Y in the format (case ignored).
Integer vxGetDateOrder(const std::string& format);

bool vxIsDateText(const std::string& text);
bool vxIsTimeText(const std::string& text);
bool vxIsDateTimeText(const std::string& text);
// 0 when the text does not hold the value.
TDateTime vxTextToDateTime(const std::string& text);
// The date at the start of the text; what follows it is ignored.
TDateTime vxTextToDate(const std::string& text);
TDateTime vxTextToTime(const std::string& text);

// Digits, with a leading "-" when there is more; the empty text is true.
bool vxIsIntegerText(const std::string& text);
// The empty text, or a number in its first 63 characters with the locale's decimal separator.
bool vxIsFloatText(const std::string& text);

// Which part of a date or time text a caret position lies in.
enum TvxDateTimePart { dtpDay, dtpMonth, dtpYear, dtpHour, dtpMinute, dtpSecond, dtpAmPm };

TvxDateTimePart vxGetDateTimePartAt(Integer caret, const std::string& text, bool timeOnly);
TvxDateTimePart vxGetTimePartAt(Integer caret, const std::string& text);

// Whether a text can be given to a field of the type (every type other than numbers, dates and times: true).
bool vxIsValidTypeText(TFieldType fieldType, const std::string& text);
bool vxIsValidFieldText(const TField* field, const std::string& text);
// As vxIsValidFieldText, but false for a missing field and for an empty text in number, date and time fields.
bool vxIsValidFieldInput(const TField* field, const std::string& text);
// Smallint, integer, word, float, currency and autoincrement.
bool vxIsNumericFieldType(TFieldType fieldType);
