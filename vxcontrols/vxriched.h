// The library's rich-text control: the platform rich edit over the Rich Edit 2.0 class it loads itself, its own
// line list, a stored form of its contents for form files, a stream loader that normalises line ends (and can
// read only the first part of a text, for painting), page margins in inches or centimetres, wrapping at the
// printable width of the page and printing within the margins.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "db/DataLinks.h"
#include "db/DataSource.h"
#include "db/Field.h"
#include "vcl/Buttons.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/RichEdit.h"
#include "vxcontrols/vxTrackIcon.h"
#include "vxdata/vxFormPosition.h"

#include <oledlg.h>
#include <richedit.h>
#include <richole.h>

class TvxCustomRichEdit;
class TFindDialog;
class TReplaceDialog;
class TFontDialog;
class TPopupMenu;
class TMenuItem;

enum TvxRichEditOleOption { reoAdjustPopupMenu, reoDisableOLE };
DUN_ENUM(TvxRichEditOleOption, "reoAdjustPopupMenu", "reoDisableOLE");
using TvxRichEditOleOptions = Set<TvxRichEditOleOption>;

enum TvxRichEditPopupOption { rpoPopupEdit, rpoPopupCut, rpoPopupCopy, rpoPopupPaste, rpoPopupBold, rpoPopupItalic,
                              rpoPopupUnderline, rpoPopupFont, rpoPopupBullet, rpoPopupParagraph, rpoPopupTabs,
                              rpoPopupFind, rpoPopupReplace, rpoPopupInsertObject };
DUN_ENUM(TvxRichEditPopupOption, "rpoPopupEdit", "rpoPopupCut", "rpoPopupCopy", "rpoPopupPaste", "rpoPopupBold",
         "rpoPopupItalic", "rpoPopupUnderline", "rpoPopupFont", "rpoPopupBullet", "rpoPopupParagraph",
         "rpoPopupTabs", "rpoPopupFind", "rpoPopupReplace", "rpoPopupInsertObject");
using TvxRichEditPopupOptions = Set<TvxRichEditPopupOption>;

enum TvxRichEditOption { reoShowLoad, reoShowSaveAs, reoShowSaveExit, reoShowPrint, reoShowPageSetup,
                         reoShowFormatBar, reoShowToolBar, reoShowStatusBar, reoShowHints, reoShowRuler,
                         reoShowInsertObject, reoCloseOnEscape, reoFlatButtons };
DUN_ENUM(TvxRichEditOption, "reoShowLoad", "reoShowSaveAs", "reoShowSaveExit", "reoShowPrint", "reoShowPageSetup",
         "reoShowFormatBar", "reoShowToolBar", "reoShowStatusBar", "reoShowHints", "reoShowRuler",
         "reoShowInsertObject", "reoCloseOnEscape", "reoFlatButtons");
using TvxRichEditOptions = Set<TvxRichEditOption>;

enum TvxMeasurementUnits { muInches, muCentimeters };
DUN_ENUM(TvxMeasurementUnits, "muInches", "muCentimeters");

enum TvxRichEditWidth { rewWindowSize, rewPrinterSize };
DUN_ENUM(TvxRichEditWidth, "rewWindowSize", "rewPrinterSize");

using TvxOnRichEditDlgEvent = std::function<void(TForm* form)>;
using TvxURLOpenEvent = std::function<void(TvxCustomRichEdit* sender, const std::string& urlLink, bool& useDefault)>;

// ---- units

// Centimetres per inch as the library counts them.
constexpr double vxCentimetresPerInch = 2.537;

double vxTwipsToUnits(Integer twips, TvxMeasurementUnits units);
// Blanks, apostrophes and the letters of "cm" at the end are ignored; EConvertError for any other text.
Integer vxUnitsToTwips(const std::string& text, TvxMeasurementUnits units);
std::string vxFormatUnitsPlain(double value, TvxMeasurementUnits units);
// The value cut down to the ruler's step (steps 0: 8 per inch, 20 per centimetre).
std::string vxFormatUnits(Integer steps, double value, TvxMeasurementUnits units);
// A typed measure without its blanks and its unit ("1.5''" and " 2 cm" give "1.5" and "2").
std::string vxMeasureNumber(const std::string& text);
// Whether a typed measure is a number whose twips lie within the limits; an empty text is none.
bool vxIsMeasure(const std::string& text, TvxMeasurementUnits units, Integer minTwips, Integer maxTwips);
// How far a typed measure may reach either way: 22 inches.
constexpr Integer vxMeasureLimitTwips = 31680;

