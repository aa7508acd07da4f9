#include "rtl/Exceptions.h"

void Abort() { throw EAbort("Operation aborted"); }
