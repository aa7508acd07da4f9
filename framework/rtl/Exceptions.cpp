#include "rtl/Exceptions.h"

#include "rtl/Format.h"

Exception::Exception(const std::string& format, std::initializer_list<TVarRec> args) : message_(Format(format, args)) {}

void Abort() { throw EAbort("Operation aborted"); }
