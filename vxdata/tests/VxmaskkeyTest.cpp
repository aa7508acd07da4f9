// Typing into a real edit control through the masked-key filter.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"
#include "vxdata/Vxmaskkey.h"

namespace {

class VxmaskkeyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form.reset(CreateObject<TForm>(nullptr));
        edit = new TEdit(form.get());
        edit->SetParent(form.get());
    }

    // Puts the text in the edit and selects [start, start + length).
    void Prepare(const std::string& text, Integer start, Integer length)
    {
        edit->SetText(text);
        edit->SetSelStart(start);
        edit->SetSelLength(length);
    }

    std::unique_ptr<TForm> form;
    TEdit* edit = nullptr;
};

TEST_F(VxmaskkeyTest, TypingAtTheEndIsFilteredByTheMask)
{
    struct Case {
        std::string mask;
        bool autoFill;
        std::string text;
        Integer selStart, selLength;
        char key;
        std::string result;
        Integer caret;
    };
    for (const Case& c : std::vector<Case>{
             {"###-####", true, "12", 2, 0, '3', "123-", 4},       // auto-fill, caret after the literal
             {"###-####", false, "12", 2, 0, '3', "123", 3},
             {"###-####", true, "123-", 4, 0, 'x', "123-", 4},     // error: unchanged (and a beep)
             {"###", false, "12", 2, 0, '3', "123", 3},            // complete
             {"###", false, "123", 3, 0, '4', "123", 3},           // a character too many
             {"&&&", false, "A", 1, 0, 'b', "AB", 2},              // normalised to upper case
             {"###", false, "999", 0, 3, '5', "5", 1},             // everything selected: replaced
             {"###", false, "123", 1, 2, '7', "17", 2},            // selection reaching the end
             {"[#", false, "", 0, 0, '1', "", 0},                  // bad mask: swallowed silently
         }) {
        Prepare(c.text, c.selStart, c.selLength);
        char key = c.key;
        EXPECT_TRUE(vxProcessMaskedKey(edit, c.mask, c.autoFill, key)) << c.mask << " " << c.text;
        EXPECT_EQ(key, 0);
        EXPECT_EQ(edit->Text(), c.result) << c.mask << " " << c.text << " + " << c.key;
        EXPECT_EQ(edit->SelStart(), c.caret) << c.mask << " " << c.text << " + " << c.key;
    }
}

TEST_F(VxmaskkeyTest, KeysBeforeTheEndAndControlKeysPassThrough)
{
    Prepare("123", 1, 0);
    char key = 'x';
    EXPECT_FALSE(vxProcessMaskedKey(edit, "###", false, key));
    EXPECT_EQ(key, 'x');
    EXPECT_EQ(edit->Text(), "123");

    Prepare("12", 2, 0);
    for (char control : {'\b', '\r', '\x1b', char(255)}) {
        key = control;
        EXPECT_FALSE(vxProcessMaskedKey(edit, "###", false, key));
        EXPECT_EQ(key, control);
    }
}

}  // namespace
