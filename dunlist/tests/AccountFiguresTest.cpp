// Account figures of a case and of a client on fixture host files, with "today" fixed at 30 June 2026, every
// expected text worked out by hand from the rows below.
#include <gtest/gtest.h>

#include <map>

#include "DunlistFixture.h"
#include "dunlist/AccountFigures.h"
#include "vcl/Forms.h"

namespace {

using F = TAccountFigure;
using Texts = std::map<F, std::string>;

const std::string S1 = Suffix("1"), S2 = Suffix("2"), SA = Suffix("A000001");

struct TRecordingTarget : TAccountFigureTarget {
    void ShowFigure(TAccountFigure figure, const std::string& text) override { Figures[figure] = text; }
    void ShowAlternateID(const std::string& text) override { AlternateIDs.push_back(text); }
    Texts Figures;
    std::vector<std::string> AlternateIDs;
};

std::string Ago(Integer days) { return HostDateDaysAgo(days); }

// The sixteen texts of a case (and a client), in the order of the account form.
Texts Expected(std::vector<std::string> money, const std::string& lastPaymentDate)
{
    const F order[] = {F::CtdFees,     F::WipFees,     F::CtdCosts,          F::WipCosts, F::FeeBillings,
                       F::CostBillings, F::FeePayments, F::CostPayments,      F::LastPaymentAmount,
                       F::Under30,     F::From31To60,  F::From61To90,        F::From91To120, F::Over120,
                       F::TotalAR};
    Texts texts;
    for (size_t i = 0; i < money.size(); ++i) texts[order[i]] = money[i];
    texts[F::LastPaymentDate] = lastPaymentDate;
    return texts;
}

class AccountFigures : public DunlistModuleTest {
protected:
    void MakeFiles(THostDataDir& dir) override
    {
        AddCases(dir, "ycase.qf",
                 {{"ACME", "1", "ALT-1",
                   {{"CTD act fees", 1000}, {"CTD fee wd", 50}, {"CTD fee wu", 20}, {"CTD dir cost", 200},
                    {"CTD dir cost wd", 10}, {"CTD dir cost wu", 5}, {"CTD indirect cost", 100},
                    {"CTD indirect cost wd", 4}, {"CTD Indirect cost wu", 2}, {"CTD fee billings", 500},
                    {"CTD DC Billings", 60}, {"CTD IC Billings", 40}, {"CTD fee payments", -300},
                    {"CTD DC Payments", -30}, {"CTD IC Payments", -20}}},
                  {"BOLT", "1", "", {{"CTD act fees", 10}}},
                  {"BOLT", "2", "", {{"CTD act fees", 20}}},
                  {"BOLT", "A000001", "", {{"CTD act fees", 40}}}});
        AddFees(dir, "fee.qf", {{"ACME", S1, "F", "", Ago(40), 0, 0, 0, 150, "00000001"},
                                {"ACME", S1, "F", "", Ago(3), 0, 0, 0, 80},
                                {"ACME", S1, "C", "D", Ago(40), 0, 0, 0, 40, "00000001"},
                                {"ACME", S1, "C", "I", Ago(3), 0, 0, 0, 25},
                                {"ACME", S1, "T", "", Ago(3), 0, 0, 0, 999},
                                {"ACME", S2, "F", "", Ago(3), 0, 0, 0, 7777}});
        AddBills(dir, "bill.qf",
                 {// invoice 1, listed twice, 45 days old: 160 fees and 40 direct costs, paid 100 and 40
                  {"ACME", S1, "B", Ago(45), "", "00000001", {150, 40}},
                  {"ACME", S1, "B", Ago(45), "", "00000001", {10}},
                  {"ACME", S1, "P", Ago(20), "", "00000001", {-100, -40}},
                  // invoice 2, held: out of the billings, 80 receivable under 30 days
                  {"ACME", S1, "B", Ago(10), "H", "00000002", {80}},
                  // invoice 3, paid in full
                  {"ACME", S1, "B", Ago(200), "P", "00000003", {70, 0, 5}},
                  {"ACME", S1, "P", Ago(150), "", "00000003", {-70, 0, -5}},
                  // invoice 4, billed on an impossible date: billed, but never aged
                  {"ACME", S1, "B", "461301", "", "00000004", {55}},
                  // unapplied retainers
                  {"ACME", S1, "P", Ago(20), "", "", {0, 0, 0, 0, 0, -15}},
                  {"ACME", S1, "A", Ago(5), "", "", {0, 0, 0, 0, 0, -25}},
                  {"BOLT", S1, "P", Ago(30), "", "00000099", {-5}},
                  {"BOLT", S2, "B", Ago(100), "", "00000021", {300}},
                  {"BOLT", S2, "P", Ago(10), "", "00000099", {-50}},
                  {"BOLT", SA, "B", Ago(130), "", "00000031", {9}},
                  {"BOLT", SA, "P", Ago(10), "", "00000099", {-20}}});
        AddBills(dir, "hbill.qf", {{"ACME", S1, "P", Ago(20), "", "00000001", {-30}},
                                   {"ACME", S1, "P", Ago(300), "", "00000005", {-999}}});
    }

    void SetUp() override
    {
        DunlistModuleTest::SetUp();
        figures_ = std::make_unique<TAccountFigures>(dm_, screen_, print_);
    }

    void PositionCase(const std::string& client, const std::string& suffix)
    {
        dm_->Case1_->SetTableName(Path("ycase.qf") + ";RES:YCASE");
        dm_->Case1_->Open();
        dm_->Case1_->SetIndexName("1");
        ASSERT_TRUE(dm_->Case1_->FindKey({client, suffix}));
    }

