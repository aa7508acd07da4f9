#include "rtl/ProcessStart.h"

namespace {

class TSystemProcess : public TStartedProcess {
public:
    explicit TSystemProcess(const PROCESS_INFORMATION& info) : info_(info) {}
    ~TSystemProcess() override
    {
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }

    Cardinal WaitForInputIdle(Cardinal milliseconds) override
    {
        return ::WaitForInputIdle(info_.hProcess, milliseconds);
    }

    bool WaitFor(Cardinal milliseconds) override
    {
        return WaitForSingleObject(info_.hProcess, milliseconds) == WAIT_OBJECT_0;
    }

    Cardinal ExitCode() override
    {
        DWORD code = 0;
        return GetExitCodeProcess(info_.hProcess, &code) ? code : STILL_ACTIVE;
    }

private:
    PROCESS_INFORMATION info_;
};

const char* NullWhenEmpty(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

TProcessService systemService;
TProcessService* currentService = &systemService;

}  // namespace

std::unique_ptr<TStartedProcess> TProcessService::CreateProcess(const TProcessStart& start)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = start.ShowWindow;
    std::string commandLine = start.CommandLine;  // CreateProcessA may write into it
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(NullWhenEmpty(start.ApplicationName), commandLine.data(), nullptr, nullptr, FALSE,
                        start.CreationFlags, nullptr, NullWhenEmpty(start.CurrentDirectory), &startup, &info))
        return nullptr;
    return std::make_unique<TSystemProcess>(info);
}

INT_PTR TProcessService::ShellExecute(HWND owner, const std::string& verb, const std::string& file,
                                      const std::string& parameters, const std::string& directory,
                                      Integer showCommand)
{
    return reinterpret_cast<INT_PTR>(ShellExecuteA(owner, NullWhenEmpty(verb), file.c_str(),
                                                   NullWhenEmpty(parameters), NullWhenEmpty(directory), showCommand));
}

UINT TProcessService::WinExec(const std::string& commandLine, UINT showCommand)
{
    return ::WinExec(commandLine.c_str(), showCommand);
}

TProcessService* ProcessService() { return currentService; }

TProcessService* SetProcessService(TProcessService* service)
{
    TProcessService* old = currentService;
    currentService = service ? service : &systemService;
    return old == &systemService ? nullptr : old;
}
