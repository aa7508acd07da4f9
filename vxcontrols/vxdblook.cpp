#include "vxcontrols/vxdblook.h"

#include <algorithm>
#include <vector>

#include "classes/ClassRegistry.h"
#include "classes/TypInfo.h"
#include "db/DataLinks.h"
#include "db/DataSource.h"
#include "db/Field.h"
#include "engine/components/BseBDEDataset.h"
#include "rtl/FlagRaised.h"
#include "rtl/Format.h"
#include "rtl/IntConv.h"
#include "vcl/Clipbrd.h"
#include "vcl/Dialogs.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/ImgList.h"
#include "vxcontrols/Vxdotdot.h"
#include "vxdata/Vxcommon.h"
#include "vxdata/Vxintl.h"
#include "vxdata/Vxlocate.h"
#include "vxdata/Vxstr.h"
#include "vxdata/Vxtable.h"
#include "vxdata/vxSystem.h"

namespace {

const bool registered = (RegisterClasses<TvxDBLookupList, TvxDBLookupCombo>(), true);

constexpr const char* DuplicateSources = "Unable to use duplicate DataSource and LookupSource";
constexpr const char* NotADataSet = "LookupSource must be connected to TTable component";
constexpr const char* NoLookupSource = "Lookup Source is not created";
constexpr const char* FieldNotFound = "Field '%s' not found";

// The pieces of a ";"-separated list of names, up to the first empty one.
std::vector<std::string> SplitNames(const std::string& names)
{
    std::vector<std::string> result;
    Integer position = 1;
    std::string name;
    while (position > 0) {
        vxNextToken(names, ";", position, name);
        if (name.empty()) break;
        result.push_back(name);
    }
    return result;
}

std::vector<std::string> SplitTabs(const std::string& line)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t tab = line.find('\t'); tab != std::string::npos; tab = line.find('\t', start)) {
        parts.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    parts.push_back(line.substr(start));
    return parts;
}

// Raises a counter for the lifetime of the object.
class TNesting {
public:
    explicit TNesting(Integer& counter) : counter_(counter) { ++counter_; }
    ~TNesting() { --counter_; }
    TNesting(const TNesting&) = delete;
    TNesting& operator=(const TNesting&) = delete;

private:
    Integer& counter_;
};

}  // namespace

// ---- TvxDBLookupList: construction

TvxDBLookupList::TvxDBLookupList(TComponent* owner)
    : TvxCustomDBGrid(owner), fieldLink_(std::make_unique<TFieldDataLink>())
{
    fieldLink_->SetControl(this);
    fieldLink_->OnDataChange = [this](TObject*) { ShowDataFieldValue(); };
    fieldLink_->OnUpdateData = [this](TObject*) { WriteDataField(); };
    fieldLink_->OnActiveChange = [this](TObject*) {
        if (fieldLink_->Active() && DataLink()->Active()) ShowDataFieldValue();
    };
    TvxCustomDBGrid::SetOptions(TvxDBGridOptions{dgRowSelect});
    TCustomGrid::SetFixedCols(0);
    TCustomGrid::SetFixedRows(0);
    SetWidth(121);
    SetHeight(97);
    SetLookupSource(new TDataSource(this));
}

TvxDBLookupList::~TvxDBLookupList()
{
    fieldLink_->OnDataChange = nullptr;
    fieldLink_->OnUpdateData = nullptr;
    fieldLink_->OnActiveChange = nullptr;
    fieldLink_->SetDataSource(nullptr);
    fieldLink_.reset();
}

void TvxDBLookupList::Publish(TPublisher<TvxDBLookupList>& p)
{
    p.Property("Anchors", &TvxDBLookupList::Anchors, &TvxDBLookupList::SetAnchors);
    p.Property("Constraints", &TvxDBLookupList::Constraints, &TvxDBLookupList::SetConstraints);
    p.Property("Selected", &TvxDBLookupList::Selected, &TvxDBLookupList::SetSelected);
    p.Property("LookupTable", std::function<TComponent*(TvxDBLookupList*)>(
                                  [](TvxDBLookupList* list) -> TComponent* { return list->LookupTable(); }),
               std::function<void(TvxDBLookupList*, TComponent*)>(
                   [](TvxDBLookupList* list, TComponent* table) { list->SetLookupTable(table); }));
    p.Property("DataField", &TvxDBLookupList::DataField, &TvxDBLookupList::SetDataField);
    p.Property("DataSource", &TvxDBLookupList::DataSource, &TvxDBLookupList::SetDataSource);
    p.Property("LookupField", &TvxDBLookupList::LookupField, &TvxDBLookupList::SetLookupField);
    p.Property("Options", &TvxDBLookupList::Options, &TvxDBLookupList::SetOptions).Default(TvxDBLookupListOptions{});
    p.Property("OnClick", &TvxDBLookupList::OnClick);
    p.Property("ReadOnly", &TvxDBLookupList::ReadOnly, &TvxDBLookupList::SetReadOnly).Default(false);
    p.Property("BorderStyle", &TvxDBLookupList::BorderStyle, &TvxDBLookupList::SetBorderStyle).Default(bsSingle);
}

// ---- the lookup table and the field

TDataSet* TvxDBLookupList::LookupTable() const
{
    return lookupSource_ ? lookupSource_->DataSet() : nullptr;
}

void TvxDBLookupList::CheckDuplicate(TDataSource* dataSource, TDataSource* lookupSource) const
{
    if (!dataSource || !lookupSource) return;
    if (dataSource == lookupSource || (dataSource->DataSet() && dataSource->DataSet() == lookupSource->DataSet()))
        throw EInvalidOperation(DuplicateSources);
}

void TvxDBLookupList::SetLookupTable(TComponent* table)
{
    if (!lookupSource_) {
        MessageDlg(NoLookupSource, mtInformation, TMsgDlgButtons{mbOK}, 0);
        return;
    }
    TDataSource* dataSource = DataSource();
    if (table && dataSource && dataSource->DataSet() == table) throw EInvalidOperation(DuplicateSources);
    auto* dataSet = dynamic_cast<TDataSet*>(table);
    if (table && !dataSet) throw EInvalidOperation(NotADataSet);
    lookupSource_->SetDataSet(dataSet);
    LookupChanged();
}

void TvxDBLookupList::SetLookupSource(TDataSource* source)
{
    CheckDuplicate(DataSource(), source);
    lookupSource_ = source;
    TvxCustomDBGrid::SetDataSource(source);
    LookupChanged();
}

TDataSource* TvxDBLookupList::DataSource() const
{
    return fieldLink_->DataSource();
}

void TvxDBLookupList::SetDataSource(TDataSource* value)
{
    CheckDuplicate(value, lookupSource_);
    fieldLink_->SetDataSource(value);
    if (value) value->FreeNotification(this);
}

std::string TvxDBLookupList::DataField() const
{
    return fieldLink_->FieldName();
}

void TvxDBLookupList::SetDataField(const std::string& value)
{
    fieldLink_->SetFieldName(value);
}

bool TvxDBLookupList::ReadOnly() const
{
    return fieldLink_->ReadOnly();
}

void TvxDBLookupList::SetReadOnly(bool value)
{
    fieldLink_->SetReadOnly(value);
}

void TvxDBLookupList::SetLookupField(const std::string& value)
{
    if (value == lookupField_) return;
    lookupField_ = value;
    LookupChanged();
}

void TvxDBLookupList::SetOptions(TvxDBLookupListOptions value)
{
    if (value == options_) return;
    options_ = value;
    titleOffset_ = 0;
    TvxDBGridOptions gridOptions{dgRowSelect};
    if (value.Contains(loColLines)) gridOptions.Include(dgColLines);
    if (value.Contains(loRowLines)) gridOptions.Include(dgRowLines);
    if (value.Contains(loTitles)) {
        gridOptions.Include(dgTitles);
        titleOffset_ = 1;
    }
    TvxCustomDBGrid::SetOptions(gridOptions);
}

void TvxDBLookupList::LookupChanged()
{
    ResolveFields(true);
    LayoutChanged();
    ClearLookupValues();
    ShowDataFieldValue();
}

void TvxDBLookupList::ClearLookupValues()
{
    for (std::string& value : lookupValues_) value.clear();
}

void TvxDBLookupList::Notification(TComponent* component, TOperation operation)
{
    TvxCustomDBGrid::Notification(component, operation);
    if (operation != opRemove || !fieldLink_) return;
    if (component == DataSource()) SetDataSource(nullptr);
    if (component == lookupSource_) lookupSource_ = nullptr;
}

void TvxDBLookupList::Loaded()
{
    TvxCustomDBGrid::Loaded();
    ShowDataFieldValue();
}

void TvxDBLookupList::CreateWnd()
{
    TvxCustomDBGrid::CreateWnd();
    ShowDataFieldValue();
}

// ---- resolving the fields

void TvxDBLookupList::ResolveFields(bool check)
{
    displayField_ = nullptr;
    for (TField*& field : lookupFields_) field = nullptr;
    TDataSet* table = DataLink()->DataSet();
    if (!DataLink()->Active() || lookupField_.empty() || !table) return;
    Integer position = 1;
    for (Integer i = 0; i < 3; ++i) {
        std::string name;
        vxNextToken(lookupField_, ";", position, name);
        lookupFields_[i] = name.empty() ? nullptr : table->FindField(name);
    }
    if (!lookupFields_[0] && check) throw EInvalidOperation(Format(FieldNotFound, {lookupField_}));
    for (Integer i = 3; i > 0; --i)
        if (lookupFields_[i - 1]) {
            lookupFieldCount_ = i;
            break;
        }
    if (OwnerBound()) {
        TDataSet* dataSet = ownerCombo_->DataSource()->DataSet();
        const std::string dataField = ownerCombo_->DataField();
        if (Selected()->Count() == 0) {
            std::string resultField;
            vxFindLookupResultField(dataSet, dataField, resultField);
            displayField_ = table->FindField(resultField);
        }
        std::string linkLine;
        vxFindLookupLink(dataSet, dataField, linkLine);
        const std::vector<std::string> names = SplitNames(linkLine);
        for (size_t pair = 0; pair < 3 && pair * 2 + 1 < names.size(); ++pair)
            lookupFields_[pair] = table->FindField(names[pair * 2 + 1]);
    }
    if (!lookupFields_[0]) return;
    if (Selected()->Count() > 0) {
        const std::string& line = Selected()->Strings(0);
        const size_t tab = line.find('\t');
        displayField_ = tab == std::string::npos ? nullptr : table->FindField(line.substr(0, tab));
    }
    if (!displayField_) displayField_ = lookupFields_[0];
}

// ---- the value

bool TvxDBLookupList::OwnerBound() const
{
    return ownerCombo_ && ownerCombo_->IsLookupFieldBound();
}

bool TvxDBLookupList::OwnerVisible() const
{
    return ownerCombo_ && ownerCombo_->Visible();
}

void TvxDBLookupList::SetValue(const std::string& value)
{
    HandleNeeded();
    if (DataLink()->Active() && fieldLink_->Active()) CheckDuplicate(DataSource(), lookupSource_);
    if (value == LookupValue() && Row() != titleOffset_) return;
    if (!DataLink()->Active() || !lookupFields_[0]) return;
    lookupValues_[0] = value;
    selectedRow_ = -1;
    if (updateNesting_ > 0 && OwnerBound()) {
        TField* field = ownerCombo_->FieldLink()->Field();
        displayValue_ = field ? field->AsString() : std::string();
    } else if (DisplayIsLookupField()) {
        displayValue_ = LookupValue();
    } else if (OwnerVisible()) {
        LocateCurrentValue(false);
        displayValue_ = lastLocateFound_ && displayField_ ? displayField_->AsString() : std::string();
    }
    Invalidate();
}

