#include "engine/btrieve/BtrSess.h"

#include <cstring>

#include "engine/btrieve/BtrConv.h"
#include "engine/btrieve/BtrDbase.h"
#include "engine/btrieve/BtrError.h"
#include "engine/btrieve/BtrLoad.h"
#include "engine/btrieve/BtrWObj.h"
#include "engine/core/BseError.h"
#include "engine/core/BseRegistry.h"
#include "engine/core/BseUtil.h"
#include "rtl/StringRoutines.h"

namespace {

constexpr size_t OptionsMax = 255;
constexpr Word DirectorySize = 261;

// Static initialisation runs on the thread that starts the program.
const DWORD MainThreadId = GetCurrentThreadId();

std::string DefaultSessionValue(const std::string& given, const char* value)
{
    return given.empty() ? TBtrConfiguration("Default Session").ReadText(value, "") : given;
}

std::string CurrentDirectory()
{
    char directory[DirectorySize] = {};
    GetCurrentDirectoryA(sizeof directory, directory);
    return directory;
}

}  // namespace

bool IsMainThread()
{
    return GetCurrentThreadId() == MainThreadId;
}

TBtrConfiguration::TBtrConfiguration(const std::string& section) : registry_(std::make_unique<TRightsRegistry>())
{
    registry_->SetRootKey(HKEY_LOCAL_MACHINE);
    registry_->SetAccess(KEY_READ);
    open_ = registry_->OpenKey(std::string(BtrieveRegistryPath) + "\\Configuration\\" + section, false);
}

TBtrConfiguration::~TBtrConfiguration() = default;

std::string TBtrConfiguration::ReadText(const std::string& value, const std::string& fallback) const
{
    if (!open_ || !registry_->ValueExists(value)) return fallback;
    try {
        return registry_->ReadString(value);
    } catch (const ERegistryException&) {
        return fallback;
    }
}

bool TBtrConfiguration::ReadFlag(const std::string& value, bool fallback) const
{
    if (!open_ || !registry_->ValueExists(value)) return fallback;
    try {
        if (registry_->GetDataType(value) == rdInteger) return registry_->ReadInteger(value) != 0;
        const std::string text = registry_->ReadString(value);
        return SameText(text, "1") || SameText(text, "TRUE") || SameText(text, "YES") || SameText(text, "ON");
    } catch (const ERegistryException&) {
        return fallback;
    }
}

TBtrSession::TBtrSession(TBapiListItem* owner, const std::string& netDir, const std::string& name,
                         TBoreaCollection* collection)
        : TBaseSession(owner, DefaultSessionValue(netDir, "Directory"), DefaultSessionValue(name, "Name"),
                       collection)
{
    if (IsMainThread()) {
        StartRequester();
        ReadSettings();
    }
    MakeClientId();
}

TBtrSession::~TBtrSession()
{
    FreeObjects();
    if (databasesCreated_) {
        TWinBtr scratch(clientId_);
        scratch.Stop();
    }
    if (requesterStarted_) StopBtrieveRequester();
}

void TBtrSession::AfterCreate()
{
    RegistryLocation().Root = HKEY_LOCAL_MACHINE;
    RegistryLocation().Path = BtrieveRegistryPath;
}

void TBtrSession::StartRequester()
{
    const TBtrConfiguration client("Btrieve Client");
    const std::string options = client.ReadText("Options", "").substr(0, OptionsMax);
    const std::string dllName = LowerCase(client.ReadText("DLLName", ""));
    const SmallInt status = StartBtrieveRequester(options.c_str(), dllName.c_str());
    if (status != 0 && status != BtrStatus::AlreadyInitialized) throw EBtrieveEngineError(status, options);
    requesterStarted_ = true;
}

void TBtrSession::ReadSettings()
{
    const TBtrConfiguration intl("Intl");
    IgnoreAnsiOem = intl.ReadFlag("IgnoreAnsiOem", false);
    IgnoreOemAnsi = intl.ReadFlag("IgnoreOemAnsi", false);
    const TBtrConfiguration fields("Fields");
    TBtrFieldSettings& settings = BtrFieldSettings();
    settings.Read = fields.ReadFlag("Read", settings.Read);
    settings.Write = fields.ReadFlag("Write", settings.Write);
    settings.SmallIntAsByte = fields.ReadFlag("SmallIntAsByte", settings.SmallIntAsByte);
    settings.StringPaddedSpaces = fields.ReadFlag("StringPaddedSpaces", settings.StringPaddedSpaces);
    settings.IntegersShowAsZero = fields.ReadFlag("IntegersShowAsZero", settings.IntegersShowAsZero);
}

void TBtrSession::MakeClientId()
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    std::memset(clientId_, 0, sizeof clientId_);
    clientId_[12] = Byte('A' + now.wMilliseconds % 26);
    clientId_[13] = Byte('A' + now.wSecond % 26);
    clientId_[14] = Byte(now.wHour);
    clientId_[15] = Byte(now.wMinute);
    for (int tries = 0; tries < 26 * 26 && SharesClientId(); ++tries) NextClientId();
}

bool TBtrSession::SharesClientId() const
{
    if (!Collection()) return false;
    for (Integer i = 0; i < Collection()->Count(); ++i) {
        const auto* other = dynamic_cast<const TBtrSession*>(Collection()->At(i));
        if (other && other != this && std::memcmp(other->clientId_, clientId_, ClientIdSize) == 0) return true;
    }
    return false;
}

void TBtrSession::NextClientId()
{
    clientId_[12] = Byte(clientId_[12] == 'Z' ? 'A' : clientId_[12] + 1);
    if (clientId_[12] == 'A') clientId_[13] = Byte(clientId_[13] == 'Z' ? 'A' : clientId_[13] + 1);
}

TBaseDatabase* TBtrSession::CreateDatabase(const DBDesc& description, const std::string& name, Integer openMode,
                                           Integer shareMode, const TDatabaseOptions& options)
{
    auto* database = CreateObject<TBtrDatabase>(this, Databases(), clientId_, &description, openMode, shareMode,
                                                name.c_str(), options);
    databasesCreated_ = true;
    return database;
}

TBaseDatabase* TBtrSession::OpenDatabase(const char* name, const char* type, Integer openMode, Integer shareMode,
                                         const char* password, const TDatabaseOptions& options)
{
    const std::string given = name ? name : "";
    if (!given.empty() && !IsPathName(given, true))
        return TBaseSession::OpenDatabase(name, type, openMode, shareMode, password, options);
    std::string directory = given.empty() ? CurrentDirectory() : given;
    if (directory.back() != '\\') directory += '\\';
    DBDesc description{};
    PutText(description.szName, DirectoryDatabaseName);
    PutText(description.szPhyName, directory);
    PutText(description.szDbType, BtrieveDbType);
    return CreateDatabase(description, given, openMode, shareMode, options);
}
