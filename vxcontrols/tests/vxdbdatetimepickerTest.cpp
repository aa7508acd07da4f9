// The date/time picker: sections of a display format, the value under its limits, section value entry (without a
// window), binding to a field of an in-memory dataset, focus, and its own painting on the drawing recorder.
#include <gtest/gtest.h>

#include "classes/Action.h"
#include "classes/ClassRegistry.h"
#include "classes/FormResource.h"
#include "classes/TypInfo.h"

#include <string>
#include <vector>

#include "db/DBErrors.h"
#include "db/DataSource.h"
#include "db/DateTimeFields.h"
#include "db/MemDataSet.h"
#include "rtl/Clock.h"
#include "rtl/DateFormat.h"
#include "rtl/DateTime.h"
#include "rtl/Exceptions.h"
#include "rtl/tests/UsSettings.h"
#include "vcl/Forms.h"
#include "vcl/TestHelpers.h"
#include "vxdata/Vxintl.h"
#include "vxcontrols/Vxdbgrid.h"
#include "vxcontrols/vxdbdatetimepicker.h"

namespace {

TDateTime D(Word y, Word m, Word d) { return EncodeDate(y, m, d); }
TDateTime DT(Word y, Word m, Word d, Word h, Word n) { return EncodeDate(y, m, d) + EncodeTime(h, n, 0, 0); }
TDateTime T(Word h, Word n) { return EncodeTime(h, n, 0, 0); }

bool SameRect(const TRect& a, const TRect& b) { return EqualRect(&a, &b) != 0; }
#define EXPECT_RECT(actual, expected) EXPECT_PRED2(SameRect, actual, expected)

// English names and formats; an unbound picker without a window.
class PickerLogic : public UsSettings {
protected:
    void SetUp() override
    {
        UsSettings::SetUp();
        static const char* const months[] = {"January", "February", "March",     "April",   "May",      "June",
                                             "July",    "August",   "September", "October", "November", "December"};
        static const char* const days[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday",
                                           "Saturday"};
        for (int m = 1; m <= 12; ++m) {
            LongMonthNames[m] = months[m - 1];
            ShortMonthNames[m] = std::string(months[m - 1]).substr(0, 3);
        }
        for (int d = 1; d <= 7; ++d) {
            LongDayNames[d] = days[d - 1];
            ShortDayNames[d] = std::string(days[d - 1]).substr(0, 3);
        }
        SetClock([] { return DT(2026, 12, 11, 9, 0); });
        picker = new TvxDBDateTimePicker(nullptr);
    }
    void TearDown() override
    {
        delete picker;
        ResetClock();
        UsSettings::TearDown();
    }

    // A new picker of the kind and format showing the value, its current section n.
    void Show(TvxDTEditDataType kind, const std::string& format, TDateTime value, Integer section = 1)
    {
        delete picker;
        picker = new TvxDBDateTimePicker(nullptr);
        picker->SetUnboundDataType(kind);
        picker->SetDisplayFormat(format);
        picker->SetValue(value);
        picker->SetCurrentSection(section);
        picker->SelectSection();
    }

    TvxDBDateTimePicker* picker = nullptr;
};

TEST_F(PickerLogic, SectionsGiveStartLengthAndTokenInTheText)
{
    const struct {
        TvxDTEditDataType Kind;
        const char* Format;
        TDateTime Value;
        Integer Section, Start, Length;
        const char* Token;
        const char* Through;
    } cases[] = {
        {vxDTEdtDate, "dd/mm/yyyy", D(2004, 3, 5), 1, 0, 2, "dd", "05"},
        {vxDTEdtDate, "dd/mm/yyyy", D(2004, 3, 5), 2, 3, 2, "mm", "05/03"},
        {vxDTEdtDate, "dd/mm/yyyy", D(2004, 3, 5), 3, 6, 4, "yyyy", "05/03/2004"},
        {vxDTEdtDate, "M/d/yyyy", D(2004, 11, 25), 2, 3, 2, "d", "11/25"},
        {vxDTEdtDate, "yyyy-M-d", D(2004, 3, 5), 3, 7, 1, "d", "2004-3-5"},
        {vxDTEdtDate, "dd.mm.yy", D(2004, 3, 5), 3, 6, 2, "yy", "05.03.04"},
        {vxDTEdtTime, "h:mm AMPM", T(0, 5), 1, 0, 2, "h", "12"},
        {vxDTEdtTime, "h:mm AMPM", T(0, 5), 2, 3, 2, "nn", "12:05"},
        {vxDTEdtTime, "h:mm AMPM", T(0, 5), 3, 6, 2, "AMPM", "12:05 AM"},
        {vxDTEdtTime, "h:mm AMPM", T(12, 0), 3, 6, 2, "AMPM", "12:00 PM"},
        {vxDTEdtTime, "h:mm AMPM", T(22, 30), 1, 0, 2, "h", "10"},
        {vxDTEdtTime, "hh:nn am/pm", T(14, 7), 3, 6, 2, "am/pm", "02:07 pm"},
        {vxDTEdtTime, "hh:nn a/p", T(9, 7), 3, 6, 1, "a/p", "09:07 a"},
        {vxDTEdtTime, "h:nn:ss", T(22, 30) + EncodeTime(0, 0, 15, 0), 3, 6, 2, "ss", "22:30:15"},
        {vxDTEdtDateTime, "HH:MM", DT(2004, 3, 5, 7, 9), 2, 3, 2, "mm", "07:03"},
        {vxDTEdtDate, "dddd, MMMM d, yyyy", D(2004, 3, 5), 1, 0, 6, "dddd", "Friday"},
        {vxDTEdtDate, "dddd, MMMM d, yyyy", D(2004, 3, 5), 2, 8, 5, "mmmm", "Friday, March"},
        {vxDTEdtDate, "dddd, MMMM d, yyyy", D(2004, 3, 5), 4, 17, 4, "yyyy", "Friday, March 5, 2004"},
        {vxDTEdtDate, "ddd d mmm yyyy", D(2004, 3, 5), 3, 6, 3, "mmm", "Fri 5 Mar"},
        // The standard format: its time tokens are sections of a date-time picker only.
        {vxDTEdtDateTime, "c", DT(2004, 3, 5, 14, 30), 5, 11, 2, "nn", "3/5/2004 2:30"},
        {vxDTEdtDateTime, "c", DT(2004, 3, 5, 14, 30), 7, 17, 2, "AMPM", "3/5/2004 2:30:00 PM"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Format) + " section " + std::to_string(c.Section));
        Show(c.Kind, c.Format, c.Value);
        Integer start = -1, length = -1;
        std::string token;
        EXPECT_EQ(picker->LocateSection(c.Section, c.Value, start, length, token), c.Through);
        EXPECT_EQ(start, c.Start);
        EXPECT_EQ(length, c.Length);
        EXPECT_EQ(token, c.Token);
        // The positions fit the text the edit shows (FormatDateTime reads M after H as minutes, the picker does not).
        if (std::string(c.Format) != "HH:MM") {
            EXPECT_EQ(picker->Text().substr(0, std::string(c.Through).size()), c.Through);
        }
    }
}

