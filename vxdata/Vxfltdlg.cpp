#include "vxdata/Vxfltdlg.h"

#include <algorithm>

#include "classes/ClassRegistry.h"
#include "classes/TypInfo.h"
#include "db/DBTables.h"
#include "db/DataSource.h"
#include "db/Field.h"
#include "db/FieldDefs.h"
#include "rtl/IntConv.h"
#include "rtl/StringRoutines.h"
#include "vcl/Dialogs.h"
#include "vcl/Forms.h"
#include "vxdata/Vxcommon.h"
#include "vxdata/Vxfltdum.h"
#include "vxdata/Vxintl.h"
#include "vxdata/Vxquery.h"
#include "vxdata/Vxstr.h"

namespace {

// Form files name the dialog.
const bool registered = (RegisterClasses<TvxFilterDialog>(), true);

TvxFilterFormMaker& FilterFormMaker()
{
    static TvxFilterFormMaker maker;
    return maker;
}

std::string TrimBlanksAndTabs(const std::string& text)
{
    std::string trimmed = text;
    vxTrimLeftChars(trimmed, vxBlankSet());
    vxTrimRightChars(trimmed, vxBlankSet());
    return trimmed;
}

bool IsClientDataSet(TDataSet* dataSet) { return vxIsClassNamed(dataSet->ClassType(), "TvxClientDataSet"); }
bool PublishesSql(TDataSet* dataSet) { return dataSet && IsPublishedProp(dataSet, "SQL"); }

// Restores the screen cursor when it goes.
class TScreenCursorKeeper {
public:
    TScreenCursorKeeper() : saved_(Screen ? Screen->Cursor() : crDefault) {}
    ~TScreenCursorKeeper()
    {
        if (Screen) Screen->SetCursor(saved_);
    }

private:
    TCursor saved_;
};

void ShowHourGlass()
{
    if (Screen) Screen->SetCursor(crHourGlass);
}

// The words of one line of SQL text, upper-cased, as the library's SQL word scanner cuts them.
std::vector<std::string> SqlWords(const std::string& line)
{
    std::vector<std::string> words;
    const std::string text = UpperCase(line);
    Integer position = 1;
    for (std::string word;;) {
        vxScanSQLToken(text, position, word);
        if (word.empty()) return words;
        words.push_back(word);
    }
}

bool IsQuoted(const std::string& word)
{
    return word.size() >= 2 && (word.front() == '\'' || word.front() == '"') && word.back() == word.front();
}

}  // namespace

bool vxIsBDEDataSet(TDataSet* dataSet) { return vxIsClassNamed(dataSet->ClassType(), "TBDEDataSet"); }

bool vxIsQueryDataSet(TDataSet* dataSet)
{
    return dynamic_cast<TvxQuery*>(dataSet) || (dataSet && vxIsClassNamed(dataSet->ClassType(), "TQuery"));
}

TStrings* vxGetSqlLines(TDataSet* dataSet)
{
    if (!PublishesSql(dataSet)) return nullptr;
    return dynamic_cast<TStrings*>(GetObjectProp(dataSet, "SQL"));
}

// ---- SQL text ----

bool vxIsClauseKeyword(const std::string& word)
{
    for (const char* keyword : {"WHERE", "GROUP", "HAVING", "UNION", "PLAN", "ORDER", "FOR"})
        if (word == keyword) return true;
    return false;
}

std::vector<TvxSqlTable> vxReadFromTables(TStrings* sql)
{
    std::vector<std::string> words;
    bool fromFound = false;
    for (Integer i = 0; i < sql->Count(); ++i) {
        std::vector<std::string> lineWords = SqlWords(sql->Strings(i));
        auto from = std::find(lineWords.begin(), lineWords.end(), "FROM");
        if (!fromFound && from == lineWords.end()) continue;
        words.insert(words.end(), fromFound ? lineWords.begin() : from + 1, lineWords.end());
        fromFound = true;
    }
    std::vector<TvxSqlTable> tables;
    size_t next = 0;
    while (next < words.size()) {
        const std::string& word = words[next++];
        TvxSqlTable table{word, word};
        if (IsQuoted(word)) {
            table.Name = word.substr(1, word.size() - 2);
            table.Alias = table.Name;
            if (next < words.size() && words[next] != "," && !vxIsClauseKeyword(words[next]))
                table.Alias = words[next++];
        }
        tables.push_back(table);
        if (next >= words.size() || words[next] != ",") break;
        ++next;
    }
    return tables;
}

