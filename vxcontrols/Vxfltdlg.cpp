#include "vxcontrols/Vxfltdlg.h"

#include <algorithm>

#include "db/DBTables.h"
#include "db/DataSet.h"
#include "db/DataSource.h"
#include "db/Field.h"
#include "rtl/StringRoutines.h"
#include "rtl/SysUtils.h"
#include "vcl/Buttons.h"
#include "vcl/Dialogs.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Notebook.h"
#include "vcl/StdCtrls.h"
#include "vcl/Tabs.h"
#include "vxcontrols/Vxdbcomb.h"
#include "vxcontrols/Vxfltvw.h"
#include "vxcontrols/vxdbdatetimepicker.h"
#include "vxcontrols/vxdbedit.h"
#include "vxdata/Vxcommon.h"
#include "vxdata/Vxintl.h"
#include "vxdata/Vxstr.h"
#include "vxdata/vxSystem.h"

namespace {

constexpr Integer ValuePage = 0;
constexpr Integer RangePage = 1;
constexpr Integer AllTab = 0;
constexpr Integer SearchedTab = 1;

std::string Blanked(std::string label)
{
    std::replace(label.begin(), label.end(), '~', ' ');
    return label;
}

std::string TrimBlanksAndTabs(const std::string& text)
{
    std::string trimmed = text;
    vxTrimLeftChars(trimmed, vxBlankSet());
    vxTrimRightChars(trimmed, vxBlankSet());
    return trimmed;
}

// Radio items of the match types: exact, start, anywhere.
TvxFilterMatchType MatchTypeOfItem(Integer item)
{
    if (item == 0) return fdMatchExact;
    if (item == 2) return fdMatchAny;
    return fdMatchStart;
}

Integer ItemOfMatchType(TvxFilterMatchType matchType)
{
    if (matchType == fdMatchExact) return 0;
    if (matchType == fdMatchAny) return 2;
    return 1;
}

bool IsOneOf(TFieldType type, std::initializer_list<TFieldType> types)
{
    return std::find(types.begin(), types.end(), type) != types.end();
}

// The pieces of a value between OrChar: a one-character word anywhere, a longer one as a blank-delimited word.
std::vector<std::string> OrPieces(const std::string& text, const std::string& orWord)
{
    std::vector<std::string> pieces;
    if (orWord.size() == 1) {
        std::string piece;
        for (char c : text) {
            if (AnsiCompareText(std::string(1, c), orWord) == 0) {
                pieces.push_back(piece);
                piece.clear();
            } else {
                piece += c;
            }
        }
        pieces.push_back(piece);
        return pieces;
    }
    std::string piece;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t wordStart = text.find_first_not_of(" \t", pos);
        if (wordStart == std::string::npos) {
            piece += text.substr(pos);
            break;
        }
        const size_t wordEnd = std::min(text.find_first_of(" \t", wordStart), text.size());
        const std::string word = text.substr(wordStart, wordEnd - wordStart);
        if (!orWord.empty() && AnsiCompareText(word, orWord) == 0) {
            piece += text.substr(pos, wordStart - pos);
            pieces.push_back(piece);
            piece.clear();
        } else {
            piece += text.substr(pos, wordEnd - pos);
        }
        pos = wordEnd;
    }
    pieces.push_back(piece);
    return pieces;
}

// The texts a Boolean value is written in.
bool IsBooleanText(const std::string& text)
{
    return AnsiCompareText(text, "True") == 0 || AnsiCompareText(text, "False") == 0;
}

}  // namespace

// Execute shows this form. The library's users are linked with this symbol asked for, so every executable that
// links the library carries the unit.
extern "C" {
extern bool vxFilterFormLinked;
bool vxFilterFormLinked = (vxSetFilterFormMaker([](TvxFilterDialog* dialog) -> IvxFilterForm* {
                                          return CreateObject<TvxFilterDlg>(Application, dialog);
                                      }),
                                      true);
}

TvxFilterDlg::TvxFilterDlg(TComponent* owner, TvxFilterDialog* dialog) : TForm(owner), Dialog(dialog) {}

TvxFilterDlg::~TvxFilterDlg() = default;

