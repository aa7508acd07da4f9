#include "vxcontrols/vxdbdatetimepicker.h"

#include <algorithm>
#include <cmath>

#include "classes/ClassRegistry.h"
#include "classes/TypInfo.h"
#include "db/DataSet.h"
#include "db/DataSource.h"
#include "db/DateTimeFields.h"
#include "rtl/Clock.h"
#include "rtl/DateFormat.h"
#include "rtl/DateTime.h"
#include "rtl/Exceptions.h"
#include "rtl/FormatSettings.h"
#include "vxdata/Vxintl.h"

bool vxBlankTaggedPickers = false;

namespace {

const bool registered = (RegisterClasses<TvxDBDateTimePicker>(), true);

const char* const SDateExceedsMaximum = "Date exceeds maximum of %s";
const char* const SDateBelowMinimum = "Date is less than minimum of %s";

const TDateTime LowestDate = 1;       // 1899-12-31
const TDateTime HighestDate = 2958465;  // 9999-12-31

TDateTime WholeDays(TDateTime value) { return std::trunc(value); }
TDateTime TimeOfDay(TDateTime value) { return std::fabs(value - std::trunc(value)); }

// A date and a time of day as one value; before 1899-12-30 the time counts backwards.
TDateTime Combine(TDateTime date, TDateTime time)
{
    date = WholeDays(date);
    return date < 0 ? date - time : date + time;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool StartsWithNoCase(const std::string& text, size_t pos, const char* word)
{
    for (size_t i = 0; word[i]; ++i)
        if (pos + i >= text.size() || Lower(text[pos + i]) != word[i]) return false;
    return true;
}

void ReplaceAll(std::string& text, const std::string& what, const std::string& by)
{
    for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + by.size()))
        text.replace(pos, what.size(), by);
}

// The format with the shorthands replaced (lower case only), each replacement over the whole text.
std::string ExpandFormat(std::string format)
{
    ReplaceAll(format, "c", ShortDateFormat + " " + LongTimeFormat);
    ReplaceAll(format, "dddddd", LongDateFormat);
    ReplaceAll(format, "ddddd", ShortDateFormat);
    ReplaceAll(format, "tt", LongTimeFormat);
    ReplaceAll(format, "t", ShortTimeFormat);
    return format;
}

bool IsFormatLetter(char c) { return std::string("dmyhnsa").find(Lower(c)) != std::string::npos; }
bool IsDateToken(const std::string& token) { return token[0] == 'd' || token[0] == 'm' || token[0] == 'y'; }
bool IsAmPmToken(const std::string& token) { return Lower(token[0]) == 'a'; }
bool IsDayNameToken(const std::string& token) { return token == "ddd" || token == "dddd"; }
bool IsMonthNameToken(const std::string& token) { return token == "mmm" || token == "mmmm"; }
bool IsDigitToken(const std::string& token)
{
    static const char* const tokens[] = {"d", "dd", "m", "mm", "h", "hh", "n", "nn", "s", "ss", "yy"};
    return std::find_if(std::begin(tokens), std::end(tokens), [&](const char* t) { return token == t; }) !=
           std::end(tokens);
}

// Walks the format token by token: literal characters come as an empty token.
template <class Visit>
void ScanFormat(const std::string& format, Visit visit)
{
    for (Integer pos = 0; pos < Integer(format.size()); ++pos) {
        const char c = format[pos];
        std::string token;
        const Integer first = pos;
        if (IsFormatLetter(c)) token = TvxDBCustomDateTimePicker::ScanFormatToken(c, format, pos);
        if (token.empty()) pos = first;
        if (!visit(token, format[first])) return;
    }
}

std::string TwoDigits(Integer value)
{
    std::string text = std::to_string(value);
    return text.size() < 2 ? "0" + text : text;
}

std::string Digits(Integer value, bool twoDigits) { return twoDigits ? TwoDigits(value) : std::to_string(value); }

std::string TokenText(const std::string& token, const TvxDateTimeParts& p, Word dayOfWeek, bool twelveHour)
{
    const bool pm = p.Hour >= 12;
    switch (token[0]) {
    case 'd':
        if (token == "ddd") return ShortDayNames[dayOfWeek];
        if (token == "dddd") return LongDayNames[dayOfWeek];
        return Digits(p.Day, token.size() > 1);
    case 'm':
        if (token == "mmm") return ShortMonthNames[p.Month];
        if (token == "mmmm") return LongMonthNames[p.Month];
        return Digits(p.Month, token.size() > 1);
    case 'n':
        return Digits(p.Minute, token.size() > 1);
    case 's':
        return Digits(p.Second, token.size() > 1);
    case 'h': {
        Integer hour = p.Hour;
        if (twelveHour) hour = hour % 12 == 0 ? 12 : hour % 12;
        return Digits(hour, token.size() > 1);
    }
    case 'y':
        return token.size() >= 4 ? std::string(4 - std::min<size_t>(4, std::to_string(p.Year).size()), '0') +
                                       std::to_string(p.Year)
                                 : TwoDigits(p.Year % 100);
    default:
        if (Lower(token[0]) != 'a') return "";
        if (token.size() == 4) return pm ? TimePMString : TimeAMString;
        if (token.size() == 5) return pm ? token.substr(3, 2) : token.substr(0, 2);
        return pm ? token.substr(2, 1) : token.substr(0, 1);
    }
}

TvxDateTimeParts Decode(TDateTime value)
{
    TvxDateTimeParts p;
    DecodeDate(value, p.Year, p.Month, p.Day);
    DecodeTime(value, p.Hour, p.Minute, p.Second, p.MSec);
    return p;
}

// Adds months, the day lowered to the new month's length; false when the year leaves 1..9999.
bool AddMonthsClamped(TvxDateTimeParts& p, Integer months)
{
    Integer year = p.Year + months / 12;
    Integer month = p.Month + months % 12;
    if (month > 12) { month -= 12; ++year; }
    if (month < 1) { month += 12; --year; }
    if (year < 1 || year > 9999) return false;
    p.Year = Word(year);
    p.Month = Word(month);
    p.Day = std::min(p.Day, DaysInMonth(p.Year, p.Month));
    return true;
}

}  // namespace

// ---- construction

