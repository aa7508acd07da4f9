#include "db/MemDataSet.h"

#include <algorithm>
#include <cstring>

#include "db/BlobStream.h"
#include "db/DBConsts.h"
#include "db/DBErrors.h"
#include "rtl/SysUtils.h"

namespace {

Integer FieldBytes(const TFieldDef* def)
{
    switch (def->DataType) {
    case ftString:
    case ftFixedChar:
    case ftWideString: return def->Size + 1;
    case ftSmallint:
    case ftWord:
    case ftBoolean: return 2;
    case ftInteger:
    case ftAutoInc:
    case ftDate:
    case ftTime: return 4;
    case ftFloat:
    case ftCurrency:
    case ftDateTime:
    case ftLargeint: return 8;
    case ftBCD: return 34;
    case ftBytes: return def->Size;
    case ftVarBytes: return def->Size + 2;
    case ftReference: return def->Size;
    case ftADT:
    case ftArray:
    case ftDataSet: return 0;  // the children hold the values
    default: return 4;  // blobs: a handle into the blob store
    }
}

}  // namespace

TMemDataSet::TMemDataSet(TComponent* owner) : TDataSet(owner)
{
}

TMemDataSet::~TMemDataSet() = default;

// --- Buffers -------------------------------------------------------------------------------------------------------
// A record buffer: the record (recordSize_ bytes), the calculated fields (CalcFieldsSize), then the record id and
// the bookmark flag.

TRecordBuffer TMemDataSet::AllocRecordBuffer()
{
    return new char[bufferSize_]();
}

void TMemDataSet::FreeRecordBuffer(TRecordBuffer& buffer)
{
    delete[] buffer;
    buffer = nullptr;
}

TMemDataSet::TRecordInfo& TMemDataSet::InfoOf(TRecordBuffer buffer) const
{
    return *reinterpret_cast<TRecordInfo*>(buffer + recordSize_ + CalcFieldsSize());
}

void TMemDataSet::InternalOpen()
{
    open_ = true;  // from here on a failure closes the cursor again
    layout_.clear();
    fieldBytes_.clear();
    recordSize_ = 0;
    for (Integer i = 0; i < FieldDefs()->Count(); ++i) LayOut(FieldDefs()->Items(i), true);
    if (DefaultFields()) CreateFields();
    BindFields(true);
    bufferSize_ = recordSize_ + CalcFieldsSize() + Integer(sizeof(TRecordInfo));
    for (TRecord& record : records_) record.Data.resize(recordSize_, '\0');
    SetBookmarkSize(sizeof(Integer));
    filterBuffer_ = AllocRecordBuffer();
    cursor_ = -1;
    CompileFilter(Filter(), FilterOptions());
}

void TMemDataSet::LayOut(TFieldDef* def, bool numbered)
{
    if (numbered) def->FieldNo = Integer(layout_.size()) + 1;
    layout_.push_back(recordSize_);
    fieldBytes_.push_back(FieldBytes(def));
    recordSize_ += 1 + FieldBytes(def);
    if (!def->HasChildDefs()) return;
    TFieldDefs* children = def->ChildDefs();
    if (def->DataType == ftArray) {
        for (Integer i = 0; i < def->Size; ++i) LayOut(children->Items(0), numbered && i == 0);
        return;
    }
    for (Integer i = 0; i < children->Count(); ++i) LayOut(children->Items(i), numbered);
}

void TMemDataSet::InternalClose()
{
    textFilter_.reset();
    FreeRecordBuffer(filterBuffer_);
    BindFields(false);
    if (DefaultFields()) DestroyFields();
    open_ = false;
}

void TMemDataSet::InternalInitRecord(TRecordBuffer buffer)
{
    std::memset(buffer, 0, recordSize_);
}

void TMemDataSet::ClearCalcFields(TRecordBuffer buffer)
{
    std::memset(buffer + recordSize_, 0, CalcFieldsSize());
}

void TMemDataSet::GetBookmarkData(TRecordBuffer buffer, char* data)
{
    std::memcpy(data, &InfoOf(buffer).Id, sizeof(Integer));
}

void TMemDataSet::SetBookmarkData(TRecordBuffer buffer, const char* data)
{
    std::memcpy(&InfoOf(buffer).Id, data, sizeof(Integer));
}

TBookmarkFlag TMemDataSet::GetBookmarkFlag(TRecordBuffer buffer)
{
    return TBookmarkFlag(InfoOf(buffer).Flag);
}

