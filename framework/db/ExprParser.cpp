#include "db/ExprParser.h"

#include "db/DBConsts.h"
#include "db/DBErrors.h"
#include "db/DataSet.h"
#include "rtl/FormatSettings.h"
#include "rtl/SysUtils.h"

namespace {

enum TTokenKind { tkEnd, tkName, tkString, tkNumber, tkLParen, tkRParen, tkRelOp, tkAnd, tkOr, tkNot, tkIs, tkNull };

struct TToken {
    TTokenKind Kind = tkEnd;
    std::string Text;
    TCANOperator RelOp = coNOTDEFINED;
};

bool IsNameStart(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 128;
}

bool IsNameChar(unsigned char c)
{
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '$' || c == '#';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

class TLexer {
public:
    explicit TLexer(const std::string& text) : text_(text) {}

    TToken Next()
    {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r' ||
                                       text_[pos_] == '\n'))
            ++pos_;
        if (pos_ >= text_.size()) return TToken{};
        const char c = text_[pos_];
        if (c == '(') return Single(tkLParen);
        if (c == ')') return Single(tkRParen);
        if (c == '[') return Quoted(']', tkName, dbconsts::SExprNameError);
        if (c == '"') return Quoted('"', tkName, dbconsts::SExprNameError);
        if (c == '\'') return Quoted('\'', tkString, dbconsts::SExprStringError);
        if (c == '<' || c == '>' || c == '=') return RelOp();
        if (StartsNumber()) return Number();
        if (IsNameStart(static_cast<unsigned char>(c))) return Word();
        DatabaseErrorFmt(dbconsts::SExprInvalidChar, {std::string(1, c)});
    }

private:
    TToken Single(TTokenKind kind)
    {
        return TToken{kind, std::string(1, text_[pos_++])};
    }

    // A quoted run; a doubled closing character stands for one.
    TToken Quoted(char close, TTokenKind kind, const char* unterminated)
    {
        std::string value;
        ++pos_;
        for (;;) {
            if (pos_ >= text_.size()) DatabaseError(unterminated);
            const char c = text_[pos_++];
            if (c != close) {
                value += c;
            } else if (pos_ < text_.size() && text_[pos_] == close) {
                value += close;
                ++pos_;
            } else {
                return TToken{kind, value};
            }
        }
    }

    TToken RelOp()
    {
        static const struct { const char* Text; TCANOperator Op; } ops[] = {
            {"<>", coNE}, {"<=", coLE}, {">=", coGE}, {"=", coEQ}, {"<", coLT}, {">", coGT}};
        for (const auto& op : ops) {
            if (text_.compare(pos_, std::char_traits<char>::length(op.Text), op.Text) == 0) {
                pos_ += std::char_traits<char>::length(op.Text);
                return TToken{tkRelOp, op.Text, op.Op};
            }
        }
        return TToken{};
    }

    bool StartsNumber() const
    {
        size_t p = pos_;
        if (text_[p] == '-' || text_[p] == '+') ++p;
        if (p < text_.size() && text_[p] == DecimalSeparator) ++p;
        return p < text_.size() && IsDigit(text_[p]);
    }

    TToken Number()
    {
        const size_t start = pos_;
        if (text_[pos_] == '-' || text_[pos_] == '+') ++pos_;
        while (pos_ < text_.size() && IsDigit(text_[pos_])) ++pos_;
        if (pos_ < text_.size() && text_[pos_] == DecimalSeparator) {
            ++pos_;
            while (pos_ < text_.size() && IsDigit(text_[pos_])) ++pos_;
        }
        std::string number = text_.substr(start, pos_ - start);
        if (number[0] == '+') number.erase(0, 1);
        return TToken{tkNumber, number};
    }

    TToken Word()
    {
        const size_t start = pos_;
        while (pos_ < text_.size() && IsNameChar(static_cast<unsigned char>(text_[pos_]))) ++pos_;
        const std::string word = text_.substr(start, pos_ - start);
        static const struct { const char* Text; TTokenKind Kind; } keywords[] = {
            {"AND", tkAnd}, {"OR", tkOr}, {"NOT", tkNot}, {"IS", tkIs}, {"NULL", tkNull}};
        for (const auto& keyword : keywords)
            if (SameText(word, keyword.Text)) return TToken{keyword.Kind, word};
        return TToken{tkName, word};
    }

    const std::string& text_;
    size_t pos_ = 0;
};

// A parsed term: a condition or field node, or a constant whose type is known only once it meets a field.
struct TTerm {
    TExprNode* Node = nullptr;
    bool IsConstant = false;
    bool IsCondition = false;
    std::string Text;
    bool Quoted = false;
};

class TParser {
public:
    TParser(TFilterExpr& expr, const std::string& text) : expr_(expr), lexer_(text) { Advance(); }

    TExprNode* Parse()
    {
        TExprNode* root = OrExpr();
        if (token_.Kind != tkEnd) DatabaseError(dbconsts::SExprTermination);
        return root;
    }

private:
    void Advance() { token_ = lexer_.Next(); }

    std::string Describe() const
    {
        return token_.Kind == tkEnd ? std::string(dbconsts::SExprNothing) : "'" + token_.Text + "'";
    }

    TExprNode* OrExpr()
    {
        TExprNode* node = AndExpr();
        while (token_.Kind == tkOr) {
            Advance();
            node = expr_.NewBinaryNode(coOR, node, AndExpr());
        }
        return node;
    }

    TExprNode* AndExpr()
    {
        TExprNode* node = NotExpr();
        while (token_.Kind == tkAnd) {
            Advance();
            node = expr_.NewBinaryNode(coAND, node, NotExpr());
        }
        return node;
    }