// Page margins in the control's measurement unit.
class TvxPrintMargins : public TPersistent {
    DUN_CLASS(TvxPrintMargins, TPersistent)
public:
    TvxPrintMargins() = default;

    double Top() const { return top_; }
    void SetTop(double value) { top_ = value; }
    double Bottom() const { return bottom_; }
    void SetBottom(double value) { bottom_ = value; }
    double Left() const { return left_; }
    void SetLeft(double value) { left_ = value; }
    double Right() const { return right_; }
    void SetRight(double value) { right_ = value; }

    void Assign(TPersistent* source) override;
    static void Publish(TPublisher<TvxPrintMargins>& p);

private:
    double top_ = 1.0, bottom_ = 1.0, left_ = 1.0, right_ = 1.0;
};

// A printer's page in its pixels: the whole sheet, where printing can start on it, and its pixels per inch.
struct TvxPrinterPage {
    TPoint Size;
    TPoint Offset;
    Integer PixelsPerInchX = 0, PixelsPerInchY = 0;
};

// The text area of a page in twips from the printable area's corner: the margins' twips less the offset, clipped
// to the printable area; the bottom never above the top nor the right left of the left.
TRect vxMarginRect(const TvxPrinterPage& page, Integer leftTwips, Integer topTwips, Integer rightTwips,
                   Integer bottomTwips);

// The window's format rectangle for wrapping at the printable width of the page: the page width less the left
// and right margins, in screen pixels from the left text margin.
TRect vxPrinterFormatRect(const TvxPrinterPage& page, Integer pageHeight, Integer marginsTwips,
                          Integer screenPixelsPerInchX, Integer screenPixelsPerInchY, Integer leftTextMargin);

// The print loop's two passes. The window lays out one page from a character position and answers where the next
// begins (-1 on failure). Measuring finds where the text ends: it stops when a page makes no progress, reaches the
// text's length or fails. Printing renders page after page from 0 and starts a new page only while the next one
// begins beyond the last, before that end.
using TvxFormatPage = std::function<Integer(Integer from, bool render)>;
Integer vxMeasurePages(const TvxFormatPage& formatPage, Integer textLength);
void vxPrintPages(const TvxFormatPage& formatPage, Integer end, const std::function<void()>& newPage);

// ---- the ruler's arithmetic (screen pixels and twips)

// The pixels of one unit: an inch, or 1/2.537 inch.
double vxRulerUnitPixels(Integer screenPixelsPerInch, TvxMeasurementUnits units);
// Marks per unit: eighths of an inch, quarters of a centimetre.
Integer vxRulerSteps(TvxMeasurementUnits units);
inline Integer vxRulerPixelsToTwips(Integer pixels, Integer screenPixelsPerInch)
{
    return pixels * 1440 / screenPixelsPerInch;
}
inline Integer vxRulerTwipsToPixels(Integer twips, Integer screenPixelsPerInch)
{
    return twips * screenPixelsPerInch / 1440;
}
// A marker's centre cut down to the last mark at or before it, in pixels, at most maxValue (0: no maximum).
Integer vxRulerSnap(Integer centre, double unitPixels, Integer steps, Integer maxValue);

