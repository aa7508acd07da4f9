#include "duntrack/AccountNotes.h"

#include <algorithm>
#include <cctype>
#include <cstddef>

#include "hostdata/OVWCon.h"
#include "rtl/StringRoutines.h"
#include "rtl/SysUtils.h"
#include "vcl/Dialogs.h"

const std::string NoteSequence = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

namespace {

constexpr size_t CodeWidth = 7;
constexpr size_t CommentWidth = sizeof(NoteRecord::Comment);
constexpr size_t KeyOffset = offsetof(NoteRecord, ClientCode);
constexpr size_t SequenceOffset = offsetof(NoteRecord, Sequence);
constexpr size_t CommentOffset = offsetof(NoteRecord, Comment);
constexpr char MarkerSequence = ' ';
constexpr char NoSequence = '\0';
constexpr int GreaterOrEqual = 3;

const std::string NoMoreAccountsText = "No more delinquent account records in this direction.";

std::string Padded(const std::string& text, size_t width)
{
    std::string cut = text.substr(0, width);
    cut.resize(width, ' ');
    return cut;
}

void ShowError(const std::string& text) { MessageDlg(text, mtError, TMsgDlgButtons{mbOK}, 0); }
void ShowInformation(const std::string& text) { MessageDlg(text, mtInformation, TMsgDlgButtons{mbOK}, 0); }

void ShowNoteFileFailure() { ShowError("Unable to open or access NOTES.QF." + ContactForAssistanceText); }

}  // namespace

std::string AccountKey(const std::string& clientCode, const std::string& caseSuffix)
{
    return Padded(Trim(clientCode), CodeWidth) + Padded(Trim(caseSuffix), CodeWidth);
}

std::string NoteRecordText(const std::string& accountKey, char sequence, const std::string& comment)
{
    return Padded(accountKey, AccountKeyLength) + sequence + Padded(comment, CommentWidth);
}

std::string AccountName(const std::string& clientCode, const std::string& caseSuffix)
{
    const std::string suffix = Trim(caseSuffix);
    return Trim(clientCode) + (suffix.empty() ? "" : "-" + suffix);
}

bool OpenNoteFile(const std::string& dataDirectory)
{
    if (!IsFileOpen(NoteFileNumber)) {
        OpenHostFile(NoteFileNumber, dataDirectory + "\\note.qf", 0);
        if (IsFileOpen(NoteFileNumber)) SetFileIndex(NoteFileNumber, 1);
    }
    return IsFileOpen(NoteFileNumber);
}

TAccountFields AccountFieldsOf(const std::string& accountKey, bool numericOrder)
{
    const std::string key = Padded(accountKey, AccountKeyLength);
    const std::string suffix = Trim(key.substr(CodeWidth));
    TAccountFields fields{key.substr(0, CodeWidth), ""};
    if (!suffix.empty()) fields.CaseSuffix = Format(numericOrder ? "%7s" : "%-7s", {suffix});
    return fields;
}

TMinimumARText CleanMinimumAR(const std::string& text)
{
    if (text.find('-') != std::string::npos) return {TMinimumARText::Negative, text};
    std::string cleaned = text;
    if (const size_t dollar = cleaned.find('$'); dollar != std::string::npos) cleaned.erase(dollar, 1);
    cleaned.erase(std::remove(cleaned.begin(), cleaned.end(), ','), cleaned.end());
    if (const size_t point = cleaned.find('.'); point != std::string::npos) cleaned.erase(point);
    const bool digitsOnly = cleaned.find_first_not_of("1234567890") == std::string::npos;
    return {digitsOnly ? TMinimumARText::Accepted : TMinimumARText::Invalid, cleaned};
}

// ---- TAccountNotes

TAccountNotes::TAccountNotes(std::string dataDirectory) : dataDirectory_(std::move(dataDirectory))
{
    Insert = [](const std::string& text) { InsertRecord(NoteFileNumber, text); };
}

