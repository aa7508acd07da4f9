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
#include "vcl/Forms.h"
#include "vxcontrols/Vxdbigrd.h"
#include "vxdata/Vxintl.h"
#include "vxdata/vxSystem.h"

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

bool IsDigitKey(Word key) { return key >= '0' && key <= '9'; }
bool IsLetterKey(Word key) { return (key >= 'A' && key <= 'Z') || key > 128; }
bool IsValueKey(Word key)
{
    return key == VK_DELETE || key == VK_BACK || key == VK_UP || key == VK_DOWN || key == VK_HOME || key == VK_END ||
           IsLetterKey(key) || IsDigitKey(key);
}

// The drop-down button's width.
Integer ComboButtonWidth() { return std::max(GetSystemMetrics(SM_CXVSCROLL), 15); }

// One mouse hook for the whole program, there while a calendar is showing.
HHOOK calendarMouseHook = nullptr;

void RemoveCalendarMouseHook()
{
    if (!calendarMouseHook) return;
    UnhookWindowsHookEx(calendarMouseHook);
    calendarMouseHook = nullptr;
}

bool PointInWindow(HWND window, POINT point)
{
    RECT rect;
    return GetWindowRect(window, &rect) && PtInRect(&rect, point);
}

// A press outside the calendar and its picker closes the calendar of the active control, taking its date, unless
// one of the calendar's title menus is open.
LRESULT CALLBACK DateTimePickerMouseHook(int code, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CallNextHookEx(calendarMouseHook, code, wParam, lParam);
    if (code < 0 || (wParam != WM_LBUTTONDOWN && wParam != WM_NCLBUTTONDOWN)) return result;
    auto* picker = dynamic_cast<TvxDBCustomDateTimePicker*>(Screen->ActiveControl());
    if (!picker || !picker->DroppedDown() || picker->PopupCalendar()->IsMenuActive()) return result;
    const POINT point = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam)->pt;
    if (PointInWindow(picker->PopupCalendar()->Handle(), point) || PointInWindow(picker->Handle(), point))
        return result;
    try {
        picker->CloseUp(true);
    } catch (...) {
        Application->HandleException(picker);
    }
    return result;
}

void InstallCalendarMouseHook()
{
    if (!calendarMouseHook)
        calendarMouseHook = SetWindowsHookExA(WH_MOUSE, DateTimePickerMouseHook, GetModuleHandleA(nullptr),
                                              GetCurrentThreadId());
}

}  // namespace

// ---- construction

TvxDBCustomDateTimePicker::TvxDBCustomDateTimePicker(TComponent* owner)
        : TCustomEdit(owner), calendarAttributes_(std::make_unique<TvxCalendarOptions>(this)),
          dataLink_(std::make_unique<TFieldDataLink>())
{
    controlStyle_.Include(csReplicatable);
    dataLink_->SetControl(this);
    dataLink_->OnDataChange = [this](TObject*) { DataChange(); };
    dataLink_->OnUpdateData = [this](TObject*) { UpdateData(); };
    buttonHost_ = new TWinControl(this);
    buttonHost_->SetControlStyle(buttonHost_->ControlStyle() + TControlStyle{csReplicatable});
    buttonHost_->SetBounds(0, 0, std::max(GetSystemMetrics(SM_CXVSCROLL) + 4, 17), 17);
    buttonHost_->SetParent(this);
    button_ = new TvxDateComboButton(this);
    button_->SetBounds(0, 0, ComboButtonWidth(), buttonHost_->Height());
    button_->SetParent(buttonHost_);
    button_->OnClick = [this](TObject*) { ButtonClick(); };
    epoch_ = vxIntl()->DefaultEpochYear();
}

