// Published properties, methods and fields, and access to them by name.
//
// A class publishes with a static member function found by its class record (see DUN_CLASS):
//     static void Publish(TPublisher<TMyTable>& p)
//     {
//         p.Property("Tag", &TMyTable::Tag, &TMyTable::SetTag).Default(0);
//         p.Property("PictureMasks", &TMyTable::PictureMasks, &TMyTable::SetPictureMasks);
//         p.Property("OnInvalidValue", &TMyTable::OnInvalidValue);     // a std::function member: an event
//         p.Method("Table1AfterOpen", &TMyForm::Table1AfterOpen);
//         p.Field("Table1", &TMyForm::Table1);                         // owner field set to the component by name
//     }
// Enumerations used as properties name their values once, in the global namespace (after the enumeration):
//     DUN_ENUM(TAlign, "alNone", "alTop", "alBottom");
#pragma once

#include <any>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <typeindex>
#include <vector>

#include "rtl/Exceptions.h"
#include "rtl/Objects.h"
#include "rtl/Types.h"
#include "rtl/Variants.h"

class EPropertyError : public Exception { public: using Exception::Exception; };

enum TTypeKind {
    tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet, tkClass, tkMethod, tkWChar, tkLString,
    tkWString, tkVariant, tkArray, tkRecord, tkInterface, tkInt64, tkDynArray
};
enum TFloatType { ftSingle, ftDouble, ftExtended, ftComp, ftCurr };

struct TTypeInfo {
    TTypeKind Kind = tkUnknown;
    std::string Name;
    Int64 MinValue = 0;                  // ordinal kinds
    Int64 MaxValue = 0;
    std::vector<std::string> EnumNames;  // tkEnumeration: the name of each value from 0
    const TTypeInfo* CompType = nullptr; // tkSet: the element type
    TClass ClassType = nullptr;          // tkClass
    TFloatType FloatType = ftDouble;     // tkFloat
};
using PTypeInfo = const TTypeInfo*;

struct TMethodInfo {
    std::string Name;
    std::type_index EventType;                           // the std::function type a handler of it has
    std::function<std::any(TObject* data)> MakeHandler;  // that std::function, calling the method on data
};

// An event value. Code is the published method the handler calls (MethodAddress) and Data its object, when the
// handler is one; Handler is the event's std::function itself (empty when the event is unassigned).
struct TMethod {
    void* Code = nullptr;
    TObject* Data = nullptr;
    std::any Handler;

    bool Assigned() const { return Handler.has_value() || Code != nullptr; }
    // The handler as the event's function type; empty when unassigned.
    template <class F>
    F As() const
    {
        std::any handler = Handler;
        if (!handler.has_value() && Code) handler = static_cast<const TMethodInfo*>(Code)->MakeHandler(Data);
        if (!handler.has_value()) return F{};
        if (const F* f = std::any_cast<F>(&handler)) return *f;
        throw EInvalidCast("Invalid class typecast");
    }
};

struct TPropInfo {
    std::string Name;
    PTypeInfo PropType = nullptr;
    std::optional<Int64> Default;              // ordinal and set properties
    std::function<bool(TObject*)> IsStored;    // none: always stored
    bool Writable = true;
    // Integer properties whose values have names in form files (colours, cursors): name to value and back.
    std::function<bool(const std::string& ident, Int64& value)> IdentToInt;
    std::function<bool(Int64 value, std::string& ident)> IntToIdent;

    std::function<Int64(TObject*)> GetOrd;     // integer, char, enumeration, set, Int64
    std::function<void(TObject*, Int64)> SetOrd;
    std::function<double(TObject*)> GetFloat;
    std::function<void(TObject*, double)> SetFloat;
    std::function<std::string(TObject*)> GetStr;
    std::function<void(TObject*, const std::string&)> SetStr;
    std::function<TObject*(TObject*)> GetObj;
    std::function<void(TObject*, TObject*)> SetObj;
    std::function<Variant(TObject*)> GetVar;
    std::function<void(TObject*, const Variant&)> SetVar;
    std::function<TMethod(TObject*)> GetMeth;
    std::function<void(TObject*, const TMethod&)> SetMeth;
};
using PPropInfo = const TPropInfo*;
using TPropList = std::vector<PPropInfo>;

