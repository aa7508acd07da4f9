#include "vxdata/Vxintl.h"

#include "vcl/Buttons.h"
#include "vcl/Forms.h"

namespace {

// Copies every published text (and, recursively, every nested text object) of a text object of the same class.
void AssignTexts(TPersistent* dest, TPersistent* source)
{
    if (!source || source->ClassType() != dest->ClassType()) {
        dest->TPersistent::Assign(source);
        return;
    }
    for (PPropInfo prop : GetPropList(dest)) {
        if (prop->PropType->Kind == tkLString) {
            SetStrProp(dest, prop, GetStrProp(source, prop));
        } else if (prop->PropType->Kind == tkClass) {
            auto* nested = static_cast<TPersistent*>(GetObjectProp(dest, prop));
            nested->Assign(static_cast<TPersistent*>(GetObjectProp(source, prop)));
        }
    }
}

TvxIntl* globalIntl = nullptr;
bool intlUnitFinished = false;

// Frees the global object when the program ends.
struct TIntlUnit {
    ~TIntlUnit()
    {
        intlUnitFinished = true;
        if (globalIntl) globalIntl->Free();
    }
};

}  // namespace

void TvxUserMessagesIntl::Assign(TPersistent* source) { AssignTexts(this, source); }

void TvxUserMessagesIntl::Publish(TPublisher<TvxUserMessagesIntl>& p)
{
    p.Property("vxDBGridDiscardChanges", &TvxUserMessagesIntl::vxDBGridDiscardChanges);
    p.Property("PictureValidateError", &TvxUserMessagesIntl::PictureValidateError);
    p.Property("LocateNoMatches", &TvxUserMessagesIntl::LocateNoMatches);
    p.Property("LocateNoMoreMatches", &TvxUserMessagesIntl::LocateNoMoreMatches);
    p.Property("MemoChangesWarning", &TvxUserMessagesIntl::MemoChangesWarning);
    p.Property("RichEditExitWarning", &TvxUserMessagesIntl::RichEditExitWarning);
    p.Property("RichEditClearWarning", &TvxUserMessagesIntl::RichEditClearWarning);
    p.Property("FilterDlgNoCriteria", &TvxUserMessagesIntl::FilterDlgNoCriteria);
    p.Property("RecordViewExitWarning", &TvxUserMessagesIntl::RecordViewExitWarning);
}

void TvxDBNavigatorIntlHints::Assign(TPersistent* source) { AssignTexts(this, source); }

void TvxDBNavigatorIntlHints::Publish(TPublisher<TvxDBNavigatorIntlHints>& p)
{
    p.Property("FirstHint", &TvxDBNavigatorIntlHints::FirstHint);
    p.Property("PriorHint", &TvxDBNavigatorIntlHints::PriorHint);
    p.Property("NextHint", &TvxDBNavigatorIntlHints::NextHint);
    p.Property("LastHint", &TvxDBNavigatorIntlHints::LastHint);
    p.Property("InsertHint", &TvxDBNavigatorIntlHints::InsertHint);
    p.Property("DeleteHint", &TvxDBNavigatorIntlHints::DeleteHint);
    p.Property("EditHint", &TvxDBNavigatorIntlHints::EditHint);
    p.Property("PostHint", &TvxDBNavigatorIntlHints::PostHint);
    p.Property("CancelHint", &TvxDBNavigatorIntlHints::CancelHint);
    p.Property("RefreshHint", &TvxDBNavigatorIntlHints::RefreshHint);
    p.Property("PriorPageHint", &TvxDBNavigatorIntlHints::PriorPageHint);
    p.Property("NextPageHint", &TvxDBNavigatorIntlHints::NextPageHint);
    p.Property("SaveBookmarkHint", &TvxDBNavigatorIntlHints::SaveBookmarkHint);
    p.Property("RestoreBookmarkHint", &TvxDBNavigatorIntlHints::RestoreBookmarkHint);
    p.Property("RecordViewDialogHint", &TvxDBNavigatorIntlHints::RecordViewDialogHint);
    p.Property("LocateDialogHint", &TvxDBNavigatorIntlHints::LocateDialogHint);
    p.Property("FilterDialogHint", &TvxDBNavigatorIntlHints::FilterDialogHint);
    p.Property("SearchDialogHint", &TvxDBNavigatorIntlHints::SearchDialogHint);
}

