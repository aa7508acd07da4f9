// The library's settings object TvxIntl with all texts the library shows, grouped per dialog in persistent text
// objects, and the dialog buttons built from those settings. One global TvxIntl (vxIntl) serves every control,
// dialog and dataset of the library; a further TvxIntl with Connected set copies its values into it.
#pragma once

#include <memory>
#include <string>

#include "classes/Component.h"
#include "classes/TypInfo.h"
#include "vcl/Graphics.h"

class TButton;
class TCustomForm;

class TvxUserMessagesIntl : public TPersistent {
    DUN_CLASS(TvxUserMessagesIntl, TPersistent)
public:
    std::string vxDBGridDiscardChanges = "Discard changes to this record?";
    std::string PictureValidateError = "Invalid characters. Field : ";
    std::string LocateNoMatches = "No matches found";
    std::string LocateNoMoreMatches = "No more matches found";
    std::string MemoChangesWarning = "Changes have been made!  Are you sure you wish to cancel?";
    std::string RichEditExitWarning = "Changes have been made!  Do you wish to save your changes?";
    std::string RichEditClearWarning = "Clear entire text?";
    std::string FilterDlgNoCriteria = "You have not selected any search criteria";
    std::string RecordViewExitWarning = "Changes have been made!  Do you wish to save your changes?";

    void Assign(TPersistent* source) override;
    static void Publish(TPublisher<TvxUserMessagesIntl>& p);
};

class TvxDBNavigatorIntlHints : public TPersistent {
    DUN_CLASS(TvxDBNavigatorIntlHints, TPersistent)
public:
    std::string FirstHint = "Move to first record";
    std::string PriorHint = "Move to prior record";
    std::string NextHint = "Move to next record";
    std::string LastHint = "Move to last record";
    std::string InsertHint = "Insert new record";
    std::string DeleteHint = "Delete current record";
    std::string EditHint = "Edit current record";
    std::string PostHint = "Post changes of current record";
    std::string CancelHint = "Cancel changes made to current record";
    std::string RefreshHint = "Refresh the contents of the dataset";
    std::string PriorPageHint = "Move backward %d records";
    std::string NextPageHint = "Move forward %d records";
    std::string SaveBookmarkHint = "Bookmark current record";
    std::string RestoreBookmarkHint = "Go back to saved bookmark";
    std::string RecordViewDialogHint = "View current record";
    std::string LocateDialogHint = "Locate a specific record";
    std::string FilterDialogHint = "Filter the dataset";
    std::string SearchDialogHint = "Search the dataset";

    void Assign(TPersistent* source) override;
    static void Publish(TPublisher<TvxDBNavigatorIntlHints>& p);
};

class TvxDBNavigatorIntl : public TPersistent {
    DUN_CLASS(TvxDBNavigatorIntl, TPersistent)
public:
    TvxDBNavigatorIntl();
    ~TvxDBNavigatorIntl() override;

    std::string ConfirmDeleteMessage = "Delete record?";

    TvxDBNavigatorIntlHints* Hints() const { return hints_.get(); }
    void SetHints(TvxDBNavigatorIntlHints* value) { hints_->Assign(value); }

    void Assign(TPersistent* source) override;
    static void Publish(TPublisher<TvxDBNavigatorIntl>& p);

private:
    std::unique_ptr<TvxDBNavigatorIntlHints> hints_;
};

class TvxLocateDialogIntl : public TPersistent {
    DUN_CLASS(TvxLocateDialogIntl, TPersistent)
public:
    std::string FieldValueLabel = "Field &Value";
    std::string SearchTypeLabel = "&Search Type";
    std::string CaseSensitiveLabel = "&Case-sensitive";
    std::string MatchExactLabel = "&Exact Match";
    std::string MatchStartLabel = "&Partial Match at Beginning";
    std::string MatchAnyLabel = "Partial Match &Anywhere";
    std::string FieldsLabel = "&Fields";
    std::string BtnFirst = "Fi&rst";
    std::string BtnNext = "&Next";
    std::string BtnCancel = "Cancel";
    std::string FieldValueHint = "Enter field's search value";
    std::string CaseSensitiveHint = "Searching is case-sensitive";
    std::string MatchExactHint = "Match occurs only if there is an exact match";
    std::string MatchStartHint = "Match occurs if the start of the field's value matches";
    std::string MatchAnyHint = "Match occurs if any part of the field matches";
    std::string BtnFirstHint = "Find first match";
    std::string BtnNextHint = "Find next match from current record";
    std::string FieldNameHint = "Select the field to search on";

