// Date and time fields. In a record a date-time is a double of milliseconds, a date a 32-bit day number and a time a
// 32-bit count of milliseconds (see NativeData.h).
#pragma once

#include "db/Field.h"

class TDateTimeField : public TField {
    DUN_CLASS(TDateTimeField, TField)
public:
    explicit TDateTimeField(TComponent* owner);
    static void Publish(TPublisher<TDateTimeField>& p);

    Integer DataSize() const override { return 8; }
    const std::string& DisplayFormat() const { return displayFormat_; }
    void SetDisplayFormat(const std::string& format);
    void SetAsString(const std::string& value) override;
    void SetAsFloat(double value) override { SetAsDateTime(value); }
    void SetAsDateTime(TDateTime value) override;

protected:
    TDateTimeField(TComponent* owner, TFieldType type);
    std::string GetAsString() const override;
    double GetAsFloat() const override { return GetAsDateTime(); }
    TDateTime GetAsDateTime() const override;
    Variant GetAsVariant() const override { return Variant::FromDate(GetAsDateTime()); }
    void SetVarValue(const Variant& value) override { SetAsDateTime(value.ToDateTime()); }
    void GetText(std::string& text, bool displayText) const override;
    Integer GetDefaultWidth() const override { return 18; }
    // The value, or false when the field is empty.
    bool GetValue(TDateTime& value) const;

private:
    std::string displayFormat_;
};

class TDateField : public TDateTimeField {
    DUN_CLASS(TDateField, TDateTimeField)
public:
    explicit TDateField(TComponent* owner);
    Integer DataSize() const override { return 4; }

protected:
    Integer GetDefaultWidth() const override { return 10; }
};

class TTimeField : public TDateTimeField {
    DUN_CLASS(TTimeField, TDateTimeField)
public:
    explicit TTimeField(TComponent* owner);
    Integer DataSize() const override { return 4; }

protected:
    Integer GetDefaultWidth() const override { return 10; }
};
