// The pages a banded report builds: band order, child bands, cleared print flags, page breaks with the header
// first, the header and footer options, an empty report, and a report fed by its need-data event.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/MemDataSet.h"
#include "report/Report.h"

namespace {

struct TNote {
    std::string Account;
    std::string Note;
};

// A header with a centred title and the page number, an account band printed once per account, and a note line
// in its child band.
class ReportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        notes = new TMemDataSet(nullptr);
        notes->FieldDefs()->Add("Account", ftString, 7);
        notes->FieldDefs()->Add("Note", ftString, 78);
        notes->Open();

        report = new TBandReport(nullptr);
        report->DataSet = notes;
        header = AddBand(rbPageHeader, 32);
        Label(header, "Note Report", 0, 13, 576)->Alignment = taCenter;
        TReportLabel* pageLabel = Label(header, "", 472, 13, 90);
        pageLabel->Alignment = taRightJustify;
        header->OnBeforePrint = [this, pageLabel](TReportBand*, bool&) {
            pageLabel->Caption = std::to_string(report->PageNumber());
        };

        account = AddBand(rbDetail, 60);
        DBText(account, "Account", 13, 13);
        account->OnBeforePrint = [this](TReportBand*, bool& print) {
            const std::string current = notes->FieldByName("Account")->AsString();
            print = current != lastAccount;
            lastAccount = current;
        };
        noteBand = AddBand(rbChild, 32);
        noteBand->SetParentBand(account);
        DBText(noteBand, "Note", 26, 13);
        report->OnBeforePrint = [this](TBandReport*, bool&) { lastAccount.clear(); };
    }

    void TearDown() override
    {
        report->Free();
        notes->Free();
        for (TComponent* part : parts) part->Free();
    }

    TReportBand* AddBand(TReportBandType type, Integer height)
    {
        auto* band = new TReportBand(nullptr);
        band->BandType = type;
        band->Height = height;
        band->SetReport(report);
        parts.push_back(band);
        return band;
    }

    TReportLabel* Label(TReportBand* band, const std::string& caption, Integer left, Integer top, Integer width = 65)
    {
        auto* label = new TReportLabel(nullptr);
        label->Caption = caption;
        Place(label, band, left, top, width);
        return label;
    }

    TReportDBText* DBText(TReportBand* band, const std::string& field, Integer left, Integer top)
    {
        auto* text = new TReportDBText(nullptr);
        text->DataSet = notes;
        text->DataField = field;
        Place(text, band, left, top, 400);
        return text;
    }

    void Place(TReportItem* item, TReportBand* band, Integer left, Integer top, Integer width)
    {
        item->Left = left;
        item->Top = top;
        item->Width = width;
        item->SetBand(band);
        parts.insert(parts.begin(), item);  // freed before their bands
    }

    void AddNotes(const std::vector<TNote>& rows)
    {
        for (const TNote& row : rows) notes->AppendRecord({Variant(row.Account), Variant(row.Note)});
    }

    std::vector<std::string> AllLines()
    {
        std::vector<std::string> lines;
        for (const TReportPage& page : report->Pages())
            for (const std::string& line : page.Lines()) lines.push_back(line);
        return lines;
    }

    TMemDataSet* notes = nullptr;
    TBandReport* report = nullptr;
    TReportBand* header = nullptr;
    TReportBand* account = nullptr;
    TReportBand* noteBand = nullptr;
    std::string lastAccount;
    std::vector<TComponent*> parts;
};

TEST_F(ReportTest, ChildBandPrintsForEveryRecordAlsoWhenItsParentIsNot)
{
    AddNotes({{"A", "first of A"}, {"A", "second of A"}, {"A", "third of A"}, {"B", "only of B"}});
    report->Prepare();
    ASSERT_EQ(report->Pages().size(), 1u);
    EXPECT_EQ(AllLines(), (std::vector<std::string>{"Note Report 1", "A", "first of A", "second of A", "third of A",
                                                    "B", "only of B"}));
    // A band whose print flag was cleared takes no room: the note lines follow one another.
    const TReportPage& page = report->Pages()[0];
    const Integer top = report->Page.TopMargin;
    EXPECT_EQ(page.TextsAt(top + 32 + 13), (std::vector<std::string>{"A"}));
    EXPECT_EQ(page.TextsAt(top + 32 + 60 + 13), (std::vector<std::string>{"first of A"}));
    EXPECT_EQ(page.TextsAt(top + 32 + 60 + 32 + 13), (std::vector<std::string>{"second of A"}));
    EXPECT_EQ(page.TextsAt(top + 32 + 60 + 64 + 13), (std::vector<std::string>{"third of A"}));
    EXPECT_EQ(page.TextsAt(top + 32 + 60 + 96 + 13), (std::vector<std::string>{"B"}));
    // Items sit at the left margin plus their place on the band, with their font and alignment.
    const TReportText& title = page.Texts[0];
    EXPECT_EQ(title.Text, "Note Report");
    EXPECT_EQ(title.Left, report->Page.LeftMargin);
    EXPECT_EQ(title.Width, 576);
    EXPECT_EQ(title.Alignment, taCenter);
    EXPECT_EQ(title.FontName, "Arial");
    EXPECT_EQ(title.FontHeight, -13);
}

