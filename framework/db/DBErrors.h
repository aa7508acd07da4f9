// The dataset framework's exception and the routines that raise it.
#pragma once

#include <initializer_list>
#include <string>

#include "rtl/Exceptions.h"
#include "rtl/VarRec.h"

class TComponent;

class EDatabaseError : public Exception { public: using Exception::Exception; };

// Raises EDatabaseError; with a named component the message reads "Name: message".
[[noreturn]] void DatabaseError(const std::string& message, const TComponent* component = nullptr);
[[noreturn]] void DatabaseErrorFmt(const std::string& format, std::initializer_list<TVarRec> args,
                                   const TComponent* component = nullptr);