namespace {

// Where the scan for the first clause keyword on or after (line, position) begins and what it finds.
struct TKeywordAt {
    Integer Line = -1;
    Integer ScanStart = 0;  // 1-based: just after the word before the keyword
    Integer End = 0;        // 1-based: just after the keyword
    std::string Keyword;
};

TKeywordAt FindClauseKeyword(TStrings* sql, Integer fromLine, Integer fromPosition)
{
    for (Integer line = fromLine; line < sql->Count(); ++line) {
        const std::string text = UpperCase(sql->Strings(line));
        Integer position = line == fromLine ? fromPosition : 1;
        for (std::string word;;) {
            const Integer scanStart = position;
            vxScanSQLToken(text, position, word);
            if (word.empty()) break;
            if (vxIsClauseKeyword(word)) return {line, scanStart, position, word};
        }
    }
    return {};
}

// Just after the last word of the line.
Integer EndOfLastWord(const std::string& line)
{
    const std::string text = UpperCase(line);
    Integer position = 1;
    Integer end = 1;
    for (std::string word;;) {
        vxScanSQLToken(text, position, word);
        if (word.empty()) return end;
        end = position;
    }
}

// Splits the line at position (1-based): the text before it (when not blank), the block, the rest.
void SplitLineAround(TStrings* sql, Integer line, Integer position, TStrings* block)
{
    const std::string text = sql->Strings(line);
    const std::string before = Copy(text, 1, position - 1);
    const std::string rest = TrimLeft(Copy(text, position, Integer(text.size())));
    Integer at = line;
    if (TrimBlanksAndTabs(before).empty()) {
        sql->Delete(line);
    } else {
        sql->SetStrings(line, before);
        ++at;
    }
    for (Integer i = 0; i < block->Count(); ++i) sql->Insert(at++, block->Strings(i));
    if (!rest.empty()) sql->Insert(at, rest);
}

// The existing condition ends where the next clause keyword's scan began (the scan starts five characters past
// WHERE), else after the last word: it is put in parentheses and the lines follow as "And (" ... ")".
void AppendToWhere(TStrings* sql, const TKeywordAt& where, TStrings* lines)
{
    const TKeywordAt next = FindClauseKeyword(sql, where.Line, where.End + 5);
    Integer endLine = next.Line;
    Integer endPosition = next.ScanStart;
    if (endLine < 0) {
        endLine = sql->Count() - 1;
        endPosition = EndOfLastWord(sql->Strings(endLine));
    }
    TStringList block;
    if (endLine == where.Line && endPosition <= where.End) {
        block.AddStrings(lines);
        SplitLineAround(sql, endLine, where.End, &block);
        return;
    }
    block.Add("And (");
    block.AddStrings(lines);
    block.Add(")");
    const std::string endText = sql->Strings(endLine);
    sql->SetStrings(endLine, Copy(endText, 1, endPosition - 1) + ")");
    Integer at = endLine + 1;
    for (Integer i = 0; i < block.Count(); ++i) sql->Insert(at++, block.Strings(i));
    const std::string rest = Copy(endText, endPosition, Integer(endText.size()));
    if (!TrimBlanksAndTabs(rest).empty()) sql->Insert(at, rest);
    const std::string whereText = sql->Strings(where.Line);
    sql->SetStrings(where.Line, Copy(whereText, 1, where.End - 1) + " (" +
                                    TrimLeft(Copy(whereText, where.End, Integer(whereText.size()))));
}

}  // namespace
void vxInsertWhereLines(TStrings* sql, TStrings* lines)
{
    if (sql->Count() == 0 || lines->Count() == 0) return;
    const TKeywordAt keyword = FindClauseKeyword(sql, 0, 1);
    TStringList block;
    block.Add("Where");
    block.AddStrings(lines);
    if (keyword.Line < 0) {
        sql->AddStrings(&block);
    } else if (keyword.Keyword == "WHERE") {
        AppendToWhere(sql, keyword, lines);
    } else {
        SplitLineAround(sql, keyword.Line, keyword.ScanStart, &block);
    }
}

// ---- criteria and the filter form ----

