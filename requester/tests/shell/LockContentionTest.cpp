// Two processes contending for a record lock: a child started with CreateProcess holds it until it dies.
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

TEST(LockContention, ALockOfAnotherProcessHoldsUntilThatProcessDies) {
  RequesterDll dll;
  ASSERT_TRUE(dll.Loaded());
  TempFolder folder;
  const std::string path = folder.File("shared.dat");
  DllFile file(dll);
  ASSERT_EQ(file.Create(path, AccountSpec()), kOk);
  ASSERT_EQ(file.Open(path), kOk);
  for (int32_t id = 1; id <= 2; ++id) ASSERT_EQ(file.Insert(AccountRecord(id, "N")), kOk);

  const std::string eventName = "reqshell-lock-" + std::to_string(GetCurrentProcessId());
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
  ASSERT_NE(ready, nullptr);
  ChildProcess child(StartProgram("reqshell_lock_holder.exe", "\"" + path + "\" 1 " + eventName));
  ASSERT_NE(child.Handle(), nullptr);
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
  EXPECT_EQ(file.Close(), kOk);
  dll.stop();
}

}  // namespace
}  // namespace reqshell
