// TvxMonthCalendar: the common controls' month calendar as a component with a date (and time) value, an optional
// multi-day selection, limits it enforces itself, colours, the first day of the week, bold days from an event,
// mouse events that carry the date under the mouse and its own keys. Clicks on the title never reach the native
// control: the calendar steps the value with the arrow buttons and offers month and year menus itself.
#pragma once

#include <array>
#include <memory>

#include "vcl/Controls.h"
#include "vcl/Menus.h"

#include <commctrl.h>

// The calendar's six colours; a calendar that owns them sends each change to its window.
class TvxDateTimeColors : public TPersistent {
    DUN_CLASS(TvxDateTimeColors, TPersistent)
public:
    explicit TvxDateTimeColors(TControl* owner = nullptr) : owner_(owner) {}
    TControl* Owner() const { return owner_; }

    // 0 background, 1 text, 2 title background, 3 title text, 4 month background, 5 trailing text.
    TColor ByIndex(Integer index) const { return colors_.at(index); }
    void SetByIndex(Integer index, TColor color);
    void ApplyAll();
    void Assign(TPersistent* source) override;

    static void Publish(TPublisher<TvxDateTimeColors>& p);

private:
    TControl* owner_;
    std::array<TColor, 6> colors_{clWindow, clWindowText, clActiveCaption, clWhite, clWhite, clInactiveCaptionText};
};

// The layout of the year menu.
class TvxPopupYearOptions : public TPersistent {
    DUN_CLASS(TvxPopupYearOptions, TPersistent)
public:
    Integer YearsPerColumn = 10;
    Integer NumberColumns = 2;
    Integer StartYear = 1990;
    bool ShowEditYear = false;

    void Assign(TPersistent* source) override;
    static void Publish(TPublisher<TvxPopupYearOptions>& p);
};

// A popup menu that knows whether it is open (Popup is modal).
class TCalendarPopupMenu : public TPopupMenu {
    DUN_CLASS(TCalendarPopupMenu, TPopupMenu)
public:
    explicit TCalendarPopupMenu(TComponent* owner) : TPopupMenu(owner) {}
    void Popup(Integer x, Integer y) override;
    bool IsInPopup() const { return inPopup_; }

private:
    bool inPopup_ = false;
};

enum TvxMonthOption { mdoDayState, mdoWeekNumbers, mdoNoToday, mdoNoTodayCircle, mdoMultiSelect };
DUN_ENUM(TvxMonthOption, "mdoDayState", "mdoWeekNumbers", "mdoNoToday", "mdoNoTodayCircle", "mdoMultiSelect");
using TvxMonthOptions = Set<TvxMonthOption>;

enum TvxCalDayOfWeek { vxdowMonday, vxdowTuesday, vxdowWednesday, vxdowThursday, vxdowFriday, vxdowSaturday,
                       vxdowSunday, vxdowLocaleDefault };
DUN_ENUM(TvxCalDayOfWeek, "vxdowMonday", "vxdowTuesday", "vxdowWednesday", "vxdowThursday", "vxdowFriday",
         "vxdowSaturday", "vxdowSunday", "vxdowLocaleDefault");

using TCalcBoldDayEvent =
    std::function<void(TObject* sender, TDateTime date, Integer month, Integer day, Integer year, bool& accept)>;
using TmcMouseUPDownEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, Integer x,
                                               Integer y, Integer month, Integer day, Integer year)>;
using TmcMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, Integer x, Integer y,
                                             Integer month, Integer day, Integer year)>;

class TvxMonthCalendar : public TWinControl {
    DUN_CLASS(TvxMonthCalendar, TWinControl)
public:
    explicit TvxMonthCalendar(TComponent* owner);
    ~TvxMonthCalendar() override;

    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    TvxDateTimeColors* CalColors() const { return calColors_; }
    void SetCalColors(TvxDateTimeColors* value);
    TvxPopupYearOptions* PopupYearOptions() const { return popupYearOptions_.get(); }
    void SetPopupYearOptions(TvxPopupYearOptions* value);

    // Date and Time both read the whole value; setting one keeps the other part.
    TDateTime Date() const { return dateValue_; }
    void SetDate(TDateTime value);
    TDateTime Time() const { return dateValue_; }
    void SetTime(TDateTime value);
    // Shows a value brought within the limits, without raising.
    void SetDateInternal(TDateTime value);
    TDateTime SelStart() const { return selStart_; }
    void SetSelStart(TDateTime value);
    TDateTime SelEnd() const { return selEnd_; }
    void SetSelEnd(TDateTime value);
    // 0 is no limit.
    TDateTime MinDate() const { return minDate_; }
    void SetMinDate(TDateTime value);
    TDateTime MaxDate() const { return maxDate_; }
    void SetMaxDate(TDateTime value);