TvxDBCustomDateTimePicker::TvxDBCustomDateTimePicker(TComponent* owner)
        : TCustomEdit(owner), dataLink_(std::make_unique<TFieldDataLink>())
{
    controlStyle_.Include(csReplicatable);
    dataLink_->SetControl(this);
    dataLink_->OnDataChange = [this](TObject*) { DataChange(); };
    dataLink_->OnUpdateData = [this](TObject*) { UpdateData(); };
    buttonHost_ = new TWinControl(this);
    buttonHost_->SetWidth(std::max<Integer>(GetSystemMetrics(SM_CXVSCROLL), 15));
    buttonHost_->SetParent(this);
    epoch_ = vxIntl()->DefaultEpochYear();
}

TvxDBCustomDateTimePicker::~TvxDBCustomDateTimePicker()
{
    dataLink_->OnDataChange = nullptr;
    dataLink_->OnUpdateData = nullptr;
}

// ---- value kinds and the display format

TvxDBCustomDateTimePicker::TValueKind TvxDBCustomDateTimePicker::ValueKind() const
{
    if (const TField* field = Field()) {
        switch (field->DataType()) {
        case ftDate: return vkDate;
        case ftTime: return vkTime;
        case ftDateTime: return vkDateTime;
        default: return vkNone;
        }
    }
    static const TValueKind kinds[] = {vkDate, vkTime, vkDateTime};
    return kinds[unboundDataType_];
}

bool TvxDBCustomDateTimePicker::EditsTimeOnly() const
{
    return ValueKind() == vkTime ||
           (Field() && Field()->DataType() == ftDateTime && !FormatHasDatePart(GetDisplayFormat(true)));
}

bool TvxDBCustomDateTimePicker::EditsDateOnly() const
{
    return ValueKind() == vkDate ||
           (Field() && Field()->DataType() == ftDateTime && !FormatHasTimePart(GetDisplayFormat(true)));
}

std::string TvxDBCustomDateTimePicker::GetDisplayFormat(bool withDefault) const
{
    if (!displayFormat_.empty()) return displayFormat_;
    if (const auto* field = dynamic_cast<const TDateTimeField*>(Field()); field && !field->DisplayFormat().empty())
        return field->DisplayFormat();
    if (!withDefault) return "";
    const bool isShort = dateFormat_ == dfShort;
    switch (ValueKind()) {
    case vkTime: return isShort ? ShortTimeFormat : LongTimeFormat;
    case vkDate: return isShort ? ShortDateFormat : LongDateFormat;
    default: return isShort ? "c" : LongDateFormat + " " + LongTimeFormat;
    }
}

std::string TvxDBCustomDateTimePicker::GetExpandedFormat() const { return ExpandFormat(GetDisplayFormat(true)); }

std::string TvxDBCustomDateTimePicker::ScanFormatToken(char letter, const std::string& format, Integer& pos)
{
    if (Lower(letter) == 'a') {
        for (const char* form : {"a/p", "am/pm", "ampm"}) {
            if (StartsWithNoCase(format, pos, form)) {
                const std::string token = format.substr(pos, std::char_traits<char>::length(form));
                pos += Integer(token.size()) - 1;
                return token;
            }
        }
        return "";
    }
    const Integer first = pos;
    std::string token(1, Lower(letter));
    while (pos + 1 < Integer(format.size()) && Lower(format[pos + 1]) == Lower(letter)) {
        ++pos;
        token += Lower(letter);
    }
    if ((token == "m" || token == "mm") && first >= 2 && format[first - 2] == 'h') token = token == "m" ? "n" : "nn";
    return token;
}

bool TvxDBCustomDateTimePicker::FormatHasDatePart(const std::string& format)
{
    bool found = false;
    ScanFormat(ExpandFormat(format), [&](const std::string& token, char) {
        found = !token.empty() && IsDateToken(token);
        return !found;
    });
    return found;
}

bool TvxDBCustomDateTimePicker::FormatHasTimePart(const std::string& format)
{
    return std::any_of(format.begin(), format.end(), [](char c) {
        return std::string("hnstc").find(Lower(c)) != std::string::npos;
    });
}

bool TvxDBCustomDateTimePicker::HasAmPm(const std::string& format)
{
    return std::any_of(format.begin(), format.end(), [](char c) { return Lower(c) == 'a'; });
}

bool TvxDBCustomDateTimePicker::IsSection(const std::string& token) const
{
    if (token.empty()) return false;
    if (IsDateToken(token)) return IsDateKind() || IsDateTimeKind();
    return EditsTimeOnly() || IsDateTimeKind();
}

Integer TvxDBCustomDateTimePicker::SectionCount() const
{
    Integer count = 0;
    ScanFormat(GetExpandedFormat(), [&](const std::string& token, char) {
        if (IsSection(token)) ++count;
        return true;
    });
    return count;
}

std::string TvxDBCustomDateTimePicker::LocateSection(Integer n, TDateTime value, Integer& start, Integer& length,
                                                     std::string& token) const
{
    const std::string format = GetExpandedFormat();
    const TvxDateTimeParts parts = Decode(value);
    const Word dayOfWeek = DayOfWeek(value);
    const bool twelveHour = HasAmPm(format);
    std::string text;
    Integer offset = 0, section = 0;
    bool found = false;
    ScanFormat(format, [&](const std::string& t, char literal) {
        const std::string piece = t.empty() ? std::string(1, literal) : TokenText(t, parts, dayOfWeek, twelveHour);
        text += piece;
        if (IsSection(t) && ++section == n) {
            start = offset;
            length = Integer(piece.size());
            token = t;
            found = true;
            return false;
        }
        offset += Integer(piece.size());
        return true;
    });
    return found ? text : std::string();
}

bool TvxDBCustomDateTimePicker::IsStandardFormat() const
{
    if (const auto* field = dynamic_cast<const TDateTimeField*>(Field())) {
        if (IsDateTimeKind() && GetDisplayFormat(false).empty()) return true;
        return field->DisplayFormat() == "c";
    }
    return IsDateTimeKind() && (displayFormat_ == "c" || (displayFormat_.empty() && dateFormat_ == dfShort));
}

Integer TvxDBCustomDateTimePicker::LastSection()
{
    const Integer count = SectionCount();
    if (!IsStandardFormat()) return count;
    const size_t shown = Text().size();
    Integer start = 0, length = 0;
    std::string token;
    for (Integer n = 1; n < count; ++n)
        if (LocateSection(n, value_, start, length, token).size() >= shown) return n;
    return count;
}

