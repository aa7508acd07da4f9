#include "db/DataSet.h"

#include <algorithm>
#include <cstring>

#include "db/DBConsts.h"
#include "db/DBRegister.h"
#include "db/DBTypInfo.h"
#include "db/DataSource.h"
#include "db/ObjectFields.h"
#include "rtl/SysUtils.h"

namespace {

bool InEditModes(TDataSetState state)
{
    return state == dsEdit || state == dsInsert;
}

std::vector<std::string> SplitFieldNames(const std::string& names)
{
    std::vector<std::string> result;
    size_t start = 0;
    while (start <= names.size()) {
        size_t end = names.find(';', start);
        if (end == std::string::npos) end = names.size();
        const std::string name = Trim(names.substr(start, end - start));
        if (!name.empty()) result.push_back(name);
        start = end + 1;
    }
    return result;
}

std::vector<TField*> ListOf(const TFields* fields)
{
    std::vector<TField*> list;
    for (Integer i = 0; i < fields->Count(); ++i) list.push_back(fields->Fields(i));
    return list;
}

// Adds field and, when withChildren, the children of an object field after it, depth first.
void AddWithChildren(TFields* list, TField* field, bool withChildren)
{
    list->Add(field);
    auto* object = dynamic_cast<TObjectField*>(field);
    if (!object || !withChildren) return;
    for (Integer i = 0; i < object->FieldCount(); ++i)
        AddWithChildren(list, object->Fields()->Fields(i), withChildren);
}

// How many field numbers a definition takes: its own and those of its children (each element of an array).
Integer FieldNumberSpan(TFieldDef* def)
{
    Integer span = 1;
    if (!def->HasChildDefs()) return span;
    TFieldDefs* children = def->ChildDefs();
    if (def->DataType == ftArray) return span + def->Size * FieldNumberSpan(children->Items(0));
    for (Integer i = 0; i < children->Count(); ++i) span += FieldNumberSpan(children->Items(i));
    return span;
}

}  // namespace

TDataSet::TDataSet(TComponent* owner)
        : TComponent(owner),
          fields_(std::make_unique<TFields>(this)),
          fieldList_(std::make_unique<TFields>(this)),
          fieldDefs_(std::make_unique<TFieldDefs>(this)),
          constraints_(std::make_unique<TCheckConstraints>(this))
{
    static const bool registered = (RegisterDBClasses(), true);
    (void)registered;
}

TDataSet::~TDataSet()
{
    // The sources forget this dataset without asking it anything: its descendant part is gone.
    std::vector<TDataSource*> sources;
    sources.swap(dataSources_);
    for (TDataSource* source : sources) source->SetDataSet(nullptr);
    SetDataSetField(nullptr);
    DestroyFields();
    for (Integer i = 0; i < fields_->Count(); ++i) fields_->Fields(i)->dataSet_ = nullptr;
    fields_->Clear();
}

void TDataSet::BeforeDestruction()
{
    TComponent::BeforeDestruction();
    Close();
}

void TDataSet::Publish(TPublisher<TDataSet>& p)
{
    p.Property("Active", &TDataSet::Active, &TDataSet::SetActive).Default(false);
    p.Property("AutoCalcFields", &TDataSet::AutoCalcFields, &TDataSet::SetAutoCalcFields).Default(true);
    p.Property("BeforeOpen", &TDataSet::BeforeOpen);
    p.Property("AfterOpen", &TDataSet::AfterOpen);
    p.Property("BeforeClose", &TDataSet::BeforeClose);
    p.Property("AfterClose", &TDataSet::AfterClose);
    p.Property("BeforeInsert", &TDataSet::BeforeInsert);
    p.Property("AfterInsert", &TDataSet::AfterInsert);
    p.Property("BeforeEdit", &TDataSet::BeforeEdit);
    p.Property("AfterEdit", &TDataSet::AfterEdit);
    p.Property("BeforePost", &TDataSet::BeforePost);
    p.Property("AfterPost", &TDataSet::AfterPost);
    p.Property("BeforeCancel", &TDataSet::BeforeCancel);
    p.Property("AfterCancel", &TDataSet::AfterCancel);
    p.Property("BeforeDelete", &TDataSet::BeforeDelete);
    p.Property("AfterDelete", &TDataSet::AfterDelete);
    p.Property("BeforeScroll", &TDataSet::BeforeScroll);
    p.Property("AfterScroll", &TDataSet::AfterScroll);
    p.Property("OnCalcFields", &TDataSet::OnCalcFields);
    p.Property("OnDeleteError", &TDataSet::OnDeleteError);
    p.Property("OnEditError", &TDataSet::OnEditError);
    p.Property("OnNewRecord", &TDataSet::OnNewRecord);
    p.Property("OnPostError", &TDataSet::OnPostError);
}

