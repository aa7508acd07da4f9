// Gets, steps, positions and percentages.
#include "requester/core/Engine.h"
#include "requester/core/Statuses.h"

#include <cstring>
#include <iterator>
#include <limits>

namespace reqcore {

namespace {

constexpr uint64_t MaxSeq = std::numeric_limits<uint64_t>::max();

struct Found {
  uint32_t position = 0;
  const Record* record = nullptr;
  const KeyDef* key = nullptr;  // null for physical order
  IndexEntry entry;
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

Found FromEntry(const TableState& state, const KeyDef& key, Index::const_iterator it) {
  return Found{it->position, state.Find(it->position), &key, *it};
}

Found FromRecord(std::map<uint32_t, Record>::const_iterator it) { return Found{it->first, &it->second, nullptr, {}}; }

// The index entry next/previous continue from.
int16_t Anchor(const TableState& state, const Handle& handle, const KeyDef& key, IndexEntry& anchor) {
  const Cursor& cursor = handle.cursor;
  if (cursor.kind == Cursor::Kind::Keyed) {
    if (cursor.keyNum != key.number) return Status::DifferentKeyNumber;
    anchor = cursor.entry;
    return Status::Ok;
  }
  const Record* record = cursor.kind == Cursor::Kind::Physical ? state.Find(cursor.position) : nullptr;
  if (!record) return Status::NoPosition;
  anchor = state.EntryOf(key, cursor.position, *record);
  return Status::Ok;
}

int16_t FindKeyed(const TableState& state, const Handle& handle, const Call& call, const KeyDef& key, Found& found) {
  const Index& index = state.indexes.at(key.number);
  std::string norm;
  IndexEntry anchor;
  int16_t status = Status::Ok;
  Index::const_iterator it = index.end();
  switch (call.op) {
    case Op::GetFirst:
      it = index.begin();
      break;
    case Op::GetLast:
      if (!index.empty()) it = std::prev(index.end());
      break;
    case Op::GetNext:
    case Op::GetPrevious:
      if ((status = Anchor(state, handle, key, anchor)) != Status::Ok) return status;
      if (call.op == Op::GetNext)
        it = index.upper_bound(anchor);
      else if (auto lower = index.lower_bound(anchor); lower != index.begin())
        it = std::prev(lower);
      break;
    default: {
      if ((status = KeyFromBuffer(state, key, call, norm)) != Status::Ok) return status;
      auto low = index.lower_bound(IndexEntry{norm, 0, 0});
      auto high = index.upper_bound(IndexEntry{norm, MaxSeq, 0});
      if (call.op == Op::GetEqual) {
        if (low == index.end() || low->norm != norm) return Status::KeyNotFound;
        it = low;
      } else if (call.op == Op::GetGreater) {
        it = high;
      } else if (call.op == Op::GetGreaterOrEqual) {
        it = low;
      } else if (call.op == Op::GetLess) {
        if (low != index.begin()) it = std::prev(low);
      } else if (high != index.begin()) {
        it = std::prev(high);
      }
    }
  }
  if (it == index.end()) return Status::EndOfFile;
  found = FromEntry(state, key, it);
  return Status::Ok;
}

int16_t FindPhysical(const TableState& state, const Handle& handle, const Call& call, Found& found) {
  const auto& records = state.records;
  auto it = records.end();
  if (call.op == Op::StepFirst) {
    it = records.begin();
  } else if (call.op == Op::StepLast) {
    if (!records.empty()) it = std::prev(records.end());
  } else {
    if (handle.cursor.kind == Cursor::Kind::None) return Status::NoPosition;
    uint32_t position = handle.cursor.position;
    if (call.op == Op::StepNext)
      it = records.upper_bound(position);
    else if (auto lower = records.lower_bound(position); lower != records.begin())
      it = std::prev(lower);
  }
  if (it == records.end()) return Status::EndOfFile;
  found = FromRecord(it);
  return Status::Ok;
}

int16_t FindByPercentage(const TableState& state, const Call& call, const KeyDef* key, Found& found) {
  uint32_t percentage;
  if (!ReadUint32(call, percentage)) return Status::DataBufferTooShort;
  if (percentage > 10000) return Status::InvalidOperation;
  size_t count = key ? state.indexes.at(key->number).size() : state.records.size();
  if (count == 0) return Status::EndOfFile;
  size_t rank = static_cast<size_t>(uint64_t(percentage) * (count - 1) / 10000);
  if (key)
    found = FromEntry(state, *key, std::next(state.indexes.at(key->number).begin(), rank));
  else
    found = FromRecord(std::next(state.records.begin(), rank));
  return Status::Ok;
}

int16_t FindDirect(const TableState& state, const Call& call, const KeyDef* key, Found& found) {
  uint32_t position;
  if (!ReadUint32(call, position)) return Status::DataBufferTooShort;
  const Record* record = state.Find(position);
  if (!record) return Status::InvalidPosition;
  found = Found{position, record, key, {}};
  if (key) found.entry = state.EntryOf(*key, position, *record);
  return Status::Ok;
}

// Hands the record over, takes the lock asked for and moves the cursor; nothing changes on failure.
int16_t Deliver(Handle& handle, const Call& call, const Found& found, bool physical) {
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
  cursor.entry = found.entry;
  cursor.position = found.position;
  cursor.current = true;
  cursor.version = found.record->version;
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
    const Index& index = state.indexes.at(key->number);
    count = index.size();
    rank = std::distance(index.begin(), index.lower_bound(IndexEntry{norm, 0, 0}));
  } else {
    uint32_t position;
    std::memcpy(&position, call.data, 4);
    if (!state.Find(position)) return Status::InvalidPosition;
    count = state.records.size();
    rank = std::distance(state.records.begin(), state.records.lower_bound(position));
  }
  uint32_t percentage = count <= 1 ? 0 : static_cast<uint32_t>(std::min<uint64_t>(10000, rank * 10000ull / (count - 1)));
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