TvxDBCustomDateTimePicker::~TvxDBCustomDateTimePicker()
{
    dataLink_->OnDataChange = nullptr;
    dataLink_->OnUpdateData = nullptr;
    RemoveCalendarMouseHook();
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
    if (component == button_) button_ = nullptr;
    if (component == popup_) popup_ = nullptr;
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
    button_->SetWidth(ComboButtonWidth());
    if (Parent() || Owner()) UpdateButtonLayout();
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

// The host at the right edge inside the border, as wide as the button; the button fills it (over the top edge
// without a border).
void TvxDBCustomDateTimePicker::UpdateButtonLayout()
{
    const Integer width = button_->Width();
    const bool bordered = borderStyle_ == bsSingle;
    buttonHost_->SetBounds(Width() - width - (bordered && Ctl3D() ? 4 : 0), 0, width, ClientHeight());
    const Integer height = buttonHost_->Height();
    if (bordered)
        button_->SetBounds(0, 0, width, height);
    else
        button_->SetBounds(0, -1, width, height + 1);
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
    case CN_KEYDOWN:
        if (!CNKeyDown(message)) TCustomEdit::Dispatch(message);
        return;
    case WM_LBUTTONDOWN:
        WMLButtonDown(message);
        return;
    case WM_LBUTTONDBLCLK:
        SetCapture(handle_);
        TCustomEdit::Dispatch(message);
        SelectAll();
        return;
    case WM_LBUTTONUP:
        if (GetCapture() == handle_) ReleaseCapture();
        TCustomEdit::Dispatch(message);
        return;
    case WM_CUT:
        WMCut(message);
        return;
    case WM_PASTE:
        WMPaste(message);
        return;
    case CM_CANCELMODE:
        CMCancelMode(message);
        return;
    case WM_KILLFOCUS:
        TCustomEdit::Dispatch(message);
        CloseUp(true);
        return;
    case CM_ENABLEDCHANGED:
        TCustomEdit::Dispatch(message);
        button_->SetEnabled(Enabled());
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
        if (!enteringByButton_) SelectAll();
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
    if (!digitsPending_ || DroppedDown()) return;
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

void TvxDBCustomDateTimePicker::GetWeekBounds(Integer& first, Integer& last) const
{
    Integer monday0 = calendarAttributes_->FirstDayOfWeek();
    if (monday0 == vxdowLocaleDefault) {
        char digit[4] = {};
        GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK, digit, sizeof digit);
        monday0 = digit[0] >= '0' && digit[0] <= '6' ? digit[0] - '0' : 6;
    }
    first = monday0 + 2;
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

// ---- keys

void TvxDBCustomDateTimePicker::WndProc(TMessage& message)
{
    // Keys typed while the calendar shows go on to it, and the value follows its day.
    if (message.Msg == WM_KEYDOWN && DroppedDown()) {
        TWMKey& key = MessageAs<TWMKey>(message);
        HandleDropDownKeys(key.CharCode, KeyDataToShiftState(key.KeyData));
        if (key.CharCode != 0) {
            SendMessageA(popup_->Handle(), WM_KEYDOWN, message.WParam, message.LParam);
            CalendarChanged();
        }
    }
    TCustomEdit::WndProc(message);
}

void TvxDBCustomDateTimePicker::KeyDown(Word& key, TShiftState shift)
{
    if (GetKeyState(VK_MENU) < 0) shift.Include(ssAlt);
    HandleDropDownKeys(key, shift);
    if (IsGridCell() && RouteKeyToGrid(key, shift)) return;
    if (key != 0) TCustomEdit::KeyDown(key, shift);
    if (key == VK_BACK && !WholeTextSelected()) key = VK_LEFT;
    if (DeletionRefused(key)) {
        key = 0;
        return;
    }
    if (currentSection_ == 1 && key == VK_RIGHT && shift.Contains(ssShift)) {
        SelectAll();
        key = 0;
    }
    const bool modifiable = CanModify();
    TCustomEdit::SetReadOnly(!modifiable);
    if (!modifiable) key = 0;
    if (key != 0 && !shift.Contains(ssCtrl) && !(IsGridCell() && key == VK_TAB) && !EditKey(key, shift)) return;
    // The edit would paste Shift+Insert by itself, past the picker's own paste.
    if (key == VK_INSERT && shift == TShiftState{ssShift}) {
        Perform(WM_PASTE);
        key = 0;
    }
    // The edit never moves the caret or deletes on its own.
    switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_DELETE:
    case VK_BACK:
        key = 0;
        break;
    default:
        break;
    }
}

void TvxDBCustomDateTimePicker::HandleDropDownKeys(Word& key, TShiftState shift)
{
    const bool alt = shift.Contains(ssAlt);
    if ((key == VK_RETURN || key == VK_ESCAPE) && DroppedDown() && !alt) {
        CloseUp(key == VK_RETURN);
        escClosedCalendar_ = key == VK_ESCAPE;
        key = 0;
    } else if ((key == VK_UP || key == VK_DOWN) && alt) {
        if (DroppedDown())
            CloseUp(true);
        else
            DropDown();
        key = 0;
    }
}

// In a grid cell: the keys that leave the cell go to the grid, and the grid's key event sees the rest. True when
// the key handling ends here (F2 that the grid's event left alone).
bool TvxDBCustomDateTimePicker::RouteKeyToGrid(Word& key, TShiftState shift)
{
    TWinControl* grid = Parent();
    if (key == VK_F2) {
        if (grid->OnKeyDown) grid->OnKeyDown(grid, key, shift);
        if (key == VK_F2) {
            SendMessageA(handle_, EM_SETSEL, WPARAM(-1), 0);
            SetSelLength(0);
            currentSection_ = 1;
            SelectSection();
            return true;
        }
        return false;
    }
    if (GridTakesKey(key, shift)) PassKeyToGrid(key);
    if (!CanModify() && (key == VK_END || key == VK_HOME || key == VK_LEFT || key == VK_RIGHT)) PassKeyToGrid(key);
    if (key != 0 && grid->OnKeyDown) grid->OnKeyDown(grid, key, shift);
    return false;
}

bool TvxDBCustomDateTimePicker::GridTakesKey(Word key, TShiftState shift)
{
    const bool alwaysShowEditor = (GetGridOptions() & (1 << dgAlwaysShowEditor)) != 0;
    const bool ctrl = shift.Contains(ssCtrl);
    switch (key) {
    case VK_ESCAPE: return !Modified();
    case VK_PRIOR:
    case VK_NEXT: return !shift.Contains(ssAlt);
    case VK_END:
    case VK_HOME: return alwaysShowEditor && (ctrl || WholeTextSelected());
    case VK_LEFT: return alwaysShowEditor && (ctrl || SelStart() == 0);
    case VK_RIGHT: return alwaysShowEditor && (ctrl || SelStart() + SelLength() == Integer(Text().size()));
    case VK_UP:
    case VK_DOWN: return ctrl || WholeTextSelected();
    case VK_INSERT: return !shift.Contains(ssShift);
    case VK_DELETE: return ctrl;
    default: return false;
    }
}

void TvxDBCustomDateTimePicker::PassKeyToGrid(Word& key)
{
    TWinControl* grid = Parent();
    grid->SetFocus();
    SendMessageA(grid->Handle(), WM_KEYDOWN, key, 0);
    key = 0;
}

bool TvxDBCustomDateTimePicker::WholeTextSelected() { return SelStart() == 0 && SelLength() == Integer(Text().size()); }

// A required field keeps its value: only its time may be deleted, from a time section of the standard format.
bool TvxDBCustomDateTimePicker::DeletionRefused(Word key)
{
    if ((key != VK_BACK && key != VK_DELETE) || !Field() || !Field()->Required()) return false;
    return WholeTextSelected() || !IsStandardFormat() || !AllSectionsShown() || !InTimeSection();
}

bool TvxDBCustomDateTimePicker::InTimeSection()
{
    if (!IsStandardFormat()) return false;
    Integer start = 0, length = 0;
    const std::string token = CurrentToken(start, length);
    return !token.empty() && (token[0] == 'h' || token[0] == 'n' || token[0] == 's' || IsAmPmToken(token));
}

bool TvxDBCustomDateTimePicker::IsEditingKey(Word key)
{
    return key == VK_BACK || key == VK_SPACE || key == VK_DELETE || (key >= 0x30 && key <= 0x6F) || key > 0x91;
}

// The value keys and the section keys; false when the key handling ends here (the key left as it is).
bool TvxDBCustomDateTimePicker::EditKey(Word& key, TShiftState shift)
{
    if (DroppedDown()) return true;
    if (IsEditingKey(key)) StartValue();
    if (shift.Contains(ssAlt)) return false;
    key = MapKey(key);
    if (IsValueKey(key)) {
        cleared_ = false;
        if (shift.Contains(ssShift) && (key == VK_HOME || key == VK_END)) {
            SelectAll();
            key = 0;
            return false;
        }
        ValueKey(key);
        return true;
    }
    if (key == VK_SPACE || key == VK_RIGHT)
        NextSection();
    else if (key == VK_LEFT)
        PreviousSection();
    else if (key == VK_F2)
        SelectSection();
    return true;
}

// A whole text selected goes back to section 1; an empty picker starts from today (the current time).
void TvxDBCustomDateTimePicker::StartValue()
{
    const std::string text = Text();
    if (!text.empty() && SelText() == text) {
        currentSection_ = 1;
        SelectSection();
        return;
    }
    if (!text.empty() || value_ != 0) return;
    EditCanModify();
    const TDateTime seed = EditsTimeOnly() ? TimeOfDay(Now()) : InLimits(::Date());
    SetText(FormatValue(seed));
    value_ = seed;
    SetModifiedState(true);
    currentSection_ = 1;
    SelectSection();
}

// A value the picker starts from, brought within the limits.
TDateTime TvxDBCustomDateTimePicker::InLimits(TDateTime seed) const
{
    if (seed < EffectiveMinDate()) return EffectiveMinDate();
    if (WholeDays(seed) > WholeDays(EffectiveMaxDate())) return Combine(EffectiveMaxDate(), TimeOfDay(seed));
    return seed;
}

Word TvxDBCustomDateTimePicker::MapKey(Word key) const
{
    const char c = char(MapVirtualKeyA(key, MAPVK_VK_TO_CHAR));
    if (c == '+' || c == '=') return VK_UP;
    if (c == '-') return VK_DOWN;
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return Word('0' + key - VK_NUMPAD0);
    if ((!autoAdvance_ || digitsPending_) && c != 0 && (c == DateSeparator || c == TimeSeparator)) return VK_RIGHT;
    return key;
}

void TvxDBCustomDateTimePicker::ValueKey(Word& key)
{
    const TDateTime before = value_;
    EditCanModify();
    if (key == VK_DELETE || key == VK_BACK) {
        DeleteKey();
    } else if (key == VK_UP || key == VK_DOWN || key == VK_HOME || key == VK_END) {
        StepKey(key);
    } else if (IsDigitKey(key)) {
        if (!TypeDigit(key - '0')) {
            key = 0;
            return;
        }
        if (digitsPending_) return;
    } else {
        const bool pending = digitsPending_;
        digitsPending_ = false;
        if (!TypeLetter(key)) {
            key = 0;
            digitsPending_ = pending;
            return;
        }
    }
    // The standard format drops a midnight time from the text: the selection goes back to what is shown.
    const TvxDateTimeParts now = Decode(value_);
    if (key != VK_DELETE && key != VK_BACK && IsDateTimeKind() && IsStandardFormat() && TimeOfDay(before) != 0 &&
        now.Hour == 0 && now.Minute == 0 && now.Second == 0) {
        currentSection_ = LastSection();
        SelectSection();
    }
    SetModifiedState(true);
}

// Space and Right: on to the next section; the standard format's hidden time is filled in on the way.
void TvxDBCustomDateTimePicker::NextSection()
{
    if (currentSection_ < SectionCount()) {
        CommitTypedDigits();
        Integer start = 0, length = 0;
        std::string token;
        if (IsStandardFormat() && LastSection() >= currentSection_ &&
            Text().size() < LocateSection(currentSection_ + 1, value_, start, length, token).size()) {
            const TDateTime filled =
                InLimits(WholeDays(value_) == 0 ? ::Date() : Combine(value_, TimeOfDay(Now())));
            EditCanModify();
            ComposeValue(Decode(filled));
            SetValue(filled);
            SetModifiedState(true);
        }
        currentSection_ = std::min(currentSection_ + 1, LastSection());
        SelectSection();
    } else if (digitsPending_) {
        CommitTypedDigits();
        SelectSection();
    }
}

void TvxDBCustomDateTimePicker::PreviousSection()
{
    CommitTypedDigits();
    currentSection_ = std::min(std::max<Integer>(currentSection_ - 1, 1), LastSection());
    SelectSection();
}

void TvxDBCustomDateTimePicker::DeleteKey()
{
    Integer start = 0, length = 0;
    CurrentToken(start, length);
    const Integer caret = SelStart();
    if (digitsPending_ && caret > start) {
        // The last typed digit goes; the key does not reach the edit, which would delete once more.
        SetSelStart(caret - 1);
        SetSelLength(1);
        SetSelText("");
        return;
    }
    if (EditsTimeOnly() && Field() && Field()->DataType() == ftDateTime) {
        SetValue(WholeDays(value_));
        EmptyText();
    } else if (EditsDateOnly()) {
        SetDate(0);
        ShowSelectionCaret(true);
    } else if (IsStandardFormat() && AllSectionsShown() && InTimeSection()) {
        SetValue(WholeDays(value_));
        currentSection_ = LastSection();
        SelectSection();
    } else {
        SetValue(0);
        EmptyText();
    }
}

// The text cleared by the user: no value shown, the caret at the start.
void TvxDBCustomDateTimePicker::EmptyText()
{
    SetText("");
    ShowSelectionCaret(true);
    currentSection_ = 1;
    cleared_ = true;
}

// Before the form's dialog keys: true when the message ends here.
bool TvxDBCustomDateTimePicker::CNKeyDown(TMessage& message)
{
    if (ComponentState().Contains(csDesigning)) return false;
    const Word key = Word(message.WParam);
    const bool enterOrEscape = key == VK_RETURN || key == VK_ESCAPE;
    if ((key == VK_DELETE && Field() && Field()->Required()) || (enterOrEscape && DroppedDown())) {
        message.Result = 0;
        return true;
    }
    if (key == VK_TAB && DroppedDown()) CloseUp(true);
    const bool gridTab = key == VK_TAB && (GetGridOptions() & (1 << dgTabs)) != 0;
    if (!IsGridCell() || (key != VK_RETURN && !gridTab)) return false;
    TWinControl* grid = Parent();
    grid->SetFocus();
    if (grid->Focused()) SendMessageA(grid->Handle(), WM_KEYDOWN, key, 0);
    message.Result = 1;
    return true;
}

void TvxDBCustomDateTimePicker::KeyPress(char& key)
{
    if ((Byte(key) >= 32 || key == '\b') && !CanModify()) return;
    TCustomEdit::KeyPress(key);
    if (key == ' ' && Text().empty()) {
        EditCanModify();
        SetValue(InLimits(Now()));
        SetModifiedState(true);
        SelectSection();
        key = 0;
        return;
    }
    if (key == 0) {
        SetModifiedState(true);
        return;
    }
    const Byte code = Byte(key);
    if (code >= 32 && Field() && !Field()->IsValidChar(key)) {
        MessageBeep(0);
        key = 0;
    } else if (code >= 32 || key == '\b' || key == 22 || key == 24) {
        key = 0;
    } else if (key == '\t') {
        if (IsGridCell()) key = 0;
    } else if (key == '\r') {
        if (!IsGridCell() && digitsPending_) {
            CommitTypedDigits();
            SelectSection();
        }
        key = 0;
    } else if (key == 27) {
        key = 0;
        EscapeKey();
    }
}

// Esc: the value the picker had before it was changed, unless the Esc closed the calendar.
void TvxDBCustomDateTimePicker::EscapeKey()
{
    if (escClosedCalendar_) {
        escClosedCalendar_ = false;
        return;
    }
    ResetValue();
    SetText(DisplayTextFor(value_));
    SelectSection();
    digitsPending_ = false;
    if (Text().empty())
        ShowSelectionCaret(true);
    else
        cleared_ = false;
    if (IsGridCell())
        Parent()->SetFocus();
    else
        SelectAll();
}

void TvxDBCustomDateTimePicker::ResetValue()
{
    if (Field())
        dataLink_->Reset();
    else
        SetValue(enteredValue_);
    SetModifiedState(false);
}

void TvxDBCustomDateTimePicker::Change()
{
    TCustomEdit::Change();
    dataLink_->Modified();
    if (Text().empty()) value_ = EditsTimeOnly() ? WholeDays(value_) : TimeOfDay(value_);
}

// ---- mouse and clipboard

void TvxDBCustomDateTimePicker::WMLButtonDown(TMessage& message)
{
    if (Text().empty()) {
        TCustomEdit::Dispatch(message);
        return;
    }
    if (controlStyle_.Contains(csCaptureMouse)) SetCapture(handle_);
    if (!Focused()) SetFocus();
    SelectSectionAt(MessageAs<TWMMouse>(message).XPos);
}

// The first section whose text (from the start) reaches past x, or the last one.
void TvxDBCustomDateTimePicker::SelectSectionAt(Integer x)
{
    const TDateTime reference = DroppedDown() ? popup_->Date() : value_;
    CommitTypedDigits();
    TCanvas* canvas = button_->Glyph()->Canvas();
    canvas->Font()->Assign(Font());
    const Integer shown = Integer(Text().size());
    for (Integer n = 1;; ++n) {
        Integer start = 0, length = 0;
        std::string token;
        const std::string through = LocateSection(n, reference, start, length, token);
        if (through.empty()) break;
        if (start + length >= shown || x < canvas->TextWidth(through) ||
            (IsStandardFormat() && Integer(through.size()) >= shown)) {
            currentSection_ = n;
            break;
        }
    }
    SelectSection();
}

void TvxDBCustomDateTimePicker::WMCut(TMessage& message)
{
    EditCanModify();
    TCustomEdit::Dispatch(message);
    if (!CanModify()) return;
    SetValue(0);
    EmptyText();
    Update();
    SetModifiedState(true);
}

// A pasted text replaces the value when it reads as a value of the picker's kind; a value the limits refuse
// leaves the picker as it was.
void TvxDBCustomDateTimePicker::WMPaste(TMessage& message)
{
    if (!CanModify()) return;
    const std::string oldText = Text();
    const bool wasModified = Modified();
    dataLink_->Edit();
    SelectAll();
    TCustomEdit::Dispatch(message);
    const std::string pasted = Text();
    TDateTime value = EditsTimeOnly() ? vxTextToTime(pasted) : vxTextToDateTime(pasted);
    if (value == 0 && !EditsTimeOnly()) value = vxTextToDate(pasted);
    bool refused = false;
    try {
        if (value != 0) SetValue(value);
    } catch (const EDateTimeError&) {
        refused = true;
        SetText(oldText);
        SetModified(wasModified);
    }
    Redisplay();
    SelectSection();
    if (!refused) SetModifiedState(true);
}

// ---- drop-down calendar

bool TvxDBCustomDateTimePicker::DroppedDown() const { return popup_ && popup_->Visible(); }

void TvxDBCustomDateTimePicker::SetCalendarAttributes(TvxCalendarOptions* value)
{
    calendarAttributes_->Assign(value);
}

void TvxDBCustomDateTimePicker::ButtonClick()
{
    if (DroppedDown()) {
        CloseUp(true);
        return;
    }
    enteringByButton_ = true;
    try {
        if (CanFocus()) SetFocus();
        if (Focused()) DropDown();
    } catch (...) {
        enteringByButton_ = false;
        throw;
    }
    enteringByButton_ = false;
}

void TvxDBCustomDateTimePicker::DropDown()
{
    if (DroppedDown()) return;
    if (!CanModify()) {
        ShowSelectionCaret(false);
        TCustomEdit::SetReadOnly(true);
        return;
    }
    TCustomEdit::SetReadOnly(false);
    dropDownValue_ = value_;
    CommitTypedDigits();
    digitsPending_ = false;
    ShowSelectionCaret(false);
    const bool created = !popup_;
    if (created) {
        popup_ = new TvxPopupCalendar(this);
        popup_->SetVisible(false);
        popup_->SetParent(this);
    }
    PrepareCalendar();
    RECT minimum{};
    SendMessageA(popup_->Handle(), MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&minimum));
    if (Text().empty() || value_ == 0) {
        EditCanModify();
        SetModifiedState(true);
        SetValue(InLimits(::Date()));
    }
    SetText(FormatValue(value_));
    popup_->SetDateInternal(value_);
    SetSelStart(0);
    SetSelLength(0);
    if (OnDropDown) OnDropDown(this);
    SetShowHint(false);
    ShowCalendar(created, Point(minimum.right - minimum.left, minimum.bottom - minimum.top));
    InstallCalendarMouseHook();
}

