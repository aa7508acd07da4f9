#include "engine/sql/BtrSqlProc.h"

#include <cstring>

#include "engine/btrieve/BtrDict.h"
#include "engine/btrieve/BtrError.h"
#include "engine/btrieve/BtrLoad.h"
#include "engine/core/BseError.h"
#include "engine/core/BseUtil.h"
#include "rtl/StringRoutines.h"

namespace {

constexpr size_t ProcedureNameLength = 30;
constexpr size_t ProcedureNameMax = 64;

}  // namespace

TBtrSqlProcTable::TBtrSqlProcTable(TBapiListItem* owner, TBoreaCollection* collection, const Byte* clientId,
                                   const std::string& directory)
        : TBtrTable(owner, collection, clientId, DictionaryTableName(directory, ProcedureDictionary), "",
                    OpenReadOnly, ShareShared)
{
    std::string path;
    AddBackslash(directory, path);
    SetPhysicalName(path + ProcedureDictionary);
}

void TBtrSqlProcTable::Open()
{
    File()->SetShortBufferTolerated(true);
    TBtrTable::Open();
    File()->SetBufferSize(EntrySize);
}

void TBtrSqlProcTable::ReadNextEntry(Byte* record)
{
    if (State() == curClosed) RaiseEOF();
    const bool first = State() == curNone || State() == curAtBegin;
    std::memset(File()->OwnBuffer(), ' ', EntrySize);
    File()->SetDataBuffer(File()->OwnBuffer());
    try {
        first ? File()->GetFirst() : File()->GetNext();
    } catch (const EBtrieveEngineError& error) {
        if (error.Status() == BtrStatus::KeyNotFound) RaiseEOF();
        throw;
    }
    SetState(curOnRecord);
    if (!record) return;
    TProcedureDesc description{};
    const std::string name(reinterpret_cast<const char*>(File()->OwnBuffer()), ProcedureNameLength);
    const std::string trimmed = Trim(name).substr(0, ProcedureNameMax);
    std::memcpy(description.szName, trimmed.data(), trimmed.size());
    std::memcpy(record, &description, sizeof description);
}

void TBtrSqlProcTable::GetRecord(Integer lock, Byte* record, RECProps* properties)
{
    ReadNextEntry(record);
}

void TBtrSqlProcTable::GetNextRecord(Integer lock, Byte* record, RECProps* properties)
{
    ReadNextEntry(record);
}
