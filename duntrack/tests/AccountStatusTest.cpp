// The account status of a case and of a whole client on fixture host files, with "today" fixed at 30 June 2026;
// every expected figure is worked out by hand from the rows below.
#include <gtest/gtest.h>

#include "TrackingFixture.h"
#include "duntrack/AccountStatus.h"
#include "hostdata/DateFmtu.h"

namespace {

const std::string S1 = Suffix("1"), S2 = Suffix("2");

// The text "%15n" gives: right-justified in 15.
std::string Shown(const std::string& amount) { return std::string(15 - amount.size(), ' ') + amount; }

class AccountStatus : public TrackingTest {
protected:
    void MakeFiles(THostDataDir& dir) override
    {
        AddCaseRows(dir, {{"ACME", "1",
                           {{"CTD act fees", 1000}, {"CTD dir cost", 200}, {"CTD indirect cost", 100},
                            {"CTD fee billings", 500}, {"CTD DC Billings", 60}, {"CTD IC Billings", 40},
                            {"CTD fee payments", -300}, {"CTD DC Payments", -30}, {"CTD IC Payments", -20}}},
                          {"ACME", "2", {{"CTD act fees", 10}, {"CTD fee payments", -5}}},
                          {"NEG", "1"}});
        AddFees(dir, "fee.qf", {{"ACME", S1, "F", "", DaysAgo(3), 0, 0, 0, 100},
                                {"ACME", S1, "F", "", DaysAgo(40), 0, 0, 0, 50, "00000001"},
                                {"ACME", S1, "C", "I", DaysAgo(3), 0, 0, 0, 20},
                                {"ACME", S1, "C", "D", DaysAgo(3), 0, 0, 0, 30},
                                {"ACME", S2, "F", "", DaysAgo(3), 0, 0, 0, 7}});
        AddBills(dir, "bill.qf",
                 {// invoice 1, 30 days old, billed twice under two statuses, paid 40: 70
                  {"ACME", S1, "B", DaysAgo(30), "", "00000001", {100}},
                  {"ACME", S1, "B", DaysAgo(30), "P", "00000001", {10}},
                  {"ACME", S1, "P", DaysAgo(20), "", "00000001", {-40}},
                  {"ACME", S1, "B", DaysAgo(31), "", "00000002", {200}},
                  {"ACME", S1, "B", DaysAgo(120), "", "00000003", {0, 50}},
                  {"ACME", S1, "B", DaysAgo(121), "", "00000004", {300}},
                  {"ACME", S1, "B", DaysAgo(-5), "", "00000005", {25}},   // in the future
                  {"ACME", S1, "B", "261340", "", "00000006", {999}},     // no such date
                  {"ACME", S2, "B", DaysAgo(61), "", "00000007", {400}},
                  // invoice 8 bills both cases, 90 days ago: 100
                  {"ACME", S1, "B", DaysAgo(90), "", "00000008", {60}},
                  {"ACME", S2, "B", DaysAgo(90), "", "00000008", {40}},
                  {"ACME", S1, "B", DaysAgo(10), "", "00000009", {15}, "", "F"},  // frozen
                  // open retainers
                  {"ACME", S1, "P", DaysAgo(5), "", "", {0, 0, 0, 0, 0, -30}},
                  {"ACME", S1, "A", DaysAgo(3), "", "", {0, 0, 0, 0, 0, -5}},
                  {"ACME", S2, "P", DaysAgo(40), "", "", {0, 0, 0, 0, 0, -100}},
                  {"NEG", S1, "P", DaysAgo(40), "", "", {0, 0, 0, 0, 0, -80}}});
        AddBills(dir, "hbill.qf", {{"ACME", S1, "P", DaysAgo(200), "", "00000000", {-500}},
                                   {"ACME", S2, "P", DaysAgo(2), "", "00000000", {-60, -5}}});
    }

