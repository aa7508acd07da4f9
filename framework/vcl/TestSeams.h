// Test doubles of the framework's services: started processes are recorded and answered from a script, timers
// tick on a clock the test moves, the printer list is the test's. Each installs itself when made and puts the service it replaced back when freed.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "rtl/ProcessStart.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Printers.h"

// Records every process start (CreateProcess, ShellExecute, WinExec) and answers it without starting anything.
class TScriptedProcesses : public TProcessService {
public:
    struct TRequest {
        std::string Kind;             // "CreateProcess", "ShellExecute" or "WinExec"
        std::string ApplicationName;  // CreateProcess's application name; ShellExecute's file
        std::string CommandLine;      // CreateProcess's and WinExec's command line; ShellExecute's parameters
        std::string Verb;             // ShellExecute's
        std::string CurrentDirectory;
        Integer ShowWindow = 0;
        Cardinal CreationFlags = 0;   // CreateProcess's
    };

    TScriptedProcesses();
    ~TScriptedProcesses() override;

    // The next start succeeds; a created process has already ended with this exit code. Unscripted starts
    // succeed with exit code 0.
    void AnswerNextStart(Cardinal exitCode);
    // The next start fails with this error (2 file not found, 3 path not found, ...): CreateProcess gives no
    // process and sets it as the last error; ShellExecute and WinExec return it.
    void FailNextStart(Cardinal error);

    std::vector<TRequest> Requests;

    std::unique_ptr<TStartedProcess> CreateProcess(const TProcessStart& start) override;
    INT_PTR ShellExecute(HWND owner, const std::string& verb, const std::string& file, const std::string& parameters,
                         const std::string& directory, Integer showCommand) override;
    UINT WinExec(const std::string& commandLine, UINT showCommand) override;

private:
    struct TAnswer {
        bool Started = true;
        Cardinal Code = 0;  // the exit code, or the error
    };
    TAnswer NextAnswer();

    TProcessService* previous_;
    std::deque<TAnswer> answers_;
};

// Timers that tick only when the test moves the clock: TickCount() reads the test's clock, which starts where the
// tick count stood. Timers already running move onto it, and back to window timers when it is freed.
class TManualTimers : public TTimerService {
public:
    TManualTimers();
    ~TManualTimers() override;

    // Moves the clock forward; every timer that falls due on the way fires at its due tick (TickCount() reads it
    // then), in the order they fall due (timers due at the same tick in the order they were started), as often as
    // it falls due.
    void Advance(Cardinal milliseconds);

    void StartTimer(TTimer* timer) override;
    void StopTimer(TTimer* timer) override;

private:
    struct TDueTimer {
        TTimer* Timer;
        uint64_t Due;
        uint64_t Order;
    };
    std::vector<TDueTimer>::iterator NextDue(uint64_t until);

    uint64_t now_;
    uint64_t starts_ = 0;
    std::vector<TDueTimer> due_;
    std::function<Cardinal()> previousTicks_;
    TTimerService* previous_;
};

// The printers a test offers (none, one or several) and its default printer (empty: none), in place of the
// system's. Every offered printer prints on the system's default printer (the file printer of the set-up).
class TScriptedPrinters : public TPrinterService {
public:
    explicit TScriptedPrinters(std::vector<std::string> names, std::string defaultName = "");
    ~TScriptedPrinters() override;

    std::vector<std::string> PrinterNames() override { return names_; }
    std::string DefaultPrinterName() override { return defaultName_; }
    std::string DeviceName(const std::string& printer) override;

private:
    std::vector<std::string> names_;
    std::string defaultName_;
    TPrinterService* previous_;
};
