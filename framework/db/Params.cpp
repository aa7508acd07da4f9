#include "db/Params.h"

#include <cstring>

#include "db/DBConsts.h"
#include "db/DBErrors.h"
#include "db/DBTypInfo.h"
#include "db/NativeData.h"
#include "rtl/SysUtils.h"

namespace {

// The field type a variant value suggests for a parameter that has none.
TFieldType TypeOfValue(const Variant& value)
{
    switch (VarType(value)) {
    case varSmallint:
    case varByte: return ftSmallint;
    case varInteger:
    case varWord:
    case varLongWord: return ftInteger;
    case varInt64: return ftLargeint;
    case varDouble: return ftFloat;
    case varCurrency: return ftCurrency;
    case varDate: return ftDateTime;
    case varBoolean: return ftBoolean;
    case varString: return ftString;
    default: return ftUnknown;
    }
}

template <typename T>
T Load(const void* buffer)
{
    T value;
    std::memcpy(&value, buffer, sizeof value);
    return value;
}

}  // namespace

void TParam::Publish(TPublisher<TParam>& p)
{
    p.Property("DataType", &TParam::DataType, &TParam::SetDataType).Default(ftUnknown);
    p.Property("Name", &TParam::Name, &TParam::SetName);
    p.Property("ParamType", &TParam::ParamType, &TParam::SetParamType).Default(ptUnknown);
}

void TParam::SetValue(const Variant& value)
{
    if (dataType_ == ftUnknown) dataType_ = TypeOfValue(value);
    value_ = value;
    bound_ = true;
}

void TParam::SetData(const void* buffer)
{
    switch (dataType_) {
    case ftString:
    case ftFixedChar:
    case ftMemo: SetTyped(dataType_, Variant(std::string(static_cast<const char*>(buffer)))); break;
    case ftSmallint: SetTyped(dataType_, Variant(Load<SmallInt>(buffer))); break;
    case ftWord: SetTyped(dataType_, Variant(Load<Word>(buffer))); break;
    case ftInteger:
    case ftAutoInc: SetTyped(dataType_, Variant(Load<Integer>(buffer))); break;
    case ftBoolean: SetTyped(dataType_, Variant(Load<Byte>(buffer) != 0)); break;
    case ftFloat: SetTyped(dataType_, Variant(Load<double>(buffer))); break;
    case ftCurrency: SetTyped(dataType_, Variant(Currency(Load<double>(buffer)))); break;
    case ftDate: SetTyped(dataType_, Variant::FromDate(NativeDateToDateTime(Load<Integer>(buffer)))); break;
    case ftTime: SetTyped(dataType_, Variant::FromDate(NativeTimeToDateTime(Load<Integer>(buffer)))); break;
    case ftDateTime: SetTyped(dataType_, Variant::FromDate(NativeDateTimeToDateTime(Load<double>(buffer)))); break;
    default: break;
    }
}

void TParam::Clear()
{
    value_ = Null();
    bound_ = true;
}

void TParam::SetTyped(TFieldType type, const Variant& value)
{
    dataType_ = type;
    value_ = value;
    bound_ = true;
}

void TParam::Assign(TPersistent* source)
{
    auto* param = dynamic_cast<TParam*>(source);
    if (!param) {
        TCollectionItem::Assign(source);
        return;
    }
    name_ = param->name_;
    dataType_ = param->dataType_;
    paramType_ = param->paramType_;
    value_ = param->value_;
    bound_ = param->bound_;
}

TParam* TParams::CreateParam(TFieldType type, const std::string& name, TParamType paramType)
{
    auto* param = static_cast<TParam*>(Add());
    param->SetName(name);
    param->SetDataType(type);
    param->SetParamType(paramType);
    return param;
}

TParam* TParams::FindParam(const std::string& name) const
{
    for (Integer i = 0; i < Count(); ++i)
        if (AnsiCompareText(Items(i)->Name(), name) == 0) return Items(i);
    return nullptr;
}

TParam* TParams::ParamByName(const std::string& name) const
{
    TParam* param = FindParam(name);
    if (!param) DatabaseErrorFmt(dbconsts::SParameterNotFound, {name});
    return param;
}

void TParams::AssignValues(const TParams* source)
{
    for (Integer i = 0; i < source->Count(); ++i)
        if (TParam* param = FindParam(source->Items(i)->Name())) param->Assign(source->Items(i));
}
