#include "tools/mkdemo/HostFileDefs.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "tools/mkdemo/HostSources.h"

namespace {

constexpr const char* KeysFileName = "HostFiles.keys";
constexpr uint16_t PageSize = 4096;
constexpr uint16_t KeyNumbersGiven = 0x0400;
constexpr uint16_t DuplicatesFlag = 0x0001;
constexpr uint16_t ModifiableFlag = 0x0002;
constexpr uint16_t SegmentedFlag = 0x0010;
constexpr uint16_t ExtendedTypeFlag = 0x0100;
constexpr uint16_t CaseInsensitiveFlag = 0x0400;
constexpr size_t SpecSize = 16;

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

std::string Trim(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string> Words(const std::string& text)
{
    std::istringstream stream(text);
    std::vector<std::string> words;
    for (std::string word; stream >> word;) words.push_back(word);
    return words;
}

std::vector<std::string> CommaList(const std::string& text)
{
    std::vector<std::string> items;
    std::istringstream stream(text);
    for (std::string item; std::getline(stream, item, ',');) items.push_back(Trim(item));
    return items;
}

// "RD<id>.00" matches "RD000001.00"; any other name matches itself; case ignored.
bool NameMatches(const std::string& pattern, const std::string& fileName)
{
    const std::string upperPattern = Upper(pattern);
    const std::string upperName = Upper(fileName);
    const size_t id = upperPattern.find("<ID>");
    if (id == std::string::npos) return upperPattern == upperName;
    const std::string prefix = upperPattern.substr(0, id);
    const std::string suffix = upperPattern.substr(id + 4);
    return upperName.size() > prefix.size() + suffix.size() && upperName.compare(0, prefix.size(), prefix) == 0 &&
           upperName.compare(upperName.size() - suffix.size(), suffix.size(), suffix) == 0;
}

uint8_t KeyTypeOf(Layoutc::TKind kind)
{
    switch (kind) {
    case Layoutc::TKind::AutoIncrement: return 15;
    case Layoutc::TKind::Integer: return 1;
    case Layoutc::TKind::Date: return 3;
    case Layoutc::TKind::Decimal: return 5;
    case Layoutc::TKind::String: break;
    }
    return 0;
}

void Put16(std::vector<uint8_t>& bytes, size_t offset, uint16_t value)
{
    bytes[offset] = uint8_t(value & 0xFF);
    bytes[offset + 1] = uint8_t(value >> 8);
}

class TKeysParser {
public:
    explicit TKeysParser(const THostFileDefs& defs) : defs_(defs) {}

    std::vector<THostFileDef> Parse(const std::string& text)
    {
        std::istringstream stream(text);
        for (std::string raw; std::getline(stream, raw);) {
            ++line_;
            const std::string line = Trim(raw.substr(0, raw.find('#')));
            if (line.empty()) continue;
            const size_t colon = line.find(':');
            if (colon == std::string::npos) Fail("expected \":\"");
            const std::vector<std::string> head = Words(line.substr(0, colon));
            const std::string tail = Trim(line.substr(colon + 1));
            if (head[0] == "file") {
                StartFile(head, tail);
            } else if (head[0] == "key") {
                AddKey(head, tail);
            } else {
                Fail("unexpected \"" + head[0] + "\"");
            }
        }
        return files_;
    }

private:
    [[noreturn]] void Fail(const std::string& message) const
    {
        throw Layoutc::ELayoutError(std::string(KeysFileName) + ":" + std::to_string(line_) + ": " + message);
    }

    void StartFile(const std::vector<std::string>& head, const std::string& layoutName)
    {
        if (head.size() < 2) Fail("expected: file NAME... : LAYOUT");
        THostFileDef file;
        file.FileNames.assign(head.begin() + 1, head.end());
        try {
            file.Layout = defs_.Layout(layoutName);
        } catch (const Layoutc::ELayoutError&) {
            Fail("unknown layout \"" + layoutName + "\"");
        }
        files_.push_back(file);
    }

    void AddKey(const std::vector<std::string>& head, const std::string& fieldList)
    {
        if (files_.empty()) Fail("key line outside a file");
        if (head.size() < 2 || head[1].find_first_not_of("0123456789") != std::string::npos) {
            Fail("expected: key NUMBER [unique|dup] [ci] : FIELD, ...");
        }
        THostKey key;
        key.Number = std::stoi(head[1]);
        for (size_t i = 2; i < head.size(); ++i) {
            if (head[i] == "dup") key.Duplicates = true;
            else if (head[i] == "ci") key.CaseInsensitive = true;
            else if (head[i] != "unique") Fail("unknown key flag \"" + head[i] + "\"");
        }
        THostFileDef& file = files_.back();
        for (const THostKey& other : file.Keys) {
            if (other.Number == key.Number) Fail("key " + head[1] + " is defined twice");
        }
        key.Fields = CommaList(fieldList);
        for (const std::string& field : key.Fields) {
            try {
                FieldOf(file.Layout, field);
            } catch (const Layoutc::ELayoutError&) {
                Fail("layout " + file.Layout.Name + " has no field \"" + field + "\"");
            }
        }
        file.Keys.push_back(key);
    }

    const THostFileDefs& defs_;
    std::vector<THostFileDef> files_;
    int line_ = 0;
};

}  // namespace

THostFileDefs::THostFileDefs(const std::string& layoutsText, const std::string& keysText)
    : layouts_(Layoutc::ParseLayouts(layoutsText, "HostLayouts.layout"))
{
    ParseKeys(keysText);
}

void THostFileDefs::ParseKeys(const std::string& keysText)
{
    files_ = TKeysParser(*this).Parse(keysText);
}

const THostFileDefs& THostFileDefs::Builtin()
{
    static const THostFileDefs defs(HostLayoutsSource, HostKeysSource);
    return defs;
}

const Layoutc::TLayout* THostFileDefs::FindLayout(const std::string& name) const
{
    for (const Layoutc::TLayout& layout : layouts_) {
        if (Upper(layout.Name) == Upper(name)) return &layout;
    }
    return nullptr;
}

const Layoutc::TLayout& THostFileDefs::Layout(const std::string& name) const
{
    if (const Layoutc::TLayout* layout = FindLayout(name)) return *layout;
    throw Layoutc::ELayoutError("no layout " + name);
}

const THostFileDef& THostFileDefs::ForFile(const std::string& fileName) const
{
    for (const THostFileDef& file : files_) {
        for (const std::string& pattern : file.FileNames) {
            if (NameMatches(pattern, fileName)) return file;
        }
    }
    throw Layoutc::ELayoutError("no host file " + fileName);
}

const Layoutc::TField& FieldOf(const Layoutc::TLayout& layout, const std::string& fieldName)
{
    for (const Layoutc::TField& field : layout.Fields) {
        if (Upper(field.Name) == Upper(fieldName)) return field;
    }
    throw Layoutc::ELayoutError("layout " + layout.Name + " has no field " + fieldName);
}

namespace {

bool HasAutoIncrement(const Layoutc::TLayout& layout, const THostKey& key)
{
    return std::any_of(key.Fields.begin(), key.Fields.end(), [&](const std::string& name) {
        return FieldOf(layout, name).Kind == Layoutc::TKind::AutoIncrement;
    });
}

// One key segment as the record manager takes it.
struct TSegmentSpec {
    int KeyNumber;
    bool FirstOfKey;
    uint16_t Position;  // 1-based
    uint16_t Length;
    uint16_t Flags;
    uint8_t Type;
};

std::vector<TSegmentSpec> SegmentSpecs(const THostFileDef& file)
{
    std::vector<TSegmentSpec> segments;
    for (const THostKey& key : file.Keys) {
        const uint16_t keyFlags = uint16_t(ExtendedTypeFlag | (key.Duplicates ? DuplicatesFlag : 0) |
                                           (HasAutoIncrement(file.Layout, key) ? 0 : ModifiableFlag));
        for (size_t i = 0; i < key.Fields.size(); ++i) {
            const Layoutc::TField& field = FieldOf(file.Layout, key.Fields[i]);
            uint16_t flags = keyFlags;
            if (key.CaseInsensitive && field.Kind == Layoutc::TKind::String) flags |= CaseInsensitiveFlag;
            if (i + 1 < key.Fields.size()) flags |= SegmentedFlag;
            segments.push_back({key.Number, i == 0, uint16_t(field.Offset + 1), uint16_t(field.Length), flags,
                                KeyTypeOf(field.Kind)});
        }
    }
    return segments;
}

const char* ButilTypeName(uint8_t type)
{
    switch (type) {
    case 1: return "integer";
    case 3: return "date";
    case 5: return "decimal";
    case 15: return "autoincrement";
    default: return "string";
    }
}

}  // namespace

std::vector<uint8_t> CreateSpecification(const THostFileDef& file)
{
    const std::vector<TSegmentSpec> segments = SegmentSpecs(file);
    std::vector<uint8_t> spec(SpecSize * (1 + segments.size()));
    Put16(spec, 0, uint16_t(file.Layout.RecordLength));
    Put16(spec, 2, PageSize);
    Put16(spec, 4, uint16_t(file.Keys.size()));
    Put16(spec, 10, KeyNumbersGiven);
    size_t at = SpecSize;
    for (const TSegmentSpec& segment : segments) {
        Put16(spec, at, segment.Position);
        Put16(spec, at + 2, segment.Length);
        Put16(spec, at + 4, segment.Flags);
        spec[at + 10] = segment.Type;
        spec[at + 14] = uint8_t(segment.KeyNumber);
        at += SpecSize;
    }
    return spec;
}

std::string ButilDescription(const THostFileDef& file)
{
    std::ostringstream text;
    text << "# " << file.FileNames.front() << " (" << file.Layout.Name << ")\n";
    text << "record length " << file.Layout.RecordLength << "\npage size " << PageSize << "\n";
    for (const TSegmentSpec& segment : SegmentSpecs(file)) {
        if (segment.FirstOfKey) {
            text << "key " << segment.KeyNumber << ((segment.Flags & DuplicatesFlag) ? " duplicates" : "")
                 << ((segment.Flags & ModifiableFlag) ? " modifiable" : "") << "\n";
        }
        text << "  segment position " << segment.Position << " length " << segment.Length << " type "
             << ButilTypeName(segment.Type) << ((segment.Flags & CaseInsensitiveFlag) ? " case-insensitive" : "")
             << "\n";
    }
    return text.str();
}
