// The table-definition resource of a layout: table name, version "0002", one entry per field, end marker "ABCD".
#pragma once

#include <cstdint>
#include <vector>

#include "tools/layoutc/LayoutSource.h"

namespace Layoutc {

// The logical and record-manager description of a field kind.
struct TFieldTypes {
    uint16_t LogicalType;
    uint16_t SubType;
    uint16_t Units1;
    uint16_t Units2;
    uint16_t BtrType;
    uint16_t BtrSize;
};

TFieldTypes TypesOf(const TField& field);

std::vector<uint8_t> ResourceBytes(const TLayout& layout);

}  // namespace Layoutc
