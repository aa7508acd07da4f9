#include "db/Constraints.h"

#include "classes/TypInfo.h"

void TCheckConstraint::Publish(TPublisher<TCheckConstraint>& p)
{
    p.Property("CustomConstraint", &TCheckConstraint::CustomConstraint, &TCheckConstraint::SetCustomConstraint);
    p.Property("ErrorMessage", &TCheckConstraint::ErrorMessage, &TCheckConstraint::SetErrorMessage);
    p.Property("FromDictionary", &TCheckConstraint::FromDictionary, &TCheckConstraint::SetFromDictionary)
        .Default(true);
    p.Property("ImportedConstraint", &TCheckConstraint::ImportedConstraint,
               &TCheckConstraint::SetImportedConstraint);
}

void TCheckConstraint::SetCustomConstraint(const std::string& value)
{
    customConstraint_ = value;
    Changed(false);
}

void TCheckConstraint::SetErrorMessage(const std::string& value)
{
    errorMessage_ = value;
    Changed(false);
}

void TCheckConstraint::SetFromDictionary(bool value)
{
    fromDictionary_ = value;
    Changed(false);
}

void TCheckConstraint::SetImportedConstraint(const std::string& value)
{
    importedConstraint_ = value;
    Changed(false);
}

void TCheckConstraint::Assign(TPersistent* source)
{
    auto* other = dynamic_cast<TCheckConstraint*>(source);
    if (!other) {
        TCollectionItem::Assign(source);
        return;
    }
    customConstraint_ = other->customConstraint_;
    errorMessage_ = other->errorMessage_;
    fromDictionary_ = other->fromDictionary_;
    importedConstraint_ = other->importedConstraint_;
    Changed(false);
}
