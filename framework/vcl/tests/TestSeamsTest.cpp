// The test doubles of the framework's services answer as their real counterparts would.
#include "vcl/TestSeams.h"

#include <gtest/gtest.h>

#include "rtl/Clock.h"
#include "vcl/TestHelpers.h"

namespace {

TEST(ScriptedProcesses, StartsAreRecordedAndAnsweredWithExitCodesOrFailures)
{
    TScriptedProcesses processes;
    ASSERT_EQ(ProcessService(), &processes);

    TProcessStart start;
    start.CommandLine = "c:\\prog\\Butil -create casesave.qf ycase.des";
    start.CurrentDirectory = "c:\\data";
    start.ShowWindow = SW_HIDE;
    auto unscripted = ProcessService()->CreateProcess(start);
    ASSERT_TRUE(unscripted);
    EXPECT_EQ(unscripted->ExitCode(), 0u);

    processes.AnswerNextStart(3);
    auto ended = ProcessService()->CreateProcess(start);
    ASSERT_TRUE(ended);
    EXPECT_EQ(ended->WaitForInputIdle(10000), 0u);
    EXPECT_TRUE(ended->WaitFor(0));
    EXPECT_EQ(ended->ExitCode(), 3u);

    processes.FailNextStart(ERROR_FILE_NOT_FOUND);
    processes.FailNextStart(SE_ERR_PNF);
    processes.FailNextStart(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ProcessService()->CreateProcess(start), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(ProcessService()->ShellExecute(nullptr, "OPEN", "c:\\data\\temp#$.bat", "", "", SW_HIDE), SE_ERR_PNF);
    EXPECT_EQ(ProcessService()->WinExec("viewer.exe report", SW_SHOW), UINT(ERROR_FILE_NOT_FOUND));
    EXPECT_GT(ProcessService()->ShellExecute(nullptr, "", "http://example", "", "", SW_SHOWNORMAL), 32);
    EXPECT_GT(ProcessService()->WinExec("viewer.exe", SW_SHOW), 31u);

    ASSERT_EQ(processes.Requests.size(), 7u);
    const auto& first = processes.Requests[0];
    EXPECT_EQ(first.Kind, "CreateProcess");
    EXPECT_EQ(first.CommandLine, "c:\\prog\\Butil -create casesave.qf ycase.des");
    EXPECT_EQ(first.CurrentDirectory, "c:\\data");
    EXPECT_EQ(first.ShowWindow, SW_HIDE);
    EXPECT_EQ(first.CreationFlags, Cardinal(NORMAL_PRIORITY_CLASS));
    const auto& shell = processes.Requests[3];
    EXPECT_EQ(shell.Kind, "ShellExecute");
    EXPECT_EQ(shell.Verb, "OPEN");
    EXPECT_EQ(shell.ApplicationName, "c:\\data\\temp#$.bat");
    EXPECT_EQ(processes.Requests[4].Kind, "WinExec");
    EXPECT_EQ(processes.Requests[4].CommandLine, "viewer.exe report");
}

TEST(ScriptedProcesses, FreeingPutsBackTheServiceItReplaced)
{
    TProcessService* real = ProcessService();
    {
        TScriptedProcesses outer;
        {
            TScriptedProcesses inner;
            EXPECT_EQ(ProcessService(), &inner);
        }
        EXPECT_EQ(ProcessService(), &outer);
    }
    EXPECT_EQ(ProcessService(), real);
}

// Each tick of the named timer, with the tick count it read, as "name@tick".
struct TTickLog {
    std::vector<std::string> Ticks;
    Cardinal Start = TickCount();

    void Listen(TTimer& timer, const std::string& name)
    {
        timer.OnTimer = [this, name](TObject*) { Ticks.push_back(name + "@" + std::to_string(TickCount() - Start)); };
    }
};

TEST(ManualTimers, DueTimersFireInOrderAtTheirTicksWithoutWaiting)
{
    TManualTimers timers;
    TTickLog log;
    TTimer fast(nullptr), slow(nullptr), off(nullptr);
    fast.SetInterval(300);
    slow.SetInterval(500);
    off.SetEnabled(false);
    log.Listen(fast, "fast");
    log.Listen(slow, "slow");
    log.Listen(off, "off");

    timers.Advance(299);
    EXPECT_TRUE(log.Ticks.empty());
    timers.Advance(1201);
    EXPECT_EQ(log.Ticks, (std::vector<std::string>{"fast@300", "slow@500", "fast@600", "fast@900", "slow@1000",
                                                   "fast@1200", "fast@1500", "slow@1500"}));
    EXPECT_EQ(TickCount() - log.Start, 1500u);
}

TEST(ManualTimers, HandlersMayStopRestartOrFreeTheirTimer)
{
    TManualTimers timers;
    TTickLog log;
    TTimer once(nullptr), stretching(nullptr);
    auto* freed = new TTimer(nullptr);
    once.SetInterval(100);
    stretching.SetInterval(100);
    freed->SetInterval(150);
    once.OnTimer = [&](TObject*) {
        log.Ticks.push_back("once@" + std::to_string(TickCount() - log.Start));
        once.SetEnabled(false);
    };
    stretching.OnTimer = [&](TObject*) {
        log.Ticks.push_back("stretching@" + std::to_string(TickCount() - log.Start));
        stretching.SetInterval(stretching.Interval() * 2);
    };
    freed->OnTimer = [&](TObject*) {
        log.Ticks.push_back("freed@" + std::to_string(TickCount() - log.Start));
        delete freed;
    };
    timers.Advance(1000);
    EXPECT_EQ(log.Ticks,
              (std::vector<std::string>{"once@100", "stretching@100", "freed@150", "stretching@300", "stretching@700"}));
}

TEST(ManualTimers, RunningTimersMoveOntoTheClockAndBackToWindowTimers)
{
    TScriptedDialogs dialogs;
    TTimer timer(nullptr);
    timer.SetInterval(20);
    int ticks = 0;
    timer.OnTimer = [&](TObject*) { ++ticks; };
    {
        TManualTimers timers;
        PumpFor(100);
        EXPECT_EQ(ticks, 0) << "no window timer is left running";
        timers.Advance(40);
        EXPECT_EQ(ticks, 2);
    }
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 4; }));
}

