// TvxFilterDialog: a non-visual component that lets the user search a dataset by field values. It keeps one
// criterion per field, shows the filter form to edit them, and narrows the dataset by a record filter evaluated in
// memory or by rewriting the WHERE clause of a query and reopening it (see Vxfltdum for both).
//
// Value syntax of a criterion: words separated by blanks and tabs (a word in double quotes may hold blanks; a
// one-character operator word also ends a word); from the second word on, the first word equal to OrChar or
// AndChar (case ignored) splits the value into sub-values; a sub-value equal to NullChar stands for an empty field.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "db/DBTypInfo.h"
#include "db/DataLinks.h"
#include "rtl/Strings.h"
#include "vxdata/Vxstr.h"
#include "vxdata/vxDialog.h"

class TCustomForm;
class TDataSource;
class TvxDummyForm;
class TvxFilterDialog;

enum TvxFilterDialogOption {
    fdCaseSensitive, fdShowCaseSensitive, fdShowOKCancel, fdShowViewSummary, fdShowFieldOrder, fdShowValueRangeTab,
    fdShowNonMatching
};
DUN_ENUM(TvxFilterDialogOption, "fdCaseSensitive", "fdShowCaseSensitive", "fdShowOKCancel", "fdShowViewSummary",
         "fdShowFieldOrder", "fdShowValueRangeTab", "fdShowNonMatching");
using TvxFilterDialogOptions = Set<TvxFilterDialogOption>;

enum TvxFilterMatchType { fdMatchStart, fdMatchAny, fdMatchExact, fdMatchEnd, fdMatchRange, fdMatchNone };
DUN_ENUM(TvxFilterMatchType, "fdMatchStart", "fdMatchAny", "fdMatchExact", "fdMatchEnd", "fdMatchRange",
         "fdMatchNone");
// fdMatchStart .. fdMatchExact.
using TvxDefaultMatchType = TvxFilterMatchType;

enum TvxFilterMethodAll { fdByFilter, fdByQueryModify, fdByQueryParams };
DUN_ENUM(TvxFilterMethodAll, "fdByFilter", "fdByQueryModify", "fdByQueryParams");
// fdByFilter .. fdByQueryModify.
using TvxFilterMethod = TvxFilterMethodAll;

enum TvxDefaultFilterBy { fdSmartFilter, fdFilterByRange, fdFilterByValue };
DUN_ENUM(TvxDefaultFilterBy, "fdSmartFilter", "fdFilterByRange", "fdFilterByValue");

enum TvxFilterOptimization { fdNone, fdUseAllIndexes, fdUseActiveIndex };
DUN_ENUM(TvxFilterOptimization, "fdNone", "fdUseAllIndexes", "fdUseActiveIndex");

enum TvxFilterDialogSort { fdSortByFieldNo, fdSortByFieldName };
DUN_ENUM(TvxFilterDialogSort, "fdSortByFieldNo", "fdSortByFieldName");

enum TvxQueryFormatDateMode { qfdMonthDayYear, qfdDayMonthYear, qfdYearMonthDay };
DUN_ENUM(TvxQueryFormatDateMode, "qfdMonthDayYear", "qfdDayMonthYear", "qfdYearMonthDay");

// The three operator words, compared without regard to case.
class TvxFieldOperators : public TPersistent {
    DUN_CLASS(TvxFieldOperators, TPersistent)
public:
    TvxFieldOperators() = default;
    static void Publish(TPublisher<TvxFieldOperators>& p);
    void Assign(TPersistent* source) override;

    const std::string& OrChar() const { return orChar_; }
    const std::string& AndChar() const { return andChar_; }
    const std::string& NullChar() const { return nullChar_; }
    // A new value loses its leading and trailing blanks and tabs; then a warning when two words are equal.
    void SetOrChar(const std::string& value) { SetWord(orChar_, value); }
    void SetAndChar(const std::string& value) { SetWord(andChar_, value); }
    void SetNullChar(const std::string& value) { SetWord(nullChar_, value); }

private:
    void SetWord(std::string& word, const std::string& value);

    std::string orChar_ = "or";
    std::string andChar_ = "and";
    std::string nullChar_ = "null";
};

// One criterion, kept by its display label.
struct TvxFieldInfo {
    std::string FieldName;  // filled lazily from the label
    std::string DisplayLabel;
    TvxFilterMatchType MatchType = fdMatchNone;
    std::string Value;      // fdMatchStart, fdMatchAny, fdMatchExact
    std::string MinValue;   // fdMatchRange; either may be empty
    std::string MaxValue;
    bool CaseSensitive = false;
    bool NonMatching = false;  // keep the records that do not match
};
using TvxFieldInfoList = std::vector<std::unique_ptr<TvxFieldInfo>>;

// One searchable field.
struct TvxDBFieldInfo {
    std::string FieldName;   // the name criteria refer to
    std::string ColumnName;  // the column in its table
    std::string TableAlias;  // the table's name or alias in the FROM clause; empty for dataset fields
    TFieldType DataType = ftUnknown;
    std::string DisplayLabel;
    Word Size = 0;
};

