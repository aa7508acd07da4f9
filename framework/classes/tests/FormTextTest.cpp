#include "classes/FormText.h"

#include <gtest/gtest.h>

namespace {

std::string WithoutCarriageReturns(std::string text)
{
    std::erase(text, '\r');
    return text;
}

std::string Reprint(const std::string& text)
{
    return WithoutCarriageReturns(FormTokensToText(ParseFormText(text)));
}

// The single value of property P of a one-property object.
TFormToken ValueOf(const std::string& valueText)
{
    TFormTokens tokens = ParseFormText("object X: TX\n  P = " + valueText + "\nend\n");
    return tokens.at(2);
}

}  // namespace

TEST(FormText, CanonicalTextPrintsBackUnchanged)
{
    const std::string text =
        "object Form1: TForm1\n"
        "  Left = -12\n"
        "  Big = 1099511627776\n"
        "  Ratio = 1.25\n"
        "  Tiny = 2.5E-7\n"
        "  Price = 123450c\n"
        "  Weight = 1.5s\n"
        "  Due = 45000.5d\n"
        "  Caption = 'Fee''s'#9'Budget'\n"
        "  Empty = ''\n"
        "  Long = \n"
        "    '0123456789012345678901234567890123456789012345678901234567890123' +\n"
        "    '4567'\n"
        "  Flags = [stCircle, stTriangle]\n"
        "  NoFlags = []\n"
        "  Enabled = False\n"
        "  Visible = True\n"
        "  DataSource = nil\n"
        "  Align = alClient\n"
        "  Link = DataModule1.Table1\n"
        "  Lines.Strings = (\n"
        "    'a'\n"
        "    'b')\n"
        "  Nothing = ()\n"
        "  Nested = (\n"
        "    1\n"
        "    (\n"
        "      'x'))\n"
        "  Columns = <\n"
        "    item\n"
        "      Width = 10\n"
        "    end\n"
        "    item\n"
        "    end>\n"
        "  Panels = <>\n"
        "  Data = {\n"
        "    000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F\n"
        "    FF}\n"
        "  object Panel1: TPanel\n"
        "    object Edit1: TEdit\n"
        "    end\n"
        "  end\n"
        "  inherited Button1: TButton [2]\n"
        "  end\n"
        "  inline Frame1: TFrame1\n"
        "  end\n"
        "  object TUnnamed\n"
        "  end\n"
        "end\n";
    EXPECT_EQ(Reprint(text), text);
}

TEST(FormText, ValueSyntax)
{
    struct Case {
        const char* text;
        TValueType type;
        Int64 integer;
        double real;
        std::string string;
    } cases[] = {
        {"$FF", vaInt32, 255, 0, ""},
        {"-$10", vaInt32, -16, 0, ""},
        {"2147483648", vaInt64, 2147483648LL, 0, ""},
        {"1.5e3", vaExtended, 0, 1500, ""},
        {"7d", vaDate, 0, 7, ""},
        {"25c", vaCurrency, 0, 0.0025, ""},
        {"'a'#13#10'b' +\n    'c'", vaString, 0, 0, "a\r\nbc"},
        {"#$41#66", vaString, 0, 0, "AB"},
        {"'it''s'", vaString, 0, 0, "it's"},
        {"{0aFf}", vaBinary, 0, 0, std::string("\x0a\xff", 2)},
        {"Form2.Table1", vaIdent, 0, 0, "Form2.Table1"},
        {"TRUE", vaTrue, 0, 0, ""},
        {"NIL", vaNil, 0, 0, ""},
    };
    for (const Case& c : cases) {
        TFormToken token = ValueOf(c.text);
        EXPECT_EQ(token.Type, c.type) << c.text;
        EXPECT_EQ(token.Int, c.integer) << c.text;
        EXPECT_DOUBLE_EQ(token.Float, c.real) << c.text;
        EXPECT_EQ(token.Text, c.string) << c.text;
    }
}

TEST(FormText, PrintedStringsEscapeControlAndHighCharacters)
{
    TFormTokens tokens = ParseFormText("object X: TX\n  P = 'x'\nend\n");
    tokens[2].Text = std::string("a\tb\xe9'c");
    EXPECT_EQ(WithoutCarriageReturns(FormTokensToText(tokens)), "object X: TX\n  P = 'a'#9'b'#233'''c'\nend\n");
}

TEST(FormText, SyntaxErrorsNameTheLine)
{
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {"object X: TX\n  P = 'abc\nend\n", "Unterminated string on line 2"},
        {"object X: TX\n  P = {0A1}\nend\n", "Invalid binary value on line 2"},
        {"object X: TX\n  P 5\nend\n", "'=' expected on line 2"},
        {"object X: TX\n  P = ]\nend\n", "Invalid property value on line 2"},
        {"object X: TX\n  P = 'a' +\n  5\nend\n", "String expected on line 3"},
        {"object X: TX\n  P = <\n    Width = 1>\nend\n", "'ITEM' expected on line 3"},
        {"objekt X: TX\nend\n", "'OBJECT' expected on line 1"},
        {"object X: TX\n  P = #300\nend\n", "Invalid string constant on line 2"},
        {"object X: TX\nend\nend\n", "End of file expected on line 3"},
    };
    for (const Case& c : cases) {
        try {
            ParseFormText(c.text);
            ADD_FAILURE() << c.text;
        } catch (const EParserError& e) {
            EXPECT_EQ(e.Message(), c.error) << c.text;
        }
    }
}
