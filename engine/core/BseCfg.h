// Configuration records of a session and the alias parameter text.
#pragma once

#include <string>
#include <vector>

#include "engine/core/BseBase.h"
#include "engine/core/BseSessRecords.h"

// Path of the configuration record of an alias.
std::string AliasConfigPath(const std::string& aliasName);

// One name and value of an alias parameter text.
struct TAliasParam {
    std::string Name;
    std::string Value;
};

// Reads a parameter text: pairs of a name, a colon and a value in double quotes, separated by semicolons. A pair
// whose quote is not closed before a semicolon outside quotes is dropped.
std::vector<TAliasParam> ParseAliasParams(const std::string& text);

// A configuration node: named values, each a descriptor (number, name, offset in Values, length with its zero).
class TBaseCfgrecord : public TBapiListItem {
    DUN_CLASS(TBaseCfgrecord, TBapiListItem)
public:
    TBaseCfgrecord(TBapiListItem* owner, TBoreaCollection* collection, const std::string& path,
                   const Byte* values, const FLDDesc* descriptors, Integer count);

    const std::string& Path() const { return path_; }
    Integer Count() const { return Integer(descriptors_.size()); }
    Word TotalLength() const { return Word(values_.size()); }
    const FLDDesc* Descriptors() const { return descriptors_.data(); }
    const Byte* Values() const { return values_.data(); }

    void SetContents(const Byte* values, const FLDDesc* descriptors, Integer count);
    // Copies Count descriptors and TotalLength bytes of values to the buffers that are given.
    void CopyTo(Byte* values, FLDDesc* descriptors) const;
    // The value of the first descriptor with that exact name; false when there is none.
    bool FindValue(const std::string& name, std::string& value) const;

private:
    std::string path_;
    std::vector<FLDDesc> descriptors_;
    std::vector<Byte> values_;
};

// The descriptors and values block of an alias's parameter text (at most 17 values in 1025 bytes).
struct TAliasValues {
    static constexpr Integer MaxValues = 17;
    static constexpr Word ValuesSize = 1025;

    explicit TAliasValues(const std::string& parameters);

    std::vector<FLDDesc> Descriptors;
    std::vector<Byte> Values;
};