void TDataSet::Loaded()
{
    TComponent::Loaded();
    if (streamedActive_) SetActive(true);
}

// Each object field before its children.
void TDataSet::GetChildren(const TGetChildProc& proc, TComponent* root)
{
    for (TField* field : ListOf(FieldList()))
        if (field->Owner() == root) proc(field);
}

// --- Opening and closing -------------------------------------------------------------------------------------------

void TDataSet::SetActive(bool active)
{
    if (ComponentState().Contains(csReading)) {
        streamedActive_ = active;
        return;
    }
    if (active == Active()) return;
    if (active)
        OpenNow();
    else
        CloseNow();
}

void TDataSet::OpenNow()
{
    DoBeforeOpen();
    try {
        OpenCursor(false);
    } catch (...) {
        CloseCursor();
        throw;
    }
    SetState(dsBrowse);
    DoAfterOpen();
    if (!IsEmpty()) DoAfterScroll();
}

void TDataSet::CloseNow()
{
    const bool destroying = ComponentState().Contains(csDestroying);
    if (!destroying) DoBeforeClose();
    SetState(dsInactive);
    CloseCursor();
    if (!destroying) DoAfterClose();
}

void TDataSet::OpenCursor(bool infoQuery)
{
    if (infoQuery) {
        InternalInitFieldDefs();
        return;
    }
    defaultFields_ = FieldCount() == 0;
    InternalOpen();
    UpdateBufferCount();
    bof_ = true;
}

void TDataSet::CloseCursor()
{
    blockReadSize_ = 0;
    ClearBuffers();
    SetBufListSize(0);
    bufferCount_ = 0;
    if (IsCursorOpen()) InternalClose();
    defaultFields_ = false;
}

void TDataSet::InitFieldDefs()
{
    if (IsCursorOpen()) {
        InternalInitFieldDefs();
        return;
    }
    // A closed dataset opens its cursor only to read the definitions.
    try {
        OpenCursor(true);
    } catch (...) {
        CloseCursor();
        throw;
    }
    CloseCursor();
}

void TDataSet::CheckActive() const
{
    if (state_ == dsInactive) DatabaseError(dbconsts::SDataSetClosed, this);
}

void TDataSet::CheckInactive() const
{
    if (Active()) DatabaseError(dbconsts::SDataSetOpen, this);
}

bool TDataSet::IsEmpty()
{
    return activeRecord_ >= recordCount_;
}

// --- State ---------------------------------------------------------------------------------------------------------

void TDataSet::SetState(TDataSetState value)
{
    if (state_ == value) return;
    state_ = value;
    modified_ = false;
    DataEvent(deUpdateState, 0);
}

TDataSetState TDataSet::SetTempState(TDataSetState value)
{
    const TDataSetState old = state_;
    state_ = value;
    ++disableCount_;
    return old;
}

void TDataSet::RestoreState(TDataSetState value)
{
    state_ = value;
    --disableCount_;
}

void TDataSet::DataEvent(TDataEvent event, intptr_t info)
{
    switch (event) {
    case deFieldChange: {
        TField* field = reinterpret_cast<TField*>(info);
        if (field->FieldKind() == fkData || field->FieldKind() == fkInternalCalc) modified_ = true;
        UpdateCalcFields();
        field->Change();
        break;
    }
    case dePropertyChange: fieldDefs_->SetUpdated(false); break;
    default: break;
    }
    if (disableCount_ == 0) {
        NotifyDataSources(event, info);
    } else if ((event == deUpdateState && state_ == dsInactive) || event == deLayoutChange) {
        enableEvent_ = deLayoutChange;
    }
}

void TDataSet::NotifyDataSources(TDataEvent event, intptr_t info)
{
    for (TDataSource* source : std::vector<TDataSource*>(dataSources_)) source->DataEvent(event, info);
}

void TDataSet::DisableControls()
{
    if (disableCount_ == 0) {
        disableState_ = state_;
        enableEvent_ = deDataSetChange;
    }
    ++disableCount_;
}

void TDataSet::EnableControls()
{
    if (disableCount_ == 0) return;
    if (--disableCount_ > 0) return;
    if (disableState_ != state_) DataEvent(deUpdateState, 0);
    if (disableState_ != dsInactive && state_ != dsInactive) DataEvent(enableEvent_, 0);
}

void TDataSet::Fire(const TDataSetNotifyEvent& event)
{
    if (event) event(this);
}

void TDataSet::InternalHandleException()
{
    if (ApplicationHandleException) ApplicationHandleException(this);
}

// --- Record buffers ------------------------------------------------------------------------------------------------