enum TvxRulerMarker { rmBody, rmRight, rmFirst };
// The markers' lefts: the following lines' left indent, the right indent and the first line's indent.
struct TvxRulerPlaces {
    Integer Body = 0, Right = 0, First = 0;
    bool operator==(const TvxRulerPlaces&) const = default;
};
// How close the left markers may come to the right one, in pixels.
constexpr Integer vxRulerMinimumGap = 48;
// The places after a drop: the dragged marker goes to its snapped place, kept the minimum gap from the right
// marker (the right marker that gap right of the further-right left marker); the others stay.
TvxRulerPlaces vxRulerDrop(TvxRulerMarker dragged, const TvxRulerPlaces& current, const TvxRulerPlaces& snapped);
// The paragraph's start indent and offset in twips from the left markers' pixels right of their lower limits.
void vxRulerLeftIndents(Integer bodyPixels, Integer firstPixels, Integer screenPixelsPerInch, Integer& startIndent,
                        Integer& offset);
// The right indent in twips for the right marker's left, the text's right edge and the left text margin.
Integer vxRulerRightIndent(Integer textEdge, Integer leftTextMargin, Integer rightLeft, Integer rightHalfWidth,
                           Integer screenPixelsPerInch);
// The markers' lefts for a paragraph's start indent, right indent and offset (twips).
struct TvxRulerLayout {
    Integer RectLeft = 0, Width = 0;
    Integer BodyWidth = 0, RightWidth = 0, FirstWidth = 0;
};
TvxRulerPlaces vxRulerFollow(Integer startIndent, Integer rightIndent, Integer offset, Integer screenPixelsPerInch,
                             const TvxRulerLayout& layout);

// What the scale shows over a length in units: a number at each whole unit after 0, a mark at each step between.
struct TvxRulerLabel {
    Integer Number, X;
};
struct TvxRulerTick {
    Integer X, Top, Bottom;
};
struct TvxRulerScale {
    std::vector<TvxRulerLabel> Labels;
    std::vector<TvxRulerTick> Ticks;
};
TvxRulerScale vxRulerScale(double length, double unitPixels, Integer steps, const TRect& rect);
// The page's width less the left and right margins (in the unit), in inches.
double vxPrintableInches(const TvxPrinterPage& page, double leftMargin, double rightMargin,
                         TvxMeasurementUnits units);

// ---- streams

// A memory stream whose block grows in steps of 128 KB.
class TvxRichMemoryStream : public TCustomMemoryStream {
    DUN_CLASS(TvxRichMemoryStream, TCustomMemoryStream)
public:
    static constexpr Int64 CapacityStep = 131072;

    TvxRichMemoryStream() = default;
    ~TvxRichMemoryStream() override;

    Integer Write(const void* buffer, Integer count) override;
    void SetSize(Int64 newSize) override;
    Int64 Capacity() const { return capacity_; }
    // Raised to the next step; 0 frees the block. EStreamError when no memory can be had.
    void SetCapacity(Int64 capacity);

private:
    void* block_ = nullptr;
    Int64 capacity_ = 0;
    Int64 size_ = 0;
};

// Reads a stream for the window in parts of at most the size the window asks for, every line end made CR LF (a CR
// at the end of a part waits for the next part, whose LF it may pair with). FirstPartOnly reads one part and cuts
// rich text after its first paragraph definition.
class TvxRichStreamReader {
public:
    TvxRichStreamReader(TConversion* converter, TStream* stream, bool firstPartOnly)
        : converter_(converter), stream_(stream), firstPartOnly_(firstPartOnly) {}
    // The number of bytes put into the buffer; 0 at the end.
    Integer Next(char* buffer, Integer size);

private:
    std::string ReadPart(Integer size);

    TConversion* converter_;
    TStream* stream_;
    bool firstPartOnly_;
    bool active_ = true;
    bool pendingCR_ = false;
};

// ---- editing commands

// What a search works on: the control's window, or a test's text.
class TvxSearchTarget {
public:
    virtual ~TvxSearchTarget() = default;
    // The first match at or after start within length characters; -1 when none.
    virtual Integer Find(const std::string& text, Integer start, Integer length, TSearchTypes options) = 0;
    virtual Integer TextLength() = 0;
    virtual Integer SelStart() = 0;
    virtual Integer SelLength() = 0;
    virtual void Select(Integer start, Integer length) = 0;
    // Replaces the selection; the caret ends behind the new text.
    virtual void ReplaceSelection(const std::string& text) = 0;
};

