// The month calendar on a real window: limits, keys, bold days, mouse events with dates, and the title driven by
// real clicks (previous and next, the month menu, the year menu and its year box). Points come from the control's
// own hit tests after it has painted.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "classes/ClassRegistry.h"
#include "classes/FormResource.h"
#include "rtl/Clock.h"
#include "rtl/DateFormat.h"
#include "rtl/DateTime.h"
#include "rtl/Exceptions.h"
#include "rtl/tests/UsSettings.h"
#include "vcl/Forms.h"
#include "vcl/TestHelpers.h"
#include "CalendarParts.h"
#include "vxcontrols/vxmonthcalendar.h"
#include "vxdata/Vxintl.h"

namespace {

TDateTime D(Word y, Word m, Word d) { return EncodeDate(y, m, d); }

// Posts keys to the popup menu once it is open, and ends a menu still open after five seconds so that a test whose
// keys did not reach it fails instead of hanging.
class TMenuKeys {
public:
    explicit TMenuKeys(std::vector<Word> keys, HWND target, std::function<void()> whileOpen = nullptr)
    {
        current = this;
        keys_ = std::move(keys);
        target_ = target;
        whileOpen_ = std::move(whileOpen);
        timer_ = SetTimer(nullptr, 0, 50, Tick);
        watchdog_ = SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
    }
    ~TMenuKeys()
    {
        KillTimer(nullptr, timer_);
        KillTimer(nullptr, watchdog_);
        current = nullptr;
    }
    Integer Opened = 0;

private:
    // Once per opening of a menu.
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!current) return;
        if (!GetGUIThreadInfo(GetCurrentThreadId(), &info) || !(info.flags & GUI_INMENUMODE)) {
            current->armed_ = true;
            return;
        }
        if (!current->armed_) return;
        current->armed_ = false;
        ++current->Opened;
        if (current->whileOpen_) current->whileOpen_();
        for (Word key : current->keys_) PostKeyDown(current->target_, key);
    }

    static inline TMenuKeys* current = nullptr;
    std::vector<Word> keys_;
    HWND target_ = nullptr;
    std::function<void()> whileOpen_;
    UINT_PTR timer_ = 0, watchdog_ = 0;
    bool armed_ = true;
};

class MonthCalendar : public UsSettings {
protected:
    void SetUp() override
    {
        UsSettings::SetUp();
        SetClock([] { return D(2026, 5, 20) + EncodeTime(9, 30, 0, 0); });
        form = CreateObject<TForm>(nullptr);
        form->SetBounds(60, 60, 320, 260);
        form->SetCaption("Calendar");
        calendar = new TvxMonthCalendar(form);
        calendar->SetParent(form);
        calendar->SetBounds(10, 10, 200, 160);
        calendar->OnChange = [this](TObject*) { ++changes; };
    }
    void TearDown() override
    {
        delete form;
        PumpMessages(20);
        ResetClock();
        UsSettings::TearDown();
    }

    void ShowForm()
    {
        form->Show();
        ActivateForm(form);
        calendar->SetFocus();
        calendar->Update();
        PumpMessages();
    }

    TPoint Find(UINT part, TDateTime date = 0) { return FindCalendarPart(calendar, part, date); }

    // The first month on show.
    SYSTEMTIME FirstVisible()
    {
        SYSTEMTIME range[2]{};
        SendMessageA(calendar->Handle(), MCM_GETMONTHRANGE, GMR_VISIBLE, reinterpret_cast<LPARAM>(range));
        return range[0];
    }

    std::string ShownError()
    {
        return dialogs.Shown.empty() ? std::string() : dialogs.Shown.back().Text;
    }

    TScriptedDialogs dialogs;
    TForm* form = nullptr;
    TvxMonthCalendar* calendar = nullptr;
    Integer changes = 0;
};

