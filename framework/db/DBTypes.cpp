#include "db/DBTypes.h"

const char* FieldTypeName(TFieldType type)
{
    static const char* const names[] = {
        "Unknown",    "String",   "SmallInt",   "Integer",    "Word",     "Boolean",  "Float",     "Currency",
        "BCD",        "Date",     "Time",       "DateTime",   "Bytes",    "VarBytes", "AutoInc",   "Blob",
        "Memo",       "Graphic",  "FmtMemo",    "ParadoxOle", "DBaseOle", "TypedBinary", "Cursor", "FixedChar",
        "WideString", "Largeint", "ADT",        "Array",      "Reference", "DataSet", "OraBlob",   "OraClob",
        "Variant",    "Interface", "IDispatch", "Guid"};
    static_assert(sizeof names / sizeof names[0] == ftGuid + 1);
    return type >= ftUnknown && type <= ftGuid ? names[type] : "Unknown";
}
