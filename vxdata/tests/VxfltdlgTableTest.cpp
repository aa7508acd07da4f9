// The filter dialog's key range on the library's table over a client file (index 1 Client Code, case-sensitive;
// index 3 Client Last Name + First Name, case-insensitive), and the record filter inside it.
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
#include "vcl/TestHelpers.h"
#include "vxdata/Vxfltdlg.h"
#include "vxdata/Vxfltdum.h"
#include "vxdata/Vxtable.h"
#include "vxdata/tests/FilterDialogTableFixture.h"

namespace {

namespace fs = std::filesystem;
using Codes = std::vector<std::string>;

TvxFieldInfo Criterion(const std::string& label, TvxFilterMatchType type, const std::string& value,
                       bool caseSensitive, bool nonMatching = false)
{
    TvxFieldInfo criterion;
    criterion.DisplayLabel = label;
    criterion.MatchType = type;
    criterion.Value = value;
    criterion.CaseSensitive = caseSensitive;
    criterion.NonMatching = nonMatching;
    return criterion;
}

TvxFieldInfo Range(const std::string& label, const std::string& minValue, const std::string& maxValue,
                   bool caseSensitive)
{
    TvxFieldInfo criterion = Criterion(label, fdMatchRange, "", caseSensitive);
    criterion.MinValue = minValue;
    criterion.MaxValue = maxValue;
    return criterion;
}

class FilterOnClientTable : public FilterDialogTableFixture {
protected:
    void SetCriteria(const std::vector<TvxFieldInfo>& criteria)
    {
        dialog_->Criteria().clear();
        for (const TvxFieldInfo& criterion : criteria)
            dialog_->Criteria().push_back(std::make_unique<TvxFieldInfo>(criterion));
    }
};

const Codes Everyone = {"ACME", "BAKER", "CARTER", "DELTA", "EVANS"};

TEST_F(FilterOnClientTable, ActiveIndexRangeFromTheFirstQualifyingCriterion)
{
    struct TCase {
        const char* Name;
        std::vector<TvxFieldInfo> Criteria;
        Codes InRange;
    } const cases[] = {
        {"exact", {Criterion("Client Code", fdMatchExact, "BAKER", true)}, {"BAKER"}},
        {"start", {Criterion("Client Code", fdMatchStart, "D", true)}, {"DELTA"}},
        {"both bounds", {Range("Client Code", "B", "D", true)}, {"BAKER", "CARTER", "DELTA"}},
        {"from", {Range("Client Code", "D", "", true)}, {"DELTA", "EVANS"}},
        {"up to", {Range("Client Code", "", "B", true)}, {"ACME", "BAKER"}},
        // a case-insensitive criterion on a case-sensitive index would hide "BAKER"
        {"other case", {Criterion("Client Code", fdMatchExact, "baker", false)}, Everyone},
        {"other field", {Criterion("Client Last Name", fdMatchExact, "Clark", true)}, Everyone},
        {"non-matching", {Criterion("Client Code", fdMatchExact, "BAKER", true, true)}, Everyone},
        {"operator word", {Criterion("Client Code", fdMatchExact, "ACME or BAKER", true)}, Everyone},
        {"first only",
         {Criterion("Client Last Name", fdMatchExact, "Zeta", true), Criterion("Client Code", fdMatchExact, "EVANS", true),
          Criterion("Client Code", fdMatchExact, "ACME", true)},
         {"EVANS"}},
    };
    dialog_->SetFilterOptimization(fdUseActiveIndex);
    for (const TCase& c : cases) {
        SetCriteria(c.Criteria);
        vxApplyIndexRange(dialog_);
        EXPECT_EQ(AllCodes(), c.InRange) << c.Name;
        EXPECT_EQ(dialog_->RangeApplied, c.InRange != Everyone) << c.Name;
    }
}

// Without an index of the criterion's case sensitivity, one of the other serves.
TEST_F(FilterOnClientTable, AllIndexesSwitchToAnIndexOnTheField)
{
    dialog_->SetFilterOptimization(fdUseAllIndexes);
    SetCriteria({Criterion("Client Code", fdMatchStart, "x", true, true),
                 Criterion("Client Last Name", fdMatchStart, "Cl", true)});
    vxApplyIndexRange(dialog_);
    EXPECT_EQ(table_->IndexName(), " 3 - Client Last Name+Client First Name");
    EXPECT_TRUE(dialog_->RangeApplied);
    EXPECT_EQ(AllCodes(), Codes{"EVANS"});

    // The next run removes the range first.
    dialog_->SetFilterOptimization(fdNone);
    vxApplyIndexRange(dialog_);
    EXPECT_FALSE(dialog_->RangeApplied);
    EXPECT_EQ(AllCodes().size(), 5u);
}

TEST_F(FilterOnClientTable, TheRecordFilterRunsInsideTheRange)
{
    dialog_->SetFilterOptimization(fdUseActiveIndex);
    SetCriteria({Criterion("Client Code", fdMatchStart, "baker or delta", false)});
    vxApplyLocalFilter(dialog_);
    EXPECT_EQ(AllCodes(), (Codes{"BAKER", "DELTA"}));
    SetCriteria({Range("Client Code", "B", "C", true), Criterion("Client Last Name", fdMatchAny, "o", false)});
    vxApplyLocalFilter(dialog_);
    EXPECT_TRUE(dialog_->RangeApplied);
    EXPECT_EQ(AllCodes(), Codes{"BAKER"});
    SetCriteria({});
    vxApplyLocalFilter(dialog_);
    EXPECT_EQ(AllCodes(), Everyone);
}

}  // namespace
