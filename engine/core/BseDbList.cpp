#include "engine/core/BseDbList.h"

#include <cstring>

#include "engine/core/BseCfg.h"
#include "engine/core/BseError.h"
#include "engine/core/BseRegistry.h"
#include "engine/core/BseSess.h"

namespace {

constexpr size_t ConfigNameStart = 11;  // after "\DATABASES\"

}  // namespace

TBaseDBListTable::TBaseDBListTable(TBaseSession* session, TBoreaCollection* collection, const std::string& typeName)
        : TBaseTable(session, collection, typeName.substr(0, DBIMAXNAMELEN), "", OpenReadOnly, ShareExclusive),
          typeName_(typeName.substr(0, DBIMAXNAMELEN))
{
}

TBaseSession* TBaseDBListTable::Session() const
{
    return static_cast<TBaseSession*>(Owner());
}

Word TBaseDBListTable::GetRecordLength()
{
    return sizeof(DBDesc);
}

void TBaseDBListTable::GetNextRecord(Integer lock, Byte* record, RECProps* properties)
{
    DBDesc row{};
    TBoreaCollection* records = Session()->ConfigRecords();
    while (RecordIndex < records->Count()) {
        auto* config = static_cast<TBaseCfgrecord*>(records->At(RecordIndex++));
        const std::string& path = config->Path();
        if (path.find("DB INFO") == std::string::npos) continue;
        const std::string rest = path.size() > ConfigNameStart ? path.substr(ConfigNameStart) : "";
        PutText(row.szName, rest.substr(0, rest.find('\\')));
        std::string physicalName;
        if (!config->FindValue("PATH", physicalName)) config->FindValue("PhysicalName", physicalName);
        PutText(row.szPhyName, physicalName);
        PutText(row.szDbType, typeName_);
        if (record) std::memcpy(record, &row, sizeof row);
        return;
    }
    RaiseEOF();
}

TRegDBListTable::TRegDBListTable(TBaseSession* session, TBoreaCollection* collection, const std::string& typeName)
        : TBaseDBListTable(session, collection, typeName)
{
}

TRegDBListTable::~TRegDBListTable() = default;

void TRegDBListTable::Open()
{
    keyIndex_ = 0;
    RecordIndex = 0;
    keyNames_.Clear();
    registry_ = std::make_unique<TRightsRegistry>();
    registry_->SetRootKey(Session()->RegistryLocation().Root);
    registry_->SetAccess(KEY_READ);
    if (registry_->OpenKey(Session()->RegistryLocation().Path + "\\" + AliasesKeyName, false))
        registry_->GetKeyNames(&keyNames_);
    SetState(curNone);
}

void TRegDBListTable::Close()
{
    if (State() == curClosed) return;
    SetState(curClosed);
    registry_.reset();
}

void TRegDBListTable::GetNextRecord(Integer lock, Byte* record, RECProps* properties)
{
    if (keyIndex_ == 0) {
        try {
            TBaseDBListTable::GetNextRecord(lock, record, properties);
            return;
        } catch (const EBoreaBoundryError&) {
        }
    }
    while (keyIndex_ < keyNames_.Count()) {
        const std::string keyName = keyNames_.Strings(keyIndex_++);
        if (ReadAliasRow(keyName, record)) return;
    }
    RaiseEOF();
}

bool TRegDBListTable::ReadAliasRow(const std::string& keyName, Byte* record)
{
    if (!registry_ || !registry_->OpenKey(Session()->AliasKey(keyName), false)) return false;
    DBDesc row{};
    try {
        PutText(row.szName, keyName);
        PutText(row.szText, registry_->ReadString("Description"));
        std::string physicalName = registry_->ReadString("PhysicalName");
        if (!physicalName.empty() && !Session()->NoTrailingBackslash && physicalName.back() != '\\')
            physicalName += '\\';
        PutText(row.szPhyName, physicalName);
    } catch (const ERegistryException&) {
        return false;
    }
    PutText(row.szDbType, TypeName());
    if (record) std::memcpy(record, &row, sizeof row);
    return true;
}
