#include "vxdata/vxfilter.h"

#include <cmath>
#include <cstring>

#include "db/Bcd.h"
#include "db/Field.h"
#include "db/NumericFields.h"
#include "engine/components/BseBDEDataset.h"
#include "engine/components/BseBqTable.h"
#include "engine/components/BseMainText.h"
#include "engine/core/BseCanExpr.h"
#include "engine/core/BseEng.h"
#include "rtl/DateParse.h"
#include "rtl/DateTime.h"
#include "rtl/Exceptions.h"
#include "rtl/FloatConv.h"
#include "rtl/Format.h"
#include "rtl/FormatSettings.h"
#include "rtl/IntConv.h"
#include "rtl/StringRoutines.h"
#include "vcl/Dialogs.h"
#include "vxdata/vxStacks.h"

namespace {

constexpr size_t MaxTokenLength = 64;
constexpr size_t MaxNameLength = 255;
constexpr size_t NodeSlotSize = 14;
// Deeper parentheses fail the parse (the engine evaluates no deeper trees), before they exhaust the stack.
constexpr Integer MaxNesting = 256;
constexpr Word FilterPriority = 1;

// Operand types: the kind of constant written right of an operator, by the type of the field on its left.
// Word fields have their own unsigned type: the engine compares values of different types as texts.
enum TOperandType : Byte {
    otField = 0, otString, otFloat, otDateTime, otDate, otTime, otBoolean, otInteger, otBCD, otSmallint, otWord
};

TOperandType OperandTypeOf(TFieldType type)
{
    switch (type) {
    case ftString: return otString;
    case ftFloat:
    case ftCurrency: return otFloat;
    case ftDateTime: return otDateTime;
    case ftDate: return otDate;
    case ftTime: return otTime;
    case ftBoolean: return otBoolean;
    case ftInteger: return otInteger;
    case ftBCD: return otBCD;
    case ftSmallint: return otSmallint;
    case ftWord: return otWord;
    default: return otField;
    }
}

Word ValueTypeOf(Byte operandType)
{
    static const Word types[] = {0, fldZSTRING, fldFLOAT, fldTIMESTAMP, fldDATE, fldTIME, fldBOOL, fldINT32, fldBCD,
                                 fldINT16, fldUINT16};
    return types[operandType];
}

// ---- characters of the lexer ----

bool IsRelationalChar(char c) { return c == '<' || c == '=' || c == '>'; }

bool InRange(char c, char low, char high) { return Byte(c) >= Byte(low) && Byte(c) <= Byte(high); }

bool IsLetterLike(char c) { return InRange(c, '@', 'Z') || InRange(c, '_', 'z') || Byte(c) >= 146; }

bool IsOneOf(char c, const char* set) { return c != '\0' && std::strchr(set, c) != nullptr; }

bool IsNameStart(char c) { return IsOneOf(c, "!#$*+-/") || IsLetterLike(c); }

bool IsNameChar(char c) { return IsOneOf(c, " !#$*+-") || InRange(c, '/', '9') || IsLetterLike(c); }

bool IsDigit(char c) { return InRange(c, '0', '9'); }

bool IsLogicalOperator(const std::string& token)
{
    return SameText(token, "AND") || SameText(token, "OR");
}

bool IsRelationalOperator(const std::string& token)
{
    for (const char* op : {"<", "<>", "<=", ">=", "=", ">"})
        if (token == op) return true;
    return false;
}

TCanOperator OperatorOf(const TNode& node)
{
    static const std::pair<const char*, TCanOperator> operators[] = {
        {"<", TCanOperator::Less}, {">", TCanOperator::Greater}, {"<=", TCanOperator::LessOrEqual},
        {">=", TCanOperator::GreaterOrEqual}, {"=", TCanOperator::Equal}, {"<>", TCanOperator::NotEqual},
        {"AND", TCanOperator::And}, {"OR", TCanOperator::Or}, {"+", TCanOperator::Add},
        {"-", TCanOperator::Subtract}, {"*", TCanOperator::Multiply}, {"/", TCanOperator::Divide}};
    for (const auto& [text, op] : operators)
        if (SameText(node.Text, text)) return op;
    return TCanOperator::NotDefined;
}

size_t CountNodes(const TNode* node)
{
    return node ? 1 + CountNodes(node->Left.get()) + CountNodes(node->Right.get()) : 0;
}

template <typename T>
std::string BytesOf(T value)
{
    std::string bytes(sizeof(T), '\0');
    std::memcpy(bytes.data(), &value, sizeof(T));
    return bytes;
}

// A quoted constant without its quotes, any other without trailing blanks.
std::string ConstantText(const std::string& text)
{
    if (!text.empty() && text[0] == '"') return text.size() < 2 ? std::string() : text.substr(1, text.size() - 2);
    return text.substr(0, text.find_last_not_of(' ') + 1);
}

std::string BcdBytes(const std::string& text, Word decimals)
{
    const double value = StrToFloat(text);
    TBcd bcd;
    if (!(std::fabs(value) < 9.2e14) || !CurrToBCD(Currency(value), bcd, 32, decimals))
        throw EConvertError(Format("'%s' is not a valid floating point value", {text}));
    return std::string(reinterpret_cast<const char*>(&bcd), sizeof bcd);
}

// The constant's bytes, except strings (which go through the engine's character set).
std::string ConstantBytes(const TNode& node)
{
    const std::string& text = node.Text;
    switch (node.OperandType) {
    case otFloat: return BytesOf(StrToFloat(text));
    case otDateTime: {
        const std::string value = ConstantText(text);
        const TDateTime dateTime = value.find(' ') != std::string::npos ? StrToDateTime(value) : StrToDate(value);
        return BytesOf(TimeStampToMSecs(DateTimeToTimeStamp(dateTime)));
    }
    case otDate: return BytesOf(Integer(DateTimeToTimeStamp(std::trunc(StrToDate(ConstantText(text)))).Date));
    case otTime: return BytesOf(Integer(DateTimeToTimeStamp(StrToTime(ConstantText(text))).Time));
    case otBoolean: {
        const std::string value = ConstantText(text);
        return BytesOf(Word(!value.empty() && (value[0] == 'T' || value[0] == 't') ? 0xFFFF : 0));
    }
    case otInteger: return BytesOf(int32_t(StrToInt(text)));
    case otBCD: return BcdBytes(text, node.Decimals);
    case otSmallint: return BytesOf(int16_t(StrToInt(text)));
    case otWord: return BytesOf(uint16_t(StrToInt(text)));
    default: return std::string();
    }
}

// ---- writing the block ----

// Writes a tree post-order into 14-byte node slots, the root last at offset 0, and its names and constants into
// the literal pool.
class TBlockWriter {
public:
    TBlockWriter(TVirtEng* engine, size_t nodeCount)
        : engine_(engine), nodeCount_(nodeCount), nodesLeft_(nodeCount), nodeArea_(nodeCount * NodeSlotSize, 0)
    {
    }

