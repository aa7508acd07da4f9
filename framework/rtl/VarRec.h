// One argument of Format and of the format constructors (the platform's "array of const" element).
#pragma once

#include <concepts>
#include <string>
#include <variant>

#include "rtl/Types.h"

class TVarRec {
public:
    template <std::integral T>
        requires(!std::same_as<T, bool> && !std::same_as<T, char>)
    TVarRec(T v) : value_(Int64(v)), wide_(sizeof(T) == 8)
    {
    }
    TVarRec(bool v) : value_(v) {}
    TVarRec(char v) : value_(v) {}
    TVarRec(double v) : value_(v) {}
    TVarRec(float v) : value_(double(v)) {}
    TVarRec(Currency v) : value_(v) {}
    TVarRec(const char* v) : value_(std::string(v ? v : "")) {}
    TVarRec(std::string v) : value_(std::move(v)) {}
    TVarRec(const void* v) : value_(v) {}

    // Int64 arguments, as opposed to 32-bit ones (their negative values differ in hex and unsigned forms).
    bool IsWide() const { return wide_; }
    bool IsInteger() const { return std::holds_alternative<Int64>(value_); }
    bool IsFloat() const { return std::holds_alternative<double>(value_); }
    bool IsCurrency() const { return std::holds_alternative<Currency>(value_); }
    bool IsText() const { return std::holds_alternative<std::string>(value_) || std::holds_alternative<char>(value_); }
    bool IsPointer() const { return std::holds_alternative<const void*>(value_); }
    bool IsBoolean() const { return std::holds_alternative<bool>(value_); }

    Int64 AsInteger() const { return std::get<Int64>(value_); }
    bool AsBoolean() const { return std::get<bool>(value_); }
    double AsFloat() const { return std::get<double>(value_); }
    Currency AsCurrency() const { return std::get<Currency>(value_); }
    std::string AsText() const
    {
        if (auto c = std::get_if<char>(&value_)) return std::string(1, *c);
        return std::get<std::string>(value_);
    }
    const void* AsPointer() const { return std::get<const void*>(value_); }

private:
    std::variant<Int64, bool, char, double, Currency, std::string, const void*> value_;
    bool wide_ = false;
};
