// A long random sequence of operations checked step by step against a small in-memory model.
#include "CoreTestSupport.h"
#include "requester/core/Statuses.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <random>
#include <tuple>

using namespace reqtest;

namespace {

// Record: id int32 (key 0, unique, modifiable), group int16 (key 1, duplicates, modifiable),
// name 6 bytes (key 2, duplicates, case-insensitive, not modifiable), 4 bytes of payload (key 3, duplicates,
// a supplemental index created and dropped during the run).
constexpr uint16_t RecordLength = 16;

struct ModelRecord {
  int32_t id;
  int16_t group;
  std::string name;  // 6 bytes
  std::string payload;  // 4 bytes
  uint64_t seq[4];
  uint64_t version;

  std::string Bytes() const {
    std::string r(RecordLength, '\0');
    std::memcpy(r.data(), &id, 4);
    std::memcpy(r.data() + 4, &group, 2);
    std::memcpy(r.data() + 6, name.data(), 6);
    std::memcpy(r.data() + 12, payload.data(), 4);
    return r;
  }
};

std::string Upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return s;
}

// A model key value: a comparable value, then the place among duplicates, then the position.
using ModelKey = std::tuple<int64_t, std::string, uint64_t, uint32_t>;

ModelKey KeyValue(const ModelRecord& r, int key, uint32_t position) {
  switch (key) {
    case 0: return {r.id, "", 0, position};
    case 1: return {r.group, "", r.seq[1], position};
    case 2: return {0, Upper(r.name), r.seq[2], position};
    default: return {0, r.payload, r.seq[3], position};
  }
}

std::string RawKey(const ModelRecord& r, int key) {
  std::string b = r.Bytes();
  return key == 0 ? b.substr(0, 4) : key == 1 ? b.substr(4, 2) : key == 2 ? b.substr(6, 6) : b.substr(12, 4);
}

struct ModelCursor {
  enum Kind { None, Keyed, Physical } kind = None;
  int key = 0;
  ModelKey anchor;
  uint32_t position = 0;
  bool current = false;
  uint64_t version = 0;
};

class Model {
 public:
  std::map<uint32_t, ModelRecord> records;
  uint32_t nextPosition = 1;
  uint64_t nextSeq = 1;
  bool supplemental = false;  // key 3 exists
  ModelCursor cursor;

  bool KeyExists(int key) const { return key >= 0 && (key < 3 || supplemental); }

  std::vector<std::pair<ModelKey, uint32_t>> Sorted(int key) const {
    std::vector<std::pair<ModelKey, uint32_t>> v;
    for (const auto& [p, r] : records) v.emplace_back(KeyValue(r, key, p), p);
    std::sort(v.begin(), v.end());
    return v;
  }
  // Compares without the position (unique ordering comes from the sequence number).
  static bool Less(const ModelKey& a, const ModelKey& b) {
    return std::tie(std::get<0>(a), std::get<1>(a), std::get<2>(a)) <
           std::tie(std::get<0>(b), std::get<1>(b), std::get<2>(b));
  }
  bool IdTaken(int32_t id, uint32_t except) const {
    for (const auto& [p, r] : records)
      if (r.id == id && p != except) return true;
    return false;
  }
  void Place(int key, uint32_t position, bool keyed) {
    cursor.kind = keyed ? ModelCursor::Keyed : ModelCursor::Physical;
    if (keyed) {
      cursor.key = key;
      cursor.anchor = KeyValue(records.at(position), key, position);
    }
    cursor.position = position;
    cursor.current = true;
    cursor.version = records.at(position).version;
  }
  // 8 without a current record, 80 when it changed or vanished since it was read (an aborted transaction).
  int16_t CurrentStatus() const {
    if (cursor.kind == ModelCursor::None || !cursor.current) return Status::NoPosition;
    auto it = records.find(cursor.position);
    if (it == records.end() || it->second.version != cursor.version) return Status::RecordChanged;
    return Status::Ok;
  }
};

class RandomRun {
 public:
  RandomRun(const std::string& path, uint32_t seed) : path_(path), rng_(seed) {}