void TMemDataSet::SetBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag value)
{
    InfoOf(buffer).Flag = Byte(value);
}

// --- Reading -------------------------------------------------------------------------------------------------------

bool TMemDataSet::Accepts(const TRecord& record)
{
    if (!Filtered() || (!textFilter_ && !OnFilterRecord())) return true;
    std::memcpy(filterBuffer_, record.Data.data(), recordSize_);
    const TDataSetState saved = SetTempState(dsFilter);
    bool accept = true;
    try {
        if (textFilter_) accept = textFilter_->Accepts();
        if (accept && OnFilterRecord()) OnFilterRecord()(this, accept);
    } catch (...) {
        RestoreState(saved);
        throw;
    }
    RestoreState(saved);
    return accept;
}

TGetResult TMemDataSet::GetRecord(TRecordBuffer buffer, TGetMode mode, bool doCheck)
{
    const Integer count = Integer(records_.size());
    switch (mode) {
    case gmCurrent:
        if (cursor_ < 0 || cursor_ >= count || !Accepts(records_[cursor_])) return grError;
        break;
    case gmNext:
        do {
            if (cursor_ < count) ++cursor_;
            if (cursor_ >= count) return grEOF;
        } while (!Accepts(records_[cursor_]));
        break;
    case gmPrior:
        do {
            if (cursor_ >= 0) --cursor_;
            if (cursor_ < 0) return grBOF;
        } while (!Accepts(records_[cursor_]));
        break;
    }
    std::memcpy(buffer, records_[cursor_].Data.data(), recordSize_);
    InfoOf(buffer) = TRecordInfo{records_[cursor_].Id, Byte(bfCurrent)};
    GetCalcFields(buffer);
    return grOK;
}

TRecordBuffer TMemDataSet::ActiveRecBuf() const
{
    switch (State()) {
    case dsBrowse: return BufferedRecordCount() == 0 ? nullptr : ActiveBuffer();
    case dsEdit:
    case dsInsert:
    case dsBlockRead: return ActiveBuffer();
    case dsCalcFields: return CalcBuffer();
    case dsFilter: return filterBuffer_;
    default: return nullptr;
    }
}

Integer TMemDataSet::ValueBytes(const TField* field) const
{
    return field->FieldNo() > 0 ? fieldBytes_[field->FieldNo() - 1] : field->DataSize();
}

bool TMemDataSet::GetFieldData(TField* field, void* buffer)
{
    TRecordBuffer record = ActiveRecBuf();
    if (!record) return false;
    const char* at =
        field->FieldNo() > 0 ? record + FieldOffset(field->FieldNo()) : record + recordSize_ + field->Offset();
    if (at[0] == 0) return false;
    if (buffer) std::memcpy(buffer, at + 1, ValueBytes(field));
    return true;
}

void TMemDataSet::SetFieldData(TField* field, const void* buffer)
{
    const TDataSetState state = State();
    const bool calculated = field->FieldNo() < 1;
    if (!(state == dsEdit || state == dsInsert || state == dsFilter || (state == dsCalcFields && calculated)))
        DatabaseError(dbconsts::SNotEditing, this);
    if (!calculated && field->ReadOnly() && state != dsFilter)
        DatabaseErrorFmt(dbconsts::SFieldReadOnly, {field->DisplayName()}, this);
    if (!calculated) field->Validate(buffer);
    TRecordBuffer record = ActiveRecBuf();
    char* at = calculated ? record + recordSize_ + field->Offset() : record + FieldOffset(field->FieldNo());
    at[0] = buffer ? 1 : 0;
    if (buffer)
        std::memcpy(at + 1, buffer, ValueBytes(field));
    else
        std::memset(at + 1, 0, ValueBytes(field));
    if (state != dsCalcFields && state != dsFilter) DataEvent(deFieldChange, reinterpret_cast<intptr_t>(field));
}

// --- Blobs ---------------------------------------------------------------------------------------------------------

TStream* TMemDataSet::CreateBlobStream(TField* field, TBlobStreamMode mode)
{
    if (!field->IsBlob()) return nullptr;
    return new TFieldBlobStream(field, mode, mode == bmWrite ? std::string() : ReadBlob(field),
                                [this](TField* target, const std::string& data) { WriteBlob(target, data); });
}

std::string TMemDataSet::ReadBlob(TField* field)
{
    Integer handle = 0;
    if (!GetFieldData(field, &handle)) return std::string();
    return blobs_.at(handle);
}

