#include "engine/sql/BtrSqlLoad.h"

#include <array>
#include <cstring>

#include "rtl/WinApi.h"
#include "vcl/Forms.h"

namespace {

// The requester's entry points in binding order.
enum TSqlEntry : int {
    eGetSessionID, ePutSessionID, eXQLCallback, eShareSessionID, eXQLCursor, eXQLCompile, eXQLDescribe, eXQLExec,
    eXQLFetch, eXQLFormat, eXQLFree, eXQLLogin, eXQLLogout, eXQLSPUtility, eXQLStatus, eXQLStop, eXQLSubst,
    eXQLVersion, eXQLConvert, eXQLValidate, eXQLMask, exCompute, exDescribe, exMovefld, exFetch, exField, exFree,
    exInsert, exJoin, exLogin, exLogout, exNew, exOrder, exRemall, exRemove, exReset, exRestrict, exStop, exTrans,
    exStore, exRecall, exUpdate, exUpdall, exDD, exDDAttr, exDDModify, exDDCreate, exDDDrop, exDDField, exDDFile,
    exDDIndex, exDDPath, exDDView, exAccess, exPassword, exSecurity, exUser, exChar, exVersion, exStatus,
    exConvert, exValidate, exMask, SqlEntryCount
};

constexpr std::array<const char*, SqlEntryCount> SqlEntryNames = {
    "_xGetSessionID", "_xPutSessionID", "_XQLCallback", "_xShareSessionID", "_XQLCursor", "_XQLCompile",
    "XQLDescribe", "XQLExec", "_XQLFetch", "XQLFormat", "_XQLFree", "_XQLLogin", "_XQLLogout", "XQLSPUtility",
    "XQLStatus", "_XQLStop", "XQLSubst", "XQLVersion", "XQLConvert", "XQLValidate", "XQLMask", "xCompute",
    "xDescribe", "xMovefld", "xFetch", "xField", "xFree", "xInsert", "xJoin", "xLogin", "xLogout", "xNew",
    "xOrder", "xRemall", "xRemove", "xReset", "xRestrict", "xStop", "xTrans", "xStore", "xRecall", "xUpdate",
    "xUpdall", "xDD", "xDDAttr", "xDDModify", "xDDCreate", "xDDDrop", "xDDField", "xDDFile", "xDDIndex", "xDDPath",
    "xDDView", "xAccess", "xPassword", "xSecurity", "xUser", "xChar", "xVersion", "xStatus", "xConvert",
    "xValidate", "xMask"};

enum TNamesEntry : int {
    eCountDatabaseNames, eCountRemoteDatabaseNames, eDatabaseNames, eRemoteDatabaseNames, eUnloadDBNames,
    NamesEntryCount
};

constexpr std::array<const char*, NamesEntryCount> NamesEntryNames = {
    "SQLGetCountDatabaseNames", "SQLGetCountRemoteDatabaseNames", "SQLGetDatabaseNames",
    "SQLGetRemoteDatabaseNames", "SQLUnloadDBNames"};

template <size_t N>
struct TModule {
    HMODULE Handle = nullptr;
    std::array<FARPROC, N> Entries{};

    void Free()
    {
        if (Handle) FreeLibrary(Handle);
        Handle = nullptr;
        Entries.fill(nullptr);
    }
};

struct TSqlBinding {
    std::string RequesterName = SqlRequesterDll;
    std::string NamesName = SqlNamesDll;
    TModule<SqlEntryCount> Requester;
    TModule<NamesEntryCount> Names;
    bool NamesUnavailable = false;
    bool VersionChecked = false;
    bool Version4 = false;
};

TSqlBinding& Binding()
{
    static TSqlBinding binding;
    return binding;
}

// Binds names in order; the first missing one is reported and ends the binding. True when all were found.
template <size_t N>
bool BindEntries(TModule<N>& module, const std::array<const char*, N>& names, const std::string& fileName)
{
    for (size_t i = 0; i < N; ++i) {
        module.Entries[i] = GetProcAddress(module.Handle, names[i]);
        if (!module.Entries[i]) {
            Application->MessageBox("Error Loading Dynamic Function " + std::string(names[i]) + " from " +
                                        fileName, "", MB_ICONERROR | MB_OK);
            return false;
        }
    }
    return true;
}

void LoadNames(TSqlBinding& b)
{
    b.Names.Handle = LoadLibraryA(b.NamesName.c_str());
    if (!b.Names.Handle) {
        b.NamesUnavailable = true;
        return;
    }
    BindEntries(b.Names, NamesEntryNames, b.NamesName);
}

template <class Fn>
Fn RequesterEntry(TSqlEntry entry)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(Binding().Requester.Entries[entry]));
}

template <class Fn>
Fn NamesEntry(TNamesEntry entry)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(Binding().Names.Entries[entry]));
}

// Calls the requester's entry point when it is bound, else answers RequesterMissing.
template <class... Args>
SmallInt CallRequester(TSqlEntry entry, Args... args)
{
    const auto fn = RequesterEntry<SmallInt(__stdcall*)(Args...)>(entry);
    return fn ? fn(args...) : SqlStatus::RequesterMissing;
}

template <class... Args>
SmallInt CallNames(TNamesEntry entry, Args... args)
{
    const auto fn = NamesEntry<SmallInt(__stdcall*)(Args...)>(entry);
    return fn ? fn(args...) : SqlStatus::RequesterMissing;
}

}  // namespace