void TvxDBCustomDateTimePicker::PrepareCalendar()
{
    TvxCalendarOptions* options = calendarAttributes_.get();
    popup_->SetBorderStyle(bsSingle);
    popup_->SetCalColors(options->Colors());
    popup_->OnCalcBoldDay = OnCalcBoldDay;
    popup_->SetOptions(options->Options());
    // Limits changed since the last drop-down may lie wholly below the calendar's minimum.
    popup_->SetMinDate(0);
    popup_->SetMaxDate(EffectiveMaxDate());
    popup_->SetMinDate(EffectiveMinDate());
    popup_->SetFont(options->Font());
    popup_->SetPopupYearOptions(options->PopupYearOptions());
    popup_->SetFirstDayOfWeek(options->FirstDayOfWeek());
}

// At least the calendar's smallest size, placed by the picker's window on the screen.
void TvxDBCustomDateTimePicker::ShowCalendar(bool created, TPoint minimum)
{
    const auto atLeast = [](Integer wanted, Integer least) { return wanted != 0 && wanted >= least ? wanted : least; };
    const TPoint size =
        Point(atLeast(calendarAttributes_->Width(), minimum.x), atLeast(calendarAttributes_->Height(), minimum.y));
    RECT picker, workArea;
    GetWindowRect(Handle(), &picker);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    const TPoint at = PlaceCalendar(calendarAttributes_->Alignment(), picker, size, workArea.bottom, Screen->Width(),
                                    ComboButtonWidth());
    const HWND window = popup_->Handle();
    const UINT flags = SWP_SHOWWINDOW | SWP_NOACTIVATE;
    if (created) {
        SetWindowPos(window, HWND_TOPMOST, at.x, at.y, size.x, size.y, flags);
        popup_->SetVisible(true);
    } else {
        popup_->SetVisible(true);
        SetWindowPos(window, HWND_TOPMOST, at.x, at.y, size.x, size.y, flags);
        popup_->BringToFront();
    }
}

