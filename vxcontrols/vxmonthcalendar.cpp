#include "vxcontrols/vxmonthcalendar.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "classes/ClassRegistry.h"
#include "classes/TypInfo.h"
#include "rtl/Clock.h"
#include "rtl/DateFormat.h"
#include "rtl/DateTime.h"
#include "rtl/Exceptions.h"
#include "rtl/FormatSettings.h"
#include "rtl/IntConv.h"
#include "vcl/Dialogs.h"
#include "vcl/Forms.h"
#include "vxdata/Vxintl.h"

namespace {

const bool registered = (RegisterClasses<TvxMonthCalendar>(), true);

const char* const SDateExceedsMaximum = "Date exceeds maximum of %s";
const char* const SDateBelowMinimum = "Date is less than minimum of %s";

TDateTime WholeDays(TDateTime value) { return std::trunc(value); }
TDateTime TimeOfDay(TDateTime value) { return value - std::trunc(value); }

SYSTEMTIME ToSystemTime(TDateTime value)
{
    SYSTEMTIME st{};
    DateTimeToSystemTime(value, st);
    return st;
}

TDateTime FromSystemDate(const SYSTEMTIME& st) { return EncodeDate(st.wYear, st.wMonth, st.wDay); }

// A date as (year, month, day), to compare dates whose day may not exist in their month.
using TDayTriple = std::tuple<Integer, Integer, Integer>;
TDayTriple Triple(TDateTime date)
{
    Word y, m, d;
    DecodeDate(date, y, m, d);
    return {y, m, d};
}

void EnsureDateClasses()
{
    static const bool available = [] {
        INITCOMMONCONTROLSEX init{sizeof init, ICC_DATE_CLASSES};
        return InitCommonControlsEx(&init) != FALSE;
    }();
    if (!available) throw EComponentError("This control requires version 4.70 or greater of COMCTL32.DLL");
}

bool IsTitleHit(UINT hit)
{
    return hit == MCHT_TITLEMONTH || hit == MCHT_TITLEYEAR || hit == MCHT_TITLEBTNNEXT || hit == MCHT_TITLEBTNPREV;
}

// A day of the grid, of the month or trailing.
bool IsDateHit(const MCHITTESTINFO& hit)
{
    return (hit.uHit & MCHT_CALENDARDATE) == MCHT_CALENDARDATE && hit.st.wDay >= 1 && hit.st.wDay <= 31;
}

}  // namespace

// ---- TvxDateTimeColors

void TvxDateTimeColors::SetByIndex(Integer index, TColor color)
{
    auto* calendar = dynamic_cast<TvxMonthCalendar*>(owner_);
    if (calendar && calendar->HandleAllocated())
        SendMessageA(calendar->Handle(), MCM_SETCOLOR, index, ColorToRGB(color));
    colors_.at(index) = color;
}

void TvxDateTimeColors::ApplyAll()
{
    for (Integer i = 0; i < Integer(colors_.size()); ++i) SetByIndex(i, colors_[i]);
}

void TvxDateTimeColors::Assign(TPersistent* source)
{
    if (auto* other = dynamic_cast<TvxDateTimeColors*>(source)) {
        std::copy(other->colors_.begin() + 1, other->colors_.end(), colors_.begin() + 1);
        return;
    }
    throw EConvertError("Cannot assign a %s to a %s",
                        {source ? source->ClassName() : std::string("nil"), ClassName()});
}

void TvxDateTimeColors::Publish(TPublisher<TvxDateTimeColors>& p)
{
    static const char* const names[] = {"TextColor", "TitleBackColor", "TitleTextColor", "MonthBackColor",
                                        "TrailingTextColor"};
    static const TColor defaults[] = {clWindowText, clActiveCaption, clWhite, clWhite, clInactiveCaptionText};
    for (Integer index = 1; index <= 5; ++index) {
        p.Property<TColor>(
             names[index - 1], [index](TvxDateTimeColors* c) { return c->ByIndex(index); },
             [index](TvxDateTimeColors* c, TColor color) { c->SetByIndex(index, color); })
            .Default(defaults[index - 1])
            .Idents(ColorIdentToInt, ColorIntToIdent);
    }
}

// ---- TvxPopupYearOptions

void TvxPopupYearOptions::Assign(TPersistent* source)
{
    auto* other = dynamic_cast<TvxPopupYearOptions*>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    YearsPerColumn = other->YearsPerColumn;
    NumberColumns = other->NumberColumns;
    StartYear = other->StartYear;
    ShowEditYear = other->ShowEditYear;
}

void TvxPopupYearOptions::Publish(TPublisher<TvxPopupYearOptions>& p)
{
    p.Property("YearsPerColumn", &TvxPopupYearOptions::YearsPerColumn).Default(10);
    p.Property("NumberColumns", &TvxPopupYearOptions::NumberColumns).Default(2);
    p.Property("StartYear", &TvxPopupYearOptions::StartYear).Default(1990);
    p.Property("ShowEditYear", &TvxPopupYearOptions::ShowEditYear).Default(false);
}

// ---- TCalendarPopupMenu