TEST(ManualTimers, AnExceptionInAHandlerGoesToTheApplication)
{
    TScriptedDialogs dialogs;
    TManualTimers timers;
    TTimer timer(nullptr);
    timer.SetInterval(10);
    timer.OnTimer = [](TObject*) { throw Exception("timer failed"); };
    timers.Advance(20);
    ASSERT_EQ(dialogs.Shown.size(), 2u);
    EXPECT_EQ(dialogs.Shown[0].Text, "timer failed.");
}

TEST(ScriptedPrinters, ATestOffersSeveralPrintersOrNone)
{
    TPrinter* printer = Printer();
    const std::vector<std::string> system = printer->Printers();
    const Integer systemDefault = printer->PrinterIndex();
    ASSERT_GE(systemDefault, 0) << "the set-up's file printer is the default";
    {
        TScriptedPrinters offered({"Laser on LPT1:", "Plotter"}, "Plotter");
        EXPECT_EQ(printer->Printers(), (std::vector<std::string>{"Laser on LPT1:", "Plotter"}));
        EXPECT_EQ(printer->PrinterIndex(), 1);
        printer->SetPrinterIndex(0);
        TPrinterCapture capture;
        printer->SetCapture(&capture);
        printer->BeginDoc();  // on the system's file printer
        printer->Canvas()->TextOut(100, 100, "offered");
        printer->EndDoc();
        printer->SetCapture(nullptr);
        ASSERT_EQ(capture.Pages.size(), 1u);
        EXPECT_EQ(capture.Pages[0].Lines(), std::vector<std::string>{"offered"});
        EXPECT_THROW(printer->SetPrinterIndex(2), EPrinter);
    }
    {
        TScriptedPrinters none({});
        EXPECT_TRUE(printer->Printers().empty());
        EXPECT_EQ(printer->PrinterIndex(), -1);
        EXPECT_THROW(printer->BeginDoc(), EPrinter);
    }
    EXPECT_EQ(printer->Printers(), system);
    EXPECT_EQ(printer->PrinterIndex(), systemDefault);
}

}  // namespace