    void Assign(TPersistent* source) override;
    static void Publish(TPublisher<TvxLocateDialogIntl>& p);
};

class TvxSearchDialogIntl : public TPersistent {
    DUN_CLASS(TvxSearchDialogIntl, TPersistent)
public:
    std::string SearchCharLabel = "&Search Characters";
    std::string SearchCharShortLabel = "&Search Char";
    std::string SearchByLabel = "Search &By";
    std::string StatusRecLabel = "Rec #";
    std::string StatusOfLabel = "of";
    std::string SearchCharHint = "Enter characters for incremental search";
    std::string SearchByHint = "Incremental searching and sorting order";

    void Assign(TPersistent* source) override;
    static void Publish(TPublisher<TvxSearchDialogIntl>& p);
};

class TvxMonthCalendarIntl : public TPersistent {
    DUN_CLASS(TvxMonthCalendarIntl, TPersistent)
public:
    std::string PopupYearLabel = "Edit Year";
    std::string EnterYearPrompt = "Enter Valid Year";

    void Assign(TPersistent* source) override;
    static void Publish(TPublisher<TvxMonthCalendarIntl>& p);
};

class TvxFilterDialogIntl : public TPersistent {
    DUN_CLASS(TvxFilterDialogIntl, TPersistent)
public:
    std::string BtnViewSummary = "View Su&mmary";
    std::string BtnViewSummaryHint = "View summary of current search criteria";
    std::string BtnNewSearch = "&New Search";
    std::string BtnNewSearchHint = "Start a new search";
    std::string FieldOrderLabel = "Field Order";
    std::string FieldOrderHint = "Sort field list alphabetically or in their natural logical order";
    std::string AlphabeticLabel = "Alpha&betic";
    std::string LogicalLabel = "&Logical";
    std::string AllFieldsLabel = "&All";
    std::string SearchedFieldsLabel = "&Searched";
    std::string StartingRangeLabel = "&Starting Range";
    std::string EndingRangeLabel = "En&ding Range";
    std::string StartingRangeHint = "Enter starting range for field";
    std::string EndingRangeHint = "Enter ending range for field";
    std::string BtnClearMin = "&Clear";
    std::string BtnClearMax = "Cl&ear";
    std::string BtnClearFilterValue = "&Clear";
    std::string BtnClearMinHint = "Clear starting range for field";
    std::string BtnClearMaxHint = "Clear ending range for field";
    std::string BtnClearFilterValueHint = "Clear the current field's search value";
    std::string ByValueLabel = "By &Value";
    std::string ByRangeLabel = "By &Range";
    std::string FieldValueLabel = "Field &Value";
    std::string FieldValueHint = "Enter field's search value";
    std::string SearchTypeLabel = "Search Type";
    std::string SearchTypeHint = "Specify how the Field Value should be compared";
    std::string MatchExactLabel = "&Exact Match";
    std::string MatchStartLabel = "&Partial Match at Beginning";
    std::string MatchAnyLabel = "Partial Match Any&where";
    std::string CaseSensitiveLabel = "Case Sensi&tive";
    std::string CaseSensitiveHint = "Searching is case-sensitive";
    std::string NonMatchingLabel = "N&on-matching records";
    std::string NonMatchingHint = "Show records that do not match the field value criteria";
    std::string SummaryFieldLabel = "Field";
    std::string SummarySearchLabel = "Search Type";
    std::string SummaryValueLabel = "Value";
    std::string FieldsLabel = "&Fields";
    std::string ValueRangeTabHint = "Search fields by value or by range";
    std::string AllSearchedTabHint = "Show all fields or only currently searched fields";
    std::string ViewSummaryNotText = "NOT";

    void Assign(TPersistent* source) override;
    static void Publish(TPublisher<TvxFilterDialogIntl>& p);
};

