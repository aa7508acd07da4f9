// The exception classes of the runtime library.
#pragma once

#include <exception>
#include <initializer_list>
#include <string>

#include "rtl/Types.h"
#include "rtl/VarRec.h"

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    // The message is Format(format, args).
    Exception(const std::string& format, std::initializer_list<TVarRec> args);

    const std::string& Message() const { return message_; }
    void SetMessage(const std::string& message) { message_ = message; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// Silent exception: stops an operation without a message to the user.
class EAbort : public Exception { public: using Exception::Exception; };
[[noreturn]] void Abort();

class EConvertError : public Exception { public: using Exception::Exception; };
class EInvalidOperation : public Exception { public: using Exception::Exception; };
// A date outside a control's limits.
class EDateTimeError : public Exception { public: using Exception::Exception; };
class EListError : public Exception { public: using Exception::Exception; };
class EOutOfMemory : public Exception { public: using Exception::Exception; };
class EInvalidCast : public Exception { public: using Exception::Exception; };
class EVariantError : public Exception { public: using Exception::Exception; };
class EExternalException : public Exception { public: using Exception::Exception; };

class EStreamError : public Exception { public: using Exception::Exception; };
class EFOpenError : public EStreamError { public: using EStreamError::EStreamError; };
class EFCreateError : public EStreamError { public: using EStreamError::EStreamError; };
class EReadError : public EStreamError { public: using EStreamError::EStreamError; };
class EWriteError : public EStreamError { public: using EStreamError::EStreamError; };

class EIntError : public Exception { public: using Exception::Exception; };
class EDivByZero : public EIntError { public: using EIntError::EIntError; };
class ERangeError : public EIntError { public: using EIntError::EIntError; };
class EMathError : public Exception { public: using Exception::Exception; };

// A failed operating-system call; ErrorCode is the system's error number.
class EOSError : public Exception {
public:
    using Exception::Exception;
    Cardinal ErrorCode = 0;
};

// A failed file input/output routine; ErrorCode is the I/O error number.
class EInOutError : public Exception {
public:
    using Exception::Exception;
    Integer ErrorCode = 0;
};
