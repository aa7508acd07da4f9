// The delinquent-account notes over a fixture note file: the account list, reading, adding, editing with the
// renumbering rewrite, deleting, stepping and the minimum total A/R.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "NotesFixture.h"
#include "hostdata/OVWCon.h"
#include "rtl/FloatConv.h"

namespace {

std::vector<TNoteRow> Numbered(const std::string& client, const std::string& sequences, const std::string& prefix)
{
    std::vector<TNoteRow> rows;
    for (char sequence : sequences) rows.push_back({client, "", sequence, prefix + sequence});
    return rows;
}

// The records of an account as this program writes them.
std::vector<std::string> Expected(const std::string& client, const std::string& suffix,
                                  const std::vector<std::pair<char, std::string>>& notes)
{
    std::vector<std::string> records;
    for (const auto& [sequence, text] : notes) records.push_back(NoteRecordText(AccountKey(client, suffix), sequence, text));
    return records;
}

const std::string NoMore = "No more delinquent account records in this direction.";

class AccountNotes : public NotesTest {
protected:
    void MakeFiles(THostDataDir& dir) override
    {
        std::vector<TNoteRow> rows = {{"ABC", "1", '0', "first"}, {"ABC", "1", '1', "second"},
                                      {"ABC", "1", '2', "third"}, {"ABC", "", ' ', ""},
                                      {"MRK", "", ' ', ""},       {"ODD", "", '0', "x0"},
                                      {"ODD", "", '~', "x1"},     {"ZED", "7", '0', "only"}};
        for (const auto& more : {Numbered("BOLT", "01234", "n"), Numbered("DUN", "0123456789ab", "d"),
                                 Numbered("FULL", NoteSequence + "abcd", "f")})
            rows.insert(rows.end(), more.begin(), more.end());
        AddNoteRows(dir, rows);
    }

    void SetUp() override
    {
        NotesTest::SetUp();
        notes_ = TAccountNotes(folder_);
        ASSERT_TRUE(notes_.BuildAccountList());
    }

    std::vector<std::string> Rows() const
    {
        std::vector<std::string> rows;
        for (const std::string& row : notes_.Rows())
            if (!Trim(row).empty()) rows.push_back(Trim(row));
        return rows;
    }

    std::string BufferText() const { return std::string(notes_.Buffer.begin() + 4, notes_.Buffer.end()); }

    TAccountNotes notes_{""};
};

TEST_F(AccountNotes, TheListHoldsEveryAccountWithAFirstNoteInOrder)
{
    const std::vector<std::string> expected = {AccountKey("ABC", "1"), AccountKey("BOLT", ""), AccountKey("DUN", ""),
                                               AccountKey("FULL", ""), AccountKey("ODD", ""), AccountKey("ZED", "7")};
    EXPECT_EQ(notes_.AccountList(), expected);
}

TEST_F(AccountNotes, ReadingLeavesTheAccountsLastNoteInTheBuffer)
{
    // Followed by another account's record: one step back.
    EXPECT_EQ(notes_.ReadAccountNotes("ABC", "1"), 2);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"first", "second", "third"}));
    EXPECT_EQ(notes_.LastSequence, "2");
    EXPECT_EQ(BufferText(), NoteRecordText(AccountKey("ABC", "1"), '2', "third"));
    // The file's last account: the read stopped at the end of the file, no step back.
    notes_.ClearRows();
    EXPECT_EQ(notes_.ReadAccountNotes("ZED", "7"), 0);
    EXPECT_EQ(Rows(), std::vector<std::string>{"only"});
    EXPECT_EQ(BufferText(), NoteRecordText(AccountKey("ZED", "7"), '0', "only"));
    // Only a marker.
    notes_.ClearRows();
    EXPECT_EQ(notes_.ReadAccountNotes("MRK", ""), -1);
    EXPECT_TRUE(notes_.MarkerFound);
    EXPECT_TRUE(Rows().empty());
}

TEST_F(AccountNotes, NotesAreNumberedAfterTheLastOne)
{
    notes_.ReadAccountNotes("NEW", "");
    for (int i = 1; i <= 11; ++i) notes_.AddNote("NEW", "", true, "note " + std::to_string(i));
    std::vector<std::pair<char, std::string>> expected;
    for (int i = 1; i <= 11; ++i) expected.push_back({NoteSequence[size_t(i - 1)], "note " + std::to_string(i)});
    EXPECT_EQ(AccountRecords("NEW", ""), Expected("NEW", "", expected));
    EXPECT_EQ(AccountRecords("NEW", "").back().substr(14, 1), "A");
    EXPECT_EQ(Rows().size(), 11u);
    EXPECT_NE(std::find(notes_.AccountList().begin(), notes_.AccountList().end(), AccountKey("NEW", "")),
              notes_.AccountList().end());
    EXPECT_TRUE(dialogs_->Shown.empty());
}

