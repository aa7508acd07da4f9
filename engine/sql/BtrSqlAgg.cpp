#include "engine/sql/BtrSqlAgg.h"

#include <cstring>
#include <limits>

#include "engine/core/BseError.h"
#include "engine/sql/BtrSqlLoad.h"

void TBtrSqlAggTable::MoveFirst()
{
    TBtrSqlBaseTable::MoveFirst();
    rowNumber_ = 1;
}

void TBtrSqlAggTable::MoveLast()
{
    TBtrSqlBaseTable::MoveLast();
    rowNumber_ = std::numeric_limits<Integer>::max();
}

void TBtrSqlAggTable::MoveNext()
{
    TBtrSqlBaseTable::MoveNext();
    ++rowNumber_;
}

void TBtrSqlAggTable::MovePrior()
{
    TBtrSqlBaseTable::MovePrior();
    --rowNumber_;
}

void TBtrSqlAggTable::GetBookMark(void* bookmark)
{
    std::memcpy(CheckParam(bookmark), &rowNumber_, sizeof rowNumber_);
}

void TBtrSqlAggTable::SetToBookMark(const void* bookmark)
{
    Integer wanted = 0;
    std::memcpy(&wanted, CheckParam(bookmark), sizeof wanted);
    // Rows numbered down from MaxInt were reached from the last row: they are found from there.
    const bool fromLast = wanted > std::numeric_limits<Integer>::max() / 2;
    SetState(fromLast ? curAtEnd : curNone);
    do {
        if (fromLast)
            GetPriorRecord(dbiNOLOCK, GetRecordBuffer(), nullptr);
        else
            GetNextRecord(dbiNOLOCK, GetRecordBuffer(), nullptr);
    } while (rowNumber_ != wanted);
    SetState(curOnRecord);
}

void TBtrSqlAggTable::ReadAtBookmark(const void* bookmark, Byte* record, Integer lock)
{
    SetRecordBuffer(CheckParam(record));
    SetToBookMark(bookmark);
    if (lock == dbiWRITELOCK)
        CheckCondition(FetchRow(SqlFetch::Current + SqlFetch::Lock, record), DBIERR_NOCURRREC);
}
