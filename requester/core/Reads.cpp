// Gets, steps, positions and percentages.
#include "requester/core/Engine.h"
#include "requester/core/Statuses.h"

#include <cstring>
#include <iterator>
#include <limits>
#include <optional>
#include <utility>

namespace reqcore {

namespace {

constexpr uint64_t MaxSeq = std::numeric_limits<uint64_t>::max();

struct Found {
  uint32_t position = 0;
  std::optional<Record> record;
  const KeyDef* key = nullptr;  // null for physical order
  IndexEntry entry;
  KeyIndex::Pos at;  // in the key's index, when found there
  uint64_t stamp = 0;
};

bool ReadUint32(const Call& call, uint32_t& value) {
  if (!call.data || call.Offered() < 4) return false;
  std::memcpy(&value, call.data, 4);
  return true;
}

int16_t KeyFromBuffer(const TableState& state, const KeyDef& key, const Call& call, std::string& norm) {
  if (!call.key || call.keyLen < key.RawLength()) return Status::KeyBufferTooShort;
  norm = state.Normalize(key, std::string_view(reinterpret_cast<const char*>(call.key), key.RawLength()));
  return Status::Ok;
}

Found FromIndex(const TableState& state, const KeyDef& key, KeyIndex::Pos p) {
  const KeyIndex& index = state.Index(key.number);
  uint32_t position = index.Position(p);
  IndexEntry entry{std::string(index.Key(p)), position};
  return Found{position, state.Get(position), &key, std::move(entry), std::move(p), index.Stamp()};
}

Found FromPosition(const TableState& state, uint32_t position) {
  Found found;
  found.position = position;
  found.record = state.Find(position);
  return found;
}

// The index entry next/previous continue from.
int16_t Anchor(const TableState& state, const Handle& handle, const KeyDef& key, std::string& anchor) {
  const Cursor& cursor = handle.cursor;
  if (cursor.kind == Cursor::Kind::Keyed) {
    if (cursor.keyNum != key.number) return Status::DifferentKeyNumber;
    anchor = cursor.entry.key;
    return Status::Ok;
  }
  std::optional<Record> record;
  if (cursor.kind == Cursor::Kind::Physical) record = state.Find(cursor.position);
  if (!record) return Status::NoPosition;
  anchor = state.EntryOf(key, cursor.position, *record).key;
  return Status::Ok;
}

int16_t FindKeyed(const TableState& state, const Handle& handle, const Call& call, const KeyDef& key, Found& found) {
  const KeyIndex& index = state.Index(key.number);
  KeyIndex::Pos p = index.End();
  int16_t status = Status::Ok;
  switch (call.op) {
    case Op::GetFirst:
      p = index.Begin();
      break;
    case Op::GetLast:
      p = index.Last();
      break;
    case Op::GetNext:
    case Op::GetPrevious: {
      const Cursor& cursor = handle.cursor;
      if (cursor.kind == Cursor::Kind::Keyed && cursor.keyNum == key.number && cursor.hintStamp == index.Stamp()) {
        p = call.op == Op::GetNext ? index.Next(cursor.hint) : index.Prev(cursor.hint);
        break;
      }
      std::string anchor;
      if ((status = Anchor(state, handle, key, anchor)) != Status::Ok) return status;
      p = call.op == Op::GetNext ? index.UpperBound(anchor) : index.Prev(index.LowerBound(anchor));
      break;
    }
    default: {
      std::string norm;
      if ((status = KeyFromBuffer(state, key, call, norm)) != Status::Ok) return status;
      KeyIndex::Pos low = index.LowerBound(KeyIndex::EntryKey(norm, 0));
      if (call.op == Op::GetEqual) {
        if (index.IsEnd(low) || index.Norm(low) != norm) return Status::KeyNotFound;
        p = low;
      } else if (call.op == Op::GetGreaterOrEqual) {
        p = low;
      } else if (call.op == Op::GetLess) {
        p = index.Prev(low);
      } else {
        KeyIndex::Pos high = index.UpperBound(KeyIndex::EntryKey(norm, MaxSeq));
        p = call.op == Op::GetGreater ? high : index.Prev(high);
      }
    }
  }
  if (index.IsEnd(p)) return Status::EndOfFile;
  found = FromIndex(state, key, std::move(p));
  return Status::Ok;
}

int16_t FindPhysical(const TableState& state, const Handle& handle, const Call& call, Found& found) {
  const RecordStore& records = state.records;
  uint32_t position = 0;
  if (call.op == Op::StepFirst) {
    position = records.First();
  } else if (call.op == Op::StepLast) {
    position = records.Last();
  } else {
    if (handle.cursor.kind == Cursor::Kind::None) return Status::NoPosition;
    position = call.op == Op::StepNext ? records.After(handle.cursor.position) : records.Before(handle.cursor.position);
  }
  if (position == 0) return Status::EndOfFile;
  found = FromPosition(state, position);
  return Status::Ok;
}

int16_t FindByPercentage(const TableState& state, const Call& call, const KeyDef* key, Found& found) {
  uint32_t percentage;
  if (!ReadUint32(call, percentage)) return Status::DataBufferTooShort;
  if (percentage > 10000) return Status::InvalidOperation;
  size_t count = key ? state.Index(key->number).Size() : state.records.Size();
  if (count == 0) return Status::EndOfFile;
  // The record whose place it is: ceil(percentage / 10000 x count) - 1, the inverse of find percentage.
  size_t rank = static_cast<size_t>((uint64_t(percentage) * count + 9999) / 10000);
  rank = rank == 0 ? 0 : rank - 1;
  found = key ? FromIndex(state, *key, state.Index(key->number).AtRank(rank))
              : FromPosition(state, state.records.AtRank(rank));
  return Status::Ok;
}

int16_t FindDirect(const TableState& state, const Call& call, const KeyDef* key, Found& found) {
  uint32_t position;
  if (!ReadUint32(call, position)) return Status::DataBufferTooShort;
  std::optional<Record> record = state.Find(position);
  if (!record) return Status::InvalidPosition;
  found = FromPosition(state, position);
  found.key = key;
  if (key) found.entry = state.EntryOf(*key, position, *record);
  return Status::Ok;
}

// Hands the record over, takes the lock asked for and moves the cursor (taking found's place); nothing changes on
// failure.
int16_t Deliver(Handle& handle, const Call& call, Found& found, bool physical) {
  if (!found.record) throw PageMismatch();  // an index naming a position without a record
  const std::string& data = found.record->data;
  if (!call.data || call.Offered() < data.size()) return Status::DataBufferTooShort;
  std::string rawKey;
  if (found.key) {
    rawKey = RawKey(*found.key, data);
    if (!call.key || call.keyLen < rawKey.size()) return Status::KeyBufferTooShort;
  }
  if (call.lock) {
    if (handle.lockedPosition != found.position) {
      if (!handle.file->LockRecord(found.position)) return Status::RecordLocked;
      ReleaseLock(handle);
      handle.lockedPosition = found.position;
    }
  }
  std::memcpy(call.data, data.data(), data.size());
  call.Returned(static_cast<uint16_t>(data.size()));
  if (found.key) std::memcpy(call.key, rawKey.data(), rawKey.size());
  Cursor& cursor = handle.cursor;
  cursor.kind = physical || !found.key ? Cursor::Kind::Physical : Cursor::Kind::Keyed;
  if (found.key) cursor.keyNum = static_cast<int8_t>(found.key->number);
  cursor.entry = std::move(found.entry);
  cursor.position = found.position;
  cursor.current = true;
  cursor.version = found.record->version;
  cursor.hint = std::move(found.at);
  cursor.hintStamp = found.stamp;
  return Status::Ok;
}

int16_t GetPosition(const Handle& handle, const Call& call) {
  if (handle.cursor.kind == Cursor::Kind::None || !handle.cursor.current) return Status::NoPosition;
  if (!call.data || call.Offered() < 4) return Status::DataBufferTooShort;
  std::memcpy(call.data, &handle.cursor.position, 4);
  call.Returned(4);
  return Status::Ok;
}

int16_t FindPercentage(const TableState& state, const Call& call, const KeyDef* key) {
  if (!call.data || call.Offered() < 4) return Status::DataBufferTooShort;
  size_t rank, count;
  if (key) {
    std::string norm;
    if (int16_t status = KeyFromBuffer(state, *key, call, norm); status != Status::Ok) return status;
    const KeyIndex& index = state.Index(key->number);
    count = index.Size();
    rank = index.Rank(index.LowerBound(KeyIndex::EntryKey(norm, 0)));
  } else {
    uint32_t position;
    std::memcpy(&position, call.data, 4);
    if (!state.Find(position)) return Status::InvalidPosition;
    count = state.records.Size();
    rank = state.records.Rank(position);
  }
  // Just above rank / count, so that trunc(percentage / 10000 x count) gives the rank back even in floating point.
  uint32_t percentage = rank == 0 ? 0 : static_cast<uint32_t>(std::min<uint64_t>(10000, rank * 10000ull / count + 1));
  std::memcpy(call.data, &percentage, 4);
  call.Returned(4);
  return Status::Ok;
}

bool IsStep(uint16_t op) {
  return op == Op::StepNext || op == Op::StepFirst || op == Op::StepLast || op == Op::StepPrevious;
}

}  // namespace

int16_t DoRead(Engine& engine, const Call& call) {
  Handle* handle = engine.HandleOf(call);
  if (!handle) return Status::FileNotOpen;
  if (int16_t status = Prepare(*handle, false); status != Status::Ok) return status;
  const TableState& state = handle->file->State();
  if (call.op == Op::GetPosition) return GetPosition(*handle, call);
  if (IsStep(call.op)) {
    Found found;
    int16_t status = FindPhysical(state, *handle, call, found);
    return status == Status::Ok ? Deliver(*handle, call, found, true) : status;
  }
  const KeyDef* key = state.schema.Key(call.keyNum);
  bool physicalAllowed = call.op == Op::GetDirect || call.op == Op::GetByPercentage || call.op == Op::FindPercentage;
  if (!key && !(physicalAllowed && (call.keyNum < 0 || state.schema.keys.empty()))) return Status::InvalidKeyNumber;
  if (call.op == Op::FindPercentage) return FindPercentage(state, call, key);
  Found found;
  int16_t status = call.op == Op::GetDirect         ? FindDirect(state, call, key, found)
                   : call.op == Op::GetByPercentage ? FindByPercentage(state, call, key, found)
                                                    : FindKeyed(state, *handle, call, *key, found);
  return status == Status::Ok ? Deliver(*handle, call, found, key == nullptr) : status;
}

}  // namespace reqcore
