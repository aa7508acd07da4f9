#include "classes/Action.h"

TBasicAction::~TBasicAction()
{
    SetActionComponent(nullptr);
}

void TBasicAction::Publish(TPublisher<TBasicAction>& p)
{
    p.Property("OnExecute", &TBasicAction::OnExecute);
    p.Property("OnUpdate", &TBasicAction::OnUpdate);
}

bool TBasicAction::Execute()
{
    if (!OnExecute) return false;
    OnExecute(this);
    return true;
}

bool TBasicAction::Update()
{
    if (!OnUpdate) return false;
    OnUpdate(this);
    return true;
}

void TBasicAction::SetActionComponent(TComponent* component)
{
    if (component == actionComponent_) return;
    if (actionComponent_) actionComponent_->RemoveFreeNotification(this);
    actionComponent_ = component;
    if (actionComponent_) actionComponent_->FreeNotification(this);
}

void TBasicAction::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == actionComponent_) actionComponent_ = nullptr;
}
