#include "classes/Filer.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "classes/ClassRegistry.h"
#include "classes/Collection.h"
#include "rtl/StringRoutines.h"
#include "rtl/Streams.h"
#include "rtl/Strings.h"

namespace {

[[noreturn]] void InvalidPropertyValue()
{
    throw EReadError("Invalid property value");
}

[[noreturn]] void InvalidStream()
{
    throw EReadError("Invalid stream format");
}

std::string InstanceName(TPersistent* instance)
{
    auto* component = dynamic_cast<TComponent*>(instance);
    return component && !component->Name().empty() ? component->Name() : instance->ClassName();
}

// Adds "Error reading <where>: " to a failure while reading a property, once.
void AddReadContext(Exception& e, const std::string& where)
{
    static const std::string prefix = "Error reading ";
    if (e.Message().compare(0, prefix.size(), prefix) != 0) e.SetMessage(prefix + where + ": " + e.Message());
}

struct TGlobalFixup {
    TComponent* Root;
    TComponent* Component;
    TPersistent* Instance;
    PPropInfo Prop;
    std::string RootName;
    std::string Name;  // within the root
};

std::vector<TGlobalFixup>& GlobalFixups()
{
    static std::vector<TGlobalFixup> fixups;
    return fixups;
}

bool IsIntegerValue(TValueType type)
{
    return type == vaInt8 || type == vaInt16 || type == vaInt32 || type == vaInt64;
}

void ReadStrings(TReader* reader, TStrings* strings)
{
    reader->ReadListBegin();
    strings->BeginUpdate();
    try {
        strings->Clear();
        while (!reader->EndOfList()) strings->Add(reader->ReadString());
    } catch (...) {
        strings->EndUpdate();
        throw;
    }
    strings->EndUpdate();
    reader->ReadListEnd();
}

void WriteStrings(TWriter* writer, TStrings* strings)
{
    writer->WriteListBegin();
    for (Integer i = 0; i < strings->Count(); ++i) writer->WriteString(strings->Strings(i));
    writer->WriteListEnd();
}

}  // namespace

// ---- TFiler ----

void TFiler::DefineAllProperties(TPersistent* instance)
{
    instance->DefineProperties(this);
    if (auto* strings = dynamic_cast<TStrings*>(instance)) {
        DefineProperty(
            "Strings", [strings](TReader* reader) { ReadStrings(reader, strings); },
            [strings](TWriter* writer) { WriteStrings(writer, strings); }, strings->Count() > 0);
    }
}

// ---- TReader: tokens ----

const TFormToken& TReader::Peek() const
{
    if (pos_ >= tokens_.size()) throw EReadError("Stream read error");
    return tokens_[pos_];
}

const TFormToken& TReader::Take()
{
    const TFormToken& token = Peek();
    ++pos_;
    return token;
}

const TFormToken& TReader::TakeValue(std::initializer_list<TValueType> types)
{
    const TFormToken& token = Peek();
    if (token.Kind != TFormToken::Value || std::find(types.begin(), types.end(), token.Type) == types.end())
        InvalidPropertyValue();
    ++pos_;
    return token;
}

TValueType TReader::NextValue() const
{
    const TFormToken& token = Peek();
    if (token.Kind != TFormToken::Value) InvalidStream();
    return token.Type;
}

TValueType TReader::ReadValue()
{
    TValueType type = NextValue();
    ++pos_;
    return type;
}

void TReader::SkipValue()
{
    TValueType type = ReadValue();
    if (type == vaList || type == vaSet) {
        while (!EndOfList()) SkipValue();
        ReadListEnd();
    } else if (type == vaCollection) {
        while (!EndOfList()) {
            if (IsIntegerValue(NextValue())) SkipValue();
            ReadListBegin();
            while (!EndOfList()) {
                if (Take().Kind != TFormToken::PropertyName) InvalidStream();
                SkipValue();
            }
            ReadListEnd();
        }
        ReadListEnd();
    }
}

bool TReader::EndOfList() const
{
    return Peek().IsEnd();
}

void TReader::ReadListBegin()
{
    TakeValue({vaList});
}

void TReader::ReadListEnd()
{
    TakeValue({vaNull});
}