    void Write(TNode* node)
    {
        if (node->Left) Write(node->Left.get());
        if (node->Right) Write(node->Right.get());
        --nodesLeft_;
        node->Offset = Cardinal(nodesLeft_ * NodeSlotSize);
        if (node->Kind != nkOperand)
            WriteBinary(*node);
        else if (node->OperandType == otField)
            WriteField(*node);
        else
            WriteConstant(*node);
    }

    // Empty when the block would not fit the 16-bit sizes and offsets of its layout.
    std::vector<Byte> Block() const
    {
        const size_t literalStart = CANHdrSize + nodeArea_.size();
        const size_t total = literalStart + literals_.size();
        if (total > 0xFFFF) return {};
        const CANHdr header{CANExprVersion, Word(total), Word(nodeCount_), CANHdrSize, Word(literalStart)};
        std::vector<Byte> block(total);
        std::memcpy(block.data(), &header, sizeof header);
        std::memcpy(block.data() + CANHdrSize, nodeArea_.data(), nodeArea_.size());
        std::memcpy(block.data() + literalStart, literals_.data(), literals_.size());
        return block;
    }

private:
    template <typename T>
    void PutSlot(const TNode& node, const T& record)
    {
        static_assert(sizeof(T) <= NodeSlotSize);
        std::memcpy(nodeArea_.data() + node.Offset, &record, sizeof record);
    }