// A table of a query's FROM list, upper-cased.
struct TvxSqlTable {
    std::string Name;
    std::string Alias;
};

// The tables after the first FROM of the text (read on across lines): a quoted table loses its quotes and takes
// the next word as alias unless that word is a clause keyword, a comma or missing; an unquoted table is its own
// alias. The list goes on while a table is followed by a comma.
std::vector<TvxSqlTable> vxReadFromTables(TStrings* sql);

// Replaces target by copies of source; each copy's FieldName is looked up afresh from its label in the dataset
// (a source criterion without label takes its FieldName as label).
void vxCopyCriteria(TDataSet* dataSet, const TvxFieldInfoList& source, TvxFieldInfoList& target);

// The filter form as Execute drives it: made for the dialog, its field list filled, shown modally, its working
// criteria read back on OK, freed. The form's own unit installs its maker; tests install a scripted form.
class IvxFilterForm {
public:
    virtual ~IvxFilterForm() = default;
    virtual TCustomForm* Window() = 0;
    virtual void FillFieldList(bool all) = 0;
    // The criteria differ from what was applied.
    virtual bool CriteriaChanged() = 0;
    virtual const TvxFieldInfoList& Criteria() = 0;
};
using TvxFilterFormMaker = std::function<IvxFilterForm*(TvxFilterDialog* dialog)>;
// Returns the maker it replaces.
TvxFilterFormMaker vxSetFilterFormMaker(TvxFilterFormMaker maker);

using TvxOnInitFilterDlgEvent = std::function<void(TCustomForm* dialog)>;
using TvxOnExecuteSQLEvent = std::function<void(TCustomForm* dialog, TDataSet* query)>;
using TvxOnEncodeDateTimeEvent = std::function<void(TDateTime dateTime, TFieldType fieldType,
                                                    const std::string& fieldName, std::string& formattedDateStr)>;
using TvxOnSelectFilterField = std::function<void(TObject* sender, const std::string& fieldName,
                                                  std::string& pictureMask, TStrings* comboList)>;

class TvxFilterDataLink : public TDataLink {
    DUN_CLASS(TvxFilterDataLink, TDataLink)
public:
    explicit TvxFilterDataLink(TvxFilterDialog* dialog) : dialog_(dialog) {}

protected:
    void ActiveChanged() override;

private:
    TvxFilterDialog* dialog_;
};

class TvxFilterDialog : public TvxCustomDialog {
    DUN_CLASS(TvxFilterDialog, TvxCustomDialog)
public:
    explicit TvxFilterDialog(TComponent* owner);
    ~TvxFilterDialog() override;
    static void Publish(TPublisher<TvxFilterDialog>& p);

    bool Execute() override;
    TDataSet* GetPrimaryDataSet() override;
    virtual void DoInitDialog();
    virtual void DataLinkActiveChanged(bool active);
    virtual void DoSelectField(const std::string& fieldName, std::string& pictureMask, TStrings* comboList);

    TDataSource* DataSource() const { return link_->DataSource(); }
    void SetDataSource(TDataSource* value);
    TvxFilterDialogOptions Options() const { return options_; }
    void SetOptions(TvxFilterDialogOptions value) { options_ = value; }
    TvxFilterDialogSort SortBy() const { return sortBy_; }
    void SetSortBy(TvxFilterDialogSort value) { sortBy_ = value; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& value) { caption_ = value; }
    TvxFilterMethod FilterMethod() const { return filterMethod_; }
    // Refused with a warning for a dataset without SQL, unless fdByFilter.
    void SetFilterMethod(TvxFilterMethod value);
    TvxDefaultMatchType DefaultMatchType() const { return defaultMatchType_; }
    void SetDefaultMatchType(TvxDefaultMatchType value) { defaultMatchType_ = value; }
    TvxDefaultFilterBy DefaultFilterBy() const { return defaultFilterBy_; }
    void SetDefaultFilterBy(TvxDefaultFilterBy value) { defaultFilterBy_ = value; }
    const std::string& DefaultField() const { return defaultField_; }
    void SetDefaultField(const std::string& value) { defaultField_ = value; }
    TvxFieldOperators* FieldOperators() const { return fieldOperators_.get(); }
    void SetFieldOperators(TvxFieldOperators* value) { fieldOperators_->Assign(value); }
    // Lines "field name;display label".
    TStrings* SelectedFields() const { return selectedFields_.get(); }
    void SetSelectedFields(TStrings* value) { selectedFields_->Assign(value); }
    TvxFilterOptimization FilterOptimization() const { return filterOptimization_; }
    void SetFilterOptimization(TvxFilterOptimization value) { filterOptimization_ = value; }
    Word UpperRangePadChar() const { return upperRangePadChar_; }
    void SetUpperRangePadChar(Word value) { upperRangePadChar_ = value; }
    Integer DlgHeight() const { return dlgHeight_; }
    // Values of 267 or less are ignored.
    void SetDlgHeight(Integer value);
    TvxQueryFormatDateMode QueryFormatDateMode() const { return queryFormatDateMode_; }
    void SetQueryFormatDateMode(TvxQueryFormatDateMode value) { queryFormatDateMode_ = value; }

