// TBtrSqlAggTable: the result cursor of a stored-procedure call. It counts its rows and marks a row by its number;
// returning to a mark reads again from the first row (from the last row for numbers counted down from MaxInt).
#pragma once

#include "engine/sql/BtrSqlTable.h"

class TBtrSqlAggTable : public TBtrSqlBaseTable {
    DUN_CLASS(TBtrSqlAggTable, TBtrSqlBaseTable)
public:
    using TBtrSqlBaseTable::TBtrSqlBaseTable;

    // 1 on the first row, MaxInt after MoveLast.
    Integer RowNumber() const { return rowNumber_; }

    Word GetBookmarkSize() override { return sizeof(Integer); }
    void MoveFirst() override;
    void MoveLast() override;
    void MoveNext() override;
    void MovePrior() override;
    void GetBookMark(void* bookmark) override;
    void SetToBookMark(const void* bookmark) override;
    void ReadAtBookmark(const void* bookmark, Byte* record, Integer lock) override;

private:
    Integer rowNumber_ = 0;
};
