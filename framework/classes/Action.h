// TBasicAction: a command that runs its OnExecute, or acts on a target component that it handles.
#pragma once

#include "classes/Component.h"
#include "rtl/Strings.h"

class TBasicAction : public TComponent {
    DUN_CLASS(TBasicAction, TComponent)
public:
    explicit TBasicAction(TComponent* owner) : TComponent(owner) {}
    ~TBasicAction() override;
    static void Publish(TPublisher<TBasicAction>& p);

    // Runs OnExecute / OnUpdate; true when there is a handler.
    virtual bool Execute();
    virtual bool Update();
    // Whether the action acts on target (base: on none), and acting on it.
    virtual bool HandlesTarget(TObject* target) { return false; }
    virtual void ExecuteTarget(TObject* target) {}
    virtual void UpdateTarget(TObject* target) {}
    // The component (a menu item, a button) through which the action was last executed.
    TComponent* ActionComponent() const { return actionComponent_; }
    void SetActionComponent(TComponent* component);
    void Notification(TComponent* component, TOperation operation) override;

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;

private:
    TComponent* actionComponent_ = nullptr;
};
