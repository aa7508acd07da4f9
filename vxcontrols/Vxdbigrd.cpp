#include "vxcontrols/Vxdbigrd.h"

#include <algorithm>
#include <cstdlib>

#include "classes/Action.h"
#include "classes/ClassRegistry.h"
#include "db/BinaryFields.h"
#include "db/DataSource.h"
#include "rtl/FlagRaised.h"
#include "rtl/IntConv.h"
#include "rtl/SysUtils.h"
#include "vcl/Dialogs.h"
#include "vcl/Forms.h"
#include "vcl/ImgList.h"
#include "vxdata/Vxcommon.h"
#include "vxdata/Vxintl.h"
#include "vxdata/Vxstr.h"

namespace {

const bool registered = (RegisterClasses<TvxIButton>(), true);

constexpr const char* TooManyColumns = "Grid requested to display more than 256 columns";
// The scroll range of a sequenced dataset, and of any other (three positions used).
constexpr Integer SequencedRange = 200;
constexpr Integer UnsequencedRange = 4;
// While UpdateRowCount measures the window, the grid pretends to have this many rows.
constexpr Integer MeasuringRowCount = 1000;

TvxGridBitmaps bitmaps;

bool IsEditState(TDataSetState state) { return state == dsEdit || state == dsInsert; }

// Counts a lock for as long as it lives, also when an exception passes.
class TLockCount {
public:
    explicit TLockCount(Byte& count) : count_(count) { ++count_; }
    ~TLockCount() { --count_; }
    TLockCount(const TLockCount&) = delete;
    TLockCount& operator=(const TLockCount&) = delete;

private:
    Byte& count_;
};

// The TAB-separated parts of a Selected line (name, display width, label, read-only flag).
std::vector<std::string> SelectedParts(const std::string& line)
{
    std::vector<std::string> parts;
    Integer position = 1;
    std::string piece;
    while (position > 0) {
        vxNextToken(line, "\t", position, piece);
        parts.push_back(piece);
    }
    return parts;
}

void LoadGlyph(TBitmap*& glyph, const char* name)
{
    if (glyph) return;
    auto loaded = std::make_unique<TBitmap>();
    loaded->LoadFromResourceName(GetModuleHandleA(nullptr), name);
    glyph = loaded.release();
}

void FreeBitmap(TBitmap*& bitmap)
{
    delete bitmap;
    bitmap = nullptr;
}

}  // namespace

// ---- shared drawing resources

const TvxGridBitmaps& vxGridBitmaps() { return bitmaps; }

void vxAcquireGridBitmap()
{
    if (bitmaps.GridCount++ == 0) bitmaps.DrawBitmap = new TBitmap;
}

void vxReleaseGridBitmaps()
{
    if (--bitmaps.GridCount > 0) return;
    bitmaps.GridCount = 0;
    FreeBitmap(bitmaps.DrawBitmap);
    FreeBitmap(bitmaps.Arrow);
    FreeBitmap(bitmaps.Edit);
    FreeBitmap(bitmaps.Insert);
}

void vxGetSelectedItem(TStrings* lines, const std::string& fieldName, Integer item, std::string& value)
{
    Integer index = 0;
    if (item < 0 || item > 3 || !vxFindSelectedLine(lines, fieldName, index)) return;
    const std::vector<std::string> parts = SelectedParts(lines->Strings(index));
    value = item < Integer(parts.size()) ? parts[size_t(item)] : std::string();
    if (item == 3 && value.empty()) value = "F";
}

// ---- TvxGridDataLink

TvxGridDataLink::TvxGridDataLink(TvxCustomDBGrid* grid) : grid_(grid) {}

TvxGridDataLink::~TvxGridDataLink()
{
    ClearMapping();
}

bool TvxGridDataLink::AddMapping(const std::string& fieldName)
{
    if (fieldCount_ >= MaxMapSize) throw EInvalidGridOperation(TooManyColumns);
    TDataSet* dataSet = DataSet();
    TField* field = dataSet ? dataSet->FindField(fieldName) : nullptr;
    if (!field) return false;
    if (fieldMap_.empty()) {
        fieldMap_.resize(8);
    } else if (FieldMapSize() == fieldCount_) {
        Integer size = 2 * FieldMapSize();
        if (size > MaxMapSize || size < fieldCount_) size = MaxMapSize;
        fieldMap_.resize(size_t(size));
    }
    fieldMap_[size_t(fieldCount_++)] = field->Index();
    return true;
}

void TvxGridDataLink::ClearMapping()
{
    fieldMap_.clear();
    fieldMap_.shrink_to_fit();
    fieldCount_ = 0;
}

TField* TvxGridDataLink::GetMappedField(Integer index) const
{
    TDataSet* dataSet = DataSet();
    if (index < 0 || index >= fieldCount_ || !dataSet) return nullptr;
    const Integer fieldIndex = fieldMap_[size_t(index)];
    return fieldIndex < dataSet->Fields()->Count() ? dataSet->Fields()->Fields(fieldIndex) : nullptr;
}

bool TvxGridDataLink::GetDefaultFields() const
{
    TDataSet* dataSet = DataSet();
    return !dataSet || dataSet->DefaultFields();
}

void TvxGridDataLink::Reset()
{
    if (modified_) {
        RecordChanged(nullptr);
        return;
    }
    TDataSet* dataSet = DataSet();
    if (!dataSet) return;
    if (IsEditState(dataSet->State()) && dataSet->Modified()) {
        const std::string question = vxIntl()->UserMessages()->vxDBGridDiscardChanges;
        if (MessageDlg(question, mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0) == mrYes) dataSet->Cancel();
        return;
    }
    dataSet->Cancel();
}

void TvxGridDataLink::UpdateData()
{
    TFlagRaised updating(inUpdateData_);
    if (modified_) grid_->UpdateFieldText();
    modified_ = false;
}