void TvxFilterDlg::AfterConstruction()
{
    TForm::AfterConstruction();
    DataSet = Dialog->GetPrimaryDataSet();
    vxCopyCriteria(DataSet, Dialog->Criteria(), criteria_);
    Dialog->LoadFieldInfo();
    const Integer buttonLeft = FieldCriteria->Left() + FieldCriteria->Width() + Scaled(7);
    OKButton = vxCreateDialogButton(this, vxbkOK);
    OKButton->SetTabOrder(2);
    OKButton->SetBounds(buttonLeft, Scaled(22), OKButton->Width(), OKButton->Height());
    OKButton->SetDefault(true);
    OKButton->SetEnabled(false);
    OKButton->SetVisible(true);
    CancelButton = vxCreateDialogButton(this, vxbkCancel);
    CancelButton->SetTabOrder(3);
    CancelButton->SetBounds(buttonLeft, Scaled(62), CancelButton->Width(), CancelButton->Height());
    CancelButton->SetVisible(true);
    MinControl = MinValueEdit;
    MaxControl = MaxValueEdit;
}

Integer TvxFilterDlg::Scaled(Integer value) const { return MulDiv(value, PixelsPerInch(), 96); }

// ---- the field list and the working criteria ----

void TvxFilterDlg::FillFieldList(bool all)
{
    TStrings* items = FieldsListBox->Items();
    items->Clear();
    FieldsListBox->SetSorted(FieldOrder->ItemIndex() == 0);
    auto add = [&](const std::string& label) {
        if (!all && !FindCriterion(label)) return;
        const std::string shown = Blanked(label);
        if (items->IndexOf(shown) < 0) items->Add(shown);
    };
    TStrings* selected = Dialog->SelectedFields();
    if (selected->Count() > 0) {
        for (Integer i = 0; i < selected->Count(); ++i) {
            const std::string line = selected->Strings(i);
            const size_t semicolon = line.find(';');
            TvxDBFieldInfo* info = Dialog->FindFieldInfo(line.substr(0, semicolon));
            if (!info) continue;
            const std::string label = semicolon == std::string::npos ? std::string() : line.substr(semicolon + 1);
            if (!label.empty()) info->DisplayLabel = label;
            add(info->DisplayLabel);
        }
        return;
    }
    for (const TvxDBFieldInfo& info : Dialog->FieldInfos())
        if (vxIsSearchableFieldType(info.DataType)) add(info.DisplayLabel);
}

TvxFieldInfo* TvxFilterDlg::FindCriterion(const std::string& label)
{
    for (auto& criterion : criteria_)
        if (AnsiCompareText(Blanked(criterion->DisplayLabel), Blanked(label)) == 0) return criterion.get();
    return nullptr;
}

// A range needs a bound and a value match a value: a criterion with neither is removed, or not made.
void TvxFilterDlg::StoreCriterion(const std::string& label, TvxFilterMatchType matchType, bool nonMatching,
                                  bool caseSensitive, const std::string& maxValue, const std::string& minValue,
                                  const std::string& value)
{
    const bool isRange = matchType == fdMatchRange;
    const bool empty = isRange ? minValue.empty() && maxValue.empty() : value.empty();
    auto found = std::find_if(criteria_.begin(), criteria_.end(), [&](const auto& criterion) {
        return AnsiCompareText(Blanked(criterion->DisplayLabel), Blanked(label)) == 0;
    });
    if (found == criteria_.end()) {
        if (empty) return;
        auto criterion = std::make_unique<TvxFieldInfo>();
        criterion->DisplayLabel = label;
        criterion->MatchType = matchType;
        if (isRange) {
            criterion->MinValue = minValue;
            criterion->MaxValue = maxValue;
        } else {
            criterion->Value = value;
            criterion->CaseSensitive = caseSensitive;
            criterion->NonMatching = nonMatching;
        }
        criteria_.push_back(std::move(criterion));
        Changed = true;
        return;
    }
    if (empty) {
        criteria_.erase(found);
        Changed = true;
        return;
    }
    TvxFieldInfo& criterion = **found;
    auto update = [this](auto& member, const auto& newValue) {
        if (member != newValue) Changed = true;
        member = newValue;
    };
    update(criterion.MatchType, matchType);
    if (isRange) {
        update(criterion.MinValue, minValue);
        update(criterion.MaxValue, maxValue);
    } else {
        update(criterion.Value, value);
        update(criterion.CaseSensitive, caseSensitive);
        update(criterion.NonMatching, nonMatching);
    }
}

TFieldType TvxFilterDlg::GetFieldType(const std::string& label)
{
    if (DataSet) {
        std::string name = vxFieldNameFromLabel(DataSet, label);
        if (name.empty()) name = label;
        if (TField* field = DataSet->FindField(name)) return field->DataType();
    }
    if (TvxDBFieldInfo* info = Dialog->FindFieldInfo(label)) return info->DataType;
    TStrings* selected = Dialog->SelectedFields();
    for (Integer i = 0; i < selected->Count(); ++i) {
        const std::string line = selected->Strings(i);
        const size_t semicolon = line.find(';');
        if (semicolon == std::string::npos || line.substr(semicolon + 1) != label) continue;
        TvxDBFieldInfo* info = Dialog->FindFieldInfo(line.substr(0, semicolon));
        return info ? info->DataType : ftUnknown;
    }
    return ftUnknown;
}