  void Run(int steps) {
    ASSERT_EQ(0, file_.Create(path_, CreateSpec(RecordLength, {{{1, 4, KeyFlag::Modifiable, KeyType::Integer}},
                                                               {{5, 2, KeyFlag::Duplicates | KeyFlag::Modifiable,
                                                                 KeyType::Integer}},
                                                               {{7, 6, KeyFlag::Duplicates | KeyFlag::NoCase}}})));
    ASSERT_EQ(0, file_.Open(path_));
    for (step_ = 0; step_ < steps && !::testing::Test::HasFatalFailure(); ++step_) {
      OneStep();
      if (step_ % 997 == 0) VerifyAll();
    }
    if (inTransaction_) {
      ASSERT_EQ(0, file_.Call(Op::EndTransaction));
    }
    inTransaction_ = false;
    VerifyAll();
  }

 private:
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

  std::string RandomName() {
    static const char* names[] = {"alpha ", "ALPHA ", "beta  ", "Gamma ", "delta ", "gamma "};
    return names[Pick(6)];
  }

  ModelRecord RandomRecord() {
    ModelRecord r{};
    r.id = Pick(400);
    r.group = static_cast<int16_t>(Pick(8) - 4);
    r.name = RandomName();
    r.payload = std::string(4, static_cast<char>('a' + Pick(26)));
    return r;
  }

  void OneStep() {
    int what = Pick(100);
    if (what < 25) return Insert();
    if (what < 35) return Update();
    if (what < 42) return Delete();
    if (what < 60) return GetByKey();
    if (what < 80) return NextPrevious();
    if (what < 88) return Step();
    if (what < 91) return GetDirect();
    if (what < 94) return Percentage();
    if (what < 95) return IndexChange();
    if (what < 97) return Transaction();
    return Reopen();
  }

  void Expect(int16_t expected, int16_t actual, const char* what) {
    ASSERT_EQ(expected, actual) << what << " at step " << step_;
  }

  void ExpectRecord(uint32_t position, int key) {
    const ModelRecord& r = model_.records.at(position);
    ASSERT_EQ(r.Bytes(), file_.Record()) << "record at step " << step_;
    if (key >= 0) {
      ASSERT_EQ(RawKey(r, key), std::string(reinterpret_cast<char*>(file_.key), RawKey(r, key).size()));
    }
  }

  void Insert() {
    ModelRecord r = RandomRecord();
    int key = Pick(4);
    int16_t expected = !model_.KeyExists(key)    ? Status::InvalidKeyNumber
                       : model_.IdTaken(r.id, 0) ? Status::DuplicateKey
                                                 : Status::Ok;
    Expect(expected, file_.Insert(r.Bytes(), static_cast<int8_t>(key)), "insert");
    if (expected != 0) return;
    uint32_t position = model_.nextPosition++;
    r.seq[0] = r.seq[1] = r.seq[2] = r.seq[3] = r.version = model_.nextSeq++;
    model_.records[position] = r;
    model_.Place(key, position, true);
    file_.cursorKey = static_cast<int8_t>(key);
  }

  void Update() {
    const ModelCursor& c = model_.cursor;
    int16_t expected = model_.CurrentStatus();
    bool current = expected == Status::Ok;
    ModelRecord r = current ? model_.records.at(c.position) : RandomRecord();
    int change = Pick(10);
    if (change < 5) r.group = static_cast<int16_t>(Pick(8) - 4);
    else if (change < 8) r.id = Pick(400);
    else if (change < 9) r.name = RandomName();
    r.payload = std::string(4, static_cast<char>('a' + Pick(26)));
    if (!current) {
    } else if (Upper(r.name) != Upper(model_.records.at(c.position).name)) expected = Status::KeyNotModifiable;
    else if (model_.IdTaken(r.id, c.position)) expected = Status::DuplicateKey;
    file_.cursorKey = static_cast<int8_t>(c.key);
    Expect(expected, file_.Update(r.Bytes()), "update");
    if (expected != 0) return;
    ModelRecord& old = model_.records.at(c.position);
    uint64_t seq = model_.nextSeq++;
    r.seq[0] = r.id != old.id ? seq : old.seq[0];
    r.seq[1] = r.group != old.group ? seq : old.seq[1];
    r.seq[2] = old.seq[2];
    r.seq[3] = r.payload != old.payload ? seq : old.seq[3];
    r.version = seq;
    old = r;
    model_.Place(c.key, c.position, c.kind == ModelCursor::Keyed);
  }

