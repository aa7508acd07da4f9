// Locks, open modes and transactions between two processes.
#include "CoreTestSupport.h"
#include "ProcessSupport.h"
#include "requester/core/Statuses.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>

using namespace reqtest;

namespace {

std::string Rec(int32_t id, char tag = 'a') {
  std::string r(8, tag);
  std::memcpy(r.data(), &id, 4);
  return r;
}

std::string KeyOf(int32_t id) { return std::string(reinterpret_cast<const char*>(&id), 4); }

class TwoProcesses : public ::testing::Test {
 protected:
  void SetUp() override {
    CoreStop();
    path = dir.File("twoproc.dat");
    TestFile f;
    ASSERT_EQ(0, f.Create(path, CreateSpec(8, {{{1, 4, 0, KeyType::Integer}}})));
    ASSERT_EQ(0, f.Open(path));
    for (int id : {1, 2, 3}) ASSERT_EQ(0, f.Insert(Rec(id)));
    ASSERT_EQ(0, f.Close());
    CoreStop();  // a forked child must not inherit open files
  }
  void TearDown() override { CoreStop(); }

  int16_t LockingGet(TestFile& f, int32_t id) {
    f.SetKey(KeyOf(id).data(), 4);
    f.data.assign(64, 0);
    return f.Call(Op::GetEqual + Op::LockBias);
  }

  TempDir dir;
  std::string path;
};

}  // namespace

TEST_F(TwoProcesses, RecordLockHoldsUntilTheHolderDies) {
  Child child([&](Child& self) {
    TestFile f;
    int16_t status = f.Open(path);
    if (status == 0) status = LockingGet(f, 2);
    self.Send(status);
    int32_t ignored;
    self.Receive(ignored);  // until killed
  });
  int32_t childStatus;
  ASSERT_TRUE(child.Receive(childStatus));
  ASSERT_EQ(0, childStatus);
  TestFile f;
  ASSERT_EQ(0, f.Open(path));
  EXPECT_EQ(Status::RecordLocked, LockingGet(f, 2));
  EXPECT_EQ(0, f.GetEqual(KeyOf(2)));
  EXPECT_EQ(Status::RecordLocked, f.Update(Rec(2, 'x')));
  EXPECT_EQ(Status::RecordLocked, f.Call(Op::Delete));
  EXPECT_EQ(0, LockingGet(f, 3));
  child.Kill();
  EXPECT_EQ(0, LockingGet(f, 2));
  EXPECT_EQ(0, f.Update(Rec(2, 'x')));
}

TEST_F(TwoProcesses, TransactionOfAnotherProcess) {
  Child child([&](Child& self) {
    TestFile f;
    int16_t status = f.Open(path);
    if (status == 0) status = f.Call(Op::BeginTransaction);
    if (status == 0) status = f.Insert(Rec(100));
    self.Send(status);
    int32_t command;
    if (!self.Receive(command)) return;
    self.Send(f.Call(command == 1 ? Op::EndTransaction : Op::AbortTransaction));
    self.Receive(command);
  });
  int32_t status;
  ASSERT_TRUE(child.Receive(status));
  ASSERT_EQ(0, status);
  TestFile f;
  ASSERT_EQ(0, f.Open(path));
  EXPECT_EQ(Status::KeyNotFound, f.GetEqual(KeyOf(100)));
  EXPECT_EQ(Status::FileLocked, f.Insert(Rec(101)));
  ASSERT_EQ(0, f.GetEqual(KeyOf(1)));
  EXPECT_EQ(Status::FileLocked, f.Call(Op::Delete));
  child.Send(1);
  ASSERT_TRUE(child.Receive(status));
  ASSERT_EQ(0, status);
  EXPECT_EQ(0, f.GetEqual(KeyOf(100)));
  EXPECT_EQ(0, f.Insert(Rec(101)));
}

TEST_F(TwoProcesses, DeadTransactionLeavesNothingBehind) {
  Child child([&](Child& self) {
    TestFile f;
    f.Open(path);
    f.Call(Op::BeginTransaction);
    f.Insert(Rec(200));
    f.GetEqual(KeyOf(1));
    f.Call(Op::Delete);
    self.Send(0);
    int32_t ignored;
    self.Receive(ignored);
  });
  int32_t status;
  ASSERT_TRUE(child.Receive(status));
  child.Kill();
  TestFile f;
  ASSERT_EQ(0, f.Open(path));
  EXPECT_EQ(Status::KeyNotFound, f.GetEqual(KeyOf(200)));
  EXPECT_EQ(0, f.GetEqual(KeyOf(1)));
  EXPECT_EQ(0, f.Insert(Rec(201)));
}

TEST_F(TwoProcesses, OpenModes) {
  Child exclusive([&](Child& self) {
    TestFile f;
    self.Send(f.Open(path, OpenMode::Exclusive));
    int32_t ignored;
    self.Receive(ignored);
  });
  int32_t status;
  ASSERT_TRUE(exclusive.Receive(status));
  ASSERT_EQ(0, status);
  // Forked before this process opens anything: a child must not inherit open files.
  Child late([&](Child& self) {
    int32_t go;
    self.Receive(go);
    TestFile g;
    self.Send(g.Open(path, OpenMode::Exclusive));
  });
  TestFile f;
  EXPECT_EQ(Status::FileLocked, f.Open(path));
  EXPECT_EQ(Status::FileLocked, f.Open(path, OpenMode::Exclusive));
  exclusive.Kill();
  ASSERT_EQ(0, f.Open(path));
  late.Send(1);
  ASSERT_TRUE(late.Receive(status));
  EXPECT_EQ(Status::IncompatibleMode, status);
}

TEST_F(TwoProcesses, ConcurrentWritersSeeEachOtherAndKeepKeysUnique) {
  // Both processes insert the ids 1000..1999 at the same time: each id goes in exactly once.
  auto insertAll = [&](TestFile& f, int32_t& added) {
    added = 0;
    for (int32_t id = 1000; id < 2000; ++id) {
      int16_t status = f.Insert(Rec(id, 'p'));
      if (status == 0) ++added;
      else if (status != Status::DuplicateKey) return status;
    }
    return int16_t{0};
  };
  Child child([&](Child& self) {
    int32_t go;
    self.Receive(go);
    TestFile f;
    int32_t added = 0;
    int16_t status = f.Open(path);
    if (status == 0) status = insertAll(f, added);
    self.Send(status);
    self.Send(added);
  });
  TestFile f;
  ASSERT_EQ(0, f.Open(path));
  child.Send(1);
  int32_t added = 0;
  ASSERT_EQ(0, insertAll(f, added));
  int32_t childStatus, childAdded;
  ASSERT_TRUE(child.Receive(childStatus));
  ASSERT_TRUE(child.Receive(childAdded));
  ASSERT_EQ(0, childStatus);
  EXPECT_EQ(1000, added + childAdded);
  std::vector<int32_t> ids;
  for (int16_t s = f.Read(Op::GetFirst, 0); s == 0; s = f.Read(Op::GetNext, 0)) {
    int32_t id;
    std::memcpy(&id, f.data.data(), 4);
    ids.push_back(id);
  }
  ASSERT_EQ(1003u, ids.size());
  for (size_t i = 3; i < ids.size(); ++i) EXPECT_EQ(static_cast<int32_t>(997 + i), ids[i]);
}