TvxDBNavigatorIntl::TvxDBNavigatorIntl() : hints_(std::make_unique<TvxDBNavigatorIntlHints>()) {}

TvxDBNavigatorIntl::~TvxDBNavigatorIntl() = default;

void TvxDBNavigatorIntl::Assign(TPersistent* source) { AssignTexts(this, source); }

void TvxDBNavigatorIntl::Publish(TPublisher<TvxDBNavigatorIntl>& p)
{
    p.Property("ConfirmDeleteMessage", &TvxDBNavigatorIntl::ConfirmDeleteMessage);
    p.Property("Hints", &TvxDBNavigatorIntl::Hints, &TvxDBNavigatorIntl::SetHints);
}

void TvxLocateDialogIntl::Assign(TPersistent* source) { AssignTexts(this, source); }

void TvxLocateDialogIntl::Publish(TPublisher<TvxLocateDialogIntl>& p)
{
    p.Property("FieldValueLabel", &TvxLocateDialogIntl::FieldValueLabel);
    p.Property("SearchTypeLabel", &TvxLocateDialogIntl::SearchTypeLabel);
    p.Property("CaseSensitiveLabel", &TvxLocateDialogIntl::CaseSensitiveLabel);
    p.Property("MatchExactLabel", &TvxLocateDialogIntl::MatchExactLabel);
    p.Property("MatchStartLabel", &TvxLocateDialogIntl::MatchStartLabel);
    p.Property("MatchAnyLabel", &TvxLocateDialogIntl::MatchAnyLabel);
    p.Property("FieldsLabel", &TvxLocateDialogIntl::FieldsLabel);
    p.Property("BtnFirst", &TvxLocateDialogIntl::BtnFirst);
    p.Property("BtnNext", &TvxLocateDialogIntl::BtnNext);
    p.Property("BtnCancel", &TvxLocateDialogIntl::BtnCancel);
    p.Property("FieldValueHint", &TvxLocateDialogIntl::FieldValueHint);
    p.Property("CaseSensitiveHint", &TvxLocateDialogIntl::CaseSensitiveHint);
    p.Property("MatchExactHint", &TvxLocateDialogIntl::MatchExactHint);
    p.Property("MatchStartHint", &TvxLocateDialogIntl::MatchStartHint);
    p.Property("MatchAnyHint", &TvxLocateDialogIntl::MatchAnyHint);
    p.Property("BtnFirstHint", &TvxLocateDialogIntl::BtnFirstHint);
    p.Property("BtnNextHint", &TvxLocateDialogIntl::BtnNextHint);
    p.Property("FieldNameHint", &TvxLocateDialogIntl::FieldNameHint);
}

void TvxSearchDialogIntl::Assign(TPersistent* source) { AssignTexts(this, source); }

void TvxSearchDialogIntl::Publish(TPublisher<TvxSearchDialogIntl>& p)
{
    p.Property("SearchCharLabel", &TvxSearchDialogIntl::SearchCharLabel);
    p.Property("SearchCharShortLabel", &TvxSearchDialogIntl::SearchCharShortLabel);
    p.Property("SearchByLabel", &TvxSearchDialogIntl::SearchByLabel);
    p.Property("StatusRecLabel", &TvxSearchDialogIntl::StatusRecLabel);
    p.Property("StatusOfLabel", &TvxSearchDialogIntl::StatusOfLabel);
    p.Property("SearchCharHint", &TvxSearchDialogIntl::SearchCharHint);
    p.Property("SearchByHint", &TvxSearchDialogIntl::SearchByHint);
}

void TvxMonthCalendarIntl::Assign(TPersistent* source) { AssignTexts(this, source); }

