#include "vxdata/Vxfltdum.h"

#include <algorithm>
#include <cstring>

#include "classes/TypInfo.h"
#include "db/DBConsts.h"
#include "db/DBErrors.h"
#include "db/DataSet.h"
#include "db/Field.h"
#include "rtl/DateFormat.h"
#include "rtl/DateParse.h"
#include "rtl/DateTime.h"
#include "rtl/FloatConv.h"
#include "rtl/Format.h"
#include "rtl/IntConv.h"
#include "rtl/StringRoutines.h"
#include "vcl/Dialogs.h"
#include "vcl/RichEdit.h"
#include "vxdata/Vxcommon.h"
#include "vxdata/Vxfltdlg.h"
#include "vxdata/Vxintl.h"
#include "vxdata/Vxqbe.h"
#include "vxdata/Vxquery.h"
#include "vxdata/Vxtable.h"
#include "vxdata/vxFilterTime.h"
#include "vxdata/vxstorep.h"

TvxDummyForm::TvxDummyForm(TComponent* owner)
    : TForm(owner), param_(std::make_unique<TParam>(nullptr)), valueBuffer_(256)
{
}

TvxDummyForm::~TvxDummyForm() { delete RichStream; }

// ---- the record filter ----

namespace {

void FillFieldName(TDataSet* dataSet, TvxFieldInfo& criterion)
{
    if (criterion.FieldName.empty() || !dataSet->FindField(criterion.FieldName))
        criterion.FieldName = vxFieldNameFromLabel(dataSet, criterion.DisplayLabel);
}

bool IsDateTimeType(TFieldType type) { return type == ftDate || type == ftTime || type == ftDateTime; }

TFieldType RangeType(TFieldType type) { return type == ftAutoInc ? ftInteger : type; }

// The short date, time or date-and-time text of a date value; the value's text for other types.
std::string ValueText(const TParam& value, TFieldType type)
{
    if (value.IsNull()) return std::string();
    switch (type) {
    case ftDate: return DateToStr(value.AsDateTime());
    case ftTime: return TimeToStr(value.AsDateTime());
    case ftDateTime: return DateTimeToStr(value.AsDateTime());
    default: return value.AsString();
    }
}

TDateTime DateTimeOfText(const std::string& text, TFieldType type)
{
    switch (type) {
    case ftDate: return StrToDate(text);
    case ftTime: return StrToTime(text);
    default: return StrToDateTime(text);
    }
}

// The memo's text over its first FilterMemoSize characters; rich text as plain text.
std::string MemoText(TvxDummyForm* holder, TField* field)
{
    std::string text = vxIsBDEDataSet(holder->DataSet) ? holder->GetFilterFieldValue(field->FieldName())->AsString()
                                                     : field->AsString();
    if (vxIsRichTextField(field, false)) {
        std::vector<char>& buffer = holder->Dialog->MemoBuffer();
        buffer.assign(text.begin(), text.end());
        buffer.resize(std::max<size_t>(buffer.size(), size_t(vxGetFilterMemoSize())) + 1);
        Integer size = Integer(text.size());
        vxRichTextToPlain(holder, buffer, size, holder->RichEdit, holder->RichStream);
        text.assign(buffer.data(), size_t(size));
    }
    if (Integer(text.size()) > vxGetFilterMemoSize()) text.resize(size_t(std::max(vxGetFilterMemoSize(), 0)));
    return text;
}

bool MemoMatches(const std::string& memo, const std::string& subValue, TvxFilterMatchType matchType)
{
    switch (matchType) {
    case fdMatchStart: return memo.starts_with(subValue);
    case fdMatchAny: return memo.find(subValue) != std::string::npos;
    case fdMatchExact: return memo == subValue;
    default: return true;
    }
}

bool TextMatches(const std::string& text, const std::string& subValue, TvxFilterMatchType matchType,
                 TFieldType type)
{
    switch (matchType) {
    case fdMatchStart: return text.starts_with(subValue);
    case fdMatchAny: return text.find(subValue) != std::string::npos;
    case fdMatchExact: return vxValuesEqual(subValue, text, type);
    default: return true;
    }
}

// OR: true at the first sub-value that matches; AND: false at the first that fails. The null word matches exactly
// the empty fields and is never tested otherwise; empty sub-values are skipped.
template <class Test>
bool SubValuesMatch(TvxFilterDialog* dialog, const std::string& value, const std::string& fieldText, Test test)
{
    bool isOr = false;
    const std::string operatorWord = dialog->ParseOperators(value, isOr);
    const std::string& nullWord = dialog->FieldOperators()->NullChar();
    Integer position = 1;
    while (position != -1) {
        const std::string subValue = dialog->NextSubValue(value, operatorWord, position);
        if (subValue.empty()) continue;
        const bool isNullWord = !nullWord.empty() && SameText(subValue, nullWord);
        const bool matched = isNullWord ? vxIsNullMatch(subValue, fieldText, nullWord) : test(subValue);
        if (matched == isOr) return isOr;
    }
    return !isOr;
}

bool InStringRange(TvxFilterDialog* dialog, const TvxFieldInfo& criterion, TField* field, std::string text)
{
    std::string low = criterion.MinValue;
    std::string high = criterion.MaxValue;
    if (!criterion.CaseSensitive) {
        text = AnsiUpperCase(text);
        low = AnsiUpperCase(low);
        high = AnsiUpperCase(high);
    }
    if (!low.empty() && text < low) return false;
    return high.empty() || text <= dialog->PadUpperRange(field->Size(), high);
}

template <class T, class Read>
bool InRange(T value, const TvxFieldInfo& criterion, Read read)
{
    if (!criterion.MinValue.empty() && value < read(criterion.MinValue)) return false;
    return criterion.MaxValue.empty() || !(read(criterion.MaxValue) < value);
}

// Only the bounds that are set are tested; an empty field lies in no range that has a bound.
bool RangeMatches(TvxDummyForm* holder, const TvxFieldInfo& criterion, TField* field)
{
    const TParam* value = holder->GetFilterFieldValue(field->FieldName());
    const TFieldType type = RangeType(field->DataType());
    const bool bounded = !criterion.MinValue.empty() || !criterion.MaxValue.empty();
    switch (type) {
    case ftString: return InStringRange(holder->Dialog, criterion, field, ValueText(*value, type));
    case ftSmallint:
    case ftInteger:
    case ftWord:
        if (value->IsNull()) return !bounded;
        return InRange(value->AsInteger(), criterion, [](const std::string& text) { return StrToInt(Trim(text)); });
    case ftFloat:
    case ftCurrency:
    case ftBCD:
        if (value->IsNull()) return !bounded;
        return InRange(value->AsFloat(), criterion, [](const std::string& text) { return StrToFloat(Trim(text)); });
    case ftDate:
    case ftTime:
    case ftDateTime:
        if (value->IsNull()) return !bounded;
        return InRange(value->AsDateTime(), criterion,
                       [type](const std::string& text) { return DateTimeOfText(Trim(text), type); });
    default: return true;
    }
}

}  // namespace

