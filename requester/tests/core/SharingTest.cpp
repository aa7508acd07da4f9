// Two clients of one process: locks, open modes and transactions conflict as between processes.
#include "CoreTestSupport.h"
#include "requester/core/Statuses.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace reqtest;

namespace {

std::string Rec(int32_t id, char tag = 'a') {
  std::string r(8, tag);
  std::memcpy(r.data(), &id, 4);
  return r;
}

int32_t IdOf(const std::string& r) {
  int32_t id;
  std::memcpy(&id, r.data(), 4);
  return id;
}

std::string KeyOf(int32_t id) { return std::string(reinterpret_cast<const char*>(&id), 4); }

class Sharing : public ::testing::Test {
 protected:
  void SetUp() override {
    CoreStop();
    path = dir.File("shared.dat");
    TestFile maker;
    ASSERT_EQ(0, maker.Create(path, CreateSpec(8, {{{1, 4, 0, KeyType::Integer}}})));
    ASSERT_EQ(0, a.Open(path));
    ASSERT_EQ(0, b.Open(path));
    for (int id : {1, 2, 3}) ASSERT_EQ(0, a.Insert(Rec(id)));
  }
  void TearDown() override { CoreStop(); }

  TempDir dir;
  std::string path;
  TestFile a{Client(1)};
  TestFile b{Client(2)};
};

}  // namespace

TEST_F(Sharing, RecordLockBlocksOtherClientsLockingReadsAndWrites) {
  ASSERT_EQ(0, a.GetEqual(KeyOf(2)));
  a.data.assign(64, 0);
  a.SetKey(KeyOf(2).data(), 4);
  ASSERT_EQ(0, a.Call(Op::GetEqual + Op::LockBias));
  EXPECT_EQ(0, b.GetEqual(KeyOf(2)));  // plain read passes
  b.SetKey(KeyOf(2).data(), 4);
  b.data.assign(64, 0);
  EXPECT_EQ(Status::RecordLocked, b.Call(Op::GetEqual + Op::LockBias));
  EXPECT_EQ(Status::RecordLocked, b.Update(Rec(2, 'b')));
  EXPECT_EQ(Status::RecordLocked, b.Call(Op::Delete));
  // The lock holder's own plain read keeps the lock; its update releases it.
  ASSERT_EQ(0, a.GetEqual(KeyOf(2)));
  EXPECT_EQ(Status::RecordLocked, b.Call(Op::GetEqual + Op::LockBias));
  ASSERT_EQ(0, a.Update(Rec(2, 'c')));
  EXPECT_EQ(Status::RecordChanged, b.Update(Rec(2, 'b')));  // b read the record before a changed it
  ASSERT_EQ(0, b.GetEqual(KeyOf(2)));
  EXPECT_EQ(Rec(2, 'c'), b.Record());
  EXPECT_EQ(0, b.Update(Rec(2, 'b')));
}

TEST_F(Sharing, UnlockAndNextLockingReadReleaseTheLock) {
  a.SetKey(KeyOf(1).data(), 4);
  a.data.assign(64, 0);
  ASSERT_EQ(0, a.Call(Op::GetEqual + Op::LockBias));
  uint32_t locked = a.Position();
  a.data.assign(64, 0);
  ASSERT_EQ(0, a.Call(Op::GetNext + Op::LockBias));  // moves the lock to record 2
  b.SetKey(KeyOf(1).data(), 4);
  b.data.assign(64, 0);
  EXPECT_EQ(0, b.Call(Op::GetEqual + Op::LockBias));
  b.data.assign(4, 0);
  std::memcpy(b.data.data(), &locked, 4);
  EXPECT_EQ(0, b.Call(Op::Unlock));
  EXPECT_EQ(Status::UnlockError, b.Call(Op::Unlock));
  uint32_t second = a.Position();
  a.data.assign(4, 0);
  std::memcpy(a.data.data(), &second, 4);
  EXPECT_EQ(0, a.Call(Op::Unlock));
  b.SetKey(KeyOf(2).data(), 4);
  b.data.assign(64, 0);
  EXPECT_EQ(0, b.Call(Op::GetEqual + Op::LockBias));
}

TEST_F(Sharing, CloseAndStopDropLocks) {
  a.SetKey(KeyOf(1).data(), 4);
  a.data.assign(64, 0);
  ASSERT_EQ(0, a.Call(Op::GetEqual + Op::LockBias));
  ASSERT_EQ(0, a.Call(Op::Stop));
  EXPECT_EQ(Status::FileNotOpen, a.Read(Op::GetFirst, 0));
  b.SetKey(KeyOf(1).data(), 4);
  b.data.assign(64, 0);
  EXPECT_EQ(0, b.Call(Op::GetEqual + Op::LockBias));
}

