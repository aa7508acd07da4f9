// Create, stat, and supplemental indexes.
#include "requester/core/Engine.h"
#include "requester/core/LockRegions.h"
#include "requester/core/PageFile.h"
#include "requester/core/SpecLayout.h"
#include "requester/core/Statuses.h"

#include <cstring>
#include <optional>
#include <random>
#include <set>
#include <string>

#ifdef _WIN32
#include <process.h>
#define CurrentProcessId _getpid
#else
#include <unistd.h>
#define CurrentProcessId getpid
#endif

namespace reqcore {

namespace {

// A new file: its definition and empty trees, committed twice so that both meta pages hold a commit.
bool WriteEmptyFile(FileIo& io, const std::string& path, const Schema& schema) {
  PageCache cache(0);
  PageFile file(io, path, cache);
  Meta meta;
  std::random_device random;
  meta.fileId = (uint64_t{random()} << 32) ^ random();
  for (const auto& [number, key] : schema.keys) meta.keys[number] = TreeRoot{};
  for (int commit = 0; commit < 2; ++commit) {
    file.Begin(meta);
    if (commit == 0) meta.definition = file.WriteChain(EncodeDefinition(schema));
    if (file.Commit(meta) != Status::Ok) return false;
  }
  return true;
}

// 85 when another client has the file open (its open lock conflicts with ours).
bool OpenElsewhere(const std::string& path) {
  FileIo::OpenResult result;
  auto io = FileIo::OpenExisting(path, result);
  if (!io) return false;
  if (!io->Lock(OpenRegion, true, false)) return true;
  io->Unlock(OpenRegion);
  return false;
}

int16_t WriteNewFile(const std::string& path, const Schema& schema) {
  std::string temporary = path + "." + std::to_string(CurrentProcessId()) + ".new";
  FileIo::OpenResult result;
  auto io = FileIo::CreateNew(temporary, result);
  if (!io) return result == FileIo::OpenResult::NotFound ? Status::DirectoryError : Status::IoError;
  bool written = WriteEmptyFile(*io, temporary, schema);
  io.reset();
  if (!written || !Path::Replace(temporary, path)) {
    Path::Remove(temporary);
    return written ? Status::IoError : Status::DiskFull;
  }
  return Status::Ok;
}

}  // namespace

int16_t DoCreate(Engine& engine, const Call& call) {
  std::string name = NameFromKeyBuffer(call);
  if (name.empty()) return Status::InvalidFileName;
  Schema schema;
  if (int16_t status = ParseCreate(call.data, call.Offered(), schema); status != Status::Ok) return status;
  std::string path = engine.ResolvePath(call, name);
  std::string parent = Path::Parent(path);
  if (!parent.empty()) {
    std::string existingParent = Path::FindExisting(parent);
    if (existingParent.empty() || !Path::IsDirectory(existingParent)) return Status::DirectoryError;
  }
  if (std::string existing = Path::FindExisting(path); !existing.empty()) {
    if (call.keyNum == CreateMode::RefuseExisting) return Status::FileExists;
    if (Path::IsDirectory(existing)) return Status::InvalidFileName;
    if (OpenElsewhere(existing)) return Status::FileLocked;
    path = existing;
  } else if (!parent.empty()) {
    path = Path::Join(Path::FindExisting(parent), path.substr(parent.size() + (parent.back() == '/' || parent.back() == '\\' ? 0 : 1)));
  }
  return WriteNewFile(path, schema);
}

int16_t DoStat(Engine& engine, const Call& call) {
  Handle* handle = engine.HandleOf(call);
  if (!handle) return Status::FileNotOpen;
  if (int16_t status = Prepare(*handle, false); status != Status::Ok) return status;
  const TableState& state = handle->file->State();
  std::string reply = BuildStat(state.schema, static_cast<uint32_t>(state.records.Size()));
  size_t fits = std::min<size_t>(reply.size(), call.data ? call.Offered() : 0);
  if (fits) std::memcpy(call.data, reply.data(), fits);
  call.Returned(static_cast<uint16_t>(fits));
  return fits < reply.size() ? Status::DataBufferTooShort : Status::Ok;
}

namespace {

int NextFreeKeyNumber(const Schema& schema) {
  int number = 0;
  while (schema.keys.count(static_cast<uint8_t>(number))) ++number;
  return number;
}

// Reads the key of a create-index call; a collating sequence may follow its specifications.
int16_t KeyFromCall(const Call& call, const Schema& schema, KeyDef& key, std::optional<CollatingSequence>& acs) {
  size_t available = call.data ? call.Offered() / KeySpecSize : 0;
  size_t used = 0;
  if (int16_t status = ParseKey(call.data, available, schema, key, used); status != Status::Ok) return status;
  size_t rest = call.Offered() - used * KeySpecSize;
  const uint8_t* tail = call.data + used * KeySpecSize;
  if (rest >= CollatingSpecSize && tail[0] == CollatingSignature) {
    acs.emplace();
    std::memcpy(acs->data(), tail, CollatingSpecSize);
    for (auto& s : key.segments)
      if (s.flags & KeyFlag::AltCollating) s.collating = static_cast<uint8_t>(schema.collating.size());
  }
  uint8_t requested = static_cast<uint8_t>(call.keyNum);
  if (requested & ExactKeyNumber) {
    key.number = requested & ~ExactKeyNumber;
    if (schema.keys.count(key.number)) return Status::InvalidKeyNumber;
  } else {
    key.number = static_cast<uint8_t>(NextFreeKeyNumber(schema));
  }
  if (key.number >= KeyNumberLimit) return Status::InvalidKeyNumber;
  key.supplemental = true;
  Schema withAcs = schema;
  if (acs) withAcs.collating.push_back(*acs);
  return ValidateKey(key, withAcs);
}

// 5 when a unique key would hold the same value twice.
int16_t CheckNewKeyUnique(const TableState& state, const KeyDef& key, const std::optional<CollatingSequence>& acs) {
  if (key.Duplicates()) return Status::Ok;
  Schema schema = state.schema;
  if (acs) schema.collating.push_back(*acs);
  std::set<std::string> seen;
  for (uint32_t p = state.records.First(); p != 0; p = state.records.After(p))
    if (!seen.insert(NormalizeKey(schema, key, RawKey(key, state.Get(p).data))).second) return Status::DuplicateKey;
  return Status::Ok;
}

}  // namespace

int16_t DoCreateIndex(Engine& engine, const Call& call) {
  Handle* handle = engine.HandleOf(call);
  if (!handle) return Status::FileNotOpen;
  if (engine.Client(call.client).inTransaction) return Status::OperationNotAllowed;
  if (int16_t status = BeginWrite(engine, *handle); status != Status::Ok) return status;
  SharedFile& file = *handle->file;
  KeyDef key;
  std::optional<CollatingSequence> acs;
  int16_t status = KeyFromCall(call, file.State().schema, key, acs);
  if (status == Status::Ok) status = CheckNewKeyUnique(file.State(), key, acs);
  if (status != Status::Ok) {
    file.CancelWrite();
    return status;
  }
  std::vector<LogEntry> entries;
  if (acs) entries.push_back(CollatingEntry{*acs});
  uint64_t baseSeq = file.State().nextSeq;
  file.State().nextSeq += file.State().records.Size();
  entries.push_back(KeyAddEntry{key, baseSeq});
  return file.CommitWrite(std::move(entries));
}

int16_t DoDropIndex(Engine& engine, const Call& call) {
  Handle* handle = engine.HandleOf(call);
  if (!handle) return Status::FileNotOpen;
  if (engine.Client(call.client).inTransaction) return Status::OperationNotAllowed;
  if (int16_t status = BeginWrite(engine, *handle); status != Status::Ok) return status;
  SharedFile& file = *handle->file;
  uint8_t number = static_cast<uint8_t>(call.keyNum) & ~ExactKeyNumber;
  if (!file.State().schema.Key(number)) {
    file.CancelWrite();
    return Status::InvalidKeyNumber;
  }
  if (handle->cursor.kind == Cursor::Kind::Keyed && handle->cursor.keyNum == number)
    handle->cursor.kind = Cursor::Kind::Physical;
  return file.CommitWrite({KeyDropEntry{number}});
}

}  // namespace reqcore