TEST_F(MonthCalendar, CompanionsAndPublishedDefaults)
{
    EXPECT_DOUBLE_EQ(calendar->Date(), D(2026, 5, 20) + EncodeTime(9, 30, 0, 0));
    EXPECT_EQ(calendar->Options(), TvxMonthOptions{mdoDayState});
    EXPECT_EQ(calendar->FirstDayOfWeek(), vxdowLocaleDefault);
    EXPECT_EQ(calendar->MaxSelectCount(), 31);
    EXPECT_TRUE(calendar->TabStop());
    EXPECT_EQ(calendar->MonthMenu()->Items()->Count(), 12);
    EXPECT_EQ(calendar->MonthMenu()->Items()->Items(0)->Caption(), LongMonthNames[1]);
    EXPECT_EQ(calendar->MonthMenu()->Alignment(), paRight);
    EXPECT_EQ(calendar->CalColors()->ByIndex(3), clWhite);

    // Assigning colours copies the five published ones, not the background.
    TvxDateTimeColors other;
    for (Integer i = 0; i < 6; ++i) other.SetByIndex(i, TColor(0x10 + i));
    calendar->SetCalColors(&other);
    EXPECT_EQ(calendar->CalColors()->ByIndex(0), clWindow);
    EXPECT_EQ(calendar->CalColors()->ByIndex(5), TColor(0x15));
    TvxPopupYearOptions layout;
    try {
        calendar->CalColors()->Assign(&layout);
        ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TvxPopupYearOptions to a TvxDateTimeColors");
    }
    layout.StartYear = 2000;
    layout.ShowEditYear = true;
    calendar->SetPopupYearOptions(&layout);
    EXPECT_EQ(calendar->PopupYearOptions()->StartYear, 2000);
    EXPECT_TRUE(calendar->PopupYearOptions()->ShowEditYear);

    // A form file sets the limits after the date and stores only what differs from the defaults.
    std::unique_ptr<TForm> read(CreateObject<TForm>(nullptr));
    ReadComponentText(read.get(), "object CalForm: TForm\n"
                                  "  object Cal: TvxMonthCalendar\n"
                                  "    Left = 8\n    Top = 8\n"
                                  "    Options = [mdoDayState, mdoWeekNumbers]\n"
                                  "    FirstDayOfWeek = vxdowSunday\n"
                                  "    PopupYearOptions.StartYear = 2010\n"
                                  "    CalColors.TitleBackColor = clNavy\n"
                                  "  end\n"
                                  "end\n");
    auto* cal = dynamic_cast<TvxMonthCalendar*>(read->FindComponent("Cal"));
    ASSERT_TRUE(cal);
    EXPECT_EQ(cal->Options(), (TvxMonthOptions{mdoDayState, mdoWeekNumbers}));
    EXPECT_EQ(cal->FirstDayOfWeek(), vxdowSunday);
    EXPECT_EQ(cal->PopupYearOptions()->StartYear, 2010);
    EXPECT_EQ(cal->CalColors()->ByIndex(2), clNavy);
    const std::string written = WriteComponentText(read.get());
    EXPECT_NE(written.find("CalColors.TitleBackColor = clNavy"), std::string::npos);
    EXPECT_EQ(written.find("MaxSelectCount"), std::string::npos);
}

