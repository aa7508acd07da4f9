// TvxDBCustomDateTimePicker: a one-line edit that shows one date/time value through a display format and edits it
// section by section (day, month, year, hour, minute, second, AM/PM), bound to a dataset field or unbound.
// The text always comes from FormatDateTime; the picker walks the same format itself to know where each section
// stands in the text. A button at its right edge drops a month calendar down below (or above) it.
// TvxDBDateTimePicker publishes it.
#pragma once

#include <memory>
#include <string>

#include "db/DataLinks.h"
#include "vcl/Buttons.h"
#include "vcl/StdCtrls.h"
#include "vxcontrols/vxmonthcalendar.h"

enum TDTDateFormat { dfShort, dfLong };
DUN_ENUM(TDTDateFormat, "dfShort", "dfLong");

enum TvxDTEditDataType { vxDTEdtDate, vxDTEdtTime, vxDTEdtDateTime };
DUN_ENUM(TvxDTEditDataType, "vxDTEdtDate", "vxDTEdtTime", "vxDTEdtDateTime");

// When set (by the tracking program at start-up), a picker whose Tag is vxBlankPickerTag paints no text.
extern bool vxBlankTaggedPickers;
constexpr Integer vxBlankPickerTag = 99999999;

// A value split into its parts, as the section keys change them.
struct TvxDateTimeParts {
    Word Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0, MSec = 0;
};

enum TvxDTCalAlignment { vxdtaLeft, vxdtaRight, vxdtaCenter };
DUN_ENUM(TvxDTCalAlignment, "vxdtaLeft", "vxdtaRight", "vxdtaCenter");

class TvxDBCustomDateTimePicker;

// The drop-down calendar's settings (the picker's CalendarAttributes).
class TvxCalendarOptions : public TPersistent {
    DUN_CLASS(TvxCalendarOptions, TPersistent)
public:
    explicit TvxCalendarOptions(TvxDBCustomDateTimePicker* picker);

    TvxDTCalAlignment Alignment() const { return alignment_; }
    void SetAlignment(TvxDTCalAlignment value) { alignment_ = value; }
    TvxDateTimeColors* Colors() const { return colors_.get(); }
    void SetColors(TvxDateTimeColors* value);
    TFont* Font() const { return font_.get(); }
    void SetFont(TFont* value);
    // The calendar's size when larger than its smallest (0: the smallest).
    Integer Width() const { return width_; }
    void SetWidth(Integer value) { width_ = value; }
    Integer Height() const { return height_; }
    void SetHeight(Integer value) { height_ = value; }
    TvxMonthOptions Options() const { return options_; }
    void SetOptions(TvxMonthOptions value) { options_ = value; }
    TvxPopupYearOptions* PopupYearOptions() const { return popupYearOptions_.get(); }
    void SetPopupYearOptions(TvxPopupYearOptions* value);
    TvxCalDayOfWeek FirstDayOfWeek() const { return firstDayOfWeek_; }
    void SetFirstDayOfWeek(TvxCalDayOfWeek value) { firstDayOfWeek_ = value; }
    void Assign(TPersistent* source) override;

    static void Publish(TPublisher<TvxCalendarOptions>& p);

private:
    TvxDTCalAlignment alignment_ = vxdtaLeft;
    std::unique_ptr<TvxDateTimeColors> colors_;
    std::unique_ptr<TFont> font_;
    Integer width_ = 0;
    Integer height_ = 0;
    TvxMonthOptions options_{mdoDayState};
    std::unique_ptr<TvxPopupYearOptions> popupYearOptions_;
    TvxCalDayOfWeek firstDayOfWeek_ = vxdowLocaleDefault;
};

// The month calendar a picker drops down: a bordered tool window on the desktop that never takes the focus and
// closes the picker's drop-down when a day is clicked.
class TvxPopupCalendar : public TvxMonthCalendar {
    DUN_CLASS(TvxPopupCalendar, TvxMonthCalendar)
public:
    // The owner must be a picker.
    explicit TvxPopupCalendar(TComponent* owner);
    void FocusCalendar() override {}
    void Dispatch(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Change() override;

private:
    TvxDBCustomDateTimePicker* picker_;
};

// The picker's drop-down button, drawn as a combo box's.
class TvxDateComboButton : public TSpeedButton {
    DUN_CLASS(TvxDateComboButton, TSpeedButton)
public:
    explicit TvxDateComboButton(TvxDBCustomDateTimePicker* picker);
    // DrawFrameControl's state for a picker enabled or not, the button up or pressed, painting a copy or not.
    static UINT FrameState(bool pickerEnabled, bool up, bool paintingCopy);

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
    void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;

private:
    TvxDBCustomDateTimePicker* picker_;
    bool pressed_ = false;
};

class TvxDBCustomDateTimePicker : public TCustomEdit {
    DUN_CLASS(TvxDBCustomDateTimePicker, TCustomEdit)
public:
    explicit TvxDBCustomDateTimePicker(TComponent* owner);
    ~TvxDBCustomDateTimePicker() override;

