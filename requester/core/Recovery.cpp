#include "requester/core/Recovery.h"

#include "requester/core/FileIo.h"
#include "requester/core/LockRegions.h"
#include "requester/core/SharedFile.h"
#include "requester/core/Statuses.h"

#include <algorithm>
#include <vector>

namespace reqcore {

namespace {

bool Sound(FileIo& io, const CommitSlot& slot) {
  TableState state;
  return io.Size() >= slot.end && ReplayLog(io, slot.start, slot.end, state);
}

int16_t Recover(FileIo& io) {
  std::string header(HeaderSize, '\0');
  size_t size = static_cast<size_t>(std::min<uint64_t>(io.Size(), HeaderSize));
  if (!io.ReadAt(0, header.data(), size)) return Status::IoError;
  header.resize(size);
  HeaderState state = DecodeHeader(header);
  if (state.kind == HeaderState::Kind::NotRecordFile || state.kind == HeaderState::Kind::OldFormat)
    return Status::NotARecordFile;
  if (state.kind == HeaderState::Kind::Good && Sound(io, state.slot)) return Status::Ok;
  std::vector<CommitSlot> slots;
  for (uint64_t offset : {64u, 128u})
    if (auto slot = DecodeSlotAt(header, offset)) slots.push_back(*slot);
  std::sort(slots.begin(), slots.end(), [](const auto& a, const auto& b) { return a.counter > b.counter; });
  for (CommitSlot slot : slots) {
    if (!Sound(io, slot)) continue;
    // Written over the other slot (the damaged or the unsound newer one) as the newest commit.
    ++slot.counter;
    std::string bytes = EncodeSlot(slot);
    if (!io.WriteAt(SlotOffset(slot.counter), bytes.data(), bytes.size()) || !io.Flush()) return Status::IoError;
    return Status::Ok;
  }
  return Status::IoError;
}

}  // namespace

int16_t RecoverLastGoodCommit(const std::string& path) {
  FileIo::OpenResult result;
  auto io = FileIo::OpenExisting(path, result);
  if (!io) return FileIo::StatusOf(result);
  if (!io->Writable()) return Status::AccessDenied;
  if (!io->Lock(OpenRegion, true, false)) return Status::FileLocked;
  int16_t status = Recover(*io);
  io->Unlock(OpenRegion);
  return status;
}

}  // namespace reqcore
