#include "vxdata/Vxlookup.h"

#include "db/DataSet.h"
#include "db/Field.h"
#include "db/Params.h"
#include "rtl/StringRoutines.h"
#include "rtl/Strings.h"
#include "vxdata/Vxcommon.h"
#include "vxdata/Vxlocate.h"
#include "vxdata/Vxstr.h"
#include "vxdata/Vxtable.h"

namespace {

// Set while a record filter positions a lookup table.
bool positioningAtFilter = false;

class TPositioningAtFilter {
public:
    TPositioningAtFilter() { positioningAtFilter = true; }
    ~TPositioningAtFilter() { positioningAtFilter = false; }
    TPositioningAtFilter(const TPositioningAtFilter&) = delete;
    TPositioningAtFilter& operator=(const TPositioningAtFilter&) = delete;
};

std::string Item(TStrings* line, Integer index) { return index < line->Count() ? line->Strings(index) : ""; }

std::string LineAt(TStrings* lines, Integer index)
{
    return lines && index >= 0 && index < lines->Count() ? lines->Strings(index) : "";
}

std::string TextBefore(const std::string& text, char separator) { return text.substr(0, text.find(separator)); }

// Item 3; with six or more items ending in "N", only its text before the first ".".
std::string LookupTableName(TStrings* line)
{
    const Integer count = line->Count();
    const std::string name = Item(line, 2);
    return count >= 6 && line->Strings(count - 1) == "N" ? TextBefore(name, '.') : name;
}

// Items 6 up to the next-to-last: the index fields of the lookup table.
std::string LookupIndexFields(TStrings* line)
{
    std::string fields;
    for (Integer i = 5; i < line->Count() - 1; ++i) fields += (i == 5 ? "" : ";") + line->Strings(i);
    return fields;
}

// The first LookupFields line whose first item is the name, case ignored; -1 when none.
Integer LineNamingField(TStrings* lookupFields, const std::string& fieldName)
{
    for (Integer i = 0; lookupFields && i < lookupFields->Count(); ++i)
        if (SameText(TextBefore(lookupFields->Strings(i), ';'), fieldName)) return i;
    return -1;
}

TvxLookupTable* FindLookupTable(TvxLookupTables* tables, TStrings* line, const std::string& linkText)
{
    for (TvxLookupTable& item : tables->Items())
        if (vxLookupTableMatches(item.Table, line) && SameText(item.LinkText, linkText)) return &item;
    return nullptr;
}

// The dataset fields of the link (items 1, 3, 5, ...) all exist.
bool DataSetHasLinkFields(TDataSet* dataSet, TStrings* link)
{
    for (Integer i = 0; i < link->Count(); i += 2)
        if (!dataSet->FindField(link->Strings(i))) return false;
    return true;
}

void HideField(TDataSet* dataSet, const std::string& fieldName)
{
    if (TField* field = dataSet->FindField(fieldName)) field->SetVisible(false);
}

// Positions the lookup dataset on the values of the link's dataset fields: a TvxTable by its index (by a locate
// on the first lookup field, case ignored, when it has no index fields); another dataset by a case-sensitive
// locate of the first value.
bool PositionOnValues(TDataSet* lookup, TStrings* link, const std::vector<std::string>& values)
{
    if (values.empty() || link->Count() < 2) return false;
    auto* table = dynamic_cast<TvxTable*>(lookup);
    if (!table) return vxLocateFieldValue(lookup, values[0], link->Strings(1), mtExactMatch, true);
    if (table->IndexFieldCount() == 0)
        return vxTableLocateValue(table, link->Strings(1), values[0], false, mtExactMatch);
    const Integer count = link->Count();
    if (count > 12 || count % 2 != 0) return false;
    const std::vector<TVarRec> keys(values.begin(), values.end());
    return vxFindKeyValues(table, keys, count / 2 - 1);
}

std::vector<std::string> LinkValues(TStrings* link, const std::function<std::string(const std::string&)>& valueOf)
{
    std::vector<std::string> values;
    for (Integer i = 0; i < link->Count(); i += 2) values.push_back(valueOf(link->Strings(i)));
    return values;
}

// Creates and opens the lookup table of a LookupFields line, read-only; nullptr when that fails.
TvxTable* OpenLookupTable(TDataSet* dataSet, TStrings* line)
{
    auto* table = new TvxTable(dataSet);
    try {
        table->SetDatabaseName(Item(line, 1));
        table->SetTableName(LookupTableName(line));
        if (line->Count() < 6) {
            table->SetIndexName(Item(line, 4));
        } else {
            std::string indexName;
            table->IndexNameForFields(LookupIndexFields(line), indexName);
            table->SetIndexName(indexName);
        }
        table->SetReadOnly(true);
        table->Open();
    } catch (const std::exception&) {
        table->Free();
        return nullptr;
    }
    return table;
}

TvxLookupTable* LookupTableForLine(TDataSet* dataSet, TvxLookupTables* tables, TStrings* line,
                                   const std::string& linkText)
{
    if (TvxLookupTable* item = FindLookupTable(tables, line, linkText)) {
        try {
            if (!item->Table->Active()) item->Table->Open();
        } catch (const std::exception&) {
            return nullptr;
        }
        return item;
    }
    TvxTable* table = OpenLookupTable(dataSet, line);
    return table ? &tables->Add(table, linkText) : nullptr;
}

bool FindLinkedRecordExactly(TvxTable* table, TDataSet* dataSet, TStrings* link)
{
    table->UseExactRange = true;
    try {
        const bool found = vxFindLinkedRecord(table, dataSet, link);
        table->UseExactRange = false;
        return found;
    } catch (...) {
        table->UseExactRange = false;
        throw;
    }
}

void SetCalculatedText(TField* calculated, TField* result, bool found)
{
    if (!found || !result)
        calculated->SetAsString("");
    else
        calculated->SetAsString(result->IsBlob() ? result->AsString() : result->EditText());
}

void PruneLines(TDataSet* dataSet, TStrings* lines, TStrings* parallel)
{
    for (Integer i = lines->Count() - 1; i >= 0; --i) {
        if (dataSet->FindField(TextBefore(lines->Strings(i), ';'))) continue;
        lines->Delete(i);
        if (parallel && i < parallel->Count()) parallel->Delete(i);
    }
}

TField* CalculatedFieldAtFilter(TDataSet* dataSet, TField* field, const TvxFieldParamSource& source)
{
    TvxLookupTables* tables = vxGetLookupTables(dataSet);
    if (positioningAtFilter || !tables || tables->Items().empty()) return nullptr;
    std::string linkLine;
    vxFindLookupLink(dataSet, field->FieldName(), linkLine);
    TStringList link;
    vxSplitString(linkLine, ';', &link);
    TStrings* lookupFields = vxGetLookupFields(dataSet);
    const Integer index = LineNamingField(lookupFields, field->FieldName());
    if (index < 0) return nullptr;
    TStringList line;
    vxSplitString(lookupFields->Strings(index), ';', &line);
    TvxLookupTable* item = FindLookupTable(tables, &line, LineAt(vxGetLookupLinks(dataSet), index));
    if (!item) return nullptr;
    TPositioningAtFilter positioning;
    const auto values = LinkValues(&link, [&](const std::string& name) { return source(name)->AsString(); });
    if (!PositionOnValues(item->Table, &link, values)) return nullptr;
    std::string resultField;
    vxFindLookupResultField(dataSet, field->FieldName(), resultField);
    return item->Table->FindField(resultField);
}

TField* LookupFieldAtFilter(TField* field, const TvxFieldParamSource& source)
{
    TDataSet* lookup = field->LookupDataSet();
    if (!lookup) return nullptr;
    TStringList keys, lookupKeys, link;
    vxSplitString(field->KeyFields(), ';', &keys);
    vxSplitString(field->LookupKeyFields(), ';', &lookupKeys);
    for (Integer i = 0; i < keys.Count() && i < lookupKeys.Count(); ++i) {
        link.Add(keys.Strings(i));
        link.Add(lookupKeys.Strings(i));
    }
    TPositioningAtFilter positioning;
    const auto values = LinkValues(&link, [&](const std::string& name) { return source(name)->AsString(); });
    if (!PositionOnValues(lookup, &link, values)) return nullptr;
    return lookup->FindField(field->LookupResultField());
}

}  // namespace

