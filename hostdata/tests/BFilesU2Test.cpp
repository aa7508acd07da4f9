// The record-file layer against our record manager: opens, reads, writes, deletes and lock retries, with a second
// requester client holding locks and an injected tick count.
#include <cstring>
#include <filesystem>

#include <gtest/gtest.h>

#include "RecordFileTestSupport.h"
#include "engine/btrieve/BtrError.h"
#include "engine/btrieve/BtrLoad.h"
#include "hostdata/BFilesU2.h"
#include "hostdata/tests/SteppingTicks.h"
#include "rtl/Clock.h"
#include "rtl/WinApi.h"
#include "tools/mkdemo/HostDataDir.h"
#include "vcl/TestHelpers.h"

namespace {

namespace fs = std::filesystem;

constexpr Byte NoteFile = 99;
constexpr Word NoteLength = 97;

std::string NoteText(const std::string& client, const std::string& suffix, char sequence, const std::string& note)
{
    std::string text(NoteLength - 4, ' ');
    text.replace(0, client.size(), client);
    text.replace(7, suffix.size(), suffix);
    text[14] = sequence;
    text.replace(15, note.size(), note);
    return text;
}

std::string AccountKey(const std::string& client, const std::string& suffix, char sequence)
{
    return NoteText(client, suffix, sequence, "").substr(0, 15);
}

// The record text after the autoincrement field.
std::string TextOf(const TDynCharArr& buffer)
{
    return std::string(buffer.begin() + 4, buffer.begin() + NoteLength);
}

class RecordFileLayer : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() / ("hostdata_files_" + std::to_string(GetCurrentProcessId()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        notes_ = (folder_ / "note.qf").string();
        ASSERT_TRUE(StartBtrieveRequester(nullptr, nullptr) == 0 || IsBtrieveRequesterLoaded());
        THostDataDir(folder_.string()).MakeFile("note.qf");
    }
    void TearDown() override
    {
        other_.reset();
        ShutdownHostFiles();
        while (IsBtrieveRequesterLoaded()) StopBtrieveRequester();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    void OpenNotes()
    {
        OpenHostFile(NoteFile, notes_, 0);
        SetFileIndex(NoteFile, 1);
    }

    void AddNotes()
    {
        InsertRecord(NoteFile, NoteText("ABC", "1", '0', "first of ABC 1"));
        InsertRecord(NoteFile, NoteText("ABC", "1", '1', "second of ABC 1"));
        InsertRecord(NoteFile, NoteText("ABC", "", ' ', ""));
        InsertRecord(NoteFile, NoteText("ZED", "7", '0', "only of ZED 7"));
    }

    // A second requester client on the note file.
    TWinBtr& Other()
    {
        if (!other_) {
            Byte id[16] = {};
            id[12] = 'O';
            other_ = std::make_unique<TWinBtr>(id);
        }
        return *other_;
    }

    // The other client reads the account's record with a single-record lock.
    void LockByOther(const std::string& key)
    {
        TWinBtr& other = Other();
        if (!other.IsOpen()) other.Open(notes_, nullptr, 0);
        other.SetLockBias(TWinBtr::SingleNoWaitLockBias);
        other.GetEqual(key.data(), Byte(key.size()), 1);
    }

    void UnlockByOther() { Other().Unlock(); }

    fs::path folder_;
    std::string notes_;
    std::unique_ptr<TWinBtr> other_;
    TScriptedDialogs dialogs_;
    TDynCharArr buffer_ = TDynCharArr(NoteLength);
};

TEST_F(RecordFileLayer, OperationsBeforeAnOpenOrOnAFreeNumberAreRefused)
{
    bool eof = false;
    EXPECT_EQ(AbortText([&] { GetFirstRecord(5, buffer_, eof, false); }), "WBTRV32.DLL is not loaded!");
    OpenNotes();
    EXPECT_EQ(AbortText([&] { GetFirstRecord(5, buffer_, eof, false); }), "Filenumber is not valid!");
    EXPECT_EQ(AbortText([&] { InsertRecord(5, "x"); }), "Filenumber is not valid!");
    EXPECT_FALSE(IsFileOpen(5));
    EXPECT_NO_THROW(CloseHostFile(5));
}

TEST_F(RecordFileLayer, OpensUnderTagsAndRefusesASecondOpenOfTheNumber)
{
    OpenHostFile(NoteFile, notes_ + ";EM", 0);
    EXPECT_TRUE(IsFileOpen(NoteFile));
    EXPECT_EQ(HostFileSlot(NoteFile).Path, notes_);
    ASSERT_TRUE(HostFileSlot(NoteFile).Structure);
    EXPECT_EQ(HostFileSlot(NoteFile).Structure->Buffer.size(), 74u);
    EXPECT_EQ(HostFileSlot(NoteFile).Structure->FileNumber, NoteFile);
    EXPECT_EQ(HostTagStructure(HostFileTag::EM), HostFileSlot(NoteFile).Structure);
    EXPECT_EQ(AbortText([&] { OpenHostFile(NoteFile, notes_, 0); }),
              "File already opened as number 99:\r" + notes_);

    OpenHostFile(1, notes_ + ";XX", 0);
    EXPECT_FALSE(HostFileSlot(1).Structure);
    OpenHostFile(2, notes_ + ";HF", 0);
    EXPECT_FALSE(HostFileSlot(2).Structure);
    OpenHostFile(3, notes_, 0);
    EXPECT_FALSE(HostFileSlot(3).Structure);

    CloseHostFile(NoteFile);
    EXPECT_FALSE(IsFileOpen(NoteFile));
    EXPECT_TRUE(HostFileSlot(NoteFile).Path.empty());
    OpenHostFile(NoteFile, notes_ + ";NT", 0);
    EXPECT_EQ(HostFileSlot(NoteFile).Structure->Buffer.size(), 97u);
}

TEST_F(RecordFileLayer, AMissingFileFailsTheOpenAndLeavesTheSlotFree)
{
    const std::string spec = (folder_ / "missing.qf").string() + ";FE";
    EXPECT_EQ(AbortText([&] { OpenHostFile(7, spec, 0); }),
              "The file " + spec + " could not be opened.\r\r" + StatusLines(12) + ".");
    EXPECT_FALSE(IsFileOpen(7));
    bool eof = false;
    EXPECT_EQ(AbortText([&] { GetFirstRecord(7, buffer_, eof, false); }), "Filenumber is not valid!");
    EXPECT_FALSE(HostTagStructure(HostFileTag::FE));
}

TEST_F(RecordFileLayer, ReadsByKeyAndStepsThroughAnAccount)
{
    OpenNotes();
    AddNotes();
    ASSERT_TRUE(GetEqualRecord(NoteFile, AccountKey("ABC", "1", '0'), buffer_, false));
    EXPECT_EQ(TextOf(buffer_), NoteText("ABC", "1", '0', "first of ABC 1"));
    bool eof = false;
    GetNextRecord(NoteFile, buffer_, eof, false);
    EXPECT_EQ(TextOf(buffer_), NoteText("ABC", "1", '1', "second of ABC 1"));
    GetNextRecord(NoteFile, buffer_, eof, false);
    EXPECT_EQ(TextOf(buffer_), NoteText("ZED", "7", '0', "only of ZED 7"));
    EXPECT_FALSE(eof);
    GetNextRecord(NoteFile, buffer_, eof, false);
    EXPECT_TRUE(eof);
    GetPrevRecord(NoteFile, buffer_, eof, false);
    EXPECT_FALSE(eof);
    EXPECT_EQ(TextOf(buffer_), NoteText("ABC", "1", '1', "second of ABC 1"));
    GetFirstRecord(NoteFile, buffer_, eof, false);
    EXPECT_EQ(TextOf(buffer_), NoteText("ABC", "", ' ', ""));

    EXPECT_TRUE(GetEqualRecord(NoteFile, AccountKey("ABC", "", ' '), buffer_, false));
    EXPECT_FALSE(GetEqualRecord(NoteFile, AccountKey("NONE", "1", '0'), buffer_, false));
    EXPECT_TRUE(dialogs_.Shown.empty());
}

TEST_F(RecordFileLayer, InsertWritesFourZeroBytesAndTheText)
{
    const THostFileDefs shortRecords("layout SHORT record 7\n| 1 | Auto | autoincrement | 0 | 4 |\n"
                                     "| 2 | Text | string | 4 | 3 |\n",
                                     "file short.qf : SHORT\nkey 0 : Auto\n");
    THostDataDir(folder_.string(), shortRecords).MakeFile("short.qf");
    OpenHostFile(1, (folder_ / "short.qf").string(), 0);
    InsertRecord(1, "abc");
    TDynCharArr record(7);
    bool eof = false;
    GetFirstRecord(1, record, eof, false);
    EXPECT_EQ(std::string(record.begin() + 4, record.end()), "abc");
    Integer number = 0;
    std::memcpy(&number, record.data(), 4);
    EXPECT_EQ(number, 1) << "the record manager numbers the zero autoincrement field";
    EXPECT_EQ(AbortText([&] { InsertRecord(1, "ab"); }), "This record could not be written.\r" + StatusLines(22));
}

TEST_F(RecordFileLayer, DeletesTheRecordLastRead)
{
    OpenNotes();
    AddNotes();
    ASSERT_TRUE(GetEqualRecord(NoteFile, AccountKey("ABC", "1", '0'), buffer_, false));
    DeleteCurrentRecord(NoteFile);
    EXPECT_FALSE(GetEqualRecord(NoteFile, AccountKey("ABC", "1", '0'), buffer_, false));
    EXPECT_TRUE(GetEqualRecord(NoteFile, AccountKey("ABC", "1", '1'), buffer_, false));
    DeleteCurrentRecord(NoteFile);
    EXPECT_EQ(AbortText([&] { DeleteCurrentRecord(NoteFile); }),
              "This record could not be deleted.\r" + StatusLines(8));
}

TEST_F(RecordFileLayer, RefusesKeyNumbersTheFileLacksAndKeepsThePreviousOne)
{
    OpenNotes();
    AddNotes();
    for (Byte key : {Byte(2), Byte(9)}) {
        EXPECT_EQ(AbortText([&] { SetFileIndex(NoteFile, key); }),
                  "Unable to set an index for file #99.\r\r" + StatusLines(6));
    }
    EXPECT_TRUE(GetEqualRecord(NoteFile, AccountKey("ZED", "7", '0'), buffer_, false)) << "still by key 1";
}

TEST_F(RecordFileLayer, KeyNumbersWithGapsAreThoseTheFileGives)
{
    const THostFileDefs gapped("layout GAPPED record 11\n| 1 | Auto | autoincrement | 0 | 4 |\n"
                               "| 2 | Code | string | 4 | 7 |\n",
                               "file gapped.qf : GAPPED\nkey 0 : Auto\nkey 3 : Code\n");
    THostDataDir(folder_.string(), gapped).MakeFile("gapped.qf");
    OpenHostFile(4, (folder_ / "gapped.qf").string(), 0);
    InsertRecord(4, "B-CODE ");
    InsertRecord(4, "A-CODE ");
    SetFileIndex(4, 3);
    TDynCharArr record(11);
    bool eof = false;
    GetFirstRecord(4, record, eof, false);
    EXPECT_EQ(std::string(record.begin() + 4, record.end()), "A-CODE ");
    for (Byte key : {Byte(1), Byte(2)}) {
        EXPECT_EQ(AbortText([&] { SetFileIndex(4, key); }), "Unable to set an index for file #4.\r\r" + StatusLines(6));
    }
}

TEST_F(RecordFileLayer, RefusesTooLongKeysAndTooShortBuffers)
{
    OpenNotes();
    AddNotes();
    EXPECT_EQ(AbortText([&] { GetEqualRecord(NoteFile, std::string(257, 'A'), buffer_, false); }),
              "A record could not be located in the file.\r\r" + StatusLines(21));
    EXPECT_FALSE(GetEqualRecord(NoteFile, std::string(256, 'A'), buffer_, false));
    TDynCharArr shortBuffer(NoteLength - 1);
    TDynCharArr empty;
    bool eof = false;
    EXPECT_EQ(AbortText([&] { GetFirstRecord(NoteFile, shortBuffer, eof, false); }), "Databuffer is invalid!");
    EXPECT_EQ(AbortText([&] { GetNextRecord(NoteFile, empty, eof, false); }), "Databuffer is invalid!");
    EXPECT_EQ(AbortText([&] { GetEqualRecord(NoteFile, AccountKey("ABC", "1", '0'), shortBuffer, false); }),
              "Databuffer is invalid!");
}

TEST_F(RecordFileLayer, ALockThatClearsWithinThePeriodIsInvisible)
{
    OpenNotes();
    AddNotes();
    LockByOther(AccountKey("ABC", "1", '0'));
    // Starts just before the tick counter wraps: the deadline lies after the wrap.
    SteppingTicks ticks(0xFFFFFF00u, 100);
    int reads = 0;
    ticks.onTick = [&] {
        if (++reads == 20) UnlockByOther();
    };
    EXPECT_TRUE(GetEqualRecord(NoteFile, AccountKey("ABC", "1", '0'), buffer_, true));
    EXPECT_EQ(TextOf(buffer_), NoteText("ABC", "1", '0', "first of ABC 1"));
    EXPECT_TRUE(dialogs_.Shown.empty());
}

TEST_F(RecordFileLayer, AHeldRecordLockAsksAndNoAborts)
{
    OpenNotes();
    AddNotes();
    LockByOther(AccountKey("ABC", "1", '0'));
    SteppingTicks ticks(1000, 500);
    dialogs_.AnswerNextBox(mrNo);
    EXPECT_EQ(AbortText([&] { GetEqualRecord(NoteFile, AccountKey("ABC", "1", '0'), buffer_, true); }),
              "A record lock was encountered.");
    ASSERT_EQ(dialogs_.Shown.size(), 1u);
    EXPECT_EQ(dialogs_.Shown[0].Text, "A record lock was encountered.  Retry?");
    EXPECT_EQ(dialogs_.Shown[0].Buttons, (TMsgDlgButtons{mbYes, mbNo}));

    // Yes goes on for another period; the lock clears during it.
    dialogs_.Shown.clear();
    LockByOther(AccountKey("ABC", "1", '1'));
    ASSERT_TRUE(GetEqualRecord(NoteFile, AccountKey("ABC", "1", '0'), buffer_, false));
    dialogs_.AnswerNextBox(mrYes);
    ticks.onTick = [&] {
        if (dialogs_.Shown.size() == 1 && Other().LockedPosition() != 0) UnlockByOther();
    };
    bool eof = false;
    GetNextRecord(NoteFile, buffer_, eof, true);
    EXPECT_EQ(dialogs_.Shown.size(), 1u);
    EXPECT_EQ(TextOf(buffer_), NoteText("ABC", "1", '1', "second of ABC 1"));
}

TEST_F(RecordFileLayer, ADeleteOfALockedRecordRetriesAndNoAborts)
{
    OpenNotes();
    AddNotes();
    ASSERT_TRUE(GetEqualRecord(NoteFile, AccountKey("ZED", "7", '0'), buffer_, false));
    LockByOther(AccountKey("ZED", "7", '0'));
    SteppingTicks ticks(0, 700);
    dialogs_.AnswerNextBox(mrNo);
    EXPECT_EQ(AbortText([&] { DeleteCurrentRecord(NoteFile); }), "A record lock was encountered.");
    EXPECT_EQ(dialogs_.Shown.size(), 1u);
    ticks.onTick = [&] {
        if (Other().LockedPosition() != 0) UnlockByOther();
    };
    DeleteCurrentRecord(NoteFile);
    EXPECT_FALSE(GetEqualRecord(NoteFile, AccountKey("ZED", "7", '0'), buffer_, false));
}

TEST_F(RecordFileLayer, AFileLockAtOpenAsksAndNoFailsTheOpen)
{
    Other().Open(notes_, nullptr, -4);
    SteppingTicks ticks(5000, 250);
    dialogs_.AnswerNextBox(mrNo);
    const std::string text = AbortText([&] { OpenHostFile(NoteFile, notes_ + ";NT", 0); });
    EXPECT_TRUE(text == "The file " + notes_ + ";NT could not be opened.\r\r" + StatusLines(85) + "." ||
                text == "The file " + notes_ + ";NT could not be opened.\r\r" + StatusLines(88) + ".")
            << text;
    ASSERT_EQ(dialogs_.Shown.size(), 1u);
    EXPECT_EQ(dialogs_.Shown[0].Text, "File:  " + notes_ + ";NT\r\rA file lock was encountered.  Retry?");
    EXPECT_FALSE(IsFileOpen(NoteFile));
    EXPECT_FALSE(HostTagStructure(HostFileTag::NT));

    // The exclusive user leaves during the next attempt's period.
    int reads = 0;
    ticks.onTick = [&] {
        if (++reads == 5 && Other().IsOpen()) Other().Close();
    };
    OpenHostFile(NoteFile, notes_ + ";NT", 0);
    EXPECT_TRUE(IsFileOpen(NoteFile));
    EXPECT_EQ(dialogs_.Shown.size(), 1u);
}

}  // namespace
