// TBtrSqlDatabase: a Btrieve database that can also log in to the Scalable SQL requester. A database whose name
// holds "@" is a named SQL database; any other is a directory. Statements, SQL transactions and the login run
// through the requester, which is loaded on first need; without a login the database is the Btrieve database.
#pragma once

#include <string>

#include "engine/btrieve/BtrDbase.h"

class TSqlStmt;

// The query language PrepareStatement takes.
constexpr Word SqlQueryLanguage = 2;

class TBtrSqlDatabase : public TBtrDatabase {
    DUN_CLASS(TBtrSqlDatabase, TBtrDatabase)
public:
    // Without options the alias key of the name gives "User" and "Password".
    TBtrSqlDatabase(TBaseSession* owner, TBoreaCollection* collection, const Byte* clientId,
                    const DBDesc* description, Integer openMode, Integer shareMode, const char* name,
                    const TDatabaseOptions& options);
    // Frees the statements and logs out.
    ~TBtrSqlDatabase() override;

    bool LoggedIn() const { return loggedIn_; }
    bool IsNamedSqlDatabase() const;
    const std::string& Password() const { return password_; }
    TBoreaCollection* Statements() { return &statements_; }

    // TBaseDatabase
    std::string GetDbType() override { return "SQL"; }
    // "User" or "USER NAME" set the user name, "Password" the password (names compared ignoring case).
    void SetParam(const std::string& name, const std::string& value) override;
    // The system tables of a named SQL database of type BTRIEVE cannot be listed (EScalableSQLEngineError 285).
    TBaseTable* OpenTableList(bool extended, bool includeSystem, const std::string& pattern) override;
    // Logged in: "START TRANSACTION"; otherwise a Btrieve transaction. One at a time (DBIERR_ACTIVETRAN).
    void BeginTran() override;
    // Logged in: "ROLLBACK WORK" for xendABORT, else "COMMIT WORK"; otherwise the Btrieve transaction ends.
    void EndTran(Integer kind) override;
    // The database's statements (its result cursors are among its tables).
    bool HoldsObject(const TBapiListItem* object) const override;

    // Logs in once: a named database with its name as dictionary and no data path, a directory with its physical
    // name as both. Owner name invalid (51) is accepted without a login; a wrong password raises 205 with the user
    // name, any other failure the status with the physical name.
    virtual void Login();
    virtual void Logout();
    // A new statement of kind 0 without text.
    virtual TSqlStmt* CreateStatement();
    // Language SqlQueryLanguage only (else DBIERR_NOTSUPPORTED); logs in; statement, when given, gets the text,
    // else a new statement of kind is made.
    virtual void PrepareStatement(Word language, const std::string& text, TSqlStmt*& statement, SmallInt kind);
    // The stored procedures listed in PROC.DDF of the database directory, opened.
    virtual TBaseTable* OpenProcedureList();
    // A statement of kind 1 running "EXEC " + name.
    virtual TSqlStmt* PrepareProcedure(const std::string& name);
    // Prepares, runs and frees a statement of text.
    void ExecuteText(const std::string& text);

private:
    void RequireRequester();
    void ReadAliasLogin(bool passwordGiven);

    TBoreaCollection statements_;
    bool sqlLoaded_ = false;
    bool loggedIn_ = false;
    std::string password_;
};
