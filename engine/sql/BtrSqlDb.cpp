#include "engine/sql/BtrSqlDb.h"

#include "engine/btrieve/BtrError.h"
#include "engine/core/BseError.h"
#include "engine/core/BseRegistry.h"
#include "engine/sql/BtrSqlLoad.h"
#include "engine/sql/BtrSqlProc.h"
#include "engine/sql/BtrSqlSess.h"
#include "engine/sql/BtrSqlStmt.h"
#include "rtl/StringRoutines.h"

namespace {

constexpr size_t PathMax = 260;
constexpr size_t ProcedureTextMax = 255;
constexpr SmallInt StatementKind = 0;
constexpr SmallInt ProcedureKind = 1;

bool HasPassword(const TDatabaseOptions& options)
{
    for (Word i = 0; i < options.Count; ++i)
        if (SameText(options.Descriptors[i].szName, "Password")) return true;
    return false;
}

}  // namespace

TBtrSqlDatabase::TBtrSqlDatabase(TBaseSession* owner, TBoreaCollection* collection, const Byte* clientId,
                                 const DBDesc* description, Integer openMode, Integer shareMode, const char* name,
                                 const TDatabaseOptions& options)
        : TBtrDatabase(owner, collection, clientId, description, openMode, shareMode, name, options)
{
    // The base construction could not reach this class's parameter names.
    SetParams(options);
    if (options.Count == 0) ReadAliasLogin(HasPassword(options));
}

TBtrSqlDatabase::~TBtrSqlDatabase()
{
    statements_.FreeAll();
    try {
        Logout();
    } catch (const EBoreaEngineError&) {
    }
}

bool TBtrSqlDatabase::IsNamedSqlDatabase() const
{
    return Name().find('@') != std::string::npos;
}

void TBtrSqlDatabase::ReadAliasLogin(bool passwordGiven)
{
    TRightsRegistry registry;
    registry.SetRootKey(Session()->RegistryLocation().Root);
    registry.SetAccess(KEY_READ);
    if (!registry.OpenKey(Session()->AliasKey(Name()), false)) return;
    TBaseDatabase::SetParam("USER NAME", registry.ReadString("User"));
    if (!passwordGiven) password_ = registry.ReadString("Password");
}

void TBtrSqlDatabase::SetParam(const std::string& name, const std::string& value)
{
    if (SameText(name, "User") || SameText(name, "USER NAME"))
        TBaseDatabase::SetParam("USER NAME", value);
    else if (SameText(name, "Password"))
        password_ = value;
}

TBaseTable* TBtrSqlDatabase::OpenTableList(bool extended, bool includeSystem, const std::string& pattern)
{
    if (IsNamedSqlDatabase() && std::string(Description().szDbType) == "BTRIEVE")
        RaiseSqlError(SqlStatus::SystemTables);
    return TBtrDatabase::OpenTableList(extended, includeSystem, pattern);
}

void TBtrSqlDatabase::BeginTran()
{
    CheckCondition(TranState != 1, DBIERR_ACTIVETRAN);
    if (!loggedIn_) {
        TBtrDatabase::BeginTran();
        return;
    }
    ExecuteText("START TRANSACTION");
    TranState = 1;
}

void TBtrSqlDatabase::EndTran(Integer kind)
{
    if (!loggedIn_) {
        TBtrDatabase::EndTran(kind);
        return;
    }
    ExecuteText(kind == xendABORT ? "ROLLBACK WORK" : "COMMIT WORK");
    TranState = 0;
}

void TBtrSqlDatabase::RequireRequester()
{
    if (sqlLoaded_) return;
    auto* session = dynamic_cast<TBtrSqlSession*>(Session());
    const bool loaded = session ? session->LoadSqlRequesterOnce() : LoadSqlRequester() == 0;
    if (!loaded) RaiseSqlError(SqlStatus::RequesterMissing);
    sqlLoaded_ = true;
}

void TBtrSqlDatabase::Login()
{
    if (loggedIn_) return;
    RequireRequester();
    const std::string physicalName = std::string(Description().szPhyName).substr(0, PathMax);
    const std::string dictionaryPath = IsNamedSqlDatabase() ? Name() : physicalName;
    const std::string dataPath = IsNamedSqlDatabase() ? std::string() : physicalName;
    const SmallInt status =
        XqlLogin(UserName().c_str(), password_.c_str(), dictionaryPath.c_str(), dataPath.c_str(), "", 0);
    if (status == SqlStatus::Ok) loggedIn_ = true;
    if (status == SqlStatus::Ok || status == SqlStatus::OwnerInvalid) return;
    if (status == SqlStatus::PasswordInvalid) RaiseSqlErrorWithText(status, UserName());
    RaiseSqlErrorWithText(status, physicalName);
}

void TBtrSqlDatabase::Logout()
{
    if (!loggedIn_) return;
    loggedIn_ = false;
    CheckSqlStatus(XqlLogout());
}

bool TBtrSqlDatabase::HoldsObject(const TBapiListItem* object) const
{
    return object && statements_.IndexOf(const_cast<TBapiListItem*>(object)) >= 0;
}

TSqlStmt* TBtrSqlDatabase::CreateStatement()
{
    RequireRequester();
    return CreateObject<TSSQLSqlStmt>(this, StatementKind, nullptr, &statements_, ClientId());
}

void TBtrSqlDatabase::PrepareStatement(Word language, const std::string& text, TSqlStmt*& statement, SmallInt kind)
{
    if (language != SqlQueryLanguage) RaiseEngineError(DBIERR_NOTSUPPORTED);
    Login();
    if (statement) {
        statement->SetText(text.c_str());
        return;
    }
    statement = CreateObject<TSSQLSqlStmt>(this, kind, text.c_str(), &statements_, ClientId());
}

TBaseTable* TBtrSqlDatabase::OpenProcedureList()
{
    auto* list = CreateObject<TBtrSqlProcTable>(this, Tables(), ClientId(), std::string(Description().szPhyName));
    try {
        list->Open();
    } catch (...) {
        list->Free();
        throw;
    }
    return list;
}

TSqlStmt* TBtrSqlDatabase::PrepareProcedure(const std::string& name)
{
    Login();
    const std::string text = ("EXEC " + name).substr(0, ProcedureTextMax);
    return CreateObject<TSSQLSqlStmt>(this, ProcedureKind, text.c_str(), &statements_, ClientId());
}

void TBtrSqlDatabase::ExecuteText(const std::string& text)
{
    TSqlStmt* statement = nullptr;
    PrepareStatement(SqlQueryLanguage, text, statement, StatementKind);
    try {
        statement->Execute(nullptr);
    } catch (...) {
        statement->Free();
        throw;
    }
    statement->Free();
}