void TvxDBLookupList::SetDisplayValue(const std::string& value)
{
    if (value == displayValue_ && Row() != titleOffset_) return;
    lastLocateFound_ = false;
    if (!DataLink()->Active() || !displayField_) return;
    selectedRow_ = -1;
    const bool caseSensitive = ownerCombo_ && ownerCombo_->SeqSearchOptions().Contains(ssoCaseSensitive);
    const bool found = SearchLookupTable(LookupValue(), lookupFields_[0]->FieldName(), caseSensitive);
    if (ownerCombo_) {
        ownerCombo_->SetLastSearchFound(found || ownerCombo_->SearchValue().empty());
        ownerCombo_->SetSearchedText(ownerCombo_->Text());
    }
    displayValue_ = value;
    if (DisplayIsLookupField())
        lookupValues_[0] = displayValue_;
    else if (found)
        lookupValues_[0] = lookupFields_[0]->AsString();
    else
        ClearDisplayAndValue();
    Invalidate();
}

// Positions the lookup table on the whole value: through the owner combo's search when it has one.
bool TvxDBLookupList::SearchLookupTable(const std::string& value, const std::string& fieldName, bool caseSensitive)
{
    if (ownerCombo_ && ownerCombo_->UseSequentialSearch())
        return ownerCombo_->SequentialSearch(value, fieldName, false, caseSensitive);
    return vxLocateFieldValue(DataLink()->DataSet(), value, fieldName, mtExactMatch, caseSensitive);
}

void TvxDBLookupList::LocateCurrentValue(bool forDisplay)
{
    if (!HandleAllocated() || !OwnerVisible()) return;
    lastLocateFound_ = false;
    if (ownerCombo_->IsLookupFieldBound()) {
        lastLocateFound_ = LocateBoundValue(forDisplay);
        if (lastLocateFound_) {
            TakeLookupValues();
        } else {
            MoveToFirstRecord();
            for (Integer i = 0; i < 3; ++i)
                if (i == 0 || lookupFields_[i]) lookupValues_[i].clear();
            Update();
        }
        return;
    }
    if (DataLink()->DataSource()->State() == dsSetKey) return;
    if (!ownerCombo_->DataSource() && DisplayIsLookupField()) {
        lookupValues_[0] = ownerCombo_->Text();
        displayValue_ = ownerCombo_->Text();
    }
    LocateLookupValue();
    if (!forDisplay) return;
    ownerCombo_->SetLastSearchFound(lastLocateFound_ || ownerCombo_->SearchValue().empty());
    ownerCombo_->SetSearchedText(ownerCombo_->Text());
    if (!lastLocateFound_) MoveToFirstRecord();
}

// A combo bound to a lookup or calculated field: the lookup table goes to the record of the data field's key
// values, read through the pairs of data-side and lookup-side names; the last pair decides.
bool TvxDBLookupList::LocateBoundValue(bool)
{
    TDataSet* dataSet = ownerCombo_->DataSource()->DataSet();
    TField* dataField = dataSet->FindField(ownerCombo_->DataField());
    std::vector<std::string> dataNames, lookupNames;
    if (dataField && dataField->Lookup()) {
        dataNames = SplitNames(dataField->KeyFields());
        lookupNames = SplitNames(dataField->LookupKeyFields());
    } else {
        std::string linkLine;
        vxFindLookupLink(dataSet, ownerCombo_->DataField(), linkLine);
        const std::vector<std::string> names = SplitNames(linkLine);
        for (size_t i = 0; i + 1 < names.size(); i += 2) {
            dataNames.push_back(names[i]);
            lookupNames.push_back(names[i + 1]);
        }
    }
    const size_t pairs = std::min(dataNames.size(), lookupNames.size());
    if (pairs == 0) return false;
    TField* keyField = dataSet->FindField(dataNames[pairs - 1]);
    if (!keyField) return false;
    return ownerCombo_->SequentialSearch(keyField->AsString(), lookupNames[pairs - 1], false, false);
}

void TvxDBLookupList::LocateLookupValue()
{
    if (!HandleAllocated() || !OwnerVisible() || lookupField_.empty() || !lookupFields_[0]) return;
    TField* dataField = ownerCombo_->FieldLink()->Field();
    const std::string value = dataField ? dataField->AsString() : LookupValue();
    lastLocateFound_ = SearchLookupTable(value, lookupFields_[0]->FieldName(),
                                         ownerCombo_->SeqSearchOptions().Contains(ssoCaseSensitive));
}

void TvxDBLookupList::TakeLookupValues()
{
    for (Integer i = 0; i < 3; ++i)
        if (lookupFields_[i]) lookupValues_[i] = lookupFields_[i]->AsString();
}

void TvxDBLookupList::MoveToFirstRecord()
{
    if (TDataSet* table = DataLink()->DataSet()) table->First();
}

void TvxDBLookupList::ShowDataFieldValue()
{
    if (!fieldLink_ || !fieldLink_->Field() || ComponentState().Contains(csLoading)) return;
    SetValue(fieldLink_->Field()->AsString());
}

void TvxDBLookupList::WriteDataField()
{
    if (TField* field = fieldLink_->Field()) field->SetAsString(LookupValue());
}

bool TvxDBLookupList::CanSelectRow()
{
    return !DataSource() || fieldLink_->Editing();
}

void TvxDBLookupList::SelectCurrentRow()
{
    if (!CanSelectRow() || !displayField_) return;
    if (fieldLink_->Editing()) fieldLink_->Modified();
    displayValue_ = displayField_->AsString();
    lookupValues_[0] = DisplayIsLookupField() ? displayValue_ : lookupFields_[0]->AsString();
    for (Integer i = 1; i < 3; ++i)
        if (lookupFields_[i]) lookupValues_[i] = lookupFields_[i]->AsString();
    if (OnClick) OnClick(this);
}

// ---- columns

void TvxDBLookupList::DefineFieldMap()
{
    ResolveFields(false);
    if (!lookupFields_[0]) return;
    TvxCustomDBGrid::DefineFieldMap();
    if (UseTFields() && GetFieldCount() == 0) DataLink()->AddMapping(lookupFields_[0]->FieldName());
}

// The last column fills the grid when it is the only one or the others leave more than 15 pixels.
void TvxDBLookupList::SetColumnAttributes()
{
    TvxCustomDBGrid::SetColumnAttributes();
    const Integer columns = ColCount();
    if (columns <= 0) return;
    Integer others = 0;
    for (Integer col = 0; col < columns - 1; ++col) others += ColWidths(col) + (options_.Contains(loColLines) ? 1 : 0);
    if (columns == 1 || others < ClientWidth() - 15) SetColWidths(columns - 1, ClientWidth() - others);
}

// ---- highlighting and painting

bool TvxDBLookupList::HighlightCell(Integer, Integer dataRow, TGridDrawState, const std::string&)
{
    if (!DataLink()->Active() || !lookupFields_[0]) return false;
    if ((GridState() == gsSelecting || inKeyDown_) && CanSelectRow()) {
        const bool current = dataRow + titleOffset_ == Row();
        if (current) selectedRow_ = dataRow;
        return current;
    }
    const bool matches = RowMatchesValue(dataRow);
    if (matches) selectedRow_ = dataRow;
    return matches;
}

bool TvxDBLookupList::RowMatchesValue(Integer dataRow)
{
    struct TRestoreActive {
        TvxGridDataLink* link;
        const Integer active;
        ~TRestoreActive() { link->SetActiveRecord(active); }
    } restore{DataLink(), DataLink()->ActiveRecord()};
    DataLink()->SetActiveRecord(dataRow);
    if (lookupFields_[0]->AsString() != LookupValue()) return false;
    if (lookupFields_[1] && lookupFields_[1]->AsString() != LookupValue2()) return false;
    return !lookupFields_[2] || lookupFields_[2]->AsString() == LookupValue3();
}

void TvxDBLookupList::Paint()
{
    TvxCustomDBGrid::Paint();
    if (!Focused() || selectedRow_ < 0) return;
    const Integer row = selectedRow_ + titleOffset_;
    const TRect rect = BoxRect(0, row, ColCount() - 1, row);
    if (rect.bottom > rect.top) Canvas()->DrawFocusRect(rect);
}

void TvxDBLookupList::DrawCell(Integer col, Integer row, TRect rect, TGridDrawState state)
{
    TvxCustomDBGrid::DrawCell(col, row, rect, state);
    DrawCellLines(rect, col, state, row);
}

void TvxDBLookupList::InvalidateSelectedRow()
{
    if (selectedRow_ >= 0) InvalidateRow(selectedRow_ + titleOffset_);
}

// ---- following the lookup table

void TvxDBLookupList::Scroll(Integer distance)
{
    if (!Visible()) return;
    if (selectedRow_ >= 0) {
        selectedRow_ -= distance;
        if (selectedRow_ < 0 || selectedRow_ >= VisibleRowCount()) selectedRow_ = -1;
    }
    TvxCustomDBGrid::Scroll(distance);
}

void TvxDBLookupList::LinkActive(bool value)
{
    TvxCustomDBGrid::LinkActive(value);
    if (!DataLink()->Active()) return;
    SetValue("");
    ShowDataFieldValue();
}

// ---- keys

bool TvxDBLookupList::CanGridAcceptKey(Word key, TShiftState)
{
    if (key == VK_INSERT) return false;
    if (key < VK_PRIOR || key > VK_DOWN) return true;
    fieldLink_->Edit();
    if (ownerCombo_) ownerCombo_->SetModified(true);
    const bool arrow = key == VK_LEFT || key == VK_UP || key == VK_RIGHT || key == VK_DOWN;
    if (arrow && !CanSelectRow()) return false;
    if (!lookupSource_ || !DataLink()->Active()) return true;
    if (selectedRow_ >= 0) {
        if (selectedRow_ != DataLink()->ActiveRecord()) {
            SetRow(titleOffset_ + selectedRow_);
            DataLink()->SetActiveRecord(selectedRow_);
        }
        return true;
    }
    if (lastLocateFound_) {
        LocateCurrentValue(true);
        return true;
    }
    MoveToFirstRecord();
    SetRow(titleOffset_);
    if (OnKeyDown) {
        Word none = 0;
        OnKeyDown(this, none, {});
    }
    InvalidateRow(titleOffset_);
    SelectCurrentRow();
    return false;
}

void TvxDBLookupList::KeyDown(Word& key, TShiftState shift)
{
    const Word pressed = key;
    {
        TFlagRaised inKeyDown(inKeyDown_);
        TvxCustomDBGrid::KeyDown(key, shift);
    }
    const bool moves = pressed == VK_PRIOR || pressed == VK_NEXT || pressed == VK_END || pressed == VK_HOME ||
                       pressed == VK_UP || pressed == VK_DOWN;
    if (moves && CanSelectRow()) {
        Invalidate();
        SelectCurrentRow();
    }
}

void TvxDBLookupList::KeyPress(char& key)
{
    TvxCustomDBGrid::KeyPress(key);
    if (key == 27) {
        fieldLink_->Reset();
        key = 0;
    } else if (static_cast<unsigned char>(key) >= 32) {
        DataLink()->Edit();
    }
}

// ---- mouse

