// The class registry: classes known by name, for form files and for creation by name.
#pragma once

#include <initializer_list>
#include <string>

#include "rtl/Exceptions.h"
#include "rtl/Objects.h"

class EClassNotFound : public EReadError { public: using EReadError::EReadError; };

// Registers a class under its name (a second registration of the same class is ignored).
void RegisterClass(TClass cls);
void RegisterClassAlias(TClass cls, const std::string& alias);
void UnRegisterClass(TClass cls);
void RegisterClasses(std::initializer_list<TClass> classes);
template <class... C>
void RegisterClasses()
{
    (RegisterClass(C::StaticClass()), ...);
}
// nullptr when no class of that name (ignoring case) is registered.
TClass GetClass(const std::string& className);
// Raises EClassNotFound "Class %s not found".
TClass FindClass(const std::string& className);
// A new object of the registered class; owner is passed to its constructor (a component's owner, an item's
// collection). Raises EClassNotFound when not registered, EInvalidOperation when the class cannot be created.
TObject* CreateObjectByName(const std::string& className, TObject* owner = nullptr);
TObject* CreateObjectOfClass(TClass cls, TObject* owner = nullptr);
