// The text form of form files: parsing it into tokens and printing tokens as text.
#pragma once

#include <string>

#include "classes/FormTokens.h"
#include "rtl/Exceptions.h"

class EParserError : public Exception { public: using Exception::Exception; };

// Raises EParserError "<what> on line <n>".
TFormTokens ParseFormText(const std::string& text);
std::string FormTokensToText(const TFormTokens& tokens);