TEST_F(PickerLogic, SectionCountFollowsTheKind)
{
    const struct {
        TvxDTEditDataType Kind;
        const char* Format;
        Integer Count;
    } cases[] = {{vxDTEdtDate, "c", 3},           {vxDTEdtTime, "c", 4},           {vxDTEdtDateTime, "c", 7},
                 {vxDTEdtTime, "hh:nn am/pm", 3}, {vxDTEdtDate, "hh:nn am/pm", 0}, {vxDTEdtDateTime, "HH:MM", 2},
                 {vxDTEdtDate, "yyyy-M-d", 3},    {vxDTEdtDate, "ddddd", 3},       {vxDTEdtTime, "tt", 4}};
    for (const auto& c : cases) {
        picker->SetUnboundDataType(c.Kind);
        picker->SetDisplayFormat(c.Format);
        EXPECT_EQ(picker->SectionCount(), c.Count) << c.Format << " kind " << c.Kind;
    }
    Integer start = 0, length = 0;
    std::string token;
    picker->SetUnboundDataType(vxDTEdtDate);
    picker->SetDisplayFormat("dd/mm/yyyy");
    EXPECT_EQ(picker->LocateSection(4, D(2004, 3, 5), start, length, token), "");
}

TEST_F(PickerLogic, TheScannerReadsMinutesOnlyAfterALowerCaseH)
{
    const struct {
        const char* Format;
        Integer Pos;
        const char* Token;
        Integer End;
    } cases[] = {{"h:mm", 2, "nn", 3},      {"H:mm", 2, "mm", 3},    {"hh:m", 3, "n", 3},     {"h:mmm", 2, "mmm", 4},
                 {"h:MM", 2, "nn", 3},      {"HH:MM", 3, "mm", 4},   {"mm:ss", 0, "mm", 1},   {"DDdd", 0, "dddd", 3},
                 {"AM/PM x", 0, "AM/PM", 4}, {"a/P", 0, "a/P", 2},   {"AmPm", 0, "AmPm", 3},  {"ax", 0, "", 0},
                 {"yyyy", 1, "yyy", 3}};
    for (const auto& c : cases) {
        Integer pos = c.Pos;
        EXPECT_EQ(TvxDBCustomDateTimePicker::ScanFormatToken(c.Format[c.Pos], c.Format, pos), c.Token) << c.Format;
        EXPECT_EQ(pos, c.End) << c.Format;
    }
}

TEST_F(PickerLogic, DisplayFormatDefaultsAndShorthands)
{
    const struct {
        TvxDTEditDataType Kind;
        TDTDateFormat DateFormat;
        const char* Format;
        const char* Expanded;
    } cases[] = {
        {vxDTEdtDate, dfShort, "", "M/d/yyyy"},
        {vxDTEdtDate, dfLong, "", "dddd, MMMM d, yyyy"},
        {vxDTEdtTime, dfShort, "", "h:mm AMPM"},
        {vxDTEdtTime, dfLong, "", "h:mm:ss AMPM"},
        {vxDTEdtDateTime, dfShort, "", "M/d/yyyy h:mm:ss AMPM"},
        {vxDTEdtDateTime, dfLong, "", "dddd, MMMM d, yyyy h:mm:ss AMPM"},
        {vxDTEdtDate, dfShort, "ddddd|dddddd", "M/d/yyyy|dddd, MMMM d, yyyy"},
        {vxDTEdtTime, dfShort, "t|tt", "h:mm AMPM|h:mm:ss AMPM"},
        {vxDTEdtDateTime, dfShort, "C T", "C T"},
    };
    for (const auto& c : cases) {
        picker->SetUnboundDataType(c.Kind);
        picker->SetDateFormat(c.DateFormat);
        picker->SetDisplayFormat(c.Format);
        EXPECT_EQ(picker->GetExpandedFormat(), c.Expanded) << c.Format;
    }
    picker->SetDisplayFormat("");
    EXPECT_EQ(picker->GetDisplayFormat(false), "");
}

TEST_F(PickerLogic, TextForAValueAndTheEmptyText)
{
    Show(vxDTEdtDate, "", 0);
    EXPECT_EQ(picker->FormatValue(0), "");
    Show(vxDTEdtDateTime, "", D(2004, 3, 5));
    picker->SetDateFormat(dfLong);
    EXPECT_EQ(picker->Text(), "Friday, March 5, 2004");
    picker->SetValue(DT(2004, 3, 5, 14, 30));
    EXPECT_EQ(picker->Text(), "Friday, March 5, 2004 2:30:00 PM");

    TvxDBDateTimePicker timePicker(nullptr);
    timePicker.SetUnboundDataType(vxDTEdtTime);
    EXPECT_EQ(timePicker.FormatValue(0), "12:00 AM");
    EXPECT_TRUE(timePicker.Cleared());
    EXPECT_EQ(timePicker.DisplayTextFor(0), "");
    timePicker.SetValue(0);
    EXPECT_EQ(timePicker.DisplayTextFor(0), "12:00 AM");
}

TEST_F(PickerLogic, TheStandardFormatHidesMidnightAndItsLastSectionFollowsTheText)
{
    Show(vxDTEdtDateTime, "", D(2004, 3, 5));
    EXPECT_TRUE(picker->IsStandardFormat());
    EXPECT_EQ(picker->Text(), "3/5/2004");
    EXPECT_EQ(picker->LastSection(), 3);
    EXPECT_FALSE(picker->AllSectionsShown());
    picker->SetValue(DT(2004, 3, 5, 14, 30));
    EXPECT_EQ(picker->LastSection(), 7);
    EXPECT_TRUE(picker->AllSectionsShown());
    // A text longer than any section reaches ends the search at the last section.
    picker->SetText("3/5/2004 2:30:00 PM and more");
    EXPECT_EQ(picker->LastSection(), 7);

    picker->SetDisplayFormat("dd/mm/yyyy hh:nn");
    EXPECT_FALSE(picker->IsStandardFormat());
    picker->SetUnboundDataType(vxDTEdtDate);
    picker->SetDisplayFormat("c");
    EXPECT_FALSE(picker->IsStandardFormat());
}

