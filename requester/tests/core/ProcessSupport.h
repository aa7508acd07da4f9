#pragma once
// Forked child processes for the core's multi-process tests (POSIX only).
#include <sys/types.h>

#include <cstdint>
#include <functional>

namespace reqtest {

// ci, or full when REQUESTER_FULL_SIZE is set: the long runs are made by hand, the test suite keeps to ci.
int RunSize(int ci, int full);

// A child process running body; it talks to the parent through two pipes.
class Child {
 public:
  // body gets the child's end: Send and Receive work from inside it. The child exits when body returns.
  explicit Child(const std::function<void(Child&)>& body);
  ~Child();

  void Send(int32_t value);        // to the other side
  bool Receive(int32_t& value);    // false when the other side closed its end
  void Kill();                     // SIGKILL and reap
  int Wait();                      // exit status when it ended by itself, -1 when killed
  pid_t Pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int toChild_[2] = {-1, -1};
  int toParent_[2] = {-1, -1};
  bool inChild_ = false;
  bool reaped_ = false;
};

}  // namespace reqtest