bool TvxFilterDlg::IsRangeField(const std::string& label)
{
    const TFieldType type = GetFieldType(label);
    if (type == ftTime) return Dialog->FilterMethod() == fdByQueryModify;
    return IsOneOf(type, {ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD, ftDate, ftDateTime,
                          ftAutoInc});
}

// ---- value checks ----

// A Boolean is one of its literals; other types as their fields take text.
bool TvxFilterDlg::IsValidText(TFieldType fieldType, const std::string& text) const
{
    if (fieldType == ftBoolean) return IsBooleanText(TrimBlanksAndTabs(text));
    return vxIsValidTypeText(fieldType, text);
}

bool TvxFilterDlg::IsValidFilterValue(const std::string& text)
{
    if (text.empty() || CurrentIndex < 0) return true;
    const TFieldType type = GetFieldType(FieldsListBox->Items()->Strings(CurrentIndex));
    for (const std::string& rawPiece : OrPieces(text, Operators()->OrChar())) {
        const std::string piece = TrimBlanksAndTabs(rawPiece);
        if (AnsiCompareText(piece, Operators()->NullChar()) == 0) continue;
        if (!IsValidText(type, piece)) return false;
    }
    return true;
}

// The field's type decides; a query column that is no field of the dataset by its own type.
bool TvxFilterDlg::IsValidRangeValue(const std::string& text)
{
    if (text.empty() || CurrentIndex < 0) return true;
    return IsValidText(GetFieldType(FieldsListBox->Items()->Strings(CurrentIndex)), text);
}

// ---- pages and controls ----

void TvxFilterDlg::ShowPage(Integer page)
{
    SelectNotebook->SetPageIndex(page);
    TTabChangeEvent handler = std::move(ValueRangeTabSet->OnChange);
    ValueRangeTabSet->OnChange = nullptr;
    ValueRangeTabSet->SetTabIndex(page);
    ValueRangeTabSet->OnChange = std::move(handler);
}

bool TvxFilterDlg::OnRangePage() const { return SelectNotebook->PageIndex() == RangePage; }

std::string TvxFilterDlg::SelectedLabel()
{
    const Integer index = FieldsListBox->ItemIndex();
    return index >= 0 ? FieldsListBox->Items()->Strings(index) : std::string();
}

void TvxFilterDlg::SelectLabel(const std::string& label)
{
    FieldsListBox->SetItemIndex(FieldsListBox->Items()->IndexOf(label));
}

// A picker's text is its date as short date text.
std::string TvxFilterDlg::RangeText(TCustomEdit* control) const
{
    auto* picker = dynamic_cast<TvxDBDateTimePicker*>(control);
    if (!picker) return control->Text();
    return picker->Text().empty() ? std::string() : DateToStr(picker->Date());
}

void TvxFilterDlg::SetRangeText(TCustomEdit* control, const std::string& text)
{
    auto* picker = dynamic_cast<TvxDBDateTimePicker*>(control);
    if (!picker) {
        control->SetText(text);
    } else if (text.empty()) {
        ClearControl(picker);
    } else {
        picker->SetCleared(false);
        picker->SetDate(StrToDate(text));
    }
}

void TvxFilterDlg::ClearControl(TCustomEdit* control)
{
    if (auto* picker = dynamic_cast<TvxDBDateTimePicker*>(control)) {
        picker->SetCleared(true);
        picker->SetValue(0);
    }
    control->SetText("");
}

// Invalid input: its page shown, its text selected and focused, the list back on the edited field.
bool TvxFilterDlg::RefuseValue(Integer page, TCustomEdit* control)
{
    ShowPage(page);
    control->SelectAll();
    if (control->CanFocus()) control->SetFocus();
    FieldsListBox->SetItemIndex(CurrentIndex);
    return false;
}

void TvxFilterDlg::StoreEditedCriterion(const std::string& label)
{
    const TvxFilterMatchType matchType = OnRangePage() ? fdMatchRange : MatchTypeOfItem(MatchTypeGroup->ItemIndex());
    StoreCriterion(label, matchType, Nonmatching->Checked(), CaseSensitive->Checked(), RangeText(MaxControl),
                   RangeText(MinControl), ValueControl->Text());
}