  void Delete() {
    ModelCursor& c = model_.cursor;
    int16_t expected = model_.CurrentStatus();
    Expect(expected, file_.Call(Op::Delete), "delete");
    if (expected != Status::Ok) return;
    model_.records.erase(c.position);
    c.current = false;
  }

  void GetByKey() {
    static const uint16_t ops[] = {Op::GetEqual, Op::GetGreater, Op::GetGreaterOrEqual, Op::GetLess,
                                   Op::GetLessOrEqual, Op::GetFirst, Op::GetLast};
    uint16_t op = ops[Pick(7)];
    int key = Pick(4);
    if (!model_.KeyExists(key)) return Expect(Status::InvalidKeyNumber, file_.Read(op, 3), "get on a missing key");
    ModelRecord probe = RandomRecord();
    file_.SetKey(RawKey(probe, key).data(), RawKey(probe, key).size());
    ModelKey low = KeyValue(probe, key, 0), high = low;
    std::get<2>(low) = 0, std::get<2>(high) = UINT64_MAX;
    auto sorted = model_.Sorted(key);
    std::optional<size_t> at;
    auto lower = std::lower_bound(sorted.begin(), sorted.end(), low,
                                  [](const auto& e, const ModelKey& k) { return Model::Less(e.first, k); });
    auto upper = std::upper_bound(sorted.begin(), sorted.end(), high,
                                  [](const ModelKey& k, const auto& e) { return Model::Less(k, e.first); });
    size_t lo = lower - sorted.begin(), hi = upper - sorted.begin();
    if (op == Op::GetEqual && lo < hi) at = lo;
    if (op == Op::GetGreater && hi < sorted.size()) at = hi;
    if (op == Op::GetGreaterOrEqual && lo < sorted.size()) at = lo;
    if (op == Op::GetLess && lo > 0) at = lo - 1;
    if (op == Op::GetLessOrEqual && hi > 0) at = hi - 1;
    if (op == Op::GetFirst && !sorted.empty()) at = 0;
    if (op == Op::GetLast && !sorted.empty()) at = sorted.size() - 1;
    int16_t expected = at ? 0 : op == Op::GetEqual ? Status::KeyNotFound : Status::EndOfFile;
    Expect(expected, file_.Read(op, static_cast<int8_t>(key)), "get by key");
    if (!at) return;
    uint32_t position = sorted[*at].second;
    ExpectRecord(position, key);
    model_.Place(key, position, true);
  }

  void NextPrevious() {
    bool next = Pick(2) == 0;
    ModelCursor& c = model_.cursor;
    int key = Pick(4) == 0 ? Pick(4) : c.key;
    int16_t expected = 0;
    ModelKey anchor;
    if (!model_.KeyExists(key)) expected = Status::InvalidKeyNumber;
    else if (c.kind == ModelCursor::None) expected = Status::NoPosition;
    else if (c.kind == ModelCursor::Keyed && c.key != key) expected = Status::DifferentKeyNumber;
    else if (c.kind == ModelCursor::Keyed) anchor = c.anchor;
    else if (!model_.records.count(c.position)) expected = Status::NoPosition;
    else anchor = KeyValue(model_.records.at(c.position), key, c.position);
    std::optional<size_t> at;
    auto sorted = model_.KeyExists(key) ? model_.Sorted(key) : decltype(model_.Sorted(0)){};
    if (expected == 0) {
      auto it = std::upper_bound(sorted.begin(), sorted.end(), anchor,
                                 [](const ModelKey& k, const auto& e) { return Model::Less(k, e.first); });
      size_t i = it - sorted.begin();
      if (next && i < sorted.size()) at = i;
      auto lo = std::lower_bound(sorted.begin(), sorted.end(), anchor,
                                 [](const auto& e, const ModelKey& k) { return Model::Less(e.first, k); });
      size_t j = lo - sorted.begin();
      if (!next && j > 0) at = j - 1;
      if (!at) expected = Status::EndOfFile;
    }
    Expect(expected, file_.Read(next ? Op::GetNext : Op::GetPrevious, static_cast<int8_t>(key)), "next/previous");
    if (!at) return;
    uint32_t position = sorted[*at].second;
    ExpectRecord(position, key);
    model_.Place(key, position, true);
  }

