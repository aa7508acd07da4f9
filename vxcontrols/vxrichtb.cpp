#include "vxcontrols/vxrichtb.h"

#include <algorithm>

#include "classes/ClassRegistry.h"
#include "rtl/FloatConv.h"
#include "vxcontrols/vxriched.h"
#include "vxdata/Vxintl.h"

namespace {

const bool registered = (RegisterClasses<TvxRichTabDialog>(), true);

// A tab stop's position without its alignment and leader bits.
constexpr Integer TabPositionMask = 0x00FFFFFF;

}  // namespace

std::vector<Integer> vxTabStopsFromTexts(const std::vector<std::string>& texts,
                                         const std::map<std::string, Integer>& listedStops,
                                         const std::function<Integer(const std::string&)>& toTwips)
{
    std::vector<Integer> stops;
    for (const std::string& text : texts) {
        if (Integer(stops.size()) == MAX_TAB_STOPS) break;
        const auto listed = listedStops.find(text);
        stops.push_back(listed != listedStops.end() ? listed->second : toTwips(text));
    }
    std::stable_sort(stops.begin(), stops.end(),
                     [](Integer a, Integer b) { return (a & TabPositionMask) < (b & TabPositionMask); });
    return stops;
}

void TvxRichTabDialog::Publish(TPublisher<TvxRichTabDialog>& p)
{
    using D = TvxRichTabDialog;
    p.Field("GroupBox1", &D::GroupBox1);
    p.Field("Edit1", &D::Edit1);
    p.Field("ListBox1", &D::ListBox1);
    p.Field("Button1", &D::Button1);
    p.Field("Button2", &D::Button2);
    p.Field("OKButton", &D::OKButton);
    p.Field("Button3", &D::Button3);
    p.Field("Button4", &D::Button4);
    p.Method("Edit1Enter", &D::Edit1Enter);
    p.Method("Edit1Exit", &D::Edit1Exit);
    p.Method("Edit1KeyPress", &D::Edit1KeyPress);
    p.Method("SetButtonClick", &D::SetButtonClick);
    p.Method("Button2Click", &D::Button2Click);
    p.Method("Button4Click", &D::Button4Click);
    p.Method("OKButtonClick", &D::OKButtonClick);
}

void TvxRichTabDialog::Prepare(TvxCustomRichEdit* richEdit)
{
    RichEdit = richEdit;
    SetTexts();
    ReadTabs();
}

void TvxRichTabDialog::SetTexts()
{
    const TvxRichEditTabDlg* texts = vxIntl()->RichEdit()->TabDialog();
    SetCaption(texts->TabDlgCaption);
    GroupBox1->SetCaption(texts->TabGroupBoxCaption);
    Button1->SetCaption(texts->SetTabButtonCaption);
    Button2->SetCaption(texts->ClearTabButtonCaption);
    Button4->SetCaption(texts->ClearAllButtonCaption);
    OKButton->SetCaption(vxIntl()->BtnOKCaption());
    Button3->SetCaption(vxIntl()->BtnCancelCaption());
    if (!RichEdit->EditorOptions().Contains(reoShowHints)) return;
    const std::pair<TControl*, std::string> hints[] = {{Edit1, texts->TabPositionEditHint},
                                                       {ListBox1, texts->ListBoxHint},
                                                       {Button1, texts->SetButtonHint},
                                                       {Button2, texts->ClearButtonHint},
                                                       {Button4, texts->ClearAllButtonHint}};
    for (const auto& [control, hint] : hints) {
        control->SetHint(hint);
        control->SetShowHint(true);
    }
}

void TvxRichTabDialog::ReadTabs()
{
    const PARAFORMAT2 format = RichEdit->ParagraphFormat();
    for (Integer i = 0; i < std::min<Integer>(format.cTabCount, MAX_TAB_STOPS); ++i) {
        const Integer stop = format.rgxTabs[i];
        const std::string text = RichEdit->FormatUnitsPlain(RichEdit->TwipsToUnits(stop & TabPositionMask));
        if (listedStops_.emplace(text, stop).second) ListBox1->Items()->Add(text);
    }
}

void TvxRichTabDialog::ApplyToRichEdit()
{
    std::vector<std::string> texts;
    for (Integer i = 0; i < ListBox1->Items()->Count(); ++i) texts.push_back(ListBox1->Items()->Strings(i));
    const std::vector<Integer> stops = vxTabStopsFromTexts(
        texts, listedStops_, [this](const std::string& text) { return RichEdit->UnitsToTwips(text); });
    RichEdit->ApplyParagraphFormat(1 << 5, "", false, 0, 0, 0, Integer(stops.size()), stops.data(), 0, 0, 0, 0);
}

// Enter belongs to the edit while it has the focus.
void TvxRichTabDialog::Edit1Enter(TObject*) { OKButton->SetDefault(false); }

void TvxRichTabDialog::Edit1Exit(TObject*) { OKButton->SetDefault(true); }

void TvxRichTabDialog::Edit1KeyPress(TObject*, char& key)
{
    if (key != '\r') return;
    key = 0;
    if (Edit1->Text().empty())
        SetModalResult(mrOk);
    else
        SetButtonClick(Button1);
}

// A stop between 0 and 22 inches is listed once; the list holds no more stops than a paragraph takes.
void TvxRichTabDialog::SetButtonClick(TObject*)
{
    const std::string text = Edit1->Text();
    if (text.empty()) return;
    if (!vxIsMeasure(text, RichEdit->MeasurementUnits(), 0, vxMeasureLimitTwips)) return;
    const std::string listed = RichEdit->FormatUnitsPlain(StrToFloat(vxMeasureNumber(text)));
    if (ListBox1->Items()->IndexOf(listed) < 0) {
        if (ListBox1->Items()->Count() >= MAX_TAB_STOPS) {
            MessageBeep(0);
            return;
        }
        ListBox1->Items()->Add(listed);
    }
    Edit1->SetText("");
}

void TvxRichTabDialog::Button2Click(TObject*)
{
    for (Integer i = ListBox1->Items()->Count() - 1; i >= 0; --i)
        if (ListBox1->Selected(i)) ListBox1->Items()->Delete(i);
}

void TvxRichTabDialog::Button4Click(TObject*) { ListBox1->Items()->Clear(); }

void TvxRichTabDialog::OKButtonClick(TObject*)
{
    if (Edit1->Text().empty()) return;
    if (vxIsMeasure(Edit1->Text(), RichEdit->MeasurementUnits(), -vxMeasureLimitTwips, vxMeasureLimitTwips)) {
        SetButtonClick(Button1);
    } else {
        Edit1->SetFocus();
        SetModalResult(mrNone);
    }
}