bool TvxFilterDlg::ApplyFieldChange(bool reload)
{
    if (!ValueControl) ValueControl = FilterValueEdit;
    if (CurrentIndex >= 0) {
        const std::string label = FieldsListBox->Items()->Strings(CurrentIndex);
        if (IsRangeField(label) && !IsValidFilterValue(ValueControl->Text())) return RefuseValue(ValuePage, ValueControl);
        if (!IsValidRangeValue(RangeText(MinControl))) return RefuseValue(RangePage, MinControl);
        if (!IsValidRangeValue(RangeText(MaxControl))) return RefuseValue(RangePage, MaxControl);
        if (Activated) StoreEditedCriterion(label);
        ClearSearchButton->SetEnabled(!criteria_.empty());
    }
    if (FieldsListBox->ItemIndex() >= 0) {
        CurrentIndex = FieldsListBox->ItemIndex();
        LoadCriterion(FieldsListBox->Items()->Strings(CurrentIndex), reload);
    }
    return true;
}

void TvxFilterDlg::ChooseRangeControls(TFieldType fieldType)
{
    const bool dates = fieldType == ftDate || fieldType == ftDateTime;
    if (dates) {
        const TvxDTEditDataType kind = fieldType == ftDate ? vxDTEdtDate : vxDTEdtDateTime;
        MinDateEdit->SetUnboundDataType(kind);
        MaxDateEdit->SetUnboundDataType(kind);
        MinControl = MinDateEdit;
        MaxControl = MaxDateEdit;
    } else {
        MinControl = MinValueEdit;
        MaxControl = MaxValueEdit;
    }
    MinDateEdit->SetVisible(dates);
    MaxDateEdit->SetVisible(dates);
    MinValueEdit->SetVisible(!dates);
    MaxValueEdit->SetVisible(!dates);
    StartingRangeLbl->SetFocusControl(MinControl);
    EndingRangeLbl->SetFocusControl(MaxControl);
}

// The handler's picture mask goes to both value controls; a list it fills makes the combo a drop-down.
void TvxFilterDlg::AskSelectField(const std::string& label)
{
    if (!Dialog->OnSelectField) return;
    std::string fieldName = DataSet ? vxFieldNameFromLabel(DataSet, label) : std::string();
    if (fieldName.empty()) fieldName = label;
    std::string pictureMask;
    TStringList comboList;
    Dialog->DoSelectField(fieldName, pictureMask, &comboList);
    FilterValueEdit->GetPicture()->SetPictureMask(pictureMask);
    FilterValueCombo->GetPicture()->SetPictureMask(pictureMask);
    FilterValueCombo->Items()->Clear();
    if (comboList.Count() == 0) return;
    FilterValueCombo->Items()->Assign(&comboList);
    FilterValueCombo->SetShowButton(true);
    FilterValueCombo->SetShowMatchText(true);
}

void TvxFilterDlg::EnableMatchControls(const std::string& label)
{
    const bool isTable = dynamic_cast<TTable*>(DataSet) != nullptr;
    if (isTable || !IsRangeField(label)) {
        const bool sqlMemo = Dialog->FilterMethod() == fdByQueryModify &&
                             (vxIsQueryDataSet(DataSet) || vxGetSqlLines(DataSet)) && GetFieldType(label) == ftMemo;
        if (sqlMemo) {
            CaseSensitive->SetChecked(true);
            CaseSensitive->SetEnabled(false);
            MatchTypeGroup->SetEnabled(true);
            ValueRangeTabSet->SetVisible(false);
        } else {
            MatchTypeGroup->SetEnabled(true);
            CaseSensitive->SetEnabled(true);
        }
        return;
    }
    MatchTypeGroup->SetItemIndex(0);
    MatchTypeGroup->SetEnabled(false);
    CaseSensitive->SetEnabled(false);
}

