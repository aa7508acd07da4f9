// An MDI frame with one child, and pages printed through the printer capture and on the machine's file printer.
#include <gtest/gtest.h>

#include <memory>

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

}  // namespace
