#include "db/FilterExpr.h"

#include <cstring>

#include "db/Bcd.h"
#include "db/DBConsts.h"
#include "db/DBErrors.h"
#include "db/NativeData.h"
#include "rtl/SysUtils.h"

namespace {

template <typename T>
std::string BytesOf(T value)
{
    std::string bytes(sizeof(T), '\0');
    std::memcpy(bytes.data(), &value, sizeof(T));
    return bytes;
}

bool IsStringType(TFieldType type)
{
    return type == ftString || type == ftFixedChar || type == ftWideString;
}

Word BooleanConstant(const TFilterField& field, const std::string& text)
{
    if (SameText(text, "True")) return 0xFFFF;
    if (SameText(text, "False")) return 0;
    DatabaseErrorFmt(dbconsts::SInvalidBoolValue, {text, field.FieldName});
}

std::string BcdConstant(const TFilterField& field, const std::string& text)
{
    TBcd bcd;
    if (!CurrToBCD(Currency(StrToFloat(text)), bcd, 32, field.Size))
        DatabaseErrorFmt(dbconsts::SInvalidFloatValue, {text, field.FieldName});
    return std::string(reinterpret_cast<const char*>(&bcd), sizeof bcd);
}

// The constant's bytes as the engine compares them with values of the field.
std::string ConstantBytes(const TFilterField& field, const std::string& text)
{
    switch (field.DataType) {
    case ftString:
    case ftFixedChar:
    case ftWideString: return text + '\0';
    case ftSmallint: return BytesOf(int16_t(StrToInt(text)));
    case ftWord: return BytesOf(uint16_t(StrToInt(text)));
    case ftInteger:
    case ftAutoInc: return BytesOf(int32_t(StrToInt(text)));
    case ftBoolean: return BytesOf(BooleanConstant(field, text));
    case ftFloat:
    case ftCurrency: return BytesOf(StrToFloat(text));
    case ftBCD: return BcdConstant(field, text);
    case ftDate: return BytesOf(DateTimeToNativeDate(StrToDate(text)));
    case ftTime: return BytesOf(DateTimeToNativeTime(StrToTime(text)));
    case ftDateTime: return BytesOf(DateTimeToNativeDateTime(StrToDateTime(text)));
    default: DatabaseErrorFmt(dbconsts::SExprBadField, {field.FieldName});
    }
}

// The constant's bytes from a value, converted to the field's type.
std::string ConstantBytes(const TFilterField& field, const Variant& value)
{
    switch (field.DataType) {
    case ftSmallint: return BytesOf(int16_t(value.ToInteger()));
    case ftWord: return BytesOf(uint16_t(value.ToInteger()));
    case ftInteger:
    case ftAutoInc: return BytesOf(int32_t(value.ToInteger()));
    case ftBoolean: return BytesOf(Word(value.ToBoolean() ? 0xFFFF : 0));
    case ftFloat:
    case ftCurrency: return BytesOf(value.ToDouble());
    case ftBCD: {
        TBcd bcd;
        if (!CurrToBCD(value.ToCurrency(), bcd, 32, field.Size))
            DatabaseErrorFmt(dbconsts::SInvalidFloatValue, {VarToStr(value), field.FieldName});
        return std::string(reinterpret_cast<const char*>(&bcd), sizeof bcd);
    }
    case ftDate: return BytesOf(DateTimeToNativeDate(value.ToDateTime()));
    case ftTime: return BytesOf(DateTimeToNativeTime(value.ToDateTime()));
    case ftDateTime: return BytesOf(DateTimeToNativeDateTime(value.ToDateTime()));
    default: return ConstantBytes(field, value.ToString());
    }
}

class TBlockWriter {
public:
    void Write(const TExprNode* root) { WriteNode(root); }