void TMemDataSet::WriteBlob(TField* field, const std::string& data)
{
    if (data.empty()) {
        SetFieldData(field, nullptr);
        return;
    }
    blobs_.push_back(data);
    const Integer handle = Integer(blobs_.size()) - 1;
    SetFieldData(field, &handle);
}

// --- Positioning ---------------------------------------------------------------------------------------------------

Integer TMemDataSet::IndexOfId(Integer id) const
{
    for (size_t i = 0; i < records_.size(); ++i)
        if (records_[i].Id == id) return Integer(i);
    return -1;
}

void TMemDataSet::InternalGotoBookmark(const char* bookmark)
{
    Integer id = 0;
    std::memcpy(&id, bookmark, sizeof id);
    const Integer index = IndexOfId(id);
    if (index < 0) DatabaseError(dbconsts::SRecordNotFound, this);
    cursor_ = index;
}

void TMemDataSet::InternalSetToRecord(TRecordBuffer buffer)
{
    const Integer index = IndexOfId(InfoOf(buffer).Id);
    if (index >= 0) cursor_ = index;
}

bool TMemDataSet::BookmarkValid(const TBookmark& bookmark)
{
    if (bookmark.size() != sizeof(Integer)) return false;
    Integer id = 0;
    std::memcpy(&id, bookmark.data(), sizeof id);
    return IndexOfId(id) >= 0;
}

Integer TMemDataSet::CompareBookmarks(const TBookmark& b1, const TBookmark& b2)
{
    if (b1.empty() || b2.empty()) return b1.empty() == b2.empty() ? 0 : b1.empty() ? 1 : -1;
    Integer id1 = 0, id2 = 0;
    std::memcpy(&id1, b1.data(), sizeof id1);
    std::memcpy(&id2, b2.data(), sizeof id2);
    const Integer i1 = IndexOfId(id1), i2 = IndexOfId(id2);
    return i1 < i2 ? -1 : i1 > i2 ? 1 : 0;
}

Integer TMemDataSet::GetRecordCount()
{
    CheckActive();
    Integer count = 0;
    for (const TRecord& record : records_)
        if (Accepts(record)) ++count;
    return count;
}

Integer TMemDataSet::GetRecNo()
{
    CheckActive();
    TRecordBuffer buffer = State() == dsCalcFields ? CalcBuffer() : ActiveBuffer();
    if (!buffer || BufferedRecordCount() == 0 || GetBookmarkFlag(buffer) != bfCurrent) return -1;
    const Integer index = IndexOfId(InfoOf(buffer).Id);
    Integer recNo = 0;
    for (Integer i = 0; i <= index; ++i)
        if (Accepts(records_[i])) ++recNo;
    return recNo;
}

void TMemDataSet::SetRecNo(Integer value)
{
    CheckBrowseMode();
    Integer seen = 0;
    for (size_t i = 0; i < records_.size(); ++i) {
        if (!Accepts(records_[i]) || ++seen != value) continue;
        DoBeforeScroll();
        cursor_ = Integer(i);
        Resync({rmCenter});
        DoAfterScroll();
        return;
    }
}

// --- Writing -------------------------------------------------------------------------------------------------------

void TMemDataSet::StoreRecord(Integer index, TRecordBuffer buffer)
{
    records_[index].Data.assign(buffer, recordSize_);
}

void TMemDataSet::InternalAddRecord(const TRecordBuffer buffer, bool append)
{
    Integer index = append ? Integer(records_.size()) : std::clamp(cursor_, 0, Integer(records_.size()));
    records_.insert(records_.begin() + index, TRecord{nextId_++, std::string(buffer, recordSize_)});
    cursor_ = index;
}

void TMemDataSet::InternalPost()
{
    TDataSet::InternalPost();
    if (State() == dsEdit) {
        StoreRecord(cursor_, ActiveBuffer());
        return;
    }
    InternalAddRecord(ActiveBuffer(), GetBookmarkFlag(ActiveBuffer()) == bfEOF);
}

void TMemDataSet::InternalDelete()
{
    if (cursor_ < 0 || cursor_ >= Integer(records_.size())) DatabaseError(dbconsts::SRecordNotFound, this);
    records_.erase(records_.begin() + cursor_);
}

// --- Filtering and searching ---------------------------------------------------------------------------------------