TEST_F(MonthCalendar, LimitsRefuseWithTheirTextsAndShowTheOldDateAgain)
{
    ShowForm();
    calendar->SetMinDate(D(2026, 5, 1));
    calendar->SetMaxDate(D(2026, 6, 15));
    const TDateTime before = calendar->Date();
    const struct {
        const char* Name;
        std::function<void()> Step;
        const char* Error;
    } cases[] = {
        {"date above", [&] { calendar->SetDate(D(2026, 6, 16)); }, "Date exceeds maximum of 6/15/2026"},
        {"date below", [&] { calendar->SetDate(D(2026, 4, 30)); }, "Date is less than minimum of 5/1/2026"},
        {"maximum below the minimum", [&] { calendar->SetMaxDate(D(2026, 4, 1)); },
         "Date is less than minimum of 5/1/2026"},
        {"minimum above the maximum", [&] { calendar->SetMinDate(D(2026, 7, 1)); },
         "Date exceeds maximum of 6/15/2026"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        try {
            c.Step();
            ADD_FAILURE() << "no error";
        } catch (const EDateTimeError& e) {
            EXPECT_STREQ(e.what(), c.Error);
        }
        EXPECT_DOUBLE_EQ(calendar->Date(), before);
        SYSTEMTIME shown{};
        SendMessageA(calendar->Handle(), MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&shown));
        EXPECT_EQ(shown.wDay, 20);
        EXPECT_DOUBLE_EQ(calendar->MinDate(), D(2026, 5, 1));
        EXPECT_DOUBLE_EQ(calendar->MaxDate(), D(2026, 6, 15));
    }
    // A date keeps its time; the same day with another time changes nothing.
    calendar->SetDate(D(2026, 6, 1) + 0.75);
    EXPECT_DOUBLE_EQ(calendar->Date(), D(2026, 6, 1) + EncodeTime(9, 30, 0, 0));
    calendar->SetTime(EncodeTime(18, 0, 0, 0));
    EXPECT_DOUBLE_EQ(calendar->Date(), D(2026, 6, 1) + 0.75);
    // 0 removes either limit whatever the other is.
    calendar->SetMaxDate(0);
    calendar->SetMinDate(0);
    calendar->SetMaxDate(D(2026, 6, 15));
    calendar->SetMinDate(0);
    EXPECT_DOUBLE_EQ(calendar->MaxDate(), D(2026, 6, 15));
    EXPECT_DOUBLE_EQ(calendar->MinDate(), 0);
    // A limit removed leaves the window too: the control takes a date beyond it.
    calendar->SetMaxDate(0);
    calendar->SetDate(D(2026, 7, 1));
    SYSTEMTIME shown{};
    SendMessageA(calendar->Handle(), MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&shown));
    EXPECT_EQ(shown.wMonth, 7);
    EXPECT_DOUBLE_EQ(std::trunc(calendar->Date()), D(2026, 7, 1));
    // Without a lower limit a date before the first day is shown as 31 December 1899.
    calendar->SetDateInternal(-5);
    EXPECT_DOUBLE_EQ(calendar->Date(), 1);
}

TEST_F(MonthCalendar, PageKeysAndArrowsMoveTheValueWithTheDayLimited)
{
    ShowForm();
    const struct {
        TDateTime From;
        Word Key;
        TDateTime To;
    } cases[] = {
        {D(2024, 1, 31), VK_NEXT, D(2024, 2, 29)}, {D(2025, 1, 31), VK_NEXT, D(2025, 2, 28)},
        {D(2025, 3, 31), VK_PRIOR, D(2025, 2, 28)}, {D(2025, 12, 15), VK_NEXT, D(2026, 1, 15)},
        {D(2026, 1, 15), VK_PRIOR, D(2025, 12, 15)}, {D(2026, 3, 1), VK_LEFT, D(2026, 2, 28)},
        {D(2026, 3, 1), VK_UP, D(2026, 2, 22)},     {D(2026, 3, 31), VK_RIGHT, D(2026, 4, 1)},
        {D(2026, 3, 31), VK_DOWN, D(2026, 4, 7)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(DateToStr(c.From) + " key " + std::to_string(c.Key));
        calendar->SetDate(c.From);
        changes = 0;
        TypeKey(c.Key);
        EXPECT_DOUBLE_EQ(std::trunc(calendar->Date()), c.To);
        EXPECT_EQ(changes, 1);
        SYSTEMTIME shown{};
        SendMessageA(calendar->Handle(), MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&shown));
        EXPECT_DOUBLE_EQ(EncodeDate(shown.wYear, shown.wMonth, shown.wDay), c.To);
    }
    // A key past a limit reaches the application's handler with the limit's text; the date stays.
    calendar->SetDate(D(2026, 4, 1));
    calendar->SetMaxDate(D(2026, 4, 3));
    TypeKey(VK_DOWN);
    EXPECT_EQ(ShownError(), "Date exceeds maximum of 4/3/2026.");
    EXPECT_DOUBLE_EQ(std::trunc(calendar->Date()), D(2026, 4, 1));
}