    std::vector<Byte> Block() const
    {
        const size_t literalStart = FilterExprHeaderSize + nodes_.size();
        const size_t total = literalStart + literals_.size();
        if (total > 0xFFFF) DatabaseError(dbconsts::SExprIncorrect);
        std::vector<Byte> block;
        block.reserve(total);
        for (Word w : {FilterExprVersion, Word(total), Word(count_), FilterExprHeaderSize, Word(literalStart)}) {
            block.push_back(Byte(w));
            block.push_back(Byte(w >> 8));
        }
        block.insert(block.end(), nodes_.begin(), nodes_.end());
        block.insert(block.end(), literals_.begin(), literals_.end());
        return block;
    }

private:
    size_t WriteNode(const TExprNode* node)
    {
        const size_t offset = nodes_.size();
        ++count_;
        PutInteger(node->Class);
        PutInteger(node->Operator);
        switch (node->Class) {
        case nodeUNARY: {
            const size_t operand = Reserve();
            Patch(operand, WriteNode(node->Left));
            break;
        }
        case nodeBINARY: WriteOperands(node); break;
        case nodeCOMPARE:
            PutWord(node->CaseInsensitive ? 1 : 0);
            PutWord(node->PartialLength);
            WriteOperands(node);
            break;
        case nodeFIELD:
            PutWord(Word(node->Field.FieldNo));
            PutWord(AddLiteral(node->Field.FieldName + '\0'));
            break;
        case nodeCONST:
            PutWord(node->ValueType);
            PutWord(Word(node->ValueBytes.size()));
            PutWord(AddLiteral(node->ValueBytes));
            break;
        case nodeCONTINUE: PutWord(node->Truth ? 1 : 0); break;
        default: break;
        }
        return offset;
    }

    void WriteOperands(const TExprNode* node)
    {
        const size_t left = Reserve();
        const size_t right = Reserve();
        Patch(left, WriteNode(node->Left));
        Patch(right, WriteNode(node->Right));
    }

    void PutInteger(Integer value)
    {
        PutWord(Word(value));
        PutWord(Word(uint32_t(value) >> 16));
    }
    void PutWord(size_t value)
    {
        if (value > 0xFFFF) DatabaseError(dbconsts::SExprIncorrect);
        nodes_.push_back(Byte(value));
        nodes_.push_back(Byte(value >> 8));
    }
    size_t Reserve()
    {
        PutWord(0);
        return nodes_.size() - 2;
    }
    void Patch(size_t at, size_t value)
    {
        if (value > 0xFFFF) DatabaseError(dbconsts::SExprIncorrect);
        nodes_[at] = Byte(value);
        nodes_[at + 1] = Byte(value >> 8);
    }
    size_t AddLiteral(const std::string& bytes)
    {
        const size_t offset = literals_.size();
        literals_.insert(literals_.end(), bytes.begin(), bytes.end());
        return offset;
    }

    std::vector<Byte> nodes_;
    std::vector<Byte> literals_;
    size_t count_ = 0;
};

}  // namespace

TFilterExpr::TFilterExpr(TFilterFieldLookup lookup, TFilterOptions options)
        : lookup_(std::move(lookup)), options_(options)
{
}

Word TFilterExpr::ValueTypeOf(TFieldType type)
{
    switch (type) {
    case ftString:
    case ftFixedChar:
    case ftWideString: return fldZSTRING;
    case ftSmallint: return fldINT16;
    case ftWord: return fldUINT16;
    case ftInteger:
    case ftAutoInc: return fldINT32;
    case ftBoolean: return fldBOOL;
    case ftFloat:
    case ftCurrency: return fldFLOAT;
    case ftBCD: return fldBCD;
    case ftDate: return fldDATE;
    case ftTime: return fldTIME;
    case ftDateTime: return fldTIMESTAMP;
    default: return 0;
    }
}

TExprNode* TFilterExpr::NewNode(TNodeClass nodeClass, TCANOperator op)
{
    nodes_.push_back(std::make_unique<TExprNode>());
    TExprNode* node = nodes_.back().get();
    node->Class = nodeClass;
    node->Operator = op;
    return node;
}