    // ---- display format and sections
    enum TValueKind { vkNone, vkDate, vkTime, vkDateTime };
    TValueKind ValueKind() const;
    bool IsDateKind() const { return ValueKind() == vkDate; }
    bool IsDateTimeKind() const { return ValueKind() == vkDateTime; }
    bool EditsTimeOnly() const;
    bool EditsDateOnly() const;

    std::string GetDisplayFormat(bool withDefault) const;
    std::string GetExpandedFormat() const;
    // Reads the token that begins at pos (0-based) and leaves pos on its last character.
    static std::string ScanFormatToken(char letter, const std::string& format, Integer& pos);
    static bool FormatHasDatePart(const std::string& format);
    static bool FormatHasTimePart(const std::string& format);
    static bool HasAmPm(const std::string& format);
    Integer SectionCount() const;
    // Start (0-based), length and token of section n as the value would show; the text through section n, or empty
    // when there is no section n.
    std::string LocateSection(Integer n, TDateTime value, Integer& start, Integer& length, std::string& token) const;
    bool IsStandardFormat() const;
    Integer LastSection();
    bool AllSectionsShown();
    std::string FormatValue(TDateTime value) const;
    std::string DisplayTextFor(TDateTime value) const;
    void SelectSection();
    Integer CurrentSection() const { return currentSection_; }
    void SetCurrentSection(Integer section) { currentSection_ = section; }

    // ---- value and limits
    TDateTime Value() const { return value_; }
    void SetValue(TDateTime value);
    TDateTime Date();
    void SetDate(TDateTime value);
    TDateTime Time();
    void SetTime(TDateTime value);
    TDateTime MinDate() const { return minDate_; }
    void SetMinDate(TDateTime value);
    TDateTime MaxDate() const { return maxDate_; }
    void SetMaxDate(TDateTime value);
    TDateTime EffectiveMinDate() const;
    TDateTime EffectiveMaxDate() const;
    TDateTime EnteredValue() const { return enteredValue_; }
    bool Cleared() const { return cleared_; }
    void SetCleared(bool value) { cleared_ = value; }
    void Redisplay();

    // ---- editability and state
    bool CanModify() const;
    virtual bool CanEditData() const;
    virtual bool EditCanModify();
    void SetModifiedState(bool flag);
    void SetFocusedState(bool flag);
    bool IsGridCell() const;
    bool IsActiveGridCell() const;
    Integer GetGridOptions() const;

    // ---- section value entry
    bool DigitsPending() const { return digitsPending_; }
    bool AutoAdvance() const { return autoAdvance_; }
    static Integer ApplyEpoch(Integer twoDigitYear, Integer epoch);
    // A digit key in the current section, as the key dispatch handles it: false when the digit is refused.
    bool TypeDigit(Integer digit);
    // Up, Down, Home or End in the current section.
    void StepKey(Word key);
    // A letter in a month-name, day-name or AM/PM section; false when the section takes no letters.
    bool TypeLetter(Word key);
    Integer EnterDigit(Integer digit);
    void CommitTypedDigits();
    void ComposeValue(const TvxDateTimeParts& parts);
    void StepSection(const std::string& token, Integer delta, bool wrap);
    // The first and last day of the week as day-of-week numbers (1 = Sunday).
    void GetWeekBounds(Integer& first, Integer& last) const;

    // ---- drop-down calendar
    virtual void DropDown();
    virtual void CloseUp(bool accept);
    virtual bool DroppedDown() const;
    TvxPopupCalendar* PopupCalendar() const { return popup_; }
    TvxDateComboButton* Button() const { return button_; }
    TDateTime DropDownValue() const { return dropDownValue_; }
    bool EscClosedCalendar() const { return escClosedCalendar_; }
    // Where the calendar of the size goes for a picker at the screen rectangle: below it, or above it when the
    // work area has no room below; across by the alignment, within the screen's width. B is the scroll bar width.
    static TPoint PlaceCalendar(TvxDTCalAlignment alignment, const TRect& picker, TPoint size, Integer workAreaBottom,
                                Integer screenWidth, Integer scrollBarWidth);
    TvxCalendarOptions* CalendarAttributes() const { return calendarAttributes_.get(); }
    void SetCalendarAttributes(TvxCalendarOptions* value);
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TCalcBoldDayEvent OnCalcBoldDay;

    // ---- properties
    const std::string& DisplayFormat() const { return displayFormat_; }
    void SetDisplayFormat(const std::string& value);
    TDTDateFormat DateFormat() const { return dateFormat_; }
    void SetDateFormat(TDTDateFormat value);
    TvxDTEditDataType UnboundDataType() const { return unboundDataType_; }
    void SetUnboundDataType(TvxDTEditDataType value);
    Integer Epoch() const { return epoch_; }
    void SetEpoch(Integer value) { epoch_ = value; }
    std::string DataField() const { return dataLink_->FieldName(); }
    void SetDataField(const std::string& value);
    TDataSource* DataSource() const { return dataLink_->DataSource(); }
    void SetDataSource(TDataSource* value);
    TField* Field() const { return dataLink_->Field(); }
    TFieldDataLink* DataLink() const { return dataLink_.get(); }
    bool ReadOnly() const { return dataLink_->ReadOnly(); }
    void SetReadOnly(bool value);
    bool ShowButton() const { return showButton_; }
    void SetShowButton(bool value);
    bool Plenvia() const { return false; }
    // The canvas the picker paints on when the edit does not paint itself.
    TCanvas* Canvas();