void vxCopyCriteria(TDataSet* dataSet, const TvxFieldInfoList& source, TvxFieldInfoList& target)
{
    TvxFieldInfoList copies;
    for (const auto& criterion : source) {
        auto copy = std::make_unique<TvxFieldInfo>(*criterion);
        if (copy->DisplayLabel.empty()) copy->DisplayLabel = criterion->FieldName;
        copy->FieldName = dataSet ? vxFieldNameFromLabel(dataSet, copy->DisplayLabel) : std::string();
        copies.push_back(std::move(copy));
    }
    target = std::move(copies);
}

TvxFilterFormMaker vxSetFilterFormMaker(TvxFilterFormMaker maker)
{
    TvxFilterFormMaker previous = std::move(FilterFormMaker());
    FilterFormMaker() = std::move(maker);
    return previous;
}

// ---- TvxFieldOperators ----

void TvxFieldOperators::Publish(TPublisher<TvxFieldOperators>& p)
{
    p.Property("OrChar", &TvxFieldOperators::OrChar, &TvxFieldOperators::SetOrChar);
    p.Property("AndChar", &TvxFieldOperators::AndChar, &TvxFieldOperators::SetAndChar);
    p.Property("NullChar", &TvxFieldOperators::NullChar, &TvxFieldOperators::SetNullChar);
}

void TvxFieldOperators::Assign(TPersistent* source)
{
    auto* other = dynamic_cast<TvxFieldOperators*>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    orChar_ = other->orChar_;
    andChar_ = other->andChar_;
    nullChar_ = other->nullChar_;
}

void TvxFieldOperators::SetWord(std::string& word, const std::string& value)
{
    if (value != word) word = TrimBlanksAndTabs(value);
    if (SameText(orChar_, andChar_) || SameText(orChar_, nullChar_) || SameText(andChar_, nullChar_))
        MessageDlg("Operators do not have a unique value.", mtWarning, {mbOK}, 0);
}

// ---- TvxFilterDataLink ----

void TvxFilterDataLink::ActiveChanged()
{
    TDataLink::ActiveChanged();
    if (dialog_) dialog_->DataLinkActiveChanged(Active());
}

// ---- TvxFilterDialog ----

TvxFilterDialog::TvxFilterDialog(TComponent* owner)
    : TvxCustomDialog(owner),
      link_(std::make_unique<TvxFilterDataLink>(this)),
      selectedFields_(std::make_unique<TStringList>()),
      fieldOperators_(std::make_unique<TvxFieldOperators>()),
      savedSql_(std::make_unique<TStringList>()),
      memoBuffer_(size_t(vxGetFilterMemoSize()) + 1)
{
    holder_ = CreateObject<TvxDummyForm>(nullptr);
    holder_->Dialog = this;
}

TvxFilterDialog::~TvxFilterDialog()
{
    link_.reset();
    holder_->Free();
}

void TvxFilterDialog::Publish(TPublisher<TvxFilterDialog>& p)
{
    using D = TvxFilterDialog;
    p.Property("DataSource", &D::DataSource, &D::SetDataSource);
    p.Property("Options", &D::Options, &D::SetOptions)
        .Default(TvxFilterDialogOptions{fdShowCaseSensitive, fdShowOKCancel, fdShowViewSummary, fdShowFieldOrder,
                                        fdShowValueRangeTab});
    p.Property("SortBy", &D::SortBy, &D::SetSortBy).Default(fdSortByFieldNo);
    p.Property("Caption", &D::Caption, &D::SetCaption);
    p.Property("FilterMethod", &D::FilterMethod, &D::SetFilterMethod).Default(fdByFilter);
    p.Property("DefaultMatchType", &D::DefaultMatchType, &D::SetDefaultMatchType).Default(fdMatchStart);
    p.Property("DefaultFilterBy", &D::DefaultFilterBy, &D::SetDefaultFilterBy).Default(fdSmartFilter);
    p.Property("DefaultField", &D::DefaultField, &D::SetDefaultField);
    p.Property("FieldOperators", &D::FieldOperators, &D::SetFieldOperators);
    p.Property("SelectedFields", &D::SelectedFields, &D::SetSelectedFields);
    p.Property("FilterOptimization", &D::FilterOptimization, &D::SetFilterOptimization).Default(fdNone);
    p.Property("UpperRangePadChar", &D::UpperRangePadChar, &D::SetUpperRangePadChar).Default(122);
    p.Property("DlgHeight", &D::DlgHeight, &D::SetDlgHeight).Default(267);
    p.Property("QueryFormatDateMode", &D::QueryFormatDateMode, &D::SetQueryFormatDateMode).Default(qfdMonthDayYear);
    p.Property("OnInitDialog", &D::OnInitDialog);
    p.Property("OnExecuteSQL", &D::OnExecuteSQL);
    p.Property("OnEncodeDateTime", &D::OnEncodeDateTime);
    p.Property("OnSelectField", &D::OnSelectField);
}

