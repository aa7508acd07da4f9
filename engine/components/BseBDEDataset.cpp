#include "engine/components/BseBDEDataset.h"

#include <algorithm>
#include <cstring>

#include "db/DBConsts.h"
#include "db/ObjectFields.h"
#include "engine/components/BseMainStartup.h"
#include "engine/components/BseMainText.h"
#include "engine/core/BseEng.h"
#include "engine/core/BseTable.h"

namespace {

constexpr Byte UpdateStatusInserted = 2;

// The dataset components' start-up and shut-down.
struct TDatasetUnitStartup {
    TDatasetUnitStartup() { ChainComStartup(); }
    ~TDatasetUnitStartup() { EndComStartup(); }
};

const TDatasetUnitStartup unitStartup;

}  // namespace

TbqBDEDataset::TbqBDEDataset(TComponent* owner) : TDataSet(owner) {}

TbqBDEDataset::~TbqBDEDataset() = default;

void TbqBDEDataset::Publish(TPublisher<TbqBDEDataset>& p)
{
    p.Property("CachedUpdates", &TbqBDEDataset::CachedUpdates, &TbqBDEDataset::SetCachedUpdates).Default(false);
    p.Property("ObjectView", &TDataSet::ObjectView, &TDataSet::SetObjectView).Default(false);
}

// --- Opening and closing -------------------------------------------------------------------------------------------

void TbqBDEDataset::OpenCursor(bool infoQuery)
{
    handle_ = CreateHandle();
    if (!handle_) throw ENoResultSet("Error creating cursor handle");
    TDataSet::OpenCursor(infoQuery);
}

void TbqBDEDataset::CloseCursor()
{
    TDataSet::CloseCursor();
    if (!handle_) return;
    DestroyHandle();
    handle_ = nullptr;
}

void TbqBDEDataset::DestroyHandle()
{
    Engine()->RelRecordLock(handle_, false);
    Engine()->CloseCursor(handle_);
}

void TbqBDEDataset::InternalOpen()
{
    CURProps props{};
    Check(Engine()->GetCursorProps(handle_, props));
    recordSize_ = props.iRecBufSize;
    SetBookmarkSize(props.iBookMarkSize);
    canModify_ = props.eOpenMode == 0 && props.bTempTable == 0;
    // The engine refuses the constraint callback, so a modifiable dataset with constraints does not open.
    constraintLayer_ = HasConstraints() && GetCanModify();
    if (constraintLayer_) Check(Engine()->RegisterConstraintCallBack());
    recNoStatus_ = props.iSeqNums;
    FieldDefs()->SetUpdated(false);
    FieldDefs()->Update();
    GetIndexInfo();
    if (DefaultFields()) CreateFields();
    BindFields(true);
    if (ObjectView()) GetObjectTypeNames(Fields());
    InitBufferPointers(false);
    AllocKeyBuffers();
    Engine()->SetToBegin(handle_);
    PrepareCursor();
    if (!Filter().empty()) exprFilter_ = CreateExprFilter(Filter(), FilterOptions(), 0);
    if (OnFilterRecord()) funcFilter_ = CreateFuncFilter(1);
    if (Filtered()) ActivateFilters();
}

void TbqBDEDataset::InternalClose()
{
    exprFilter_ = nullptr;
    funcFilter_ = nullptr;
    FreeKeyBuffers();
    BindFields(false);
    if (DefaultFields()) DestroyFields();
    ClearIndexInfo();
    canModify_ = false;
    constraintLayer_ = false;
}

// --- Record buffers ------------------------------------------------------------------------------------------------

void TbqBDEDataset::InitBufferPointers(bool readProps)
{
    if (readProps) {
        CURProps props{};
        Check(Engine()->GetCursorProps(handle_, props));
        recordSize_ = props.iRecBufSize;
        SetBookmarkSize(props.iBookMarkSize);
    }
    blobCacheOfs_ = recordSize_ + CalcFieldsSize();
    recInfoOfs_ = blobCacheOfs_ + Integer(sizeof(std::string*)) * BlobFieldCount();
    bookmarkOfs_ = recInfoOfs_ + Integer(sizeof(TRecInfo));
    recBufSize_ = bookmarkOfs_ + BookmarkSize();
}

void TbqBDEDataset::RebuildBuffers()
{
    try {
        SetBufListSize(0);
        InitBufferPointers(true);
        SetBufListSize(BufferCount() + 1);
    } catch (...) {
        SetState(dsInactive);
        CloseCursor();
        throw;
    }
}

TRecordBuffer TbqBDEDataset::AllocRecordBuffer()
{
    return new char[recBufSize_]();
}

void TbqBDEDataset::FreeRecordBuffer(TRecordBuffer& buffer)
{
    if (!buffer) return;
    for (Integer i = 0; i < BlobFieldCount(); ++i)
        delete reinterpret_cast<std::string**>(buffer + blobCacheOfs_)[i];
    delete[] buffer;
    buffer = nullptr;
}

