#pragma once
// Starting the programs beside this test program.
#include <string>

#include "rtl/WinApi.h"

namespace reqshell {

struct ProgramResult {
  DWORD exitCode = 0;
  std::string output;  // standard output and standard error together, lines ended by "\n"
};

// Runs a program of this program's folder with the arguments in the given current folder and waits for it.
ProgramResult RunProgram(const std::string& program, const std::string& arguments, const std::string& folder);

// Starts a program of this program's folder; the caller owns the returned process handle (nullptr on failure).
HANDLE StartProgram(const std::string& program, const std::string& arguments);

}  // namespace reqshell
