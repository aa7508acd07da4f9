// Table names with options: "path;RES:resource;OWNER:owner". The table name proper is the text before the first
// ";"; keywords are found anywhere, case ignored; a value runs to the next ";" or the end and keeps its case.
#pragma once

#include <string>

constexpr size_t MaxTableNameOptionsLength = 255;
constexpr size_t MaxOwnerNameLength = 8;
constexpr size_t MaxResourceNameLength = 260;

struct TTableNameOptions {
    std::string TableName;
    bool HasOwner = false;
    std::string OwnerName;     // at most MaxOwnerNameLength characters
    bool HasResource = false;
    std::string ResourceName;  // at most MaxResourceNameLength characters
};

// The text is taken up to MaxTableNameOptionsLength characters.
TTableNameOptions ParseTableNameOptions(const std::string& text);