TExprNode* TFilterExpr::NewFieldNode(const std::string& name)
{
    std::optional<TFilterField> field = lookup_ ? lookup_(name) : std::nullopt;
    if (!field) DatabaseErrorFmt(dbconsts::SFieldNotFound, {name});
    TExprNode* node = NewNode(nodeFIELD, coFIELD);
    node->Field = *field;
    return node;
}

TExprNode* TFilterExpr::NewConstNode(const TFilterField& field, const std::string& text)
{
    const Word type = ValueTypeOf(field.DataType);
    if (type == 0) DatabaseErrorFmt(dbconsts::SExprBadField, {field.FieldName});
    TExprNode* node = NewNode(nodeCONST, coCONST);
    node->ValueType = type;
    node->ValueBytes = ConstantBytes(field, text);
    return node;
}

TExprNode* TFilterExpr::NewConstNode(const TFilterField& field, const Variant& value)
{
    const Word type = ValueTypeOf(field.DataType);
    if (type == 0) DatabaseErrorFmt(dbconsts::SExprBadField, {field.FieldName});
    TExprNode* node = NewNode(nodeCONST, coCONST);
    node->ValueType = type;
    node->ValueBytes = ConstantBytes(field, value);
    return node;
}

TExprNode* TFilterExpr::NewContinueNode(bool truth)
{
    TExprNode* node = NewNode(nodeCONTINUE, coNOTDEFINED);
    node->Truth = truth;
    return node;
}

TExprNode* TFilterExpr::NewUnaryNode(TCANOperator op, TExprNode* operand)
{
    TExprNode* node = NewNode(nodeUNARY, op);
    node->Left = operand;
    return node;
}

TExprNode* TFilterExpr::NewBinaryNode(TCANOperator op, TExprNode* left, TExprNode* right)
{
    TExprNode* node = NewNode(nodeBINARY, op);
    node->Left = left;
    node->Right = right;
    return node;
}

TExprNode* TFilterExpr::NewCompareNode(TCANOperator op, TExprNode* left, TExprNode* right, bool caseInsensitive,
                                       Word partialLength)
{
    if (!caseInsensitive && partialLength == 0) return NewBinaryNode(op, left, right);
    TExprNode* node = NewNode(nodeCOMPARE, op);
    node->Left = left;
    node->Right = right;
    node->CaseInsensitive = caseInsensitive;
    node->PartialLength = partialLength;
    return node;
}

TExprNode* TFilterExpr::NewFieldCompare(const std::string& fieldName, const std::string& valueText, bool partial)
{
    TExprNode* field = NewFieldNode(fieldName);
    if (IsStringType(field->Field.DataType)) return NewFieldCompareText(field, valueText, partial);
    return NewCompareNode(coEQ, field, NewConstNode(field->Field, valueText), false, 0);
}

TExprNode* TFilterExpr::NewFieldCompareText(TExprNode* field, const std::string& text, bool partial)
{
    const Word partialLength = partial ? Word(text.size()) : 0;
    return NewCompareNode(coEQ, field, NewConstNode(field->Field, text), options_.Contains(foCaseInsensitive),
                          partialLength);
}

TExprNode* TFilterExpr::NewFieldCompare(const std::string& fieldName, const Variant& value, bool partial)
{
    if (VarIsNull(value) || VarIsEmpty(value)) return NewUnaryNode(coISBLANK, NewFieldNode(fieldName));
    TExprNode* field = NewFieldNode(fieldName);
    const bool text = IsStringType(field->Field.DataType);
    if (text) return NewFieldCompareText(field, value.ToString(), partial);
    return NewCompareNode(coEQ, field, NewConstNode(field->Field, value), false, 0);
}

std::vector<Byte> TFilterExpr::GetFilterData(const TExprNode* root) const
{
    TBlockWriter writer;
    writer.Write(root);
    return writer.Block();
}
