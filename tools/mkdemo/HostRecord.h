// One record of a host file, built field by field by name: blank-padded text, packed decimals, integers and
// record-manager dates at the layout's offsets.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "tools/layoutc/LayoutSource.h"

class EHostValueError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class THostRecord {
public:
    // Strings blank, numbers zero (decimals positive zero).
    explicit THostRecord(const Layoutc::TLayout& layout);

    // Every setter raises EHostValueError for an unknown field, a field of another kind or a value that does not fit.
    // Text is left-justified and blank-padded.
    THostRecord& Set(const std::string& field, const std::string& text);
    THostRecord& SetDecimal(const std::string& field, double value);
    THostRecord& SetInteger(const std::string& field, int value);
    THostRecord& SetDate(const std::string& field, int year, int month, int day);

    // The field's bytes as stored.
    std::string Raw(const std::string& field) const;
    const std::string& Bytes() const { return bytes_; }
    const Layoutc::TLayout& Layout() const { return *layout_; }

private:
    const Layoutc::TField& Field(const std::string& name, Layoutc::TKind kind) const;
    void PutPacked(const Layoutc::TField& field, int64_t digits, bool negative);

    const Layoutc::TLayout* layout_;
    std::string bytes_;
};

// The value conventions of the host files.
std::string RightJustified(const std::string& text, size_t width);
std::string LeftJustified(const std::string& text, size_t width);
// YYMMDD with YY = year - 1980.
std::string HostDateOf(int year, int month, int day);
