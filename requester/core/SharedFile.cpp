#include "requester/core/SharedFile.h"

#include "requester/core/Statuses.h"

#include <chrono>
#include <cstring>
#include <thread>

namespace reqcore {

namespace {
// Lock regions lie far beyond any data, so locking them never blocks reads or writes of the file.
constexpr uint64_t LockBase = 1ull << 40;
constexpr uint64_t OpenRegion = LockBase;           // shared by every open, exclusive for an exclusive open
constexpr uint64_t ExclusiveRegion = LockBase + 1;  // held by the exclusive opener
constexpr uint64_t WriteRegion = LockBase + 2;      // held while a change is committed
constexpr uint64_t TransactionRegion = LockBase + 3;  // held by the client whose open transaction wrote the file
constexpr uint64_t RecordRegion(uint32_t position) { return LockBase + 16 + position; }
}  // namespace

SharedFile::SharedFile(std::unique_ptr<FileIo> io) : io_(std::move(io)) {
  if (io_->Size() >= HeaderSize) header_ = io_->MapHeader(HeaderSize);
}

SharedFile::~SharedFile() = default;

int16_t SharedFile::Sync() {
  char header[HeaderSize];
  if (header_)
    std::memcpy(header, header_, HeaderSize);
  else if (!io_->ReadAt(0, header, HeaderSize))
    return Status::IoError;
  auto slot = DecodeHeader(std::string_view(header, HeaderSize));
  if (!slot) return Status::IoError;
  if (slot->counter == known_.counter) return Status::Ok;
  bool rewritten = slot->start != known_.start || slot->end < known_.end;
  if (rewritten) {
    state_.Clear();
    known_ = CommitSlot{0, slot->start, slot->start, 1, 1};
  }
  if (int16_t status = Replay(known_.end, slot->end, known_.counter == 0); status != Status::Ok) return status;
  state_.nextPosition = std::max(state_.nextPosition, slot->nextPosition);
  state_.nextSeq = std::max(state_.nextSeq, slot->nextSeq);
  known_ = *slot;
  return Status::Ok;
}

int16_t SharedFile::Replay(uint64_t from, uint64_t to, bool wholeLog) {
  constexpr size_t Chunk = 4 << 20;
  if (wholeLog) state_.BeginBulk();
  std::string buffer;
  bool damaged = false;
  // Read in chunks; an entry cut by a chunk's end is completed by the next read.
  while (from < to && !damaged) {
    size_t have = buffer.size();
    size_t more = static_cast<size_t>(std::min<uint64_t>(to - from, std::max(Chunk, have)));
    buffer.resize(have + more);
    if (!io_->ReadAt(from, buffer.data() + have, more)) {
      damaged = true;
      break;
    }
    from += more;
    size_t used = DecodeEntries(buffer, [&](LogEntry&& entry) { state_.Apply(entry); }, damaged);
    buffer.erase(0, used);
  }
  if (wholeLog) state_.EndBulk();
  return damaged || !buffer.empty() ? Status::IoError : Status::Ok;
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

int16_t SharedFile::BeginWrite(bool inTransaction) {
  if (!io_->Writable()) return Status::AccessDenied;
  writing_ = true;
  writeInTransaction_ = inTransaction;
  if (inTransaction && holdsTransaction_) return Status::Ok;
  if (!io_->Lock(WriteRegion, true, true)) return writing_ = false, Status::IoError;
  int16_t status = Sync();
  if (status == Status::Ok && inTransaction) {
    if (io_->Lock(TransactionRegion, true, false))
      holdsTransaction_ = true;
    else
      status = Status::FileLocked;
    io_->Unlock(WriteRegion);
  } else if (status == Status::Ok) {
    if (io_->Lock(TransactionRegion, false, false))
      io_->Unlock(TransactionRegion);
    else
      status = Status::FileLocked;
  }
  if (status != Status::Ok) {
    if (!inTransaction) io_->Unlock(WriteRegion);
    writing_ = false;
  }
  return status;
}

void SharedFile::CancelWrite() {
  if (writing_ && !writeInTransaction_) io_->Unlock(WriteRegion);
  writing_ = false;
}

int16_t SharedFile::CommitWrite(std::vector<LogEntry> entries) {
  if (writeInTransaction_) {
    for (const auto& entry : entries) {
      ApplyWithUndo(entry);
      AppendEntry(pending_, entry);
    }
    writing_ = false;
    return Status::Ok;
  }
  std::string bytes;
  for (const auto& entry : entries) AppendEntry(bytes, entry);
  int16_t status = Append(bytes);
  if (status == Status::Ok)
    for (const auto& entry : entries) state_.Apply(entry);
  CancelWrite();
  return status;
}

int16_t SharedFile::Append(const std::string& bytes) {
  CommitSlot next{known_.counter + 1, known_.start, known_.end + bytes.size(), state_.nextPosition, state_.nextSeq};
  if (!bytes.empty() && !io_->WriteAt(known_.end, bytes.data(), bytes.size())) return Status::DiskFull;
  return WriteSlot(next);
}

int16_t SharedFile::WriteSlot(const CommitSlot& slot) {
  std::string bytes = EncodeSlot(slot);
  if (!io_->WriteAt(SlotOffset(slot.counter), bytes.data(), bytes.size())) return Status::IoError;
  known_ = slot;
  return Status::Ok;
}

std::string SharedFile::CompactLog() {
  const Schema& schema = state_.schema;
  std::string log;
  AppendEntry(log, FileDefEntry{schema.recordLength, schema.pageSize, schema.fileFlags});
  for (const auto& table : schema.collating) AppendEntry(log, CollatingEntry{table});
  for (const auto& [number, key] : schema.keys) AppendEntry(log, KeyAddEntry{key, 1});
  state_.records.ForEach([&](uint32_t position, Record& record) {
    AppendEntry(log, PutEntry{position, record.version, record.seqs, record.data});
  });
  return log;
}

bool SharedFile::WorthCompacting() {
  constexpr uint64_t MinimumLog = 256 << 10;
  uint64_t logSize = known_.end - known_.start;
  if (!io_->Writable()) return false;
  if (known_.start != HeaderSize) return true;  // a rewrite was cut off between its two steps
  if (logSize < MinimumLog) return false;
  uint64_t liveEstimate = 0;
  state_.records.ForEach([&](uint32_t, Record& record) { liveEstimate += record.data.size() + 32 + 9 * record.seqs.size(); });
  return liveEstimate * 2 <= logSize;
}

int16_t SharedFile::CompactIfWorthwhile() {
  if (!WorthCompacting()) return Status::Ok;
  if (exclusiveOpens_ > 0) {
    Compact();
    return Status::Ok;
  }
  if (normalOpens_ != 1) return Status::Ok;
  // Alone with the file: every other opener waits on the open region until the rewrite is done.
  io_->Unlock(OpenRegion);
  if (io_->Lock(OpenRegion, true, false)) {
    Compact();
    io_->Unlock(OpenRegion);
  }
  return LockOpenShared() ? Status::Ok : Status::FileLocked;
}

void SharedFile::Compact() {
  // A client whose transaction outlived its opens may still append to this log.
  if (!io_->Lock(TransactionRegion, true, false)) return;
  std::string log = CompactLog();
  if (HeaderSize + log.size() <= known_.end) {
    // First a complete copy after the old log, then the copy moved to the front; each step is committed whole.
    uint64_t copyAt = known_.end;
    bool done = io_->WriteAt(copyAt, log.data(), log.size()) &&
                WriteSlot({known_.counter + 1, copyAt, copyAt + log.size(), state_.nextPosition, state_.nextSeq}) == 0 &&
                io_->WriteAt(HeaderSize, log.data(), log.size()) &&
                WriteSlot({known_.counter + 1, HeaderSize, HeaderSize + log.size(), state_.nextPosition,
                           state_.nextSeq}) == 0;
    if (done) io_->Truncate(HeaderSize + log.size());
  }
  io_->Unlock(TransactionRegion);
}

void SharedFile::ApplyWithUndo(const LogEntry& entry) {
  uint32_t position = 0;
  if (auto* put = std::get_if<PutEntry>(&entry)) position = put->position;
  if (auto* del = std::get_if<DeleteEntry>(&entry)) position = del->position;
  if (const Record* old = state_.Find(position))
    undo_.push_back(PutEntry{position, old->version, old->seqs, old->data});
  else
    undo_.push_back(DeleteEntry{position});
  state_.Apply(entry);
}

int16_t SharedFile::EndTransaction() {
  if (!holdsTransaction_) return Status::Ok;
  int16_t status = io_->Lock(WriteRegion, true, true) ? Append(pending_) : Status::IoError;
  io_->Unlock(WriteRegion);
  if (status != Status::Ok) {
    AbortTransaction();
    return status;
  }
  io_->Unlock(TransactionRegion);
  holdsTransaction_ = false;
  pending_.clear();
  undo_.clear();
  return Status::Ok;
}

void SharedFile::AbortTransaction() {
  if (!holdsTransaction_) return;
  for (auto it = undo_.rbegin(); it != undo_.rend(); ++it) state_.Apply(*it);
  // Positions given to the aborted inserts stay used.
  if (state_.nextPosition != known_.nextPosition || state_.nextSeq != known_.nextSeq) {
    if (io_->Lock(WriteRegion, true, true)) {
      Append({});
      io_->Unlock(WriteRegion);
    }
  }
  io_->Unlock(TransactionRegion);
  holdsTransaction_ = false;
  pending_.clear();
  undo_.clear();
}

}  // namespace reqcore