bool TvxDBCustomDateTimePicker::AllSectionsShown()
{
    if (!IsStandardFormat()) return true;
    Integer start = 0, length = 0;
    std::string token;
    return Text().size() >= LocateSection(SectionCount(), value_, start, length, token).size();
}

std::string TvxDBCustomDateTimePicker::FormatValue(TDateTime value) const
{
    if (value == 0 && !EditsTimeOnly()) return "";
    if (!GetDisplayFormat(false).empty() || dateFormat_ != dfLong || TimeOfDay(value) != 0)
        return FormatDateTime(GetDisplayFormat(true), value);
    return FormatDateTime(LongDateFormat, value);
}

std::string TvxDBCustomDateTimePicker::DisplayTextFor(TDateTime value) const
{
    if (Field() && Field()->IsNull()) return "";
    if (!Field() && value == 0 && cleared_) return "";
    return FormatValue(value);
}

void TvxDBCustomDateTimePicker::SelectSection()
{
    if (!CanModify()) {
        SelectAll();
    } else {
        Integer start = 0, length = 0;
        std::string token;
        if (!LocateSection(currentSection_, value_, start, length, token).empty()) {
            SetSelStart(start);
            SetSelLength(length);
        }
    }
    if (HandleAllocated()) {
        ::ShowCaret(handle_);
        ::HideCaret(handle_);
    }
}

void TvxDBCustomDateTimePicker::ShowSelectionCaret(bool show)
{
    if (!HandleAllocated()) return;
    if (show)
        ::ShowCaret(handle_);
    else
        ::HideCaret(handle_);
}

// ---- value and limits

TDateTime TvxDBCustomDateTimePicker::EffectiveMinDate() const { return minDate_ != 0 ? minDate_ : LowestDate; }
TDateTime TvxDBCustomDateTimePicker::EffectiveMaxDate() const { return maxDate_ != 0 ? maxDate_ : HighestDate; }

bool TvxDBCustomDateTimePicker::DataFieldIsNull() const { return Field() && Field()->IsNull(); }

void TvxDBCustomDateTimePicker::RaiseIfOutsideLimits(TDateTime value, bool wholeDays) const
{
    if (maxDate_ != 0 && (wholeDays ? WholeDays(value) : value) > maxDate_)
        throw EDateTimeError(SDateExceedsMaximum, {DateToStr(maxDate_)});
    if (minDate_ != 0 && value < minDate_) throw EDateTimeError(SDateBelowMinimum, {DateToStr(minDate_)});
}

void TvxDBCustomDateTimePicker::SetValue(TDateTime value)
{
    const bool wasModified = Modified();
    if (!Field() && value == 0)
        cleared_ = false;
    else if (value == value_ && value_ != 0)
        return;
    if (value == 0) {
        value_ = 0;
        if (!EditsTimeOnly() && !Text().empty()) SetText("");
        return;
    }
    // A refused value leaves the value and the text as they were.
    if (!(WholeDays(value) == 0 && EditsTimeOnly()) && !DataFieldIsNull()) RaiseIfOutsideLimits(value, true);
    value_ = value;
    const std::string text = FormatValue(value);
    if (Text() != text) SetText(text);
    SelectSection();
    SetModified(wasModified);
}

TDateTime TvxDBCustomDateTimePicker::Date()
{
    CommitTypedDigits();
    return EditsTimeOnly() ? 0 : value_;
}

void TvxDBCustomDateTimePicker::SetDate(TDateTime value)
{
    if (EditsTimeOnly()) return;
    if (!Field() && value == 0) {
        cleared_ = false;
        SetValue(0);
        return;
    }
    if (WholeDays(value) == WholeDays(value_)) return;
    const TDateTime combined = Combine(value, TimeOfDay(value_));
    if (combined == 0) {
        SetValue(0);
        Invalidate();
        return;
    }
    const TDateTime old = value_;
    try {
        RaiseIfOutsideLimits(combined, false);
        SetValue(combined);
    } catch (...) {
        SetValue(old);
        throw;
    }
}

TDateTime TvxDBCustomDateTimePicker::Time()
{
    CommitTypedDigits();
    return IsDateKind() ? 0 : value_;
}

void TvxDBCustomDateTimePicker::SetTime(TDateTime value)
{
    if (IsDateKind()) return;
    if (!Field() && value == 0) {
        cleared_ = false;
        SetValue(0);
        return;
    }
    if (TimeOfDay(value) == TimeOfDay(value_)) return;
    const TDateTime combined = Combine(value_, TimeOfDay(value));
    if (combined == 0) {
        SetValue(0);
        Invalidate();
        return;
    }
    SetValue(combined);
}

// 0 is "no limit" for either limit, whatever the other one is.
void TvxDBCustomDateTimePicker::SetMaxDate(TDateTime value)
{
    if (value != 0 && minDate_ != 0 && value < minDate_)
        throw EDateTimeError(SDateBelowMinimum, {DateToStr(minDate_)});
    maxDate_ = value;
}

void TvxDBCustomDateTimePicker::SetMinDate(TDateTime value)
{
    if (value != 0 && maxDate_ != 0 && value > maxDate_)
        throw EDateTimeError(SDateExceedsMaximum, {DateToStr(maxDate_)});
    minDate_ = value;
}

void TvxDBCustomDateTimePicker::Redisplay()
{
    const bool wasModified = Modified();
    if (wasModified)
        SetText(FormatValue(value_));
    else if (Field() || value_ != 0)
        SetText(DisplayTextFor(value_));
    else
        SetText("");
    SetModified(wasModified);
    Invalidate();
}

// ---- editability and state

bool TvxDBCustomDateTimePicker::CanModify() const
{
    if (ReadOnly()) return false;
    TField* field = Field();
    if (!field) return true;
    if (field->ReadOnly() || !field->DataSet()->CanModify()) return false;
    if (DataSource() && !DataSource()->AutoEdit()) {
        const TDataSetState state = field->DataSet()->State();
        return state == dsEdit || state == dsInsert;
    }
    return true;
}

bool TvxDBCustomDateTimePicker::CanEditData() const
{
    TField* field = Field();
    if (!field) return true;
    const TDataSetState state = field->DataSet()->State();
    if (state == dsEdit || state == dsInsert) return true;
    if (!ReadOnly() && (field->Calculated() || field->Lookup()) && !field->ReadOnly())
        return field->DataSet()->CanModify();
    return false;
}