    void WriteBinary(const TNode& node)
    {
        CANBinary binary{};
        binary.nodeClass = TCanNodeClass::Binary;
        binary.canOp = OperatorOf(node);
        binary.iOperand1 = Word(node.Left->Offset);
        binary.iOperand2 = Word(node.Right->Offset);
        PutSlot(node, binary);
    }

    void WriteField(const TNode& node)
    {
        CANField field{};
        field.nodeClass = TCanNodeClass::Field;
        field.canOp = TCanOperator::Field;
        field.iFieldNum = ++fieldNumber_;
        field.iNameOffset = Word(literals_.size());
        PutSlot(node, field);
        AddNativeText(node.Text);
    }

    void WriteConstant(const TNode& node)
    {
        CANConst constant{};
        constant.nodeClass = TCanNodeClass::Constant;
        constant.canOp = TCanOperator::Constant;
        constant.iType = ValueTypeOf(node.OperandType);
        constant.iOffset = Word(literals_.size());
        if (node.OperandType == otString)
            AddNativeText(ConstantText(node.Text));
        else
            literals_ += ConstantBytes(node);
        constant.iSize = Word(literals_.size() - constant.iOffset);
        PutSlot(node, constant);
    }

    // In the database's character set, NUL-terminated.
    void AddNativeText(const std::string& text)
    {
        char native[MaxNameLength + 1];
        AnsiToNative(engine_, text, Integer(MaxNameLength), native);
        literals_.append(native, std::strlen(native) + 1);
    }

    TVirtEng* engine_;
    size_t nodeCount_;
    size_t nodesLeft_;
    Word fieldNumber_ = 0;
    std::vector<Byte> nodeArea_;
    std::string literals_;
};

// ---- parsing ----

// A recursive-descent parser over the text: it keeps the rules' symbols on one stack and builds the tree on the
// other.
class TFilterCompiler {
public:
    TFilterCompiler(const std::string& text, TbqBDEDataset* table) : rest_(text), table_(table) {}

    ~TFilterCompiler()
    {
        while (TNode* node = nodes_.Pop()) delete node;
    }

    std::vector<Byte> Compile()
    {
        if (!ParseL()) return {};
        std::unique_ptr<TNode> root(nodes_.Pop());
        if (!root) return {};
        TBlockWriter writer(table_->Engine(), CountNodes(root.get()));
        writer.Write(root.get());
        return writer.Block();
    }

private:
    // ---- lexer ----

    // The next token, without consuming it; leading blanks and tabs are dropped from the text.
    std::string NextToken()
    {
        const size_t start = rest_.find_first_not_of(" \t");
        rest_.erase(0, start == std::string::npos ? rest_.size() : start);
        std::string token = rest_.substr(0, std::min(TokenLength(), MaxTokenLength));
        return token.substr(0, token.find_last_not_of(' ') + 1);
    }

    size_t TokenLength() const
    {
        if (rest_.empty()) return 0;
        const char c = rest_[0];
        if (c == '(' || c == ')') return 1;
        if (IsRelationalChar(c)) return rest_.size() > 1 && IsRelationalChar(rest_[1]) ? 2 : 1;
        if (logicalExpected_) {
            if (StartsWithWord(0, "AND")) return 3;
            if (StartsWithWord(0, "OR")) return 2;
        }
        if (c == '-' && rest_.size() > 1 && IsDigit(rest_[1])) return NumberLength();
        if (IsNameStart(c)) return NameLength();
        if (IsDigit(c)) return NumberLength();
        if (c == '"') {
            const size_t close = rest_.find('"', 1);
            return close == std::string::npos ? 0 : close + 1;
        }
        return 0;
    }