TbqBDEDataset::TRecInfo* TbqBDEDataset::RecInfo(TRecordBuffer buffer) const
{
    return reinterpret_cast<TRecInfo*>(buffer + recInfoOfs_);
}

void TbqBDEDataset::InternalInitRecord(TRecordBuffer buffer)
{
    Engine()->InitRecord(handle_, reinterpret_cast<Byte*>(buffer));
}

void TbqBDEDataset::InitRecord(TRecordBuffer buffer)
{
    TDataSet::InitRecord(buffer);
    ClearBlobCache(buffer);
    TRecInfo* info = RecInfo(buffer);
    info->RecordNumber = -1;
    info->UpdateStatus = UpdateStatusInserted;
    info->BookmarkFlag = bfInserted;
}

void TbqBDEDataset::ClearCalcFields(TRecordBuffer buffer)
{
    std::memset(buffer + recordSize_, 0, CalcFieldsSize());
}

TGetResult TbqBDEDataset::GetRecord(TRecordBuffer buffer, TGetMode mode, bool doCheck)
{
    Byte* record = reinterpret_cast<Byte*>(buffer);
    Word result = 0;
    switch (mode) {
    case gmCurrent: result = Engine()->GetRecord(handle_, dbiNOLOCK, record, &recProps_); break;
    case gmNext: result = Engine()->GetNextRecord(handle_, dbiNOLOCK, record, &recProps_); break;
    case gmPrior: result = Engine()->GetPriorRecord(handle_, dbiNOLOCK, record, &recProps_); break;
    }
    if (result == DBIERR_BOF) return grBOF;
    if (result == DBIERR_EOF) return grEOF;
    if (result != 0) {
        if (doCheck) Check(result);
        return grError;
    }
    TRecInfo* info = RecInfo(buffer);
    info->RecordNumber = -1;
    info->UpdateStatus = Byte(recProps_.iRecStatus);
    info->BookmarkFlag = bfCurrent;
    ClearBlobCache(buffer);
    GetCalcFields(buffer);
    Check(Engine()->GetBookMark(handle_, buffer + bookmarkOfs_));
    return grOK;
}

bool TbqBDEDataset::GetCurrentRecord(TRecordBuffer buffer)
{
    if (IsEmpty() || GetBookmarkFlag(ActiveBuffer()) != bfCurrent) return false;
    UpdateCursorPos();
    return Engine()->GetRecord(handle_, dbiNOLOCK, reinterpret_cast<Byte*>(buffer), nullptr) == 0;
}

Integer TbqBDEDataset::GetRecordCount()
{
    CheckActive();
    Integer count = 0;
    if (Engine()->GetExactRecordCount(handle_, count) == 0) return count;
    if (Engine()->GetRecordCount(handle_, count) == 0) return count;
    return -1;
}

Integer TbqBDEDataset::GetRecNo()
{
    CheckActive();
    TRecordBuffer buffer = State() == dsCalcFields ? CalcBuffer() : ActiveBuffer();
    return buffer ? RecInfo(buffer)->RecordNumber : -1;
}

void TbqBDEDataset::SetRecNo(Integer value)
{
    CheckBrowseMode();
    if (recNoStatus_ != 1 || value == RecNo()) return;
    if (Engine()->SetToSeqNo(handle_, value) == 0) Resync({rmCenter});
}

bool TbqBDEDataset::IsSequenced()
{
    return recNoStatus_ == 1 && !Filtered();
}

// --- Navigation and editing ----------------------------------------------------------------------------------------

void TbqBDEDataset::InternalFirst()
{
    Check(Engine()->SetToBegin(handle_));
}

void TbqBDEDataset::InternalLast()
{
    Check(Engine()->SetToEnd(handle_));
}

void TbqBDEDataset::InternalEdit()
{
    Check(Engine()->GetRecord(handle_, dbiWRITELOCK, reinterpret_cast<Byte*>(ActiveBuffer()), nullptr));
    ClearBlobCache(ActiveBuffer());
}

void TbqBDEDataset::InternalInsert()
{
    SetBoolProp(Engine(), handle_, curMAKECRACK, true);
    CursorPosChanged();
}

void TbqBDEDataset::InternalPost()
{
    Byte* record = reinterpret_cast<Byte*>(ActiveBuffer());
    if (State() == dsEdit)
        Check(Engine()->ModifyRecord(handle_, record, true));
    else
        Check(Engine()->InsertRecord(handle_, dbiNOLOCK, record));
}

void TbqBDEDataset::InternalAddRecord(const TRecordBuffer buffer, bool append)
{
    Byte* record = reinterpret_cast<Byte*>(buffer);
    if (append)
        Check(Engine()->AppendRecord(handle_, record));
    else
        Check(Engine()->InsertRecord(handle_, dbiNOLOCK, record));
}

