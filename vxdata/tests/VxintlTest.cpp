#include <string>

#include <gtest/gtest.h>

#include "classes/ClassRegistry.h"
#include "classes/DataModule.h"
#include "classes/FormResource.h"
#include "classes/TypInfo.h"
#include "vxdata/Vxintl.h"

namespace {

Integer CountTexts(TObject* object)
{
    Integer count = 0;
    for (PPropInfo prop : GetPropList(object))
        if (prop->PropType->Kind == tkLString) ++count;
    return count;
}

// Every test leaves the global object with the default settings again.
class VxintlTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        TvxIntl defaults(nullptr);
        defaults.SetConnected(true);
    }
};

TEST_F(VxintlTest, NewObjectHoldsTheDefaultTexts)
{
    TvxIntl intl(nullptr);
    EXPECT_EQ(CountTexts(intl.UserMessages()), 9);
    EXPECT_EQ(CountTexts(intl.Navigator()), 1);
    EXPECT_EQ(CountTexts(intl.Navigator()->Hints()), 18);
    EXPECT_EQ(CountTexts(intl.LocateDialog()), 18);
    EXPECT_EQ(CountTexts(intl.SearchDialog()), 7);
    EXPECT_EQ(CountTexts(intl.MonthCalendar()), 2);
    EXPECT_EQ(CountTexts(intl.FilterDialog()), 40);
    EXPECT_EQ(CountTexts(intl.RichEdit()), 35);
    EXPECT_EQ(CountTexts(intl.RichEdit()->MenuLabels()), 29);
    EXPECT_EQ(CountTexts(intl.RichEdit()->PopupMenuLabels()), 15);
    EXPECT_EQ(CountTexts(intl.RichEdit()->ParagraphDialog()), 18);
    EXPECT_EQ(CountTexts(intl.RichEdit()->TabDialog()), 10);

    EXPECT_EQ(intl.UserMessages()->PictureValidateError, "Invalid characters. Field : ");
    EXPECT_EQ(intl.UserMessages()->MemoChangesWarning, "Changes have been made!  Are you sure you wish to cancel?");
    EXPECT_EQ(intl.UserMessages()->RichEditExitWarning, intl.UserMessages()->RecordViewExitWarning);
    EXPECT_EQ(intl.FilterDialog()->BtnClearMin, intl.FilterDialog()->BtnClearFilterValue);
    EXPECT_EQ(intl.Navigator()->ConfirmDeleteMessage, "Delete record?");
    EXPECT_EQ(intl.Navigator()->Hints()->NextPageHint, "Move forward %d records");
    EXPECT_EQ(GetStrProp(intl.RichEdit()->PopupMenuLabels(), "InsertObjectCaption"), "&Insert &Object...");
    EXPECT_EQ(GetStrProp(intl.FilterDialog(), "ViewSummaryNotText"), "NOT");

    EXPECT_TRUE(intl.OKCancelBitmapped());
    EXPECT_TRUE(intl.DialogFontStyle().Empty());
    EXPECT_EQ(intl.BtnOKCaption(), "&OK");
    EXPECT_EQ(intl.BtnCancelCaption(), "Cancel");
    EXPECT_FALSE(intl.Connected());
    EXPECT_TRUE(intl.ReopenSQLOnCancelRange());
    EXPECT_EQ(intl.CheckBoxInGridStyle(), cbStyleAuto);
    EXPECT_TRUE(intl.UseLocateMethodForSearch());
    EXPECT_EQ(intl.DefaultEpochYear(), 1950);
    EXPECT_EQ(intl.FilterMemoSize(), 65536);
    EXPECT_EQ(vxGetFilterMemoSize(), 65536);
}

TEST_F(VxintlTest, VersionCannotBeChanged)
{
    TvxIntl intl(nullptr);
    intl.SetVersionPlenvia("9.9");
    SetStrProp(&intl, "VersionPlenvia", "9.9");
    EXPECT_EQ(intl.VersionPlenvia(), "4.0B");
}

