// Filters of a cursor: a filter-expression block (see BseCanExpr.h), a record callback, or both.
#pragma once

#include <string>
#include <vector>

#include "engine/core/BseCanExpr.h"
#include "engine/core/BseTable.h"

#pragma pack(push, 1)
// What GetFilterInfo reports of one filter. The handle, client data and pointers are 4 bytes in the 32-bit build;
// the record lives only in memory, so in the 64-bit build they widen to hold a pointer.
struct FILTERInfo {
    Word iFilterId;       // position in the cursor's filter list
    uintptr_t hFilter;
    uintptr_t iClientData;
    Word iPriority;
    Word bCanAbort;       // 0xFFFF true
    uintptr_t pfFilter;   // the callback
    uintptr_t pCanExpr;   // the filter's own copy of the expression
    Word bActive;         // 0xFFFF true
};
#pragma pack(pop)
static_assert(sizeof(FILTERInfo) == 8 + 4 * sizeof(void*));

// Bytes a field value or constant may take in evaluation.
constexpr Word FilterValueDataSize = 260;
// Deepest expression tree the evaluator accepts.
constexpr Integer FilterMaxDepth = 256;

// The evaluator's working value.
struct TFilterValue {
    Byte Data[FilterValueDataSize];
    Word Type;
    Word Size;
};

class TFilterListItem : public TObject {
    DUN_CLASS(TFilterListItem, TObject)
public:
    // Keeps its own copy of expression (nullptr or a block of size 0: no expression). Raises
    // DBIERR_INVALIDPARAM for a block whose sizes or offsets do not fit, DBIERR_NOTSUPPORTED for one it cannot
    // evaluate (arithmetic, unknown nodes or operators, field values longer than FilterValueDataSize).
    TFilterListItem(TBaseTable* table, uintptr_t clientData, Word priority, bool canAbort, const Byte* expression,
                    TFilterCallback callback);

    TBaseTable* Table() const { return table_; }
    uintptr_t ClientData() const { return clientData_; }
    Word Priority() const { return priority_; }
    bool CanAbort() const { return canAbort_; }
    const Byte* Expression() const { return expression_.empty() ? nullptr : expression_.data(); }
    Word ExpressionSize() const { return Word(expression_.size()); }
    TFilterCallback Callback() const { return callback_; }
    bool Active() const { return active_; }
    void SetActive(bool active) { active_ = active; }

    // True when the (active) filter accepts the record. An exception of the callback passes on; any failure
    // while the expression is evaluated rejects the record.
    bool Evaluate(Byte* record);

    // -1, 0 or 1: values of one type by the cursor's comparison, of different types by their texts.
    Integer CompareFilterValues(const TFilterValue& a, const TFilterValue& b, Word partialLength,
                                bool caseInsensitive) const;

private:
    template <class T>
    T Node(Word offset) const;
    const Byte* Literal(Word offset, size_t size) const;
    std::string LiteralText(Word offset) const;

    void CheckExpression() const;
    void CheckNode(Word offset, Integer depth) const;
    void CheckFieldNode(Word offset) const;

    bool EvaluateNode(Word offset, TFilterValue& value, Integer depth);
    bool EvaluateUnary(Word offset, TFilterValue& value, Integer depth);
    bool EvaluateBinary(Word offset, TFilterValue& value, Integer depth);
    bool EvaluateCompare(TCanOperator op, Word operand1, Word operand2, Word partialLength, bool caseInsensitive,
                         TFilterValue& value, Integer depth);
    bool EvaluateField(Word offset, TFilterValue& value);
    bool EvaluateConstant(Word offset, TFilterValue& value);

    TBaseTable* table_;
    uintptr_t clientData_;
    Word priority_;
    bool canAbort_;
    std::vector<Byte> expression_;
    TFilterCallback callback_;
    bool active_ = false;
    Byte* currentRecord_ = nullptr;
};

// The text a value compares as against a value of another type, cut to maxLength.
std::string FilterValueToText(const TFilterValue& value, size_t maxLength);

void FillFilterInfo(const TFilterListItem* item, Word id, FILTERInfo& info);
