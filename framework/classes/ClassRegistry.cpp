#include "classes/ClassRegistry.h"

#include <algorithm>
#include <vector>

#include "rtl/StringRoutines.h"

namespace {

struct TRegisteredClass {
    std::string Name;
    TClass Class;
};

std::vector<TRegisteredClass>& Registry()
{
    static std::vector<TRegisteredClass> registry;
    return registry;
}

}  // namespace

void RegisterClassAlias(TClass cls, const std::string& alias)
{
    TClass known = GetClass(alias);
    if (known == cls) return;
    if (known) throw EInvalidOperation("A class named " + alias + " already exists");
    Registry().push_back({alias, cls});
}

void RegisterClass(TClass cls)
{
    RegisterClassAlias(cls, cls->Name);
}

void RegisterClasses(std::initializer_list<TClass> classes)
{
    for (TClass cls : classes) RegisterClass(cls);
}

void UnRegisterClass(TClass cls)
{
    auto& registry = Registry();
    registry.erase(std::remove_if(registry.begin(), registry.end(),
                                  [cls](const TRegisteredClass& r) { return r.Class == cls; }),
                   registry.end());
}

TClass GetClass(const std::string& className)
{
    for (const auto& registered : Registry())
        if (SameText(registered.Name, className)) return registered.Class;
    return nullptr;
}

TClass FindClass(const std::string& className)
{
    TClass cls = GetClass(className);
    if (!cls) throw EClassNotFound("Class " + className + " not found");
    return cls;
}

TObject* CreateObjectOfClass(TClass cls, TObject* owner)
{
    if (!cls->Factory) throw EInvalidOperation("Cannot create an instance of " + std::string(cls->Name));
    TObject* object = cls->Factory(owner);
    if (!object) throw EInvalidOperation("Cannot create an instance of " + std::string(cls->Name));
    return object;
}

TObject* CreateObjectByName(const std::string& className, TObject* owner)
{
    return CreateObjectOfClass(FindClass(className), owner);
}