void TDataSet::SetBufListSize(Integer value)
{
    while (Integer(buffers_.size()) > value) {
        TRecordBuffer buffer = buffers_.back();
        buffers_.pop_back();
        FreeRecordBuffer(buffer);
    }
    while (Integer(buffers_.size()) < value) buffers_.push_back(AllocRecordBuffer());
}

void TDataSet::UpdateBufferCount()
{
    if (!IsCursorOpen()) return;
    Integer wanted = 1;
    for (TDataSource* source : dataSources_) wanted = std::max(wanted, source->MaxLinkBufferCount());
    SetBufferCount(wanted);
}

void TDataSet::SetBufferCount(Integer count)
{
    if (count == bufferCount_ || count < 1) return;
    if (count < bufferCount_) {
        const Integer drop = std::max(0, activeRecord_ - (count - 1));
        for (Integer i = 0; i < drop; ++i) MoveBuffer(0, Integer(buffers_.size()) - 1);
        activeRecord_ -= drop;
        recordCount_ = std::min(recordCount_ - drop, count);
        CursorPosChanged();
        SetBufListSize(count + 1);
        bufferCount_ = count;
        ShiftLinkWindows(-drop);
        return;
    }
    SetBufListSize(count + 1);
    bufferCount_ = count;
    const bool filled = recordCount_ > 0;
    GetNextRecords();
    if (filled) ShiftLinkWindows(GetPriorRecords());
}

void TDataSet::ShiftLinkWindows(Integer distance)
{
    if (distance == 0) return;
    for (TDataSource* source : dataSources_) source->BuffersShifted(distance);
}

void TDataSet::MoveBuffer(Integer curIndex, Integer newIndex)
{
    if (curIndex == newIndex) return;
    TRecordBuffer buffer = buffers_[curIndex];
    if (curIndex < newIndex)
        std::move(buffers_.begin() + curIndex + 1, buffers_.begin() + newIndex + 1, buffers_.begin() + curIndex);
    else
        std::move_backward(buffers_.begin() + newIndex, buffers_.begin() + curIndex, buffers_.begin() + curIndex + 1);
    buffers_[newIndex] = buffer;
}

void TDataSet::ClearBuffers()
{
    recordCount_ = 0;
    activeRecord_ = 0;
    currentRecord_ = -1;
    bof_ = true;
    eof_ = true;
}

void TDataSet::ActivateBuffers()
{
    recordCount_ = 1;
    activeRecord_ = 0;
    currentRecord_ = 0;
    bof_ = false;
    eof_ = false;
}

void TDataSet::SetCurrentRecord(Integer index)
{
    if (currentRecord_ == index) return;
    TRecordBuffer buffer = buffers_[index];
    switch (GetBookmarkFlag(buffer)) {
    case bfCurrent:
    case bfInserted: InternalSetToRecord(buffer); break;
    case bfBOF: InternalFirst(); break;
    case bfEOF: InternalLast(); break;
    }
    currentRecord_ = index;
}

void TDataSet::UpdateCursorPos()
{
    if (recordCount_ > 0) SetCurrentRecord(activeRecord_);
}

bool TDataSet::GetNextRecord()
{
    TGetMode mode = gmNext;
    if (recordCount_ > 0) {
        SetCurrentRecord(recordCount_ - 1);
        if (state_ == dsInsert && currentRecord_ == activeRecord_ && GetBookmarkFlag(ActiveBuffer()) == bfCurrent)
            mode = gmCurrent;
    }
    const bool ok = GetRecord(buffers_[recordCount_], mode, true) == grOK;
    if (!ok) {
        CursorPosChanged();
        return false;
    }
    if (recordCount_ == 0) {
        ActivateBuffers();
    } else {
        if (recordCount_ < bufferCount_)
            ++recordCount_;
        else
            MoveBuffer(0, recordCount_);
    }
    currentRecord_ = recordCount_ - 1;
    return true;
}

bool TDataSet::GetPriorRecord()
{
    if (recordCount_ > 0) SetCurrentRecord(0);
    const bool ok = GetRecord(buffers_[recordCount_], gmPrior, true) == grOK;
    if (!ok) {
        CursorPosChanged();
        return false;
    }
    if (recordCount_ == 0) {
        ActivateBuffers();
    } else {
        MoveBuffer(recordCount_, 0);
        if (recordCount_ < bufferCount_) {
            ++recordCount_;
            ++activeRecord_;
        }
    }
    currentRecord_ = 0;
    return true;
}

Integer TDataSet::GetNextRecords()
{
    Integer count = 0;
    while (recordCount_ < bufferCount_ && GetNextRecord()) ++count;
    return count;
}