bool TvxDBLookupList::PressOnDataRow(Integer row) const
{
    return row >= titleOffset_ && row - titleOffset_ < DataLink()->RecordCount();
}

void TvxDBLookupList::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y)
{
    if (!ComponentState().Contains(csDesigning) && CanFocus() && TabStop()) {
        SetFocus();
        const TCustomForm* form = GetParentForm(this);
        if (!form || form->ActiveControl() != this) {
            ReleaseCapture();
            return;
        }
    }
    if (shift.Contains(ssDouble)) {
        DblClick();
        return;
    }
    const Integer row = MouseCoord(x, y).Y;
    if (button == mbLeft && lookupSource_ && displayField_ && PressOnDataRow(row)) {
        fieldLink_->Edit();
        BeginSelecting();
        const Integer oldRow = selectedRow_ + titleOffset_;
        if (oldRow != row) {
            InvalidateSelectedRow();
            InvalidateRow(row);
        }
        SetRow(row);
        DataLink()->SetActiveRecord(row - titleOffset_);
    }
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TvxDBLookupList::MouseMove(TShiftState shift, Integer x, Integer y)
{
    if (GridState() == gsSelecting) {
        const Integer row = MouseCoord(x, y).Y;
        if (PressOnDataRow(row)) {
            TCustomGrid::MouseMove(shift, x, y);
            DataLink()->SetActiveRecord(Row() - titleOffset_);
        }
        return;
    }
    TvxCustomDBGrid::MouseMove(shift, x, y);
}

void TvxDBLookupList::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y)
{
    const bool selecting = GridState() == gsSelecting;
    TvxCustomDBGrid::MouseUp(button, shift, x, y);
    if (!selecting) return;
    DataLink()->SetActiveRecord(Row() - titleOffset_);
    SelectCurrentRow();
}

// ---- messages

void TvxDBLookupList::VerticalScroll(TMessage& message)
{
    const Word code = LOWORD(message.WParam);
    TvxGridDataLink* link = DataLink();
    if (code == SB_LINEUP) {
        link->MoveBy(-(link->ActiveRecord() + 1));
    } else if (code == SB_LINEDOWN) {
        link->MoveBy(link->RecordCount() - link->ActiveRecord());
    } else {
        TvxCustomDBGrid::Dispatch(message);
        if (code == SB_THUMBPOSITION) selectedRow_ = -1;
    }
}

void TvxDBLookupList::Exit(TMessage& message)
{
    try {
        fieldLink_->UpdateRecord();
    } catch (...) {
        SetFocus();
        throw;
    }
    TvxCustomDBGrid::Dispatch(message);
    InvalidateSelectedRow();
}

void TvxDBLookupList::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case WM_VSCROLL:
        if (message.LParam != 0 || !Visible() || !DataLink()->Active()) break;
        VerticalScroll(message);
        return;
    case WM_SIZE:
        if (ComponentState().Contains(csDestroying) || (!Visible() && !sizing_)) return;
        TvxCustomDBGrid::Dispatch(message);
        SetColumnAttributes();
        return;
    case CM_ENTER:
        TvxCustomDBGrid::Dispatch(message);
        InvalidateSelectedRow();
        return;
    case CM_EXIT:
        Exit(message);
        return;
    default:
        break;
    }
    TvxCustomDBGrid::Dispatch(message);
}

// ---- TvxPopupGrid

TvxPopupGrid::TvxPopupGrid(TvxDBCustomLookupCombo* owner) : TvxDBLookupList(owner)
{
    SetOwnerCombo(owner);
    TControlStyle style = ControlStyle();
    style.Include(csNoDesignVisible);
    style.Include(csReplicatable);
    SetControlStyle(style);
    SetTabStop(false);
}

void TvxPopupGrid::CreateParams(TCreateParams& params)
{
    TvxDBLookupList::CreateParams(params);
    params.Style |= WS_BORDER;
    params.ExStyle = WS_EX_TOOLWINDOW;
    params.ClassStyle |= CS_SAVEBITS;
}

void TvxPopupGrid::CreateWnd()
{
    TvxDBLookupList::CreateWnd();
    if (!ComponentState().Contains(csDesigning)) ::SetParent(Handle(), nullptr);
    ::DefWindowProcA(Handle(), WM_SETFOCUS, 0, 0);
    if (OwnerCombo()) OwnerCombo()->DataChange();
}

void TvxPopupGrid::LinkActive(bool value)
{
    if (!Parent()) return;
    TvxDBLookupList::LinkActive(value);
    if (!DataLink()->Active()) return;
    if (!LookupFields(1)) ResolveFields(true);
    SetValue("");
    if (OwnerCombo()) OwnerCombo()->DataChange();
}

bool TvxPopupGrid::CanSelectRow()
{
    TvxDBCustomLookupCombo* combo = OwnerCombo();
    if (!combo) return TvxDBLookupList::CanSelectRow();
    TFieldDataLink* link = combo->FieldLink();
    if (!link->DataSource() || link->Editing()) return true;
    if (!combo->IsLookupFieldBound()) return false;
    TDataSource* source = link->DataSource();
    return source->State() == dsEdit || source->State() == dsInsert || source->AutoEdit();
}

void TvxPopupGrid::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y)
{
    if (OwnerCombo()) OwnerCombo()->BeginEdit();
    TvxDBLookupList::MouseDown(button, shift, x, y);
}

void TvxPopupGrid::Dispatch(TMessage& message)
{
    if (message.Msg != WM_LBUTTONUP) {
        TvxDBLookupList::Dispatch(message);
        return;
    }
    TvxDBLookupList::Dispatch(message);
    if (OwnerCombo()) OwnerCombo()->CloseUp(true);
}

// ---- TvxDBCustomLookupCombo

namespace {

HHOOK lookupComboHook = nullptr;

constexpr const char* NoLookupTable = "No lookup table specified!";
constexpr const char* LookupTableInactive = "Lookup table is not active!";
constexpr const char* ShortenedText = "~~~~";


// The lookup combo whose open grid a press outside it and its grid closes.
LRESULT CALLBACK LookupComboMouseHook(int code, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CallNextHookEx(lookupComboHook, code, wParam, lParam);
    if (code < 0 || (wParam != WM_LBUTTONDOWN && wParam != WM_NCLBUTTONDOWN)) return result;
    try {
        auto* combo = dynamic_cast<TvxDBCustomLookupCombo*>(Screen->ActiveControl());
        if (!combo || !combo->IsDroppedDown()) return result;
        const POINT point = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam)->pt;
        RECT gridRect, comboRect;
        GetWindowRect(combo->DropDownGrid()->Handle(), &gridRect);
        GetWindowRect(combo->Handle(), &comboRect);
        if (!PtInRect(&gridRect, point) && !PtInRect(&comboRect, point)) combo->CloseUp(true);
    } catch (...) {
        Application->HandleException(nullptr);
    }
    return result;
}

}  // namespace

TvxDBCustomLookupCombo::TvxDBCustomLookupCombo(TComponent* owner)
    : TCustomEdit(owner), fieldLink_(std::make_unique<TFieldDataLink>())
{
    fieldLink_->SetControl(this);
    fieldLink_->OnDataChange = [this](TObject*) { DataChange(); };
    fieldLink_->OnEditingChange = [this](TObject*) { EditingChange(); };
    fieldLink_->OnUpdateData = [this](TObject*) { UpdateData(); };
    fieldLink_->OnActiveChange = [this](TObject*) { ActiveChange(); };
    buttonContainer_ = vxCreateComboButtonContainer(this);
    button_ = new TvxComboButton(this);
    button_->SetParent(buttonContainer_);
    button_->SetBounds(0, 0, buttonContainer_->Width(), buttonContainer_->Height());
    button_->SetWidth(vxComboButtonWidth());
    TBitmap glyph;
    glyph.SetHandle(ButtonGlyph());
    button_->SetGlyph(&glyph);
    grid_ = new TvxPopupGrid(this);
    grid_->SetVisible(false);
    grid_->SetParent(this);
    grid_->SetCtl3D(Ctl3D());
    grid_->OnClick = [this](TObject* sender) { TakeListSelection(sender); };
    SetHeight(25);
    searchTimer_ = new TTimer(this);
    searchTimer_->SetEnabled(false);
    searchTimer_->SetInterval(333);
    searchTimer_->OnTimer = [this](TObject*) { DoIncrementalSearch(); };
}

TvxDBCustomLookupCombo::~TvxDBCustomLookupCombo()
{
    delete searchTimer_;
    fieldLink_->OnDataChange = nullptr;
    fieldLink_->OnEditingChange = nullptr;
    fieldLink_->OnUpdateData = nullptr;
    fieldLink_->OnActiveChange = nullptr;
    fieldLink_->SetDataSource(nullptr);
    const bool ownListOpen = IsDroppedDown();
    const auto* active = dynamic_cast<TvxDBCustomLookupCombo*>(Screen->ActiveControl());
    const bool otherListOpen = active && active != this && active->IsDroppedDown();
    if (ownListOpen || !otherListOpen) RemoveMouseHook();
    grid_->SetOwnerCombo(nullptr);
    delete grid_;
}

HHOOK TvxDBCustomLookupCombo::MouseHook()
{
    return lookupComboHook;
}

void TvxDBCustomLookupCombo::InstallMouseHook()
{
    if (!lookupComboHook)
        lookupComboHook = SetWindowsHookExA(WH_MOUSE, LookupComboMouseHook, nullptr, GetCurrentThreadId());
}

void TvxDBCustomLookupCombo::RemoveMouseHook()
{
    if (!lookupComboHook) return;
    UnhookWindowsHookEx(lookupComboHook);
    lookupComboHook = nullptr;
}

// ---- properties

TDataSource* TvxDBCustomLookupCombo::DataSource() const
{
    return fieldLink_->DataSource();
}

void TvxDBCustomLookupCombo::SetDataSource(TDataSource* value)
{
    if (value && value->DataSet() && value->DataSet() == LookupTable()) throw EInvalidOperation(DuplicateSources);
    fieldLink_->SetDataSource(value);
    if (value) value->FreeNotification(this);
}

std::string TvxDBCustomLookupCombo::DataField() const
{
    return fieldLink_->FieldName();
}

void TvxDBCustomLookupCombo::SetDataField(const std::string& value)
{
    fieldLink_->SetFieldName(value);
    DeriveLookupField();
}

void TvxDBCustomLookupCombo::SetLookupField(const std::string& value)
{
    grid_->SetLookupField(value);
    grid_->ResolveFields(true);
    DataChange();
}

bool TvxDBCustomLookupCombo::ReadOnly() const
{
    return fieldLink_->ReadOnly();
}

void TvxDBCustomLookupCombo::SetReadOnly(bool value)
{
    fieldLink_->SetReadOnly(value);
    EditingChange();
}

void TvxDBCustomLookupCombo::Notification(TComponent* component, TOperation operation)
{
    TCustomEdit::Notification(component, operation);
    if (operation != opRemove) return;
    if (fieldLink_ && component == DataSource()) SetDataSource(nullptr);
    if (component == imageList_) imageList_ = nullptr;
}

void TvxDBCustomLookupCombo::SetImageList(TImageList* value)
{
    imageList_ = value;
    if (value) value->FreeNotification(this);
}

// ---- state questions

bool TvxDBCustomLookupCombo::IsLookupFieldBound() const
{
    TDataSource* source = DataSource();
    TDataSet* dataSet = source ? source->DataSet() : nullptr;
    if (!dataSet || !vxDataSetHasField(dataSet, DataField())) return false;
    TField* field = dataSet->FindField(DataField());
    return field && (field->Calculated() || field->Lookup());
}

