// TvxFilterDlg: the modal form a filter dialog shows (form file TVXFILTERDLG). The searchable fields on the left;
// on the right the selected field's criterion, by value (a value, how to match it, case and non-matching switches)
// or by range (a starting and an ending value; date pickers for date fields). The form edits its own copy of the
// criteria and checks what was typed before the selection moves or OK closes it.
//
// Linking this library installs the form as the one TvxFilterDialog::Execute shows.
#pragma once

#include <string>

#include "vcl/Forms.h"
#include "vxdata/Vxfltdlg.h"

class TBitBtn;
class TButton;
class TCheckBox;
class TCustomEdit;
class TEdit;
class TGroupBox;
class TLabel;
class TListBox;
class TNotebook;
class TPanel;
class TRadioGroup;
class TTabSet;
class TvxDBComboBox;
class TvxDBCustomEdit;
class TvxDBDateTimePicker;
class TvxDBEdit;

class TvxFilterDlg : public TForm, public IvxFilterForm {
    DUN_CLASS(TvxFilterDlg, TForm)
public:
    TvxFilterDlg(TComponent* owner, TvxFilterDialog* dialog);
    ~TvxFilterDlg() override;
    void AfterConstruction() override;
    static void Publish(TPublisher<TvxFilterDlg>& p);

    // IvxFilterForm
    TCustomForm* Window() override { return this; }
    // Fills the field list: every searchable field (all), or only those with a criterion.
    void FillFieldList(bool all) override;
    bool CriteriaChanged() override { return Changed; }
    const TvxFieldInfoList& Criteria() override { return criteria_; }

    // The working criterion of the label ("~" read as blank, case ignored); nullptr for none.
    TvxFieldInfo* FindCriterion(const std::string& label);
    // Updates, adds or removes the label's working criterion; notes any difference in Changed.
    void StoreCriterion(const std::string& label, TvxFilterMatchType matchType, bool nonMatching, bool caseSensitive,
                        const std::string& maxValue, const std::string& minValue, const std::string& value);
    TFieldType GetFieldType(const std::string& label);
    bool IsRangeField(const std::string& label);
    // Stores the criterion being edited and loads the selected field's; false (the bad control focused, the list
    // kept on the edited field) when a typed value is invalid.
    bool ApplyFieldChange(bool reload);
    void ChoosePage();
    void ChooseValueControl();
    void FocusValue();
    void UpdateButtons();
    void ApplyIntlTexts();
    bool IsValidFilterValue(const std::string& text);
    bool IsValidRangeValue(const std::string& text);

    // Published handlers.
    void FormShow(TObject* sender);
    void FormActivate(TObject* sender);
    void FormCloseQuery(TObject* sender, bool& canClose);
    void FormKeyDown(TObject* sender, Word& key, TShiftState shift);
    void FieldsListBoxClick(TObject* sender);
    void FieldOrderClick(TObject* sender);
    void FieldTabSetChange(TObject* sender, Integer newTab, bool& allowChange);
    void ValueRangeTabSetChange(TObject* sender, Integer newTab, bool& allowChange);
    void MatchTypeGroupClick(TObject* sender);
    void FilterValueComboChange(TObject* sender);
    void MinValueEditChange(TObject* sender);
    void MaxValueEditChange(TObject* sender);
    void FilterValueClearButtonClick(TObject* sender);
    void MinValueClearButtonClick(TObject* sender);
    void MaxValueClearButtonClick(TObject* sender);
    void ClearSearchButtonClick(TObject* sender);
    void ViewButtonClick(TObject* sender);

    // Components of the form file.
    TLabel* FieldsLbl = nullptr;
    TListBox* FieldsListBox = nullptr;
    TTabSet* FieldTabSet = nullptr;
    TRadioGroup* FieldOrder = nullptr;
    TGroupBox* FieldCriteria = nullptr;
    TNotebook* SelectNotebook = nullptr;
    TLabel* FieldValueLbl = nullptr;
    TvxDBComboBox* FilterValueCombo = nullptr;
    TvxDBEdit* FilterValueEdit = nullptr;
    TBitBtn* FilterValueClearButton = nullptr;
    TRadioGroup* MatchTypeGroup = nullptr;
    TPanel* Panel1 = nullptr;
    TCheckBox* CaseSensitive = nullptr;
    TCheckBox* Nonmatching = nullptr;
    TLabel* StartingRangeLbl = nullptr;
    TLabel* EndingRangeLbl = nullptr;
    TEdit* MinValueEdit = nullptr;
    TEdit* MaxValueEdit = nullptr;
    TvxDBDateTimePicker* MinDateEdit = nullptr;
    TvxDBDateTimePicker* MaxDateEdit = nullptr;
    TBitBtn* MinValueClearButton = nullptr;
    TBitBtn* MaxValueClearButton = nullptr;
    TTabSet* ValueRangeTabSet = nullptr;
    TButton* ViewButton = nullptr;
    TButton* ClearSearchButton = nullptr;

    TvxFilterDialog* Dialog;
    TDataSet* DataSet = nullptr;
    // The list entry whose criterion the controls show; -1 for none.
    Integer CurrentIndex = -1;
    // Criteria are stored only once the form was activated.
    bool Activated = false;
    TCustomEdit* MinControl = nullptr;
    TCustomEdit* MaxControl = nullptr;
    TvxDBCustomEdit* ValueControl = nullptr;
    TButton* OKButton = nullptr;
    TButton* CancelButton = nullptr;
    // The working criteria differ from what was applied.
    bool Changed = false;

private:
    Integer Scaled(Integer value) const;
    TvxFieldOperators* Operators() const { return Dialog->FieldOperators(); }
    bool HasOption(TvxFilterDialogOption option) const { return Dialog->Options().Contains(option); }
    std::string SelectedLabel();
    void SelectLabel(const std::string& label);
    // Turns the notebook and the value/range tab set to the page without asking the tab set's handler.
    void ShowPage(Integer page);
    bool OnRangePage() const;
    std::string RangeText(TCustomEdit* control) const;
    void SetRangeText(TCustomEdit* control, const std::string& text);
    void ClearControl(TCustomEdit* control);
    bool RefuseValue(Integer page, TCustomEdit* control);
    void StoreEditedCriterion(const std::string& label);
    void LoadCriterion(const std::string& label, bool reload);
    void ChooseRangeControls(TFieldType fieldType);
    void AskSelectField(const std::string& label);
    void EnableMatchControls(const std::string& label);
    bool IsValidText(TFieldType fieldType, const std::string& text) const;
    bool MovesSelection(Word key, TShiftState shift);
    void DeleteSearchedCriterion();
    void ApplyOptionsToLayout();
    void SelectFirstField();
    void ApplyDlgHeight();

    TvxFieldInfoList criteria_;
};
