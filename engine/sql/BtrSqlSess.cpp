#include "engine/sql/BtrSqlSess.h"

#include <cstring>
#include <vector>

#include "engine/btrieve/BtrWObj.h"
#include "engine/core/BseCfg.h"
#include "engine/sql/BtrSqlDb.h"
#include "engine/sql/BtrSqlDbList.h"
#include "engine/sql/BtrSqlLoad.h"
#include "rtl/FileUtils.h"

namespace {

// Sessions that loaded the SQL requester and have not ended.
Integer sqlSessions = 0;

}  // namespace

TBtrSqlSession::~TBtrSqlSession()
{
    if (sqlDatabasesCreated_) {
        FreeObjects();
        TWinBtr scratch(ClientId());
        scratch.Stop();
    }
    if (sqlLoaded_ && --sqlSessions == 0 && IsMainThread()) UnloadSqlRequester();
}

bool TBtrSqlSession::LoadSqlRequesterOnce()
{
    if (sqlLoaded_) return true;
    if (LoadSqlRequester() != SqlStatus::Ok) return false;
    sqlLoaded_ = true;
    ++sqlSessions;
    return true;
}

void TBtrSqlSession::FillDefaultDbType(bool keepType, DBDesc& description)
{
    const bool sqlType = description.szDbType[0] == '@';
    const bool keep = sqlType && (std::strchr(description.szName, '@') != nullptr ||
                                  FileExists(IncludeTrailingBackslash(description.szPhyName) + "USER.DDF"));
    if (!keep) TBtrSession::FillDefaultDbType(keepType, description);
}

TBaseDatabase* TBtrSqlSession::CreateDatabase(const DBDesc& description, const std::string& name,
                                              Integer openMode, Integer shareMode, const TDatabaseOptions& options)
{
    const DBDesc copy = description;
    TDatabaseOptions given = options;
    std::vector<FLDDesc> descriptors;
    std::vector<Byte> values;
    if (options.Count == 0) {
        if (const TBaseCfgrecord* record = FindConfigRecord(AliasConfigPath(name.empty() ? copy.szName : name))) {
            descriptors.assign(record->Descriptors(), record->Descriptors() + record->Count());
            values.assign(record->Values(), record->Values() + record->TotalLength());
            given = TDatabaseOptions{Word(descriptors.size()), descriptors.data(), values.data()};
        }
    }
    auto* database = CreateObject<TBtrSqlDatabase>(this, Databases(), ClientId(), &copy, openMode, shareMode,
                                                   name.c_str(), given);
    sqlDatabasesCreated_ = true;
    return database;
}

TBaseTable* TBtrSqlSession::OpenDatabaseList()
{
    const bool version4 = !SqlNamesUnavailable() && IsScalableSql4();
    // A requester loaded by the version check is this session's to unload.
    if (SqlRequesterLoaded()) LoadSqlRequesterOnce();
    if (version4) {
        if (sqlLoaded_ && SqlNamesLoaded()) {
            auto* list = CreateObject<TSSQLDatabaseTable>(this, ListCursors());
            list->Open();
            return list;
        }
        MarkSqlNamesUnavailable();
    }
    return TBtrSession::OpenDatabaseList();
}