TEST_F(VxintlTest, ConnectingCopiesEverythingIntoTheGlobalObject)
{
    TvxIntl* global = vxIntl();
    TvxUserMessagesIntl* globalMessages = global->UserMessages();
    TvxIntl mine(nullptr);
    mine.UserMessages()->PictureValidateError = "Ungueltig: ";
    mine.RichEdit()->TabDialog()->TabDlgCaption = "Tabulator";
    mine.Navigator()->Hints()->FirstHint = "Erster";
    mine.SetBtnOKCaption("&Ja");
    mine.SetOKCancelBitmapped(false);
    mine.SetDialogFontStyle(TFontStyles{fsBold});
    mine.SetDefaultEpochYear(1930);
    mine.SetFilterMemoSize(100);
    mine.SetReopenSQLOnCancelRange(false);
    EXPECT_EQ(global->BtnOKCaption(), "&OK");  // nothing reaches the global object before connecting

    mine.SetConnected(true);
    EXPECT_EQ(global->UserMessages(), globalMessages);  // the same text objects, new texts
    EXPECT_EQ(global->UserMessages()->PictureValidateError, "Ungueltig: ");
    EXPECT_EQ(global->RichEdit()->TabDialog()->TabDlgCaption, "Tabulator");
    EXPECT_EQ(global->Navigator()->Hints()->FirstHint, "Erster");
    EXPECT_EQ(global->BtnOKCaption(), "&Ja");
    EXPECT_FALSE(global->OKCancelBitmapped());
    EXPECT_EQ(global->DialogFontStyle(), TFontStyles{fsBold});
    EXPECT_EQ(global->DefaultEpochYear(), 1930);
    EXPECT_EQ(vxGetFilterMemoSize(), 100);
    EXPECT_FALSE(global->ReopenSQLOnCancelRange());
    EXPECT_FALSE(global->Connected());

    // Other changes wait for the next connection; the grid's check-box style goes at once.
    mine.SetBtnCancelCaption("Abbrechen");
    mine.SetCheckBoxInGridStyle(cbStyleXmark);
    EXPECT_EQ(global->BtnCancelCaption(), "Cancel");
    EXPECT_EQ(global->CheckBoxInGridStyle(), cbStyleXmark);

    mine.SetConnected(false);
    EXPECT_EQ(global->BtnOKCaption(), "&Ja");
    mine.SetConnected(true);
    EXPECT_EQ(global->BtnCancelCaption(), "Abbrechen");
}

TEST_F(VxintlTest, UnconnectedInstanceKeepsItsCheckBoxStyle)
{
    TvxIntl mine(nullptr);
    mine.SetCheckBoxInGridStyle(cbStyleCheckmark);
    EXPECT_EQ(vxIntl()->CheckBoxInGridStyle(), cbStyleAuto);
}

TEST_F(VxintlTest, ConnectedInstanceOnAFormFileFeedsTheGlobalObject)
{
    RegisterClasses<TvxIntl>();
    TDataModule module(nullptr);
    ReadComponentText(&module,
                      "object Texts: TDataModule\n"
                      "  object Intl1: TvxIntl\n"
                      "    FilterDialog.BtnViewSummary = 'Zusammenfassung'\n"
                      "    RichEdit.MenuLabels.FileCaption = '&Datei'\n"
                      "    BtnOKCaption = '&Ja'\n"
                      "    CheckBoxInGridStyle = cbStyleCheckmark\n"
                      "    DialogFontStyle = [fsBold, fsItalic]\n"
                      "    Connected = True\n"
                      "  end\n"
                      "end\n");
    TvxIntl* global = vxIntl();
    EXPECT_EQ(global->FilterDialog()->BtnViewSummary, "Zusammenfassung");
    EXPECT_EQ(global->RichEdit()->MenuLabels()->FileCaption, "&Datei");
    EXPECT_EQ(global->BtnOKCaption(), "&Ja");
    EXPECT_EQ(global->CheckBoxInGridStyle(), cbStyleCheckmark);
    EXPECT_EQ(global->DialogFontStyle(), (TFontStyles{fsBold, fsItalic}));
}

}  // namespace