void TvxMonthCalendarIntl::Publish(TPublisher<TvxMonthCalendarIntl>& p)
{
    p.Property("PopupYearLabel", &TvxMonthCalendarIntl::PopupYearLabel);
    p.Property("EnterYearPrompt", &TvxMonthCalendarIntl::EnterYearPrompt);
}

void TvxFilterDialogIntl::Assign(TPersistent* source) { AssignTexts(this, source); }

void TvxFilterDialogIntl::Publish(TPublisher<TvxFilterDialogIntl>& p)
{
    p.Property("BtnViewSummary", &TvxFilterDialogIntl::BtnViewSummary);
    p.Property("BtnViewSummaryHint", &TvxFilterDialogIntl::BtnViewSummaryHint);
    p.Property("BtnNewSearch", &TvxFilterDialogIntl::BtnNewSearch);
    p.Property("BtnNewSearchHint", &TvxFilterDialogIntl::BtnNewSearchHint);
    p.Property("FieldOrderLabel", &TvxFilterDialogIntl::FieldOrderLabel);
    p.Property("FieldOrderHint", &TvxFilterDialogIntl::FieldOrderHint);
    p.Property("AlphabeticLabel", &TvxFilterDialogIntl::AlphabeticLabel);
    p.Property("LogicalLabel", &TvxFilterDialogIntl::LogicalLabel);
    p.Property("AllFieldsLabel", &TvxFilterDialogIntl::AllFieldsLabel);
    p.Property("SearchedFieldsLabel", &TvxFilterDialogIntl::SearchedFieldsLabel);
    p.Property("StartingRangeLabel", &TvxFilterDialogIntl::StartingRangeLabel);
    p.Property("EndingRangeLabel", &TvxFilterDialogIntl::EndingRangeLabel);
    p.Property("StartingRangeHint", &TvxFilterDialogIntl::StartingRangeHint);
    p.Property("EndingRangeHint", &TvxFilterDialogIntl::EndingRangeHint);
    p.Property("BtnClearMin", &TvxFilterDialogIntl::BtnClearMin);
    p.Property("BtnClearMax", &TvxFilterDialogIntl::BtnClearMax);
    p.Property("BtnClearFilterValue", &TvxFilterDialogIntl::BtnClearFilterValue);
    p.Property("BtnClearMinHint", &TvxFilterDialogIntl::BtnClearMinHint);
    p.Property("BtnClearMaxHint", &TvxFilterDialogIntl::BtnClearMaxHint);
    p.Property("BtnClearFilterValueHint", &TvxFilterDialogIntl::BtnClearFilterValueHint);
    p.Property("ByValueLabel", &TvxFilterDialogIntl::ByValueLabel);
    p.Property("ByRangeLabel", &TvxFilterDialogIntl::ByRangeLabel);
    p.Property("FieldValueLabel", &TvxFilterDialogIntl::FieldValueLabel);
    p.Property("FieldValueHint", &TvxFilterDialogIntl::FieldValueHint);
    p.Property("SearchTypeLabel", &TvxFilterDialogIntl::SearchTypeLabel);
    p.Property("SearchTypeHint", &TvxFilterDialogIntl::SearchTypeHint);
    p.Property("MatchExactLabel", &TvxFilterDialogIntl::MatchExactLabel);
    p.Property("MatchStartLabel", &TvxFilterDialogIntl::MatchStartLabel);
    p.Property("MatchAnyLabel", &TvxFilterDialogIntl::MatchAnyLabel);
    p.Property("CaseSensitiveLabel", &TvxFilterDialogIntl::CaseSensitiveLabel);
    p.Property("CaseSensitiveHint", &TvxFilterDialogIntl::CaseSensitiveHint);
    p.Property("NonMatchingLabel", &TvxFilterDialogIntl::NonMatchingLabel);
    p.Property("NonMatchingHint", &TvxFilterDialogIntl::NonMatchingHint);
    p.Property("SummaryFieldLabel", &TvxFilterDialogIntl::SummaryFieldLabel);
    p.Property("SummarySearchLabel", &TvxFilterDialogIntl::SummarySearchLabel);
    p.Property("SummaryValueLabel", &TvxFilterDialogIntl::SummaryValueLabel);
    p.Property("FieldsLabel", &TvxFilterDialogIntl::FieldsLabel);
    p.Property("ValueRangeTabHint", &TvxFilterDialogIntl::ValueRangeTabHint);
    p.Property("AllSearchedTabHint", &TvxFilterDialogIntl::AllSearchedTabHint);
    p.Property("ViewSummaryNotText", &TvxFilterDialogIntl::ViewSummaryNotText);
}

