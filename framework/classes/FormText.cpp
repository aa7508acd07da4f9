#include "classes/FormText.h"

#include <cctype>
#include <charconv>
#include <cmath>

#include "rtl/StringRoutines.h"

namespace {

// ---- lexer ----

enum TLexKind { lxEOF, lxSymbol, lxIdent, lxString, lxInteger, lxFloat };

struct TLexToken {
    TLexKind Kind = lxEOF;
    char Symbol = 0;        // lxSymbol
    std::string Text;       // lxIdent, lxString
    Int64 Int = 0;          // lxInteger
    double Float = 0;       // lxFloat
    char FloatSuffix = 0;   // 's', 'c', 'd' or 0
};

class TLexer {
public:
    explicit TLexer(const std::string& text) : text_(text) { Next(); }

    const TLexToken& Token() const { return token_; }
    void Next();
    [[noreturn]] void Error(const std::string& what) const
    {
        throw EParserError(what + " on line " + std::to_string(line_));
    }
    bool IsSymbol(char c) const { return token_.Kind == lxSymbol && token_.Symbol == c; }
    bool IsIdent(const char* word) const { return token_.Kind == lxIdent && SameText(token_.Text, word); }
    void ExpectSymbol(char c)
    {
        if (!IsSymbol(c)) Error(std::string("'") + c + "' expected");
        Next();
    }
    std::string ExpectIdent()
    {
        if (token_.Kind != lxIdent) Error("Identifier expected");
        std::string ident = token_.Text;
        Next();
        return ident;
    }

    // After a '{' token: the bytes of the hex digits up to '}', then the token after it.
    std::string ReadHexBlock();

private:
    char Peek(size_t ahead = 0) const { return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0'; }
    void SkipBlanks();
    void ReadIdent();
    void ReadNumber();
    void ReadString();

    const std::string& text_;
    size_t pos_ = 0;
    int line_ = 1;
    TLexToken token_;
};

bool IsIdentStart(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}

bool IsIdentChar(char c)
{
    return IsIdentStart(c) || std::isdigit(static_cast<unsigned char>(c));
}

bool IsDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

void TLexer::SkipBlanks()
{
    while (pos_ < text_.size() && static_cast<unsigned char>(text_[pos_]) <= ' ') {
        if (text_[pos_] == '\n') ++line_;
        ++pos_;
    }
}

void TLexer::Next()
{
    SkipBlanks();
    token_ = TLexToken{};
    if (pos_ >= text_.size()) return;
    char c = Peek();
    if (IsIdentStart(c))
        ReadIdent();
    else if (IsDigit(c) || c == '$' || (c == '-' && (IsDigit(Peek(1)) || Peek(1) == '$')))
        ReadNumber();
    else if (c == '\'' || c == '#')
        ReadString();
    else {
        token_.Kind = lxSymbol;
        token_.Symbol = c;
        ++pos_;
    }
}

void TLexer::ReadIdent()
{
    size_t start = pos_;
    while (IsIdentChar(Peek()) || (Peek() == '.' && IsIdentStart(Peek(1)))) ++pos_;
    token_.Kind = lxIdent;
    token_.Text = text_.substr(start, pos_ - start);
}

void TLexer::ReadNumber()
{
    size_t start = pos_;
    bool negative = Peek() == '-';
    if (negative) ++pos_;
    if (Peek() == '$') {
        ++pos_;
        size_t digits = pos_;
        while (std::isxdigit(static_cast<unsigned char>(Peek()))) ++pos_;
        uint64_t value = 0;
        auto [end, ec] = std::from_chars(text_.data() + digits, text_.data() + pos_, value, 16);
        if (ec != std::errc() || digits == pos_) Error("Number expected");
        token_.Kind = lxInteger;
        token_.Int = negative ? -Int64(value) : Int64(value);
        return;
    }
    bool isFloat = false;
    while (IsDigit(Peek())) ++pos_;
    if (Peek() == '.' && IsDigit(Peek(1))) {
        isFloat = true;
        ++pos_;
        while (IsDigit(Peek())) ++pos_;
    }
    if ((Peek() == 'e' || Peek() == 'E') && (IsDigit(Peek(1)) || ((Peek(1) == '+' || Peek(1) == '-') && IsDigit(Peek(2))))) {
        isFloat = true;
        pos_ += 2;
        while (IsDigit(Peek())) ++pos_;
    }
    std::string number = text_.substr(start, pos_ - start);
    char suffix = char(std::tolower(static_cast<unsigned char>(Peek())));
    if (suffix == 's' || suffix == 'c' || suffix == 'd') {
        isFloat = true;
        token_.FloatSuffix = suffix;
        ++pos_;
    }
    if (isFloat) {
        token_.Kind = lxFloat;
        token_.Float = std::strtod(number.c_str(), nullptr);
        return;
    }
    auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), token_.Int);
    if (ec != std::errc()) Error("Number expected");
    token_.Kind = lxInteger;
}

