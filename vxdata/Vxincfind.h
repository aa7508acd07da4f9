// Incremental find on the library's table: while the user types, the table moves to the first record whose key
// starts with the text, by narrowing it to a key range, by an open-ended range on SQL databases, by Locate or by
// the nearest key; then it tells whether the record reached matches. Also the index switch that keeps the current
// record in view on SQL tables.
#pragma once

#include <string>

#include "rtl/Types.h"

class TDataSet;
class TIndexDef;

// Positions the table for the text typed for index field number fieldIndex (0 = first) and answers whether the
// current record then matches. A table of another class than TvxTable, or one without index fields, is reported
// with a warning box; a text that does not suit the key field's type moves nothing. Both answer false.
bool vxIncrementalFind(TDataSet* table, const std::string& text, Integer fieldIndex);
// Makes the index current; on an SQL database (for a TvxTable only with SyncSQLByRange) by reopening the table on
// a range that starts at the former current record.
void vxSwitchIndex(TDataSet* dataSet, TIndexDef* index);
// A TvxTable with at least one index field.
bool vxHasIndexFields(TDataSet* dataSet);
// A TvxTable with Query lines.
bool vxIsQueryTable(TDataSet* dataSet);
