// TBooleanField: a 16-bit truth value whose texts are the two parts of DisplayValues ("True;False").
#pragma once

#include "db/Field.h"

class TBooleanField : public TField {
    DUN_CLASS(TBooleanField, TField)
public:
    explicit TBooleanField(TComponent* owner);
    static void Publish(TPublisher<TBooleanField>& p);

    Integer DataSize() const override { return 2; }
    const std::string& DisplayValues() const { return displayValues_; }
    void SetDisplayValues(const std::string& values);
    void SetAsString(const std::string& value) override;
    void SetAsBoolean(bool value) override;

protected:
    std::string GetAsString() const override;
    bool GetAsBoolean() const override;
    Variant GetAsVariant() const override { return Variant(GetAsBoolean()); }
    void SetVarValue(const Variant& value) override { SetAsBoolean(value.ToBoolean()); }
    Integer GetDefaultWidth() const override;

private:
    std::string displayValues_;
    std::string trueText_ = "True";
    std::string falseText_ = "False";
};