TEST_F(MonthCalendar, ShiftArrowsExtendAMultiSelection)
{
    calendar->SetOptions({mdoMultiSelect});
    ShowForm();
    calendar->SetDate(D(2026, 5, 20));
    TypeKey(VK_RIGHT, {ssShift});
    TypeKey(VK_DOWN, {ssShift});
    SYSTEMTIME range[2]{};
    SendMessageA(calendar->Handle(), MCM_GETSELRANGE, 0, reinterpret_cast<LPARAM>(range));
    EXPECT_EQ(range[0].wDay, 20);
    EXPECT_EQ(range[1].wDay, 28);
    TypeKey(VK_LEFT, {ssShift});
    SendMessageA(calendar->Handle(), MCM_GETSELRANGE, 0, reinterpret_cast<LPARAM>(range));
    EXPECT_EQ(range[1].wDay, 27);
    // With a range selected the page keys do nothing.
    TypeKey(VK_NEXT);
    EXPECT_DOUBLE_EQ(std::trunc(calendar->Date()), D(2026, 5, 20));
}

TEST_F(MonthCalendar, BoldDaysAreAskedForTheShownMonthsAcrossTheYear)
{
    std::vector<std::pair<Integer, Integer>> asked;  // (year, month), once per month
    calendar->OnCalcBoldDay = [&](TObject*, TDateTime date, Integer month, Integer day, Integer year, bool& accept) {
        EXPECT_DOUBLE_EQ(date, EncodeDate(Word(year), Word(month), Word(day)));
        if (day == 1) asked.push_back({year, month});
        accept = day == 13;
    };
    calendar->SetDate(D(2025, 12, 10));
    ShowForm();
    ASSERT_FALSE(asked.empty());
    EXPECT_NE(std::find(asked.begin(), asked.end(), std::make_pair(2025, 12)), asked.end());
    EXPECT_NE(std::find(asked.begin(), asked.end(), std::make_pair(2026, 1)), asked.end());  // trailing days
    EXPECT_NE(std::find(asked.begin(), asked.end(), std::make_pair(2025, 11)), asked.end());
    // The answer is the control's day state: the 13th bold.
    NMDAYSTATE request{};
    request.nmhdr.code = MCN_GETDAYSTATE;
    request.stStart.wYear = 2025;
    request.stStart.wMonth = 11;
    request.stStart.wDay = 1;
    request.cDayState = 3;
    calendar->Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&request));
    ASSERT_TRUE(request.prgDayState);
    for (Integer i = 0; i < 3; ++i) EXPECT_EQ(request.prgDayState[i], 1u << 12) << i;
    request.prgDayState = nullptr;
    request.cDayState = 15;
    calendar->Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&request));
    EXPECT_EQ(request.prgDayState, nullptr);
    EXPECT_TRUE(SaveWindowToPng(form->Handle(), "vxmonthcalendar-bold.png"));
    // Months that come into view are asked about.
    asked.clear();
    MouseClick(calendar, Find(MCHT_TITLEBTNPREV));
    EXPECT_NE(std::find(asked.begin(), asked.end(), std::make_pair(2025, 10)), asked.end());

    asked.clear();
    calendar->SetOptions({});
    PumpMessages();
    EXPECT_TRUE(asked.empty());
}

