#include "rtl/OSError.h"

#include "rtl/Exceptions.h"
#include "rtl/Format.h"
#include "rtl/WinApi.h"

std::string SysErrorMessage(Cardinal errorCode)
{
    char buffer[512];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                  nullptr, errorCode, 0, buffer, sizeof buffer, nullptr);
    while (length > 0 && (static_cast<unsigned char>(buffer[length - 1]) <= ' ' || buffer[length - 1] == '.'))
        --length;
    return std::string(buffer, length);
}

void RaiseLastOSError()
{
    const DWORD code = GetLastError();
    EOSError error = code != 0 ? EOSError("System Error.  Code: %d.\r\n%s", {int(code), SysErrorMessage(code)})
                               : EOSError("A call to an OS function failed");
    error.ErrorCode = code;
    throw error;
}
