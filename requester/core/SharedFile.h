#pragma once
// One client's connection to one record file: its own OS handle (so its locks conflict with every other
// client's), its view of the records, the open-mode and record locks it holds, and the changes of its open
// transaction. Every call first brings the view up to the file's last commit; a damaged or cut-short file gives
// status 2 (not a record file: 30) and leaves the view empty, so nothing is answered from it.
#include "requester/core/FileIo.h"
#include "requester/core/TableState.h"

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace reqcore {

// Applies the entries of the log between from and to to state; false when they are damaged or do not fit.
bool ReplayLog(FileIo& io, uint64_t from, uint64_t to, TableState& state);

class SharedFile {
 public:
  explicit SharedFile(std::unique_ptr<FileIo> io);
  ~SharedFile();

  TableState& State() { return state_; }
  bool Writable() const { return io_->Writable(); }

  // Reads the commit slot and applies what other clients committed since the last call.
  int16_t Sync();
  // Stops the view at damage: empties it and returns status.
  int16_t Lost(int16_t status);
  bool Loaded() const { return known_.counter != 0; }
  // Called by the first open of this connection: rewrites the log without superseded entries when it is mostly
  // garbage and no other client has the file open, from the committed state read again under the exclusive open
  // lock. 85 when the open was lost to an exclusive opener meanwhile.
  int16_t CompactIfWorthwhile();

  // Open modes held by this client's handles.
  int16_t AddOpen(bool exclusive);
  void RemoveOpen(bool exclusive);
  bool HasOpens() const { return normalOpens_ + exclusiveOpens_ > 0; }

  // Single-record locks of this client (counted over its handles).
  bool LockRecord(uint32_t position);
  void UnlockRecord(uint32_t position);
  bool LockedByOther(uint32_t position);

  // Writes. Begin takes the file's write lock and syncs (85 when another client's transaction wrote the file);
  // inside a transaction it takes the transaction lock instead and keeps the entries in memory.
  int16_t BeginWrite(bool inTransaction);
  // Applies the entries to the view and commits them (or keeps them for the transaction); ends the write.
  int16_t CommitWrite(std::vector<LogEntry> entries);
  void CancelWrite();

  int16_t EndTransaction();
  void AbortTransaction();

  // Sequence numbers and positions handed out by writes.
  uint64_t TakeSeq() { return state_.nextSeq++; }
  uint32_t TakePosition() { return state_.nextPosition++; }

 private:
  HeaderState ReadHeader();
  // Whether the file is shorter than the commit's log (it was cut short behind the clients' backs).
  bool CutShort(const CommitSlot& slot);
  int16_t Append(const std::string& bytes);
  int16_t Replay(uint64_t from, uint64_t to, bool wholeLog);
  int16_t WriteSlot(const CommitSlot& slot);
  std::string CompactLog();
  bool WorthCompacting();
  int16_t CompactCommitted();
  void Compact();
  void ApplyWithUndo(const LogEntry& entry);
  bool LockOpenShared();
  bool LockWrite();
  void UnlockWrite();
  // Commits reach the disk at the end of a transaction, and outside one when the last flush is older than
  // FlushInterval or the connection's last open closes.
  void FlushSoon();
  void FlushNow();

  std::unique_ptr<FileIo> io_;
  TableState state_;
  CommitSlot known_{0, HeaderSize, HeaderSize, 1, 1};
  int normalOpens_ = 0;
  int exclusiveOpens_ = 0;
  std::map<uint32_t, int> recordLocks_;
  bool writing_ = false;
  bool writeLocked_ = false;
  bool everSynced_ = false;  // a file that was a record file and no longer is, is damaged
  bool unflushed_ = false;
  std::chrono::steady_clock::time_point lastFlush_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point sizeCheckedAt_;
  bool writeInTransaction_ = false;
  bool holdsTransaction_ = false;
  std::string pending_;
  std::vector<LogEntry> undo_;
};

}  // namespace reqcore
