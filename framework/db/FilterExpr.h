// The engine's filter-expression block and the tree that is written into it.
//
// Block layout (all integers little-endian): a 10-byte header (iVer, iTotalSize, iNodes, iNodeStart, iLiteralStart,
// each 16-bit), the node area, then the literal pool. A node starts with its class and operator (32-bit each),
// followed by 16-bit fields by class. Node references are offsets from the start of the node area (the root is at
// offset 0: nodes are written root first, then the left and the right subtree); literal references are offsets from
// iLiteralStart. Field names and string constants are NUL-terminated.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/DBTypes.h"
#include "rtl/Types.h"
#include "rtl/Variants.h"

enum TNodeClass : Integer {
    nodeNULL = 0, nodeUNARY = 1, nodeBINARY = 2, nodeCOMPARE = 3, nodeFIELD = 4, nodeCONST = 5, nodeTUPLE = 6,
    nodeCONTINUE = 7
};

enum TCANOperator : Integer {
    coNOTDEFINED = 0, coISBLANK = 1, coNOTBLANK = 2, coEQ = 3, coNE = 4, coGT = 5, coLT = 6, coGE = 7, coLE = 8,
    coNOT = 9, coAND = 10, coOR = 11, coFIELD = 13, coCONST = 14, coADD = 16, coSUB = 17, coMUL = 18, coDIV = 19
};

// The engine's logical value types of constants.
enum TFilterValueType : Word {
    fldZSTRING = 1, fldDATE = 2, fldBOOL = 4, fldINT16 = 5, fldINT32 = 6, fldFLOAT = 7, fldBCD = 8, fldTIME = 10,
    fldTIMESTAMP = 11, fldUINT16 = 12
};

inline constexpr Word FilterExprVersion = 1;
inline constexpr Word FilterExprHeaderSize = 10;

// What the builder needs to know of a field of the filtered dataset.
struct TFilterField {
    std::string FieldName;
    Integer FieldNo = 0;
    TFieldType DataType = ftUnknown;
    Integer Size = 0;  // decimals of a BCD field
};

// Finds a field of the filtered dataset by name (names compared without regard to case).
using TFilterFieldLookup = std::function<std::optional<TFilterField>(const std::string& name)>;

// One node of a filter tree; the TFilterExpr that made it owns it.
struct TExprNode {
    TNodeClass Class = nodeNULL;
    TCANOperator Operator = coNOTDEFINED;
    TExprNode* Left = nullptr;
    TExprNode* Right = nullptr;
    // Compare nodes.
    bool CaseInsensitive = false;
    Word PartialLength = 0;
    // Field nodes.
    TFilterField Field;
    // Constant nodes: the value type and its bytes as written into the literal pool.
    Word ValueType = 0;
    std::string ValueBytes;
    // Continue nodes: the truth value they stand for.
    bool Truth = false;
};

// Builds a filter tree and writes it as a block.
class TFilterExpr {
public:
    TFilterExpr(TFilterFieldLookup lookup, TFilterOptions options);

    TFilterOptions Options() const { return options_; }

    bool HasField(const std::string& name) const { return lookup_ && lookup_(name).has_value(); }
    // A field node for the named field; raises "Field '%s' not found" when the dataset has none.
    TExprNode* NewFieldNode(const std::string& name);
    // A constant node holding text converted to the type the field's values have.
    TExprNode* NewConstNode(const TFilterField& field, const std::string& text);
    // The same from a value (locate and lookup criteria).
    TExprNode* NewConstNode(const TFilterField& field, const Variant& value);
    // A node that is always true or always false.
    TExprNode* NewContinueNode(bool truth);
    TExprNode* NewUnaryNode(TCANOperator op, TExprNode* operand);
    TExprNode* NewBinaryNode(TCANOperator op, TExprNode* left, TExprNode* right);
    TExprNode* NewCompareNode(TCANOperator op, TExprNode* left, TExprNode* right, bool caseInsensitive,
                              Word partialLength);
    // field = value (a compare node when the options ask for case-insensitivity or partial is set).
    TExprNode* NewFieldCompare(const std::string& fieldName, const std::string& valueText, bool partial);
    // field = value for a value; a Null value tests the field for blank.
    TExprNode* NewFieldCompare(const std::string& fieldName, const Variant& value, bool partial);

    // The block of the tree below root.
    std::vector<Byte> GetFilterData(const TExprNode* root) const;

    // The value type written for constants compared with a field of this type; 0 when such a field cannot be used.
    static Word ValueTypeOf(TFieldType type);

private:
    TExprNode* NewNode(TNodeClass nodeClass, TCANOperator op);
    TExprNode* NewFieldCompareText(TExprNode* field, const std::string& text, bool partial);

    TFilterFieldLookup lookup_;
    TFilterOptions options_;
    std::vector<std::unique_ptr<TExprNode>> nodes_;
};