Integer TDataSet::GetPriorRecords()
{
    Integer count = 0;
    while (recordCount_ < bufferCount_ && GetPriorRecord()) ++count;
    return count;
}

void TDataSet::Resync(TResyncMode mode)
{
    TRecordBuffer spare = buffers_[recordCount_];
    if (mode.Contains(rmExact)) {
        CursorPosChanged();
        if (GetRecord(spare, gmCurrent, true) != grOK) DatabaseError(dbconsts::SRecordNotFound, this);
    } else if (GetRecord(spare, gmCurrent, false) != grOK && GetRecord(spare, gmNext, false) != grOK &&
               GetRecord(spare, gmPrior, false) != grOK) {
        ClearBuffers();
        DataEvent(deDataSetChange, 0);
        return;
    }
    const Integer before = mode.Contains(rmCenter) ? (bufferCount_ - 1) / 2 : activeRecord_;
    MoveBuffer(recordCount_, 0);
    ActivateBuffers();
    try {
        Integer count = 0;
        while (count < before && GetPriorRecord()) ++count;
        GetNextRecords();
        GetPriorRecords();
    } catch (...) {
        DataEvent(deDataSetChange, 0);
        throw;
    }
    DataEvent(deDataSetChange, 0);
}

void TDataSet::InitRecord(TRecordBuffer buffer)
{
    InternalInitRecord(buffer);
    ClearCalcFields(buffer);
    SetBookmarkFlag(buffer, bfInserted);
}

// --- Navigation ----------------------------------------------------------------------------------------------------

void TDataSet::First()
{
    CheckBrowseMode();
    DoBeforeScroll();
    ClearBuffers();
    try {
        InternalFirst();
        GetNextRecord();
        GetNextRecords();
    } catch (...) {
        bof_ = true;
        DataEvent(deDataSetChange, 0);
        throw;
    }
    bof_ = true;
    DataEvent(deDataSetChange, 0);
    DoAfterScroll();
}

void TDataSet::Last()
{
    CheckBrowseMode();
    DoBeforeScroll();
    ClearBuffers();
    try {
        InternalLast();
        GetPriorRecord();
        GetPriorRecords();
    } catch (...) {
        eof_ = true;
        DataEvent(deDataSetChange, 0);
        throw;
    }
    eof_ = true;
    DataEvent(deDataSetChange, 0);
    DoAfterScroll();
}

Integer TDataSet::MoveBy(Integer distance)
{
    CheckBrowseMode();
    Integer moved = 0;
    DoBeforeScroll();
    if ((distance > 0 && !eof_) || (distance < 0 && !bof_)) {
        bof_ = false;
        eof_ = false;
        const Integer oldRecordCount = recordCount_;
        Integer scrollDistance = 0;
        auto report = [&] {
            if (recordCount_ != oldRecordCount)
                DataEvent(deDataSetChange, 0);
            else
                DataEvent(deDataSetScroll, scrollDistance);
        };
        try {
            for (; distance > 0; --distance, ++moved) {
                if (activeRecord_ < recordCount_ - 1) {
                    ++activeRecord_;
                    continue;
                }
                const Integer shift = recordCount_ < bufferCount_ ? 0 : 1;
                if (!GetNextRecord()) {
                    eof_ = true;
                    break;
                }
                scrollDistance -= shift;
                activeRecord_ = recordCount_ - 1;
            }
            for (; distance < 0; ++distance, --moved) {
                if (activeRecord_ > 0) {
                    --activeRecord_;
                    continue;
                }
                const Integer shift = recordCount_ < bufferCount_ ? 0 : 1;
                if (!GetPriorRecord()) {
                    bof_ = true;
                    break;
                }
                scrollDistance += shift;
                activeRecord_ = 0;
            }
        } catch (...) {
            report();
            throw;
        }
        report();
        DoAfterScroll();
    }
    return moved;
}

void TDataSet::Next()
{
    if (blockReadSize_ > 0)
        BlockReadNext();
    else
        MoveBy(1);
}

void TDataSet::SetBlockReadSize(Integer value)
{
    if (value > 0) {
        CheckActive();
        blockReadSize_ = value;
        SetState(dsBlockRead);
        return;
    }
    blockReadSize_ = 0;
    if (state_ == dsBlockRead) SetState(dsBrowse);
}

void TDataSet::Refresh()
{
    CheckBrowseMode();
    UpdateCursorPos();
    InternalRefresh();
    Resync({});
}

void TDataSet::CheckBrowseMode()
{
    CheckActive();
    DataEvent(deCheckBrowseMode, 0);
    switch (state_) {
    case dsEdit:
    case dsInsert:
        UpdateRecord();
        if (modified_)
            Post();
        else
            Cancel();
        break;
    case dsSetKey: Post(); break;
    default: break;
    }
}

