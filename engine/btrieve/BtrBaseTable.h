// The common base of the cursors whose records are in Btrieve record form: table-name options, field values through
// the Btrieve conversions, comparison of values in record form, bookmarks by physical position and a memo field
// stored inline at the end of the record.
#pragma once

#include <string>

#include "engine/core/BseTable.h"

// A bookmark of a Btrieve cursor: the 4-byte physical record position, then the key buffer.
constexpr Word BtrBookmarkKeyOffset = 4;

class TBtrBaseTable : public TBaseTable {
    DUN_CLASS(TBtrBaseTable, TBaseTable)
public:
    // clientId: the session's 16-byte client identifier (nullptr for the default client); kept by reference.
    TBtrBaseTable(TBapiListItem* owner, TBoreaCollection* collection, const Byte* clientId,
                  const std::string& tableName, const std::string& openOptions, Integer openMode, Integer shareMode);

    const Byte* ClientId() const { return clientId_; }
    bool MemoLast() const { return memoLast_; }
    void SetMemoLast(bool memoLast) { memoLast_ = memoLast; }
    // Memo last from the field list as it stands: whether its last field is a memo.
    void MemoLastFromFields();
    const std::string& OwnerName() const { return ownerName_; }
    bool HasResource() const { return hasResource_; }
    const std::string& ResourceName() const { return resourceName_; }

    // Size of the driver's record buffer.
    virtual Word GetDataBufferSize() { return 0; }
    // Length of the record the next write sends.
    virtual void SetWriteLength(Word length) {}
    virtual void AdjustWriteLength(TFieldCacheItem* item, Word textLength);

    // TBaseTable
    void SetTableName(const std::string& name) override;
    void ConvertToLogical(Word localType, Word localSize, SmallInt units2, Word fieldLength, const Byte* source,
                          void* dest, bool& blank) override;
    void ConvertToNative(Word localType, Word localSize, SmallInt units2, Word fieldLength, const void* value,
                         Byte* dest) override;
    Integer CompareValues(Word logicalType, TFieldCacheItem* item, const void* value1, const void* value2,
                          bool caseInsensitive, Word length) override;
    void ReadField(TFieldCacheItem* item, Byte* record, bool& blank, void* dest) override;
    void WriteField(TFieldCacheItem* item, const void* value) override;
    const Byte* BookmarkKey(const void* bookmark) override;
    void CompareBookMarks(const void* bookmark1, const void* bookmark2, Integer& result) override;
    void OpenBlob(Byte* record, Word field, Integer openMode) override;
    void GetBlobSize(Byte* record, Word field, Cardinal& size) override;
    // Copies at most length bytes of the memo text from offset; always ends with the end-of-blob error.
    void GetBlob(Byte* record, Word field, Cardinal offset, Cardinal length, void* dest, Cardinal& read) override;
    void PutBlob(Byte* record, Word field, Cardinal offset, Cardinal length, const void* source) override;

protected:
    // Whether the current index keeps one record per key; equal keys of other indexes order by position.
    virtual bool CurrentIndexUnique() { return false; }
    // Before an insert or update: the record is sent without the unused rest of a memo at its end.
    void ApplyMemoWriteLength(Byte* record);

private:
    TFieldCacheItem* MemoField(Word field);

    const Byte* clientId_;
    bool memoLast_ = false;
    std::string ownerName_;
    bool hasResource_ = false;
    std::string resourceName_;
};
