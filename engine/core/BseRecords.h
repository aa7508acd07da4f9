// The exchange records of the engine interface, in their published byte layouts.
#pragma once

#include "db/FilterExpr.h"
#include "rtl/Types.h"

// Logical field types: those a filter constant can have come with the dataset framework's filter builder
// (fldZSTRING, fldDATE, fldBOOL, fldINT16, fldINT32, fldFLOAT, fldBCD, fldTIME, fldTIMESTAMP, fldUINT16).
constexpr Word fldUNKNOWN = 0;
constexpr Word fldBLOB = 3;
constexpr Word fldBYTES = 9;
constexpr Word fldUINT32 = 13;
constexpr Word fldFLOATIEEE = 14;
constexpr Word fldINT64 = 18;
constexpr Word fldUINT64 = 19;

constexpr size_t DBIMAXNAMELEN = 31;
constexpr size_t DBIMAXTBLNAMELEN = 260;
constexpr size_t DBIMAXFLDSINKEY = 16;
constexpr size_t DBIMAXKEYEXPLEN = 220;
constexpr size_t DBIMAXVCHKLEN = 255;
constexpr size_t DBIMAXPICTLEN = 175;
constexpr size_t DBIMAXPATHLEN = 260;

#pragma pack(push, 1)

// Field descriptor.
struct FLDDesc {
    Word iFldNum;
    char szName[DBIMAXNAMELEN + 1];
    Word iFldType;
    Word iSubType;
    SmallInt iUnits1;
    SmallInt iUnits2;
    Word iOffset;
    Word iLen;
    Word iNullOffset;
    Integer efldvVchk;
    Integer efldrRights;
    Word bCalcField;
    Word iUnUsed[2];
};
static_assert(sizeof(FLDDesc) == 62);

// Cursor properties.
struct CURProps {
    char szName[DBIMAXTBLNAMELEN + 1];
    Word iFNameSize;
    char szTableType[DBIMAXNAMELEN + 1];
    Word iFields;
    Word iRecSize;
    Word iRecBufSize;
    Word iKeySize;
    Word iIndexes;
    Word iValChecks;
    Word iRefIntChecks;
    Word iBookMarkSize;
    SmallInt bBookMarkStable;
    Integer eOpenMode;
    Integer eShareMode;
    SmallInt bIndexed;
    SmallInt iSeqNums;
    SmallInt bSoftDeletes;
    SmallInt bDeletedOn;
    Word iRefRange;
    Integer exltMode;
    Word iRestrVersion;
    SmallInt bUniDirectional;
    Word eprvRights;
    Word Dummy4;
    Word iFmlRights;
    Word iPasswords;
    Word iCodePage;
    SmallInt bProtected;
    Word iTblLevel;
    char szLangDriver[DBIMAXNAMELEN + 1];
    SmallInt bFieldMap;
    Word iBlockSize;
    SmallInt bStrictRefInt;
    Word iFilters;
    SmallInt bTempTable;
    Word iUnUsed[16];
};
static_assert(sizeof(CURProps) == 427);

// Index descriptor.
struct IDXDesc {
    char szName[DBIMAXTBLNAMELEN + 1];
    Word iIndexId;
    char szTagName[DBIMAXNAMELEN + 1];
    char szFormat[DBIMAXNAMELEN + 1];
    SmallInt bPrimary;
    SmallInt bUnique;
    SmallInt bDescending;
    SmallInt bMaintained;
    SmallInt bSubset;
    SmallInt bExpIdx;
    Word iCost;
    Word iFldsInKey;
    Word iKeyLen;
    SmallInt bOutofDate;
    Word iKeyExpType;
    Word aiKeyFld[DBIMAXFLDSINKEY];
    char szKeyExp[DBIMAXKEYEXPLEN + 1];
    char szKeyCond[DBIMAXKEYEXPLEN + 1];
    SmallInt bCaseInsensitive;
    Word iBlockSize;
    Word iRestrNum;
    SmallInt abDescending[DBIMAXFLDSINKEY];
    Word iUnUsed[16];
};
static_assert(sizeof(IDXDesc) == 893);

// Validity check of a field.
struct VCHKDesc {
    Word iFldNum;
    SmallInt bRequired;
    SmallInt bHasMinVal;
    SmallInt bHasMaxVal;
    SmallInt bHasDefVal;
    Byte aMinVal[DBIMAXVCHKLEN];
    Byte aMaxVal[DBIMAXVCHKLEN];
    Byte aDefVal[DBIMAXVCHKLEN];
    char szPict[DBIMAXPICTLEN + 1];
    Integer elkupType;
    char szLkupTblName[DBIMAXPATHLEN + 1];
};
static_assert(sizeof(VCHKDesc) == 1216);

// Record properties of a read.
struct RECProps {
    Integer iSeqNum;
    Integer iPhyRecNum;
    Word iRecStatus;
    SmallInt bSeqNumChanged;
    SmallInt bDeleteFlag;
};
static_assert(sizeof(RECProps) == 14);

#pragma pack(pop)
