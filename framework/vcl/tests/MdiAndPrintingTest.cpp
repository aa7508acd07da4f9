// An MDI frame with one child, pages printed through the printer capture and on the machine's file printer, and the
// system's print box handing its choices to the printer.
#include "rtl/WinApi.h"

#include <dlgs.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "vcl/Dialogs.h"
#include "vcl/Forms.h"
#include "vcl/Printers.h"
#include "vcl/StdCtrls.h"
#include "vcl/TestHelpers.h"

namespace {

class TFrameForm : public TForm {
    DUN_CLASS(TFrameForm, TForm)
public:
    explicit TFrameForm(TComponent* owner) : TForm(owner)
    {
        SetFormStyle(fsMDIForm);
        SetBounds(20, 20, 500, 400);
    }
};

class TChildForm : public TForm {
    DUN_CLASS(TChildForm, TForm)
public:
    explicit TChildForm(TComponent* owner) : TForm(owner)
    {
        SetFormStyle(fsMDIChild);
        SetBounds(0, 0, 300, 200);
        edit = new TEdit(this);
        edit->SetParent(this);
        edit->SetBounds(10, 10, 100, 22);
    }
    TEdit* edit;
};

TEST(Mdi, FrameHoldsOneVisibleChildWhoseEditTakesTypedKeys)
{
    auto* frame = Application->CreateForm<TFrameForm>();
    auto* child = Application->CreateForm<TChildForm>();
    frame->Show();
    ActivateForm(frame);
    EXPECT_NE(frame->ClientHandle(), nullptr);
    ASSERT_EQ(frame->MDIChildCount(), 1);
    EXPECT_EQ(frame->MDIChildren(0), child);
    EXPECT_EQ(frame->ActiveMDIChild(), child);
    EXPECT_TRUE(child->Visible());
    EXPECT_EQ(GetParent(child->Handle()), frame->ClientHandle());

    child->edit->SetFocus();
    PumpMessages();
    TypeText("mdi");
    EXPECT_EQ(child->edit->Text(), "mdi");
    EXPECT_THROW(child->Hide(), EInvalidOperation);
    delete child;
    EXPECT_EQ(frame->MDIChildCount(), 0);
    delete frame;
}

TEST(PrinterCapture, RecordsTextLinesAndShapesPerPage)
{
    TPrinterCapture capture;
    TPrinter* printer = Printer();
    printer->SetCapture(&capture);
    printer->SetTitle("Account summary");
    TCanvas* canvas = printer->Canvas();
    printer->BeginDoc();
    canvas->Font()->SetStyle({fsBold});
    canvas->Font()->SetSize(10);
    EXPECT_EQ(canvas->Font()->Height(), -83);  // 10 points at 600 dpi
    canvas->TextOut(250, 300, "Client:");
    canvas->TextOut(900, 300, "ACME");
    canvas->TextOut(250, 400, "Second line");
    canvas->MoveTo(250, 500);
    canvas->LineTo(2000, 500);
    printer->NewPage();
    canvas->TextOut(250, 300, "Page two");
    printer->EndDoc();
    printer->SetCapture(nullptr);

    EXPECT_EQ(capture.Title, "Account summary");
    EXPECT_TRUE(capture.Ended);
    ASSERT_EQ(capture.Pages.size(), 2u);
    EXPECT_EQ(capture.Pages[0].Lines(), (std::vector<std::string>{"Client: ACME", "Second line"}));
    EXPECT_TRUE(capture.Pages[0].Texts[0].Bold);
    ASSERT_EQ(capture.Pages[0].Shapes.size(), 1u);
    EXPECT_EQ(capture.Pages[0].Shapes[0].Kind, "Line");
    EXPECT_EQ(capture.Pages[1].Lines(), (std::vector<std::string>{"Page two"}));
}

TEST(PrinterCapture, PrintingStateErrors)
{
    TPrinterCapture capture;
    TPrinter printer;
    printer.SetCapture(&capture);
    EXPECT_THROW(printer.NewPage(), EPrinter);
    EXPECT_THROW(printer.EndDoc(), EPrinter);
    printer.BeginDoc();
    EXPECT_THROW(printer.BeginDoc(), EPrinter);
    printer.Abort();
    EXPECT_TRUE(capture.Aborted);
    EXPECT_FALSE(printer.Printing());
}

TEST(Printer, RealPrinterHasLetterPageMetricsAndPrintsADocument)
{
    TPrinter printer;
    ASSERT_GE(printer.PrinterIndex(), 0);
    const Integer dpi = GetDeviceCaps(printer.Handle(), LOGPIXELSX);
    EXPECT_EQ(dpi, 600);
    EXPECT_GT(printer.PageWidth(), 0);
    EXPECT_LE(printer.PageWidth(), dpi * 17 / 2);
    EXPECT_LE(printer.PageHeight(), dpi * 11);
    printer.SetTitle("vcl test");
    printer.BeginDoc();
    printer.Canvas()->TextOut(100, 100, "Hello");
    EXPECT_GT(printer.Canvas()->TextWidth("Hello"), 0);
    printer.EndDoc();
    EXPECT_FALSE(printer.Printing());
}

// Keys for the window with the focus, left in the queue for the running modal loop to read.
void QueueKey(Word key, bool shift = false)
{
    if (shift) keybd_event(VK_SHIFT, 0, 0, 0);
    keybd_event(BYTE(key), 0, 0, 0);
    keybd_event(BYTE(key), 0, KEYEVENTF_KEYUP, 0);
    if (shift) keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
}

// Focuses a control of the box and queues keys that replace its text.
void QueueTextFor(HWND box, int id, const std::string& text)
{
    SetFocus(GetDlgItem(box, id));
    QueueKey(VK_HOME);
    QueueKey(VK_END, true);
    for (char c : text) QueueKey(Word(VkKeyScanA(c) & 0xFF));
}

// Runs one step per timer tick while a system dialog box is in front.
class TBoxScript {
public:
    std::vector<std::function<void(HWND)>> Steps;

