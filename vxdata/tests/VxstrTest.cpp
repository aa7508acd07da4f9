#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "rtl/Classes.h"
#include "vxdata/Vxstr.h"

namespace {

struct TTokenStep {
    std::string piece;
    Integer position;
};

std::vector<TTokenStep> Tokens(const std::string& text, const std::string& separator, Integer position, int calls)
{
    std::vector<TTokenStep> steps;
    for (int i = 0; i < calls; ++i) {
        std::string piece = "unchanged";
        vxNextToken(text, separator, position, piece);
        steps.push_back({piece, position});
    }
    return steps;
}

void ExpectSteps(const std::vector<TTokenStep>& actual, const std::vector<TTokenStep>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].piece, expected[i].piece) << "call " << i;
        EXPECT_EQ(actual[i].position, expected[i].position) << "call " << i;
    }
}

TEST(VxstrTest, NextTokenWalksPiecesAndSignalsTheEndByMinusOne)
{
    ExpectSteps(Tokens("a\tb\t", "\t", 1, 3), {{"a", 3}, {"b", 5}, {"", -1}});
    ExpectSteps(Tokens("a;;b", ";", 1, 3), {{"a", 3}, {"", 4}, {"b", -1}});
    ExpectSteps(Tokens("x AND y", "and", 1, 2), {{"x", 7}, {"y", -1}});
    ExpectSteps(Tokens("xANDy", "and", 1, 1), {{"xANDy", -1}});
    ExpectSteps(Tokens("a  b", "", 1, 2), {{"a", 4}, {"b", -1}});
    ExpectSteps(Tokens("abc", ";", 0, 1), {{"", 0}});
    ExpectSteps(Tokens("abc", ";", -1, 1), {{"", -1}});
    ExpectSteps(Tokens("", ";", 1, 1), {{"", -1}});
    ExpectSteps(Tokens("Name;CheckBox;S;X", ";", 6, 2), {{"CheckBox", 15}, {"S", 17}});
}

TEST(VxstrTest, SplitStringKeepsEmptyPieces)
{
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    for (const Case& c : std::vector<Case>{{"", {""}},
                                          {"a;", {"a", ""}},
                                          {";;", {"", "", ""}},
                                          {"Threshhold\t#[#]\tT\tF", {"Threshhold", "#[#]", "T", "F"}}}) {
        TStringList list;
        list.Add("old line");
        vxSplitString(c.text, c.text.find('\t') != std::string::npos ? '\t' : ';', &list);
        ASSERT_EQ(list.Count(), Integer(c.lines.size())) << c.text;
        for (Integer i = 0; i < list.Count(); ++i) EXPECT_EQ(list.Strings(i), c.lines[size_t(i)]) << c.text;
    }
}

TEST(VxstrTest, TrimsAndReplaces)
{
    std::string text = " \t a b\t \t";
    vxTrim(text);
    EXPECT_EQ(text, "a b");
    text = " \t\t ";
    vxTrim(text);
    EXPECT_EQ(text, "");
    text = "00120";
    vxTrimLeftChars(text, vxCharSet("0"));
    EXPECT_EQ(text, "120");
    vxTrimRightChars(text, vxCharSet("0"));
    EXPECT_EQ(text, "12");
    text = "000";
    vxTrimRightChars(text, vxCharSet("0"));
    EXPECT_EQ(text, "");

    EXPECT_EQ(vxRemoveChar("a-b-c", '-'), "abc");
    EXPECT_EQ(vxReplaceChar("Client~Code", '~', ' '), "Client Code");
    EXPECT_EQ(vxReplaceCharByText("a'b'", '\'', "''"), "a''b''");
    EXPECT_EQ(vxReplaceCharByText("x", 'y', "z"), "x");
    EXPECT_TRUE(vxTextEquals("Client Code", "CLIENT code"));
    EXPECT_FALSE(vxTextEquals("Client", "Clients"));
    EXPECT_EQ(vxCountChar("a;b;;c", ';'), 3);
    EXPECT_EQ(vxTextAfterChar("Owner.Edit1", '.'), "Edit1");
    EXPECT_EQ(vxTextAfterChar("A.B.C", '.'), "B.C");
    EXPECT_EQ(vxTextAfterChar("Edit1", '.'), "");
}

std::vector<std::string> Words(const std::string& text, Integer options, const std::string& stops, int calls)
{
    std::vector<std::string> words;
    Integer position = 1;
    for (int i = 0; i < calls; ++i) {
        std::string word;
        vxScanWord(text, position, options, vxCharSet(stops), word);
        words.push_back(word);
    }
    return words;
}

using Words_t = std::vector<std::string>;

TEST(VxstrTest, ScanWordReturnsStopCharactersAsWordsOfTheirOwn)
{
    const std::string operators = "()*+-/";
    EXPECT_EQ(Words("UPPER(NAME)+CITY", vxswSkipBlanks, operators, 7),
              (Words_t{"UPPER", "(", "NAME", ")", "+", "CITY", ""}));
    // A one-character word does not swallow the stop character after it.
    EXPECT_EQ(Words("A+B", vxswSkipBlanks, operators, 4), (Words_t{"A", "+", "B", ""}));
    EXPECT_EQ(Words("a + b", vxswSkipBlanks, "+", 4), (Words_t{"a", "+", "b", ""}));
    EXPECT_EQ(Words("x;y", 0, ";", 3), (Words_t{"x", ";", "y"}));
}

TEST(VxstrTest, ScanWordQuotedAndBlankOptions)
{
    const Integer quoted = vxswSkipBlanks | vxswQuotedWords;
    EXPECT_EQ(Words(" \"New York\" or", quoted, "", 3), (Words_t{"\"New York\"", "or", ""}));
    EXPECT_EQ(Words("\"New York\" or", quoted | vxswStripQuotes, "", 2), (Words_t{"New York", "or"}));
    EXPECT_EQ(Words("\"open end", quoted | vxswStripQuotes, "", 2), (Words_t{"open end", ""}));
    EXPECT_EQ(Words("\"", quoted | vxswStripQuotes, "", 1), (Words_t{""}));
    EXPECT_EQ(Words("New York+x", vxswBlanksInWords, "+", 3), (Words_t{"New York", "+", "x"}));
    EXPECT_EQ(Words("New York", 0, "", 3), (Words_t{"New", " ", "York"}));
}

}  // namespace
