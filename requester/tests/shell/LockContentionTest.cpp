// Two processes contending for a record lock: a child started with CreateProcess holds it until it dies. The child
// may be of the other architecture, as a 32-bit and a 64-bit program beside each other would be.
#include <gtest/gtest.h>

#include "requester/tests/shell/ProcessRunner.h"
#include "requester/tests/shell/RequesterDll.h"
#include "requester/tests/shell/TestFiles.h"

namespace reqshell {
namespace {

constexpr int16_t kOk = 0;
constexpr int16_t kRecordLocked = 84;
constexpr DWORD kChildTimeoutMs = 30000;

class ChildProcess {
 public:
  explicit ChildProcess(HANDLE process) : process_(process) {}
  ~ChildProcess() { Kill(); }
  HANDLE Handle() const { return process_; }
  void Kill() {
    if (!process_) return;
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, kChildTimeoutMs);
    CloseHandle(process_);
    process_ = nullptr;
  }

 private:
  HANDLE process_;
};

// The folder of the requester DLL and its client programs built for the other architecture, relative to this
// program's folder; the build has it where the machine runs both architectures.
const std::string kPeerFolder = "..\\peer\\bin\\";

// Record 1 of the open file is locked by a child running the lock holder program (by its path from this program's
// folder): this client cannot lock or update it, while record 2 stays free; once the child dies, both work.
void ExpectRecordLockHeldByChild(const std::string& holder, DllFile& file, const std::string& path) {
  const std::string eventName = "reqshell-lock-" + std::to_string(GetCurrentProcessId());
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
  ASSERT_NE(ready, nullptr);
  ChildProcess child(StartProgram(holder, "\"" + path + "\" 1 " + eventName));
  ASSERT_NE(child.Handle(), nullptr) << "cannot start " << holder;
  const HANDLE waits[] = {ready, child.Handle()};
  const DWORD woken = WaitForMultipleObjects(2, waits, FALSE, kChildTimeoutMs);
  CloseHandle(ready);
  DWORD childExit = 0;
  GetExitCodeProcess(child.Handle(), &childExit);
  ASSERT_EQ(woken, WAIT_OBJECT_0) << "the child did not lock the record; its exit code: " << childExit;

  std::vector<uint8_t> record;
  EXPECT_EQ(file.GetEqual(1, record, true), kRecordLocked);
  EXPECT_EQ(file.GetEqual(1, record), kOk);
  EXPECT_EQ(file.Update(record), kRecordLocked);
  EXPECT_EQ(file.GetEqual(2, record, true), kOk);

  child.Kill();
  EXPECT_EQ(file.GetEqual(1, record, true), kOk);
  record[20] ^= 0xFF;
  EXPECT_EQ(file.Update(record), kOk);
}

TEST(LockContention, ALockOfAnotherProcessHoldsUntilThatProcessDies) {
  RequesterDll dll;
  ASSERT_TRUE(dll.Loaded());
  TempFolder folder;
  const std::string path = folder.File("shared.dat");
  DllFile file(dll);
  ASSERT_EQ(file.Create(path, AccountSpec()), kOk);
  ASSERT_EQ(file.Open(path), kOk);
  for (int32_t id = 1; id <= 2; ++id) ASSERT_EQ(file.Insert(AccountRecord(id, "N")), kOk);

  ASSERT_NO_FATAL_FAILURE(ExpectRecordLockHeldByChild("reqshell_lock_holder.exe", file, path));
  EXPECT_EQ(file.Close(), kOk);
  dll.stop();
}

// The other architecture's maintenance tool creates the file, this client fills it, and the other architecture's
// client reads and locks a record of it.
TEST(LockContention, AClientOfTheOtherArchitectureSharesTheFileAndItsLocks) {
  const std::string peerHolder = kPeerFolder + "reqshell_lock_holder.exe";
  if (GetFileAttributesA((ProgramFolder() + peerHolder).c_str()) == INVALID_FILE_ATTRIBUTES) {
    GTEST_SKIP() << "no client of the other architecture was built: this machine runs one architecture only";
  }
  TempFolder folder;
  WriteTextFile(folder.File("accounts.des"), kAccountDescription);
  const ProgramResult create = RunProgram(kPeerFolder + "Butil.exe", "-create shared.dat accounts.des", folder.Path());
  ASSERT_EQ(create.exitCode, 0u) << create.output;

  RequesterDll dll;
  ASSERT_TRUE(dll.Loaded());
  const std::string path = folder.File("shared.dat");
  DllFile file(dll);
  ASSERT_EQ(file.Open(path), kOk);
  for (int32_t id = 1; id <= 2; ++id) ASSERT_EQ(file.Insert(AccountRecord(id, "N")), kOk);

  ASSERT_NO_FATAL_FAILURE(ExpectRecordLockHeldByChild(peerHolder, file, path));
  EXPECT_EQ(file.Close(), kOk);
  dll.stop();
}

}  // namespace
}  // namespace reqshell
