#include "requester/core/SharedFile.h"

#include "requester/core/LockRegions.h"
#include "requester/core/Statuses.h"

#include <chrono>
#include <cstring>
#include <thread>

namespace reqcore {

namespace {
constexpr auto FlushInterval = std::chrono::milliseconds(200);
constexpr auto SizeCheckInterval = std::chrono::milliseconds(100);
}  // namespace

SharedFile::SharedFile(std::unique_ptr<FileIo> io, std::string canonicalPath)
    : io_(std::move(io)), pages_(*io_, std::move(canonicalPath)), state_(pages_) {}

SharedFile::~SharedFile() = default;

MetaState SharedFile::ReadMeta() {
  MetaState state = pages_.ReadMeta();
  if (state.kind == MetaState::Kind::Damaged && !writeLocked_ && io_->Lock(WriteRegion, false, true)) {
    // A meta page that another client is writing can read torn: look again once its commit is done.
    state = pages_.ReadMeta();
    io_->Unlock(WriteRegion);
  }
  return state;
}

int16_t SharedFile::Lost(int16_t status) {
  pages_.Drop();
  state_.Clear();
  known_ = Meta{};
  return status;
}

int16_t SharedFile::Sync() {
  using Kind = MetaState::Kind;
  MetaState now = ReadMeta();
  if (now.kind == Kind::NotRecordFile || now.kind == Kind::OldFormat)
    return Lost(everSynced_ ? Status::IoError : Status::NotARecordFile);
  if (now.kind == Kind::Damaged || CutShort(now.meta)) return Lost(Status::IoError);
  // A transaction's own commit is the view until it ends; no other client commits meanwhile.
  if (now.meta.counter == known_.counter || pages_.Building()) return Status::Ok;
  return Take(now.meta);
}

int16_t SharedFile::Take(const Meta& meta) {
  try {
    state_.Load(meta);
  } catch (const PageMismatch&) {
    // The definition may have been reused by commits made since the meta pages were read.
    MetaState again = ReadMeta();
    if (again.kind == MetaState::Kind::Good && again.meta.counter != meta.counter) return Sync();
    return Lost(Status::IoError);
  }
  known_ = meta;
  everSynced_ = true;
  return Status::Ok;
}

bool SharedFile::MovedOnAfterMismatch() {
  if (!pages_.Building()) {
    MetaState now = ReadMeta();
    if (now.kind == MetaState::Kind::Good && now.meta.counter != known_.counter) return Sync() == Status::Ok;
  }
  bool ownWrite = writing_ && !writeInTransaction_;
  Lost(Status::IoError);
  if (ownWrite) CancelWrite();
  return false;
}

bool SharedFile::CutShort(const Meta& meta) {
  // The size costs a call to the system: it is read before every write and every new commit, and for reads
  // at most every SizeCheckInterval.
  auto now = std::chrono::steady_clock::now();
  if (!writeLocked_ && meta.counter == known_.counter && now - sizeCheckedAt_ < SizeCheckInterval) return false;
  sizeCheckedAt_ = now;
  return io_->Size() < uint64_t{meta.pageCount} * PageSize;
}

bool SharedFile::LockWrite() {
  writeLocked_ = io_->Lock(WriteRegion, true, true);
  return writeLocked_;
}
void SharedFile::UnlockWrite() {
  if (writeLocked_) io_->Unlock(WriteRegion);
  writeLocked_ = false;
}
void SharedFile::FlushNow() {
  io_->Flush();
  unflushed_ = false;
  lastFlush_ = std::chrono::steady_clock::now();
}
void SharedFile::FlushSoon() {
  if (std::chrono::steady_clock::now() - lastFlush_ >= FlushInterval)
    FlushNow();
  else
    unflushed_ = true;
}
int16_t SharedFile::AddOpen(bool exclusive) {
  if (exclusive && exclusiveOpens_ == 0) {
    if (!io_->Lock(ExclusiveRegion, true, false)) return Status::FileLocked;
    if (normalOpens_ > 0) io_->Unlock(OpenRegion);
    if (!io_->Lock(OpenRegion, true, false)) {
      if (normalOpens_ > 0) io_->Lock(OpenRegion, false, false);
      io_->Unlock(ExclusiveRegion);
      return Status::IncompatibleMode;
    }
  } else if (!exclusive && !HasOpens()) {
    if (!LockOpenShared()) return Status::FileLocked;
  }
  ++(exclusive ? exclusiveOpens_ : normalOpens_);
  return Status::Ok;
}
bool SharedFile::LockOpenShared() {
  using namespace std::chrono;
  auto deadline = steady_clock::now() + seconds(5);
  while (!io_->Lock(OpenRegion, false, false)) {
    // Held exclusively without the exclusive-open mark: a short rewrite of the file, worth waiting for.
    if (!io_->Lock(ExclusiveRegion, false, false)) return false;
    io_->Unlock(ExclusiveRegion);
    if (steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(milliseconds(5));
  }
  return true;
}
void SharedFile::RemoveOpen(bool exclusive) {
  --(exclusive ? exclusiveOpens_ : normalOpens_);
  if (!HasOpens() && unflushed_) FlushNow();
  if (exclusive && exclusiveOpens_ == 0) {
    io_->Unlock(OpenRegion);
    io_->Unlock(ExclusiveRegion);
    if (normalOpens_ > 0) io_->Lock(OpenRegion, false, false);
  } else if (!HasOpens()) {
    io_->Unlock(OpenRegion);
  }
}
bool SharedFile::LockRecord(uint32_t position) {
  auto [it, added] = recordLocks_.try_emplace(position, 0);
  if (added && !io_->Lock(RecordRegion(position), true, false)) {
    recordLocks_.erase(it);
    return false;
  }
  ++it->second;
  return true;
}
void SharedFile::UnlockRecord(uint32_t position) {
  auto it = recordLocks_.find(position);
  if (it == recordLocks_.end() || --it->second > 0) return;
  recordLocks_.erase(it);
  io_->Unlock(RecordRegion(position));
}
bool SharedFile::LockedByOther(uint32_t position) {
  if (recordLocks_.count(position)) return false;
  if (!io_->Lock(RecordRegion(position), true, false)) return true;
  io_->Unlock(RecordRegion(position));
  return false;
}
int16_t SharedFile::StartCommit() {
  if (!Loaded()) return Status::IoError;  // the view was lost to damage: never write from it
  try {
    pages_.Begin(known_);
  } catch (const PageMismatch&) {
    return Lost(Status::IoError);
  }
  return Status::Ok;
}

int16_t SharedFile::FinishCommit() {
  if (!pages_.Building()) return Status::IoError;
  Meta meta = state_.Changed();
  int16_t status = pages_.Commit(meta);
  if (status != Status::Ok) {
    Restore();
    return status;
  }
  known_ = meta;
  state_.Load(meta);
  return Status::Ok;
}

// Back to the last commit taken, dropping what was built.
void SharedFile::Restore() {
  pages_.Drop();
  if (Loaded()) Take(known_);
}

int16_t SharedFile::BeginWrite(bool inTransaction) {
  if (!io_->Writable()) return Status::AccessDenied;
  writing_ = true;
  writeInTransaction_ = inTransaction;
  if (inTransaction && holdsTransaction_) return Status::Ok;
  if (!LockWrite()) return writing_ = false, Status::IoError;
  int16_t status = Sync();
  if (status == Status::Ok && inTransaction) {
    if (io_->Lock(TransactionRegion, true, false))
      holdsTransaction_ = true;
    else
      status = Status::FileLocked;
    UnlockWrite();
  } else if (status == Status::Ok) {
    if (io_->Lock(TransactionRegion, false, false))
      io_->Unlock(TransactionRegion);
    else
      status = Status::FileLocked;
  }
  if (status == Status::Ok) status = StartCommit();
  if (status != Status::Ok) {
    if (holdsTransaction_) {
      io_->Unlock(TransactionRegion);
      holdsTransaction_ = false;
    }
    UnlockWrite();
    writing_ = false;
  }
  return status;
}

void SharedFile::CancelWrite() {
  if (writing_ && !writeInTransaction_) {
    Restore();
    UnlockWrite();
  }
  writing_ = false;
}

int16_t SharedFile::CommitWrite(std::vector<LogEntry> entries) {
  for (const auto& entry : entries) state_.Apply(entry);
  if (writeInTransaction_) {
    writing_ = false;
    return Status::Ok;
  }
  int16_t status = FinishCommit();
  if (status == Status::Ok) FlushSoon();
  writing_ = false;
  UnlockWrite();
  return status;
}

int16_t SharedFile::EndTransaction() {
  if (!holdsTransaction_) return Status::Ok;
  int16_t status = LockWrite() ? FinishCommit() : Status::IoError;
  UnlockWrite();
  if (status != Status::Ok) {
    AbortTransaction();
    return status;
  }
  FlushNow();
  io_->Unlock(TransactionRegion);
  holdsTransaction_ = false;
  return Status::Ok;
}

void SharedFile::AbortTransaction() {
  if (!holdsTransaction_) return;
  uint32_t nextPosition = state_.nextPosition;
  uint64_t nextSeq = state_.nextSeq;
  Restore();
  // Positions given to the aborted inserts stay used.
  if (Loaded() && (nextPosition != known_.nextPosition || nextSeq != known_.nextSeq) && LockWrite() &&
      StartCommit() == Status::Ok) {
    state_.nextPosition = nextPosition;
    state_.nextSeq = nextSeq;
    FinishCommit();
  }
  UnlockWrite();
  io_->Unlock(TransactionRegion);
  holdsTransaction_ = false;
}

}  // namespace reqcore