TEST_F(AccountNotes, SequencesOfTheOtherProgramAreContinuedOrRenumbered)
{
    // "a" and "b" written by the note viewer: "b" is "B" here, the new note gets "C".
    notes_.ReadAccountNotes("DUN", "");
    notes_.AddNote("DUN", "", true, "new");
    const std::vector<std::string> dun = AccountRecords("DUN", "");
    EXPECT_EQ(dun.size(), 13u);
    EXPECT_EQ(std::count(dun.begin(), dun.end(), NoteRecordText(AccountKey("DUN", ""), 'C', "new")), 1);
    // "~" is no sequence: the notes are renumbered first, so no key is taken twice.
    notes_.ClearRows();
    notes_.ReadAccountNotes("ODD", "");
    notes_.AddNote("ODD", "", true, "x2");
    EXPECT_EQ(AccountRecords("ODD", ""), Expected("ODD", "", {{'0', "x0"}, {'1', "x1"}, {'2', "x2"}}));
    EXPECT_TRUE(dialogs_->Shown.empty());
}

TEST_F(AccountNotes, TheMarkerGoesWhetherANoteIsAddedOrNot)
{
    notes_.ReadAccountNotes("MRK", "");
    notes_.AddNote("MRK", "", false, "");
    EXPECT_TRUE(AccountRecords("MRK", "").empty());
    EXPECT_FALSE(notes_.MarkerFound);

    notes_.ReadAccountNotes("ABC", "");
    ASSERT_TRUE(notes_.MarkerFound);
    notes_.AddNote("ABC", "", true, "at last");
    EXPECT_EQ(AccountRecords("ABC", ""), Expected("ABC", "", {{'0', "at last"}}));
    EXPECT_EQ(notes_.AccountList().front(), AccountKey("ABC", ""));
}

TEST_F(AccountNotes, RecordFieldsAreCutToTheirWidths)
{
    EXPECT_EQ(AccountKey(" TOOLONGCODE", "SUFFIX123 "), "TOOLONGSUFFIX1");
    EXPECT_EQ(NoteRecordText(AccountKey("A", ""), '0', std::string(90, 'x')).size(), NoteRecordLength - 4);
    notes_.ReadAccountNotes("TOOLONGCODE", "");
    notes_.AddNote("TOOLONGCODE", "", true, "kept in its place");
    const std::vector<std::string> records = AccountRecords("TOOLONG", "");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0], "TOOLONG       0kept in its place" + std::string(78 - 17, ' '));
}

TEST_F(AccountNotes, AnAccountWithMoreNotesThanRowsShowsTheFirstAndIsNotChanged)
{
    EXPECT_EQ(notes_.ReadAccountNotes("FULL", ""), MaxNotes - 1);
    EXPECT_EQ(Rows().front(), "f0");
    EXPECT_EQ(Rows().back(), "fZ");
    notes_.AddNote("FULL", "", true, "one more");
    EXPECT_FALSE(notes_.EditNote("FULL", "", 0, ""));
    EXPECT_EQ(AccountRecords("FULL", "").size(), 40u);
    ASSERT_EQ(dialogs_->Shown.size(), 2u);
    EXPECT_NE(dialogs_->Shown[0].Text.find("more than 36 notes"), std::string::npos);
}

TEST_F(AccountNotes, EmptyingANoteRenumbersTheRest)
{
    notes_.ReadAccountNotes("BOLT", "");
    EXPECT_TRUE(notes_.EditNote("BOLT", "", 2, ""));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"n0", "n1", "n3", "n4"}));
    EXPECT_EQ(AccountRecords("BOLT", ""), Expected("BOLT", "", {{'0', "n0"}, {'1', "n1"}, {'2', "n3"}, {'3', "n4"}}));
    EXPECT_TRUE(notes_.EditNote("BOLT", "", 0, "  changed  "));
    EXPECT_EQ(AccountRecords("BOLT", "")[0], NoteRecordText(AccountKey("BOLT", ""), '0', "changed"));
    // The next note follows the renumbered ones.
    notes_.AddNote("BOLT", "", true, "n5");
    EXPECT_EQ(AccountRecords("BOLT", "").back(), NoteRecordText(AccountKey("BOLT", ""), '4', "n5"));
    EXPECT_TRUE(dialogs_->Shown.empty());
}

