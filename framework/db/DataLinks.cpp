#include "db/DataLinks.h"

#include <algorithm>

#include "classes/Action.h"
#include "db/DBConsts.h"
#include "db/DataSet.h"
#include "db/DataSource.h"

std::function<bool(TComponent* control)> FocusDataControl;

// --- TDataLink -----------------------------------------------------------------------------------------------------

TDataLink::~TDataLink()
{
    SetDataSource(nullptr);
}

void TDataLink::SetDataSource(TDataSource* dataSource)
{
    if (dataSource == dataSource_) return;
    if (dataSource_) dataSource_->RemoveDataLink(this);
    dataSource_ = dataSource;
    if (dataSource_) dataSource_->AddDataLink(this);
    UpdateState();
}

TDataSet* TDataLink::DataSet() const
{
    return dataSource_ ? dataSource_->DataSet() : nullptr;
}

void TDataLink::SetReadOnly(bool value)
{
    if (readOnly_ == value) return;
    readOnly_ = value;
    UpdateState();
}

void TDataLink::SetBufferCount(Integer value)
{
    if (bufferCount_ == value) return;
    bufferCount_ = value;
    if (active_) {
        UpdateRange();
        DataSet()->UpdateBufferCount();
        UpdateRange();
    }
}

Integer TDataLink::ActiveRecord() const
{
    if (!active_ || dataSource_->State() == dsSetKey) return 0;
    return DataSet()->ActiveRecord() - firstRecord_;
}

// A value outside the link's records is refused.
void TDataLink::SetActiveRecord(Integer value)
{
    if (!active_ || dataSource_->State() == dsSetKey || value < 0 || value >= RecordCount()) return;
    DataSet()->SetActiveRecord(value + firstRecord_);
}

Integer TDataLink::RecordCount() const
{
    if (!active_) return 0;
    if (dataSource_->State() == dsSetKey) return 1;
    return std::min(DataSet()->BufferedRecordCount() - firstRecord_, bufferCount_);
}

bool TDataLink::Bof() const
{
    return active_ && DataSet()->Bof();
}

bool TDataLink::Eof() const
{
    return active_ && DataSet()->Eof();
}

bool TDataLink::Edit()
{
    if (!readOnly_ && dataSource_) dataSource_->Edit();
    return editing_;
}

void TDataLink::UpdateRecord()
{
    updating_ = true;
    try {
        UpdateData();
    } catch (...) {
        updating_ = false;
        throw;
    }
    updating_ = false;
}

Integer TDataLink::MoveBy(Integer distance)
{
    return DataSet()->MoveBy(distance);
}

bool TDataLink::ExecuteAction(TBasicAction* action)
{
    if (!dataSource_ || !action->HandlesTarget(dataSource_)) return false;
    action->ExecuteTarget(dataSource_);
    return true;
}

bool TDataLink::UpdateAction(TBasicAction* action)
{
    if (!dataSource_ || !action->HandlesTarget(dataSource_)) return false;
    action->UpdateTarget(dataSource_);
    return true;
}

void TDataLink::UpdateState()
{
    SetActive(dataSource_ && dataSource_->State() != dsInactive);
    const TDataSetState state = dataSource_ ? dataSource_->State() : dsInactive;
    SetEditing(state == dsEdit || state == dsInsert || state == dsSetKey);
}

void TDataLink::SetActive(bool value)
{
    if (active_ == value) return;
    active_ = value;
    if (value)
        UpdateRange();
    else
        firstRecord_ = 0;
    ActiveChanged();
}

void TDataLink::SetEditing(bool value)
{
    if (editing_ == value) return;
    editing_ = value;
    EditingChanged();
}

// Keeps the dataset's active record inside the link's window.
void TDataLink::UpdateRange()
{
    TDataSet* dataSet = DataSet();
    const Integer active = dataSet->ActiveRecord();
    const Integer low = std::max(0, active - bufferCount_ + 1);
    const Integer high = std::min(std::max(0, dataSet->BufferCount() - bufferCount_), active);
    firstRecord_ = std::clamp(firstRecord_, low, std::max(low, high));
}

void TDataLink::BuffersShifted(Integer distance)
{
    if (active_) firstRecord_ = std::max(0, firstRecord_ + distance);
}

