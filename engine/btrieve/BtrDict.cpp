#include "engine/btrieve/BtrDict.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/btrieve/BtrError.h"
#include "engine/btrieve/BtrLoad.h"
#include "engine/btrieve/BtrTblName.h"
#include "engine/btrieve/BtrTblRes.h"
#include "engine/core/BseError.h"
#include "engine/core/BseSessRecords.h"
#include "engine/core/BseUtil.h"
#include "rtl/FileUtils.h"

namespace {

constexpr ShortInt ReadOnlyMode = -2;
constexpr ShortInt FieldFileIdKey = 1;
// The buffer a FILE.DDF record is read into.
constexpr size_t EntryBufferSize = 100;
constexpr ShortInt FieldExtKey = 0;
constexpr Byte FieldExtKeyLength = 6;

std::string DirectoryFile(const std::string& directory, const std::string& file)
{
    std::string path;
    AddBackslash(directory, path);
    return path + file;
}

// Runs a read of the file's own buffer; a missing key ends the list.
template <class Read>
void ReadOwnBuffer(TWinBtr* file, Read read)
{
    file->SetDataBuffer(file->OwnBuffer());
    try {
        read();
    } catch (const EBtrieveEngineError& error) {
        if (error.Status() == BtrStatus::KeyNotFound) RaiseEOF();
        throw;
    }
}

// Whether a FIELD.DDF type may be overridden by FIELDEXT.DDF.
bool HasExtendedType(Byte dataType)
{
    return dataType == 0 || dataType == 1 || dataType == 2 || dataType == 5 || dataType == 14;
}

}  // namespace

std::string DictionaryTableName(const std::string& directory, const std::string& file)
{
    return DirectoryFile(directory, file) + ";OWNER:" + DictionaryOwner;
}

std::string DictionaryEntryName(const TFileDDFRecord& record)
{
    std::string name;
    TrimBuffer(record.Name, sizeof record.Name, name);
    return name.substr(0, name.find('\0'));
}

std::string DictionaryEntryLocation(const TFileDDFRecord& record)
{
    std::string location;
    TrimBuffer(record.Location, sizeof record.Location, location);
    return location.substr(0, location.find('\0'));
}

// ---- table list

TBtrTblListTable::TBtrTblListTable(TBapiListItem* owner, TBoreaCollection* collection, const Byte* clientId,
                                   const std::string& directory, bool extended, bool includeSystem)
        : TBtrTable(owner, collection, clientId, DictionaryTableName(directory, FileDictionary), "", OpenReadOnly,
                    ShareShared),
          extended_(extended),
          includeSystem_(includeSystem)
{
    SetPhysicalName(DirectoryFile(directory, FileDictionary));
}

Word TBtrTblListTable::GetRecordLength()
{
    return extended_ ? sizeof(TBLFullDesc) : sizeof(TBLBaseDesc);
}

void TBtrTblListTable::ReadNextEntry(TFileDDFRecord& entry)
{
    do {
        std::vector<Byte> record(std::max<size_t>(EntryBufferSize, File()->BufferSize()), 0);
        TBtrTable::GetNextRecord(dbiNOLOCK, record.data(), nullptr);
        std::memcpy(&entry, record.data(), sizeof entry);
    } while (!includeSystem_ && (entry.Flags & FileFlagSystem) != 0);
}

void TBtrTblListTable::GetNextRecord(Integer lock, Byte* record, RECProps* properties)
{
    TFileDDFRecord entry{};
    ReadNextEntry(entry);
    if (!record) return;
    TBLFullDesc row{};
    PutText(row.tblBase.szName, DictionaryEntryName(entry));
    PutText(row.tblBase.szFileName, DictionaryEntryLocation(entry));
    std::memcpy(record, &row, GetRecordLength());
}

// ---- field list

TBtrFieldListTable::TBtrFieldListTable(TBapiListItem* owner, TBoreaCollection* collection, const Byte* clientId,
                                       const std::string& directory, const TFileDDFRecord& fileRecord)
        : TBtrTable(owner, collection, clientId, DictionaryTableName(directory, FieldDictionary), "",
                    OpenReadOnly, ShareShared),
          directory_(directory),
          fileRecord_(fileRecord)
{
    SetPhysicalName(DirectoryFile(directory, FieldDictionary));
}

