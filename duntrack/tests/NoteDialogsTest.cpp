// The note dialogs read from their form files and driven with real keys, alone and with the notes of a fixture
// note file, as the account form uses them.
#include <gtest/gtest.h>

#include <memory>

#include "NotesFixture.h"
#include "duntrack/AddNoteU.h"
#include "duntrack/EdtNoteU.h"
#include "vcl/TestHelpers.h"

namespace {

class NoteDialogs : public NotesTest {
protected:
    void MakeFiles(THostDataDir& dir) override
    {
        AddNoteRows(dir, {{"ABC", "1", '0', "first"}, {"ABC", "1", '1', "second"}, {"ABC", "1", '2', "third"},
                          {"MRK", "", ' ', ""}});
    }

    void SetUp() override
    {
        NotesTest::SetUp();
        add_.reset(CreateObject<TAddNoteF>(nullptr));
        edit_.reset(CreateObject<TEdtNoteF>(nullptr));
    }
    void TearDown() override
    {
        add_.reset();
        edit_.reset();
        NotesTest::TearDown();
    }

    // Shows the add dialog for the account as the account form does; the script types into it.
    void ShowAdd(const std::string& client, const std::string& suffix, std::function<void()> script)
    {
        add_->Edit1->SetText("");
        add_->ClientCode = client;
        add_->CaseSuffix = suffix;
        dialogs_->AnswerNextModalForm([script](TCustomForm*) { script(); });
        add_->ShowModal();
    }