    void Tick()
    {
        HWND box = GetForegroundWindow();
        char name[32] = {};
        if (!box || next_ >= Steps.size() || !GetClassNameA(box, name, sizeof name) || std::string(name) != "#32770")
            return;
        Steps[next_++](box);
    }
    bool Done() const { return next_ == Steps.size(); }

private:
    size_t next_ = 0;
};

TBoxScript* runningScript = nullptr;

TEST(PrintDialog, TheRangeCopiesAndOrientationOfTheBoxBecomeThePrinters)
{
    struct Case {
        const char* name;
        TPrintRange startRange;
        int rangeButton;
        std::string pages;  // "from-to" typed for a page range
        std::string copies;
        TPrintRange range;
        Integer from, to;
    };
    const Case cases[] = {
        {"pages 2 to 3", prAllPages, rad3, "2-3", "3", prPageNums, 2, 3},
        {"all", prPageNums, rad1, "", "2", prAllPages, 4, 4},
    };
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Printer()->SetOrientation(poLandscape);
        TPrintDialog dialog(nullptr);
        dialog.MinPage = 1;
        dialog.MaxPage = 5;
        dialog.FromPage = dialog.ToPage = 4;
        dialog.PrintRange = c.startRange;
        TBoxScript script;
        script.Steps.push_back([&](HWND box) {
            SaveWindowToPng(box, std::string(temp) + "print-dialog.png");
            SetFocus(GetDlgItem(box, c.rangeButton));
            QueueKey(VK_SPACE);
        });
        if (!c.pages.empty()) {
            script.Steps.push_back([&](HWND box) { QueueTextFor(box, edt1, c.pages.substr(0, 1)); });
            script.Steps.push_back([&](HWND box) { QueueTextFor(box, edt2, c.pages.substr(2)); });
        }
        script.Steps.push_back([&](HWND box) { QueueTextFor(box, edt3, c.copies); });
        script.Steps.push_back([](HWND) { QueueKey(VK_RETURN); });
        runningScript = &script;
        const UINT_PTR timer = SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR, DWORD) { runningScript->Tick(); });
        const bool accepted = dialog.Run();
        KillTimer(nullptr, timer);
        runningScript = nullptr;
        ASSERT_TRUE(script.Done());
        ASSERT_TRUE(accepted);
        EXPECT_EQ(dialog.PrintRange, c.range);
        EXPECT_EQ(dialog.FromPage, c.from);
        EXPECT_EQ(dialog.ToPage, c.to);
        const Integer copies = std::stoi(c.copies);
        EXPECT_EQ(dialog.Copies, copies);
        EXPECT_EQ(Printer()->Copies(), copies);
        EXPECT_EQ(Printer()->DeviceMode()->dmCopies, copies);
        EXPECT_EQ(Printer()->Orientation(), poLandscape);
        Printer()->SetOrientation(poPortrait);
        Printer()->SetCopies(1);
    }
}

}  // namespace
