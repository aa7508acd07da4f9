// The library's filter texts: a text such as  Amount > 100 AND (Name = Smith)  compiled into the engine's
// filter-expression block (see engine/BseCanExpr.h) and installed on a dataset's cursor, and the record-callback
// filters of the library's datasets.
//
// Grammar (AND and OR share one precedence and group from the left, as do + - and * /):
//   L = R { (AND | OR) R }      R = E [ (< | <> | <= | >= | = | >) E ]
//   E = T { (+ | -) T }         T = P { (* | /) P }         P = "(" L ")" | token
// The left side of every operator must name a field of the table; the right side is a constant of that field's
// type. Names may hold blanks; a name right of a relational operator ends before a blank-delimited AND or OR.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/core/BseTable.h"
#include "rtl/Objects.h"
#include "rtl/Types.h"

class TbqBDEDataset;
class TFilterListItem;

// Node kinds.
constexpr Byte nkRelational = 0;
constexpr Byte nkLogical = 1;
constexpr Byte nkArithmetic = 2;
constexpr Byte nkOperand = 3;

// One node of the expression tree; it owns its subtree.
class TNode : public TObject {
    DUN_CLASS(TNode, TObject)
public:
    TNode(Byte kind, const std::string& text) : Kind(kind), Text(text) {}

    Byte Kind;
    // Operands: 0 a field reference, 1 to 10 a constant of the type of the field left of the operator.
    Byte OperandType = 0;
    // Decimals of a BCD constant.
    Word Decimals = 0;
    std::string Text;
    // Byte offset in the block's node area, set while writing.
    Cardinal Offset = 0;
    std::unique_ptr<TNode> Left;
    std::unique_ptr<TNode> Right;
};

// The block for the fields of table; empty when the text does not parse (an unknown field on the left is shown
// in a warning first) or the block would exceed 64 KB. A constant that does not convert raises EConvertError.
std::vector<Byte> vxCompileFilter(const std::string& text, TbqBDEDataset* table);

// Installs the text as the table's filter (empty text: removes it). A closed table only clears the handle unless
// applyWhenClosed. False when the text does not compile, leaving the previous filter and its handle in place, or
// when the engine refuses it, clearing the handle.
bool vxApplyTableFilter(const std::string& text, TbqBDEDataset* table, TFilterListItem*& filter,
                        bool applyWhenClosed);
// Deactivates and drops the filter on the dataset's cursor; the handle is cleared.
void vxRemoveFilter(TbqBDEDataset* dataSet, TFilterListItem*& filter);
// Replaces the dataset's callback filter (none: only removes it); the callback gets the dataset as client data.
bool vxInstallCallbackFilter(TFilterCallback callback, TbqBDEDataset* dataSet, TFilterListItem*& filter);
