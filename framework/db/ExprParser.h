// The filter-text parser: turns a dataset's Filter text into the engine's filter block.
//
// Syntax: conditions joined by AND and OR (AND binds tighter), NOT, parentheses; a condition compares a field with a
// constant or another field (= <> < > <= >=), tests IS NULL / IS NOT NULL, or is a Boolean field alone. Field names are
// bare words or enclosed in brackets [Client Code] or double quotes; string constants are enclosed in single quotes
// (two quotes stand for one); numbers are bare. A constant takes the type of the field it is compared with, so dates
// and times are written as quoted text in the current date and time format. A string constant ending in * compared
// with = or <> matches every value that begins with the text before the * (unless foNoPartialCompare is given).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "db/DBTypes.h"
#include "db/FilterExpr.h"

class TDataSet;

class TExprParser {
public:
    // Raises EDatabaseError (or the conversion error of a constant) for text that is not a valid filter.
    TExprParser(TFilterFieldLookup lookup, const std::string& text, TFilterOptions options);
    TExprParser(TDataSet* dataSet, const std::string& text, TFilterOptions options);

    const std::vector<Byte>& FilterData() const { return data_; }
    Integer DataSize() const { return Integer(data_.size()); }
    // The tree the block was written from.
    const TExprNode* Root() const { return root_; }

private:
    std::unique_ptr<TFilterExpr> expr_;
    const TExprNode* root_ = nullptr;
    std::vector<Byte> data_;
};

// Looks up fields of a dataset for the filter builder.
TFilterFieldLookup FilterFieldsOf(TDataSet* dataSet);