    virtual TRect GetTextRect() { return ClientRect(); }
    virtual void SetEditRect();
    virtual bool UsesEditPainting() const { return true; }
    virtual Integer ButtonWidth() const;
    virtual Integer ButtonLeft() const;

    void WndProc(TMessage& message) override;
    void Dispatch(TMessage& message) override;
    void Invalidate() override;
    bool ExecuteAction(TBasicAction* action) override;
    bool UpdateAction(TBasicAction* action) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    void KeyDown(Word& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void Change() override;
    void DoExit() override;

private:
    friend class TvxPopupCalendar;

    // ---- keys
    void HandleDropDownKeys(Word& key, TShiftState shift);
    bool RouteKeyToGrid(Word& key, TShiftState shift);
    bool GridTakesKey(Word key, TShiftState shift);
    void PassKeyToGrid(Word& key);
    bool DeletionRefused(Word key);
    bool EditKey(Word& key, TShiftState shift);
    void StartValue();
    Word MapKey(Word key) const;
    void ValueKey(Word& key);
    void NextSection();
    void PreviousSection();
    void DeleteKey();
    void EmptyText();
    bool CNKeyDown(TMessage& message);
    void EscapeKey();
    void ResetValue();
    static bool IsEditingKey(Word key);
    bool InTimeSection();
    bool WholeTextSelected();
    TDateTime InLimits(TDateTime seed) const;
    // ---- mouse and clipboard
    void WMLButtonDown(TMessage& message);
    void SelectSectionAt(Integer x);
    void WMCut(TMessage& message);
    void WMPaste(TMessage& message);
    // ---- drop-down calendar
    void ButtonClick();
    void CloseCalendar(bool accept);
    void PrepareCalendar();
    void ShowCalendar(bool created, TPoint minimum);
    void CalendarChanged();
    void CMCancelMode(TMessage& message);

    bool IsSection(const std::string& token) const;
    bool DataFieldIsNull() const;
    void RaiseIfOutsideLimits(TDateTime value, bool wholeDays) const;
    void DataChange();
    void UpdateData();
    void UpdateRecordChecked();
    void UpdateButtonLayout();
    void CMEnter();
    void CMExit();
    void WMSetFocus(TMessage& message);
    void WMPaint(TMessage& message);
    void PaintText(HDC dc);
    std::string PaintedText() const;
    void ShowSelectionCaret(bool show);

    void TakeParts();
    std::string CurrentToken(Integer& start, Integer& length);
    bool DigitCompletesSection(Integer digit, const std::string& token) const;
    bool SectionValueValid(Integer value, const std::string& token) const;
    bool YearDigitAllowed(Integer digit) const;
    Integer EnterTwoDigitSection(Integer digit, const std::string& token, Integer start, Integer length);
    Integer EnterYearDigits(Integer digit, Integer start, Integer length);
    void StoreTypedDigit(Integer result, const std::string& token);
    void StepUpDown(const std::string& token, Integer delta);
    void StepHomeEnd(const std::string& token, bool home);
    void MonthNameLetter(const std::string& token, char letter);
    void DayNameLetter(const std::string& token, char letter);
    Word AmPmLetter(const std::string& token, char letter) const;
    void SetPartsDate(TDateTime date);
    bool DateInLimits(TDateTime date) const;

    TAlignment alignment_ = taLeftJustify;
    TDTDateFormat dateFormat_ = dfShort;
    TDateTime maxDate_ = 0;
    TDateTime minDate_ = 0;
    TvxPopupCalendar* popup_ = nullptr;
    std::unique_ptr<TvxCalendarOptions> calendarAttributes_;
    bool closing_ = false;
    TDateTime enteredValue_ = 0;
    TDateTime value_ = 0;
    std::unique_ptr<TFieldDataLink> dataLink_;
    TvxDateComboButton* button_ = nullptr;
    TWinControl* buttonHost_ = nullptr;
    std::unique_ptr<TControlCanvas> canvas_;
    bool focused_ = false;
    Integer currentSection_ = 1;
    TvxDTEditDataType unboundDataType_ = vxDTEdtDateTime;
    std::string displayFormat_;
    bool digitsPending_ = false;
    bool cleared_ = true;
    Integer epoch_ = 1950;
    bool autoAdvance_ = true;
    bool enteringByButton_ = false;
    TDateTime dropDownValue_ = 0;
    bool escClosedCalendar_ = false;
    bool showButton_ = true;
    TvxDateTimeParts parts_;
};

class TvxDBDateTimePicker : public TvxDBCustomDateTimePicker {
    DUN_CLASS(TvxDBDateTimePicker, TvxDBCustomDateTimePicker)
public:
    explicit TvxDBDateTimePicker(TComponent* owner) : TvxDBCustomDateTimePicker(owner) {}
    static void Publish(TPublisher<TvxDBDateTimePicker>& p);
};