TvxLookupTable& TvxLookupTables::Add(TvxTable* table, const std::string& linkText)
{
    items_.push_back({table, linkText});
    return items_.back();
}

void TvxLookupTables::Clear()
{
    std::vector<TvxLookupTable> items;
    items.swap(items_);
    for (TvxLookupTable& item : items) item.Table->Free();
}

TvxLookupTables* vxGetLookupTables(TObject* dataSet)
{
    auto* owner = dynamic_cast<IvxLookupTables*>(dataSet);
    return owner ? owner->LookupTables() : nullptr;
}

void vxGetLookupSpec(TField* field, std::string& databaseName, std::string& tableName, std::string& resultField,
                     std::string& linkLine)
{
    TDataSet* dataSet = field->DataSet();
    databaseName = vxGetDatabaseName(dataSet);
    tableName.clear();
    resultField.clear();
    linkLine.clear();
    TStrings* lookupFields = vxGetLookupFields(dataSet);
    for (Integer i = 0; lookupFields && i < lookupFields->Count(); ++i) {
        TStringList line;
        vxSplitString(lookupFields->Strings(i), ';', &line);
        if (line.Strings(0) != field->FieldName() || line.Count() <= 4) continue;
        databaseName = line.Strings(1);
        tableName = line.Strings(2);
        resultField = line.Strings(3);
        linkLine = LineAt(vxGetLookupLinks(dataSet), i);
        return;
    }
}

