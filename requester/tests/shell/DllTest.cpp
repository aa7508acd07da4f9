// The requester DLL through LoadLibraryA/GetProcAddress: its entry points, initialisation and clients.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "requester/tests/shell/RequesterDll.h"
#include "requester/tests/shell/TestFiles.h"

namespace reqshell {
namespace {

constexpr int16_t kOk = 0;
constexpr int16_t kFileNotOpen = 3;
constexpr int16_t kRecordLocked = 84;
constexpr int16_t kAlreadyInitialised = 1016;
constexpr uint16_t kGetNext = 6;
constexpr uint16_t kGetFirst = 12;

// Each test loads the DLL afresh, so it starts uninitialised.
class RequesterDllTest : public testing::Test {
 protected:
  void SetUp() override {
    dll_ = std::make_unique<RequesterDll>();
    ASSERT_TRUE(dll_->Loaded()) << "wbtrv32.dll or one of its entry points is missing";
  }

  void TearDown() override {
    if (dll_->Loaded()) dll_->stop();
    dll_.reset();
  }

  // An accounts file with the ids 1 to 3, made by the default client.
  std::string MakeAccounts() {
    const std::string path = folder_.File("ACCOUNTS.DAT");
    DllFile file(*dll_);
    EXPECT_EQ(file.Create(path, AccountSpec()), kOk);
    EXPECT_EQ(file.Open(path), kOk);
    for (int32_t id = 1; id <= 3; ++id) EXPECT_EQ(file.Insert(AccountRecord(id, "NAME" + std::to_string(id))), kOk);
    EXPECT_EQ(file.Close(), kOk);
    return path;
  }

  TempFolder folder_;
  std::unique_ptr<RequesterDll> dll_;
};

TEST_F(RequesterDllTest, CallsBeforeInitialisationWorkAndInitialisationCountsOnce) {
  const std::string path = MakeAccounts();  // BTRCALL before any WBTRVINIT
  EXPECT_EQ(dll_->init(""), kAlreadyInitialised);
  EXPECT_EQ(dll_->init("/m:64"), kAlreadyInitialised);
  EXPECT_EQ(dll_->stop(), kOk);
  EXPECT_EQ(dll_->init(""), kOk);
  EXPECT_EQ(dll_->init(nullptr), kAlreadyInitialised);
}

TEST_F(RequesterDllTest, InitialisesExplicitlyOnce) {
  EXPECT_EQ(dll_->init(""), kOk);
  EXPECT_EQ(dll_->init(""), kAlreadyInitialised);
}

TEST_F(RequesterDllTest, CreatesOpensInsertsReadsAndCloses) {
  const std::string path = MakeAccounts();
  DllFile file(*dll_);
  ASSERT_EQ(file.Open(path), kOk);
  std::vector<uint8_t> record;
  ASSERT_EQ(file.GetEqual(2, record), kOk);
  EXPECT_EQ(record, AccountRecord(2, "NAME2"));
  int32_t key = 0;
  std::memcpy(&key, file.keyBuffer.data(), sizeof key);
  EXPECT_EQ(key, 2);
  ASSERT_EQ(file.Read(kGetNext, record), kOk);
  EXPECT_EQ(record, AccountRecord(3, "NAME3"));
  ASSERT_EQ(file.Read(kGetFirst, record, 1), kOk);  // by name
  EXPECT_EQ(record, AccountRecord(1, "NAME1"));
  EXPECT_EQ(file.Close(), kOk);
  EXPECT_EQ(file.Read(kGetFirst, record), kFileNotOpen);
}

TEST_F(RequesterDllTest, ClientsOfOneProcessAreToldApartByTheirIdentifier) {
  const std::string path = MakeAccounts();
  const ClientId first{1, 2, 3}, second{9, 9, 9}, firstAgain{1, 2, 3};
  DllFile plain(*dll_), ofFirst(*dll_, &first), ofSecond(*dll_, &second), ofFirstAgain(*dll_, &firstAgain);
  for (DllFile* file : {&plain, &ofFirst, &ofSecond, &ofFirstAgain}) ASSERT_EQ(file->Open(path), kOk);
  std::vector<uint8_t> record;
  ASSERT_EQ(ofFirst.GetEqual(2, record, true), kOk);
  EXPECT_EQ(ofSecond.GetEqual(2, record, true), kRecordLocked);
  EXPECT_EQ(plain.GetEqual(2, record, true), kRecordLocked);
  EXPECT_EQ(ofSecond.GetEqual(2, record), kOk);  // a plain read passes
  EXPECT_EQ(ofSecond.Update(AccountRecord(2, "CHANGED")), kRecordLocked);
  EXPECT_EQ(ofFirstAgain.GetEqual(2, record, true), kOk);  // the same identifier is the same client
  EXPECT_EQ(plain.GetEqual(1, record, true), kOk);
  EXPECT_EQ(ofSecond.GetEqual(1, record, true), kRecordLocked);
}

// Also the clients that only opened a file by absolute name and read it.
TEST_F(RequesterDllTest, StopEndsEveryClientOfTheProcess) {
  const std::string path = MakeAccounts();
  const ClientId first{1}, second{2};
  DllFile ofFirst(*dll_, &first), ofSecond(*dll_, &second);
  ASSERT_EQ(ofFirst.Open(path), kOk);
  std::vector<uint8_t> record;
  ASSERT_EQ(ofFirst.GetEqual(3, record, true), kOk);
  EXPECT_EQ(dll_->stop(), kOk);
  EXPECT_EQ(dll_->init(""), kOk);
  EXPECT_EQ(ofFirst.Read(kGetFirst, record), kFileNotOpen);
  ASSERT_EQ(ofSecond.Open(path), kOk);
  EXPECT_EQ(ofSecond.GetEqual(3, record, true), kOk);
}

}  // namespace
}  // namespace reqshell
