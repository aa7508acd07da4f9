// The two stacks of the filter-text compiler: the symbols of the rules being parsed and the expression nodes
// made so far. Both are last in, first out; popping an empty stack gives an empty text or nullptr.
#pragma once

#include <string>

#include "rtl/Lists.h"
#include "rtl/Strings.h"

class TNode;

class TStackStr : public TObject {
    DUN_CLASS(TStackStr, TObject)
public:
    Integer Count() const { return items_.Count(); }
    void Push(const std::string& text) { items_.Add(text); }
    std::string Pop();

private:
    TStringList items_;
};

// Holds the nodes without owning them.
class TStackPtr : public TObject {
    DUN_CLASS(TStackPtr, TObject)
public:
    Integer Count() const { return items_.Count(); }
    void Push(TNode* node) { items_.Add(node); }
    TNode* Pop();

private:
    TList items_;
};