TDataSet* TvxFilterDialog::GetPrimaryDataSet() { return DataSource() ? DataSource()->DataSet() : nullptr; }

void TvxFilterDialog::SetDataSource(TDataSource* value)
{
    if (value && dynamic_cast<TTable*>(value->DataSet())) filterMethod_ = fdByFilter;
    link_->SetDataSource(value);
    if (value) value->FreeNotification(this);
}

void TvxFilterDialog::Notification(TComponent* component, TOperation operation)
{
    TvxCustomDialog::Notification(component, operation);
    if (operation == opRemove && link_ && component == link_->DataSource()) SetDataSource(nullptr);
}

void TvxFilterDialog::SetFilterMethod(TvxFilterMethod value)
{
    if (value > fdByQueryModify) return;
    TDataSet* dataSet = GetPrimaryDataSet();
    if (!dataSet || vxIsQueryDataSet(dataSet) || PublishesSql(dataSet) || value == fdByFilter) {
        filterMethod_ = value;
        return;
    }
    MessageDlg("Invalid FilterMethod for Dataset. \rOnly fdByFilter is supported for this type of Dataset",
               mtWarning, {mbOK}, 0);
}

void TvxFilterDialog::SetDlgHeight(Integer value)
{
    if (value > 267) dlgHeight_ = value;
}

void TvxFilterDialog::DataLinkActiveChanged(bool active)
{
    if (active || filterMethod_ != fdByFilter) return;
    TDataSet* dataSet = GetPrimaryDataSet();
    if (!criteria_.empty() && dataSet && vxIsBDEDataSet(dataSet)) vxSetOnFilterEnabled(dataSet, false);
    ClearFilter();
}

void TvxFilterDialog::ClearFilter()
{
    criteria_.clear();
    TDataSet* dataSet = GetPrimaryDataSet();
    if (filterMethod_ != fdByQueryModify || !PublishesSql(dataSet) || savedSql_->Count() == 0) return;
    vxSetSQL(dataSet, savedSql_.get());
    savedSql_->Clear();
}

void TvxFilterDialog::DoInitDialog()
{
    if (OnInitDialog && form_) OnInitDialog(form_->Window());
}

void TvxFilterDialog::DoSelectField(const std::string& fieldName, std::string& pictureMask, TStrings* comboList)
{
    if (OnSelectField) OnSelectField(this, fieldName, pictureMask, comboList);
}

std::string TvxFilterDialog::PadUpperRange(Integer size, const std::string& value) const
{
    if (upperRangePadChar_ == 0 || Integer(value.size()) >= size) return value;
    return value + std::string(size_t(size) - value.size(), char(upperRangePadChar_));
}

// ---- value syntax ----

// A one-character operator word also ends a word.
TvxCharSet TvxFilterDialog::WordStops() const
{
    std::string stops;
    for (const std::string* word : {&fieldOperators_->OrChar(), &fieldOperators_->AndChar()})
        if (word->size() == 1) stops += *word;
    return vxCharSet(stops);
}

std::vector<std::string> TvxFilterDialog::ValueWords(const std::string& value) const
{
    const TvxCharSet stopChars = WordStops();
    std::vector<std::string> words;
    Integer position = 1;
    while (position <= Integer(value.size())) {
        std::string word;
        vxScanWord(value, position, vxswSkipBlanks | vxswQuotedWords | vxswStripQuotes, stopChars, word);
        if (!word.empty()) words.push_back(word);
    }
    return words;
}

bool TvxFilterDialog::IsOperatorWord(const std::string& word, const std::string& operatorWord) const
{
    return !operatorWord.empty() && SameText(word, operatorWord);
}

std::string TvxFilterDialog::ParseOperators(const std::string& value, bool& isOr) const
{
    isOr = false;
    const std::vector<std::string> words = ValueWords(value);
    for (size_t i = 1; i < words.size(); ++i) {
        if (IsOperatorWord(words[i], fieldOperators_->OrChar())) {
            isOr = true;
            return fieldOperators_->OrChar();
        }
        if (IsOperatorWord(words[i], fieldOperators_->AndChar())) return fieldOperators_->AndChar();
    }
    return std::string();
}

