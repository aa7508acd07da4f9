// Child program of the lock tests: opens a file through the requester DLL, locks one record (get equal on key 0
// with a single-record no-wait lock), signals the named event and waits to be killed.
// Arguments: <file> <record id> <event name>. Exit code: the failing status when it could not lock.
#include <cstdlib>
#include <vector>

#include "requester/tests/shell/RequesterDll.h"

int main(int argc, char** argv) {
  if (argc != 4) return 1;
  reqshell::RequesterDll dll;
  if (!dll.Loaded()) return 20;
  reqshell::DllFile file(dll);
  int16_t status = file.Open(argv[1]);
  if (status != 0) return status;
  std::vector<uint8_t> record;
  status = file.GetEqual(std::atoi(argv[2]), record, true);
  if (status != 0) return status;
  HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[3]);
  if (!ready || !SetEvent(ready)) return 2;
  Sleep(INFINITE);
}
