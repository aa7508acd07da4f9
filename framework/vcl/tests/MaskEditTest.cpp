// Masked edit: keys typed through the application's queue fill the mask, refused keys leave the text alone,
// EditText keeps literals and blanks while Text follows the mask's save-literals flag; leaving with missing
// characters is refused.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "vcl/Forms.h"
#include "vcl/Mask.h"
#include "vcl/TestHelpers.h"

namespace {

// Characters through the window's queue (the message loop, key preview and all), as typing them would.
void PostChars(TWinControl* control, const std::string& text)
{
    for (char ch : text) PostMessageA(control->Handle(), WM_CHAR, static_cast<unsigned char>(ch), 1);
    PumpMessages();
}

class MaskEdit : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = CreateObject<TForm>(nullptr);
        form->SetBounds(40, 40, 300, 160);
        edit = new TMaskEdit(form);
        edit->SetParent(form);
        edit->SetBounds(10, 10, 150, 22);
        other = new TEdit(form);
        other->SetParent(form);
        other->SetBounds(10, 50, 150, 22);
        form->Show();
        ActivateForm(form);
        edit->SetFocus();
        PumpMessages();
    }

    void TearDown() override
    {
        delete form;
        PumpMessages(20);
    }

    void Retype(const std::string& mask)
    {
        edit->SetEditMask(mask);
        edit->SetText("");
        edit->SetSelStart(0);
        edit->SetSelLength(0);
    }

    TScriptedDialogs dialogs;
    TForm* form = nullptr;
    TMaskEdit* edit = nullptr;
    TEdit* other = nullptr;
};

TEST_F(MaskEdit, TypedKeysFillTheMaskAndRefusedKeysChangeNothing)
{
    struct Case {
        const char* mask;
        const char* typed;
        const char* editText;
        const char* text;
    };
    const Case cases[] = {
        {"000-0000;1;_", "5551234", "555-1234", "555-1234"},
        {"000-0000;0;_", "5551234", "555-1234", "5551234"},
        {"000-0000;0;_", "55a1", "551-____", "551"},          // a letter where a digit belongs
        {">LL-00;0;*", "ab12", "AB-12", "AB12"},              // upper case, another blank character
        {"<LL;0;_", "XY", "xy", "xy"},
        {"99\\-99;1;_", "1-2", "1_-2_", "1 -2 "},             // a typed literal skips the optional slot
        {"(999) 000;0;_", "12345", "(123) 45_", "12345"},     // literals before the first slot are skipped
        {"LL;0;_", "a1b2c", "ab", "ab"},                       // digits refused, nothing past the end
        {"#0;1;_", "-5", "-5", "-5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mask);
        Retype(c.mask);
        PostChars(edit, c.typed);
        EXPECT_EQ(edit->EditText(), c.editText);
        EXPECT_EQ(edit->Text(), c.text);
    }
}

TEST_F(MaskEdit, RealKeysThroughTheInputQueue)
{
    Retype("00/00;0;_");
    TypeText("12a34");
    EXPECT_EQ(edit->EditText(), "12/34");
    EXPECT_EQ(edit->Text(), "1234");
    TypeKey(VK_BACK);
    EXPECT_EQ(edit->EditText(), "12/3_");
    TypeKey(VK_HOME);
    TypeKey(VK_DELETE);
    EXPECT_EQ(edit->EditText(), "_2/3_");
    EXPECT_EQ(edit->Text(), " 23");
}

TEST_F(MaskEdit, TextGoesIntoTheMaskAndChangingTheMaskKeepsTheValue)
{
    edit->SetEditMask("(999) 000-0000;0;_");
    edit->SetText("5551234567");
    EXPECT_EQ(edit->EditText(), "(555) 123-4567");
    EXPECT_EQ(edit->Text(), "5551234567");
    edit->SetEditMask("000-000-0000;0;_");
    EXPECT_EQ(edit->EditText(), "555-123-4567");
    edit->SetEditMask("");
    EXPECT_FALSE(edit->IsMasked());
    EXPECT_EQ(edit->Text(), "5551234567");
    EXPECT_EQ(edit->MaxLength(), 0);
}

TEST_F(MaskEdit, LeavingWithMissingRequiredCharactersIsRefused)
{
    Retype("000;1;_");
    PostChars(edit, "12");
    dialogs.AnswerNextBox(IDOK);
    other->SetFocus();
    PumpMessages();
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text, "Invalid input value.  Use escape key to abandon changes.");
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(edit->SelStart(), 2);  // the caret waits on the missing character

    PostChars(edit, "3");
    other->SetFocus();
    PumpMessages();
    EXPECT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(edit->Text(), "123");
}

TEST_F(MaskEdit, EscapeGivesBackTheTextTheEditHadOnEntry)
{
    edit->SetEditMask("000;1;_");
    edit->SetText("123");
    other->SetFocus();
    edit->SetFocus();
    PumpMessages();
    edit->SetSelStart(0);
    edit->SetSelLength(0);
    PostChars(edit, "9");
    EXPECT_EQ(edit->Text(), "923");
    PostChars(edit, "\x1b");
    EXPECT_EQ(edit->Text(), "123");
    EXPECT_FALSE(edit->Modified());
}

// An edit that may only change its text while allowed, as a data-aware edit asks its dataset.
class TGuardedMaskEdit : public TMaskEdit {
public:
    using TMaskEdit::TMaskEdit;
    bool Allowed = false;
    Integer Asked = 0;

protected:
    bool EditCanModify() override
    {
        ++Asked;
        return Allowed;
    }
};

TEST_F(MaskEdit, NoChangeWithoutPermission)
{
    auto* guarded = new TGuardedMaskEdit(form);
    guarded->SetParent(form);
    guarded->SetBounds(10, 90, 150, 22);
    guarded->SetEditMask("000;1;_");
    guarded->SetFocus();
    PumpMessages();
    guarded->SetSelStart(0);
    PostChars(guarded, "1\r");
    EXPECT_EQ(guarded->EditText(), "___");
    EXPECT_EQ(guarded->Asked, 1);  // Enter changes nothing, so it asks nothing
    guarded->Allowed = true;
    PostChars(guarded, "12");
    EXPECT_EQ(guarded->EditText(), "12_");
}

TEST(MaskUtils, FormatMaskText)
{
    EXPECT_EQ(FormatMaskText("!(999)000-0000;0;_", "5551234567"), "(555)123-4567");
    EXPECT_EQ(FormatMaskText("000-0000;0;_", "555"), "555-    ");
    EXPECT_EQ(FormatMaskText("!999;0;_", "12"), " 12");
    EXPECT_EQ(FormatMaskText("", "as is"), "as is");
    const TEditMaskPicture picture("!999;0;_");
    EXPECT_EQ(picture.TextFromEditText("_12"), "12");
    EXPECT_EQ(TEditMaskPicture("999;0;_").TextFromEditText("12_"), "12");
}

}  // namespace
