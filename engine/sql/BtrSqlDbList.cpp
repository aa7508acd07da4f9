#include "engine/sql/BtrSqlDbList.h"

#include <cstring>

#include "engine/core/BseDbList.h"
#include "engine/core/BseError.h"
#include "engine/core/BseSess.h"
#include "engine/sql/BtrSqlLoad.h"
#include "rtl/StringRoutines.h"

namespace {

constexpr const char* AliasDbType = "BTRIEVE";

}  // namespace

TSSQLDatabaseTable::TSSQLDatabaseTable(TBaseSession* session, TBoreaCollection* collection)
        : TBaseTable(session, collection, "", "", OpenReadOnly, ShareShared)
{
}

void TSSQLDatabaseTable::AfterCreate()
{
    rows_.clear();
    AddAliases();
    AddNames(SqlGetCountDatabaseNames, SqlGetDatabaseNames, "LOCAL");
    AddNames(SqlGetCountRemoteDatabaseNames, SqlGetRemoteDatabaseNames, "REMOTE");
    position_ = 0;
}

void TSSQLDatabaseTable::AddAliases()
{
    auto* aliases = CreateObject<TRegDBListTable>(static_cast<TBaseSession*>(Owner()), nullptr, AliasDbType);
    try {
        aliases->Open();
        for (;;) {
            DBDesc row{};
            aliases->GetNextRecord(dbiNOLOCK, reinterpret_cast<Byte*>(&row), nullptr);
            rows_.push_back(row);
        }
    } catch (const EBoreaBoundryError&) {
    } catch (...) {
        aliases->Free();
        throw;
    }
    aliases->Free();
}

void TSSQLDatabaseTable::AddNames(SmallInt (*countNames)(SmallInt&), SmallInt (*getName)(SmallInt, char*),
                                  const char* where)
{
    SmallInt count = 0;
    if (countNames(count) != SqlStatus::Ok) return;
    for (SmallInt i = 0; i < count; ++i) {
        char name[SqlDatabaseNameLength + 1] = {};
        if (getName(i, name) != SqlStatus::Ok) return;
        const std::string sqlName = "@" + Trim(std::string(name, strnlen(name, SqlDatabaseNameLength)));
        DBDesc row{};
        PutText(row.szName, sqlName);
        PutText(row.szText, where);
        PutText(row.szPhyName, sqlName);
        PutText(row.szDbType, AliasDbType);
        rows_.push_back(row);
    }
}

void TSSQLDatabaseTable::SetToBegin()
{
    TBaseTable::SetToBegin();
    position_ = 0;
}

void TSSQLDatabaseTable::GetNextRecord(Integer lock, Byte* record, RECProps* properties)
{
    if (position_ >= rows_.size()) RaiseEOF();
    std::memcpy(CheckParam(record), &rows_[position_++], sizeof(DBDesc));
}
