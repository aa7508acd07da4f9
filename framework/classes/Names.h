// Identifier helpers of the component model: names compare without regard to ASCII case.
#pragma once

#include <string>

bool SameName(const std::string& a, const std::string& b);
// A letter or underscore, then letters, digits or underscores.
bool IsValidIdent(const std::string& name);