void TvxGridDataLink::ActiveChanged()
{
    grid_->LinkActive(Active());
}

void TvxGridDataLink::DataSetChanged()
{
    grid_->DataChanged();
    modified_ = false;
}

void TvxGridDataLink::DataSetScrolled(Integer distance)
{
    grid_->Scroll(distance);
}

void TvxGridDataLink::EditingChanged()
{
    grid_->InvalidateIndicator();
    if (DataSource() && IsEditState(DataSource()->State())) grid_->footerDirty_ = true;
}

void TvxGridDataLink::LayoutChanged()
{
    grid_->LayoutChanged();
}

void TvxGridDataLink::RecordChanged(TField* field)
{
    if (!field || !inUpdateData_) {
        grid_->RecordChanged(field);
        modified_ = false;
    }
    if (field && DataSet() && IsEditState(DataSet()->State())) grid_->FieldChanged(field);
}

// ---- TvxInplaceEdit

TvxInplaceEdit::TvxInplaceEdit(TvxCustomDBGrid* grid)
    : TInplaceEdit(grid), wordWrap_(grid->Options().Contains(dgWordWrap))
{
}

void TvxInplaceEdit::SetWordWrap(bool value)
{
    wordWrap_ = value;
    RecreateWnd();
}

void TvxInplaceEdit::CreateParams(TCreateParams& params)
{
    TInplaceEdit::CreateParams(params);
    params.Style &= ~DWORD(ES_WANTRETURN | ES_AUTOVSCROLL);
    if (BorderStyle() == bsNone || wordWrap_) params.Style |= ES_MULTILINE;
    if (wordWrap_) {
        params.Style |= ES_AUTOVSCROLL;
        params.Style &= ~DWORD(ES_AUTOHSCROLL);
    }
}

// ---- TvxColumn

void TvxColumn::SetFooterValue(const std::string& value)
{
    if (this == grid_->DefaultColumn() || value == footerValue_) return;
    footerValue_ = value;
    grid_->InvalidateFooter();
}

bool TvxColumn::IsReadOnly() const
{
    if (this == grid_->DefaultColumn()) return false;
    std::string flag = "F";
    vxGetSelectedItem(grid_->Selected(), fieldName_, 3, flag);
    return flag == "T";
}

// ---- TvxIButton

TvxCustomDBGrid* TvxIButton::ParentGrid() const
{
    return dynamic_cast<TvxCustomDBGrid*>(Parent());
}

void TvxIButton::SetBounds(Integer left, Integer top, Integer width, Integer height)
{
    const bool resized = width != Width() || height != Height();
    TSpeedButton::SetBounds(std::min(left, 0), std::min(top, 0), width, height);
    if (!resized || ComponentState().Contains(csLoading)) return;
    if (TvxCustomDBGrid* grid = ParentGrid()) {
        grid->SetIndicatorWidth(Width() - 1);
        grid->LayoutChanged();
    }
}

void TvxIButton::Loaded()
{
    TSpeedButton::Loaded();
    if (TvxCustomDBGrid* grid = ParentGrid()) {
        grid->SetIndicatorButton(this);
        grid->SetIndicatorWidth(Width() - 1);
    }
}

// ---- TvxCustomDBGrid: construction

TvxCustomDBGrid::TvxCustomDBGrid(TComponent* owner)
    : TCustomGrid(owner),
      selectedList_(std::make_unique<TStringList>()),
      titleFont_(std::make_unique<TFont>()),
      dataLink_(std::make_unique<TvxGridDataLink>(this)),
      controlTypeList_(std::make_unique<TStringList>()),
      noControlTypes_(std::make_unique<TStringList>()),
      defaultColumn_(std::make_unique<TvxColumn>(this, ""))
{
    LoadGlyph(bitmaps.Arrow, "VXDBGARROW");
    LoadGlyph(bitmaps.Edit, "VXDBEDIT");
    LoadGlyph(bitmaps.Insert, "VXDBINSERT");
    vxAcquireGridBitmap();
    SetScrollBars(ssHorizontal);
    TCustomGrid::SetOptions(TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goColSizing,
                                         goColMoving, goEditing, goTabs});
    SetRowCount(2);
    SetColCount(2);
    SetColor(clWindow);
    SetParentColor(false);
    titleFont_->OnChange = [this](TObject* sender) { TitleFontChanged(sender); };
    HideEditor();
}

TvxCustomDBGrid::~TvxCustomDBGrid()
{
    delete indicatorButton_;
    dataLink_.reset();
    columns_.clear();
    vxReleaseGridBitmaps();
}

void TvxCustomDBGrid::Loaded()
{
    TCustomGrid::Loaded();
    LayoutChanged();
}

void TvxCustomDBGrid::CreateWnd()
{
    TCustomGrid::CreateWnd();
    LayoutChanged();
    UpdateScrollBar();
    CheckRowChanged();
}

void TvxCustomDBGrid::Notification(TComponent* component, TOperation operation)
{
    TCustomGrid::Notification(component, operation);
    if (operation != opRemove) return;
    if (dataLink_ && component == DataSource())
        SetDataSource(nullptr);
    else if (component == indicatorButton_)
        indicatorButton_ = nullptr;
    else if (component == imageList_)
        imageList_ = nullptr;
    else if (component == titleImageList_)
        titleImageList_ = nullptr;
}

TInplaceEdit* TvxCustomDBGrid::CreateEditor()
{
    return new TvxInplaceEdit(this);
}

void TvxCustomDBGrid::GetChildren(const TGetChildProc& proc, TComponent* root)
{
    if (indicatorButton_) proc(indicatorButton_);
}

bool TvxCustomDBGrid::ExecuteAction(TBasicAction* action)
{
    return TCustomGrid::ExecuteAction(action) || dataLink_->ExecuteAction(action);
}

