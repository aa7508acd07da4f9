#include "engine/core/BseSess.h"

#include <cstring>

#include "engine/core/BseDb.h"
#include "engine/core/BseError.h"
#include "engine/core/BseUtil.h"
#include "rtl/StringRoutines.h"

namespace {

constexpr size_t SessionNameMax = 31;
constexpr size_t DirectoryMax = 260;

template <class T>
void ZeroRecord(T& record)
{
    std::memset(&record, 0, sizeof record);
}

// Frees a list cursor on every path.
class TListCursorScope {
public:
    explicit TListCursorScope(TBaseTable* cursor) : cursor_(cursor) {}
    ~TListCursorScope() { cursor_->Free(); }
    TListCursorScope(const TListCursorScope&) = delete;
    TListCursorScope& operator=(const TListCursorScope&) = delete;

private:
    TBaseTable* cursor_;
};

}  // namespace

TBaseSession::TBaseSession(TBapiListItem* owner, const std::string& netDir, const std::string& name,
                           TBoreaCollection* collection)
        : TBapiListItem(owner, collection), name_(name.substr(0, SessionNameMax))
{
    if (!netDir.empty()) {
        netDir_ = netDir.substr(0, DirectoryMax);
        privateDir_ = netDir_;
    }
}

TBaseSession::~TBaseSession()
{
    FreeObjects();
}

void TBaseSession::FreeObjects()
{
    databases_.FreeAll();
    configRecords_.FreeAll();
    listCursors_.FreeAll();
}

void TBaseSession::AfterConstruction()
{
    TBapiListItem::AfterConstruction();
    AfterCreate();
}

void TBaseSession::SetPrivateDir(const std::string& directory)
{
    privateDir_ = directory.substr(0, DirectoryMax);
}

void TBaseSession::GetProp(Cardinal property, void* buffer, Word& length, Word maxLength)
{
    if (property == sesCURRENTDIR) {
        char directory[CurrentDirBufferSize] = {};
        GetCurrentDirectoryA(sizeof directory, directory);
        std::memcpy(buffer, directory, std::strlen(directory) + 1);
        length = Word(std::strlen(directory) + 1);
    } else if (property == sesPROPVALUE || property == sesPROPVALUE2) {
        std::memcpy(buffer, &propertyValue_, sizeof propertyValue_);
        length = sizeof propertyValue_;
    } else {
        RaiseEngineError(DBIERR_NOTSUPPORTED);
    }
}

void TBaseSession::SetProp(Cardinal property, uintptr_t value)
{
    if (property == sesPROPVALUE || property == sesPROPVALUE2) propertyValue_ = Cardinal(value);
}

void TBaseSession::FillSesInfo(SESInfo& information)
{
    ZeroRecord(information);
    information.iSession = Word(IndexInCollection());
    PutText(information.szName, name_);
    information.iDatabases = Word(databases_.Count());
    Integer cursors = 0;
    for (Integer i = 0; i < databases_.Count(); ++i)
        cursors += static_cast<TBaseDatabase*>(databases_.At(i))->CursorCount();
    information.iCursors = Word(cursors);
    PutText(information.szNetDir, netDir_);
    PutText(information.szPrivDir, privateDir_);
}

void TBaseSession::FillDefaultDbType(bool keepType, DBDesc& description)
{
    if (!keepType) PutText(description.szDbType, StandardDbType);
}

std::string TBaseSession::WithBackslash(const std::string& directory) const
{
    if (NoTrailingBackslash || directory.empty() || directory.back() == '\\') return directory;
    return directory + "\\";
}

void TBaseSession::GetDatabaseDesc(const std::string& name, DBDesc& description, bool keepType)
{
    if (IsPathName(name, true)) {
        ZeroRecord(description);
        PutText(description.szName, "PATH");
        PutText(description.szText, "PATH");
        PutText(description.szPhyName, WithBackslash(name));
        FillDefaultDbType(false, description);
        return;
    }
    TBaseTable* list = OpenDatabaseList();
    TListCursorScope scope(list);
    try {
        for (;;) {
            DBDesc row{};
            list->GetNextRecord(dbiNOLOCK, reinterpret_cast<Byte*>(&row), nullptr);
            if (!SameText(row.szName, name)) continue;
            description = row;
            FillDefaultDbType(keepType, description);
            return;
        }
    } catch (const EBoreaEOFError&) {
        RaiseEngineErrorText(DBIERR_UNKNOWNDB, name);
    }
}

void TBaseSession::GetDatabaseDescByName(const std::string& name, DBDesc& description)
{
    GetDatabaseDesc(name, description, false);
}

TBaseDatabase* TBaseSession::CreateDatabase(const DBDesc& description, const std::string& name, Integer openMode,
                                            Integer shareMode, const TDatabaseOptions& options)
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

TBaseDatabase* TBaseSession::OpenDatabase(const char* name, const char* type, Integer openMode, Integer shareMode,
                                          const char* password, const TDatabaseOptions& options)
{
    CheckParam(name);
    DBDesc description{};
    GetDatabaseDesc(name, description, true);
    return CreateDatabase(description, name, openMode, shareMode, options);
}

void TBaseSession::CloseList(TBaseTable*& cursor)
{
    if (cursor) cursor->Free();
    cursor = nullptr;
}

void TBaseSession::CountOpenTables(bool all, const std::string& name, Integer& count)
{
    count = 0;
    if (!all) return;
    for (Integer i = 0; i < databases_.Count(); ++i)
        count += static_cast<TBaseDatabase*>(databases_.At(i))->CountOpenTables(name);
}

void TBaseSession::NativeToAnsi(char* dest, bool& dataLoss, Word length, const char* source)
{
    dataLoss = false;
    if (IgnoreOemAnsi)
        std::memmove(dest, source, length);
    else
        OemToCharBuffA(source, dest, length);
}

void TBaseSession::AnsiToNative(char* dest, bool& dataLoss, Word length, const char* source)
{
    dataLoss = false;
    if (IgnoreAnsiOem)
        std::memmove(dest, source, length);
    else
        CharToOemBuffA(source, dest, length);
}

void TBaseSession::RegisterCallBack()
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

void TBaseSession::GetSysVersion(SYSVersion& version)
{
    ZeroRecord(version);
}

void TBaseSession::GetClientInfo(CLIENTInfo& information)
{
    ZeroRecord(information);
    information.iSessions = Word(Collection() ? Collection()->Count() : 0);
    PutText(information.szWorkDir, netDir_);
}

void TBaseSession::GetSysInfo(SYSInfo& information)
{
    ZeroRecord(information);
    information.iSessions = Word(Collection() ? Collection()->Count() : 0);
}

void TBaseSession::GetSesInfo(SESInfo& information)
{
    FillSesInfo(information);
    information.iLockWait = LockWait;
}

void TBaseSession::GetNetUserName(std::string& dest)
{
    ::GetNetUserName(dest);
}

std::string TBaseSession::AliasKey(const std::string& name) const
{
    return registry_.Path + "\\" + AliasesKeyName + "\\" + name;
}
