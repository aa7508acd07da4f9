// Applying a filter dialog's criteria: the local record filter (a handler on TvxDummyForm, the hidden holder the
// dialog owns), the key range a library table is narrowed to before the filter runs, and query modification (a
// WHERE clause built from the criteria, merged into the query's SQL text).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "db/DBTypes.h"
#include "db/Params.h"
#include "vcl/Forms.h"

class TDataSet;
class TMemoryStream;
class TRichEdit;
class TStrings;
class TvxFilterDialog;
struct TvxDBFieldInfo;

// Never shown; form file TVXDUMMYFORM.
class TvxDummyForm : public TForm {
    DUN_CLASS(TvxDummyForm, TForm)
public:
    explicit TvxDummyForm(TComponent* owner);
    ~TvxDummyForm() override;

    // The record-filter handler installed on the dataset: all criteria must hold.
    void FilterRecord(TDataSet* dataSet, bool& accept);
    // The field's value in the record being filtered; raises "Field '%s' not found".
    TParam* GetFilterFieldValue(const std::string& fieldName);

    TvxFilterDialog* Dialog = nullptr;
    TDataSet* DataSet = nullptr;
    // Kept by the rich-text conversion between records.
    TRichEdit* RichEdit = nullptr;
    TMemoryStream* RichStream = nullptr;

private:
    std::unique_ptr<TParam> param_;
    std::vector<char> valueBuffer_;
};

// The current record of the holder's dataset against criterion index of its dialog.
bool vxRecordMatchesCriteria(TvxDummyForm* holder, Integer index);
// An empty field text and the null word as sub-value.
bool vxIsNullMatch(const std::string& subValue, const std::string& fieldText, const std::string& nullWord);
// The same text, or (not for strings, neither blank) the same integer, number, date or time; a text that does not
// convert raises the conversion error.
bool vxValuesEqual(const std::string& subValue, const std::string& fieldText, TFieldType dataType);

// Installs the holder's record filter on the dialog's dataset (opening it), after the key range of a library table.
void vxApplyLocalFilter(TvxFilterDialog* dialog);
// Removes the range the last filter set, then, by FilterOptimization, narrows a library table without master to
// the first criterion an index serves.
void vxApplyIndexRange(TvxFilterDialog* dialog);
// Rewrites the query's SQL from SavedSql and the criteria and reopens it. A refused criterion (unknown field, a
// value that is no literal of the field's type) gives a warning, reopens the query with the saved SQL and false.
bool vxApplyQueryModify(TvxFilterDialog* dialog);
// The condition lines of the criteria; false (with the warning shown) when a criterion is refused.
bool vxBuildConditionLines(TvxFilterDialog* dialog, TStrings* lines);

// SQL date and time literals of a date, time or date-and-time text, by the dialog's QueryFormatDateMode; the
// dialog's OnEncodeDateTime may replace the text.
std::string vxSqlDateText(TvxFilterDialog* dialog, const TvxDBFieldInfo& field, const std::string& text);
std::string vxSqlTimeText(TvxFilterDialog* dialog, const TvxDBFieldInfo& field, const std::string& text);
std::string vxSqlDateTimeText(TvxFilterDialog* dialog, const TvxDBFieldInfo& field, const std::string& text);
