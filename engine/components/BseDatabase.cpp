#include "engine/components/BseDatabase.h"

#include <algorithm>

#include "db/DBErrors.h"
#include "db/DBLoginDialogs.h"
#include "db/DataSet.h"
#include "engine/components/BseMainErr.h"
#include "engine/components/BseMainText.h"
#include "engine/components/BseSession.h"
#include "engine/core/BseDb.h"
#include "engine/core/BseEng.h"
#include "engine/core/BseSess.h"
#include "rtl/StringRoutines.h"

namespace {

constexpr const char* SDatabaseOpen = "Cannot perform this operation on an open database";
constexpr const char* SDatabaseNameMissing = "Database name missing";
constexpr const char* SDuplicateDatabaseName = "Duplicate database name '%s'";
constexpr const char* SLoginError = "Cannot connect to database '%s'";
constexpr const char* SDatabaseHandleSet = "Database handle owned by a different session";

constexpr const char* szUSERNAME = "USER NAME";
constexpr const char* szPASSWORD = "PASSWORD";
// The configuration mode an alias of a database's own is added in.
constexpr Integer cfgModeDatabaseAlias = 4;
constexpr Word DatabaseTypeBufferSize = 32;

}  // namespace

TbqDatabase::TbqDatabase(TComponent* owner) : TComponent(owner), params_(std::make_unique<TStringList>())
{
    params_->OnChanging = [this](TObject* sender) { ParamsChanging(sender); };
}

TbqDatabase::~TbqDatabase() = default;

void TbqDatabase::AfterConstruction()
{
    TComponent::AfterConstruction();
    JoinSession();
}

void TbqDatabase::JoinSession()
{
    if (joined_) return;
    joined_ = true;
    SetSessionList();
    auto* ownerSession = dynamic_cast<TbqSession*>(Owner());
    session_ = ownerSession ? ownerSession : DefaultSession();
    if (session_) {
        sessionName_ = session_->SessionName();
        session_->AddDatabase(this);
    }
    loginPrompt_ = LoginPromptDefault();
    keepConnection_ = true;
    if (Owner())
        for (Integer i = 0; i < Owner()->ComponentCount(); ++i)
            if (auto* session = dynamic_cast<TbqSession*>(Owner()->Components(i))) session->ApplyAutoSession(this);
}

void TbqDatabase::BeforeDestruction()
{
    TComponent::BeforeDestruction();
    Close();
    if (session_) session_->RemoveDatabase(this);
}

void TbqDatabase::Publish(TPublisher<TbqDatabase>& p)
{
    p.Property("AliasName", &TbqDatabase::AliasName, &TbqDatabase::SetAliasName);
    p.Property("Connected", &TbqDatabase::Connected, &TbqDatabase::SetConnected).Default(false);
    p.Property("DatabaseName", &TbqDatabase::DatabaseName, &TbqDatabase::SetDatabaseName);
    p.Property("Exclusive", &TbqDatabase::Exclusive, &TbqDatabase::SetExclusive).Default(false);
    p.Property("HandleShared", &TbqDatabase::HandleShared, &TbqDatabase::SetHandleShared).Default(false);
    p.Property("KeepConnection", &TbqDatabase::KeepConnection, &TbqDatabase::SetKeepConnection).Default(true);
    p.Property("LoginPrompt", &TbqDatabase::LoginPrompt, &TbqDatabase::SetLoginPrompt);
    p.Property("Params", &TbqDatabase::Params, &TbqDatabase::SetParams);
    p.Property("ReadOnly", &TbqDatabase::ReadOnly, &TbqDatabase::SetReadOnly).Default(false);
    p.Property("SessionName", &TbqDatabase::SessionName, &TbqDatabase::SetSessionName);
    p.Property("OnLogin", &TbqDatabase::OnLogin);
}

// ---- checks ----

void TbqDatabase::CheckInactive()
{
    if (!Connected()) return;
    if (!state_.Contains(csDesigning)) DatabaseError(SDatabaseOpen, this);
    Close();
}

void TbqDatabase::CheckDatabaseName()
{
    if (databaseName_.empty() && !temporary_) DatabaseError(SDatabaseNameMissing, this);
}

void TbqDatabase::CheckSessionName(bool required)
{
    TbqSession* session = required ? sessionList_->GetSession(sessionName_) : sessionList_->FindSession(sessionName_);
    if (session && session != session_) MoveToSession(session);
    if (required && session_) session_->SetActive(true);
}

void TbqDatabase::MoveToSession(TbqSession* session)
{
    if (session_) session_->RemoveDatabase(this);
    session_ = session;
    session_->AddDatabase(this);
    session_->FreeNotification(this);
    try {
        ValidateName(databaseName_);
    } catch (...) {
        databaseName_.clear();
        throw;
    }
}

