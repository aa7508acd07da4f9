#include "rtl/Objects.h"

#include <algorithm>

#include "rtl/Exceptions.h"
#include "rtl/StringRoutines.h"

bool TClassInfo::ClassNameIs(const std::string& name) const
{
    return SameText(Name, name);
}

bool TClassInfo::AnswersTo(const std::string& name) const
{
    return ClassNameIs(name) ||
           std::any_of(AnswerNames.begin(), AnswerNames.end(), [&](const std::string& n) { return SameText(n, name); });
}

bool TClassInfo::InheritsFrom(TClass ancestor) const
{
    for (const TClassInfo* c = this; c; c = c->Parent)
        if (c == ancestor) return true;
    return false;
}

bool TClassInfo::InheritsFrom(const std::string& name) const
{
    for (const TClassInfo* c = this; c; c = c->Parent)
        if (c->AnswersTo(name)) return true;
    return false;
}

void TClassInfo::AddAnswerName(const std::string& name)
{
    if (!AnswersTo(name)) AnswerNames.push_back(name);
}

TClass TObject::StaticClass()
{
    static TClassInfo info("TObject", nullptr, nullptr, nullptr);
    return &info;
}

void TObject::Free()
{
    BeforeDestruction();
    delete this;
}

void TPersistent::Assign(TPersistent* source)
{
    if (!source) AssignError(nullptr);
    source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* dest)
{
    dest->AssignError(this);
}

void TPersistent::AssignError(const TPersistent* source) const
{
    const std::string sourceName = source ? source->ClassName() : std::string("nil");
    throw EConvertError("Cannot assign a " + sourceName + " to a " + ClassName());
}

std::string TPersistent::GetNamePath() const
{
    std::string result = ClassName();
    if (const TPersistent* owner = GetOwner()) {
        const std::string ownerPath = owner->GetNamePath();
        if (!ownerPath.empty()) result = ownerPath + "." + result;
    }
    return result;
}