bool TvxDBCustomDateTimePicker::EditCanModify()
{
    dataLink_->Edit();
    return dataLink_->Editing();
}

void TvxDBCustomDateTimePicker::SetModifiedState(bool flag)
{
    if (flag && Field() && Field()->ReadOnly()) return;
    if (flag) dataLink_->Modified();
    SetModified(flag);
}

void TvxDBCustomDateTimePicker::SetFocusedState(bool flag)
{
    if (focused_ == flag) return;
    focused_ = flag;
    if (alignment_ != taLeftJustify) Invalidate();
    if (Field()) dataLink_->Reset();
}

bool TvxDBCustomDateTimePicker::IsGridCell() const
{
    return Parent() && Parent()->ClassType()->InheritsFrom(std::string("TvxDBGrid"));
}

bool TvxDBCustomDateTimePicker::IsActiveGridCell() const { return Field() && IsGridCell() && Parent()->Focused(); }

Integer TvxDBCustomDateTimePicker::GetGridOptions() const
{
    if (!IsGridCell() || !GetPropInfo(Parent(), "Options")) return 0;
    return Integer(GetOrdProp(Parent(), "Options") & 0xFF);
}

// ---- properties

void TvxDBCustomDateTimePicker::SetDisplayFormat(const std::string& value)
{
    if (value == displayFormat_) return;
    displayFormat_ = value;
    Redisplay();
}

void TvxDBCustomDateTimePicker::SetDateFormat(TDTDateFormat value)
{
    if (value == dateFormat_) return;
    dateFormat_ = value;
    Redisplay();
}

void TvxDBCustomDateTimePicker::SetUnboundDataType(TvxDTEditDataType value)
{
    if (value == unboundDataType_) return;
    unboundDataType_ = value;
    Redisplay();
}

void TvxDBCustomDateTimePicker::SetDataField(const std::string& value)
{
    dataLink_->SetFieldName(value);
    if (value.empty()) SetUnboundDataType(vxDTEdtDateTime);
}

void TvxDBCustomDateTimePicker::SetDataSource(TDataSource* value)
{
    dataLink_->SetDataSource(value);
    if (value)
        value->FreeNotification(this);
    else
        SetUnboundDataType(vxDTEdtDateTime);
}

void TvxDBCustomDateTimePicker::SetReadOnly(bool value)
{
    dataLink_->SetReadOnly(value);
    TCustomEdit::SetReadOnly(value);
}

void TvxDBCustomDateTimePicker::SetShowButton(bool value)
{
    if (value == showButton_) return;
    showButton_ = value;
    buttonHost_->SetVisible(value);
    if (HandleAllocated()) {
        SetEditRect();
        Invalidate();
    }
}

void TvxDBCustomDateTimePicker::Notification(TComponent* component, TOperation operation)
{
    TCustomEdit::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == buttonHost_) buttonHost_ = nullptr;
    if (dataLink_ && component == DataSource()) SetDataSource(nullptr);
}

// Actions the edit does not handle go to the data link (a dataset action runs on the picker's data source).
bool TvxDBCustomDateTimePicker::ExecuteAction(TBasicAction* action)
{
    return TCustomEdit::ExecuteAction(action) || dataLink_->ExecuteAction(action);
}

bool TvxDBCustomDateTimePicker::UpdateAction(TBasicAction* action)
{
    return TCustomEdit::UpdateAction(action) || dataLink_->UpdateAction(action);
}

void TvxDBCustomDateTimePicker::Loaded()
{
    TCustomEdit::Loaded();
    UpdateButtonLayout();
}

// ---- data link

void TvxDBCustomDateTimePicker::DataChange()
{
    TField* field = Field();
    if (!field) {
        alignment_ = taLeftJustify;
        return;
    }
    if (field->Alignment() != alignment_) {
        SetText("");
        alignment_ = field->Alignment();
    }
    if (field->IsNull()) {
        SetValue(0);
        SetText("");
    } else {
        value_ = field->AsDateTime();
        SetText(DisplayTextFor(value_));
        Invalidate();
    }
    if (Text().empty()) {
        SetText(DisplayTextFor(field->AsDateTime()));
        ShowSelectionCaret(true);
        Update();
    }
}

void TvxDBCustomDateTimePicker::UpdateData()
{
    TField* field = Field();
    if (TCustomEdit::ReadOnly() || !Modified()) return;
    if (!dataLink_->Editing() && !field->Calculated() && !field->Lookup()) return;
    SetValue(value_);
    // A cleared date stays cleared: it never takes the field's time of day.
    if (EditsDateOnly() && value_ != 0)
        value_ = Combine(value_, TimeOfDay(field->AsDateTime()));
    else if (EditsTimeOnly())
        value_ = Combine(field->AsDateTime(), TimeOfDay(value_));
    if (value_ == 0) cleared_ = true;
    if (value_ != 0)
        field->SetAsDateTime(value_);
    else if (cleared_)
        field->Clear();
}

void TvxDBCustomDateTimePicker::UpdateRecordChecked()
{
    const bool wasModified = Modified();
    try {
        dataLink_->UpdateRecord();
    } catch (...) {
        SelectSection();
        SetFocus();
        SetModified(wasModified);
        throw;
    }
}

// ---- window

void TvxDBCustomDateTimePicker::CreateParams(TCreateParams& params)
{
    TCustomEdit::CreateParams(params);
    params.Style &= ~DWORD(ES_AUTOVSCROLL | ES_WANTRETURN);
    params.Style |= WS_CLIPCHILDREN;
    if (borderStyle_ == bsNone) params.Style |= ES_MULTILINE;
}

void TvxDBCustomDateTimePicker::CreateWnd()
{
    TCustomEdit::CreateWnd();
    UpdateButtonLayout();
}

void TvxDBCustomDateTimePicker::UpdateButtonLayout()
{
    const Integer width = buttonHost_->Width();
    const Integer frame = borderStyle_ == bsSingle ? 4 : 0;
    buttonHost_->SetBounds(Width() - width - frame, 0, width, ClientHeight());
    SetEditRect();
}

Integer TvxDBCustomDateTimePicker::ButtonWidth() const { return buttonHost_->Width(); }
Integer TvxDBCustomDateTimePicker::ButtonLeft() const { return buttonHost_->Left() - 1; }

