// Numeric fields: the integer family, floating-point, currency and packed-decimal fields.
#pragma once

#include "db/Bcd.h"
#include "db/Field.h"

class TNumericField : public TField {
    DUN_CLASS(TNumericField, TField)
public:
    explicit TNumericField(TComponent* owner);
    static void Publish(TPublisher<TNumericField>& p);

    const std::string& DisplayFormat() const { return displayFormat_; }
    void SetDisplayFormat(const std::string& format);
    const std::string& EditFormat() const { return editFormat_; }
    void SetEditFormat(const std::string& format);

protected:
    // The format that applies to a text of the given kind; empty for none.
    const std::string& FormatFor(bool displayText) const;

private:
    std::string displayFormat_;
    std::string editFormat_;
};

// A 32-bit integer (and the base of the smaller and the auto-increment integers).
class TIntegerField : public TNumericField {
    DUN_CLASS(TIntegerField, TNumericField)
public:
    explicit TIntegerField(TComponent* owner);
    static void Publish(TPublisher<TIntegerField>& p);

    Integer DataSize() const override { return 4; }
    Integer MinValue() const { return minValue_; }
    Integer MaxValue() const { return maxValue_; }
    void SetMinValue(Integer value) { minValue_ = value; }
    void SetMaxValue(Integer value) { maxValue_ = value; }
    void SetAsString(const std::string& value) override;
    void SetAsInteger(Integer value) override;
    void SetAsFloat(double value) override;

protected:
    TIntegerField(TComponent* owner, TFieldType type, Integer minLimit, Integer maxLimit);
    std::string GetAsString() const override;
    Integer GetAsInteger() const override;
    double GetAsFloat() const override { return GetAsInteger(); }
    Variant GetAsVariant() const override { return Variant(GetAsInteger()); }
    void SetVarValue(const Variant& value) override { SetAsInteger(value.ToInteger()); }
    void GetText(std::string& text, bool displayText) const override;
    // The stored value, or false when the field is empty.
    virtual bool GetValue(Integer& value) const;
    virtual void StoreValue(Integer value);

private:
    Integer minLimit_;
    Integer maxLimit_;
    Integer minValue_ = 0;
    Integer maxValue_ = 0;
};

class TSmallintField : public TIntegerField {
    DUN_CLASS(TSmallintField, TIntegerField)
public:
    explicit TSmallintField(TComponent* owner);
    Integer DataSize() const override { return 2; }

protected:
    bool GetValue(Integer& value) const override;
    void StoreValue(Integer value) override;
};

class TWordField : public TIntegerField {
    DUN_CLASS(TWordField, TIntegerField)
public:
    explicit TWordField(TComponent* owner);
    Integer DataSize() const override { return 2; }

protected:
    bool GetValue(Integer& value) const override;
    void StoreValue(Integer value) override;
};

class TAutoIncField : public TIntegerField {
    DUN_CLASS(TAutoIncField, TIntegerField)
public:
    explicit TAutoIncField(TComponent* owner);
};

class TLargeintField : public TNumericField {
    DUN_CLASS(TLargeintField, TNumericField)
public:
    explicit TLargeintField(TComponent* owner);

    Integer DataSize() const override { return 8; }
    Int64 AsLargeInt() const;
    void SetAsLargeInt(Int64 value);
    void SetAsString(const std::string& value) override;
    void SetAsInteger(Integer value) override { SetAsLargeInt(value); }
    void SetAsFloat(double value) override;

protected:
    std::string GetAsString() const override;
    Integer GetAsInteger() const override { return Integer(AsLargeInt()); }
    double GetAsFloat() const override { return double(AsLargeInt()); }
    Variant GetAsVariant() const override { return Variant(AsLargeInt()); }
    void SetVarValue(const Variant& value) override { SetAsLargeInt(value.ToInt64()); }
    void GetText(std::string& text, bool displayText) const override;
    Integer GetDefaultWidth() const override { return 15; }
};

// A double; with Currency set its texts are money amounts.
class TFloatField : public TNumericField {
    DUN_CLASS(TFloatField, TNumericField)
public:
    explicit TFloatField(TComponent* owner);
    static void Publish(TPublisher<TFloatField>& p);

    Integer DataSize() const override { return 8; }
    bool Currency() const { return currency_; }
    void SetCurrency(bool value);
    Integer Precision() const { return precision_; }
    void SetPrecision(Integer value);
    double MinValue() const { return minValue_; }
    double MaxValue() const { return maxValue_; }
    void SetMinValue(double value) { minValue_ = value; }
    void SetMaxValue(double value) { maxValue_ = value; }
    void SetAsString(const std::string& value) override;
    void SetAsInteger(Integer value) override { SetAsFloat(value); }
    void SetAsFloat(double value) override;

protected:
    std::string GetAsString() const override;
    Integer GetAsInteger() const override;
    double GetAsFloat() const override;
    Variant GetAsVariant() const override { return Variant(GetAsFloat()); }
    void SetVarValue(const Variant& value) override { SetAsFloat(value.ToDouble()); }
    void GetText(std::string& text, bool displayText) const override;
    Integer GetDefaultWidth() const override { return precision_ + 1; }

private:
    bool currency_ = false;
    Integer precision_ = 15;
    double minValue_ = 0;
    double maxValue_ = 0;
};

class TCurrencyField : public TFloatField {
    DUN_CLASS(TCurrencyField, TFloatField)
public:
    explicit TCurrencyField(TComponent* owner);
};

// A packed decimal; Size is the number of decimals.
class TBCDField : public TNumericField {
    DUN_CLASS(TBCDField, TNumericField)
public:
    explicit TBCDField(TComponent* owner);
    static void Publish(TPublisher<TBCDField>& p);

    Integer DataSize() const override { return Integer(sizeof(TBcd)); }
    bool Currency() const { return currency_; }
    void SetCurrency(bool value) { currency_ = value; }
    Integer Precision() const { return precision_; }
    void SetPrecision(Integer value) { precision_ = value; }
    void SetAsString(const std::string& value) override;
    void SetAsInteger(Integer value) override { SetAsCurrency(::Currency(value)); }
    void SetAsFloat(double value) override { SetAsCurrency(::Currency(value)); }
    void SetAsCurrency(::Currency value) override;

protected:
    std::string GetAsString() const override;
    Integer GetAsInteger() const override;
    double GetAsFloat() const override { return GetAsCurrency().ToDouble(); }
    ::Currency GetAsCurrency() const override;
    Variant GetAsVariant() const override { return Variant(GetAsCurrency()); }
    void SetVarValue(const Variant& value) override { SetAsCurrency(value.ToCurrency()); }
    void GetText(std::string& text, bool displayText) const override;
    Integer GetDefaultWidth() const override
    {
        return precision_ > 0 ? precision_ + 1 : TNumericField::GetDefaultWidth();
    }

private:
    bool currency_ = false;
    Integer precision_ = 0;
};
