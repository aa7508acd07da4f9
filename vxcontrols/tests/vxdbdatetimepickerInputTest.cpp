// The date/time picker driven as a person drives it, on real windows: its drop-down calendar opened by the button
// and by keys and closed by clicks in and outside it, the key table, clicks on sections, cut and paste, and its keys
// as a cell of the data grid. Clicks and keys go through the real input queue.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "CalendarParts.h"
#include "db/DataSource.h"
#include "db/DateTimeFields.h"
#include "db/MemDataSet.h"
#include "rtl/Clock.h"
#include "rtl/DateTime.h"
#include "rtl/Exceptions.h"
#include "rtl/tests/UsSettings.h"
#include "vcl/Clipbrd.h"
#include "vcl/Forms.h"
#include "vcl/TestHelpers.h"
#include "vxcontrols/Vxdbgrid.h"
#include "vxcontrols/vxdbdatetimepicker.h"

namespace {

TDateTime D(Word y, Word m, Word d) { return EncodeDate(y, m, d); }
TDateTime DT(Word y, Word m, Word d, Word h, Word n) { return EncodeDate(y, m, d) + EncodeTime(h, n, 0, 0); }

const TDateTime Today = D(2026, 12, 11);

void PutOnClipboard(const std::string& text)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
}

TEST(PickerPlacement, BelowOrAboveTheWorkAreaAndAcrossByTheAlignment)
{
    const TRect picker{100, 200, 300, 222};
    const struct {
        const char* Name;
        TvxDTCalAlignment Alignment;
        TRect Picker;
        TPoint Size;
        Integer WorkAreaBottom, ScreenWidth;
        TPoint At;
    } cases[] = {
        {"left, below", vxdtaLeft, picker, {180, 160}, 1000, 1280, {101, 221}},
        {"right: its edge at the button's", vxdtaRight, picker, {180, 160}, 1000, 1280, {103, 221}},
        {"centre", vxdtaCenter, picker, {180, 160}, 1000, 1280, {102, 221}},
        {"centre of a wider calendar truncates towards 0", vxdtaCenter, picker, {251, 160}, 1000, 1280, {67, 221}},
        {"left past the screen's edge: right edges line up", vxdtaLeft, picker, {180, 160}, 1000, 280, {120, 221}},
        {"right past the screen's edge", vxdtaRight, picker, {180, 160}, 1000, 280, {120, 221}},
        {"centre past the screen's edge", vxdtaCenter, picker, {180, 160}, 1000, 280, {120, 221}},
        {"no room below: above", vxdtaLeft, picker, {180, 160}, 380, 1280, {101, 40}},
        {"just room below", vxdtaLeft, picker, {180, 160}, 381, 1280, {101, 221}},
        {"no room above either: below", vxdtaLeft, {100, 160, 300, 182}, {180, 160}, 300, 1280, {101, 181}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TPoint at =
            TvxDBCustomDateTimePicker::PlaceCalendar(c.Alignment, c.Picker, c.Size, c.WorkAreaBottom, c.ScreenWidth, 17);
        EXPECT_EQ(at.x, c.At.x);
        EXPECT_EQ(at.y, c.At.y);
    }
}

TEST(PickerButton, TheFrameShowsAComboButtonByState)
{
    const struct {
        bool Enabled, Up, PaintingCopy;
        UINT State;
    } cases[] = {{false, true, false, 0x105}, {false, false, true, 0x105}, {true, true, false, 5},
                 {true, false, true, 5},      {true, false, false, 0x4205}};
    for (const auto& c : cases)
        EXPECT_EQ(TvxDateComboButton::FrameState(c.Enabled, c.Up, c.PaintingCopy), c.State)
            << c.Enabled << c.Up << c.PaintingCopy;
}

// A form with an edit, an unbound picker under it, a default button and a window of the program that is no control
// of the framework. The clock says 11 December 2026, 9:00.
class PickerInput : public UsSettings {
protected:
    void SetUp() override
    {
        UsSettings::SetUp();
        SetClock([] { return DT(2026, 12, 11, 9, 0); });
        form = CreateObject<TForm>(nullptr);
        form->SetBounds(100, 100, 460, 320);
        form->SetCaption("Picker");
        other = new TEdit(form);
        other->SetParent(form);
        other->SetBounds(10, 10, 160, 22);
        picker = new TvxDBDateTimePicker(form);
        picker->SetParent(form);
        picker->SetBounds(10, 50, 200, 22);
        okButton = new TButton(form);
        okButton->SetParent(form);
        okButton->SetBounds(360, 10, 75, 25);
        okButton->SetCaption("OK");
        okButton->SetDefault(true);
        okButton->OnClick = [this](TObject*) { ++defaultPresses; };
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
        picker->SetFocus();
        PumpMessages();
    }

    // The picker of the kind and format showing the value with section n selected (0: the whole text).
    void Present(TvxDTEditDataType kind, const std::string& format, TDateTime value, Integer section)
    {
        picker->CommitTypedDigits();
        picker->SetUnboundDataType(kind);
        picker->SetDisplayFormat(format);
        picker->SetMaxDate(0);
        picker->SetMinDate(0);
        picker->SetValue(value);
        picker->SetModified(false);
        picker->SetCurrentSection(section == 0 ? 1 : section);
        picker->SelectSection();
        if (section == 0) picker->SelectAll();
    }

    TPoint ButtonPoint() { return Point(picker->ButtonLeft() + 1 + picker->ButtonWidth() / 2, picker->ClientHeight() / 2); }
    TvxPopupCalendar* Calendar() { return picker->PopupCalendar(); }
    void ClickOnCalendar(UINT part, TDateTime date = 0)
    {
        MouseClick(Calendar(), FindCalendarPart(Calendar(), part, date));
    }
    std::string Selected() { return picker->SelText(); }

    TScriptedDialogs dialogs;
    TForm* form = nullptr;
    TEdit* other = nullptr;
    TvxDBDateTimePicker* picker = nullptr;
    TButton* okButton = nullptr;
    Integer defaultPresses = 0;
};

// ---- the drop-down calendar

TEST_F(PickerInput, TheButtonDropsATopmostToolWindowBelowThePickerThatLeavesItTheFocus)
{
    picker->SetUnboundDataType(vxDTEdtDate);
    picker->SetDate(D(2026, 3, 5));
    std::vector<std::string> events;
    picker->OnDropDown = [&](TObject*) { events.push_back("drop"); };
    picker->OnCloseUp = [&](TObject*) { events.push_back("close"); };
    ShowForm();
    other->SetFocus();
    PumpMessages();
    MouseClick(picker, ButtonPoint());
    ASSERT_TRUE(picker->DroppedDown());
    EXPECT_TRUE(picker->Focused());
    EXPECT_EQ(GetFocus(), picker->Handle());
    // Entered through the button: the day is not selected, the caret not shown.
    EXPECT_EQ(picker->SelLength(), 0);
    const HWND window = Calendar()->Handle();
    EXPECT_EQ(GetAncestor(window, GA_PARENT), GetDesktopWindow());
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST),
              LONG(WS_EX_TOOLWINDOW | WS_EX_TOPMOST));
    EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & WS_BORDER);
    EXPECT_DOUBLE_EQ(Calendar()->Date(), D(2026, 3, 5));
    EXPECT_DOUBLE_EQ(Calendar()->MinDate(), D(1899, 12, 31));
    EXPECT_DOUBLE_EQ(Calendar()->MaxDate(), D(9999, 12, 31));

    RECT pickerRect, calendarRect, workArea;
    GetWindowRect(picker->Handle(), &pickerRect);
    GetWindowRect(window, &calendarRect);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    RECT minimum{};
    SendMessageA(window, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&minimum));
    const TPoint size = Point(calendarRect.right - calendarRect.left, calendarRect.bottom - calendarRect.top);
    EXPECT_EQ(size.x, minimum.right - minimum.left);
    EXPECT_EQ(size.y, minimum.bottom - minimum.top);
    const TPoint at = TvxDBCustomDateTimePicker::PlaceCalendar(vxdtaLeft, pickerRect, size, workArea.bottom,
                                                              GetSystemMetrics(SM_CXSCREEN), std::max(GetSystemMetrics(SM_CXVSCROLL), 15));
    EXPECT_EQ(calendarRect.left, at.x);
    EXPECT_EQ(calendarRect.top, at.y);
    EXPECT_EQ(at.y, pickerRect.bottom - 1);
    EXPECT_TRUE(SaveWindowToPng(GetDesktopWindow(), "vxdbdatetimepicker-dropped-down.png"));

    MouseClick(picker, ButtonPoint());
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(events, (std::vector<std::string>{"drop", "close"}));

    // Alt+Down and Alt+Up open and close it; either opens it.
    TypeKey(VK_DOWN, {ssAlt});
    EXPECT_TRUE(picker->DroppedDown());
    TypeKey(VK_UP, {ssAlt});
    EXPECT_FALSE(picker->DroppedDown());
    TypeKey(VK_UP, {ssAlt});
    EXPECT_TRUE(picker->DroppedDown());
    TypeKey(VK_DOWN, {ssAlt});
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_TRUE(picker->Focused());
}

