// The program's parameters as the platform splits its command line: blanks and control characters separate
// parameters, double quotes group text and are removed (so "a""b" is ab), and an empty parameter ends the list.
#pragma once

#include <string>
#include <vector>

#include "rtl/Types.h"

// ParamStr(0) is the program's full file name.
std::string ParamStr(Integer index);
Integer ParamCount();

// The command line's words: the program as written, then the parameters.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);
