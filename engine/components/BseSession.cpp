#include "engine/components/BseSession.h"

#include <algorithm>
#include <cstdint>

#include "classes/TypInfo.h"
#include "db/DBErrors.h"
#include "db/DBLoginDialogs.h"
#include "engine/components/BseCallback.h"
#include "engine/components/BseDatabase.h"
#include "engine/components/BseMainErr.h"
#include "engine/components/BseMainText.h"
#include "engine/core/BseError.h"
#include "engine/core/BseSess.h"
#include "rtl/Format.h"
#include "rtl/StringRoutines.h"
#include "rtl/WinApi.h"
#include "vcl/Forms.h"

namespace {

constexpr const char* SInvalidSessionName = "Invalid session name %s";
constexpr const char* SDuplicateSessionName = "Duplicate session name '%s'";
constexpr const char* SAutoSessionActive = "Cannot modify SessionName while AutoSessionName is enabled";
constexpr const char* SSessionActive = "Cannot perform this operation on an active session";
constexpr const char* SAutoSessionExclusive =
    "Cannot enable AutoSessionName property with more than one session on a form or data-module";
constexpr const char* SAutoSessionExists =
    "Cannot add a session to the form or data-module while session '%s' has AutoSessionName enabled";
constexpr const char* SSessionNameMissing = "Session name missing";

constexpr Word DBIERR_MULTIPLEINIT = 0x2A07;
constexpr Integer cbSERVERCALL = 21;
constexpr Integer cbDBLOGIN = 28;
constexpr Integer DirectoryBufferSize = 261;
constexpr Integer DirectoryMaxLength = 260;
constexpr size_t AliasNameMaxLength = 31;
// The database-bound dataset class of the layer above, known here by name and its published SessionName.
constexpr const char* DBDatasetClassName = "TbqDBDataset";

// The thread that started the program (units are initialised on it).
const DWORD mainThreadId = GetCurrentThreadId();

// On the main thread, the screen cursor is the hourglass while the object lives, when it was the default cursor.
class THourGlass {
public:
    THourGlass() : shown_(GetCurrentThreadId() == mainThreadId && Screen && Screen->Cursor() == crDefault)
    {
        if (shown_) Screen->SetCursor(crHourGlass);
    }
    ~THourGlass()
    {
        if (shown_) Screen->SetCursor(crDefault);
    }

private:
    bool shown_;
};

}  // namespace

// ---- session list ----

void TbqSessionlist::AfterConstruction()
{
    TObject::AfterConstruction();
    CreateListLock();
}

void TbqSessionlist::BeforeDestruction()
{
    CloseAll();
    DeleteListLock();
    TObject::BeforeDestruction();
}

void TbqSessionlist::AddSession(TbqSession* session)
{
    std::lock_guard guard(lock_);
    if (sessions_.empty()) session->MarkDefault();
    sessions_.push_back(session);
}

void TbqSessionlist::RemoveSession(TbqSession* session)
{
    std::lock_guard guard(lock_);
    sessions_.erase(std::remove(sessions_.begin(), sessions_.end(), session), sessions_.end());
}

void TbqSessionlist::CloseAll()
{
    std::lock_guard guard(lock_);
    while (!sessions_.empty()) sessions_.back()->Free();
}

std::vector<TbqSession*> TbqSessionlist::Snapshot()
{
    std::lock_guard guard(lock_);
    return sessions_;
}

TbqSession* TbqSessionlist::FindSession(const std::string& name)
{
    if (name.empty()) return DefaultSession();
    for (TbqSession* session : Snapshot())
        if (AnsiCompareText(session->SessionName(), name) == 0) return session;
    return nullptr;
}

TbqSession* TbqSessionlist::GetSession(const std::string& name)
{
    TbqSession* session = FindSession(name);
    if (!session) DatabaseErrorFmt(SInvalidSessionName, {name});
    return session;
}

Integer TbqSessionlist::Count()
{
    std::lock_guard guard(lock_);
    return Integer(sessions_.size());
}

TbqSession* TbqSessionlist::Sessions(Integer index)
{
    std::lock_guard guard(lock_);
    return sessions_.at(index);
}

Integer TbqSessionlist::TakeAutoNumber()
{
    auto free = std::find(autoNumbers_.begin(), autoNumbers_.end(), false);
    const auto number = Integer(free - autoNumbers_.begin());
    if (free == autoNumbers_.end())
        autoNumbers_.push_back(true);
    else
        *free = true;
    return number;
}