void TvxDBCustomDateTimePicker::SetEditRect()
{
    if (!HandleAllocated()) return;
    Integer margin = 0;
    if (borderStyle_ == bsNone) margin = IsGridCell() ? 2 : 1;
    RECT rect{margin, margin, showButton_ ? buttonHost_->Left() - 2 : ClientWidth() - 2, ClientHeight() + 1};
    SendMessageA(handle_, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&rect));
}

void TvxDBCustomDateTimePicker::Invalidate()
{
    TCustomEdit::Invalidate();
    if (buttonHost_) buttonHost_->Invalidate();
}

TCanvas* TvxDBCustomDateTimePicker::Canvas()
{
    if (!canvas_) {
        canvas_ = std::make_unique<TControlCanvas>();
        canvas_->SetControl(this);
    }
    return canvas_.get();
}

void TvxDBCustomDateTimePicker::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case CM_ENTER:
        CMEnter();
        return;
    case CM_EXIT:
        CMExit();
        return;
    case WM_SETFOCUS:
        WMSetFocus(message);
        return;
    case WM_PAINT:
        WMPaint(message);
        return;
    case WM_SIZE:
        TCustomEdit::Dispatch(message);
        UpdateButtonLayout();
        return;
    case CM_FONTCHANGED:
        TCustomEdit::Dispatch(message);
        if (!(Owner() && Owner()->ComponentState().Contains(csLoading))) SetEditRect();
        return;
    case CM_GETDATALINK:
        message.Result = reinterpret_cast<LRESULT>(dataLink_.get());
        return;
    default:
        TCustomEdit::Dispatch(message);
    }
}

void TvxDBCustomDateTimePicker::CMEnter()
{
    SetFocusedState(true);
    if (IsGridCell()) currentSection_ = 1;
    const bool shown = value_ != 0 && !Text().empty();
    if (shown) {
        enteredValue_ = value_;
        SetText(DisplayTextFor(value_));
        SelectSection();
    } else {
        SetText("");
        if (!DataFieldIsNull()) SelectSection();
    }
    TWinControl::DoEnter();
    if (shown) {
        Invalidate();
        SelectAll();
    }
}

void TvxDBCustomDateTimePicker::CMExit()
{
    CommitTypedDigits();
    if (Modified()) UpdateRecordChecked();
    DoExit();
    SetFocusedState(false);
    ::SetCursor(nullptr);
}

void TvxDBCustomDateTimePicker::WMSetFocus(TMessage& message)
{
    TCustomEdit::Dispatch(message);
    if (!IsGridCell() && !DataFieldIsNull() && !Text().empty() && !digitsPending_) ShowSelectionCaret(false);
}

void TvxDBCustomDateTimePicker::WMPaint(TMessage& message)
{
    if (EditsTimeOnly()) {
        buttonHost_->SetVisible(false);
        SetEditRect();
    } else if (buttonHost_->Visible() != showButton_) {
        buttonHost_->SetVisible(showButton_);
        SetEditRect();
    }
    const bool paintingCopy = controlState_.Contains(csPaintCopy);
    if (GetFocus() == handle_ && UsesEditPainting() && !IsActiveGridCell() && !paintingCopy) {
        TCustomEdit::Dispatch(message);
        return;
    }
    PAINTSTRUCT paint;
    HDC dc = message.WParam ? reinterpret_cast<HDC>(message.WParam) : BeginPaint(handle_, &paint);
    try {
        PaintText(dc);
    } catch (...) {
        Canvas()->SetHandle(nullptr);
        if (!message.WParam) EndPaint(handle_, &paint);
        throw;
    }
    Canvas()->SetHandle(nullptr);
    if (!message.WParam) EndPaint(handle_, &paint);
}

std::string TvxDBCustomDateTimePicker::PaintedText() const
{
    const TField* field = Field();
    std::string text;
    if (controlState_.Contains(csPaintCopy) && field)
        text = DisplayTextFor(field->AsDateTime());
    else if (modified_ || !field)
        text = DisplayTextFor(value_);
    else if (field->IsNull() || value_ != 0)
        text = DisplayTextFor(field->AsDateTime());
    else
        text = FormatValue(0);
    if (vxBlankTaggedPickers && Tag() == vxBlankPickerTag) text.clear();
    return text;
}

void TvxDBCustomDateTimePicker::PaintText(HDC dc)
{
    TCanvas* canvas = Canvas();
    canvas->SetHandle(dc);
    canvas->Font()->Assign(font_.get());
    if (!enabled_ && color_ != clGrayText) canvas->Font()->SetColor(clGrayText);
    canvas->Brush()->SetColor(color_);
    canvas->Brush()->SetStyle(bsSolid);
    canvas->FillRect(ClientRect());
    const TRect textRect = GetTextRect();
    const std::string text = PaintedText();
    const bool paintingCopy = controlState_.Contains(csPaintCopy);
    const bool highlighted = IsActiveGridCell() && !paintingCopy;
    if (highlighted) {
        canvas->Brush()->SetColor(clHighlight);
        canvas->Font()->SetColor(clHighlightText);
    }
    const bool bordered = borderStyle_ == bsSingle;
    const Integer margin = IsActiveGridCell() ? (bordered ? 3 : 2) : 1;
    const Integer width = canvas->TextWidth(text);
    Integer x;
    if (alignment_ == taRightJustify)
        x = (showButton_ ? ButtonLeft() : textRect.right) - width - margin;
    else if (alignment_ == taCenter)
        x = (textRect.left + textRect.right - width - (showButton_ ? ButtonWidth() : 0)) / 2;
    else
        x = margin + (IsGridCell() ? 1 : 0);
    if (paintingCopy) --x;
    canvas->TextRect(textRect, x, margin, text);
    if (highlighted) {
        TRect focus = GetTextRect();
        if (bordered) {
            focus.top += 1;
            focus.bottom -= 1;
            focus.left += 1;
        }
        canvas->DrawFocusRect(focus);
    }
}

// ---- section value entry

Integer TvxDBCustomDateTimePicker::ApplyEpoch(Integer year, Integer epoch)
{
    return year >= epoch % 100 ? year + (epoch / 100) * 100 : year + (epoch / 100 + 1) * 100;
}

void TvxDBCustomDateTimePicker::TakeParts() { parts_ = Decode(value_); }