bool TvxCustomDBGrid::UpdateAction(TBasicAction* action)
{
    return TCustomGrid::UpdateAction(action) || dataLink_->UpdateAction(action);
}

// ---- fields and columns

void TvxCustomDBGrid::SetDataSource(TDataSource* value)
{
    if (value == DataSource()) return;
    dataLink_->SetDataSource(value);
    if (value) value->FreeNotification(this);
    LinkActive(dataLink_->Active());
}

TField* TvxCustomDBGrid::GetColField(Integer dataCol) const
{
    if (!dataLink_->Active()) return nullptr;
    return GetFields(dataCol);
}

bool TvxCustomDBGrid::IsDataCell(Integer col, Integer row) const
{
    TDataSet* dataSet = dataLink_->DataSet();
    const Integer dataCol = GetDataCol(col);
    return dataSet && dataCol >= 0 && dataCol < GetFieldCount() && GetDataRow(row) >= 0 &&
           vxIsCompatibleDataSet(dataSet);
}

bool TvxCustomDBGrid::IsMemoCell(Integer col, Integer row) const
{
    if (GetDataRow(row) < 0) return false;
    auto* blob = dynamic_cast<TBlobField*>(GetFields(GetDataCol(col)));
    return blob && (blob->DataType() == ftMemo || vxIsRichTextField(blob, false));
}

bool TvxCustomDBGrid::GetCheckBoxValues(Integer col, Integer row, std::string& uncheckedText,
                                        std::string& checkedText)
{
    if (!IsDataCell(col, row)) return false;
    TField* field = GetFields(GetDataCol(col));
    TStrings* lines = GetControlTypeList();
    TStringList parts;
    for (Integer i = 0; field && i < lines->Count(); ++i) {
        vxSplitString(lines->Strings(i), ';', &parts);
        if (parts.Count() < 4 || parts.Strings(0) != field->FieldName() || parts.Strings(1) != "CheckBox") continue;
        checkedText = parts.Strings(2);
        uncheckedText = parts.Strings(3);
        return true;
    }
    return false;
}

bool TvxCustomDBGrid::IsMultiSelectCheckBoxColumn(Integer col)
{
    if (!GetCheckBoxValues(col, 1, uncheckedText_, checkedText_)) return false;
    return LowerCase(GetFields(GetDataCol(col))->FieldName()) == "selected";
}

TvxColumn* TvxCustomDBGrid::ColumnByName(const std::string& fieldName) const
{
    for (const auto& column : columns_)
        if (vxTextEquals(column->FieldName(), fieldName)) return column.get();
    return defaultColumn_.get();
}

TvxColumn* TvxCustomDBGrid::ColumnByIndex(Integer dataCol) const
{
    TField* field = GetFields(dataCol);
    return field ? ColumnByName(field->FieldName()) : defaultColumn_.get();
}

TStrings* TvxCustomDBGrid::GetControlTypeList()
{
    if (!controlInfoInDataset_) return controlTypeList_.get();
    if (TStrings* lines = vxGetControlTypes(dataLink_->DataSet())) return lines;
    noControlTypes_->Clear();
    return noControlTypes_.get();
}

void TvxCustomDBGrid::GetControlInfo(const std::string& fieldName, std::string& controlType,
                                     std::string& parameters)
{
    TObject* holder = controlInfoInDataset_ ? static_cast<TObject*>(dataLink_->DataSet()) : this;
    vxFindControlType(holder, fieldName, controlType, parameters);
}

void TvxCustomDBGrid::UpdateData()
{
    dataLink_->UpdateData();
}

// ---- properties

void TvxCustomDBGrid::SetOptions(TvxDBGridOptions value)
{
    if (value == options_) return;
    TGridOptions gridOptions;
    if (value.Contains(dgColLines)) gridOptions += TGridOptions{goFixedVertLine, goVertLine};
    if (value.Contains(dgRowLines)) gridOptions += TGridOptions{goFixedHorzLine, goHorzLine};
    if (value.Contains(dgColumnResize)) gridOptions += TGridOptions{goColSizing, goColMoving};
    if (value.Contains(dgTabs)) gridOptions.Include(goTabs);
    if (value.Contains(dgRowSelect)) gridOptions.Include(goRowSelect);
    if (value.Contains(dgEditing) && !value.Contains(dgRowSelect)) gridOptions.Include(goEditing);
    if (value.Contains(dgAlwaysShowEditor)) gridOptions.Include(goAlwaysShowEditor);
    TCustomGrid::SetOptions(gridOptions);
    if (value.Contains(dgWordWrap) != options_.Contains(dgWordWrap)) {
        if (auto* editor = dynamic_cast<TvxInplaceEdit*>(InplaceEditor()))
            editor->SetWordWrap(value.Contains(dgWordWrap));
        Invalidate();
    }
    const bool relayout = ((value.ToMask() ^ options_.ToMask()) & vxLayoutGridOptions) != 0;
    options_ = value;
    if (relayout) LayoutChanged();
}

void TvxCustomDBGrid::SetTitleFont(TFont* value)
{
    titleFont_->Assign(value);
    LayoutChanged();
}

void TvxCustomDBGrid::SetTitleAlignment(TAlignment value)
{
    if (value == titleAlignment_) return;
    titleAlignment_ = value;
    LayoutChanged();
}

void TvxCustomDBGrid::SetTitleLines(Integer value)
{
    if (value < 1 || value == titleLines_) return;
    titleLines_ = value;
    LayoutChanged();
}

void TvxCustomDBGrid::SetTitleButtons(bool value)
{
    if (value == titleButtons_) return;
    titleButtons_ = value;
    Invalidate();
}

void TvxCustomDBGrid::SetRowHeightPercent(Integer value)
{
    if (value < 1) {
        rowHeightPercent_ = 100;
        return;
    }
    if (value == rowHeightPercent_) return;
    rowHeightPercent_ = value;
    LayoutChanged();
}