    TvxMonthOptions Options() const { return options_; }
    virtual void SetOptions(TvxMonthOptions value);
    Integer MaxSelectCount() const { return maxSelectCount_; }
    void SetMaxSelectCount(Integer value);
    TvxCalDayOfWeek FirstDayOfWeek() const { return firstDayOfWeek_; }
    void SetFirstDayOfWeek(TvxCalDayOfWeek value);
    void SetBounds(Integer left, Integer top, Integer width, Integer height) override;

    // Takes the focus when visible.
    virtual void FocusCalendar();
    // A title menu is open.
    bool IsMenuActive() const;
    TCalendarPopupMenu* MonthMenu() const { return monthMenu_; }
    TCalendarPopupMenu* YearMenu() const { return yearMenu_; }

    TNotifyEvent OnChange;
    TCalcBoldDayEvent OnCalcBoldDay;
    TmcMouseMoveEvent OnMouseMove;
    TmcMouseUPDownEvent OnMouseDown;
    TmcMouseUPDownEvent OnMouseUp;

    void WndProc(TMessage& message) override;
    void Dispatch(TMessage& message) override;

    static void Publish(TPublisher<TvxMonthCalendar>& p);

protected:
    void Loaded() override;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
    void MouseMove(TShiftState shift, Integer x, Integer y) override;
    void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
    void KeyDown(Word& key, TShiftState shift) override;
    virtual void Change();
    MCHITTESTINFO HitTest(Integer x, Integer y);

    void MonthItemClick(TObject* sender);
    void YearItemClick(TObject* sender);

private:
    bool SetControlSelection(TDateTime value);
    bool SetControlRange(TDateTime end, TDateTime start);
    void ApplyRange(TDateTime max, TDateTime min);
    void SetSelectionEnd(TDateTime value, TDateTime& end, TDateTime other);
    void AdjustToMinSize();
    bool InRange(TDateTime date) const;
    bool DateOutOfRange(const SYSTEMTIME& date) const;
    bool MonthYearInRange(Integer year, Integer month) const;
    TDateTime DayLimited(Integer year, Integer month) const;
    void VisibleMonths(SYSTEMTIME& first, SYSTEMTIME& last);
    SYSTEMTIME TitleDateAt(const MCHITTESTINFO& hit);
    TPoint TitleEdge(Integer x, Integer y, UINT part, Integer dx);
    void StepTitleButton(bool next);
    void ShowYearMenu(const MCHITTESTINFO& hit, Integer x, Integer y);
    void ShowMonthMenu(const MCHITTESTINFO& hit, Integer x, Integer y);
    bool PopupAt(TCalendarPopupMenu* menu, TPoint point);
    bool AskYear(Integer lowest, Integer highest, Integer& year);
    void MoveToYear(Integer year);
    bool StepMonth(bool forward);
    void StepDays(Word key);
    void KeyExtendRange(Word key);
    void CNNotify(TMessage& message);
    void SelectionChanged(const NMSELCHANGE& change);
    void AnswerDayState(NMDAYSTATE& request);
    bool FillDayStates(const SYSTEMTIME& start, Integer count);
    void PushDayStates();
    void ClearMenuShownFlags() { yearMenuShown_ = monthMenuShown_ = false; }

    TBorderStyle borderStyle_ = bsNone;
    TvxDateTimeColors* calColors_;
    TDateTime dateValue_;
    TDateTime selStart_ = 0, selEnd_ = 0;
    TDateTime maxDate_ = 0, minDate_ = 0;
    TvxMonthOptions options_{mdoDayState};
    Integer maxSelectCount_ = 31;
    bool changePending_ = false;
    TCalendarPopupMenu* yearMenu_ = nullptr;
    bool yearMenuWasUp_ = false, monthMenuWasUp_ = false;
    bool yearMenuShown_ = false, monthMenuShown_ = false;
    bool itemChosen_ = false;  // an item of the menu on show was chosen
    TCalendarPopupMenu* monthMenu_ = nullptr;
    SYSTEMTIME titleHit_{};
    Integer lastTitleMonth_ = 0;
    std::unique_ptr<TvxPopupYearOptions> popupYearOptions_;
    TvxCalDayOfWeek firstDayOfWeek_ = vxdowLocaleDefault;
    std::array<MONTHDAYSTATE, 14> dayStates_{};
    Integer dayStatesFrom_ = 0;  // year * 12 + month of the first month the masks were last given for
};