void TvxRichEditMenuLabels::Assign(TPersistent* source) { AssignTexts(this, source); }

void TvxRichEditMenuLabels::Publish(TPublisher<TvxRichEditMenuLabels>& p)
{
    p.Property("FileCaption", &TvxRichEditMenuLabels::FileCaption);
    p.Property("LoadCaption", &TvxRichEditMenuLabels::LoadCaption);
    p.Property("SaveAsCaption", &TvxRichEditMenuLabels::SaveAsCaption);
    p.Property("SaveExitCaption", &TvxRichEditMenuLabels::SaveExitCaption);
    p.Property("PrintCaption", &TvxRichEditMenuLabels::PrintCaption);
    p.Property("PageSetupCaption", &TvxRichEditMenuLabels::PageSetupCaption);
    p.Property("ExitCaption", &TvxRichEditMenuLabels::ExitCaption);
    p.Property("EditCaption", &TvxRichEditMenuLabels::EditCaption);
    p.Property("UndoCaption", &TvxRichEditMenuLabels::UndoCaption);
    p.Property("CutCaption", &TvxRichEditMenuLabels::CutCaption);
    p.Property("CopyCaption", &TvxRichEditMenuLabels::CopyCaption);
    p.Property("PasteCaption", &TvxRichEditMenuLabels::PasteCaption);
    p.Property("ClearCaption", &TvxRichEditMenuLabels::ClearCaption);
    p.Property("SelectallCaption", &TvxRichEditMenuLabels::SelectallCaption);
    p.Property("FindCaption", &TvxRichEditMenuLabels::FindCaption);
    p.Property("FindNextCaption", &TvxRichEditMenuLabels::FindNextCaption);
    p.Property("ReplaceCaption", &TvxRichEditMenuLabels::ReplaceCaption);
    p.Property("InsertObjectCaption", &TvxRichEditMenuLabels::InsertObjectCaption);
    p.Property("ViewCaption", &TvxRichEditMenuLabels::ViewCaption);
    p.Property("ToolbarCaption", &TvxRichEditMenuLabels::ToolbarCaption);
    p.Property("FormatBarCaption", &TvxRichEditMenuLabels::FormatBarCaption);
    p.Property("ViewStatusBarCaption", &TvxRichEditMenuLabels::ViewStatusBarCaption);
    p.Property("OptionsCaption", &TvxRichEditMenuLabels::OptionsCaption);
    p.Property("FormatCaption", &TvxRichEditMenuLabels::FormatCaption);
    p.Property("FontCaption", &TvxRichEditMenuLabels::FontCaption);
    p.Property("BulletStyleCaption", &TvxRichEditMenuLabels::BulletStyleCaption);
    p.Property("ParagraphCaption", &TvxRichEditMenuLabels::ParagraphCaption);
    p.Property("TabsCaption", &TvxRichEditMenuLabels::TabsCaption);
    p.Property("HelpCaption", &TvxRichEditMenuLabels::HelpCaption);
}

void TvxRichEditPopupMenuLabels::Assign(TPersistent* source) { AssignTexts(this, source); }