TEST_F(PickerInput, AClickOnADayClosesAndTakesItTheTitleDayNamesAndWeekNumbersKeepItOpen)
{
    picker->SetUnboundDataType(vxDTEdtDateTime);
    picker->SetValue(DT(2026, 3, 5, 14, 30));
    picker->CalendarAttributes()->SetOptions({mdoDayState, mdoWeekNumbers});
    ShowForm();
    TypeKey(VK_DOWN, {ssAlt});
    ASSERT_TRUE(picker->DroppedDown());
    const struct {
        const char* Name;
        UINT Part;
    } keepOpen[] = {{"day names", MCHT_CALENDARDAY}, {"week numbers", MCHT_CALENDARWEEKNUM},
                    {"next month", MCHT_TITLEBTNNEXT}};
    for (const auto& c : keepOpen) {
        SCOPED_TRACE(c.Name);
        ClickOnCalendar(c.Part);
        EXPECT_TRUE(picker->DroppedDown());
    }
    ClickOnCalendar(MCHT_CALENDARDATE, D(2026, 4, 16));
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_DOUBLE_EQ(picker->Value(), DT(2026, 4, 16, 14, 30));
    EXPECT_EQ(picker->Text(), "4/16/2026 2:30:00 PM");
    EXPECT_TRUE(picker->Modified());
    EXPECT_TRUE(picker->Focused());
}

