#include "vcl/TestSeams.h"

#include <algorithm>

#include "rtl/Clock.h"

namespace {

// A process that has already ended.
class TEndedProcess : public TStartedProcess {
public:
    explicit TEndedProcess(Cardinal exitCode) : exitCode_(exitCode) {}
    Cardinal WaitForInputIdle(Cardinal) override { return 0; }
    bool WaitFor(Cardinal) override { return true; }
    Cardinal ExitCode() override { return exitCode_; }

private:
    Cardinal exitCode_;
};

// What ShellExecute and WinExec return for a start that worked.
constexpr UINT StartedResult = 33;

}  // namespace

// ---- TScriptedProcesses

TScriptedProcesses::TScriptedProcesses() : previous_(SetProcessService(this)) {}

TScriptedProcesses::~TScriptedProcesses() { SetProcessService(previous_); }

void TScriptedProcesses::AnswerNextStart(Cardinal exitCode) { answers_.push_back({true, exitCode}); }

void TScriptedProcesses::FailNextStart(Cardinal error) { answers_.push_back({false, error}); }

TScriptedProcesses::TAnswer TScriptedProcesses::NextAnswer()
{
    if (answers_.empty()) return {};
    TAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

std::unique_ptr<TStartedProcess> TScriptedProcesses::CreateProcess(const TProcessStart& start)
{
    Requests.push_back({"CreateProcess", start.ApplicationName, start.CommandLine, "", start.CurrentDirectory,
                        start.ShowWindow, start.CreationFlags});
    const TAnswer answer = NextAnswer();
    if (!answer.Started) {
        SetLastError(answer.Code);
        return nullptr;
    }
    return std::make_unique<TEndedProcess>(answer.Code);
}

INT_PTR TScriptedProcesses::ShellExecute(HWND, const std::string& verb, const std::string& file,
                                         const std::string& parameters, const std::string& directory,
                                         Integer showCommand)
{
    Requests.push_back({"ShellExecute", file, parameters, verb, directory, showCommand, 0});
    const TAnswer answer = NextAnswer();
    return answer.Started ? StartedResult : INT_PTR(answer.Code);
}

UINT TScriptedProcesses::WinExec(const std::string& commandLine, UINT showCommand)
{
    Requests.push_back({"WinExec", "", commandLine, "", "", Integer(showCommand), 0});
    const TAnswer answer = NextAnswer();
    return answer.Started ? StartedResult : answer.Code;
}

// ---- TManualTimers

TManualTimers::TManualTimers()
        : now_(TickCount()),
          previousTicks_(SetTickSource([this] { return Cardinal(now_); })),
          previous_(SetTimerService(this))
{
}

TManualTimers::~TManualTimers()
{
    SetTimerService(previous_);
    SetTickSource(previousTicks_);
}

void TManualTimers::StartTimer(TTimer* timer) { due_.push_back({timer, now_ + timer->Interval(), starts_++}); }

void TManualTimers::StopTimer(TTimer* timer)
{
    std::erase_if(due_, [timer](const TDueTimer& due) { return due.Timer == timer; });
}

std::vector<TManualTimers::TDueTimer>::iterator TManualTimers::NextDue(uint64_t until)
{
    auto next = std::min_element(due_.begin(), due_.end(), [](const TDueTimer& a, const TDueTimer& b) {
        return a.Due != b.Due ? a.Due < b.Due : a.Order < b.Order;
    });
    return next != due_.end() && next->Due <= until ? next : due_.end();
}

void TManualTimers::Advance(Cardinal milliseconds)
{
    const uint64_t until = now_ + milliseconds;
    for (auto next = NextDue(until); next != due_.end(); next = NextDue(until)) {
        now_ = next->Due;
        TTimer* timer = next->Timer;
        // Due again before it fires: its handler may stop, restart or free it.
        next->Due += timer->Interval();
        Tick(timer);
    }
    now_ = until;
}

// ---- TScriptedPrinters

TScriptedPrinters::TScriptedPrinters(std::vector<std::string> names, std::string defaultName)
        : names_(std::move(names)), defaultName_(std::move(defaultName)), previous_(SetPrinterService(this))
{
}

TScriptedPrinters::~TScriptedPrinters() { SetPrinterService(previous_); }

std::string TScriptedPrinters::DeviceName(const std::string&) { return TPrinterService().DefaultPrinterName(); }