// What the find and replace dialogs remember between requests.
struct TvxFindState {
    std::string LastFindText;
    bool Wrapped = false;
    Integer SearchStart = 0;
};

struct TvxSearchRequest {
    std::string FindText;
    std::string ReplaceText;
    TSearchTypes Options;
    bool Replace = false;
    bool ReplaceAll = false;
};

// One Find, Replace or Replace All request: selects the next match, wrapping once to the start and stopping at
// where the search began. False when no further match was found: the state then starts again from the selection.
bool vxSearch(TvxSearchTarget& target, TvxFindState& state, const TvxSearchRequest& request);

// The items of the control's context menu, in menu order.
enum TvxPopupItem { piEdit, piSeparator1, piCut, piCopy, piPaste, piSeparator2, piBold, piItalic, piUnderline,
                    piSeparator3, piFont, piBullet, piParagraph, piTabs, piSeparator4, piFind, piReplace,
                    piSeparator5, piInsertObject };
constexpr Integer vxPopupItemCount = piInsertObject + 1;

// What the context menu shows depends on.
struct TvxPopupContext {
    TvxRichEditPopupOptions Options;
    bool ReadOnly = false;
    bool OleDisabled = false;
    bool HasSelection = false;
    bool CanPaste = false;
    bool Numbering = false;
    TFontStyles Style;
};

struct TvxPopupItemState {
    bool Visible = false;
    bool Enabled = true;
    bool Checked = false;
};

std::array<TvxPopupItemState, vxPopupItemCount> vxPopupMenuState(const TvxPopupContext& context);

// The paste check over the clipboard's formats in their order: a metafile allows pasting at once, a bitmap
// refuses it unless a metafile follows; otherwise the window's own answer stands.
bool vxPasteAllowed(bool windowCanPaste, const std::vector<UINT>& clipboardFormats);

// Whether a clicked link may go to the shell: web, mail and ftp addresses only, never files or programs.
bool vxShellMayOpenLink(const std::string& link);

// The paragraph record for the selection: RichEditVersion 2 or more sends the long form. Mask bits 0-8 choose
// alignment, numbering, offset, right indent, start indent, tab stops, space before, space after and line spacing.
PARAFORMAT2 vxParagraphFormat(Integer richEditVersion, Word mask, const std::string& alignmentText, bool bullet,
                              Integer offset, Integer rightIndent, Integer startIndent, Integer tabCount,
                              const Integer* tabs, Integer spaceBefore, Integer spaceAfter, Integer lineSpacing,
                              Byte lineSpacingRule);

// ---- the control

// The lines of a TvxCustomRichEdit: single lines through the window's edit messages, the whole text through the
// platform rich edit's own line list.
class TvxRichEditStrings : public TStrings {
    DUN_CLASS(TvxRichEditStrings, TStrings)
public:
    explicit TvxRichEditStrings(TvxCustomRichEdit* richEdit) : richEdit_(richEdit) {}

    void Assign(TPersistent* source) override;
    void Clear() override;
    void Delete(Integer index) override;
    void Insert(Integer index, const std::string& s) override;
    void LoadFromStream(TStream* stream) override;
    void SaveToStream(TStream* stream) const override;

protected:
    std::string Get(Integer index) const override;
    Integer GetCount() const override;
    void Put(Integer index, const std::string& s) override;
    std::string GetTextStr() const override;
    void SetTextStr(const std::string& text) override;
    void SetUpdateState(bool updating) override;

private:
    TStrings* PlatformLines() const;

    TvxCustomRichEdit* richEdit_;
};

class TvxCustomRichEdit : public TCustomRichEdit {
    DUN_CLASS(TvxCustomRichEdit, TCustomRichEdit)
public:
    explicit TvxCustomRichEdit(TComponent* owner);
    ~TvxCustomRichEdit() override;

    TStrings* Lines() const { return lines_.get(); }
    void SetLines(TStrings* lines) { lines_->Assign(lines); }

