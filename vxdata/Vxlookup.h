// Lookup links of the library datasets: calculated fields whose value comes from another table, as LookupFields
// and LookupLinks lines describe them (see Vxcommon.h). The dataset opens the lookup tables read-only, keeps them,
// and positions each once per record while its fields are calculated; a lookup combo's table is positioned on the
// record that belongs to the current record; a record filter finds the lookup result of the record it tests.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "rtl/Types.h"

class TDataSet;
class TField;
class TObject;
class TParam;
class TStrings;
class TvxTable;

// One lookup table with the LookupLinks line it was opened for and its state in the current calculation pass.
struct TvxLookupTable {
    TvxTable* Table;
    std::string LinkText;
    bool Positioned = false;
    bool Found = false;
};

// The lookup tables a dataset opened for its calculated fields; it frees them.
class TvxLookupTables {
public:
    TvxLookupTables() = default;
    ~TvxLookupTables() { Clear(); }
    TvxLookupTables(const TvxLookupTables&) = delete;
    TvxLookupTables& operator=(const TvxLookupTables&) = delete;

    std::vector<TvxLookupTable>& Items() { return items_; }
    TvxLookupTable& Add(TvxTable* table, const std::string& linkText);
    void Clear();

private:
    std::vector<TvxLookupTable> items_;
};

// A dataset that keeps lookup tables.
class IvxLookupTables {
public:
    virtual ~IvxLookupTables() = default;
    virtual TvxLookupTables* LookupTables() = 0;
};

// The parameter holding a field's value in the record being filtered.
using TvxFieldParamSource = std::function<TParam*(const std::string& fieldName)>;

// The dataset's lookup tables; nullptr for datasets that keep none.
TvxLookupTables* vxGetLookupTables(TObject* dataSet);
// From the first LookupFields line naming the field exactly that has more than four items: its database, table
// and result field and the parallel LookupLinks line; otherwise the dataset's database and empty texts.
void vxGetLookupSpec(TField* field, std::string& databaseName, std::string& tableName, std::string& resultField,
                     std::string& linkLine);
// The table's database and table name are those of the split LookupFields line.
bool vxLookupTableMatches(TvxTable* table, TStrings* line);
// Positions the lookup table on the record the dataset's current record links to (split LookupLinks line).
bool vxFindLinkedRecord(TvxTable* lookupTable, TDataSet* dataSet, TStrings* link);
// Positions the lookup table of a calculated lookup field on the value of its first link field.
bool vxFindLookupRecord(TField* field, std::string& keyText, TField*& resultField);
// Computes the calculated lookup fields of the current record; each lookup table is positioned once.
void vxCalcLookupFields(TDataSet* dataSet, TStrings* lookupFields, TStrings* lookupLinks, TvxLookupTables* tables);
// Selects the lookup table's index for the lookup field's line and positions the table on the record the current
// record links to; firstLinkField receives the link's first dataset field.
bool vxSyncLookupTable(TDataSet* dataSet, TvxTable* lookupTable, const std::string& lookupFieldName,
                       std::string& firstLinkField);
// Deletes the LookupFields lines (with their LookupLinks lines) and ControlType lines that name no field.
void vxPruneFieldSettings(TDataSet* dataSet, TStrings* lookupFields, TStrings* lookupLinks, TStrings* controlTypes);
// The lookup result field of a calculated or lookup field, positioned for the record being filtered, whose
// values come from source; nullptr when there is none.
TField* vxLookupFieldAtFilter(TDataSet* dataSet, TField* field, const TvxFieldParamSource& source);