void TvxRichEditPopupMenuLabels::Publish(TPublisher<TvxRichEditPopupMenuLabels>& p)
{
    p.Property("EditCaption", &TvxRichEditPopupMenuLabels::EditCaption);
    p.Property("ViewCaption", &TvxRichEditPopupMenuLabels::ViewCaption);
    p.Property("CutCaption", &TvxRichEditPopupMenuLabels::CutCaption);
    p.Property("CopyCaption", &TvxRichEditPopupMenuLabels::CopyCaption);
    p.Property("PasteCaption", &TvxRichEditPopupMenuLabels::PasteCaption);
    p.Property("FontCaption", &TvxRichEditPopupMenuLabels::FontCaption);
    p.Property("BulletStyleCaption", &TvxRichEditPopupMenuLabels::BulletStyleCaption);
    p.Property("BoldCaption", &TvxRichEditPopupMenuLabels::BoldCaption);
    p.Property("ItalicCaption", &TvxRichEditPopupMenuLabels::ItalicCaption);
    p.Property("UnderlineCaption", &TvxRichEditPopupMenuLabels::UnderlineCaption);
    p.Property("ParagraphCaption", &TvxRichEditPopupMenuLabels::ParagraphCaption);
    p.Property("TabsCaption", &TvxRichEditPopupMenuLabels::TabsCaption);
    p.Property("FindCaption", &TvxRichEditPopupMenuLabels::FindCaption);
    p.Property("ReplaceCaption", &TvxRichEditPopupMenuLabels::ReplaceCaption);
    p.Property("InsertObjectCaption", &TvxRichEditPopupMenuLabels::InsertObjectCaption);
}

void TvxRichEditParagraphDlg::Assign(TPersistent* source) { AssignTexts(this, source); }

void TvxRichEditParagraphDlg::Publish(TPublisher<TvxRichEditParagraphDlg>& p)
{
    p.Property("ParagraphDlgCaption", &TvxRichEditParagraphDlg::ParagraphDlgCaption);
    p.Property("IndentationGroupBoxCaption", &TvxRichEditParagraphDlg::IndentationGroupBoxCaption);
    p.Property("LeftEditHint", &TvxRichEditParagraphDlg::LeftEditHint);
    p.Property("RightEditHint", &TvxRichEditParagraphDlg::RightEditHint);
    p.Property("FirstLineEditHint", &TvxRichEditParagraphDlg::FirstLineEditHint);
    p.Property("AlignmentHint", &TvxRichEditParagraphDlg::AlignmentHint);
    p.Property("LeftEditCaption", &TvxRichEditParagraphDlg::LeftEditCaption);
    p.Property("RightEditCaption", &TvxRichEditParagraphDlg::RightEditCaption);
    p.Property("FirstLineEditCaption", &TvxRichEditParagraphDlg::FirstLineEditCaption);
    p.Property("SpacingGroupCaption", &TvxRichEditParagraphDlg::SpacingGroupCaption);
    p.Property("BeforeParagraphCaption", &TvxRichEditParagraphDlg::BeforeParagraphCaption);
    p.Property("AfterParagraphCaption", &TvxRichEditParagraphDlg::AfterParagraphCaption);
    p.Property("WithinParagraphCaption", &TvxRichEditParagraphDlg::WithinParagraphCaption);
    p.Property("WithinParagraphAtCaption", &TvxRichEditParagraphDlg::WithinParagraphAtCaption);
    p.Property("AlignmentCaption", &TvxRichEditParagraphDlg::AlignmentCaption);
    p.Property("AlignLeft", &TvxRichEditParagraphDlg::AlignLeft);
    p.Property("AlignRight", &TvxRichEditParagraphDlg::AlignRight);
    p.Property("AlignCenter", &TvxRichEditParagraphDlg::AlignCenter);
}

void TvxRichEditTabDlg::Assign(TPersistent* source) { AssignTexts(this, source); }

