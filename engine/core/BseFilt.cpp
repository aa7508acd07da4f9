#include "engine/core/BseFilt.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "engine/core/BseError.h"
#include "rtl/DateFormat.h"
#include "rtl/DateTime.h"
#include "rtl/Format.h"

namespace {

constexpr size_t FilterTextMax = 255;

// Raised inside evaluation for what the block or the value area cannot hold; rejects the record.
class EFilterBounds : public std::exception {};

CANHdr Header(const std::vector<Byte>& block)
{
    CANHdr header;
    std::memcpy(&header, block.data(), sizeof header);
    return header;
}

Word First16(const TFilterValue& value)
{
    Word word;
    std::memcpy(&word, value.Data, sizeof word);
    return word;
}

bool SetTruth(TFilterValue& value, bool truth)
{
    const Word word = truth ? 1 : 0;
    std::memcpy(value.Data, &word, sizeof word);
    value.Type = fldBOOL;
    value.Size = sizeof word;
    return truth;
}

void Clear(TFilterValue& value)
{
    std::memset(&value, 0, sizeof value);
}

bool IsBlankValue(const TFilterValue& value)
{
    const size_t size = std::min<size_t>(value.Size, FilterValueDataSize);
    return std::all_of(value.Data, value.Data + size, [](Byte b) { return b == 0; });
}

bool IsComparison(TCanOperator op)
{
    return op >= TCanOperator::Equal && op <= TCanOperator::LessOrEqual;
}

bool ComparisonHolds(TCanOperator op, Integer c)
{
    switch (op) {
    case TCanOperator::Equal: return c == 0;
    case TCanOperator::NotEqual: return c != 0;
    case TCanOperator::Greater: return c > 0;
    case TCanOperator::Less: return c < 0;
    case TCanOperator::GreaterOrEqual: return c >= 0;
    case TCanOperator::LessOrEqual: return c <= 0;
    default: return false;
    }
}

template <typename T>
T DataAs(const TFilterValue& value)
{
    T result;
    std::memcpy(&result, value.Data, sizeof result);
    return result;
}

[[noreturn]] void RaiseUnsupportedFilter()
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

}  // namespace

TFilterListItem::TFilterListItem(TBaseTable* table, uintptr_t clientData, Word priority, bool canAbort,
                                 const Byte* expression, TFilterCallback callback)
        : table_(table), clientData_(clientData), priority_(priority), canAbort_(canAbort), callback_(callback)
{
    if (!expression) return;
    Word totalSize;
    std::memcpy(&totalSize, expression + offsetof(CANHdr, iTotalSize), sizeof totalSize);
    if (totalSize == 0) return;
    CheckCondition(totalSize >= CANHdrSize, DBIERR_INVALIDPARAM);
    expression_.assign(expression, expression + totalSize);
    CheckExpression();
}

// ---- block access, every offset checked against the block

template <class T>
T TFilterListItem::Node(Word offset) const
{
    const size_t at = size_t(Header(expression_).iNodeStart) + offset;
    if (at + sizeof(T) > expression_.size()) throw EFilterBounds();
    T node;
    std::memcpy(&node, expression_.data() + at, sizeof node);
    return node;
}

const Byte* TFilterListItem::Literal(Word offset, size_t size) const
{
    const size_t at = size_t(Header(expression_).iLiteralStart) + offset;
    if (at + size > expression_.size()) throw EFilterBounds();
    return expression_.data() + at;
}

std::string TFilterListItem::LiteralText(Word offset) const
{
    const Byte* start = Literal(offset, 0);
    const Byte* end = expression_.data() + expression_.size();
    const Byte* terminator = std::find(start, end, Byte(0));
    if (terminator == end) throw EFilterBounds();
    return std::string(reinterpret_cast<const char*>(start), terminator - start);
}

// ---- checks when the filter is made

void TFilterListItem::CheckExpression() const
{
    const CANHdr header = Header(expression_);
    CheckCondition(header.iNodeStart >= CANHdrSize && header.iNodeStart < expression_.size() &&
                           header.iLiteralStart <= expression_.size(),
                   DBIERR_INVALIDPARAM);
    try {
        CheckNode(0, 0);
    } catch (const EFilterBounds&) {
        RaiseEngineError(DBIERR_INVALIDPARAM);
    }
}