    TvxOnInitFilterDlgEvent OnInitDialog;
    TvxOnExecuteSQLEvent OnExecuteSQL;
    TvxOnEncodeDateTimeEvent OnEncodeDateTime;
    TvxOnSelectFilterField OnSelectField;

    // A key range was set on the table by the last local filter.
    bool RangeApplied = false;
    TvxDummyForm* Holder() const { return holder_; }
    TStrings* SavedSql() const { return savedSql_.get(); }
    std::vector<TvxDBFieldInfo>& FieldInfos() { return fieldInfos_; }
    // Scratch for the memo text of the record being tested.
    std::vector<char>& MemoBuffer() { return memoBuffer_; }
    // The filter form while Execute shows it.
    IvxFilterForm* Form() const { return form_; }
    TvxFieldInfoList& Criteria() { return criteria_; }

    // Frees the criteria; a modified query gets its saved SQL back.
    void ClearFilter();
    // Rebuilds FieldInfos: from the tables of the SQL text for fdByQueryModify, from the dataset's fields otherwise.
    void LoadFieldInfo();
    TvxDBFieldInfo* FindFieldInfo(const std::string& name);
    TvxDBFieldInfo& AddFieldInfo();
    // Value followed by UpperRangePadChar up to size characters.
    std::string PadUpperRange(Integer size, const std::string& value) const;

    // The operator word that splits the value (OrChar or AndChar, from the second word on), empty for none;
    // isOr tells which.
    std::string ParseOperators(const std::string& value, bool& isOr) const;
    // The words from position up to the next operatorWord, joined by single blanks; position (1-based) moves past
    // it and becomes -1 after the last sub-value.
    std::string NextSubValue(const std::string& value, const std::string& operatorWord, Integer& position) const;
    // Merges the condition lines into the query's SQL text (see vxInsertWhereLines), with ParamCheck off meanwhile.
    void InsertWhereLines(TStrings* lines);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    bool ShowForm(TDataSet* dataSet);
    bool ApplyCriteria(TDataSet* dataSet, const TvxFieldInfoList& criteria);
    TvxCharSet WordStops() const;
    std::vector<std::string> ValueWords(const std::string& value) const;
    bool IsOperatorWord(const std::string& word, const std::string& operatorWord) const;
    void LoadDataSetFieldInfo(TDataSet* dataSet);
    void LoadSqlFieldInfo(TDataSet* dataSet);
    void LoadClientFieldInfo(TDataSet* dataSet);
    void LoadTableFieldInfo(TDataSet* dataSet, const TvxSqlTable& table, std::vector<std::string>& seen);

    std::unique_ptr<TvxFilterDataLink> link_;
    TvxFilterDialogOptions options_{fdShowCaseSensitive, fdShowOKCancel, fdShowViewSummary, fdShowFieldOrder,
                                    fdShowValueRangeTab};
    TvxFilterDialogSort sortBy_ = fdSortByFieldNo;
    TvxDummyForm* holder_ = nullptr;
    std::string caption_;
    TvxFilterMethod filterMethod_ = fdByFilter;
    TvxDefaultMatchType defaultMatchType_ = fdMatchStart;
    TvxDefaultFilterBy defaultFilterBy_ = fdSmartFilter;
    std::string defaultField_;
    std::unique_ptr<TStringList> selectedFields_;
    std::unique_ptr<TvxFieldOperators> fieldOperators_;
    TvxFilterOptimization filterOptimization_ = fdNone;
    Word upperRangePadChar_ = 122;
    Integer dlgHeight_ = 267;
    std::unique_ptr<TStringList> savedSql_;
    std::vector<TvxDBFieldInfo> fieldInfos_;
    TvxQueryFormatDateMode queryFormatDateMode_ = qfdMonthDayYear;
    std::vector<char> memoBuffer_;
    IvxFilterForm* form_ = nullptr;
    TvxFieldInfoList criteria_;
};

// The platform engine's datasets.
bool vxIsBDEDataSet(TDataSet* dataSet);
// The library's query or a platform query.
bool vxIsQueryDataSet(TDataSet* dataSet);
// The dataset's published SQL lines; nullptr when its class publishes none.
TStrings* vxGetSqlLines(TDataSet* dataSet);

// The clause keywords that end a WHERE condition or a FROM list.
bool vxIsClauseKeyword(const std::string& word);
// The condition lines merged into the SQL text: after an existing WHERE condition (put in parentheses) as
// "And (" lines ")"; before the first other clause keyword (splitting its line there) as "Where" and the lines;
// without a keyword appended as "Where" and the lines.
void vxInsertWhereLines(TStrings* sql, TStrings* lines);