void TbqDatabase::ValidateName(const std::string& name)
{
    if (name.empty() || !session_) return;
    for (Integer i = 0; i < session_->DatabaseCount(); ++i) {
        TbqDatabase* other = session_->Databases(i);
        if (other == this || AnsiCompareText(other->DatabaseName(), name) != 0) continue;
        if (other->DatabaseName().empty() && !other->Temporary()) continue;
        if (other->HandleShared() && handleShared_) continue;
        if (!other->Temporary() || other->RefCount() > 0) DatabaseErrorFmt(SDuplicateDatabaseName, {name}, this);
        other->Free();
        return;
    }
}

void TbqDatabase::ParamsChanging(TObject*)
{
    CheckInactive();
}

// ---- property writers ----

void TbqDatabase::SetAliasName(const std::string& value)
{
    CheckInactive();
    aliasName_ = value;
    aliasNameSet_ = true;
}

void TbqDatabase::SetConnected(bool value)
{
    if (state_.Contains(csReading))
        streamedConnected_ = value;
    else if (value)
        Open();
    else
        Close();
}

void TbqDatabase::SetDatabaseName(const std::string& value)
{
    if (state_.Contains(csReading)) {
        databaseName_ = value;
        return;
    }
    if (value == databaseName_) return;
    CheckInactive();
    ValidateName(value);
    databaseName_ = value;
}

void TbqDatabase::SetExclusive(bool value)
{
    CheckInactive();
    exclusive_ = value;
}

void TbqDatabase::SetKeepConnection(bool value)
{
    if (value == keepConnection_) return;
    keepConnection_ = value;
    if (!value && refCount_ == 0) Close();
}

void TbqDatabase::SetParams(TStrings* value)
{
    CheckInactive();
    params_->Assign(value);
}

void TbqDatabase::SetReadOnly(bool value)
{
    CheckInactive();
    readOnly_ = value;
}

void TbqDatabase::SetSessionName(const std::string& value)
{
    CheckInactive();
    if (value == sessionName_) return;
    sessionName_ = value;
    CheckSessionName(false);
}

// ---- component ----

void TbqDatabase::Loaded()
{
    TComponent::Loaded();
    try {
        if (streamedConnected_)
            Open();
        else
            CheckSessionName(false);
    } catch (...) {
        if (!state_.Contains(csDesigning)) throw;
        if (ApplicationHandleException) ApplicationHandleException(this);
    }
}

void TbqDatabase::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == session_ && session_ != DefaultSession()) session_ = nullptr;
}

// ---- datasets ----

void TbqDatabase::AddDataSet(TDataSet* dataset)
{
    datasets_.push_back(dataset);
}

void TbqDatabase::RemoveDataSet(TDataSet* dataset)
{
    datasets_.erase(std::remove(datasets_.begin(), datasets_.end(), dataset), datasets_.end());
}

void TbqDatabase::CloseDataSets()
{
    while (!datasets_.empty()) {
        TDataSet* dataset = datasets_.back();
        dataset->Close();
        // A dataset that kept its place (its close did not release the database) leaves the list here.
        if (!datasets_.empty() && datasets_.back() == dataset) datasets_.pop_back();
    }
}

// ---- open and close ----

void TbqDatabase::Login(TStrings* loginParams)
{
    if (OnLogin) {
        OnLogin(this, loginParams);
        return;
    }
    std::string userName = loginParams->Values(szUSERNAME);
    std::string password;
    if (!LoginDialogEx(databaseName_, userName, password, false)) DatabaseErrorFmt(SLoginError, {databaseName_}, this);
    loginParams->SetValues(szUSERNAME, userName);
    loginParams->SetValues(szPASSWORD, password);
}

void TbqDatabase::SetHandle(TBaseDatabase* handle)
{
    if (Connected()) Close();
    if (!handle) return;
    TBapiListItem* sessionHandle = nullptr;
    CheckEngineResult(Engine(), Engine()->GetObjFromObj(handle, objSESSION, sessionHandle));
    CheckDatabaseName();
    CheckSessionName(true);
    if (static_cast<TBapiListItem*>(session_->Handle()) != sessionHandle) DatabaseError(SDatabaseHandleSet, this);
    handle_ = handle;
    ReadDatabaseType();
    acquiredHandle_ = true;
}

bool TbqDatabase::OpenFromExistingDB()
{
    SetHandle(session_->FindDatabaseHandle(databaseName_));
    acquiredHandle_ = false;
    return Connected();
}