void TvxCustomDBGrid::SetIndicatorColor(TIndicatorColorType value)
{
    indicatorColor_ = value;
    LayoutChanged();
}

void TvxCustomDBGrid::SetIndicatorButton(TvxIButton* value)
{
    indicatorButton_ = value;
    if (value) value->FreeNotification(this);
}

bool TvxCustomDBGrid::ShowHorzScrollBar() const
{
    return ScrollBars() == ssHorizontal || ScrollBars() == ssBoth;
}

void TvxCustomDBGrid::SetShowHorzScrollBar(bool value)
{
    SetScrollBars(value ? ssHorizontal : ssNone);
}

void TvxCustomDBGrid::SetShowVertScrollBar(bool value)
{
    showVertScrollBar_ = value;
    UpdateScrollBar();
    Invalidate();
}

void TvxCustomDBGrid::SetImageList(TImageList* value)
{
    imageList_ = value;
    if (value) value->FreeNotification(this);
}

void TvxCustomDBGrid::SetTitleImageList(TImageList* value)
{
    titleImageList_ = value;
    if (value) value->FreeNotification(this);
}

void TvxCustomDBGrid::SetFooterColor(TColor value)
{
    if (value == footerColor_) return;
    footerColor_ = value;
    LayoutChanged();
}

void TvxCustomDBGrid::SetFooterCellColor(TColor value)
{
    if (value == footerCellColor_) return;
    footerCellColor_ = value;
    LayoutChanged();
}

void TvxCustomDBGrid::SetFooterHeight(Integer value)
{
    value = std::max(value, 0);
    if (value == footerHeight_) return;
    footerHeight_ = value;
    LayoutChanged();
}

// ---- footer

Integer TvxCustomDBGrid::FooterStripHeight()
{
    Integer height = footerHeight_ != 0 ? footerHeight_ : DefaultRowHeight() + 4;
    if (options_.Contains(dgFooter3DCells)) height += 2;
    return height;
}

TRect TvxCustomDBGrid::ClientRect()
{
    TRect rect = TCustomGrid::ClientRect();
    if (options_.Contains(dgShowFooter)) rect.bottom -= FooterStripHeight();
    return rect;
}

void TvxCustomDBGrid::GetFooterRect(TRect& rect)
{
    const TRect client = ClientRect();
    rect.left = CellRect(0, RowCount() - 1).left;
    rect.right = TCustomGrid::ClientRect().right;
    rect.top = client.bottom;
    rect.bottom = rect.top + FooterStripHeight() - 1;
}

void TvxCustomDBGrid::InvalidateFooter()
{
    if (!HandleAllocated()) return;
    TRect rect;
    GetFooterRect(rect);
    ++rect.bottom;  // the bottom is the strip's last pixel row
    ::InvalidateRect(Handle(), &rect, FALSE);
}

// ---- layout

void TvxCustomDBGrid::LayoutChanged()
{
    if (ComponentState().Contains(csLoading) || !HandleAllocated() || layoutLock_ != 0) return;
    TLockCount lock(layoutLock_);
    {
        TFlagRaised inLayout(inLayout_);
        titleOffset_ = options_.Contains(dgTitles) ? 1 : 0;
        UpdateRowHeights();
        indicatorOffset_ = options_.Contains(dgIndicator) ? 1 : 0;
        dataLink_->ClearMapping();
        if (dataLink_->Active()) DefineFieldMap();
        const Integer columns =
            useTFields_ || GetFieldCount() > 0 ? GetFieldCount() : selectedList_->Count();
        SetColCount(std::max(columns, 1) + indicatorOffset_);
        if (options_.Contains(dgIndicator)) {
            SetColWidths(0, indicatorWidth_);
            if (Col() == 0) SetCol(1);
        }
        HideControls();
        UpdateRowCount();
        const Integer visibleRows = VisibleRowCount();
        SetColumnAttributes();
        if (VisibleRowCount() != visibleRows) UpdateRowCount();
        CheckUpdateFooter();
    }
    UpdateActive();
    if (PerfectRowFitActive()) FitHeightToRows();
    Invalidate();
}

void TvxCustomDBGrid::UpdateRowHeights()
{
    TCanvas* canvas = Canvas();
    const bool rowLines = options_.Contains(dgRowLines);
    canvas->Font()->Assign(Font());
    const Integer height = canvas->TextHeight("W") + 2 + (rowLines ? 1 : 0);
    SetDefaultRowHeight(height * rowHeightPercent_ / 100);
    if (options_.Contains(dgTitles)) {
        canvas->Font()->Assign(titleFont_.get());
        SetRowHeights(0, canvas->TextHeight("W") * titleLines_ + 4 + (rowLines ? 0 : 1));
    }
    if (options_.Contains(dgIndicator) && indicatorButton_)
        SetRowHeights(0, std::max(RowHeights(0), indicatorButton_->Height()) + (rowLines ? -1 : 1));
}

void TvxCustomDBGrid::DefineFieldMap()
{
    TDataSet* dataSet = dataLink_->DataSet();
    if (!dataSet) return;
    if (useTFields_) {
        for (Integer i = 0; i < dataSet->FieldCount(); ++i) {
            TField* field = dataSet->Fields()->Fields(i);
            if (field->Visible()) dataLink_->AddMapping(field->FieldName());
        }
    } else {
        Integer line = 0;
        while (line < selectedList_->Count()) {
            const std::string name = SelectedParts(selectedList_->Strings(line))[0];
            if (!dataSet->FindField(name)) {
                selectedList_->Delete(line);
                continue;
            }
            dataLink_->AddMapping(name);
            ++line;
        }
    }
    RebuildColumns();
}