bool vxIsNullMatch(const std::string& subValue, const std::string& fieldText, const std::string& nullWord)
{
    return fieldText.empty() && SameText(subValue, nullWord);
}

bool vxValuesEqual(const std::string& subValue, const std::string& fieldText, TFieldType dataType)
{
    if (subValue == fieldText) return true;
    if (dataType == ftString) return false;
    if (Trim(subValue).empty() != Trim(fieldText).empty()) return false;
    switch (RangeType(dataType)) {
    case ftSmallint:
    case ftInteger:
    case ftWord: return StrToInt(Trim(subValue)) == StrToInt(Trim(fieldText));
    case ftFloat:
    case ftCurrency:
    case ftBCD: return StrToFloat(Trim(subValue)) == StrToFloat(Trim(fieldText));
    case ftDate:
    case ftTime:
    case ftDateTime: return DateTimeOfText(Trim(subValue), dataType) == DateTimeOfText(Trim(fieldText), dataType);
    default: return false;
    }
}

bool vxRecordMatchesCriteria(TvxDummyForm* holder, Integer index)
{
    TvxFilterDialog* dialog = holder->Dialog;
    TvxFieldInfo& criterion = *dialog->Criteria()[size_t(index)];
    FillFieldName(holder->DataSet, criterion);
    TField* field = holder->DataSet->FieldByName(criterion.FieldName);
    if (criterion.MatchType == fdMatchRange) return RangeMatches(holder, criterion, field);
    std::string value = criterion.Value;
    if (!criterion.CaseSensitive) value = AnsiUpperCase(value);
    const auto caseOf = [&criterion](const std::string& text) {
        return criterion.CaseSensitive ? text : AnsiUpperCase(text);
    };
    if (field->IsBlob()) {
        const std::string memo = caseOf(MemoText(holder, field));
        return SubValuesMatch(dialog, value, memo.empty() ? "" : "not null", [&](const std::string& subValue) {
            return MemoMatches(memo, subValue, criterion.MatchType);
        });
    }
    const std::string text = caseOf(ValueText(*holder->GetFilterFieldValue(field->FieldName()), field->DataType()));
    return SubValuesMatch(dialog, value, text, [&](const std::string& subValue) {
        return TextMatches(text, subValue, criterion.MatchType, field->DataType());
    });
}