bool TDataSet::FindRecord(bool restart, bool goForward)
{
    return false;
}

bool TDataSet::Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options)
{
    return false;
}

Variant TDataSet::Lookup(const std::string& keyFields, const Variant& keyValues, const std::string& resultFields)
{
    return Null();
}

// --- Bookmarks -----------------------------------------------------------------------------------------------------

TBookmark TDataSet::Bookmark()
{
    if (bookmarkSize_ == 0 || recordCount_ == 0 || GetBookmarkFlag(ActiveBuffer()) != bfCurrent) return TBookmark();
    TBookmark bookmark(bookmarkSize_, '\0');
    GetBookmarkData(ActiveBuffer(), bookmark.data());
    return bookmark;
}

void TDataSet::GotoBookmark(const TBookmark& bookmark)
{
    if (bookmark.empty()) return;
    CheckBrowseMode();
    DoBeforeScroll();
    InternalGotoBookmark(bookmark.data());
    Resync({rmExact, rmCenter});
    DoAfterScroll();
}

// --- Editing -------------------------------------------------------------------------------------------------------

void TDataSet::CheckCanModify()
{
    if (!GetCanModify()) DatabaseError(dbconsts::SDataSetReadOnly, this);
}

void TDataSet::CheckOperation(TDataOperation operation, const TDataSetErrorEvent& errorEvent)
{
    for (;;) {
        try {
            UpdateCursorPos();
            (this->*operation)();
            return;
        } catch (EDatabaseError& e) {
            TDataAction action = daFail;
            if (errorEvent) errorEvent(this, e, action);
            if (action == daFail) throw;
            if (action == daAbort) Abort();
        }
    }
}

void TDataSet::Edit()
{
    if (InEditModes(state_)) return;
    if (recordCount_ == 0) {
        Insert();
        return;
    }
    CheckBrowseMode();
    CheckCanModify();
    DoBeforeEdit();
    CheckOperation(&TDataSet::InternalEdit, OnEditError);
    GetCalcFields(ActiveBuffer());
    SetState(dsEdit);
    DataEvent(deRecordChange, 0);
    DoAfterEdit();
}

void TDataSet::BeginInsertAppend()
{
    CheckBrowseMode();
    CheckCanModify();
    DoBeforeInsert();
    DoBeforeScroll();
}

void TDataSet::EndInsertAppend()
{
    SetState(dsInsert);
    try {
        DoOnNewRecord();
    } catch (...) {
        UpdateCursorPos();
        throw;
    }
    modified_ = false;
    DataEvent(deDataSetChange, 0);
    DoAfterInsert();
    DoAfterScroll();
}

void TDataSet::Insert()
{
    BeginInsertAppend();
    const TBookmark oldCurrent = Bookmark();
    MoveBuffer(recordCount_, activeRecord_);
    TRecordBuffer buffer = ActiveBuffer();
    InitRecord(buffer);
    if (recordCount_ == 0)
        SetBookmarkFlag(buffer, bfBOF);
    else if (!oldCurrent.empty())
        SetBookmarkData(buffer, oldCurrent.data());
    if (recordCount_ < bufferCount_) ++recordCount_;
    CursorPosChanged();
    InternalInsert();
    EndInsertAppend();
}

void TDataSet::Append()
{
    BeginInsertAppend();
    ClearBuffers();
    TRecordBuffer buffer = buffers_[0];
    InitRecord(buffer);
    SetBookmarkFlag(buffer, bfEOF);
    recordCount_ = 1;
    bof_ = false;
    GetPriorRecords();
    InternalInsert();
    EndInsertAppend();
}

void TDataSet::DoOnNewRecord()
{
    Fire(OnNewRecord);
}

void TDataSet::DoOnCalcFields()
{
    Fire(OnCalcFields);
}

void TDataSet::Post()
{
    UpdateRecord();
    if (!InEditModes(state_)) return;
    DataEvent(deCheckBrowseMode, 0);
    DoBeforePost();
    CheckOperation(&TDataSet::InternalPost, OnPostError);
    FreeFieldBuffers();
    SetState(dsBrowse);
    Resync({});
    DoAfterPost();
}

void TDataSet::InternalPost()
{
    CheckRequiredFields();
}

void TDataSet::FreeFieldBuffers()
{
    for (TField* field : ListOf(FieldList())) field->FreeBuffers();
}

// Every field, the children of object fields too (with ObjectView they are not in Fields).
void TDataSet::CheckRequiredFields()
{
    for (TField* field : ListOf(FieldList())) {
        if (field->Required() && !field->ReadOnly() && field->FieldKind() == fkData && field->IsNull()) {
            field->FocusControl();
            DatabaseErrorFmt(dbconsts::SFieldRequired, {field->DisplayName()});
        }
    }
}