TEST_F(Sharing, TransactionIsolatesAndLocksOutOtherWriters) {
  ASSERT_EQ(0, a.Call(Op::BeginTransaction));
  EXPECT_EQ(Status::TransactionActive, a.Call(Op::BeginTransaction + Op::ConcurrentTransaction));
  ASSERT_EQ(0, a.Insert(Rec(10)));
  ASSERT_EQ(0, a.GetEqual(KeyOf(10)));  // the writer sees its own change
  EXPECT_EQ(Status::KeyNotFound, b.GetEqual(KeyOf(10)));  // others see only committed data
  EXPECT_EQ(Status::FileLocked, b.Insert(Rec(11)));
  ASSERT_EQ(0, a.Call(Op::EndTransaction));
  EXPECT_EQ(0, b.GetEqual(KeyOf(10)));
  EXPECT_EQ(0, b.Insert(Rec(11)));
  EXPECT_EQ(Status::NoTransaction, a.Call(Op::EndTransaction));
}

TEST_F(Sharing, AbortUndoesEveryChangeButKeepsPositionsUsed) {
  ASSERT_EQ(0, a.GetEqual(KeyOf(3)));
  uint32_t last = a.Position();
  ASSERT_EQ(0, a.Call(Op::BeginTransaction));
  ASSERT_EQ(0, a.Insert(Rec(20)));
  ASSERT_EQ(0, a.GetEqual(KeyOf(1)));
  ASSERT_EQ(0, a.Call(Op::Delete));
  ASSERT_EQ(0, a.GetEqual(KeyOf(2)));
  ASSERT_EQ(0, a.Update(Rec(2, 'z')));
  ASSERT_EQ(0, a.Call(Op::AbortTransaction));
  std::vector<std::string> records;
  for (int16_t s = a.Read(Op::GetFirst, 0); s == 0; s = a.Read(Op::GetNext, 0)) records.push_back(a.Record());
  EXPECT_EQ((std::vector<std::string>{Rec(1), Rec(2), Rec(3)}), records);
  ASSERT_EQ(0, b.Insert(Rec(21)));
  EXPECT_GT(b.Position(), last + 1);
  // A fresh connection agrees.
  CoreStop();
  TestFile c;
  ASSERT_EQ(0, c.Open(path));
  ASSERT_EQ(0, c.Read(Op::GetLast, 0));
  EXPECT_EQ(21, IdOf(c.Record()));
  EXPECT_GT(c.Position(), last + 1);
}

TEST_F(Sharing, OpenModes) {
  TestFile x{Client(3)};
  EXPECT_EQ(Status::IncompatibleMode, x.Open(path, OpenMode::Exclusive));
  ASSERT_EQ(0, a.Close());
  ASSERT_EQ(0, b.Close());
  ASSERT_EQ(0, x.Open(path, OpenMode::Exclusive));
  TestFile y{Client(4)};
  EXPECT_EQ(Status::FileLocked, y.Open(path));
  EXPECT_EQ(Status::FileLocked, y.Open(path, OpenMode::Exclusive));
  ASSERT_EQ(0, x.Close());
  ASSERT_EQ(0, y.Open(path, OpenMode::ReadOnly));
  EXPECT_EQ(Status::AccessDenied, y.Insert(Rec(9)));
  ASSERT_EQ(0, y.GetEqual(KeyOf(1)));
  EXPECT_EQ(Status::AccessDenied, y.Call(Op::Delete));
}

TEST_F(Sharing, NextAfterOtherClientDeletesOrRekeysCurrent) {
  TestFile m;
  std::string p = dir.File("modifiable.dat");
  ASSERT_EQ(0, m.Create(p, CreateSpec(8, {{{1, 4, KeyFlag::Modifiable, KeyType::Integer}}})));
  TestFile r{Client(5)}, w{Client(6)};
  ASSERT_EQ(0, r.Open(p));
  ASSERT_EQ(0, w.Open(p));
  for (int id : {1, 2, 3, 4}) ASSERT_EQ(0, w.Insert(Rec(id)));
  ASSERT_EQ(0, r.GetEqual(KeyOf(2)));
  ASSERT_EQ(0, w.GetEqual(KeyOf(2)));
  ASSERT_EQ(0, w.Call(Op::Delete));
  ASSERT_EQ(0, r.Read(Op::GetNext, 0));
  EXPECT_EQ(3, IdOf(r.Record()));
  ASSERT_EQ(0, w.GetEqual(KeyOf(3)));
  ASSERT_EQ(0, w.Update(Rec(9)));
  ASSERT_EQ(0, r.Read(Op::GetNext, 0));
  EXPECT_EQ(4, IdOf(r.Record()));
  ASSERT_EQ(0, r.Read(Op::GetPrevious, 0));
  EXPECT_EQ(1, IdOf(r.Record()));
}