  void Step() {
    static const uint16_t ops[] = {Op::StepFirst, Op::StepLast, Op::StepNext, Op::StepPrevious};
    uint16_t op = ops[Pick(4)];
    const auto& recs = model_.records;
    ModelCursor& c = model_.cursor;
    std::optional<uint32_t> at;
    int16_t expected = 0;
    if ((op == Op::StepNext || op == Op::StepPrevious) && c.kind == ModelCursor::None) {
      expected = Status::NoPosition;
    } else if (op == Op::StepFirst && !recs.empty()) {
      at = recs.begin()->first;
    } else if (op == Op::StepLast && !recs.empty()) {
      at = recs.rbegin()->first;
    } else if (op == Op::StepNext) {
      auto it = recs.upper_bound(c.position);
      if (it != recs.end()) at = it->first;
    } else if (op == Op::StepPrevious) {
      auto it = recs.lower_bound(c.position);
      if (it != recs.begin()) at = std::prev(it)->first;
    }
    if (expected == 0 && !at) expected = Status::EndOfFile;
    Expect(expected, file_.Read(op, 0), "step");
    if (!at) return;
    ExpectRecord(*at, -1);
    model_.Place(0, *at, false);
  }

  void GetDirect() {
    uint32_t position = static_cast<uint32_t>(Pick(static_cast<int>(model_.nextPosition) + 2));
    int key = Pick(4);
    bool exists = model_.records.count(position) > 0;
    int16_t expected = !model_.KeyExists(key) ? Status::InvalidKeyNumber : exists ? 0 : Status::InvalidPosition;
    Expect(expected, file_.GetDirect(position, static_cast<int8_t>(key)), "direct");
    if (expected != 0) return;
    if (!exists) return;
    ExpectRecord(position, key);
    model_.Place(key, position, true);
    if (Pick(2) == 0) {
      ASSERT_EQ(position, file_.Position());
    }
  }

  void Percentage() {
    int key = Pick(5) - 1;  // -1: physical order
    std::vector<uint32_t> order;
    if (key >= 0 && model_.KeyExists(key))
      for (const auto& [value, position] : model_.Sorted(key)) order.push_back(position);
    if (key < 0)
      for (const auto& [position, record] : model_.records) order.push_back(position);
    if (Pick(2) == 0) return ByPercentage(key, order);
    FindPercentage(key, order);
  }

  void ByPercentage(int key, const std::vector<uint32_t>& order) {
    uint32_t percentage = static_cast<uint32_t>(Pick(10002));
    file_.data.assign(64, 0);
    std::memcpy(file_.data.data(), &percentage, 4);
    int16_t expected = key >= 0 && !model_.KeyExists(key) ? Status::InvalidKeyNumber
                       : percentage > 10000               ? Status::InvalidOperation
                       : order.empty()                    ? Status::EndOfFile
                                                          : Status::Ok;
    Expect(expected, file_.Call(Op::GetByPercentage, static_cast<int8_t>(key)), "by percentage");
    if (expected != 0) return;
    size_t place = (uint64_t(percentage) * order.size() + 9999) / 10000;
    uint32_t position = order[place == 0 ? 0 : place - 1];
    ExpectRecord(position, key);
    model_.Place(std::max(key, 0), position, key >= 0);
    if (key >= 0) file_.cursorKey = static_cast<int8_t>(key);
  }

  void FindPercentage(int key, const std::vector<uint32_t>& order) {
    size_t rank = 0;
    int16_t expected = Status::Ok;
    file_.data.assign(4, 0);
    if (key >= 0) {
      ModelRecord probe = RandomRecord();
      file_.SetKey(RawKey(probe, key).data(), RawKey(probe, key).size());
      ModelKey low = KeyValue(probe, key, 0);
      std::get<2>(low) = 0;
      for (uint32_t position : order) rank += Model::Less(KeyValue(model_.records.at(position), key, position), low);
      if (!model_.KeyExists(key)) expected = Status::InvalidKeyNumber;
    } else {
      uint32_t position = static_cast<uint32_t>(Pick(static_cast<int>(model_.nextPosition) + 1));
      std::memcpy(file_.data.data(), &position, 4);
      for (uint32_t p : order) rank += p < position;
      if (!model_.records.count(position)) expected = Status::InvalidPosition;
    }
    Expect(expected, file_.Call(Op::FindPercentage, static_cast<int8_t>(key)), "find percentage");
    if (expected != 0) return;
    uint32_t percentage;
    std::memcpy(&percentage, file_.data.data(), 4);
    uint64_t wanted = rank == 0 ? 0 : std::min<uint64_t>(10000, rank * 10000 / order.size() + 1);
    ASSERT_EQ(wanted, percentage) << "find percentage at step " << step_;
  }