void TCalendarPopupMenu::Popup(Integer x, Integer y)
{
    inPopup_ = true;
    try {
        TPopupMenu::Popup(x, y);
    } catch (...) {
        inPopup_ = false;
        throw;
    }
    inPopup_ = false;
}

// ---- TvxMonthCalendar: construction and window

TvxMonthCalendar::TvxMonthCalendar(TComponent* owner)
    : TWinControl(owner), calColors_(nullptr), dateValue_(Now()),
      popupYearOptions_(std::make_unique<TvxPopupYearOptions>())
{
    EnsureDateClasses();
    calColors_ = new TvxDateTimeColors(this);
    controlStyle_ = {csClickEvents, csOpaque, csDoubleClicks, csFixedHeight};
    color_ = clWindow;
    parentColor_ = false;
    tabStop_ = true;
    width_ = 155;
    monthMenu_ = new TCalendarPopupMenu(this);
    monthMenu_->SetAlignment(paRight);
    for (Integer month = 1; month <= 12; ++month) {
        auto* item = new TMenuItem(monthMenu_);
        item->SetCaption(LongMonthNames[month]);
        item->OnClick = [this](TObject* sender) { MonthItemClick(sender); };
        monthMenu_->Items()->Add(item);
    }
}

TvxMonthCalendar::~TvxMonthCalendar()
{
    if (calColors_->Owner() == this) delete calColors_;
}

void TvxMonthCalendar::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SystemClass = MONTHCAL_CLASSA;
    static const DWORD optionStyles[] = {MCS_DAYSTATE, MCS_WEEKNUMBERS, MCS_NOTODAY, MCS_NOTODAYCIRCLE,
                                         MCS_MULTISELECT};
    for (Integer option = mdoDayState; option <= mdoMultiSelect; ++option)
        if (options_.Contains(TvxMonthOption(option))) params.Style |= optionStyles[option];
    if (borderStyle_ == bsSingle) params.Style |= WS_BORDER;
    params.ClassStyle = (params.ClassStyle & ~(CS_HREDRAW | CS_VREDRAW)) | CS_DBLCLKS;
}

void TvxMonthCalendar::CreateWnd()
{
    TWinControl::CreateWnd();
    dayStatesFrom_ = 0;
    ApplyRange(maxDate_, minDate_);
    if (options_.Contains(mdoMultiSelect)) {
        SendMessageA(handle_, MCM_SETMAXSELCOUNT, maxSelectCount_, 0);
        if (selStart_ != 0 && selEnd_ != 0)
            SetControlRange(selEnd_, selStart_);
        else
            SetDateInternal(dateValue_);
    } else {
        SetDateInternal(dateValue_);
    }
    calColors_->ApplyAll();
    SetFirstDayOfWeek(firstDayOfWeek_);
    AdjustToMinSize();
    PushDayStates();
}

void TvxMonthCalendar::Loaded()
{
    TWinControl::Loaded();
    if (HandleAllocated()) RecreateWnd();
}

void TvxMonthCalendar::AdjustToMinSize()
{
    RECT minimum{};
    if (!HandleAllocated() || !SendMessageA(handle_, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&minimum))) return;
    const Integer width = std::max(width_, Integer(minimum.right - minimum.left));
    const Integer height = std::max(height_, Integer(minimum.bottom - minimum.top));
    if (width != width_ || height != height_) TWinControl::SetBounds(left_, top_, width, height);
}

void TvxMonthCalendar::SetBounds(Integer left, Integer top, Integer width, Integer height)
{
    RECT minimum{};
    if (HandleAllocated() && SendMessageA(handle_, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&minimum))) {
        width = std::max(width, Integer(minimum.right - minimum.left));
        height = std::max(height, Integer(minimum.bottom - minimum.top));
    }
    const bool resized = width != width_ || height != height_;
    TWinControl::SetBounds(left, top, width, height);
    if (resized && HandleAllocated() && !ComponentState().Contains(csDesigning)) RecreateWnd();
}

void TvxMonthCalendar::SetBorderStyle(TBorderStyle value)
{
    if (value == borderStyle_) return;
    borderStyle_ = value;
    if (HandleAllocated()) RecreateWnd();
}

void TvxMonthCalendar::SetOptions(TvxMonthOptions value)
{
    options_ = value;
    if (HandleAllocated()) RecreateWnd();
}

void TvxMonthCalendar::SetMaxSelectCount(Integer value)
{
    if (value == maxSelectCount_) return;
    maxSelectCount_ = value;
    if (HandleAllocated()) SendMessageA(handle_, MCM_SETMAXSELCOUNT, value, 0);
}

void TvxMonthCalendar::SetFirstDayOfWeek(TvxCalDayOfWeek value)
{
    Integer day = value;
    if (value == vxdowLocaleDefault) {
        char text[4] = "0";
        GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK, text, sizeof text);
        day = text[0] >= '0' && text[0] <= '6' ? text[0] - '0' : 0;
    }
    if (HandleAllocated()) SendMessageA(handle_, MCM_SETFIRSTDAYOFWEEK, 0, day);
    firstDayOfWeek_ = value;
}

void TvxMonthCalendar::SetCalColors(TvxDateTimeColors* value)
{
    if (value != calColors_) calColors_->Assign(value);
}

