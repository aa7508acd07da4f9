#include "engine/core/BseDb.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/core/BseError.h"
#include "engine/core/BseMemTable.h"
#include "engine/core/BseSess.h"
#include "engine/core/BseUtil.h"
#include "rtl/StringRoutines.h"

namespace {

constexpr size_t UserNameMax = 31;
constexpr size_t CountNameMax = 31;

std::string OptionValue(const TDatabaseOptions& options, Word index)
{
    if (!options.Values) return "";
    return reinterpret_cast<const char*>(options.Values) + options.Descriptors[index].iOffset;
}

}  // namespace

TBaseDatabase::TBaseDatabase(TBaseSession* owner, TBoreaCollection* collection, const DBDesc* description,
                             Integer openMode, Integer shareMode, const char* name, const TDatabaseOptions& options)
        : TBapiListItem(owner, collection)
{
    SetParams(options);
    if (description) description_ = *description;
    if (name) name_ = std::string(name).substr(0, DBIMAXNAMELEN);
    SetModes(openMode, shareMode);
}

TBaseDatabase::~TBaseDatabase()
{
    tables_.FreeAll();
    ResetPending();
}

TBaseSession* TBaseDatabase::Session() const
{
    return static_cast<TBaseSession*>(Owner());
}

void TBaseDatabase::GetProp(Cardinal property, void* buffer, Word& length, Word maxLength)
{
    switch (Word(property)) {
    case dbPROPVERSION: {
        const Word version = DatabasePropVersion;
        std::memcpy(buffer, &version, sizeof version);
        length = sizeof version;
        return;
    }
    case dbPROPDBTYPE: {
        const std::string type = GetDbType().substr(0, maxLength > 0 ? maxLength - 1 : 0);
        std::memcpy(buffer, type.c_str(), type.size() + 1);
        length = Word(type.size() + 1);
        return;
    }
    default:
        RaiseEngineError(DBIERR_NOTSUPPORTED);
    }
}

void TBaseDatabase::CheckProp(Cardinal property, bool flag)
{
    const Word number = Word(property);
    if ((number == 1 || number == 2) && flag) RaiseEngineError(DBIERR_NOTSUPPORTED);
}

void TBaseDatabase::SetModes(Integer openMode, Integer shareMode)
{
    openMode_ = openMode;
    shareMode_ = shareMode;
}

void TBaseDatabase::SetParam(const std::string& name, const std::string& value)
{
    if (SameText(name, "USER NAME")) userName_ = value.substr(0, UserNameMax);
}

void TBaseDatabase::SetParams(const TDatabaseOptions& options)
{
    if (!options.Descriptors) return;
    for (Word i = 0; i < options.Count; ++i) SetParam(options.Descriptors[i].szName, OptionValue(options, i));
}

TBaseTable* TBaseDatabase::FindOpenTable(const std::string& name)
{
    const bool byPath = IsPathName(name, true);
    for (Integer i = 0; i < tables_.Count(); ++i) {
        auto* cursor = static_cast<TBaseTable*>(tables_.At(i));
        const std::string candidate = byPath ? cursor->GetPhysicalName() : cursor->GetTableName();
        if (SameText(candidate, name) && !cursor->GetPhysicalName().empty()) return cursor;
    }
    RaiseEngineErrorText(DBIERR_NOSUCHTABLE, name);
}

TBaseTable* TBaseDatabase::FindOpenTableByName(const std::string& name)
{
    return FindOpenTable(name.substr(0, name.find(';')));
}

void TBaseDatabase::SetDirectory(const std::string& directory)
{
    PutText(description_.szPhyName, directory);
}

std::string TBaseDatabase::GetDirectory()
{
    return description_.szPhyName;
}

TBaseTable* TBaseDatabase::CloneTable(TBaseTable* cursor)
{
    return OpenTable(cursor->GetTableName(), "", DefaultIndexId, cursor->OpenMode(), cursor->ShareMode());
}

void TBaseDatabase::RenameTable(const std::string& oldName, const std::string& newName)
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

void TBaseDatabase::DeleteTable(const std::string& name)
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

