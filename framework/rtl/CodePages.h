// Conversion between the ANSI (Windows) and the OEM (console) character sets of the system.
#pragma once

#include <string>

#include "rtl/Types.h"

// Convert length bytes from source into dest (which may be source itself); NUL bytes are converted too.
void CharToOemBuffer(const char* source, char* dest, Cardinal length);
void OemToCharBuffer(const char* source, char* dest, Cardinal length);

std::string CharToOemString(const std::string& s);
std::string OemToCharString(const std::string& s);
