#include "engine/btrieve/BtrWObj.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "engine/btrieve/BtrError.h"
#include "engine/btrieve/BtrLoad.h"

namespace {

namespace Op {
constexpr Word Open = 0;
constexpr Word Close = 1;
constexpr Word Insert = 2;
constexpr Word Update = 3;
constexpr Word Delete = 4;
constexpr Word GetEqual = 5;
constexpr Word GetNext = 6;
constexpr Word GetPrev = 7;
constexpr Word GetFirst = 12;
constexpr Word GetLast = 13;
constexpr Word Stat = 15;
constexpr Word SetDirectory = 17;
constexpr Word GetDirectory = 18;
constexpr Word BeginTransaction = 19;
constexpr Word BeginConcurrentTransaction = 1019;
constexpr Word EndTransaction = 20;
constexpr Word AbortTransaction = 21;
constexpr Word GetPosition = 22;
constexpr Word GetDirect = 23;
constexpr Word StepNext = 24;
constexpr Word Stop = 25;
constexpr Word Unlock = 27;
constexpr Word CreateIndex = 31;
constexpr Word DropIndex = 32;
constexpr Word StepFirst = 33;
constexpr Word StepLast = 34;
constexpr Word StepPrev = 35;
constexpr Word GetByPercentage = 44;
constexpr Word FindPercentage = 45;
}  // namespace Op

constexpr ShortInt ExactKeyNumberFlag = ShortInt(0x80);
constexpr Word StopScratchSize = 5;
constexpr Word GotoPositionClearSize = 12;

Word ReadWord(const Byte* at)
{
    Word value;
    std::memcpy(&value, at, sizeof(value));
    return value;
}

// The entry index where key ordinal `key` starts among the `entries` segment entries that follow the file
// specification (entries itself when it starts right after them); -1 when the entries end before it. A key ends
// at an entry whose continuation flag is clear.
int FirstSegmentOfKey(const Byte* reply, int entries, int key)
{
    int index = 0;
    for (int keysSeen = 0; keysSeen < key; ++index) {
        if (index >= entries) return -1;
        const Byte* entry = reply + TWinBtr::FileSpecSize + index * TWinBtr::SegmentSpecSize;
        if (!(ReadWord(entry + 4) & TWinBtr::SegmentContinues)) ++keysSeen;
    }
    return index;
}

}  // namespace

// Passes another key number for the calls of its lifetime.
class TWinBtr::TKeyNumberScope {
public:
    TKeyNumberScope(TWinBtr& file, ShortInt keyNumber) : file_(file), saved_(file.keyNumber_)
    {
        file.keyNumber_ = keyNumber;
    }
    ~TKeyNumberScope() { file_.keyNumber_ = saved_; }

private:
    TWinBtr& file_;
    ShortInt saved_;
};

// Tolerates a too-short data buffer (status 22) for the calls of its lifetime.
class TWinBtr::TToleranceScope {
public:
    explicit TToleranceScope(TWinBtr& file) : file_(file), saved_(file.shortBufferTolerated_)
    {
        file.shortBufferTolerated_ = true;
    }
    ~TToleranceScope() { file_.shortBufferTolerated_ = saved_; }

private:
    TWinBtr& file_;
    bool saved_;
};

TWinBtr::TWinBtr(const void* clientId)
{
    if (clientId) {
        std::memcpy(clientId_, clientId, ClientIdSize);
        useClientId_ = true;
    }
}

TWinBtr::~TWinBtr()
{
    if (open_) {
        try {
            Close();
        } catch (...) {
        }
    }
    FreeBuffer();
}

SmallInt TWinBtr::GetStatus()
{
    if (status_ == BtrStatus::DataBufferTooShort && shortBufferTolerated_) status_ = BtrStatus::Ok;
    return status_;
}

SmallInt TWinBtr::CallRequester(Word operation, void* data, Word* length, void* key, Byte keyLength,
                                ShortInt keyNumber)
{
    if (useClientId_) {
        return BtrCallId(operation, positionBlock_, data, length, key, keyLength, keyNumber, clientId_);
    }
    return BtrCall(operation, positionBlock_, data, length, key, keyLength, keyNumber);
}

void TWinBtr::RaiseStatus(SmallInt status)
{
    status_ = status;
    RaiseBtrieveError(status);
}