Integer TReader::ReadInteger()
{
    Int64 value = TakeValue({vaInt8, vaInt16, vaInt32, vaInt64}).Int;
    if (value < INT32_MIN || value > INT32_MAX) InvalidPropertyValue();
    return Integer(value);
}

Int64 TReader::ReadInt64()
{
    return TakeValue({vaInt8, vaInt16, vaInt32, vaInt64}).Int;
}

bool TReader::ReadBoolean()
{
    return TakeValue({vaTrue, vaFalse}).Type == vaTrue;
}

char TReader::ReadChar()
{
    const TFormToken& token = TakeValue({vaString, vaLString, vaInt8, vaInt16, vaInt32});
    if (IsIntegerValue(token.Type)) {
        if (token.Int < 0 || token.Int > 255) InvalidPropertyValue();
        return char(token.Int);
    }
    if (token.Text.size() != 1) InvalidPropertyValue();
    return token.Text[0];
}

double TReader::ReadFloat()
{
    const TFormToken& token = TakeValue({vaExtended, vaSingle, vaCurrency, vaDate, vaInt8, vaInt16, vaInt32, vaInt64});
    return IsIntegerValue(token.Type) ? double(token.Int) : token.Float;
}

Currency TReader::ReadCurrency()
{
    return Currency(ReadFloat());
}

TDateTime TReader::ReadDate()
{
    return ReadFloat();
}

std::string TReader::ReadString()
{
    return TakeValue({vaString, vaLString, vaWString}).Text;
}

std::string TReader::ReadIdent()
{
    const TFormToken& token = TakeValue({vaIdent, vaFalse, vaTrue, vaNil});
    switch (token.Type) {
    case vaFalse: return "False";
    case vaTrue: return "True";
    case vaNil: return "nil";
    default: return token.Text;
    }
}

Variant TReader::ReadVariant()
{
    switch (NextValue()) {
    case vaNil: ReadValue(); return Unassigned();
    case vaIdent:
        if (!SameText(Peek().Text, "Null")) InvalidPropertyValue();
        ReadValue();
        return Null();
    case vaFalse:
    case vaTrue: return Variant(ReadBoolean());
    case vaInt8:
    case vaInt16:
    case vaInt32: return Variant(ReadInteger());
    case vaInt64: return Variant(ReadInt64());
    case vaExtended:
    case vaSingle: return Variant(ReadFloat());
    case vaCurrency: return Variant(ReadCurrency());
    case vaDate: return Variant::FromDate(ReadDate());
    case vaString:
    case vaLString:
    case vaWString: return Variant(ReadString());
    case vaList: {
        ReadListBegin();
        std::vector<Variant> elements;
        while (!EndOfList()) elements.push_back(ReadVariant());
        ReadListEnd();
        return VarArrayOf(elements);
    }
    default: InvalidPropertyValue();
    }
}

// ---- TReader: components ----

void TReader::ReadRootComponent(TComponent* root)
{
    root_ = root;
    owner_ = root;
    parent_ = root;
    const TFormToken& header = Take();
    if (header.Kind != TFormToken::ObjectHeader) InvalidStream();
    root->state_ += TComponentState{csLoading, csReading};
    try {
        if (!header.ObjectName.empty() && !root->state_.Contains(csDesigning))
            root->SetName(UniqueRootName(root, header.ObjectName));
        loaded_.push_back(root);
        root->ReadState(this);
        FixupReferences();
    } catch (...) {
        for (TComponent* component : loaded_) component->state_ -= TComponentState{csLoading, csReading};
        throw;
    }
    FinishLoading();
    GlobalFixupReferences();
}

void TReader::FinishLoading()
{
    for (TComponent* component : loaded_) component->state_.Exclude(csReading);
    std::vector<TComponent*> loaded;
    loaded.swap(loaded_);
    if (TGlobalLoading* global = TGlobalLoading::Current()) {
        for (TComponent* component : loaded)
            if (std::find(global->loaded_.begin(), global->loaded_.end(), component) == global->loaded_.end())
                global->loaded_.push_back(component);
        return;
    }
    for (TComponent* component : loaded) component->Loaded();
}

// ---- TGlobalLoading ----

TGlobalLoading*& TGlobalLoading::Current()
{
    static TGlobalLoading* current = nullptr;
    return current;
}