    bool AutoURLDetect() const { return autoURLDetect_; }
    void SetAutoURLDetect(bool value);
    TvxRichEditOleOptions OleOptions() const { return oleOptions_; }
    void SetOleOptions(TvxRichEditOleOptions value);
    TSpeedButton* UserSpeedButton1() const { return userSpeedButton1_; }
    void SetUserSpeedButton1(TSpeedButton* button) { SetUserSpeedButton(userSpeedButton1_, button); }
    TSpeedButton* UserSpeedButton2() const { return userSpeedButton2_; }
    void SetUserSpeedButton2(TSpeedButton* button) { SetUserSpeedButton(userSpeedButton2_, button); }
    std::string PrintJobName() const { return printJobName_; }
    void SetPrintJobName(const std::string& value) { printJobName_ = value; }
    TvxRichEditPopupOptions PopupOptions() const { return popupOptions_; }
    void SetPopupOptions(TvxRichEditPopupOptions value) { popupOptions_ = value; }
    TvxRichEditOptions EditorOptions() const { return editorOptions_; }
    void SetEditorOptions(TvxRichEditOptions value) { editorOptions_ = value; }
    std::string EditorCaption() const { return editorCaption_; }
    void SetEditorCaption(const std::string& value) { editorCaption_ = value; }
    TvxFormPosition* EditorPosition() const { return editorPosition_.get(); }
    void SetEditorPosition(TvxFormPosition* value) { editorPosition_->Assign(value); }
    TvxMeasurementUnits MeasurementUnits() const { return measurementUnits_; }
    void SetMeasurementUnits(TvxMeasurementUnits value) { measurementUnits_ = value; }
    TvxPrintMargins* PrintMargins() const { return printMargins_.get(); }
    void SetPrintMargins(TvxPrintMargins* value) { printMargins_->Assign(value); }
    TvxRichEditWidth EditWidth() const { return editWidth_; }
    void SetEditWidth(TvxRichEditWidth value);

    TvxOnRichEditDlgEvent OnInitDialog;
    TvxOnRichEditDlgEvent OnCloseDialog;
    TvxOnRichEditDlgEvent OnCreateDialog;
    TvxURLOpenEvent OnURLOpen;

    // 2 selects the Rich Edit 2.0 class and the long paragraph record; 1 the platform's own.
    Integer RichEditVersion() const { return richEditVersion_; }
    void SetRichEditVersion(Integer version);
    // The paper-size code of the printer's device mode (1: letter).
    Integer PaperSize() const { return paperSize_; }
    void SetPaperSize(Integer value);
    Integer ScreenPixelsPerInch() const { return screenPixelsPerInch_; }
    // The rich edit library this control loaded for its window (nullptr when none).
    HMODULE LibraryHandle() const { return library_; }
    // Where the text starts from the window's left edge, in pixels.
    Integer LeftTextMargin() const { return leftTextMargin_; }
    void SetLeftTextMargin(Integer value) { leftTextMargin_ = value; }
    // Whether the contents came from the form file's stored form.
    bool ReadFromStoredForm() const { return readFromStoredForm_; }

    // Conversions in the control's MeasurementUnits.
    double TwipsToUnits(Integer twips) const { return vxTwipsToUnits(twips, measurementUnits_); }
    Integer UnitsToTwips(const std::string& text) const { return vxUnitsToTwips(text, measurementUnits_); }
    std::string FormatUnitsPlain(double value) const { return vxFormatUnitsPlain(value, measurementUnits_); }
    std::string FormatUnits(Integer steps, double value) const
    {
        return vxFormatUnits(steps, value, measurementUnits_);
    }

    // Loads rich text (plain text when PlainText or when it is not rich text) from the stream's position, into
    // the selection or as the whole text. EOutOfResources "Failed to Load Stream" when the window refuses it.
    virtual void LoadRichStream(TStream* stream, bool firstPartOnly, bool intoSelection);
    // The whole contents into another rich edit.
    void CopyContentTo(TCustomRichEdit* target);
    // Sends the window the format rectangle of EditWidth.
    void SetFormatRect();
    // Puts PaperSize into the printer's device mode.
    void ApplyPaperSizeToPrinter();
    void Print(const std::string& caption) override;
    // The printer's page in its pixels (all zero without a printer).
    TvxPrinterPage PrinterPage();

