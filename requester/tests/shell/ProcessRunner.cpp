#include "requester/tests/shell/ProcessRunner.h"

#include <algorithm>
#include <vector>

#include "requester/tests/shell/RequesterDll.h"
#include "requester/tests/shell/TestFiles.h"

namespace reqshell {

namespace {

constexpr DWORD kProgramTimeoutMs = 60000;

HANDLE Start(const std::string& program, const std::string& arguments, const char* folder, HANDLE output) {
  std::string commandLine = "\"" + ProgramFolder() + program + "\" " + arguments;
  std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
  mutableLine.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (output) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output;
    startup.hStdError = output;
  }
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, output != nullptr, 0, nullptr, folder, &startup,
                      &process)) {
    return nullptr;
  }
  CloseHandle(process.hThread);
  return process.hProcess;
}

std::string WithoutCarriageReturns(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

}  // namespace

ProgramResult RunProgram(const std::string& program, const std::string& arguments, const std::string& folder) {
  TempFolder outputFolder;
  const std::string outputPath = outputFolder.File("output.txt");
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  HANDLE output = CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ProgramResult result{static_cast<DWORD>(-1), "cannot start " + program};
  HANDLE process = Start(program, arguments, folder.c_str(), output);
  CloseHandle(output);
  if (!process) return result;
  const bool finished = WaitForSingleObject(process, kProgramTimeoutMs) == WAIT_OBJECT_0;
  if (finished) {
    GetExitCodeProcess(process, &result.exitCode);
  } else {
    TerminateProcess(process, 1);
  }
  CloseHandle(process);
  result.output = (finished ? "" : program + " timed out\n") + WithoutCarriageReturns(ReadTextFile(outputPath));
  return result;
}

HANDLE StartProgram(const std::string& program, const std::string& arguments) {
  return Start(program, arguments, nullptr, nullptr);
}

}  // namespace reqshell