void TbqSessionlist::ReleaseAutoNumber(Integer number)
{
    if (number >= 0 && number < Integer(autoNumbers_.size())) autoNumbers_[number] = false;
}

// ---- session ----

// LockSession for a block.
class TbqSession::TLock {
public:
    explicit TLock(TbqSession* session) : session_(session) { session_->LockSession(); }
    ~TLock() { session_->UnlockSession(); }
    TLock(const TLock&) = delete;
    TLock& operator=(const TLock&) = delete;

private:
    TbqSession* session_;
};

TbqSession::TbqSession(TComponent* owner) : TComponent(owner)
{
    ValidateAutoSession(owner, false);
}

TbqSession::~TbqSession() = default;

void TbqSession::AfterConstruction()
{
    TComponent::AfterConstruction();
    JoinSessionList();
}

void TbqSession::JoinSessionList()
{
    if (joinedList_) return;
    joinedList_ = true;
    SetSessionList();
    sessionList_->AddSession(this);
}

void TbqSession::BeforeDestruction()
{
    TComponent::BeforeDestruction();
    SetActive(false);
    if (sessionList_) sessionList_->RemoveSession(this);
}

void TbqSession::Publish(TPublisher<TbqSession>& p)
{
    p.Property("Active", &TbqSession::Active, &TbqSession::SetActive).Default(false);
    p.Property("AutoSessionName", &TbqSession::AutoSessionName, &TbqSession::SetAutoSessionName).Default(false);
    p.Property("KeepConnections", &TbqSession::KeepConnections, &TbqSession::SetKeepConnections).Default(true);
    p.Property("NetFileDir", &TbqSession::NetFileDir, &TbqSession::SetNetFileDir);
    p.Property("PrivateDir", &TbqSession::PrivateDir, &TbqSession::SetPrivateDir);
    p.Property("SessionName", &TbqSession::SessionName, &TbqSession::SetSessionName)
        .Stored(&TbqSession::SessionNameStored);
    p.Property("SQLHourGlass", &TbqSession::SQLHourGlass, &TbqSession::SetSQLHourGlass).Default(true);
    p.Property("OnPassword", &TbqSession::OnPassword);
    p.Property("OnStartup", &TbqSession::OnStartup);
}

void TbqSession::SetActive(bool value)
{
    if (state_.Contains(csReading)) {
        streamedActive_ = value;
    } else if (value != Active()) {
        SetSessionActive(value);
    }
}

void TbqSession::SetSessionActive(bool value)
{
    CriticalSectionStart();
    try {
        if (value)
            StartActive();
        else
            StopActive();
    } catch (...) {
        CriticalSectionEnd();
        throw;
    }
    CriticalSectionEnd();
}

void TbqSession::StartActive()
{
    if (OnStartup) OnStartup(this);
    if (sessionName_.empty()) DatabaseError(SSessionNameMissing, this);
    if (!isDefault_) DefaultSession()->SetActive(true);
    if (isDefault_)
        StartEngine();
    else
        CheckEngineResult(Engine(), Engine()->StartSession("", handle_, ""));
    try {
        if (sqlHourGlass_)
            callbacks_.emplace_back(new TbqBDECallback(this, nullptr, cbSERVERCALL, &serverCallBuffer_,
                                                       sizeof serverCallBuffer_, nullptr));
        callbacks_.emplace_back(new TbqBDECallback(this, nullptr, cbDBLOGIN, nullptr, 0, nullptr));
        ApplyDirectories();
        SetConfigModeRaw(cfgModeSession);
    } catch (...) {
        SetSessionActive(false);
        throw;
    }
}

void TbqSession::StartEngine()
{
    Word result = DBIERR_MULTIPLEINIT;
    {
        THourGlass hourGlass;
        if (!Engine()) {
            try {
                SetEngineObject(CreateObject<TVirtEng>(GetEngineClass(), nullptr, nullptr));
                result = 0;
            } catch (const EBoreaEngineError& error) {
                result = error.Code();
            }
        }
    }
    if (result != 0 && result != DBIERR_MULTIPLEINIT) CheckEngineResult(Engine(), result);
    CheckEngineResult(Engine(), Engine()->GetCurrSession(handle_));
}

void TbqSession::ApplyDirectories()
{
    if (!netFileDir_.empty()) SetNetFileDir(netFileDir_);
    if (!privateDir_.empty()) SetPrivateDir(privateDir_);
}

