// Registry access by key paths, always on the 32-bit view of the registry.
#pragma once

#include <string>

#include "rtl/Exceptions.h"
#include "rtl/Objects.h"
#include "rtl/Types.h"
#include "rtl/WinApi.h"

class TStrings;

class ERegistryException : public Exception { public: using Exception::Exception; };

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

// Keys are paths below RootKey: a path starting with "\" is absolute, any other is relative to the open key.
class TRegistry : public TObject {
    DUN_CLASS(TRegistry, TObject)
public:
    TRegistry() = default;
    explicit TRegistry(LongWord access) : access_(access) {}
    ~TRegistry() override;

    void CloseKey();
    // Opens the key, creating it when canCreate; the result tells whether it is open.
    virtual bool OpenKey(const std::string& key, bool canCreate);
    bool OpenKeyReadOnly(const std::string& key);
    bool KeyExists(const std::string& key);
    // Deletes the key with all its subkeys.
    bool DeleteKey(const std::string& key);
    bool HasSubKeys() const;
    void GetKeyNames(TStrings* strings) const;
    void GetValueNames(TStrings* strings) const;
    bool ValueExists(const std::string& name) const;
    TRegDataType GetDataType(const std::string& valueName) const;
    bool DeleteValue(const std::string& name);
    // A missing value reads as ""; a value of another type raises ERegistryException.
    std::string ReadString(const std::string& name) const;
    Integer ReadInteger(const std::string& name) const;
    bool ReadBool(const std::string& name) const { return ReadInteger(name) != 0; }
    void WriteString(const std::string& name, const std::string& value);
    void WriteInteger(const std::string& name, Integer value);
    void WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }

    HKEY RootKey() const { return rootKey_; }
    void SetRootKey(HKEY rootKey);
    // The access mask used to open keys; KEY_WOW64_32KEY is always added.
    LongWord Access() const { return access_; }
    void SetAccess(LongWord access) { access_ = access; }
    HKEY CurrentKey() const { return currentKey_; }
    const std::string& CurrentPath() const { return currentPath_; }

    // KEY_WOW64_32KEY added to an access mask.
    static REGSAM View32(REGSAM access) { return access | KEY_WOW64_32KEY; }

protected:
    // The key a path starts from: the open key for a relative path when one is open, else the root key.
    HKEY GetBaseKey(bool relative) const;
    // Closes the open key and makes key, with the given path, the open one.
    void ChangeKey(HKEY key, const std::string& path);
    static bool IsRelative(const std::string& key) { return key.empty() || key[0] != '\\'; }
    std::string PathAfterOpen(const std::string& key, bool relative) const;

private:
    HKEY OpenSubKey(const std::string& key, REGSAM access) const;
    bool QueryValue(const std::string& name, DWORD& type, std::string& data) const;
    void PutData(const std::string& name, DWORD type, const void* data, DWORD size);

    HKEY rootKey_ = HKEY_CURRENT_USER;
    LongWord access_ = KEY_ALL_ACCESS;
    HKEY currentKey_ = nullptr;
    std::string currentPath_;
};