bool TvxDBCustomLookupCombo::IsDroppedDown() const
{
    return grid_ && grid_->Visible();
}

bool TvxDBCustomLookupCombo::CanEditText() const
{
    return IsDroppedDown() || style_ == TvxDBLookupComboStyle::csDropDown || autoDropDown_;
}

bool TvxDBCustomLookupCombo::ClickEditsText() const
{
    return IsDroppedDown() || style_ == TvxDBLookupComboStyle::csDropDown;
}

bool TvxDBCustomLookupCombo::CanModifyData() const
{
    bool result = false;
    TDataSource* source = DataSource();
    if (!source)
        result = true;
    else if (DataField().empty() || (fieldLink_->Editing() && CanEditText()))
        result = true;
    else if (IsLookupFieldBound())
        result = source->State() == dsEdit || source->State() == dsInsert || source->AutoEdit();
    if (!IsDroppedDown() && style_ == TvxDBLookupComboStyle::csDropDownList) result = result && autoDropDown_;
    return result && !ReadOnly();
}

std::string TvxDBCustomLookupCombo::SearchValue()
{
    return CanEditText() ? Text() : LookupValue();
}

bool TvxDBCustomLookupCombo::UseSequentialSearch() const
{
    return true;
}

// ---- searching the lookup table

bool TvxDBCustomLookupCombo::SequentialSearch(const std::string& value, const std::string& fieldName, bool partial,
                                              bool caseSensitive)
{
    TDataSet* table = LookupTable();
    TField* field = table ? table->FindField(fieldName) : nullptr;
    if (!field) return false;
    if (field->AsString() == value) {
        grid_->Invalidate();
        return true;
    }
    std::string searched = value;
    if (field->DataType() == ftString && field->Size() > 0 && field->Size() < Integer(Text().size()))
        searched = searched.substr(0, size_t(field->Size()));
    if (searched.empty() || !vxIsValidFieldInput(field, searched)) {
        grid_->Invalidate();
        return false;
    }
    const Integer matchType = partial ? mtPartialMatchStart : mtExactMatch;
    if (!vxIntl()->UseLocateMethodForSearch())
        return vxLocateFieldValue(table, searched, fieldName, matchType, caseSensitive);
    if (vxIsCalculatedOrLookup(field)) return vxLocateFieldValue(table, searched, fieldName, matchType, false);
    Screen->SetCursor(crHourGlass);
    try {
        bool found;
        if (vxIsClassNamed(table->ClassType(), "TvxQuery")) {
            found = LocateInQuery(table, field, searched, partial, caseSensitive);
        } else {
            TLocateOptions options;
            if (!caseSensitive) options.Include(loCaseInsensitive);
            if (partial) options.Include(loPartialKey);
            found = table->Locate(fieldName, Variant(searched), options);
        }
        Screen->SetCursor(crDefault);
        return found;
    } catch (...) {
        Screen->SetCursor(crDefault);
        throw;
    }
}

// A live query that can be changed is searched through an index its field leads (the library's scan otherwise, and
// whenever that search fails); any other query by its own Locate.
bool TvxDBCustomLookupCombo::LocateInQuery(TDataSet* table, TField* field, const std::string& value, bool partial,
                                           bool caseSensitive)
{
    const std::string& fieldName = field->FieldName();
    const Integer matchType = partial ? mtPartialMatchStart : mtExactMatch;
    PPropInfo requestLive = GetPropInfo(table, "RequestLive");
    const bool live = requestLive && GetOrdProp(table, requestLive) != 0;
    if (!live || !table->CanModify()) {
        TLocateOptions options;
        if (partial) options = TLocateOptions{loCaseInsensitive, loPartialKey};
        return table->Locate(fieldName, Variant(value), options);
    }
    if (vxGetDataSource(table)) return vxLocateFieldValue(table, value, fieldName, matchType, caseSensitive);
    try {
        auto* indexed = dynamic_cast<TbqBDEDataset*>(table);
        TLocateOptions options;
        if (indexed && vxFieldsMapToIndex(indexed, fieldName, false))
            options.Include(loCaseInsensitive);
        else if (!indexed || !vxFieldsMapToIndex(indexed, fieldName, true))
            return vxLocateFieldValue(table, value, fieldName, matchType, caseSensitive);
        if (partial) options.Include(loPartialKey);
        return table->Locate(fieldName, Variant(value), options);
    } catch (...) {
        return vxLocateFieldValue(table, value, fieldName, matchType, caseSensitive);
    }
}

void TvxDBCustomLookupCombo::PerformSearch()
{
    lastSearchText_.clear();
    DoIncrementalSearch();
}

void TvxDBCustomLookupCombo::DoIncrementalSearch()
{
    searchTimer_->SetEnabled(false);
    TDataSet* table = LookupTable();
    if (Text() == lastSearchText_ || !table || !table->Active()) return;
    TField* displayField = grid_->DisplayField();
    if (!displayField) return;
    const bool partial = IsDroppedDown() || dropDownPending_;
    if (!seqSearchOptions_.Contains(ssoEnabled)) return;
    lastSearchFound_ = SequentialSearch(SearchValue(), displayField->FieldName(), partial,
                                        seqSearchOptions_.Contains(ssoCaseSensitive));
    if (!lastSearchFound_ && partial && grid_->DisplayIsLookupField()) {
        grid_->SetLookupValueText(1, "");
        return;
    }
    searchedText_ = Text();
    grid_->SetDisplayValueText(displayField->AsString());
    for (Integer i = 1; i <= 3; ++i)
        if (TField* field = grid_->LookupFields(i)) grid_->SetLookupValueText(i, field->AsString());
    if (!IsDroppedDown()) grid_->SetSelectedRow(-1);
    if (showMatchText_ && lastSearchFound_ && lastSearchText_ != ShortenedText) {
        const Integer start = SelStart();
        const std::string typed = start == 0 ? Text() : Text().substr(0, size_t(start));
        SetText(displayField->AsString());
        SetModified(true);
        SetSelStart(Integer(typed.size()));
        SetSelLength(Integer(Text().size() - typed.size()));
        if (!IsDroppedDown()) grid_->SetSelectedRow(0);
    }
    lastSearchText_ = Text();
}

// ---- the value

void TvxDBCustomLookupCombo::SetLookupValue(const std::string& value)
{
    if (grid_->DataLink()->Active() && fieldLink_->Active() && DataSource()->DataSet() == LookupTable())
        throw EInvalidOperation(DuplicateSources);
    if (LookupValue() == value && (!Text().empty() || value.empty()))
        if (!grid_->DisplayIsLookupField() || Text() == value) return;
    if (grid_->DataLink()->Active()) {
        if (!writingValue_) grid_->SetValue(value);
        SetText(grid_->DisplayValue());
    } else if ((LookupField().empty() && !LookupTable()) || (LookupTable() && !LookupTable()->Active())) {
        SetText(value);
    }
}

void TvxDBCustomLookupCombo::SetDisplayValue(const std::string& value)
{
    if (value != grid_->DisplayValue() && grid_->DataLink()->Active()) grid_->SetDisplayValue(value);
    SetText(grid_->DisplayValue());
}

void TvxDBCustomLookupCombo::ShowLookupRecord()
{
    SetLookupValue("");
    grid_->LocateCurrentValue(false);
    if (TField* displayField = grid_->DisplayField()) {
        grid_->SetDisplayValueText(displayField->AsString());
        SetText(displayField->AsString());
    }
}

// Refreshes the grid's value 2 or 3 from the data source's field of the same name as the lookup field.
static std::string RefreshedValue(TvxDBCustomLookupCombo* combo, Integer index)
{
    TvxPopupGrid* grid = combo->DropDownGrid();
    TField* lookupField = grid->LookupFields(index);
    TDataSource* source = combo->DataSource();
    TDataSet* dataSet = source ? source->DataSet() : nullptr;
    TField* dataField = lookupField && dataSet ? dataSet->FindField(lookupField->FieldName()) : nullptr;
    const std::string& current = index == 2 ? grid->LookupValue2() : grid->LookupValue3();
    if (!dataField) return current;
    if (index == 2 && dataField->AsString() != current && grid->DisplayField()) {
        combo->SetText(grid->DisplayField()->AsString());
        grid->SetDisplayValueText(combo->Text());
    }
    grid->SetLookupValueText(index, dataField->AsString());
    return dataField->AsString();
}

std::string TvxDBCustomLookupCombo::LookupValue2()
{
    return RefreshedValue(this, 2);
}

std::string TvxDBCustomLookupCombo::LookupValue3()
{
    return RefreshedValue(this, 3);
}

// ---- taking a row

void TvxDBCustomLookupCombo::BeginEdit()
{
    auto* parentGrid = dynamic_cast<TvxCustomDBGrid*>(Parent());
    const bool embedded = parentGrid && IsDroppedDown() && parentGrid->InheritsFrom(TvxCustomDBGrid::StaticClass());
    TFlagRaised internal(internalUpdate_);
    if (embedded) parentGrid->SetKeepControlsOnDataChange(true);
    try {
        fieldLink_->Edit();
    } catch (...) {
        if (embedded) parentGrid->SetKeepControlsOnDataChange(false);
        throw;
    }
    if (embedded) parentGrid->SetKeepControlsOnDataChange(false);
}

void TvxDBCustomLookupCombo::SelectAllIfEditable()
{
    if (CanEditText()) SelectAll();
}

void TvxDBCustomLookupCombo::TakeListSelection(TObject*)
{
    lastSearchFound_ = true;
    TDataSource* source = DataSource();
    if (source && !fieldLink_->Editing() && !Modified()) return;
    fieldLink_->Edit();
    if (source && !fieldLink_->Editing() && !IsLookupFieldBound()) return;
    if (IsLookupFieldBound() && ReadOnly()) return;
    fieldLink_->Modified();
    SetText(grid_->DisplayValue());
    SelectAllIfEditable();
    ShowCaret(Handle());
    lastSearchText_ = Text();
}

// Runs a pending search at once, or takes the values of the highlighted row.
void TvxDBCustomLookupCombo::CommitPendingSearch()
{
    if (searchTimer_->Enabled()) {
        searchTimer_->SetEnabled(false);
        DoIncrementalSearch();
        return;
    }
    const Integer row = grid_->SelectedRow();
    if (IsDroppedDown() && row < 0) return;
    TvxGridDataLink* link = grid_->DataLink();
    if (!vxIsClassNamed(ClassType(), "TvxDBLookupComboDlg") && row >= 0 && row < link->RecordCount())
        link->SetActiveRecord(row);
    TField* displayField = grid_->DisplayField();
    if (!displayField) return;
    grid_->SetDisplayValueText(displayField->AsString());
    grid_->SetLookupValueText(1, grid_->DisplayIsLookupField() ? grid_->DisplayValue()
                                                                : grid_->LookupFields(1)->AsString());
    for (Integer i = 2; i <= 3; ++i)
        if (TField* field = grid_->LookupFields(i)) grid_->SetLookupValueText(i, field->AsString());
}

// ---- the field link