void TvxRichEditTabDlg::Publish(TPublisher<TvxRichEditTabDlg>& p)
{
    p.Property("TabDlgCaption", &TvxRichEditTabDlg::TabDlgCaption);
    p.Property("TabGroupBoxCaption", &TvxRichEditTabDlg::TabGroupBoxCaption);
    p.Property("SetTabButtonCaption", &TvxRichEditTabDlg::SetTabButtonCaption);
    p.Property("ClearTabButtonCaption", &TvxRichEditTabDlg::ClearTabButtonCaption);
    p.Property("ClearAllButtonCaption", &TvxRichEditTabDlg::ClearAllButtonCaption);
    p.Property("TabPositionEditHint", &TvxRichEditTabDlg::TabPositionEditHint);
    p.Property("ListBoxHint", &TvxRichEditTabDlg::ListBoxHint);
    p.Property("SetButtonHint", &TvxRichEditTabDlg::SetButtonHint);
    p.Property("ClearButtonHint", &TvxRichEditTabDlg::ClearButtonHint);
    p.Property("ClearAllButtonHint", &TvxRichEditTabDlg::ClearAllButtonHint);
}

TvxDBRichEditIntl::TvxDBRichEditIntl() : menuLabels_(std::make_unique<TvxRichEditMenuLabels>()), popupMenuLabels_(std::make_unique<TvxRichEditPopupMenuLabels>()), paragraphDialog_(std::make_unique<TvxRichEditParagraphDlg>()), tabDialog_(std::make_unique<TvxRichEditTabDlg>()) {}

TvxDBRichEditIntl::~TvxDBRichEditIntl() = default;

void TvxDBRichEditIntl::Assign(TPersistent* source) { AssignTexts(this, source); }

void TvxDBRichEditIntl::Publish(TPublisher<TvxDBRichEditIntl>& p)
{
    p.Property("FontNameComboHint", &TvxDBRichEditIntl::FontNameComboHint);
    p.Property("FontSizeComboHint", &TvxDBRichEditIntl::FontSizeComboHint);
    p.Property("NewButtonHint", &TvxDBRichEditIntl::NewButtonHint);
    p.Property("LoadButtonHint", &TvxDBRichEditIntl::LoadButtonHint);
    p.Property("SaveAsButtonHint", &TvxDBRichEditIntl::SaveAsButtonHint);
    p.Property("PrintButtonHint", &TvxDBRichEditIntl::PrintButtonHint);
    p.Property("FindButtonHint", &TvxDBRichEditIntl::FindButtonHint);
    p.Property("CutButtonHint", &TvxDBRichEditIntl::CutButtonHint);
    p.Property("CopyButtonHint", &TvxDBRichEditIntl::CopyButtonHint);
    p.Property("UndoButtonHint", &TvxDBRichEditIntl::UndoButtonHint);
    p.Property("PasteButtonHint", &TvxDBRichEditIntl::PasteButtonHint);
    p.Property("BoldButtonHint", &TvxDBRichEditIntl::BoldButtonHint);
    p.Property("UnderlineButtonHint", &TvxDBRichEditIntl::UnderlineButtonHint);
    p.Property("ItalicButtonHint", &TvxDBRichEditIntl::ItalicButtonHint);
    p.Property("LeftButtonHint", &TvxDBRichEditIntl::LeftButtonHint);
    p.Property("CenterButtonHint", &TvxDBRichEditIntl::CenterButtonHint);
    p.Property("RightButtonHint", &TvxDBRichEditIntl::RightButtonHint);
    p.Property("BulletButtonHint", &TvxDBRichEditIntl::BulletButtonHint);
    p.Property("SaveExitHint", &TvxDBRichEditIntl::SaveExitHint);
    p.Property("PageSetupHint", &TvxDBRichEditIntl::PageSetupHint);
    p.Property("ExitHint", &TvxDBRichEditIntl::ExitHint);
    p.Property("ClearHint", &TvxDBRichEditIntl::ClearHint);
    p.Property("SelectAllHint", &TvxDBRichEditIntl::SelectAllHint);
    p.Property("FindNextHint", &TvxDBRichEditIntl::FindNextHint);
    p.Property("ReplaceHint", &TvxDBRichEditIntl::ReplaceHint);
    p.Property("InsertObjectHint", &TvxDBRichEditIntl::InsertObjectHint);
    p.Property("ToolbarHint", &TvxDBRichEditIntl::ToolbarHint);
    p.Property("FormatBarHint", &TvxDBRichEditIntl::FormatBarHint);
    p.Property("ViewStatusBarHint", &TvxDBRichEditIntl::ViewStatusBarHint);
    p.Property("OptionsHint", &TvxDBRichEditIntl::OptionsHint);
    p.Property("FontHint", &TvxDBRichEditIntl::FontHint);
    p.Property("ParagraphHint", &TvxDBRichEditIntl::ParagraphHint);
    p.Property("TabsHint", &TvxDBRichEditIntl::TabsHint);
    p.Property("CAPLockCaption", &TvxDBRichEditIntl::CAPLockCaption);
    p.Property("NUMLockCaption", &TvxDBRichEditIntl::NUMLockCaption);
    p.Property("MenuLabels", &TvxDBRichEditIntl::MenuLabels, &TvxDBRichEditIntl::SetMenuLabels);
    p.Property("PopupMenuLabels", &TvxDBRichEditIntl::PopupMenuLabels, &TvxDBRichEditIntl::SetPopupMenuLabels);
    p.Property("ParagraphDialog", &TvxDBRichEditIntl::ParagraphDialog, &TvxDBRichEditIntl::SetParagraphDialog);
    p.Property("TabDialog", &TvxDBRichEditIntl::TabDialog, &TvxDBRichEditIntl::SetTabDialog);
}