// One column object per mapped field; a field keeps the footer text its column had.
void TvxCustomDBGrid::RebuildColumns()
{
    std::vector<std::unique_ptr<TvxColumn>> columns;
    for (Integer i = 0; i < GetFieldCount(); ++i) {
        const std::string name = GetFields(i)->FieldName();
        auto column = std::make_unique<TvxColumn>(this, name);
        column->footerValue_ = ColumnByName(name)->FooterValue();
        columns.push_back(std::move(column));
    }
    columns_ = std::move(columns);
}

void TvxCustomDBGrid::SetColumnAttributes()
{
    TDataSet* dataSet = dataLink_->DataSet();
    if (!dataSet) return;
    const Integer count = useTFields_ ? GetFieldCount() : selectedList_->Count();
    for (Integer i = 0; i < count && indicatorOffset_ + i < ColCount(); ++i) {
        std::vector<std::string> parts;
        TField* field = nullptr;
        if (useTFields_) {
            field = GetFields(i);
        } else {
            parts = SelectedParts(selectedList_->Strings(i));
            field = dataSet->FindField(parts[0]);
        }
        if (!field) continue;
        SetColWidths(indicatorOffset_ + i, ColumnWidth(field, parts));
        SetTabStops(indicatorOffset_ + i, ColumnTabStop(field));
    }
}

// The width of a column for its data (DisplayWidth, or the Selected line's width, in "0"s) and its title.
Integer TvxCustomDBGrid::ColumnWidth(TField* field, const std::vector<std::string>& selectedParts)
{
    TCanvas* canvas = Canvas();
    canvas->Font()->Assign(Font());
    const Integer characters = useTFields_ ? field->DisplayWidth() : StrToInt(selectedParts.size() > 1
                                                                                  ? selectedParts[1]
                                                                                  : std::string());
    Integer width = characters * canvas->TextWidth("0") + 4;
    if (options_.Contains(dgTitles) && !options_.Contains(dgNoLimitColSize)) {
        const std::string title =
            useTFields_ || selectedParts.size() < 3 ? field->DisplayLabel() : selectedParts[2];
        canvas->Font()->Assign(titleFont_.get());
        width = std::max(width, TitleWidth(title));
    }
    return width;
}

// The widest of the title's "~"-separated lines + 4; measuring stops at the first empty line.
Integer TvxCustomDBGrid::TitleWidth(const std::string& title)
{
    Integer widest = 0;
    Integer position = 1;
    std::string line;
    while (position > 0) {
        vxNextToken(title, "~", position, line);
        if (line.empty()) break;
        widest = std::max(widest, Canvas()->TextWidth(line));
    }
    return widest + 4;
}

bool TvxCustomDBGrid::ColumnTabStop(TField* field)
{
    std::string readOnlyFlag = "F";
    vxGetSelectedItem(selectedList_.get(), field->FieldName(), 3, readOnlyFlag);
    bool tabStop = !field->ReadOnly() && readOnlyFlag != "T";
    if (tabStop && !editCalculated_) tabStop = !field->Calculated();
    return tabStop;
}

bool TvxCustomDBGrid::FitHeightToRows()
{
    const Integer bottom = CellRect(0, RowCount() - 1).top + DefaultRowHeight() + 1;
    const bool horzBar = NeedsHorzScrollBar();
    const Integer k = horzBar ? 5 : 4;
    Integer height = Height();
    if (horzBar) {
        const Integer barHeight = GetSystemMetrics(SM_CYHSCROLL);
        if (Height() < barHeight + bottom + DefaultRowHeight() + k - 1) height = barHeight + bottom + k - 1;
    } else if (Height() < DefaultRowHeight() + bottom + k) {
        height = bottom + k;
    }
    if (height == Height()) return false;
    SetHeight(height);
    return true;
}

bool TvxCustomDBGrid::NeedsHorzScrollBar()
{
    Integer width = 1;
    for (Integer i = 0; i < ColCount(); ++i)
        width += ColWidths(i) + (options_.Contains(dgColLines) ? GridLineWidth() : 0);
    if (showVertScrollBar_) width += GetSystemMetrics(SM_CXVSCROLL) + 1;
    return width > Width() && ShowHorzScrollBar();
}

void TvxCustomDBGrid::TitleFontChanged(TObject*)
{
    if (!selfChangingTitleFont_ && !ComponentState().Contains(csLoading)) SetParentFont(false);
    if (options_.Contains(dgTitles)) LayoutChanged();
}

void TvxCustomDBGrid::ParentFontChanged(TMessage& message)
{
    TCustomGrid::Dispatch(message);
    if (!ParentFont()) return;
    {
        TFlagRaised selfChanging(selfChangingTitleFont_);
        SetTitleFont(Font());
    }
    LayoutChanged();
}

void TvxCustomDBGrid::Resized(TMessage& message)
{
    TCustomGrid::Dispatch(message);
    if (layoutLock_ != 0) return;
    HideControls();
    HideEditor();
    UpdateRowCount();
    if (PerfectRowFitActive()) FitHeightToRows();
}

// ---- synchronisation

void TvxCustomDBGrid::LinkActive(bool value)
{
    if (!value) HideEditor();
    LayoutChanged();
    UpdateScrollBar();
    if (value) {
        anchorBookmark_.clear();
        shiftSelectActive_ = false;
    }
    rowBookmark_.clear();
    masterBookmark_.clear();
    if (!value) {
        lastCol_ = -1;
        return;
    }
    if (HandleAllocated()) {
        if (Col() != lastCol_) ColEnter();
        lastCol_ = Col();
    } else {
        pendingColEnter_ = true;
    }
    footerDirty_ = true;
}

void TvxCustomDBGrid::DataChanged()
{
    if (!HandleAllocated()) return;
    CheckUpdateFooter();
    if (!keepControlsOnDataChange_ && DataSource()->State() == dsBrowse) HideControls();
    UpdateRowCount();
    UpdateScrollBar();
    UpdateActive();
    InvalidateEditor();
    ::ValidateRect(Handle(), nullptr);
    Invalidate();
    CheckRowChanged();
}