TEST_F(AccountNotes, ARefusedInsertPutsTheOldNotesBack)
{
    const std::vector<std::string> before = AccountRecords("BOLT", "");
    notes_.ReadAccountNotes("BOLT", "");
    int inserts = 0;
    notes_.Insert = [&](const std::string& text) {
        if (++inserts == 3) throw EAbort("This record could not be written.");
        InsertRecord(NoteFileNumber, text);
    };
    EXPECT_FALSE(notes_.EditNote("BOLT", "", 1, "changed"));
    EXPECT_EQ(AccountRecords("BOLT", ""), before);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"n0", "n1", "n2", "n3", "n4"}));
    ASSERT_EQ(dialogs_->Shown.size(), 1u);
    EXPECT_EQ(dialogs_->Shown[0].Text, "This record could not be written." + ContactForAssistanceText);
}

TEST_F(AccountNotes, DeletingAllNotesAsksFirst)
{
    notes_.ReadAccountNotes("BOLT", "");
    dialogs_->AnswerNextBox(mrNo);
    EXPECT_FALSE(notes_.DeleteAccountNotes("BOLT", ""));
    EXPECT_EQ(AccountRecords("BOLT", "").size(), 5u);
    dialogs_->AnswerNextBox(mrYes);
    EXPECT_TRUE(notes_.DeleteAccountNotes("BOLT", ""));
    EXPECT_TRUE(AccountRecords("BOLT", "").empty());
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(std::find(notes_.AccountList().begin(), notes_.AccountList().end(), AccountKey("BOLT", "")),
              notes_.AccountList().end());
    EXPECT_EQ(dialogs_->Shown[0].Text, "Are you sure you want to delete all the notes for BOLT-?");
    EXPECT_EQ(AccountRecords("ABC", "1").size(), 3u);
}

TEST_F(AccountNotes, NextAndPriorStayInsideTheList)
{
    const std::string abc1 = AccountKey("ABC", "1"), bolt = AccountKey("BOLT", ""), zed = AccountKey("ZED", "7");
    // Nothing read yet: the first entry.
    EXPECT_EQ(notes_.StepNext("").Target, abc1);
    notes_.ReadAccountNotes("ABC", "1");
    TStep step = notes_.StepNext(abc1);
    EXPECT_TRUE(step.ClearDisplay);
    EXPECT_EQ(step.Target, bolt);
    EXPECT_EQ(notes_.StepPrior(bolt).Target, abc1);
    // From a marker-only account outside the list: the entry after it.
    notes_.ReadAccountNotes("MRK", "");
    EXPECT_EQ(notes_.StepNext(AccountKey("MRK", "")).Target, AccountKey("ODD", ""));
    EXPECT_TRUE(dialogs_->Shown.empty());

    // The ends: the message, nothing cleared.
    notes_.ReadAccountNotes("ZED", "7");
    step = notes_.StepNext(zed);
    EXPECT_FALSE(step.ClearDisplay);
    EXPECT_EQ(step.Target, "");
    step = notes_.StepPrior(abc1);
    EXPECT_EQ(step.Target, "");
    EXPECT_EQ(notes_.StepPrior("NOSUCH        ").Target, "");
    ASSERT_EQ(dialogs_->Shown.size(), 3u);
    EXPECT_EQ(dialogs_->Shown[0].Text, NoMore);
    EXPECT_EQ(dialogs_->Shown[1].Text, NoMore);
    EXPECT_EQ(dialogs_->Shown[2].Text,
              "Unable to find the previous delinquent account record.\r\rPlease use the dropdown lists to select it.");

    // The file's last account deleted: the display is cleared, the message shown, no entry outside the list.
    dialogs_->AnswerNextBox(mrYes);
    notes_.DeleteAccountNotes("ZED", "7");
    step = notes_.StepNext("");
    EXPECT_TRUE(step.ClearDisplay);
    EXPECT_EQ(step.Target, "");
    EXPECT_EQ(dialogs_->Shown.back().Text, NoMore);
    // A deleted account in the middle: the one after it.
    notes_.ClearRows();
    notes_.ReadAccountNotes("BOLT", "");
    dialogs_->AnswerNextBox(mrYes);
    notes_.DeleteAccountNotes("BOLT", "");
    EXPECT_EQ(notes_.StepNext("").Target, AccountKey("DUN", ""));
}

