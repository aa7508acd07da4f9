// Data links: how data-aware objects follow a data source. TDataLink receives the dataset's events as virtual
// notifications and sees a window of BufferCount records; TFieldDataLink follows one field; TMasterDataLink follows
// the master of a master-detail pair.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "classes/Component.h"
#include "db/DBTypes.h"

class TBasicAction;
class TDataSet;
class TDataSource;
class TField;

class TDataLink : public TPersistent {
    DUN_CLASS(TDataLink, TPersistent)
public:
    TDataLink() = default;
    ~TDataLink() override;

    TDataSource* DataSource() const { return dataSource_; }
    void SetDataSource(TDataSource* dataSource);
    TDataSet* DataSet() const;
    bool Active() const { return active_; }
    bool Editing() const { return editing_; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    // The link's window: BufferCount records; ActiveRecord is the active one's index in it.
    Integer BufferCount() const { return bufferCount_; }
    void SetBufferCount(Integer value);
    Integer ActiveRecord() const;
    void SetActiveRecord(Integer value);
    Integer RecordCount() const;
    bool Bof() const;
    bool Eof() const;

    // Asks for edit state through the data source; true when the link is editing afterwards.
    bool Edit();
    // Writes pending changes of the control into the record (UpdateData, with record changes ignored meanwhile).
    void UpdateRecord();
    virtual Integer MoveBy(Integer distance);
    // When the link has a data source that the action handles: runs the action's ExecuteTarget / UpdateTarget on
    // it and answers true.
    virtual bool ExecuteAction(TBasicAction* action);
    virtual bool UpdateAction(TBasicAction* action);

    // Called by the data source.
    void DataEvent(TDataEvent event, intptr_t info);
    // The dataset's records moved by distance buffers: the window moves with them.
    void BuffersShifted(Integer distance);

protected:
    virtual void ActiveChanged() {}
    virtual void CheckBrowseMode() {}
    virtual void DataSetChanged() { RecordChanged(nullptr); }
    virtual void DataSetScrolled(Integer distance) { DataSetChanged(); }
    // field points at the field to focus; set it to nullptr when the focus was taken.
    virtual void FocusControl(TField** field) {}
    virtual void EditingChanged() {}
    virtual void LayoutChanged() { DataSetChanged(); }
    virtual void RecordChanged(TField* field) {}
    virtual void UpdateData() {}

    Integer FirstRecord() const { return firstRecord_; }

private:
    void UpdateState();
    void SetActive(bool value);
    void SetEditing(bool value);
    void UpdateRange();

    TDataSource* dataSource_ = nullptr;
    Integer bufferCount_ = 1;
    Integer firstRecord_ = 0;
    bool active_ = false;
    bool editing_ = false;
    bool readOnly_ = false;
    bool updating_ = false;
};

using TLinkNotifyEvent = std::function<void(TObject* sender)>;

// Set by the windowing layer (InstallDataControlFocus, DataControlFocus.h): gives a data-aware control the focus;
// true when it took it.
extern std::function<bool(TComponent* control)> FocusDataControl;

class TFieldDataLink : public TDataLink {
    DUN_CLASS(TFieldDataLink, TDataLink)
public:
    TFieldDataLink() = default;

    const std::string& FieldName() const { return fieldName_; }
    void SetFieldName(const std::string& name);
    TField* Field() const { return field_; }
    TComponent* Control() const { return control_; }
    void SetControl(TComponent* control) { control_ = control; }
    bool CanModify() const;
    bool Edit();
    bool Editing() const { return fieldEditing_; }
    // The control's text changed: UpdateData will write it.
    void Modified() { modified_ = true; }
    // Throws away the control's change and shows the field's value again.
    void Reset() { RecordChanged(nullptr); }

    TLinkNotifyEvent OnDataChange;
    TLinkNotifyEvent OnEditingChange;
    TLinkNotifyEvent OnUpdateData;
    TLinkNotifyEvent OnActiveChange;

protected:
    void ActiveChanged() override;
    void EditingChanged() override;
    void FocusControl(TField** field) override;
    void LayoutChanged() override { UpdateField(); }
    void RecordChanged(TField* field) override;
    void UpdateData() override;

private:
    void UpdateField();
    void SetField(TField* field);
    void SetFieldEditing(bool value);

    std::string fieldName_;
    TField* field_ = nullptr;
    TComponent* control_ = nullptr;
    bool fieldEditing_ = false;
    bool modified_ = false;
};

// A link whose dataset is the detail of the link's data source.
class TDetailDataLink : public TDataLink {
    DUN_CLASS(TDetailDataLink, TDataLink)
public:
    TDetailDataLink() = default;
    virtual TDataSet* DetailDataSet() const { return nullptr; }
};

class TMasterDataLink : public TDetailDataLink {
    DUN_CLASS(TMasterDataLink, TDetailDataLink)
public:
    explicit TMasterDataLink(TDataSet* dataSet) : detail_(dataSet) {}

    TDataSet* DetailDataSet() const override { return detail_; }
    const std::string& FieldNames() const { return fieldNames_; }
    void SetFieldNames(const std::string& names);
    const std::vector<TField*>& Fields() const { return fields_; }

    TLinkNotifyEvent OnMasterChange;
    TLinkNotifyEvent OnMasterDisable;

protected:
    void ActiveChanged() override;
    void CheckBrowseMode() override;
    void LayoutChanged() override { ActiveChanged(); }
    void RecordChanged(TField* field) override;

private:
    TDataSet* detail_;
    std::string fieldNames_;
    std::vector<TField*> fields_;
};
