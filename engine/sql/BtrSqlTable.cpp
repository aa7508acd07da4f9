#include "engine/sql/BtrSqlTable.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/btrieve/BtrConv.h"
#include "engine/btrieve/BtrError.h"
#include "engine/core/BseError.h"
#include "engine/sql/BtrSqlLoad.h"
#include "rtl/StringRoutines.h"

namespace {

// The field list of the x calls: every column.
constexpr Byte AllColumns[4] = {4, '*', '.', '*'};
constexpr Word LengthWordSize = 2;
constexpr Word RecordTailSize = 4;
constexpr SmallInt ColumnNameBufferSize = 256;
constexpr size_t FieldNameMax = 31;

bool IsEndOfRows(SmallInt status)
{
    return status == SqlStatus::Ok || status == SqlStatus::NoMoreRecords || status == SqlStatus::EndOfData;
}

// Aggregates the requester leaves untyped get a type of their own.
void TypeAggregate(SmallInt& type, SmallInt& size, SmallInt decimals, const std::string& name)
{
    if (size != 0 || type != 0) return;
    const std::string upper = AnsiUpperCase(name);
    if (upper.find("COUNT(") != std::string::npos) {
        type = SmallInt(BtrType::Integer);
        size = 4;
    } else if (decimals == 0 && (upper.find("SUM(") != std::string::npos || upper.find("AVG(") != std::string::npos)) {
        type = SmallInt(BtrType::Float);
        size = 8;
    }
}

}  // namespace

TBtrSqlBaseTable::TBtrSqlBaseTable(TBapiListItem* owner, TBoreaCollection* collection, const Byte* clientId,
                                   SmallInt cursorId)
        : TBtrBaseTable(owner, collection, clientId, "", "", 0, 0), cursorId_(cursorId)
{
}

// ---- properties

void TBtrSqlBaseTable::GetProp(Cardinal property, void* buffer, Word& length, Word maxLength)
{
    if (property != PropertyOption && property != PropertyCursorId) {
        TBtrBaseTable::GetProp(property, buffer, length, maxLength);
        return;
    }
    const Word size = property == PropertyOption ? sizeof option_ : sizeof cursorId_;
    CheckParam(buffer);
    CheckCondition(maxLength >= size, DBIERR_INVALIDPARAM);
    std::memcpy(buffer, property == PropertyOption ? static_cast<const void*>(&option_) : &cursorId_, size);
    length = size;
}

void TBtrSqlBaseTable::SetProp(Cardinal property, uintptr_t value)
{
    if (property == PropertyOption)
        option_ = Byte(value);
    else if (property != PropertyCursorId)
        TBtrBaseTable::SetProp(property, value);
}

void TBtrSqlBaseTable::CheckProp(Cardinal property, bool flag)
{
    if (property == PropertyCursorId && flag) RaiseEngineError(DBIERR_NOTSUPPORTED);
    if (property != PropertyOption && property != PropertyCursorId) TBtrBaseTable::CheckProp(property, flag);
}

// ---- columns

bool TBtrSqlBaseTable::DescribeColumn(SmallInt column, TColumn& result)
{
    SmallInt width = 0;
    SmallInt nameLength = ColumnNameBufferSize;
    char name[ColumnNameBufferSize + 1] = {};
    const SmallInt status =
        XqlDescribe(cursorId_, column, result.Type, result.Size, result.Decimals, width, nameLength, name);
    if (status == SqlStatus::NoSuchColumn) return false;
    CheckSqlStatus(status);
    CheckCondition(result.Size != 0 || nameLength != 0, DBIERR_INVALIDPARAM);
    result.Name.assign(name, size_t(std::clamp<SmallInt>(nameLength, 0, ColumnNameBufferSize)));
    TypeAggregate(result.Type, result.Size, result.Decimals, result.Name);
    std::replace(result.Name.begin(), result.Name.end(), '^', '_');
    return true;
}

void TBtrSqlBaseTable::DescribeAllColumns()
{
    if (described_) return;
    columns_.clear();
    for (SmallInt column = 1;; ++column) {
        TColumn described;
        if (!DescribeColumn(column, described)) break;
        columns_.push_back(described);
    }
    Word size = LengthWordSize + RecordTailSize;
    for (const TColumn& column : columns_) size = Word(size + column.Size);
    RecordSize = SmallInt(size);
    bool memoLast = false;
    if (!columns_.empty()) {
        Word logicalType = 0, subType = 0;
        SmallInt units1 = 0;
        MapBtrieveType(Word(columns_.back().Type), Word(columns_.back().Size), logicalType, units1, subType);
        memoLast = subType == BtrSubType::Memo;
    }
    SetMemoLast(memoLast);
    described_ = true;
}

