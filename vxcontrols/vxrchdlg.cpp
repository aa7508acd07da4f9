#include "vxcontrols/vxrchdlg.h"

#include <algorithm>
#include <cmath>

#include "classes/ClassRegistry.h"
#include "rtl/FloatConv.h"
#include "vxcontrols/Vxdbcomb.h"
#include "vxcontrols/vxriched.h"
#include "vxdata/Vxintl.h"

namespace {

const bool registered = (RegisterClasses<TvxRichParagraphDialog>(), true);

// The line-spacing rules in the box's order.
enum TLineSpacingRule { lsSingle, lsOneAndHalf, lsDouble, lsAtLeast, lsExactly, lsMultiple };

// The first height offered for "At least" and "Exactly": a sixth of an inch, cut to hundredths.
double DefaultLineHeight(TvxMeasurementUnits units)
{
    const double value = units == muCentimeters ? 1.0 / 6 * vxCentimetresPerInch : 1.0 / 6;
    return std::trunc(100 * value) / 100;
}

}  // namespace

void TvxRichParagraphDialog::Publish(TPublisher<TvxRichParagraphDialog>& p)
{
    using D = TvxRichParagraphDialog;
    p.Field("OKBtn", &D::OKBtn);
    p.Field("CancelBtn", &D::CancelBtn);
    p.Field("Panel1", &D::Panel1);
    p.Field("Label4", &D::Label4);
    p.Field("AlignmentCombo", &D::AlignmentCombo);
    p.Field("GroupBox1", &D::GroupBox1);
    p.Field("Bevel1", &D::Bevel1);
    p.Field("Label1", &D::Label1);
    p.Field("LeftEdit", &D::LeftEdit);
    p.Field("Label2", &D::Label2);
    p.Field("RightEdit", &D::RightEdit);
    p.Field("Label3", &D::Label3);
    p.Field("FirstLineEdit", &D::FirstLineEdit);
    p.Field("SpacingGroup", &D::SpacingGroup);
    p.Field("Bevel2", &D::Bevel2);
    p.Field("BeforeParagraphLabel", &D::BeforeParagraphLabel);
    p.Field("BeforeParagraphEdit", &D::BeforeParagraphEdit);
    p.Field("AfterParagraphLabel", &D::AfterParagraphLabel);
    p.Field("AfterParagraphEdit", &D::AfterParagraphEdit);
    p.Field("WithinParagraphLabel", &D::WithinParagraphLabel);
    p.Field("LineSpacingComboBox", &D::LineSpacingComboBox);
    p.Field("WithinParagraphAt", &D::WithinParagraphAt);
    p.Field("WithinParagraphEdit", &D::WithinParagraphEdit);
    p.Method("OKClick", &D::OKClick);
    p.Method("LineSpacingComboBoxClick", &D::LineSpacingComboBoxClick);
    p.Method("LineSpacingComboBoxChange", &D::LineSpacingComboBoxChange);
    p.Method("WithinParagraphEditKeyPress", &D::WithinParagraphEditKeyPress);
}

void TvxRichParagraphDialog::Prepare(TvxCustomRichEdit* richEdit)
{
    RichEdit = richEdit;
    SetTexts();
    ReadParagraph();
}

void TvxRichParagraphDialog::SetTexts()
{
    const TvxRichEditParagraphDlg* texts = vxIntl()->RichEdit()->ParagraphDialog();
    SetCaption(texts->ParagraphDlgCaption);
    OKBtn->SetCaption(vxIntl()->BtnOKCaption());
    CancelBtn->SetCaption(vxIntl()->BtnCancelCaption());
    GroupBox1->SetCaption(texts->IndentationGroupBoxCaption);
    Label1->SetCaption(texts->LeftEditCaption);
    Label2->SetCaption(texts->RightEditCaption);
    Label3->SetCaption(texts->FirstLineEditCaption);
    Label4->SetCaption(texts->AlignmentCaption);
    SpacingGroup->SetCaption(texts->SpacingGroupCaption);
    BeforeParagraphLabel->SetCaption(texts->BeforeParagraphCaption);
    AfterParagraphLabel->SetCaption(texts->AfterParagraphCaption);
    WithinParagraphLabel->SetCaption(texts->WithinParagraphCaption);
    WithinParagraphAt->SetCaption(texts->WithinParagraphAtCaption);
    if (RichEdit->EditorOptions().Contains(reoShowHints)) {
        const std::pair<TControl*, std::string> hints[] = {{LeftEdit, texts->LeftEditHint},
                                                           {RightEdit, texts->RightEditHint},
                                                           {FirstLineEdit, texts->FirstLineEditHint},
                                                           {AlignmentCombo, texts->AlignmentHint}};
        for (const auto& [control, hint] : hints) {
            control->SetHint(hint);
            control->SetShowHint(true);
        }
    }
    TStrings* items = AlignmentCombo->Items();
    items->Clear();
    items->Add(texts->AlignLeft);
    items->Add(texts->AlignCenter);
    items->Add(texts->AlignRight);
}

