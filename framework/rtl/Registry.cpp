#include "rtl/Registry.h"

#include <cstring>
#include <vector>

#include "rtl/Strings.h"

namespace {

constexpr REGSAM QueryAccess = STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS;

std::string WithoutLeadingBackslash(const std::string& key)
{
    return !key.empty() && key[0] == '\\' ? key.substr(1) : key;
}

[[noreturn]] void RegistryError(const char* text, const std::string& name)
{
    throw ERegistryException(std::string(text) + " '" + name + "'");
}

std::vector<std::string> SubKeyNames(HKEY key)
{
    std::vector<std::string> names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    return names;
}

std::vector<std::string> ValueNames(HKEY key)
{
    std::vector<std::string> names;
    DWORD maxLength = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxLength, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return names;
    std::vector<char> name(maxLength + 1);
    for (DWORD i = 0;; ++i) {
        DWORD length = DWORD(name.size());
        if (RegEnumValueA(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name.data(), length);
    }
    return names;
}

// Deletes the subkey of parent with all of its own subkeys.
bool DeleteKeyTree(HKEY parent, const std::string& name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, name.c_str(), 0, TRegistry::View32(KEY_ALL_ACCESS), &key) != ERROR_SUCCESS)
        return false;
    for (const std::string& child : SubKeyNames(key)) DeleteKeyTree(key, child);
    RegCloseKey(key);
    return RegDeleteKeyExA(parent, name.c_str(), KEY_WOW64_32KEY, 0) == ERROR_SUCCESS;
}

}  // namespace

TRegistry::~TRegistry()
{
    CloseKey();
}

void TRegistry::CloseKey()
{
    if (currentKey_) RegCloseKey(currentKey_);
    currentKey_ = nullptr;
    currentPath_.clear();
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate)
{
    const bool relative = IsRelative(key);
    const std::string path = WithoutLeadingBackslash(key);
    HKEY opened = nullptr;
    const LONG result = !canCreate || path.empty()
            ? RegOpenKeyExA(GetBaseKey(relative), path.c_str(), 0, View32(access_), &opened)
            : RegCreateKeyExA(GetBaseKey(relative), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              View32(access_), nullptr, &opened, nullptr);
    if (result != ERROR_SUCCESS) return false;
    ChangeKey(opened, PathAfterOpen(path, relative));
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key)
{
    const bool relative = IsRelative(key);
    const std::string path = WithoutLeadingBackslash(key);
    HKEY opened = nullptr;
    if (RegOpenKeyExA(GetBaseKey(relative), path.c_str(), 0, View32(KEY_READ), &opened) != ERROR_SUCCESS)
        return false;
    access_ = KEY_READ;
    ChangeKey(opened, PathAfterOpen(path, relative));
    return true;
}

bool TRegistry::KeyExists(const std::string& key)
{
    HKEY opened = OpenSubKey(key, QueryAccess);
    if (opened) RegCloseKey(opened);
    return opened != nullptr;
}

bool TRegistry::DeleteKey(const std::string& key)
{
    return DeleteKeyTree(GetBaseKey(IsRelative(key)), WithoutLeadingBackslash(key));
}

bool TRegistry::HasSubKeys() const
{
    DWORD subKeys = 0;
    return RegQueryInfoKeyA(currentKey_, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           subKeys > 0;
}

void TRegistry::GetKeyNames(TStrings* strings) const
{
    strings->Clear();
    for (const std::string& name : SubKeyNames(currentKey_)) strings->Add(name);
}

void TRegistry::GetValueNames(TStrings* strings) const
{
    strings->Clear();
    for (const std::string& name : ValueNames(currentKey_)) strings->Add(name);
}

bool TRegistry::ValueExists(const std::string& name) const
{
    return RegQueryValueExA(currentKey_, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

TRegDataType TRegistry::GetDataType(const std::string& valueName) const
{
    DWORD type = REG_NONE;
    if (RegQueryValueExA(currentKey_, valueName.c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
        return rdUnknown;
    switch (type) {
    case REG_SZ: return rdString;
    case REG_EXPAND_SZ: return rdExpandString;
    case REG_DWORD: return rdInteger;
    case REG_BINARY: return rdBinary;
    default: return rdUnknown;
    }
}

bool TRegistry::DeleteValue(const std::string& name)
{
    return RegDeleteValueA(currentKey_, name.c_str()) == ERROR_SUCCESS;
}

std::string TRegistry::ReadString(const std::string& name) const
{
    DWORD type = REG_NONE;
    std::string data;
    if (!QueryValue(name, type, data)) return std::string();
    if (type != REG_SZ && type != REG_EXPAND_SZ) RegistryError("Invalid data type for", name);
    return data.substr(0, data.find('\0'));
}

Integer TRegistry::ReadInteger(const std::string& name) const
{
    DWORD type = REG_NONE;
    std::string data;
    if (!QueryValue(name, type, data)) RegistryError("Failed to get data for", name);
    if (type != REG_DWORD || data.size() != sizeof(DWORD)) RegistryError("Invalid data type for", name);
    DWORD value = 0;
    std::memcpy(&value, data.data(), sizeof value);
    return Integer(value);
}

void TRegistry::WriteString(const std::string& name, const std::string& value)
{
    PutData(name, REG_SZ, value.c_str(), DWORD(value.size() + 1));
}

void TRegistry::WriteInteger(const std::string& name, Integer value)
{
    const DWORD data = DWORD(value);
    PutData(name, REG_DWORD, &data, sizeof data);
}

void TRegistry::SetRootKey(HKEY rootKey)
{
    if (rootKey == rootKey_) return;
    rootKey_ = rootKey;
    CloseKey();
}

HKEY TRegistry::GetBaseKey(bool relative) const
{
    return currentKey_ && relative ? currentKey_ : rootKey_;
}

void TRegistry::ChangeKey(HKEY key, const std::string& path)
{
    CloseKey();
    currentKey_ = key;
    currentPath_ = path;
}

std::string TRegistry::PathAfterOpen(const std::string& key, bool relative) const
{
    if (!currentKey_ || !relative) return key;
    return key.empty() ? currentPath_ : currentPath_ + "\\" + key;
}

HKEY TRegistry::OpenSubKey(const std::string& key, REGSAM access) const
{
    HKEY opened = nullptr;
    const bool relative = IsRelative(key);
    if (RegOpenKeyExA(GetBaseKey(relative), WithoutLeadingBackslash(key).c_str(), 0, View32(access), &opened) !=
        ERROR_SUCCESS)
        return nullptr;
    return opened;
}

bool TRegistry::QueryValue(const std::string& name, DWORD& type, std::string& data) const
{
    DWORD size = 0;
    if (RegQueryValueExA(currentKey_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    data.assign(size, '\0');
    if (RegQueryValueExA(currentKey_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS)
        return false;
    data.resize(size);
    return true;
}

void TRegistry::PutData(const std::string& name, DWORD type, const void* data, DWORD size)
{
    if (RegSetValueExA(currentKey_, name.c_str(), 0, type, static_cast<const BYTE*>(data), size) != ERROR_SUCCESS)
        RegistryError("Failed to set data for", name);
}
