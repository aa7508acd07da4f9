#include "tools/layoutc/LayoutResource.h"

namespace Layoutc {

namespace {

constexpr uint16_t LogicalString = 1, LogicalDate = 2, LogicalInt16 = 5, LogicalInt32 = 6, LogicalFloat = 7;
constexpr uint16_t SubTypeAutoInc = 29;
constexpr uint16_t BtrString = 0, BtrInteger = 1, BtrDate = 3, BtrDecimal = 5, BtrAutoInc = 15;

constexpr char Version[] = "0002";
constexpr char EndMarker[] = "ABCD";

void PutWord(std::vector<uint8_t>& bytes, uint16_t value)
{
    bytes.push_back(uint8_t(value & 0xFF));
    bytes.push_back(uint8_t(value >> 8));
}

void PutCounted(std::vector<uint8_t>& bytes, const std::string& text)
{
    bytes.push_back(uint8_t(text.size()));
    bytes.insert(bytes.end(), text.begin(), text.end());
}

void PutTerminated(std::vector<uint8_t>& bytes, const char* text)
{
    for (const char* c = text; *c; ++c) bytes.push_back(uint8_t(*c));
    bytes.push_back(0);
}

}  // namespace

TFieldTypes TypesOf(const TField& field)
{
    const auto length = uint16_t(field.Length);
    switch (field.Kind) {
    case TKind::AutoIncrement: return {LogicalInt32, SubTypeAutoInc, 4, 0, BtrAutoInc, 4};
    case TKind::String: return {LogicalString, 0, length, 0, BtrString, length};
    case TKind::Decimal: return {LogicalFloat, 0, length, uint16_t(field.Decimals), BtrDecimal, length};
    case TKind::Integer: return {LogicalInt16, 0, 2, 0, BtrInteger, 2};
    case TKind::Date: return {LogicalDate, 0, 4, 0, BtrDate, 4};
    }
    return {};
}

std::vector<uint8_t> ResourceBytes(const TLayout& layout)
{
    std::vector<uint8_t> bytes;
    PutCounted(bytes, layout.Name);
    PutTerminated(bytes, Version);
    for (const TField& field : layout.Fields) {
        const TFieldTypes types = TypesOf(field);
        PutWord(bytes, uint16_t(field.Number));
        PutCounted(bytes, field.Name);
        PutWord(bytes, types.LogicalType);
        PutWord(bytes, types.SubType);
        PutWord(bytes, types.Units1);
        PutWord(bytes, types.Units2);
        PutWord(bytes, uint16_t(field.Offset));
        PutWord(bytes, uint16_t(field.Length));
        PutWord(bytes, types.BtrType);
        PutWord(bytes, types.BtrSize);
    }
    PutTerminated(bytes, EndMarker);
    return bytes;
}

}  // namespace Layoutc
