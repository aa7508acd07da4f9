#include "classes/DataModule.h"

#include "classes/Filer.h"
#include "classes/FormResource.h"
#include "rtl/Streams.h"

namespace {

// Runs a module's event; a failure goes to the application's handler when there is one.
void RunEvent(const TNotifyEvent& event, TObject* sender)
{
    if (!event) return;
    try {
        event(sender);
    } catch (...) {
        if (!ApplicationHandleException) throw;
        ApplicationHandleException(sender);
    }
}

void DefineInteger(TFiler* filer, const char* name, Integer& value, bool write)
{
    filer->DefineProperty(
        name, [&value](TReader* reader) { value = reader->ReadInteger(); },
        [&value](TWriter* writer) { writer->WriteInteger(value); }, write && value != 0);
}

}  // namespace

TDataModule::TDataModule(TComponent* owner) : TComponent(owner)
{
    AddGlobalRoot(this);
}

TDataModule::~TDataModule()
{
    RemoveGlobalRoot(this);
}

void TDataModule::Publish(TPublisher<TDataModule>& p)
{
    p.Property("OldCreateOrder", &TDataModule::OldCreateOrder, &TDataModule::SetOldCreateOrder);
    p.Property("OnCreate", &TDataModule::OnCreate);
    p.Property("OnDestroy", &TDataModule::OnDestroy);
}

void TDataModule::AfterConstruction()
{
    if (ClassType() != TDataModule::StaticClass() && !ComponentState().Contains(csDesigning) &&
        !InitInheritedComponent(this, TDataModule::StaticClass()))
        throw EResNotFound("Resource " + ClassName() + " not found");
    DoCreate();
}

void TDataModule::BeforeDestruction()
{
    Destroying();
    RemoveGlobalRoot(this);
    DoDestroy();
}

void TDataModule::DoCreate()
{
    RunEvent(OnCreate, this);
}

void TDataModule::DoDestroy()
{
    if (destroyed_) return;
    destroyed_ = true;
    RunEvent(OnDestroy, this);
}

void TDataModule::GetChildren(const TGetChildProc& proc, TComponent* root)
{
    for (Integer i = 0; i < ComponentCount(); ++i)
        if (!Components(i)->HasParent()) proc(Components(i));
}

void TDataModule::DefineProperties(TFiler* filer)
{
    TComponent::DefineProperties(filer);
    DefineInteger(filer, "HorizontalOffset", DesignLeft, false);
    DefineInteger(filer, "VerticalOffset", DesignTop, false);
    DefineInteger(filer, "Height", DesignHeight, true);
    DefineInteger(filer, "Width", DesignWidth, true);
}