TEST_F(PickerInput, ARealClickOnAnotherWindowOfTheProgramClosesTheCalendarThroughTheHook)
{
    // A window of the program that the framework does not know: no cancel mode, no focus change reaches the picker.
    WNDCLASSA plain{};
    plain.lpfnWndProc = DefWindowProcA;
    plain.hInstance = GetModuleHandleA(nullptr);
    plain.hbrBackground = HBRUSH(GetStockObject(GRAY_BRUSH));
    plain.lpszClassName = "PickerTestPlainWindow";
    RegisterClassA(&plain);
    HWND outside = CreateWindowExA(0, plain.lpszClassName, "", WS_CHILD | WS_VISIBLE, 250, 150, 120, 80,
                                   form->Handle(), nullptr, plain.hInstance, nullptr);
    ASSERT_NE(outside, nullptr);
    picker->SetUnboundDataType(vxDTEdtDate);
    picker->SetDate(D(2026, 3, 5));
    ShowForm();
    for (Integer round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        TypeKey(VK_DOWN, {ssAlt});
        ASSERT_TRUE(picker->DroppedDown());
        // Keys go on to the calendar and the value follows it.
        TypeKey(VK_DOWN);
        EXPECT_DOUBLE_EQ(picker->Value(), D(2026, 3, 5) + 7 * round);
        MouseClick(form, Point(300, 180));
        EXPECT_FALSE(picker->DroppedDown());
        EXPECT_EQ(GetFocus(), picker->Handle());
        EXPECT_DOUBLE_EQ(picker->Value(), D(2026, 3, 5) + 7 * round);
    }
    DestroyWindow(outside);
}

TEST_F(PickerInput, EnterClosesTheCalendarWithoutTheDefaultButtonAndEscapeRestoresTheValue)
{
    picker->SetUnboundDataType(vxDTEdtDate);
    picker->SetDate(D(2026, 3, 5));
    ShowForm();
    TypeKey(VK_DOWN, {ssAlt});
    TypeKey(VK_DOWN);
    TypeKey(VK_RETURN);
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(defaultPresses, 0);
    EXPECT_EQ(picker->Text(), "3/12/2026");

    TypeKey(VK_DOWN, {ssAlt});
    TypeKey(VK_RIGHT);
    EXPECT_EQ(picker->Text(), "3/13/2026");
    // The Esc that closes the calendar goes back to the value it opened on, and no further.
    TypeKey(VK_ESCAPE);
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(picker->Text(), "3/12/2026");
    EXPECT_FALSE(picker->EscClosedCalendar());

    TypeKey(VK_RETURN);
    EXPECT_EQ(defaultPresses, 1);
}

