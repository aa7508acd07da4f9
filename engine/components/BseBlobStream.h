// TbqBlobStream: the stream through which a blob field of a cursor dataset reads and writes its data in the engine
// record. With the dataset's CacheBlobs on, a value read whole on the active record is kept in the record's
// blob cache, and later streams on it are served from there.
#pragma once

#include <string>

#include "db/BinaryFields.h"
#include "rtl/Streams.h"

class TbqBDEDataset;
class TVirtEng;

class TbqBlobStream : public TStream {
    DUN_CLASS(TbqBlobStream, TStream)
public:
    TbqBlobStream(TBlobField* field, TBlobStreamMode mode);
    ~TbqBlobStream() override;

    // The engine of the stream's dataset.
    virtual TVirtEng* Engine();

    Integer Read(void* buffer, Integer count) override;
    Integer Write(const void* buffer, Integer count) override;
    Int64 Seek(Int64 offset, Word origin) override;
    Int64 Size() override { return BlobSize(); }
    // Cuts the blob at the position.
    void Truncate();
    bool Opened() const { return opened_; }

private:
    void Open();
    Byte* Record() const;
    Integer BlobSize();
    Integer ReadFromCache(void* buffer, Integer count);
    Integer ReadFromEngine(void* buffer, Integer count);
    // Collects what a reading stream reads in order; the whole value goes into the blob cache.
    void CollectForCache(const char* bytes, Integer count);
    bool CollectsForCache() const;

    TBlobField* field_;
    TbqBDEDataset* dataSet_;
    TRecordBuffer record_ = nullptr;
    TBlobStreamMode mode_;
    Word fieldNo_;
    bool opened_ = false;
    bool modified_ = false;
    Integer position_ = 0;
    bool cached_ = false;
    std::string cacheText_;
};