void TvxDBCustomLookupCombo::DataChange()
{
    if (internalUpdate_) return;
    if (DataField().empty() || ComponentState().Contains(csLoading)) {
        SetText("");
    } else {
        TField* field = fieldLink_->Field();
        {
            TNesting nesting(grid_->UpdateNestingCounter());
            if (grid_->LookupFields(2) || grid_->LookupFields(3)) {
                grid_->LocateCurrentValue(false);
                if (TField* display = grid_->DisplayField()) {
                    SetText(display->AsString());
                    grid_->SetDisplayValueText(Text());
                }
            }
            SetLookupValue(field ? field->AsString() : std::string());
            LookupValue2();
            LookupValue3();
        }
        if (DataSource() && DataSource()->State() == dsBrowse) {
            savedText_ = Text();
            savedLookupValue_ = LookupValue();
        }
    }
    if (Focused()) SelectAllIfEditable();
}

void TvxDBCustomLookupCombo::EditingChange()
{
    TCustomEdit::SetReadOnly(!CanModifyData());
}

void TvxDBCustomLookupCombo::UpdateData()
{
    TField* field = fieldLink_->Field();
    if (DataField().empty() || !field) return;
    if (!inNotInList_ && !Text().empty() && !IsDroppedDown()) CloseUp(true);
    if (IsLookupFieldBound()) {
        bool modified = false;
        if (grid_->SelectedRow() >= 0) WriteLookupFields(modified);
        return;
    }
    if (grid_->DisplayIsLookupField()) {
        if (field->AsString() != Text()) field->SetEditText(Text());
    } else if (field->AsString() != LookupValue()) {
        field->SetAsString(LookupValue());
    }
    if (grid_->SelectedRow() < 0 && !AlwaysCopyLookupFields()) return;
    TDataSet* dataSet = DataSource()->DataSet();
    for (Integer i = 2; i <= 3; ++i) {
        TField* lookupField = grid_->LookupFields(i);
        TField* target = lookupField ? dataSet->FindField(lookupField->FieldName()) : nullptr;
        if (target) target->Assign(lookupField);
    }
}

void TvxDBCustomLookupCombo::ActiveChange()
{
    if (!DataSource()) return;
    if (fieldLink_->Active()) DeriveLookupField();
    if (fieldLink_->Active() && grid_->DataLink()->Active()) {
        grid_->SetValue("");
        DataChange();
    }
}

// A combo bound to a lookup or calculated field looks up the lookup-side names of the field's key pairs.
void TvxDBCustomLookupCombo::DeriveLookupField()
{
    TDataSet* dataSet = DataSource() ? DataSource()->DataSet() : nullptr;
    if (DataField().empty() || !dataSet) return;
    TField* field = dataSet->FindField(DataField());
    std::string names;
    if (field && field->Lookup()) {
        names = field->LookupKeyFields();
    } else {
        std::string linkLine;
        vxFindLookupLink(dataSet, DataField(), linkLine);
        const std::vector<std::string> parts = SplitNames(linkLine);
        for (size_t i = 1; i < parts.size(); i += 2) names += (names.empty() ? "" : ";") + parts[i];
    }
    if (names.empty()) return;
    grid_->SetLookupField(names);
    grid_->ResolveFields(true);
}

// Writes the taken row's key values into the key fields of a lookup or calculated data field.
void TvxDBCustomLookupCombo::WriteLookupFields(bool& modified)
{
    if (writingValue_) return;
    TFlagRaised writing(writingValue_);
    TDataSet* dataSet = DataSource()->DataSet();
    TField* field = dataSet->FindField(DataField());
    std::vector<std::string> keys;
    if (field && field->Lookup()) {
        keys = SplitNames(field->KeyFields());
    } else {
        std::string linkLine;
        vxFindLookupLink(dataSet, DataField(), linkLine);
        const std::vector<std::string> parts = SplitNames(linkLine);
        for (size_t i = 0; i < parts.size(); i += 2) keys.push_back(parts[i]);
    }
    const std::string values[3] = {LookupValue(), grid_->LookupValue2(), grid_->LookupValue3()};
    auto differs = [&](size_t i) {
        TField* key = i < keys.size() ? dataSet->FindField(keys[i]) : nullptr;
        return key && key->EditText() != values[i];
    };
    modified = keys.empty() || differs(0) || (grid_->LookupFields(2) && differs(1)) ||
               (grid_->LookupFields(3) && differs(2));
    if (modified) {
        TFlagRaised internal(internalUpdate_);
        if (!ReadOnly()) {
            dataSet->Edit();
            if (dataSet->State() == dsEdit || dataSet->State() == dsInsert)
                for (size_t i = 0; i < keys.size() && i < 3; ++i)
                    if (differs(i)) dataSet->FindField(keys[i])->SetEditText(values[i]);
        }
    }
    Invalidate();
}

// ---- close-up

void TvxDBCustomLookupCombo::RestoreSavedText()
{
    SetDisplayValue(savedText_);
    grid_->SetLookupValueText(1, savedLookupValue_);
    SetText(savedText_);
    if (Focused()) SelectAll();
}

void TvxDBCustomLookupCombo::CloseUp(bool modified)
{
    if (closingUp_) return;
    if (!IsDroppedDown()) {
        CloseUpClosed();
        return;
    }
    try {
        CloseUpOpen(modified);
    } catch (...) {
        grid_->SetVisible(false);
        inNotInList_ = false;
        writingValue_ = false;
        closingUp_ = false;
        Repaint();
        RemoveMouseHook();
        throw;
    }
}

// The text of a closed combo is checked when the focus leaves it.
void TvxDBCustomLookupCombo::CloseUpClosed()
{
    TField* displayField = grid_->DisplayField();
    if (!displayField) return;
    if (OnNotInList && Text() != savedText_ && !inNotInList_ && (IsLookupFieldBound() || !displayField->Calculated())) {
        DoIncrementalSearch();
        if (lastSearchFound_) return;
        bool accept = true;
        if (!Text().empty()) {
            {
                TFlagRaised notInList(inNotInList_);
                OnNotInList(this, LookupTable(), Text(), accept);
            }
            vxReleaseLeftButton();
            if (!accept) RestoreSavedText();
        }
        savedText_ = Text();
        return;
    }
    if (style_ == TvxDBLookupComboStyle::csDropDown && !grid_->DisplayIsLookupField() && Text() != savedText_ && !lastSearchFound_)
        RestoreSavedText();
}

// Asks OnNotInList about a text no row matched; false when it refused (the saved text and value are back then).
bool TvxDBCustomLookupCombo::TakeNotInList(bool& notInListAccepted)
{
    notInListAccepted = true;
    if (OnNotInList && !Text().empty()) {
        {
            TFlagRaised notInList(inNotInList_);
            OnNotInList(this, LookupTable(), Text(), notInListAccepted);
        }
        vxReleaseLeftButton();
        if (notInListAccepted) savedText_ = Text();
    }
    if (!notInListAccepted) {
        SetDisplayValue(savedText_);
        SetLookupValue(savedLookupValue_);
        return false;
    }
    if (grid_->DisplayIsLookupField()) {
        const std::string text = Text();
        SetLookupValue(text);
        SetDisplayValue(text);
        TField* field = fieldLink_->Field();
        if (field && field->AsString() != Text()) field->SetAsString(Text());
    } else if (!IsLookupFieldBound()) {
        grid_->SetLookupValueText(1, grid_->LookupFields(1)->AsString());
        if (!DataSource()) SetText(searchedText_);
    }
    return true;
}

void TvxDBCustomLookupCombo::WriteUnboundValue(bool wasFound, bool notInListAccepted)
{
    if (wasFound && !notInListAccepted) {
        TField* displayField = grid_->DisplayField();
        SetText(grid_->DisplayIsLookupField() ? LookupValue() : displayField->AsString());
    }
    if (wasFound) {
        TakeListSelection();
    } else if ((!notInListAccepted && style_ == TvxDBLookupComboStyle::csDropDownList) || !grid_->DisplayIsLookupField()) {
        SetText("");
        grid_->SetLookupValueText(1, "");
    }
}

// A combo bound to a plain field writes the lookup value (and lookup fields 2 and 3 into their namesakes). A value
// the field refuses is reported, the saved text and value come back and nothing counts as changed.
void TvxDBCustomLookupCombo::WritePlainField(bool wasFound, bool& modified)
{
    modified = false;
    TFlagRaised writing(writingValue_);
    auto restore = [this] {
        grid_->SetDisplayValueText(savedText_);
        grid_->SetLookupValueText(1, savedLookupValue_);
        SetText(savedText_);
    };
    try {
        if (TDataSet* dataSet = DataSource()->DataSet())
            for (Integer i = 2; i <= 3; ++i) {
                TField* lookupField = grid_->LookupFields(i);
                TField* target = lookupField ? dataSet->FindField(lookupField->FieldName()) : nullptr;
                if (!target || grid_->SelectedRow() < 0) continue;
                if (target->AsString() != lookupField->AsString()) modified = true;
                target->SetAsString(lookupField->AsString());
            }
        TField* field = fieldLink_->Field();
        if (field && field->AsString() != LookupValue()) modified = true;
        const bool keepsListText = style_ == TvxDBLookupComboStyle::csDropDownList && !wasFound;
        if (field && modified) {
            if (keepsListText && !grid_->DisplayIsLookupField()) SetText(grid_->DisplayValue());
            field->SetAsString(LookupValue());
        } else if (keepsListText) {
            restore();
        }
    } catch (const Exception& e) {
        restore();
        modified = false;
        Application->ShowException(e);
    }
    Repaint();
}

// An invisible combo shows for the moment its grid is hidden.
void TvxDBCustomLookupCombo::HideGrid()
{
    const bool invisible = !Visible();
    if (invisible) SetVisible(true);
    grid_->SetVisible(false);
    if (invisible) SetVisible(false);
}

void TvxDBCustomLookupCombo::CloseUpOpen(bool& modified)
{
    closingUp_ = true;
    const bool wasFound = lastSearchFound_;
    bool notInListAccepted = false;
    TDataSource* source = DataSource();
    const bool unbound = !source || !source->DataSet();
    const bool writable = fieldLink_->Editing() || IsLookupFieldBound() || unbound;
    if (modified && !wasFound && writable) {
        grid_->SetVisible(false);
        Repaint();
        lastSearchFound_ = true;
        if ((style_ == TvxDBLookupComboStyle::csDropDown && grid_->DisplayIsLookupField()) || OnNotInList) {
            if (!TakeNotInList(notInListAccepted)) {
                closingUp_ = false;
                RemoveMouseHook();
                return;
            }
        } else if (style_ == TvxDBLookupComboStyle::csDropDown && !grid_->DisplayIsLookupField() && Text() != savedText_) {
            SetDisplayValue(savedText_);
            grid_->SetLookupValueText(1, savedLookupValue_);
            SetText(savedText_);
        }
    }
    if (modified && writable) {
        if (unbound) {
            WriteUnboundValue(wasFound, notInListAccepted);
        } else if (IsLookupFieldBound()) {
            Repaint();
            grid_->SetVisible(false);
            WriteLookupFields(modified);
            SetText(fieldLink_->Field() ? fieldLink_->Field()->AsString() : std::string());
            SelectAll();
        } else {
            WritePlainField(wasFound, modified);
        }
    } else {
        modified = false;
    }
    HideGrid();
    Repaint();
    if (!CanEditText()) HideCaret(Handle());
    if (modified) {
        LookupTable()->UpdateCursorPos();
        LookupTable()->Resync({});
        savedText_ = Text();
        savedLookupValue_ = LookupValue();
    }
    SetModified(modified);
    if (OnCloseUp) OnCloseUp(this, LookupTable(), unbound ? nullptr : source->DataSet(), modified);
    closingUp_ = false;
    RemoveMouseHook();
}