bool TAccountNotes::BuildAccountList()
{
    if (!OpenNoteFile(dataDirectory_)) {
        ShowNoteFileFailure();
        return false;
    }
    accountList_.clear();
    TDynCharArr record(NoteRecordLength);
    bool endOfFile = false;
    for (GetFirstRecord(NoteFileNumber, record, endOfFile, false); !endOfFile;
         GetNextRecord(NoteFileNumber, record, endOfFile, false)) {
        if (record[SequenceOffset] == '0') accountList_.emplace_back(&record[KeyOffset], AccountKeyLength);
    }
    std::sort(accountList_.begin(), accountList_.end());
    accountList_.erase(std::unique(accountList_.begin(), accountList_.end()), accountList_.end());
    return true;
}

void TAccountNotes::AddToAccountList(const std::string& accountKey)
{
    const auto at = std::lower_bound(accountList_.begin(), accountList_.end(), accountKey);
    if (at == accountList_.end() || *at != accountKey) accountList_.insert(at, accountKey);
}

void TAccountNotes::RemoveFromAccountList(const std::string& accountKey)
{
    const auto at = std::find(accountList_.begin(), accountList_.end(), accountKey.substr(0, AccountKeyLength));
    if (at != accountList_.end()) accountList_.erase(at);
}

std::string TAccountNotes::BufferKey() const { return std::string(&Buffer[KeyOffset], AccountKeyLength); }

bool TAccountNotes::BufferBlank() const
{
    return std::all_of(Buffer.begin() + KeyOffset, Buffer.end(), [](char c) { return c == ' ' || c == '\0'; });
}

// --- Reading ---------------------------------------------------------------------------------------------------------

void TAccountNotes::ReadNoteFromBuffer()
{
    if (fileNoteCount_ < MaxNotes)
        rows_[size_t(fileNoteCount_)] = std::string(&Buffer[CommentOffset], CommentWidth);
    ++fileNoteCount_;
    LastSequence = std::string(1, Buffer[SequenceOffset]);
}

Integer TAccountNotes::ReadAccountNotes(const std::string& clientCode, const std::string& caseSuffix)
{
    const std::string key = AccountKey(clientCode, caseSuffix);
    fileNoteCount_ = 0;
    if (!GetEqualRecord(NoteFileNumber, key + "0", Buffer, false)) {
        if (GetEqualRecord(NoteFileNumber, key + MarkerSequence, Buffer, false)) MarkerFound = true;
        return -1;
    }
    ReadNoteFromBuffer();
    for (bool endOfFile = false;;) {
        GetNextRecord(NoteFileNumber, Buffer, endOfFile, false);
        // A failed read leaves the position, and the buffer, on the account's last note.
        if (endOfFile) break;
        if (BufferKey() != key) {
            GetPrevRecord(NoteFileNumber, Buffer, endOfFile, false);
            break;
        }
        ReadNoteFromBuffer();
    }
    return std::min(fileNoteCount_, MaxNotes) - 1;
}

std::vector<TAccountNotes::TNote> TAccountNotes::ReadFileNotes(const std::string& accountKey)
{
    std::vector<TNote> notes;
    bool endOfFile = false;
    for (bool found = GetEqualRecord(NoteFileNumber, accountKey + "0", Buffer, false); found && BufferKey() == accountKey;
         found = !endOfFile) {
        notes.push_back({Buffer[SequenceOffset], std::string(&Buffer[CommentOffset], CommentWidth)});
        GetNextRecord(NoteFileNumber, Buffer, endOfFile, false);
    }
    return notes;
}

// --- Changing --------------------------------------------------------------------------------------------------------

bool TAccountNotes::RefuseChange() const
{
    if (fileNoteCount_ <= MaxNotes) return false;
    ShowError("This account has more than " + IntToStr(MaxNotes) +
              " notes in the data file; they cannot be changed here.\r\r" + ContactForAssistanceText);
    return true;
}