void TLexer::ReadString()
{
    token_.Kind = lxString;
    for (;;) {
        if (Peek() == '\'') {
            ++pos_;
            for (;;) {
                if (pos_ >= text_.size() || Peek() == '\n' || Peek() == '\r') Error("Unterminated string");
                if (Peek() == '\'') {
                    if (Peek(1) != '\'') break;
                    ++pos_;
                }
                token_.Text += text_[pos_++];
            }
            ++pos_;
        } else if (Peek() == '#') {
            ++pos_;
            int base = 10;
            if (Peek() == '$') {
                base = 16;
                ++pos_;
            }
            size_t digits = pos_;
            while (base == 16 ? std::isxdigit(static_cast<unsigned char>(Peek())) != 0 : IsDigit(Peek())) ++pos_;
            unsigned code = 0;
            auto [end, ec] = std::from_chars(text_.data() + digits, text_.data() + pos_, code, base);
            if (ec != std::errc() || digits == pos_ || code > 255) Error("Invalid string constant");
            token_.Text += char(code);
        } else {
            return;
        }
    }
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    c = char(std::toupper(static_cast<unsigned char>(c)));
    return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

std::string TLexer::ReadHexBlock()
{
    std::string bytes;
    int high = -1;
    for (;;) {
        SkipBlanks();
        if (pos_ >= text_.size()) Error("Invalid binary value");
        char c = text_[pos_++];
        if (c == '}') break;
        int digit = HexValue(c);
        if (digit < 0) Error("Invalid binary value");
        if (high < 0) {
            high = digit;
        } else {
            bytes += char(high * 16 + digit);
            high = -1;
        }
    }
    if (high >= 0) Error("Invalid binary value");
    Next();
    return bytes;
}

// ---- parser: text to tokens ----

class TTextParser {
public:
    explicit TTextParser(const std::string& text) : lexer_(text) {}

    TFormTokens Parse()
    {
        ParseObject();
        if (lexer_.Token().Kind != lxEOF) lexer_.Error("End of file expected");
        return std::move(tokens_);
    }

private:
    bool AtObjectStart() const
    {
        return lexer_.IsIdent("object") || lexer_.IsIdent("inherited") || lexer_.IsIdent("inline");
    }
    void ParseObject();
    void ParseProperty();
    void ParseValue();
    void ParseString();
    void ParseSet();
    void ParseList();
    void ParseCollection();
    void ParseBinary();
    void AddEnd() { tokens_.push_back(TFormToken{}); }
    void AddValue(TValueType type, std::string text = std::string())
    {
        TFormToken token;
        token.Type = type;
        token.Text = std::move(text);
        tokens_.push_back(std::move(token));
    }

    TLexer lexer_;
    TFormTokens tokens_;
};

void TTextParser::ParseObject()
{
    if (!AtObjectStart()) lexer_.Error("'OBJECT' expected");
    TFormToken header;
    header.Kind = TFormToken::ObjectHeader;
    if (lexer_.IsIdent("inherited")) header.Flags.Include(ffInherited);
    if (lexer_.IsIdent("inline")) header.Flags.Include(ffInline);
    lexer_.Next();
    std::string first = lexer_.ExpectIdent();
    if (lexer_.IsSymbol(':')) {
        lexer_.Next();
        header.ObjectName = first;
        header.Text = lexer_.ExpectIdent();
    } else {
        header.Text = first;
    }
    if (lexer_.IsSymbol('[')) {
        lexer_.Next();
        if (lexer_.Token().Kind != lxInteger) lexer_.Error("Number expected");
        header.Flags.Include(ffChildPos);
        header.Position = Integer(lexer_.Token().Int);
        lexer_.Next();
        lexer_.ExpectSymbol(']');
    }
    tokens_.push_back(std::move(header));
    while (!lexer_.IsIdent("end") && !AtObjectStart()) ParseProperty();
    AddEnd();
    while (!lexer_.IsIdent("end")) ParseObject();
    AddEnd();
    lexer_.Next();
}

void TTextParser::ParseProperty()
{
    TFormToken name;
    name.Kind = TFormToken::PropertyName;
    name.Text = lexer_.ExpectIdent();
    tokens_.push_back(std::move(name));
    lexer_.ExpectSymbol('=');
    ParseValue();
}

void TTextParser::ParseValue()
{
    const TLexToken& token = lexer_.Token();
    switch (token.Kind) {
    case lxInteger: {
        TFormToken value;
        value.Type = token.Int >= INT32_MIN && token.Int <= INT32_MAX ? vaInt32 : vaInt64;
        value.Int = token.Int;
        tokens_.push_back(value);
        lexer_.Next();
        return;
    }
    case lxFloat: {
        TFormToken value;
        value.Float = token.Float;
        switch (token.FloatSuffix) {
        case 's': value.Type = vaSingle; break;
        case 'c': value.Type = vaCurrency; value.Float = token.Float / 10000; break;
        case 'd': value.Type = vaDate; break;
        default: value.Type = vaExtended; break;
        }
        tokens_.push_back(value);
        lexer_.Next();
        return;
    }
    case lxString: ParseString(); return;
    case lxIdent: {
        if (SameText(token.Text, "True"))
            AddValue(vaTrue);
        else if (SameText(token.Text, "False"))
            AddValue(vaFalse);
        else if (SameText(token.Text, "nil"))
            AddValue(vaNil);
        else
            AddValue(vaIdent, token.Text);
        lexer_.Next();
        return;
    }
    case lxSymbol:
        switch (token.Symbol) {
        case '[': ParseSet(); return;
        case '(': ParseList(); return;
        case '<': ParseCollection(); return;
        case '{': ParseBinary(); return;
        default: break;
        }
        break;
    case lxEOF: break;
    }
    lexer_.Error("Invalid property value");
}

void TTextParser::ParseString()
{
    std::string text;
    for (;;) {
        text += lexer_.Token().Text;
        lexer_.Next();
        if (!lexer_.IsSymbol('+')) break;
        lexer_.Next();
        if (lexer_.Token().Kind != lxString) lexer_.Error("String expected");
    }
    AddValue(vaString, std::move(text));
}

void TTextParser::ParseSet()
{
    lexer_.Next();
    AddValue(vaSet);
    if (!lexer_.IsSymbol(']')) {
        for (;;) {
            AddValue(vaIdent, lexer_.ExpectIdent());
            if (lexer_.IsSymbol(']')) break;
            lexer_.ExpectSymbol(',');
        }
    }
    lexer_.Next();
    AddEnd();
}

void TTextParser::ParseList()
{
    lexer_.Next();
    AddValue(vaList);
    while (!lexer_.IsSymbol(')')) ParseValue();
    lexer_.Next();
    AddEnd();
}

void TTextParser::ParseCollection()
{
    lexer_.Next();
    AddValue(vaCollection);
    while (!lexer_.IsSymbol('>')) {
        if (!lexer_.IsIdent("item")) lexer_.Error("'ITEM' expected");
        lexer_.Next();
        if (lexer_.IsSymbol('[')) {
            lexer_.Next();
            ParseValue();
            lexer_.ExpectSymbol(']');
        }
        AddValue(vaList);
        while (!lexer_.IsIdent("end")) ParseProperty();
        lexer_.Next();
        AddEnd();
    }
    lexer_.Next();
    AddEnd();
}

void TTextParser::ParseBinary()
{
    AddValue(vaBinary, lexer_.ReadHexBlock());
}

}  // namespace