void TvxCustomDBGrid::UpdateRowCount()
{
    if (inUpdateRowCount_) return;
    TFlagRaised updating(inUpdateRowCount_);
    if (RowCount() <= titleOffset_) SetRowCount(titleOffset_ + 1);
    if (FixedRows() != titleOffset_) SetFixedRows(titleOffset_);
    if (!dataLink_->Active() || dataLink_->RecordCount() == 0) {
        SetRowCount(titleOffset_ + 1);
        return;
    }
    SetRowCount(MeasuringRowCount);
    const Integer visibleRows = VisibleRowCount();
    if (visibleRows < dataLink_->BufferCount() && Row() >= visibleRows + titleOffset_) {
        Invalidate();
        DoTopRowChanged();
    }
    dataLink_->SetBufferCount(visibleRows);
    SetRowCount(dataLink_->RecordCount() + titleOffset_);
    UpdateActive();
}

void TvxCustomDBGrid::UpdateActive()
{
    if (!dataLink_->Active()) return;
    Integer row = dataLink_->ActiveRecord() + titleOffset_;
    if (row != Row()) {
        if (!options_.Contains(dgAlwaysShowEditor)) HideEditor();
        if (VisibleRowCount() < row) {
            UpdateRowCount();
            row = VisibleRowCount() + titleOffset_ - 1;
        }
        MoveColRow(Col(), row, false, false);
    }
    TField* field = GetSelectedField();
    if (field && field->EditText() != editText_) InvalidateEditor();
}

void TvxCustomDBGrid::UpdateScrollBar()
{
    if (!showVertScrollBar_ || !dataLink_->Active() || !HandleAllocated()) return;
    TDataSet* dataSet = dataLink_->DataSet();
    Integer position;
    if (dataSet->IsSequenced()) {
        dataSet->UpdateCursorPos();
        const Int64 records = std::max(dataSet->RecordCount(), 2);
        const Int64 recNo = dataSet->RecNo();
        SetScrollRange(Handle(), SB_VERT, 0, SequencedRange, FALSE);
        if (dataSet->Bof())
            position = 0;
        else if (dataSet->Eof())
            position = SequencedRange;
        else  // an unknown record number (-1) or one beyond the count stays within the range
            position = Integer(std::clamp<Int64>((recNo - 1) * SequencedRange / (records - 1), 0, SequencedRange));
    } else {
        SetScrollRange(Handle(), SB_VERT, 0, UnsequencedRange, FALSE);
        position = dataSet->Bof() ? 0 : dataSet->Eof() ? UnsequencedRange : UnsequencedRange / 2;
    }
    if (GetScrollPos(Handle(), SB_VERT) != position) SetScrollPos(Handle(), SB_VERT, position, TRUE);
}

void TvxCustomDBGrid::Scroll(Integer distance)
{
    if (!HandleAllocated()) return;
    bool repaintedAll = false;
    try {
        repaintedAll = ScrollRows(distance);
    } catch (...) {
        ShowEditorAfterScroll();
        throw;
    }
    ShowEditorAfterScroll();
    if (repaintedAll) return;
    if (!suppressShowEditor_ && Visible()) Update();
    if (distance != 0) DoTopRowChanged();
    CheckRowChanged();
}

bool TvxCustomDBGrid::ScrollRows(Integer distance)
{
    const TRect oldRow = BoxRect(0, Row(), ColCount() - 1, Row());
    UpdateScrollBar();
    UpdateActive();
    const TRect newRow = BoxRect(0, Row(), ColCount() - 1, Row());
    ::ValidateRect(Handle(), &oldRow);
    ::InvalidateRect(Handle(), &oldRow, FALSE);
    ::InvalidateRect(Handle(), &newRow, FALSE);
    HideEditor();
    if (distance == 0) return false;
    HideControls();
    if (std::abs(distance) > VisibleRowCount()) {
        Invalidate();
        return true;
    }
    const Integer rowPitch = DefaultRowHeight() + (options_.Contains(dgRowLines) ? 1 : 0);
    const TRect dataArea = BoxRect(indicatorOffset_, titleOffset_, ColCount() - 1, MeasuringRowCount);
    ScrollWindowEx(Handle(), 0, -rowPitch * distance, &dataArea, &dataArea, nullptr, nullptr, SW_INVALIDATE);
    if (options_.Contains(dgIndicator)) {
        InvalidateRow(selRow_);
        InvalidateRow(Row());
    }
    return false;
}

void TvxCustomDBGrid::ShowEditorAfterScroll()
{
    if (options_.Contains(dgAlwaysShowEditor) && !IsControlCell(Col(), Row()) && !IsMemoCell(Col(), Row()))
        ShowEditor();
}

void TvxCustomDBGrid::RecordChanged(TField* field)
{
    if (!HandleAllocated()) return;
    TRect area;
    if (field) {
        Integer dataCol = 0;
        while (dataCol < GetFieldCount() && GetFields(dataCol) != field) ++dataCol;
        const Integer col = dataCol + indicatorOffset_;
        area = BoxRect(col, Row(), col, Row());
    } else {
        area = BoxRect(indicatorOffset_, Row(), ColCount() - 1, Row());
    }
    ::InvalidateRect(Handle(), &area, FALSE);
    TField* current = GetSelectedField();
    if (!current || (field && field != current)) return;
    if (current->EditText() == editText_) return;
    InvalidateEditor();
    if (InplaceEditor()) InplaceEditor()->Deselect();
}

void TvxCustomDBGrid::FieldChanged(TField* field)
{
    DoFieldChanged(field);
}

void TvxCustomDBGrid::InvalidateIndicator()
{
    if (options_.Contains(dgIndicator)) InvalidateCell(0, selRow_);
}

