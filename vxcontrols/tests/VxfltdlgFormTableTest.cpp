// A full pass of the filter dialog on the library's table over a client file: the form opens, the user types two
// criteria, OK filters the table to the matching records and Cancel leaves it as it was.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "db/DataSource.h"
#include "engine/bk/BkSession.h"
#include "engine/tests/support/HostClientsSupport.h"
#include "rtl/StringRoutines.h"
#include "rtl/WinApi.h"
#include "tools/mkdemo/DemoRegistry.h"
#include "tools/mkdemo/MachineRegistryOverride.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Notebook.h"
#include "vxcontrols/Vxfltdlg.h"
#include "vxcontrols/tests/FilterFormSupport.h"
#include "vxcontrols/vxdbedit.h"
#include "vxdata/Vxtable.h"
#include "vxdata/tests/FilterDialogTableFixture.h"

namespace {

namespace fs = std::filesystem;
using Codes = std::vector<std::string>;
using namespace filterdialog;

class FilterFormOnClientTable : public FilterDialogTableFixture {
protected:
    // Codes B to D by range, last names starting with "brown" or "young" by value.
    void EnterTwoCriteria(TvxFilterDlg* form)
    {
        SelectField(form, "Client Code");
        ClickTab(form->ValueRangeTabSet, 1);
        ASSERT_TRUE(form->MinValueEdit->Focused());
        TypeText("B");
        form->MaxValueEdit->SetFocus();
        TypeText("D");
        SelectField(form, "Client Last Name");
        ASSERT_EQ(form->SelectNotebook->PageIndex(), 0);
        form->FilterValueEdit->SetFocus();
        TypeText("brown or young");
    }

    TScriptedDialogs boxes_;
};

const Codes Everyone = {"ACME", "BAKER", "CARTER", "DELTA", "EVANS"};

TEST_F(FilterFormOnClientTable, OKFiltersTheTableToTheMatchingRecords)
{
    const bool ok = RunFilterForm(boxes_, dialog_, [&](TvxFilterDlg* form) {
        EnterTwoCriteria(form);
        ClickControl(form->OKButton);
    });
    EXPECT_TRUE(ok);
    ASSERT_EQ(dialog_->Criteria().size(), 2u);
    EXPECT_EQ(dialog_->Criteria()[0]->FieldName, "Client Code");
    EXPECT_EQ(AllCodes(), (Codes{"BAKER", "DELTA"}));
}

TEST_F(FilterFormOnClientTable, CancelLeavesTheTableUnchanged)
{
    const bool ok = RunFilterForm(boxes_, dialog_, [&](TvxFilterDlg* form) {
        EnterTwoCriteria(form);
        ClickControl(form->CancelButton);
    });
    EXPECT_FALSE(ok);
    EXPECT_TRUE(dialog_->Criteria().empty());
    EXPECT_EQ(AllCodes(), Everyone);
}

// On a table a range field keeps all three match types.
TEST_F(FilterFormOnClientTable, ATableKeepsEveryMatchTypeForARangeField)
{
    RunFilterForm(boxes_, dialog_, [&](TvxFilterDlg* form) {
        for (Integer i = 0; i < form->FieldsListBox->Items()->Count(); ++i) {
            const std::string label = form->FieldsListBox->Items()->Strings(i);
            if (!form->IsRangeField(label)) continue;
            SelectField(form, label);
            EXPECT_TRUE(form->MatchTypeGroup->Enabled()) << label;
            return;
        }
        ADD_FAILURE() << "no range field";
    });
}

}  // namespace
