#include "engine/btrieve/BtrTblName.h"

#include "rtl/StringRoutines.h"

namespace {

const std::string OwnerKeyword = ";OWNER:";
const std::string ResourceKeyword = ";RES:";

// The value after keyword (found ignoring case), cut to maxLength; false when the keyword is absent.
bool OptionValue(const std::string& text, const std::string& keyword, size_t maxLength, std::string& value)
{
    const size_t at = UpperCase(text).find(keyword);
    if (at == std::string::npos) return false;
    const size_t start = at + keyword.size();
    const size_t end = text.find(';', start);
    value = text.substr(start, (end == std::string::npos ? text.size() : end) - start).substr(0, maxLength);
    return true;
}

}  // namespace

TTableNameOptions ParseTableNameOptions(const std::string& text)
{
    const std::string name = text.substr(0, MaxTableNameOptionsLength);
    TTableNameOptions options;
    options.TableName = name.substr(0, name.find(';'));
    options.HasOwner = OptionValue(name, OwnerKeyword, MaxOwnerNameLength, options.OwnerName);
    options.HasResource = OptionValue(name, ResourceKeyword, MaxResourceNameLength, options.ResourceName);
    return options;
}