void TDataSet::Cancel()
{
    if (!InEditModes(state_)) return;
    DataEvent(deCheckBrowseMode, 0);
    DoBeforeCancel();
    const bool scrolls = state_ == dsInsert;
    if (scrolls) DoBeforeScroll();
    UpdateCursorPos();
    InternalCancel();
    FreeFieldBuffers();
    SetState(dsBrowse);
    Resync({});
    DoAfterCancel();
    if (scrolls) DoAfterScroll();
}

void TDataSet::Delete()
{
    CheckActive();
    if (state_ == dsInsert || state_ == dsSetKey) {
        Cancel();
        return;
    }
    if (recordCount_ == 0) DatabaseError(dbconsts::SDataSetEmpty, this);
    DataEvent(deCheckBrowseMode, 0);
    DoBeforeDelete();
    DoBeforeScroll();
    CheckOperation(&TDataSet::InternalDelete, OnDeleteError);
    SetState(dsBrowse);
    Resync({});
    DoAfterDelete();
    DoAfterScroll();
}

void TDataSet::UpdateRecord()
{
    if (!InEditModes(state_) && state_ != dsSetKey) DatabaseError(dbconsts::SNotEditing, this);
    DataEvent(deUpdateRecord, 0);
}

void TDataSet::ClearFields()
{
    if (!InEditModes(state_)) DatabaseError(dbconsts::SNotEditing, this);
    DataEvent(deCheckBrowseMode, 0);
    InternalInitRecord(ActiveBuffer());
    if (state_ != dsSetKey) GetCalcFields(ActiveBuffer());
    DataEvent(deRecordChange, 0);
}

void TDataSet::AddRecordValues(const std::vector<Variant>& values, bool append)
{
    BeginInsertAppend();
    if (!append) UpdateCursorPos();
    DisableControls();
    try {
        MoveBuffer(recordCount_, activeRecord_);
        InitRecord(ActiveBuffer());
        SetState(dsInsert);
        SetFieldValuesOf(values);
        UpdateRecord();
        DoBeforePost();
        CheckRequiredFields();
        InternalAddRecord(ActiveBuffer(), append);
        FreeFieldBuffers();
        SetState(dsBrowse);
    } catch (...) {
        SetState(dsBrowse);
        Resync({});
        EnableControls();
        throw;
    }
    Resync({});
    EnableControls();
    DoAfterPost();
    DoAfterScroll();
}

void TDataSet::SetFieldValuesOf(const std::vector<Variant>& values)
{
    for (size_t i = 0; i < values.size() && Integer(i) < fields_->Count(); ++i) {
        TField* field = fields_->Fields(Integer(i));
        if (field->FieldKind() == fkData && !VarIsEmpty(values[i])) field->SetAsVariant(values[i]);
    }
}

// --- Calculated fields ---------------------------------------------------------------------------------------------

void TDataSet::GetCalcFields(TRecordBuffer buffer)
{
    if (calcFieldsSize_ == 0 && !internalCalcFields_) return;
    const TDataSetState saved = SetTempState(dsCalcFields);
    try {
        CalculateFields(buffer);
    } catch (...) {
        RestoreState(saved);
        throw;
    }
    RestoreState(saved);
}

void TDataSet::CalculateFields(TRecordBuffer buffer)
{
    calcBuffer_ = buffer;
    ClearCalcFields(buffer);
    for (Integer i = 0; i < fields_->Count(); ++i) {
        TField* field = fields_->Fields(i);
        if (field->FieldKind() == fkLookup) field->CalcLookupValue();
    }
    DoOnCalcFields();
}

void TDataSet::UpdateCalcFields()
{
    if (autoCalcFields_ && (calcFieldsSize_ > 0 || internalCalcFields_) && InEditModes(state_))
        GetCalcFields(ActiveBuffer());
}

// --- Filtering -----------------------------------------------------------------------------------------------------

void TDataSet::SetFiltered(bool value)
{
    filtered_ = value;
}

void TDataSet::SetFilterText(const std::string& text)
{
    filterText_ = text;
}

void TDataSet::SetFilterOptions(TFilterOptions options)
{
    filterOptions_ = options;
}

void TDataSet::SetOnFilterRecord(const TFilterRecordEvent& handler)
{
    onFilterRecord_ = handler;
}

// --- Fields --------------------------------------------------------------------------------------------------------

void TDataSet::AddField(TField* field)
{
    fields_->Add(field);
}

void TDataSet::RemoveField(TField* field)
{
    fields_->Remove(field);
}