void TWinBtr::Execute(Word operation)
{
    const bool locking = lockBias_ != 0;
    if (locking) {
        operation = Word(operation + lockBias_);
        lockBias_ = 0;
    }
    dataLength_ = pendingLength_;
    pendingLength_ = bufferSize_;
    const Word offered = dataLength_;
    status_ = CallRequester(operation, dataBuffer_, &dataLength_, keyBuffer_, CallKeyLength, keyNumber_);
    if (!StatusOK()) RaiseBtrieveError(status_);
    if (dataBuffer_ == ownBuffer_.get()) ZeroOwnBufferTail(dataLength_, offered);
    dataBuffer_ = ownBuffer_.get();
    if (locking) lockedPosition_ = GetPosition();
}

void TWinBtr::ZeroOwnBufferTail(Word returned, Word offered)
{
    const Word end = std::min(offered, bufferSize_);
    if (returned < end) std::memset(ownBuffer_.get() + returned, 0, end - returned);
}

void TWinBtr::ExecuteOnScratch(Word operation, void* scratch, Word length)
{
    dataBuffer_ = scratch;
    pendingLength_ = length;
    try {
        Execute(operation);
    } catch (...) {
        dataBuffer_ = ownBuffer_.get();
        throw;
    }
}

void TWinBtr::ExecuteOnBuffer(Word operation, void* buffer, Word length)
{
    Word dataLength = length;
    status_ = CallRequester(operation, buffer, &dataLength, keyBuffer_, CallKeyLength, keyNumber_);
    if (!StatusOK()) RaiseBtrieveError(status_);
}

void TWinBtr::SetBufferSize(Word size)
{
    status_ = BtrStatus::Ok;
    if (size == bufferSize_) return;
    FreeBuffer();
    ownBuffer_.reset(new (std::nothrow) Byte[size]());
    if (!ownBuffer_) {
        pendingLength_ = 0;
        status_ = BtrStatus::DataBufferTooShort;
        return;
    }
    bufferSize_ = pendingLength_ = size;
    dataBuffer_ = ownBuffer_.get();
}

void TWinBtr::FreeBuffer()
{
    ownBuffer_.reset();
    dataBuffer_ = nullptr;
    bufferSize_ = pendingLength_ = 0;
}

void TWinBtr::SetDataBuffer(void* buffer)
{
    if (buffer) dataBuffer_ = buffer;
}

Word TWinBtr::SetDataLength(Word length)
{
    pendingLength_ = length;
    return length;
}

void TWinBtr::ClearKey(Integer count)
{
    if (count > 0 && count <= KeyBufferSize) std::memset(keyBuffer_, 0, size_t(count));
}

void TWinBtr::Open(const std::string& fileName, const char* owner, ShortInt mode)
{
    if (open_) Close();
    if (fileName.size() > CallKeyLength) {
        status_ = BtrStatus::InvalidFileName;
        RaiseBtrieveErrorWithText(status_, fileName);
    }
    char name[KeyBufferSize] = {};
    std::memcpy(name, fileName.data(), fileName.size());
    keyLength_ = Byte(fileName.size());
    std::string ownerText = owner ? owner : "";
    dataLength_ = ownerText.empty() ? 0 : Word(ownerText.size() + 1);
    status_ = CallRequester(Op::Open, ownerText.data(), &dataLength_, name, CallKeyLength, mode);
    if (!StatusOK()) RaiseBtrieveErrorWithText(status_, fileName);
    open_ = true;
    keyNumber_ = DefaultKeyNumber;
    SetBufferSize(GetRecordLength());
    open_ = StatusOK();
    noKeys_ = KeyCount() == 0;
}

void TWinBtr::Close()
{
    if (!open_) RaiseStatus(BtrStatus::FileNotOpen);
    Byte scratch[4] = {};
    ExecuteOnScratch(Op::Close, scratch, sizeof(scratch));
    open_ = false;
    lockedPosition_ = 0;
    FreeBuffer();
    std::memset(statBuffer_, 0, sizeof(statBuffer_));
}

void TWinBtr::Insert()
{
    Execute(Op::Insert);
}

void TWinBtr::Update()
{
    Execute(Op::Update);
    try {
        Unlock();
    } catch (const EBtrieveEngineError& e) {
        // The requester may release the lock with the write itself; the update stands.
        if (e.Status() != BtrStatus::RecordNotLocked) throw;
        lockedPosition_ = 0;
        status_ = BtrStatus::Ok;
    }
}