TvxIntl::TvxIntl(TComponent* owner)
        : TComponent(owner),
          navigator_(std::make_unique<TvxDBNavigatorIntl>()),
          searchDialog_(std::make_unique<TvxSearchDialogIntl>()),
          locateDialog_(std::make_unique<TvxLocateDialogIntl>()),
          monthCalendar_(std::make_unique<TvxMonthCalendarIntl>()),
          userMessages_(std::make_unique<TvxUserMessagesIntl>()),
          filterDialog_(std::make_unique<TvxFilterDialogIntl>()),
          richEdit_(std::make_unique<TvxDBRichEditIntl>())
{
}

TvxIntl::~TvxIntl()
{
    if (globalIntl == this) globalIntl = nullptr;
}

void TvxIntl::Loaded()
{
    TComponent::Loaded();
    if (connected_) CopyToGlobal();
}

void TvxIntl::SetConnected(bool value)
{
    connected_ = value;
    if (connected_) CopyToGlobal();
}

void TvxIntl::SetCheckBoxInGridStyle(TvxCheckBoxInGridStyle value)
{
    checkBoxInGridStyle_ = value;
    TvxIntl* global = vxIntl();
    if (connected_ && global && global != this) global->SetCheckBoxInGridStyle(value);
}

void TvxIntl::CopyToGlobal()
{
    TvxIntl* global = vxIntl();
    if (!global || global == this) return;
    global->Navigator()->Assign(navigator_.get());
    global->SearchDialog()->Assign(searchDialog_.get());
    global->LocateDialog()->Assign(locateDialog_.get());
    global->MonthCalendar()->Assign(monthCalendar_.get());
    global->UserMessages()->Assign(userMessages_.get());
    global->FilterDialog()->Assign(filterDialog_.get());
    global->RichEdit()->Assign(richEdit_.get());
    global->SetOKCancelBitmapped(okCancelBitmapped_);
    global->SetBtnOKCaption(btnOKCaption_);
    global->SetBtnCancelCaption(btnCancelCaption_);
    global->SetCheckBoxInGridStyle(checkBoxInGridStyle_);
    global->SetDialogFontStyle(dialogFontStyle_);
    global->SetUseLocateMethodForSearch(useLocateMethodForSearch_);
    global->SetReopenSQLOnCancelRange(reopenSQLOnCancelRange_);
    global->SetDefaultEpochYear(defaultEpochYear_);
    global->SetFilterMemoSize(filterMemoSize_);
}

