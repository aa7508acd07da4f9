#include "vxdata/Vxlocate.h"

#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "db/Bcd.h"
#include "db/DBTables.h"
#include "db/DataSet.h"
#include "db/Field.h"
#include "db/StringField.h"
#include "engine/components/BseMainErr.h"
#include "engine/core/BseEng.h"
#include "engine/core/BseError.h"
#include "rtl/DateFormat.h"
#include "rtl/DateTime.h"
#include "rtl/FloatConv.h"
#include "rtl/IntConv.h"
#include "rtl/Streams.h"
#include "rtl/StringRoutines.h"
#include "vcl/Dialogs.h"
#include "vcl/Forms.h"
#include "vcl/RichEdit.h"
#include "vxdata/Vxcommon.h"
#include "vxdata/Vxincfind.h"
#include "vxdata/vxFilterTime.h"
#include "vxdata/vxSystem.h"

namespace {

template <class T>
T ValueAs(const void* value)
{
    T result;
    std::memcpy(&result, value, sizeof result);
    return result;
}

bool IsFloatField(TField* field)
{
    const TFieldType type = field->DataType();
    return type == ftFloat || type == ftCurrency || type == ftBCD;
}

// An exact search on a number field compares numbers; a search that is not a number matches nothing there.
bool NumberTextMatches(const std::string& text, const std::string& search)
{
    if (!vxIsFloatText(search) || text.empty()) return false;
    double wanted = 0, held = 0;
    return TryStrToFloat(search, wanted) && TryStrToFloat(text, held) && wanted == held;
}

struct TLocateSearch {
    TDataSet* DataSet;
    TField* Field;
    std::string Search;
    Integer MatchType;
    bool CaseSensitive;
    bool FromStart;

    bool TextMatches(const std::string& text) const
    {
        if (MatchType == mtExactMatch && IsFloatField(Field) && !Search.empty())
            return NumberTextMatches(text, Search);
        return vxLocateTextMatches(text, Search, MatchType, CaseSensitive);
    }
};

class THourGlass {
public:
    THourGlass() { Screen->SetCursor(crHourGlass); }
    ~THourGlass() { Screen->SetCursor(crDefault); }
    THourGlass(const THourGlass&) = delete;
    THourGlass& operator=(const THourGlass&) = delete;
};

// Keeps the dataset's controls still while it lives.
class TControlsDisabled {
public:
    explicit TControlsDisabled(TDataSet* dataSet) : dataSet_(dataSet) { dataSet_->DisableControls(); }
    ~TControlsDisabled() { dataSet_->EnableControls(); }
    TControlsDisabled(const TControlsDisabled&) = delete;
    TControlsDisabled& operator=(const TControlsDisabled&) = delete;

private:
    TDataSet* dataSet_;
};

// The text of a memo, rich text read as plain text through a hidden rich edit made on first need.
class TMemoText {
public:
    ~TMemoText()
    {
        if (richEdit_) richEdit_->Free();
        delete stream_;
        if (holder_) holder_->Free();
    }

    std::string Of(TField* field)
    {
        std::string text = field->AsString();
        if (!text.starts_with("{\\rtf") && !vxIsRichTextField(field, false)) return text;
        std::vector<char> buffer(text.begin(), text.end());
        buffer.push_back('\0');
        Integer size = Integer(text.size());
        vxRichTextToPlain(Owner(), buffer, size, richEdit_, stream_);
        return std::string(buffer.data(), size_t(size));
    }

private:
    TWinControl* Owner()
    {
        if (Screen->ActiveForm()) return Screen->ActiveForm();
        if (!holder_) holder_ = new TForm(nullptr);
        return holder_;
    }