TGlobalLoading::TGlobalLoading() : outer_(Current())
{
    Current() = this;
}

TGlobalLoading::~TGlobalLoading()
{
    Current() = outer_;
}

void TGlobalLoading::Notify()
{
    std::vector<TComponent*> loaded;
    loaded.swap(loaded_);
    Current() = outer_;  // forms created from Loaded load on their own
    try {
        for (TComponent* component : loaded) component->Loaded();
    } catch (...) {
        Current() = this;
        throw;
    }
    Current() = this;
    GlobalFixupReferences();
}

std::string TReader::UniqueRootName(TComponent* root, const std::string& name) const
{
    auto taken = [&](const std::string& candidate) {
        TComponent* global = FindGlobalComponent(candidate);
        TComponent* sibling = root->Owner() ? root->Owner()->FindComponent(candidate) : nullptr;
        return (global && global != root) || (sibling && sibling != root);
    };
    std::string result = name;
    for (int i = 1; taken(result); ++i) result = name + "_" + std::to_string(i);
    return result;
}

void TReader::ReadData(TComponent* instance)
{
    TComponent* outerComponent = component_;
    component_ = instance;
    while (!EndOfList()) ReadProperty(instance);
    ReadListEnd();
    component_ = outerComponent;
    TComponent* oldParent = parent_;
    TComponent* oldOwner = owner_;
    parent_ = instance->GetChildParent();
    owner_ = instance->GetChildOwner();
    if (!owner_) owner_ = root_;
    try {
        while (!EndOfList()) ReadComponent();
        ReadListEnd();
    } catch (...) {
        parent_ = oldParent;
        owner_ = oldOwner;
        throw;
    }
    parent_ = oldParent;
    owner_ = oldOwner;
}

TClass TReader::FindComponentClass(const std::string& className) const
{
    if (TClass cls = FindFieldClass(root_->ClassType(), className)) return cls;
    return FindClass(className);
}

TComponent* TReader::CreateComponent(const TFormToken& header)
{
    TClass cls = FindComponentClass(header.Text);
    if (!cls->InheritsFrom(TComponent::StaticClass())) throw EReadError("Invalid stream format");
    auto* component = static_cast<TComponent*>(CreateObjectOfClass(cls, owner_));
    try {
        component->state_ += TComponentState{csLoading, csReading};
        component->SetName(header.ObjectName);
    } catch (...) {
        component->Free();
        throw;
    }
    return component;
}

TComponent* TReader::ReadComponent()
{
    const TFormToken& header = Take();
    if (header.Kind != TFormToken::ObjectHeader) InvalidStream();
    const bool inherited = header.Flags.Contains(ffInherited);
    TComponent* component = nullptr;
    if (inherited) {
        component = owner_->FindComponent(header.ObjectName);
        if (!component) throw EReadError("Ancestor for '" + header.ObjectName + "' not found");
        component->state_ += TComponentState{csLoading, csReading};
    } else {
        component = CreateComponent(header);
    }
    try {
        if (std::find(loaded_.begin(), loaded_.end(), component) == loaded_.end()) loaded_.push_back(component);
        component->ReadState(this);
        component->state_.Exclude(csReading);
        if (header.Flags.Contains(ffChildPos) && parent_) parent_->SetChildOrder(component, header.Position);
    } catch (...) {
        if (!inherited) {
            loaded_.erase(std::remove(loaded_.begin(), loaded_.end(), component), loaded_.end());
            component->Free();
        }
        throw;
    }
    return component;
}

// ---- TReader: properties ----

void TReader::ReadProperty(TPersistent* instance)
{
    const TFormToken& name = Take();
    if (name.Kind != TFormToken::PropertyName) InvalidStream();
    const std::string where = InstanceName(instance) + "." + name.Text;
    try {
        ReadPropertyPath(instance, name.Text, where);
    } catch (Exception& e) {
        AddReadContext(e, where);
        throw;
    }
}