void TWinBtr::Delete()
{
    Execute(Op::Delete);
}

void TWinBtr::GetEqual(const void* key, Byte keyLength, ShortInt keyNumber)
{
    GetByKey(Op::GetEqual, key, keyNumber, keyLength);
}

void TWinBtr::GetByKey(Word operation, const void* key, ShortInt keyNumber, Byte keyLength)
{
    if (!key) RaiseStatus(BtrStatus::InvalidKeyPath);
    std::memcpy(keyBuffer_, key, keyLength);
    keyLength_ = keyLength;
    keyNumber_ = keyNumber;
    Execute(operation);
}

void TWinBtr::GetFirst()
{
    Execute(Physical() ? Op::StepFirst : Op::GetFirst);
}

void TWinBtr::GetLast()
{
    Execute(Physical() ? Op::StepLast : Op::GetLast);
}

void TWinBtr::GetNext()
{
    Execute(Physical() ? Op::StepNext : Op::GetNext);
}

void TWinBtr::GetPrev()
{
    Execute(Physical() ? Op::StepPrev : Op::GetPrev);
}

void TWinBtr::RefreshStat()
{
    TToleranceScope tolerance(*this);
    std::memset(statBuffer_, 0, sizeof(statBuffer_));
    ExecuteOnScratch(Op::Stat, statBuffer_, StatBufferSize);
}

void TWinBtr::GetAcs(void* dest)
{
    const Integer keys = StatWord(4);
    std::vector<Byte> reply(size_t(StatBufferSize) + size_t(keys) * CollatingSequenceSize);
    {
        TToleranceScope tolerance(*this);
        ExecuteOnScratch(Op::Stat, reply.data(), Word(std::min<size_t>(reply.size(), 0xFFFF)));
    }
    const size_t returned = std::min<size_t>(dataLength_, reply.size());
    const int entries = returned > size_t(FileSpecSize) ? int((returned - FileSpecSize) / SegmentSpecSize) : 0;
    const int keySegment = keyNumber_ >= 0 ? FirstSegmentOfKey(reply.data(), entries, keyNumber_) : -1;
    const int sequencesStart = FirstSegmentOfKey(reply.data(), entries, keys);
    if (keySegment < 0 || keySegment >= entries || sequencesStart < 0) RaiseStatus(BtrStatus::DataBufferTooShort);
    const Byte number = reply[FileSpecSize + keySegment * SegmentSpecSize + 15];
    const size_t offset =
            FileSpecSize + size_t(sequencesStart) * SegmentSpecSize + size_t(number) * CollatingSequenceSize;
    if (offset + CollatingSequenceSize > returned) RaiseStatus(BtrStatus::DataBufferTooShort);
    std::memcpy(dest, reply.data() + offset, CollatingSequenceSize);
}

void TWinBtr::SetDirectory(const std::string& path)
{
    if (path.size() >= KeyBufferSize) {
        status_ = BtrStatus::InvalidFileName;
        RaiseBtrieveErrorWithText(status_, path);
    }
    std::memcpy(keyBuffer_, path.c_str(), path.size() + 1);
    Execute(Op::SetDirectory);
}

void TWinBtr::GetDirectory(char* destination, size_t size)
{
    ClearKey(Integer(std::min<size_t>(size, KeyBufferSize)));
    {
        TKeyNumberScope defaultDrive(*this, 0);
        Execute(Op::GetDirectory);
    }
    if (size == 0) return;
    const Byte* end = std::find(keyBuffer_, keyBuffer_ + KeyBufferSize - 1, 0);
    const size_t length = std::min<size_t>(size_t(end - keyBuffer_), size - 1);
    std::memcpy(destination, keyBuffer_, length);
    destination[length] = '\0';
}

void TWinBtr::BeginTransaction(bool concurrent)
{
    SetDataLength(0);
    Execute(concurrent ? Op::BeginConcurrentTransaction : Op::BeginTransaction);
}

void TWinBtr::EndTransaction()
{
    Execute(Op::EndTransaction);
}

void TWinBtr::AbortTransaction()
{
    Execute(Op::AbortTransaction);
}

Cardinal TWinBtr::GetPosition()
{
    Cardinal position = 0;
    ExecuteOnScratch(Op::GetPosition, &position, sizeof(position));
    return position;
}