void TvxMonthCalendar::SetPopupYearOptions(TvxPopupYearOptions* value)
{
    if (value != popupYearOptions_.get()) popupYearOptions_->Assign(value);
}

void TvxMonthCalendar::FocusCalendar()
{
    if (Visible() && CanFocus()) SetFocus();
}

bool TvxMonthCalendar::IsMenuActive() const
{
    return (yearMenu_ && yearMenu_->IsInPopup()) || monthMenu_->IsInPopup();
}

// ---- value, selection and limits

void TvxMonthCalendar::ApplyRange(TDateTime max, TDateTime min)
{
    SYSTEMTIME range[2]{};
    WPARAM flags = 0;
    if (min != 0) {
        range[0] = ToSystemTime(min);
        flags |= GDTR_MIN;
    }
    if (max != 0) {
        range[1] = ToSystemTime(max);
        flags |= GDTR_MAX;
    }
    // Sent without flags too: a limit set back to 0 leaves the window as well.
    if (HandleAllocated()) SendMessageA(handle_, MCM_SETRANGE, flags, reinterpret_cast<LPARAM>(range));
}

// Without a window there is nothing to refuse: the window takes the value when it is made.
bool TvxMonthCalendar::SetControlSelection(TDateTime value)
{
    if (options_.Contains(mdoMultiSelect)) return SetControlRange(value, value);
    if (!HandleAllocated()) return true;
    SYSTEMTIME st = ToSystemTime(value);
    if (!SendMessageA(handle_, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&st))) return false;
    PushDayStates();
    return true;
}

bool TvxMonthCalendar::SetControlRange(TDateTime end, TDateTime start)
{
    if (!options_.Contains(mdoMultiSelect)) return false;
    if (!HandleAllocated()) return true;
    SYSTEMTIME range[2] = {ToSystemTime(start), ToSystemTime(end)};
    if (!SendMessageA(handle_, MCM_SETSELRANGE, 0, reinterpret_cast<LPARAM>(range))) return false;
    PushDayStates();
    return true;
}

void TvxMonthCalendar::SetDateInternal(TDateTime value)
{
    if (maxDate_ != 0 && WholeDays(value) > maxDate_)
        value = maxDate_;
    else if (minDate_ != 0 && WholeDays(value) < minDate_)
        value = minDate_;
    else if (minDate_ == 0 && WholeDays(value) < 0)
        value = 1;  // 31 December 1899
    if (options_.Contains(mdoMultiSelect)) selStart_ = selEnd_ = value;
    if (SetControlSelection(value)) dateValue_ = value;
}

void TvxMonthCalendar::SetDate(TDateTime value)
{
    if (WholeDays(value) == WholeDays(dateValue_)) return;
    const TDateTime changed = WholeDays(value) + TimeOfDay(dateValue_);
    if (changed == 0) {
        Invalidate();
        return;
    }
    try {
        if (maxDate_ != 0 && WholeDays(changed) > maxDate_)
            throw EDateTimeError(SDateExceedsMaximum, {DateToStr(maxDate_)});
        if (minDate_ != 0 && WholeDays(changed) < minDate_)
            throw EDateTimeError(SDateBelowMinimum, {DateToStr(minDate_)});
        SetDateInternal(changed);
    } catch (...) {
        SetDateInternal(dateValue_);
        throw;
    }
}

void TvxMonthCalendar::SetTime(TDateTime value)
{
    if (TimeOfDay(value) == TimeOfDay(dateValue_)) return;
    const TDateTime changed = WholeDays(dateValue_) + TimeOfDay(value);
    if (changed != 0)
        SetDateInternal(changed);
    else
        Invalidate();
}

void TvxMonthCalendar::SetSelStart(TDateTime value) { SetSelectionEnd(value, selStart_, selEnd_); }

void TvxMonthCalendar::SetSelEnd(TDateTime value) { SetSelectionEnd(value, selEnd_, selStart_); }

// One end of the selection within the limits (beyond one it becomes the limit and raises); the control follows
// when the other end is set and differs.
void TvxMonthCalendar::SetSelectionEnd(TDateTime value, TDateTime& end, TDateTime other)
{
    value = WholeDays(value);
    if (value == 0) {
        Invalidate();
        return;
    }
    if (maxDate_ != 0 && value > maxDate_) {
        end = maxDate_;
        throw EDateTimeError(SDateExceedsMaximum, {DateToStr(maxDate_)});
    }
    if (minDate_ != 0 && value < minDate_) {
        end = minDate_;
        throw EDateTimeError(SDateBelowMinimum, {DateToStr(minDate_)});
    }
    end = value;
    if (other != 0 && other != value) SetControlRange(selEnd_, selStart_);
}

// 0 is no limit on either side, whatever the other limit is.
void TvxMonthCalendar::SetMaxDate(TDateTime value)
{
    if (value != 0 && value < minDate_) throw EDateTimeError(SDateBelowMinimum, {DateToStr(minDate_)});
    if (value == maxDate_) return;
    ApplyRange(value, minDate_);
    maxDate_ = value;
}

