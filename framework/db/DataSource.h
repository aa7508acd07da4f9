// TDataSource: connects data links (data-aware controls) to a dataset.
#pragma once

#include <functional>
#include <vector>

#include "classes/Component.h"
#include "db/DBTypes.h"

class TDataSet;
class TDataLink;
class TDataSource;
class TField;

using TDataChangeEvent = std::function<void(TObject* sender, TField* field)>;
using TDataSourceNotifyEvent = std::function<void(TObject* sender)>;

class TDataSource : public TComponent {
    DUN_CLASS(TDataSource, TComponent)
public:
    explicit TDataSource(TComponent* owner);
    ~TDataSource() override;
    static void Publish(TPublisher<TDataSource>& p);

    TDataSet* DataSet() const { return dataSet_; }
    void SetDataSet(TDataSet* dataSet);
    TDataSetState State() const { return state_; }
    bool AutoEdit() const { return autoEdit_; }
    void SetAutoEdit(bool value) { autoEdit_ = value; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    // Puts the dataset into edit state when AutoEdit is on and it is browsing.
    void Edit();
    bool IsLinkedTo(TDataSet* dataSet) const;

    void Notification(TComponent* component, TOperation operation) override;

    // Called by the dataset and the links.
    void DataEvent(TDataEvent event, intptr_t info);
    void AddDataLink(TDataLink* link);
    void RemoveDataLink(TDataLink* link);
    Integer MaxLinkBufferCount() const;
    // The dataset's records moved by distance buffers.
    void BuffersShifted(Integer distance);

    TDataSourceNotifyEvent OnStateChange;
    TDataChangeEvent OnDataChange;
    TDataSourceNotifyEvent OnUpdateData;

private:
    void UpdateState();
    void SetState(TDataSetState value);
    void NotifyDataLinks(TDataEvent event, intptr_t info);

    TDataSet* dataSet_ = nullptr;
    std::vector<TDataLink*> links_;
    TDataSetState state_ = dsInactive;
    bool autoEdit_ = true;
    bool enabled_ = true;
};