TEST_F(MonthCalendar, MouseEventsCarryTheDateAndClicksOnDisabledDatesAreSwallowed)
{
    calendar->SetDate(D(2026, 5, 20));
    calendar->SetMaxDate(D(2026, 5, 25));
    ShowForm();
    std::vector<std::string> log;
    calendar->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, Integer, Integer, Integer m, Integer d, Integer y) {
        log.push_back("down " + std::to_string(y) + "-" + std::to_string(m) + "-" + std::to_string(d));
    };
    calendar->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, Integer, Integer, Integer m, Integer d, Integer y) {
        log.push_back("up " + std::to_string(y) + "-" + std::to_string(m) + "-" + std::to_string(d));
    };
    Integer moves = 0;
    calendar->OnMouseMove = [&](TObject*, TShiftState, Integer, Integer, Integer m, Integer d, Integer) {
        if (m == 5 && d == 12) ++moves;
    };
    MouseClick(calendar, Find(MCHT_CALENDARDATE, D(2026, 5, 12)));
    EXPECT_EQ(log, (std::vector<std::string>{"down 2026-5-12", "up 2026-5-12"}));
    EXPECT_GT(moves, 0);
    EXPECT_DOUBLE_EQ(std::trunc(calendar->Date()), D(2026, 5, 12));

    // A day after the maximum: the press sets the maximum, the control never selects the day.
    log.clear();
    MouseClick(calendar, Find(MCHT_CALENDARDATE, D(2026, 5, 28)));
    EXPECT_EQ(log, (std::vector<std::string>{"down 2026-5-28", "up 2026-5-28"}));
    EXPECT_DOUBLE_EQ(std::trunc(calendar->Date()), D(2026, 5, 25));
    SYSTEMTIME shown{};
    SendMessageA(calendar->Handle(), MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&shown));
    EXPECT_EQ(shown.wDay, 25);
    EXPECT_TRUE(dialogs.Shown.empty());
}

TEST_F(MonthCalendar, TitleButtonsStepTheDateAndStopAtTheLimits)
{
    calendar->SetDate(D(2026, 3, 31));
    calendar->SetMinDate(D(2025, 12, 10));
    calendar->SetMaxDate(D(2026, 5, 10));
    ShowForm();
    const TPoint prev = Find(MCHT_TITLEBTNPREV), next = Find(MCHT_TITLEBTNNEXT);
    const struct {
        const char* Name;
        TPoint At;
        TDateTime Date;
        Word ShownMonth;
    } steps[] = {
        {"previous from 31 March", prev, D(2026, 2, 28), 2},
        {"previous", prev, D(2026, 1, 28), 1},
        {"previous into December", prev, D(2025, 12, 28), 12},
        {"previous past the minimum stops there", prev, D(2025, 12, 10), 12},
        {"next", next, D(2026, 1, 10), 1},
        {"next", next, D(2026, 2, 10), 2},
        {"next", next, D(2026, 3, 10), 3},
        {"next", next, D(2026, 4, 10), 4},
        {"next", next, D(2026, 5, 10), 5},
        {"next past the maximum stops there", next, D(2026, 5, 10), 5},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.Name);
        changes = 0;
        MouseClick(calendar, s.At);
        EXPECT_DOUBLE_EQ(std::trunc(calendar->Date()), s.Date);
        EXPECT_EQ(FirstVisible().wMonth, s.ShownMonth);
        EXPECT_EQ(changes, 1);
    }
    EXPECT_TRUE(dialogs.Shown.empty());
}

