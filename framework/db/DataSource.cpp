#include "db/DataSource.h"

#include <algorithm>

#include "classes/TypInfo.h"
#include "db/DBConsts.h"
#include "db/DataLinks.h"
#include "db/DataSet.h"

TDataSource::TDataSource(TComponent* owner) : TComponent(owner)
{
}

TDataSource::~TDataSource()
{
    for (TDataLink* link : std::vector<TDataLink*>(links_)) link->SetDataSource(nullptr);
    SetDataSet(nullptr);
}

void TDataSource::SetDataSet(TDataSet* dataSet)
{
    if (dataSet == dataSet_) return;
    if (IsLinkedTo(dataSet)) DatabaseError(dbconsts::SCircularDataLink, this);
    if (dataSet_) {
        dataSet_->RemoveDataSource(this);
        dataSet_->RemoveFreeNotification(this);
    }
    dataSet_ = dataSet;
    if (dataSet_) {
        dataSet_->AddDataSource(this);
        dataSet_->FreeNotification(this);
        dataSet_->UpdateBufferCount();
    }
    UpdateState();
}

void TDataSource::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == dataSet_) SetDataSet(nullptr);
}

bool TDataSource::IsLinkedTo(TDataSet* dataSet) const
{
    return dataSet && dataSet->IsLinkedTo(const_cast<TDataSource*>(this));
}

void TDataSource::SetEnabled(bool value)
{
    enabled_ = value;
    UpdateState();
}

void TDataSource::Edit()
{
    if (autoEdit_ && state_ == dsBrowse) dataSet_->Edit();
}

void TDataSource::UpdateState()
{
    SetState(enabled_ && dataSet_ ? dataSet_->State() : dsInactive);
}

void TDataSource::SetState(TDataSetState value)
{
    if (state_ == value) return;
    const TDataSetState prior = state_;
    state_ = value;
    NotifyDataLinks(deUpdateState, 0);
    if (OnStateChange) OnStateChange(this);
    if (prior == dsInactive) {
        NotifyDataLinks(deLayoutChange, 0);
        NotifyDataLinks(deDataSetChange, 0);
    }
}

void TDataSource::DataEvent(TDataEvent event, intptr_t info)
{
    if (event == deUpdateState) {
        UpdateState();
        return;
    }
    if (state_ == dsInactive) return;
    NotifyDataLinks(event, info);
    switch (event) {
    case deFieldChange:
        if (OnDataChange) OnDataChange(this, reinterpret_cast<TField*>(info));
        break;
    case deRecordChange:
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
        if (OnDataChange) OnDataChange(this, nullptr);
        break;
    case deUpdateRecord:
        if (OnUpdateData) OnUpdateData(this);
        break;
    default: break;
    }
}

void TDataSource::NotifyDataLinks(TDataEvent event, intptr_t info)
{
    for (TDataLink* link : std::vector<TDataLink*>(links_)) link->DataEvent(event, info);
}

void TDataSource::AddDataLink(TDataLink* link)
{
    links_.push_back(link);
    if (dataSet_) dataSet_->UpdateBufferCount();
}

void TDataSource::RemoveDataLink(TDataLink* link)
{
    links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
    if (dataSet_) dataSet_->UpdateBufferCount();
}

Integer TDataSource::MaxLinkBufferCount() const
{
    Integer count = 1;
    for (const TDataLink* link : links_) count = std::max(count, link->BufferCount());
    return count;
}

void TDataSource::BuffersShifted(Integer distance)
{
    for (TDataLink* link : links_) link->BuffersShifted(distance);
}

void TDataSource::Publish(TPublisher<TDataSource>& p)
{
    p.Property("AutoEdit", &TDataSource::AutoEdit, &TDataSource::SetAutoEdit).Default(true);
    p.Property("DataSet", &TDataSource::DataSet, &TDataSource::SetDataSet);
    p.Property("Enabled", &TDataSource::Enabled, &TDataSource::SetEnabled).Default(true);
    p.Property("OnStateChange", &TDataSource::OnStateChange);
    p.Property("OnDataChange", &TDataSource::OnDataChange);
    p.Property("OnUpdateData", &TDataSource::OnUpdateData);
}