class TvxRichEditMenuLabels : public TPersistent {
    DUN_CLASS(TvxRichEditMenuLabels, TPersistent)
public:
    std::string FileCaption = "&File";
    std::string LoadCaption = "&Load";
    std::string SaveAsCaption = "Save &As";
    std::string SaveExitCaption = "&Save and Exit";
    std::string PrintCaption = "&Print";
    std::string PageSetupCaption = "Page Set&up";
    std::string ExitCaption = "E&xit";
    std::string EditCaption = "&Edit";
    std::string UndoCaption = "&Undo";
    std::string CutCaption = "Cu&t";
    std::string CopyCaption = "&Copy";
    std::string PasteCaption = "&Paste";
    std::string ClearCaption = "Cle&ar";
    std::string SelectallCaption = "Select A&ll";
    std::string FindCaption = "&Find";
    std::string FindNextCaption = "Find &Next";
    std::string ReplaceCaption = "R&eplace";
    std::string InsertObjectCaption = "&Object...";
    std::string ViewCaption = "&View";
    std::string ToolbarCaption = "&Toolbar";
    std::string FormatBarCaption = "&Format Bar";
    std::string ViewStatusBarCaption = "&Status Bar";
    std::string OptionsCaption = "&Options";
    std::string FormatCaption = "F&ormat";
    std::string FontCaption = "&Font";
    std::string BulletStyleCaption = "&Bullet Style";
    std::string ParagraphCaption = "&Paragraph";
    std::string TabsCaption = "&Tabs";
    std::string HelpCaption = "Help";

    void Assign(TPersistent* source) override;
    static void Publish(TPublisher<TvxRichEditMenuLabels>& p);
};

class TvxRichEditPopupMenuLabels : public TPersistent {
    DUN_CLASS(TvxRichEditPopupMenuLabels, TPersistent)
public:
    std::string EditCaption = "&Edit";
    std::string ViewCaption = "&View";
    std::string CutCaption = "Cu&t";
    std::string CopyCaption = "&Copy";
    std::string PasteCaption = "&Paste";
    std::string FontCaption = "&Font";
    std::string BulletStyleCaption = "&Bullet Style";
    std::string BoldCaption = "B&old";
    std::string ItalicCaption = "&Italic";
    std::string UnderlineCaption = "&Underline";
    std::string ParagraphCaption = "P&aragraph";
    std::string TabsCaption = "&Tabs";
    std::string FindCaption = "Fin&d";
    std::string ReplaceCaption = "&Replace";
    std::string InsertObjectCaption = "&Insert &Object...";

    void Assign(TPersistent* source) override;
    static void Publish(TPublisher<TvxRichEditPopupMenuLabels>& p);
};

class TvxRichEditParagraphDlg : public TPersistent {
    DUN_CLASS(TvxRichEditParagraphDlg, TPersistent)
public:
    std::string ParagraphDlgCaption = "Paragraph";
    std::string IndentationGroupBoxCaption = "Indentation";
    std::string LeftEditHint = "Left Indentation";
    std::string RightEditHint = "Right Indentation";
    std::string FirstLineEditHint = "First Line of Paragraph Indentation";
    std::string AlignmentHint = "Changes Alignment of Paragraph";
    std::string LeftEditCaption = "Left:";
    std::string RightEditCaption = "Right:";
    std::string FirstLineEditCaption = "First line:";
    std::string SpacingGroupCaption = "Spacing";
    std::string BeforeParagraphCaption = "&Before";
    std::string AfterParagraphCaption = "Aft&er";
    std::string WithinParagraphCaption = "Li&ne Spacing";
    std::string WithinParagraphAtCaption = "&At";
    std::string AlignmentCaption = "Alignment";
    std::string AlignLeft = "Left";
    std::string AlignRight = "Right";
    std::string AlignCenter = "Center";

    void Assign(TPersistent* source) override;
    static void Publish(TPublisher<TvxRichEditParagraphDlg>& p);
};

class TvxRichEditTabDlg : public TPersistent {
    DUN_CLASS(TvxRichEditTabDlg, TPersistent)
public:
    std::string TabDlgCaption = "Tab";
    std::string TabGroupBoxCaption = "&Tab Stop Position";
    std::string SetTabButtonCaption = "Set";
    std::string ClearTabButtonCaption = "Clear";
    std::string ClearAllButtonCaption = "Clear All";
    std::string TabPositionEditHint = "Tab Position Edit Box";
    std::string ListBoxHint = "List of tabs and their positions";
    std::string SetButtonHint = "Set a new tab position";
    std::string ClearButtonHint = "Clear the selected tab position";
    std::string ClearAllButtonHint = "Clear all the tabs";

    void Assign(TPersistent* source) override;
    static void Publish(TPublisher<TvxRichEditTabDlg>& p);
};

class TvxDBRichEditIntl : public TPersistent {
    DUN_CLASS(TvxDBRichEditIntl, TPersistent)
public:
    TvxDBRichEditIntl();
    ~TvxDBRichEditIntl() override;

