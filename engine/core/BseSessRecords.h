// The exchange records of the session, database and configuration calls, in their published byte layouts.
#pragma once

#include <string>

#include "engine/core/BseRecords.h"
#include "rtl/Types.h"

#pragma pack(push, 1)

// Database description.
struct DBDesc {
    char szName[DBIMAXNAMELEN + 1];
    char szText[DBIMAXNAMELEN + 1];
    char szPhyName[DBIMAXPATHLEN + 1];
    char szDbType[DBIMAXNAMELEN + 1];
};
static_assert(sizeof(DBDesc) == 357);

// One configuration value.
struct CFGDesc {
    char szNodeName[DBIMAXNAMELEN + 1];
    char szDescription[128];
    Word iDataType;
    char szValue[128];
    SmallInt bHasSubNodes;
};
static_assert(sizeof(CFGDesc) == 292);

// Session information.
struct SESInfo {
    Word iSession;
    char szName[DBIMAXNAMELEN + 1];
    Word iDatabases;
    Word iCursors;
    SmallInt iLockWait;
    char szNetDir[DBIMAXPATHLEN + 1];
    char szPrivDir[DBIMAXPATHLEN + 1];
};
static_assert(sizeof(SESInfo) == 562);

// Client information.
struct CLIENTInfo {
    char szName[DBIMAXNAMELEN + 1];
    Word iSessions;
    char szWorkDir[DBIMAXPATHLEN + 1];
    char szLang[DBIMAXNAMELEN + 1];
};
static_assert(sizeof(CLIENTInfo) == 327);

// System information.
struct SYSInfo {
    Word iBufferSpace;
    Word iHeapSpace;
    Word iDrivers;
    Word iClients;
    Word iSessions;
    Word iDatabases;
    Word iCursors;
};
static_assert(sizeof(SYSInfo) == 14);

// System version.
struct SYSVersion {
    Word iVersion;
    Word iIntfLevel;
    Integer dateVer;
    Integer timeVer;
    char szUserName[20];
};
static_assert(sizeof(SYSVersion) == 32);

// Transaction information.
struct XInfo {
    Integer exState;
    Integer eXIL;
    Word uNests;
};
static_assert(sizeof(XInfo) == 10);

// Table description of a table list.
struct TBLBaseDesc {
    char szName[DBIMAXTBLNAMELEN + 1];
    char szFileName[DBIMAXTBLNAMELEN + 1];
    char szExt[4];
    char szType[DBIMAXNAMELEN + 1];
    Integer dtDate;
    Integer tmTime;
    Integer iSize;
    SmallInt bView;
    SmallInt bSynonym;
};
static_assert(sizeof(TBLBaseDesc) == 574);

// Table description of an extended table list: the base description and the table's structure figures.
struct TBLFullDesc {
    TBLBaseDesc tblBase;
    Byte tblExt[52];
};
static_assert(sizeof(TBLFullDesc) == 626);

#pragma pack(pop)

// Copies text into a fixed text field of size bytes (at most size - 1 characters, then a zero byte).
template <size_t N>
void PutText(char (&field)[N], const std::string& text)
{
    const size_t length = text.size() < N - 1 ? text.size() : N - 1;
    text.copy(field, length);
    field[length] = '\0';
}