void TvxIntl::Publish(TPublisher<TvxIntl>& p)
{
    p.Property("Navigator", &TvxIntl::Navigator, &TvxIntl::SetNavigator);
    p.Property("SearchDialog", &TvxIntl::SearchDialog, &TvxIntl::SetSearchDialog);
    p.Property("LocateDialog", &TvxIntl::LocateDialog, &TvxIntl::SetLocateDialog);
    p.Property("MonthCalendar", &TvxIntl::MonthCalendar, &TvxIntl::SetMonthCalendar);
    p.Property("FilterDialog", &TvxIntl::FilterDialog, &TvxIntl::SetFilterDialog);
    p.Property("RichEdit", &TvxIntl::RichEdit, &TvxIntl::SetRichEdit);
    p.Property("UserMessages", &TvxIntl::UserMessages, &TvxIntl::SetUserMessages);
    p.Property("OKCancelBitmapped", &TvxIntl::OKCancelBitmapped, &TvxIntl::SetOKCancelBitmapped);
    p.Property("BtnOKCaption", &TvxIntl::BtnOKCaption, &TvxIntl::SetBtnOKCaption);
    p.Property("BtnCancelCaption", &TvxIntl::BtnCancelCaption, &TvxIntl::SetBtnCancelCaption);
    p.Property("CheckBoxInGridStyle", &TvxIntl::CheckBoxInGridStyle, &TvxIntl::SetCheckBoxInGridStyle);
    p.Property("VersionPlenvia", &TvxIntl::VersionPlenvia, &TvxIntl::SetVersionPlenvia);
    p.Property("FilterMemoSize", &TvxIntl::FilterMemoSize, &TvxIntl::SetFilterMemoSize);
    p.Property("UseLocateMethodForSearch", &TvxIntl::UseLocateMethodForSearch, &TvxIntl::SetUseLocateMethodForSearch)
        .Default(true);
    p.Property("DialogFontStyle", &TvxIntl::DialogFontStyle, &TvxIntl::SetDialogFontStyle);
    p.Property("DefaultEpochYear", &TvxIntl::DefaultEpochYear, &TvxIntl::SetDefaultEpochYear).Default(1950);
    p.Property("Connected", &TvxIntl::Connected, &TvxIntl::SetConnected);
}

TvxIntl* vxIntl()
{
    static TIntlUnit unit;
    if (!globalIntl && !intlUnitFinished) globalIntl = CreateObject<TvxIntl>(nullptr);
    return globalIntl;
}

Integer vxGetFilterMemoSize() { return vxIntl()->FilterMemoSize(); }

namespace {

Integer ScaledToScreen(Integer value) { return value * Screen->PixelsPerInch() / 96; }

void SetBitmapLook(TBitBtn* button, Integer kind, const TvxIntl* intl)
{
    button->SetMargin(ScaledToScreen(2));
    if (kind >= bkCustom && kind <= bkAll) button->SetKind(TBitBtnKind(kind));
    button->SetLayout(blGlyphLeft);
    button->SetNumGlyphs(2);
    button->SetSpacing(-1);
    button->SetWidth(ScaledToScreen(77));
    button->SetHeight(ScaledToScreen(27));
    TFont* font = button->Font();
    font->SetColor(clWindowText);
    font->SetHeight(ScaledToScreen(-11));
    font->SetName("MS Sans Serif");
    font->SetStyle(intl->DialogFontStyle());
}

}  // namespace

TButton* vxCreateDialogButton(TCustomForm* form, Integer kind)
{
    const TvxIntl* intl = vxIntl();
    TButton* button = intl->OKCancelBitmapped() ? new TBitBtn(form) : new TButton(form);
    button->SetParent(form);
    button->SetVisible(false);
    button->SetWidth(ScaledToScreen(77));
    button->SetHeight(ScaledToScreen(24));
    if (auto* bitmapButton = dynamic_cast<TBitBtn*>(button)) SetBitmapLook(bitmapButton, kind, intl);
    if (kind == vxbkOK) {
        button->SetCaption(intl->BtnOKCaption());
        button->SetModalResult(mrOk);
    } else if (kind == vxbkCancel) {
        button->SetCaption(intl->BtnCancelCaption());
        button->SetModalResult(mrCancel);
        button->SetCancel(true);
    } else if (kind == vxbkHelp) {
        button->SetCaption("Help");
    }
    return button;
}