struct TFieldInfo {
    std::string Name;
    TClass FieldClass;
    std::function<bool(TObject* owner, TObject* value)> Assign;  // false when the value has the wrong class
};

struct TPublishedTable {
    std::vector<std::unique_ptr<TPropInfo>> Properties;
    std::vector<std::unique_ptr<TMethodInfo>> Methods;
    std::vector<TFieldInfo> Fields;
};

// The published table of a class alone (not its ancestors), filled on first use.
const TPublishedTable& PublishedTableOf(TClass cls);

// ---- enumeration and other type information ----

PTypeInfo MakeEnumTypeInfo(const char* name, std::initializer_list<const char*> names);

template <class V, class Enable = void>
struct TTypeInfoOf;  // specialised for each type that can be published

#define DUN_ENUM(E, ...)                                                                                  \
    template <>                                                                                           \
    struct TTypeInfoOf<E> {                                                                               \
        static PTypeInfo Get()                                                                            \
        {                                                                                                 \
            static const PTypeInfo info = MakeEnumTypeInfo(#E, {__VA_ARGS__});                            \
            return info;                                                                                  \
        }                                                                                                 \
    }

template <class V>
PTypeInfo TypeInfo()
{
    return TTypeInfoOf<V>::Get();
}

PTypeInfo BooleanTypeInfo();
PTypeInfo CharTypeInfo();
PTypeInfo IntegerTypeInfo(const char* name, Int64 minValue, Int64 maxValue);
PTypeInfo Int64TypeInfo();
PTypeInfo FloatTypeInfo(const char* name, TFloatType floatType);
PTypeInfo StringTypeInfo();
PTypeInfo SetTypeInfo(PTypeInfo elementType);
PTypeInfo ClassTypeInfo(TClass cls);
PTypeInfo MethodTypeInfo();
PTypeInfo VariantTypeInfo();
// TDateTime is a double in C++: a float property says it holds one with .DateTime() (form files write it as a date).
PTypeInfo DateTimeTypeInfo();

template <>
struct TTypeInfoOf<bool> { static PTypeInfo Get() { return BooleanTypeInfo(); } };
template <>
struct TTypeInfoOf<char> { static PTypeInfo Get() { return CharTypeInfo(); } };
template <>
struct TTypeInfoOf<Int64> { static PTypeInfo Get() { return Int64TypeInfo(); } };
template <>
struct TTypeInfoOf<double> { static PTypeInfo Get() { return FloatTypeInfo("Double", ftDouble); } };
template <>
struct TTypeInfoOf<float> { static PTypeInfo Get() { return FloatTypeInfo("Single", ftSingle); } };
template <>
struct TTypeInfoOf<Currency> { static PTypeInfo Get() { return FloatTypeInfo("Currency", ftCurr); } };
template <>
struct TTypeInfoOf<std::string> { static PTypeInfo Get() { return StringTypeInfo(); } };
template <>
struct TTypeInfoOf<Variant> { static PTypeInfo Get() { return VariantTypeInfo(); } };

template <class V>
struct TTypeInfoOf<V, std::enable_if_t<std::is_integral_v<V> && !std::is_same_v<V, bool> && !std::is_same_v<V, char> &&
                                       sizeof(V) < 8>> {
    static PTypeInfo Get()
    {
        static const PTypeInfo info = IntegerTypeInfo(std::is_signed_v<V> ? "Integer" : "Cardinal",
                                                      Int64(std::numeric_limits<V>::min()),
                                                      Int64(std::numeric_limits<V>::max()));
        return info;
    }
};

template <class E>
struct TTypeInfoOf<Set<E>> {
    static PTypeInfo Get()
    {
        static const PTypeInfo info = SetTypeInfo(TypeInfo<E>());
        return info;
    }
};

template <class C>
struct TTypeInfoOf<C*, std::enable_if_t<std::is_base_of_v<TObject, C>>> {
    static PTypeInfo Get() { return ClassTypeInfo(C::StaticClass()); }
};

template <class R, class... A>
struct TTypeInfoOf<std::function<R(A...)>> {
    static PTypeInfo Get() { return MethodTypeInfo(); }
};

std::string GetEnumName(PTypeInfo typeInfo, Int64 value);
// -1 when the name is not one of the type's values (ignoring case).
Integer GetEnumValue(PTypeInfo typeInfo, const std::string& name);
std::string SetToString(PTypeInfo setType, Int64 value, bool brackets = false);
Int64 StringToSet(PTypeInfo setType, const std::string& value);

// ---- published methods ----

// The handler made from a published method: it remembers which method and object it calls.
template <class Sig>
struct TBoundMethod;

template <class R, class... A>
struct TBoundMethod<R(A...)> {
    const TMethodInfo* Info = nullptr;
    TObject* Data = nullptr;
    std::function<R(TObject*, A...)> Invoke;

    R operator()(A... args) const { return Invoke(Data, std::forward<A>(args)...); }
};

// ---- the publisher a class fills its published table with ----

namespace typinfo_detail {

template <class T, class V>
struct TAccessor {
    std::function<V(T*)> Get;
    std::function<void(T*, V)> Set;  // empty when read-only
};

template <class V>
using TPlain = std::remove_cv_t<std::remove_reference_t<V>>;

template <class T, class V>
void BindOrdinal(TPropInfo& info, const TAccessor<T, V>& a)
{
    info.GetOrd = [get = a.Get](TObject* o) -> Int64 {
        if constexpr (requires(V v) { v.ToMask(); })
            return static_cast<Int64>(get(static_cast<T*>(o)).ToMask());
        else
            return static_cast<Int64>(get(static_cast<T*>(o)));
    };
    if (!a.Set) return;
    info.SetOrd = [set = a.Set](TObject* o, Int64 value) {
        if constexpr (requires(V v) { v.ToMask(); })
            set(static_cast<T*>(o), V::FromMask(static_cast<typename V::Mask>(value)));
        else
            set(static_cast<T*>(o), static_cast<V>(value));
    };
}

template <class T, class V>
void BindFloat(TPropInfo& info, const TAccessor<T, V>& a)
{
    info.GetFloat = [get = a.Get](TObject* o) { return static_cast<double>(get(static_cast<T*>(o))); };
    if (a.Set) info.SetFloat = [set = a.Set](TObject* o, double value) { set(static_cast<T*>(o), V(value)); };
}

template <class T, class V>
void BindString(TPropInfo& info, const TAccessor<T, V>& a)
{
    info.GetStr = [get = a.Get](TObject* o) { return std::string(get(static_cast<T*>(o))); };
    if (a.Set) info.SetStr = [set = a.Set](TObject* o, const std::string& value) { set(static_cast<T*>(o), value); };
}

template <class T, class V>
void BindObject(TPropInfo& info, const TAccessor<T, V>& a)
{
    info.GetObj = [get = a.Get](TObject* o) -> TObject* { return get(static_cast<T*>(o)); };
    if (!a.Set) return;
    info.SetObj = [set = a.Set](TObject* o, TObject* value) {
        V typed = dynamic_cast<V>(value);
        if (value && !typed) throw EPropertyError("Invalid property value");
        set(static_cast<T*>(o), typed);
    };
}

template <class T, class V>
void BindVariant(TPropInfo& info, const TAccessor<T, V>& a)
{
    info.GetVar = [get = a.Get](TObject* o) { return Variant(get(static_cast<T*>(o))); };
    if (a.Set) info.SetVar = [set = a.Set](TObject* o, const Variant& value) { set(static_cast<T*>(o), value); };
}

template <class Sig>
void AssignEvent(std::function<Sig>& target, const TMethod& value)
{
    using F = std::function<Sig>;
    if (value.Handler.has_value()) {
        const F* handler = std::any_cast<F>(&value.Handler);
        if (!handler) throw EPropertyError("Invalid property value");
        target = *handler;
        return;
    }
    if (!value.Code) {
        target = nullptr;
        return;
    }
    const auto* method = static_cast<const TMethodInfo*>(value.Code);
    if (method->EventType != std::type_index(typeid(F))) throw EPropertyError("Invalid property value");
    target = std::any_cast<F>(method->MakeHandler(value.Data));
}

template <class Sig>
TMethod EventValue(const std::function<Sig>& handler)
{
    TMethod m;
    if (!handler) return m;
    m.Handler = handler;
    if (const auto* bound = handler.template target<TBoundMethod<Sig>>()) {
        m.Code = const_cast<TMethodInfo*>(bound->Info);
        m.Data = bound->Data;
    }
    return m;
}

template <class T, class Sig>
void BindMethod(TPropInfo& info, const TAccessor<T, std::function<Sig>>& a)
{
    info.GetMeth = [get = a.Get](TObject* o) { return EventValue<Sig>(get(static_cast<T*>(o))); };
    if (!a.Set) return;
    info.SetMeth = [set = a.Set](TObject* o, const TMethod& value) {
        std::function<Sig> handler;
        AssignEvent(handler, value);
        set(static_cast<T*>(o), handler);
    };
}

template <class T, class V>
void Bind(TPropInfo& info, const TAccessor<T, V>& a)
{
    switch (info.PropType->Kind) {
    case tkFloat: if constexpr (std::is_arithmetic_v<V> || std::is_same_v<V, Currency>) BindFloat(info, a); break;
    case tkLString: if constexpr (std::is_same_v<V, std::string>) BindString(info, a); break;
    case tkClass: if constexpr (std::is_pointer_v<V>) BindObject(info, a); break;
    case tkVariant: if constexpr (std::is_same_v<V, Variant>) BindVariant(info, a); break;
    case tkMethod:
        if constexpr (requires { EventValue(std::declval<V>()); }) BindMethod(info, a);
        break;
    default:
        if constexpr (std::is_integral_v<V> || std::is_enum_v<V> || requires(V v) { v.ToMask(); }) BindOrdinal(info, a);
        break;
    }
}

template <class Sig>
struct TMemberSignature;
template <class C, class R, class... A>
struct TMemberSignature<R (C::*)(A...)> { using Type = R(A...); };
template <class C, class R, class... A>
struct TMemberSignature<R (C::*)(A...) const> { using Type = R(A...); };

}  // namespace typinfo_detail

template <class T>
class TPublisher {
public:
    explicit TPublisher(TClassInfo& info) : table_(*info.Published) {}

    class TPropertyBuilder {
    public:
        explicit TPropertyBuilder(TPropInfo& info) : info_(info) {}
        template <class V>
        TPropertyBuilder& Default(V value)
        {
            if constexpr (requires { value.ToMask(); })
                info_.Default = static_cast<Int64>(value.ToMask());
            else
                info_.Default = static_cast<Int64>(value);
            return *this;
        }
        TPropertyBuilder& Idents(std::function<bool(const std::string&, Int64&)> identToInt,
                                 std::function<bool(Int64, std::string&)> intToIdent)
        {
            info_.IdentToInt = std::move(identToInt);
            info_.IntToIdent = std::move(intToIdent);
            return *this;
        }
        TPropertyBuilder& DateTime()
        {
            if (info_.PropType->Kind == tkFloat) info_.PropType = DateTimeTypeInfo();
            return *this;
        }
        TPropertyBuilder& Stored(bool stored)
        {
            info_.IsStored = [stored](TObject*) { return stored; };
            return *this;
        }
        TPropertyBuilder& Stored(bool (T::*isStored)() const)
        {
            info_.IsStored = [isStored](TObject* o) { return (static_cast<T*>(o)->*isStored)(); };
            return *this;
        }

    private:
        TPropInfo& info_;
    };

    // A property on a data member (of the class or an ancestor).
    template <class V, class C>
    TPropertyBuilder Property(const std::string& name, V C::*member)
    {
        static_assert(std::is_base_of_v<C, T>);
        typinfo_detail::TAccessor<T, V> a;
        a.Get = [member](T* o) { return o->*member; };
        a.Set = [member](T* o, V v) { o->*member = v; };
        return Add(name, a);
    }

    // A property with a getter and a setter (nullptr: read-only).
    template <class G, class C, class S>
    TPropertyBuilder Property(const std::string& name, G (C::*getter)() const, S setter)
    {
        return AddAccessors<G, C>(name, getter, setter);
    }
    template <class G, class C, class S>
    TPropertyBuilder Property(const std::string& name, G (C::*getter)(), S setter)
    {
        return AddAccessors<G, C>(name, getter, setter);
    }

    // A property through functions, for accessors that take more than the value (an index, a unit).
    template <class V>
    TPropertyBuilder Property(const std::string& name, std::function<V(T*)> getter,
                              std::function<void(T*, V)> setter = nullptr)
    {
        typinfo_detail::TAccessor<T, V> a{std::move(getter), std::move(setter)};
        return Add(name, a);
    }

    // A published method: event properties bind to it by name.
    template <class M>
    void Method(const std::string& name, M method)
    {
        using Sig = typename typinfo_detail::TMemberSignature<M>::Type;
        auto info = std::make_unique<TMethodInfo>(TMethodInfo{name, typeid(std::function<Sig>), nullptr});
        info->MakeHandler = MakeHandlerOf<Sig>(info.get(), method);
        table_.Methods.push_back(std::move(info));
    }

    // A published field: set to the owned component of the same name.
    template <class C, class B>
    void Field(const std::string& name, C* B::*member)
    {
        static_assert(std::is_base_of_v<B, T>);
        table_.Fields.push_back({name, C::StaticClass(), [member](TObject* owner, TObject* value) {
                                     C* typed = dynamic_cast<C*>(value);
                                     if (value && !typed) return false;
                                     static_cast<T*>(owner)->*member = typed;
                                     return true;
                                 }});
    }

private:
    template <class G, class C, class Getter, class S>
    TPropertyBuilder AddAccessors(const std::string& name, Getter getter, S setter)
    {
        static_assert(std::is_base_of_v<C, T>);
        using V = typinfo_detail::TPlain<G>;
        typinfo_detail::TAccessor<T, V> a;
        a.Get = [getter](T* o) { return V((o->*getter)()); };
        if constexpr (!std::is_null_pointer_v<S>) a.Set = [setter](T* o, V v) { (o->*setter)(v); };
        return Add(name, a);
    }

    template <class V>
    TPropertyBuilder Add(const std::string& name, const typinfo_detail::TAccessor<T, V>& a)
    {
        auto info = std::make_unique<TPropInfo>();
        info->Name = name;
        info->PropType = TypeInfo<V>();
        info->Writable = static_cast<bool>(a.Set);
        typinfo_detail::Bind(*info, a);
        TPropInfo& added = *info;
        table_.Properties.push_back(std::move(info));
        return TPropertyBuilder(added);
    }

    template <class Sig, class M>
    static std::function<std::any(TObject*)> MakeHandlerOf(const TMethodInfo* info, M method)
    {
        return [info, method](TObject* data) -> std::any {
            return std::function<Sig>(MakeBound<Sig>(info, data, method));
        };
    }

    template <class Sig, class M>
    static TBoundMethod<Sig> MakeBound(const TMethodInfo* info, TObject* data, M method)
    {
        TBoundMethod<Sig> bound;
        bound.Info = info;
        bound.Data = data;
        bound.Invoke = [method](TObject* self, auto&&... args) {
            return (static_cast<T*>(self)->*method)(std::forward<decltype(args)>(args)...);
        };
        return bound;
    }

    TPublishedTable& table_;
};

// ---- access by name ----

// nullptr when the class publishes no property of that name (ignoring case).
PPropInfo GetPropInfo(TClass cls, const std::string& name);
PPropInfo GetPropInfo(const TObject* instance, const std::string& name);
bool IsPublishedProp(const TObject* instance, const std::string& name);
bool IsPublishedProp(TClass cls, const std::string& name);
bool PropIsType(const TObject* instance, const std::string& name, TTypeKind kind);
TTypeKind PropType(const TObject* instance, const std::string& name);
// All published properties, ancestors' first, in the order they were published.
TPropList GetPropList(TClass cls);
TPropList GetPropList(const TObject* instance);
bool IsStoredProp(TObject* instance, PPropInfo prop);

Int64 GetOrdProp(TObject* instance, PPropInfo prop);
void SetOrdProp(TObject* instance, PPropInfo prop, Int64 value);
Int64 GetInt64Prop(TObject* instance, PPropInfo prop);
void SetInt64Prop(TObject* instance, PPropInfo prop, Int64 value);
std::string GetEnumProp(TObject* instance, PPropInfo prop);
void SetEnumProp(TObject* instance, PPropInfo prop, const std::string& value);
std::string GetSetProp(TObject* instance, PPropInfo prop, bool brackets = false);
void SetSetProp(TObject* instance, PPropInfo prop, const std::string& value);
std::string GetStrProp(TObject* instance, PPropInfo prop);
void SetStrProp(TObject* instance, PPropInfo prop, const std::string& value);
double GetFloatProp(TObject* instance, PPropInfo prop);
void SetFloatProp(TObject* instance, PPropInfo prop, double value);
TObject* GetObjectProp(TObject* instance, PPropInfo prop);
void SetObjectProp(TObject* instance, PPropInfo prop, TObject* value);
Variant GetVariantProp(TObject* instance, PPropInfo prop);
void SetVariantProp(TObject* instance, PPropInfo prop, const Variant& value);
TMethod GetMethodProp(TObject* instance, PPropInfo prop);
void SetMethodProp(TObject* instance, PPropInfo prop, const TMethod& value);

// The same by name; a missing property raises EPropertyError "Property %s does not exist".
Int64 GetOrdProp(TObject* instance, const std::string& name);
void SetOrdProp(TObject* instance, const std::string& name, Int64 value);
Int64 GetInt64Prop(TObject* instance, const std::string& name);
void SetInt64Prop(TObject* instance, const std::string& name, Int64 value);
std::string GetEnumProp(TObject* instance, const std::string& name);
void SetEnumProp(TObject* instance, const std::string& name, const std::string& value);
std::string GetSetProp(TObject* instance, const std::string& name, bool brackets = false);
void SetSetProp(TObject* instance, const std::string& name, const std::string& value);
std::string GetStrProp(TObject* instance, const std::string& name);
void SetStrProp(TObject* instance, const std::string& name, const std::string& value);
double GetFloatProp(TObject* instance, const std::string& name);
void SetFloatProp(TObject* instance, const std::string& name, double value);
TObject* GetObjectProp(TObject* instance, const std::string& name);
void SetObjectProp(TObject* instance, const std::string& name, TObject* value);
Variant GetVariantProp(TObject* instance, const std::string& name);
void SetVariantProp(TObject* instance, const std::string& name, const Variant& value);
TMethod GetMethodProp(TObject* instance, const std::string& name);
void SetMethodProp(TObject* instance, const std::string& name, const TMethod& value);

// Published methods, searched from the class up its ancestors (names ignore case); nullptr / "" when none.
void* MethodAddress(TClass cls, const std::string& name);
void* MethodAddress(const TObject* instance, const std::string& name);
std::string MethodName(TClass cls, void* code);
std::string MethodName(const TObject* instance, void* code);
// An event value calling the published method of that name on instance; unassigned when there is none.
TMethod FindMethod(TObject* instance, const std::string& name);

// Published fields, searched from the class up its ancestors.
const TFieldInfo* FindPublishedField(TClass cls, const std::string& name);
// The class of a published field of cls or an ancestor with that class name; nullptr when none.
TClass FindFieldClass(TClass cls, const std::string& className);