void TbqSession::StopActive()
{
    if (isDefault_) StopOtherSessions();
    Engine()->SetCurrSession(handle_);
    const std::vector<TbqDatabase*> databases = databases_;
    for (auto database = databases.rbegin(); database != databases.rend(); ++database) {
        if ((*database)->Temporary())
            (*database)->Free();
        else
            (*database)->Close();
    }
    FreeCallbacks();
    if (!isDefault_) {
        CheckEngineResult(Engine(), Engine()->CloseSession(handle_));
        TbqSession* defaultSession = DefaultSession();
        Engine()->SetCurrSession(defaultSession ? defaultSession->Handle() : nullptr);
    } else if (!detached_) {
        TVirtEng* engine = Engine();
        SetEngineObject(nullptr);
        engine->Free();
    }
    handle_ = nullptr;
}

// The engine goes with the default session: the sessions that still use it stop first.
void TbqSession::StopOtherSessions()
{
    if (!sessionList_) return;
    for (Integer i = sessionList_->Count() - 1; i >= 0; --i) {
        TbqSession* other = sessionList_->Sessions(i);
        if (other != this && other->Active()) other->SetActive(false);
    }
}

void TbqSession::FreeCallbacks()
{
    callbacks_.clear();
}

void TbqSession::Loaded()
{
    TComponent::Loaded();
    try {
        if (autoSessionName_) UpdateAutoSessionName();
        if (streamedActive_) SetActive(true);
    } catch (...) {
        if (!state_.Contains(csDesigning)) throw;
        if (ApplicationHandleException) ApplicationHandleException(this);
    }
}

void TbqSession::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opInsert) ApplyAutoSession(component);
}

void TbqSession::ApplyAutoSession(TComponent* component)
{
    if (!autoSessionName_ || component == this) return;
    if (component->InheritsFrom(DBDatasetClassName))
        SetStrProp(component, "SessionName", sessionName_);
    else if (auto* database = dynamic_cast<TbqDatabase*>(component))
        database->SetSessionName(sessionName_);
}

void TbqSession::SetName(const std::string& newName)
{
    TComponent::SetName(newName);
    if (autoSessionName_) UpdateAutoSessionName();
}

void TbqSession::ValidateAutoSession(TComponent* owner, bool enabling)
{
    if (!owner) return;
    for (Integer i = 0; i < owner->ComponentCount(); ++i) {
        auto* other = dynamic_cast<TbqSession*>(owner->Components(i));
        if (!other || other == this) continue;
        if (enabling) DatabaseError(SAutoSessionExclusive, this);
        if (other->AutoSessionName()) DatabaseErrorFmt(SAutoSessionExists, {other->Name()}, this);
    }
}

void TbqSession::SetAutoSessionName(bool value)
{
    if (value == autoSessionName_) return;
    if (value) {
        if (Active()) DatabaseError(SSessionActive, this);
        ValidateAutoSession(Owner(), true);
        CriticalSectionStart();
        autoNumber_ = sessionList_->TakeAutoNumber();
        CriticalSectionEnd();
        autoSessionName_ = true;
        UpdateAutoSessionName();
    } else {
        if (autoNumber_ >= 0) {
            CriticalSectionStart();
            sessionList_->ReleaseAutoNumber(autoNumber_);
            CriticalSectionEnd();
            autoNumber_ = -1;
        }
        autoSessionName_ = false;
    }
}

void TbqSession::UpdateAutoSessionName()
{
    updatingAutoName_ = true;
    try {
        SetSessionName(Format("%s_%d", {Name(), autoNumber_ + 1}));
    } catch (...) {
        updatingAutoName_ = false;
        throw;
    }
    updatingAutoName_ = false;
    SetComponentSessions();
}

void TbqSession::SetComponentSessions()
{
    TComponent* owner = Owner();
    if (!owner) return;
    for (Integer i = 0; i < owner->ComponentCount(); ++i) {
        TComponent* component = owner->Components(i);
        if (component->InheritsFrom(DBDatasetClassName)) {
            if (AnsiCompareText(GetStrProp(component, "SessionName"), sessionName_) != 0)
                SetStrProp(component, "SessionName", sessionName_);
        } else if (auto* database = dynamic_cast<TbqDatabase*>(component)) {
            if (AnsiCompareText(database->SessionName(), sessionName_) != 0) database->SetSessionName(sessionName_);
        }
    }
}

