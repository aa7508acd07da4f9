// TStringField: a text of at most Size characters.
#pragma once

#include "db/Field.h"
#include "rtl/SysUtils.h"

class TStringField : public TField {
    DUN_CLASS(TStringField, TField)
public:
    explicit TStringField(TComponent* owner);
    static void Publish(TPublisher<TStringField>& p);

    Integer DataSize() const override { return Size() + 1; }
    // Whether the dataset converts the text between ANSI and its native character set.
    bool Transliterate() const { return transliterate_; }
    void SetTransliterate(bool value) { transliterate_ = value; }
    void SetAsString(const std::string& value) override;
    void SetAsInteger(Integer value) override { SetAsString(::IntToStr(value)); }
    void SetAsFloat(double value) override;
    void SetAsBoolean(bool value) override { SetAsString(value ? "T" : "F"); }
    void SetAsDateTime(TDateTime value) override;

protected:
    std::string GetAsString() const override;
    Integer GetAsInteger() const override;
    double GetAsFloat() const override;
    bool GetAsBoolean() const override;
    TDateTime GetAsDateTime() const override;
    Variant GetAsVariant() const override { return Variant(GetAsString()); }
    void SetVarValue(const Variant& value) override { SetAsString(VarToStr(value)); }
    Integer GetDefaultWidth() const override { return Size(); }

private:
    bool transliterate_ = true;
};
