// The filter-expression block: a 10-byte header, the node area and the literal pool, all integers little-endian.
// Node references are byte offsets from the start of the node area (the root is at offset 0); literal references
// are byte offsets from iLiteralStart. The dataset framework's filter builder writes this layout; the engine's
// cursors evaluate it.
#pragma once

#include "rtl/Types.h"

enum class TCanNodeClass : Cardinal {
    Null = 0, Unary = 1, Binary = 2, Compare = 3, Field = 4, Constant = 5, Tuple = 6, Continue = 7
};

enum class TCanOperator : Cardinal {
    NotDefined = 0, IsBlank = 1, NotBlank = 2, Equal = 3, NotEqual = 4, Greater = 5, Less = 6, GreaterOrEqual = 7,
    LessOrEqual = 8, Not = 9, And = 10, Or = 11, Field = 13, Constant = 14, Add = 16, Subtract = 17, Multiply = 18,
    Divide = 19, Truth = 29
};

// Value type of a name that matches no field: a length-prefixed text.
constexpr Word fldNAMETEXT = 15;

#pragma pack(push, 1)

struct CANHdr {
    Word iVer;
    Word iTotalSize;
    Word iNodes;
    Word iNodeStart;
    Word iLiteralStart;
};
static_assert(sizeof(CANHdr) == 10);

// The start of every node.
struct CANNode {
    TCanNodeClass nodeClass;
    TCanOperator canOp;
};
static_assert(sizeof(CANNode) == 8);

struct CANUnary : CANNode {
    Word iOperand1;
};
static_assert(sizeof(CANUnary) == 10);

struct CANBinary : CANNode {
    Word iOperand1;
    Word iOperand2;
};
static_assert(sizeof(CANBinary) == 12);

struct CANCompare : CANNode {
    Word bCaseInsensitive;
    Word iPartialLen;
    Word iOperand1;
    Word iOperand2;
};
static_assert(sizeof(CANCompare) == 16);

struct CANField : CANNode {
    Word iFieldNum;
    Word iNameOffset;
};
static_assert(sizeof(CANField) == 12);

struct CANConst : CANNode {
    Word iType;
    Word iSize;
    Word iOffset;
};
static_assert(sizeof(CANConst) == 14);

struct CANContinue : CANNode {
    Word iContOperand;
};
static_assert(sizeof(CANContinue) == 10);

#pragma pack(pop)

constexpr Word CANExprVersion = 1;
constexpr Word CANHdrSize = sizeof(CANHdr);