    std::unique_ptr<TAddNoteF> add_;
    std::unique_ptr<TEdtNoteF> edit_;
};

TEST_F(NoteDialogs, TheAddDialogTakesATextWithTodaysDateInFront)
{
    ShowAdd("ABC    ", "1      ", [&] {
        EXPECT_FALSE(add_->BitBtnAdd->Enabled());
        TypeText("late fee");
        EXPECT_TRUE(add_->BitBtnAdd->Enabled());
        TypeKey('D', {ssAlt});
        TypeText(" paid");
        EXPECT_TRUE(SaveWindowToPng(add_->Handle(), "duntrack-addnote.png"));
        TypeKey(VK_RETURN);
    });
    EXPECT_TRUE(add_->Added);
    EXPECT_EQ(add_->Edit1->Text(), "06/30/2026 late fee paid");
    EXPECT_EQ(add_->Caption(), "Adding a Delinquent Account Note for ABC-1");
    // Laid out at creation: the edit ends 16 pixels before Add, the date button is centred under the edit.
    EXPECT_EQ(add_->Edit1->Width(), add_->BitBtnAdd->Left() - 16);
    EXPECT_EQ(add_->BitBtnCancel->Left() + add_->BitBtnCancel->Width(), add_->ClientWidth() - 20);
    EXPECT_EQ(add_->BitBtn1->Left() + add_->BitBtn1->Width() / 2,
              add_->Edit1->Left() + add_->Edit1->Width() / 2);
    EXPECT_TRUE(dialogs_->Shown.empty());

    ShowAdd("MRK", "", [&] {
        TypeText("x");
        TypeKey('C', {ssAlt});
    });
    EXPECT_FALSE(add_->Added);
    EXPECT_EQ(add_->Caption(), "Adding a Delinquent Account Note for MRK");
}

TEST_F(NoteDialogs, TheDateGoesInOnlyWhileThereIsRoomForIt)
{
    ShowAdd("ABC", "", [&] {
        add_->Edit1->SetText(std::string(67, 'x'));
        TypeKey('D', {ssAlt});
        EXPECT_EQ(add_->Edit1->Text(), "06/30/2026 " + std::string(67, 'x'));
        add_->Edit1->SetText(std::string(68, 'y'));
        TypeKey('D', {ssAlt});
        EXPECT_EQ(add_->Edit1->Text(), std::string(68, 'y'));
        TypeKey('C', {ssAlt});
    });
    ASSERT_EQ(dialogs_->Shown.size(), 1u);
    EXPECT_EQ(dialogs_->Shown[0].Text, "Insufficient space to insert date. Comment is limited to 78 characters.");
    // Day first.
    ShortDateFormat = "d/M/yyyy";
    ShowAdd("ABC", "", [&] {
        TypeKey('D', {ssAlt});
        TypeKey('C', {ssAlt});
    });
    EXPECT_EQ(Trim(add_->Edit1->Text()), "30/06/2026");
}

TEST_F(NoteDialogs, TheEditDialogSavesOnlyAChange)
{
    edit_->Edit1->SetText("second");
    edit_->ClientCode = "ABC";
    edit_->CaseSuffix = "1";
    dialogs_->AnswerNextModalForm([&](TCustomForm*) {
        EXPECT_FALSE(edit_->BitBtnSave->Enabled());
        TypeKey(VK_END);
        TypeText("s");
        EXPECT_TRUE(edit_->BitBtnSave->Enabled());
        EXPECT_TRUE(SaveWindowToPng(edit_->Handle(), "duntrack-edtnote.png"));
        TypeKey('S', {ssAlt});
        if (edit_->ModalResult() == mrNone) edit_->SetModalResult(mrAbort);
    });
    edit_->ShowModal();
    EXPECT_TRUE(edit_->Saved);
    EXPECT_EQ(edit_->Edit1->Text(), "seconds");
    EXPECT_EQ(edit_->Caption(), "Editing a Delinquent Account Note for ABC-1");

    // "Delete this note" empties the text; saving then removes the note.
    dialogs_->AnswerNextModalForm([&](TCustomForm*) {
        ClickControl(edit_->BitBtnDelete);
        EXPECT_TRUE(edit_->BitBtnSave->Enabled());
        TypeKey('S', {ssAlt});
        if (edit_->ModalResult() == mrNone) edit_->SetModalResult(mrAbort);
    });
    edit_->ShowModal();
    EXPECT_TRUE(edit_->Saved);
    EXPECT_EQ(edit_->Edit1->Text(), "");
}

// The account form's paths through the dialogs: the marker opens the add dialog, Edit changes a note.
TEST_F(NoteDialogs, NotesAddedAndEditedThroughTheDialogsAreWrittenToTheFile)
{
    TAccountNotes notes(folder_);
    ASSERT_TRUE(notes.BuildAccountList());
    notes.ReadAccountNotes("MRK", "");
    ASSERT_TRUE(notes.MarkerFound);
    ShowAdd("MRK", "", [&] {
        TypeText("first call");
        TypeKey('A', {ssAlt});
        if (add_->ModalResult() == mrNone) add_->SetModalResult(mrAbort);
    });
    notes.AddNote("MRK", "", add_->Added, add_->Edit1->Text());
    EXPECT_EQ(AccountRecords("MRK", ""), std::vector<std::string>{NoteRecordText(AccountKey("MRK", ""), '0', "first call")});

    notes.ClearRows();
    const Integer row = notes.ReadAccountNotes("ABC", "1");
    edit_->Edit1->SetText(Trim(notes.Rows()[size_t(row)]));
    edit_->ClientCode = "ABC";
    edit_->CaseSuffix = "1";
    dialogs_->AnswerNextModalForm([&](TCustomForm*) {
        ClickControl(edit_->BitBtnDelete);
        ClickControl(edit_->BitBtnSave);
        if (edit_->ModalResult() == mrNone) edit_->SetModalResult(mrAbort);
    });
    edit_->ShowModal();
    ASSERT_TRUE(edit_->Saved);
    EXPECT_TRUE(notes.EditNote("ABC", "1", row, edit_->Edit1->Text()));
    EXPECT_EQ(AccountRecords("ABC", "1"),
              (std::vector<std::string>{NoteRecordText(AccountKey("ABC", "1"), '0', "first"),
                                        NoteRecordText(AccountKey("ABC", "1"), '1', "second")}));
    EXPECT_TRUE(dialogs_->Shown.empty());
}

}  // namespace
