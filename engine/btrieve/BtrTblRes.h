// Table-definition resources: a raw-data resource of the program holding one table layout.
//
//   byte n, n characters      table name (not used)
//   "0002" and a zero byte    version ("0001": an old format that must be recompiled)
//   field entries             number (2), name length m (1), name (m), logical type, subtype, units 1, units 2,
//                             offset, length, Btrieve type, Btrieve size (2 bytes each, little-endian)
//   "ABCD" and a zero byte    end marker
#pragma once

#include <string>

#include "rtl/Objects.h"
#include "rtl/Types.h"

class TBaseTable;

class TTblResBase : public TObject {
    DUN_CLASS(TTblResBase, TObject)
public:
    static constexpr const char* CurrentVersion = "0002";
    static constexpr const char* EndMarker = "ABCD";
};

class TTblResReader : public TTblResBase {
    DUN_CLASS(TTblResReader, TTblResBase)
public:
    // The cursor whose field cache the reader fills.
    explicit TTblResReader(TBaseTable* table) : table_(table) {}

    // Finds the resource in the program's module (name case ignored) and reads it: false when there is none.
    bool Read(const std::string& resourceName);
    // Appends one field cache item per entry (local type and size the Btrieve type and size) and answers true. False,
    // with no field added, for an unknown version or an image whose lengths run past its size; an old-format image
    // also shows an error box and asks the application to end.
    bool ReadImage(const std::string& resourceName, const Byte* image, size_t size);

private:
    TBaseTable* table_;
};