    // ---- editing commands

    // Forward from StartPos over Length characters; the position found or -1.
    virtual Integer FindText(const std::string& searchText, Integer startPos, Integer length, TSearchTypes options);
    // The modeless dialogs, starting with the selected text (or the last one searched for).
    virtual void ShowFindDialog();
    virtual void ShowReplaceDialog();
    // The next match of the Find dialog's text; the Replace dialog's replacement of the selected match first.
    virtual void FindNext();
    virtual void ReplaceNext();
    // The font dialog's choice, applied to the selection; false when cancelled.
    virtual bool ShowFontDialog();
    // The selection's face alone, with the character set of that face.
    void SetSelFontName(const std::string& name);
    // Bold, italic or underline of the selection on or off.
    void SetSelStyle(TFontStyle style, bool on);
    // Bullets with a hanging indent, or no numbering.
    void SetBullets(bool on);
    // Whether the clipboard holds something the window should paste.
    bool CanPaste();
    // Sends a paragraph record for the selection (mask bits as vxParagraphFormat's).
    void ApplyParagraphFormat(Word mask, const std::string& alignmentText, bool bullet, Integer offset,
                              Integer rightIndent, Integer startIndent, Integer tabCount, const Integer* tabs,
                              Integer spaceBefore, Integer spaceAfter, Integer lineSpacing, Byte lineSpacingRule);
    // The selection's paragraph record (the short form with RichEditVersion 1; zero while there is no window).
    PARAFORMAT2 ParagraphFormat();
    // The paragraph and tab dialogs for the selection; true when closed with OK.
    virtual bool ShowParagraphDialog();
    virtual bool ShowTabDialog();
    virtual void DoURLOpen(const std::string& url, bool& useDefault);

    TFindDialog* FindDialog() const { return findDialog_; }
    TReplaceDialog* ReplaceDialog() const { return replaceDialog_; }
    TFontDialog* FontDialog() const { return fontDialog_; }
    // The built-in context menu and its items (nullptr in design mode).
    TPopupMenu* RichPopupMenu() const { return popupMenu_; }
    TMenuItem* PopupItem(TvxPopupItem item) const { return popupItems_[item]; }
    const TvxFindState& FindState() const { return findState_; }

    // ---- embedded objects

    // The window's OLE interface (nullptr with reoDisableOLE or before the window exists).
    IRichEditOle* RichEditOle() const { return richEditOle_; }
    // Lets the user choose an object to insert at the caret; true when one was inserted.
    virtual bool InsertObjectDialog();
    // Inserts an object made on a storage of the window's own; it is selected afterwards.
    void InsertOleObject(IOleObject* object, IStorage* storage, const CLSID& classId);
    // Runs verb 0 (index 0) or the verb of that entry of the selected object's verb list.
    void DoVerb(Integer index);
    // The selected object's verbs shown in the context menu.
    const std::vector<std::pair<std::string, Cardinal>>& VerbNames() const { return verbNames_; }
    // The items the context menu got for the selected object last time it opened.
    const std::vector<TMenuItem*>& OleMenuItems() const { return oleMenuItems_; }

    // Slots a data-aware descendant fills in.
    virtual bool ReadOnly() const { return TCustomEdit::ReadOnly(); }
    virtual void BeginFieldEdit() {}
    virtual void UpdateFieldData() {}
    virtual bool IsContentLoaded() { return true; }
    virtual TField* GetField() { return nullptr; }
    virtual void DoInitDialog(TForm* form);
    virtual void DoCloseDialog(TForm* form);
    virtual void DoCreateDialog(TForm* form);

    void Loaded() override;
    void ReadState(TReader* reader) override;
    void DefineProperties(TFiler* filer) override;
    void Notification(TComponent* component, TOperation operation) override;
    void WndProc(TMessage& message) override;