TField* TDataSet::FieldByName(const std::string& name) const
{
    TField* field = FindField(name);
    if (!field) DatabaseErrorFmt(dbconsts::SFieldNotFound, {name}, this);
    return field;
}

std::vector<TField*> TDataSet::GetFieldList(const std::string& fieldNames) const
{
    std::vector<TField*> list;
    for (const std::string& name : SplitFieldNames(fieldNames)) list.push_back(FieldByName(name));
    return list;
}

Variant TDataSet::FieldValues(const std::string& fieldNames) const
{
    const std::vector<TField*> list = GetFieldList(fieldNames);
    if (list.size() == 1) return list[0]->AsVariant();
    std::vector<Variant> values;
    for (TField* field : list) values.push_back(field->AsVariant());
    return VarArrayOf(values);
}

void TDataSet::SetFieldValues(const std::string& fieldNames, const Variant& value)
{
    const std::vector<TField*> list = GetFieldList(fieldNames);
    if (list.size() == 1) {
        list[0]->SetAsVariant(value);
        return;
    }
    for (size_t i = 0; i < list.size(); ++i) list[i]->SetAsVariant(value[Integer(i)]);
}

void TDataSet::GetFieldNames(TStrings* list) const
{
    list->BeginUpdate();
    list->Clear();
    for (const std::string& name : GetFieldNames()) list->Add(name);
    list->EndUpdate();
}

Variant TDataSet::GetStateFieldValue(TDataSetState state, TField* field)
{
    const TDataSetState saved = SetTempState(state);
    Variant value;
    try {
        value = field->AsVariant();
    } catch (...) {
        RestoreState(saved);
        throw;
    }
    RestoreState(saved);
    return value;
}

void TDataSet::SetStateFieldValue(TDataSetState state, TField* field, const Variant& value)
{
    const TDataSetState saved = SetTempState(state);
    try {
        field->SetAsVariant(value);
    } catch (...) {
        RestoreState(saved);
        throw;
    }
    RestoreState(saved);
}

void TDataSet::SetObjectView(bool value)
{
    CheckInactive();
    if (value == objectView_) return;
    objectView_ = value;
    ArrangeFields();
}

void TDataSet::SetSparseArrays(bool value)
{
    CheckInactive();
    sparseArrays_ = value;
}

void TDataSet::ArrangeFields()
{
    std::vector<TField*> topLevel;
    for (Integer i = 0; i < fields_->Count(); ++i)
        if (!fields_->Fields(i)->ParentField()) topLevel.push_back(fields_->Fields(i));
    fields_->Clear();
    for (TField* field : topLevel) AddWithChildren(fields_.get(), field, !objectView_);
}

TFields* TDataSet::FieldList() const
{
    fieldList_->Clear();
    for (Integer i = 0; i < fields_->Count(); ++i)
        if (!fields_->Fields(i)->ParentField()) AddWithChildren(fieldList_.get(), fields_->Fields(i), true);
    return fieldList_.get();
}

TField* TDataSet::FindField(const std::string& name) const
{
    if (TField* field = fields_->FindField(name)) return field;
    TFields* all = FieldList();
    for (Integer i = 0; i < all->Count(); ++i) {
        TField* field = all->Fields(i);
        if (field->ParentField() && AnsiCompareText(field->FullName(), name) == 0) return field;
    }
    return nullptr;
}

std::string TDataSet::GetFieldFullName(TField* field)
{
    TObjectField* parent = field->ParentField();
    if (!parent) return field->FieldName();
    if (parent->DataType() == ftArray)
        return parent->FullName() + "[" + IntToStr(parent->Fields()->IndexOf(field)) + "]";
    if (!parent->UnNamed()) return parent->FullName() + "." + field->FieldName();
    TObjectField* grandParent = parent->ParentField();
    return grandParent ? grandParent->FullName() + "." + field->FieldName() : field->FieldName();
}

void TDataSet::SetDataSetField(TDataSetField* field)
{
    if (field == dataSetField_) return;
    if (dataSetField_) dataSetField_->nestedDataSet_ = nullptr;
    dataSetField_ = field;
    if (!field) return;
    if (field->nestedDataSet_) field->nestedDataSet_->dataSetField_ = nullptr;
    field->nestedDataSet_ = this;
}

void TDataSet::CreateFields()
{
    for (Integer i = 0; i < fieldDefs_->Count(); ++i) {
        TFieldDef* def = fieldDefs_->Items(i);
        if (def->DataType != ftUnknown && !def->Attributes.Contains(faHiddenCol)) def->CreateField(this);
    }
}