void TbqDatabase::Open()
{
    if (Connected()) return;
    CheckDatabaseName();
    CheckSessionName(true);
    if (handleShared_ && OpenFromExistingDB()) return;
    TbqSession* session = session_;
    session->LockSession();
    const Integer savedMode = session->GetConfigMode();
    try {
        std::string password;
        CheckDatabaseAlias(password);
        OpenEngineDatabase(password);
    } catch (...) {
        session->SetConfigModeRaw(savedMode);
        session->UnlockSession();
        throw;
    }
    session->SetConfigModeRaw(savedMode);
    session->UnlockSession();
}

void TbqDatabase::OpenEngineDatabase(const std::string& password)
{
    const std::string name = AnsiToOem(databaseName_);
    const std::string nativePassword = AnsiToOem(password);
    try {
        TBaseDatabase* handle = nullptr;
        CheckEngineResult(Engine(), Engine()->OpenDatabase(name.c_str(), nullptr, readOnly_ ? 1 : 0,
                                                           exclusive_ ? 1 : 0, nativePassword.c_str(), 0, nullptr,
                                                           nullptr, handle));
        handle_ = handle;
        if (name.empty()) CheckEngineResult(Engine(), Engine()->SetDirectory(handle_, name));
        for (Cardinal property : {dbPROP40005, dbPROP40004, dbPROP4040011})
            SetBoolProp(Engine(), handle_, property, true);
        ReadDatabaseType();
        if (sqlBased_) Engine()->SetProp(handle_, dbPROP4040007, 0);
    } catch (...) {
        // A failed open leaves the database closed.
        if (handle_) Engine()->CloseDatabase(handle_);
        handle_ = nullptr;
        sqlBased_ = false;
        if (aliasAdded_) {
            session_->DeleteAlias(databaseName_);
            aliasAdded_ = false;
        }
        throw;
    }
}

void TbqDatabase::ReadDatabaseType()
{
    char type[DatabaseTypeBufferSize] = {};
    Word length = 0;
    CheckEngineResult(Engine(), Engine()->GetProp(handle_, dbDATABASETYPE, type, sizeof type - 1, length));
    sqlBased_ = CompareText(type, "STANDARD") != 0;
}

void TbqDatabase::CheckDatabaseAlias(std::string& password)
{
    aliasAdded_ = false;
    password.clear();
    const std::string alias = aliasNameSet_ ? aliasName_ : databaseName_;
    TStringList aliasParams;
    session_->GetAliasParams(alias, &aliasParams);
    if (aliasParams.IndexOfName(szUSERNAME) >= 0) password = LoginPassword(&aliasParams);
    const bool ownAlias = (aliasNameSet_ && aliasName_ != databaseName_) | MergeParams(&aliasParams);
    if (!ownAlias) return;
    session_->InternalAddAlias(databaseName_, "", &aliasParams, cfgModeDatabaseAlias, false);
    aliasAdded_ = true;
}

std::string TbqDatabase::LoginPassword(TStrings* aliasParams)
{
    if (!loginPrompt_) return params_->Values(szPASSWORD);
    if (params_->Values(szUSERNAME).empty()) params_->SetValues(szUSERNAME, aliasParams->Values(szUSERNAME));
    TStringList loginParams;
    loginParams.SetValues(szUSERNAME, params_->Values(szUSERNAME));
    Login(&loginParams);
    params_->SetValues(szUSERNAME, loginParams.Values(szUSERNAME));
    return loginParams.Values(szPASSWORD);
}

// Copies the values of Params that the alias has with another value; whether any was copied.
bool TbqDatabase::MergeParams(TStrings* aliasParams)
{
    bool changed = false;
    for (Integer i = 0; i < params_->Count(); ++i) {
        const std::string name = params_->Names(i);
        if (name.empty() || CompareText(name, szPASSWORD) == 0) continue;
        if (aliasParams->IndexOf(params_->Strings(i)) >= 0 || aliasParams->IndexOfName(name) < 0) continue;
        aliasParams->SetValues(name, params_->ValueFromIndex(i));
        changed = true;
    }
    return changed;
}

void TbqDatabase::Close()
{
    if (!Connected() || closing_) return;
    closing_ = true;
    try {
        CloseDataSets();
    } catch (...) {
        closing_ = false;
        throw;
    }
    try {
        if (!acquiredHandle_) session_->CloseDatabaseHandle(this);
    } catch (...) {
        ForgetConnection();
        throw;
    }
    ForgetConnection();
}

// The state of a closed database, also after a failed close.
void TbqDatabase::ForgetConnection()
{
    sqlBased_ = false;
    acquiredHandle_ = false;
    handle_ = nullptr;
    refCount_ = 0;
    if (aliasAdded_) {
        session_->DeleteAlias(databaseName_);
        aliasAdded_ = false;
    }
    closing_ = false;
}