void TvxDummyForm::FilterRecord(TDataSet* dataSet, bool& accept)
{
    accept = true;
    DataSet = dataSet;
    TvxFieldInfoList& criteria = Dialog->Criteria();
    for (size_t i = 0; i < criteria.size() && accept; ++i) {
        TvxFieldInfo& criterion = *criteria[i];
        if (criterion.FieldName.empty()) criterion.FieldName = vxFieldNameFromLabel(dataSet, criterion.DisplayLabel);
        const bool matches = vxRecordMatchesCriteria(this, Integer(i));
        accept = criterion.NonMatching && criterion.MatchType != fdMatchRange ? !matches : matches;
    }
}

TParam* TvxDummyForm::GetFilterFieldValue(const std::string& fieldName)
{
    if (auto* filtered = dynamic_cast<IvxRecordFiltered*>(DataSet)) return filtered->RecordFilter().FilterField(fieldName);
    TField* field = DataSet->FindField(fieldName);
    if (!field) DatabaseErrorFmt(dbconsts::SFieldNotFound, {fieldName}, DataSet);
    param_->Clear();
    if (!field->IsNull()) {
        vxFieldToParam(field, param_.get(), valueBuffer_);
        if (param_->IsNull()) param_->SetValue(field->Value());
    }
    param_->SetDataType(RangeType(field->DataType()));
    return param_.get();
}

// ---- the local filter and the key range ----