// ---- drop-down

void TvxDBCustomLookupCombo::AddSelectedLine()
{
    TField* field = IsLookupFieldBound() ? grid_->DisplayField() : nullptr;
    if (!field) {
        Integer position = 1;
        std::string name;
        vxNextToken(LookupField(), ";", position, name);
        field = LookupTable()->FindField(name);
    }
    if (field)
        Selected()->Add(field->FieldName() + "\t" + IntToStr(field->DisplayWidth()) + "\t" + field->DisplayLabel());
}

// The grid's height for the rows (never fewer than none) and its title.
Integer TvxDBCustomLookupCombo::DropDownHeight(Integer rows)
{
    const Integer lines = Options().Contains(loRowLines) ? 1 : 0;
    return (grid_->DefaultRowHeight() + lines) * (grid_->TitleOffset() + std::max(rows, 0)) + 5 - 2 * lines;
}

void TvxDBCustomLookupCombo::DropDown()
{
    if (!LookupTable() || !LookupTable()->Active()) {
        MessageDlg(LookupTable() ? LookupTableInactive : NoLookupTable, mtWarning, TMsgDlgButtons{mbOK}, 0);
        return;
    }
    if (IsDroppedDown() || Width() <= 20) return;
    grid_->SetSelectedRow(-1);
    if (Selected()->Count() == 0) AddSelectedLine();
    if (!dropDownPending_) {
        if (vxIsClassNamed(LookupTable()->ClassType(), "TvxQuery") && vxGetDataSource(LookupTable())) BeginEdit();
        grid_->LocateCurrentValue(true);
    }
    if (UseTFields())
        vxApplySelected(LookupTable(), Selected());
    else
        grid_->LayoutChanged();
    if (OnDropDown) OnDropDown(this);
    rowsShown_ = dropDownCount_ == 0 ? 1 : dropDownCount_;
    grid_->SetHeight(DropDownHeight(rowsShown_));
    {
        TFlagRaised sizing(grid_->sizing_);
        PositionDropDown();
        grid_->UpdateRowCount();
    }
    grid_->SetImageList(imageList_);
    grid_->SetVisible(true);
    FitToRecords();
    if (LookupField().empty()) grid_->SetDisplayValueText(Text());
    grid_->SetColumnAttributes();
    grid_->UpdateRowCount();
    grid_->SetVisible(true);
    lastSearchText_ = grid_->DisplayValue();
    SetFocus();
    TCustomEdit::SetReadOnly(!CanModifyData());
    if (!dropDownPending_) SelectAllIfEditable();
    ShowCaret(Handle());
    Repaint();
    InstallMouseHook();
}

// A table with fewer records than rows shrinks the grid to them, without a vertical scroll bar.
void TvxDBCustomLookupCombo::FitToRecords()
{
    const Integer records = grid_->DataLink()->RecordCount();
    const bool fewer = records < rowsShown_;
    if (fewer == !grid_->ShowVertScrollBar()) {
        if (fewer) rowsShown_ = records;
        return;
    }
    const std::string text = Text();
    const Integer selStart = SelStart(), selLength = SelLength();
    if (fewer) {
        rowsShown_ = records;
        grid_->SetHeight(DropDownHeight(rowsShown_));
    }
    {
        TFlagRaised internal(internalUpdate_);
        grid_->SetShowVertScrollBar(!fewer);
        grid_->RecreateWnd();
        grid_->HandleNeeded();
    }
    {
        TFlagRaised sizing(grid_->sizing_);
        PositionDropDown();
    }
    SetText(text);
    if (showMatchText_ && dropDownPending_) {
        SetSelStart(selStart);
        SetSelLength(selLength);
    } else {
        SetSelStart(Integer(text.size()));
    }
}

Integer TvxDBCustomLookupCombo::ColumnsWidth(Integer skip)
{
    TCanvas* canvas = grid_->Canvas();
    Integer width = GetSystemMetrics(SM_CXHTHUMB) + 1;
    const Integer lineWidth = grid_->GridLineWidth();
    for (Integer col = 0; col < grid_->ColCount() - skip; ++col) {
        Integer characters = 0;
        std::string title;
        if (UseTFields()) {
            TField* field = grid_->GetFields(col);
            if (!field) continue;
            characters = field->DisplayWidth();
            title = field->DisplayLabel();
        } else if (col < Selected()->Count()) {
            std::vector<std::string> parts = SplitTabs(Selected()->Strings(col));
            characters = parts.size() > 1 ? StrToIntDef(parts[1], 0) : 0;
            title = parts.size() > 2 ? parts[2] : std::string();
        }
        canvas->Font()->Assign(grid_->Font());
        Integer columnWidth = characters * canvas->TextWidth("0") + lineWidth;
        if (Options().Contains(loTitles)) {
            canvas->Font()->Assign(grid_->TitleFont());
            columnWidth = std::max(columnWidth, canvas->TextWidth(title));
        }
        width += columnWidth;
    }
    return width;
}

void TvxDBCustomLookupCombo::PositionDropDown()
{
    if (Width() <= 20) return;
    const TPoint origin = ClientOrigin();
    const Integer originX = Integer(origin.x), originY = Integer(origin.y);
    const Integer gridHeight = grid_->Height();
    Integer top = originY + Height() - 1 + (BorderStyle() == bsNone ? 1 : 0);
    if (GetSystemMetrics(SM_CYSCREEN) < top + gridHeight) {
        top = originY - gridHeight + 1;
        if (top < 0) top = originY + Height() - 1;
    }
    const Integer lines = grid_->ColCount() * grid_->GridLineWidth() + vxComboButtonWidth();
    const Integer wanted = dropDownWidth_ != 0 ? dropDownWidth_ : ColumnsWidth(0) + lines;
    const TCustomForm* form = GetParentForm(this);
    const HWND insertAfter = form && form->FormStyle() == fsStayOnTop ? HWND_TOPMOST : HWND_TOP;
    Integer width, x;
    if (dropDownAlignment_ == taLeftJustify) {
        width = std::max(Width() - 4, std::min(GetSystemMetrics(SM_CXSCREEN) - originX - 2, wanted));
        x = originX;
    } else {
        width = std::max(Width() - 4, std::min(Width() + originX - 2, wanted));
        x = originX + 1 + Width() - width;
    }
    Integer height = gridHeight;
    if (width <= ColumnsWidth(1) + lines + 1 && rowsShown_ > 0) {
        const Integer rowLines = Options().Contains(loRowLines) ? 1 : 0;
        height = GetSystemMetrics(SM_CYHSCROLL) +
                 (rowsShown_ + grid_->TitleOffset()) * (grid_->DefaultRowHeight() + rowLines) + 5 - 2 * rowLines;
    }
    SetWindowPos(grid_->Handle(), insertAfter, x, top, width, height, SWP_NOACTIVATE);
}

// ---- keys

std::string TvxDBCustomLookupCombo::PredictedText(char key)
{
    const std::string text = Text();
    const size_t start = size_t(std::min(SelStart(), Integer(text.size())));
    if (key == 8) {
        if (text.empty() || start == 0) return text;
        return text.substr(0, start - 1) + text.substr(start);
    }
    const size_t end = std::min(text.size(), start + size_t(SelLength()));
    return text.substr(0, start) + key + text.substr(end);
}

// The key notification before the form's dialog keys; true when the key is held back from them.
bool TvxDBCustomLookupCombo::CNKeyDown(TMessage& message)
{
    if (ComponentState().Contains(csDesigning)) return false;
    const Word key = MessageAs<TWMKey>(message).CharCode;
    auto* parentGrid = dynamic_cast<TvxCustomDBGrid*>(Parent());
    if (key == VK_ESCAPE && !parentGrid) {
        if (IsDroppedDown()) return true;
        if (Modified()) {
            grid_->SetDisplayValueText(savedText_);
            grid_->SetLookupValueText(1, savedLookupValue_);
            SetText(savedText_);
            SetModified(true);
            TFlagRaised internal(internalUpdate_);
            fieldLink_->Reset();
            return true;
        }
    }
    if (dropDownPending_) return true;
    const bool enterToTab = key == VK_RETURN && parentGrid && parentGrid->KeyOptions().Contains(dgEnterToTab);
    if ((key == VK_TAB || enterToTab) && IsDroppedDown()) {
        CommitPendingSearch();
        if (lastSearchFound_) TakeListSelection();
        CloseUp(true);
        SelectAllIfEditable();
    }
    if (key != VK_TAB && key != VK_RETURN) return false;
    if (IsDroppedDown()) return true;
    if (!parentGrid) return false;
    parentGrid->SetFocus();
    if (parentGrid->Focused() && (key == VK_TAB || enterToTab)) {
        Word forwarded = key;
        parentGrid->Perform(WM_KEYDOWN, forwarded, MessageAs<TWMKey>(message).KeyData);
    }
    return true;
}

TvxCustomDBGrid* TvxDBCustomLookupCombo::ParentDBGrid() const
{
    TWinControl* parent = Parent();
    return parent && vxIsClassNamed(parent->ClassType(), "TvxDBGrid") ? dynamic_cast<TvxCustomDBGrid*>(parent)
                                                                      : nullptr;
}

// Whether a key of a combo in a data grid's cell moves the grid rather than the caret.
bool TvxDBCustomLookupCombo::GridTakesKey(TvxCustomDBGrid* grid, Word key, TShiftState shift)
{
    const bool ctrl = shift.Contains(ssCtrl);
    const bool alwaysShowEditor = grid->Options().Contains(dgAlwaysShowEditor);
    const Integer size = Integer(Text().size()), start = SelStart(), length = SelLength();
    const bool emptyOrAll = length == 0 || length == size;
    switch (key) {
    case VK_ESCAPE: return !Modified();
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN: return !shift.Contains(ssAlt);
    case VK_INSERT: return true;
    case VK_END:
    case VK_RIGHT: return alwaysShowEditor && (ctrl || (start + length == size && emptyOrAll));
    case VK_HOME:
    case VK_LEFT: return alwaysShowEditor && (ctrl || (start == 0 && emptyOrAll));
    case VK_DELETE: return ctrl;
    default: return false;
    }
}

void TvxDBCustomLookupCombo::HandKeyToGrid(TvxCustomDBGrid* grid, Word& key)
{
    auto pass = [&] {
        grid->SetFocus();
        if (grid->Focused()) grid->Perform(WM_KEYDOWN, key, 0);
    };
    if (key == VK_ESCAPE) {
        TFlagRaised notInList(inNotInList_);
        pass();
    } else {
        pass();
    }
    key = 0;
}

// The keys of a combo in a data grid's cell with its list closed; false ends the key's handling (F2).
bool TvxDBCustomLookupCombo::RouteKeyToGrid(TvxCustomDBGrid* grid, Word& key, TShiftState shift)
{
    if (key == VK_F2) {
        if (grid->OnKeyDown) grid->OnKeyDown(grid, key, shift);
        if (key != VK_F2) return true;
        SendMessageA(Handle(), EM_SETSEL, WPARAM(-1), 0);
        return false;
    }
    if (GridTakesKey(grid, key, shift)) HandKeyToGrid(grid, key);
    if (!CanEditText() && (key == VK_END || key == VK_HOME || key == VK_LEFT || key == VK_RIGHT))
        HandKeyToGrid(grid, key);
    if (key != 0 && grid->OnKeyDown) grid->OnKeyDown(grid, key, shift);
    return true;
}