TFormTokens ParseFormText(const std::string& text)
{
    return TTextParser(text).Parse();
}

// ---- printer: tokens to text ----

namespace {

constexpr size_t kStringChunk = 64;  // characters of a string per line
constexpr size_t kBinaryChunk = 32;  // bytes of binary data per line

// Shortest text that reads back the same value, with the exponent written as "E-7", "E20".
std::string FloatText(double value)
{
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, end);
    if (!std::isfinite(value)) return text;
    size_t e = text.find('e');
    if (e == std::string::npos) {
        if (text.find('.') == std::string::npos) text += ".0";
        return text;
    }
    std::string mantissa = text.substr(0, e);
    bool negative = text[e + 1] == '-';
    size_t digits = text.find_first_not_of("+-0", e + 1);
    std::string exponent = digits == std::string::npos ? "0" : text.substr(digits);
    return mantissa + "E" + (negative ? "-" : "") + exponent;
}

std::string QuotedString(const std::string& s)
{
    if (s.empty()) return "''";
    std::string result;
    bool inQuotes = false;
    for (char c : s) {
        auto code = static_cast<unsigned char>(c);
        if (code >= ' ' && code < 127) {
            if (!inQuotes) result += '\'';
            inQuotes = true;
            result += c;
            if (c == '\'') result += '\'';
        } else {
            if (inQuotes) result += '\'';
            inQuotes = false;
            result += '#' + std::to_string(code);
        }
    }
    if (inQuotes) result += '\'';
    return result;
}

class TTextPrinter {
public:
    explicit TTextPrinter(const TFormTokens& tokens) : tokens_(tokens) {}