    TForm* holder_ = nullptr;
    TRichEdit* richEdit_ = nullptr;
    TMemoryStream* stream_ = nullptr;
};

bool CurrentRecordMatches(const TLocateSearch& s, TMemoText& memo)
{
    if (s.Field->IsBlob()) return vxLocateMemoMatches(memo.Of(s.Field), s.Search, s.MatchType, s.CaseSensitive);
    if (s.MatchType == mtExactMatch && IsFloatField(s.Field) && !s.Search.empty()) {
        if (!vxIsFloatText(s.Search)) return false;
        double wanted = 0;
        return !s.Field->IsNull() && TryStrToFloat(s.Search, wanted) && s.Field->AsFloat() == wanted;
    }
    return vxLocateTextMatches(s.Field->AsString(), s.Search, s.MatchType, s.CaseSensitive);
}

// ---- index paths ----

// The first field of the index definition the table's IndexName names (of IndexFieldNames when it names none).
std::string FirstDefinedIndexField(TTable* table)
{
    if (TIndexDef* def = table->IndexName().empty() ? nullptr : table->IndexDefs()->Find(table->IndexName()))
        return def->Fields.substr(0, def->Fields.find(';'));
    const std::string fields = table->IndexFieldNames();
    return fields.substr(0, fields.find(';'));
}

bool IndexFits(TTable* table, TField* field)
{
    if (table->IndexFieldCount() == 0) return false;
    const std::string first = FirstDefinedIndexField(table);
    return !first.empty() && table->FindField(first) && SameText(field->FieldName(), table->IndexField(0)->FieldName());
}

std::string CaseText(const std::string& text, bool caseSensitive) { return caseSensitive ? text : AnsiUpperCase(text); }

// The result of a key search, or none when the scan decides; onlyOneRecord when the scan tests the next record
// only.
std::optional<bool> SearchByIndex(const TLocateSearch& s, bool& onlyOneRecord)
{
    auto* table = dynamic_cast<TTable*>(s.DataSet);
    if (!table || s.Field->IsBlob() || vxIsQueryTable(table)) return std::nullopt;
    table->IndexDefs()->Update();
    if (!IndexFits(table, s.Field)) return std::nullopt;
    const std::string current = CaseText(s.Field->AsString(), s.CaseSensitive);
    const bool caseFits = table->CaseInsIndex() != s.CaseSensitive;
    const bool isString = s.Field->DataType() == ftString;
    if (s.MatchType == mtExactMatch) {
        if ((current != s.Search || s.FromStart) && s.Field->DataType() != ftBoolean && (!isString || caseFits))
            return table->FindKey({s.Search});
        return std::nullopt;
    }
    if (s.MatchType != mtPartialMatchStart || !isString || !caseFits) return std::nullopt;
    onlyOneRecord = true;
    if (vxLocateTextMatches(s.Field->AsString(), s.Search, s.MatchType, s.CaseSensitive) && !s.FromStart)
        return std::nullopt;
    if (!s.FromStart && s.Search < current) return false;
    const TBookmark start = table->GetBookmark();
    table->FindNearest({s.Search});
    if (vxLocateTextMatches(s.Field->AsString(), s.Search, s.MatchType, s.CaseSensitive)) return true;
    table->GotoBookmark(start);
    return false;
}

// ---- scans ----

bool ScanMemo(const TLocateSearch& s, TMemoText& memo)
{
    TControlsDisabled still(s.DataSet);
    for (s.DataSet->Next(); !s.DataSet->Eof(); s.DataSet->Next())
        if (vxLocateMemoMatches(memo.Of(s.Field), s.Search, s.MatchType, s.CaseSensitive)) return true;
    return false;
}

bool ScanDataSet(const TLocateSearch& s, bool onlyOneRecord)
{
    TControlsDisabled still(s.DataSet);
    for (s.DataSet->Next(); !s.DataSet->Eof(); s.DataSet->Next()) {
        if (s.TextMatches(s.Field->AsString())) return true;
        if (onlyOneRecord) break;
    }
    return false;
}

// Reads the records after the cursor's position into a buffer of the cursor's record size; on a match the dataset
// is resynchronised on the engine's position.
bool ScanEngineCursor(const TLocateSearch& s, bool onlyOneRecord)
{
    auto* dataSet = static_cast<TbqBDEDataset*>(s.DataSet);
    TVirtEng* engine = dataSet->Engine();
    CURProps properties{};
    CheckEngineResult(engine, engine->GetCursorProps(dataSet->Handle(), properties));
    std::vector<Byte> record(std::max<size_t>(properties.iRecBufSize, size_t(dataSet->RecordSize())) + 1);
    std::vector<Byte> value(size_t(std::max<Integer>(s.Field->DataSize(), sizeof(TBcd))) + 1);
    for (;;) {
        const Word result = engine->GetNextRecord(dataSet->Handle(), 0, record.data(), nullptr);
        if (result == DBIERR_EOF) return false;
        CheckEngineResult(engine, result);
        bool blank = false;
        std::fill(value.begin(), value.end(), Byte(0));
        CheckEngineResult(engine,
                          engine->GetField(dataSet->Handle(), Word(s.Field->FieldNo()), record.data(), value.data(), blank));
        if (s.TextMatches(blank ? std::string() : vxLocateValueText(s.Field, value.data()))) {
            dataSet->CursorPosChanged();
            dataSet->Resync({rmExact, rmCenter});
            return true;
        }
        if (onlyOneRecord) return false;
    }
}

bool Scan(const TLocateSearch& s, bool onlyOneRecord)
{
    TMemoText memo;
    THourGlass hourGlass;
    if (s.FromStart) {
        s.DataSet->First();
        if (!s.DataSet->IsEmpty() && CurrentRecordMatches(s, memo)) return true;
        s.DataSet->UpdateCursorPos();
    }
    if (s.Field->IsBlob()) return ScanMemo(s, memo);
    if (vxIsNonEngineField(s.Field) || !dynamic_cast<TbqBDEDataset*>(s.DataSet))
        return ScanDataSet(s, onlyOneRecord);
    return ScanEngineCursor(s, onlyOneRecord);
}

}  // namespace

