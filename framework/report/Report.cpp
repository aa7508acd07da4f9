#include "report/Report.h"

#include <algorithm>

#include "db/DataSet.h"
#include "db/Field.h"
#include "report/ReportPreview.h"
#include "vcl/Dialogs.h"

namespace {

template <class T>
void RemoveFrom(std::vector<T*>& list, T* item)
{
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

}  // namespace

TReportItem::TReportItem(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>())
{
    font_->SetName("Arial");
    font_->SetSize(10);
}

TReportItem::~TReportItem() { SetBand(nullptr); }

void TReportItem::SetBand(TReportBand* band)
{
    if (band_) RemoveFrom(band_->items_, this);
    band_ = band;
    if (band_) band_->items_.push_back(this);
}

std::string TReportDBText::PrintText() const
{
    if (!DataSet || !DataSet->Active() || DataField.empty()) return "";
    return DataSet->FieldByName(DataField)->AsString();
}

TReportBand::TReportBand(TComponent* owner) : TComponent(owner) {}

TReportBand::~TReportBand()
{
    for (TReportItem* item : items_) item->band_ = nullptr;
    if (report_)
        for (TReportBand* band : report_->bands_)
            if (band->parentBand_ == this) band->parentBand_ = nullptr;
    SetReport(nullptr);
}

void TReportBand::SetReport(TBandReport* report)
{
    if (report_) RemoveFrom(report_->bands_, this);
    report_ = report;
    if (report_) report_->bands_.push_back(this);
}

void TReportBand::SetParentBand(TReportBand* parent)
{
    parentBand_ = parent;
    if (parent) BandType = rbChild;
}

Integer TReportPageSetup::PaperWidth() const
{
    const Integer width = ReportUnitsPerInch * 17 / 2;
    return Orientation == poPortrait ? width : ReportUnitsPerInch * 11;
}

Integer TReportPageSetup::PaperHeight() const
{
    const Integer height = ReportUnitsPerInch * 11;
    return Orientation == poPortrait ? height : ReportUnitsPerInch * 17 / 2;
}

TBandReport::TBandReport(TComponent* owner) : TComponent(owner) {}

TBandReport::~TBandReport()
{
    for (TReportBand* band : bands_) band->report_ = nullptr;
}

void TBandReport::Prepare()
{
    pages_.clear();
    bool printReport = true;
    if (OnBeforePrint) OnBeforePrint(this, printReport);
    if (!printReport) return;
    if (DataSet && DataSet->Active()) DataSet->First();
    StartPage();
    Integer recordCount = 0;
    TReportBand* detail = BandOf(rbDetail);
    while (NextRecord(recordCount)) PrintDetail(detail);
    if (recordCount == 0 && !PrintIfEmpty) {
        pages_.clear();
        return;
    }
    EndPage(true);
}

bool TBandReport::NextRecord(Integer& recordCount)
{
    bool more = false;
    if (DataSet) {
        if (recordCount > 0) DataSet->Next();
        more = DataSet->Active() && !DataSet->Eof();
    } else if (OnNeedData) {
        OnNeedData(this, more);
    }
    if (more) ++recordCount;
    return more;
}

void TBandReport::PrintDetail(TReportBand* detail)
{
    if (!detail) return;
    PrintBand(detail, true);
    for (TReportBand* band : bands_)
        if (band->BandType == rbChild && band->ParentBand() == detail) PrintBand(band, true);
}

void TBandReport::PrintBand(TReportBand* band, bool checkFit)
{
    bool printBand = true;
    if (band->OnBeforePrint) band->OnBeforePrint(band, printBand);
    if (!printBand) return;
    if (checkFit && bandTop_ + band->Height > ContentBottom() && pageHasBody_) {
        EndPage(false);
        StartPage();
    }
    PlaceBand(band);
}

void TBandReport::PlaceBand(TReportBand* band)
{
    TReportPage& page = pages_.back();
    for (TReportItem* item : band->Items()) {
        TReportText text;
        text.Left = Page.LeftMargin + item->Left;
        text.Top = bandTop_ + item->Top;
        text.Width = item->Width;
        text.Height = item->Height;
        text.Alignment = item->Alignment;
        text.Text = item->PrintText();
        text.FontName = item->Font()->Name();
        text.FontHeight = item->Font()->Height();
        text.Bold = item->Font()->Style().Contains(fsBold);
        page.Texts.push_back(text);
    }
    bandTop_ += band->Height;
    if (band->BandType != rbPageHeader) pageHasBody_ = true;
}

void TBandReport::StartPage()
{
    TReportPage page;
    page.Width = Page.PaperWidth();
    page.Height = Page.PaperHeight();
    pages_.push_back(page);
    bandTop_ = Page.TopMargin;
    pageHasBody_ = false;
    TReportBand* header = BandOf(rbPageHeader);
    if (header && (pages_.size() > 1 || Options.Contains(roFirstPageHeader))) PrintBand(header, false);
}

void TBandReport::EndPage(bool last)
{
    TReportBand* footer = BandOf(rbPageFooter);
    if (!footer || (last && !Options.Contains(roLastPageFooter))) return;
    bandTop_ = Page.PaperHeight() - Page.BottomMargin - footer->Height;
    PrintBand(footer, false);
}

TReportBand* TBandReport::BandOf(TReportBandType type) const
{
    for (TReportBand* band : bands_)
        if (band->BandType == type) return band;
    return nullptr;
}

Integer TBandReport::ContentBottom() const
{
    TReportBand* footer = BandOf(rbPageFooter);
    return Page.PaperHeight() - Page.BottomMargin - (footer ? footer->Height : 0);
}

bool TBandReport::PrinterSetup()
{
    TPrintDialog dialog(this);
    dialog.Copies = PrinterSettings.Copies;
    dialog.MinPage = 1;
    dialog.MaxPage = MaxPrintPage;
    dialog.FromPage = PrinterSettings.FirstPage;
    dialog.ToPage = PrinterSettings.LastPage > 0 ? PrinterSettings.LastPage : MaxPrintPage;
    dialog.PrintRange = PrinterSettings.FirstPage > 1 || PrinterSettings.LastPage > 0 ? prPageNums : prAllPages;
    if (!dialog.Execute()) return false;
    const bool allPages = dialog.PrintRange != prPageNums;
    PrinterSettings.Copies = std::max(dialog.Copies, 1);
    PrinterSettings.FirstPage = allPages ? 1 : std::max(dialog.FromPage, 1);
    PrinterSettings.LastPage = allPages || dialog.ToPage >= MaxPrintPage ? 0 : dialog.ToPage;
    Page.Orientation = Printer()->Orientation();
    return true;
}

void TBandReport::Preview()
{
    Prepare();
    std::unique_ptr<TReportPreview> preview(CreateObject<TReportPreview>(nullptr, this));
    preview->ShowModal();
}

void TBandReport::PrintPages()
{
    TPrinter* printer = Printer();
    printer->SetOrientation(Page.Orientation);
    printer->SetCopies(PrinterSettings.Copies);
    printer->SetTitle(ReportTitle);
    const Integer count = Integer(pages_.size());
    const Integer first = std::max(PrinterSettings.FirstPage, 1);
    const Integer last = PrinterSettings.LastPage > 0 ? std::min(PrinterSettings.LastPage, count) : count;
    if (first > last) return;
    printer->BeginDoc();
    const Integer dpiX = GetDeviceCaps(printer->Handle(), LOGPIXELSX);
    const Integer dpiY = GetDeviceCaps(printer->Handle(), LOGPIXELSY);
    const Integer offsetX = GetDeviceCaps(printer->Handle(), PHYSICALOFFSETX);
    const Integer offsetY = GetDeviceCaps(printer->Handle(), PHYSICALOFFSETY);
    for (Integer number = first; number <= last; ++number) {
        if (number > first) printer->NewPage();
        DrawReportPage(printer->Canvas(), pages_[number - 1], dpiX, dpiY, -offsetX, -offsetY);
    }
    printer->EndDoc();
}

void TBandReport::Print()
{
    Prepare();
    PrintPages();
}