Word TBtrSqlBaseTable::GetRecordLength()
{
    DescribeAllColumns();
    return Word(RecordSize);
}

void TBtrSqlBaseTable::GetFieldDesc(Word number, const void* source, Word& localSize, Word& localType,
                                    FLDDesc& descriptor)
{
    DescribeAllColumns();
    if (number < 1 || number > columns_.size()) RaiseSqlError(SqlStatus::NoSuchColumn);
    Word offset = LengthWordSize;
    for (Word i = 1; i < number; ++i) offset = Word(offset + columns_[i - 1].Size);
    const TColumn& column = columns_[number - 1];
    TFieldDDFRecord record{};
    record.DataType = Byte(column.Type);
    record.Offset = offset;
    record.Size = Word(column.Size);
    record.Decimals = Byte(column.Decimals);
    FieldDescFromDictionary(record, number, descriptor);
    std::memset(descriptor.szName, 0, sizeof descriptor.szName);
    std::memcpy(descriptor.szName, column.Name.data(), std::min(column.Name.size(), FieldNameMax));
    localSize = Word(column.Size);
    localType = Word(column.Type);
}

void TBtrSqlBaseTable::GetCursorProps(CURProps& properties)
{
    DescribeAllColumns();
    if (!columns_.empty()) FieldCache()->Field(Integer(columns_.size()));
    TBtrBaseTable::GetCursorProps(properties);
    properties.iFields = Word(columns_.size());
    properties.iRecSize = Word(RecordSize);
    properties.iRecBufSize = Word(RecordSize);
}

void TBtrSqlBaseTable::Open()
{
    CheckSqlStatus(XqlExec(cursorId_));
    TBtrBaseTable::Open();
    DescribeAllColumns();
    if (!columns_.empty()) FieldCache()->Field(Integer(columns_.size()));
}

// ---- moves

Byte* TBtrSqlBaseTable::RecordBufferOrRaise()
{
    return CheckParam(GetRecordBuffer());
}

bool TBtrSqlBaseTable::FetchRow(SmallInt option, Byte* buffer)
{
    Integer length = GetRecordLength();
    Integer count = 1;
    CheckSqlStatus(XqlFetch(cursorId_, option, length, CheckParam(buffer), count, 0, 0));
    return count > 0;
}

void TBtrSqlBaseTable::Move(SmallInt option, bool backward)
{
    Integer length = GetRecordLength();
    Integer count = 1;
    const SmallInt status = XqlFetch(cursorId_, option, length, RecordBufferOrRaise(), count, 0, 0);
    if (count > 0 && (status == SqlStatus::Ok || status == SqlStatus::NoMoreRecords)) return;
    if (IsEndOfRows(status)) backward ? RaiseBOF() : RaiseEOF();
    CheckSqlStatus(status);
}

void TBtrSqlBaseTable::MoveFirst()
{
    Move(SqlFetch::First, false);
}

void TBtrSqlBaseTable::MoveLast()
{
    Move(SqlFetch::Last, true);
}

void TBtrSqlBaseTable::MoveNext()
{
    Move(SqlFetch::Next, false);
}

void TBtrSqlBaseTable::MovePrior()
{
    Move(SqlFetch::Prior, true);
}

// ---- bookmarks

void TBtrSqlBaseTable::GetBookMark(void* bookmark)
{
    std::memset(CheckParam(bookmark), 0, BookmarkSize);
    Integer length = BookmarkSize;
    Integer count = 1;
    Integer rejected = 0;
    CheckSqlStatus(XFetch(cursorId_, length, SqlFetch::Position, count, rejected, bookmark));
    CheckCondition(count > 0, DBIERR_NOCURRREC);
}

size_t TBtrSqlBaseTable::SetPositionBufferSize()
{
    return 3 * size_t(std::max<Word>(GetRecordLength(), BookmarkSize));
}

bool TBtrSqlBaseTable::FetchAtBookmark(const void* bookmark, Byte* buffer, SmallInt option)
{
    Word length = 0;
    std::memcpy(&length, CheckParam(bookmark), sizeof length);
    length = std::min<Word>(length, BookmarkSize - LengthWordSize);
    std::memcpy(buffer, &length, sizeof length);
    std::memcpy(buffer + LengthWordSize, static_cast<const Byte*>(bookmark) + LengthWordSize, length);
    Integer bufferLength = Integer(SetPositionBufferSize());
    Integer count = 1;
    Integer rejected = 0;
    CheckSqlStatus(XFetch(cursorId_, bufferLength, option, count, rejected, buffer));
    return count > 0;
}

