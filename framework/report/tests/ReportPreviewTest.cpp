// The printer set-up and the modal preview of a built report: the dialog's choices, stepping through the pages with
// the mouse and keys, zoom, and printing the built pages (to the printer capture and to the file printer).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "db/MemDataSet.h"
#include "report/Report.h"
#include "report/ReportPreview.h"
#include "vcl/TestHelpers.h"

namespace {

// Twenty numbered lines, each a detail band; eight fit a page below the header, so three pages.
class ReportPreviewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        lines = new TMemDataSet(nullptr);
        lines->FieldDefs()->Add("Line", ftString, 20);
        lines->Open();
        for (int i = 1; i <= 20; ++i) lines->AppendRecord({Variant("Line " + std::to_string(i))});

        report = new TBandReport(nullptr);
        report->DataSet = lines;
        report->Zoom = 80;
        report->ReportTitle = "Preview test";
        header = new TReportBand(nullptr);
        header->BandType = rbPageHeader;
        header->Height = 32;
        header->SetReport(report);
        title = new TReportLabel(nullptr);
        title->Caption = "Line Report";
        title->Left = 0;
        title->Top = 13;
        title->Width = 576;
        title->Alignment = taCenter;
        title->Font()->SetStyle({fsBold});
        title->SetBand(header);
        detail = new TReportBand(nullptr);
        detail->Height = 110;
        detail->SetReport(report);
        text = new TReportDBText(nullptr);
        text->DataSet = lines;
        text->DataField = "Line";
        text->Left = 13;
        text->Top = 13;
        text->Width = 200;
        text->SetBand(detail);
    }

    void TearDown() override
    {
        Printer()->SetCapture(nullptr);
        for (TComponent* part : std::initializer_list<TComponent*>{text, title, detail, header, report, lines})
            part->Free();
    }

    TMemDataSet* lines = nullptr;
    TBandReport* report = nullptr;
    TReportBand* header = nullptr;
    TReportBand* detail = nullptr;
    TReportLabel* title = nullptr;
    TReportDBText* text = nullptr;
};

TEST_F(ReportPreviewTest, PreviewStepsThroughTheBuiltPagesAndPrintsThem)
{
    TScriptedDialogs dialogs;
    TPrinterCapture capture;
    Printer()->SetCapture(&capture);
    std::vector<std::string> seen;
    dialogs.AnswerNextModalForm([&](TCustomForm* form) {
        auto* preview = dynamic_cast<TReportPreview*>(form);
        ASSERT_NE(preview, nullptr);
        PumpMessages();
        seen.push_back(preview->PageLabel->Caption());
        EXPECT_EQ(preview->Zoom(), 80);
        EXPECT_FALSE(preview->PriorButton->Enabled());
        EXPECT_TRUE(SaveWindowToPng(preview->Handle(), "report-preview.png"));
        MouseClick(preview->NextButton, {25, 12});
        seen.push_back(preview->PageLabel->Caption());
        TypeKey(VK_NEXT);
        seen.push_back(preview->PageLabel->Caption());
        EXPECT_FALSE(preview->NextButton->Enabled());
        TypeKey(VK_NEXT);  // stays on the last page
        seen.push_back(preview->PageLabel->Caption());
        TypeKey(VK_HOME, {ssCtrl});
        seen.push_back(preview->PageLabel->Caption());
        MouseClick(preview->ZoomInButton, {30, 12});
        EXPECT_EQ(preview->Zoom(), 90);
        TypeKey(VK_SUBTRACT);
        TypeKey(VK_SUBTRACT);
        EXPECT_EQ(preview->Zoom(), 70);
        MouseClick(preview->PrintButton, {30, 12});
        TypeKey(VK_ESCAPE);
    });
    report->Preview();
    EXPECT_EQ(seen, (std::vector<std::string>{"Page 1 of 3", "Page 2 of 3", "Page 3 of 3", "Page 3 of 3",
                                               "Page 1 of 3"}));

    // The capture holds the built pages, each text at its place on the paper at the printer's resolution.
    ASSERT_TRUE(capture.Ended);
    EXPECT_EQ(capture.Title, "Preview test");
    ASSERT_EQ(capture.Pages.size(), 3u);
    EXPECT_EQ(capture.Pages[0].Lines().front(), "Line Report");
    EXPECT_EQ(capture.Pages[2].Lines().back(), "Line 20");
    HDC dc = Printer()->Handle();
    const Integer dpi = GetDeviceCaps(dc, LOGPIXELSX);
    const Integer offsetX = GetDeviceCaps(dc, PHYSICALOFFSETX), offsetY = GetDeviceCaps(dc, PHYSICALOFFSETY);
    for (size_t i = 0; i < capture.Pages.size(); ++i) {
        const TReportPage& page = report->Pages()[i];
        ASSERT_EQ(capture.Pages[i].Texts.size(), page.Texts.size());
        for (size_t j = 0; j < page.Texts.size(); ++j) {
            const TPrintedText& printed = capture.Pages[i].Texts[j];
            const TReportText& placed = page.Texts[j];
            EXPECT_EQ(printed.Text, placed.Text);
            EXPECT_EQ(printed.Y, MulDiv(placed.Top, dpi, ReportUnitsPerInch) - offsetY);
            EXPECT_EQ(printed.FontName, "Arial");
            EXPECT_EQ(printed.FontHeight, -13 * dpi / ReportUnitsPerInch);
            if (placed.Alignment == taLeftJustify) {
                EXPECT_EQ(printed.X, MulDiv(placed.Left, dpi, ReportUnitsPerInch) - offsetX);
            }
        }
    }
    // The centred title sits about the middle of its band.
    const TPrintedText& printedTitle = capture.Pages[0].Texts[0];
    EXPECT_TRUE(printedTitle.Bold);
    const Integer bandMiddle = (report->Page.LeftMargin + 288) * dpi / ReportUnitsPerInch - offsetX;
    EXPECT_LT(printedTitle.X, bandMiddle);
    EXPECT_GT(printedTitle.X, bandMiddle - dpi);
}

