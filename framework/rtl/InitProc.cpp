#include "rtl/InitProc.h"

TProcedure InitProc = nullptr;
bool IsLibrary = false;
