// The delinquent-account notes of note.qf (file number 99 of the record-file layer), without a window: the note
// record, the sorted list of accounts with notes, reading an account's notes into the 36 rows of the account
// form's grid, adding, editing with the renumbering rewrite, deleting all notes of an account, Next and Prior over
// the list, and the minimum total A/R. The account form shows the rows and asks through its dialogs; messages go
// through the dialogs service.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "hostdata/BFilesU2.h"

constexpr Byte NoteFileNumber = 99;
constexpr Integer MaxNotes = 36;
// The note's place; a blank marks an account without notes.
extern const std::string NoteSequence;

#pragma pack(push, 1)
struct NoteRecord {
    char AutoIncrement[4];
    char ClientCode[7];
    char CaseSuffix[7];
    char Sequence;
    char Comment[78];
};
#pragma pack(pop)
static_assert(sizeof(NoteRecord) == 97);

constexpr size_t NoteRecordLength = sizeof(NoteRecord);
constexpr size_t AccountKeyLength = sizeof(NoteRecord::ClientCode) + sizeof(NoteRecord::CaseSuffix);

// "%-7s%-7s" of the trimmed client code and case suffix, each cut to 7.
std::string AccountKey(const std::string& clientCode, const std::string& caseSuffix);
// The text InsertRecord writes after the autoincrement field: account key, sequence, comment cut to 78.
std::string NoteRecordText(const std::string& accountKey, char sequence, const std::string& comment);
// "CLIENT" or "CLIENT-SUFFIX" of the trimmed codes.
std::string AccountName(const std::string& clientCode, const std::string& caseSuffix);

// Opens note.qf of the data directory as file 99 on key 1 unless it is open; true when it is open afterwards. A
// layer that refuses the open raises its EAbort.
bool OpenNoteFile(const std::string& dataDirectory);

enum class TStepDirection { Next, Prior };

// What a Next or Prior click does: clear the display, then go to the target account key (none: stay).
struct TStep {
    bool ClearDisplay = false;
    std::string Target;
};

// The client code and the case suffix the form's fields get for a list entry.
struct TAccountFields {
    std::string ClientCode;
    std::string CaseSuffix;  // empty: the field is left alone
};
TAccountFields AccountFieldsOf(const std::string& accountKey, bool numericOrder);

// What the browse does after the figures when the total A/R is below the minimum.
enum class TMinimumARAction { None, StepAgain, Stop };

// The minimum total A/R as typed: the first "$" and every "," removed, cut before the first ".".
struct TMinimumARText {
    enum TResult { Accepted, Negative, Invalid } Result;
    std::string Cleaned;
};
TMinimumARText CleanMinimumAR(const std::string& text);

class TAccountNotes {
public:
    using TRows = std::array<std::string, MaxNotes>;

    explicit TAccountNotes(std::string dataDirectory);

    // Opens the note file and lists every account with a note "0". False (after the message) when the file is
    // not open; a layer that refuses the open raises its EAbort.
    bool BuildAccountList();
    const std::vector<std::string>& AccountList() const { return accountList_; }
    void RemoveFromAccountList(const std::string& accountKey);

    const TRows& Rows() const { return rows_; }
    void SetRow(Integer row, const std::string& text) { rows_.at(size_t(row)) = text; }
    void ClearRows() { rows_.fill(""); }

    // The account's notes into the rows (the first 36 of them); the row to select, or -1 without notes. An account
    // with only the no-notes marker sets MarkerFound. The buffer holds the account's last note afterwards.
    Integer ReadAccountNotes(const std::string& clientCode, const std::string& caseSuffix);

    // Shows the refusal and answers true when the account holds more notes than the rows, which then may not be
    // changed here.
    bool RefuseChange() const;
    // After the add dialog: added with its text, or cancelled. Removes a marker either way. Adding fills the first
    // empty row and inserts the note after the last one.
    void AddNote(const std::string& clientCode, const std::string& caseSuffix, bool added, const std::string& text);
    // After the edit dialog saved: the row takes the text (an empty text closes the gap), and the account's notes
    // are rewritten numbered from "0". False when the rewrite failed (the old notes are back in the file).
    bool EditNote(const std::string& clientCode, const std::string& caseSuffix, Integer row, const std::string& text);
    // Asks, then deletes every note of the account and takes it out of the list; false when the answer was No.
    bool DeleteAccountNotes(const std::string& clientCode, const std::string& caseSuffix);

    TStep StepNext(const std::string& accountKey);
    TStep StepPrior(const std::string& accountKey);
    TMinimumARAction ApplyMinimumAR(double totalAR, const std::string& accountKey) const;
    // Takes a cleaned text as the minimum; an empty text raises the conversion error and keeps the minimum.
    void SetMinimumAR(const std::string& cleaned);

    TDynCharArr Buffer = TDynCharArr(NoteRecordLength);
    std::string LastSequence;
    bool MarkerFound = false;
    TStepDirection Direction = TStepDirection::Next;
    double MinimumAR = 0;
    // Writes one record text (InsertRecord on the note file); replaceable in tests.
    std::function<void(const std::string& text)> Insert;

private:
    struct TNote {
        char Sequence;
        std::string Comment;
    };

    void AddToAccountList(const std::string& accountKey);
    std::string BufferKey() const;
    bool BufferBlank() const;
    void ReadNoteFromBuffer();
    void DeleteMarker(const std::string& accountKey);
    // The account's notes from "0" on, in key order; the buffer holds the last one.
    std::vector<TNote> ReadFileNotes(const std::string& accountKey);
    void DeleteFileNotes(const std::string& accountKey);
    // Deletes the account's notes and inserts the first count rows numbered from "0"; a refused insert puts the old
    // notes back and raises again.
    void RewriteFileNotes(const std::string& accountKey, const std::vector<TNote>& oldNotes, Integer count);
    // The rewrite of the first count rows with its messages; false when it failed.
    bool RewriteNotes(const std::string& clientCode, const std::string& caseSuffix, Integer count);
    char NextSequence(const std::string& clientCode, const std::string& caseSuffix, Integer newRow);
    Integer FilledRows() const;
    void CloseRowGap(Integer row);

    std::string dataDirectory_;
    std::vector<std::string> accountList_;
    TRows rows_;
    Integer fileNoteCount_ = 0;
};