void TbqBDEDataset::InternalDelete()
{
    const Word result = Engine()->DeleteRecord(handle_, nullptr);
    if (result != 0 && (result >> 8) != 0x22) Check(result);
}

void TbqBDEDataset::InternalCancel()
{
    if (State() == dsEdit) Engine()->RelRecordLock(handle_, false);
}

void TbqBDEDataset::InternalRefresh()
{
    if (DataSetField() && DataSetField()->DataType() == ftReference)
        Check(Engine()->ForceRecordReread(handle_, reinterpret_cast<Byte*>(ActiveBuffer())));
    else
        Check(Engine()->ForceReread(handle_));
}

// --- Bookmarks -----------------------------------------------------------------------------------------------------

void TbqBDEDataset::InternalGotoBookmark(const char* bookmark)
{
    Check(Engine()->SetToBookMark(handle_, bookmark));
}

void TbqBDEDataset::InternalSetToRecord(TRecordBuffer buffer)
{
    InternalGotoBookmark(buffer + bookmarkOfs_);
}

TBookmarkFlag TbqBDEDataset::GetBookmarkFlag(TRecordBuffer buffer)
{
    return TBookmarkFlag(RecInfo(buffer)->BookmarkFlag);
}

void TbqBDEDataset::SetBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag value)
{
    RecInfo(buffer)->BookmarkFlag = Byte(value);
}

void TbqBDEDataset::GetBookmarkData(TRecordBuffer buffer, char* data)
{
    std::memcpy(data, buffer + bookmarkOfs_, BookmarkSize());
}

void TbqBDEDataset::SetBookmarkData(TRecordBuffer buffer, const char* data)
{
    std::memcpy(buffer + bookmarkOfs_, data, BookmarkSize());
}

Integer TbqBDEDataset::CompareBookmarks(const TBookmark& b1, const TBookmark& b2)
{
    if (b1.empty() && b2.empty()) return 0;
    if (b1.empty()) return 1;
    if (b2.empty()) return -1;
    if (!handle_) return 0;
    Integer result = 0;
    Check(Engine()->CompareBookMarks(handle_, b1.data(), b2.data(), result));
    return result == 2 ? 0 : result;
}

bool TbqBDEDataset::BookmarkValid(const TBookmark& bookmark)
{
    if (!handle_ || bookmark.empty()) return false;
    CursorPosChanged();
    return Engine()->SetToBookMark(handle_, bookmark.data()) == 0 &&
           Engine()->GetRecord(handle_, dbiNOLOCK, nullptr, nullptr) == 0;
}

// --- Block reading -------------------------------------------------------------------------------------------------

Byte* TbqBDEDataset::BlockRecord() const
{
    return const_cast<Byte*>(blockBuffer_.data()) + blockIndex_ * recordSize_;
}

void TbqBDEDataset::SetBlockReadSize(Integer value)
{
    if (value == BlockReadSize()) return;
    if (value < 1) {
        TDataSet::SetBlockReadSize(value);
        CursorPosChanged();
        Resync({});
        return;
    }
    UpdateCursorPos();
    Engine()->SetProp(handle_, curMAKECRACK, 0);
    if (blockBuffer_.empty()) blockBuffer_.resize(BlockBufferSize);
    blockRecords_ = std::min(value, BlockBufferSize / std::max<Integer>(recordSize_, 1));
    blockIndex_ = blockCount_ = blockRecords_;
    blockTotal_ = 0;
    TDataSet::SetBlockReadSize(value);
    BlockReadNext();
}

void TbqBDEDataset::BlockReadNext()
{
    if (blockIndex_ < blockCount_ - 1) {
        ++blockIndex_;
    } else if (blockCount_ < blockRecords_) {
        Last();
        return;
    } else {
        Integer count = blockRecords_;
        const Word result = Engine()->ReadBlock(handle_, count, blockBuffer_.data());
        if (result != 0 && result != DBIERR_EOF) Check(result);
        blockCount_ = count;
        if (count == 0) {
            Last();
            return;
        }
        blockTotal_ += count;
        blockIndex_ = 0;
    }
    if (CalcFieldsSize() > 0) GetCalcFields(TempBuffer());
    DataEvent(deDataSetScroll, -1);
}

void TbqBDEDataset::DataEvent(TDataEvent event, intptr_t info)
{
    if (event == deParentScroll) First();
    TDataSet::DataEvent(event, info);
}

// --- Cached updates ------------------------------------------------------------------------------------------------

void TbqBDEDataset::SetCachedUpdates(bool value)
{
    if (value) DatabaseError("Cached updates are not available on this dataset", this);
}

Variant TbqBDEDataset::GetStateFieldValue(TDataSetState, TField*)
{
    DatabaseError("Not in cached update mode", this);
}

void TbqBDEDataset::SetStateFieldValue(TDataSetState, TField*, const Variant&)
{
    DatabaseError("Not in cached update mode", this);
}

TUpdateStatus TbqBDEDataset::UpdateStatus()
{
    return usUnmodified;
}