void TvxDBCustomLookupCombo::KeyDown(Word& key, TShiftState shift)
{
    if (GetKeyState(VK_MENU) < 0) shift.Include(ssAlt);
    if (TvxCustomDBGrid* grid = ParentDBGrid(); grid && !IsDroppedDown() && !RouteKeyToGrid(grid, key, shift)) return;
    const bool deleting = key == VK_BACK || key == VK_DELETE;
    if (showMatchText_ && deleting && !IsDroppedDown() && style_ == TvxDBLookupComboStyle::csDropDownList && !allowClearKey_) key = 0;
    if (key != 0) {
        if (vxIsSearchKey(key) && autoDropDown_ && !IsDroppedDown()) dropDownPending_ = true;
        TCustomEdit::KeyDown(key, shift);
        if (key == VK_BACK || key == VK_INSERT || key == VK_DELETE) {
            if (CanEditText()) BeginEdit();
            if (!CanModifyData()) key = 0;
        } else if ((key == VK_END || key == VK_HOME || key == VK_LEFT || key == VK_RIGHT) && !CanEditText() &&
                   !IsLookupFieldBound()) {
            key = 0;
        }
        if (key == VK_PRIOR || key == VK_NEXT || key == VK_UP || key == VK_DOWN) {
            if (IsDroppedDown()) {
                BeginEdit();
                if ((!DataSource() || fieldLink_->Editing() || IsLookupFieldBound()) && !ReadOnly())
                    grid_->KeyDown(key, shift);
                key = 0;
            } else if (shift.Contains(ssAlt)) {
                DropDown();
                key = 0;
            }
        }
        if (key == VK_ESCAPE && IsDroppedDown()) key = 0;
    }
    if (showMatchText_ && deleting) {
        if (IsDroppedDown()) lastSearchText_ = ShortenedText;
    } else {
        lastSearchText_.clear();
    }
}

void TvxDBCustomLookupCombo::KeyPress(char& key)
{
    TCustomEdit::KeyPress(key);
    const unsigned char code = static_cast<unsigned char>(key);
    const std::string predicted = PredictedText(key);
    if ((lastSearchText_ != predicted || lastSearchText_.size() == 1) && code >= 32 && IsDroppedDown() &&
        !searchTimer_->Enabled())
        searchTimer_->SetEnabled(true);
    if (key == '\r' && IsDroppedDown()) {
        CommitPendingSearch();
        if (lastSearchFound_) TakeListSelection();
        CloseUp(true);
        SelectAllIfEditable();
        ShowCaret(Handle());
    }
    if (key == 27) {
        EscapePressed();
        key = 0;
        return;
    }
    TField* field = fieldLink_->Field();
    if (code >= 32 && !IsDroppedDown() && field && !field->IsValidChar(key) && !autoDropDown_ && CanEditText() &&
        !showMatchText_) {
        MessageBeep(0);
        key = 0;
        return;
    }
    if (key == 8 || key == 22 || key == 24 || code >= 32) {
        if (CanEditText()) BeginEdit();
        if (!CanModifyData()) key = 0;
    }
    // Tab, Enter and the line break of Ctrl+Enter never go into the text.
    if (key == '\t' || key == '\r' || key == '\n') key = 0;
}

// Esc closes an open grid without taking a row and brings back the text and value of the entry.
void TvxDBCustomLookupCombo::EscapePressed()
{
    const bool wasOpen = IsDroppedDown();
    if (wasOpen) CloseUp(false);
    if (DataField().empty()) {
        SetDisplayValue(savedText_);
        SetLookupValue(savedLookupValue_);
        SelectAllIfEditable();
        return;
    }
    grid_->SetDisplayValueText(savedText_);
    grid_->SetLookupValueText(1, savedLookupValue_);
    SetText(savedText_);
    SetModified(false);
    {
        TFlagRaised internal(internalUpdate_);
        fieldLink_->Reset();
    }
    SelectAllIfEditable();
    auto* parentGrid = dynamic_cast<TWinControl*>(Parent());
    const bool inGrid = dynamic_cast<TvxCustomDBGrid*>(Parent()) != nullptr;
    if (parentGrid && (!CanEditText() || (!wasOpen && inGrid))) parentGrid->SetFocus();
}

void TvxDBCustomLookupCombo::KeyUp(Word& key, TShiftState shift)
{
    const bool deleting = key == VK_DELETE || key == VK_BACK;
    if (allowClearKey_ && deleting) ClearByKey(key);
    TCustomEdit::KeyUp(key, shift);
    if ((lastSearchText_ != Text() || lastSearchText_.size() == 1) && vxIsSearchKey(key))
        if (!SearchAfterKey(key)) return;
    dropDownPending_ = false;
    if (vxIsSearchKey(key) && !IsDroppedDown()) fieldLink_->Modified();
}

// Delete or Backspace that emptied the text, or removed the whole of it, clears the value.
void TvxDBCustomLookupCombo::ClearByKey(Word& key)
{
    if (IsDroppedDown()) {
        if (IsLookupFieldBound() || !Text().empty()) return;
        if (!DataField().empty()) {
            BeginEdit();
            fieldLink_->Modified();
        }
        grid_->SetLookupValueText(1, "");
        grid_->SetDisplayValueText("");
        grid_->SetSelectedRow(-1);
        grid_->Invalidate();
        key = 0;
        return;
    }
    if (SelText() != Text()) return;
    SetText("");
    if (IsLookupFieldBound()) {
        for (Integer i = 1; i <= 3; ++i) grid_->SetLookupValueText(i, "");
        bool modified = false;
        WriteLookupFields(modified);
    } else if (!DataField().empty()) {
        BeginEdit();
        fieldLink_->Modified();
        grid_->SetLookupValueText(1, "");
    } else {
        SetLookupValue("");
    }
    key = 0;
}

// The search a released key starts while the grid is closed; false when the key ends the handling.
bool TvxDBCustomLookupCombo::SearchAfterKey(Word& key)
{
    const bool deletion = showMatchText_ && (key == VK_BACK || key == VK_DELETE);
    if (deletion && !IsDroppedDown() && style_ == TvxDBLookupComboStyle::csDropDownList && !allowClearKey_) {
        key = 0;
        return false;
    }
    if (IsDroppedDown() || Text().empty()) return true;
    if (!autoDropDown_ && showMatchText_ && style_ == TvxDBLookupComboStyle::csDropDown && !deletion) {
        TFlagRaised pending(dropDownPending_);
        DoIncrementalSearch();
    } else if (autoDropDown_) {
        TFlagRaised pending(dropDownPending_);
        DoIncrementalSearch();
        DropDown();
    }
    return true;
}

void TvxDBCustomLookupCombo::Change()
{
    if (fieldLink_->Editing()) fieldLink_->Modified();
    TCustomEdit::Change();
}

// ---- focus and window

void TvxDBCustomLookupCombo::DoEnter()
{
    grid_->SetDisplayValueText(Text());
    TCustomEdit::DoEnter();
    if (!inNotInList_) SetModified(false);
    if (!IsDroppedDown() && !inNotInList_) {
        savedText_ = Text();
        savedLookupValue_ = LookupValue();
    }
}

void TvxDBCustomLookupCombo::CMExit(TMessage& message)
{
    if (inNotInList_) return;
    try {
        fieldLink_->UpdateRecord();
        SetSelStart(0);
    } catch (...) {
        SelectAllIfEditable();
        TFlagRaised notInList(inNotInList_);
        SetFocus();
        throw;
    }
    TCustomEdit::Dispatch(message);
    if (!CanEditText()) Invalidate();
}

void TvxDBCustomLookupCombo::CancelMode(TMessage& message)
{
    if (Modified() && !lastSearchFound_) {
        BeginEdit();
        if (fieldLink_->Editing()) fieldLink_->Modified();
    }
    auto* sender = reinterpret_cast<TControl*>(message.LParam);
    if (sender == this || sender == buttonContainer_ || sender == button_ || sender == grid_) return;
    if (IsDroppedDown()) {
        CommitPendingSearch();
        if (lastSearchFound_) TakeListSelection();
    }
    CloseUp(true);
}

void TvxDBCustomLookupCombo::Loaded()
{
    button_->SetWidth(vxComboButtonWidth());
    if (Parent() || Owner()) UpdateButtonLayout();
    TCustomEdit::Loaded();
    DataChange();
}

void TvxDBCustomLookupCombo::CreateParams(TCreateParams& params)
{
    TCustomEdit::CreateParams(params);
    params.Style |= WS_CLIPCHILDREN;
    if (multiLine_ || BorderStyle() == bsNone) params.Style |= ES_MULTILINE;
}

void TvxDBCustomLookupCombo::CreateWnd()
{
    TCustomEdit::CreateWnd();
    SetEditRect();
    grid_->HandleNeeded();
    DataChange();
}

void TvxDBCustomLookupCombo::SetMultiLine(bool value)
{
    if (value == multiLine_) return;
    multiLine_ = value;
    RecreateWnd();
}

// A multi-line combo never takes a line break into its value.
void TvxDBCustomLookupCombo::PasteText()
{
    std::string text = ClipboardText(Handle());
    std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
    SetSelText(text);
}

void TvxDBCustomLookupCombo::ToggleByMouse(TMessage& message)
{
    SetFocus();
    if (!Focused()) return;
    HideCaret(Handle());
    if (IsDroppedDown())
        CloseUp(true);
    else
        DropDown();
    const TShiftState shift = KeysToShiftState(Word(message.WParam));
    MouseDown(mbLeft, shift, SmallInt(LOWORD(message.LParam)), SmallInt(HIWORD(message.LParam)));
}

void TvxDBCustomLookupCombo::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case CN_KEYDOWN:
        if (CNKeyDown(message)) {
            message.Result = 0;
            return;
        }
        break;
    case WM_CHAR:
        if (vxIsSearchKey(Word(message.WParam)) && autoDropDown_ && !IsDroppedDown() &&
            dynamic_cast<TvxCustomDBGrid*>(Parent()))
            dropDownPending_ = true;
        break;
    case CM_ENTER:
        if (AutoSelect() && GetKeyState(VK_LBUTTON) >= 0) SelectAllIfEditable();
        TCustomEdit::Dispatch(message);
        if (!CanEditText()) Invalidate();
        return;
    case WM_SETFOCUS:
        TCustomEdit::Dispatch(message);
        if (!CanEditText()) HideCaret(Handle());
        return;
    case CM_EXIT:
        CMExit(message);
        return;
    case WM_KILLFOCUS:
        TCustomEdit::Dispatch(message);
        CloseUp(true);
        return;
    case CM_CANCELMODE:
        CancelMode(message);
        return;
    case CM_GETDATALINK:
        message.Result = reinterpret_cast<LRESULT>(fieldLink_.get());
        return;
    case WM_CUT:
    case WM_PASTE:
        if (CanEditText()) BeginEdit();
        if (!CanModifyData()) return;
        if (message.Msg == WM_CUT) break;
        if (multiLine_ || BorderStyle() == bsNone)
            PasteText();
        else
            TCustomEdit::Dispatch(message);
        fieldLink_->Modified();
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (ClickEditsText()) break;
        ToggleByMouse(message);
        return;
    case WM_LBUTTONUP:
        if (!ClickEditsText()) ReleaseCapture();
        break;
    case WM_SIZE:
        TCustomEdit::Dispatch(message);
        UpdateButtonLayout();
        return;
    case WM_PAINT:
        PaintFace(message);
        return;
    case CM_ENABLEDCHANGED:
        TCustomEdit::Dispatch(message);
        button_->SetEnabled(Enabled());
        return;
    default:
        break;
    }
    TCustomEdit::Dispatch(message);
}

