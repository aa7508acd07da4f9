#pragma once
// One client's connection to one record file: its own OS handle (so its locks conflict with every other
// client's), its view of the file's last commit read through the shared page cache, the open-mode and record
// locks it holds, and the commit its write or open transaction builds. Every call first reads the meta pages and
// takes a newer commit; a damaged or cut-short file gives status 2 (not a record file: 30) and leaves the view
// empty, so nothing is answered from it.
#include "requester/core/FileIo.h"
#include "requester/core/PageFile.h"
#include "requester/core/TableState.h"

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace reqcore {

class SharedFile {
 public:
  // canonicalPath names the file's pages in the process's cache.
  explicit SharedFile(std::unique_ptr<FileIo> io, std::string canonicalPath = {});
  ~SharedFile();

  TableState& State() { return state_; }
  bool Writable() const { return io_->Writable(); }

  // Reads the meta pages and takes what other clients committed since the last call.
  int16_t Sync();
  // Stops the view at damage: empties it and returns status.
  int16_t Lost(int16_t status);
  bool Loaded() const { return known_.counter != 0; }
  // After a page that did not check: true when the file moved on to a newer commit (taken; the call may run
  // again), false when the page is damaged (the view is lost, a write under way ends).
  bool MovedOnAfterMismatch();

  // Open modes held by this client's handles.
  int16_t AddOpen(bool exclusive);
  void RemoveOpen(bool exclusive);
  bool HasOpens() const { return normalOpens_ + exclusiveOpens_ > 0; }

  // Single-record locks of this client (counted over its handles).
  bool LockRecord(uint32_t position);
  void UnlockRecord(uint32_t position);
  bool LockedByOther(uint32_t position);

  // Writes. Begin takes the file's write lock, syncs and starts a commit (85 when another client's transaction
  // wrote the file); inside a transaction it takes the transaction lock instead and the commit lasts until its end.
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
  MetaState ReadMeta();
  int16_t Take(const Meta& meta);
  // Whether the file is shorter than the commit's pages (it was cut short behind the clients' backs).
  bool CutShort(const Meta& meta);
  int16_t StartCommit();
  int16_t FinishCommit();
  void Restore();
  bool LockOpenShared();
  bool LockWrite();
  void UnlockWrite();
  // Commits reach the disk at the end of a transaction, and outside one when the last flush is older than
  // FlushInterval or the connection's last open closes.
  void FlushSoon();
  void FlushNow();

  std::unique_ptr<FileIo> io_;
  PageFile pages_;
  TableState state_;
  Meta known_;
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
};

}  // namespace reqcore