void TvxFilterDlg::LoadCriterion(const std::string& label, bool reload)
{
    ChooseRangeControls(GetFieldType(label));
    TvxFilterMatchType matchType = fdMatchNone;
    if (TvxFieldInfo* criterion = FindCriterion(label)) {
        matchType = criterion->MatchType;
        CaseSensitive->SetChecked(criterion->CaseSensitive);
        Nonmatching->SetChecked(criterion->NonMatching);
        if (matchType == fdMatchRange) {
            SetRangeText(MinControl, criterion->MinValue);
            SetRangeText(MaxControl, criterion->MaxValue);
            if (reload) ClearControl(ValueControl);
        } else {
            ValueControl->SetText(criterion->Value);
            if (reload) {
                ClearControl(MinControl);
                ClearControl(MaxControl);
            }
        }
    } else {
        CaseSensitive->SetChecked(HasOption(fdCaseSensitive));
        Nonmatching->SetChecked(false);
        ClearControl(ValueControl);
        ClearControl(MinControl);
        ClearControl(MaxControl);
    }
    if (reload) AskSelectField(label);
    ChooseValueControl();
    const bool known = matchType == fdMatchExact || matchType == fdMatchStart || matchType == fdMatchAny;
    MatchTypeGroup->SetItemIndex(ItemOfMatchType(known ? matchType : Dialog->DefaultMatchType()));
    FieldCriteria->SetCaption(label);
    ValueRangeTabSet->SetVisible(HasOption(fdShowValueRangeTab));
    EnableMatchControls(label);
}

void TvxFilterDlg::ChoosePage()
{
    if (FieldsListBox->Items()->Count() == 0) return;
    if (!HasOption(fdShowValueRangeTab))
        ShowPage(Dialog->DefaultFilterBy() == fdFilterByRange ? RangePage : ValuePage);
    if (FieldsListBox->ItemIndex() < 0) FieldsListBox->SetItemIndex(0);
    const std::string label = SelectedLabel();
    Integer page = ValuePage;
    if (TvxFieldInfo* criterion = FindCriterion(label))
        page = criterion->MatchType == fdMatchRange ? RangePage : ValuePage;
    else if (Dialog->DefaultFilterBy() == fdFilterByRange)
        page = RangePage;
    else if (Dialog->DefaultFilterBy() == fdSmartFilter && IsRangeField(label) && GetFieldType(label) != ftBoolean)
        page = RangePage;
    ShowPage(page);
}

void TvxFilterDlg::ChooseValueControl()
{
    const bool anywhere = MatchTypeGroup->ItemIndex() == 2;
    TvxDBCustomEdit* wanted = !anywhere && FilterValueCombo->Items()->Count() > 0
                                  ? static_cast<TvxDBCustomEdit*>(FilterValueCombo)
                                  : static_cast<TvxDBCustomEdit*>(FilterValueEdit);
    if (ValueControl && ValueControl != wanted) wanted->SetText(ValueControl->Text());
    ValueControl = wanted;
    FilterValueCombo->SetVisible(wanted == FilterValueCombo);
    FilterValueEdit->SetVisible(wanted == FilterValueEdit);
    FilterValueEdit->SetUsePictureMask(!anywhere);
    FilterValueCombo->SetUsePictureMask(!anywhere);
    FieldValueLbl->SetFocusControl(ValueControl);
}

void TvxFilterDlg::FocusValue()
{
    if (!ValueControl) ValueControl = FilterValueEdit;
    TCustomEdit* control = OnRangePage() ? MinControl : ValueControl;
    if (!control->CanFocus()) return;
    control->SetFocus();
    control->SelectAll();
}

void TvxFilterDlg::UpdateButtons()
{
    const bool hasValue = !ValueControl->Text().empty();
    const bool hasMin = !MinControl->Text().empty();
    const bool hasMax = !MaxControl->Text().empty();
    FilterValueClearButton->SetEnabled(hasValue);
    MinValueClearButton->SetEnabled(hasMin);
    MaxValueClearButton->SetEnabled(hasMax);
    ClearSearchButton->SetEnabled(!criteria_.empty() || hasValue || hasMin || hasMax);
}

