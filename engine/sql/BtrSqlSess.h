// TBtrSqlSession: the session the dataset components create. It is the Btrieve session, and database names with
// "@" are Scalable SQL databases; its databases are TBtrSqlDatabase objects. The SQL requester is loaded by the
// first session that needs it and unloaded, on the main thread, when the last session that loaded it ends.
#pragma once

#include "engine/btrieve/BtrSess.h"

class TBtrSqlSession : public TBtrSession {
    DUN_CLASS(TBtrSqlSession, TBtrSession)
public:
    using TBtrSession::TBtrSession;
    // Frees the databases and ends the Btrieve client before the Btrieve session ends; unloads the SQL requester
    // when this was the last session that loaded it.
    ~TBtrSqlSession() override;

    bool SqlLoaded() const { return sqlLoaded_; }
    // Loads the SQL requester for this session (once); false when it cannot be loaded.
    bool LoadSqlRequesterOnce();

    // TBaseSession
    // A type beginning with "@" stays when the name holds "@" or the directory has USER.DDF.
    void FillDefaultDbType(bool keepType, DBDesc& description) override;
    // Without options the alias's configuration record gives them.
    TBaseDatabase* CreateDatabase(const DBDesc& description, const std::string& name, Integer openMode,
                                  Integer shareMode, const TDatabaseOptions& options) override;
    // With a version 4 requester and its names library: aliases, then the local and remote SQL databases;
    // otherwise the aliases only.
    TBaseTable* OpenDatabaseList() override;

private:
    bool sqlLoaded_ = false;
    bool sqlDatabasesCreated_ = false;
};
