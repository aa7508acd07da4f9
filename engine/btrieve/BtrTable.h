// TBtrTable: the cursor over one Btrieve file. Every read, key seek, bookmark, lock and write becomes one or a few
// operations of its file object; keys are built from field values in Btrieve record form.
#pragma once

#include <memory>
#include <string>

#include "engine/btrieve/BtrBaseTable.h"
#include "engine/btrieve/BtrWObj.h"

class TBtrTable : public TBtrBaseTable {
    DUN_CLASS(TBtrTable, TBtrBaseTable)
public:
    static constexpr Word DriverBlockSize = 97;      // the FILE.DDF entry of the table (file id first)
    static constexpr Word BookmarkSize = 260;        // physical position, then the key buffer

    TBtrTable(TBapiListItem* owner, TBoreaCollection* collection, const Byte* clientId, const std::string& tableName,
              const std::string& openOptions, Integer openMode, Integer shareMode);

    TWinBtr* File() const { return file_.get(); }
    bool CollatingKey() const { return collatingKey_; }

    // After a seek of operation: a partial key must match the wanted key over the given fields, then range and
    // filters decide.
    virtual void CheckSeekResult(Word operation, Word fieldCount, const Byte* key, Word length);

    // TBtrBaseTable
    Word GetDataBufferSize() override;
    void SetWriteLength(Word length) override;

    // TBaseTable
    Word GetDriverBlockSize() override { return DriverBlockSize; }
    Byte* GetRecordBuffer() override;
    Word GetRecordLength() override;
    Word GetBookmarkSize() override { return BookmarkSize; }
    void AfterCreate() override;
    void BeforeDestroy() override;
    void MoveFirst() override;
    void MoveLast() override;
    void MoveNext() override;
    void MovePrior() override;
    Integer CompareValues(Word logicalType, TFieldCacheItem* item, const void* value1, const void* value2,
                          bool caseInsensitive, Word length) override;
    void Open() override;
    void Close() override;
    // source: a FIELD.DDF record.
    void GetFieldDesc(Word number, const void* source, Word& localSize, Word& localType,
                      FLDDesc& descriptor) override;
    void GetBookMark(void* bookmark) override;
    void SetToBookMark(const void* bookmark) override;
    void ReadAtBookmark(const void* bookmark, Byte* record, Integer lock) override;
    void GetRecordForKey(bool keyItself, Word fieldCount, Byte* record, const Byte* key, Word length) override;
    void AcqTableLock(Integer lock) override;
    void RelTableLock(Integer lock) override;
    void UnlockRecords() override;
    void SetReadLock(Integer lock) override;
    void InsertRecord(Integer lock, Byte* record) override;
    void ModifyRecord(Byte* record, bool freeLock) override;
    void DeleteRecord(Byte* record) override;
    void GetSeqNo(Integer& number) override;
    void SetToSeqNo(Integer number) override;
    void GetCursorProps(CURProps& properties) override;
    void GetRecordCount(Integer& count) override;
    void GetRecordPosition(Cardinal& position) override;
    void SetToRecordPosition(Cardinal position) override;
    void IndexNumberFromName(const std::string& name, Word& number, std::string* nameDest) override;
    void SwitchToIndex(const std::string& name, bool keepPosition) override;
    // No current key: moves step through the records in physical order and there is no current index to describe.
    void SelectPhysicalOrder();
    void SeekKey(Word condition, bool keyItself, Byte* record, const Byte* key, Word length,
                 Word fieldCount) override;
    void BuildKey(const Byte* record, Byte* key, Word& keyLength, Word length, Word fieldCount) override;
    // Number 0 is the current key (key 0 while indexes are listed; DBIERR_NOSUCHINDEX in physical order);
    // describing the current key also sets the cursor's key fields and segments.
    void GetIndexDesc(Word number, IDXDesc& descriptor) override;
    void AddIndex(const IDXDesc& descriptor) override;
    void DeleteIndex(const std::string& name) override;

protected:
    bool CurrentIndexUnique() override { return currentIndexUnique_; }

private:
    enum class TKeyFill { Low, High };

    Byte* DataBufferFor(Byte* record);
    void FitBufferToLayout();
    // Reads by call into record (the file's own buffer for nullptr); the rest of a short record is zeroed.
    template <class F>
    void ReadInto(Byte* record, F call);
    void MoveBy(void (TWinBtr::*move)());
    void FillKey(Byte* key, Word fromField, TKeyFill fill);
    // The key of field count fields (length bytes of the last when given) from key itself or a record.
    void ComposeKey(Byte* key, bool keyItself, const Byte* source, Word length, Word fieldCount, TKeyFill fill);
    void SeekBookmarkKey(const Byte* key);
    void CheckExactPosition();
    Word KeyFieldsOf(Word fieldCount, Word length) const;
    void SelectKey(Word number);
    void DescribeKey(Word keyNumber, IDXDesc& descriptor, bool current);
    // The file's key numbers in key order (they may have gaps), from its statistics.
    std::vector<Byte> KeyNumbers();
    bool HasKey(Word number);
    Word KeyNumberAt(Word ordinal);

    std::unique_ptr<TWinBtr> file_;
    bool collatingKey_ = false;
    Byte collatingSequence_[TWinBtr::CollatingSequenceSize] = {};
    Byte segmentTypes_[MaxKeySegments] = {};  // Btrieve type of each segment of the current key
    bool currentIndexUnique_ = false;
    bool tableLocked_ = false;
    // The position was reached by the key of a bookmark whose record is gone: no write may take it for that record.
    bool positionInexact_ = false;
};
