#include "vxdata/Vxincfind.h"

#include <vector>

#include "db/DBTables.h"
#include "engine/components/BseDatabase.h"
#include "rtl/FloatConv.h"
#include "rtl/StringRoutines.h"
#include "rtl/Variants.h"
#include "vcl/Dialogs.h"
#include "vcl/Forms.h"
#include "vxdata/Vxcommon.h"
#include "vxdata/Vxintl.h"
#include "vxdata/Vxstr.h"
#include "vxdata/Vxtable.h"
#include "vxdata/vxSystem.h"

namespace {

// The hourglass and the table's controls kept still while the table is positioned.
class TPositioning {
public:
    explicit TPositioning(TDataSet* dataSet) : dataSet_(dataSet)
    {
        Screen->SetCursor(crHourGlass);
        dataSet_->DisableControls();
    }
    ~TPositioning()
    {
        dataSet_->EnableControls();
        Screen->SetCursor(crDefault);
    }
    TPositioning(const TPositioning&) = delete;
    TPositioning& operator=(const TPositioning&) = delete;

private:
    TDataSet* dataSet_;
};

bool IsTableComponent(TDataSet* dataSet) { return vxIsClassNamed(dataSet->ClassType(), "TTable"); }

bool IsSQLTable(TbqTable* table) { return table->Database() && table->Database()->IsSQLBased(); }

// Types whose typed text is checked; any other key is searched as a string.
bool IsStringKey(TFieldType type)
{
    switch (type) {
    case ftSmallint: case ftInteger: case ftWord: case ftAutoInc: case ftFloat: case ftCurrency: case ftBCD:
    case ftDate: case ftTime: case ftDateTime:
        return false;
    default: return true;
    }
}

bool IsDescendingIndex(TvxTable* table)
{
    TIndexDef* def = table->IndexName().empty() ? nullptr : table->IndexDefs()->Find(table->IndexName());
    return def && def->Options.Contains(ixDescending);
}

// The current record's index fields 0 to fieldIndex - 1 as texts, then the text.
std::vector<TVarRec> KeyBeforeText(TvxTable* table, const std::string& text, Integer fieldIndex)
{
    std::vector<TVarRec> key;
    for (Integer i = 0; i < fieldIndex; ++i) key.emplace_back(table->IndexField(i)->AsString());
    key.emplace_back(text);
    return key;
}

void NarrowSearch(TvxTable* table, const std::string& text, TFieldType keyType)
{
    TPositioning positioning(table);
    if (!IsStringKey(keyType)) {
        table->SetRangeFromValues({text}, 1);
        return;
    }
    if (text.empty()) {
        table->ResetNarrowSearch();
        return;
    }
    std::string upper = text;
    const size_t size = size_t(table->IndexField(0)->Size());
    if (upper.size() < size) upper.append(size - upper.size(), char(Byte(table->NarrowSearchUpperChar)));
    if (table->IndexName().empty() || !IsDescendingIndex(table))
        table->SetRange({text}, {upper});
    else
        table->SetRange({upper}, {text});
}

void SyncSQLByRange(TvxTable* table, const std::string& text, Integer fieldIndex)
{
    TPositioning positioning(table);
    if (text.empty())
        table->ResetNarrowSearch();
    else if (fieldIndex <= 3) {
        const std::vector<TVarRec> key = KeyBeforeText(table, text, fieldIndex);
        table->SetRangeFromValues(key, Integer(key.size()));
    }
}

void LocateText(TvxTable* table, const std::string& text, Integer fieldIndex)
{
    TLocateOptions options{loPartialKey};
    if (table->IsCaseInsensitiveIndex()) options.Include(loCaseInsensitive);
    if (text.empty()) {
        table->First();
        return;
    }
    if (fieldIndex == 0) {
        table->Locate(table->IndexField(0)->FieldName(), Variant(text), options);
        return;
    }
    std::string names;
    std::vector<Variant> values;
    for (Integer i = 0; i <= fieldIndex; ++i) {
        names += (i == 0 ? "" : ";") + table->IndexField(i)->FieldName();
        values.push_back(i < fieldIndex ? Variant(table->IndexField(i)->AsString()) : Variant(text));
    }
    table->Locate(names, VarArrayOf(values), options);
}

bool CurrentRecordMatches(TField* field, const std::string& text)
{
    const TFieldType type = field->DataType();
    if (type == ftFloat || type == ftCurrency) {
        if (text.empty()) return field->AsString().empty();
        double number = 0;
        return TryStrToFloat(text, number) && !field->IsNull() && number == field->AsFloat();
    }
    if (vxIsNumericFieldType(type)) return field->AsString() == text;
    return AnsiLowerCase(field->AsString()).starts_with(AnsiLowerCase(text));
}

}  // namespace

bool vxIncrementalFind(TDataSet* dataSet, const std::string& text, Integer fieldIndex)
{
    if (!IsTableComponent(dataSet)) return false;
    auto* table = dynamic_cast<TvxTable*>(dataSet);
    if (!table) {
        MessageDlg("Incremental Search - TTable component not supported. Use TvxTable instead.", mtWarning, {mbOK}, 0);
        return false;
    }
    if (table->IndexFieldCount() == 0) {
        MessageDlg("Table " + table->Name() + ": Table index not found", mtWarning, {mbOK}, 0);
        return false;
    }
    if (fieldIndex < 0 || fieldIndex >= table->IndexFieldCount()) return false;
    TField* keyField = table->IndexField(fieldIndex);
    if (!vxIsValidTypeText(keyField->DataType(), text)) return false;
    if (table->NarrowSearch)
        NarrowSearch(table, text, keyField->DataType());
    else if (IsSQLTable(table) && table->SyncSQLByRange && !table->MasterSource())
        SyncSQLByRange(table, text, fieldIndex);
    else if (vxIntl()->UseLocateMethodForSearch())
        LocateText(table, text, fieldIndex);
    else if (fieldIndex <= 3)
        table->FindNearest(KeyBeforeText(table, text, fieldIndex));
    return CurrentRecordMatches(table->IndexField(fieldIndex), text);
}

void vxSwitchIndex(TDataSet* dataSet, TIndexDef* index)
{
    auto* table = dynamic_cast<TbqTable*>(dataSet);
    if (!table || !IsTableComponent(dataSet)) return;
    auto* vxTable = dynamic_cast<TvxTable*>(table);
    if (!IsSQLTable(table) || (vxTable && !vxTable->SyncSQLByRange)) {
        table->SetIndexName(index->Name);
        return;
    }
    if (table->IndexName() == index->Name) return;
    TStringList names;
    vxSplitString(index->Fields, ';', &names);
    std::vector<TVarRec> values;
    for (Integer i = 0; i < names.Count(); ++i) values.emplace_back(table->FieldByName(names.Strings(i))->AsString());
    TPositioning positioning(table);
    table->Close();
    table->SetIndexName(index->Name);
    table->Open();
    table->SetRange(values, {});
}

bool vxHasIndexFields(TDataSet* dataSet)
{
    auto* table = dynamic_cast<TvxTable*>(dataSet);
    return table && table->IndexFieldCount() > 0;
}

bool vxIsQueryTable(TDataSet* dataSet)
{
    auto* table = dynamic_cast<TvxTable*>(dataSet);
    return table && table->Query()->Count() > 0;
}