namespace {

template <class D>
bool SetLibraryFilter(TDataSet* dataSet, TvxDummyForm* holder)
{
    auto* typed = dynamic_cast<D*>(dataSet);
    if (!typed) return false;
    typed->SetOnFilter([holder](D* filtered, bool& accept) { holder->FilterRecord(filtered, accept); });
    return true;
}

void InstallLibraryFilter(TDataSet* dataSet, TvxDummyForm* holder)
{
    SetLibraryFilter<TvxTable>(dataSet, holder) || SetLibraryFilter<TvxQuery>(dataSet, holder) ||
        SetLibraryFilter<TvxQBE>(dataSet, holder) || SetLibraryFilter<TvxStoredProc>(dataSet, holder);
}

// Value criteria with an operator word and non-matching criteria cannot narrow a key range.
bool MayNarrow(TvxFilterDialog* dialog, const TvxFieldInfo& criterion)
{
    if (criterion.NonMatching) return false;
    bool isOr = false;
    return criterion.MatchType == fdMatchRange || dialog->ParseOperators(criterion.Value, isOr).empty();
}

// Sets the criterion's range on the first field of the table's current index; false when it gives none. A
// case-insensitive criterion narrows a case-sensitive text index never, as the range would hide records the
// record filter accepts.
bool SetCriterionRange(TvxFilterDialog* dialog, TvxTable* table, const TvxFieldInfo& criterion)
{
    std::string firstName;
    table->GetFirstIndexField(firstName);
    TField* first = table->FindField(firstName);
    if (!first) return false;
    const bool text = first->DataType() == ftString;
    if (text && !criterion.CaseSensitive && !table->IsCaseInsensitiveIndex()) return false;
    const auto padded = [&](const std::string& value) { return dialog->PadUpperRange(first->Size(), value); };
    switch (criterion.MatchType) {
    case fdMatchExact:
        if (criterion.Value.empty()) return false;
        table->SetRange({criterion.Value}, {criterion.Value});
        return true;
    case fdMatchStart:
        if (criterion.Value.empty() || !text) return false;
        table->SetRange({criterion.Value}, {padded(criterion.Value)});
        return true;
    case fdMatchRange:
        if (criterion.MinValue.empty() && criterion.MaxValue.empty()) return false;
        table->SetRange(criterion.MinValue.empty() ? std::vector<TVarRec>{} : std::vector<TVarRec>{criterion.MinValue},
                        criterion.MaxValue.empty() ? std::vector<TVarRec>{}
                                                   : std::vector<TVarRec>{padded(criterion.MaxValue)});
        return true;
    default: return false;
    }
}

void NarrowOnActiveIndex(TvxFilterDialog* dialog, TvxTable* table)
{
    std::string firstName;
    table->GetFirstIndexField(firstName);
    if (firstName.empty()) return;
    for (auto& criterion : dialog->Criteria()) {
        if (!MayNarrow(dialog, *criterion)) continue;
        FillFieldName(table, *criterion);
        if (criterion->FieldName == firstName && SetCriterionRange(dialog, table, *criterion)) {
            dialog->RangeApplied = true;
            return;
        }
    }
}

// An index on the field of the criterion's case sensitivity (ranges: case-insensitive first), else of the other.
std::string IndexForCriterion(TvxTable* table, const TvxFieldInfo& criterion)
{
    const bool caseSensitive = criterion.MatchType == fdMatchRange ? false : criterion.CaseSensitive;
    std::string name;
    table->IndexNameForFieldsCase(criterion.FieldName, caseSensitive, name);
    if (name == "?") table->IndexNameForFieldsCase(criterion.FieldName, !caseSensitive, name);
    return name == "?" ? std::string() : name;
}

void NarrowOnAnyIndex(TvxFilterDialog* dialog, TvxTable* table)
{
    for (auto& criterion : dialog->Criteria()) {
        const TvxFilterMatchType type = criterion->MatchType;
        if (!MayNarrow(dialog, *criterion) || (type != fdMatchStart && type != fdMatchExact && type != fdMatchRange))
            continue;
        FillFieldName(table, *criterion);
        const std::string index = IndexForCriterion(table, *criterion);
        if (index.empty()) continue;
        table->SetIndexName(index);
        if (type != fdMatchRange && criterion->Value.empty()) continue;
        dialog->RangeApplied = SetCriterionRange(dialog, table, *criterion);
        return;
    }
}

}  // namespace

void vxApplyIndexRange(TvxFilterDialog* dialog)
{
    auto* table = dynamic_cast<TvxTable*>(dialog->GetPrimaryDataSet());
    if (!table || table->MasterSource()) return;
    if (dialog->RangeApplied) {
        // Removing the range may reopen the table, which would clear the criteria being applied.
        TvxFieldInfoList criteria = std::move(dialog->Criteria());
        table->ResetNarrowSearch();
        dialog->Criteria() = std::move(criteria);
        dialog->RangeApplied = false;
    }
    if (dialog->FilterOptimization() == fdUseActiveIndex) NarrowOnActiveIndex(dialog, table);
    if (dialog->FilterOptimization() == fdUseAllIndexes) NarrowOnAnyIndex(dialog, table);
}