TPoint TvxDBCustomDateTimePicker::PlaceCalendar(TvxDTCalAlignment alignment, const TRect& picker, TPoint size,
                                                Integer workAreaBottom, Integer screenWidth, Integer scrollBarWidth)
{
    const Integer pickerWidth = picker.right - picker.left;
    Integer y = picker.bottom - 1;
    if (workAreaBottom < y + size.y && picker.top - size.y > 0) y = picker.top - size.y;
    const Integer rightAligned = picker.left + pickerWidth - size.x - 1;
    Integer x = rightAligned;
    if (size.x + picker.left < screenWidth) {
        switch (alignment) {
        case vxdtaLeft: x = picker.left; break;
        case vxdtaRight: x = rightAligned - scrollBarWidth; break;
        case vxdtaCenter: x = picker.left + (pickerWidth - size.x - scrollBarWidth - 1) / 2; break;
        }
    }
    return Point(x + 1, y);
}

void TvxDBCustomDateTimePicker::CloseUp(bool accept)
{
    if (closing_) return;
    closing_ = true;
    // However the closing ends, the next drop-down can close again and no hook stays behind.
    struct TClosed {
        bool& closing;
        ~TClosed()
        {
            closing = false;
            RemoveCalendarMouseHook();
        }
    } closed{closing_};
    CloseCalendar(accept);
}

