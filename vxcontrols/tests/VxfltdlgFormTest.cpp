// The filter form and its summary, shown by TvxFilterDialog::Execute on an in-memory dataset and driven with real
// keys and mouse clicks inside the modal loop.
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "rtl/DateTime.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Notebook.h"
#include "vcl/StdCtrls.h"
#include "vcl/Tabs.h"
#include "vxcontrols/Vxdbcomb.h"
#include "vxcontrols/Vxfltdlg.h"
#include "vxcontrols/Vxfltvw.h"
#include "vxcontrols/vxdbdatetimepicker.h"
#include "vxcontrols/vxdbedit.h"
#include "vxcontrols/tests/FilterFormSupport.h"
#include "vxdata/Vxintl.h"

namespace {

using namespace filterdialog;
using Texts = std::vector<std::string>;

class FilterForm : public DialogFixture {
protected:
    void SetUp() override
    {
        DialogFixture::SetUp();
        data->Close();
        data->FieldDefs()->Add("Paid", ftBoolean);
        data->Open();
        Add("Smith", {{"Qty", "5"}});
        Add("Jones", {{"Qty", "10"}});
    }

    // Shows the form through Execute; the script runs inside its modal loop and ends it (Cancel when it does not).
    bool Run(const std::function<void(TvxFilterDlg*)>& script)
    {
        return RunFilterForm(boxes, dialog, script);
    }
};

// ---- value checks ----

TEST_F(FilterForm, ValueChecksByFieldTypeKeepTheFocusOnABadValue)
{
    struct TCase {
        std::string Label, Text;
        bool Valid;
    } const cases[] = {
        {"Qty", "1 or 2", true},    {"Qty", "1 OR 2", true},    {"Qty", "1 and 2", false}, {"Qty", "null", true},
        {"Qty", "3 or NULL", true}, {"Qty", "x1", false},       {"Qty", "1 or b", false},  {"Name", "a and b", true},
        {"Paid", "true", true},     {"Paid", "False or null", true}, {"Paid", "yes", false},
    };
    dialog->SetDefaultFilterBy(fdFilterByValue);
    Run([&](TvxFilterDlg* form) {
        for (const TCase& c : cases) {
            SelectField(form, c.Label);
            ASSERT_EQ(form->SelectNotebook->PageIndex(), 0) << c.Label;
            form->FilterValueEdit->SetFocus();
            form->FilterValueEdit->SetText("");
            TypeText(c.Text);
            EXPECT_EQ(form->IsValidFilterValue(c.Text), c.Valid) << c.Label << " " << c.Text;
            const Integer before = form->FieldsListBox->ItemIndex();
            TypeKey(before == 0 ? VK_DOWN : VK_UP);
            EXPECT_EQ(form->FieldsListBox->ItemIndex() == before, !c.Valid) << c.Label << " " << c.Text;
            if (!c.Valid) {
                EXPECT_TRUE(form->FilterValueEdit->Focused()) << c.Text;
                form->FilterValueEdit->SetText("");
            }
        }
    });
}

TEST_F(FilterForm, OKStaysRefusedWhileARangeBoundIsBad)
{
    dialog->SetDefaultField("Qty");
    Run([&](TvxFilterDlg* form) {
        ASSERT_EQ(form->SelectNotebook->PageIndex(), 1);
        ASSERT_TRUE(form->MinValueEdit->Focused());
        TypeText("ten");
        ClickControl(form->OKButton);
        // the modal loop asks the form when the script returns; ask it now
        EXPECT_FALSE(form->CloseQuery());
        form->SetModalResult(mrNone);
        PumpMessages();
        EXPECT_EQ(form->SelectNotebook->PageIndex(), 1);
        EXPECT_TRUE(form->MinValueEdit->Focused());
        EXPECT_EQ(form->MinValueEdit->SelLength(), 3);
        form->MinValueEdit->SetText("10");
        ClickControl(form->OKButton);
    });
    EXPECT_EQ(Names(), Texts{"Jones"});
}

// A query column that is no field of the dataset is checked by its own type.
TEST_F(FilterForm, RangeValueOfAQueryColumnByItsType)
{
    TSqlMemDataSet::Catalogue = {{"ORDERS", {{"AMOUNT", ftInteger}, {"CITY", ftString, 20}}}};
    data->SQL()->SetText("select * from Orders");
    dialog->SetFilterMethod(fdByQueryModify);
    dialog->SetDefaultField("AMOUNT");
    Run([&](TvxFilterDlg* form) {
        ASSERT_EQ(form->FieldsListBox->Items()->Strings(form->CurrentIndex), "AMOUNT");
        EXPECT_FALSE(form->IsValidRangeValue("many"));
        EXPECT_TRUE(form->IsValidRangeValue("12"));
        SelectField(form, "CITY");
        EXPECT_TRUE(form->IsValidRangeValue("many"));
    });
}

// ---- the working criteria ----

TEST_F(FilterForm, StoreCriterionRemovesAnEmptiedOneAndNotesACaseOnlyChange)
{
    SetCriteria(dialog, {Value("Name", fdMatchStart, "smi")});
    vxApplyLocalFilter(dialog);
    Run([&](TvxFilterDlg* form) {
        ASSERT_EQ(form->FieldTabSet->TabIndex(), 1);
        ASSERT_EQ(form->FilterValueEdit->Text(), "smi");
        EXPECT_FALSE(form->Changed);
        ClickControl(form->CaseSensitive);
        ASSERT_TRUE(form->ApplyFieldChange(false));
        EXPECT_TRUE(form->Changed);
        EXPECT_TRUE(form->FindCriterion("Name")->CaseSensitive);
        form->Changed = false;
        ClickControl(form->FilterValueClearButton);
        ASSERT_TRUE(form->ApplyFieldChange(false));
        EXPECT_EQ(form->FindCriterion("Name"), nullptr);
        EXPECT_TRUE(form->Changed);
        ClickControl(form->OKButton);
    });
    EXPECT_TRUE(dialog->Criteria().empty());
    EXPECT_EQ(Names(), (Texts{"Smith", "Jones"}));
}

// Turning to the range page with a value typed makes no criterion of two empty bounds, and drops the value one.
TEST_F(FilterForm, ARangeIsStoredOnlyWithABound)
{
    SetCriteria(dialog, {Value("Name", fdMatchStart, "smi")});
    Run([&](TvxFilterDlg* form) {
        ClickTab(form->ValueRangeTabSet, 1);
        EXPECT_EQ(form->SelectNotebook->PageIndex(), 1);
        EXPECT_EQ(form->FindCriterion("Name"), nullptr);
        EXPECT_TRUE(form->Criteria().empty());
        TypeText("J");
        ASSERT_TRUE(form->ApplyFieldChange(false));
        ASSERT_NE(form->FindCriterion("Name"), nullptr);
        EXPECT_EQ(form->FindCriterion("Name")->MatchType, fdMatchRange);
        EXPECT_EQ(form->FindCriterion("Name")->MinValue, "J");
    });
}

// A range field of a dataset that is no table matches exactly only; other fields keep the three match types.
TEST_F(FilterForm, ARangeFieldOfAQueryOffersOnlyExactMatching)
{
    dialog->SetDefaultFilterBy(fdFilterByValue);
    Run([&](TvxFilterDlg* form) {
        SelectField(form, "Qty");
        EXPECT_FALSE(form->MatchTypeGroup->Enabled());
        EXPECT_EQ(form->MatchTypeGroup->ItemIndex(), 0);
        EXPECT_FALSE(form->CaseSensitive->Enabled());
        SelectField(form, "Name");
        EXPECT_TRUE(form->MatchTypeGroup->Enabled());
        EXPECT_EQ(form->MatchTypeGroup->ItemIndex(), 1);
        EXPECT_TRUE(form->CaseSensitive->Enabled());
    });
}

TEST_F(FilterForm, ChoosePageByOptionsAndFieldType)
{
    struct TCase {
        std::string Field;
        TvxDefaultFilterBy FilterBy;
        bool RangeTab;
        std::vector<TvxFieldInfo> Criteria;
        Integer Page;
    } const cases[] = {
        {"Qty", fdSmartFilter, true, {}, 1},
        {"Day", fdSmartFilter, true, {}, 1},
        {"Name", fdSmartFilter, true, {}, 0},
        {"Paid", fdSmartFilter, true, {}, 0},
        {"Qty", fdFilterByValue, true, {}, 0},
        {"Name", fdFilterByRange, true, {}, 1},
        {"Name", fdFilterByValue, false, {}, 0},
        {"Name", fdFilterByRange, false, {}, 1},
        {"Qty", fdFilterByRange, true, {Value("Qty", fdMatchExact, "5")}, 0},
        {"Name", fdFilterByValue, true, {Bounds("Name", "A", "")}, 1},
    };
    for (const TCase& c : cases) {
        SetCriteria(dialog, c.Criteria);
        dialog->SetDefaultField(c.Field);
        dialog->SetDefaultFilterBy(c.FilterBy);
        TvxFilterDialogOptions options = dialog->Options();
        if (c.RangeTab) options.Include(fdShowValueRangeTab); else options.Exclude(fdShowValueRangeTab);
        dialog->SetOptions(options);
        Run([&](TvxFilterDlg* form) {
            EXPECT_EQ(form->FieldsListBox->Items()->Strings(form->FieldsListBox->ItemIndex()), c.Field);
            EXPECT_EQ(form->SelectNotebook->PageIndex(), c.Page) << c.Field << " " << Integer(c.FilterBy);
            EXPECT_EQ(form->ValueRangeTabSet->Visible(), c.RangeTab);
            EXPECT_EQ(form->MinDateEdit->Visible(), c.Field == "Day");
        });
    }
}

// The handler's list makes the combo the value control, except for matching anywhere; its mask goes to both.
TEST_F(FilterForm, SelectFieldHandlerGivesTheComboItsListAndBothControlsTheMask)
{
    std::vector<std::string> asked;
    dialog->OnSelectField = [&](TObject*, const std::string& fieldName, std::string& mask, TStrings* list) {
        asked.push_back(fieldName);
        if (fieldName != "Name") return;
        mask = "&*?";
        list->Add("Smith");
        list->Add("Jones");
    };
    dialog->SetDefaultFilterBy(fdFilterByValue);
    dialog->SetDefaultMatchType(fdMatchExact);
    Run([&](TvxFilterDlg* form) {
        ASSERT_EQ(asked, Texts{"Name"});
        EXPECT_EQ(form->ValueControl, form->FilterValueCombo);
        EXPECT_TRUE(form->FilterValueCombo->Visible());
        EXPECT_FALSE(form->FilterValueEdit->Visible());
        EXPECT_TRUE(form->FilterValueCombo->ShowButton());
        EXPECT_TRUE(form->FilterValueCombo->ShowMatchText());
        EXPECT_EQ(form->FilterValueCombo->GetPicture()->PictureMask(), "&*?");
        EXPECT_EQ(form->FilterValueEdit->GetPicture()->PictureMask(), "&*?");
        EXPECT_TRUE(form->FilterValueCombo->UsePictureMask());
        form->FilterValueCombo->SetFocus();
        TypeText("Jo");
        ClickControl(form->MatchTypeGroup->Controls(2));
        EXPECT_EQ(form->ValueControl, form->FilterValueEdit);
        EXPECT_TRUE(form->FilterValueEdit->Visible());
        EXPECT_EQ(form->FilterValueEdit->Text(), form->FilterValueCombo->Text());
        EXPECT_FALSE(form->FilterValueEdit->UsePictureMask());
        SelectField(form, "Qty");
        EXPECT_EQ(form->FilterValueCombo->Items()->Count(), 0);
        EXPECT_EQ(form->FilterValueEdit->GetPicture()->PictureMask(), "");
    });
    EXPECT_EQ(asked.back(), "Qty");
}

TEST_F(FilterForm, OptionsAndDlgHeightLayTheFormOut)
{
    dialog->SetOptions({fdShowValueRangeTab});
    dialog->SetDlgHeight(320);
    dialog->SetSortBy(fdSortByFieldName);
    Run([&](TvxFilterDlg* form) {
        EXPECT_EQ(form->OKButton->Top(), 1000);
        EXPECT_FALSE(form->FieldOrder->Visible());
        EXPECT_FALSE(form->ViewButton->Visible());
        EXPECT_EQ(form->ClearSearchButton->Left(), form->ViewButton->Left());
        EXPECT_FALSE(form->CaseSensitive->Visible());
        EXPECT_FALSE(form->Panel1->Visible());
        EXPECT_EQ(form->Height(), 320);
        EXPECT_EQ(form->FieldsListBox->Height(), 320 - 70);
        EXPECT_EQ(form->FieldTabSet->Top(), form->FieldsListBox->Top() + form->FieldsListBox->Height() - 1);
        EXPECT_EQ(form->ClearSearchButton->Top() + form->ClearSearchButton->Height(),
                  form->FieldsListBox->Top() + form->FieldsListBox->Height());
        EXPECT_EQ(form->FieldOrder->ItemIndex(), 0);
        EXPECT_EQ(form->FieldsListBox->Items()->Strings(0), "Day");  // alphabetic
        PumpMessages();
        EXPECT_TRUE(SaveWindowToPng(form->Handle(), "vxfltdlg-few-options.png"));
    });
}

TEST_F(FilterForm, FieldOrderAndNewSearch)
{
    SetCriteria(dialog, {Value("Qty", fdMatchExact, "5")});
    vxApplyLocalFilter(dialog);
    const bool ok = Run([&](TvxFilterDlg* form) {
        ClickTab(form->FieldTabSet, 0);
        ClickControl(form->FieldOrder->Controls(0));
        EXPECT_EQ(form->FieldsListBox->Items()->Strings(0), "Day");
        EXPECT_EQ(form->FieldsListBox->Items()->Strings(form->FieldsListBox->ItemIndex()), "Qty");
        ClickControl(form->FieldOrder->Controls(1));
        EXPECT_EQ(form->FieldsListBox->Items()->Strings(0), "Name");
        ASSERT_TRUE(form->ClearSearchButton->Enabled());
        ClickControl(form->ClearSearchButton);
        EXPECT_TRUE(form->Criteria().empty());
        EXPECT_TRUE(form->Changed);
        EXPECT_FALSE(form->ClearSearchButton->Enabled());
        EXPECT_EQ(form->MatchTypeGroup->ItemIndex(), 1);
        form->OKButton->SetEnabled(true);
        ClickControl(form->OKButton);
    });
    EXPECT_TRUE(ok);
    EXPECT_TRUE(dialog->Criteria().empty());
    EXPECT_EQ(Names(), (Texts{"Smith", "Jones"}));
}

// ---- keys ----

TEST_F(FilterForm, UpDownAndPageKeysMoveTheFieldListFromTheValueControls)
{
    dialog->SetDefaultFilterBy(fdFilterByValue);
    Run([&](TvxFilterDlg* form) {
        TListBox* list = form->FieldsListBox;
        const Integer last = list->Items()->Count() - 1;
        ASSERT_EQ(list->ItemIndex(), 0);
        ASSERT_TRUE(form->FilterValueEdit->Focused());
        TypeKey(VK_DOWN);
        EXPECT_EQ(list->ItemIndex(), 1);
        EXPECT_EQ(form->CurrentIndex, 1);
        EXPECT_TRUE(form->FilterValueEdit->Focused());
        TypeKey(VK_UP);
        EXPECT_EQ(list->ItemIndex(), 0);
        TypeKey(VK_UP);  // at the top the key goes on
        EXPECT_EQ(list->ItemIndex(), 0);
        TypeKey(VK_NEXT);
        EXPECT_EQ(list->ItemIndex(), last);  // a page holds more rows than there are fields
        TypeKey(VK_PRIOR);
        EXPECT_EQ(list->ItemIndex(), 0);
        TypeKey(VK_DOWN, {ssAlt});
        EXPECT_EQ(list->ItemIndex(), 0);
    });
}

TEST_F(FilterForm, ADatePickerWithTextKeepsUpAndDown)
{
    dialog->SetDefaultField("Day");
    Run([&](TvxFilterDlg* form) {
        ASSERT_TRUE(form->MinDateEdit->Visible());
        ASSERT_TRUE(form->MinDateEdit->Focused());
        ASSERT_EQ(form->MinDateEdit->Text(), "");
        TypeKey(VK_DOWN);  // an empty picker lets the list move
        EXPECT_EQ(form->FieldsListBox->Items()->Strings(form->FieldsListBox->ItemIndex()), "Price");
        TypeKey(VK_UP);
        ASSERT_TRUE(form->MinDateEdit->Focused());
        form->MinDateEdit->SetCleared(false);
        form->MinDateEdit->SetDate(EncodeDate(2024, 5, 6));
        ASSERT_FALSE(form->MinDateEdit->Text().empty());
        TypeKey(VK_DOWN);
        EXPECT_EQ(form->FieldsListBox->Items()->Strings(form->FieldsListBox->ItemIndex()), "Day");
        TypeKey(VK_NEXT);  // page keys still move the list
        EXPECT_NE(form->FieldsListBox->Items()->Strings(form->FieldsListBox->ItemIndex()), "Day");
    });
}

TEST_F(FilterForm, DeleteRemovesTheCriterionOnlyOnTheSearchedTab)
{
    SetCriteria(dialog, {Value("Name", fdMatchStart, "s"), Bounds("Qty", "1", "")});
    Run([&](TvxFilterDlg* form) {
        TListBox* list = form->FieldsListBox;
        ASSERT_EQ(form->FieldTabSet->TabIndex(), 1);
        EXPECT_EQ(list->Items()->Count(), 2);
        ClickControl(list);
        list->SetItemIndex(0);
        TypeKey(VK_DELETE);
        EXPECT_EQ(list->Items()->Count(), 1);
        EXPECT_EQ(list->Items()->Strings(0), "Qty");
        EXPECT_EQ(form->FindCriterion("Name"), nullptr);
        EXPECT_TRUE(list->Focused());
        ClickTab(form->FieldTabSet, 0);
        ASSERT_EQ(form->FieldTabSet->TabIndex(), 0);
        const Integer count = list->Items()->Count();
        ClickControl(list);
        TypeKey(VK_DELETE);
        EXPECT_EQ(list->Items()->Count(), count);
        EXPECT_NE(form->FindCriterion("Qty"), nullptr);
    });
}

TEST_F(FilterForm, SearchedTabWithoutCriteriaIsRefused)
{
    Run([&](TvxFilterDlg* form) {
        ClickTab(form->FieldTabSet, 1);
        EXPECT_EQ(form->FieldTabSet->TabIndex(), 0);
    });
    ASSERT_FALSE(boxes.Shown.empty());
    EXPECT_EQ(boxes.Shown.back().Text, vxIntl()->UserMessages()->FilterDlgNoCriteria);
}

// ---- the summary ----

TEST(FilterSummary, RowsForValueNonMatchingAndRangeCriteria)
{
    TvxFilterDialog dialog(nullptr);
    struct TCase {
        TvxFieldInfo Criterion;
        Texts Row;
    } const cases[] = {
        {Value("Name", fdMatchStart, "smi"), {"Name", "Partial Match at Beginning", "smi"}},
        {Value("Name", fdMatchAny, "x"), {"Name", "Partial Match Anywhere", "x"}},
        {Value("Name", fdMatchExact, "x", false, true), {"Name", "Exact Match", "NOT x"}},
        {Value("Name", fdMatchExact, "a or b", false, true), {"Name", "Exact Match", "NOT (a or b)"}},
        {Bounds("Qty", "1", "9"), {"Qty", "By Range", ">=1, <=9"}},
        {Bounds("Qty", "1", ""), {"Qty", "By Range", ">=1"}},
        {Bounds("Qty", "", "9"), {"Qty", "By Range", "<=9"}},
    };
    for (const TCase& c : cases) EXPECT_EQ(vxFilterSummaryRow(&dialog, c.Criterion), c.Row);
}

TEST_F(FilterForm, ViewSummaryShowsTheWorkingCriteriaAndScrollsWhenTheyExceedTheGrid)
{
    for (Integer i = 0; i < 9; ++i) data->FieldDefs()->Add("Extra" + std::to_string(i), ftString, 8);
    data->Close();
    data->Open();
    std::vector<TvxFieldInfo> many;
    for (Integer i = 0; i < 9; ++i) many.push_back(Value("Extra" + std::to_string(i), fdMatchExact, "v"));
    for (const auto& [criteria, scrolls, picture] :
         {std::tuple{std::vector<TvxFieldInfo>{Value("Name", fdMatchStart, "s", false, true), Bounds("Qty", "1", "9")},
                     false, "vxfltvw-summary.png"},
          std::tuple{many, true, "vxfltvw-summary-scrolled.png"}}) {
        SetCriteria(dialog, criteria);
        TStringGrid* grid = nullptr;
        Run([&](TvxFilterDlg* form) {
            boxes.AnswerNextModalForm([&](TCustomForm* view) {
                grid = dynamic_cast<TvxFilterDialogView*>(view)->StringGrid1;
                PumpMessages();
                EXPECT_EQ(grid->RowCount(), Integer(criteria.size()) + 1);
                EXPECT_EQ(grid->Cells(0, 0), "Field");
                EXPECT_EQ(grid->Cells(0, 1), criteria[0].DisplayLabel);
                EXPECT_EQ(grid->ScrollBars() == ssVertical, scrolls);
                if (scrolls) {
                    grid->SetFocus();
                    for (Integer i = 0; i < 12; ++i) TypeKey(VK_DOWN);
                    EXPECT_GT(grid->TopRow(), 1);
                }
                EXPECT_TRUE(SaveWindowToPng(view->Handle(), picture));
                ClickControl(dynamic_cast<TvxFilterDialogView*>(view)->OKButton);
            });
            ClickControl(form->ViewButton);
            EXPECT_NE(grid, nullptr);
        });
    }
}

// ---- pictures of the form ----

TEST_F(FilterForm, PicturesByValueAndByRangeWithDatePickers)
{
    SetCriteria(dialog, {Value("Name", fdMatchStart, "smi")});
    dialog->SetOptions(dialog->Options() + TvxFilterDialogOptions{fdShowNonMatching});
    Run([&](TvxFilterDlg* form) {
        EXPECT_EQ(form->Caption(), "");
        EXPECT_EQ(form->Height(), 267);
        EXPECT_TRUE(form->FilterValueEdit->Visible());
        PumpMessages();
        EXPECT_TRUE(SaveWindowToPng(form->Handle(), "vxfltdlg-by-value.png"));
        ClickTab(form->FieldTabSet, 0);
        SelectField(form, "Day");
        EXPECT_EQ(form->SelectNotebook->PageIndex(), 1);
        form->MinDateEdit->SetFocus();
        form->MinDateEdit->SetCleared(false);
        form->MinDateEdit->SetDate(EncodeDate(2020, 3, 4));
        PumpMessages();
        EXPECT_TRUE(SaveWindowToPng(form->Handle(), "vxfltdlg-by-range-dates.png"));
    });
}

}  // namespace