void TBtrSqlBaseTable::SetToBookMark(const void* bookmark)
{
    std::vector<Byte> buffer(SetPositionBufferSize());
    CheckCondition(FetchAtBookmark(bookmark, buffer.data(), SqlFetch::SetPosition), DBIERR_NOCURRREC);
    Byte* record = GetRecordBuffer() ? GetRecordBuffer() : buffer.data();
    CheckCondition(FetchRow(SqlFetch::Current, record), DBIERR_NOCURRREC);
    SetState(curOnRecord);
}

void TBtrSqlBaseTable::ReadAtBookmark(const void* bookmark, Byte* record, Integer lock)
{
    CheckParam(record);
    std::vector<Byte> buffer(SetPositionBufferSize());
    const SmallInt option = SmallInt(SqlFetch::SetPosition + (lock == dbiWRITELOCK ? SqlFetch::Lock : 0));
    CheckCondition(FetchAtBookmark(bookmark, buffer.data(), option), DBIERR_NOCURRREC);
    std::memcpy(record, buffer.data(), GetRecordLength());
    SetState(curOnRecord);
}

// ---- writes

void TBtrSqlBaseTable::WriteField(TFieldCacheItem* item, const void* value)
{
    if (value && MemoLast() && item->FieldNumber() == columns_.size()) {
        const auto* text = static_cast<const char*>(value);
        PutBlob(item->RecordAddress, item->FieldNumber(), 0, Cardinal(std::strlen(text)), text);
        return;
    }
    TBtrBaseTable::WriteField(item, value);
}

void TBtrSqlBaseTable::AdjustWriteLength(TFieldCacheItem* item, Word textLength)
{
    writeLength_ = Word(item->Descriptor.iOffset + textLength);
}

void TBtrSqlBaseTable::SetLengthWord(Byte* record, Word length)
{
    std::memcpy(record, &length, sizeof length);
}

Word TBtrSqlBaseTable::FullLength()
{
    return Word(GetRecordLength() - RecordTailSize);
}

void TBtrSqlBaseTable::RereadCurrentRow(Byte* record)
{
    CheckCondition(FetchRow(SqlFetch::Current, record), DBIERR_NOCURRREC);
}

void TBtrSqlBaseTable::InsertRecord(Integer lock, Byte* record)
{
    SetLengthWord(CheckParam(record), MemoLast() && writeLength_ ? writeLength_ : FullLength());
    writeLength_ = 0;
    SmallInt fields = 1;
    Integer count = 1;
    CheckSqlStatus(XInsert(cursorId_, fields, AllColumns, count, record));
    RereadCurrentRow(record);
}

void TBtrSqlBaseTable::ModifyRecord(Byte* record, bool freeLock)
{
    SetLengthWord(CheckParam(record), MemoLast() && writeLength_ ? writeLength_ : FullLength());
    writeLength_ = 0;
    SmallInt fields = 1;
    Integer count = 1;
    CheckSqlStatus(XUpdate(cursorId_, fields, AllColumns, count, record));
    RereadCurrentRow(record);
}

void TBtrSqlBaseTable::DeleteRecord(Byte* record)
{
    SmallInt fields = 1;
    Integer count = 1;
    CheckSqlStatus(XRemove(cursorId_, fields, AllColumns, count));
    SetState(curCrack);
}

void TBtrSqlBaseTable::ReadBlock(Integer& count, Byte* buffer)
{
    CheckParam(buffer);
    Integer length = Integer(GetRecordLength()) * count;
    const SmallInt status = XqlFetch(cursorId_, SqlFetch::Next, length, buffer, count, 0, 0);
    if (count > 0 && (status == SqlStatus::Ok || status == SqlStatus::NoMoreRecords)) return;
    if (IsEndOfRows(status)) {
        count = 0;
        RaiseEOF();
    }
    CheckSqlStatus(status);
}

void TBtrSqlBaseTable::WriteBlock(Integer& count, Byte* buffer)
{
    CheckParam(buffer);
    for (Integer i = 0; i < count; ++i) SetLengthWord(buffer + size_t(i) * GetRecordLength(), FullLength());
    SmallInt fields = 1;
    CheckSqlStatus(XInsert(cursorId_, fields, AllColumns, count, buffer));
}
