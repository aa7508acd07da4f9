#include "vxdata/vxStacks.h"

std::string TStackStr::Pop()
{
    if (items_.Count() == 0) return std::string();
    const Integer last = items_.Count() - 1;
    std::string text = items_.Strings(last);
    items_.Delete(last);
    return text;
}

TNode* TStackPtr::Pop()
{
    if (items_.Count() == 0) return nullptr;
    const Integer last = items_.Count() - 1;
    auto* node = static_cast<TNode*>(items_.Items(last));
    items_.Delete(last);
    return node;
}