    std::string Print()
    {
        PrintObject(0);
        return std::move(out_);
    }

private:
    const TFormToken& Take()
    {
        if (pos_ >= tokens_.size()) throw EParserError("Unexpected end of form data");
        return tokens_[pos_++];
    }
    bool AtEnd() const { return pos_ < tokens_.size() && tokens_[pos_].IsEnd(); }
    void Line(size_t indent, const std::string& text) { out_ += std::string(indent, ' ') + text + "\r\n"; }
    void PrintObject(size_t indent);
    void PrintProperties(size_t indent);
    void PrintValue(size_t indent);
    void PrintString(const std::string& s, size_t indent);
    void PrintBinary(const std::string& bytes, size_t indent);

    const TFormTokens& tokens_;
    size_t pos_ = 0;
    std::string out_;
};

void TTextPrinter::PrintObject(size_t indent)
{
    const TFormToken& header = Take();
    if (header.Kind != TFormToken::ObjectHeader) throw EParserError("Invalid stream format");
    std::string text = header.Flags.Contains(ffInherited) ? "inherited " : header.Flags.Contains(ffInline) ? "inline " : "object ";
    if (!header.ObjectName.empty()) text += header.ObjectName + ": ";
    text += header.Text;
    if (header.Flags.Contains(ffChildPos)) text += " [" + std::to_string(header.Position) + "]";
    Line(indent, text);
    PrintProperties(indent + 2);
    while (!AtEnd()) PrintObject(indent + 2);
    Take();
    Line(indent, "end");
}

void TTextPrinter::PrintProperties(size_t indent)
{
    while (!AtEnd()) {
        const TFormToken& name = Take();
        if (name.Kind != TFormToken::PropertyName) throw EParserError("Invalid stream format");
        out_ += std::string(indent, ' ') + name.Text + " = ";
        PrintValue(indent);
        out_ += "\r\n";
    }
    Take();
}

void TTextPrinter::PrintValue(size_t indent)
{
    const TFormToken& value = Take();
    if (value.Kind != TFormToken::Value) throw EParserError("Invalid stream format");
    switch (value.Type) {
    case vaInt8:
    case vaInt16:
    case vaInt32:
    case vaInt64: out_ += std::to_string(value.Int); break;
    case vaExtended: out_ += FloatText(value.Float); break;
    case vaSingle: out_ += FloatText(value.Float) + "s"; break;
    case vaCurrency: out_ += std::to_string(std::llround(value.Float * 10000)) + "c"; break;
    case vaDate: out_ += FloatText(value.Float) + "d"; break;
    case vaString:
    case vaLString:
    case vaWString: PrintString(value.Text, indent); break;
    case vaIdent: out_ += value.Text; break;
    case vaFalse: out_ += "False"; break;
    case vaTrue: out_ += "True"; break;
    case vaNil: out_ += "nil"; break;
    case vaBinary: PrintBinary(value.Text, indent); break;
    case vaSet: {
        out_ += '[';
        for (bool first = true; !AtEnd(); first = false) out_ += (first ? "" : ", ") + Take().Text;
        Take();
        out_ += ']';
        break;
    }
    case vaList: {
        out_ += '(';
        while (!AtEnd()) {
            out_ += "\r\n" + std::string(indent + 2, ' ');
            PrintValue(indent + 2);
        }
        Take();
        out_ += ')';
        break;
    }
    case vaCollection: {
        out_ += '<';
        while (!AtEnd()) {
            out_ += "\r\n" + std::string(indent + 2, ' ') + "item";
            if (tokens_[pos_].Type != vaList) {
                out_ += " [";
                PrintValue(indent + 2);
                out_ += "]";
            }
            out_ += "\r\n";
            Take();  // the item's vaList
            PrintProperties(indent + 4);
            out_ += std::string(indent + 2, ' ') + "end";
        }
        Take();
        out_ += '>';
        break;
    }
    case vaNull: throw EParserError("Invalid stream format");
    }
}

void TTextPrinter::PrintString(const std::string& s, size_t indent)
{
    if (s.size() > kStringChunk) out_ += "\r\n" + std::string(indent + 2, ' ');
    for (size_t start = 0; start == 0 || start < s.size(); start += kStringChunk) {
        if (start > 0) out_ += " +\r\n" + std::string(indent + 2, ' ');
        out_ += QuotedString(s.substr(start, kStringChunk));
    }
}

void TTextPrinter::PrintBinary(const std::string& bytes, size_t indent)
{
    static const char digits[] = "0123456789ABCDEF";
    out_ += '{';
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i % kBinaryChunk == 0) out_ += "\r\n" + std::string(indent + 2, ' ');
        auto b = static_cast<unsigned char>(bytes[i]);
        out_ += digits[b >> 4];
        out_ += digits[b & 15];
    }
    out_ += '}';
}

}  // namespace

std::string FormTokensToText(const TFormTokens& tokens)
{
    return TTextPrinter(tokens).Print();
}