TEST_F(PickerLogic, ThePublishedPickerIsRegisteredWithItsDefaults)
{
    ASSERT_EQ(GetClass("TvxDBDateTimePicker"), TvxDBDateTimePicker::StaticClass());
    for (const char* name : {"DataField", "DateFormat", "DataSource", "Date", "Epoch", "Time", "MaxDate", "MinDate",
                             "ReadOnly", "ShowButton", "UnboundDataType", "DisplayFormat", "Plenvia"})
        EXPECT_NE(GetPropInfo(picker, name), nullptr) << name;
    EXPECT_EQ(picker->DateFormat(), dfShort);
    EXPECT_EQ(picker->UnboundDataType(), vxDTEdtDateTime);
    EXPECT_TRUE(picker->ShowButton());
    EXPECT_TRUE(IsStoredProp(picker, GetPropInfo(picker, "ShowButton")));
    EXPECT_EQ(picker->Epoch(), vxIntl()->DefaultEpochYear());
    EXPECT_TRUE(IsStoredProp(picker, GetPropInfo(picker, "Epoch")));
    EXPECT_FALSE(picker->Plenvia());
    EXPECT_TRUE(picker->AutoAdvance());
    EXPECT_TRUE(picker->Cleared());
    EXPECT_EQ(picker->CurrentSection(), 1);
    EXPECT_TRUE(picker->ControlStyle().Contains(csReplicatable));
}

TEST_F(PickerLogic, CalendarAttributesArePublishedAndReadFromAFormFile)
{
    for (const char* name : {"CalendarAttributes", "OnCalcBoldDay", "OnCloseUp", "OnDropDown"})
        EXPECT_NE(GetPropInfo(picker, name), nullptr) << name;
    TvxCalendarOptions* options = picker->CalendarAttributes();
    EXPECT_EQ(options->Alignment(), vxdtaLeft);
    EXPECT_EQ(options->Options(), TvxMonthOptions{mdoDayState});
    EXPECT_EQ(options->FirstDayOfWeek(), vxdowLocaleDefault);
    EXPECT_EQ(options->Width(), 0);
    EXPECT_EQ(options->Height(), 0);

    std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
    ReadComponentText(form.get(),
                      "object PickerForm: TForm\n"
                      "  object Picker: TvxDBDateTimePicker\n"
                      "    CalendarAttributes.Alignment = vxdtaRight\n"
                      "    CalendarAttributes.Options = [mdoWeekNumbers]\n"
                      "    CalendarAttributes.FirstDayOfWeek = vxdowSunday\n"
                      "    CalendarAttributes.PopupYearOptions.StartYear = 2000\n"
                      "  end\n"
                      "end\n");
    auto* read = dynamic_cast<TvxDBDateTimePicker*>(form->FindComponent("Picker"));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->CalendarAttributes()->Alignment(), vxdtaRight);
    EXPECT_EQ(read->CalendarAttributes()->Options(), TvxMonthOptions{mdoWeekNumbers});
    EXPECT_EQ(read->CalendarAttributes()->PopupYearOptions()->StartYear, 2000);
    EXPECT_NE(WriteComponentText(form.get()).find("CalendarAttributes.Alignment = vxdtaRight"), std::string::npos);
    // Only a picker owns a drop-down calendar.
    EXPECT_THROW(TvxPopupCalendar calendar(form.get()), EInvalidCast);
}

TEST_F(PickerLogic, TheWeekStartsOnTheCalendarsFirstDay)
{
    const struct {
        TvxCalDayOfWeek Day;
        Integer First, Last;
    } cases[] = {{vxdowMonday, 2, 1}, {vxdowSaturday, 7, 6}, {vxdowSunday, 1, 7}};
    for (const auto& c : cases) {
        picker->CalendarAttributes()->SetFirstDayOfWeek(c.Day);
        Integer first = 0, last = 0;
        picker->GetWeekBounds(first, last);
        EXPECT_EQ(first, c.First) << c.Day;
        EXPECT_EQ(last, c.Last) << c.Day;
    }
    // Home in a day-name section goes back to the week's first day.
    picker->CalendarAttributes()->SetFirstDayOfWeek(vxdowMonday);
    picker->SetUnboundDataType(vxDTEdtDate);
    picker->SetDisplayFormat("ddd d/m/yyyy");
    picker->SetValue(D(2004, 3, 10));
    picker->StepKey(VK_HOME);
    EXPECT_DOUBLE_EQ(picker->Value(), D(2004, 3, 8));
}

// ---- value and limits

