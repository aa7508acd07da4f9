#include "classes/Action.h"

#include <algorithm>

#include "classes/ClassRegistry.h"
#include "classes/Filer.h"
#include "rtl/SysUtils.h"

namespace {
const bool registered = (RegisterClasses<TAction, TActionList>(), true);
}  // namespace

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

// ---- TContainedAction

TContainedAction::~TContainedAction()
{
    SetActionList(nullptr);
}

void TContainedAction::Publish(TPublisher<TContainedAction>& p)
{
    p.Property("Category", &TContainedAction::Category, &TContainedAction::SetCategory);
}

void TContainedAction::SetActionList(TActionList* list)
{
    if (list == actionList_) return;
    if (actionList_) actionList_->RemoveAction(this);
    if (list) list->AddAction(this);
}

Integer TContainedAction::Index() const
{
    return actionList_ ? actionList_->IndexOfAction(this) : -1;
}

bool TContainedAction::Execute()
{
    if (actionList_ && actionList_->ExecuteAction(this)) return true;
    return TBasicAction::Execute();
}

TComponent* TContainedAction::GetParentComponent() const { return actionList_; }

void TContainedAction::SetParentComponent(TComponent* parent)
{
    SetActionList(dynamic_cast<TActionList*>(parent));
}

void TContainedAction::ReadState(TReader* reader)
{
    if (reader->Parent() && reader->Parent() != this) SetParentComponent(reader->Parent());
    TBasicAction::ReadState(reader);
}

// ---- TAction

void TAction::Publish(TPublisher<TAction>& p)
{
    p.Property("Caption", &TAction::Caption, &TAction::SetCaption);
    p.Property("Enabled", &TAction::Enabled, &TAction::SetEnabled).Default(true);
}

bool TAction::Execute()
{
    return enabled_ && TContainedAction::Execute();
}

// ---- TActionList

TActionList::~TActionList()
{
    while (!actions_.empty()) actions_.back()->SetActionList(nullptr);
}

void TActionList::Publish(TPublisher<TActionList>& p)
{
    p.Property("OnExecute", &TActionList::OnExecute);
}

TContainedAction* TActionList::Actions(Integer index) const
{
    if (index < 0 || index >= ActionCount()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
    return actions_[size_t(index)];
}

void TActionList::AddAction(TContainedAction* action)
{
    actions_.push_back(action);
    action->actionList_ = this;
}

void TActionList::RemoveAction(TContainedAction* action)
{
    const auto at = std::find(actions_.begin(), actions_.end(), action);
    if (at == actions_.end()) return;
    actions_.erase(at);
    action->actionList_ = nullptr;
}

Integer TActionList::IndexOfAction(const TContainedAction* action) const
{
    const auto at = std::find(actions_.begin(), actions_.end(), action);
    return at == actions_.end() ? -1 : Integer(at - actions_.begin());
}

bool TActionList::ExecuteAction(TBasicAction* action)
{
    bool handled = false;
    if (OnExecute) OnExecute(action, handled);
    return handled;
}

void TActionList::GetChildren(const TGetChildProc& proc, TComponent* root)
{
    for (TContainedAction* action : actions_) proc(action);
}