void TvxDBCustomDateTimePicker::CloseCalendar(bool accept)
{
    if (!DroppedDown()) return;
    if (HWND capture = GetCapture()) SendMessageA(capture, WM_CANCELMODE, 0, 0);
    const TDateTime date = accept ? popup_->Date() : 0;
    const std::string text = accept ? DisplayTextFor(popup_->Date()) : std::string();
    SetWindowPos(popup_->Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    popup_->SetVisible(false);
    if (!accept) {
        SetValue(dropDownValue_);
    } else if (Field() && text != DisplayTextFor(Field()->AsDateTime()) && CanEditData()) {
        if (!text.empty())
            SetDate(date);
        else
            SetText("");
        SetModifiedState(true);
    }
    if (OnCloseUp) OnCloseUp(this);
    SetShowHint(true);
    ShowSelectionCaret(true);
    ShowSelectionCaret(false);
    Invalidate();
    SelectSection();
}

void TvxDBCustomDateTimePicker::CalendarChanged()
{
    if (!popup_ || !CanModify()) return;
    EditCanModify();
    SetModifiedState(true);
    SetDate(popup_->Date());
}

void TvxDBCustomDateTimePicker::CMCancelMode(TMessage& message)
{
    const auto* sender = reinterpret_cast<const TControl*>(message.LParam);
    if (sender != popup_ && sender != button_)
        CloseUp(true);
    else
        CommitTypedDigits();
}

void TvxDBCustomDateTimePicker::DoExit()
{
    TCustomEdit::DoExit();
    delete popup_;
    popup_ = nullptr;
}

// ---- TvxPopupCalendar

namespace {

TComponent* PickerOwner(TComponent* owner)
{
    if (!dynamic_cast<TvxDBCustomDateTimePicker*>(owner)) throw EInvalidCast("Invalid class typecast");
    return owner;
}

}  // namespace

TvxPopupCalendar::TvxPopupCalendar(TComponent* owner)
        : TvxMonthCalendar(PickerOwner(owner)), picker_(static_cast<TvxDBCustomDateTimePicker*>(owner))
{
    controlStyle_.Include(csReplicatable);
}

void TvxPopupCalendar::CreateParams(TCreateParams& params)
{
    TvxMonthCalendar::CreateParams(params);
    params.Style |= WS_BORDER;
    params.ExStyle = WS_EX_TOOLWINDOW;
    params.ClassStyle = CS_SAVEBITS;
}

// On the desktop, not on the form; the control draws itself as focused without taking the focus.
void TvxPopupCalendar::CreateWnd()
{
    TvxMonthCalendar::CreateWnd();
    ::SetParent(handle_, GetDesktopWindow());
    CallWindowProcA(defWndProc_, handle_, WM_SETFOCUS, 0, 0);
}

// A release on a day closes the drop-down; on the title, the day names or the week numbers it stays open.
void TvxPopupCalendar::Dispatch(TMessage& message)
{
    TvxMonthCalendar::Dispatch(message);
    if (message.Msg != WM_LBUTTONUP) return;
    const TWMMouse& mouse = MessageAs<TWMMouse>(message);
    const UINT hit = HitTest(mouse.XPos, mouse.YPos).uHit;
    if ((hit & MCHT_CALENDAR) && (hit & (MCHT_CALENDAR | 2)) != (MCHT_CALENDAR | 2)) picker_->CloseUp(true);
}

void TvxPopupCalendar::Change()
{
    TvxMonthCalendar::Change();
    picker_->CalendarChanged();
}

// ---- TvxDateComboButton

TvxDateComboButton::TvxDateComboButton(TvxDBCustomDateTimePicker* picker) : TSpeedButton(picker), picker_(picker)
{
    controlStyle_.Include(csReplicatable);
    const UINT ObmCombo = 32738;
    Glyph()->SetHandle(LoadBitmapA(nullptr, MAKEINTRESOURCEA(ObmCombo)));
}

UINT TvxDateComboButton::FrameState(bool pickerEnabled, bool up, bool paintingCopy)
{
    if (!pickerEnabled) return DFCS_SCROLLCOMBOBOX | DFCS_INACTIVE;
    if (up || paintingCopy) return DFCS_SCROLLCOMBOBOX;
    return DFCS_SCROLLCOMBOBOX | DFCS_PUSHED | DFCS_FLAT;
}

void TvxDateComboButton::Paint()
{
    TRect rect = ClientRect();
    const UINT state = FrameState(picker_->Enabled(), !pressed_, picker_->ControlState().Contains(csPaintCopy));
    Canvas()->DrawFrameControl(rect, DFC_SCROLL, state);
}

void TvxDateComboButton::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y)
{
    TSpeedButton::MouseDown(button, shift, x, y);
    if (button == mbLeft && Enabled()) pressed_ = true;
}