TEST_F(PickerInput, AnEmptyPickerOpensOnTodayWithinItsLimitsAndEscapeEmptiesItAgain)
{
    const struct {
        const char* Name;
        TDateTime Min, Max;
        const char* Text;
    } cases[] = {{"no limits", 0, 0, "12/11/2026"},
                 {"minimum after today", D(2027, 1, 15), 0, "1/15/2027"},
                 {"maximum before today", 0, D(2026, 6, 30), "6/30/2026"}};
    ShowForm();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Present(vxDTEdtDate, "", 0, 1);
        picker->SetMinDate(c.Min);
        picker->SetMaxDate(c.Max);
        TypeKey(VK_DOWN, {ssAlt});
        ASSERT_TRUE(picker->DroppedDown());
        EXPECT_EQ(picker->Text(), c.Text);
        EXPECT_TRUE(picker->Modified());
        TypeKey(VK_ESCAPE);
        EXPECT_FALSE(picker->DroppedDown());
        EXPECT_EQ(picker->Text(), "");
        EXPECT_DOUBLE_EQ(picker->Value(), 0);
    }
    EXPECT_TRUE(dialogs.Shown.empty());
}

TEST_F(PickerInput, NearTheBottomOfTheWorkAreaTheCalendarOpensAboveAndRightAligned)
{
    RECT workArea;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    form->SetTop(workArea.bottom - 140);
    picker->CalendarAttributes()->SetAlignment(vxdtaRight);
    picker->SetDate(D(2026, 3, 5));
    ShowForm();
    TypeKey(VK_DOWN, {ssAlt});
    ASSERT_TRUE(picker->DroppedDown());
    RECT pickerRect, calendarRect;
    GetWindowRect(picker->Handle(), &pickerRect);
    GetWindowRect(Calendar()->Handle(), &calendarRect);
    EXPECT_EQ(calendarRect.bottom, pickerRect.top);
    EXPECT_EQ(calendarRect.right, pickerRect.right - std::max(GetSystemMetrics(SM_CXVSCROLL), 15));
    EXPECT_TRUE(SaveWindowToPng(GetDesktopWindow(), "vxdbdatetimepicker-dropped-up.png"));
}

TEST_F(PickerInput, LeavingTheControlClosesTheCalendarAndFreesIt)
{
    picker->SetUnboundDataType(vxDTEdtDate);
    picker->SetDate(D(2026, 3, 5));
    ShowForm();
    // A click on another control of the form closes it, taking its day.
    TypeKey(VK_DOWN, {ssAlt});
    TypeKey(VK_DOWN);
    MouseClick(other, Point(5, 5));
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(picker->PopupCalendar(), nullptr);
    EXPECT_EQ(picker->Text(), "3/12/2026");
    // Tab closes it too, and the focus moves on.
    picker->SetFocus();
    TypeKey(VK_DOWN, {ssAlt});
    TypeKey(VK_DOWN);
    TypeKey(VK_TAB);
    EXPECT_FALSE(picker->Focused());
    EXPECT_EQ(picker->PopupCalendar(), nullptr);
    EXPECT_EQ(picker->Text(), "3/19/2026");
}

TEST_F(PickerInput, AReadOnlyPickerDoesNotOpen)
{
    picker->SetDate(D(2026, 3, 5));
    picker->SetReadOnly(true);
    ShowForm();
    MouseClick(picker, ButtonPoint());
    EXPECT_FALSE(picker->DroppedDown());
    TypeKey(VK_DOWN, {ssAlt});
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(picker->PopupCalendar(), nullptr);
}

TEST_F(PickerInput, ACloseUpThatRaisesStillLetsTheNextDropDownClose)
{
    picker->SetDate(D(2026, 3, 5));
    ShowForm();
    picker->OnCloseUp = [](TObject*) { throw Exception("Close-up failed"); };
    picker->DropDown();
    EXPECT_THROW(picker->CloseUp(true), Exception);
    EXPECT_FALSE(picker->DroppedDown());
    picker->OnCloseUp = nullptr;
    picker->DropDown();
    ASSERT_TRUE(picker->DroppedDown());
    picker->CloseUp(false);
    EXPECT_FALSE(picker->DroppedDown());
}