TEST_F(PickerLogic, ValueLimitsKeepPartsAndRaiseExactTexts)
{
    enum TOp { opValue, opDate, opTime, opMax, opMin };
    const struct {
        const char* Name;
        TDateTime Min, Max, Start;
        TOp Op;
        TDateTime Arg;
        const char* Error;
        TDateTime After;
    } cases[] = {
        {"value on the last day", 0, D(2004, 12, 31), D(2004, 6, 1), opValue, DT(2004, 12, 31, 14, 0), "",
         DT(2004, 12, 31, 14, 0)},
        {"value past the maximum", 0, D(2004, 12, 31), D(2004, 6, 1), opValue, D(2005, 1, 1),
         "Date exceeds maximum of 12/31/2004", D(2004, 6, 1)},
        {"value below the minimum", D(2004, 1, 1), 0, D(2004, 6, 1), opValue, DT(2003, 12, 31, 23, 0),
         "Date is less than minimum of 1/1/2004", D(2004, 6, 1)},
        {"date keeps the time", 0, 0, DT(2004, 6, 1, 10, 15), opDate, D(2004, 7, 4), "", DT(2004, 7, 4, 10, 15)},
        {"date with time past the maximum", 0, D(2004, 12, 31), DT(2004, 6, 1, 10, 0), opDate, D(2004, 12, 31),
         "Date exceeds maximum of 12/31/2004", DT(2004, 6, 1, 10, 0)},
        {"date below the minimum", D(2004, 1, 1), 0, DT(2004, 6, 1, 10, 0), opDate, D(2003, 5, 5),
         "Date is less than minimum of 1/1/2004", DT(2004, 6, 1, 10, 0)},
        {"time keeps the date", 0, 0, DT(2004, 6, 1, 10, 15), opTime, T(18, 45), "", DT(2004, 6, 1, 18, 45)},
        {"date 0 empties", 0, 0, DT(2004, 6, 1, 10, 15), opDate, 0, "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TvxDBDateTimePicker p(nullptr);
        p.SetValue(c.Start);
        p.SetMinDate(c.Min);
        p.SetMaxDate(c.Max);
        const std::string textBefore = p.Text();
        std::string error;
        try {
            switch (c.Op) {
            case opValue: p.SetValue(c.Arg); break;
            case opDate: p.SetDate(c.Arg); break;
            case opTime: p.SetTime(c.Arg); break;
            default: break;
            }
        } catch (const EDateTimeError& e) {
            error = e.Message();
        }
        EXPECT_EQ(error, c.Error);
        EXPECT_DOUBLE_EQ(p.Value(), c.After);
        EXPECT_EQ(p.Text(), c.After == 0 ? "" : (error.empty() ? p.FormatValue(c.After) : textBefore));
    }
}

TEST_F(PickerLogic, LimitsRefuseACrossedPairAndZeroMeansNoLimit)
{
    picker->SetMinDate(D(2004, 1, 1));
    picker->SetMaxDate(D(2004, 12, 31));
    try {
        picker->SetMaxDate(D(2003, 12, 31));
        ADD_FAILURE();
    } catch (const EDateTimeError& e) {
        EXPECT_EQ(e.Message(), "Date is less than minimum of 1/1/2004");
    }
    try {
        picker->SetMinDate(D(2005, 1, 1));
        ADD_FAILURE();
    } catch (const EDateTimeError& e) {
        EXPECT_EQ(e.Message(), "Date exceeds maximum of 12/31/2004");
    }
    EXPECT_DOUBLE_EQ(picker->MaxDate(), D(2004, 12, 31));
    picker->SetMaxDate(0);
    EXPECT_DOUBLE_EQ(picker->EffectiveMaxDate(), D(9999, 12, 31));
    picker->SetMaxDate(D(2004, 12, 31));
    picker->SetMinDate(0);
    EXPECT_DOUBLE_EQ(picker->EffectiveMinDate(), D(1899, 12, 31));
}

// ---- section value entry

TEST_F(PickerLogic, DigitsFillASectionAndMoveOnOrAreRefused)
{
    const struct {
        TvxDTEditDataType Kind;
        const char* Format;
        TDateTime Value;
        Integer Section;
        const char* Digits;
        const char* Accepted;  // one letter per digit: y accepted, n refused
        const char* Text;
        TDateTime After;
        Integer SectionAfter;
        bool Pending;
    } cases[] = {
        {vxDTEdtDate, "dd/mm/yyyy", D(2004, 3, 5), 1, "3", "y", "3/03/2004", D(2004, 3, 5), 1, true},
        {vxDTEdtDate, "dd/mm/yyyy", D(2004, 3, 5), 1, "4", "y", "04/03/2004", D(2004, 3, 4), 2, false},
        {vxDTEdtDate, "dd/mm/yyyy", D(2004, 2, 5), 1, "3", "y", "03/02/2004", D(2004, 2, 3), 2, false},
        {vxDTEdtDate, "dd/mm/yyyy", D(2004, 3, 5), 1, "31", "yy", "31/03/2004", D(2004, 3, 31), 2, false},
        {vxDTEdtDate, "dd/mm/yyyy", D(2004, 4, 5), 1, "31", "yn", "3/04/2004", D(2004, 4, 5), 1, true},
        {vxDTEdtDate, "dd/mm/yyyy", D(2004, 3, 5), 2, "05", "yy", "05/05/2004", D(2004, 5, 5), 3, false},
        {vxDTEdtDate, "dd/mm/yyyy", D(2004, 3, 5), 2, "13", "yn", "05/1/2004", D(2004, 3, 5), 2, true},
        {vxDTEdtDate, "dd/mm/yyyy", D(2004, 3, 5), 2, "00", "yy", "05/03/2004", D(2004, 3, 5), 3, false},
        {vxDTEdtDate, "dd/mm/yyyy", D(2004, 3, 5), 3, "2004", "yyyy", "05/03/2004", D(2004, 3, 5), 3, false},
        {vxDTEdtDate, "dd/mm/yyyy", D(2004, 3, 5), 3, "1987", "yyyy", "05/03/1987", D(1987, 3, 5), 3, false},
        {vxDTEdtDate, "dd/mm/yy", D(2004, 3, 5), 3, "49", "yy", "05/03/49", D(2049, 3, 5), 3, false},
        {vxDTEdtDate, "dd/mm/yy", D(2004, 3, 5), 3, "50", "yy", "05/03/50", D(1950, 3, 5), 3, false},
        {vxDTEdtTime, "hh:nn AMPM", T(0, 5), 1, "1", "y", "1:05 AM", T(1, 5), 1, true},
        {vxDTEdtTime, "hh:nn AMPM", T(0, 5), 1, "2", "y", "02:05 AM", T(2, 5), 2, false},
        {vxDTEdtTime, "hh:nn AMPM", T(0, 5), 1, "13", "yn", "1:05 AM", T(1, 5), 1, true},
        {vxDTEdtTime, "hh:nn", T(0, 5), 1, "24", "yn", "2:05", T(2, 5), 1, true},
        {vxDTEdtTime, "hh:nn", T(0, 5), 1, "23", "yy", "23:05", T(23, 5), 2, false},
        {vxDTEdtTime, "hh:nn", T(0, 5), 2, "7", "y", "00:07", T(0, 7), 2, false},
        {vxDTEdtDate, "ddd dd/mm/yyyy", D(2004, 3, 5), 1, "1", "n", "Fri 05/03/2004", D(2004, 3, 5), 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Format) + " typing " + c.Digits);
        Show(c.Kind, c.Format, c.Value, c.Section);
        std::string accepted;
        for (const char* d = c.Digits; *d; ++d) accepted += picker->TypeDigit(*d - '0') ? 'y' : 'n';
        EXPECT_EQ(accepted, c.Accepted);
        EXPECT_EQ(picker->Text(), c.Text);
        EXPECT_DOUBLE_EQ(picker->Value(), c.After);
        EXPECT_EQ(picker->CurrentSection(), c.SectionAfter);
        EXPECT_EQ(picker->DigitsPending(), c.Pending);
    }
}

TEST_F(PickerLogic, AYearDigitIsRefusedWhenItsWholeDecadeLiesBeforeTheMinimum)
{
    Show(vxDTEdtDate, "dd/mm/yy", D(2016, 3, 5), 3);
    picker->SetMinDate(D(2015, 6, 1));
    EXPECT_FALSE(picker->TypeDigit(0));
    EXPECT_TRUE(picker->TypeDigit(1));
    EXPECT_TRUE(picker->TypeDigit(8));
    EXPECT_DOUBLE_EQ(picker->Value(), D(2018, 3, 5));
}

TEST_F(PickerLogic, ATypedYearOverLeapDayKeepsTheLastDayOfFebruary)
{
    Show(vxDTEdtDate, "dd/mm/yyyy", D(2004, 2, 29), 3);
    for (int digit : {2, 0, 0, 5}) EXPECT_TRUE(picker->TypeDigit(digit));
    EXPECT_DOUBLE_EQ(picker->Value(), D(2005, 2, 28));
    Show(vxDTEdtDate, "dd/mm/yy", D(2004, 2, 29), 3);
    EXPECT_TRUE(picker->TypeDigit(0));
    EXPECT_TRUE(picker->TypeDigit(7));
    EXPECT_DOUBLE_EQ(picker->Value(), D(2007, 2, 28));
}

