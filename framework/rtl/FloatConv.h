// Conversions between floating-point or Currency values and text, with the platform's notation and rounding.
#pragma once

#include <string>

#include "rtl/Types.h"

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// 15 significant digits, fixed or scientific notation, whichever the platform picks ("0.1", "1E15").
std::string FloatToStr(double value);
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits);
std::string FormatFloat(const std::string& format, double value);
std::string CurrToStr(Currency value);
std::string CurrToStrF(Currency value, TFloatFormat format, int digits);

double StrToFloat(const std::string& s);
bool TryStrToFloat(const std::string& s, double& value);
bool TextToFloat(const std::string& s, double& value);
bool TextToFloat(const std::string& s, Currency& value);
Currency StrToCurr(const std::string& s);