void vxApplyLocalFilter(TvxFilterDialog* dialog)
{
    TDataSet* dataSet = dialog->GetPrimaryDataSet();
    if (!dataSet) return;
    if (!dataSet->Active()) dataSet->Open();
    const bool libraryEvent = IsPublishedProp(dataSet, "OnFilter");
    if (libraryEvent) SetMethodProp(dataSet, "OnFilter", TMethod{});
    if (dynamic_cast<TvxTable*>(dataSet)) vxApplyIndexRange(dialog);
    TvxDummyForm* holder = dialog->Holder();
    if (!dialog->Criteria().empty()) {
        if (libraryEvent)
            InstallLibraryFilter(dataSet, holder);
        else
            dataSet->SetOnFilterRecord([holder](TDataSet* filtered, bool& accept) {
                holder->FilterRecord(filtered, accept);
            });
    } else if (!libraryEvent) {
        dataSet->SetOnFilterRecord(nullptr);
    }
    if (!libraryEvent || vxIsClassNamed(dataSet->ClassType(), "TvxClientDataSet")) dataSet->SetFiltered(true);
}

// ---- query modification ----

namespace {

// Letters a to z only.
std::string UpperAscii(const std::string& text)
{
    std::string upper = text;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return upper;
}

bool IsDigits(const std::string& text, size_t& at)
{
    const size_t start = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
    return at > start;
}

// An SQL number: sign, digits, with fraction a decimal point and digits and an exponent.
bool IsSqlNumber(const std::string& text, bool fraction)
{
    size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    if (!IsDigits(text, at)) return false;
    if (fraction && at < text.size() && text[at] == '.' && !IsDigits(text, ++at)) return false;
    if (fraction && at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
        if (!IsDigits(text, at)) return false;
    }
    return at == text.size();
}

bool IsIntegerType(TFieldType type)
{
    return type == ftSmallint || type == ftInteger || type == ftWord || type == ftAutoInc;
}

bool IsNumberType(TFieldType type) { return type == ftFloat || type == ftCurrency || type == ftBCD; }

// The unquoted literal of a number or Boolean; anything else is refused with the conversion error.
std::string UnquotedLiteral(const std::string& text, TFieldType type)
{
    if (type == ftBoolean) {
        for (const char* word : {"TRUE", "FALSE", "1", "0"})
            if (SameText(text, word)) return text;
        throw EConvertError(Format("'%s' is not a valid boolean value", {text}));
    }
    if (!IsSqlNumber(text, !IsIntegerType(type)))
        throw EConvertError(Format(IsIntegerType(type) ? "'%s' is not a valid integer value"
                                                       : "'%s' is not a valid floating point value",
                                   {text}));
    return text;
}

bool IsUnquotedType(TFieldType type) { return IsIntegerType(type) || IsNumberType(type) || type == ftBoolean; }

// Types compared without Upper().
bool KeepsCase(TFieldType type)
{
    return IsIntegerType(type) || type == ftBoolean || type == ftFloat || type == ftCurrency || IsDateTimeType(type);
}

std::string DateLiteral(TvxFilterDialog* dialog, const TvxDBFieldInfo& info, const std::string& text)
{
    switch (info.DataType) {
    case ftDate: return QuotedStr(vxSqlDateText(dialog, info, text));
    case ftTime: return QuotedStr(vxSqlTimeText(dialog, info, text));
    default: return QuotedStr(vxSqlDateTimeText(dialog, info, text));
    }
}

std::string SubValueCondition(TvxFilterDialog* dialog, const TvxFieldInfo& criterion, const TvxDBFieldInfo& info,
                              const std::string& column, std::string subValue)
{
    if (SameText(subValue, dialog->FieldOperators()->NullChar())) return column + " is NULL";
    if (!criterion.CaseSensitive) subValue = UpperAscii(subValue);
    const TFieldType type = info.DataType;
    if (IsUnquotedType(type) && type != ftBCD) return column + "=" + UnquotedLiteral(subValue, type);
    if (type == ftDate) return column + "=" + DateLiteral(dialog, info, subValue);
    if (IsDateTimeType(type)) return "   " + column + "=" + DateLiteral(dialog, info, subValue);
    switch (criterion.MatchType) {
    case fdMatchStart: return column + " like " + QuotedStr(subValue + "%");
    case fdMatchAny: return column + " like " + QuotedStr("%" + subValue + "%");
    default: return column + "=" + QuotedStr(subValue);
    }
}

// One line "(...)" of the sub-value conditions; none when every sub-value is empty.
std::vector<std::string> ValueLines(TvxFilterDialog* dialog, const TvxFieldInfo& criterion,
                                    const TvxDBFieldInfo& info, std::string column)
{
    bool isOr = false;
    const std::string operatorWord = dialog->ParseOperators(criterion.Value, isOr);
    if (!criterion.CaseSensitive && !KeepsCase(info.DataType)) column = "Upper(" + column + ")";
    std::string conditions;
    Integer position = 1;
    while (position != -1) {
        const std::string subValue = dialog->NextSubValue(criterion.Value, operatorWord, position);
        if (subValue.empty()) continue;
        if (!conditions.empty()) conditions += isOr ? " or " : " and ";
        conditions += SubValueCondition(dialog, criterion, info, column, subValue);
    }
    if (conditions.empty()) return {};
    return {"(" + conditions + ")"};
}

// A line per bound that is set, " and" between them.
std::vector<std::string> RangeLines(TvxFilterDialog* dialog, const TvxFieldInfo& criterion,
                                    const TvxDBFieldInfo& info, const std::string& column)
{
    const TFieldType type = info.DataType;
    std::function<std::string(const std::string&, bool)> literal;
    if (type == ftString)
        literal = [&](const std::string& bound, bool upper) {
            return QuotedStr(upper ? dialog->PadUpperRange(info.Size, bound) : bound);
        };
    else if (IsDateTimeType(type))
        literal = [&](const std::string& bound, bool) { return DateLiteral(dialog, info, bound); };
    else if (IsUnquotedType(type))
        literal = [&](const std::string& bound, bool) { return UnquotedLiteral(Trim(bound), type); };
    else
        return {};
    std::vector<std::string> lines;
    if (!criterion.MinValue.empty()) lines.push_back("   " + column + " >= " + literal(criterion.MinValue, false));
    if (!criterion.MinValue.empty() && !criterion.MaxValue.empty()) lines.push_back(" and");
    if (!criterion.MaxValue.empty()) lines.push_back("   " + column + " <= " + literal(criterion.MaxValue, true));
    return lines;
}

// The field name of a criterion for the query: its label, or the field a SelectedFields line gives that label.
std::string QueryFieldName(TvxFilterDialog* dialog, const TvxFieldInfo& criterion)
{
    if (!criterion.FieldName.empty()) return criterion.FieldName;
    TStrings* selected = dialog->SelectedFields();
    for (Integer i = 0; i < selected->Count(); ++i) {
        const std::string line = selected->Strings(i);
        const size_t separator = line.find(';');
        if (separator != std::string::npos && SameText(line.substr(separator + 1), criterion.DisplayLabel))
            return line.substr(0, separator);
    }
    return criterion.DisplayLabel;
}

std::string Connector(const TvxFieldInfo& criterion, Integer written)
{
    if (criterion.MatchType != fdMatchRange && criterion.NonMatching) return written > 0 ? "  and not" : "  not";
    return written > 0 ? " and" : "";
}

// Date parts by the dialog's mode, and the time, as decimals joined by "/" and ":".
std::string DateDigits(TvxFilterDialog* dialog, TDateTime value)
{
    Word year = 0, month = 0, day = 0;
    DecodeDate(value, year, month, day);
    const std::string y = std::to_string(year), m = std::to_string(month), d = std::to_string(day);
    switch (dialog->QueryFormatDateMode()) {
    case qfdDayMonthYear: return d + "/" + m + "/" + y;
    case qfdYearMonthDay: return y + "/" + m + "/" + d;
    default: return m + "/" + d + "/" + y;
    }
}

std::string TimeDigits(TDateTime value)
{
    Word hour = 0, minute = 0, second = 0, millisecond = 0;
    DecodeTime(value, hour, minute, second, millisecond);
    return std::to_string(hour) + ":" + std::to_string(minute) + ":" + std::to_string(second);
}

std::string Encoded(TvxFilterDialog* dialog, const TvxDBFieldInfo& info, TDateTime value, std::string text)
{
    if (dialog->OnEncodeDateTime) dialog->OnEncodeDateTime(value, info.DataType, info.FieldName, text);
    return text;
}

}  // namespace