void TbqSession::SetSessionName(const std::string& value)
{
    if (autoSessionName_ && !updatingAutoName_) DatabaseError(SAutoSessionActive, this);
    if (Active()) DatabaseError(SSessionActive, this);
    CheckNoDuplicateName(value);
    sessionName_ = value;
}

void TbqSession::CheckNoDuplicateName(const std::string& value)
{
    if (value.empty() || !sessionList_) return;
    TbqSession* other = sessionList_->FindSession(value);
    if (other && other != this) DatabaseErrorFmt(SDuplicateSessionName, {value}, this);
}

void TbqSession::LockSession()
{
    if (lockCount_ == 0) {
        CriticalSectionStart();
        try {
            MakeCurrent();
        } catch (...) {
            CriticalSectionEnd();
            throw;
        }
    }
    ++lockCount_;
}

void TbqSession::UnlockSession()
{
    if (lockCount_ == 0) return;
    if (--lockCount_ == 0) CriticalSectionEnd();
}

void TbqSession::MakeCurrent()
{
    if (Active())
        CheckEngineResult(Engine(), Engine()->SetCurrSession(handle_));
    else
        SetActive(true);
}

TBaseSession* TbqSession::GetHandle()
{
    MakeCurrent();
    return handle_;
}

// ---- databases ----

TbqDatabase* TbqSession::OpenDatabase(const std::string& name, TComponent* owner)
{
    MakeCurrent();
    TbqDatabase* database = DoFindDatabase(name, owner);
    const bool created = database == nullptr;
    if (created) {
        database = dynamic_cast<TbqDatabase*>(GetDatabaseClass()->Factory(this));
        if (!database) throw EInvalidCast("Invalid class typecast");
        try {
            database->SetDatabaseName(name);
        } catch (...) {
            database->Free();
            throw;
        }
        database->SetKeepConnection(keepConnections_);
        database->MarkTemporary();
    }
    try {
        database->Open();
    } catch (...) {
        if (created) database->Free();
        throw;
    }
    database->AddReference();
    return database;
}

void TbqSession::CloseDatabase(TbqDatabase* database)
{
    database->ReleaseReference();
    if (database->RefCount() != 0 || database->KeepConnection() || database->Closing()) return;
    if (!database->Temporary())
        database->Close();
    else if (!database->ComponentState().Contains(csDestroying))
        database->Free();
}

TbqDatabase* TbqSession::FindDatabase(const std::string& name)
{
    for (TbqDatabase* database : databases_) {
        if (database->DatabaseName().empty() && !database->Temporary()) continue;
        if (AnsiCompareText(database->DatabaseName(), name) == 0) return database;
    }
    return nullptr;
}

TbqDatabase* TbqSession::DoFindDatabase(const std::string& name, TComponent* owner)
{
    if (owner) {
        for (Integer i = 0; i < owner->ComponentCount(); ++i) {
            auto* database = dynamic_cast<TbqDatabase*>(owner->Components(i));
            if (database && database->HandleShared() && AnsiCompareText(database->DatabaseName(), name) == 0)
                return database;
        }
    }
    return FindDatabase(name);
}

TBaseDatabase* TbqSession::FindDatabaseHandle(const std::string& name)
{
    for (TbqDatabase* database : databases_)
        if (database->Connected() && database->HandleShared() &&
            AnsiCompareText(database->DatabaseName(), name) == 0)
            return database->Handle();
    return nullptr;
}

void TbqSession::CloseDatabaseHandle(TbqDatabase* database)
{
    for (TbqDatabase* other : databases_)
        if (other != database && other->Handle() &&
            AnsiCompareText(other->DatabaseName(), database->DatabaseName()) == 0)
            return;
    TBaseDatabase* handle = database->Handle();
    CheckEngineResult(Engine(), Engine()->CloseDatabase(handle));
}

void TbqSession::AddDatabase(TbqDatabase* database)
{
    databases_.push_back(database);
}

void TbqSession::RemoveDatabase(TbqDatabase* database)
{
    databases_.erase(std::remove(databases_.begin(), databases_.end(), database), databases_.end());
}

// ---- configuration ----

void TbqSession::GetAliasParams(const std::string& alias, TStrings* list)
{
    list->BeginUpdate();
    try {
        list->Clear();
    } catch (...) {
        list->EndUpdate();
        throw;
    }
    list->EndUpdate();
    GetConfigParams("\\DATABASES\\%s\\DB OPEN", AnsiToOem(alias.substr(0, AliasNameMaxLength)), list);
}