    TRecordingTarget screen_, print_;
    std::unique_ptr<TAccountFigures> figures_;
};

TEST_F(AccountFigures, AgeBucketCountsWholeDaysInThirties)
{
    const struct {
        std::string HostDate;
        Integer Bucket;
    } cases[] = {
        {Ago(15), 1}, {Ago(30), 1}, {Ago(31), 2}, {Ago(60), 2}, {Ago(61), 3}, {Ago(90), 3}, {Ago(91), 4},
        {Ago(120), 4}, {Ago(121), 5}, {Ago(200), 5}, {Ago(0), 1}, {Ago(-10), 1},  // today and the future: 1
        {"461301", -1}, {"AB0101", -1},
    };
    for (const auto& c : cases) EXPECT_EQ(figures_->AgeBucket(c.HostDate), c.Bucket) << c.HostDate;
    EXPECT_TRUE(dialogs_->Shown.empty());
}

TEST_F(AccountFigures, CaseLevelShowsTheSixteenFiguresOfTheCase)
{
    PositionCase("ACME", S1);
    figures_->CaseLevel("ACME", "1      ", false);
    // CTD fees 1000 + 230 - 50 + 20; CTD costs 200 + 65 - 10 + 5 + 100 - 4 + 2; fee billings 160 + 55 + 500;
    // cost billings 40 + 60 + 40; payments -(-170 - 300) and -(-45 - 50); last payment 140 + 15 + 30 on 10 June;
    // A/R: invoice 2 (80) and the retainers (-40) under 30 days, invoice 1 (60) at 45 days, invoice 3 (0).
    EXPECT_EQ(screen_.Figures, Expected({"1200.00", "80.00", "358.00", "25.00", "715.00", "140.00", "470.00",
                                         "95.00", "185.00", "40.00", "60.00", "0.00", "0.00", "0.00", "100.00"},
                                        "06/10/26"));
    EXPECT_EQ(screen_.AlternateIDs, std::vector<std::string>{"ALT-1"});
    EXPECT_TRUE(print_.Figures.empty());
    EXPECT_TRUE(dialogs_->Shown.empty());
}

TEST_F(AccountFigures, PrintModeWritesOnlyTheReportLabels)
{
    PositionCase("ACME", S1);
    figures_->CaseLevel("ACME", "1", true);
    EXPECT_EQ(print_.Figures.at(F::TotalAR), "100.00");
    EXPECT_TRUE(screen_.Figures.empty());
    EXPECT_TRUE(screen_.AlternateIDs.empty());
}

TEST_F(AccountFigures, ClientLevelSumsEveryCaseOfTheClient)
{
    const struct {
        std::string Client;
        Texts Figures;
    } cases[] = {
        {"NONE", Expected(std::vector<std::string>(15, "0.00"), "")},
        {"ACME", Expected({"1200.00", "80.00", "358.00", "25.00", "715.00", "140.00", "470.00", "95.00", "185.00",
                           "40.00", "60.00", "0.00", "0.00", "0.00", "100.00"},
                          "06/10/26")},
        // three cases, one of them with a suffix after "9999999"; the last payments of cases 2 and A000001 fall
        // on the latest day (20 June) and add up, case 1's earlier one does not count
        {"BOLT", Expected({"70.00", "0.00", "0.00", "0.00", "309.00", "0.00", "75.00", "0.00", "70.00", "0.00",
                           "0.00", "0.00", "300.00", "9.00", "309.00"},
                          "06/20/26")},
    };
    const std::map<std::string, std::string> counts = {{"NONE", "0 case"}, {"ACME", "1 case"}, {"BOLT", "3 cases"}};
    for (const auto& c : cases) {
        print_.Figures.clear();
        figures_->ClientLevel(c.Client, true);
        Texts expected = c.Figures;
        expected[F::CaseCount] = counts.at(c.Client);
        EXPECT_EQ(print_.Figures, expected) << c.Client;
        for (const auto& [figure, text] : print_.Figures) EXPECT_EQ(text.find("-0.00"), std::string::npos);
    }
    EXPECT_TRUE(screen_.Figures.empty());
    EXPECT_TRUE(dialogs_->Shown.empty());
}

class AccountFiguresWithoutFees : public DunlistModuleTest {
protected:
    void MakeFiles(THostDataDir& dir) override { AddCases(dir, "ycase.qf", {{"ACME", "1", ""}}); }
};

TEST_F(AccountFiguresWithoutFees, AFileThatCannotBeOpenedEndsTheProgram)
{
    TRecordingTarget screen, print;
    TAccountFigures figures(dm_, screen, print);
    dm_->Case1_->SetTableName(Path("ycase.qf") + ";RES:YCASE");
    dm_->Case1_->Open();
    EXPECT_THROW(figures.CaseLevel("ACME", "1", false), EAbort);
    EXPECT_EQ(ShownTexts(),
              std::vector<std::string>{"Unable to open the current period fee file.\rPlease Call KDV, Inc. for "
                                       "assistance."});
    EXPECT_TRUE(screen.Figures.empty());
    ASSERT_NE(Application, nullptr);
    EXPECT_TRUE(Application->Terminated());
}

TEST_F(AccountFiguresWithoutFees, ACaseFileThatCannotBeOpenedEndsTheProgram)
{
    TRecordingTarget screen, print;
    TAccountFigures figures(dm_, screen, print);
    dm_->DataDirectory = folder_ + "\\missing";
    EXPECT_THROW(figures.ClientLevel("ACME", false), EAbort);
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{"Unable to open case file.\r\rPlease contact KDV, Inc. for "
                                                     "assistance."});
    EXPECT_EQ(dialogs_->Shown[0].Type, mtError);
    EXPECT_TRUE(screen.Figures.empty());
}

}  // namespace
