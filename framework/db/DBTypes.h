// Enumerations and small value types of the dataset framework.
#pragma once

#include <string>

#include "classes/Alignment.h"
#include "rtl/Types.h"

// The platform's full list of field data types, in its order.
enum TFieldType {
    ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD, ftDate, ftTime,
    ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic, ftFmtMemo, ftParadoxOle, ftDBaseOle,
    ftTypedBinary, ftCursor, ftFixedChar, ftWideString, ftLargeint, ftADT, ftArray, ftReference, ftDataSet, ftOraBlob,
    ftOraClob, ftVariant, ftInterface, ftIDispatch, ftGuid
};

// The platform's name of a field type ("String", "Integer", ...).
const char* FieldTypeName(TFieldType type);

enum TDataSetState {
    dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey, dsCalcFields, dsFilter, dsNewValue, dsOldValue, dsCurValue,
    dsBlockRead, dsInternalCalc
};

enum TDataEvent {
    deFieldChange, deRecordChange, deDataSetChange, deDataSetScroll, deLayoutChange, deUpdateRecord, deUpdateState,
    deCheckBrowseMode, dePropertyChange, deFieldListChange, deFocusControl, deParentScroll
};

enum TGetMode { gmCurrent, gmNext, gmPrior };
enum TGetResult { grOK, grBOF, grEOF, grError };
enum TBookmarkFlag { bfCurrent, bfBOF, bfEOF, bfInserted };

enum TResyncModeItem { rmExact, rmCenter };
using TResyncMode = Set<TResyncModeItem>;

enum TLocateOption { loCaseInsensitive, loPartialKey };
using TLocateOptions = Set<TLocateOption>;

enum TFilterOption { foCaseInsensitive, foNoPartialCompare };
using TFilterOptions = Set<TFilterOption>;

enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };
using TFieldKinds = Set<TFieldKind>;

// The answer of an OnPostError, OnEditError or OnDeleteError handler.
enum TDataAction { daFail, daAbort, daRetry };

enum TUpdateStatus { usUnmodified, usModified, usInserted, usDeleted };

enum TFieldAttribute { faHiddenCol, faReadonly, faRequired, faLink, faUnNamed, faFixed };
using TFieldAttributes = Set<TFieldAttribute>;

enum TIndexOption { ixPrimary, ixUnique, ixDescending, ixCaseInsensitive, ixExpression, ixNonMaintained };
using TIndexOptions = Set<TIndexOption>;

enum TBlobStreamMode { bmRead, bmWrite, bmReadWrite };


enum TParamType { ptUnknown, ptInput, ptOutput, ptInputOutput, ptResult };

// A record buffer: a block of bytes laid out by the dataset that allocated it.
using TRecordBuffer = char*;

// A bookmark as a value: the bytes a dataset copies out of a record buffer (empty = none).
using TBookmark = std::string;