    TAccountStatus Read(const std::string& client, const std::string& suffix)
    {
        return TAccountStatusReader(dm_, folder_).Read(client, suffix);
    }
};

TEST_F(AccountStatus, AgeBucketCountsWholeDaysFromToday)
{
    const struct {
        std::string HostDate;
        Integer Bucket;
    } cases[] = {{DaysAgo(-30), 1}, {DaysAgo(0), 1},   {DaysAgo(1), 1},   {DaysAgo(30), 1}, {DaysAgo(31), 2},
                 {DaysAgo(60), 2},  {DaysAgo(61), 3},  {DaysAgo(90), 3},  {DaysAgo(91), 4}, {DaysAgo(120), 4},
                 {DaysAgo(121), 5}, {DaysAgo(900), 5}, {"261340", 0},     {"AB0101", 0},    {"", 0}};
    for (const auto& c : cases) EXPECT_EQ(AgeBucket(c.HostDate), c.Bucket) << c.HostDate;
    EXPECT_FALSE(HostDateError);
    EXPECT_TRUE(dialogs_->Shown.empty());
}

TEST_F(AccountStatus, ACaseShowsItsOwnFigures)
{
    const TAccountStatus status = Read("ACME", "1");
    EXPECT_DOUBLE_EQ(status.TotalARForMinimum(), 725);
    const TAccountStatusTexts texts = AccountStatusTexts(status, true);
    EXPECT_EQ(texts.WIPFees, Shown("100.00"));
    EXPECT_EQ(texts.WIPCosts, Shown("50.00"));
    // <30: invoices 1 (70), 5 (25, future), 9 (15, its frozen mark left out) and the retainers (-35);
    // 31-60: invoice 2; 61-90: invoice 8 whole (both cases); 91-120: invoice 3; >120: invoice 4; invoice 6 none.
    const std::array<std::string, 5> buckets = {Shown("75.00"), Shown("200.00"), Shown("100.00"), Shown("50.00"),
                                                 Shown("300.00")};
    EXPECT_EQ(texts.Buckets, buckets);
    EXPECT_EQ(texts.TotalAR, Shown("725.00"));
    EXPECT_EQ(texts.CTDFeeDollars, Shown("1,000.00"));
    EXPECT_EQ(texts.CTDCostDollars, Shown("300.00"));
    EXPECT_EQ(texts.CTDFeeBillings, Shown("500.00"));
    EXPECT_EQ(texts.CTDCostBillings, Shown("100.00"));
    EXPECT_EQ(texts.CTDFeePayments, Shown("300.00"));
    EXPECT_EQ(texts.CTDCostPayments, Shown("50.00"));
    EXPECT_EQ(texts.NumCases, "");
    // The latest payment of the case: the retainer five days ago (bill.qf), not the history's older one.
    EXPECT_EQ(texts.PmtAmt, "30.00");
    EXPECT_EQ(texts.PmtDate, "06/25/2026");
    EXPECT_TRUE(dialogs_->Shown.empty());
}

TEST_F(AccountStatus, AWholeClientSumsItsCasesAndCountsThem)
{
    const TAccountStatus status = Read("ACME", "");
    EXPECT_EQ(status.CaseCount, 2);
    const TAccountStatusTexts texts = AccountStatusTexts(status, false);
    EXPECT_EQ(texts.WIPFees, Shown("107.00"));
    EXPECT_EQ(texts.WIPCosts, Shown("50.00"));
    // Invoice 8 once although two cases list it; case 2 adds invoice 7 (61 days) and its retainer (-100).
    const std::array<std::string, 5> buckets = {Shown("-25.00"), Shown("200.00"), Shown("500.00"), Shown("50.00"),
                                                 Shown("300.00")};
    EXPECT_EQ(texts.Buckets, buckets);
    EXPECT_EQ(texts.TotalAR, Shown("1,025.00"));
    EXPECT_EQ(texts.CTDFeeDollars, Shown("1,010.00"));
    EXPECT_EQ(texts.CTDFeePayments, Shown("305.00"));
    EXPECT_EQ(texts.CTDCostPayments, Shown("50.00"));
    EXPECT_EQ(texts.NumCases, "Number of Cases:  2");
    // The latest payment of any case: case 2's in the history file two days ago.
    EXPECT_EQ(texts.PmtAmt, "65.00");
    EXPECT_EQ(texts.PmtDate, "06/28/2026");
    EXPECT_TRUE(dialogs_->Shown.empty());
}

TEST_F(AccountStatus, DayFirstDatesAndANegativeTotal)
{
    ShortDateFormat = "d/M/yyyy";
    EXPECT_EQ(AccountStatusTexts(Read("ACME", "1"), true).PmtDate, "25/06/2026");
    const TAccountStatus negative = Read("NEG", "");
    EXPECT_EQ(AccountStatusTexts(negative, false).TotalAR, Shown("-80.00"));
    EXPECT_DOUBLE_EQ(negative.TotalARForMinimum(), 0);
    // The retainer is its last payment; no payment sum shows as "-0.00".
    EXPECT_EQ(AccountStatusTexts(negative, false).PmtAmt, "80.00");
    EXPECT_EQ(AccountStatusTexts(negative, false).CTDFeePayments, Shown("0.00"));
}

class AccountStatusWithoutFiles : public TrackingTest {
protected:
    void MakeFiles(THostDataDir& dir) override
    {
        AddCaseRows(dir, {{"ACME", "1", {{"CTD act fees", 1000}}}});
        AddFees(dir, "fee.qf", {{"ACME", S1, "F", "", DaysAgo(3), 0, 0, 0, 100}});
    }
};

TEST_F(AccountStatusWithoutFiles, ABlockThatCannotBeReadShowsNothing)
{
    const TAccountStatus status = TAccountStatusReader(dm_, folder_).Read("ACME", "1");
    const TAccountStatusTexts texts = AccountStatusTexts(status, true);
    EXPECT_EQ(texts.WIPFees, Shown("100.00"));
    // No bill file: receivables, case-to-date and last payment are all cleared, not left from another account.
    EXPECT_FALSE(status.ReceivablesRead);
    EXPECT_FALSE(status.CaseToDateRead);
    EXPECT_EQ(texts.TotalAR, "");
    EXPECT_EQ(texts.Buckets[0], "");
    EXPECT_EQ(texts.CTDFeeDollars, "");
    EXPECT_EQ(texts.PmtAmt, "");
    ASSERT_FALSE(dialogs_->Shown.empty());
    EXPECT_NE(dialogs_->Shown[0].Text.find("Unable to open the current period billing file."), std::string::npos);
}

}  // namespace