TEST_F(MonthCalendar, TheMonthMenuChecksTheMonthDisablesOutOfRangeAndMovesThere)
{
    calendar->SetDate(D(2026, 5, 20));
    calendar->SetMaxDate(D(2026, 6, 15));
    ShowForm();
    const TPoint month = Find(MCHT_TITLEMONTH);
    std::vector<bool> checked, enabled;
    RECT firstItem{};
    const auto look = [&] {
        checked.clear();
        enabled.clear();
        for (Integer i = 0; i < 12; ++i) {
            checked.push_back(calendar->MonthMenu()->Items()->Items(i)->Checked());
            enabled.push_back(calendar->MonthMenu()->Items()->Items(i)->Enabled());
        }
        EXPECT_TRUE(calendar->IsMenuActive());
        GetMenuItemRect(nullptr, calendar->MonthMenu()->Handle(), 0, &firstItem);
    };
    {
        TMenuKeys keys({VK_ESCAPE}, form->Handle(), look);
        MouseClick(calendar, month);
        EXPECT_EQ(keys.Opened, 1);
    }
    const std::vector<bool> mayChoose = {true, true, true, true, true, false, false, false, false, false, false, false};
    EXPECT_EQ(enabled, mayChoose);  // 20 June lies after 15 June
    EXPECT_EQ(checked, (std::vector<bool>{false, false, false, false, true, false, false, false, false, false, false,
                                          false}));
    // The menu hangs right-aligned below the month's name, where the hit tests end.
    const TPoint nameBottomRight = calendar->ClientToScreen(Point(month.x, month.y));
    EXPECT_GT(firstItem.top, nameBottomRight.y);
    EXPECT_LT(firstItem.top, nameBottomRight.y + 20);
    EXPECT_LT(firstItem.right, nameBottomRight.x + 40);
    EXPECT_FALSE(calendar->IsMenuActive());
    EXPECT_DOUBLE_EQ(std::trunc(calendar->Date()), D(2026, 5, 20));

    // Choose February: the date moves there with the day limited; the display follows.
    calendar->SetDate(D(2026, 3, 31));
    PumpMessages();
    changes = 0;
    {
        TMenuKeys keys({VK_HOME, VK_DOWN, VK_RETURN}, form->Handle());
        MouseClick(calendar, Find(MCHT_TITLEMONTH));
    }
    EXPECT_DOUBLE_EQ(std::trunc(calendar->Date()), D(2026, 2, 28));
    EXPECT_EQ(FirstVisible().wMonth, 2);
    EXPECT_EQ(changes, 1);
    ASSERT_TRUE(SaveWindowToPng(form->Handle(), "vxmonthcalendar-february.png"));
}

