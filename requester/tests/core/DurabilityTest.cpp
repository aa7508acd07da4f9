// When a connection flushes its commits to the disk: at the end of a transaction, at the first commit 200 ms or more
// after the last flush, and when the last open of a file that was written since closes.
#include "CoreTestSupport.h"
#include "requester/core/SharedFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace reqtest;

namespace {

// The real file, counting its flushes.
class CountingIo : public FileIo {
 public:
  CountingIo(std::unique_ptr<FileIo> file, int& flushes) : file_(std::move(file)), flushes_(flushes) {}
  bool ReadAt(uint64_t offset, void* buffer, size_t count) override { return file_->ReadAt(offset, buffer, count); }
  bool WriteAt(uint64_t offset, const void* buffer, size_t count) override {
    return file_->WriteAt(offset, buffer, count);
  }
  bool Truncate(uint64_t size) override { return file_->Truncate(size); }
  uint64_t Size() override { return file_->Size(); }
  bool Writable() const override { return file_->Writable(); }
  bool Lock(uint64_t offset, bool exclusive, bool wait) override { return file_->Lock(offset, exclusive, wait); }
  void Unlock(uint64_t offset) override { file_->Unlock(offset); }
  bool Flush() override {
    ++flushes_;
    return file_->Flush();
  }

 private:
  std::unique_ptr<FileIo> file_;
  int& flushes_;
};

class Durability : public ::testing::Test {
 protected:
  void SetUp() override {
    CoreStop();
    path = dir.File("durable.dat");
    TestFile maker;
    ASSERT_EQ(0, maker.Create(path, CreateSpec(8, {})));
    FileIo::OpenResult result;
    file = std::make_unique<SharedFile>(std::make_unique<CountingIo>(FileIo::OpenExisting(path, result), flushes));
    ASSERT_EQ(0, file->AddOpen(false));
    ASSERT_EQ(0, file->Sync());
  }

  int16_t Write(bool inTransaction) {
    if (int16_t status = file->BeginWrite(inTransaction); status != 0) return status;
    return file->CommitWrite({PutEntry{file->TakePosition(), file->TakeSeq(), {}, std::string(8, 'r')}});
  }

  TempDir dir;
  std::string path;
  int flushes = 0;
  std::unique_ptr<SharedFile> file;
};

}  // namespace

TEST_F(Durability, OutsideTransactionsAtMostEvery200Milliseconds) {
  ASSERT_EQ(0, Write(false));
  ASSERT_EQ(0, Write(false));
  EXPECT_EQ(0, flushes);
  std::this_thread::sleep_for(std::chrono::milliseconds(220));
  ASSERT_EQ(0, Write(false));
  EXPECT_EQ(1, flushes);
  ASSERT_EQ(0, Write(false));
  EXPECT_EQ(1, flushes);
  file->RemoveOpen(false);
  EXPECT_EQ(2, flushes);
}

TEST_F(Durability, AtTheEndOfEachTransaction) {
  for (int transaction = 1; transaction <= 2; ++transaction) {
    ASSERT_EQ(0, Write(true));
    ASSERT_EQ(0, Write(true));
    EXPECT_EQ(transaction - 1, flushes);
    ASSERT_EQ(0, file->EndTransaction());
    EXPECT_EQ(transaction, flushes);
  }
  file->RemoveOpen(false);
  EXPECT_EQ(2, flushes);  // nothing written since the last flush
}