TEST_F(PickerInput, TheButtonFramePressedWhileTheMouseIsDown)
{
    ShowForm();
    TCanvasRecorder recorder;
    picker->Button()->Canvas()->SetListener(&recorder);
    const auto lastFrame = [&] {
        for (auto it = recorder.Drawings.rbegin(); it != recorder.Drawings.rend(); ++it)
            if (it->Kind == "DrawFrameControl") return it->Flags;
        return UINT(0);
    };
    MousePress(picker, ButtonPoint());
    PumpMessages();
    EXPECT_EQ(lastFrame(), UINT(0x4205));
    MouseRelease(picker, ButtonPoint());
    picker->Button()->Repaint();
    PumpMessages();
    EXPECT_EQ(lastFrame(), UINT(5));
    picker->CloseUp(true);
    picker->SetEnabled(false);
    picker->Button()->Repaint();
    PumpMessages();
    EXPECT_EQ(lastFrame(), UINT(0x105));
    picker->Button()->Canvas()->SetListener(nullptr);
}

// ---- keys

struct TKey {
    Word Key;
    TShiftState Shift = {};
};

TEST_F(PickerInput, TheKeyTable)
{
    const TDateTime march5 = D(2026, 3, 5);
    const struct {
        const char* Name;
        TvxDTEditDataType Kind;
        TDateTime Min;
        TDateTime Value;
        Integer Section;
        std::vector<TKey> Keys;
        const char* Text;
        const char* Selected;
        TDateTime After;
    } cases[] = {
        {"a digit into an empty picker: today, then the month", vxDTEdtDate, 0, 0, 1, {{'7'}}, "7/11/2026", "11",
         D(2026, 7, 11)},
        {"an empty picker starts within its limits", vxDTEdtDate, D(2027, 1, 15), 0, 1, {{'3'}}, "3/15/2027", "15",
         D(2027, 3, 15)},
        {"Space in an empty picker: today", vxDTEdtDateTime, 0, 0, 1, {{VK_SPACE}}, "12/11/2026", "11", Today},
        {"Space moves on", vxDTEdtDate, 0, march5, 1, {{VK_SPACE}}, "3/5/2026", "5", march5},
        {"keypad +", vxDTEdtDate, 0, march5, 1, {{VK_ADD}}, "4/5/2026", "4", D(2026, 4, 5)},
        {"=", vxDTEdtDate, 0, march5, 2, {{VK_OEM_PLUS}}, "3/6/2026", "6", D(2026, 3, 6)},
        {"-", vxDTEdtDate, 0, march5, 3, {{VK_OEM_MINUS}}, "3/5/2025", "2025", D(2025, 3, 5)},
        {"keypad digits", vxDTEdtDate, 0, march5, 1, {{VK_NUMPAD1}, {VK_NUMPAD1}}, "11/5/2026", "5",
         D(2026, 11, 5)},
        {"a separator applies pending digits and moves on", vxDTEdtDate, 0, march5, 2, {{'1'}, {VK_DIVIDE}},
         "3/1/2026", "2026", D(2026, 3, 1)},
        {"a letter in a digit section", vxDTEdtDate, 0, march5, 1, {{'X'}}, "3/5/2026", "3", march5},
        {"Backspace in a section moves left", vxDTEdtDate, 0, march5, 2, {{VK_BACK}}, "3/5/2026", "3", march5},
        {"Backspace over the whole text clears", vxDTEdtDate, 0, march5, 0, {{VK_BACK}}, "", "", 0},
        {"Delete over the whole text clears", vxDTEdtDateTime, 0, march5, 0, {{VK_DELETE}}, "", "", 0},
        {"Delete in a date section clears a date", vxDTEdtDate, 0, march5, 2, {{VK_DELETE}}, "", "", 0},
        {"Delete in the hour removes the time", vxDTEdtDateTime, 0, DT(2026, 3, 5, 14, 30), 4, {{VK_DELETE}},
         "3/5/2026", "2026", march5},
        {"Delete with a typed digit removes it once", vxDTEdtDate, 0, march5, 2, {{'1'}, {VK_DELETE}}, "3//2026",
         "", march5},
        {"Right at midnight fills in the time", vxDTEdtDateTime, 0, march5, 3, {{VK_RIGHT}},
         "3/5/2026 9:00:00 AM", "9", DT(2026, 3, 5, 9, 0)},
        {"Shift+Right in section 1 selects all", vxDTEdtDate, 0, march5, 1, {{VK_RIGHT, {ssShift}}}, "3/5/2026",
         "3/5/2026", march5},
        {"End steps to the month's last day", vxDTEdtDate, 0, march5, 2, {{VK_END}}, "3/31/2026", "31",
         D(2026, 3, 31)},
    };
    ShowForm();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Present(c.Kind, "", c.Value, c.Section);
        picker->SetMinDate(c.Min);
        for (const TKey& key : c.Keys) TypeKey(key.Key, key.Shift);
        EXPECT_EQ(picker->Text(), c.Text);
        EXPECT_EQ(Selected(), c.Selected);
        EXPECT_DOUBLE_EQ(picker->Value(), c.After);
        EXPECT_TRUE(picker->Focused());
    }
    EXPECT_TRUE(dialogs.Shown.empty());
    // The digit is gone but the section still counts as typed: moving on applies what is left (no day: it stays).
    Present(vxDTEdtDate, "", march5, 2);
    TypeKey('1');
    TypeKey(VK_DELETE);
    EXPECT_TRUE(picker->DigitsPending());
    EXPECT_EQ(picker->SelStart(), 2);
    TypeKey(VK_RIGHT);
    EXPECT_EQ(picker->Text(), "3/5/2026");
    EXPECT_FALSE(picker->DigitsPending());
}