void TvxMonthCalendar::SetMinDate(TDateTime value)
{
    if (value != 0 && maxDate_ != 0 && value > maxDate_)
        throw EDateTimeError(SDateExceedsMaximum, {DateToStr(maxDate_)});
    if (value == minDate_) return;
    ApplyRange(maxDate_, value);
    minDate_ = value;
}

bool TvxMonthCalendar::InRange(TDateTime date) const
{
    date = WholeDays(date);
    return !(maxDate_ != 0 && date > maxDate_) && !(date < minDate_);
}

bool TvxMonthCalendar::DateOutOfRange(const SYSTEMTIME& date) const
{
    const Word day = std::min<Word>(date.wDay, DaysInMonth(date.wYear, date.wMonth));
    return !InRange(EncodeDate(date.wYear, date.wMonth, day));
}

// The date in the month with the value's day, limited to the month's length.
TDateTime TvxMonthCalendar::DayLimited(Integer year, Integer month) const
{
    const auto [y, m, d] = Triple(dateValue_);
    (void)y;
    (void)m;
    return EncodeDate(Word(year), Word(month), Word(std::min<Integer>(d, DaysInMonth(Word(year), Word(month)))));
}

bool TvxMonthCalendar::MonthYearInRange(Integer year, Integer month) const { return InRange(DayLimited(year, month)); }

void TvxMonthCalendar::Change()
{
    if (OnChange) OnChange(this);
}

// ---- notifications

void TvxMonthCalendar::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case CN_NOTIFY:
        CNNotify(message);
        return;
    case CN_KEYDOWN:
        if (!ComponentState().Contains(csDesigning) && !(message.LParam & (1 << 29))) {
            switch (message.WParam) {
            case VK_PRIOR:
            case VK_NEXT:
            case VK_LEFT:
            case VK_RIGHT:
            case VK_UP:
            case VK_DOWN:
                message.Result = 0;
                return;
            default:
                break;
            }
        }
        break;
    case CM_COLORCHANGED:
        TWinControl::Dispatch(message);
        Invalidate();
        return;
    case CM_FONTCHANGED:
        TWinControl::Dispatch(message);
        AdjustToMinSize();
        Invalidate();
        return;
    case CM_SHOWINGCHANGED:
        TWinControl::Dispatch(message);
        ClearMenuShownFlags();
        return;
    case WM_SIZE:
        TWinControl::Dispatch(message);
        if (ComponentState().Contains(csDesigning) && align_ != alClient) AdjustToMinSize();
        return;
    default:
        break;
    }
    TWinControl::Dispatch(message);
}

void TvxMonthCalendar::CNNotify(TMessage& message)
{
    message.Result = 0;
    auto* header = reinterpret_cast<NMHDR*>(message.LParam);
    switch (header->code) {
    case MCN_SELCHANGE:
        SelectionChanged(*reinterpret_cast<NMSELCHANGE*>(header));
        return;
    case MCN_GETDAYSTATE:
        if (!ComponentState().Contains(csLoading)) AnswerDayState(*reinterpret_cast<NMDAYSTATE*>(header));
        return;
    default:
        DefaultHandler(message);
        return;
    }
}

void TvxMonthCalendar::SelectionChanged(const NMSELCHANGE& change)
{
    const TDateTime oldStart = selStart_, oldEnd = selEnd_;
    const auto earliestAllowed = [this](TDateTime date) { return date < minDate_ ? minDate_ : date; };
    SetSelStart(earliestAllowed(FromSystemDate(change.stSelStart)));
    if (options_.Contains(mdoMultiSelect)) {
        SetSelEnd(earliestAllowed(FromSystemDate(change.stSelEnd)));
        if (selStart_ != oldStart || selEnd_ != oldEnd) changePending_ = true;
    } else {
        SetSelEnd(selStart_);
    }
    if (selStart_ == selEnd_) SetDate(selStart_);
    if (!options_.Contains(mdoMultiSelect)) Change();
}

void TvxMonthCalendar::AnswerDayState(NMDAYSTATE& request)
{
    if (FillDayStates(request.stStart, request.cDayState)) request.prgDayState = dayStates_.data();
}

// Month i from the start month is asked about each of its days; false for more months than the masks hold.
bool TvxMonthCalendar::FillDayStates(const SYSTEMTIME& start, Integer count)
{
    if (count > Integer(dayStates_.size())) return false;
    for (Integer i = 0; i < count; ++i) {
        const Integer months = start.wMonth + i - 1;
        const Integer month = months % 12 + 1;
        const Integer year = start.wYear + months / 12;
        dayStates_[i] = 0;
        for (Integer day = 1; day <= DaysInMonth(Word(year), Word(month)); ++day) {
            bool accept = false;
            if (OnCalcBoldDay)
                OnCalcBoldDay(this, EncodeDate(Word(year), Word(month), Word(day)), month, day, year, accept);
            if (accept) dayStates_[i] |= 1u << (day - 1);
        }
    }
    return true;
}