void TvxCustomDBGrid::UpdateFieldText()
{
    if (TField* field = GetSelectedField()) field->SetEditText(editText_);
}

void TvxCustomDBGrid::CheckRowChanged()
{
    struct TRestore {
        bool& flag;
        const bool value;
        ~TRestore() { flag = value; }
    } restore{suppressCellChanged_, suppressCellChanged_};
    TDataSet* dataSet = dataLink_->DataSet();
    if (dataSet && dataSet->Active() && (OnRowChanged || OnCellChanged || OnUpdateFooter)) {
        TBookmark current = dataSet->GetBookmark();
        if (rowBookmark_.empty()) {
            DoRowChanged();
        } else {
            const Integer comparison = dataSet->CompareBookmarks(rowBookmark_, current);
            if (comparison != 0 && comparison != 2) DoRowChanged();
        }
        rowBookmark_ = std::move(current);
    }
    if (pendingColEnter_) {
        pendingColEnter_ = false;
        ColEnter();
        DoUpdateFooter();
    }
}

void TvxCustomDBGrid::CheckUpdateFooter()
{
    if (!OnUpdateFooter || !HandleAllocated() || !DataSource() || DataSource()->State() != dsBrowse) return;
    if (!footerDirty_) footerDirty_ = MasterMoved();
    if (!footerDirty_ && !rowBookmark_.empty() && !dataLink_->DataSet()->BookmarkValid(rowBookmark_))
        footerDirty_ = true;
    if (footerDirty_) DoUpdateFooter();
    footerDirty_ = false;
}

// The master of the grid's dataset is on another record than at the last check.
bool TvxCustomDBGrid::MasterMoved()
{
    TDataSet* dataSet = dataLink_->DataSet();
    TDataSource* master = vxGetDataSource(dataSet);
    if (!master) master = vxGetMasterSource(dataSet);
    TDataSet* masterSet = master ? master->DataSet() : nullptr;
    if (!masterSet) return false;
    TBookmark current = masterSet->GetBookmark();
    const Integer comparison = masterSet->CompareBookmarks(current, masterBookmark_);
    masterBookmark_ = std::move(current);
    return comparison != 0 && comparison != 2;
}

bool TvxCustomDBGrid::AcquireFocus()
{
    if (!focusOnMouse_ || !CanFocus()) return true;
    SetFocus();
    return Focused() || (InplaceEditor() && InplaceEditor()->Focused());
}

void TvxCustomDBGrid::TimedScroll(TGridScrollDirections direction)
{
    if (!dataLink_->Active()) return;
    if (direction.Contains(sdUp)) {
        dataLink_->MoveBy(-dataLink_->ActiveRecord() - 1);
        direction.Exclude(sdUp);
    }
    if (direction.Contains(sdDown)) {
        dataLink_->MoveBy(dataLink_->RecordCount() - dataLink_->ActiveRecord());
        direction.Exclude(sdDown);
    }
    if (!direction.Empty()) TCustomGrid::TimedScroll(direction);
}

// ---- the vertical scroll bar

void TvxCustomDBGrid::VerticalScroll(Word code, Integer position)
{
    if (!AcquireFocus() || !dataLink_->Active()) return;
    TDataSet* dataSet = dataLink_->DataSet();
    switch (code) {
    case SB_LINEUP: ScrollLineUp(dataSet); break;
    case SB_LINEDOWN: ScrollLineDown(dataSet); break;
    case SB_PAGEUP: dataLink_->MoveBy(-VisibleRowCount()); break;
    case SB_PAGEDOWN: dataLink_->MoveBy(VisibleRowCount()); break;
    case SB_THUMBPOSITION: ScrollThumb(dataSet, position); break;
    case SB_TOP: dataSet->First(); break;
    case SB_BOTTOM: dataSet->Last(); break;
    default: break;
    }
}

// An untouched appended record is dropped; else the previous record.
void TvxCustomDBGrid::ScrollLineUp(TDataSet* dataSet)
{
    const bool untouchedInsert =
        dataSet->State() == dsInsert && !dataSet->Modified() && !dataLink_->IsModified();
    if (untouchedInsert && dataSet->Eof())
        dataSet->Cancel();
    else if (dataSet->Bof() && dataLink_->ActiveRecord() > 0)
        dataLink_->SetActiveRecord(dataLink_->ActiveRecord() - 1);
    else
        dataSet->Prior();
}

// An untouched inserted record is dropped (an appended one stays); else the next record.
void TvxCustomDBGrid::ScrollLineDown(TDataSet* dataSet)
{
    if (dataSet->State() == dsInsert && !dataSet->Modified() && !dataLink_->IsModified()) {
        if (!dataSet->Eof()) dataSet->Cancel();
        return;
    }
    const Integer active = dataLink_->ActiveRecord();
    if (dataSet->Eof() && active >= 0 && active < dataLink_->RecordCount() - 1 && dataSet->State() != dsInsert)
        dataLink_->SetActiveRecord(active + 1);
    else
        dataSet->Next();
}

void TvxCustomDBGrid::ScrollThumb(TDataSet* dataSet, Integer position)
{
    if (dataSet->IsEmpty()) return;
    if (!dataSet->IsSequenced()) {
        switch (position) {
        case 0: dataSet->First(); break;
        case 1: dataSet->MoveBy(-VisibleRowCount()); break;
        case 3: dataSet->MoveBy(VisibleRowCount()); break;
        case UnsequencedRange: dataSet->Last(); break;
        default: break;
        }
        return;
    }
    if (position == 0) {
        dataSet->First();
    } else if (position == SequencedRange) {
        dataSet->Last();
    } else {
        const Integer records = dataSet->RecordCount();
        dataSet->CheckBrowseMode();
        dataSet->SetRecNo(Integer(Int64(records) * position / SequencedRange + 1));
        dataSet->Resync({});
    }
}