TEST_F(PickerInput, EscapeGoesBackToTheValueTheControlWasEnteredWith)
{
    picker->SetUnboundDataType(vxDTEdtDate);
    picker->SetDate(D(2026, 3, 5));
    ShowForm();
    other->SetFocus();
    TypeKey(VK_TAB);
    ASSERT_TRUE(picker->Focused());
    TypeKey(VK_UP);
    EXPECT_EQ(picker->Text(), "4/5/2026");
    TypeKey(VK_ESCAPE);
    EXPECT_EQ(picker->Text(), "3/5/2026");
    EXPECT_FALSE(picker->Modified());
    EXPECT_EQ(picker->SelLength(), 8);
}

// ---- mouse and clipboard

TEST_F(PickerInput, AClickSelectsTheSectionUnderThePointerAndADoubleClickTheWholeText)
{
    ShowForm();
    Present(vxDTEdtDate, "", D(2026, 12, 25), 1);
    TCanvas* canvas = picker->Button()->Glyph()->Canvas();
    canvas->Font()->Assign(picker->Font());
    const struct {
        const char* Name;
        Integer X;
        const char* Selected;
    } cases[] = {{"on the month", 3, "12"},
                 {"on the day", canvas->TextWidth("12/") + 3, "25"},
                 {"on the year", canvas->TextWidth("12/25/2") + 2, "2026"},
                 {"right of the text", canvas->TextWidth("12/25/2026") + 20, "2026"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        picker->SetCurrentSection(2);
        MouseClick(picker, Point(c.X, picker->ClientHeight() / 2));
        EXPECT_EQ(Selected(), c.Selected);
    }
    MouseDoubleClick(picker, Point(3, picker->ClientHeight() / 2));
    EXPECT_EQ(Selected(), "12/25/2026");
}

TEST_F(PickerInput, CutClearsTheValue)
{
    ShowForm();
    Present(vxDTEdtDate, "", D(2026, 3, 5), 0);
    SendMessageA(picker->Handle(), WM_CUT, 0, 0);
    EXPECT_EQ(ClipboardText(), "3/5/2026");
    EXPECT_EQ(picker->Text(), "");
    EXPECT_DOUBLE_EQ(picker->Value(), 0);
    EXPECT_TRUE(picker->Cleared());
    EXPECT_TRUE(picker->Modified());
    EXPECT_EQ(picker->CurrentSection(), 1);
}

TEST_F(PickerInput, PasteReadsTheTextByTheKindAndKeepsTheOldValueForAnythingElse)
{
    const struct {
        const char* Name;
        TvxDTEditDataType Kind;
        TDateTime Max;
        const char* Pasted;
        const char* Text;
        TDateTime Value;
        bool Modified;
    } cases[] = {
        {"a date", vxDTEdtDate, 0, "7/4/2026", "7/4/2026", D(2026, 7, 4), true},
        {"a date with a time into a date picker", vxDTEdtDate, 0, "7/4/2026 2:45 PM", "7/4/2026",
         DT(2026, 7, 4, 14, 45), true},
        {"a time", vxDTEdtTime, 0, "2:45 PM", "2:45 PM", EncodeTime(14, 45, 0, 0), true},
        {"a date and time", vxDTEdtDateTime, 0, "7/4/2026 2:45 PM", "7/4/2026 2:45:00 PM", DT(2026, 7, 4, 14, 45),
         true},
        {"no date", vxDTEdtDate, 0, "next week", "3/5/2026", D(2026, 3, 5), true},
        {"a date past the maximum", vxDTEdtDate, D(2026, 6, 30), "7/4/2026", "3/5/2026", D(2026, 3, 5), false},
    };
    ShowForm();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Present(c.Kind, "", c.Kind == vxDTEdtTime ? EncodeTime(9, 15, 0, 0) : D(2026, 3, 5), 1);
        picker->SetMaxDate(c.Max);
        PutOnClipboard(c.Pasted);
        TypeKey(VK_INSERT, {ssShift});
        EXPECT_EQ(picker->Text(), c.Text);
        EXPECT_DOUBLE_EQ(picker->Value(), c.Value);
        EXPECT_EQ(picker->Modified(), c.Modified);
    }
    EXPECT_TRUE(dialogs.Shown.empty());
    // Ctrl+V is swallowed with the other control characters.
    Present(vxDTEdtDate, "", D(2026, 3, 5), 1);
    PutOnClipboard("7/4/2026");
    TypeKey('V', {ssCtrl});
    EXPECT_EQ(picker->Text(), "3/5/2026");
}

