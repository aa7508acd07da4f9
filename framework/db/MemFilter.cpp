#include "db/MemFilter.h"

#include <cstring>

#include "db/Bcd.h"
#include "db/DataSet.h"
#include "db/NativeData.h"
#include "rtl/SysUtils.h"

namespace {

// A value taking part in a comparison: text or number.
struct TOperand {
    bool IsText = false;
    std::string Text;
    double Number = 0;
};

template <typename T>
T Read(const std::string& bytes)
{
    T value{};
    std::memcpy(&value, bytes.data(), std::min(sizeof value, bytes.size()));
    return value;
}

TOperand ConstantOperand(const TExprNode* node)
{
    TOperand operand;
    const std::string& bytes = node->ValueBytes;
    switch (node->ValueType) {
    case fldZSTRING:
        operand.IsText = true;
        operand.Text = bytes.substr(0, bytes.find('\0'));
        break;
    case fldDATE: operand.Number = NativeDateToDateTime(Read<int32_t>(bytes)); break;
    case fldTIME: operand.Number = NativeTimeToDateTime(Read<int32_t>(bytes)); break;
    case fldTIMESTAMP: operand.Number = NativeDateTimeToDateTime(Read<double>(bytes)); break;
    case fldBOOL: operand.Number = Read<uint16_t>(bytes) ? 1 : 0; break;
    case fldINT16: operand.Number = Read<int16_t>(bytes); break;
    case fldUINT16: operand.Number = Read<uint16_t>(bytes); break;
    case fldINT32: operand.Number = Read<int32_t>(bytes); break;
    case fldFLOAT: operand.Number = Read<double>(bytes); break;
    case fldBCD: {
        Currency value;
        BCDToCurr(Read<TBcd>(bytes), value);
        operand.Number = value.ToDouble();
        break;
    }
    default: break;
    }
    return operand;
}

TOperand FieldOperand(TDataSet* dataSet, const TExprNode* node)
{
    TField* field = dataSet->FieldByName(node->Field.FieldName);
    TOperand operand;
    operand.IsText = TFilterExpr::ValueTypeOf(field->DataType()) == fldZSTRING;
    if (field->IsNull()) return operand;
    if (operand.IsText)
        operand.Text = field->AsString();
    else if (field->DataType() == ftBoolean)
        operand.Number = field->AsBoolean() ? 1 : 0;
    else if (field->DataType() == ftDate || field->DataType() == ftTime || field->DataType() == ftDateTime)
        operand.Number = field->AsDateTime();
    else
        operand.Number = field->AsFloat();
    return operand;
}

class TEvaluator {
public:
    explicit TEvaluator(TDataSet* dataSet) : dataSet_(dataSet) {}

    bool Truth(const TExprNode* node) const
    {
        switch (node->Class) {
        case nodeUNARY: return Unary(node);
        case nodeBINARY:
        case nodeCOMPARE: return Binary(node);
        case nodeFIELD: return FieldOperand(dataSet_, node).Number != 0;
        case nodeCONTINUE: return node->Truth;
        default: return false;
        }
    }

private:
    bool Unary(const TExprNode* node) const
    {
        switch (node->Operator) {
        case coNOT: return !Truth(node->Left);
        case coISBLANK: return dataSet_->FieldByName(node->Left->Field.FieldName)->IsNull();
        case coNOTBLANK: return !dataSet_->FieldByName(node->Left->Field.FieldName)->IsNull();
        default: return false;
        }
    }

    bool Binary(const TExprNode* node) const
    {
        if (node->Operator == coAND) return Truth(node->Left) && Truth(node->Right);
        if (node->Operator == coOR) return Truth(node->Left) || Truth(node->Right);
        const int c = Compare(Operand(node->Left), Operand(node->Right), node);
        switch (node->Operator) {
        case coEQ: return c == 0;
        case coNE: return c != 0;
        case coGT: return c > 0;
        case coLT: return c < 0;
        case coGE: return c >= 0;
        case coLE: return c <= 0;
        default: return false;
        }
    }

    TOperand Operand(const TExprNode* node) const
    {
        return node->Class == nodeCONST ? ConstantOperand(node) : FieldOperand(dataSet_, node);
    }

    static int Compare(TOperand a, TOperand b, const TExprNode* node)
    {
        if (!a.IsText) return a.Number < b.Number ? -1 : a.Number > b.Number ? 1 : 0;
        if (node->PartialLength > 0) {
            a.Text = a.Text.substr(0, node->PartialLength);
            b.Text = b.Text.substr(0, node->PartialLength);
        }
        const int c = node->CaseInsensitive ? AnsiCompareText(a.Text, b.Text) : a.Text.compare(b.Text);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }

    TDataSet* dataSet_;
};

}  // namespace

TMemFilter::TMemFilter(TDataSet* dataSet, const std::string& text, TFilterOptions options)
        : dataSet_(dataSet), parser_(dataSet, text, options)
{
}

bool TMemFilter::Accepts() const
{
    return TEvaluator(dataSet_).Truth(parser_.Root());
}
