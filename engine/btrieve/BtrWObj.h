// TWinBtr: one open Btrieve file with its position block, key buffer, record buffer and statistics, and every
// requester operation on it.
#pragma once

#include <memory>
#include <string>

#include "rtl/Objects.h"
#include "rtl/Types.h"

// The key number calls use by default.
constexpr ShortInt DefaultKeyNumber = 0;

class TWinBtr : public TObject {
    DUN_CLASS(TWinBtr, TObject)
public:
    static constexpr int KeyBufferSize = 256;
    static constexpr int PositionBlockSize = 128;
    static constexpr int ClientIdSize = 16;
    static constexpr Word StatBufferSize = 1920;
    static constexpr int FileSpecSize = 16;
    static constexpr int SegmentSpecSize = 16;
    static constexpr int MaxStatSegments = (StatBufferSize - FileSpecSize) / SegmentSpecSize;
    static constexpr int CollatingSequenceSize = 265;
    static constexpr Byte CallKeyLength = 255;
    static constexpr ShortInt PhysicalKeyNumber = -1;
    static constexpr SmallInt SingleNoWaitLockBias = 200;
    // Segment flags in the statistics.
    static constexpr Word SegmentContinues = 0x10;
    static constexpr Word SegmentAltCollating = 0x20;

    // clientId: null, or 16 bytes that every call then carries (BTRCALLID).
    explicit TWinBtr(const void* clientId);
    ~TWinBtr() override;

    // The last status; a 22 reads (and stays) 0 while short buffers are tolerated.
    SmallInt GetStatus();
    bool StatusOK() { return GetStatus() == 0; }
    void SetStatus(SmallInt status) { status_ = status; }

    // One call on the object's buffers; raises any failure (status 9 as the end-of-data error).
    void Execute(Word operation);
    // One call on a caller's buffer (the returned length is not reported back); raises unless StatusOK.
    void ExecuteOnBuffer(Word operation, void* buffer, Word length);

    void SetBufferSize(Word size);
    void FreeBuffer();
    // The data buffer of the next Execute; null is ignored.
    void SetDataBuffer(void* buffer);
    // The data length offered to the next Execute.
    Word SetDataLength(Word length);
    void ClearKey(Integer count);

    void Open(const std::string& fileName, const char* owner, ShortInt mode);
    void Close();
    void Insert();
    void Update();
    void Delete();
    void GetEqual(const void* key, Byte keyLength, ShortInt keyNumber);
    void GetByKey(Word operation, const void* key, ShortInt keyNumber, Byte keyLength);
    void GetFirst();
    void GetLast();
    void GetNext();
    void GetPrev();
    void RefreshStat();
    // Copies the alternate collating sequence of the current key (265 bytes) to dest.
    void GetAcs(void* dest);
    void SetDirectory(const std::string& path);
    // The current directory of the default drive, zero-terminated, into destination of size bytes.
    void GetDirectory(char* destination, size_t size);
    void BeginTransaction(bool concurrent);
    void EndTransaction();
    void AbortTransaction();
    Cardinal GetPosition();
    void GetDirect(Cardinal position);
    void GotoPosition(Cardinal position);
    // Never raises; the status is kept.
    void Stop();
    void Unlock();
    void CreateIndex(const void* specs, Integer segments, ShortInt keyNumber);
    void DropIndex(ShortInt keyNumber);
    void GetByPercentage(bool byKey, Integer percentage);
    // Hundredths of a percent of the current record's place (0 to 10000); 0 on any failure.
    Integer FindPercentage(bool byKey);

    // Statistics readers.
    void GetStat(void* dest);
    Word GetRecordLength();
    Word GetPageSize();
    Integer GetKeyCount();
    Integer GetRecordCount();
    Integer KeyCount();
    Integer RecordCount();
    bool IsAcsKey() const;

    bool IsOpen() const { return open_; }
    Word BufferSize() const { return bufferSize_; }
    Word DataLength() const { return dataLength_; }
    Byte KeyLength() const { return keyLength_; }
    Byte* OwnBuffer() { return ownBuffer_.get(); }
    void* DataBuffer() { return dataBuffer_; }
    Byte* KeyBuffer() { return keyBuffer_; }
    Byte* PositionBlock() { return positionBlock_; }
    const Byte* StatBuffer() const { return statBuffer_; }
    ShortInt KeyNumber() const { return keyNumber_; }
    void SetKeyNumber(ShortInt keyNumber) { keyNumber_ = keyNumber; }
    SmallInt LockBias() const { return lockBias_; }
    // Added to the operation of the next Execute only.
    void SetLockBias(SmallInt lockBias) { lockBias_ = lockBias; }
    Cardinal LockedPosition() const { return lockedPosition_; }
    bool NoKeys() const { return noKeys_; }
    // Whether moves step through the records in physical order: a file without keys, or no key selected
    // (PhysicalKeyNumber).
    bool Physical() const { return noKeys_ || keyNumber_ < 0; }
    bool ShortBufferTolerated() const { return shortBufferTolerated_; }
    void SetShortBufferTolerated(bool tolerated) { shortBufferTolerated_ = tolerated; }
    bool UsesClientId() const { return useClientId_; }
    const Byte* ClientId() const { return clientId_; }

private:
    class TKeyNumberScope;
    class TToleranceScope;

    SmallInt CallRequester(Word operation, void* data, Word* length, void* key, Byte keyLength, ShortInt keyNumber);
    // Execute on a buffer of the object's own making; the data buffer returns to the own buffer also on failure.
    void ExecuteOnScratch(Word operation, void* scratch, Word length);
    void ZeroOwnBufferTail(Word returned, Word offered);
    void PutPositionInDataBuffer(Cardinal value);
    [[noreturn]] void RaiseStatus(SmallInt status);
    Word StatWord(int offset) const;

    SmallInt status_ = 0;
    Word bufferSize_ = 0;
    Word pendingLength_ = 0;
    Word dataLength_ = 0;
    Byte keyLength_ = 0;
    std::unique_ptr<Byte[]> ownBuffer_;
    void* dataBuffer_ = nullptr;
    bool open_ = false;
    Byte keyBuffer_[KeyBufferSize] = {};
    Byte positionBlock_[PositionBlockSize] = {};
    Byte statBuffer_[StatBufferSize] = {};
    ShortInt keyNumber_ = DefaultKeyNumber;
    SmallInt lockBias_ = 0;
    Cardinal lockedPosition_ = 0;
    bool noKeys_ = false;
    bool shortBufferTolerated_ = false;
    Byte clientId_[ClientIdSize] = {};
    bool useClientId_ = false;
};
