#include "classes/TypInfo.h"

#include "rtl/StringRoutines.h"

namespace {

PTypeInfo Keep(TTypeInfo info)
{
    // Type records live as long as the program, like the class records that point at them.
    return new TTypeInfo(std::move(info));
}

TTypeInfo TypeRecord(TTypeKind kind, std::string name, Int64 minValue = 0, Int64 maxValue = 0)
{
    TTypeInfo info;
    info.Kind = kind;
    info.Name = std::move(name);
    info.MinValue = minValue;
    info.MaxValue = maxValue;
    return info;
}

PPropInfo FindOwnProperty(TClass cls, const std::string& name)
{
    for (const auto& prop : PublishedTableOf(cls).Properties)
        if (SameText(prop->Name, name)) return prop.get();
    return nullptr;
}

PPropInfo RequireProp(TObject* instance, const std::string& name)
{
    PPropInfo prop = GetPropInfo(instance, name);
    if (!prop) throw EPropertyError("Property " + name + " does not exist");
    return prop;
}

template <class F>
const F& Accessor(const F& f, PPropInfo prop)
{
    if (!f) throw EPropertyError("Invalid property type: " + prop->Name);
    return f;
}

template <class F>
const F& Setter(const F& f, PPropInfo prop)
{
    if (!prop->Writable) throw EPropertyError("Property " + prop->Name + " is read-only");
    return Accessor(f, prop);
}

}  // namespace

const TPublishedTable& PublishedTableOf(TClass cls)
{
    if (!cls->Published) {
        cls->Published = new TPublishedTable;
        if (cls->Describer) cls->Describer(*cls);
    }
    return *cls->Published;
}

// ---- type information ----

PTypeInfo MakeEnumTypeInfo(const char* name, std::initializer_list<const char*> names)
{
    TTypeInfo info;
    info.Kind = tkEnumeration;
    info.Name = name;
    for (const char* n : names) info.EnumNames.push_back(n);
    info.MaxValue = Int64(info.EnumNames.size()) - 1;
    return Keep(std::move(info));
}

PTypeInfo BooleanTypeInfo()
{
    static const PTypeInfo info = MakeEnumTypeInfo("Boolean", {"False", "True"});
    return info;
}

PTypeInfo CharTypeInfo()
{
    static const PTypeInfo info = Keep(TypeRecord(tkChar, "Char", 0, 255));
    return info;
}

PTypeInfo IntegerTypeInfo(const char* name, Int64 minValue, Int64 maxValue)
{
    return Keep(TypeRecord(tkInteger, name, minValue, maxValue));
}

PTypeInfo Int64TypeInfo()
{
    static const PTypeInfo info =
        Keep(TypeRecord(tkInt64, "Int64", std::numeric_limits<Int64>::min(), std::numeric_limits<Int64>::max()));
    return info;
}

PTypeInfo FloatTypeInfo(const char* name, TFloatType floatType)
{
    TTypeInfo info = TypeRecord(tkFloat, name);
    info.FloatType = floatType;
    return Keep(std::move(info));
}

PTypeInfo DateTimeTypeInfo()
{
    static const PTypeInfo info = FloatTypeInfo("TDateTime", ftDouble);
    return info;
}

PTypeInfo StringTypeInfo()
{
    static const PTypeInfo info = Keep(TypeRecord(tkLString, "String"));
    return info;
}

PTypeInfo SetTypeInfo(PTypeInfo elementType)
{
    TTypeInfo info = TypeRecord(tkSet, "set of " + elementType->Name);
    info.CompType = elementType;
    return Keep(std::move(info));
}

PTypeInfo ClassTypeInfo(TClass cls)
{
    TTypeInfo info = TypeRecord(tkClass, cls->Name);
    info.ClassType = cls;
    return Keep(std::move(info));
}

PTypeInfo MethodTypeInfo()
{
    static const PTypeInfo info = Keep(TypeRecord(tkMethod, "TMethod"));
    return info;
}

PTypeInfo VariantTypeInfo()
{
    static const PTypeInfo info = Keep(TypeRecord(tkVariant, "Variant"));
    return info;
}

std::string GetEnumName(PTypeInfo typeInfo, Int64 value)
{
    if (typeInfo->Kind == tkEnumeration) {
        if (value < 0 || value >= Int64(typeInfo->EnumNames.size())) return "";
        return typeInfo->EnumNames[size_t(value)];
    }
    return std::to_string(value);
}

Integer GetEnumValue(PTypeInfo typeInfo, const std::string& name)
{
    for (size_t i = 0; i < typeInfo->EnumNames.size(); ++i)
        if (SameText(typeInfo->EnumNames[i], name)) return Integer(i);
    return -1;
}

std::string SetToString(PTypeInfo setType, Int64 value, bool brackets)
{
    std::string result;
    for (int bit = 0; bit < 64; ++bit) {
        if (!(uint64_t(value) & (uint64_t(1) << bit))) continue;
        if (!result.empty()) result += ',';
        result += GetEnumName(setType->CompType, bit);
    }
    return brackets ? "[" + result + "]" : result;
}

