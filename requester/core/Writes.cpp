// Insert, update and delete.
#include "requester/core/Engine.h"
#include "requester/core/Statuses.h"

#include <cstring>
#include <optional>

namespace reqcore {

namespace {

int64_t ReadSigned(std::string_view bytes) {
  uint64_t v = 0;
  for (size_t i = 0; i < bytes.size(); ++i) v |= uint64_t(uint8_t(bytes[i])) << (8 * i);
  int shift = 64 - 8 * static_cast<int>(bytes.size());
  return static_cast<int64_t>(v << shift) >> shift;
}

void WriteSigned(std::string& data, size_t offset, size_t length, int64_t value) {
  for (size_t i = 0; i < length; ++i) data[offset + i] = static_cast<char>(uint64_t(value) >> (8 * i));
}

// The highest value of an autoincrement segment over every record.
int64_t HighestValue(const TableState& state, const KeyDef& key, const Segment& segment) {
  const KeyIndex& index = state.Index(key.number);
  bool leading = &segment == &key.segments.front();
  if (leading && !index.Empty()) {
    uint32_t top = index.Position((segment.flags & KeyFlag::Descending) ? index.Begin() : index.Last());
    return ReadSigned(std::string_view(state.Get(top).data).substr(segment.offset, segment.length));
  }
  int64_t highest = 0;
  for (uint32_t p = state.records.First(); p != 0; p = state.records.After(p))
    highest = std::max(highest, ReadSigned(std::string_view(state.Get(p).data).substr(segment.offset, segment.length)));
  return highest;
}

// An autoincrement segment holding 0 gets the highest value + 1.
void FillAutoIncrement(const TableState& state, std::string& data) {
  for (const auto& [number, key] : state.schema.keys)
    for (const auto& s : key.segments)
      if (s.type == KeyType::AutoIncrement && ReadSigned(std::string_view(data).substr(s.offset, s.length)) == 0)
        WriteSigned(data, s.offset, s.length, HighestValue(state, key, s) + 1);
}

int16_t RecordFromCall(const Schema& schema, const Call& call, std::string& data) {
  if (!call.data || call.Offered() < schema.recordLength) return Status::DataBufferTooShort;
  size_t length = schema.VariableLength() ? call.Offered() : schema.recordLength;
  data.assign(reinterpret_cast<const char*>(call.data), length);
  return Status::Ok;
}

int16_t CheckUnique(const TableState& state, const std::string& data, uint32_t position) {
  for (const auto& [number, key] : state.schema.keys) {
    if (key.Duplicates()) continue;
    if (state.FindDuplicate(key, state.Normalize(key, RawKey(key, data)), position)) return Status::DuplicateKey;
  }
  return Status::Ok;
}

// The cursor after a write stands on the written record on its key (or in physical order).
void PlaceCursor(Handle& handle, const KeyDef* key, uint32_t position, const Record& record) {
  Cursor& cursor = handle.cursor;
  if (key) {
    cursor.kind = Cursor::Kind::Keyed;
    cursor.keyNum = static_cast<int8_t>(key->number);
    cursor.entry = handle.file->State().EntryOf(*key, position, record);
  } else if (cursor.kind != Cursor::Kind::Keyed) {
    cursor.kind = Cursor::Kind::Physical;
  }
  cursor.position = position;
  cursor.current = true;
  cursor.version = record.version;
  cursor.hintStamp = 0;
}

// The current record of the handle as the file holds it now; 8 without one, 80 when it changed since read.
int16_t CheckCurrent(Handle& handle, std::optional<Record>& record) {
  const Cursor& cursor = handle.cursor;
  if (cursor.kind == Cursor::Kind::None || !cursor.current) return Status::NoPosition;
  record = handle.file->State().Find(cursor.position);
  if (!record || record->version != cursor.version) return Status::RecordChanged;
  if (handle.file->LockedByOther(cursor.position)) return Status::RecordLocked;
  return Status::Ok;
}

int16_t CheckKeyChanges(const TableState& state, const Record& old, const std::string& data,
                        std::vector<std::pair<uint8_t, uint64_t>>& seqs, uint64_t version) {
  for (const auto& [number, key] : state.schema.keys) {
    bool changed = state.Normalize(key, RawKey(key, old.data)) != state.Normalize(key, RawKey(key, data));
    if (changed && !key.Modifiable()) return Status::KeyNotModifiable;
    seqs.emplace_back(number, changed ? version : old.SeqOf(number));
  }
  return Status::Ok;
}

}  // namespace

int16_t DoInsert(Engine& engine, const Call& call) {
  Handle* handle = engine.HandleOf(call);
  if (!handle) return Status::FileNotOpen;
  if (int16_t status = BeginWrite(engine, *handle); status != Status::Ok) return status;
  SharedFile& file = *handle->file;
  TableState& state = file.State();
  const KeyDef* key = state.schema.Key(call.keyNum);
  std::string data;
  int16_t status = (!key && !state.schema.keys.empty() && call.keyNum >= 0) ? Status::InvalidKeyNumber
                                                                             : RecordFromCall(state.schema, call, data);
  if (status == Status::Ok) {
    FillAutoIncrement(state, data);
    status = CheckUnique(state, data, 0);
  }
  if (status != Status::Ok) {
    file.CancelWrite();
    return status;
  }
  PutEntry put{file.TakePosition(), file.TakeSeq(), {}, data};
  for (const auto& [number, k] : state.schema.keys) put.seqs.emplace_back(number, put.version);
  uint32_t position = put.position;
  if ((status = file.CommitWrite({put})) != Status::Ok) return status;
  std::memcpy(call.data, data.data(), state.schema.recordLength);
  PlaceCursor(*handle, key, position, state.Get(position));
  if (key && call.key && call.keyLen >= key->RawLength()) {
    std::string raw = RawKey(*key, data);
    std::memcpy(call.key, raw.data(), raw.size());
  }
  return Status::Ok;
}

int16_t DoUpdate(Engine& engine, const Call& call) {
  Handle* handle = engine.HandleOf(call);
  if (!handle) return Status::FileNotOpen;
  if (handle->cursor.kind == Cursor::Kind::None || !handle->cursor.current) return Status::NoPosition;
  if (int16_t status = BeginWrite(engine, *handle); status != Status::Ok) return status;
  SharedFile& file = *handle->file;
  TableState& state = file.State();
  std::optional<Record> old;
  std::string data;
  PutEntry put{handle->cursor.position, 0, {}, {}};
  int16_t status = CheckCurrent(*handle, old);
  if (status == Status::Ok) status = RecordFromCall(state.schema, call, data);
  if (status == Status::Ok) status = CheckKeyChanges(state, *old, data, put.seqs, state.nextSeq);
  if (status == Status::Ok) status = CheckUnique(state, data, put.position);
  if (status != Status::Ok) {
    file.CancelWrite();
    return status;
  }
  put.version = file.TakeSeq();
  put.data = data;
  if ((status = file.CommitWrite({put})) != Status::Ok) return status;
  const KeyDef* key = handle->cursor.kind == Cursor::Kind::Keyed ? state.schema.Key(handle->cursor.keyNum) : nullptr;
  PlaceCursor(*handle, key, put.position, state.Get(put.position));
  engine.ReleaseRecordLock(*handle, put.position);
  return Status::Ok;
}

int16_t DoDelete(Engine& engine, const Call& call) {
  Handle* handle = engine.HandleOf(call);
  if (!handle) return Status::FileNotOpen;
  if (handle->cursor.kind == Cursor::Kind::None || !handle->cursor.current) return Status::NoPosition;
  if (int16_t status = BeginWrite(engine, *handle); status != Status::Ok) return status;
  std::optional<Record> old;
  int16_t status = CheckCurrent(*handle, old);
  if (status != Status::Ok) {
    handle->file->CancelWrite();
    return status;
  }
  uint32_t position = handle->cursor.position;
  if ((status = handle->file->CommitWrite({DeleteEntry{position}})) != Status::Ok) return status;
  handle->cursor.current = false;
  engine.ReleaseRecordLock(*handle, position);
  return Status::Ok;
}

}  // namespace reqcore