void TvxFilterDlg::ApplyIntlTexts()
{
    const TvxIntl* intl = vxIntl();
    const TvxFilterDialogIntl* texts = intl->FilterDialog();
    Font()->SetStyle(intl->DialogFontStyle());
    FieldTabSet->Font()->SetStyle(Font()->Style());
    ValueRangeTabSet->Font()->SetStyle(Font()->Style());
    auto set = [](TControl* control, const std::string& caption, const std::string& hint) {
        if (!caption.empty()) control->SetCaption(caption);
        control->SetHint(hint);
    };
    auto setItems = [](TStrings* items, std::initializer_list<std::string> texts) {
        Integer i = 0;
        for (const std::string& text : texts) items->SetStrings(i++, text);
    };
    set(ViewButton, texts->BtnViewSummary, texts->BtnViewSummaryHint);
    set(ClearSearchButton, texts->BtnNewSearch, texts->BtnNewSearchHint);
    set(FieldOrder, texts->FieldOrderLabel, texts->FieldOrderHint);
    setItems(FieldOrder->Items(), {texts->AlphabeticLabel, texts->LogicalLabel});
    FieldTabSet->SetHint(texts->AllSearchedTabHint);
    setItems(FieldTabSet->Tabs(), {texts->AllFieldsLabel, texts->SearchedFieldsLabel});
    StartingRangeLbl->SetCaption(texts->StartingRangeLabel);
    EndingRangeLbl->SetCaption(texts->EndingRangeLabel);
    MinValueEdit->SetHint(texts->StartingRangeHint);
    MinDateEdit->SetHint(texts->StartingRangeHint);
    MaxValueEdit->SetHint(texts->EndingRangeHint);
    MaxDateEdit->SetHint(texts->EndingRangeHint);
    set(MinValueClearButton, texts->BtnClearMin, texts->BtnClearMinHint);
    set(MaxValueClearButton, texts->BtnClearMax, texts->BtnClearMaxHint);
    set(FilterValueClearButton, texts->BtnClearFilterValue, texts->BtnClearFilterValueHint);
    ValueRangeTabSet->SetHint(texts->ValueRangeTabHint);
    setItems(ValueRangeTabSet->Tabs(), {texts->ByValueLabel, texts->ByRangeLabel});
    FieldValueLbl->SetCaption(texts->FieldValueLabel);
    FilterValueEdit->SetHint(texts->FieldValueHint);
    FilterValueCombo->SetHint(texts->FieldValueHint);
    set(MatchTypeGroup, texts->SearchTypeLabel, texts->SearchTypeHint);
    setItems(MatchTypeGroup->Items(), {texts->MatchExactLabel, texts->MatchStartLabel, texts->MatchAnyLabel});
    set(CaseSensitive, texts->CaseSensitiveLabel, texts->CaseSensitiveHint);
    set(Nonmatching, texts->NonMatchingLabel, texts->NonMatchingHint);
    FieldsLbl->SetCaption(texts->FieldsLabel);
}

// ---- showing ----

void TvxFilterDlg::ApplyOptionsToLayout()
{
    if (!HasOption(fdShowOKCancel)) {
        OKButton->SetTop(1000);
        CancelButton->SetTop(1000);
        SetWidth(Width() - OKButton->Width() - 8);
    }
    if (!HasOption(fdShowFieldOrder)) FieldOrder->SetVisible(false);
    if (!HasOption(fdShowViewSummary)) {
        ViewButton->SetVisible(false);
        ClearSearchButton->SetLeft(ViewButton->Left());
    }
    if (!HasOption(fdShowValueRangeTab)) ValueRangeTabSet->SetVisible(false);
    if (!HasOption(fdShowCaseSensitive)) CaseSensitive->SetVisible(false);
    if (!HasOption(fdShowNonMatching)) {
        Nonmatching->SetVisible(false);
        if (HasOption(fdShowCaseSensitive))
            Panel1->SetHeight(Scaled(26));
        else
            Panel1->SetVisible(false);
    } else if (HasOption(fdShowCaseSensitive)) {
        Panel1->SetHeight(Scaled(41));
    } else {
        Panel1->SetHeight(Scaled(26));
        Nonmatching->SetTop(Scaled(5));
    }
    FieldOrder->SetItemIndex(Dialog->SortBy() == fdSortByFieldName ? 0 : 1);
}

void TvxFilterDlg::SelectFirstField()
{
    if (!criteria_.empty()) {
        FieldTabSet->SetTabIndex(SearchedTab);
        for (Integer i = 0; i < FieldsListBox->Items()->Count(); ++i)
            if (FindCriterion(FieldsListBox->Items()->Strings(i))) {
                FieldsListBox->SetItemIndex(i);
                break;
            }
        return;
    }
    std::string label = Dialog->DefaultField();
    if (DataSet)
        if (TField* field = DataSet->FindField(Dialog->DefaultField())) label = Blanked(field->DisplayLabel());
    const Integer index = FieldsListBox->Items()->IndexOf(label);
    if (FieldsListBox->Items()->Count() > 0) FieldsListBox->SetItemIndex(std::max(index, 0));
}

void TvxFilterDlg::ApplyDlgHeight()
{
    const Integer dlgHeight = Dialog->DlgHeight();
    const bool withOrder = HasOption(fdShowFieldOrder);
    FieldsListBox->SetHeight(Scaled(dlgHeight - (withOrder ? 107 : 70)));
    const Integer listBottom = FieldsListBox->Top() + FieldsListBox->Height();
    FieldTabSet->SetTop(listBottom - 1);
    Integer clearTop;
    if (withOrder) {
        FieldOrder->SetTop(FieldTabSet->Top() + FieldTabSet->Height() + Scaled(5));
        clearTop = FieldOrder->Top() + Scaled(8);
    } else {
        clearTop = listBottom - ClearSearchButton->Height();
    }
    ClearSearchButton->SetTop(std::max(clearTop, Scaled(209)));
    SetHeight(Scaled(dlgHeight));
    ViewButton->SetTop(ClearSearchButton->Top());
}