std::string TvxDBCustomDateTimePicker::CurrentToken(Integer& start, Integer& length)
{
    std::string token;
    if (LocateSection(currentSection_, value_, start, length, token).empty()) return "";
    return token;
}

bool TvxDBCustomDateTimePicker::DigitCompletesSection(Integer digit, const std::string& token) const
{
    switch (token[0]) {
    case 'd': return digit > 3 || (digit == 3 && DaysInMonth(parts_.Year, parts_.Month) < 30);
    case 'h': return HasAmPm(GetExpandedFormat()) ? digit > 1 : digit > 2;
    case 'm': return digit > 1;
    case 'n':
    case 's': return digit > 5;
    default: return false;
    }
}

bool TvxDBCustomDateTimePicker::DateInLimits(TDateTime date) const
{
    return WholeDays(date) >= WholeDays(EffectiveMinDate()) && WholeDays(date) <= WholeDays(EffectiveMaxDate());
}

// A typed year keeps the day, lowered to the length of the month in that year.
bool TvxDBCustomDateTimePicker::SectionValueValid(Integer value, const std::string& token) const
{
    const auto dateWithYear = [&](Integer year) {
        const Word day = std::min(parts_.Day, DaysInMonth(Word(year), parts_.Month));
        return EncodeDate(Word(year), parts_.Month, day);
    };
    switch (token[0]) {
    case 'd': return value <= DaysInMonth(parts_.Year, parts_.Month);
    case 'h': return HasAmPm(GetExpandedFormat()) ? value <= 12 : value < 24;
    case 'm': return value <= 12;
    case 'n':
    case 's': return value < 60;
    case 'y':
        if (token == "yy") return DateInLimits(dateWithYear(ApplyEpoch(value, epoch_)));
        if (value == 0 || value > 9999) return false;
        return WholeDays(dateWithYear(value)) >= WholeDays(EffectiveMinDate()) &&
               (maxDate_ == 0 || WholeDays(dateWithYear(value)) <= WholeDays(maxDate_));
    default: return false;
    }
}

bool TvxDBCustomDateTimePicker::YearDigitAllowed(Integer digit) const
{
    if (minDate_ == 0) return true;
    const Integer century = CurrentYear() / 100;
    return EncodeDate(Word(century * 100 + digit * 10 + 9), 12, 31) >= WholeDays(minDate_);
}

Integer TvxDBCustomDateTimePicker::EnterDigit(Integer digit)
{
    Integer start = 0, length = 0;
    const std::string token = CurrentToken(start, length);
    if (token == "yyyy") return EnterYearDigits(digit, start, length);
    if (!IsDigitToken(token)) return -1;
    if (SelStart() == start + 1) return EnterTwoDigitSection(digit, token, start, length);
    if (DigitCompletesSection(digit, token)) {
        SetSelStart(start);
        SetSelLength(length);
        const std::string digitText = (token.size() == 1 ? "" : "0") + std::to_string(digit);
        SetSelText(digitText);
        SetSelStart(start);
        SetSelLength(Integer(digitText.size()));
        ShowSelectionCaret(false);
        return digit;
    }
    if (token == "yy" && !YearDigitAllowed(digit)) return -1;
    SetSelStart(start);
    SetSelLength(length);
    SetSelText(std::to_string(digit));
    SetSelStart(start + 1);
    ShowSelectionCaret(true);
    digitsPending_ = true;
    return digit;
}

Integer TvxDBCustomDateTimePicker::EnterTwoDigitSection(Integer digit, const std::string& token, Integer start,
                                                        Integer length)
{
    Integer value = (Text()[start] - '0') * 10 + digit;
    if (!SectionValueValid(value, token)) return -1;
    if (value == 0 && token[0] == 'd') value = parts_.Day;
    if (value == 0 && token[0] == 'm') value = parts_.Month;
    if (token == "yy") value = ApplyEpoch(value, epoch_);
    StoreTypedDigit(value, token);
    ComposeValue(parts_);
    Redisplay();
    SelectSection();
    return value;
}

Integer TvxDBCustomDateTimePicker::EnterYearDigits(Integer digit, Integer start, Integer length)
{
    const Integer caret = SelStart();
    const std::string typed = Text().substr(start, std::max<Integer>(0, caret - start));
    const Integer value = std::stoi(typed + std::to_string(digit));
    if (caret == start + 3) {
        if (!SectionValueValid(value, "yyyy") && value != 0) return -1;
        if (value != 0) parts_.Year = Word(value);
        ComposeValue(parts_);
        Redisplay();
        SelectSection();
        return value != 0 ? value : parts_.Year;
    }
    std::string text = std::to_string(value);
    if (caret == start) {
        SetSelStart(start);
        SetSelLength(length);
    } else {
        text.insert(0, std::max<Integer>(0, Integer(typed.size()) + 1 - Integer(text.size())), '0');
        SetSelStart(start);
        SetSelLength(caret - start);
    }
    SetSelText(text);
    SetSelStart(start + Integer(text.size()));
    ShowSelectionCaret(true);
    digitsPending_ = true;
    return value;
}

void TvxDBCustomDateTimePicker::StoreTypedDigit(Integer value, const std::string& token)
{
    switch (token[0]) {
    case 'd': parts_.Day = Word(value); break;
    case 'h': parts_.Hour = Word(value); break;
    case 'm': parts_.Month = Word(value); break;
    case 'n': parts_.Minute = Word(value); break;
    case 's': parts_.Second = Word(value); break;
    case 'y': parts_.Year = Word(value); break;
    }
}

bool TvxDBCustomDateTimePicker::TypeDigit(Integer digit)
{
    const bool wasPending = digitsPending_;
    digitsPending_ = false;
    TakeParts();
    Integer start = 0, length = 0;
    const std::string token = CurrentToken(start, length);
    const Integer result = EnterDigit(digit);
    if (result < 0) {
        digitsPending_ = wasPending;
        return false;
    }
    StoreTypedDigit(result, token);
    if (digitsPending_) {
        if (EditsTimeOnly()) value_ = EncodeTime(parts_.Hour, parts_.Minute, parts_.Second, parts_.MSec);
        return true;
    }
    ComposeValue(parts_);
    if (autoAdvance_ && currentSection_ != LastSection()) {
        ++currentSection_;
        SelectSection();
    }
    SetModifiedState(true);
    return true;
}