  // Creates the supplemental index on the payload, or drops it.
  void IndexChange() {
    if (inTransaction_) {
      file_.data = SegmentSpecs();
      return Expect(Status::OperationNotAllowed, file_.Call(model_.supplemental ? Op::DropIndex : Op::CreateIndex,
                                                            model_.supplemental ? 3 : 0),
                    "index change in a transaction");
    }
    if (model_.supplemental) {
      Expect(0, file_.Call(Op::DropIndex, 3), "drop index");
      model_.supplemental = false;
      if (model_.cursor.kind == ModelCursor::Keyed && model_.cursor.key == 3) model_.cursor.kind = ModelCursor::Physical;
      return;
    }
    file_.data = SegmentSpecs();
    Expect(0, file_.Call(Op::CreateIndex, 0), "create index");
    model_.supplemental = true;
    for (auto& [position, record] : model_.records) record.seq[3] = model_.nextSeq++;
  }

  static std::vector<uint8_t> SegmentSpecs() {
    auto spec = CreateSpec(RecordLength, {{{13, 4, KeyFlag::Duplicates | KeyFlag::Modifiable}}});
    return std::vector<uint8_t>(spec.begin() + 16, spec.end());
  }

  void Transaction() {
    if (!inTransaction_) {
      ASSERT_EQ(0, file_.Call(Op::BeginTransaction));
      snapshot_ = model_.records;
      inTransaction_ = true;
    } else if (Pick(2) == 0) {
      ASSERT_EQ(0, file_.Call(Op::EndTransaction));
      inTransaction_ = false;
    } else {
      ASSERT_EQ(0, file_.Call(Op::AbortTransaction));
      model_.records = snapshot_;
      inTransaction_ = false;
    }
  }

  void Reopen() {
    if (inTransaction_) return;
    if (Pick(2) == 0) {
      ASSERT_EQ(0, file_.Close());
    } else {
      CoreStop();
    }
    ASSERT_EQ(0, file_.Open(path_));
    model_.cursor = ModelCursor{};
  }

  // A second client reads the whole file in key 1 order and in physical order.
  void VerifyAll() {
    TestFile reader(Client(99));
    ASSERT_EQ(0, reader.Open(path_));
    std::vector<std::string> expected, actual;
    for (const auto& [key, position] : model_.Sorted(1)) expected.push_back(model_.records.at(position).Bytes());
    if (inTransaction_) {
      expected.clear();
      Model committed;
      committed.records = snapshot_;
      for (const auto& [key, position] : committed.Sorted(1)) expected.push_back(snapshot_.at(position).Bytes());
    }
    for (int16_t s = reader.Read(Op::GetFirst, 1); s == 0; s = reader.Read(Op::GetNext, 1))
      actual.push_back(reader.Record());
    ASSERT_EQ(expected, actual) << "contents at step " << step_;
    auto stat = reader.Stat();
    ASSERT_EQ(expected.size(), static_cast<size_t>(stat[6] | stat[7] << 8));
    ASSERT_EQ(model_.supplemental ? 4 : 3, stat[4]);
  }

  std::string path_;
  std::mt19937 rng_;
  TestFile file_;
  Model model_;
  std::map<uint32_t, ModelRecord> snapshot_;
  bool inTransaction_ = false;
  int step_ = 0;
};

}  // namespace

TEST(RandomModel, EveryOperationAgreesWithTheModel) {
  TempDir dir;
  for (uint32_t seed : {1u, 2u, 3u}) {
    CoreStop();
    RandomRun run(dir.File("random" + std::to_string(seed) + ".dat"), seed);
    run.Run(6000);
    if (::testing::Test::HasFatalFailure()) return;
  }
  CoreStop();
}