    TExprNode* NotExpr()
    {
        if (token_.Kind != tkNot) return Condition();
        Advance();
        return expr_.NewUnaryNode(coNOT, NotExpr());
    }

    TExprNode* Condition()
    {
        TTerm left = Primary();
        if (token_.Kind == tkRelOp) {
            const TCANOperator op = token_.RelOp;
            Advance();
            return Comparison(op, left, Primary());
        }
        if (token_.Kind == tkIs) return NullTest(left);
        return AsCondition(left);
    }

    // After "(": a single field or constant closed by ")" is an operand, not a condition.
    bool IsOperandInParentheses() const
    {
        if (token_.Kind != tkName && token_.Kind != tkString && token_.Kind != tkNumber) return false;
        TLexer probe = lexer_;
        return probe.Next().Kind == tkRParen;
    }

    TTerm Primary(bool closeParenthesis = false)
    {
        TTerm term;
        switch (token_.Kind) {
        case tkLParen: {
            Advance();
            if (IsOperandInParentheses()) return Primary(true);
            term.Node = OrExpr();
            if (token_.Kind != tkRParen) DatabaseErrorFmt(dbconsts::SExprNoRParen, {Describe()});
            term.IsCondition = true;
            break;
        }
        case tkName:
            if (IsBooleanWord(token_.Text) && !expr_.HasField(token_.Text)) {
                term.IsConstant = true;
                term.Text = token_.Text;
            } else {
                term.Node = expr_.NewFieldNode(token_.Text);
            }
            break;
        case tkString:
        case tkNumber:
            term.IsConstant = true;
            term.Text = token_.Text;
            term.Quoted = token_.Kind == tkString;
            break;
        default: DatabaseErrorFmt(dbconsts::SExprExpected, {Describe()});
        }
        Advance();
        if (closeParenthesis) Advance();
        return term;
    }

    TExprNode* NullTest(const TTerm& operand)
    {
        Advance();
        bool negated = false;
        if (token_.Kind == tkNot) {
            negated = true;
            Advance();
        }
        if (token_.Kind != tkNull) DatabaseErrorFmt(dbconsts::SExprExpected, {Describe()});
        Advance();
        if (!IsField(operand)) DatabaseError(dbconsts::SExprIncorrect);
        return expr_.NewUnaryNode(negated ? coNOTBLANK : coISBLANK, operand.Node);
    }

    TExprNode* AsCondition(const TTerm& term)
    {
        if (term.IsCondition) return term.Node;
        if (!IsField(term)) DatabaseError(dbconsts::SExprIncorrect);
        if (term.Node->Field.DataType != ftBoolean)
            DatabaseErrorFmt(dbconsts::SExprNotBoolean, {term.Node->Field.FieldName});
        return term.Node;
    }

    static bool IsBooleanWord(const std::string& word) { return SameText(word, "True") || SameText(word, "False"); }

    static bool IsField(const TTerm& term) { return !term.IsConstant && !term.IsCondition; }

    TExprNode* Comparison(TCANOperator op, const TTerm& left, const TTerm& right)
    {
        if (left.IsCondition || right.IsCondition) DatabaseError(dbconsts::SExprIncorrect);
        if (left.IsConstant && right.IsConstant) DatabaseError(dbconsts::SExprBadCompare);
        const TFilterField& field = left.IsConstant ? right.Node->Field : left.Node->Field;
        if (TFilterExpr::ValueTypeOf(field.DataType) == 0) DatabaseErrorFmt(dbconsts::SExprBadField, {field.FieldName});
        const bool text = TFilterExpr::ValueTypeOf(field.DataType) == fldZSTRING;
        const bool caseInsensitive = text && expr_.Options().Contains(foCaseInsensitive);
        const TTerm& constant = left.IsConstant ? left : right;
        if (!left.IsConstant && !right.IsConstant)
            return expr_.NewCompareNode(op, left.Node, right.Node, caseInsensitive, 0);
        std::string value = constant.Text;
        Word partialLength = 0;
        if (text && IsPartial(op, constant)) {
            value.pop_back();
            if (value.empty()) return expr_.NewContinueNode(op == coEQ);  // '*' alone: all or nothing matches
            partialLength = Word(value.size());
        }
        TExprNode* valueNode = expr_.NewConstNode(field, value);
        return left.IsConstant ? expr_.NewCompareNode(op, valueNode, right.Node, caseInsensitive, partialLength)
                               : expr_.NewCompareNode(op, left.Node, valueNode, caseInsensitive, partialLength);
    }

    bool IsPartial(TCANOperator op, const TTerm& constant) const
    {
        return (op == coEQ || op == coNE) && constant.Quoted && !constant.Text.empty() &&
               constant.Text.back() == '*' && !expr_.Options().Contains(foNoPartialCompare);
    }

    TFilterExpr& expr_;
    TLexer lexer_;
    TToken token_;
};

}  // namespace

TExprParser::TExprParser(TFilterFieldLookup lookup, const std::string& text, TFilterOptions options)
        : expr_(std::make_unique<TFilterExpr>(std::move(lookup), options))
{
    TParser parser(*expr_, text);
    root_ = parser.Parse();
    data_ = expr_->GetFilterData(root_);
}

TExprParser::TExprParser(TDataSet* dataSet, const std::string& text, TFilterOptions options)
        : TExprParser(FilterFieldsOf(dataSet), text, options)
{
}

TFilterFieldLookup FilterFieldsOf(TDataSet* dataSet)
{
    return [dataSet](const std::string& name) -> std::optional<TFilterField> {
        TField* field = dataSet->FindField(name);
        if (!field) return std::nullopt;
        return TFilterField{field->FieldName(), field->FieldNo(), field->DataType(), field->Size()};
    };
}