TEST_F(PickerLogic, CommittingPendingDigits)
{
    const struct {
        const char* Format;
        Integer Section;
        const char* Digits;
        TDateTime After;
    } cases[] = {
        {"dd/mm/yyyy", 3, "0", D(2000, 3, 5)},    {"dd/mm/yyyy", 3, "7", D(2007, 3, 5)},
        {"dd/mm/yyyy", 3, "99", D(1999, 3, 5)},   {"dd/mm/yyyy", 3, "199", D(2004, 3, 5)},
        {"dd/mm/yyyy", 3, "000", D(2004, 3, 5)},  {"dd/mm/yyyy", 3, "1987", D(1987, 3, 5)},
        {"dd/mm/yyyy", 1, "2", D(2004, 3, 2)},    {"dd/mm/yyyy", 1, "0", D(2004, 3, 5)},
        {"dd/mm/yy", 3, "3", D(2003, 3, 5)},      {"dd/mm/yyyy", 2, "1", D(2004, 1, 5)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Format) + " typing " + c.Digits);
        Show(vxDTEdtDate, c.Format, D(2004, 3, 5), c.Section);
        for (const char* d = c.Digits; *d; ++d) picker->TypeDigit(*d - '0');
        picker->CommitTypedDigits();
        EXPECT_FALSE(picker->DigitsPending());
        EXPECT_DOUBLE_EQ(picker->Value(), c.After);
        EXPECT_EQ(picker->Text(), picker->FormatValue(c.After));
        EXPECT_TRUE(picker->Modified());
    }
    // Reading the date commits too.
    Show(vxDTEdtDate, "dd/mm/yyyy", D(2004, 3, 5), 1);
    picker->TypeDigit(1);
    EXPECT_DOUBLE_EQ(picker->Date(), D(2004, 3, 1));
}

TEST_F(PickerLogic, UpAndDownStepAndWrapWithinTheLimits)
{
    const struct {
        const char* Format;
        TvxDTEditDataType Kind;
        TDateTime Value, Min, Max;
        Integer Section;
        Word Key;
        TDateTime After;
    } cases[] = {
        {"dd/mm/yyyy", vxDTEdtDate, D(2004, 3, 31), 0, 0, 1, VK_UP, D(2004, 3, 1)},
        {"dd/mm/yyyy", vxDTEdtDate, D(2004, 3, 1), 0, 0, 1, VK_DOWN, D(2004, 3, 29)},
        {"dd/mm/yyyy", vxDTEdtDate, D(2005, 3, 1), 0, 0, 1, VK_DOWN, D(2005, 3, 28)},
        {"dd/mm/yyyy", vxDTEdtDate, D(2004, 12, 9), 0, 0, 2, VK_UP, D(2004, 1, 9)},
        {"dd/mm/yyyy", vxDTEdtDate, D(2004, 1, 31), 0, 0, 2, VK_DOWN, D(2004, 12, 31)},
        {"dd/mm/yyyy", vxDTEdtDate, D(2004, 2, 29), 0, 0, 3, VK_UP, D(2005, 2, 28)},
        {"dd/mm/yyyy", vxDTEdtDate, D(2004, 6, 30), 0, D(2004, 6, 30), 1, VK_UP, D(2004, 6, 30)},
        {"dd/mm/yyyy", vxDTEdtDate, D(2004, 6, 10), D(2004, 6, 10), 0, 1, VK_DOWN, D(2004, 6, 10)},
        {"dd/mm/yyyy", vxDTEdtDate, D(2004, 6, 10), 0, D(2004, 8, 1), 2, VK_UP, D(2004, 7, 10)},
        {"dd/mm/yyyy", vxDTEdtDate, D(2004, 6, 10), 0, D(2004, 7, 1), 2, VK_UP, D(2004, 7, 1)},
        {"dd/mm/yyyy", vxDTEdtDate, 0, 0, 0, 3, VK_UP, D(2027, 12, 11)},
        {"ddd dd/mm/yyyy", vxDTEdtDate, D(2004, 3, 10), D(2004, 3, 10), 0, 1, VK_DOWN, D(2004, 3, 10)},
        {"hh:nn:ss", vxDTEdtTime, T(23, 0), 0, 0, 1, VK_UP, T(0, 0)},
        {"hh:nn:ss", vxDTEdtTime, T(0, 0), 0, 0, 1, VK_DOWN, T(23, 0)},
        {"hh:nn:ss", vxDTEdtTime, T(5, 0), 0, 0, 2, VK_DOWN, T(5, 59)},
        {"hh:nn:ss", vxDTEdtTime, T(5, 0) + EncodeTime(0, 0, 59, 0), 0, 0, 3, VK_UP, T(5, 0)},
        {"hh:nn am/pm", vxDTEdtTime, T(12, 30), 0, 0, 3, VK_UP, T(0, 30)},
        {"hh:nn am/pm", vxDTEdtTime, T(9, 30), 0, 0, 3, VK_DOWN, T(21, 30)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Format) + " section " + std::to_string(c.Section) + " from " +
                     DateTimeToStr(c.Value));
        Show(c.Kind, c.Format, c.Value, c.Section);
        picker->SetMinDate(c.Min);
        picker->SetMaxDate(c.Max);
        picker->StepKey(c.Key);
        EXPECT_DOUBLE_EQ(picker->Value(), c.After);
    }
}

TEST_F(PickerLogic, HomeAndEndReachTheLimitsAndTheWeekBounds)
{
    Integer first = 0, last = 0;
    picker->GetWeekBounds(first, last);
    char locale[4] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK, locale, sizeof locale);
    EXPECT_EQ(first, locale[0] == '6' ? 1 : locale[0] - '0' + 2);
    EXPECT_EQ(last, first == 1 ? 7 : first - 1);
    // The week around Wednesday 10 March 2004 (day 4), searched day by day.
    const TDateTime wednesday = D(2004, 3, 10);
    TDateTime weekStart = wednesday, weekEnd = wednesday;
    while (DayOfWeek(weekStart) != first) weekStart -= 1;
    while (DayOfWeek(weekEnd) != last) weekEnd += 1;

    const struct {
        const char* Format;
        TDateTime Value, Min, Max;
        Integer Section;
        Word Key;
        TDateTime After;
    } cases[] = {
        {"dddd dd/mm/yyyy", wednesday, 0, 0, 1, VK_HOME, weekStart},
        {"dddd dd/mm/yyyy", wednesday, 0, 0, 1, VK_END, weekEnd},
        {"dddd dd/mm/yyyy", wednesday, wednesday - 1, 0, 1, VK_HOME, std::max(weekStart, wednesday - 1)},
        {"dd/mm/yyyy", D(2004, 3, 20), D(2004, 3, 15), 0, 1, VK_HOME, D(2004, 3, 15)},
        {"dd/mm/yyyy", D(2004, 4, 20), D(2004, 3, 15), 0, 1, VK_HOME, D(2004, 4, 1)},
        {"dd/mm/yyyy", D(2004, 2, 10), 0, 0, 1, VK_END, D(2004, 2, 29)},
        {"dd/mm/yyyy", D(2004, 2, 10), 0, D(2004, 2, 20), 1, VK_END, D(2004, 2, 20)},
        {"dd/mm/yyyy", D(2004, 6, 10), D(2004, 3, 15), 0, 2, VK_HOME, D(2004, 4, 10)},
        {"dd/mm/yyyy", D(2005, 6, 10), D(2004, 3, 15), 0, 2, VK_HOME, D(2005, 1, 10)},
        {"dd/mm/yyyy", D(2004, 6, 10), 0, D(2004, 9, 5), 2, VK_END, D(2004, 8, 10)},
        {"dd/mm/yyyy", D(2004, 6, 10), 0, 0, 2, VK_END, D(2004, 12, 10)},
        {"dd/mm/yyyy", D(2004, 3, 20), D(2000, 6, 15), 0, 3, VK_HOME, D(2001, 3, 20)},
        {"dd/mm/yyyy", D(2004, 3, 20), 0, D(2010, 2, 10), 3, VK_END, D(2009, 3, 20)},
        {"dd/mm/yyyy", D(2004, 3, 20), 0, 0, 3, VK_HOME, D(1900, 3, 20)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Format) + " section " + std::to_string(c.Section) + " from " + DateToStr(c.Value));
        Show(vxDTEdtDate, c.Format, c.Value, c.Section);
        picker->SetMinDate(c.Min);
        picker->SetMaxDate(c.Max);
        picker->StepKey(c.Key);
        EXPECT_DOUBLE_EQ(picker->Value(), c.After);
    }
    Show(vxDTEdtTime, "hh:nn:ss am/pm", T(9, 30), 2);
    picker->StepKey(VK_END);
    EXPECT_DOUBLE_EQ(picker->Value(), T(9, 59));
    picker->SetCurrentSection(1);
    picker->StepKey(VK_HOME);
    EXPECT_DOUBLE_EQ(picker->Value(), T(0, 59));
    picker->SetCurrentSection(4);
    picker->StepKey(VK_END);
    EXPECT_DOUBLE_EQ(picker->Value(), T(12, 59));
}

