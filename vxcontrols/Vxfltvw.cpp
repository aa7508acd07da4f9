#include "vxcontrols/Vxfltvw.h"

#include "rtl/StringRoutines.h"
#include "vxdata/Vxintl.h"

namespace {

std::string WithoutAccelerator(const std::string& caption) { return StringReplace(caption, "&", "", {rfReplaceAll}); }

Integer ScaledBy(Integer value, Integer pixelsPerInch) { return MulDiv(value, pixelsPerInch, 96); }

std::string MatchTypeText(TvxFilterMatchType matchType, const TvxFilterDialogIntl* texts)
{
    switch (matchType) {
    case fdMatchStart: return WithoutAccelerator(texts->MatchStartLabel);
    case fdMatchAny: return WithoutAccelerator(texts->MatchAnyLabel);
    case fdMatchExact: return WithoutAccelerator(texts->MatchExactLabel);
    default: return WithoutAccelerator(texts->ByRangeLabel);
    }
}

std::string ValueText(TvxFilterDialog* dialog, const TvxFieldInfo& criterion, const TvxFilterDialogIntl* texts)
{
    if (criterion.MatchType == fdMatchRange) {
        std::string text;
        if (!criterion.MinValue.empty()) text = ">=" + criterion.MinValue;
        if (!criterion.MinValue.empty() && !criterion.MaxValue.empty()) text += ", ";
        if (!criterion.MaxValue.empty()) text += "<=" + criterion.MaxValue;
        return text;
    }
    if (!criterion.NonMatching) return criterion.Value;
    bool isOr = false;
    if (!dialog->ParseOperators(criterion.Value, isOr).empty())
        return texts->ViewSummaryNotText + " (" + criterion.Value + ")";
    return texts->ViewSummaryNotText + " " + criterion.Value;
}

}  // namespace

void TvxFilterDialogView::AfterConstruction()
{
    TForm::AfterConstruction();
    const Integer ppi = PixelsPerInch();
    SetWidth(ScaledBy(489, ppi));
    StringGrid1->SetWidth(ScaledBy(464, ppi));
    StringGrid1->SetColWidths(0, ScaledBy(120, ppi));
    StringGrid1->SetColWidths(1, ScaledBy(140, ppi));
    StringGrid1->SetColWidths(2, ScaledBy(197, ppi));
    StringGrid1->OnDrawCell = [this](TObject* sender, Integer col, Integer row, TRect rect, TGridDrawState state) {
        StringGrid1DrawCell(sender, col, row, rect, state);
    };
    OKButton = vxCreateDialogButton(this, vxbkOK);
    OKButton->SetTabOrder(0);
    OKButton->SetLeft((ClientWidth() - OKButton->Width()) / 2);
    OKButton->SetTop(StringGrid1->Top() + StringGrid1->Height() + ScaledBy(9, Screen->PixelsPerInch()));
    OKButton->SetDefault(true);
    OKButton->SetVisible(true);
}

void TvxFilterDialogView::FormCreate(TObject*)
{
    const TvxFilterDialogIntl* texts = vxIntl()->FilterDialog();
    StringGrid1->SetCells(0, 0, texts->SummaryFieldLabel);
    StringGrid1->SetCells(1, 0, texts->SummarySearchLabel);
    StringGrid1->SetCells(2, 0, texts->SummaryValueLabel);
}

void TvxFilterDialogView::FormShow(TObject*) { Font()->SetStyle(vxIntl()->DialogFontStyle()); }

void TvxFilterDialogView::StringGrid1DrawCell(TObject*, Integer col, Integer row, TRect rect, TGridDrawState)
{
    if (row == 0) return;
    TCanvas* canvas = StringGrid1->Canvas();
    canvas->Brush()->SetColor(clWhite);
    canvas->Font()->SetColor(clBlack);
    canvas->TextRect(rect, rect.left + 2, rect.top + 2, StringGrid1->Cells(col, row));
}

void TvxFilterDialogView::StringGrid1Enter(TObject*)
{
    if (TInplaceEdit* editor = StringGrid1->InplaceEditor()) editor->SetReadOnly(true);
}

void TvxFilterDialogView::Publish(TPublisher<TvxFilterDialogView>& p)
{
    p.Field("StringGrid1", &TvxFilterDialogView::StringGrid1);
    p.Method("FormCreate", &TvxFilterDialogView::FormCreate);
    p.Method("FormShow", &TvxFilterDialogView::FormShow);
    p.Method("StringGrid1Enter", &TvxFilterDialogView::StringGrid1Enter);
}

std::vector<std::string> vxFilterSummaryRow(TvxFilterDialog* dialog, const TvxFieldInfo& criterion)
{
    const TvxFilterDialogIntl* texts = vxIntl()->FilterDialog();
    return {criterion.DisplayLabel, MatchTypeText(criterion.MatchType, texts), ValueText(dialog, criterion, texts)};
}

void vxShowFilterSummary(TvxFilterDialog* dialog, const TvxFieldInfoList& criteria)
{
    std::unique_ptr<TvxFilterDialogView> view(CreateObject<TvxFilterDialogView>(Application));
    TStringGrid* grid = view->StringGrid1;
    grid->SetRowCount(Integer(criteria.size()) + 1);
    for (size_t i = 0; i < criteria.size(); ++i) {
        const std::vector<std::string> row = vxFilterSummaryRow(dialog, *criteria[i]);
        for (Integer col = 0; col < 3; ++col) grid->SetCells(col, Integer(i) + 1, row[col]);
    }
    // Rows beyond the grid's height scroll; rows that fit leave the layout as it is.
    if (grid->VisibleRowCount() + grid->FixedRows() < grid->RowCount()) grid->SetScrollBars(ssVertical);
    view->ShowModal();
}