void TvxFilterDlg::FormShow(TObject*)
{
    ApplyOptionsToLayout();
    SelectFirstField();
    ApplyFieldChange(true);
    ChoosePage();
    FocusValue();
    ApplyDlgHeight();
    if (Screen) Screen->SetCursor(crDefault);
    ApplyIntlTexts();
    Dialog->DoInitDialog();
    Changed = DataSet && !DataSet->Active();
}

void TvxFilterDlg::FormActivate(TObject*) { Activated = true; }

void TvxFilterDlg::FormCloseQuery(TObject*, bool& canClose)
{
    if (ModalResult() == mrOk && !ApplyFieldChange(true)) canClose = false;
}

// ---- keys ----

// Up, Down, PageUp and PageDown move the list's selection from another control.
bool TvxFilterDlg::MovesSelection(Word key, TShiftState shift)
{
    const bool upDown = key == VK_UP || key == VK_DOWN;
    if (!upDown && key != VK_PRIOR && key != VK_NEXT) return false;
    if (upDown && shift.Contains(ssAlt)) return false;
    auto* picker = dynamic_cast<TvxDBDateTimePicker*>(ActiveControl());
    if (upDown && picker && !picker->Text().empty()) return false;
    const Integer count = FieldsListBox->Items()->Count();
    if (count == 0) return false;
    const Integer page = std::max(1, FieldsListBox->ClientHeight() / std::max(1, FieldsListBox->ItemHeight()));
    const Integer step = upDown ? 1 : page;
    const Integer current = FieldsListBox->ItemIndex();
    const bool back = key == VK_UP || key == VK_PRIOR;
    const Integer wanted = std::clamp(back ? current - step : current + step, 0, count - 1);
    if (wanted == current) return false;
    FieldsListBox->SetItemIndex(wanted);
    if (ApplyFieldChange(true)) {
        ChoosePage();
        FocusValue();
    }
    return true;
}

void TvxFilterDlg::DeleteSearchedCriterion()
{
    StoreCriterion(SelectedLabel(), fdMatchNone, false, false, "", "", "");
    FillFieldList(false);
    CurrentIndex = -1;
    if (FieldsListBox->Items()->Count() > 0) FieldsListBox->SetItemIndex(0);
    ApplyFieldChange(true);
    ChoosePage();
    FieldsListBox->SetFocus();
}

void TvxFilterDlg::FormKeyDown(TObject*, Word& key, TShiftState shift)
{
    if (ActiveControl() != FieldsListBox) {
        if (MovesSelection(key, shift)) key = 0;
    } else if (FieldTabSet->TabIndex() == SearchedTab && key == VK_DELETE && FieldsListBox->ItemIndex() >= 0) {
        DeleteSearchedCriterion();
        key = 0;
    }
}

// ---- other handlers ----

void TvxFilterDlg::FieldsListBoxClick(TObject*)
{
    if (!ApplyFieldChange(true)) return;
    ChoosePage();
    FieldsListBox->SetFocus();
}

void TvxFilterDlg::FieldOrderClick(TObject*)
{
    const std::string label = SelectedLabel();
    FillFieldList(FieldTabSet->TabIndex() == AllTab);
    SelectLabel(label);
    if (FieldsListBox->CanFocus()) FieldsListBox->SetFocus();
    CurrentIndex = FieldsListBox->ItemIndex();
}

void TvxFilterDlg::FieldTabSetChange(TObject*, Integer newTab, bool& allowChange)
{
    if (!ApplyFieldChange(false)) {
        allowChange = false;
        return;
    }
    if (newTab == SearchedTab && criteria_.empty()) {
        MessageDlg(vxIntl()->UserMessages()->FilterDlgNoCriteria, mtInformation, {mbOK}, 0);
        allowChange = false;
        return;
    }
    const std::string label = SelectedLabel();
    FillFieldList(newTab == AllTab);
    SelectLabel(label);
    CurrentIndex = -1;
    ChoosePage();
    ApplyFieldChange(true);
    if (FieldsListBox->CanFocus()) FieldsListBox->SetFocus();
}