// ---- bound to a required field

class RequiredPicker : public PickerInput {
protected:
    void SetUp() override
    {
        PickerInput::SetUp();
        data = new TMemDataSet(nullptr);
        data->FieldDefs()->Add("DT", ftDateTime);
        auto* field = CreateObject<TDateTimeField>(data);
        field->SetFieldName("DT");
        field->SetDataSet(data);
        field->SetRequired(true);
        data->Open();
        data->Append();
        field->SetAsDateTime(DT(2004, 3, 5, 14, 30));
        data->Post();
        source = new TDataSource(nullptr);
        source->SetDataSet(data);
        picker->SetDataSource(source);
        picker->SetDataField("DT");
    }
    void TearDown() override
    {
        picker->SetDataSource(nullptr);
        delete source;
        data->Free();
        PickerInput::TearDown();
    }
    TMemDataSet* data = nullptr;
    TDataSource* source = nullptr;
};

TEST_F(RequiredPicker, DeleteLeavesARequiredValueButMayRemoveItsTime)
{
    ShowForm();
    const struct {
        const char* Name;
        Integer Section;
        Word Key;
        const char* Text;
    } cases[] = {{"Delete over the whole text", 0, VK_DELETE, "3/5/2004 2:30:00 PM"},
                 {"Backspace over the whole text", 0, VK_BACK, "3/5/2004 2:30:00 PM"},
                 {"Delete in the day", 2, VK_DELETE, "3/5/2004 2:30:00 PM"},
                 {"Delete in the minute", 5, VK_DELETE, "3/5/2004"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        picker->SetCurrentSection(c.Section == 0 ? 1 : c.Section);
        picker->SelectSection();
        if (c.Section == 0) picker->SelectAll();
        TypeKey(c.Key);
        EXPECT_EQ(picker->Text(), c.Text);
    }
    TypeKey(VK_ESCAPE);
    EXPECT_EQ(picker->Text(), "3/5/2004 2:30:00 PM");
    EXPECT_FALSE(picker->Modified());
}

TEST_F(RequiredPicker, TheCalendarsDayGoesToTheFieldAndEscapeLeavesItAlone)
{
    ShowForm();
    TypeKey(VK_DOWN, {ssAlt});
    TypeKey(VK_DOWN);
    EXPECT_EQ(data->State(), dsEdit);
    TypeKey(VK_RETURN);
    EXPECT_EQ(picker->Text(), "3/12/2004 2:30:00 PM");
    EXPECT_TRUE(picker->Modified());
    data->Post();
    EXPECT_DOUBLE_EQ(data->FieldByName("DT")->AsDateTime(), DT(2004, 3, 12, 14, 30));

    TypeKey(VK_DOWN, {ssAlt});
    TypeKey(VK_DOWN);
    TypeKey(VK_ESCAPE);
    EXPECT_EQ(picker->Text(), "3/12/2004 2:30:00 PM");
    data->Post();
    EXPECT_DOUBLE_EQ(data->FieldByName("DT")->AsDateTime(), DT(2004, 3, 12, 14, 30));
}

// ---- in a cell of the data grid

class PickerInGrid : public PickerInput {
protected:
    void SetUp() override
    {
        PickerInput::SetUp();
        grid = new TvxDBGrid(form);
        grid->SetParent(form);
        grid->SetBounds(10, 100, 400, 150);
        grid->OnKeyDown = [this](TObject*, Word& key, TShiftState) { gridKeys.push_back(key); };
        cell = new TvxDBDateTimePicker(form);
        cell->SetParent(grid);
        cell->SetBounds(20, 20, 200, 22);
        cell->SetUnboundDataType(vxDTEdtDate);
        cell->SetDate(D(2026, 3, 5));
    }

    // The cell is the grid's only editor: the grid shows no editor of its own.
    void Focus(bool alwaysShowEditor, Integer section)
    {
        TvxDBGridOptions options = grid->Options();
        options.Exclude(dgEditing);
        if (alwaysShowEditor)
            options.Include(dgAlwaysShowEditor);
        else
            options.Exclude(dgAlwaysShowEditor);
        grid->SetOptions(options);
        cell->CommitTypedDigits();
        cell->SetDate(D(2026, 3, 5));
        cell->SetFocus();
        PumpMessages();
        cell->SetCurrentSection(section == 0 ? 1 : section);
        cell->SelectSection();
        if (section == 0) cell->SelectAll();
        cell->SetModified(false);
        gridKeys.clear();
    }

    TvxDBGrid* grid = nullptr;
    TvxDBDateTimePicker* cell = nullptr;
    std::vector<Word> gridKeys;
};

TEST_F(PickerInGrid, KeysThatLeaveTheCellGoToTheGrid)
{
    ShowForm();
    const struct {
        const char* Name;
        bool AlwaysShowEditor;
        Integer Section;
        TKey Key;
        bool ToGrid;
        const char* Selected;
    } cases[] = {
        {"Left at the start, editor always shown", true, 1, {VK_LEFT}, true, ""},
        {"Left at the start", false, 1, {VK_LEFT}, false, "3"},
        {"Left in a section, editor always shown", true, 2, {VK_LEFT}, false, "3"},
        {"Right at the end, editor always shown", true, 3, {VK_RIGHT}, true, ""},
        {"Right at the end", false, 3, {VK_RIGHT}, false, "2026"},
        {"Ctrl+Right, editor always shown", true, 1, {VK_RIGHT, {ssCtrl}}, true, ""},
        {"Home over the whole text, editor always shown", true, 0, {VK_HOME}, true, ""},
        {"Home in a section", true, 2, {VK_HOME}, false, "1"},
        {"Down over the whole text", false, 0, {VK_DOWN}, true, ""},
        {"Down in a section", false, 2, {VK_DOWN}, false, "4"},
        {"Ctrl+Up", false, 2, {VK_UP, {ssCtrl}}, true, ""},
        {"Page Down", false, 2, {VK_NEXT}, true, ""},
        {"Escape, not modified", false, 2, {VK_ESCAPE}, true, ""},
        {"Enter", false, 2, {VK_RETURN}, true, ""},
        {"Tab with the grid's tabs", false, 2, {VK_TAB}, true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Focus(c.AlwaysShowEditor, c.Section);
        TypeKey(c.Key.Key, c.Key.Shift);
        EXPECT_EQ(grid->Focused(), c.ToGrid);
        if (c.ToGrid) {
            // (Ctrl's own key-down reaches the grid's handler too.)
            ASSERT_FALSE(gridKeys.empty());
            EXPECT_EQ(gridKeys.back(), c.Key.Key);
        } else {
            EXPECT_TRUE(cell->Focused());
            EXPECT_EQ(cell->SelText(), c.Selected);
        }
    }
}

TEST_F(PickerInGrid, TheGridSeesTheCellsKeysAndF2CollapsesToTheFirstSection)
{
    ShowForm();
    Focus(false, 3);
    TypeKey('7');
    EXPECT_EQ(gridKeys, std::vector<Word>{'7'});
    EXPECT_TRUE(cell->Focused());
    Focus(false, 3);
    TypeKey(VK_F2);
    EXPECT_EQ(gridKeys, std::vector<Word>{VK_F2});
    EXPECT_EQ(cell->CurrentSection(), 1);
    EXPECT_EQ(cell->SelText(), "3");
    // The grid's handler may take F2 for itself.
    grid->OnKeyDown = [](TObject*, Word& key, TShiftState) { key = 0; };
    Focus(false, 3);
    TypeKey(VK_F2);
    EXPECT_EQ(cell->SelText(), "2026");
}

}  // namespace