void TFilterListItem::CheckNode(Word offset, Integer depth) const
{
    CheckCondition(depth < FilterMaxDepth, DBIERR_NOTSUPPORTED);
    const CANNode node = Node<CANNode>(offset);
    // Children follow their parent: a block cannot refer back into itself.
    auto child = [&](Word operand) {
        CheckCondition(operand > offset, DBIERR_INVALIDPARAM);
        CheckNode(operand, depth + 1);
    };
    switch (node.nodeClass) {
    case TCanNodeClass::Unary: {
        const TCanOperator op = node.canOp;
        if (op != TCanOperator::IsBlank && op != TCanOperator::NotBlank && op != TCanOperator::Not)
            RaiseUnsupportedFilter();
        child(Node<CANUnary>(offset).iOperand1);
        break;
    }
    case TCanNodeClass::Binary: {
        const TCanOperator op = node.canOp;
        if (!IsComparison(op) && op != TCanOperator::And && op != TCanOperator::Or) RaiseUnsupportedFilter();
        const CANBinary binary = Node<CANBinary>(offset);
        child(binary.iOperand1);
        child(binary.iOperand2);
        break;
    }
    case TCanNodeClass::Compare: {
        if (!IsComparison(node.canOp)) RaiseUnsupportedFilter();
        const CANCompare compare = Node<CANCompare>(offset);
        child(compare.iOperand1);
        child(compare.iOperand2);
        break;
    }
    case TCanNodeClass::Field: CheckFieldNode(offset); break;
    case TCanNodeClass::Constant: {
        const CANConst constant = Node<CANConst>(offset);
        CheckCondition(constant.iSize <= FilterValueDataSize, DBIERR_NOTSUPPORTED);
        Literal(constant.iOffset, constant.iSize);
        break;
    }
    case TCanNodeClass::Continue: Node<CANContinue>(offset); break;
    default: RaiseUnsupportedFilter();
    }
}

void TFilterListItem::CheckFieldNode(Word offset) const
{
    const std::string name = LiteralText(Node<CANField>(offset).iNameOffset);
    if (!table_ || name.empty()) return;
    const Word number = table_->FieldCache()->FieldNumberByName(name);
    if (number == 0) return;
    CheckCondition(table_->FieldCache()->Field(number)->FieldLength() < FilterValueDataSize, DBIERR_NOTSUPPORTED);
}

// ---- evaluation

bool TFilterListItem::Evaluate(Byte* record)
{
    if (!active_) return false;
    currentRecord_ = record;
    if (callback_ && callback_(clientData_, record, 0) == 0) return false;
    if (expression_.empty()) return true;
    try {
        TFilterValue value;
        return EvaluateNode(0, value, 0);
    } catch (...) {
        return false;
    }
}

bool TFilterListItem::EvaluateNode(Word offset, TFilterValue& value, Integer depth)
{
    if (depth >= FilterMaxDepth) throw EFilterBounds();
    Clear(value);
    switch (Node<CANNode>(offset).nodeClass) {
    case TCanNodeClass::Unary: return EvaluateUnary(offset, value, depth);
    case TCanNodeClass::Binary: return EvaluateBinary(offset, value, depth);
    case TCanNodeClass::Compare: {
        const CANCompare node = Node<CANCompare>(offset);
        return EvaluateCompare(node.canOp, node.iOperand1, node.iOperand2, node.iPartialLen,
                               node.bCaseInsensitive != 0, value, depth);
    }
    case TCanNodeClass::Field: return EvaluateField(offset, value);
    case TCanNodeClass::Constant: return EvaluateConstant(offset, value);
    case TCanNodeClass::Continue: return SetTruth(value, Node<CANContinue>(offset).iContOperand != 0);
    default: return false;
    }
}

bool TFilterListItem::EvaluateUnary(Word offset, TFilterValue& value, Integer depth)
{
    const CANUnary node = Node<CANUnary>(offset);
    TFilterValue operand;
    switch (node.canOp) {
    case TCanOperator::Not:
        EvaluateNode(node.iOperand1, operand, depth + 1);
        return SetTruth(value, First16(operand) == 0);
    case TCanOperator::IsBlank:
    case TCanOperator::NotBlank: {
        if (!EvaluateNode(node.iOperand1, operand, depth + 1)) return false;
        const bool blank = IsBlankValue(operand);
        return SetTruth(value, node.canOp == TCanOperator::IsBlank ? blank : !blank);
    }
    default: return false;
    }
}

bool TFilterListItem::EvaluateBinary(Word offset, TFilterValue& value, Integer depth)
{
    const CANBinary node = Node<CANBinary>(offset);
    if (node.canOp != TCanOperator::And && node.canOp != TCanOperator::Or)
        return EvaluateCompare(node.canOp, node.iOperand1, node.iOperand2, 0, false, value, depth);
    TFilterValue operand;
    EvaluateNode(node.iOperand1, operand, depth + 1);
    const bool first = First16(operand) != 0;
    if (node.canOp == TCanOperator::And && !first) return SetTruth(value, false);
    if (node.canOp == TCanOperator::Or && first) return SetTruth(value, true);
    EvaluateNode(node.iOperand2, operand, depth + 1);
    return SetTruth(value, First16(operand) != 0);
}

