// Byte fields (fixed and variable length) and blob fields (binary, memo, graphic) read through blob streams.
#pragma once

#include "db/Field.h"
#include "rtl/Streams.h"

class TBytesField : public TField {
    DUN_CLASS(TBytesField, TField)
public:
    explicit TBytesField(TComponent* owner);
    static void Publish(TPublisher<TBytesField>& p);

    Integer DataSize() const override { return Size(); }
    void SetAsString(const std::string& value) override;

protected:
    TBytesField(TComponent* owner, TFieldType type);
    std::string GetAsString() const override;
    Variant GetAsVariant() const override { return Variant(GetAsString()); }
    void SetVarValue(const Variant& value) override { SetAsString(VarToStr(value)); }
};

// Up to Size bytes after a 16-bit length.
class TVarBytesField : public TBytesField {
    DUN_CLASS(TVarBytesField, TBytesField)
public:
    explicit TVarBytesField(TComponent* owner);

    Integer DataSize() const override { return Size() + 2; }
    void SetAsString(const std::string& value) override;

protected:
    std::string GetAsString() const override;
};

class TBlobField : public TField {
    DUN_CLASS(TBlobField, TField)
public:
    explicit TBlobField(TComponent* owner);
    static void Publish(TPublisher<TBlobField>& p);

    Integer BlobSize() const;
    // The whole value into the stream from its position / the value from the stream's position to its end.
    void SaveToStream(TStream* stream) const;
    void LoadFromStream(TStream* stream);
    // Also from a string list (its saved form) and from another blob field.
    void Assign(TPersistent* source) override;
    void SetFieldType(TFieldType type) override;
    void SetAsString(const std::string& value) override;
    void Clear() override;
    // Set by a blob stream that wrote the value of the active record.
    bool Modified() const { return modified_; }
    void SetModified(bool value) { modified_ = value; }
    // A modified value is closed in the dataset and no longer counts as modified.
    void FreeBuffers() override;
    bool Transliterate() const { return transliterate_; }
    void SetTransliterate(bool value) { transliterate_ = value; }

protected:
    TBlobField(TComponent* owner, TFieldType type);
    // A string list loads the value as its saved form.
    void AssignTo(TPersistent* dest) override;
    std::string GetAsString() const override;
    Variant GetAsVariant() const override { return Variant(GetAsString()); }
    void SetVarValue(const Variant& value) override { SetAsString(VarToStr(value)); }
    // "(BLOB)" for a value, "(Blob)" for none; descendants name their own kind.
    void GetText(std::string& text, bool displayText) const override;
    virtual std::string KindName() const { return "Blob"; }
    // The class's own Transliterate, which form files leave out.
    void SetDefaultTransliterate(bool value) { transliterate_ = defaultTransliterate_ = value; }

private:
    bool IsTransliterateStored() const { return transliterate_ != defaultTransliterate_; }

    bool modified_ = false;
    bool transliterate_ = false;
    bool defaultTransliterate_ = false;
};

class TMemoField : public TBlobField {
    DUN_CLASS(TMemoField, TBlobField)
public:
    explicit TMemoField(TComponent* owner);

protected:
    std::string KindName() const override { return "Memo"; }
};

class TGraphicField : public TBlobField {
    DUN_CLASS(TGraphicField, TBlobField)
public:
    explicit TGraphicField(TComponent* owner);

protected:
    std::string KindName() const override { return "Graphic"; }
};