void TvxFilterDlg::ValueRangeTabSetChange(TObject*, Integer newTab, bool& allowChange)
{
    SelectNotebook->SetPageIndex(newTab);
    if (!ApplyFieldChange(false)) {
        allowChange = false;
        return;
    }
    FocusValue();
}

void TvxFilterDlg::MatchTypeGroupClick(TObject*) { ChooseValueControl(); }

void TvxFilterDlg::FilterValueComboChange(TObject*)
{
    if (!ValueControl) return;
    UpdateButtons();
    OKButton->SetEnabled(true);
}

void TvxFilterDlg::MinValueEditChange(TObject* sender) { FilterValueComboChange(sender); }

void TvxFilterDlg::MaxValueEditChange(TObject* sender) { FilterValueComboChange(sender); }

void TvxFilterDlg::FilterValueClearButtonClick(TObject*)
{
    ClearControl(ValueControl);
    FilterValueClearButton->SetEnabled(false);
}

void TvxFilterDlg::MinValueClearButtonClick(TObject*)
{
    ClearControl(MinControl);
    MinValueClearButton->SetEnabled(false);
}

void TvxFilterDlg::MaxValueClearButtonClick(TObject*)
{
    ClearControl(MaxControl);
    MaxValueClearButton->SetEnabled(false);
}

void TvxFilterDlg::ClearSearchButtonClick(TObject*)
{
    criteria_.clear();
    Changed = true;
    ClearControl(ValueControl);
    ClearControl(MinControl);
    ClearControl(MaxControl);
    ClearSearchButton->SetEnabled(false);
    MatchTypeGroup->SetItemIndex(1);
    FieldTabSet->SetTabIndex(AllTab);
}

void TvxFilterDlg::ViewButtonClick(TObject*)
{
    ApplyFieldChange(false);
    if (criteria_.empty()) {
        MessageDlg(vxIntl()->UserMessages()->FilterDlgNoCriteria, mtInformation, {mbOK}, 0);
        return;
    }
    vxShowFilterSummary(Dialog, criteria_);
    TCustomEdit* control = OnRangePage() ? MinControl : ValueControl;
    if (control->CanFocus()) control->SetFocus();
}

void TvxFilterDlg::Publish(TPublisher<TvxFilterDlg>& p)
{
#define FLT_FIELD(name) p.Field(#name, &TvxFilterDlg::name)
#define FLT_METHOD(name) p.Method(#name, &TvxFilterDlg::name)
    FLT_FIELD(FieldsLbl);
    FLT_FIELD(FieldsListBox);
    FLT_FIELD(FieldTabSet);
    FLT_FIELD(FieldOrder);
    FLT_FIELD(FieldCriteria);
    FLT_FIELD(SelectNotebook);
    FLT_FIELD(FieldValueLbl);
    FLT_FIELD(FilterValueCombo);
    FLT_FIELD(FilterValueEdit);
    FLT_FIELD(FilterValueClearButton);
    FLT_FIELD(MatchTypeGroup);
    FLT_FIELD(Panel1);
    FLT_FIELD(CaseSensitive);
    FLT_FIELD(Nonmatching);
    FLT_FIELD(StartingRangeLbl);
    FLT_FIELD(EndingRangeLbl);
    FLT_FIELD(MinValueEdit);
    FLT_FIELD(MaxValueEdit);
    FLT_FIELD(MinDateEdit);
    FLT_FIELD(MaxDateEdit);
    FLT_FIELD(MinValueClearButton);
    FLT_FIELD(MaxValueClearButton);
    FLT_FIELD(ValueRangeTabSet);
    FLT_FIELD(ViewButton);
    FLT_FIELD(ClearSearchButton);
    FLT_METHOD(FormShow);
    FLT_METHOD(FormActivate);
    FLT_METHOD(FormCloseQuery);
    FLT_METHOD(FormKeyDown);
    FLT_METHOD(FieldsListBoxClick);
    FLT_METHOD(FieldOrderClick);
    FLT_METHOD(FieldTabSetChange);
    FLT_METHOD(ValueRangeTabSetChange);
    FLT_METHOD(MatchTypeGroupClick);
    FLT_METHOD(FilterValueComboChange);
    FLT_METHOD(MinValueEditChange);
    FLT_METHOD(MaxValueEditChange);
    FLT_METHOD(FilterValueClearButtonClick);
    FLT_METHOD(MinValueClearButtonClick);
    FLT_METHOD(MaxValueClearButtonClick);
    FLT_METHOD(ClearSearchButtonClick);
    FLT_METHOD(ViewButtonClick);
#undef FLT_FIELD
#undef FLT_METHOD
}
