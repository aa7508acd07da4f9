// The in-memory dataset's evaluation of a filter text: the parsed tree tested against the fields of the record being
// filtered. A blank field compares as an empty text or zero, as the engine's filters see blank fields.
#pragma once

#include <memory>
#include <string>

#include "db/DBTypes.h"
#include "db/ExprParser.h"

class TDataSet;

class TMemFilter {
public:
    // Raises the parser's error for text that is not a valid filter.
    TMemFilter(TDataSet* dataSet, const std::string& text, TFilterOptions options);

    // Whether the record the dataset's fields show now passes.
    bool Accepts() const;

private:
    TDataSet* dataSet_;
    TExprParser parser_;
};
