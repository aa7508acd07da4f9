// String, number, date and file routines of the runtime library.
#pragma once

#include <string>

std::string Trim(const std::string& s);
std::string TrimLeft(const std::string& s);
std::string TrimRight(const std::string& s);
