// The session's configuration records, aliases and configuration lists.
#include <cstring>
#include <memory>

#include "engine/core/BseCfg.h"
#include "engine/core/BseDbList.h"
#include "engine/core/BseError.h"
#include "engine/core/BseRegistry.h"
#include "engine/core/BseSess.h"
#include "engine/core/BseTable.h"
#include "engine/core/BseUtil.h"
#include "rtl/IntConv.h"
#include "rtl/StringRoutines.h"
#include "rtl/Strings.h"

namespace {

constexpr size_t ConfigNameStart = 11;  // after "\DATABASES\"
constexpr Word cfgTypeText = 1;
constexpr Word cfgTypePath = 0;

void InsertConfigRow(TBaseTable* list, const std::string& name, Word dataType, const std::string& value)
{
    CFGDesc row{};
    PutText(row.szNodeName, name);
    row.iDataType = dataType;
    PutText(row.szValue, value);
    list->InsertRecord(dbiNOLOCK, reinterpret_cast<Byte*>(&row));
}

// The database name of a configuration path: after "\DATABASES\", cut at "\DB OPEN" or else at "\DB INFO".
std::string ConfigDatabaseName(const std::string& path)
{
    std::string name = path.size() > ConfigNameStart ? path.substr(ConfigNameStart) : "";
    size_t cut = name.find("\\DB OPEN");
    if (cut == std::string::npos) cut = name.find("\\DB INFO");
    return cut == std::string::npos ? name : name.substr(0, cut);
}

// A registry value as configuration text; false for values of other types.
bool ReadConfigValue(TRegistry& registry, const std::string& name, std::string& value)
{
    switch (registry.GetDataType(name)) {
    case rdString:
    case rdExpandString:
        value = registry.ReadString(name);
        return true;
    case rdInteger:
        value = IntToStr(registry.ReadInteger(name));
        return true;
    default:
        return false;
    }
}

}  // namespace

TBaseCfgrecord* TBaseSession::FindConfigRecord(const std::string& path)
{
    for (Integer i = 0; i < configRecords_.Count(); ++i) {
        auto* record = static_cast<TBaseCfgrecord*>(configRecords_.At(i));
        if (record->Path() == path) return record;
    }
    return nullptr;
}

void TBaseSession::GetConfigRecord(const std::string& path, Byte* values, FLDDesc* descriptors, Integer& count)
{
    TBaseCfgrecord* record = FindConfigRecord(path);
    if (!record) RaiseEOF();
    count = record->Count();
    record->CopyTo(values, descriptors);
}

void TBaseSession::AddConfigRecord(const std::string& path, const Byte* values, const FLDDesc* descriptors,
                                   Integer count)
{
    if (FindConfigRecord(path)) return;
    new TBaseCfgrecord(this, &configRecords_, path, values, descriptors, count);
}

void TBaseSession::ModifyConfigRecord(const std::string& path, const Byte* values, const FLDDesc* descriptors,
                                      Integer count)
{
    TBaseCfgrecord* record = FindConfigRecord(path);
    if (!record) RaiseEngineErrorText(DBIERR_RECNOTFOUND, path);
    record->SetContents(values, descriptors, count);
}

void TBaseSession::DeleteConfigRecords(const std::string& path)
{
    bool deleted = false;
    for (Integer i = configRecords_.Count() - 1; i >= 0; --i) {
        auto* record = static_cast<TBaseCfgrecord*>(configRecords_.At(i));
        if (record->Path() != path) continue;
        record->Free();
        deleted = true;
    }
    if (!deleted) RaiseEngineErrorText(DBIERR_RECNOTFOUND, path);
}

void TBaseSession::ConfigPathExists(const std::string& path)
{
    for (Integer i = 0; i < configRecords_.Count(); ++i) {
        if (static_cast<TBaseCfgrecord*>(configRecords_.At(i))->Path().find(path) != std::string::npos) return;
    }
    RaiseEOF();
}

void TBaseSession::AddAlias(bool persistent, const std::string& name, const std::string& driverType,
                            const std::string& parameters)
{
    const TAliasValues values(parameters);
    AddConfigRecord(AliasConfigPath(name), values.Values.data(), values.Descriptors.data(),
                    Integer(values.Descriptors.size()));
}

void TBaseSession::DeleteAlias(const std::string& name)
{
    DeleteConfigRecords(AliasConfigPath(name));
}

void TBaseSession::WriteParams(TRegistry& registry, const std::string& parameters)
{
    for (const TAliasParam& param : ParseAliasParams(parameters)) registry.WriteString(param.Name, param.Value);
}

void TBaseSession::AddRegistryAlias(const std::string& name, const std::string& parameters)
{
    TRightsRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKey(AliasKey(name), true)) RaiseEngineErrorText(DBIERR_WRITEERR, name);
    try {
        WriteParams(registry, parameters);
    } catch (const ERegistryException&) {
        RaiseEngineErrorText(DBIERR_WRITEERR, name);
    }
}

void TBaseSession::DeleteRegistryAlias(const std::string& name)
{
    TRightsRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    if (registry.KeyExists(AliasKey(name))) registry.DeleteKey(AliasKey(name));
}

TBaseTable* TBaseSession::OpenDatabaseList()
{
    auto* list = CreateObject<TRegDBListTable>(this, &listCursors_, "");
    list->Open();
    return list;
}

void TBaseSession::FillConfigList(TBaseTable* list)
{
    const std::string path = list->GetTableName();
    if (path.find("\\DATABASES\\") == std::string::npos) return;
    const std::string name = ConfigDatabaseName(path);
    if (IsPathName(name, true)) {
        InsertConfigRow(list, "PATH", cfgTypePath, name);
        InsertConfigRow(list, "USER NAME", cfgTypeText, "");
        return;
    }
    bool hasUserName = false;
    TRightsRegistry registry;
    registry.SetRootKey(registry_.Root);
    registry.SetAccess(KEY_READ);
    if (registry.OpenKey(AliasKey(name), false)) {
        list->Open();
        TStringList valueNames;
        registry.GetValueNames(&valueNames);
        for (Integer i = 0; i < valueNames.Count(); ++i) {
            std::string valueName = valueNames.Strings(i);
            std::string value;
            if (!ReadConfigValue(registry, valueName, value)) continue;
            if (!hasUserName && SameText(valueName, "USER")) {
                valueName = "USER NAME";
                hasUserName = true;
            }
            InsertConfigRow(list, valueName, cfgTypeText, value);
        }
    }
    if (!hasUserName) InsertConfigRow(list, "USER NAME", cfgTypeText, "");
}