Integer TAccountNotes::FilledRows() const
{
    const auto empty = std::find_if(rows_.begin(), rows_.end(), [](const std::string& row) { return Trim(row).empty(); });
    return Integer(empty - rows_.begin());
}

void TAccountNotes::DeleteMarker(const std::string& accountKey)
{
    if (GetEqualRecord(NoteFileNumber, accountKey + MarkerSequence, Buffer, false)) DeleteCurrentRecord(NoteFileNumber);
    RemoveFromAccountList(accountKey);
}

// The sequence after the last one, without regard to case; a last sequence outside the sequence string (or at its
// end) has the account's notes renumbered first, so that the new note's key is never taken. NoSequence when that
// failed.
char TAccountNotes::NextSequence(const std::string& clientCode, const std::string& caseSuffix, Integer newRow)
{
    if (LastSequence.empty()) return NoteSequence[0];
    const size_t at = NoteSequence.find(char(toupper(static_cast<unsigned char>(LastSequence[0]))));
    if (at != std::string::npos && at + 1 < NoteSequence.size()) return NoteSequence[at + 1];
    return RewriteNotes(clientCode, caseSuffix, newRow) ? NoteSequence[size_t(newRow)] : NoSequence;
}

void TAccountNotes::AddNote(const std::string& clientCode, const std::string& caseSuffix, bool added,
                            const std::string& text)
{
    const std::string key = AccountKey(clientCode, caseSuffix);
    try {
        if (added && !RefuseChange()) {
            const Integer row = FilledRows();
            if (row >= MaxNotes) {
                ShowError("Unable to add a new note at this time." + ContactForAssistanceText);
            } else {
                rows_[size_t(row)] = text;
                if (row == 0) LastSequence.clear();
                if (MarkerFound) DeleteMarker(key);
                const char sequence = NextSequence(clientCode, caseSuffix, row);
                if (sequence != NoSequence) {
                    LastSequence = std::string(1, sequence);
                    Insert(NoteRecordText(key, sequence, text));
                    AddToAccountList(key);
                    ++fileNoteCount_;
                }
            }
        } else if (MarkerFound) {
            DeleteMarker(key);
        }
    } catch (const EAbort& e) {
        if (!e.Message().empty()) ShowError(e.Message() + ContactForAssistanceText);
    }
    MarkerFound = false;
}

void TAccountNotes::CloseRowGap(Integer row)
{
    for (Integer i = row; i + 1 < MaxNotes && !Trim(rows_[size_t(i + 1)]).empty(); ++i) {
        rows_[size_t(i)] = rows_[size_t(i + 1)];
        rows_[size_t(i + 1)].clear();
    }
}

bool TAccountNotes::EditNote(const std::string& clientCode, const std::string& caseSuffix, Integer row,
                             const std::string& text)
{
    if (RefuseChange()) return false;
    rows_.at(size_t(row)) = Trim(text);
    if (rows_[size_t(row)].empty()) CloseRowGap(row);
    return RewriteNotes(clientCode, caseSuffix, FilledRows());
}

void TAccountNotes::DeleteFileNotes(const std::string& accountKey)
{
    bool endOfFile = false;
    while (GetRecordByKeyKind(NoteFileNumber, accountKey + "0", Buffer, endOfFile, GreaterOrEqual) &&
           BufferKey() == accountKey)
        DeleteCurrentRecord(NoteFileNumber);
}

void TAccountNotes::RewriteFileNotes(const std::string& accountKey, const std::vector<TNote>& oldNotes,
                                     Integer count)
{
    DeleteFileNotes(accountKey);
    try {
        for (Integer row = 0; row < count; ++row)
            Insert(NoteRecordText(accountKey, NoteSequence[size_t(row)], Trim(rows_[size_t(row)])));
    } catch (const EAbort&) {
        DeleteFileNotes(accountKey);
        ClearRows();
        for (size_t i = 0; i < oldNotes.size(); ++i) {
            Insert(NoteRecordText(accountKey, oldNotes[i].Sequence, oldNotes[i].Comment));
            if (i < rows_.size()) rows_[i] = oldNotes[i].Comment;
        }
        throw;
    }
    LastSequence = count > 0 ? std::string(1, NoteSequence[size_t(count - 1)]) : "";
    fileNoteCount_ = count;
}