TEST_F(PickerLogic, LettersPickMonthsDaysAndHalfDays)
{
    const struct {
        TvxDTEditDataType Kind;
        const char* Format;
        TDateTime Value;
        Integer Section;
        const char* Letters;
        TDateTime After;
    } cases[] = {
        {vxDTEdtDate, "dd mmm yyyy", D(2004, 3, 31), 2, "J", D(2004, 6, 30)},
        {vxDTEdtDate, "dd mmm yyyy", D(2004, 3, 10), 2, "JJJ", D(2004, 1, 10)},
        {vxDTEdtDate, "dd mmmm yyyy", D(2004, 3, 10), 2, "A", D(2004, 4, 10)},
        {vxDTEdtDate, "dd mmmm yyyy", D(2004, 3, 10), 2, "Z", D(2004, 3, 10)},
        {vxDTEdtDate, "ddd dd/mm/yyyy", D(2004, 3, 10), 1, "F", D(2004, 3, 12)},
        {vxDTEdtTime, "hh:nn am/pm", T(12, 30), 3, "A", T(0, 30)},
        {vxDTEdtTime, "hh:nn am/pm", T(12, 30), 3, "P", T(12, 30)},
        {vxDTEdtTime, "hh:nn a/p", T(9, 0), 3, "P", T(21, 0)},
        {vxDTEdtTime, "hh:nn AMPM", T(9, 0), 3, "P", T(21, 0)},
        {vxDTEdtTime, "hh:nn AMPM", T(21, 0), 3, "A", T(9, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Format) + " letters " + c.Letters);
        Show(c.Kind, c.Format, c.Value, c.Section);
        for (const char* l = c.Letters; *l; ++l) EXPECT_TRUE(picker->TypeLetter(Word(*l)));
        EXPECT_DOUBLE_EQ(picker->Value(), c.After);
    }
    Show(vxDTEdtDate, "dd/mm/yyyy", D(2004, 3, 10), 1);
    EXPECT_FALSE(picker->TypeLetter('J'));
}

TEST_F(PickerLogic, AComposedValueOutsideTheLimitsLeavesTheValue)
{
    Show(vxDTEdtDate, "dd/mm/yyyy", D(2004, 3, 5), 2);
    picker->SetMaxDate(D(2004, 4, 30));
    EXPECT_TRUE(picker->TypeDigit(0));
    EXPECT_TRUE(picker->TypeDigit(7));
    EXPECT_DOUBLE_EQ(picker->Value(), D(2004, 3, 5));
    EXPECT_EQ(picker->Text(), "05/03/2004");
    TvxDateTimeParts parts;
    parts.Year = 2004;
    parts.Month = 4;
    parts.Day = 31;
    picker->ComposeValue(parts);
    EXPECT_DOUBLE_EQ(picker->Value(), D(2004, 4, 30));
}

// ---- bound to a field, on a form

// A grid derived from the library's: its pickers are grid cells too.
class TDerivedGrid : public TvxDBGrid {
    DUN_CLASS(TDerivedGrid, TvxDBGrid)
public:
    using TvxDBGrid::TvxDBGrid;
};

// One record (date-time 5 March 2004 14:30, date, time, a calculated date-time) shown on a form.
class BoundPicker : public PickerLogic {
protected:
    void SetUp() override
    {
        PickerLogic::SetUp();
        data = new TMemDataSet(nullptr);
        data->FieldDefs()->Add("DT", ftDateTime);
        data->FieldDefs()->Add("D", ftDate);
        data->FieldDefs()->Add("T", ftTime);
        AddField<TDateTimeField>("DT", fkData);
        AddField<TDateField>("D", fkData);
        AddField<TTimeField>("T", fkData);
        AddField<TDateTimeField>("Calc", fkCalculated);
        data->Open();
        data->Append();
        Field("DT")->SetAsDateTime(DT(2004, 3, 5, 14, 30));
        Field("D")->SetAsDateTime(D(2004, 3, 6));
        Field("T")->SetAsDateTime(T(9, 15));
        data->Post();
        source = new TDataSource(nullptr);
        source->SetDataSet(data);

        form = CreateObject<TForm>(nullptr);
        form->SetBounds(40, 40, 360, 220);
        form->SetCaption("Pickers");
        other = new TEdit(form);
        other->SetParent(form);
        other->SetBounds(10, 10, 160, 22);
        bound = Add(form, "DT", 40);
    }
    void TearDown() override
    {
        delete form;
        PumpMessages(20);
        delete source;
        data->Free();
        PickerLogic::TearDown();
    }

    template <class F>
    void AddField(const char* name, TFieldKind kind)
    {
        auto* field = CreateObject<F>(data);
        field->SetFieldName(name);
        field->SetFieldKind(kind);
        field->SetDataSet(data);
    }
    TField* Field(const char* name) { return data->FieldByName(name); }

    TvxDBDateTimePicker* Add(TWinControl* parent, const char* field, Integer top)
    {
        auto* p = new TvxDBDateTimePicker(form);
        p->SetParent(parent);
        p->SetBounds(10, top, 200, 22);
        p->SetDataSource(source);
        p->SetDataField(field);
        return p;
    }

    void ShowForm(TWinControl* focus)
    {
        form->Show();
        ActivateForm(form);
        focus->SetFocus();
        PumpMessages();
    }

