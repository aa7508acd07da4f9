// Root classes: TObject with class metadata (TClass) and TPersistent.
//
// Every class declares its metadata with one line in its body:
//     class TEdit : public TCustomEdit { DUN_CLASS(TEdit, TCustomEdit) ... };
// The macro gives the class StaticClass() and overrides ClassType(). The class record carries the class name, the
// parent, a factory (creation by name) and room for the component model: the published properties and methods
// (filled on first use from a static Publish(TPublisher<Self>&) the class may declare) and the extra names the class
// answers to in InheritsFrom(name).
#pragma once

#include <string>
#include <type_traits>
#include <utility>
#include <vector>

class TObject;
class TFiler;
struct TPublishedTable;
template <class T> class TPublisher;

struct TClassInfo;
using TClass = TClassInfo*;

struct TClassInfo {
    using TFactory = TObject* (*)(TObject* owner);
    using TDescriber = void (*)(TClassInfo& info);

    const char* Name;
    TClass Parent;
    TFactory Factory;          // nullptr when the class cannot be created by name
    TDescriber Describer;      // fills Published on first use
    TPublishedTable* Published = nullptr;  // owned by the component model
    std::vector<std::string> AnswerNames;  // extra names matched by InheritsFrom(name)

    TClassInfo(const char* name, TClass parent, TFactory factory, TDescriber describer)
            : Name(name), Parent(parent), Factory(factory), Describer(describer) {}
    TClassInfo(const TClassInfo&) = delete;
    TClassInfo& operator=(const TClassInfo&) = delete;

    std::string ClassName() const { return Name; }
    bool ClassNameIs(const std::string& name) const;
    bool AnswersTo(const std::string& name) const;  // own name or one of the extra names
    bool InheritsFrom(TClass ancestor) const;
    bool InheritsFrom(const std::string& name) const;
    void AddAnswerName(const std::string& name);
};

// Creates an object and runs its AfterConstruction; frees it again when that fails. Objects whose class does work
// after construction (data modules, forms) must be made this way, by their owner or by creation by name.
template <class T, class... Args>
T* CreateObject(Args&&... args)
{
    T* object = new T(std::forward<Args>(args)...);
    try {
        object->AfterConstruction();
    } catch (...) {
        delete object;
        throw;
    }
    return object;
}

// Creation by name: a class with a static template ConstructFrom<T>(owner) (the component model's roots declare
// one) is created through it; any other default-constructible class with new T.
template <class T>
TObject* DunCreateInstance(TObject* owner) {
    if constexpr (std::is_abstract_v<T>) {
        return nullptr;
    } else if constexpr (requires { T::template ConstructFrom<T>(owner); }) {
        return T::template ConstructFrom<T>(owner);  // runs CreateObject itself
    } else if constexpr (std::is_default_constructible_v<T>) {
        return CreateObject<T>();
    } else {
        return nullptr;
    }
}

template <class T>
void DunDescribeClass(TClassInfo& info) {
    if constexpr (requires(TPublisher<T>& p) { T::Publish(p); }) {
        TPublisher<T> publisher(info);
        T::Publish(publisher);
    }
}

#define DUN_CLASS(Self, ParentClass)                                                                 \
public:                                                                                              \
    static TClass StaticClass()                                                                      \
    {                                                                                                \
        static TClassInfo info(#Self, ParentClass::StaticClass(), &DunCreateInstance<Self>,          \
                               &DunDescribeClass<Self>);                                             \
        return &info;                                                                                \
    }                                                                                                \
    TClass ClassType() const override { return Self::StaticClass(); }                                \
                                                                                                     \
private:

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    // Run right after the most derived constructor (CreateObject) and right before destruction (Free).
    virtual void AfterConstruction() {}
    virtual void BeforeDestruction() {}
    // BeforeDestruction, then delete.
    void Free();

    static TClass StaticClass();
    virtual TClass ClassType() const { return StaticClass(); }

    std::string ClassName() const { return ClassType()->Name; }
    bool ClassNameIs(const std::string& name) const { return ClassType()->ClassNameIs(name); }
    TClass ClassParent() const { return ClassType()->Parent; }
    bool InheritsFrom(TClass ancestor) const { return ClassType()->InheritsFrom(ancestor); }
    bool InheritsFrom(const std::string& name) const { return ClassType()->InheritsFrom(name); }
};

class TPersistent : public TObject {
    DUN_CLASS(TPersistent, TObject)
public:
    TPersistent() = default;
    virtual void Assign(TPersistent* source);
    virtual std::string GetNamePath() const;
    // Persistent data that is not a published property (written and read through the filer).
    virtual void DefineProperties(TFiler* filer) {}
    virtual TPersistent* GetOwner() const { return nullptr; }

protected:
    virtual void AssignTo(TPersistent* dest);
    [[noreturn]] void AssignError(const TPersistent* source) const;
};
