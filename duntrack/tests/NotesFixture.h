// A fixture data directory with a note file, read and written through the program's record-file layer.
#pragma once

#include <string>
#include <vector>

#include "TrackingFixture.h"
#include "duntrack/AccountNotes.h"

struct TNoteRow {
    std::string Client, Case;
    char Sequence;
    std::string Text;
};

inline void AddNoteRows(THostDataDir& dir, const std::vector<TNoteRow>& rows)
{
    AddRows(dir, "note.qf", rows, [](THostRecord& record, const TNoteRow& row) {
        record.Set("ClientCode", row.Client).Set("CaseSuffix", row.Case);
        record.Set("NoteNumber", std::string(1, row.Sequence)).Set("Note", row.Text);
    });
}

class NotesTest : public TrackingTest {
protected:
    void TearDown() override
    {
        ShutdownHostFiles();
        TrackingTest::TearDown();
    }

    // Every record of the note file after its autoincrement field, in key order.
    std::vector<std::string> FileRecords()
    {
        EXPECT_TRUE(OpenNoteFile(folder_));
        std::vector<std::string> records;
        TDynCharArr record(NoteRecordLength);
        bool endOfFile = false;
        for (GetFirstRecord(NoteFileNumber, record, endOfFile, false); !endOfFile;
             GetNextRecord(NoteFileNumber, record, endOfFile, false))
            records.emplace_back(record.begin() + 4, record.end());
        return records;
    }

    // The records of one account.
    std::vector<std::string> AccountRecords(const std::string& client, const std::string& suffix)
    {
        std::vector<std::string> records;
        for (const std::string& record : FileRecords())
            if (record.substr(0, AccountKeyLength) == AccountKey(client, suffix)) records.push_back(record);
        return records;
    }
};