// The control may ask for bold days only when it scrolls by itself (which the title handling prevents): the
// calendar gives them whenever other months come into view.
void TvxMonthCalendar::PushDayStates()
{
    if (!HandleAllocated() || !options_.Contains(mdoDayState) || ComponentState().Contains(csLoading)) return;
    SYSTEMTIME range[2]{};
    const Integer count =
        Integer(SendMessageA(handle_, MCM_GETMONTHRANGE, GMR_DAYSTATE, reinterpret_cast<LPARAM>(range)));
    const Integer firstMonth = range[0].wYear * 12 + range[0].wMonth;
    if (firstMonth == dayStatesFrom_ || !FillDayStates(range[0], count)) return;
    dayStatesFrom_ = firstMonth;
    SendMessageA(handle_, MCM_SETDAYSTATE, count, reinterpret_cast<LPARAM>(dayStates_.data()));
}

// ---- mouse

MCHITTESTINFO TvxMonthCalendar::HitTest(Integer x, Integer y)
{
    MCHITTESTINFO hit{};
    hit.cbSize = sizeof hit;
    hit.pt = {x, y};
    SendMessageA(Handle(), MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    return hit;
}

void TvxMonthCalendar::WndProc(TMessage& message)
{
    if (ComponentState().Contains(csDesigning) || !Visible() || !HandleAllocated()) {
        TWinControl::WndProc(message);
        return;
    }
    const auto& mouse = MessageAs<TWMMouse>(message);
    switch (message.Msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP: {
        const MCHITTESTINFO hit = HitTest(mouse.XPos, mouse.YPos);
        if (IsDateHit(hit) && DateOutOfRange(hit.st)) {
            if (message.Msg == WM_LBUTTONUP) MouseUp(mbLeft, KeysToShiftState(Word(mouse.Keys)), mouse.XPos, mouse.YPos);
            message.Result = 1;
            return;
        }
        break;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        yearMenuWasUp_ = yearMenu_ && yearMenu_->IsInPopup();
        monthMenuWasUp_ = monthMenu_->IsInPopup();
        const MCHITTESTINFO hit = HitTest(mouse.XPos, mouse.YPos);
        if (IsTitleHit(hit.uHit) || (IsDateHit(hit) && DateOutOfRange(hit.st))) {
            MouseDown(mbLeft, KeysToShiftState(Word(mouse.Keys)), mouse.XPos, mouse.YPos);
            message.Result = 1;
            return;
        }
        break;
    }
    default:
        break;
    }
    TWinControl::WndProc(message);
}

void TvxMonthCalendar::MouseMove(TShiftState shift, Integer x, Integer y)
{
    const SYSTEMTIME st = HitTest(x, y).st;
    if (OnMouseMove) OnMouseMove(this, shift, x, y, st.wMonth, st.wDay, st.wYear);
}

void TvxMonthCalendar::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y)
{
    const SYSTEMTIME st = HitTest(x, y).st;
    const Integer day = st.wDay >= 1 && st.wDay <= 32 ? st.wDay : 0;
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y, st.wMonth, day, st.wYear);
    if (!options_.Contains(mdoMultiSelect)) return;
    if (changePending_) Change();
    changePending_ = false;
}

void TvxMonthCalendar::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y)
{
    const MCHITTESTINFO hit = HitTest(x, y);
    const Integer day = hit.st.wDay >= 1 && hit.st.wDay <= 32 ? hit.st.wDay : 0;
    try {
        if (OnMouseDown) OnMouseDown(this, button, shift, x, y, hit.st.wMonth, day, hit.st.wYear);
    } catch (...) {
        ClearMenuShownFlags();
        return;
    }
    if (IsDateHit(hit)) {
        ClearMenuShownFlags();
        if (DateOutOfRange(hit.st)) SetDate(maxDate_ != 0 && WholeDays(FromSystemDate(hit.st)) > maxDate_ ? maxDate_ : minDate_);
        return;
    }
    switch (hit.uHit) {
    case MCHT_TITLEBTNPREV:
    case MCHT_TITLEBTNNEXT:
        ClearMenuShownFlags();
        StepTitleButton(hit.uHit == MCHT_TITLEBTNNEXT);
        return;
    case MCHT_TITLEYEAR:
        ShowYearMenu(hit, x, y);
        return;
    case MCHT_TITLEMONTH:
        ShowMonthMenu(hit, x, y);
        return;
    default:
        ClearMenuShownFlags();
        return;
    }
}

void TvxMonthCalendar::VisibleMonths(SYSTEMTIME& first, SYSTEMTIME& last)
{
    SYSTEMTIME range[2]{};
    SendMessageA(Handle(), MCM_GETMONTHRANGE, GMR_VISIBLE, reinterpret_cast<LPARAM>(range));
    first = range[0];
    last = range[1];
}

// The month and year whose title holds the point. The control may leave the date of a title hit empty: then the
// first day of the month below the title tells it (the second week of a month lies wholly in it).
SYSTEMTIME TvxMonthCalendar::TitleDateAt(const MCHITTESTINFO& hit)
{
    SYSTEMTIME date{};
    if (hit.st.wMonth != 0) {
        date = hit.st;
    } else {
        SYSTEMTIME last;
        VisibleMonths(date, last);
        const Integer bottom = ClientHeight();
        for (Integer y = hit.pt.y; y < bottom; ++y) {
            const MCHITTESTINFO below = HitTest(hit.pt.x, y);
            if (below.uHit == MCHT_CALENDARDATE && below.st.wMonth != 0) {
                date = below.st;
                break;
            }
        }
    }
    date.wDay = 1;
    return date;
}

