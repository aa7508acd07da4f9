// Names of the engine error codes ("DBIERR_EOF", ...).
#pragma once

#include <string>

#include "rtl/Types.h"

// The name of code, cut to maxLength characters: "DBIERR_" and the first table row of that code, or
// "Borea (BDE) Error <code>." for a code no row has.
void ErrorCodeName(Word code, std::string& name, size_t maxLength);