    static void Publish(TPublisher<TvxCustomRichEdit>& p);

protected:
    friend class TvxRichEditStrings;

    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void SelectionChange() override;
    void Change() override;
    void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
    // The platform's insert-object dialog (a test answers it): OLEUI_OK when the user chose an object.
    virtual UINT RunInsertObjectDialog(OLEUIINSERTOBJECTA& data);

    // Whether a DataField is set (a data-aware descendant says so).
    bool dataBound_ = false;
    bool suppressChange_ = false;

private:
    void CreateCommandDialogs();
    void BuildPopupMenu();
    void PrepareSearchDialog(TFindDialog* dialog);
    TMenuItem* AddPopupItem(const std::string& caption, TNotifyEvent onClick);
    void SetPopupCaptions();
    void UpdatePopupMenu();
    void ToggleStyleItem(TvxPopupItem item, TFontStyle style);
    void ToggleBulletItem();
    void DialogFind(TFindDialog* dialog);
    void DialogReplace();
    void DialogClosed();
    void Search(TFindDialog* dialog, bool replace);
    void ApplyCharFormat(CHARFORMATA& format);
    void FollowFont();
    void LinkNotified(const ENLINK& link);
    void RightButtonSelect(Integer x, Integer y);
    void InstallOleCallback();
    void ReleaseOle();
    void ReleaseSelectedObject();
    void ClearOleMenuItems();
    void AddObjectMenuItems();
    void ReadVerbs(IOleObject* object);
    bool StreamInOnce(TStream* stream, UINT format, bool firstPartOnly);
    void ApplyPrintMargins(RECT& rect);
    void SetUserSpeedButton(TSpeedButton*& field, TSpeedButton* button);
    void ReadVersion(TReader* reader);
    void WriteVersion(TWriter* writer);
    void ReadData(TStream* stream);
    void WriteData(TStream* stream);

    std::unique_ptr<TvxRichEditStrings> lines_;
    std::unique_ptr<TvxPrintMargins> printMargins_;
    std::unique_ptr<TvxFormPosition> editorPosition_;
    bool autoURLDetect_ = false;
    TvxRichEditOleOptions oleOptions_;
    TSpeedButton* userSpeedButton1_ = nullptr;
    TSpeedButton* userSpeedButton2_ = nullptr;
    std::string printJobName_;
    TvxRichEditPopupOptions popupOptions_;
    TvxRichEditOptions editorOptions_;
    std::string editorCaption_ = "Edit Rich Text";
    TvxMeasurementUnits measurementUnits_ = muInches;
    TvxRichEditWidth editWidth_ = rewWindowSize;
    Integer richEditVersion_ = 2;
    Integer paperSize_ = 1;
    Integer screenPixelsPerInch_ = 96;
    Integer leftTextMargin_ = 3;
    HMODULE library_ = nullptr;
    bool readFromStoredForm_ = false;
    bool dataPropertyRead_ = false;
    TRect lastFormatRect_{};

    TFindDialog* findDialog_ = nullptr;
    TReplaceDialog* replaceDialog_ = nullptr;
    TFontDialog* fontDialog_ = nullptr;
    TPopupMenu* popupMenu_ = nullptr;
    std::array<TMenuItem*, vxPopupItemCount> popupItems_{};
    TvxFindState findState_;
    bool savedHideSelection_ = true;
    bool hideSelectionSaved_ = false;
    bool linkArmed_ = false;
    bool inMouseUp_ = false;
    bool emulatingClick_ = false;

    IRichEditOleCallback* oleCallback_ = nullptr;
    IRichEditOle* richEditOle_ = nullptr;
    IOleObject* selectedObject_ = nullptr;
    std::vector<TMenuItem*> oleMenuItems_;
    std::vector<std::pair<std::string, Cardinal>> verbNames_;
};

// Allows every change of protected text while a field is being loaded.
class TRichProtectClass {
public:
    void AllowChange(TObject* sender, Integer startPos, Integer endPos, bool& allowChange) { allowChange = true; }
};

// The rich-text control bound to a dataset field: a blob field's rich text is loaded into the window and written
// back as rich text; another field shows and takes its text.
class TvxDBRichEdit : public TvxCustomRichEdit {
    DUN_CLASS(TvxDBRichEdit, TvxCustomRichEdit)
public:
    explicit TvxDBRichEdit(TComponent* owner);
    ~TvxDBRichEdit() override;