// From the point down to the first row off the title part (the bottom); then, one pixel above it, sideways (dx)
// to the first column off the part: (that column, the bottom).
TPoint TvxMonthCalendar::TitleEdge(Integer x, Integer y, UINT part, Integer dx)
{
    while (HitTest(x, y).uHit == part) ++y;
    while (HitTest(x, y - 1).uHit == part) x += dx;
    return Point(x, y);
}

void TvxMonthCalendar::StepTitleButton(bool next)
{
    SYSTEMTIME first, last;
    VisibleMonths(first, last);
    const Integer step = Integer(SendMessageA(Handle(), MCM_GETMONTHDELTA, 0, 0));
    if (next) {
        Integer month = last.wMonth + step, year = last.wYear;
        if (month > 12) {
            month -= 12;
            ++year;
        }
        const TDateTime target = DayLimited(year, month);
        if (maxDate_ != 0 && target > maxDate_) {
            SetDate(maxDate_);
            MessageBeep(0);
        } else {
            SetDate(target);
        }
    } else {
        Integer month = first.wMonth - step, year = first.wYear;
        if (month < 1) {
            month += 12;
            --year;
        }
        const TDateTime target = DayLimited(year, month);
        if (target >= minDate_) {
            SetDate(target);
        } else {
            SetDate(minDate_);
            MessageBeep(0);
        }
    }
    Change();
}

// Shows the menu; true when it closed without a choice. (A chosen item clears the menu-shown flags after the menu
// has closed, so that the next click on the title opens it again; a click that closed the menu opens nothing.)
bool TvxMonthCalendar::PopupAt(TCalendarPopupMenu* menu, TPoint point)
{
    const TPoint screen = ClientToScreen(point);
    itemChosen_ = false;
    menu->Popup(screen.x, screen.y);
    return !itemChosen_;
}

void TvxMonthCalendar::ShowYearMenu(const MCHITTESTINFO& hit, Integer x, Integer y)
{
    monthMenuShown_ = false;
    const SYSTEMTIME under = TitleDateAt(hit);
    if ((yearMenuWasUp_ || yearMenuShown_) && under.wMonth == lastTitleMonth_) {
        yearMenuShown_ = false;
        return;
    }
    lastTitleMonth_ = under.wMonth;
    const TPoint edge = TitleEdge(x, y, MCHT_TITLEYEAR, -1);
    TPoint point = Point(edge.x + 1, edge.y + 1);  // the year's left edge, below it

    if (!yearMenu_) yearMenu_ = new TCalendarPopupMenu(this);
    yearMenu_->Items()->Clear();
    const TvxPopupYearOptions& layout = *popupYearOptions_;
    const std::string& editLabel = vxIntl()->MonthCalendar()->PopupYearLabel;
    const auto addItem = [this](const std::string& caption) {
        auto* item = new TMenuItem(yearMenu_);
        item->SetCaption(caption);
        item->OnClick = [this](TObject* sender) { YearItemClick(sender); };
        yearMenu_->Items()->Add(item);
        return item;
    };
    if (layout.ShowEditYear) {
        addItem(editLabel);
        addItem("-");
    }
    const Integer month = std::get<1>(Triple(dateValue_));
    for (Integer year = layout.StartYear; year < layout.StartYear + layout.YearsPerColumn * layout.NumberColumns;
         ++year) {
        TMenuItem* item = addItem(IntToStr(year));
        item->SetChecked(year == under.wYear);
        item->SetEnabled(MonthYearInRange(year, month));
        const bool columnStart = (year - layout.StartYear) % layout.YearsPerColumn == 0;
        if ((columnStart && year != layout.StartYear) ||
            (year == layout.StartYear && layout.ShowEditYear && layout.YearsPerColumn != 1))
            item->SetBreak(TMenuItem::mbBarBreak);
    }
    if (layout.ShowEditYear && layout.YearsPerColumn != 1) {
        const TCustomForm* form = GetParentForm(this);
        if (form) point.x -= form->Canvas()->TextWidth(editLabel) + form->PixelsPerInch() * 45 / 96;
    }
    titleHit_ = under;
    yearMenuShown_ = false;
    yearMenuShown_ = PopupAt(yearMenu_, point);
}

void TvxMonthCalendar::ShowMonthMenu(const MCHITTESTINFO& hit, Integer x, Integer y)
{
    yearMenuShown_ = false;
    const SYSTEMTIME under = TitleDateAt(hit);
    if ((monthMenuWasUp_ || monthMenuShown_) && under.wMonth == lastTitleMonth_) {
        ClearMenuShownFlags();
        return;
    }
    lastTitleMonth_ = under.wMonth;
    const TPoint edge = TitleEdge(x, y, MCHT_TITLEMONTH, 1);
    for (Integer month = 1; month <= 12; ++month) {
        TMenuItem* item = monthMenu_->Items()->Items(month - 1);
        item->SetChecked(month == under.wMonth);
        item->SetEnabled(MonthYearInRange(under.wYear, month));
    }
    titleHit_ = under;
    monthMenuShown_ = false;
    monthMenuShown_ = PopupAt(monthMenu_, Point(edge.x - 1, edge.y + 1));  // the month's right edge, below it
}