void TReader::ReadPropertyPath(TPersistent* instance, const std::string& path, const std::string& where)
{
    TPersistent* target = instance;
    size_t start = 0;
    for (size_t dot = path.find('.'); dot != std::string::npos; dot = path.find('.', start)) {
        std::string part = path.substr(start, dot - start);
        PPropInfo prop = GetPropInfo(target, part);
        TPersistent* next = prop && prop->PropType->Kind == tkClass
                                ? dynamic_cast<TPersistent*>(GetObjectProp(target, prop))
                                : nullptr;
        if (!next) throw EReadError("Property " + part + " does not exist");
        target = next;
        start = dot + 1;
    }
    std::string last = path.substr(start);
    if (PPropInfo prop = GetPropInfo(target, last)) {
        ReadPropValue(target, prop, where);
        return;
    }
    propName_ = last;
    DefineAllProperties(target);
    if (!propName_.empty()) {
        propName_.clear();
        throw EReadError("Property " + last + " does not exist");
    }
}

void TReader::ReadPropValue(TPersistent* instance, PPropInfo prop, const std::string& where)
{
    try {
        SetPropValue(instance, prop, where);
    } catch (const EPropertyError&) {
        InvalidPropertyValue();  // a value the property refuses (an object or a handler of another type)
    }
}

void TReader::SetPropValue(TPersistent* instance, PPropInfo prop, const std::string& where)
{
    switch (prop->PropType->Kind) {
    case tkInteger:
    case tkChar:
    case tkEnumeration:
    case tkSet:
    case tkInt64: SetOrdProp(instance, prop, ReadOrdinal(prop)); break;
    case tkFloat: SetFloatProp(instance, prop, ReadFloat()); break;
    case tkString:
    case tkLString:
    case tkWString: SetStrProp(instance, prop, ReadString()); break;
    case tkMethod: ReadMethod(instance, prop); break;
    case tkVariant: SetVariantProp(instance, prop, ReadVariant()); break;
    case tkClass: {
        TValueType type = NextValue();
        if (type == vaNil) {
            ReadValue();
            SetObjectProp(instance, prop, nullptr);
        } else if (type == vaCollection) {
            auto* collection = dynamic_cast<TCollection*>(GetObjectProp(instance, prop));
            if (!collection) InvalidPropertyValue();
            ReadValue();
            ReadCollection(collection);
        } else {
            if (!prop->Writable) InvalidPropertyValue();
            fixups_.push_back({component_, instance, prop, TakeValue({vaIdent}).Text, where});
        }
        break;
    }
    default: InvalidPropertyValue();
    }
}

Int64 TReader::ReadOrdinal(PPropInfo prop)
{
    PTypeInfo type = prop->PropType;
    switch (type->Kind) {
    case tkChar: return static_cast<unsigned char>(ReadChar());
    case tkSet:
        if (ReadValue() != vaSet) InvalidPropertyValue();
        return ReadSet(type);
    case tkEnumeration: {
        Integer value = GetEnumValue(type, ReadIdent());
        if (value < 0) InvalidPropertyValue();
        return value;
    }
    case tkInteger:
        if (NextValue() == vaIdent) {
            Int64 value = 0;
            if (!prop->IdentToInt || !prop->IdentToInt(ReadIdent(), value)) InvalidPropertyValue();
            return value;
        } else {
            Int64 value = ReadInt64();
            if (value < type->MinValue || value > type->MaxValue) InvalidPropertyValue();
            return value;
        }
    default: return ReadInt64();
    }
}

Int64 TReader::ReadSet(PTypeInfo setType)
{
    Int64 result = 0;
    while (!EndOfList()) {
        Integer bit = GetEnumValue(setType->CompType, ReadIdent());
        if (bit < 0 || bit > 63) InvalidPropertyValue();
        result |= Int64(uint64_t(1) << bit);
    }
    ReadListEnd();
    return result;
}

void TReader::ReadMethod(TPersistent* instance, PPropInfo prop)
{
    if (NextValue() == vaNil) {
        ReadValue();
        SetMethodProp(instance, prop, TMethod{});
        return;
    }
    TMethod method;
    method.Code = MethodAddress(root_, TakeValue({vaIdent}).Text);
    if (!method.Code) InvalidPropertyValue();
    method.Data = root_;
    SetMethodProp(instance, prop, method);
}