Int64 StringToSet(PTypeInfo setType, const std::string& value)
{
    std::string text = value;
    if (!text.empty() && text.front() == '[') text.erase(0, 1);
    if (!text.empty() && text.back() == ']') text.pop_back();
    Int64 result = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(',', start);
        if (end == std::string::npos) end = text.size();
        std::string name = text.substr(start, end - start);
        name.erase(0, name.find_first_not_of(' '));
        name.erase(name.find_last_not_of(' ') + 1);
        if (!name.empty()) {
            Integer bit = GetEnumValue(setType->CompType, name);
            if (bit < 0 || bit > 63) throw EPropertyError("Invalid property element: " + name);
            result |= Int64(uint64_t(1) << bit);
        }
        start = end + 1;
    }
    return result;
}

// ---- properties ----

PPropInfo GetPropInfo(TClass cls, const std::string& name)
{
    for (TClass c = cls; c; c = c->Parent)
        if (PPropInfo prop = FindOwnProperty(c, name)) return prop;
    return nullptr;
}

PPropInfo GetPropInfo(const TObject* instance, const std::string& name)
{
    return instance ? GetPropInfo(instance->ClassType(), name) : nullptr;
}

bool IsPublishedProp(const TObject* instance, const std::string& name)
{
    return GetPropInfo(instance, name) != nullptr;
}

bool IsPublishedProp(TClass cls, const std::string& name)
{
    return GetPropInfo(cls, name) != nullptr;
}

bool PropIsType(const TObject* instance, const std::string& name, TTypeKind kind)
{
    return PropType(instance, name) == kind;
}

TTypeKind PropType(const TObject* instance, const std::string& name)
{
    PPropInfo prop = GetPropInfo(instance, name);
    if (!prop) throw EPropertyError("Property " + name + " does not exist");
    return prop->PropType->Kind;
}

TPropList GetPropList(TClass cls)
{
    std::vector<TClass> chain;
    for (TClass c = cls; c; c = c->Parent) chain.insert(chain.begin(), c);
    TPropList result;
    for (TClass c : chain) {
        for (const auto& prop : PublishedTableOf(c).Properties) {
            auto same = std::find_if(result.begin(), result.end(),
                                     [&](PPropInfo p) { return SameText(p->Name, prop->Name); });
            if (same != result.end())
                *same = prop.get();  // republished by a descendant
            else
                result.push_back(prop.get());
        }
    }
    return result;
}

TPropList GetPropList(const TObject* instance)
{
    return GetPropList(instance->ClassType());
}

bool IsStoredProp(TObject* instance, PPropInfo prop)
{
    return !prop->IsStored || prop->IsStored(instance);
}

Int64 GetOrdProp(TObject* instance, PPropInfo prop)
{
    return Accessor(prop->GetOrd, prop)(instance);
}

void SetOrdProp(TObject* instance, PPropInfo prop, Int64 value)
{
    Setter(prop->SetOrd, prop)(instance, value);
}

Int64 GetInt64Prop(TObject* instance, PPropInfo prop)
{
    return GetOrdProp(instance, prop);
}

void SetInt64Prop(TObject* instance, PPropInfo prop, Int64 value)
{
    SetOrdProp(instance, prop, value);
}

std::string GetEnumProp(TObject* instance, PPropInfo prop)
{
    return GetEnumName(prop->PropType, GetOrdProp(instance, prop));
}

void SetEnumProp(TObject* instance, PPropInfo prop, const std::string& value)
{
    Integer ordinal = GetEnumValue(prop->PropType, value);
    if (ordinal < 0) throw EPropertyError("Invalid enumeration name: " + value);
    SetOrdProp(instance, prop, ordinal);
}

std::string GetSetProp(TObject* instance, PPropInfo prop, bool brackets)
{
    if (prop->PropType->Kind != tkSet) throw EPropertyError("Invalid property type: " + prop->Name);
    return SetToString(prop->PropType, GetOrdProp(instance, prop), brackets);
}

void SetSetProp(TObject* instance, PPropInfo prop, const std::string& value)
{
    if (prop->PropType->Kind != tkSet) throw EPropertyError("Invalid property type: " + prop->Name);
    SetOrdProp(instance, prop, StringToSet(prop->PropType, value));
}

std::string GetStrProp(TObject* instance, PPropInfo prop)
{
    return Accessor(prop->GetStr, prop)(instance);
}

void SetStrProp(TObject* instance, PPropInfo prop, const std::string& value)
{
    Setter(prop->SetStr, prop)(instance, value);
}

double GetFloatProp(TObject* instance, PPropInfo prop)
{
    return Accessor(prop->GetFloat, prop)(instance);
}

void SetFloatProp(TObject* instance, PPropInfo prop, double value)
{
    Setter(prop->SetFloat, prop)(instance, value);
}