TEST_F(MonthCalendar, ASecondClickOnTheTitleClosesTheMenu)
{
    ShowForm();
    const TPoint month = Find(MCHT_TITLEMONTH);
    // While the menu is open the month's name is clicked again (the pointer is still there).
    const auto clickAgain = [&] {
        const LPARAM at = MAKELPARAM(month.x, month.y);
        PostMessageA(calendar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(calendar->Handle(), WM_LBUTTONUP, 0, at);
    };
    {
        TMenuKeys keys({}, form->Handle(), clickAgain);
        MouseClick(calendar, month);
        EXPECT_EQ(keys.Opened, 1);
    }
    EXPECT_FALSE(calendar->IsMenuActive());
    EXPECT_DOUBLE_EQ(std::trunc(calendar->Date()), D(2026, 5, 20));
}

TEST_F(MonthCalendar, TheYearMenuHasColumnsAnEditEntryAndDisabledYears)
{
    calendar->SetDate(D(2026, 2, 15));
    calendar->SetMinDate(D(2000, 3, 1));
    calendar->PopupYearOptions()->ShowEditYear = true;
    ShowForm();
    {
        TMenuKeys keys({VK_ESCAPE}, form->Handle());
        MouseClick(calendar, Find(MCHT_TITLEYEAR));
        EXPECT_EQ(keys.Opened, 1);
    }
    TCalendarPopupMenu* menu = calendar->YearMenu();
    ASSERT_TRUE(menu);
    ASSERT_EQ(menu->Items()->Count(), 22);
    EXPECT_EQ(menu->Items()->Items(0)->Caption(), "Edit Year");
    EXPECT_TRUE(menu->Items()->Items(1)->IsLine());
    for (Integer i = 2; i < 22; ++i) {
        TMenuItem* item = menu->Items()->Items(i);
        const Integer year = 1990 + i - 2;
        SCOPED_TRACE(year);
        EXPECT_EQ(item->Caption(), std::to_string(year));
        EXPECT_EQ(item->Break() == TMenuItem::mbBarBreak, year == 1990 || year == 2000);
        EXPECT_EQ(item->Enabled(), year >= 2001);  // 15 February 2000 lies before 1 March 2000
        EXPECT_FALSE(item->Checked());             // 2026 is not among them
    }

    // The next click on the year counts as the click that closed the menu: nothing opens.
    {
        TMenuKeys keys({VK_ESCAPE}, form->Handle());
        MouseClick(calendar, Find(MCHT_TITLEYEAR));
        EXPECT_EQ(keys.Opened, 0);
    }

    // Choosing a year moves the date there, the display with it.
    calendar->PopupYearOptions()->StartYear = 2020;
    changes = 0;
    {
        TMenuKeys keys({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, form->Handle());  // 2022 after the line
        MouseClick(calendar, Find(MCHT_TITLEYEAR));
    }
    EXPECT_TRUE(menu->Items()->Items(8)->Checked());  // 2026
    EXPECT_DOUBLE_EQ(std::trunc(calendar->Date()), D(2022, 2, 15));
    EXPECT_EQ(FirstVisible().wYear, 2022);
    EXPECT_EQ(changes, 1);
    ASSERT_TRUE(SaveWindowToPng(form->Handle(), "vxmonthcalendar-2022.png"));
}

TEST_F(MonthCalendar, TheYearBoxAsksAgainForAYearOutOfRangeAndEndsOnCancel)
{
    calendar->SetDate(D(2024, 2, 29));
    calendar->SetMinDate(D(2000, 3, 1));
    calendar->SetMaxDate(D(2030, 1, 31));
    calendar->PopupYearOptions()->ShowEditYear = true;
    ShowForm();
    const auto editYear = [&] {
        TMenuKeys keys({VK_DOWN, VK_RETURN}, form->Handle());
        MouseClick(calendar, Find(MCHT_TITLEYEAR));
    };
    dialogs.AnswerNextInput(true, "1999");
    dialogs.AnswerNextInput(true, "x");
    dialogs.AnswerNextInput(true, "2025");
    editYear();
    ASSERT_EQ(dialogs.Shown.size(), 3u);
    for (const auto& box : dialogs.Shown) {
        EXPECT_EQ(box.Kind, "InputQuery");
        EXPECT_EQ(box.Caption, "Enter Valid Year (2001-2029)");
        EXPECT_EQ(box.Text, "Enter New Year:");
    }
    // 29 February in a year without it is the 28th.
    EXPECT_DOUBLE_EQ(std::trunc(calendar->Date()), D(2025, 2, 28));

    dialogs.Shown.clear();
    dialogs.AnswerNextInput(false);
    editYear();
    EXPECT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_DOUBLE_EQ(std::trunc(calendar->Date()), D(2025, 2, 28));

    // Without limits the box has no range; with no acceptable year it is shown once.
    const struct {
        TDateTime Min, Max;
        std::vector<std::string> Answers;
        const char* Caption;
        size_t Shown;
        TDateTime Date;
    } cases[] = {
        {0, 0, {"2031"}, "Enter Valid Year", 1, D(2031, 2, 28)},
        {0, D(2040, 1, 1), {"2041", "2039"}, "Enter Valid Year (<=2039)", 2, D(2039, 2, 28)},
        {D(2039, 3, 1), D(2039, 3, 31), {"2039"}, "Enter Valid Year (2040-2039)", 1, D(2039, 2, 28)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Caption);
        calendar->SetMinDate(0);
        calendar->SetMaxDate(0);
        calendar->SetMaxDate(c.Max);
        calendar->SetMinDate(c.Min);
        dialogs.Shown.clear();
        for (const std::string& answer : c.Answers) dialogs.AnswerNextInput(true, answer);
        editYear();
        ASSERT_EQ(dialogs.Shown.size(), c.Shown);
        EXPECT_EQ(dialogs.Shown[0].Caption, c.Caption);
        EXPECT_DOUBLE_EQ(std::trunc(calendar->Date()), c.Date);
        dialogs.Shown.clear();
    }
}

}  // namespace