void TDataLink::DataEvent(TDataEvent event, intptr_t info)
{
    if (event == deUpdateState) {
        UpdateState();
        return;
    }
    if (!active_) return;
    switch (event) {
    case deFieldChange:
    case deRecordChange:
        if (!updating_) RecordChanged(reinterpret_cast<TField*>(info));
        break;
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange: {
        Integer distance = 0;
        if (dataSource_->State() != dsSetKey) {
            const Integer oldFirst = firstRecord_ + Integer(info);
            firstRecord_ = oldFirst;
            UpdateRange();
            distance = firstRecord_ - oldFirst;
        }
        if (event == deDataSetChange)
            DataSetChanged();
        else if (event == deDataSetScroll)
            DataSetScrolled(distance);
        else
            LayoutChanged();
        break;
    }
    case deUpdateRecord: UpdateRecord(); break;
    case deCheckBrowseMode: CheckBrowseMode(); break;
    case deFocusControl: FocusControl(reinterpret_cast<TField**>(info)); break;
    default: break;
    }
}

// --- TFieldDataLink ------------------------------------------------------------------------------------------------

void TFieldDataLink::SetFieldName(const std::string& name)
{
    if (fieldName_ == name) return;
    fieldName_ = name;
    UpdateField();
}

bool TFieldDataLink::CanModify() const
{
    return !ReadOnly() && field_ && field_->CanModify();
}

bool TFieldDataLink::Edit()
{
    if (CanModify()) TDataLink::Edit();
    return fieldEditing_;
}

void TFieldDataLink::ActiveChanged()
{
    UpdateField();
    if (OnActiveChange) OnActiveChange(this);
}

void TFieldDataLink::EditingChanged()
{
    SetFieldEditing(TDataLink::Editing() && CanModify());
}

void TFieldDataLink::SetFieldEditing(bool value)
{
    if (fieldEditing_ == value) return;
    fieldEditing_ = value;
    modified_ = false;
    if (OnEditingChange) OnEditingChange(this);
}

void TFieldDataLink::FocusControl(TField** field)
{
    if (*field && *field == field_ && control_ && FocusDataControl && FocusDataControl(control_)) *field = nullptr;
}

void TFieldDataLink::RecordChanged(TField* field)
{
    if (field && field != field_) return;
    if (OnDataChange) OnDataChange(this);
    modified_ = false;
}

void TFieldDataLink::UpdateData()
{
    if (!modified_) return;
    if (field_ && OnUpdateData) OnUpdateData(this);
    modified_ = false;
}

void TFieldDataLink::UpdateField()
{
    if (Active() && !fieldName_.empty()) {
        TField* field = DataSet()->FindField(fieldName_);
        if (!field) DatabaseErrorFmt(dbconsts::SFieldNotFound, {fieldName_}, control_);
        SetField(field);
    } else {
        SetField(nullptr);
    }
}

void TFieldDataLink::SetField(TField* field)
{
    if (field_ == field) return;
    field_ = field;
    EditingChanged();
    RecordChanged(nullptr);
}

// --- TMasterDataLink -----------------------------------------------------------------------------------------------

void TMasterDataLink::SetFieldNames(const std::string& names)
{
    if (fieldNames_ == names) return;
    fieldNames_ = names;
    ActiveChanged();
}

void TMasterDataLink::ActiveChanged()
{
    fields_.clear();
    if (Active()) fields_ = DataSet()->GetFieldList(fieldNames_);
    if (!detail_->Active() || detail_->ComponentState().Contains(csDestroying)) return;
    if (Active() && !fields_.empty()) {
        if (OnMasterChange) OnMasterChange(this);
    } else if (OnMasterDisable) {
        OnMasterDisable(this);
    }
}

void TMasterDataLink::CheckBrowseMode()
{
    if (detail_->Active()) detail_->CheckBrowseMode();
}

void TMasterDataLink::RecordChanged(TField* field)
{
    if (DataSource()->State() == dsSetKey || !detail_->Active() || fields_.empty()) return;
    if (field && std::find(fields_.begin(), fields_.end(), field) == fields_.end()) return;
    if (OnMasterChange) OnMasterChange(this);
}