void TReader::ReadCollection(TCollection* collection)
{
    collection->BeginUpdate();
    try {
        if (!EndOfList()) collection->Clear();
        while (!EndOfList()) {
            if (IsIntegerValue(NextValue())) ReadInteger();  // an item index: items are read in order
            TCollectionItem* item = collection->Add();
            ReadListBegin();
            while (!EndOfList()) ReadProperty(item);
            ReadListEnd();
        }
        ReadListEnd();
    } catch (...) {
        collection->EndUpdate();
        throw;
    }
    collection->EndUpdate();
}

void TReader::DefineProperty(const std::string& name, const TReaderProc& readData, const TWriterProc&, bool)
{
    if (propName_.empty() || !readData || !SameText(name, propName_)) return;
    propName_.clear();
    readData(this);
}

void TReader::DefineBinaryProperty(const std::string& name, const TStreamProc& readData, const TStreamProc&, bool)
{
    if (propName_.empty() || !readData || !SameText(name, propName_)) return;
    propName_.clear();
    const std::string& bytes = TakeValue({vaBinary}).Text;
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), Integer(bytes.size()));
    stream.SetPosition(0);
    readData(&stream);
}

void TReader::WaitForRoot(const TFixup& fixup)
{
    size_t dot = fixup.Name.find('.');
    if (dot == std::string::npos) return;  // no such component: the property stays nil
    std::string rootName = fixup.Name.substr(0, dot);
    if (FindGlobalComponent(rootName) || SameText(rootName, root_->Name())) return;  // loaded, without it
    GlobalFixups().push_back(
        {root_, fixup.Component, fixup.Instance, fixup.Prop, rootName, fixup.Name.substr(dot + 1)});
}

void GlobalFixupReferences()
{
    auto& fixups = GlobalFixups();
    for (size_t i = 0; i < fixups.size();) {
        TComponent* root = FindGlobalComponent(fixups[i].RootName);
        if (!root || root->ComponentState().Contains(csLoading)) {
            ++i;
            continue;
        }
        TGlobalFixup fixup = fixups[i];
        fixups.erase(fixups.begin() + i);
        if (TComponent* reference = FindNestedComponent(root, fixup.Name)) {
            try {
                SetObjectProp(fixup.Instance, fixup.Prop, reference);
            } catch (const EPropertyError&) {
                // a component of another class: the property stays nil, as when the name is unknown
            }
        }
    }
}

void RemoveFixupReferences(TComponent* component)
{
    auto& fixups = GlobalFixups();
    fixups.erase(std::remove_if(fixups.begin(), fixups.end(),
                                [component](const TGlobalFixup& f) {
                                    return f.Root == component || f.Component == component;
                                }),
                 fixups.end());
}

void TReader::FixupReferences()
{
    std::vector<TFixup> fixups;
    fixups.swap(fixups_);
    for (const TFixup& fixup : fixups) {
        TComponent* reference = FindNestedComponent(root_, fixup.Name);
        if (!reference) {
            WaitForRoot(fixup);
            continue;
        }
        try {
            SetObjectProp(fixup.Instance, fixup.Prop, reference);
        } catch (const EPropertyError&) {
            EReadError e("Invalid property value");
            AddReadContext(e, fixup.Where);
            throw e;
        } catch (Exception& e) {
            AddReadContext(e, fixup.Where);
            throw;
        }
    }
}

// ---- TWriter ----

void TWriter::WriteRootComponent(TComponent* root)
{
    root_ = root;
    WriteComponent(root);
}

void TWriter::WriteComponent(TComponent* component)
{
    const bool wasWriting = component->state_.Contains(csWriting);
    component->state_.Include(csWriting);
    try {
        component->WriteState(this);
    } catch (...) {
        if (!wasWriting) component->state_.Exclude(csWriting);
        throw;
    }
    if (!wasWriting) component->state_.Exclude(csWriting);
}

void TWriter::WriteData(TComponent* instance)
{
    TFormToken header;
    header.Kind = TFormToken::ObjectHeader;
    header.Text = instance->ClassName();
    header.ObjectName = instance->Name();
    tokens_.push_back(std::move(header));
    WriteProperties(instance);
    WriteListEnd();
    instance->GetChildren([this](TComponent* child) { WriteComponent(child); }, root_);
    WriteListEnd();
}

