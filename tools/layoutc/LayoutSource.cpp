#include "tools/layoutc/LayoutSource.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace Layoutc {

namespace {

constexpr int MaxNameLength = 255;
constexpr int MaxStringLength = 255;
constexpr int MaxDecimalLength = 10;

std::string Trim(const std::string& s)
{
    const size_t first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

std::string Upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return s;
}

std::vector<std::string> Words(const std::string& line)
{
    std::istringstream stream(line);
    std::vector<std::string> words;
    for (std::string word; stream >> word;) words.push_back(word);
    return words;
}

// The cells between the bars of a table row.
std::vector<std::string> Cells(const std::string& row)
{
    std::vector<std::string> cells;
    std::string text = Trim(row);
    if (!text.empty() && text.back() == '|') text.pop_back();
    size_t start = 1;
    while (start <= text.size()) {
        const size_t bar = std::min(text.find('|', start), text.size());
        cells.push_back(Trim(text.substr(start, bar - start)));
        start = bar + 1;
    }
    return cells;
}

bool IsSeparatorRow(const std::vector<std::string>& cells)
{
    return std::all_of(cells.begin(), cells.end(), [](const std::string& cell) {
        return !cell.empty() && cell.find_first_not_of("-: ") == std::string::npos;
    });
}

class TParser {
public:
    explicit TParser(const std::string& fileName) : fileName_(fileName) {}

    std::vector<TLayout> Parse(const std::string& text);

private:
    [[noreturn]] void Fail(const std::string& message) const
    {
        throw ELayoutError(fileName_ + ":" + std::to_string(line_) + ": " + message);
    }

    int Number(const std::string& text, const char* what) const;
    void StartLayout(const std::vector<std::string>& words);
    void AddField(const std::vector<std::string>& cells);
    void ParseKind(const std::string& text, TField& field) const;
    void CheckField(const TField& field) const;
    void FinishLayout();

    std::string fileName_;
    int line_ = 0;
    int layoutLine_ = 0;
    std::vector<TLayout> layouts_;
    TLayout* current_ = nullptr;
};

int TParser::Number(const std::string& text, const char* what) const
{
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos) {
        Fail(std::string("bad ") + what + " \"" + text + "\"");
    }
    return std::stoi(text);
}

void TParser::StartLayout(const std::vector<std::string>& words)
{
    FinishLayout();
    if (words.size() != 4 || words[2] != "record") Fail("expected: layout NAME record LENGTH");
    const std::string& name = words[1];
    if (name.size() > MaxNameLength || name.find_first_not_of(
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_") != std::string::npos) {
        Fail("bad layout name \"" + name + "\"");
    }
    for (const TLayout& layout : layouts_) {
        if (Upper(layout.Name) == Upper(name)) Fail("layout " + name + " is defined twice");
    }
    layouts_.push_back(TLayout{name, Number(words[3], "record length"), {}});
    current_ = &layouts_.back();
    layoutLine_ = line_;
}

void TParser::ParseKind(const std::string& text, TField& field) const
{
    const std::vector<std::string> words = Words(text);
    const std::string kind = words.empty() ? "" : words[0];
    const size_t expectedWords = kind == "decimal" ? 2 : 1;
    if (words.size() != expectedWords) Fail("bad kind \"" + text + "\"");
    if (kind == "autoincrement") field.Kind = TKind::AutoIncrement;
    else if (kind == "string") field.Kind = TKind::String;
    else if (kind == "integer") field.Kind = TKind::Integer;
    else if (kind == "date") field.Kind = TKind::Date;
    else if (kind == "decimal") {
        field.Kind = TKind::Decimal;
        field.Decimals = Number(words[1], "number of decimals");
    } else {
        Fail("unknown kind \"" + text + "\"");
    }
}

void TParser::CheckField(const TField& field) const
{
    const std::vector<TField>& fields = current_->Fields;
    if (field.Number != int(fields.size()) + 1) Fail("field " + std::to_string(fields.size() + 1) + " expected");
    if (field.Name.empty() || field.Name.size() > MaxNameLength) Fail("bad field name");
    for (const TField& other : fields) {
        if (Upper(other.Name) == Upper(field.Name)) Fail("field name \"" + field.Name + "\" used twice");
    }
    const int expectedOffset = fields.empty() ? 0 : fields.back().Offset + fields.back().Length;
    if (field.Offset != expectedOffset) {
        Fail("field " + field.Name + " at offset " + std::to_string(field.Offset) + ", expected " +
             std::to_string(expectedOffset));
    }
    bool lengthFits = false;
    switch (field.Kind) {
    case TKind::AutoIncrement: case TKind::Date: lengthFits = field.Length == 4; break;
    case TKind::Integer: lengthFits = field.Length == 2; break;
    case TKind::String: lengthFits = field.Length >= 1 && field.Length <= MaxStringLength; break;
    case TKind::Decimal:
        lengthFits = field.Length >= 1 && field.Length <= MaxDecimalLength && field.Decimals <= 2 * field.Length - 1;
        break;
    }
    if (!lengthFits) Fail("field " + field.Name + ": length " + std::to_string(field.Length) + " does not fit its kind");
}

void TParser::AddField(const std::vector<std::string>& cells)
{
    if (!current_) Fail("field row outside a layout");
    if (cells.size() != 5) Fail("a field row has five cells: no, field, kind, offset, length");
    if (cells[0] == "no" || IsSeparatorRow(cells)) return;
    TField field;
    field.Number = Number(cells[0], "field number");
    field.Name = cells[1];
    if (field.Name.size() >= 2 && field.Name.front() == '`' && field.Name.back() == '`') {
        field.Name = field.Name.substr(1, field.Name.size() - 2);
    }
    ParseKind(cells[2], field);
    field.Offset = Number(cells[3], "offset");
    field.Length = Number(cells[4], "length");
    CheckField(field);
    current_->Fields.push_back(field);
}

void TParser::FinishLayout()
{
    if (!current_) return;
    const int saved = line_;
    line_ = layoutLine_;
    if (current_->Fields.empty()) Fail("layout " + current_->Name + " has no fields");
    const TField& last = current_->Fields.back();
    if (last.Offset + last.Length != current_->RecordLength) {
        Fail("layout " + current_->Name + ": the fields end at " + std::to_string(last.Offset + last.Length) +
             ", the record length is " + std::to_string(current_->RecordLength));
    }
    line_ = saved;
    current_ = nullptr;
}

std::vector<TLayout> TParser::Parse(const std::string& text)
{
    std::istringstream stream(text);
    for (std::string raw; std::getline(stream, raw);) {
        ++line_;
        const std::string line = Trim(raw);
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '|') {
            AddField(Cells(line));
            continue;
        }
        const std::vector<std::string> words = Words(line);
        if (words[0] != "layout") Fail("unexpected \"" + line + "\"");
        StartLayout(words);
    }
    FinishLayout();
    return layouts_;
}

}  // namespace

std::vector<TLayout> ParseLayouts(const std::string& text, const std::string& fileName)
{
    return TParser(fileName).Parse(text);
}

}  // namespace Layoutc
