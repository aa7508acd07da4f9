#include "requester/core/Recovery.h"

#include "requester/core/FileIo.h"
#include "requester/core/LockRegions.h"
#include "requester/core/PageFile.h"
#include "requester/core/Statuses.h"
#include "requester/core/TableState.h"

#include <algorithm>
#include <vector>

namespace reqcore {

namespace {

// Whether every page the commit reaches checks: its definition, free list, records and each key's entries.
bool Sound(FileIo& io, const std::string& path, const Meta& meta) {
  if (io.Size() < uint64_t{meta.pageCount} * PageSize) return false;
  PageCache cache(0);
  PageFile file(io, path, cache);
  try {
    TableState state(file);
    state.Load(meta);
    file.Begin(meta);  // reads the free list
    file.Drop();
    uint64_t records = 0;
    state.records.ForEach([&](uint32_t, const Record&) { ++records; });
    bool counted = records == meta.records.count;
    for (const auto& [number, key] : state.schema.keys) {
      const KeyIndex& index = state.Index(number);
      uint64_t entries = 0;
      for (auto p = index.Begin(); !index.IsEnd(p); p = index.Next(p), ++entries) index.Position(p);
      counted = counted && entries == records;
    }
    return counted;
  } catch (const PageMismatch&) {
    return false;
  }
}

int16_t Recover(FileIo& io, const std::string& path) {
  std::string head(2 * PageSize, '\0');
  head.resize(static_cast<size_t>(std::min<uint64_t>(io.Size(), head.size())));
  if (!io.ReadAt(0, head.data(), head.size())) return Status::IoError;
  MetaState state = DecodeMetaPages(head);
  if (state.kind == MetaState::Kind::NotRecordFile || state.kind == MetaState::Kind::OldFormat)
    return Status::NotARecordFile;
  if (state.kind == MetaState::Kind::Good && Sound(io, path, state.meta)) return Status::Ok;
  std::vector<Meta> metas;
  for (uint32_t number : {0u, 1u})
    if (Meta meta; DecodeMetaPage(head, number, meta)) metas.push_back(meta);
  std::sort(metas.begin(), metas.end(), [](const auto& a, const auto& b) { return a.counter > b.counter; });
  for (Meta meta : metas) {
    if (!Sound(io, path, meta)) continue;
    // Written over the other meta page (the damaged or the unsound newer one) as the newest commit.
    ++meta.counter;
    PageBuffer page = EncodeMeta(meta);
    if (!io.WriteAt(uint64_t{MetaPageOf(meta.counter)} * PageSize, page.data(), PageSize) || !io.Flush())
      return Status::IoError;
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
  int16_t status = Recover(*io, Path::Canonical(path));
  io->Unlock(OpenRegion);
  return status;
}

}  // namespace reqcore