SmallInt LoadSqlRequester()
{
    TSqlBinding& b = Binding();
    if (b.Requester.Handle) return 0;
    b.Requester.Handle = LoadLibraryA(b.RequesterName.c_str());
    if (!b.Requester.Handle) return SqlLoadFailed;
    if (BindEntries(b.Requester, SqlEntryNames, b.RequesterName) && !b.Names.Handle && !b.NamesUnavailable)
        LoadNames(b);
    return 0;
}

void UnloadSqlRequester()
{
    TSqlBinding& b = Binding();
    b.Requester.Free();
    b.Names.Free();
    b.VersionChecked = false;
    b.Version4 = false;
}

bool SqlRequesterLoaded()
{
    return Binding().Requester.Handle != nullptr;
}

bool SqlNamesLoaded()
{
    return Binding().Names.Handle != nullptr;
}

bool IsScalableSql4()
{
    TSqlBinding& b = Binding();
    if (b.VersionChecked) return b.Version4;
    b.VersionChecked = true;
    if (!SqlRequesterLoaded()) LoadSqlRequester();
    if (!SqlRequesterLoaded()) return false;
    TSqlVersionRecord version{};
    std::memcpy(version.Signature, "XVER", 4);
    version.Length = sizeof(version);
    if (XqlVersion(version) == SqlStatus::Ok && version.Major == 4) {
        b.Version4 = true;
        Byte nothing = 0;
        XReset(&nothing);
    }
    return b.Version4;
}

bool SqlNamesUnavailable()
{
    return Binding().NamesUnavailable;
}

void MarkSqlNamesUnavailable()
{
    Binding().NamesUnavailable = true;
}

void SetSqlRequesterDllNames(const std::string& requester, const std::string& names)
{
    TSqlBinding& b = Binding();
    b.RequesterName = requester.empty() ? SqlRequesterDll : requester;
    b.NamesName = names.empty() ? SqlNamesDll : names;
    b.NamesUnavailable = false;
}

SmallInt XqlCursor(SmallInt& cursorId)
{
    return CallRequester(eXQLCursor, &cursorId);
}

SmallInt XqlCompile(SmallInt cursorId, SmallInt& length, const char* text)
{
    return CallRequester(eXQLCompile, cursorId, &length, text);
}

SmallInt XqlFree(SmallInt cursorId)
{
    return CallRequester(eXQLFree, cursorId);
}

SmallInt XqlSubst(SmallInt cursorId, SmallInt count, SmallInt nameLength, const char* names, SmallInt valueLength,
                  const char* values)
{
    return CallRequester(eXQLSubst, cursorId, count, nameLength, names, valueLength, values);
}

SmallInt XqlExec(SmallInt cursorId)
{
    return CallRequester(eXQLExec, cursorId);
}

SmallInt XqlFetch(SmallInt cursorId, SmallInt option, Integer& length, void* buffer, Integer& count,
                  SmallInt asciiFlag, SmallInt spacing)
{
    return CallRequester(eXQLFetch, cursorId, option, &length, buffer, &count, asciiFlag, spacing);
}

SmallInt XqlDescribe(SmallInt cursorId, SmallInt column, SmallInt& type, SmallInt& size, SmallInt& decimals,
                     SmallInt& displayWidth, SmallInt& nameLength, char* name)
{
    return CallRequester(eXQLDescribe, cursorId, column, &type, &size, &decimals, &displayWidth, &nameLength, name);
}

SmallInt XqlLogin(const char* user, const char* password, const char* dictionaryPath, const char* dataPath,
                  const char* reserved, SmallInt flag)
{
    return CallRequester(eXQLLogin, user, password, dictionaryPath, dataPath, reserved, flag);
}

SmallInt XqlLogout()
{
    return CallRequester(eXQLLogout);
}

SmallInt XqlVersion(TSqlVersionRecord& version)
{
    return CallRequester(eXQLVersion, static_cast<void*>(&version));
}

SmallInt XFetch(SmallInt cursorId, Integer& length, SmallInt option, Integer& count, Integer& rejectCount,
                void* buffer)
{
    return CallRequester(exFetch, cursorId, &length, option, &count, &rejectCount, buffer);
}

SmallInt XInsert(SmallInt cursorId, SmallInt& fieldCount, const void* fields, Integer& count, void* records)
{
    return CallRequester(exInsert, cursorId, &fieldCount, fields, &count, records);
}

SmallInt XUpdate(SmallInt cursorId, SmallInt& fieldCount, const void* fields, Integer& count, void* records)
{
    return CallRequester(exUpdate, cursorId, &fieldCount, fields, &count, records);
}

SmallInt XRemove(SmallInt cursorId, SmallInt& fieldCount, const void* fields, Integer& count)
{
    return CallRequester(exRemove, cursorId, &fieldCount, fields, &count);
}

SmallInt XReset(void* buffer)
{
    return CallRequester(exReset, buffer);
}

SmallInt SqlGetCountDatabaseNames(SmallInt& count)
{
    return CallNames(eCountDatabaseNames, &count);
}

SmallInt SqlGetDatabaseNames(SmallInt index, char* name)
{
    return CallNames(eDatabaseNames, index, name);
}

SmallInt SqlGetCountRemoteDatabaseNames(SmallInt& count)
{
    return CallNames(eCountRemoteDatabaseNames, &count);
}

SmallInt SqlGetRemoteDatabaseNames(SmallInt index, char* name)
{
    return CallNames(eRemoteDatabaseNames, index, name);
}
