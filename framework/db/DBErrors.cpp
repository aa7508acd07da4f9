#include "db/DBErrors.h"

#include "classes/Component.h"
#include "rtl/SysUtils.h"

void DatabaseError(const std::string& message, const TComponent* component)
{
    if (component && !component->Name().empty()) throw EDatabaseError(component->Name() + ": " + message);
    throw EDatabaseError(message);
}

void DatabaseErrorFmt(const std::string& format, std::initializer_list<TVarRec> args, const TComponent* component)
{
    DatabaseError(Format(format, args), component);
}