std::string TvxFilterDialog::NextSubValue(const std::string& value, const std::string& operatorWord,
                                          Integer& position) const
{
    const TvxCharSet stopChars = WordStops();
    std::string subValue;
    const Integer length = Integer(value.size());
    while (position >= 1 && position <= length) {
        std::string word;
        const Integer start = position;
        vxScanWord(value, position, vxswSkipBlanks | vxswQuotedWords | vxswStripQuotes, stopChars, word);
        if (word.empty()) continue;
        // The first word of the value is never an operator.
        if (start > 1 && IsOperatorWord(word, operatorWord)) return subValue;
        subValue += (subValue.empty() ? "" : " ") + word;
    }
    position = -1;
    return subValue;
}

// ---- field descriptions ----

TvxDBFieldInfo* TvxFilterDialog::FindFieldInfo(const std::string& name)
{
    for (TvxDBFieldInfo& info : fieldInfos_)
        if (SameText(info.FieldName, name)) return &info;
    return nullptr;
}

TvxDBFieldInfo& TvxFilterDialog::AddFieldInfo() { return fieldInfos_.emplace_back(); }

void TvxFilterDialog::LoadFieldInfo()
{
    fieldInfos_.clear();
    TDataSet* dataSet = GetPrimaryDataSet();
    if (!dataSet) return;
    if (filterMethod_ == fdByQueryModify)
        LoadSqlFieldInfo(dataSet);
    else
        LoadDataSetFieldInfo(dataSet);
}

void TvxFilterDialog::LoadDataSetFieldInfo(TDataSet* dataSet)
{
    for (Integer i = 0; i < dataSet->FieldCount(); ++i) {
        TField* field = dataSet->Fields()->Fields(i);
        TvxDBFieldInfo& info = AddFieldInfo();
        info.FieldName = info.ColumnName = field->FieldName();
        info.DataType = field->DataType();
        info.DisplayLabel = field->DisplayLabel();
        info.Size = Word(field->Size());
    }
}

void TvxFilterDialog::LoadSqlFieldInfo(TDataSet* dataSet)
{
    TStrings* sql = vxGetSqlLines(dataSet);
    if (!sql) return;
    if (IsClientDataSet(dataSet)) {
        LoadClientFieldInfo(dataSet);
        return;
    }
    std::vector<std::string> seen;
    for (const TvxSqlTable& table : vxReadFromTables(sql)) LoadTableFieldInfo(dataSet, table, seen);
}

// Each FieldInfo line: column;field name;table alias;display label;field type name;size.
void TvxFilterDialog::LoadClientFieldInfo(TDataSet* dataSet)
{
    auto* lines = dynamic_cast<TStrings*>(IsPublishedProp(dataSet, "FieldInfo") ? GetObjectProp(dataSet, "FieldInfo")
                                                                                  : nullptr);
    if (!lines) return;
    for (Integer i = 0; i < lines->Count(); ++i) {
        std::vector<std::string> parts;
        std::string rest = lines->Strings(i);
        for (Integer part = 0; part < 5; ++part) {
            const size_t separator = rest.find(';');
            parts.push_back(rest.substr(0, separator));
            rest = separator == std::string::npos ? std::string() : rest.substr(separator + 1);
        }
        parts.push_back(rest);
        TvxDBFieldInfo& info = AddFieldInfo();
        info.ColumnName = parts[0];
        info.FieldName = parts[1];
        info.TableAlias = parts[2];
        info.DisplayLabel = parts[3];
        const Integer type = GetEnumValue(TypeInfo<TFieldType>(), parts[4]);
        info.DataType = type < 0 ? ftUnknown : TFieldType(type);
        info.Size = Word(StrToIntDef(Trim(parts[5]), 0));
    }
}

namespace {

struct TFreeDataSet {
    void operator()(TDataSet* dataSet) const { dataSet->Free(); }
};
using TDataSetPtr = std::unique_ptr<TDataSet, TFreeDataSet>;

// A dataset opened on the table alone: a read-only table for the platform's datasets, otherwise one of the
// dataset's own class on "Select * from" the table.
TDataSetPtr OpenTableColumns(TDataSet* dataSet, const std::string& tableName)
{
    TDataSetPtr columns;
    if (vxIsBDEDataSet(dataSet)) {
        auto* table = CreateObject<TTable>(nullptr);
        columns.reset(table);
        table->SetDatabaseName(vxGetDatabaseName(dataSet));
        table->SetSessionName(vxGetSessionName(dataSet));
        table->SetTableName(tableName);
        table->SetReadOnly(true);
    } else {
        columns.reset(dynamic_cast<TDataSet*>(CreateObjectByName(dataSet->ClassName(), nullptr)));
        if (!columns) return columns;
        vxSetDatabaseName(columns.get(), vxGetDatabaseName(dataSet));
        TStringList sql;
        sql.Add("Select * from " + tableName);
        vxSetSQL(columns.get(), &sql);
    }
    columns->Open();
    return columns;
}

}  // namespace

