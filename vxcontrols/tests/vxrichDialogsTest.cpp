// The rich-text control's paragraph and tab dialogs: the measure check and the tab stops applied, as tables; under
// Wine both dialogs driven by keys and the mouse over a real rich edit, their values read back from the window.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "rtl/tests/UsSettings.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"
#include "vcl/OleStartup.h"
#include "vcl/TestHelpers.h"
#include "vxcontrols/Vxdbcomb.h"
#include "vxcontrols/vxrchdlg.h"
#include "vxcontrols/vxriched.h"
#include "vxcontrols/vxrichtb.h"

namespace {

TEST(RichMeasure, ANumberWithinTheLimitsInEitherUnit)
{
    struct Case {
        std::string Text;
        TvxMeasurementUnits Units;
        Integer Min, Max;
        bool Valid;
    };
    const Case cases[] = {
        {"1.5''", muInches, -31680, 31680, true},  {" 2 cm", muCentimeters, -31680, 31680, true},
        {"-1", muInches, -31680, 31680, true},     {"-1", muInches, 0, 31680, false},
        {"22", muInches, -31680, 31680, true},     {"22.01", muInches, -31680, 31680, false},
        {"55.8 CM", muCentimeters, -31680, 31680, true}, {"55.9 cm", muCentimeters, -31680, 31680, false},
        {"", muInches, -31680, 31680, false},      {" ''", muInches, -31680, 31680, false},
        {"abc", muInches, -31680, 31680, false},   {"1e300", muInches, -31680, 31680, false},
        {"1.2.3", muInches, -31680, 31680, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(vxIsMeasure(c.Text, c.Units, c.Min, c.Max), c.Valid) << "'" << c.Text << "'";
    EXPECT_EQ(vxMeasureNumber(" 1.5 cm "), "1.5");
}

TEST(RichTabStops, ListedStopsKeepTheirBitsAllAreSortedByPositionAndCutAt32)
{
    const Integer centred = 720 | (1 << 24);
    const std::map<std::string, Integer> listed = {{"0.5''", centred}, {"2''", 2880}};
    auto toTwips = [](const std::string& text) { return vxUnitsToTwips(text, muInches); };
    EXPECT_EQ(vxTabStopsFromTexts({"10''", "1.5''", "2''", "0.5''"}, listed, toTwips),
              (std::vector<Integer>{centred, 2160, 2880, 14400}));
    std::vector<std::string> many;
    for (Integer i = 40; i >= 1; --i) many.push_back(std::to_string(i));
    const std::vector<Integer> stops = vxTabStopsFromTexts(many, {}, toTwips);
    ASSERT_EQ(stops.size(), 32u);
    EXPECT_EQ(stops.front(), 9 * 1440);  // the first 32 entries, 40 down to 9
    EXPECT_EQ(stops.back(), 40 * 1440);
}

// ---- under Wine

class RichDialogs : public UsSettings {
protected:
    void SetUp() override
    {
        UsSettings::SetUp();
        if (!OleStarted()) Application->Initialize();
        form = CreateObject<TForm>(nullptr);
        form->SetBounds(20, 20, 420, 300);
        form->SetCaption("Rich text dialogs");
        edit = new TvxCustomRichEdit(form);
        edit->SetParent(form);
        edit->SetBounds(8, 8, 390, 240);
        form->Show();
        ActivateForm(form);
        edit->Lines()->SetText("First paragraph of some text\nSecond\n");
        edit->SetSelStart(0);
        PumpMessages();
    }
    void TearDown() override
    {
        delete form;
        PumpMessages(20);
        UsSettings::TearDown();
    }
    // Puts the caret into the box, replaces its text by typing, as a person does.
    static void Retype(TEdit* box, const std::string& text)
    {
        box->SetFocus();
        box->SelectAll();
        PumpMessages(10);
        TypeKey(VK_DELETE);
        TypeText(text);
    }
    void SetIndents(Integer start, Integer offset, Integer right)
    {
        edit->ApplyParagraphFormat(0x1C, "", false, offset, right, start, 0, nullptr, 0, 0, 0, 0);
    }
    static std::vector<std::string> Listed(TvxRichTabDialog* dialog)
    {
        std::vector<std::string> texts;
        for (Integer i = 0; i < dialog->ListBox1->Items()->Count(); ++i)
            texts.push_back(dialog->ListBox1->Items()->Strings(i));
        return texts;
    }

    TScriptedDialogs dialogs;
    TForm* form = nullptr;
    TvxCustomRichEdit* edit = nullptr;
};

TEST_F(RichDialogs, TheParagraphDialogShowsTheIndentsAndSpacingAndAppliesWhatIsTyped)
{
    SetIndents(720, 360, 1440);
    edit->ApplyParagraphFormat(0x1C0, "", false, 0, 0, 0, 0, nullptr, 120, 240, 0, 1);
    edit->SetEditorOptions({reoShowHints});
    std::map<std::string, std::string> shown;
    dialogs.AnswerNextModalForm([&](TCustomForm* shownForm) {
        auto* dialog = dynamic_cast<TvxRichParagraphDialog*>(shownForm);
        ASSERT_NE(dialog, nullptr);
        for (TEdit* box : {dialog->LeftEdit, dialog->FirstLineEdit, dialog->RightEdit, dialog->BeforeParagraphEdit,
                           dialog->AfterParagraphEdit, dialog->WithinParagraphEdit})
            shown[box->Name()] = box->Text();
        shown["Alignment"] = dialog->AlignmentCombo->Text();
        shown["Rule"] = dialog->LineSpacingComboBox->Text();
        shown["Hint"] = dialog->LeftEdit->Hint();
        EXPECT_TRUE(SaveWindowToPng(dialog->Handle(), "vxrchdlg-paragraph.png"));
        Retype(dialog->LeftEdit, "1");
        Retype(dialog->FirstLineEdit, "0.5");
        dialog->AlignmentCombo->SetFocus();
        TypeKey(VK_DOWN);
        TypeKey(VK_DOWN);
        dialog->LineSpacingComboBox->SetFocus();
        for (int i = 0; i < 3; ++i) TypeKey(VK_DOWN);  // 1.5 lines to "Exactly"
        shown["Exactly"] = dialog->WithinParagraphEdit->Text();
        TypeKey(VK_RETURN);
    });
    EXPECT_TRUE(edit->ShowParagraphDialog());
    EXPECT_EQ(shown, (std::map<std::string, std::string>{{"LeftEdit", "0.75''"},
                                                         {"FirstLineEdit", "-0.25''"},
                                                         {"RightEdit", "1''"},
                                                         {"BeforeParagraphEdit", "0.08''"},
                                                         {"AfterParagraphEdit", "0.17''"},
                                                         {"WithinParagraphEdit", ""},
                                                         {"Alignment", "Left"},
                                                         {"Rule", "1.5 Lines"},
                                                         {"Hint", "Left Indentation"},
                                                         {"Exactly", "0.16''"}}));
    const PARAFORMAT2 format = edit->ParagraphFormat();
    EXPECT_EQ(format.dxStartIndent, 2160);
    EXPECT_EQ(format.dxOffset, -720);
    EXPECT_EQ(format.dxRightIndent, 1440);
    EXPECT_EQ(format.wAlignment, PFA_RIGHT);
    EXPECT_EQ(format.dySpaceBefore, 115);
    EXPECT_EQ(format.dySpaceAfter, 244);
    EXPECT_EQ(format.bLineSpacingRule, 4);
    EXPECT_EQ(format.dyLineSpacing, 230);
}

TEST_F(RichDialogs, AnUnchangedParagraphDialogGivesTheSameIndentsBack)
{
    const struct {
        Integer Start, Offset, Right;
    } cases[] = {{720, 360, 1440}, {1440, -720, 0}, {0, 0, 0}};
    for (const auto& c : cases) {
        SetIndents(c.Start, c.Offset, c.Right);
        dialogs.AnswerNextModalForm([](TCustomForm*) { TypeKey(VK_RETURN); });
        EXPECT_TRUE(edit->ShowParagraphDialog());
        const PARAFORMAT2 format = edit->ParagraphFormat();
        EXPECT_EQ(format.dxStartIndent, c.Start) << c.Start;
        EXPECT_EQ(format.dxOffset, c.Offset) << c.Start;
        EXPECT_EQ(format.dxRightIndent, c.Right) << c.Start;
    }
}

TEST_F(RichDialogs, ABadOrEmptyMeasureKeepsTheParagraphDialogOpenOnThatBox)
{
    SetIndents(720, 0, 0);
    for (const std::string bad : {"", "x", "23"}) {
        bool stayedOpen = false, focused = false;
        dialogs.AnswerNextModalForm([&](TCustomForm* shownForm) {
            auto* dialog = static_cast<TvxRichParagraphDialog*>(shownForm);
            Retype(dialog->LeftEdit, "2");
            Retype(dialog->RightEdit, bad);
            TypeKey(VK_RETURN);
            stayedOpen = dialog->ModalResult() == mrNone && IsWindowVisible(dialog->Handle());
            focused = GetFocus() == dialog->RightEdit->Handle();
            TypeKey(VK_ESCAPE);
        });
        EXPECT_FALSE(edit->ShowParagraphDialog()) << bad;
        EXPECT_TRUE(stayedOpen) << bad;
        EXPECT_TRUE(focused) << bad;
        EXPECT_EQ(edit->ParagraphFormat().dxStartIndent, 720) << bad;
    }
}

TEST_F(RichDialogs, TheLineSpacingBoxFillsTheSpacingByRuleAndUnit)
{
    struct Case {
        TvxMeasurementUnits Units;
        Integer Downs;
        std::string Rule, Spacing;
    };
    const Case cases[] = {{muInches, 3, "At least", "0.16''"},
                          {muCentimeters, 4, "Exactly", "0.42 cm"},
                          {muInches, 5, "Multiple", "1"},
                          {muInches, 2, "Double", ""}};
    for (const Case& c : cases) {
        edit->SetMeasurementUnits(c.Units);
        std::string rule, spacing, typedRule;
        dialogs.AnswerNextModalForm([&](TCustomForm* shownForm) {
            auto* dialog = static_cast<TvxRichParagraphDialog*>(shownForm);
            dialog->LineSpacingComboBox->SetFocus();
            for (Integer i = 0; i < c.Downs; ++i) TypeKey(VK_DOWN);
            rule = dialog->LineSpacingComboBox->Text();
            spacing = dialog->WithinParagraphEdit->Text();
            TypeKey(VK_ESCAPE);
        });
        edit->ShowParagraphDialog();
        EXPECT_EQ(rule, c.Rule);
        EXPECT_EQ(spacing, c.Spacing) << c.Rule;
    }
    // typing a spacing under a fixed rule chooses "Multiple"; a spacing that is no number means one line
    edit->SetMeasurementUnits(muInches);
    dialogs.AnswerNextModalForm([&](TCustomForm* shownForm) {
        auto* dialog = static_cast<TvxRichParagraphDialog*>(shownForm);
        Retype(dialog->WithinParagraphEdit, "2");
        EXPECT_EQ(dialog->LineSpacingComboBox->Text(), "Multiple");
        TypeKey(VK_RETURN);
    });
    EXPECT_TRUE(edit->ShowParagraphDialog());
    EXPECT_EQ(edit->ParagraphFormat().bLineSpacingRule, 5);
    EXPECT_EQ(edit->ParagraphFormat().dyLineSpacing, 40);
}

TEST_F(RichDialogs, WithTheFirstRecordVersionTheSpacingBoxesHoldZeroAndOkCloses)
{
    edit->SetRichEditVersion(1);
    PumpMessages();
    SetIndents(1440, 0, 0);
    std::string before, after, within;
    dialogs.AnswerNextModalForm([&](TCustomForm* shownForm) {
        auto* dialog = static_cast<TvxRichParagraphDialog*>(shownForm);
        before = dialog->BeforeParagraphEdit->Text();
        after = dialog->AfterParagraphEdit->Text();
        within = dialog->WithinParagraphEdit->Text();
        Retype(dialog->LeftEdit, "0.5");
        TypeKey(VK_RETURN);
    });
    EXPECT_TRUE(edit->ShowParagraphDialog());
    EXPECT_EQ(before, "0''");
    EXPECT_EQ(after, "0''");
    EXPECT_EQ(within, "");
    EXPECT_EQ(edit->ParagraphFormat().dxStartIndent, 720);
}

TEST_F(RichDialogs, TheTabDialogSetsClearsAndAppliesStopsSortedWithTheirBits)
{
    const Integer centred = 720 | (1 << 24);
    const Integer stops[] = {centred, 2880};
    edit->ApplyParagraphFormat(1 << 5, "", false, 0, 0, 0, 2, stops, 0, 0, 0, 0);
    std::vector<std::string> first, afterSet, afterClear;
    dialogs.AnswerNextModalForm([&](TCustomForm* shownForm) {
        auto* dialog = dynamic_cast<TvxRichTabDialog*>(shownForm);
        ASSERT_NE(dialog, nullptr);
        first = Listed(dialog);
        dialog->Edit1->SetFocus();
        for (const char* typed : {"1.5", "1.5''", "10", "-1"}) {
            TypeText(typed);
            TypeKey(VK_RETURN);  // Set while the edit has the focus
        }
        afterSet = Listed(dialog);
        EXPECT_EQ(dialog->Edit1->Text(), "-1");  // not a place for a stop: left as typed
        EXPECT_TRUE(SaveWindowToPng(dialog->Handle(), "vxrichtb-tabs.png"));
        const Integer row = dialog->ListBox1->Items()->IndexOf("2''");
        MouseClick(dialog->ListBox1, {20, row * dialog->ListBox1->ItemHeight() + 4});
        MouseClick(dialog->Button2, {10, 10});
        afterClear = Listed(dialog);
        MouseClick(dialog->OKButton, {10, 10});  // a negative measure passes OK's check, Set ignores it
    });
    EXPECT_TRUE(edit->ShowTabDialog());
    EXPECT_EQ(first, (std::vector<std::string>{"0.5''", "2''"}));
    EXPECT_EQ(afterSet, (std::vector<std::string>{"0.5''", "1.5''", "10''", "2''"}));
    EXPECT_EQ(afterClear, (std::vector<std::string>{"0.5''", "1.5''", "10''"}));
    const PARAFORMAT2 format = edit->ParagraphFormat();
    ASSERT_EQ(format.cTabCount, 3);
    EXPECT_EQ(format.rgxTabs[0], centred);
    EXPECT_EQ(format.rgxTabs[1], 2160);
    EXPECT_EQ(format.rgxTabs[2], 14400);
}

TEST_F(RichDialogs, TheTabDialogRefusesA33rdStopAndABadMeasureOnOkAndClearsAll)
{
    std::vector<Integer> stops;
    for (Integer i = 1; i <= 32; ++i) stops.push_back(i * 360);
    edit->ApplyParagraphFormat(1 << 5, "", false, 0, 0, 0, 32, stops.data(), 0, 0, 0, 0);
    Integer count = 0;
    std::string left;
    bool stayedOpen = false;
    dialogs.AnswerNextModalForm([&](TCustomForm* shownForm) {
        auto* dialog = static_cast<TvxRichTabDialog*>(shownForm);
        dialog->Edit1->SetFocus();
        TypeText("21");
        TypeKey(VK_RETURN);
        count = dialog->ListBox1->Items()->Count();
        left = dialog->Edit1->Text();
        dialog->Edit1->SetText("x");
        MouseClick(dialog->OKButton, {10, 10});
        stayedOpen = dialog->ModalResult() == mrNone && GetFocus() == dialog->Edit1->Handle();
        dialog->Edit1->SetText("");
        MouseClick(dialog->Button4, {10, 10});
        dialog->Edit1->SetFocus();
        TypeKey(VK_RETURN);  // an empty edit: OK
    });
    EXPECT_TRUE(edit->ShowTabDialog());
    EXPECT_EQ(count, 32);
    EXPECT_EQ(left, "21");
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(edit->ParagraphFormat().cTabCount, 0);
}

TEST_F(RichDialogs, TheContextMenuOpensBothDialogs)
{
    std::vector<std::string> shown;
    for (int i = 0; i < 2; ++i)
        dialogs.AnswerNextModalForm([&](TCustomForm* shownForm) {
            shown.push_back(shownForm->ClassName() + " " + shownForm->Caption());
            TypeKey(VK_ESCAPE);
        });
    edit->PopupItem(piParagraph)->Click();
    edit->PopupItem(piTabs)->Click();
    EXPECT_EQ(shown, (std::vector<std::string>{"TvxRichParagraphDialog Paragraph", "TvxRichTabDialog Tab"}));
}

}  // namespace
