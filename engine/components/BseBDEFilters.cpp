// TbqBDEDataset: engine filters, record search, Locate and Lookup.
#include "db/ExprParser.h"
#include "db/FilterExpr.h"
#include "engine/components/BseBDEDataset.h"
#include "engine/core/BseEng.h"
#include "engine/core/BseTable.h"

namespace {

// The value of field index of a locate: the value itself for one field, else element index of the array.
Variant LocateValue(const Variant& values, size_t count, size_t index)
{
    if (count == 1 && !VarIsArray(values)) return values;
    return VarArrayGet(values, {Integer(index)});
}

}  // namespace

// --- Filters -------------------------------------------------------------------------------------------------------

TFilterListItem* TbqBDEDataset::CreateExprFilter(const std::string& text, TFilterOptions options, Word priority)
{
    TExprParser parser(this, text, options);
    TFilterListItem* filter = nullptr;
    Check(Engine()->AddFilter(handle_, 0, priority, false, parser.FilterData().data(), nullptr, filter));
    return filter;
}

TFilterListItem* TbqBDEDataset::CreateFuncFilter(Word priority)
{
    TFilterListItem* filter = nullptr;
    Check(Engine()->AddFilter(handle_, reinterpret_cast<uintptr_t>(this), priority, false, nullptr,
                              &TbqBDEDataset::FilterCallback, filter));
    return filter;
}

TFilterListItem* TbqBDEDataset::CreateLookupFilter(const std::vector<TField*>& fields, const Variant& values,
                                                   TLocateOptions options, Word priority)
{
    TFilterOptions filterOptions{foNoPartialCompare};
    if (options.Contains(loCaseInsensitive)) filterOptions.Include(foCaseInsensitive);
    TFilterExpr expr(FilterFieldsOf(this), filterOptions);
    TExprNode* root = nullptr;
    for (size_t i = 0; i < fields.size(); ++i) {
        const bool partial = options.Contains(loPartialKey) && i + 1 == fields.size();
        TExprNode* compare =
            expr.NewFieldCompare(fields[i]->FieldName(), LocateValue(values, fields.size(), i), partial);
        root = root ? expr.NewBinaryNode(coAND, root, compare) : compare;
    }
    const std::vector<Byte> data = expr.GetFilterData(root);
    TFilterListItem* filter = nullptr;
    Check(Engine()->AddFilter(handle_, 0, priority, false, data.data(), nullptr, filter));
    return filter;
}

Word __stdcall TbqBDEDataset::FilterCallback(uintptr_t clientData, void* record, Integer /*physicalRecord*/)
{
    auto* dataSet = reinterpret_cast<TbqBDEDataset*>(clientData);
    const TDataSetState saved = dataSet->SetTempState(dsFilter);
    dataSet->filterBuffer_ = static_cast<TRecordBuffer>(record);
    bool accept = true;
    try {
        if (dataSet->OnFilterRecord()) dataSet->OnFilterRecord()(dataSet, accept);
    } catch (...) {
        dataSet->InternalHandleException();
    }
    dataSet->RestoreState(saved);
    return accept ? 1 : 0;
}

void TbqBDEDataset::SetFilterHandle(TFilterListItem*& slot, TFilterListItem* value)
{
    if (!Filtered()) {
        slot = value;
        return;
    }
    CursorPosChanged();
    DestroyLookupCursor();
    Engine()->SetToBegin(handle_);
    if (slot) Engine()->DropFilter(handle_, slot);
    slot = value;
    if (slot) Engine()->ActivateFilter(handle_, slot);
}

void TbqBDEDataset::ActivateFilters()
{
    if (exprFilter_ && Engine()->ActivateFilter(handle_, exprFilter_) != 0) {
        Engine()->DropFilter(handle_, exprFilter_);
        exprFilter_ = CreateExprFilter(Filter(), FilterOptions(), 0);
        Check(Engine()->ActivateFilter(handle_, exprFilter_));
    }
    if (funcFilter_ && Engine()->ActivateFilter(handle_, funcFilter_) != 0) {
        Engine()->DropFilter(handle_, funcFilter_);
        funcFilter_ = CreateFuncFilter(1);
        Check(Engine()->ActivateFilter(handle_, funcFilter_));
    }
}

void TbqBDEDataset::DeactivateFilters()
{
    if (funcFilter_) Check(Engine()->DeactivateFilter(handle_, funcFilter_));
    if (exprFilter_) Check(Engine()->DeactivateFilter(handle_, exprFilter_));
}

void TbqBDEDataset::ReplaceExprFilter(const std::string& text, TFilterOptions options)
{
    if (!Active() || (text == Filter() && options == FilterOptions())) return;
    CheckBrowseMode();
    SetFilterHandle(exprFilter_, text.empty() ? nullptr : CreateExprFilter(text, options, 0));
}

void TbqBDEDataset::SetFilterText(const std::string& text)
{
    if (Active()) CheckBrowseMode();
    ReplaceExprFilter(text, FilterOptions());
    TDataSet::SetFilterText(text);
    if (Active() && Filtered()) First();
}

void TbqBDEDataset::SetFilterOptions(TFilterOptions options)
{
    if (Active()) CheckBrowseMode();
    ReplaceExprFilter(Filter(), options);
    TDataSet::SetFilterOptions(options);
    if (Active() && Filtered()) First();
}

