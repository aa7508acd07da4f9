// TParams / TParam: named, typed values handed to a dataset (query and stored-procedure parameters).
#pragma once

#include <string>

#include "classes/Collection.h"
#include "db/DBTypes.h"
#include "rtl/Variants.h"

class TParam : public TCollectionItem {
    DUN_CLASS(TParam, TCollectionItem)
public:
    explicit TParam(TCollection* collection) : TCollectionItem(collection) {}

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }
    TFieldType DataType() const { return dataType_; }
    void SetDataType(TFieldType type) { dataType_ = type; }
    TParamType ParamType() const { return paramType_; }
    void SetParamType(TParamType type) { paramType_ = type; }
    // True once a value was assigned (or cleared) since the parameter was made.
    bool Bound() const { return bound_; }
    void SetBound(bool bound) { bound_ = bound; }

    Variant Value() const { return value_; }
    void SetValue(const Variant& value);
    bool IsNull() const { return VarIsNull(value_) || VarIsEmpty(value_); }
    void Clear();
    std::string AsString() const { return IsNull() ? std::string() : VarToStr(value_); }
    void SetAsString(const std::string& value) { SetTyped(ftString, Variant(value)); }
    Integer AsInteger() const { return IsNull() ? 0 : value_.ToInteger(); }
    void SetAsInteger(Integer value) { SetTyped(ftInteger, Variant(value)); }
    double AsFloat() const { return IsNull() ? 0 : value_.ToDouble(); }
    void SetAsFloat(double value) { SetTyped(ftFloat, Variant(value)); }
    Currency AsCurrency() const { return IsNull() ? Currency() : value_.ToCurrency(); }
    void SetAsCurrency(Currency value) { SetTyped(ftCurrency, Variant(value)); }
    bool AsBoolean() const { return !IsNull() && value_.ToBoolean(); }
    void SetAsBoolean(bool value) { SetTyped(ftBoolean, Variant(value)); }
    TDateTime AsDateTime() const { return IsNull() ? 0 : value_.ToDateTime(); }
    void SetAsDateTime(TDateTime value) { SetTyped(ftDateTime, Variant::FromDate(value)); }
    // The value from a record-buffer form of DataType (see NativeData.h; a Boolean is true when its first byte is
    // not zero). Other types leave the value as it is.
    void SetData(const void* buffer);
    std::string DisplayName() const override { return name_.empty() ? TCollectionItem::DisplayName() : name_; }
    void Assign(TPersistent* source) override;

    static void Publish(TPublisher<TParam>& p);

private:
    void SetTyped(TFieldType type, const Variant& value);

    std::string name_;
    TFieldType dataType_ = ftUnknown;
    TParamType paramType_ = ptUnknown;
    Variant value_;
    bool bound_ = false;
};

class TParams : public TCollection {
    DUN_CLASS(TParams, TCollection)
public:
    TParams() : TCollection(TParam::StaticClass()) {}

    TParam* Items(Integer index) const { return static_cast<TParam*>(TCollection::Items(index)); }
    TParam* CreateParam(TFieldType type, const std::string& name, TParamType paramType);
    // nullptr when there is none (names compared without regard to case).
    TParam* FindParam(const std::string& name) const;
    // Raises "Parameter '%s' not found".
    TParam* ParamByName(const std::string& name) const;
    // Copies the value of each parameter of source that has a namesake here.
    void AssignValues(const TParams* source);
};
