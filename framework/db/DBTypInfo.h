// Type information of the dataset framework's enumerations, for published properties.
#pragma once

#include "classes/TypInfo.h"
#include "db/DBTypes.h"

DUN_ENUM(TFieldKind, "fkData", "fkCalculated", "fkLookup", "fkInternalCalc", "fkAggregate");
DUN_ENUM(TFilterOption, "foCaseInsensitive", "foNoPartialCompare");
DUN_ENUM(TParamType, "ptUnknown", "ptInput", "ptOutput", "ptInputOutput", "ptResult");
DUN_ENUM(TFieldType, "ftUnknown", "ftString", "ftSmallint", "ftInteger", "ftWord", "ftBoolean", "ftFloat",
         "ftCurrency", "ftBCD", "ftDate", "ftTime", "ftDateTime", "ftBytes", "ftVarBytes", "ftAutoInc", "ftBlob",
         "ftMemo", "ftGraphic", "ftFmtMemo", "ftParadoxOle", "ftDBaseOle", "ftTypedBinary", "ftCursor",
         "ftFixedChar", "ftWideString", "ftLargeint", "ftADT", "ftArray", "ftReference", "ftDataSet", "ftOraBlob",
         "ftOraClob", "ftVariant", "ftInterface", "ftIDispatch", "ftGuid");
DUN_ENUM(TFieldAttribute, "faHiddenCol", "faReadonly", "faRequired", "faLink", "faUnNamed", "faFixed");
DUN_ENUM(TIndexOption, "ixPrimary", "ixUnique", "ixDescending", "ixCaseInsensitive", "ixExpression",
         "ixNonMaintained");
