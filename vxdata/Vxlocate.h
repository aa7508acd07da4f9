// Moving a dataset to the record whose field matches a search value: exactly, at the beginning or anywhere in the
// field's text, with or without regard to case. A table whose current index starts with the field is searched by
// key; engine fields are scanned on the engine cursor without moving the dataset; calculated, lookup and memo
// fields and other datasets' fields are scanned by moving the dataset.
#pragma once

#include <string>

#include "rtl/Types.h"

class TDataSet;
class TField;

enum TvxLocateMatchType { mtExactMatch, mtPartialMatchStart, mtPartialMatchAny };

// Whether a field's text matches the search value; search is upper-cased already when the case is ignored.
bool vxLocateTextMatches(const std::string& text, const std::string& search, Integer matchType, bool caseSensitive);
// The same rules on a memo's text.
bool vxLocateMemoMatches(const std::string& text, const std::string& search, Integer matchType, bool caseSensitive);
// The text of the field's value as the engine gives it (GetField's form): dates from their day number, times from
// their milliseconds, date-times (the date part) from their millisecond count, BCD as the number it holds.
std::string vxLocateValueText(TField* field, const void* value);
// Moves to the first matching record from the first record (fromStart) or after the current one. True when the
// dataset stands on a match; otherwise it is back on the record where it started. A field the dataset lacks is
// reported with a warning box.
bool vxLocateValue(bool fromStart, TDataSet* dataSet, const std::string& fieldName, bool caseSensitive,
                   Integer matchType, const std::string& value);
// True at once when the current record already holds the value; otherwise vxLocateValue from the first record.
bool vxLocateFieldValue(TDataSet* dataSet, const std::string& value, const std::string& fieldName, Integer matchType,
                        bool caseSensitive);