void TvxFilterDialog::LoadTableFieldInfo(TDataSet* dataSet, const TvxSqlTable& table, std::vector<std::string>& seen)
{
    TDataSetPtr columns = OpenTableColumns(dataSet, table.Name);
    if (!columns) return;
    for (Integer i = 0; i < columns->FieldDefs()->Count(); ++i) {
        const TFieldDef* def = columns->FieldDefs()->Items(i);
        if (std::find(seen.begin(), seen.end(), UpperCase(def->Name)) != seen.end()) continue;
        seen.push_back(UpperCase(def->Name));
        TvxDBFieldInfo& info = AddFieldInfo();
        info.FieldName = info.ColumnName = def->Name;
        info.TableAlias = table.Alias;
        info.DataType = def->DataType;
        info.Size = Word(def->Size);
        if (TField* column = columns->FindField(def->Name))
            info.DisplayLabel = column->DisplayLabel();
        else if (TField* mainField = dataSet->FindField(def->Name))
            info.DisplayLabel = mainField->DisplayLabel();
        else
            info.DisplayLabel = def->Name;
    }
}

// ---- Execute ----

bool TvxFilterDialog::Execute()
{
    TDataSet* dataSet = GetPrimaryDataSet();
    if (!dataSet) return false;
    if (!dataSet->Active() && filterMethod_ == fdByFilter) {
        MessageDlg("Dataset must be active to perform local filtering (FilterMethod=fdByFilter).", mtError, {mbOK},
                   0);
        return false;
    }
    if (fieldOperators_->OrChar() == fieldOperators_->AndChar())
        MessageDlg("And and Or Operators have the same value.", mtWarning, {mbOK}, 0);
    TScreenCursorKeeper cursor;
    ShowHourGlass();
    return ShowForm(dataSet);
}

bool TvxFilterDialog::ShowForm(TDataSet* dataSet)
{
    if (!FilterFormMaker()) throw EInvalidOperation("The filter form is not available");
    form_ = FilterFormMaker()(this);
    struct TFormFree {
        TvxFilterDialog* Dialog;
        ~TFormFree()
        {
            Dialog->form_->Window()->Free();
            Dialog->form_ = nullptr;
        }
    } formFree{this};
    form_->Window()->SetCaption(caption_);
    form_->FillFieldList(true);
    const bool ok = form_->Window()->ShowModal() == mrOk;
    if (!ok) return false;
    if (!form_->CriteriaChanged() && (vxGetOnFilterOptions(dataSet) & vxofoEnabled) != 0) return true;
    return ApplyCriteria(dataSet, form_->Criteria());
}

bool TvxFilterDialog::ApplyCriteria(TDataSet* dataSet, const TvxFieldInfoList& criteria)
{
    vxCopyCriteria(dataSet, criteria, criteria_);
    vxSetOnFilterEnabled(dataSet, true);
    if ((!dynamic_cast<TvxQuery*>(dataSet) && !PublishesSql(dataSet)) || filterMethod_ == fdByFilter) {
        vxApplyLocalFilter(this);
        return true;
    }
    ShowHourGlass();
    return vxApplyQueryModify(this);
}

void TvxFilterDialog::InsertWhereLines(TStrings* lines)
{
    TDataSet* dataSet = GetPrimaryDataSet();
    TStrings* sql = vxGetSqlLines(dataSet);
    if (!sql || sql->Count() == 0 || lines->Count() == 0) return;
    const bool paramCheck = vxGetParamCheck(dataSet);
    vxSetParamCheck(dataSet, false);
    try {
        TStringList text;
        text.Assign(sql);
        vxInsertWhereLines(&text, lines);
        vxSetSQL(dataSet, &text);
    } catch (...) {
        vxSetParamCheck(dataSet, paramCheck);
        throw;
    }
    vxSetParamCheck(dataSet, paramCheck);
}