void TWriter::WriteProperties(TPersistent* instance)
{
    for (PPropInfo prop : GetPropList(instance))
        if (prop->Writable && IsStoredProp(instance, prop)) WriteProperty(instance, prop);
    DefineAllProperties(instance);
}

void TWriter::WriteProperty(TPersistent* instance, PPropInfo prop)
{
    switch (prop->PropType->Kind) {
    case tkInteger:
    case tkChar:
    case tkEnumeration:
    case tkSet:
    case tkInt64: WriteOrdinalProp(instance, prop); break;
    case tkFloat: {
        double value = GetFloatProp(instance, prop);
        if (value == 0) break;
        WritePropName(prop->Name);
        if (prop->PropType == DateTimeTypeInfo()) {
            WriteDate(value);
            break;
        }
        switch (prop->PropType->FloatType) {
        case ftCurr: WriteCurrency(Currency(value)); break;
        case ftSingle: WriteSingle(value); break;
        default: WriteFloat(value); break;
        }
        break;
    }
    case tkString:
    case tkLString:
    case tkWString: {
        std::string value = GetStrProp(instance, prop);
        if (value.empty()) break;
        WritePropName(prop->Name);
        WriteString(value);
        break;
    }
    case tkClass: WriteObjectProp(instance, prop); break;
    case tkMethod: WriteMethodProp(instance, prop); break;
    case tkVariant: {
        Variant value = GetVariantProp(instance, prop);
        if (VarIsEmpty(value)) break;
        WritePropName(prop->Name);
        WriteVariant(value);
        break;
    }
    default: break;
    }
}

void TWriter::WriteOrdinalProp(TPersistent* instance, PPropInfo prop)
{
    Int64 value = GetOrdProp(instance, prop);
    if (prop->Default && *prop->Default == value) return;
    WritePropName(prop->Name);
    PTypeInfo type = prop->PropType;
    std::string ident;
    switch (type->Kind) {
    case tkChar: WriteChar(char(value)); break;
    case tkEnumeration:
        if (type == TypeInfo<bool>())
            WriteBoolean(value != 0);
        else
            WriteIdent(GetEnumName(type, value));
        break;
    case tkSet:
        WriteValue(vaSet);
        for (int bit = 0; bit < 64; ++bit)
            if (uint64_t(value) & (uint64_t(1) << bit)) WriteValue(vaIdent, GetEnumName(type->CompType, bit));
        WriteListEnd();
        break;
    default:
        if (prop->IntToIdent && prop->IntToIdent(value, ident))
            WriteIdent(ident);
        else
            WriteInteger(value);
        break;
    }
}

std::string TWriter::ReferenceName(TComponent* component) const
{
    if (component->Name().empty()) return "";
    if (component == root_ || component->Owner() == root_) return component->Name();
    TComponent* owner = component->Owner();
    if (!owner || owner->Name().empty()) return "";
    return owner->Name() + "." + component->Name();
}

void TWriter::WriteObjectProp(TPersistent* instance, PPropInfo prop)
{
    TObject* value = GetObjectProp(instance, prop);
    if (!value) return;
    if (auto* component = dynamic_cast<TComponent*>(value)) {
        std::string name = ReferenceName(component);
        if (name.empty()) return;
        WritePropName(prop->Name);
        WriteIdent(name);
    } else if (auto* collection = dynamic_cast<TCollection*>(value)) {
        WritePropName(prop->Name);
        WriteCollection(collection);
    } else if (auto* persistent = dynamic_cast<TPersistent*>(value)) {
        std::string oldPrefix = pathPrefix_;
        pathPrefix_ += prop->Name + ".";
        try {
            WriteProperties(persistent);
        } catch (...) {
            pathPrefix_ = oldPrefix;
            throw;
        }
        pathPrefix_ = oldPrefix;
    }
}

void TWriter::WriteMethodProp(TPersistent* instance, PPropInfo prop)
{
    TMethod method = GetMethodProp(instance, prop);
    if (!method.Code || !root_) return;
    std::string name = MethodName(root_, method.Code);
    if (name.empty()) return;
    WritePropName(prop->Name);
    WriteIdent(name);
}

