#include "classes/Names.h"

#include <algorithm>

bool IsValidIdent(const std::string& name)
{
    auto isAlpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    auto isAlnum = [&](char c) { return isAlpha(c) || (c >= '0' && c <= '9'); };
    return !name.empty() && isAlpha(name[0]) && std::all_of(name.begin() + 1, name.end(), isAlnum);
}