void TbqBDEDataset::SetFiltered(bool value)
{
    if (!Active()) {
        TDataSet::SetFiltered(value);
        return;
    }
    CheckBrowseMode();
    if (value != Filtered()) {
        DestroyLookupCursor();
        Engine()->SetToBegin(handle_);
        if (value)
            ActivateFilters();
        else
            DeactivateFilters();
        TDataSet::SetFiltered(value);
    }
    First();
}

void TbqBDEDataset::SetOnFilterRecord(const TFilterRecordEvent& handler)
{
    if (!Active()) {
        TDataSet::SetOnFilterRecord(handler);
        return;
    }
    CheckBrowseMode();
    if (bool(handler) != bool(OnFilterRecord())) {
        TDataSet::SetOnFilterRecord(handler);
        SetFilterHandle(funcFilter_, handler ? CreateFuncFilter(1) : nullptr);
    } else {
        TDataSet::SetOnFilterRecord(handler);
    }
    if (Filtered()) First();
}

// --- Searching -----------------------------------------------------------------------------------------------------

bool TbqBDEDataset::FindRecord(bool restart, bool goForward)
{
    CheckBrowseMode();
    DoBeforeScroll();
    SetFound(false);
    UpdateCursorPos();
    CursorPosChanged();
    const bool activateHere = !Filtered();
    if (activateHere) ActivateFilters();
    Word result = 0;
    try {
        if (goForward) {
            if (restart) Check(Engine()->SetToBegin(handle_));
            result = Engine()->GetNextRecord(handle_, dbiNOLOCK, nullptr, nullptr);
        } else {
            if (restart) Check(Engine()->SetToEnd(handle_));
            result = Engine()->GetPriorRecord(handle_, dbiNOLOCK, nullptr, nullptr);
        }
    } catch (...) {
        if (activateHere) DeactivateFilters();
        throw;
    }
    if (activateHere) DeactivateFilters();
    if (result == 0) {
        Resync({rmExact, rmCenter});
        SetFound(true);
        DoAfterScroll();
    }
    return Found();
}

void TbqBDEDataset::AssignLocateValues(const std::vector<TField*>& fields, const Variant& values)
{
    for (size_t i = 0; i < fields.size(); ++i) fields[i]->SetAsVariant(LocateValue(values, fields.size(), i));
}

bool TbqBDEDataset::LocateWithCursor(TBaseTable* cursor, const std::vector<TField*>& fields, const Variant& values,
                                     TLocateOptions options, bool syncCursor)
{
    Byte* record = reinterpret_cast<Byte*>(TempBuffer());
    Word fieldCount = Word(fields.size());
    Word partialLength = 0;
    const TDataSetState saved = SetTempState(dsFilter);
    filterBuffer_ = TempBuffer();
    Word result = 0;
    try {
        Engine()->InitRecord(cursor, record);
        AssignLocateValues(fields, values);
        TField* last = fields.back();
        if (options.Contains(loPartialKey) && last->DataType() == ftString) {
            --fieldCount;
            partialLength = Word(last->AsString().size());
        }
        result = Engine()->GetRecordForKey(cursor, false, fieldCount, partialLength, record, record);
    } catch (...) {
        RestoreState(saved);
        throw;
    }
    RestoreState(saved);
    if (result != 0) return false;
    if (syncCursor && cursor != handle_) return Engine()->SetToCursor(handle_, cursor) == 0;
    return true;
}

bool TbqBDEDataset::LocateWithFilter(const std::vector<TField*>& fields, const Variant& values,
                                     TLocateOptions options)
{
    Check(Engine()->SetToBegin(handle_));
    TFilterListItem* filter = CreateLookupFilter(fields, values, options, 2);
    const Word activated = Engine()->ActivateFilter(handle_, filter);
    if (activated != 0) {
        Engine()->DropFilter(handle_, filter);
        Check(activated);
    }
    const Word result =
        Engine()->GetNextRecord(handle_, dbiNOLOCK, reinterpret_cast<Byte*>(TempBuffer()), nullptr);
    Engine()->DropFilter(handle_, filter);
    return result == 0;
}

bool TbqBDEDataset::LocateRecord(const std::string& keyFields, const Variant& keyValues, TLocateOptions options,
                                 bool syncCursor)
{
    CheckBrowseMode();
    CursorPosChanged();
    const std::vector<TField*> fields = GetFieldList(keyFields);
    if (fields.empty()) return false;
    const bool caseInsensitive = options.Contains(loCaseInsensitive);
    TBaseTable* cursor = MapsToIndex(fields, caseInsensitive) ? handle_ : GetLookupCursor(keyFields, caseInsensitive);
    if (cursor) return LocateWithCursor(cursor, fields, keyValues, options, syncCursor);
    return LocateWithFilter(fields, keyValues, options);
}

bool TbqBDEDataset::Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options)
{
    DoBeforeScroll();
    const bool found = LocateRecord(keyFields, keyValues, options, true);
    if (found) {
        Resync({rmExact, rmCenter});
        DoAfterScroll();
    }
    return found;
}

Variant TbqBDEDataset::Lookup(const std::string& keyFields, const Variant& keyValues,
                              const std::string& resultFields)
{
    if (!LocateRecord(keyFields, keyValues, {}, false)) return Null();
    const TDataSetState saved = SetTempState(dsCalcFields);
    Variant result;
    try {
        CalculateFields(TempBuffer());
        result = FieldValues(resultFields);
    } catch (...) {
        RestoreState(saved);
        throw;
    }
    RestoreState(saved);
    return result;
}
