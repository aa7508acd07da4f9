// TComponent: owned components, names, free notification and component state.
#pragma once

#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "classes/TypInfo.h"
#include "rtl/Exceptions.h"
#include "rtl/Objects.h"
#include "rtl/Types.h"

class TReader;
class TWriter;
class TComponent;
class TBasicAction;

class EComponentError : public Exception { public: using Exception::Exception; };

enum TOperation { opInsert, opRemove };
enum TComponentStateItem {
    csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor, csUpdating, csFixups, csFreeNotification,
    csInline, csDesignInstance
};
using TComponentState = Set<TComponentStateItem>;
using TGetChildProc = std::function<void(TComponent* child)>;

// Set by the application: handles the exception being caught (called inside a catch block).
extern std::function<void(TObject* sender)> ApplicationHandleException;

class TComponent : public TPersistent {
    DUN_CLASS(TComponent, TPersistent)
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    // Creation by name: a component class is created with its owner.
    template <class T>
    static TObject* ConstructFrom(TObject* owner)
    {
        if constexpr (std::is_constructible_v<T, TComponent*>) {
            auto* typedOwner = dynamic_cast<TComponent*>(owner);
            if (owner && !typedOwner) throw EInvalidCast("Invalid class typecast");
            return CreateObject<T>(typedOwner);
        } else {
            return nullptr;
        }
    }

    void BeforeDestruction() override;
    void Destroying();
    void DestroyComponents();

    TComponent* Owner() const { return owner_; }
    Integer ComponentCount() const { return Integer(components_.size()); }
    TComponent* Components(Integer index) const;
    Integer ComponentIndex() const;
    void SetComponentIndex(Integer index);
    TComponent* FindComponent(const std::string& name) const;
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);

    const std::string& Name() const { return name_; }
    virtual void SetName(const std::string& newName);
    Integer Tag() const { return tag_; }
    void SetTag(Integer tag) { tag_ = tag; }
    // Where a non-visual component sits in the designer (form files keep it as Left and Top).
    Integer DesignLeft = 0;
    Integer DesignTop = 0;
    void DefineProperties(TFiler* filer) override;
    TComponentState ComponentState() const { return state_; }
    void SetDesigning(bool designing, bool setChildren = true);
    void Updating() { state_.Include(csUpdating); }
    void Updated() { state_.Exclude(csUpdating); }

    // Asks that component tell this one (Notification opRemove) when it is destroyed, and the other way round.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    TPersistent* GetOwner() const override { return owner_; }
    std::string GetNamePath() const override { return name_; }

    // Form file support.
    virtual bool HasParent() const { return false; }
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual void SetParentComponent(TComponent* parent) {}
    // The components written as this one's children, in order.
    virtual void GetChildren(const TGetChildProc& proc, TComponent* root) {}
    virtual void SetChildOrder(TComponent* child, Integer order) {}
    // Where components read inside this one go: their parent (default this) and owner (default the root).
    virtual TComponent* GetChildParent() { return this; }
    virtual TComponent* GetChildOwner() { return nullptr; }
    virtual void ReadState(TReader* reader);
    virtual void WriteState(TWriter* writer);
    virtual void Loaded();

    virtual void Notification(TComponent* component, TOperation operation);

    // When the action handles this component as its target: runs its ExecuteTarget / UpdateTarget on it and
    // answers true.
    virtual bool ExecuteAction(TBasicAction* action);
    virtual bool UpdateAction(TBasicAction* action);

    static void Publish(TPublisher<TComponent>& p);

protected:
    virtual void ValidateRename(TComponent* component, const std::string& curName, const std::string& newName);
    virtual void ValidateContainer(TComponent* component) { component->ValidateInsert(this); }
    virtual void ValidateInsert(TComponent* component) {}
    void ChangeName(const std::string& newName) { name_ = newName; }
    // Points the owner's published field of this component's name at it (or back to nil).
    void SetReference(bool enable);

    TComponentState state_;

private:
    friend class TReader;
    friend class TWriter;

    void Insert(TComponent* component);
    void Remove(TComponent* component);
    void RemoveNotification(TComponent* component);
    void RemoveFreeNotifications();

    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
    std::string name_;
    Integer tag_ = 0;
};

// The component of a dotted name ("Table1", "DataModule1.Table1") below root, or a root known globally.
TComponent* FindNestedComponent(TComponent* root, const std::string& path);

// Root components (data modules, forms) that others refer to by name across form files.
void AddGlobalRoot(TComponent* root);
void RemoveGlobalRoot(TComponent* root);
TComponent* FindGlobalComponent(const std::string& name);