void TvxRichParagraphDialog::ReadParagraph()
{
    const PARAFORMAT2 format = RichEdit->ParagraphFormat();
    LeftEdit->SetText(RichEdit->FormatUnits(0, RichEdit->TwipsToUnits(format.dxStartIndent + format.dxOffset)));
    FirstLineEdit->SetText(RichEdit->FormatUnits(0, RichEdit->TwipsToUnits(-format.dxOffset)));
    RightEdit->SetText(RichEdit->FormatUnits(0, RichEdit->TwipsToUnits(format.dxRightIndent)));
    // The short record carries no spacing: the boxes then offer none.
    const bool extended = RichEdit->RichEditVersion() >= 2;
    const Integer rule = extended ? std::clamp<Integer>(format.bLineSpacingRule, lsSingle, lsMultiple) : lsSingle;
    BeforeParagraphEdit->SetText(RichEdit->FormatUnits(100, RichEdit->TwipsToUnits(extended ? format.dySpaceBefore : 0)));
    AfterParagraphEdit->SetText(RichEdit->FormatUnits(100, RichEdit->TwipsToUnits(extended ? format.dySpaceAfter : 0)));
    LineSpacingComboBox->SetItemIndex(rule);
    if (rule == lsMultiple)
        WithinParagraphEdit->SetText(FloatToStr(format.dyLineSpacing / 20.0));
    else if (rule == lsAtLeast || rule == lsExactly)
        WithinParagraphEdit->SetText(RichEdit->FormatUnits(100, RichEdit->TwipsToUnits(format.dyLineSpacing)));
    else
        WithinParagraphEdit->SetText("");
    const TvxRichEditParagraphDlg* texts = vxIntl()->RichEdit()->ParagraphDialog();
    const std::string alignment = format.wAlignment == PFA_RIGHT    ? texts->AlignRight
                                  : format.wAlignment == PFA_CENTER ? texts->AlignCenter
                                                                    : texts->AlignLeft;
    AlignmentCombo->SetItemIndex(AlignmentCombo->Items()->IndexOf(alignment));
}

TEdit* TvxRichParagraphDialog::FirstInvalidBox()
{
    const TvxMeasurementUnits units = RichEdit->MeasurementUnits();
    for (TEdit* box : {LeftEdit, FirstLineEdit, RightEdit, BeforeParagraphEdit, AfterParagraphEdit, WithinParagraphEdit}) {
        if (box == WithinParagraphEdit && box->Text().empty()) continue;
        if (!vxIsMeasure(box->Text(), units, -vxMeasureLimitTwips, vxMeasureLimitTwips)) return box;
    }
    return nullptr;
}

void TvxRichParagraphDialog::OKClick(TObject*)
{
    if (TEdit* box = FirstInvalidBox()) {
        box->SetFocus();
        SetModalResult(mrNone);
    }
}

Integer TvxRichParagraphDialog::LineSpacing()
{
    const std::string text = WithinParagraphEdit->Text();
    if (LineSpacingComboBox->ItemIndex() == lsMultiple) {
        double lines = 0;
        return TryStrToFloat(vxMeasureNumber(text), lines) ? Integer(std::trunc(lines * 20)) : 20;
    }
    return text.empty() ? 0 : RichEdit->UnitsToTwips(text);
}

void TvxRichParagraphDialog::ApplyToRichEdit()
{
    const Integer first = RichEdit->UnitsToTwips(FirstLineEdit->Text());
    const Integer left = RichEdit->UnitsToTwips(LeftEdit->Text());
    const Integer offset = std::min(-first, left);
    const Integer rule = std::max<Integer>(LineSpacingComboBox->ItemIndex(), lsSingle);
    RichEdit->ApplyParagraphFormat(477, AlignmentCombo->Text(), false, offset, RichEdit->UnitsToTwips(RightEdit->Text()),
                                   first + left, 0, nullptr, RichEdit->UnitsToTwips(BeforeParagraphEdit->Text()),
                                   RichEdit->UnitsToTwips(AfterParagraphEdit->Text()), LineSpacing(), Byte(rule));
}

void TvxRichParagraphDialog::LineSpacingComboBoxClick(TObject*) { WithinParagraphEdit->SetText(""); }

void TvxRichParagraphDialog::LineSpacingComboBoxChange(TObject*)
{
    switch (LineSpacingComboBox->ItemIndex()) {
    case lsAtLeast:
    case lsExactly: {
        const TvxMeasurementUnits units = RichEdit ? RichEdit->MeasurementUnits() : muInches;
        WithinParagraphEdit->SetText(vxFormatUnitsPlain(DefaultLineHeight(units), units));
        break;
    }
    case lsMultiple:
        WithinParagraphEdit->SetText("1");
        break;
    default:
        WithinParagraphEdit->SetText("");
        break;
    }
}

void TvxRichParagraphDialog::WithinParagraphEditKeyPress(TObject*, char&)
{
    if (LineSpacingComboBox->ItemIndex() <= lsDouble) LineSpacingComboBox->SetItemIndex(lsMultiple);
}