    std::string FontNameComboHint = "Font | Changes the font of the selection";
    std::string FontSizeComboHint = "Font Size | Changes the font size of the selection";
    std::string NewButtonHint = "New | Creates a new document";
    std::string LoadButtonHint = "Load | Load from file";
    std::string SaveAsButtonHint = "Save As | Save to file";
    std::string PrintButtonHint = "Print | Prints the active document";
    std::string FindButtonHint = "Find | Finds the specified text";
    std::string CutButtonHint = "Cut | Cuts the selection and puts it on the Clipboard";
    std::string CopyButtonHint = "Copy | Copies the selection and puts it on the Clipboard";
    std::string UndoButtonHint = "Undo | Reverses the last action";
    std::string PasteButtonHint = "Paste | Inserts Clipboard contents";
    std::string BoldButtonHint = "Bold | Makes the selection bold (toggle)";
    std::string UnderlineButtonHint = "Underline | Formats the selection with a continuous underline (toggle)";
    std::string ItalicButtonHint = "Italic | Makes the selection italic (toggle)";
    std::string LeftButtonHint = "Align Left | Left-justifies paragraph (toggle)";
    std::string CenterButtonHint = "Center | Center-justifies paragraph (toggle)";
    std::string RightButtonHint = "Align Right | Right-justifies paragraph (toggle)";
    std::string BulletButtonHint = "Bullets | Inserts a bullet on this line (toggle)";
    std::string SaveExitHint = "Save And Exit | Saves changes and exits editor";
    std::string PageSetupHint = "Page Setup | Changes page layout settings";
    std::string ExitHint = "Exit";
    std::string ClearHint = "Erases the Selection";
    std::string SelectAllHint = "Selects all of the text";
    std::string FindNextHint = "Repeats the last find";
    std::string ReplaceHint = "Replaces specific text with different text";
    std::string InsertObjectHint = "Inserts new embedded object";
    std::string ToolbarHint = "Shows or hides the toolbar";
    std::string FormatBarHint = "Shows or hides the format bar";
    std::string ViewStatusBarHint = "Shows or hides the status bar";
    std::string OptionsHint = "Sets options";
    std::string FontHint = "Selects font for current selection";
    std::string ParagraphHint = "Formats current or selected paragraph(s)";
    std::string TabsHint = "Sets tabs";
    std::string CAPLockCaption = "CAP";
    std::string NUMLockCaption = "NUM";

    TvxRichEditMenuLabels* MenuLabels() const { return menuLabels_.get(); }
    void SetMenuLabels(TvxRichEditMenuLabels* value) { menuLabels_->Assign(value); }
    TvxRichEditPopupMenuLabels* PopupMenuLabels() const { return popupMenuLabels_.get(); }
    void SetPopupMenuLabels(TvxRichEditPopupMenuLabels* value) { popupMenuLabels_->Assign(value); }
    TvxRichEditParagraphDlg* ParagraphDialog() const { return paragraphDialog_.get(); }
    void SetParagraphDialog(TvxRichEditParagraphDlg* value) { paragraphDialog_->Assign(value); }
    TvxRichEditTabDlg* TabDialog() const { return tabDialog_.get(); }
    void SetTabDialog(TvxRichEditTabDlg* value) { tabDialog_->Assign(value); }

    void Assign(TPersistent* source) override;
    static void Publish(TPublisher<TvxDBRichEditIntl>& p);

private:
    std::unique_ptr<TvxRichEditMenuLabels> menuLabels_;
    std::unique_ptr<TvxRichEditPopupMenuLabels> popupMenuLabels_;
    std::unique_ptr<TvxRichEditParagraphDlg> paragraphDialog_;
    std::unique_ptr<TvxRichEditTabDlg> tabDialog_;
};

enum TvxCheckBoxInGridStyle { cbStyleAuto, cbStyleCheckmark, cbStyleXmark };
DUN_ENUM(TvxCheckBoxInGridStyle, "cbStyleAuto", "cbStyleCheckmark", "cbStyleXmark");

class TvxIntl : public TComponent {
    DUN_CLASS(TvxIntl, TComponent)
public:
    explicit TvxIntl(TComponent* owner);
    ~TvxIntl() override;
    void Loaded() override;