TBtrFieldListTable::~TBtrFieldListTable() = default;

void TBtrFieldListTable::Open()
{
    TBtrTable::Open();
    File()->SetKeyNumber(FieldFileIdKey);
    const std::string extension = DirectoryFile(directory_, FieldExtDictionary);
    if (!FileExists(extension)) return;
    extensionFile_ = std::make_unique<TWinBtr>(ClientId());
    extensionFile_->Open(extension, OwnerName().c_str(), ReadOnlyMode);
}

void TBtrFieldListTable::ReadNextEntry(TFieldDDFRecord& entry)
{
    do {
        if (State() == curNone || State() == curAtBegin) {
            ReadOwnBuffer(File(), [&] { File()->GetEqual(&fileRecord_.FileId, sizeof(Word), FieldFileIdKey); });
            SetState(curOnRecord);
        } else {
            ReadOwnBuffer(File(), [&] { File()->GetNext(); });
        }
        std::memcpy(&entry, File()->OwnBuffer(), sizeof entry);
        if (entry.FileId != fileRecord_.FileId) RaiseEOF();
    } while (entry.Size == 0);
    ApplyExtendedType(entry);
}

void TBtrFieldListTable::ApplyExtendedType(TFieldDDFRecord& entry)
{
    if (!extensionFile_ || !HasExtendedType(entry.DataType)) return;
    Byte key[FieldExtKeyLength] = {};
    std::memcpy(key, &entry.FileId, sizeof(Word));
    std::memcpy(key + sizeof(Word), &entry.FieldId, sizeof(Word));
    extensionFile_->SetDataBuffer(extensionFile_->OwnBuffer());
    try {
        extensionFile_->GetEqual(key, FieldExtKeyLength, FieldExtKey);
    } catch (const EBoreaEngineError&) {
        return;
    }
    entry.DataType = reinterpret_cast<const TFieldExtDDFRecord*>(extensionFile_->OwnBuffer())->ExtendedType;
}

void TBtrFieldListTable::GetNextRecord(Integer lock, Byte* record, RECProps* properties)
{
    if (State() == curNone || State() == curAtBegin) nextFieldNumber_ = 1;
    TFieldDDFRecord entry{};
    ReadNextEntry(entry);
    if (!record) return;
    FLDDesc descriptor{};
    FieldDescFromDictionary(entry, nextFieldNumber_++, descriptor);
    std::memcpy(record, &descriptor, sizeof descriptor);
}

void TBtrFieldListTable::GetRecordCount(Integer& count)
{
    count = 0;
    SetState(curNone);
    try {
        for (;;) {
            TFieldDDFRecord entry{};
            ReadNextEntry(entry);
            ++count;
        }
    } catch (const EBoreaBoundryError&) {
    }
    SetState(curNone);
}

// ---- resource field list

TResFieldListTable::TResFieldListTable(TBapiListItem* owner, TBoreaCollection* collection,
                                       const std::string& tableName)
        : TBaseTable(owner, collection, tableName, "", OpenReadOnly, ShareShared)
{
}

void TResFieldListTable::Open()
{
    TBaseTable::Open();
    const TTableNameOptions options = ParseTableNameOptions(GetTableName());
    TTblResReader reader(this);
    if (!options.HasResource || !reader.Read(options.ResourceName) || FieldCache()->Count() == 0)
        RaiseEngineError(DBIERR_INVALIDHNDL);
    nextItem_ = 0;
}

void TResFieldListTable::SetToBegin()
{
    TBaseTable::SetToBegin();
    nextItem_ = 0;
}

void TResFieldListTable::GetRecordCount(Integer& count)
{
    count = FieldCache()->Count();
}

void TResFieldListTable::GetNextRecord(Integer lock, Byte* record, RECProps* properties)
{
    if (nextItem_ >= FieldCache()->Count()) RaiseEOF();
    const FLDDesc& descriptor = FieldCache()->Item(nextItem_++)->Descriptor;
    if (record) std::memcpy(record, &descriptor, sizeof descriptor);
}