void TvxDateComboButton::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y)
{
    if (button == mbLeft) pressed_ = false;
    TSpeedButton::MouseUp(button, shift, x, y);
}

// ---- TvxCalendarOptions

TvxCalendarOptions::TvxCalendarOptions(TvxDBCustomDateTimePicker* picker)
        : colors_(std::make_unique<TvxDateTimeColors>(picker)), font_(std::make_unique<TFont>()),
          popupYearOptions_(std::make_unique<TvxPopupYearOptions>())
{
}

void TvxCalendarOptions::SetColors(TvxDateTimeColors* value)
{
    if (value != colors_.get()) colors_->Assign(value);
}

void TvxCalendarOptions::SetFont(TFont* value)
{
    if (value != font_.get()) font_->Assign(value);
}

void TvxCalendarOptions::SetPopupYearOptions(TvxPopupYearOptions* value)
{
    if (value != popupYearOptions_.get()) popupYearOptions_->Assign(value);
}

void TvxCalendarOptions::Assign(TPersistent* source)
{
    auto* other = dynamic_cast<TvxCalendarOptions*>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    alignment_ = other->alignment_;
    SetColors(other->Colors());
    SetFont(other->Font());
    width_ = other->width_;
    height_ = other->height_;
    options_ = other->options_;
    SetPopupYearOptions(other->PopupYearOptions());
    firstDayOfWeek_ = other->firstDayOfWeek_;
}