TEST_F(ReportTest, BandThatDoesNotFitStartsANewPageHeaderFirst)
{
    std::vector<TNote> rows;
    for (int i = 0; i < 30; ++i) rows.push_back({"C" + std::to_string(i), "note " + std::to_string(i)});
    AddNotes(rows);
    report->Prepare();
    const auto& pages = report->Pages();
    ASSERT_GE(pages.size(), 3u);
    const Integer bottom = report->Page.PaperHeight() - report->Page.BottomMargin;
    size_t notesSeen = 0;
    for (size_t i = 0; i < pages.size(); ++i) {
        const auto lines = pages[i].Lines();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0], "Note Report " + std::to_string(i + 1));
        for (const TReportText& text : pages[i].Texts) {
            EXPECT_LE(text.Top + text.Height, bottom) << text.Text;
            if (text.Text.starts_with("note ")) {
                EXPECT_EQ(text.Text, "note " + std::to_string(notesSeen++));
            }
        }
        // Each account band is followed on its own page by its note line.
        EXPECT_EQ(lines.size() % 2, 1u) << "page " << i + 1;
    }
    EXPECT_EQ(notesSeen, 30u);
}

TEST_F(ReportTest, HeaderAndFooterOptions)
{
    TReportBand* footer = AddBand(rbPageFooter, 30);
    Label(footer, "End of page", 0, 5);
    std::vector<TNote> rows;
    for (int i = 0; i < 12; ++i) rows.push_back({"C" + std::to_string(i), "n"});
    AddNotes(rows);
    struct TCase {
        TReportOptions Options;
        bool FirstHasHeader, LastHasFooter;
    };
    for (const TCase& c : std::vector<TCase>{{{roFirstPageHeader, roLastPageFooter}, true, true},
                                             {{}, false, false},
                                             {{roLastPageFooter}, false, true}}) {
        report->Options = c.Options;
        report->Prepare();
        const auto& pages = report->Pages();
        ASSERT_GE(pages.size(), 2u);
        auto has = [](const TReportPage& page, const std::string& text) {
            for (const TReportText& t : page.Texts)
                if (t.Text == text) return true;
            return false;
        };
        EXPECT_EQ(has(pages.front(), "Note Report"), c.FirstHasHeader);
        EXPECT_TRUE(has(pages[1], "Note Report"));
        EXPECT_TRUE(has(pages.front(), "End of page"));
        EXPECT_EQ(has(pages.back(), "End of page"), c.LastHasFooter);
        const Integer footerTop = report->Page.PaperHeight() - report->Page.BottomMargin - 30 + 5;
        EXPECT_EQ(pages.front().TextsAt(footerTop), (std::vector<std::string>{"End of page"}));
    }
}

TEST_F(ReportTest, EmptyDataGivesOnePageWithItsHeaderWhenPrintedEmpty)
{
    report->Prepare();
    ASSERT_EQ(report->Pages().size(), 1u);
    EXPECT_EQ(AllLines(), (std::vector<std::string>{"Note Report 1"}));
    report->PrintIfEmpty = false;
    report->Prepare();
    EXPECT_TRUE(report->Pages().empty());
}

TEST_F(ReportTest, ReportWithoutDatasetAsksForEachRecordAndRunsTwiceAlike)
{
    AddNotes({{"A", "a1"}, {"A", "a2"}, {"B", "b1"}});
    report->DataSet = nullptr;
    Integer counter = 0;
    Integer needDataCalls = 0;
    report->OnBeforePrint = [&](TBandReport*, bool&) {
        notes->First();
        counter = 0;
        lastAccount.clear();
    };
    report->OnNeedData = [&](TObject*, bool& more) {
        ++needDataCalls;
        if (counter > 0) notes->Next();
        ++counter;
        more = !notes->Eof();
    };
    report->Prepare();
    const std::vector<TReportPage> first = report->Pages();
    EXPECT_EQ(AllLines(), (std::vector<std::string>{"Note Report 1", "A", "a1", "a2", "B", "b1"}));
    EXPECT_EQ(needDataCalls, 4);  // three records, then no more
    report->Prepare();
    EXPECT_EQ(report->Pages(), first);
}

TEST_F(ReportTest, ReportBeforePrintMayCancelTheRun)
{
    AddNotes({{"A", "a1"}});
    report->OnBeforePrint = [](TBandReport*, bool& print) { print = false; };
    report->Prepare();
    EXPECT_TRUE(report->Pages().empty());
}

TEST(ReportPageSetup, LetterPaperHoldsASixInchBandBetweenTheMargins)
{
    TReportPageSetup page;
    EXPECT_EQ(page.PaperWidth(), 816);
    EXPECT_EQ(page.PaperHeight(), 1056);
    EXPECT_LE(page.LeftMargin + 576 + page.RightMargin, page.PaperWidth());
    page.Orientation = poLandscape;
    EXPECT_EQ(page.PaperWidth(), 1056);
    EXPECT_EQ(page.PaperHeight(), 816);
}

}  // namespace