void TvxMonthCalendar::MonthItemClick(TObject* sender)
{
    ClearMenuShownFlags();
    itemChosen_ = true;
    const Integer day = std::get<2>(Triple(dateValue_));
    SYSTEMTIME first, last;
    VisibleMonths(first, last);
    const std::string caption = static_cast<TMenuItem*>(sender)->Caption();
    Integer chosen = 1;
    while (chosen < 12 && LongMonthNames[chosen] != caption) ++chosen;
    const Integer clicked = titleHit_.wMonth, clickedYear = titleHit_.wYear;
    if (chosen == clicked) return;
    Integer shown, shownYear;
    if (clicked < chosen) {
        shown = chosen + last.wMonth - clicked;
        shownYear = last.wYear;
        if (shown > 12) {
            shown -= 12;
            ++shownYear;
        }
    } else {
        shown = chosen + first.wMonth - clicked;
        shownYear = clickedYear;
        if (shown < 1) {
            shown += 12;
            --shownYear;
        }
    }
    SetControlSelection(EncodeDate(Word(shownYear), Word(shown), 1));
    SetDate(EncodeDate(Word(clickedYear), Word(chosen),
                       Word(std::min<Integer>(day, DaysInMonth(Word(clickedYear), Word(chosen))))));
    Change();
}

void TvxMonthCalendar::YearItemClick(TObject* sender)
{
    ClearMenuShownFlags();
    itemChosen_ = true;
    const auto [y, m, d] = Triple(dateValue_);
    (void)y;
    const auto [ymax, mmax, dmax] = Triple(maxDate_);
    const auto [ymin, mmin, dmin] = Triple(minDate_);
    Integer lowest = 0, highest = 0;
    if (minDate_ != 0) lowest = TDayTriple{ymin, m, d} < TDayTriple{ymin, mmin, dmin} ? ymin + 1 : ymin;
    if (maxDate_ != 0) highest = TDayTriple{ymax, m, d} > TDayTriple{ymax, mmax, dmax} ? ymax - 1 : ymax;

    Integer year = 0;
    const std::string caption = static_cast<TMenuItem*>(sender)->Caption();
    if (caption != vxIntl()->MonthCalendar()->PopupYearLabel) {
        year = StrToInt(caption);
    } else if (!AskYear(lowest, highest, year)) {
        return;
    }
    MoveToYear(year);
}

// Asks for a year until an acceptable one is given; false on Cancel, or when no year is acceptable and the first
// answer is not.
bool TvxMonthCalendar::AskYear(Integer lowest, Integer highest, Integer& year)
{
    const auto [unused, m, d] = Triple(dateValue_);
    (void)unused;
    const auto afterMax = [&](Integer y) { return maxDate_ != 0 && TDayTriple{y, m, d} > Triple(maxDate_); };
    const auto beforeMin = [&](Integer y) { return TDayTriple{y, m, d} < Triple(minDate_); };
    const auto propose = [&](const std::string& text) {
        Integer value;
        if (!TryStrToInt(text, value)) return text;
        if (afterMax(value) && highest != 0) return IntToStr(highest);
        if (beforeMin(value) && lowest != 0) return IntToStr(lowest);
        return text;
    };
    const std::string prompt = vxIntl()->MonthCalendar()->EnterYearPrompt;
    std::string boxCaption = prompt, boxPrompt = "Enter New Year:";
    if (lowest != 0 && highest != 0)
        boxCaption += " (" + IntToStr(lowest) + "-" + IntToStr(highest) + ")";
    else if (lowest != 0)
        boxCaption += " (>=" + IntToStr(lowest) + ")";
    else if (highest != 0)
        boxCaption += " (<=" + IntToStr(highest) + ")";
    else
        boxPrompt = " ";
    const bool someYearAcceptable = lowest == 0 || highest == 0 || lowest <= highest;
    std::string answer = propose(IntToStr(titleHit_.wYear));
    while (true) {
        if (!InputQuery(boxCaption, boxPrompt, answer)) return false;
        if (TryStrToInt(answer, year) && year != -1 && year > 0 && year <= 9999 && !afterMax(year) && !beforeMin(year))
            return true;
        if (!someYearAcceptable) return false;
        answer = propose(answer);
    }
}

void TvxMonthCalendar::MoveToYear(Integer year)
{
    if (year == titleHit_.wYear) return;
    SYSTEMTIME first, last;
    VisibleMonths(first, last);
    const auto [unused, m, d] = Triple(dateValue_);
    (void)unused;
    const Word shownMonth = year > titleHit_.wYear ? last.wMonth : first.wMonth;
    SetControlSelection(EncodeDate(Word(year), shownMonth, 1));
    SetDate(EncodeDate(Word(year), Word(m), Word(std::min<Integer>(d, DaysInMonth(Word(year), Word(m))))));
    Change();
}

// ---- keys

