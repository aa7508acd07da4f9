#include "report/ReportPreview.h"

#include <algorithm>

#include "report/Report.h"

namespace {

constexpr Integer SheetMargin = 10;  // grey around the sheet
constexpr Integer MinZoom = 25, MaxZoom = 200, ZoomStep = 10;

}  // namespace

void TReportPageView::Update()
{
    const auto& pages = Report->Pages();
    if (pages.empty()) return;
    const TReportPage& page = pages[PageIndex];
    SetBounds(SheetMargin, SheetMargin, MulDiv(page.Width, Zoom, 100), MulDiv(page.Height, Zoom, 100));
    Invalidate();
}

void TReportPageView::Paint()
{
    TCanvas* canvas = Canvas();
    canvas->Brush()->SetColor(clWhite);
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Pen()->SetColor(clBlack);
    canvas->Rectangle(0, 0, Width(), Height());
    const auto& pages = Report->Pages();
    if (pages.empty()) return;
    const Integer dpi = MulDiv(ReportUnitsPerInch, Zoom, 100);
    DrawReportPage(canvas, pages[PageIndex], dpi, dpi);
}

TReportPreview::TReportPreview(TComponent* owner, TBandReport* report) : TForm(owner), report_(report)
{
    SetCaption("Print Preview");
    SetBounds(0, 0, 760, 640);
    SetPosition(poScreenCenter);
    SetKeyPreview(true);
    OnKeyDown = [this](TObject* sender, Word& key, TShiftState shift) { PreviewKeyDown(sender, key, shift); };

    toolBar_ = new TPanel(this);
    toolBar_->SetParent(this);
    toolBar_->SetAlign(alTop);
    toolBar_->SetHeight(34);
    toolBar_->SetCaption("");
    FirstButton = AddButton("First", 6, 50, [this](TObject*) { ShowPage(0); });
    PriorButton = AddButton("Prior", 58, 50, [this](TObject*) { ShowPage(PageIndex() - 1); });
    NextButton = AddButton("Next", 110, 50, [this](TObject*) { ShowPage(PageIndex() + 1); });
    LastButton = AddButton("Last", 162, 50, [this](TObject*) { ShowPage(PageCount() - 1); });
    PageLabel = new TLabel(this);
    PageLabel->SetParent(toolBar_);
    PageLabel->SetBounds(222, 10, 100, 16);
    ZoomInButton = AddButton("Zoom In", 326, 64, [this](TObject*) { SetZoom(Zoom() + ZoomStep); });
    ZoomOutButton = AddButton("Zoom Out", 392, 64, [this](TObject*) { SetZoom(Zoom() - ZoomStep); });
    PrintButton = AddButton("Print", 470, 60, [this](TObject*) { report_->PrintPages(); });
    CloseButton = AddButton("Close", 534, 60, nullptr);
    CloseButton->SetCancel(true);
    CloseButton->SetModalResult(mrCancel);

    PageBox = new TScrollBox(this);
    PageBox->SetParent(this);
    PageBox->SetAlign(alClient);
    PageBox->SetColor(clGray);
    view_ = new TReportPageView(this);
    view_->Report = report_;
    view_->Zoom = std::clamp(report_->Zoom, MinZoom, MaxZoom);
    view_->SetParent(PageBox);
    ShowPage(0);
}

TButton* TReportPreview::AddButton(const std::string& caption, Integer left, Integer width, TNotifyEvent onClick)
{
    auto* button = new TButton(this);
    button->SetParent(toolBar_);
    button->SetBounds(left, 5, width, 24);
    button->SetCaption(caption);
    button->OnClick = onClick;
    return button;
}

Integer TReportPreview::PageCount() const { return Integer(report_->Pages().size()); }

void TReportPreview::ShowPage(Integer index)
{
    const Integer count = PageCount();
    view_->PageIndex = std::clamp(index, 0, std::max(count - 1, 0));
    view_->Update();
    PageLabel->SetCaption(count ? "Page " + std::to_string(PageIndex() + 1) + " of " + std::to_string(count)
                                : "No pages");
    FirstButton->SetEnabled(PageIndex() > 0);
    PriorButton->SetEnabled(PageIndex() > 0);
    NextButton->SetEnabled(PageIndex() + 1 < count);
    LastButton->SetEnabled(PageIndex() + 1 < count);
    PrintButton->SetEnabled(count > 0);
}

void TReportPreview::SetZoom(Integer zoom)
{
    view_->Zoom = std::clamp(zoom, MinZoom, MaxZoom);
    view_->Update();
}

void TReportPreview::PreviewKeyDown(TObject*, Word& key, TShiftState shift)
{
    switch (key) {
    case VK_NEXT: ShowPage(PageIndex() + 1); break;
    case VK_PRIOR: ShowPage(PageIndex() - 1); break;
    case VK_HOME: if (shift.Contains(ssCtrl)) ShowPage(0); else return; break;
    case VK_END: if (shift.Contains(ssCtrl)) ShowPage(PageCount() - 1); else return; break;
    case VK_ADD: SetZoom(Zoom() + ZoomStep); break;
    case VK_SUBTRACT: SetZoom(Zoom() - ZoomStep); break;
    default: return;
    }
    key = 0;
}
