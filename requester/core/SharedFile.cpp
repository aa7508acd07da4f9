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

SharedFile::SharedFile(std::unique_ptr<FileIo> io) : io_(std::move(io)) {}

SharedFile::~SharedFile() = default;

HeaderState SharedFile::ReadHeader() {
  char header[HeaderSize];
  // A mapped head reads zeros past the end of a shorter file: such a header decodes as damaged or foreign.
  if (io_->ReadHead(header, HeaderSize)) return DecodeHeader(std::string_view(header, HeaderSize));
  size_t size = static_cast<size_t>(std::min<uint64_t>(io_->Size(), HeaderSize));
  if (!io_->ReadAt(0, header, size)) return {HeaderState::Kind::Damaged, {}};
  return DecodeHeader(std::string_view(header, size));
}

int16_t SharedFile::Lost(int16_t status) {
  state_.Clear();
  known_ = CommitSlot{0, HeaderSize, HeaderSize, 1, 1};
  return status;
}

int16_t SharedFile::Sync() {
  using Kind = HeaderState::Kind;
  HeaderState header = ReadHeader();
  if (header.kind == Kind::Damaged && !writeLocked_ && io_->Lock(WriteRegion, false, true)) {
    // A slot that another client is writing can read torn: look again once its commit is done.
    header = ReadHeader();
    io_->Unlock(WriteRegion);
  }
  if (header.kind == Kind::NotRecordFile || header.kind == Kind::OldFormat)
    return Lost(everSynced_ ? Status::IoError : Status::NotARecordFile);
  if (header.kind == Kind::Damaged) return Lost(Status::IoError);
  const CommitSlot& slot = header.slot;
  if (CutShort(slot)) return Lost(Status::IoError);
  if (slot.counter == known_.counter) return Status::Ok;
  bool rewritten = known_.counter == 0 || slot.start != known_.start || slot.end < known_.end;
  if (rewritten) {
    state_.Clear();
    known_ = CommitSlot{0, slot.start, slot.start, 1, 1};
  }
  if (Replay(known_.end, slot.end, known_.counter == 0) != Status::Ok) return Lost(Status::IoError);
  state_.nextPosition = std::max(state_.nextPosition, slot.nextPosition);
  state_.nextSeq = std::max(state_.nextSeq, slot.nextSeq);
  known_ = slot;
  everSynced_ = true;
  return Status::Ok;
}

bool ReplayLog(FileIo& io, uint64_t from, uint64_t to, TableState& state) {
  constexpr size_t Chunk = 4 << 20;
  std::string buffer;
  bool damaged = false;
  auto apply = [&](LogEntry&& entry) {
    if (!state.Accepts(entry)) return false;
    state.Apply(entry);
    return true;
  };
  // Read in chunks; an entry cut by a chunk's end is completed by the next read.
  while (from < to && !damaged) {
    size_t have = buffer.size();
    size_t more = static_cast<size_t>(std::min<uint64_t>(to - from, std::max(Chunk, have)));
    buffer.resize(have + more);
    if (!io.ReadAt(from, buffer.data() + have, more)) return false;
    from += more;
    size_t used = DecodeEntries(buffer, apply, damaged);
    buffer.erase(0, used);
  }
  return !damaged && buffer.empty();
}

bool SharedFile::CutShort(const CommitSlot& slot) {
  // The size costs a call to the system: it is read before every write and every new commit, and for reads
  // at most every SizeCheckInterval.
  auto now = std::chrono::steady_clock::now();
  if (!writeLocked_ && slot.counter == known_.counter && now - sizeCheckedAt_ < SizeCheckInterval) return false;
  sizeCheckedAt_ = now;
  return io_->Size() < slot.end;
}

int16_t SharedFile::Replay(uint64_t from, uint64_t to, bool wholeLog) {
  if (wholeLog) state_.BeginBulk();
  if (!ReplayLog(*io_, from, to, state_)) return Status::IoError;
  if (wholeLog) state_.EndBulk();
  return Status::Ok;
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
  if (status != Status::Ok) {
    UnlockWrite();
    writing_ = false;
  }
  return status;
}

void SharedFile::CancelWrite() {
  if (writing_ && !writeInTransaction_) UnlockWrite();
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
  if (status == Status::Ok) {
    for (const auto& entry : entries) state_.Apply(entry);
    FlushSoon();
  }
  CancelWrite();
  return status;
}

int16_t SharedFile::Append(const std::string& bytes) {
  if (!Loaded()) return Status::IoError;  // the view was lost to damage: never write from it
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
  state_.records.ForEach(
      [&](uint32_t, Record& record) { liveEstimate += record.data.size() + 40 + 9 * record.seqs.size(); });
  return liveEstimate * 2 <= logSize;
}

int16_t SharedFile::CompactIfWorthwhile() {
  if (!WorthCompacting()) return Status::Ok;
  if (exclusiveOpens_ > 0) return CompactCommitted();
  if (normalOpens_ != 1) return Status::Ok;
  // Alone with the file: every other opener waits on the open region until the rewrite is done.
  io_->Unlock(OpenRegion);
  int16_t status = Status::Ok;
  if (io_->Lock(OpenRegion, true, false)) {
    status = CompactCommitted();
    io_->Unlock(OpenRegion);
  }
  if (!LockOpenShared()) return Status::FileLocked;
  return status;
}

int16_t SharedFile::CompactCommitted() {
  // A client whose transaction outlived its opens may still append to this log.
  if (!io_->Lock(TransactionRegion, true, false)) return Status::Ok;
  int16_t status = LockWrite() ? Sync() : Status::IoError;
  // What was committed before the open lock was taken (the view may be older) is what gets rewritten.
  if (status == Status::Ok && WorthCompacting()) Compact();
  UnlockWrite();
  io_->Unlock(TransactionRegion);
  return status;
}

void SharedFile::Compact() {
  std::string log = CompactLog();
  if (HeaderSize + log.size() > known_.end) return;
  // First a complete copy after the old log, then the copy moved to the front; each step is committed whole.
  uint64_t copyAt = known_.end;
  bool done = io_->WriteAt(copyAt, log.data(), log.size()) &&
              WriteSlot({known_.counter + 1, copyAt, copyAt + log.size(), state_.nextPosition, state_.nextSeq}) == 0 &&
              io_->WriteAt(HeaderSize, log.data(), log.size()) &&
              WriteSlot({known_.counter + 1, HeaderSize, HeaderSize + log.size(), state_.nextPosition,
                         state_.nextSeq}) == 0;
  if (done) {
    io_->Truncate(HeaderSize + log.size());
    FlushNow();
  }
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
  int16_t status = LockWrite() ? Append(pending_) : Status::IoError;
  UnlockWrite();
  if (status != Status::Ok) {
    AbortTransaction();
    return status;
  }
  FlushNow();
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
    if (LockWrite()) Append({});
    UnlockWrite();
  }
  io_->Unlock(TransactionRegion);
  holdsTransaction_ = false;
  pending_.clear();
  undo_.clear();
}

}  // namespace reqcore