TBaseTable* TBaseDatabase::OpenIndexList(const std::string& tableName)
{
    TBaseTable* open = nullptr;
    try {
        open = FindOpenTableByName(tableName);
    } catch (const EBoreaEngineError&) {
    }
    TBaseTable* own = nullptr;
    if (!open || open->State() == curClosed)
        open = own = OpenTable(tableName, "", DefaultIndexId, OpenReadOnly, ShareShared);
    try {
        CURProps properties{};
        open->GetCursorProps(properties);
        CheckCondition(properties.iIndexes > 0, DBIERR_NOTINDEXED);
        std::vector<IDXDesc> indexes(properties.iIndexes);
        open->GetIndexDescs(indexes.data());
        auto* list = CreateObject<TIndexListTable>(this, &tables_);
        list->SetRows(properties.iIndexes, reinterpret_cast<const Byte*>(indexes.data()));
        if (own) own->Free();
        return list;
    } catch (...) {
        if (own) own->Free();
        throw;
    }
}

TBaseTable* TBaseDatabase::OpenVchkList(const std::string& tableName)
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

bool TBaseDatabase::TableExists(const std::string& name)
{
    TBaseTable* list = OpenTableList(false, true, "");
    const std::string wanted = UpperCase(name);
    bool exists = false;
    try {
        std::vector<Byte> row(list->GetRecordBufferSize() + 1, 0);
        for (;;) {
            list->GetNextRecord(dbiNOLOCK, row.data(), nullptr);
            if (SameText(reinterpret_cast<const char*>(row.data()), wanted)) {
                exists = true;
                break;
            }
        }
    } catch (const EBoreaBoundryError&) {
    } catch (...) {
        list->Free();
        throw;
    }
    list->Free();
    return exists;
}

Integer TBaseDatabase::CountOpenTables(const std::string& name)
{
    Integer count = 0;
    const std::string wanted = name.substr(0, CountNameMax);
    for (Integer i = 0; i < tables_.Count(); ++i) {
        if (SameText(static_cast<TBaseTable*>(tables_.At(i))->GetTableName().substr(0, CountNameMax), wanted))
            ++count;
    }
    if (count == 0) RaiseEngineErrorText(DBIERR_NOSUCHTABLE, name);
    return count;
}

template <class Action>
void TBaseDatabase::WithCursor(TBaseTable* cursor, const std::string& tableName, Action action)
{
    if (cursor) {
        action(cursor);
        return;
    }
    TBaseTable* own = OpenTable(tableName, "", DefaultIndexId, OpenReadWrite, ShareShared);
    try {
        action(own);
    } catch (...) {
        own->Free();
        throw;
    }
    own->Free();
}

void TBaseDatabase::EmptyTable(TBaseTable* cursor, const std::string& tableName)
{
    WithCursor(cursor, tableName, [](TBaseTable* table) { table->EmptyTable(); });
}

TBaseTable* TBaseDatabase::CreateInMemTable(const std::string& name, Word fieldCount, const FLDDesc* descriptors)
{
    if (!descriptors || fieldCount == 0) RaiseEngineErrorText(DBIERR_INVALIDPARAM, name);
    try {
        return CreateObject<TMemTable>(this, nullptr, descriptors, 0, fieldCount, name, &tables_);
    } catch (const EBoreaEngineError&) {
        RaiseEngineErrorText(DBIERR_INVALIDTABLECREATE, name);
    }
}

void TBaseDatabase::AddIndex(TBaseTable* cursor, const std::string& tableName, const IDXDesc& descriptor)
{
    WithCursor(cursor, tableName, [&](TBaseTable* table) { table->AddIndex(descriptor); });
}

void TBaseDatabase::DeleteIndex(TBaseTable* cursor, const std::string& tableName, const std::string& indexName)
{
    WithCursor(cursor, tableName, [&](TBaseTable* table) { table->DeleteIndex(indexName); });
}

void TBaseDatabase::BeginTran()
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

void TBaseDatabase::EndTran(Integer kind)
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

void TBaseDatabase::GetTranInfo(XInfo& information)
{
    std::memset(&information, 0, sizeof information);
    information.exState = TranState;
    information.eXIL = IsolationLevel;
}

TBaseListTable::TBaseListTable(TBaseDatabase* database, TBoreaCollection* collection)
        : TBaseTable(database, collection, "", "", OpenReadOnly, ShareShared)
{
}

void TBaseListTable::SetRows(Word rowCount, const Byte* rows)
{
    rowCount_ = rowCount;
    rows_.assign(size_t(rowCount) * GetRecordBufferSize(), 0);
    if (rows) std::memcpy(rows_.data(), rows, rows_.size());
    position_ = 0;
}

void TBaseListTable::GetNextRecord(Integer lock, Byte* record, RECProps* properties)
{
    if (position_ >= rowCount_) RaiseEOF();
    const size_t size = GetRecordBufferSize();
    if (record) std::memcpy(record, rows_.data() + position_ * size, size);
    ++position_;
}