void TvxDBCustomDateTimePicker::CommitTypedDigits()
{
    if (!digitsPending_) return;
    digitsPending_ = false;
    TakeParts();
    Integer start = 0, length = 0;
    const std::string token = CurrentToken(start, length);
    if (!IsDigitToken(token) && token != "yyyy") return;
    const Integer caret = SelStart();
    if (token != "yyyy" && caret != start) {
        const Integer digit = Text()[start] - '0';
        if (token[0] == 'y')
            parts_.Year = Word(ApplyEpoch(digit, epoch_));
        else if (digit != 0 || (token[0] != 'd' && token[0] != 'm'))
            StoreTypedDigit(digit, token);
        ComposeValue(parts_);
    } else {
        const Integer typed = caret - start;
        const Integer number = typed > 0 ? std::stoi(Text().substr(start, typed)) : 0;
        bool apply = true;
        if (typed > 3 || (typed == 3 && number == 0))
            apply = false;
        else if (typed == 3)
            parts_.Year = Word(number);
        else if (typed > 0 || token[0] == 'y')
            parts_.Year = Word(ApplyEpoch(number, epoch_));
        else if (token[0] == 'n' || token[0] == 's')
            StoreTypedDigit(0, token);
        if (apply) ComposeValue(parts_);
    }
    Redisplay();
    SelectSection();
    SetModifiedState(true);
}

void TvxDBCustomDateTimePicker::ComposeValue(const TvxDateTimeParts& parts)
{
    const TDateTime time = EncodeTime(parts.Hour, parts.Minute, parts.Second, parts.MSec);
    if (EditsTimeOnly()) {
        SetTime(time);
        return;
    }
    const Word day = std::min(parts.Day, DaysInMonth(parts.Year, parts.Month));
    const TDateTime value = Combine(EncodeDate(parts.Year, parts.Month, day), time);
    if (DateInLimits(value))
        SetValue(value);
    else
        Redisplay();
}

void TvxDBCustomDateTimePicker::GetWeekBounds(Integer& first, Integer& last)
{
    char digit[4] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK, digit, sizeof digit);
    first = (digit[0] >= '0' && digit[0] <= '6' ? digit[0] - '0' : 6) + 2;
    if (first == 8) first = 1;
    last = first - 1 < 1 ? 7 : first - 1;
}

void TvxDBCustomDateTimePicker::SetPartsDate(TDateTime date)
{
    DecodeDate(date, parts_.Year, parts_.Month, parts_.Day);
}

void TvxDBCustomDateTimePicker::StepSection(const std::string& token, Integer delta, bool wrap)
{
    const TDateTime date = EncodeDate(parts_.Year, parts_.Month, parts_.Day);
    const TDateTime minDate = WholeDays(EffectiveMinDate()), maxDate = WholeDays(EffectiveMaxDate());
    if (IsDayNameToken(token) && (delta == 1 || delta == -1)) {
        Integer first = 0, last = 0;
        GetWeekBounds(first, last);
        const Integer dayOfWeek = DayOfWeek(date);
        TDateTime next = delta > 0 ? (dayOfWeek == last ? date - 6 : date + 1) : (dayOfWeek == first ? date + 6 : date - 1);
        SetPartsDate(std::clamp(next, minDate, maxDate));
        return;
    }
    TvxDateTimeParts moved = parts_;
    if (token[0] == 'd') {
        SetPartsDate(date);
        DecodeDate(date + delta, moved.Year, moved.Month, moved.Day);
    } else if (!AddMonthsClamped(moved, token[0] == 'm' ? delta : 12 * delta)) {
        return;
    }
    const TDateTime next = EncodeDate(moved.Year, moved.Month, moved.Day);
    const bool inRange = delta > 0 ? next <= maxDate : next >= minDate;
    if (!wrap) {
        if (inRange) SetPartsDate(next);
        return;
    }
    if (!inRange)
        SetPartsDate(delta > 0 ? maxDate : minDate);
    else if (token[0] == 'd')
        parts_.Day = moved.Day;
    else if (token[0] == 'm')
        parts_.Month = moved.Month;
    else
        parts_.Year = moved.Year;
    if (token[0] == 'y') parts_.Day = std::min(parts_.Day, DaysInMonth(parts_.Year, parts_.Month));
}

void TvxDBCustomDateTimePicker::StepKey(Word key)
{
    CommitTypedDigits();
    TakeParts();
    if (value_ == 0) SetPartsDate(::Date());
    Integer start = 0, length = 0;
    const std::string token = CurrentToken(start, length);
    if (token.empty()) return;
    if (key == VK_UP || key == VK_DOWN)
        StepUpDown(token, key == VK_UP ? 1 : -1);
    else
        StepHomeEnd(token, key == VK_HOME);
    ComposeValue(parts_);
    SetModifiedState(true);
}

void TvxDBCustomDateTimePicker::StepUpDown(const std::string& token, Integer delta)
{
    Word& hour = parts_.Hour;
    if (IsAmPmToken(token)) {
        hour = delta > 0 ? (hour < 12 ? hour + 12 : hour - 12) : (hour > 11 ? hour - 12 : hour + 12);
    } else if (IsDateToken(token)) {
        StepSection(token, delta, true);
    } else {
        Word& part = token[0] == 'h' ? hour : token[0] == 'n' ? parts_.Minute : parts_.Second;
        const Integer range = token[0] == 'h' ? 24 : 60;
        part = Word((part + delta + range) % range);
    }
}