bool TDataSet::HasConstraints() const
{
    if (constraints_->Count() > 0) return true;
    for (Integer i = 0; i < fields_->Count(); ++i)
        if (fields_->Fields(i)->HasConstraints()) return true;
    return false;
}

void TDataSet::DestroyFields()
{
    const std::vector<TField*> all = ListOf(FieldList());
    for (auto it = all.rbegin(); it != all.rend(); ++it)
        if ((*it)->Owner() == this) (*it)->Free();
}

void TDataSet::BindFields(bool binding)
{
    calcFieldsSize_ = 0;
    blobFieldCount_ = 0;
    internalCalcFields_ = false;
    for (TField* field : ListOf(FieldList())) {
        if (!binding) {
            if (field->FieldKind() != fkCalculated && field->FieldKind() != fkLookup) field->SetFieldNo(0);
            continue;
        }
        if (field->FieldKind() == fkCalculated || field->FieldKind() == fkLookup) {
            field->SetFieldNo(-1);
            field->SetOffset(calcFieldsSize_);
            calcFieldsSize_ += field->DataSize() + 1;
            continue;
        }
        Integer fieldNo = 0;
        const TFieldDef* def = FieldDefOf(field, fieldNo);
        if (!def) DatabaseErrorFmt(dbconsts::SFieldNotFound, {field->DisplayName()}, this);
        if (def->DataType != field->DataType() && !(def->DataType == ftFixedChar && field->DataType() == ftString))
            DatabaseErrorFmt(dbconsts::SFieldTypeMismatch,
                             {field->DisplayName(), FieldTypeName(field->DataType()), FieldTypeName(def->DataType)},
                             this);
        field->SetFieldNo(fieldNo);
        if (def->InternalCalcField) internalCalcFields_ = true;
        if (field->IsBlob()) ++blobFieldCount_;
    }
}

TFieldDef* TDataSet::FieldDefOf(TField* field, Integer& fieldNo) const
{
    TObjectField* parent = field->ParentField();
    if (!parent) {
        const Integer index = fieldDefs_->IndexOf(field->FieldName());
        if (index < 0) return nullptr;
        TFieldDef* def = fieldDefs_->Items(index);
        fieldNo = def->FieldNo;
        return def;
    }
    Integer parentNo = 0;
    TFieldDef* parentDef = FieldDefOf(parent, parentNo);
    if (!parentDef || !parentDef->HasChildDefs()) return nullptr;
    TFieldDefs* children = parentDef->ChildDefs();
    // Within an array element, the numbers of the element's definitions move along by the element's index.
    const Integer shift = parentNo - parentDef->FieldNo;
    if (parent->DataType() == ftArray) {
        TFieldDef* element = children->Items(0);
        fieldNo = element->FieldNo + shift + parent->Fields()->IndexOf(field) * FieldNumberSpan(element);
        return element;
    }
    const Integer index = children->IndexOf(field->FieldName());
    if (index < 0) return nullptr;
    TFieldDef* def = children->Items(index);
    fieldNo = def->FieldNo + shift;
    return def;
}

Integer TDataSet::Translate(const char* src, char* dest, bool toOem)
{
    const size_t length = std::strlen(src);
    if (src != dest) std::memcpy(dest, src, length + 1);
    return Integer(length);
}

Integer TDataSet::GetBlobFieldData(Integer fieldNo, std::vector<Byte>& buffer)
{
    TField* field = FieldByNumber(fieldNo);
    std::unique_ptr<TStream> stream(field ? CreateBlobStream(field, bmRead) : nullptr);
    if (!stream) return 0;
    const Integer size = Integer(stream->Size());
    if (size <= 0) return 0;
    if (Integer(buffer.size()) < size) buffer.resize(size + size / 4);
    stream->ReadBuffer(buffer.data(), size);
    return size;
}

// --- Data sources --------------------------------------------------------------------------------------------------

void TDataSet::AddDataSource(TDataSource* dataSource)
{
    dataSources_.push_back(dataSource);
}

void TDataSet::RemoveDataSource(TDataSource* dataSource)
{
    const auto it = std::find(dataSources_.begin(), dataSources_.end(), dataSource);
    if (it == dataSources_.end()) return;
    dataSources_.erase(it);
    UpdateBufferCount();
}

void TDataSet::GetDetailLinkFields(std::vector<TField*>& masterFields, std::vector<TField*>& detailFields)
{
    masterFields.clear();
    detailFields.clear();
}

bool TDataSet::IsLinkedTo(TDataSource* dataSource) const
{
    for (Integer guard = 0; dataSource && guard < 1000; ++guard) {
        TDataSet* dataSet = dataSource->DataSet();
        if (!dataSet) break;
        if (dataSet == this) return true;
        dataSource = dataSet->GetDataSource();
    }
    return false;
}