    TvxDBNavigatorIntl* Navigator() const { return navigator_.get(); }
    void SetNavigator(TvxDBNavigatorIntl* value) { navigator_->Assign(value); }
    TvxSearchDialogIntl* SearchDialog() const { return searchDialog_.get(); }
    void SetSearchDialog(TvxSearchDialogIntl* value) { searchDialog_->Assign(value); }
    TvxLocateDialogIntl* LocateDialog() const { return locateDialog_.get(); }
    void SetLocateDialog(TvxLocateDialogIntl* value) { locateDialog_->Assign(value); }
    TvxMonthCalendarIntl* MonthCalendar() const { return monthCalendar_.get(); }
    void SetMonthCalendar(TvxMonthCalendarIntl* value) { monthCalendar_->Assign(value); }
    TvxUserMessagesIntl* UserMessages() const { return userMessages_.get(); }
    void SetUserMessages(TvxUserMessagesIntl* value) { userMessages_->Assign(value); }
    TvxFilterDialogIntl* FilterDialog() const { return filterDialog_.get(); }
    void SetFilterDialog(TvxFilterDialogIntl* value) { filterDialog_->Assign(value); }
    TvxDBRichEditIntl* RichEdit() const { return richEdit_.get(); }
    void SetRichEdit(TvxDBRichEditIntl* value) { richEdit_->Assign(value); }

    bool OKCancelBitmapped() const { return okCancelBitmapped_; }
    void SetOKCancelBitmapped(bool value) { okCancelBitmapped_ = value; }
    TFontStyles DialogFontStyle() const { return dialogFontStyle_; }
    void SetDialogFontStyle(TFontStyles value) { dialogFontStyle_ = value; }
    std::string BtnOKCaption() const { return btnOKCaption_; }
    void SetBtnOKCaption(const std::string& value) { btnOKCaption_ = value; }
    std::string BtnCancelCaption() const { return btnCancelCaption_; }
    void SetBtnCancelCaption(const std::string& value) { btnCancelCaption_ = value; }
    bool Connected() const { return connected_; }
    // Set to true, copies this instance into the global object.
    void SetConnected(bool value);
    std::string VersionPlenvia() const { return "4.0B"; }
    void SetVersionPlenvia(const std::string&) {}
    bool ReopenSQLOnCancelRange() const { return reopenSQLOnCancelRange_; }
    void SetReopenSQLOnCancelRange(bool value) { reopenSQLOnCancelRange_ = value; }
    TvxCheckBoxInGridStyle CheckBoxInGridStyle() const { return checkBoxInGridStyle_; }
    // On a connected instance, also sets the global object's style at once.
    void SetCheckBoxInGridStyle(TvxCheckBoxInGridStyle value);
    bool UseLocateMethodForSearch() const { return useLocateMethodForSearch_; }
    void SetUseLocateMethodForSearch(bool value) { useLocateMethodForSearch_ = value; }
    Integer DefaultEpochYear() const { return defaultEpochYear_; }
    void SetDefaultEpochYear(Integer value) { defaultEpochYear_ = value; }
    Integer FilterMemoSize() const { return filterMemoSize_; }
    void SetFilterMemoSize(Integer value) { filterMemoSize_ = value; }

    static void Publish(TPublisher<TvxIntl>& p);

private:
    void CopyToGlobal();

    std::unique_ptr<TvxDBNavigatorIntl> navigator_;
    std::unique_ptr<TvxSearchDialogIntl> searchDialog_;
    std::unique_ptr<TvxLocateDialogIntl> locateDialog_;
    std::unique_ptr<TvxMonthCalendarIntl> monthCalendar_;
    bool okCancelBitmapped_ = true;
    TFontStyles dialogFontStyle_;
    std::string btnOKCaption_ = "&OK";
    std::string btnCancelCaption_ = "Cancel";
    bool connected_ = false;
    std::unique_ptr<TvxUserMessagesIntl> userMessages_;
    std::unique_ptr<TvxFilterDialogIntl> filterDialog_;
    std::unique_ptr<TvxDBRichEditIntl> richEdit_;
    bool reopenSQLOnCancelRange_ = true;
    TvxCheckBoxInGridStyle checkBoxInGridStyle_ = cbStyleAuto;
    bool useLocateMethodForSearch_ = true;
    Integer defaultEpochYear_ = 1950;
    Integer filterMemoSize_ = 65536;
};

// The global settings object: created on first use at start-up, freed at exit.
TvxIntl* vxIntl();
// The global object's FilterMemoSize.
Integer vxGetFilterMemoSize();

// Kinds of dialog buttons (the bitmap-button kinds).
constexpr Integer vxbkOK = 1;
constexpr Integer vxbkCancel = 2;
constexpr Integer vxbkHelp = 3;

// A hidden OK, Cancel or Help button on the form, owned by it: a bitmap button when the global object's
// OKCancelBitmapped is set, else a plain push button, with the global object's captions and font style. The caller
// positions and shows it.
TButton* vxCreateDialogButton(TCustomForm* form, Integer kind);
