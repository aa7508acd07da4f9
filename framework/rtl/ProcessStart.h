// Starting other programs: CreateProcess, ShellExecute and WinExec through one service that tests can replace
// (see TScriptedProcesses in vcl/TestSeams.h). Programs call ProcessService()->...
#pragma once

#include <memory>
#include <string>

#include "rtl/Types.h"
#include "rtl/WinApi.h"

// What CreateProcess is asked for.
struct TProcessStart {
    std::string ApplicationName;   // empty: the program is the command line's first word
    std::string CommandLine;
    std::string CurrentDirectory;  // empty: the caller's
    Word ShowWindow = SW_SHOWNORMAL;
    Cardinal CreationFlags = NORMAL_PRIORITY_CLASS;
};

// A started process; freeing it closes the handles to the process and its first thread.
class TStartedProcess {
public:
    virtual ~TStartedProcess() = default;
    // As WaitForInputIdle: 0 once the process waits for input, WAIT_TIMEOUT, or WAIT_FAILED.
    virtual Cardinal WaitForInputIdle(Cardinal milliseconds) = 0;
    // True when the process has ended within that time.
    virtual bool WaitFor(Cardinal milliseconds) = 0;
    // The exit code; STILL_ACTIVE while it runs.
    virtual Cardinal ExitCode() = 0;
};

class TProcessService {
public:
    virtual ~TProcessService() = default;
    // CreateProcess (no inherited handles, the caller's environment): nullptr when the process could not be
    // started, with GetLastError telling why.
    virtual std::unique_ptr<TStartedProcess> CreateProcess(const TProcessStart& start);
    // ShellExecute: above 32 when the shell did it, else its error (2 file not found, 3 path not found, ...).
    // An empty verb is the file's default action.
    virtual INT_PTR ShellExecute(HWND owner, const std::string& verb, const std::string& file,
                                 const std::string& parameters, const std::string& directory, Integer showCommand);
    // WinExec: above 31 when the program started, else its error (2 file not found, 3 path not found, ...).
    virtual UINT WinExec(const std::string& commandLine, UINT showCommand);
};

TProcessService* ProcessService();
// Installs a service (nullptr: the real one) and returns the one it replaces; the caller keeps ownership of both.
TProcessService* SetProcessService(TProcessService* service);
