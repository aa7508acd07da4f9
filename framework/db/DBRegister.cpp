#include "db/DBRegister.h"

#include "classes/ClassRegistry.h"
#include "db/BinaryFields.h"
#include "db/BooleanField.h"
#include "db/DataSource.h"
#include "db/DateTimeFields.h"
#include "db/NumericFields.h"
#include "db/ObjectFields.h"
#include "db/StringField.h"

void RegisterDBClasses()
{
    RegisterClasses<TDataSource, TStringField, TSmallintField, TIntegerField, TWordField, TAutoIncField,
                    TLargeintField, TFloatField, TCurrencyField, TBCDField, TBooleanField, TDateTimeField, TDateField,
                    TTimeField, TBytesField, TVarBytesField, TBlobField, TMemoField, TGraphicField, TADTField,
                    TArrayField, TDataSetField, TReferenceField>();
}