TObject* GetObjectProp(TObject* instance, PPropInfo prop)
{
    return Accessor(prop->GetObj, prop)(instance);
}

void SetObjectProp(TObject* instance, PPropInfo prop, TObject* value)
{
    Setter(prop->SetObj, prop)(instance, value);
}

Variant GetVariantProp(TObject* instance, PPropInfo prop)
{
    return Accessor(prop->GetVar, prop)(instance);
}

void SetVariantProp(TObject* instance, PPropInfo prop, const Variant& value)
{
    Setter(prop->SetVar, prop)(instance, value);
}

TMethod GetMethodProp(TObject* instance, PPropInfo prop)
{
    return Accessor(prop->GetMeth, prop)(instance);
}

void SetMethodProp(TObject* instance, PPropInfo prop, const TMethod& value)
{
    Setter(prop->SetMeth, prop)(instance, value);
}

Int64 GetOrdProp(TObject* instance, const std::string& name) { return GetOrdProp(instance, RequireProp(instance, name)); }
void SetOrdProp(TObject* instance, const std::string& name, Int64 value)
{
    SetOrdProp(instance, RequireProp(instance, name), value);
}
Int64 GetInt64Prop(TObject* instance, const std::string& name) { return GetInt64Prop(instance, RequireProp(instance, name)); }
void SetInt64Prop(TObject* instance, const std::string& name, Int64 value)
{
    SetInt64Prop(instance, RequireProp(instance, name), value);
}
std::string GetEnumProp(TObject* instance, const std::string& name)
{
    return GetEnumProp(instance, RequireProp(instance, name));
}
void SetEnumProp(TObject* instance, const std::string& name, const std::string& value)
{
    SetEnumProp(instance, RequireProp(instance, name), value);
}
std::string GetSetProp(TObject* instance, const std::string& name, bool brackets)
{
    return GetSetProp(instance, RequireProp(instance, name), brackets);
}
void SetSetProp(TObject* instance, const std::string& name, const std::string& value)
{
    SetSetProp(instance, RequireProp(instance, name), value);
}
std::string GetStrProp(TObject* instance, const std::string& name) { return GetStrProp(instance, RequireProp(instance, name)); }
void SetStrProp(TObject* instance, const std::string& name, const std::string& value)
{
    SetStrProp(instance, RequireProp(instance, name), value);
}
double GetFloatProp(TObject* instance, const std::string& name) { return GetFloatProp(instance, RequireProp(instance, name)); }
void SetFloatProp(TObject* instance, const std::string& name, double value)
{
    SetFloatProp(instance, RequireProp(instance, name), value);
}
TObject* GetObjectProp(TObject* instance, const std::string& name)
{
    return GetObjectProp(instance, RequireProp(instance, name));
}
void SetObjectProp(TObject* instance, const std::string& name, TObject* value)
{
    SetObjectProp(instance, RequireProp(instance, name), value);
}
Variant GetVariantProp(TObject* instance, const std::string& name)
{
    return GetVariantProp(instance, RequireProp(instance, name));
}
void SetVariantProp(TObject* instance, const std::string& name, const Variant& value)
{
    SetVariantProp(instance, RequireProp(instance, name), value);
}
TMethod GetMethodProp(TObject* instance, const std::string& name)
{
    return GetMethodProp(instance, RequireProp(instance, name));
}
void SetMethodProp(TObject* instance, const std::string& name, const TMethod& value)
{
    SetMethodProp(instance, RequireProp(instance, name), value);
}

// ---- methods and fields ----

void* MethodAddress(TClass cls, const std::string& name)
{
    for (TClass c = cls; c; c = c->Parent)
        for (const auto& method : PublishedTableOf(c).Methods)
            if (SameText(method->Name, name)) return method.get();
    return nullptr;
}

void* MethodAddress(const TObject* instance, const std::string& name)
{
    return MethodAddress(instance->ClassType(), name);
}

std::string MethodName(TClass cls, void* code)
{
    for (TClass c = cls; c && code; c = c->Parent)
        for (const auto& method : PublishedTableOf(c).Methods)
            if (method.get() == code) return method->Name;
    return "";
}

std::string MethodName(const TObject* instance, void* code)
{
    return MethodName(instance->ClassType(), code);
}

TMethod FindMethod(TObject* instance, const std::string& name)
{
    TMethod m;
    m.Code = MethodAddress(instance, name);
    if (m.Code) m.Data = instance;
    return m;
}

const TFieldInfo* FindPublishedField(TClass cls, const std::string& name)
{
    for (TClass c = cls; c; c = c->Parent)
        for (const auto& field : PublishedTableOf(c).Fields)
            if (SameText(field.Name, name)) return &field;
    return nullptr;
}

TClass FindFieldClass(TClass cls, const std::string& className)
{
    for (TClass c = cls; c; c = c->Parent)
        for (const auto& field : PublishedTableOf(c).Fields)
            for (TClass f = field.FieldClass; f; f = f->Parent)
                if (f->ClassNameIs(className)) return f;
    return nullptr;
}