void TWriter::WriteVariant(const Variant& value)
{
    if (VarIsArray(value)) {
        if (VarArrayDimCount(value) != 1) throw EWriteError("Invalid property value");
        WriteListBegin();
        for (Integer i = VarArrayLowBound(value, 1); i <= VarArrayHighBound(value, 1); ++i) WriteVariant(value[i]);
        WriteListEnd();
        return;
    }
    switch (VarType(value) & varTypeMask) {
    case varEmpty: WriteValue(vaNil); break;
    case varNull: WriteIdent("Null"); break;
    case varSmallint:
    case varInteger:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64: WriteInteger(value.ToInt64()); break;
    case varDouble: WriteFloat(value.ToDouble()); break;
    case varCurrency: WriteCurrency(value.ToCurrency()); break;
    case varDate: WriteDate(value.ToDateTime()); break;
    case varBoolean: WriteBoolean(value.ToBoolean()); break;
    case varString: WriteString(value.ToString()); break;
    default: throw EWriteError("Invalid property value");
    }
}

void TWriter::WriteCollection(TCollection* collection)
{
    std::string oldPrefix = pathPrefix_;
    pathPrefix_.clear();
    WriteValue(vaCollection);
    try {
        for (Integer i = 0; i < collection->Count(); ++i) {
            WriteListBegin();
            WriteProperties(collection->Items(i));
            WriteListEnd();
        }
    } catch (...) {
        pathPrefix_ = oldPrefix;
        throw;
    }
    WriteListEnd();
    pathPrefix_ = oldPrefix;
}

void TWriter::DefineProperty(const std::string& name, const TReaderProc&, const TWriterProc& writeData, bool hasData)
{
    if (!hasData || !writeData) return;
    WritePropName(name);
    writeData(this);
}

void TWriter::DefineBinaryProperty(const std::string& name, const TStreamProc&, const TStreamProc& writeData,
                                   bool hasData)
{
    if (!hasData || !writeData) return;
    TMemoryStream stream;
    writeData(&stream);
    std::string bytes(size_t(stream.Size()), '\0');
    stream.SetPosition(0);
    if (!bytes.empty()) stream.ReadBuffer(bytes.data(), Integer(bytes.size()));
    WritePropName(name);
    WriteValue(vaBinary, std::move(bytes));
}

void TWriter::WritePropName(const std::string& name)
{
    TFormToken token;
    token.Kind = TFormToken::PropertyName;
    token.Text = pathPrefix_ + name;
    tokens_.push_back(std::move(token));
}

void TWriter::WriteValue(TValueType type, std::string text)
{
    TFormToken token;
    token.Type = type;
    token.Text = std::move(text);
    tokens_.push_back(std::move(token));
}

void TWriter::WriteListBegin()
{
    WriteValue(vaList);
}

void TWriter::WriteListEnd()
{
    WriteValue(vaNull);
}

void TWriter::WriteInteger(Int64 value)
{
    TFormToken token;
    token.Type = value >= INT32_MIN && value <= INT32_MAX ? vaInt32 : vaInt64;
    token.Int = value;
    tokens_.push_back(token);
}

void TWriter::WriteBoolean(bool value)
{
    WriteValue(value ? vaTrue : vaFalse);
}

void TWriter::WriteChar(char value)
{
    WriteString(std::string(1, value));
}

void TWriter::WriteFloat(double value)
{
    TFormToken token;
    token.Type = vaExtended;
    token.Float = value;
    tokens_.push_back(token);
}

void TWriter::WriteSingle(double value)
{
    TFormToken token;
    token.Type = vaSingle;
    token.Float = double(float(value));
    tokens_.push_back(token);
}

void TWriter::WriteCurrency(Currency value)
{
    TFormToken token;
    token.Type = vaCurrency;
    token.Float = value.ToDouble();
    tokens_.push_back(token);
}

void TWriter::WriteDate(TDateTime value)
{
    TFormToken token;
    token.Type = vaDate;
    token.Float = value;
    tokens_.push_back(token);
}

void TWriter::WriteString(const std::string& value)
{
    WriteValue(vaString, value);
}

void TWriter::WriteIdent(const std::string& ident)
{
    if (SameText(ident, "False"))
        WriteValue(vaFalse);
    else if (SameText(ident, "True"))
        WriteValue(vaTrue);
    else if (SameText(ident, "nil"))
        WriteValue(vaNil);
    else
        WriteValue(vaIdent, ident);
}