// ---- messages

void TvxCustomDBGrid::WndProc(TMessage& message)
{
    if (message.Msg == WM_LBUTTONDOWN || message.Msg == WM_RBUTTONDOWN) FocusInMdiChild();
    TCustomGrid::WndProc(message);
}

// A click on the grid of an inactive MDI child focuses the grid.
void TvxCustomDBGrid::FocusInMdiChild()
{
    const TCustomForm* form = GetParentForm(this);
    if (form && form->FormStyle() == fsMDIChild) ::SetFocus(Handle());
}

void TvxCustomDBGrid::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case WM_VSCROLL:
        if (message.LParam != 0) break;
        VerticalScroll(LOWORD(message.WParam), HIWORD(message.WParam));
        return;
    case WM_SIZE:
        Resized(message);
        return;
    case CM_FONTCHANGED:
        TCustomGrid::Dispatch(message);
        LayoutChanged();
        return;
    case CM_PARENTFONTCHANGED:
        ParentFontChanged(message);
        return;
    default:
        break;
    }
    TCustomGrid::Dispatch(message);
}

// ---- notifications

void TvxCustomDBGrid::DoTopRowChanged()
{
    if (OnTopRowChanged) OnTopRowChanged(this);
}

void TvxCustomDBGrid::DoRowChanged()
{
    if (OnRowChanged) OnRowChanged(this);
    DoCellChanged();
}

void TvxCustomDBGrid::DoCellChanged()
{
    if (OnCellChanged && !suppressCellChanged_) OnCellChanged(this);
}

void TvxCustomDBGrid::DoFieldChanged(TField* field)
{
    if (OnFieldChanged) OnFieldChanged(this, field);
}

void TvxCustomDBGrid::ColEnter()
{
    if (OnColEnter) OnColEnter(this);
    DoCellChanged();
}

void TvxCustomDBGrid::ColExit()
{
    if (OnColExit) OnColExit(this);
}

void TvxCustomDBGrid::DoUpdateFooter()
{
    if (OnUpdateFooter) OnUpdateFooter(this);
}

void TvxCustomDBGrid::DoTitleButtonClick(const std::string& fieldName)
{
    if (OnTitleButtonClick) OnTitleButtonClick(this, fieldName);
}

void TvxCustomDBGrid::DoCalcTitleAttributes(const std::string& fieldName, TFont* font, TBrush* brush,
                                            TAlignment& alignment)
{
    if (OnCalcTitleAttributes) OnCalcTitleAttributes(this, fieldName, font, brush, alignment);
}

void TvxCustomDBGrid::DoDrawTitleCell(TCanvas* canvas, TField* field, TRect rect, bool& defaultDrawing)
{
    if (OnDrawTitleCell) OnDrawTitleCell(this, canvas, field, rect, defaultDrawing);
}

// ---- drawing: titles, the indicator and plain cell texts

void TvxCustomDBGrid::GetCellText(Integer dataCol, std::string& text)
{
    TField* field = GetFields(dataCol);
    text = field ? field->DisplayText() : std::string();
}

void TvxCustomDBGrid::DrawCell(Integer col, Integer row, TRect rect, TGridDrawState state)
{
    const Integer dataCol = GetDataCol(col), dataRow = GetDataRow(row);
    if (dataRow < 0 && dataCol >= 0)
        DrawTitleCell(rect, dataCol);
    else if (dataCol < 0 && dataRow >= 0)
        DrawIndicatorCell(rect, row);
    else if (dataCol >= 0 && dataRow >= 0 && defaultDrawing_)
        DrawDataCellText(rect, dataCol, dataRow);
}

// The field's label with UseTFields, else the label of the column's Selected line.
void TvxCustomDBGrid::DrawTitleCell(const TRect& rect, Integer dataCol)
{
    std::string title;
    if (useTFields_) {
        if (TField* field = GetColField(dataCol)) title = field->DisplayLabel();
    } else if (dataCol < selectedList_->Count()) {
        const std::vector<std::string> parts = SelectedParts(selectedList_->Strings(dataCol));
        if (parts.size() > 2) title = parts[2];
    }
    Canvas()->Font()->Assign(titleFont_.get());
    Canvas()->TextRect(rect, rect.left + 2, rect.top + 2, title);
}

void TvxCustomDBGrid::DrawIndicatorCell(const TRect& rect, Integer row)
{
    if (!dataLink_->Active() || GetDataRow(row) != dataLink_->ActiveRecord()) return;
    selRow_ = row;
    TBitmap* glyph = IndicatorGlyph();
    const Integer x = rect.left + (rect.right - rect.left - glyph->Width()) / 2;
    const Integer y = rect.top + (rect.bottom - rect.top - glyph->Height()) / 2;
    Canvas()->BrushCopy(Bounds(x, y, glyph->Width(), glyph->Height()), glyph,
                        Rect(0, 0, glyph->Width(), glyph->Height()), clWhite);
}

TBitmap* TvxCustomDBGrid::IndicatorGlyph() const
{
    switch (dataLink_->DataSet()->State()) {
    case dsEdit: return bitmaps.Edit;
    case dsInsert: return bitmaps.Insert;
    default: return bitmaps.Arrow;
    }
}

void TvxCustomDBGrid::DrawDataCellText(const TRect& rect, Integer dataCol, Integer dataRow)
{
    if (!dataLink_->Active() || dataRow >= dataLink_->RecordCount()) return;
    const Integer active = dataLink_->ActiveRecord();
    std::string text;
    dataLink_->SetActiveRecord(dataRow);
    try {
        GetCellText(dataCol, text);
    } catch (...) {
        dataLink_->SetActiveRecord(active);
        throw;
    }
    dataLink_->SetActiveRecord(active);
    Canvas()->TextRect(rect, rect.left + 2, rect.top + 2, text);
}
