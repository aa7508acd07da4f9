#include "classes/Component.h"

#include <algorithm>

#include "classes/Action.h"
#include "classes/Filer.h"
#include "classes/Names.h"
#include "rtl/StringRoutines.h"

std::function<void(TObject* sender)> ApplicationHandleException;

namespace {

std::vector<TComponent*>& GlobalRoots()
{
    static std::vector<TComponent*> roots;
    return roots;
}

[[noreturn]] void IndexError(Integer index)
{
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

void DefineDesignPosition(TFiler* filer, const char* name, Integer& value)
{
    filer->DefineProperty(
        name, [&value](TReader* reader) { value = reader->ReadInteger(); },
        [&value](TWriter* writer) { writer->WriteInteger(value); }, value != 0);
}

}  // namespace

TComponent::TComponent(TComponent* owner)
{
    if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent()
{
    Destroying();
    RemoveFixupReferences(this);
    RemoveFreeNotifications();
    DestroyComponents();
    if (owner_) owner_->RemoveComponent(this);
}

void TComponent::Publish(TPublisher<TComponent>& p)
{
    p.Property("Name", &TComponent::Name, &TComponent::SetName).Stored(false);
    p.Property("Tag", &TComponent::Tag, &TComponent::SetTag).Default(0);
}

void TComponent::BeforeDestruction()
{
    Destroying();
}

void TComponent::Destroying()
{
    if (state_.Contains(csDestroying)) return;
    state_.Include(csDestroying);
    for (TComponent* component : components_) component->Destroying();
}

void TComponent::DestroyComponents()
{
    while (!components_.empty()) {
        TComponent* component = components_.back();
        if (component->state_.Contains(csFreeNotification))
            RemoveComponent(component);
        else
            Remove(component);
        component->Free();
    }
}

TComponent* TComponent::Components(Integer index) const
{
    if (index < 0 || index >= ComponentCount()) IndexError(index);
    return components_[size_t(index)];
}

Integer TComponent::ComponentIndex() const
{
    if (!owner_) return -1;
    auto& siblings = owner_->components_;
    auto found = std::find(siblings.begin(), siblings.end(), this);
    return found == siblings.end() ? -1 : Integer(found - siblings.begin());
}

void TComponent::SetComponentIndex(Integer index)
{
    if (!owner_) return;
    auto& siblings = owner_->components_;
    Integer current = ComponentIndex();
    if (current < 0) return;
    index = std::clamp(index, Integer(0), Integer(siblings.size()) - 1);
    siblings.erase(siblings.begin() + current);
    siblings.insert(siblings.begin() + index, this);
}

TComponent* TComponent::FindComponent(const std::string& name) const
{
    if (name.empty()) return nullptr;
    for (TComponent* component : components_)
        if (SameText(component->name_, name)) return component;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* component)
{
    ValidateContainer(component);
    ValidateRename(component, "", component->name_);
    Insert(component);
    component->SetReference(true);
    if (state_.Contains(csDesigning)) component->SetDesigning(true);
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component)
{
    Notification(component, opRemove);
    component->SetReference(false);
    Remove(component);
}

void TComponent::Insert(TComponent* component)
{
    components_.push_back(component);
    component->owner_ = this;
}

void TComponent::Remove(TComponent* component)
{
    components_.erase(std::remove(components_.begin(), components_.end(), component), components_.end());
    component->owner_ = nullptr;
}

void TComponent::SetName(const std::string& newName)
{
    if (name_ == newName) return;
    if (!newName.empty() && !IsValidIdent(newName))
        throw EComponentError("'" + newName + "' is not a valid component name");
    if (owner_)
        owner_->ValidateRename(this, name_, newName);
    else
        ValidateRename(nullptr, name_, newName);
    SetReference(false);
    ChangeName(newName);
    SetReference(true);
}

void TComponent::ValidateRename(TComponent* component, const std::string& curName, const std::string& newName)
{
    if (component && !SameText(curName, newName) && component->owner_ == this && FindComponent(newName))
        throw EComponentError("A component named " + newName + " already exists");
}

void TComponent::SetReference(bool enable)
{
    if (!owner_ || name_.empty() || owner_->state_.Contains(csDestroying)) return;
    if (const TFieldInfo* field = FindPublishedField(owner_->ClassType(), name_))
        field->Assign(owner_, enable ? this : nullptr);
}

void TComponent::SetDesigning(bool designing, bool setChildren)
{
    if (designing)
        state_.Include(csDesigning);
    else
        state_.Exclude(csDesigning);
    if (setChildren)
        for (TComponent* component : components_) component->SetDesigning(designing);
}

void TComponent::FreeNotification(TComponent* component)
{
    if (!owner_ || component->owner_ != owner_) {
        if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end()) {
            freeNotifies_.push_back(component);
            component->FreeNotification(this);
        }
    }
    state_.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* component)
{
    RemoveNotification(component);
    component->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* component)
{
    freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), component), freeNotifies_.end());
}

void TComponent::RemoveFreeNotifications()
{
    while (!freeNotifies_.empty()) {
        TComponent* other = freeNotifies_.back();
        freeNotifies_.pop_back();
        other->RemoveNotification(this);
        other->Notification(this, opRemove);
    }
}

void TComponent::Notification(TComponent* component, TOperation operation)
{
    if (operation == opRemove && component) RemoveFreeNotification(component);
    // Children may remove themselves or others meanwhile: walk down and clamp.
    for (Integer i = ComponentCount() - 1; i >= 0; --i) {
        if (i >= ComponentCount()) {
            i = ComponentCount();
            continue;
        }
        components_[size_t(i)]->Notification(component, operation);
    }
}

void TComponent::ReadState(TReader* reader)
{
    reader->ReadData(this);
}

void TComponent::WriteState(TWriter* writer)
{
    writer->WriteData(this);
}

void TComponent::Loaded()
{
    state_.Exclude(csLoading);
}

TComponent* FindNestedComponent(TComponent* root, const std::string& path)
{
    TComponent* current = root;
    size_t start = 0;
    while (current && start <= path.size()) {
        size_t dot = path.find('.', start);
        std::string name = path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        TComponent* next = current->FindComponent(name);
        if (!next && current == root) next = SameText(root->Name(), name) ? root : FindGlobalComponent(name);
        current = next;
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    return current;
}

void AddGlobalRoot(TComponent* root)
{
    auto& roots = GlobalRoots();
    if (std::find(roots.begin(), roots.end(), root) == roots.end()) roots.push_back(root);
}

void RemoveGlobalRoot(TComponent* root)
{
    auto& roots = GlobalRoots();
    roots.erase(std::remove(roots.begin(), roots.end(), root), roots.end());
}

TComponent* FindGlobalComponent(const std::string& name)
{
    for (TComponent* root : GlobalRoots())
        if (SameText(root->Name(), name)) return root;
    return nullptr;
}

bool TComponent::ExecuteAction(TBasicAction* action)
{
    if (!action->HandlesTarget(this)) return false;
    action->ExecuteTarget(this);
    return true;
}

bool TComponent::UpdateAction(TBasicAction* action)
{
    if (!action->HandlesTarget(this)) return false;
    action->UpdateTarget(this);
    return true;
}

void TComponent::DefineProperties(TFiler* filer)
{
    TPersistent::DefineProperties(filer);
    DefineDesignPosition(filer, "Left", DesignLeft);
    DefineDesignPosition(filer, "Top", DesignTop);
}