    bool StartsWithWord(size_t at, const char* word) const
    {
        return SameText(rest_.substr(at, std::strlen(word)), word);
    }

    // AND or OR at the position, standing on its own (a blank or a character that cannot continue a name follows).
    bool LogicalWordAt(size_t at) const
    {
        for (const char* word : {"AND", "OR"}) {
            const size_t end = at + std::strlen(word);
            if (StartsWithWord(at, word) && (end >= rest_.size() || rest_[end] == ' ' || !IsNameChar(rest_[end])))
                return true;
        }
        return false;
    }

    size_t NameLength() const
    {
        size_t length = 1;
        while (length < rest_.size() && IsNameChar(rest_[length])) {
            if (rightOfRelational_ && rest_[length] == ' ' && LogicalWordAt(length + 1)) break;
            ++length;
        }
        return length;
    }

    size_t NumberLength() const
    {
        size_t length = rest_[0] == '-' ? 1 : 0;
        const size_t digits = length;
        while (length < rest_.size() && IsDigit(rest_[length])) ++length;
        if (length == digits) return 0;
        if (length < rest_.size() && rest_[length] == DecimalSeparator) {
            ++length;
            while (length < rest_.size() && IsDigit(rest_[length])) ++length;
        }
        return length;
    }

    // Consumes the token from the text onto the symbol stack.
    bool Match(const std::string& token)
    {
        if (token.empty() || rest_.compare(0, token.size(), token) != 0) return false;
        rest_.erase(0, token.size());
        symbols_.Push(token);
        return true;
    }

    bool Reduce(Integer count, const char* letter)
    {
        if (symbols_.Count() < count) return false;
        for (Integer i = 0; i < count; ++i) symbols_.Pop();
        symbols_.Push(letter);
        return true;
    }

    // ---- grammar ----

    bool ParseL()
    {
        if (!ParseR() || !Reduce(1, "L")) return false;
        logicalExpected_ = true;
        for (std::string token = NextToken(); IsLogicalOperator(token); token = NextToken()) {
            logicalExpected_ = false;
            Match(token);
            if (!ParseR() || !MakeOperatorNode(nkLogical, token) || !Reduce(3, "L")) return false;
            logicalExpected_ = true;
        }
        logicalExpected_ = false;
        return true;
    }

    bool ParseR()
    {
        if (!ParseE()) return false;
        const std::string token = NextToken();
        if (!IsRelationalOperator(token)) return Reduce(1, "R");
        Match(token);
        const bool outer = rightOfRelational_;
        rightOfRelational_ = true;
        const bool parsed = ParseE();
        rightOfRelational_ = outer;
        return parsed && MakeOperatorNode(nkRelational, token) && Reduce(3, "R");
    }

    bool ParseE() { return ParseChain(&TFilterCompiler::ParseT, "+", "-", "E"); }

    bool ParseT() { return ParseChain(&TFilterCompiler::ParseP, "*", "/", "T"); }

    // operand { (op1 | op2) operand }, grouping from the left.
    bool ParseChain(bool (TFilterCompiler::*operand)(), const char* op1, const char* op2, const char* letter)
    {
        if (!(this->*operand)() || !Reduce(1, letter)) return false;
        for (std::string token = NextToken(); token == op1 || token == op2; token = NextToken()) {
            Match(token);
            if (!(this->*operand)() || !MakeOperatorNode(nkArithmetic, token) || !Reduce(3, letter)) return false;
        }
        return true;
    }

