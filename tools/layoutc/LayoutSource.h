// Layout source files: table layouts written as tables, one per "layout" line.
//
//   # a comment
//   layout YCLIENT record 393
//   | no | field | kind | offset | length |
//   |---|---|---|---|---|
//   | 1 | `AutoIncrement` | autoincrement | 0 | 4 |
//   | 2 | `Client Code` | string | 4 | 7 |
//   | 22 | `Threshhold` | decimal 0 | 390 | 3 |
//
// Kinds: autoincrement (4 bytes), string (1 to 255), decimal n (packed, 1 to 10 bytes), integer (2), date (4).
// Fields are numbered from 1 in order and cover the record from offset 0 without gap or overlap; the record length
// is the end of the last field. Names may be written in backticks; the header and separator rows are optional.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace Layoutc {

enum class TKind { AutoIncrement, String, Decimal, Integer, Date };

struct TField {
    int Number = 0;
    std::string Name;
    TKind Kind = TKind::String;
    int Decimals = 0;
    int Offset = 0;
    int Length = 0;
};

struct TLayout {
    std::string Name;
    int RecordLength = 0;
    std::vector<TField> Fields;
};

// "file:line: message".
class ELayoutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Every layout of the text; raises ELayoutError at the first fault. fileName is only used in messages.
std::vector<TLayout> ParseLayouts(const std::string& text, const std::string& fileName);

}  // namespace Layoutc