// ---- TvxDBLookupCombo

void TvxDBLookupCombo::Publish(TPublisher<TvxDBLookupCombo>& p)
{
    using C = TvxDBLookupCombo;
    // The text comes from the value, never from the form file.
    p.Property("Text", &C::Text, &C::SetText).Stored(false);
    p.Property("Caption", &C::Caption, &C::SetCaption).Stored(false);
    p.Property("DropDownAlignment", &C::DropDownAlignment, &C::SetDropDownAlignment).Stored(true);
    p.Property("Selected", &C::Selected, &C::SetSelected);
    p.Property("DataField", &C::DataField, &C::SetDataField);
    p.Property("DataSource", &C::DataSource, &C::SetDataSource);
    p.Property("LookupTable", std::function<TComponent*(C*)>([](C* combo) -> TComponent* { return combo->LookupTable(); }),
               std::function<void(C*, TComponent*)>([](C* combo, TComponent* table) { combo->SetLookupTable(table); }));
    p.Property("LookupField", &C::LookupField, &C::SetLookupField);
    p.Property("Options", &C::Options, &C::SetOptions).Default(TvxDBLookupListOptions{});
    p.Property("Style", &C::Style, &C::SetStyle).Default(TvxDBLookupComboStyle::csDropDown);
    p.Property("AutoSelect", &C::AutoSelect, &C::SetAutoSelect).Default(true);
    p.Property("DropDownCount", &C::DropDownCount, &C::SetDropDownCount).Default(8);
    p.Property("DropDownWidth", &C::DropDownWidth, &C::SetDropDownWidth).Default(0);
    p.Property("ImageList", &C::ImageList, &C::SetImageList);
    p.Property("MaxLength", &C::MaxLength, &C::SetMaxLength).Default(0);
    p.Property("ReadOnly", &C::ReadOnly, &C::SetReadOnly).Default(false);
    p.Property("AutoDropDown", &C::AutoDropDown, &C::SetAutoDropDown).Stored(true);
    p.Property("ShowButton", &C::ShowButton, &C::SetShowButton).Stored(true);
    p.Property("SeqSearchOptions", &C::SeqSearchOptions, &C::SetSeqSearchOptions)
        .Default(TvxSeqSearchOptions{ssoEnabled});
    p.Property("OrderByDisplay", &C::OrderByDisplay, &C::SetOrderByDisplay).Default(true);
    p.Property("UseTFields", &C::UseTFields, &C::SetUseTFields).Default(true);
    p.Property("AllowClearKey", &C::AllowClearKey, &C::SetAllowClearKey).Stored(true);
    p.Property("ShowMatchText", &C::ShowMatchText, &C::SetShowMatchText).Default(false);
    p.Property("OnDropDown", &C::OnDropDown);
    p.Property("OnCloseUp", &C::OnCloseUp);
    p.Property("OnNotInList", &C::OnNotInList);
}

// ---- button, layout and painting

TvxDBCustomLookupCombo* TvxComboButton::Combo() const
{
    return dynamic_cast<TvxDBCustomLookupCombo*>(Owner());
}

void TvxComboButton::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y)
{
    TvxDBCustomLookupCombo* combo = Combo();
    const bool wasOpen = combo->IsDroppedDown();
    if (!wasOpen && !combo->Focused() && combo->CanFocus()) combo->SetFocus();
    if (!combo->Focused()) return;
    pressed_ = button == mbLeft;
    TSpeedButton::MouseDown(button, shift, x, y);
    Invalidate();
    if (!wasOpen && combo->IsDroppedDown()) return;
    if (wasOpen) {
        if (combo->LastSearchFound()) combo->TakeListSelection();
        combo->CloseUp(true);
    } else {
        combo->DropDown();
    }
}

void TvxComboButton::MouseMove(TShiftState shift, Integer x, Integer y)
{
    TSpeedButton::MouseMove(shift, x, y);
    if (shift.Contains(ssLeft) && Parent() && GetCapture() == Parent()->Handle()) Combo()->ForwardDragToList(this, x, y);
}

void TvxComboButton::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y)
{
    pressed_ = false;
    TSpeedButton::MouseUp(button, shift, x, y);
    Invalidate();
}

void TvxComboButton::Paint()
{
    bool defaultPaint = true;
    Combo()->PaintButton(Canvas(), Rect(0, 0, ClientWidth(), ClientHeight()), defaultPaint, Combo()->ControlState(),
                         pressed_);
    if (defaultPaint) TSpeedButton::Paint();
}

void TvxDBCustomLookupCombo::PaintButton(TCanvas* canvas, const TRect& rect, bool& defaultPaint,
                                         TControlState controlState, bool pressed)
{
    defaultPaint = false;
    vxDrawComboArrowButton(canvas, rect, pressed, Enabled(), controlState);
}

HBITMAP TvxDBCustomLookupCombo::ButtonGlyph()
{
    const Integer ObmCombo = 32738;
    return LoadBitmapA(nullptr, MAKEINTRESOURCEA(ObmCombo));
}

bool TvxDBCustomLookupCombo::ShowButton() const
{
    return buttonContainer_->Visible();
}

void TvxDBCustomLookupCombo::SetShowButton(bool value)
{
    if (value == ShowButton()) return;
    buttonContainer_->SetVisible(value);
    SetEditRect();
    Invalidate();
}

Integer TvxDBCustomLookupCombo::MinimumHeight()
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font()->Handle());
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return 2 * GetSystemMetrics(SM_CYBORDER) + metrics.tmHeight + 1 + (BorderStyle() == bsSingle ? 2 : 0);
}

// A combo lower than its text grows to it (the resize comes back); otherwise the button goes to the right edge.
void TvxDBCustomLookupCombo::UpdateButtonLayout()
{
    if (Height() < MinimumHeight()) {
        SetHeight(MinimumHeight());
        return;
    }
    vxLayoutComboButton(this, buttonContainer_, button_);
    SetEditRect();
}

void TvxDBCustomLookupCombo::SetEditRect()
{
    if (!HandleAllocated()) return;
    Integer edge = 0;
    if (BorderStyle() == bsNone) edge = dynamic_cast<TvxCustomDBGrid*>(Parent()) ? 2 : 1;
    const Integer right = ShowButton() ? buttonContainer_->Left() - 2 : ClientWidth() - 2;
    RECT rect{edge, edge, right, ClientHeight() + 1};
    SendMessageA(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&rect));
}

void TvxDBCustomLookupCombo::MouseMove(TShiftState shift, Integer x, Integer y)
{
    TCustomEdit::MouseMove(shift, x, y);
    if (shift.Contains(ssLeft) && !CanEditText() && GetCapture() == Handle()) ForwardDragToList(this, x, y);
}

void TvxDBCustomLookupCombo::ForwardDragToList(TControl* source, Integer x, Integer y)
{
    if (!grid_->Visible()) return;
    const TPoint screen = source->ClientToScreen(Point(x, y));
    const TPoint inGrid = grid_->ScreenToClient(screen);
    const TRect client = grid_->ClientRect();
    if (inGrid.x < client.left || inGrid.x > client.right || inGrid.y < client.top || inGrid.y > client.bottom) return;
    const HWND sourceWindow = dynamic_cast<TWinControl*>(source) ? static_cast<TWinControl*>(source)->Handle()
                                                                 : source->Parent()->Handle();
    SendMessageA(sourceWindow, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    SendMessageA(grid_->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(inGrid.x, inGrid.y));
}

bool TvxDBCustomLookupCombo::InFocusedGrid() const
{
    TvxCustomDBGrid* grid = ParentDBGrid();
    return grid && grid->Focused();
}

bool TvxDBCustomLookupCombo::PaintsItself()
{
    return !CanEditText() || InFocusedGrid() || vxIsPaintCopy(ControlState());
}

TCanvas* TvxDBCustomLookupCombo::PaintCanvas()
{
    if (!paintCanvas_) {
        paintCanvas_ = std::make_unique<TControlCanvas>();
        paintCanvas_->SetControl(this);
    }
    return paintCanvas_.get();
}

// The text of the face: a grid row drawn with a bound combo shows that row's value through the lookup table.
std::string TvxDBCustomLookupCombo::PaintedText()
{
    TField* field = fieldLink_->Field();
    if (!vxIsPaintCopy(ControlState()) || !field) return Text();
    if (grid_->DisplayIsLookupField() || field->IsNull() || !grid_->DisplayField()) return field->DisplayText();
    const bool found = grid_->DataLink()->Active() &&
                       grid_->SearchLookupTable(field->AsString(), grid_->LookupFields(1)->FieldName(),
                                                seqSearchOptions_.Contains(ssoCaseSensitive));
    return found ? grid_->DisplayField()->AsString() : std::string();
}

// A combo whose text cannot be typed, one in a focused data grid and a grid row's copy paint their face themselves;
// it is highlighted while focused.
void TvxDBCustomLookupCombo::PaintFace(TMessage& message)
{
    button_->Invalidate();
    if (!PaintsItself()) {
        if (IsDroppedDown()) PositionDropDown();
        TCustomEdit::Dispatch(message);
        return;
    }
    PAINTSTRUCT paint;
    HDC dc = message.WParam ? reinterpret_cast<HDC>(message.WParam) : BeginPaint(Handle(), &paint);
    TCanvas* canvas = PaintCanvas();
    canvas->SetHandle(dc);
    canvas->Font()->Assign(Font());
    TvxCustomDBGrid* parentGrid = ParentDBGrid();
    const bool paintCopy = vxIsPaintCopy(ControlState());
    if (!Enabled() && Color() != clInactiveCaption)
        canvas->Font()->SetColor(clInactiveCaption);
    else if (parentGrid)
        canvas->Font()->SetColor(parentGrid->Font()->Color());
    const bool bordered = BorderStyle() == bsSingle;
    TRect rect = ClientRect();
    if (bordered && (!vxNewStyleControls || !Ctl3D() || parentGrid) && !paintCopy) {
        canvas->Brush()->SetColor(clWindowFrame);
        canvas->FrameRect(rect);
    }
    rect = Rect(rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1);
    if (ShowButton()) rect.right = buttonContainer_->Left();
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(rect);
    const std::string text = PaintedText();
    const bool inFocusedGrid = InFocusedGrid();
    const bool highlighted = ((style_ == TvxDBLookupComboStyle::csDropDownList && Focused()) || inFocusedGrid) &&
                             !paintCopy;
    if (highlighted) {
        canvas->Brush()->SetColor(clHighlight);
        canvas->Font()->SetColor(clHighlightText);
    }
    Integer margin = vxNewStyleControls ? 1 : 2;
    if (inFocusedGrid) margin = bordered ? 3 : 2;
    const bool boundCopy = paintCopy && fieldLink_->Field();
    canvas->TextRect(rect, margin + 1, boundCopy && !vxNewStyleControls ? margin + 1 : margin, text);
    if (highlighted) {
        TRect focusRect = ClientRect();
        if (ShowButton()) focusRect.right = buttonContainer_->Left();
        if (bordered) focusRect = Rect(focusRect.left + 1, focusRect.top + 1, focusRect.right, focusRect.bottom - 1);
        canvas->DrawFocusRect(focusRect);
    }
    canvas->SetHandle(nullptr);
    if (!message.WParam) EndPaint(Handle(), &paint);
}