void TWinBtr::PutPositionInDataBuffer(Cardinal value)
{
    if (!dataBuffer_ || (dataBuffer_ == ownBuffer_.get() && bufferSize_ < sizeof(value))) {
        RaiseStatus(BtrStatus::DataBufferTooShort);
    }
    std::memcpy(dataBuffer_, &value, sizeof(value));
}

void TWinBtr::GetDirect(Cardinal position)
{
    PutPositionInDataBuffer(position);
    Execute(Op::GetDirect);
}

void TWinBtr::GotoPosition(Cardinal position)
{
    dataBuffer_ = ownBuffer_.get();
    if (ownBuffer_) std::memset(ownBuffer_.get(), 0, std::min<Word>(GotoPositionClearSize, bufferSize_));
    GetDirect(position);
}

void TWinBtr::Stop()
{
    Byte scratch[StopScratchSize] = {};
    Word length = StopScratchSize;
    status_ = CallRequester(Op::Stop, scratch, &length, keyBuffer_, 0, 0);
}

void TWinBtr::Unlock()
{
    if (lockedPosition_ == 0) return;
    Cardinal position = lockedPosition_;
    ExecuteOnScratch(Op::Unlock, &position, sizeof(position));
    lockedPosition_ = 0;
}

void TWinBtr::CreateIndex(const void* specs, Integer segments, ShortInt keyNumber)
{
    {
        TKeyNumberScope key(*this, keyNumber != 0 ? ShortInt(keyNumber | ExactKeyNumberFlag) : ShortInt(0));
        ExecuteOnScratch(Op::CreateIndex, const_cast<void*>(specs), Word(segments * SegmentSpecSize));
    }
    RefreshStat();
}

void TWinBtr::DropIndex(ShortInt keyNumber)
{
    {
        TKeyNumberScope key(*this, keyNumber);
        Execute(Op::DropIndex);
    }
    RefreshStat();
}

void TWinBtr::GetByPercentage(bool byKey, Integer percentage)
{
    PutPositionInDataBuffer(Cardinal(percentage));
    TKeyNumberScope key(*this, byKey ? keyNumber_ : PhysicalKeyNumber);
    Execute(Op::GetByPercentage);
}

Integer TWinBtr::FindPercentage(bool byKey)
{
    try {
        const Cardinal position = GetPosition();
        Cardinal result = byKey ? 0 : position;
        {
            TKeyNumberScope key(*this, byKey ? keyNumber_ : PhysicalKeyNumber);
            ExecuteOnScratch(Op::FindPercentage, &result, sizeof(result));
        }
        GetDirect(position);
        return Integer(result);
    } catch (const EBtrieveEngineError&) {
        return 0;
    }
}

Word TWinBtr::StatWord(int offset) const
{
    return ReadWord(statBuffer_ + offset);
}

void TWinBtr::GetStat(void* dest)
{
    RefreshStat();
    std::memcpy(dest, statBuffer_, StatBufferSize);
}

Word TWinBtr::GetRecordLength()
{
    if (!open_) return 0;
    if (StatWord(0) == 0) RefreshStat();
    return StatWord(0);
}

Word TWinBtr::GetPageSize()
{
    if (!open_) return 0;
    if (StatWord(0) == 0) RefreshStat();
    return StatWord(2);
}

Integer TWinBtr::GetKeyCount()
{
    if (!open_) return 0;
    RefreshStat();
    return StatWord(4);
}

Integer TWinBtr::GetRecordCount()
{
    if (!open_) return 0;
    RefreshStat();
    Integer count;
    std::memcpy(&count, statBuffer_ + 6, sizeof(count));
    return count;
}

Integer TWinBtr::KeyCount()
{
    try {
        return GetKeyCount();
    } catch (const EBtrieveEngineError&) {
        return 0;
    }
}

Integer TWinBtr::RecordCount()
{
    try {
        return GetRecordCount();
    } catch (const EBtrieveEngineError&) {
        return 0;
    }
}

bool TWinBtr::IsAcsKey() const
{
    if (keyNumber_ < 0) return false;
    const int segment = FirstSegmentOfKey(statBuffer_, MaxStatSegments, keyNumber_);
    if (segment < 0 || segment >= MaxStatSegments) return false;
    const Byte* entry = statBuffer_ + FileSpecSize + segment * SegmentSpecSize;
    return (ReadWord(entry + 4) & SegmentAltCollating) != 0;
}
