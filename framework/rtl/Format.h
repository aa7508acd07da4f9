// The platform's Format: %[index:][-][width][.precision]type with the types d u x e f g n m p s.
#pragma once

#include <initializer_list>
#include <string>

#include "rtl/VarRec.h"

std::string Format(const std::string& format, std::initializer_list<TVarRec> args);
void FmtStr(std::string& result, const std::string& format, std::initializer_list<TVarRec> args);
// Formats into a zero-terminated buffer that the caller made large enough; returns the buffer.
char* StrFmt(char* buffer, const char* format, std::initializer_list<TVarRec> args);