bool vxLocateTextMatches(const std::string& text, const std::string& search, Integer matchType, bool caseSensitive)
{
    const std::string compared = caseSensitive ? text : AnsiUpperCase(text);
    switch (matchType) {
    case mtExactMatch: return compared == search;
    case mtPartialMatchStart: return compared.compare(0, search.size(), search) == 0;
    case mtPartialMatchAny: return compared.find(search) != std::string::npos;
    default: return false;
    }
}

bool vxLocateMemoMatches(const std::string& text, const std::string& search, Integer matchType, bool caseSensitive)
{
    const std::string compared = caseSensitive ? text : AnsiUpperCase(text);
    switch (matchType) {
    case mtExactMatch: return compared.size() == search.size() && (search.empty() || AnsiPos(search, compared) == 1);
    case mtPartialMatchStart: return search.empty() || AnsiPos(search, compared) == 1;
    case mtPartialMatchAny: return search.empty() || AnsiPos(search, compared) > 0;
    default: return false;
    }
}

std::string vxLocateValueText(TField* field, const void* value)
{
    switch (field->DataType()) {
    case ftString: case ftFixedChar: {
        const char* text = static_cast<const char*>(value);
        std::string result(text, strnlen(text, size_t(std::max<Integer>(field->DataSize(), 1))));
        auto* stringField = dynamic_cast<TStringField*>(field);
        if (stringField && stringField->Transliterate() && field->DataSet() && !result.empty()) {
            std::vector<char> ansi(result.size() + 1);
            field->DataSet()->Translate(result.c_str(), ansi.data(), false);
            result = ansi.data();
        }
        return result;
    }
    case ftSmallint: return IntToStr(ValueAs<SmallInt>(value));
    case ftWord: return IntToStr(ValueAs<Word>(value));
    case ftInteger: case ftAutoInc: return IntToStr(ValueAs<Integer>(value));
    case ftBoolean: return *static_cast<const Byte*>(value) != 0 ? "True" : "False";
    case ftFloat: case ftCurrency: return FloatToStr(ValueAs<double>(value));
    case ftBCD: {
        Currency number;
        return BCDToCurr(ValueAs<TBcd>(value), number) ? FloatToStr(number.ToDouble()) : "";
    }
    case ftDate: return DateToStr(TimeStampToDateTime({0, ValueAs<Integer>(value)}));
    case ftTime: return TimeToStr(TDateTime(ValueAs<Integer>(value)) / MSecsPerDay);
    case ftDateTime: return DateToStr(TimeStampToDateTime(MSecsToTimeStamp(ValueAs<double>(value))));
    default: return "";
    }
}

bool vxLocateValue(bool fromStart, TDataSet* dataSet, const std::string& fieldName, bool caseSensitive,
                   Integer matchType, const std::string& value)
{
    dataSet->CheckBrowseMode();
    TField* field = dataSet->FindField(fieldName);
    if (!field) {
        MessageDlg("Field " + fieldName + " not found.", mtWarning, TMsgDlgButtons{mbOK}, 0);
        return false;
    }
    dataSet->UpdateCursorPos();
    const TLocateSearch search{dataSet, field, CaseText(value, caseSensitive), matchType, caseSensitive, fromStart};
    bool onlyOneRecord = false;
    if (std::optional<bool> found = SearchByIndex(search, onlyOneRecord)) return *found;
    const TBookmark start = dataSet->GetBookmark();
    bool found = false;
    try {
        found = Scan(search, onlyOneRecord);
    } catch (...) {
        if (!start.empty()) dataSet->GotoBookmark(start);
        throw;
    }
    if (!found && !start.empty()) dataSet->GotoBookmark(start);
    return found;
}

bool vxLocateFieldValue(TDataSet* dataSet, const std::string& value, const std::string& fieldName, Integer matchType,
                        bool caseSensitive)
{
    if (TField* field = dataSet->FindField(fieldName)) {
        const std::string text = field->AsString();
        if (caseSensitive ? text == value : AnsiLowerCase(text) == AnsiLowerCase(value)) return true;
    }
    return vxLocateValue(true, dataSet, fieldName, caseSensitive, matchType, value);
}