void TbqSession::GetDriverParams(const std::string& driver, TStrings* list)
{
    list->Clear();
    if (CompareText(driver, "STANDARD") == 0)
        list->Add(Format("%s=", {"PATH"}));
    else
        GetConfigParams("\\DRIVERS\\%s\\DB OPEN", AnsiToOem(driver), list);
}

void TbqSession::GetConfigParams(const std::string& pathFormat, const std::string& name, TStrings* list)
{
    TLock lock(this);
    TBaseTable* cursor = nullptr;
    CheckEngineResult(Engine(), Engine()->OpenCfgInfoList(Format(pathFormat, {name}), cursor));
    try {
        CFGDesc record{};
        while (Engine()->GetNextRecord(cursor, 0, reinterpret_cast<Byte*>(&record), nullptr) == 0) {
            OemToCharA(record.szValue, record.szValue);
            list->Add(Format("%s=%s", {std::string(record.szNodeName), std::string(record.szValue)}));
        }
    } catch (...) {
        Engine()->CloseCursor(cursor);
        throw;
    }
    Engine()->CloseCursor(cursor);
}

void TbqSession::InternalAddAlias(const std::string& name, const std::string& driver, TStrings* list,
                                  Integer configMode, bool restoreMode)
{
    std::string parameters;
    ParamsToAliasString(list, parameters);
    std::string driverName = list->Values("DEFAULT DRIVER");
    if (driverName.empty() && CompareText(driver, "STANDARD") != 0) driverName = driver;
    TLock lock(this);
    const Integer savedMode = GetConfigMode();
    SetConfigModeRaw(configMode);
    CheckEngineResult(Engine(), Engine()->AddAlias(true, AnsiToOem(name), AnsiToOem(driverName), parameters));
    if (restoreMode) SetConfigModeRaw(savedMode);
}

void TbqSession::DeleteAlias(const std::string& name)
{
    TLock lock(this);
    Engine()->DeleteAlias(name);
}

Integer TbqSession::GetConfigMode()
{
    TLock lock(this);
    return GetIntProp(Engine(), handle_, sesCONFIGMODE);
}

void TbqSession::SetConfigMode(Integer mode)
{
    SetConfigModeRaw(mode == cfgModeSession ? cfgModeSessionSent : mode);
}

void TbqSession::SetConfigModeRaw(Integer mode)
{
    TLock lock(this);
    CheckEngineResult(Engine(), Engine()->SetProp(handle_, sesCONFIGMODE, Cardinal(mode)));
}

// ---- directories ----

std::string TbqSession::NetFileDir()
{
    if (!Active() || state_.Contains(csWriting)) return netFileDir_;
    TLock lock(this);
    char buffer[DirectoryBufferSize] = {};
    Word length = 0;
    CheckEngineResult(Engine(), Engine()->GetProp(handle_, sesNETFILEDIR, buffer, sizeof buffer, length));
    std::string text;
    NativeToAnsi(Engine(), buffer, text);
    return AnsiUpperCase(text);
}

void TbqSession::SetNetFileDir(const std::string& value)
{
    if (Active()) {
        TLock lock(this);
        char buffer[DirectoryBufferSize] = {};
        AnsiToNative(Engine(), value, DirectoryMaxLength, buffer);
        const uintptr_t directory = reinterpret_cast<uintptr_t>(buffer);
        CheckEngineResult(Engine(), Engine()->SetProp(GetHandle(), sesNETFILEDIR, directory));
    }
    netFileDir_ = value;
}

std::string TbqSession::PrivateDir()
{
    if (!Active() || state_.Contains(csWriting)) return privateDir_;
    TLock lock(this);
    SESInfo information{};
    CheckEngineResult(Engine(), Engine()->GetSesInfo(information));
    std::string text;
    NativeToAnsi(Engine(), information.szPrivDir, text);
    return AnsiUpperCase(text);
}

void TbqSession::SetPrivateDir(const std::string& value)
{
    if (Active()) {
        TLock lock(this);
        char buffer[DirectoryBufferSize] = {};
        AnsiToNative(Engine(), value, DirectoryMaxLength, buffer);
        CheckEngineResult(Engine(), Engine()->SetPrivateDir(buffer));
    }
    privateDir_ = value;
}

bool TbqSession::GetPassword()
{
    if (OnPassword) {
        bool continueFlag = false;
        OnPassword(this, continueFlag);
        return continueFlag;
    }
    // The engine keeps no passwords: the answer only decides whether the caller tries again.
    std::string password;
    return PasswordDialog(password);
}