void TvxCalendarOptions::Publish(TPublisher<TvxCalendarOptions>& p)
{
    p.Property("Alignment", &TvxCalendarOptions::Alignment, &TvxCalendarOptions::SetAlignment).Default(vxdtaLeft);
    p.Property("Colors", &TvxCalendarOptions::Colors, &TvxCalendarOptions::SetColors);
    p.Property("Font", &TvxCalendarOptions::Font, &TvxCalendarOptions::SetFont);
    p.Property("Options", &TvxCalendarOptions::Options, &TvxCalendarOptions::SetOptions)
        .Default(TvxMonthOptions{mdoDayState});
    p.Property("PopupYearOptions", &TvxCalendarOptions::PopupYearOptions, &TvxCalendarOptions::SetPopupYearOptions);
    p.Property("FirstDayOfWeek", &TvxCalendarOptions::FirstDayOfWeek, &TvxCalendarOptions::SetFirstDayOfWeek)
        .Default(vxdowLocaleDefault);
}

// ---- published form

void TvxDBDateTimePicker::Publish(TPublisher<TvxDBDateTimePicker>& p)
{
    p.Property("CalendarAttributes", &TvxDBDateTimePicker::CalendarAttributes,
               &TvxDBDateTimePicker::SetCalendarAttributes);
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
    p.Property("OnCalcBoldDay", &TvxDBDateTimePicker::OnCalcBoldDay);
    p.Property("OnCloseUp", &TvxDBDateTimePicker::OnCloseUp);
    p.Property("OnDropDown", &TvxDBDateTimePicker::OnDropDown);
    p.Property("Plenvia", &TvxDBDateTimePicker::Plenvia, nullptr);
}
