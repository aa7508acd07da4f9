#include "engine/btrieve/BtrDbase.h"

#include <cstddef>
#include <cstring>

#include "engine/btrieve/BtrDict.h"
#include "engine/btrieve/BtrError.h"
#include "engine/btrieve/BtrTable.h"
#include "engine/btrieve/BtrTblRes.h"
#include "engine/btrieve/BtrWObj.h"
#include "engine/core/BseError.h"
#include "engine/core/BseSess.h"
#include "engine/core/BseUtil.h"
#include "rtl/FileUtils.h"
#include "rtl/StringRoutines.h"

namespace {

constexpr size_t DirectorySize = 261;

std::string BareName(const std::string& name)
{
    return name.substr(0, name.find(';'));
}

std::string FilePart(const std::string& path)
{
    const size_t slash = path.find_last_of("\\:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DirectoryPart(const std::string& path)
{
    const size_t slash = path.find_last_of("\\:");
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

bool IsAbsolute(const std::string& path)
{
    return path.find(':') != std::string::npos || (!path.empty() && path[0] == '\\');
}

constexpr ShortInt NormalMode = 0;
constexpr size_t NewNameMax = 19;

// A dictionary file opened with the dictionary owner, closed again on every path.
class TDictionaryFile {
public:
    TDictionaryFile(const Byte* clientId, const std::string& path) : file_(clientId)
    {
        file_.Open(path, DictionaryOwner, NormalMode);
    }
    ~TDictionaryFile()
    {
        try {
            file_.Close();
        } catch (const EBoreaEngineError&) {
        }
    }
    TDictionaryFile(const TDictionaryFile&) = delete;
    TDictionaryFile& operator=(const TDictionaryFile&) = delete;

    TWinBtr& File() { return file_; }

    // Reads the next record in physical order into the file's own buffer; false at the end.
    bool Step(bool first)
    {
        file_.SetDataBuffer(file_.OwnBuffer());
        try {
            first ? file_.GetFirst() : file_.GetNext();
        } catch (const EBoreaEOFError&) {
            return false;
        }
        return true;
    }

private:
    TWinBtr file_;
};

}  // namespace

TBtrDatabase::TBtrDatabase(TBaseSession* owner, TBoreaCollection* collection, const Byte* clientId,
                           const DBDesc* description, Integer openMode, Integer shareMode, const char* name,
                           const TDatabaseOptions& options)
        : TBaseDatabase(owner, collection, description, openMode, shareMode, name, options), clientId_(clientId)
{
}

std::string TBtrDatabase::Directory()
{
    std::string directory;
    AddBackslash(Description().szPhyName, directory);
    return directory;
}

void TBtrDatabase::SetDirectory(const std::string& directory)
{
    TWinBtr scratch(clientId_);
    scratch.SetDirectory(directory);
}

std::string TBtrDatabase::GetDirectory()
{
    TWinBtr scratch(clientId_);
    char directory[DirectorySize] = {};
    scratch.GetDirectory(directory, sizeof directory);
    return directory;
}

std::string TBtrDatabase::ResourceFilePath(const std::string& name)
{
    const std::string bare = BareName(name);
    const std::string directory = DirectoryPart(bare);
    return (directory.empty() ? Directory() : directory) + FilePart(bare);
}

TBaseTable* TBtrDatabase::OpenTable(const std::string& name, const std::string& indexName, Word indexId,
                                    Integer openMode, Integer shareMode)
{
    auto* cursor = CreateObject<TBtrTable>(this, Tables(), clientId_, name, "", openMode, shareMode);
    try {
        PrepareCursor(cursor, name, indexName, indexId);
    } catch (...) {
        cursor->Free();
        throw;
    }
    return cursor;
}

void TBtrDatabase::PrepareCursor(TBtrTable* cursor, const std::string& name, const std::string& indexName,
                                 Word indexId)
{
    const bool fileName = IsPathName(BareName(name), true);
    bool hasLayout = false;
    if (cursor->HasResource()) {
        TTblResReader reader(cursor);
        hasLayout = reader.Read(cursor->ResourceName()) && cursor->FieldCache()->Count() > 0;
    }
    std::string path;
    if (hasLayout && fileName) {
        path = ResourceFilePath(name);
    } else {
        TFileDDFRecord record{};
        path = LookUpDictionary(name, record);
        std::memcpy(cursor->DriverBlock(), &record, sizeof record);
    }
    cursor->SetPhysicalName(path);
    cursor->Open();
    if (!hasLayout) LoadFields(cursor, name);
    if (!indexName.empty()) {
        cursor->SwitchToIndex(indexName, false);
    } else if (indexId == NoIndexId) {
        cursor->SelectPhysicalOrder();
    } else {
        IDXDesc descriptor{};
        cursor->GetIndexDesc(0, descriptor);
    }
}

std::string TBtrDatabase::LookUpDictionary(const std::string& name, TFileDDFRecord& record)
{
    std::memset(&record, 0, sizeof record);
    const std::string bare = BareName(name);
    try {
        TBaseTable* open = FindOpenTable(bare);
        if (open->DriverBlock()) std::memcpy(&record, open->DriverBlock(), sizeof record);
        return open->GetPhysicalName();
    } catch (const EBoreaEngineError&) {
    }
    const bool fileName = IsPathName(bare, true);
    auto* list = CreateObject<TBtrTblListTable>(this, Tables(), clientId_, Directory(), false, true);
    std::string location;
    bool found = false;
    try {
        list->Open();
        while (!found) {
            list->ReadNextEntry(record);
            location = DictionaryEntryLocation(record);
            found = fileName ? SameText(FilePart(location), FilePart(bare))
                             : SameText(DictionaryEntryName(record), bare);
        }
    } catch (const EBoreaBoundryError&) {
    } catch (...) {
        list->Free();
        std::memset(&record, 0, sizeof record);
        throw;
    }
    list->Free();
    if (!found) {
        std::memset(&record, 0, sizeof record);
        throw EBtrieveEngineError(BtrStatusNotInDictionary, bare);
    }
    if (bare.find(':') != std::string::npos) return bare;
    return IsAbsolute(location) ? location : Directory() + location;
}

void TBtrDatabase::LoadFields(TBtrTable* cursor, const std::string& name)
{
    TBaseTable* other = nullptr;
    try {
        other = FindOpenTableByName(name);
    } catch (const EBoreaEngineError&) {
    }
    if (other && other != cursor) {
        CopyFields(other, cursor);
        cursor->MemoLastFromFields();
        return;
    }
    auto* list = static_cast<TBtrFieldListTable*>(OpenFieldList(BareName(name), cursor->DriverBlock()));
    try {
        cursor->FieldCache()->Clear();
        for (Word number = 1;; ++number) {
            TFieldDDFRecord entry{};
            try {
                list->ReadNextEntry(entry);
            } catch (const EBoreaBoundryError&) {
                break;
            }
            auto* item = new TFieldCacheItem(cursor->FieldCache());
            cursor->GetFieldDesc(number, &entry, item->LocalSize, item->LocalType, item->Descriptor);
        }
    } catch (...) {
        list->Free();
        throw;
    }
    list->Free();
    Word fieldCount = 0;
    Word recordSize = 0;
    cursor->GetRecordSize(fieldCount, recordSize);
}

void TBtrDatabase::CopyFields(TBaseTable* from, TBaseTable* to)
{
    to->FieldCache()->Clear();
    for (Integer i = 0; i < from->FieldCache()->Count(); ++i) {
        const TFieldCacheItem* source = from->FieldCache()->Item(i);
        auto* item = new TFieldCacheItem(to->FieldCache());
        item->Descriptor = source->Descriptor;
        item->LocalType = source->LocalType;
        item->LocalSize = source->LocalSize;
    }
}

TBaseTable* TBtrDatabase::CloneTable(TBaseTable* cursor)
{
    const auto* btrieve = dynamic_cast<TBtrBaseTable*>(cursor);
    if (!btrieve) return TBaseDatabase::CloneTable(cursor);
    std::string name = cursor->GetTableName();
    if (btrieve->HasResource()) name += ";RES:" + btrieve->ResourceName();
    if (!btrieve->OwnerName().empty()) name += ";OWNER:" + btrieve->OwnerName();
    return OpenTable(name, "", DefaultIndexId, cursor->OpenMode(), cursor->ShareMode());
}

TBaseTable* TBtrDatabase::OpenTableList(bool extended, bool includeSystem, const std::string& pattern)
{
    auto* list = CreateObject<TBtrTblListTable>(this, Tables(), clientId_, Directory(), extended, includeSystem);
    try {
        list->Open();
    } catch (...) {
        list->Free();
        throw;
    }
    return list;
}

TBaseTable* TBtrDatabase::OpenFieldList(const std::string& tableName, const void* fileRecord)
{
    if (UpperCase(tableName).find(";RES:") != std::string::npos) {
        auto* resourceList = CreateObject<TResFieldListTable>(this, Tables(), tableName);
        try {
            resourceList->Open();
            return resourceList;
        } catch (const EBoreaEngineError&) {
            resourceList->Free();
        }
    }
    TFileDDFRecord record{};
    if (fileRecord)
        std::memcpy(&record, fileRecord, sizeof record);
    else
        LookUpDictionary(tableName, record);
    auto* list = CreateObject<TBtrFieldListTable>(this, Tables(), clientId_, Directory(), record);
    try {
        list->Open();
    } catch (...) {
        list->Free();
        throw;
    }
    return list;
}

void TBtrDatabase::BeginTran()
{
    CheckCondition(TranState != 1, DBIERR_ACTIVETRAN);
    TWinBtr scratch(clientId_);
    scratch.BeginTransaction(false);
    TranState = 1;
}

void TBtrDatabase::EndTran(Integer kind)
{
    TWinBtr scratch(clientId_);
    TranState = 0;
    if (kind == xendABORT)
        scratch.AbortTransaction();
    else
        scratch.EndTransaction();
}

Word TBtrDatabase::FindDictionaryEntry(TWinBtr& fileDictionary, const std::string& name)
{
    fileDictionary.SetDataBuffer(fileDictionary.OwnBuffer());
    for (bool first = true;; first = false) {
        try {
            first ? fileDictionary.GetFirst() : fileDictionary.GetNext();
        } catch (const EBoreaEOFError&) {
            throw EBtrieveEngineError(BtrStatusNotInDictionary, name);
        }
        const auto* entry = reinterpret_cast<const TFileDDFRecord*>(fileDictionary.OwnBuffer());
        if (SameText(DictionaryEntryName(*entry), name)) return entry->FileId;
    }
}

void TBtrDatabase::DeleteDictionaryRecords(const std::string& file, size_t fileIdOffset, Word fileId)
{
    if (!FileExists(Directory() + file)) return;
    TDictionaryFile dictionary(clientId_, Directory() + file);
    bool deleted = true;
    while (deleted) {
        deleted = false;
        for (bool first = true; !deleted && dictionary.Step(first); first = false) {
            Word recordFileId = 0;
            std::memcpy(&recordFileId, dictionary.File().OwnBuffer() + fileIdOffset, sizeof recordFileId);
            if (recordFileId != fileId) continue;
            dictionary.File().Delete();
            deleted = true;
        }
    }
}

void TBtrDatabase::DeleteTable(const std::string& name)
{
    Word fileId = 0;
    {
        TDictionaryFile files(clientId_, Directory() + FileDictionary);
        fileId = FindDictionaryEntry(files.File(), name);
        files.File().Delete();
    }
    DeleteDictionaryRecords(FieldDictionary, offsetof(TFieldDDFRecord, FileId), fileId);
    DeleteDictionaryRecords(IndexDictionary, 0, fileId);
    DeleteDictionaryRecords(FieldExtDictionary, offsetof(TFieldExtDDFRecord, FileId), fileId);
}

void TBtrDatabase::RenameTable(const std::string& oldName, const std::string& newName)
{
    TDictionaryFile files(clientId_, Directory() + FileDictionary);
    TWinBtr& file = files.File();
    FindDictionaryEntry(file, oldName);
    const Cardinal position = file.GetPosition();
    file.SetDataBuffer(file.OwnBuffer());
    file.SetLockBias(TWinBtr::SingleNoWaitLockBias);
    file.GetDirect(position);
    auto* entry = reinterpret_cast<TFileDDFRecord*>(file.OwnBuffer());
    std::memset(entry->Name, 0, sizeof entry->Name);
    const std::string name = newName.substr(0, NewNameMax);
    std::memcpy(entry->Name, name.data(), name.size());
    file.Update();
}
