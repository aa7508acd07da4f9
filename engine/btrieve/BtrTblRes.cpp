#include "engine/btrieve/BtrTblRes.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/btrieve/BtrBaseTable.h"
#include "engine/btrieve/BtrFatalBox.h"
#include "engine/core/BseTable.h"
#include "rtl/IntConv.h"
#include "rtl/WinApi.h"

namespace {

constexpr size_t VersionSize = 5;
constexpr size_t ShortStringLength = 255;
constexpr Integer OldVersion = 1;
constexpr Integer Version = 2;

struct TResField {
    FLDDesc Descriptor{};
    Word BtrType = 0;
    Word BtrSize = 0;
};

enum class TImageResult { Read, OldFormat, Refused };

// Reads little-endian values from an image, refusing to pass its end.
class TImageCursor {
public:
    TImageCursor(const Byte* image, size_t size) : image_(image), size_(size) {}

    bool Has(size_t count) const { return count <= size_ - position_; }
    bool Byte1(Byte& value) { return Bytes(&value, 1); }
    bool Word2(Word& value)
    {
        Byte bytes[2];
        if (!Bytes(bytes, 2)) return false;
        value = Word(bytes[0] | (bytes[1] << 8));
        return true;
    }
    bool Bytes(void* destination, size_t count)
    {
        if (!Has(count)) return false;
        std::memcpy(destination, image_ + position_, count);
        position_ += count;
        return true;
    }
    bool Skip(size_t count)
    {
        if (!Has(count)) return false;
        position_ += count;
        return true;
    }
    // The zero-terminated text of count bytes at the position (not stepped over).
    std::string TextAt(size_t count) const
    {
        const auto* text = reinterpret_cast<const char*>(image_ + position_);
        return std::string(text, strnlen(text, std::min(count, size_ - position_)));
    }
    bool AtEndMarker() const
    {
        return Has(VersionSize) && image_[position_ + 4] == 0 && TextAt(VersionSize) == TTblResBase::EndMarker;
    }

private:
    const Byte* image_;
    size_t size_;
    size_t position_ = 0;
};

bool ReadEntry(TImageCursor& cursor, TResField& field)
{
    FLDDesc& d = field.Descriptor;
    Byte nameLength = 0;
    char name[ShortStringLength + 1] = {};
    if (!cursor.Word2(d.iFldNum) || !cursor.Byte1(nameLength) || !cursor.Bytes(name, nameLength)) return false;
    std::memcpy(d.szName, name, std::min<size_t>(nameLength, DBIMAXNAMELEN));
    Word units1 = 0, units2 = 0;
    const bool complete = cursor.Word2(d.iFldType) && cursor.Word2(d.iSubType) && cursor.Word2(units1)
            && cursor.Word2(units2) && cursor.Word2(d.iOffset) && cursor.Word2(d.iLen) && cursor.Word2(field.BtrType)
            && cursor.Word2(field.BtrSize);
    d.iUnits1 = SmallInt(units1);
    d.iUnits2 = SmallInt(units2);
    return complete;
}

TImageResult ReadEntries(const Byte* image, size_t size, std::vector<TResField>& fields)
{
    TImageCursor cursor(image, size);
    Byte tableNameLength = 0;
    if (!cursor.Byte1(tableNameLength) || !cursor.Skip(tableNameLength) || !cursor.Has(VersionSize)) {
        return TImageResult::Refused;
    }
    const Integer version = StrToIntDef(cursor.TextAt(VersionSize), 0);
    cursor.Skip(VersionSize);
    while (!cursor.AtEndMarker()) {
        if (version == OldVersion) return TImageResult::OldFormat;
        if (version != Version) return TImageResult::Refused;
        TResField field;
        if (!ReadEntry(cursor, field)) return TImageResult::Refused;
        fields.push_back(field);
    }
    return TImageResult::Read;
}

void ReportOldFormat(const std::string& resourceName)
{
    ShowFatalErrorAndTerminate("Error - Resource [" + resourceName + "] " +
                               " in old format. Re-compile with DEFPACK.EXE");
}

}  // namespace

bool TTblResReader::Read(const std::string& resourceName)
{
    const std::string name = resourceName.substr(0, ShortStringLength);
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, name.c_str(), MAKEINTRESOURCEA(10));
    if (!resource) return false;
    HGLOBAL loaded = LoadResource(module, resource);
    const auto* image = static_cast<const Byte*>(loaded ? LockResource(loaded) : nullptr);
    if (!image) return false;
    return ReadImage(name, image, SizeofResource(module, resource));
}

bool TTblResReader::ReadImage(const std::string& resourceName, const Byte* image, size_t size)
{
    std::vector<TResField> fields;
    const TImageResult result = ReadEntries(image, size, fields);
    if (result == TImageResult::OldFormat) ReportOldFormat(resourceName);
    if (result != TImageResult::Read) return false;
    TBoreaFieldCache* cache = table_->FieldCache();
    for (const TResField& field : fields) {
        auto* item = new TFieldCacheItem(cache);
        item->Descriptor = field.Descriptor;
        item->LocalType = field.BtrType;
        item->LocalSize = field.BtrSize;
    }
    if (auto* btrieve = dynamic_cast<TBtrBaseTable*>(table_)) btrieve->MemoLastFromFields();
    return true;
}