void TMemDataSet::RefreshWhenOpen()
{
    if (!Active()) return;
    First();
}

void TMemDataSet::SetFiltered(bool value)
{
    if (Active()) CheckBrowseMode();
    TDataSet::SetFiltered(value);
    RefreshWhenOpen();
}

void TMemDataSet::CompileFilter(const std::string& text, TFilterOptions options)
{
    if (text.empty())
        textFilter_.reset();
    else
        textFilter_ = std::make_unique<TMemFilter>(this, text, options);
}

void TMemDataSet::SetFilterText(const std::string& text)
{
    if (Active()) {
        CheckBrowseMode();
        CompileFilter(text, FilterOptions());
    }
    TDataSet::SetFilterText(text);
    if (Filtered()) RefreshWhenOpen();
}

void TMemDataSet::SetFilterOptions(TFilterOptions options)
{
    if (Active()) {
        CheckBrowseMode();
        CompileFilter(Filter(), options);
    }
    TDataSet::SetFilterOptions(options);
    if (Filtered()) RefreshWhenOpen();
}

void TMemDataSet::SetOnFilterRecord(const TFilterRecordEvent& handler)
{
    if (Active()) CheckBrowseMode();
    TDataSet::SetOnFilterRecord(handler);
    if (Filtered()) RefreshWhenOpen();
}

bool TMemDataSet::Matches(const TRecord& record, const std::vector<TField*>& fields, const Variant& values,
                          TLocateOptions options)
{
    std::memcpy(filterBuffer_, record.Data.data(), recordSize_);
    const TDataSetState saved = SetTempState(dsFilter);
    bool match = true;
    try {
        for (size_t i = 0; i < fields.size() && match; ++i) {
            const Variant wanted = fields.size() == 1 ? values : values[Integer(i)];
            TField* field = fields[i];
            if (VarIsNull(wanted) || field->IsNull()) {
                match = VarIsNull(wanted) && field->IsNull();
                continue;
            }
            std::string have = field->AsString();
            std::string want = VarToStr(wanted);
            if (options.Contains(loPartialKey) && i == fields.size() - 1) have = have.substr(0, want.size());
            match = options.Contains(loCaseInsensitive) ? AnsiCompareText(have, want) == 0 : have == want;
        }
    } catch (...) {
        RestoreState(saved);
        throw;
    }
    RestoreState(saved);
    return match;
}

Integer TMemDataSet::FindMatch(const std::string& keyFields, const Variant& keyValues, TLocateOptions options)
{
    const std::vector<TField*> fields = GetFieldList(keyFields);
    for (size_t i = 0; i < records_.size(); ++i)
        if (Accepts(records_[i]) && Matches(records_[i], fields, keyValues, options)) return Integer(i);
    return -1;
}

bool TMemDataSet::Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options)
{
    CheckBrowseMode();
    DoBeforeScroll();
    const Integer index = FindMatch(keyFields, keyValues, options);
    SetFound(index >= 0);
    if (index < 0) return false;
    cursor_ = index;
    Resync({rmExact, rmCenter});
    DoAfterScroll();
    return true;
}

Variant TMemDataSet::Lookup(const std::string& keyFields, const Variant& keyValues, const std::string& resultFields)
{
    CheckBrowseMode();
    const Integer index = FindMatch(keyFields, keyValues, {});
    if (index < 0) return Null();
    std::memcpy(filterBuffer_, records_[index].Data.data(), recordSize_);
    const TDataSetState saved = SetTempState(dsFilter);
    Variant result;
    try {
        result = FieldValues(resultFields);
    } catch (...) {
        RestoreState(saved);
        throw;
    }
    RestoreState(saved);
    return result;
}

bool TMemDataSet::FindRecord(bool restart, bool goForward)
{
    CheckBrowseMode();
    DoBeforeScroll();
    SetFound(false);
    UpdateCursorPos();
    CursorPosChanged();
    const bool wasFiltered = Filtered();
    TDataSet::SetFiltered(true);
    TGetResult result = grError;
    try {
        if (restart) goForward ? InternalFirst() : InternalLast();
        result = GetRecord(TempBuffer(), goForward ? gmNext : gmPrior, false);
    } catch (...) {
        TDataSet::SetFiltered(wasFiltered);
        throw;
    }
    TDataSet::SetFiltered(wasFiltered);
    if (result != grOK) return false;
    Resync({rmExact, rmCenter});
    SetFound(true);
    DoAfterScroll();
    return true;
}