    // What the picker paints on its own, recorded.
    std::vector<TCanvasDrawing> Paint(TvxDBDateTimePicker* p)
    {
        TCanvasRecorder recorder;
        p->Canvas()->SetListener(&recorder);
        HDC dc = GetDC(p->Handle());
        p->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc));
        ReleaseDC(p->Handle(), dc);
        p->Canvas()->SetListener(nullptr);
        return recorder.Drawings;
    }

    TScriptedDialogs dialogs;
    TMemDataSet* data = nullptr;
    TDataSource* source = nullptr;
    TForm* form = nullptr;
    TEdit* other = nullptr;
    TvxDBDateTimePicker* bound = nullptr;
};

TEST_F(BoundPicker, ShowsTheFieldAndEmptyForNull)
{
    EXPECT_EQ(bound->Text(), "3/5/2004 2:30:00 PM");
    EXPECT_DOUBLE_EQ(bound->Value(), DT(2004, 3, 5, 14, 30));
    data->Edit();
    Field("DT")->Clear();
    EXPECT_EQ(bound->Text(), "");
    EXPECT_DOUBLE_EQ(bound->Value(), 0);
    data->Cancel();
    bound->SetUnboundDataType(vxDTEdtTime);
    bound->SetDataField("");
    EXPECT_EQ(bound->UnboundDataType(), vxDTEdtDateTime);
}

