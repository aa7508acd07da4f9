// Writes filter-expression blocks for tests: a tree of nodes, written root first as the dataset framework does.
#pragma once

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/BseCanExpr.h"
#include "engine/core/BseRecords.h"

struct TCanTree {
    TCanNodeClass Class = TCanNodeClass::Null;
    TCanOperator Op = TCanOperator::NotDefined;
    std::vector<TCanTree> Operands;
    std::string Name;    // field nodes
    Word Type = 0;       // constant nodes
    std::string Bytes;   // constant nodes
    Word CaseInsensitive = 0;
    Word Partial = 0;
    Word Truth = 0;      // continue nodes
};

inline TCanTree CanNode(TCanNodeClass nodeClass, TCanOperator op, std::vector<TCanTree> operands = {})
{
    TCanTree node;
    node.Class = nodeClass;
    node.Op = op;
    node.Operands = std::move(operands);
    return node;
}

inline TCanTree CanField(const std::string& name)
{
    TCanTree node = CanNode(TCanNodeClass::Field, TCanOperator::Field);
    node.Name = name;
    return node;
}

template <typename T>
TCanTree CanConst(Word type, T value)
{
    TCanTree node = CanNode(TCanNodeClass::Constant, TCanOperator::Constant);
    node.Type = type;
    node.Bytes.assign(reinterpret_cast<const char*>(&value), sizeof value);
    return node;
}

inline TCanTree CanText(const std::string& text)
{
    TCanTree node = CanNode(TCanNodeClass::Constant, TCanOperator::Constant);
    node.Type = fldZSTRING;
    node.Bytes = text + '\0';
    return node;
}

inline TCanTree CanBinary(TCanOperator op, TCanTree a, TCanTree b)
{
    return CanNode(TCanNodeClass::Binary, op, {std::move(a), std::move(b)});
}

inline TCanTree CanCompare(TCanOperator op, TCanTree a, TCanTree b, bool caseInsensitive, Word partial)
{
    TCanTree node = CanNode(TCanNodeClass::Compare, op, {std::move(a), std::move(b)});
    node.CaseInsensitive = caseInsensitive ? 1 : 0;
    node.Partial = partial;
    return node;
}

inline TCanTree CanUnary(TCanOperator op, TCanTree a)
{
    return CanNode(TCanNodeClass::Unary, op, {std::move(a)});
}

inline TCanTree CanContinue(bool truth)
{
    TCanTree node = CanNode(TCanNodeClass::Continue, TCanOperator::NotDefined);
    node.Truth = truth ? 1 : 0;
    return node;
}

class TCanWriter {
public:
    std::vector<Byte> Block(const TCanTree& root)
    {
        Write(root);
        const Word literalStart = Word(CANHdrSize + nodes_.size());
        const Word total = Word(literalStart + literals_.size());
        std::vector<Byte> block;
        for (Word w : {CANExprVersion, total, count_, CANHdrSize, literalStart}) {
            block.push_back(Byte(w));
            block.push_back(Byte(w >> 8));
        }
        block.insert(block.end(), nodes_.begin(), nodes_.end());
        block.insert(block.end(), literals_.begin(), literals_.end());
        return block;
    }

private:
    Word Write(const TCanTree& node)
    {
        const Word offset = Word(nodes_.size());
        ++count_;
        Put32(Cardinal(node.Class));
        Put32(Cardinal(node.Op));
        switch (node.Class) {
        case TCanNodeClass::Unary: Operands(node); break;
        case TCanNodeClass::Binary: Operands(node); break;
        case TCanNodeClass::Compare:
            Put16(node.CaseInsensitive);
            Put16(node.Partial);
            Operands(node);
            break;
        case TCanNodeClass::Field:
            Put16(0);
            Put16(Literal(node.Name + '\0'));
            break;
        case TCanNodeClass::Constant:
            Put16(node.Type);
            Put16(Word(node.Bytes.size()));
            Put16(Literal(node.Bytes));
            break;
        case TCanNodeClass::Continue: Put16(node.Truth); break;
        default: break;
        }
        return offset;
    }

    void Operands(const TCanTree& node)
    {
        std::vector<size_t> slots;
        for (size_t i = 0; i < node.Operands.size(); ++i) {
            slots.push_back(nodes_.size());
            Put16(0);
        }
        for (size_t i = 0; i < node.Operands.size(); ++i) {
            const Word offset = Write(node.Operands[i]);
            std::memcpy(&nodes_[slots[i]], &offset, sizeof offset);
        }
    }

    void Put16(Word value)
    {
        nodes_.push_back(Byte(value));
        nodes_.push_back(Byte(value >> 8));
    }
    void Put32(Cardinal value)
    {
        Put16(Word(value));
        Put16(Word(value >> 16));
    }
    Word Literal(const std::string& bytes)
    {
        const Word offset = Word(literals_.size());
        literals_.insert(literals_.end(), bytes.begin(), bytes.end());
        return offset;
    }

    std::vector<Byte> nodes_;
    std::vector<Byte> literals_;
    Word count_ = 0;
};

inline std::vector<Byte> CanBlock(const TCanTree& root)
{
    return TCanWriter().Block(root);
}