void TvxDBCustomDateTimePicker::StepHomeEnd(const std::string& token, bool home)
{
    TvxDateTimeParts min = Decode(EffectiveMinDate()), max = Decode(EffectiveMaxDate());
    TvxDateTimeParts& p = parts_;
    const auto before = [](Word m1, Word d1, Word m2, Word d2) { return m1 < m2 || (m1 == m2 && d1 < d2); };
    if (IsAmPmToken(token)) {
        if (home && p.Hour > 11) p.Hour -= 12;
        if (!home && p.Hour < 12) p.Hour += 12;
    } else if (IsDayNameToken(token)) {
        Integer first = 0, last = 0;
        GetWeekBounds(first, last);
        const TDateTime date = EncodeDate(p.Year, p.Month, p.Day);
        const Integer dayOfWeek = DayOfWeek(date);
        if (home)
            SetPartsDate(std::max(date - (dayOfWeek - first + 7) % 7, WholeDays(EffectiveMinDate())));
        else
            SetPartsDate(std::min(date + (last - dayOfWeek + 7) % 7, WholeDays(EffectiveMaxDate())));
    } else if (token[0] == 'd') {
        if (home)
            p.Day = (p.Year == min.Year && p.Month == min.Month) ? min.Day : 1;
        else
            p.Day = (p.Year == max.Year && p.Month == max.Month) ? max.Day : DaysInMonth(p.Year, p.Month);
    } else if (token[0] == 'm') {
        if (home)
            p.Month = p.Year == min.Year ? Word(min.Month + (p.Day < min.Day ? 1 : 0)) : 1;
        else
            p.Month = p.Year == max.Year ? Word(max.Month - (p.Day > max.Day ? 1 : 0)) : 12;
    } else if (token[0] == 'y') {
        if (home)
            p.Year = Word(min.Year + (before(p.Month, p.Day, min.Month, min.Day) ? 1 : 0));
        else
            p.Year = Word(max.Year - (before(max.Month, max.Day, p.Month, p.Day) ? 1 : 0));
    } else if (token[0] == 'h') {
        p.Hour = home ? 0 : 23;
    } else {
        (token[0] == 'n' ? p.Minute : p.Second) = home ? 0 : 59;
    }
}

bool TvxDBCustomDateTimePicker::TypeLetter(Word key)
{
    TakeParts();
    Integer start = 0, length = 0;
    const std::string token = CurrentToken(start, length);
    if (token.empty()) return false;
    const char letter = char(key);
    if (IsMonthNameToken(token))
        MonthNameLetter(token, letter);
    else if (IsDayNameToken(token))
        DayNameLetter(token, letter);
    else if (IsAmPmToken(token))
        parts_.Hour = AmPmLetter(token, letter);
    else
        return false;
    ComposeValue(parts_);
    SetModifiedState(true);
    return true;
}

void TvxDBCustomDateTimePicker::MonthNameLetter(const std::string& token, char letter)
{
    const auto nameStarts = [&](Integer month) {
        const std::string& name = token == "mmm" ? ShortMonthNames[month] : LongMonthNames[month];
        return !name.empty() && name[0] == letter;
    };
    const Integer current = parts_.Month;
    for (Integer month = current + 1; month <= 12; ++month) {
        if (nameStarts(month)) {
            StepSection(token, month - current, false);
            break;
        }
    }
    for (Integer month = 1; month < current && parts_.Month == current; ++month)
        if (nameStarts(month)) StepSection(token, month - current, false);
}

void TvxDBCustomDateTimePicker::DayNameLetter(const std::string& token, char letter)
{
    const auto nameStarts = [&](TDateTime date) {
        const Word day = DayOfWeek(date);
        const std::string& name = token == "ddd" ? ShortDayNames[day] : LongDayNames[day];
        return !name.empty() && name[0] == letter;
    };
    Integer first = 0, last = 0;
    GetWeekBounds(first, last);
    const TDateTime date = EncodeDate(parts_.Year, parts_.Month, parts_.Day);
    const Integer toEnd = (last - DayOfWeek(date) + 7) % 7;
    for (Integer k = 1; k <= toEnd; ++k) {
        if (nameStarts(date + k)) {
            if (date + k <= WholeDays(EffectiveMaxDate())) SetPartsDate(date + k);
            break;
        }
    }
    if (EncodeDate(parts_.Year, parts_.Month, parts_.Day) != date) return;
    const TDateTime weekStart = date - (DayOfWeek(date) - first + 7) % 7;
    for (TDateTime day = weekStart; day < date; ++day) {
        if (nameStarts(day)) {
            if (DateInLimits(day)) SetPartsDate(day);
            return;
        }
    }
}

Word TvxDBCustomDateTimePicker::AmPmLetter(const std::string& token, char letter) const
{
    const Word hour = parts_.Hour;
    const auto upper = [](const std::string& s) { return s.empty() ? '\0' : char(std::toupper(Byte(s[0]))); };
    if (token.size() != 4) {
        if (hour < 12 && letter == 'P') return hour + 12;
        if (hour >= 12 && letter == 'A') return hour - 12;
        return hour;
    }
    if (upper(TimeAMString) == upper(TimePMString)) return hour < 12 ? hour + 12 : hour - 12;
    if (hour < 12 && letter == upper(TimePMString)) return hour + 12;
    if (hour >= 12 && letter == upper(TimeAMString)) return hour - 12;
    return hour;
}

// ---- published form

void TvxDBDateTimePicker::Publish(TPublisher<TvxDBDateTimePicker>& p)
{
    p.Property("DataField", &TvxDBDateTimePicker::DataField, &TvxDBDateTimePicker::SetDataField);
    p.Property("DateFormat", &TvxDBDateTimePicker::DateFormat, &TvxDBDateTimePicker::SetDateFormat).Default(dfShort);
    p.Property("DataSource", &TvxDBDateTimePicker::DataSource, &TvxDBDateTimePicker::SetDataSource);
    p.Property("Date", &TvxDBDateTimePicker::Date, &TvxDBDateTimePicker::SetDate);
    p.Property("Epoch", &TvxDBDateTimePicker::Epoch, &TvxDBDateTimePicker::SetEpoch).Stored(true);
    p.Property("Time", &TvxDBDateTimePicker::Time, &TvxDBDateTimePicker::SetTime);
    p.Property("MaxDate", &TvxDBDateTimePicker::MaxDate, &TvxDBDateTimePicker::SetMaxDate).Default(0.0);
    p.Property("MinDate", &TvxDBDateTimePicker::MinDate, &TvxDBDateTimePicker::SetMinDate).Default(0.0);
    p.Property("ReadOnly", &TvxDBDateTimePicker::ReadOnly, &TvxDBDateTimePicker::SetReadOnly).Default(false);
    p.Property("ShowButton", &TvxDBDateTimePicker::ShowButton, &TvxDBDateTimePicker::SetShowButton).Stored(true);
    p.Property("UnboundDataType", &TvxDBDateTimePicker::UnboundDataType,
               &TvxDBDateTimePicker::SetUnboundDataType).Default(vxDTEdtDateTime);
    p.Property("DisplayFormat", &TvxDBDateTimePicker::DisplayFormat, &TvxDBDateTimePicker::SetDisplayFormat);
    p.Property("Plenvia", &TvxDBDateTimePicker::Plenvia, nullptr);
}