    bool ParseP()
    {
        const std::string token = NextToken();
        if (token == "(") {
            if (nesting_ == MaxNesting) return false;
            Match(token);
            const bool outer = rightOfRelational_;
            rightOfRelational_ = false;
            ++nesting_;
            const bool parsed = ParseL();
            --nesting_;
            rightOfRelational_ = outer;
            return parsed && NextToken() == ")" && Match(")") && Reduce(3, "P");
        }
        if (!Match(token)) return false;
        nodes_.Push(new TNode(nkOperand, token));
        return Reduce(1, "P");
    }

    // Joins the two top nodes under an operator; the left one, when an operand, must be a field of the table.
    bool MakeOperatorNode(Byte kind, const std::string& text)
    {
        std::unique_ptr<TNode> right(nodes_.Pop());
        std::unique_ptr<TNode> left(nodes_.Pop());
        if (!left || !right) return false;
        if (left->Kind == nkOperand) {
            TField* field = table_->FindField(left->Text);
            if (!field) {
                MessageDlg(left->Text + "\rField not found in Table. ", mtWarning, {mbOK}, 0);
                return false;
            }
            right->OperandType = OperandTypeOf(field->DataType());
            if (dynamic_cast<TBCDField*>(field)) right->Decimals = Word(field->Size());
        }
        auto node = std::make_unique<TNode>(kind, text);
        node->Left = std::move(left);
        node->Right = std::move(right);
        nodes_.Push(node.release());
        return true;
    }

    std::string rest_;
    TbqBDEDataset* table_;
    bool logicalExpected_ = false;
    bool rightOfRelational_ = false;
    Integer nesting_ = 0;
    TStackStr symbols_;
    TStackPtr nodes_;
};

// Shows the records the changed callback filter lets through.
void RefreshFiltered(TbqBDEDataset* dataSet)
{
    auto* table = dynamic_cast<TbqTable*>(dataSet);
    if (table && table->IndexFieldCount() > 0) {
        table->Refresh();
    } else {
        dataSet->UpdateCursorPos();
        dataSet->Resync({});
    }
}

}  // namespace

std::vector<Byte> vxCompileFilter(const std::string& text, TbqBDEDataset* table)
{
    if (!table || !table->Engine()) return {};
    return TFilterCompiler(text, table).Compile();
}

bool vxApplyTableFilter(const std::string& text, TbqBDEDataset* table, TFilterListItem*& filter,
                        bool applyWhenClosed)
{
    if (!table->Active() && !applyWhenClosed) {
        filter = nullptr;
        return true;
    }
    if (text.empty()) {
        vxRemoveFilter(table, filter);
        if (table->Active()) table->Refresh();
        return true;
    }
    const std::vector<Byte> block = vxCompileFilter(text, table);
    if (block.empty()) return false;
    vxRemoveFilter(table, filter);
    if (table->Engine()->AddFilter(table->Handle(), 0, FilterPriority, false, block.data(), nullptr, filter) != 0) {
        filter = nullptr;
        return false;
    }
    table->Engine()->ActivateFilter(table->Handle(), filter);
    if (table->Active()) table->Refresh();
    return true;
}

void vxRemoveFilter(TbqBDEDataset* dataSet, TFilterListItem*& filter)
{
    if (!filter) return;
    dataSet->Engine()->DeactivateFilter(dataSet->Handle(), filter);
    dataSet->Engine()->DropFilter(dataSet->Handle(), filter);
    filter = nullptr;
}

bool vxInstallCallbackFilter(TFilterCallback callback, TbqBDEDataset* dataSet, TFilterListItem*& filter)
{
    vxRemoveFilter(dataSet, filter);
    if (!callback) {
        if (dataSet->Active()) RefreshFiltered(dataSet);
        return true;
    }
    if (!dataSet->Handle()) return false;
    if (dataSet->Engine()->AddFilter(dataSet->Handle(), reinterpret_cast<uintptr_t>(dataSet), FilterPriority, false,
                                     nullptr, callback, filter) != 0) {
        filter = nullptr;
        return false;
    }
    dataSet->Engine()->ActivateFilter(dataSet->Handle(), filter);
    if (dataSet->Active()) RefreshFiltered(dataSet);
    return true;
}
