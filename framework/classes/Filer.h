// Reading and writing components as form files: TFiler, TReader and TWriter over form tokens.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "classes/Component.h"
#include "classes/FormTokens.h"
#include "classes/TypInfo.h"
#include "rtl/Exceptions.h"
#include "rtl/Objects.h"
#include "rtl/Types.h"
#include "rtl/Variants.h"

class TCollection;
class TStream;
class TReader;
class TWriter;

using TReaderProc = std::function<void(TReader* reader)>;
using TWriterProc = std::function<void(TWriter* writer)>;
using TStreamProc = std::function<void(TStream* stream)>;

class TFiler : public TObject {
    DUN_CLASS(TFiler, TObject)
public:
    // Persistent data beside the published properties, asked for from DefineProperties.
    virtual void DefineProperty(const std::string& name, const TReaderProc& readData, const TWriterProc& writeData,
                                bool hasData) = 0;
    virtual void DefineBinaryProperty(const std::string& name, const TStreamProc& readData,
                                      const TStreamProc& writeData, bool hasData) = 0;
    TComponent* Root() const { return root_; }
    // The object written ones are compared with; this filer writes whole forms, so always nil.
    TPersistent* Ancestor() const { return nullptr; }

protected:
    // instance->DefineProperties(this), and the lines of a string list.
    void DefineAllProperties(TPersistent* instance);

    TComponent* root_ = nullptr;
};

class TReader : public TFiler {
    DUN_CLASS(TReader, TFiler)
public:
    explicit TReader(TFormTokens tokens) : tokens_(std::move(tokens)) {}

    // Reads the form into root: its properties and components, then the references between them, then Loaded
    // on each component read.
    void ReadRootComponent(TComponent* root);
    // The properties and owned components of instance (TComponent::ReadState).
    void ReadData(TComponent* instance);
    TComponent* ReadComponent();
    void ReadProperty(TPersistent* instance);

    TComponent* Owner() const { return owner_; }
    TComponent* Parent() const { return parent_; }

    void DefineProperty(const std::string& name, const TReaderProc& readData, const TWriterProc& writeData,
                        bool hasData) override;
    void DefineBinaryProperty(const std::string& name, const TStreamProc& readData, const TStreamProc& writeData,
                              bool hasData) override;

    // Values, for the readers of defined properties.
    TValueType NextValue() const;
    TValueType ReadValue();
    void SkipValue();
    bool EndOfList() const;
    void ReadListBegin();
    void ReadListEnd();
    Integer ReadInteger();
    Int64 ReadInt64();
    bool ReadBoolean();
    char ReadChar();
    double ReadFloat();
    Currency ReadCurrency();
    TDateTime ReadDate();
    std::string ReadString();
    std::string ReadIdent();
    Variant ReadVariant();
    void ReadCollection(TCollection* collection);

private:
    struct TFixup {
        TComponent* Component;  // the component whose data holds the property
        TPersistent* Instance;
        PPropInfo Prop;
        std::string Name;   // the component referred to
        std::string Where;  // for error messages: component name and property path
    };

    const TFormToken& Take();
    const TFormToken& Peek() const;
    const TFormToken& TakeValue(std::initializer_list<TValueType> types);
    void ReadPropertyPath(TPersistent* instance, const std::string& path, const std::string& where);
    void ReadPropValue(TPersistent* instance, PPropInfo prop, const std::string& where);
    void SetPropValue(TPersistent* instance, PPropInfo prop, const std::string& where);
    Int64 ReadOrdinal(PPropInfo prop);
    Int64 ReadSet(PTypeInfo setType);
    void ReadMethod(TPersistent* instance, PPropInfo prop);
    TComponent* CreateComponent(const TFormToken& header);
    TClass FindComponentClass(const std::string& className) const;
    std::string UniqueRootName(TComponent* root, const std::string& name) const;
    void FixupReferences();
    void WaitForRoot(const TFixup& fixup);
    void FinishLoading();

    TFormTokens tokens_;
    size_t pos_ = 0;
    TComponent* owner_ = nullptr;
    TComponent* parent_ = nullptr;
    std::string propName_;  // the defined property being read, until a DefineProperty call takes it
    std::vector<TComponent*> loaded_;
    std::vector<TFixup> fixups_;
    TComponent* component_ = nullptr;  // whose data is being read
};

// References to components of roots not loaded yet ("DataModule2.Table1") wait until such a root is loaded.
// Resolves those whose root is there now (done after each form file read).
void GlobalFixupReferences();
// Drops waiting references held by the component or read into the root (called when either is destroyed).
void RemoveFixupReferences(TComponent* component);

// Reading several form files into one root (an inherited form, ancestor's file first): while one of these is
// alive, readers leave Loaded to Notify, which calls it once on each component read, in reading order.
class TGlobalLoading {
public:
    TGlobalLoading();
    ~TGlobalLoading();
    TGlobalLoading(const TGlobalLoading&) = delete;
    TGlobalLoading& operator=(const TGlobalLoading&) = delete;
    void Notify();

private:
    friend class TReader;
    static TGlobalLoading*& Current();

    TGlobalLoading* outer_;
    std::vector<TComponent*> loaded_;
};

class TWriter : public TFiler {
    DUN_CLASS(TWriter, TFiler)
public:
    TWriter() = default;

    void WriteRootComponent(TComponent* root);
    void WriteComponent(TComponent* component);
    // The header, properties and children of instance (TComponent::WriteState).
    void WriteData(TComponent* instance);
    void WriteProperties(TPersistent* instance);
    void WriteProperty(TPersistent* instance, PPropInfo prop);
    const TFormTokens& Tokens() const { return tokens_; }

    void DefineProperty(const std::string& name, const TReaderProc& readData, const TWriterProc& writeData,
                        bool hasData) override;
    void DefineBinaryProperty(const std::string& name, const TStreamProc& readData, const TStreamProc& writeData,
                              bool hasData) override;

    // Values, for the writers of defined properties.
    void WriteListBegin();
    void WriteListEnd();
    void WriteInteger(Int64 value);
    void WriteBoolean(bool value);
    void WriteChar(char value);
    void WriteFloat(double value);
    void WriteSingle(double value);
    void WriteCurrency(Currency value);
    void WriteDate(TDateTime value);
    void WriteString(const std::string& value);
    void WriteIdent(const std::string& ident);
    void WriteVariant(const Variant& value);
    void WriteCollection(TCollection* collection);

private:
    void WriteValue(TValueType type, std::string text = std::string());
    void WritePropName(const std::string& name);
    void WriteOrdinalProp(TPersistent* instance, PPropInfo prop);
    void WriteObjectProp(TPersistent* instance, PPropInfo prop);
    void WriteMethodProp(TPersistent* instance, PPropInfo prop);
    std::string ReferenceName(TComponent* component) const;

    TFormTokens tokens_;
    std::string pathPrefix_;  // "Font." while writing the properties of a property's object
};