bool vxLookupTableMatches(TvxTable* table, TStrings* line)
{
    return table->DatabaseName() == Item(line, 1) && table->TableName() == LookupTableName(line);
}

bool vxFindLinkedRecord(TvxTable* lookupTable, TDataSet* dataSet, TStrings* link)
{
    if (!DataSetHasLinkFields(dataSet, link)) return false;
    const auto values =
        LinkValues(link, [&](const std::string& name) { return dataSet->FieldByName(name)->AsString(); });
    return PositionOnValues(lookupTable, link, values);
}

bool vxFindLookupRecord(TField* field, std::string& keyText, TField*& resultField)
{
    keyText.clear();
    resultField = nullptr;
    TvxLookupTables* tables = vxGetLookupTables(field->DataSet());
    if (!tables) return false;
    std::string databaseName, tableName, resultName, linkLine;
    vxGetLookupSpec(field, databaseName, tableName, resultName, linkLine);
    for (TvxLookupTable& item : tables->Items()) {
        if (item.Table->DatabaseName() != databaseName || item.Table->TableName() != tableName ||
            !SameText(item.LinkText, linkLine))
            continue;
        resultField = item.Table->FindField(resultName);
        if (TField* keyField = field->DataSet()->FindField(TextBefore(linkLine, ';'))) keyText = keyField->AsString();
        return vxFindKeyValues(item.Table, {keyText}, 0);
    }
    return false;
}

void vxCalcLookupFields(TDataSet* dataSet, TStrings* lookupFields, TStrings* lookupLinks, TvxLookupTables* tables)
{
    if (!lookupFields || !tables) return;
    for (TvxLookupTable& item : tables->Items()) item.Positioned = false;
    for (Integer i = 0; i < lookupFields->Count(); ++i) {
        TStringList line;
        vxSplitString(lookupFields->Strings(i), ';', &line);
        if (line.Count() < 4) continue;
        const std::string linkText = LineAt(lookupLinks, i);
        TvxLookupTable* item = LookupTableForLine(dataSet, tables, &line, linkText);
        if (!item) continue;
        TStringList link;
        vxSplitString(linkText, ';', &link);
        if (!DataSetHasLinkFields(dataSet, &link)) {
            HideField(dataSet, line.Strings(0));
            return;
        }
        if (!item->Positioned) item->Found = FindLinkedRecordExactly(item->Table, dataSet, &link);
        if (TField* calculated = dataSet->FindField(line.Strings(0)))
            SetCalculatedText(calculated, item->Table->FindField(line.Strings(3)), item->Found);
        item->Positioned = true;
    }
}

bool vxSyncLookupTable(TDataSet* dataSet, TvxTable* lookupTable, const std::string& lookupFieldName,
                       std::string& firstLinkField)
{
    TStrings* lookupFields = vxGetLookupFields(dataSet);
    vxPruneFieldSettings(dataSet, lookupFields, vxGetLookupLinks(dataSet), vxGetControlTypes(dataSet));
    const Integer index = LineNamingField(lookupFields, lookupFieldName);
    if (index < 0) return false;
    TStringList line;
    vxSplitString(lookupFields->Strings(index), ';', &line);
    if (UpperCase(TextBefore(lookupTable->TableName(), '.')) == UpperCase(TextBefore(Item(&line, 2), '.'))) {
        if (line.Count() < 6) {
            if (lookupTable->IndexName() != Item(&line, 4)) lookupTable->SetIndexName(Item(&line, 4));
        } else {
            const bool ignored = lookupTable->IgnoreMasterFields;
            lookupTable->IgnoreMasterFields = true;
            lookupTable->SelectIndexForFields(LookupIndexFields(&line));
            lookupTable->IgnoreMasterFields = ignored;
        }
    }
    TStringList link;
    vxSplitString(LineAt(vxGetLookupLinks(dataSet), index), ';', &link);
    if (!DataSetHasLinkFields(dataSet, &link)) {
        HideField(dataSet, lookupFieldName);
        return false;
    }
    firstLinkField = link.Strings(0);
    return vxFindLinkedRecord(lookupTable, dataSet, &link);
}

void vxPruneFieldSettings(TDataSet* dataSet, TStrings* lookupFields, TStrings* lookupLinks, TStrings* controlTypes)
{
    if (lookupFields) PruneLines(dataSet, lookupFields, lookupLinks);
    if (controlTypes) PruneLines(dataSet, controlTypes, nullptr);
}

TField* vxLookupFieldAtFilter(TDataSet* dataSet, TField* field, const TvxFieldParamSource& source)
{
    if (field->FieldKind() == fkCalculated) return CalculatedFieldAtFilter(dataSet, field, source);
    if (field->FieldKind() == fkLookup) return LookupFieldAtFilter(field, source);
    return nullptr;
}