std::string vxSqlDateText(TvxFilterDialog* dialog, const TvxDBFieldInfo& info, const std::string& text)
{
    if (text.empty()) return std::string();
    const TDateTime value = StrToDateTime(Trim(text));
    return Encoded(dialog, info, value, DateDigits(dialog, value));
}

std::string vxSqlTimeText(TvxFilterDialog* dialog, const TvxDBFieldInfo& info, const std::string& text)
{
    if (text.empty()) return std::string();
    const TDateTime value = StrToTime(Trim(text));
    return Encoded(dialog, info, value, TimeDigits(value));
}

std::string vxSqlDateTimeText(TvxFilterDialog* dialog, const TvxDBFieldInfo& info, const std::string& text)
{
    if (text.empty()) return std::string();
    const TDateTime value = StrToDateTime(Trim(text));
    return Encoded(dialog, info, value, DateDigits(dialog, value) + " " + TimeDigits(value));
}

bool vxBuildConditionLines(TvxFilterDialog* dialog, TStrings* lines)
{
    Integer written = 0;
    for (auto& criterion : dialog->Criteria()) {
        criterion->FieldName = QueryFieldName(dialog, *criterion);
        const TvxDBFieldInfo* info = dialog->FindFieldInfo(criterion->FieldName);
        if (!info) {
            MessageDlg("TvxFilterDialog: Field not found (" + criterion->FieldName + ")", mtWarning, {mbOK}, 0);
            return false;
        }
        const std::string column = (info->TableAlias.empty() ? "" : info->TableAlias + ".") + "\"" +
                                   info->ColumnName + "\"";
        std::vector<std::string> condition;
        try {
            condition = criterion->MatchType == fdMatchRange ? RangeLines(dialog, *criterion, *info, column)
                                                             : ValueLines(dialog, *criterion, *info, column);
        } catch (EConvertError& e) {
            MessageDlg(e.Message(), mtWarning, {mbOK}, 0);
            return false;
        }
        if (condition.empty()) continue;
        const std::string connector = Connector(*criterion, written++);
        if (!connector.empty()) lines->Add(connector);
        for (const std::string& line : condition) lines->Add(line);
    }
    return true;
}

bool vxApplyQueryModify(TvxFilterDialog* dialog)
{
    TDataSet* dataSet = dialog->GetPrimaryDataSet();
    TStrings* sql = vxGetSqlLines(dataSet);
    if (!sql) return true;
    if (dataSet->State() == dsEdit || dataSet->State() == dsInsert) dataSet->Post();
    dataSet->Close();
    if (dialog->SavedSql()->Count() > 0)
        vxSetSQL(dataSet, dialog->SavedSql());
    else
        dialog->SavedSql()->Assign(sql);
    TStringList lines;
    if (!vxBuildConditionLines(dialog, &lines)) {
        dataSet->Open();
        return false;
    }
    dialog->InsertWhereLines(&lines);
    if (dialog->OnExecuteSQL && vxIsQueryDataSet(dataSet))
        dialog->OnExecuteSQL(dialog->Form() ? dialog->Form()->Window() : nullptr, dataSet);
    try {
        dataSet->Open();
    } catch (Exception&) {
        std::string text = "Unable to Execute SQL:\r";
        for (Integer i = 0; i < sql->Count(); ++i) text += sql->Strings(i) + "\r";
        MessageDlg(text, mtWarning, {mbOK}, 0);
        throw;
    }
    return true;
}
