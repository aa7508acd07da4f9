// TBasicAction: a command that runs its OnExecute, or acts on a target component that it handles; TAction, the
// command an action list keeps under a category.
#pragma once

#include <functional>
#include <string>
#include <vector>

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

class TActionList;

// The list's handler runs before the action's own; setting Handled stops there.
using TActionEvent = std::function<void(TBasicAction* Action, bool& Handled)>;

// An action kept in an action list, under a category.
class TContainedAction : public TBasicAction {
    DUN_CLASS(TContainedAction, TBasicAction)
public:
    explicit TContainedAction(TComponent* owner) : TBasicAction(owner) {}
    ~TContainedAction() override;
    static void Publish(TPublisher<TContainedAction>& p);

    TActionList* ActionList() const { return actionList_; }
    void SetActionList(TActionList* list);
    const std::string& Category() const { return category_; }
    void SetCategory(const std::string& value) { category_ = value; }
    Integer Index() const;

    // The list's OnExecute first; the action's own OnExecute unless the list handled it.
    bool Execute() override;

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* parent) override;
    void ReadState(TReader* reader) override;

private:
    friend class TActionList;
    TActionList* actionList_ = nullptr;
    std::string category_;
};

class TAction : public TContainedAction {
    DUN_CLASS(TAction, TContainedAction)
public:
    explicit TAction(TComponent* owner) : TContainedAction(owner) {}
    static void Publish(TPublisher<TAction>& p);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& value) { caption_ = value; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value) { enabled_ = value; }
    // A disabled action does not run.
    bool Execute() override;

private:
    std::string caption_;
    bool enabled_ = true;
};

// The actions of a form or module, in order; its OnExecute sees every action before the action's own handler.
class TActionList : public TComponent {
    DUN_CLASS(TActionList, TComponent)
public:
    explicit TActionList(TComponent* owner) : TComponent(owner) {}
    ~TActionList() override;
    static void Publish(TPublisher<TActionList>& p);

    Integer ActionCount() const { return Integer(actions_.size()); }
    TContainedAction* Actions(Integer index) const;
    void AddAction(TContainedAction* action);
    void RemoveAction(TContainedAction* action);
    Integer IndexOfAction(const TContainedAction* action) const;
    // Runs OnExecute; true when it handled the action.
    bool ExecuteAction(TBasicAction* action) override;

    void GetChildren(const TGetChildProc& proc, TComponent* root) override;

    TActionEvent OnExecute;

private:
    std::vector<TContainedAction*> actions_;
};