TEST_F(ReportPreviewTest, SetupDialogChoosesCopiesRangeAndOrientation)
{
    TScriptedDialogs dialogs;
    dialogs.AnswerNextCommonDialog(true, [](TCommonDialog* dialog) {
        auto* print = dynamic_cast<TPrintDialog*>(dialog);
        ASSERT_NE(print, nullptr);
        EXPECT_EQ(print->MinPage, 1);
        EXPECT_EQ(print->FromPage, 1);
        EXPECT_EQ(print->PrintRange, prAllPages);
        print->Copies = 2;
        print->PrintRange = prPageNums;
        print->FromPage = 2;
        print->ToPage = 2;
        Printer()->SetOrientation(poLandscape);
    });
    ASSERT_TRUE(report->PrinterSetup());
    EXPECT_EQ(report->PrinterSettings.Copies, 2);
    EXPECT_EQ(report->Page.Orientation, poLandscape);

    TPrinterCapture capture;
    Printer()->SetCapture(&capture);
    report->Print();
    Printer()->SetOrientation(poPortrait);
    EXPECT_EQ(report->Pages()[0].Width, 1056);
    ASSERT_EQ(capture.Pages.size(), 1u);  // page 2 only
    EXPECT_EQ(capture.Pages[0].Lines().front(), "Line Report");
    EXPECT_EQ(capture.Pages[0].Lines()[1], "Line " + std::to_string(report->Pages()[0].Texts.size()));

    dialogs.AnswerNextCommonDialog(false);
    report->Page.Orientation = poPortrait;
    EXPECT_FALSE(report->PrinterSetup());
    EXPECT_EQ(report->PrinterSettings.FirstPage, 2);
    EXPECT_EQ(report->Page.Orientation, poPortrait);

    // "All" chosen after a page range: every page again, whatever the page boxes still say.
    dialogs.AnswerNextCommonDialog(true, [](TCommonDialog* dialog) {
        auto* print = static_cast<TPrintDialog*>(dialog);
        EXPECT_EQ(print->PrintRange, prPageNums);
        print->PrintRange = prAllPages;
    });
    ASSERT_TRUE(report->PrinterSetup());
    EXPECT_EQ(report->PrinterSettings.FirstPage, 1);
    EXPECT_EQ(report->PrinterSettings.LastPage, 0);
}

TEST_F(ReportPreviewTest, PrintsOnTheFilePrinter)
{
    const char* prefix = std::getenv("WINEPREFIX");
    ASSERT_NE(prefix, nullptr);
    const std::string output = std::string("Z:") + prefix + "/printer-output.ps";
    std::remove(output.c_str());
    report->Print();
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(output.c_str(), "rb"), &std::fclose);
    ASSERT_NE(file, nullptr) << output;
    std::string content;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) content.append(buffer, n);
    size_t pages = 0;
    for (size_t at = content.find("%%Page: "); at != std::string::npos; at = content.find("%%Page: ", at + 1))
        ++pages;
    EXPECT_EQ(pages, 3u);
}

}  // namespace
