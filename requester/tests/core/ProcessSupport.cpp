#include "ProcessSupport.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace reqtest {

Child::Child(const std::function<void(Child&)>& body) {
  if (::pipe(toChild_) != 0 || ::pipe(toParent_) != 0) return;
  pid_ = ::fork();
  if (pid_ == 0) {
    inChild_ = true;
    ::close(toChild_[1]);
    ::close(toParent_[0]);
    body(*this);
    ::_exit(0);
  }
  ::close(toChild_[0]);
  ::close(toParent_[1]);
}

Child::~Child() {
  if (!inChild_ && pid_ > 0 && !reaped_) Kill();
  ::close(inChild_ ? toChild_[0] : toChild_[1]);
  ::close(inChild_ ? toParent_[1] : toParent_[0]);
}

void Child::Send(int32_t value) {
  int fd = inChild_ ? toParent_[1] : toChild_[1];
  ssize_t ignored = ::write(fd, &value, sizeof value);
  (void)ignored;
}

bool Child::Receive(int32_t& value) {
  int fd = inChild_ ? toChild_[0] : toParent_[0];
  ssize_t n;
  do n = ::read(fd, &value, sizeof value);
  while (n < 0 && errno == EINTR);
  return n == sizeof value;
}

void Child::Kill() {
  if (pid_ <= 0 || reaped_) return;
  ::kill(pid_, SIGKILL);
  Wait();
}

int Child::Wait() {
  int status = 0;
  while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  reaped_ = true;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunSize(int ci, int full) { return std::getenv("REQUESTER_FULL_SIZE") ? full : ci; }

}  // namespace reqtest