    TDataSource* DataSource() const { return dataLink_->DataSource(); }
    void SetDataSource(TDataSource* value);
    std::string DataField() const { return dataLink_->FieldName(); }
    void SetDataField(const std::string& value);
    bool AutoDisplay() const { return autoDisplay_; }
    void SetAutoDisplay(bool value);
    bool ReadOnly() const override;
    void SetReadOnly(bool value);
    TFieldDataLink* DataLink() const { return dataLink_.get(); }

    // Loads the blob field's contents when they are not loaded yet.
    void LoadMemo();
    // The first part of any field's blob, for painting a cell; the contents then count as not loaded.
    void LoadFromBlobField(TField* field);
    // Whether the last load failed: the window then shows the failure and stays read-only.
    bool LoadFailed() const { return loadFailed_; }

    void BeginFieldEdit() override;
    void UpdateFieldData() override;
    bool IsContentLoaded() override { return loaded_; }
    TField* GetField() override { return dataLink_->Field(); }

    void SetParent(TWinControl* parent) override;
    void Notification(TComponent* component, TOperation operation) override;
    void Dispatch(TMessage& message) override;

    static void Publish(TPublisher<TvxDBRichEdit>& p);

protected:
    void DestroyWnd() override;
    void KeyDown(Word& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void Change() override;

private:
    bool FieldLinked() const { return dataLink_->Field() != nullptr; }
    bool IsBlobField() const;
    void DataChange();
    void EditingChange();
    void UpdateData();
    void ApplyEditingState();
    void SetFocusedState(bool value);
    void LoadContents();
    void ResetEmptyFormatting();
    void CMExit();
    void WMPaint(TMessage& message);

    std::unique_ptr<TFieldDataLink> dataLink_;
    bool autoDisplay_ = true;
    bool focused_ = false;
    bool loaded_ = false;
    bool loading_ = false;
    bool loadFailed_ = false;
    bool reparenting_ = false;
    bool painting_ = false;
    bool formatRectSet_ = false;
    bool editTextRemembered_ = false;
    std::string editText_;
};

// The ruler of the editor window: a scale in the editing surface's unit with three markers for the current
// paragraph's first-line, left and right indents; a marker dropped elsewhere sets the indent.
class TvxRulerPanel : public TPanel {
    DUN_CLASS(TvxRulerPanel, TPanel)
public:
    explicit TvxRulerPanel(TComponent* owner);

    // The editing surface: its unit, screen resolution, EditWidth, margins and paragraph.
    TvxCustomRichEdit* RichEdit() const { return richEdit_; }
    void SetRichEdit(TvxCustomRichEdit* value) { richEdit_ = value; }
    // Where the scale is drawn, in the panel's pixels.
    TRect RulerRect() const { return rulerRect_; }
    void SetRulerRect(const TRect& rect);
    TvxTrackIcon* BodyMarker() const { return body_; }
    TvxTrackIcon* RightMarker() const { return right_; }
    TvxTrackIcon* FirstMarker() const { return first_; }

    // Makes the three markers (owned by owner) at the scale's ends.
    void CreateMarkers(TComponent* owner);
    // With EditWidth rewPrinterSize: as wide as the page's printable width, the markers' maxima following.
    void SetPrinterWidth();
    // Puts the markers at the current paragraph's indents.
    void FollowParagraph();
    // Snaps the dropped marker and applies its indent.
    void MarkerEndDrag(TObject* sender);
    // Scale length in units.
    double ScaleLength();

protected:
    void Paint() override;

private:
    TvxRulerPlaces MarkerPlaces() const;
    double UnitPixels() const;
    void PaintFrame(TCanvas* canvas);

    TvxCustomRichEdit* richEdit_ = nullptr;
    TRect rulerRect_{};
    TvxTrackIcon* body_ = nullptr;
    TvxTrackIcon* right_ = nullptr;
    TvxTrackIcon* first_ = nullptr;
};
