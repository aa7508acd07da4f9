// Texts of system error codes and the EOSError for the last failed system call.
#pragma once

#include <string>

#include "rtl/Types.h"

// The system's message for an error code, without its final line break and period.
std::string SysErrorMessage(Cardinal errorCode);
// Raises EOSError for GetLastError(): "System Error.  Code: n." and the message on the next line.
[[noreturn]] void RaiseLastOSError();
