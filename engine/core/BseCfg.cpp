#include "engine/core/BseCfg.h"

#include <algorithm>
#include <cstring>

namespace {

// The end of the furthest value: the size of a values block.
Word ValuesEnd(const FLDDesc* descriptors, Integer count)
{
    Word end = 0;
    for (Integer i = 0; i < count; ++i) end = std::max<Word>(end, Word(descriptors[i].iOffset + descriptors[i].iLen));
    return end;
}

class TParamReader {
public:
    std::vector<TAliasParam> Read(const std::string& text)
    {
        for (char c : text) Take(c);
        return std::move(params_);
    }

private:
    void Take(char c)
    {
        if (c == '"') {
            ToggleQuotes();
        } else if (c == ':' && !inQuotes_) {
            inName_ = false;
        } else if (c == ';' && !inQuotes_) {
            Reset();
        } else {
            (inName_ ? name_ : value_) += c;
        }
    }

    void ToggleQuotes()
    {
        inQuotes_ = !inQuotes_;
        if (inQuotes_) {
            inName_ = false;
            return;
        }
        params_.push_back({name_, value_});
        Reset();
    }

    void Reset()
    {
        name_.clear();
        value_.clear();
        inName_ = true;
        inQuotes_ = false;
    }

    std::vector<TAliasParam> params_;
    std::string name_;
    std::string value_;
    bool inName_ = true;
    bool inQuotes_ = false;
};

}  // namespace

std::string AliasConfigPath(const std::string& aliasName)
{
    return "\\DATABASES\\" + aliasName + "\\DB INFO";
}

std::vector<TAliasParam> ParseAliasParams(const std::string& text)
{
    return TParamReader().Read(text);
}

TBaseCfgrecord::TBaseCfgrecord(TBapiListItem* owner, TBoreaCollection* collection, const std::string& path,
                               const Byte* values, const FLDDesc* descriptors, Integer count)
        : TBapiListItem(owner, collection), path_(path)
{
    SetContents(values, descriptors, count);
}

void TBaseCfgrecord::SetContents(const Byte* values, const FLDDesc* descriptors, Integer count)
{
    descriptors_.clear();
    values_.clear();
    if (!descriptors || count <= 0) return;
    descriptors_.assign(descriptors, descriptors + count);
    values_.assign(ValuesEnd(descriptors, count), 0);
    if (values) std::memcpy(values_.data(), values, values_.size());
}

void TBaseCfgrecord::CopyTo(Byte* values, FLDDesc* descriptors) const
{
    if (descriptors) std::copy(descriptors_.begin(), descriptors_.end(), descriptors);
    if (values) std::copy(values_.begin(), values_.end(), values);
}

bool TBaseCfgrecord::FindValue(const std::string& name, std::string& value) const
{
    for (const FLDDesc& descriptor : descriptors_) {
        if (name != descriptor.szName) continue;
        const size_t end = std::min<size_t>(size_t(descriptor.iOffset) + descriptor.iLen, values_.size());
        const char* start = reinterpret_cast<const char*>(values_.data()) + descriptor.iOffset;
        value.assign(start, strnlen(start, end > descriptor.iOffset ? end - descriptor.iOffset : 0));
        return true;
    }
    return false;
}

TAliasValues::TAliasValues(const std::string& parameters) : Values(ValuesSize, 0)
{
    Word offset = 0;
    for (const TAliasParam& param : ParseAliasParams(parameters)) {
        const Word length = Word(param.Value.size() + 1);
        if (Integer(Descriptors.size()) == MaxValues || offset + length > ValuesSize) break;
        FLDDesc descriptor{};
        descriptor.iFldNum = Word(Descriptors.size() + 1);
        PutText(descriptor.szName, param.Name);
        descriptor.iOffset = offset;
        descriptor.iLen = length;
        std::memcpy(&Values[offset], param.Value.c_str(), length);
        Descriptors.push_back(descriptor);
        offset = Word(offset + length);
    }
}
