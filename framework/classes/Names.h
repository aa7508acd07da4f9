// Identifiers of the component model.
#pragma once

#include <string>

// A letter or underscore, then letters, digits or underscores.
bool IsValidIdent(const std::string& name);