TEST_F(AccountNotes, SteppingSkipsAccountsBelowTheMinimum)
{
    const std::map<std::string, double> totals = {{AccountKey("ABC", "1"), 600}, {AccountKey("BOLT", ""), 100},
                                                  {AccountKey("DUN", ""), -900}, {AccountKey("FULL", ""), 500},
                                                  {AccountKey("ODD", ""), 499.99}, {AccountKey("ZED", "7"), 0}};
    notes_.MinimumAR = 500;
    // What the browse of each stepped-to account does, until an account qualifies or the list ends.
    auto browse = [&](TStep step) {
        std::vector<std::string> shown;
        while (!step.Target.empty()) {
            const TAccountFields fields = AccountFieldsOf(step.Target, false);
            notes_.ClearRows();
            notes_.ReadAccountNotes(fields.ClientCode, fields.CaseSuffix);
            shown.push_back(Trim(step.Target));
            const double total = std::max(totals.at(step.Target), 0.0);
            if (notes_.ApplyMinimumAR(total, step.Target) != TMinimumARAction::StepAgain) break;
            step = notes_.Direction == TStepDirection::Next ? notes_.StepNext(step.Target)
                                                             : notes_.StepPrior(step.Target);
        }
        return shown;
    };
    notes_.ReadAccountNotes("ABC", "1");
    EXPECT_EQ(browse(notes_.StepNext(AccountKey("ABC", "1"))), (std::vector<std::string>{"BOLT", "DUN", "FULL"}));
    EXPECT_TRUE(dialogs_->Shown.empty());
    EXPECT_EQ(browse(notes_.StepNext(AccountKey("FULL", ""))), (std::vector<std::string>{"ODD", "ZED    7"}));
    ASSERT_EQ(dialogs_->Shown.size(), 1u);
    EXPECT_EQ(dialogs_->Shown[0].Text, NoMore);
    EXPECT_EQ(browse(notes_.StepPrior(AccountKey("FULL", ""))), (std::vector<std::string>{"DUN", "BOLT", "ABC    1"}));
    notes_.Direction = TStepDirection::Next;
    EXPECT_EQ(notes_.ApplyMinimumAR(0, AccountKey("ABC", "1")), TMinimumARAction::StepAgain);
    notes_.Direction = TStepDirection::Prior;
    EXPECT_EQ(notes_.ApplyMinimumAR(0, AccountKey("ABC", "1")), TMinimumARAction::Stop);
    notes_.MinimumAR = 0;
    EXPECT_EQ(notes_.ApplyMinimumAR(0, AccountKey("ABC", "1")), TMinimumARAction::None);
}

TEST(MinimumAR, TypedTextsAreCleanedOrRefused)
{
    const struct {
        std::string Typed;
        TMinimumARText::TResult Result;
        std::string Cleaned;
    } cases[] = {{"$1,250.75", TMinimumARText::Accepted, "1250"}, {"500", TMinimumARText::Accepted, "500"},
                 {"1.2.3", TMinimumARText::Accepted, "1"},        {"", TMinimumARText::Accepted, ""},
                 {"-5", TMinimumARText::Negative, "-5"},          {"$-", TMinimumARText::Negative, "$-"},
                 {"12a", TMinimumARText::Invalid, "12a"},         {"$$5", TMinimumARText::Invalid, "$5"},
                 {"1 000", TMinimumARText::Invalid, "1 000"}};
    for (const auto& c : cases) {
        const TMinimumARText text = CleanMinimumAR(c.Typed);
        EXPECT_EQ(text.Result, c.Result) << c.Typed;
        EXPECT_EQ(text.Cleaned, c.Cleaned) << c.Typed;
    }
    TAccountNotes notes("");
    notes.SetMinimumAR("1250");
    EXPECT_DOUBLE_EQ(notes.MinimumAR, 1250);
    EXPECT_THROW(notes.SetMinimumAR(""), EConvertError);
    EXPECT_DOUBLE_EQ(notes.MinimumAR, 1250);
}

TEST(AccountFields, ListEntriesBecomeTheFormsFields)
{
    EXPECT_EQ(AccountFieldsOf(AccountKey("ABC", "12"), true).CaseSuffix, "     12");
    EXPECT_EQ(AccountFieldsOf(AccountKey("ABC", "12"), false).CaseSuffix, "12     ");
    EXPECT_EQ(AccountFieldsOf(AccountKey("ABC", "12"), false).ClientCode, "ABC    ");
    EXPECT_EQ(AccountFieldsOf(AccountKey("ABC", ""), true).CaseSuffix, "");
}

}  // namespace
