// The Scalable SQL requester binding: the requester DLL and the database-name DLL, loaded on first need, their
// entry points bound by name, the requester's version check.
//
// Only the calls below are ever made; the other entry points are bound and left alone. A call whose entry point
// stayed unbound (the DLL lacked it, or nothing is loaded) is not made and answers SqlStatus::RequesterMissing.
#pragma once

#include <string>

#include "rtl/Types.h"

// Scalable SQL statuses the engine tests or raises.
namespace SqlStatus {
constexpr SmallInt Ok = 0;
constexpr SmallInt EndOfData = 9;
constexpr SmallInt OwnerInvalid = 51;
constexpr SmallInt PasswordInvalid = 205;
constexpr SmallInt SystemTables = 285;
constexpr SmallInt NoSuchColumn = 804;
constexpr SmallInt RequesterMissing = 2103;
constexpr SmallInt UnresolvedSubstitution = -108;
constexpr SmallInt NoMoreRecords = -109;
}  // namespace SqlStatus

constexpr const char* SqlRequesterDll = "WSSQL32.DLL";
constexpr const char* SqlNamesDll = "WDBNM32.DLL";
// What LoadSqlRequester answers when the requester DLL cannot be loaded.
constexpr SmallInt SqlLoadFailed = 200;

// 0 when the requester is loaded (now or before), SqlLoadFailed when it cannot be loaded. A missing entry point
// shows one error box and leaves it and the later ones unbound; only a complete requester loads the names DLL.
SmallInt LoadSqlRequester();
// Frees both DLLs; the version is checked again after the next load.
void UnloadSqlRequester();
bool SqlRequesterLoaded();
bool SqlNamesLoaded();
// The loaded requester reports major version 4 (asked once while loaded, loading it when needed).
bool IsScalableSql4();
// Set when the names DLL cannot be loaded or the session gives up on it: database lists then hold aliases only.
bool SqlNamesUnavailable();
void MarkSqlNamesUnavailable();

// The DLL names the binding loads (tests name their own); empty texts restore the defaults. Only while nothing
// is loaded.
void SetSqlRequesterDllNames(const std::string& requester, const std::string& names);

#pragma pack(push, 1)
// The record XQLVersion fills.
struct TSqlVersionRecord {
    char Signature[4];  // "XVER"
    Word Length;        // 22
    Byte Reserved1[6];
    Word Major;
    Byte Reserved2[8];
};
#pragma pack(pop)
static_assert(sizeof(TSqlVersionRecord) == 22);

// Fetch options of XqlFetch and XFetch.
namespace SqlFetch {
constexpr SmallInt Current = 0;
constexpr SmallInt First = 1;
constexpr SmallInt Next = 2;
constexpr SmallInt Prior = 3;
constexpr SmallInt Last = 4;
constexpr SmallInt Position = 5;      // XFetch: the position of the current row into the buffer
constexpr SmallInt SetPosition = 256; // XFetch: to the position in the buffer, the row read into it
constexpr SmallInt Lock = 1024;       // added to a fetch option: the row is locked
}  // namespace SqlFetch

// The requester's calls, in its argument order.
SmallInt XqlCursor(SmallInt& cursorId);
SmallInt XqlCompile(SmallInt cursorId, SmallInt& length, const char* text);
SmallInt XqlFree(SmallInt cursorId);
SmallInt XqlSubst(SmallInt cursorId, SmallInt count, SmallInt nameLength, const char* names, SmallInt valueLength,
                  const char* values);
SmallInt XqlExec(SmallInt cursorId);
SmallInt XqlFetch(SmallInt cursorId, SmallInt option, Integer& length, void* buffer, Integer& count,
                  SmallInt asciiFlag, SmallInt spacing);
SmallInt XqlDescribe(SmallInt cursorId, SmallInt column, SmallInt& type, SmallInt& size, SmallInt& decimals,
                     SmallInt& displayWidth, SmallInt& nameLength, char* name);
SmallInt XqlLogin(const char* user, const char* password, const char* dictionaryPath, const char* dataPath,
                  const char* reserved, SmallInt flag);
SmallInt XqlLogout();
SmallInt XqlVersion(TSqlVersionRecord& version);
SmallInt XFetch(SmallInt cursorId, Integer& length, SmallInt option, Integer& count, Integer& rejectCount,
                void* buffer);
SmallInt XInsert(SmallInt cursorId, SmallInt& fieldCount, const void* fields, Integer& count, void* records);
SmallInt XUpdate(SmallInt cursorId, SmallInt& fieldCount, const void* fields, Integer& count, void* records);
SmallInt XRemove(SmallInt cursorId, SmallInt& fieldCount, const void* fields, Integer& count);
SmallInt XReset(void* buffer);

// The database-name library: counts and 20-character names (index from 0).
constexpr Word SqlDatabaseNameLength = 20;
SmallInt SqlGetCountDatabaseNames(SmallInt& count);
SmallInt SqlGetDatabaseNames(SmallInt index, char* name);
SmallInt SqlGetCountRemoteDatabaseNames(SmallInt& count);
SmallInt SqlGetRemoteDatabaseNames(SmallInt index, char* name);