TEST_F(BoundPicker, UpdateWritesTheValueMergedWithTheFieldOrNull)
{
    const struct {
        const char* Name;
        const char* Format;
        TDateTime Value;
        bool Cleared;
        bool Null;
        TDateTime Stored;
    } cases[] = {
        {"whole value", "", DT(2004, 4, 1, 8, 0), false, false, DT(2004, 4, 1, 8, 0)},
        {"date only keeps the time", "dd/mm/yyyy", D(2004, 4, 1), false, false, DT(2004, 4, 1, 14, 30)},
        {"time only keeps the date", "hh:nn", T(8, 45), false, false, DT(2004, 3, 5, 8, 45)},
        {"cleared", "", 0, true, true, 0},
        {"cleared date only", "dd/mm/yyyy", 0, true, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        bound->SetDisplayFormat(c.Format);
        ASSERT_TRUE(bound->EditCanModify());
        bound->SetValue(c.Value);
        bound->SetCleared(c.Cleared);
        bound->SetModifiedState(true);
        data->Post();
        EXPECT_EQ(Field("DT")->IsNull(), c.Null);
        if (!c.Null) {
            EXPECT_DOUBLE_EQ(Field("DT")->AsDateTime(), c.Stored);
        }
        data->Edit();
        Field("DT")->SetAsDateTime(DT(2004, 3, 5, 14, 30));
        data->Post();
    }
}

TEST_F(BoundPicker, CanModifyFollowsReadOnlyFlagsAutoEditAndCalculatedFields)
{
    const struct {
        const char* Name;
        const char* Field;
        bool PickerReadOnly, FieldReadOnly, AutoEdit, Editing;
        bool CanModify, CanEditData;
    } cases[] = {
        {"browsing", "DT", false, false, true, false, true, false},
        {"editing", "DT", false, false, true, true, true, true},
        {"read-only picker", "DT", true, false, true, true, false, true},
        {"read-only field", "DT", false, true, true, false, false, false},
        {"no auto edit, browsing", "DT", false, false, false, false, false, false},
        {"no auto edit, editing", "DT", false, false, false, true, true, true},
        {"calculated, browsing", "Calc", false, false, true, false, true, true},
        {"calculated, read-only picker", "Calc", true, false, true, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        bound->SetDataField(c.Field);
        bound->SetReadOnly(c.PickerReadOnly);
        Field(c.Field)->SetReadOnly(c.FieldReadOnly);
        source->SetAutoEdit(c.AutoEdit);
        if (c.Editing) data->Edit();
        EXPECT_EQ(bound->CanModify(), c.CanModify);
        EXPECT_EQ(bound->CanEditData(), c.CanEditData);
        if (c.Editing) data->Cancel();
        Field(c.Field)->SetReadOnly(false);
    }
    bound->SetReadOnly(false);
    source->SetAutoEdit(true);
    EXPECT_FALSE(bound->EditCanModify());
    bound->SetDataField("DT");
    EXPECT_TRUE(bound->EditCanModify());
    EXPECT_EQ(data->State(), dsEdit);
}

TEST_F(BoundPicker, LeavingWritesTheFieldAndAFailedWriteKeepsTheFocus)
{
    ShowForm(bound);
    ASSERT_TRUE(bound->Focused());
    EXPECT_EQ(bound->SelLength(), Integer(bound->Text().size()));
    ASSERT_TRUE(bound->EditCanModify());
    bound->SetValue(DT(2004, 4, 1, 14, 30));
    bound->SetModifiedState(true);
    Field("DT")->OnValidate = [](TField*) { throw EDatabaseError("No dates in April"); };
    TypeKey(VK_TAB);
    EXPECT_TRUE(bound->Focused());
    EXPECT_TRUE(bound->Modified());
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text, "No dates in April.");

    Field("DT")->OnValidate = nullptr;
    TypeKey(VK_TAB);
    EXPECT_TRUE(other->Focused());
    EXPECT_DOUBLE_EQ(Field("DT")->AsDateTime(), DT(2004, 4, 1, 14, 30));
}

TEST_F(BoundPicker, PaintsItsTextUnfocusedAlignedLikeTheField)
{
    ShowForm(other);
    Field("DT")->SetAlignment(taRightJustify);
    bound->DataLink()->Reset();
    const TRect client = bound->ClientRect();
    std::vector<TCanvasDrawing> drawn = Paint(bound);
    ASSERT_EQ(DrawingKinds(drawn), (std::vector<std::string>{"FillRect", "TextRect"}));
    EXPECT_RECT(drawn[0].Rect, client);
    EXPECT_EQ(drawn[0].BrushColor, clWindow);
    const TCanvasDrawing& text = drawn[1];
    EXPECT_EQ(text.Text, "3/5/2004 2:30:00 PM");
    EXPECT_RECT(text.Rect, client);
    // The edit clips its children: the button host at the right is left out.
    EXPECT_RECT(text.ClipRect, (TRect{0, 0, bound->ButtonLeft() + 1, client.bottom}));
    EXPECT_EQ(text.Pos.x, bound->ButtonLeft() - bound->Canvas()->TextWidth(text.Text) - 1);
    EXPECT_EQ(text.Pos.y, 1);
    EXPECT_EQ(text.FontColor, bound->Font()->Color());

    bound->SetEnabled(false);
    EXPECT_EQ(Paint(bound)[1].FontColor, clGrayText);
    bound->SetEnabled(true);

    vxBlankTaggedPickers = true;
    bound->SetTag(vxBlankPickerTag);
    EXPECT_EQ(Paint(bound)[1].Text, "");
    vxBlankTaggedPickers = false;
}

TEST_F(BoundPicker, AsTheCellOfAFocusedGridItPaintsHighlightedWithAFocusRectangle)
{
    auto* grid = new TDerivedGrid(form);
    grid->SetParent(form);
    grid->SetBounds(10, 80, 300, 60);
    TvxDBDateTimePicker* cell = Add(grid, "DT", 10);
    EXPECT_FALSE(bound->IsGridCell());
    EXPECT_EQ(bound->GetGridOptions(), 0);
    EXPECT_TRUE(cell->IsGridCell());
    EXPECT_EQ(cell->GetGridOptions(), Integer(grid->Options().ToMask() & 0xFF));
    ShowForm(grid);
    ASSERT_TRUE(cell->IsActiveGridCell());

    const TRect client = cell->ClientRect();
    std::vector<TCanvasDrawing> drawn = Paint(cell);
    ASSERT_EQ(DrawingKinds(drawn), (std::vector<std::string>{"FillRect", "TextRect", "DrawFocusRect"}));
    EXPECT_EQ(drawn[1].BrushColor, clHighlight);
    EXPECT_EQ(drawn[1].FontColor, clHighlightText);
    EXPECT_EQ(drawn[1].Pos.x, 4);
    EXPECT_EQ(drawn[1].Pos.y, 3);
    EXPECT_RECT(drawn[2].Rect, (TRect{client.left + 1, client.top + 1, client.right, client.bottom - 1}));

    // The grid painting its cells with the control: the field's text, plain.
    cell->SetControlState(cell->ControlState() + TControlState{csPaintCopy});
    drawn = Paint(cell);
    cell->SetControlState(cell->ControlState() - TControlState{csPaintCopy});
    ASSERT_EQ(DrawingKinds(drawn), (std::vector<std::string>{"FillRect", "TextRect"}));
    EXPECT_EQ(drawn[1].BrushColor, clWindow);
    EXPECT_EQ(drawn[1].Text, "3/5/2004 2:30:00 PM");
    EXPECT_EQ(drawn[1].Pos.x, 3);
    EXPECT_EQ(drawn[1].Pos.y, 3);
}

// Counts what it is run and updated on: the picker itself or a data source.
class TTargetAction : public TBasicAction {
public:
    TTargetAction(bool picker) : TBasicAction(nullptr), picker_(picker) {}
    bool HandlesTarget(TObject* target) override
    {
        return picker_ ? dynamic_cast<TvxDBDateTimePicker*>(target) != nullptr
                       : dynamic_cast<TDataSource*>(target) != nullptr;
    }
    void ExecuteTarget(TObject* target) override { executed.push_back(target); }
    void UpdateTarget(TObject* target) override { updated.push_back(target); }
    std::vector<TObject*> executed, updated;

private:
    bool picker_;
};

TEST_F(BoundPicker, ActionsGoToThePickerAndThenToItsDataSource)
{
    TTargetAction own(true), onSource(false);
    EXPECT_TRUE(bound->ExecuteAction(&own));
    EXPECT_TRUE(bound->UpdateAction(&own));
    EXPECT_EQ(own.executed, std::vector<TObject*>{bound});
    EXPECT_EQ(own.updated, std::vector<TObject*>{bound});
    EXPECT_TRUE(bound->ExecuteAction(&onSource));
    EXPECT_TRUE(bound->UpdateAction(&onSource));
    EXPECT_EQ(onSource.executed, std::vector<TObject*>{source});
    EXPECT_EQ(onSource.updated, std::vector<TObject*>{source});
    bound->SetDataSource(nullptr);
    EXPECT_FALSE(bound->ExecuteAction(&onSource));
    EXPECT_FALSE(bound->UpdateAction(&onSource));
}

TEST_F(BoundPicker, AFormFileAnchorsThePickerToTheFormsEdges)
{
    std::unique_ptr<TForm> anchored(CreateObject<TForm>(nullptr));
    ReadComponentText(anchored.get(),
                      "object AnchorForm: TForm\n"
                      "  Left = 60\n  Top = 60\n  Width = 300\n  Height = 160\n"
                      "  object WidePicker: TvxDBDateTimePicker\n"
                      "    Left = 10\n    Top = 10\n    Width = 200\n    Height = 22\n"
                      "    Anchors = [akLeft, akTop, akRight]\n"
                      "  end\n"
                      "  object CornerPicker: TvxDBDateTimePicker\n"
                      "    Left = 10\n    Top = 60\n    Width = 120\n    Height = 22\n"
                      "    Anchors = [akRight, akBottom]\n"
                      "  end\n"
                      "end\n");
    auto* wide = dynamic_cast<TvxDBDateTimePicker*>(anchored->FindComponent("WidePicker"));
    auto* corner = dynamic_cast<TvxDBDateTimePicker*>(anchored->FindComponent("CornerPicker"));
    ASSERT_TRUE(wide && corner);
    EXPECT_EQ(wide->Anchors(), (TAnchors{akLeft, akTop, akRight}));
    anchored->Show();
    PumpMessages();
    const TRect wideBefore = wide->BoundsRect(), cornerBefore = corner->BoundsRect();
    const Integer buttonFromRight = wide->Width() - wide->ButtonLeft();
    SizeFormByMouse(anchored.get(), 60, 40);
    EXPECT_EQ(wide->Left(), wideBefore.left);
    EXPECT_EQ(wide->Width(), 260);
    EXPECT_EQ(wide->Top(), wideBefore.top);
    EXPECT_EQ(corner->Left(), cornerBefore.left + 60);
    EXPECT_EQ(corner->Top(), cornerBefore.top + 40);
    EXPECT_EQ(corner->Width(), 120);
    // The button stays at the right edge of the widened picker.
    EXPECT_EQ(wide->Width() - wide->ButtonLeft(), buttonFromRight);
    EXPECT_NE(WriteComponentText(anchored.get()).find("Anchors = [akRight, akBottom]"), std::string::npos);
}

TEST_F(BoundPicker, AFormOfPickersUnfocusedAndFocused)
{
    TvxDBDateTimePicker* date = Add(form, "D", 70);
    TvxDBDateTimePicker* time = Add(form, "T", 100);
    Field("T")->SetAlignment(taRightJustify);
    time->DataLink()->Reset();
    auto* unbound = new TvxDBDateTimePicker(form);
    unbound->SetParent(form);
    unbound->SetBounds(10, 130, 200, 22);
    unbound->SetDateFormat(dfLong);
    unbound->SetDate(D(2004, 3, 5));
    ShowForm(other);
    EXPECT_EQ(date->Text(), "3/6/2004");
    EXPECT_EQ(time->Text(), "9:15 AM");
    EXPECT_EQ(unbound->Text(), "Friday, March 5, 2004");
    EXPECT_TRUE(SaveWindowToPng(form->Handle(), "vxdbdatetimepicker-unfocused.png"));
    TypeKey(VK_TAB);
    TypeKey(VK_TAB);
    ASSERT_TRUE(date->Focused());
    EXPECT_EQ(date->SelLength(), 8);
    EXPECT_TRUE(SaveWindowToPng(form->Handle(), "vxdbdatetimepicker-focused.png"));
}

}  // namespace