bool TFilterListItem::EvaluateCompare(TCanOperator op, Word operand1, Word operand2, Word partialLength,
                                      bool caseInsensitive, TFilterValue& value, Integer depth)
{
    TFilterValue a;
    TFilterValue b;
    const bool first = EvaluateNode(operand1, a, depth + 1);
    const bool second = EvaluateNode(operand2, b, depth + 1);
    if (!first || !second || !IsComparison(op)) return SetTruth(value, false);
    return SetTruth(value, ComparisonHolds(op, CompareFilterValues(a, b, partialLength, caseInsensitive)));
}

bool TFilterListItem::EvaluateField(Word offset, TFilterValue& value)
{
    const std::string name = LiteralText(Node<CANField>(offset).iNameOffset);
    if (name.empty()) return false;
    const Word number = table_->FieldCache()->FieldNumberByName(name);
    if (number == 0) {
        std::string text;
        for (char c : name) {
            if (c != '"') text += c;
        }
        text.resize(std::min(text.size(), FilterTextMax));
        value.Type = fldNAMETEXT;
        value.Size = Word(text.size());
        value.Data[0] = Byte(text.size());
        std::memcpy(value.Data + 1, text.data(), text.size());
        return true;
    }
    TFieldCacheItem* item = table_->FieldCache()->Field(number);
    if (item->FieldLength() >= FilterValueDataSize) throw EFilterBounds();
    value.Type = item->FieldType();
    value.Size = item->FieldLength();
    bool blank = false;
    try {
        table_->ReadField(item, currentRecord_, blank, value.Data);
    } catch (const EBoreaEngineError&) {
        Clear(value);
        return SetTruth(value, false);
    }
    if (blank) std::memset(value.Data, 0, sizeof value.Data);
    return true;
}

bool TFilterListItem::EvaluateConstant(Word offset, TFilterValue& value)
{
    const CANConst node = Node<CANConst>(offset);
    if (node.iSize > FilterValueDataSize) throw EFilterBounds();
    std::memcpy(value.Data, Literal(node.iOffset, node.iSize), node.iSize);
    value.Type = node.iType;
    value.Size = node.iSize;
    return true;
}

Integer TFilterListItem::CompareFilterValues(const TFilterValue& a, const TFilterValue& b, Word partialLength,
                                             bool caseInsensitive) const
{
    if (a.Type == b.Type) {
        const Word length = std::min(partialLength != 0 ? partialLength : a.Size, FilterValueDataSize);
        return table_->CompareValues(a.Type, nullptr, a.Data, b.Data, caseInsensitive, length);
    }
    const std::string x = FilterValueToText(a, FilterTextMax);
    const std::string y = FilterValueToText(b, FilterTextMax);
    const Integer c = x.compare(y);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

std::string FilterValueToText(const TFilterValue& value, size_t maxLength)
{
    const char* data = reinterpret_cast<const char*>(value.Data);
    std::string text;
    switch (value.Type) {
    case fldZSTRING: text.assign(data, strnlen(data, FilterValueDataSize)); break;
    case fldDATE: text = DateToStr(TDateTime(DataAs<Integer>(value) - DateDelta)); break;
    case fldBOOL: text = First16(value) != 0 ? "1" : "0"; break;
    case fldINT16: text = Format("%5.5d", {DataAs<SmallInt>(value)}); break;
    case fldINT32: text = Format("%10.10d", {DataAs<Integer>(value)}); break;
    case fldFLOAT: text = Format("%f", {DataAs<double>(value)}); break;
    case fldBYTES: text.assign(data, std::min<size_t>(value.Size, FilterValueDataSize)); break;
    case fldTIME: text = TimeToStr(TDateTime(DataAs<Integer>(value)) / MSecsPerDay); break;
    case fldNAMETEXT: text.assign(data + 1, std::min<size_t>(value.Data[0], FilterValueDataSize - 1)); break;
    default: break;
    }
    if (text.size() > maxLength) text.resize(maxLength);
    return text;
}

void FillFilterInfo(const TFilterListItem* item, Word id, FILTERInfo& info)
{
    std::memset(&info, 0, sizeof info);
    info.iFilterId = id;
    info.hFilter = reinterpret_cast<uintptr_t>(item);
    info.iClientData = item->ClientData();
    info.iPriority = item->Priority();
    info.bCanAbort = item->CanAbort() ? 0xFFFF : 0;
    info.pfFilter = reinterpret_cast<uintptr_t>(item->Callback());
    info.pCanExpr = reinterpret_cast<uintptr_t>(item->Expression());
    info.bActive = item->Active() ? 0xFFFF : 0;
}