bool TAccountNotes::RewriteNotes(const std::string& clientCode, const std::string& caseSuffix, Integer count)
{
    const std::string key = AccountKey(clientCode, caseSuffix);
    try {
        if (!OpenNoteFile(dataDirectory_)) {
            ShowNoteFileFailure();
            return false;
        }
        const std::vector<TNote> oldNotes = ReadFileNotes(key);
        if (oldNotes.empty()) {
            ShowError("Unable to locate the notes for " + AccountName(clientCode, caseSuffix) + " in the data file." +
                      ContactForAssistanceText);
            return false;
        }
        RewriteFileNotes(key, oldNotes, count);
        return true;
    } catch (const EAbort& e) {
        ShowError(e.Message() + ContactForAssistanceText);
    } catch (const Exception&) {
        ShowError("Unable to modify the notes for " + key + " in the data file." + ContactForAssistanceText);
    }
    return false;
}

bool TAccountNotes::DeleteAccountNotes(const std::string& clientCode, const std::string& caseSuffix)
{
    if (Trim(rows_[0]).empty()) return false;
    const std::string question = "Are you sure you want to delete all the notes for " + Trim(clientCode) + "-" +
                                 Trim(caseSuffix) + "?";
    if (MessageDlg(question, mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0) == mrNo) return false;
    const std::string key = AccountKey(clientCode, caseSuffix);
    if (OpenNoteFile(dataDirectory_)) DeleteFileNotes(key);
    ClearRows();
    fileNoteCount_ = 0;
    RemoveFromAccountList(key);
    return true;
}

// --- Stepping ----------------------------------------------------------------------------------------------------------

TStep TAccountNotes::StepNext(const std::string& accountKey)
{
    Direction = TStepDirection::Next;
    if (accountList_.empty() || accountKey == accountList_.back()) {
        ShowInformation(NoMoreAccountsText);
        return {};
    }
    TStep step{true, ""};
    auto target = accountList_.begin();
    if (!BufferBlank()) {
        // The buffer's account may be gone from the list (deleted, or only a marker): the first entry after it.
        const std::string position = BufferKey();
        target = Trim(accountKey).empty() ? std::lower_bound(accountList_.begin(), accountList_.end(), position)
                                          : std::upper_bound(accountList_.begin(), accountList_.end(), position);
    }
    if (target == accountList_.end())
        ShowInformation(NoMoreAccountsText);
    else
        step.Target = *target;
    return step;
}

TStep TAccountNotes::StepPrior(const std::string& accountKey)
{
    Direction = TStepDirection::Prior;
    const std::string key = Trim(accountKey).empty() ? BufferKey() : accountKey;
    const auto at = std::find(accountList_.begin(), accountList_.end(), key);
    if (accountList_.empty() || at == accountList_.begin()) {
        ShowInformation(NoMoreAccountsText);
        return {};
    }
    if (at == accountList_.end()) {
        ShowError("Unable to find the previous delinquent account record.\r\rPlease use the dropdown lists to select "
                  "it.");
        return {};
    }
    return {true, *(at - 1)};
}

TMinimumARAction TAccountNotes::ApplyMinimumAR(double totalAR, const std::string& accountKey) const
{
    if (std::max(totalAR, 0.0) >= MinimumAR) return TMinimumARAction::None;
    if (!accountList_.empty()) {
        const std::string& boundary =
            Direction == TStepDirection::Prior ? accountList_.front() : accountList_.back();
        if (accountKey != boundary) return TMinimumARAction::StepAgain;
    }
    ShowInformation(NoMoreAccountsText);
    return TMinimumARAction::Stop;
}

void TAccountNotes::SetMinimumAR(const std::string& cleaned) { MinimumAR = StrToFloat(cleaned); }