void TvxMonthCalendar::KeyDown(Word& key, TShiftState shift)
{
    TWinControl::KeyDown(key, shift);
    const bool pageKey = key == VK_PRIOR || key == VK_NEXT;
    const bool arrowKey = key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
    if (!pageKey && !arrowKey) return;
    if (arrowKey && options_.Contains(mdoMultiSelect) && shift.Contains(ssShift))
        KeyExtendRange(key);
    else if (pageKey && !StepMonth(key == VK_NEXT)) {
        key = 0;
        return;
    } else if (arrowKey)
        StepDays(key);
    Change();
    key = 0;
}

// The same day a month earlier or later, limited to that month's length; false when a range of days is selected.
bool TvxMonthCalendar::StepMonth(bool forward)
{
    SYSTEMTIME reference{};
    if (options_.Contains(mdoMultiSelect)) {
        SYSTEMTIME range[2]{};
        SendMessageA(Handle(), MCM_GETSELRANGE, 0, reinterpret_cast<LPARAM>(range));
        if (FromSystemDate(range[0]) != FromSystemDate(range[1])) return false;
        reference = range[0];
    } else {
        SendMessageA(Handle(), MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&reference));
    }
    SetDate(IncMonth(FromSystemDate(reference), forward ? 1 : -1));
    return true;
}

void TvxMonthCalendar::StepDays(Word key)
{
    static const struct {
        Word Key;
        Integer Days;
    } steps[] = {{VK_LEFT, -1}, {VK_UP, -7}, {VK_RIGHT, 1}, {VK_DOWN, 7}};
    for (const auto& step : steps)
        if (step.Key == key) SetDate(dateValue_ + step.Days);
}

// Shift with an arrow: the range grows or shrinks at its end away from the anchor (the value).
void TvxMonthCalendar::KeyExtendRange(Word key)
{
    SYSTEMTIME range[2]{};
    SendMessageA(Handle(), MCM_GETSELRANGE, 0, reinterpret_cast<LPARAM>(range));
    const TDateTime anchor = WholeDays(dateValue_);
    TDateTime start = FromSystemDate(range[0]), end = FromSystemDate(range[1]);
    const Integer days = key == VK_UP || key == VK_DOWN ? 7 : 1;
    const bool backwards = key == VK_LEFT || key == VK_UP;
    if (backwards && end > anchor) {
        start = anchor;
        end -= days;
    } else if (backwards) {
        end = anchor;
        start -= days;
    } else if (anchor < end) {
        start = anchor;
        end += days;
    } else {
        end = anchor;
        start += days;
    }
    SetControlRange(end, start);
}

void TvxMonthCalendar::Publish(TPublisher<TvxMonthCalendar>& p)
{
    p.Property("BorderStyle", &TvxMonthCalendar::BorderStyle, &TvxMonthCalendar::SetBorderStyle).Default(bsNone);
    p.Property("CalColors", &TvxMonthCalendar::CalColors, &TvxMonthCalendar::SetCalColors);
    p.Property("Date", &TvxMonthCalendar::Date, &TvxMonthCalendar::SetDate).DateTime();
    p.Property("Time", &TvxMonthCalendar::Time, &TvxMonthCalendar::SetTime).DateTime();
    p.Property("Color", &TvxMonthCalendar::Color, &TvxMonthCalendar::SetColor)
        .Default(clWindow)
        .Idents(ColorIdentToInt, ColorIntToIdent);
    p.Property("Options", &TvxMonthCalendar::Options, &TvxMonthCalendar::SetOptions)
        .Default(TvxMonthOptions{mdoDayState});
    p.Property("PopupYearOptions", &TvxMonthCalendar::PopupYearOptions, &TvxMonthCalendar::SetPopupYearOptions);
    p.Property("FirstDayOfWeek", &TvxMonthCalendar::FirstDayOfWeek, &TvxMonthCalendar::SetFirstDayOfWeek)
        .Default(vxdowLocaleDefault);
    p.Property("Height", &TvxMonthCalendar::Height, &TvxMonthCalendar::SetHeight);
    p.Property("MaxSelectCount", &TvxMonthCalendar::MaxSelectCount, &TvxMonthCalendar::SetMaxSelectCount).Default(31);
    p.Property("MaxDate", &TvxMonthCalendar::MaxDate, &TvxMonthCalendar::SetMaxDate).Default(0.0).DateTime();
    p.Property("MinDate", &TvxMonthCalendar::MinDate, &TvxMonthCalendar::SetMinDate).Default(0.0).DateTime();
    p.Property("ParentColor", &TvxMonthCalendar::ParentColor, &TvxMonthCalendar::SetParentColor).Default(false);
    p.Property("TabStop", &TvxMonthCalendar::TabStop, &TvxMonthCalendar::SetTabStop).Default(true);
    p.Property("Width", &TvxMonthCalendar::Width, &TvxMonthCalendar::SetWidth);
    p.Property("OnCalcBoldDay", &TvxMonthCalendar::OnCalcBoldDay);
    p.Property("OnChange", &TvxMonthCalendar::OnChange);
    p.Property("OnMouseDown", &TvxMonthCalendar::OnMouseDown);
    p.Property("OnMouseMove", &TvxMonthCalendar::OnMouseMove);
    p.Property("OnMouseUp", &TvxMonthCalendar::OnMouseUp);
}
