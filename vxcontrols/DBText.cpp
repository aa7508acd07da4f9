#include "vxcontrols/DBText.h"

#include "classes/ClassRegistry.h"
#include "db/DataLinks.h"
#include "db/DataSource.h"
#include "db/Field.h"

namespace {
const bool registered = (RegisterClasses<TDBText>(), true);
}  // namespace

TDBText::TDBText(TComponent* owner) : TLabel(owner), dataLink_(std::make_unique<TFieldDataLink>())
{
    SetAutoSize(false);
    SetShowAccelChar(false);
    dataLink_->SetControl(this);
    dataLink_->OnDataChange = [this](TObject*) { DataChange(); };
}

TDBText::~TDBText()
{
    dataLink_->OnDataChange = nullptr;
    dataLink_->SetControl(nullptr);
}

void TDBText::Publish(TPublisher<TDBText>& p)
{
    p.Property("DataField", &TDBText::DataField, &TDBText::SetDataField);
    p.Property("DataSource", &TDBText::DataSource, &TDBText::SetDataSource);
    p.Property("AutoSize", &TDBText::AutoSize, &TDBText::SetAutoSize).Default(false);
    p.Property("ShowAccelChar", &TDBText::ShowAccelChar, &TDBText::SetShowAccelChar).Default(false);
}

TDataSource* TDBText::DataSource() const { return dataLink_->DataSource(); }

void TDBText::SetDataSource(TDataSource* value)
{
    dataLink_->SetDataSource(value);
    if (value) value->FreeNotification(this);
}

std::string TDBText::DataField() const { return dataLink_->FieldName(); }

void TDBText::SetDataField(const std::string& value) { dataLink_->SetFieldName(value); }

TField* TDBText::Field() const { return dataLink_->Field(); }

void TDBText::Notification(TComponent* component, TOperation operation)
{
    TLabel::Notification(component, operation);
    if (operation == opRemove && dataLink_ && component == dataLink_->DataSource()) SetDataSource(nullptr);
}

void TDBText::DataChange()
{
    TField* field = dataLink_->Field();
    SetCaption(field ? field->DisplayText() : "");
}
