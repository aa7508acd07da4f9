#include "vxcontrols/Vxdbigrd.h"

#include <algorithm>
#include <cstdlib>

#include "classes/Action.h"
#include "classes/ClassRegistry.h"
#include "db/BinaryFields.h"
#include "db/NumericFields.h"
#include "db/StringField.h"
#include "db/DataSource.h"
#include "rtl/FlagRaised.h"
#include "rtl/IntConv.h"
#include "rtl/SysUtils.h"
#include "vcl/Dialogs.h"
#include "vcl/Forms.h"
#include "vcl/ImgList.h"
#include "vxdata/Vxcommon.h"
#include "vxdata/Vxintl.h"
#include "vxdata/Vxlocate.h"
#include "vxdata/Vxstr.h"

namespace {

const bool registered = (RegisterClasses<TvxIButton>(), true);

constexpr const char* TooManyColumns = "Grid requested to display more than 256 columns";
constexpr const char* InvalidInputValue = "Invalid input value.  Use escape key to abandon changes";
constexpr const char* ConfirmDelete = "Delete record?";
// The timer that scrolls the grid while a column is dragged.
constexpr UINT_PTR DragTimer = 1;
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

// Makes a data row the link's active record for as long as it lives, also when an exception passes.
class TActiveRecordKeeper {
public:
    TActiveRecordKeeper(TvxGridDataLink* link, Integer dataRow) : link_(link), active_(link->ActiveRecord())
    {
        link_->SetActiveRecord(dataRow);
    }
    ~TActiveRecordKeeper() { link_->SetActiveRecord(active_); }
    TActiveRecordKeeper(const TActiveRecordKeeper&) = delete;
    TActiveRecordKeeper& operator=(const TActiveRecordKeeper&) = delete;

private:
    TvxGridDataLink* link_;
    const Integer active_;
};

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
    : TInplaceEdit(grid), picture_(std::make_unique<TvxDBPicture>(this)),
      wordWrap_(grid->Options().Contains(dgWordWrap))
{
    SetImeMode(grid->ImeMode());
    SetImeName(grid->ImeName());
}

TvxInplaceEdit::~TvxInplaceEdit() = default;

TvxCustomDBGrid* TvxInplaceEdit::DBGrid() const { return static_cast<TvxCustomDBGrid*>(Grid()); }

bool TvxInplaceEdit::EnterIsTab() const { return DBGrid()->KeyOptions().Contains(dgEnterToTab); }

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

bool TvxInplaceEdit::UsesPictureMask() { return useMaskInGrid_ && !picture_->PictureMask().empty(); }

bool TvxInplaceEdit::CheckValue(const std::string& text)
{
    const bool passes = !UsesPictureMask() || vxCheckPictureText(picture_->PictureMask(), text);
    TvxCustomDBGrid* grid = DBGrid();
    if (grid->OnCheckValue) grid->OnCheckValue(this, passes);
    return passes;
}

void TvxInplaceEdit::KeyPress(char& key)
{
    if (EnterIsTab() && key == '\r') key = '\t';
    TInplaceEdit::KeyPress(key);
    maskHandled_ = false;
    if (UsesPictureMask()) PictureKeyPress(key);
}

void TvxInplaceEdit::PictureKeyPress(char& key)
{
    TvxCustomDBGrid* grid = DBGrid();
    if (key == '\b') {
        if (grid->OnCheckValue) CheckValue(vxTextAfterBackspace(Text(), SelStart(), SelLength()));
        return;
    }
    const TvxMaskedKeyResult result =
        vxProcessMaskedKey(this, picture_->PictureMask(), picture_->AutoFill(), key, vxEditKeyRules());
    maskHandled_ = result.textSet;
    if (result.textSet) {
        grid->SetEditText(grid->Col(), grid->Row(), Text());
        grid->DataLink()->Modified();
    }
    if (result.reported && grid->OnCheckValue) grid->OnCheckValue(this, result.passes);
}

void TvxInplaceEdit::HandKeyToGrid(Word& key, TShiftState shift)
{
    TvxCustomDBGrid* grid = DBGrid();
    grid->SetFocus();
    grid->KeyDown(key, shift);
    key = 0;
    Update();
}

void TvxInplaceEdit::KeyDown(Word& key, TShiftState shift)
{
    if ((key == VK_RETURN && EnterIsTab()) || (key == VK_DELETE && shift.Contains(ssCtrl))) HandKeyToGrid(key, shift);
    TInplaceEdit::KeyDown(key, shift);
}

void TvxInplaceEdit::KeyUp(Word& key, TShiftState shift)
{
    if (key == VK_RETURN && EnterIsTab()) key = VK_TAB;
    TInplaceEdit::KeyUp(key, shift);
    if (key == VK_DELETE && DBGrid()->OnCheckValue) CheckValue(Text());
}

void TvxInplaceEdit::LoadPicture()
{
    TvxCustomDBGrid* grid = DBGrid();
    TDataSet* dataSet = grid->DataLink()->DataSet();
    TField* field = grid->GetSelectedField();
    if (!dataSet || !field) return;
    std::string mask;
    bool autoFill = true;
    vxGetPictureMask(dataSet, field->FieldName(), true, mask, autoFill, useMaskInGrid_);
    picture_->SetPictureMask(mask);
    picture_->SetAutoFill(autoFill);
    picture_->SetAllowInvalidExit(false);
    CheckValue(field->EditText());
}

void TvxInplaceEdit::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case WM_SETFOCUS:
        TInplaceEdit::Dispatch(message);
        LoadPicture();
        return;
    case WM_PASTE:
        TInplaceEdit::Dispatch(message);
        DBGrid()->CanEditModify();
        return;
    case CM_FONTCHANGED: {
        TInplaceEdit::Dispatch(message);
        const Integer margin = BorderStyle() == bsNone ? 2 : 0;
        RECT rect{margin, margin, ClientWidth() - 1, ClientHeight()};
        if (HandleAllocated()) SendMessageA(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&rect));
        return;
    }
    default:
        TInplaceEdit::Dispatch(message);
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

// The footer is composed in the shared drawing bitmap and copied below the rows in one piece.
void TvxCustomDBGrid::Paint()
{
    TCustomGrid::Paint();
    if (!options_.Contains(dgShowFooter) || !bitmaps.DrawBitmap) return;
    TBitmap* bitmap = bitmaps.DrawBitmap;
    if (bitmap->Width() < Width()) bitmap->SetWidth(Width());
    if (bitmap->Height() < Height()) bitmap->SetHeight(Height());
    TCanvas* canvas = bitmap->Canvas();
    TRect strip;
    GetFooterRect(strip);
    const TRect whole = Rect(strip.left, strip.top - 1, strip.right, strip.bottom + 1);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(whole);
    TRect band = strip;
    band.right = LastVisibleCellRight() + 1;
    canvas->Pen()->SetColor(clBlack);
    canvas->MoveTo(band.left, band.top - 1);
    canvas->LineTo(band.right, band.top - 1);
    canvas->LineTo(band.right, band.bottom + 1);
    canvas->Brush()->SetColor(footerColor_);
    canvas->FillRect(band);
    canvas->Pen()->SetColor(clWhite);
    canvas->MoveTo(band.left, band.top);
    canvas->LineTo(band.right, band.top);
    canvas->MoveTo(band.left, band.top);
    canvas->LineTo(band.left, band.bottom);
    canvas->Pen()->SetColor(clBlack);
    canvas->MoveTo(band.left, band.bottom);
    canvas->LineTo(band.right, band.bottom);
    if (dataLink_->Active()) {
        for (Integer col = indicatorOffset_; col < TCustomGrid::FixedCols(); ++col) DrawFooterCell(col, strip);
        for (Integer col = LeftCol(); col < ColCount(); ++col) DrawFooterCell(col, strip);
    }
    Canvas()->CopyRect(whole, canvas, whole);
}

// The right edge of the last column shown from LeftCol on (of the last row).
Integer TvxCustomDBGrid::LastVisibleCellRight()
{
    Integer right = 0;
    for (Integer col = LeftCol(); col < ColCount(); ++col) {
        const TRect cell = CellRect(col, RowCount() - 1);
        if (cell.left == cell.right) break;
        right = cell.right;
    }
    return right;
}

void TvxCustomDBGrid::DrawFooterCell(Integer col, const TRect& strip)
{
    const TRect column = CellRect(col, RowCount() - 1);
    if (column.left == column.right) return;
    TCanvas* canvas = vxGridBitmaps().DrawBitmap->Canvas();
    const Integer dataCol = GetDataCol(col);
    std::string text = ColumnByIndex(dataCol)->FooterValue();
    bool defaultDrawing = true;
    canvas->Brush()->SetColor(footerCellColor_);
    canvas->Font()->Assign(Font());
    TRect cell = Rect(column.left, strip.top + 2, column.right, strip.bottom - 2);
    TField* field = GetFields(dataCol);
    if (OnDrawFooterCell) OnDrawFooterCell(this, canvas, cell, field, text, defaultDrawing);
    if (!defaultDrawing || text.empty()) return;
    canvas->FillRect(cell);
    cell.top = strip.top + 1;
    cell.bottom = strip.bottom - 1;
    cell.left -= 1;
    DrawFooterCellFrame(cell);
    cell.top += (cell.bottom - cell.top - canvas->TextHeight("A")) / 2;
    cell.left += 5;
    cell.right = cell.left + ColWidths(col) - 9;
    const TAlignment alignment = field ? field->Alignment() : taLeftJustify;
    UINT format = DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK;
    format |= alignment == taRightJustify ? DT_RIGHT : alignment == taCenter ? DT_CENTER : DT_LEFT;
    SetBkMode(canvas->Handle(), TRANSPARENT);
    canvas->DrawText(text, cell, format);
}

void TvxCustomDBGrid::DrawFooterCellFrame(const TRect& r)
{
    TCanvas* canvas = vxGridBitmaps().DrawBitmap->Canvas();
    auto line = [canvas](TColor color, std::initializer_list<TPoint> points) {
        canvas->Pen()->SetColor(color);
        canvas->Polyline(points.begin(), Integer(points.size()));
    };
    line(clBtnShadow, {{r.left + 1, r.bottom - 2}, {r.left + 1, r.top + 1}, {r.right - 1, r.top + 1}});
    if (options_.Contains(dgFooter3DCells)) {
        line(clBlack, {{r.left + 2, r.bottom - 2}, {r.left + 2, r.top + 2}, {r.right - 1, r.top + 2}});
        line(clBtnHighlight, {{r.left + 2, r.bottom - 2}, {r.right - 1, r.bottom - 2}, {r.right - 1, r.top + 1}});
        line(clBtnFace, {{r.left + 3, r.bottom - 3}, {r.right - 2, r.bottom - 3}, {r.right - 2, r.top + 1}});
    } else {
        line(clBtnHighlight, {{r.left + 2, r.bottom - 2}, {r.right - 1, r.bottom - 2}, {r.right - 1, r.top + 1}});
    }
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
    if (IsUntouchedInsert() && dataSet->Eof())
        dataSet->Cancel();
    else if (dataSet->Bof() && dataLink_->ActiveRecord() > 0)
        dataLink_->SetActiveRecord(dataLink_->ActiveRecord() - 1);
    else
        dataSet->Prior();
}

// An untouched inserted record is dropped (an appended one stays); else the next record.
void TvxCustomDBGrid::ScrollLineDown(TDataSet* dataSet)
{
    if (IsUntouchedInsert()) {
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
    // A column drag took and gave back the mouse within the press; the window must not keep it after the press.
    if (columnDragEnded_) {
        columnDragEnded_ = false;
        if (GetCapture() == Handle()) ReleaseCapture();
    }
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
    case CM_EXIT:
        ExitGrid(message);
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

// ---- drawing

void vxFillCellRect(TCanvas* canvas, const TRect& rect)
{
    canvas->ExtTextOut(rect.left, rect.top, ETO_OPAQUE | ETO_CLIPPED, &rect, "");
}

void vxDrawCellText(TCanvas* canvas, TRect rect, Integer margin, Integer flags, TAlignment alignment,
                    const std::string& text, Integer top)
{
    const Integer width = rect.right - rect.left, height = rect.bottom - rect.top;
    TBitmap* bitmap = bitmaps.DrawBitmap;
    TCanvas* target = canvas;
    if (bitmap) {
        if (bitmap->Width() < width) bitmap->SetWidth(width);
        if (bitmap->Height() < height) bitmap->SetHeight(height);
        target = bitmap->Canvas();
    }
    TRect textRect;
    switch (alignment) {
    case taRightJustify: textRect = Rect(margin, top, width - 2, height - 1); break;
    case taCenter: textRect = Rect(margin > 3 ? 2 : 0, top, width, height - 1); break;
    default: textRect = Rect(margin, top, width, height - 1); break;
    }
    const TRect area = bitmap ? Rect(0, 0, width, height) : rect;
    if (!bitmap) OffsetRect(&textRect, rect.left, rect.top);
    if (target != canvas) {
        target->Font()->Assign(canvas->Font());
        target->Brush()->Assign(canvas->Brush());
    }
    target->Brush()->SetStyle(bsSolid);
    target->FillRect(area);
    if ((flags & vxdtKeepBackground) && bitmap) {
        target->SetCopyMode(MERGECOPY);
        target->CopyRect(area, canvas, rect);
        target->SetCopyMode(SRCCOPY);
    }
    SetBkMode(target->Handle(), TRANSPARENT);
    UINT format = alignment == taRightJustify ? DT_RIGHT : alignment == taCenter ? DT_CENTER : DT_LEFT;
    format |= DT_EXPANDTABS | DT_NOPREFIX;
    if (flags & vxdtShowPrefix) format &= ~UINT(DT_NOPREFIX);
    if (flags & vxdtWordWrap) format |= DT_WORDBREAK;
    if ((flags & vxdtEndEllipsis) || vxIsSingleLineHeight(target->Handle(), area, format))
        format &= ~UINT(DT_WORDBREAK);
    if (flags & vxdtEndEllipsis) format |= DT_END_ELLIPSIS;
    target->DrawText(text, textRect, format);
    if (bitmap) canvas->CopyRect(rect, target, area);
}

TCanvas* TvxCustomDBGrid::GetCanvas() const
{
    return drawingDragImage_ && dragBitmap_ ? dragBitmap_->Canvas() : Canvas();
}

void TvxCustomDBGrid::GetCellText(Integer dataCol, std::string& text)
{
    TField* field = GetFields(dataCol);
    text = field ? field->DisplayText() : std::string();
}

bool TvxCustomDBGrid::HighlightCell(Integer, Integer dataRow, TGridDrawState state, const std::string&)
{
    if (options_.Contains(dgMultiSelect)) return IsRowSelected(dataRow);
    return state.Contains(gdSelected) && (options_.Contains(dgAlwaysShowSelection) || Focused());
}

bool TvxCustomDBGrid::DoCalcCellColors(TField* field, TGridDrawState state, bool highlight, TFont* font,
                                       TBrush* brush)
{
    if (OnCalcCellColors) OnCalcCellColors(this, field, state, highlight, font, brush);
    whiteCellBrush_ = ColorToRGB(GetCanvas()->Brush()->Color()) == 0xFFFFFF;
    return whiteCellBrush_;
}

void TvxCustomDBGrid::DoCalcTitleImage(TField* field, TvxTitleImageAttributes& attributes)
{
    if (OnCalcTitleImage) OnCalcTitleImage(this, field, attributes);
}

void TvxCustomDBGrid::DrawDataCell(const TRect& rect, TField* field, TGridDrawState state)
{
    if (OnDrawDataCell) OnDrawDataCell(this, rect, field, state);
}

void TvxCustomDBGrid::DrawCell(Integer col, Integer row, TRect rect, TGridDrawState state)
{
    focusRectDrawn_ = false;
    cellLinesDone_ = false;
    textRect_ = rect;
    drawState_ = state;
    drawGridCol_ = col;
    drawGridRow_ = row;
    TCanvas* canvas = GetCanvas();
    const bool fixed = state.Contains(gdFixed);
    canvas->Font()->Assign(fixed ? titleFont_.get() : Font());
    canvas->Brush()->SetColor(fixed ? titleColor_ : Color());
    if (DrawControlCell(col, row, rect, state)) return;
    const Integer dataCol = GetDataCol(col), dataRow = GetDataRow(row);
    if (dataRow < 0)
        DrawTitleCell(rect, col, dataCol);
    else if (!dataLink_->Active())
        vxFillCellRect(canvas, rect);
    else if (dataCol < 0)
        DrawIndicatorCell(rect, row);
    else
        DrawDataCellContent(rect, dataCol, dataRow, state);
}

// ---- drawing: titles

void TvxCustomDBGrid::DrawTitleCell(const TRect& rect, Integer col, Integer dataCol)
{
    TField* field = GetColField(dataCol);
    if (dataCol < 0 || !field) {
        WriteCellText("", titleAlignment_);
        return;
    }
    TCanvas* canvas = GetCanvas();
    const std::string title = TitleText(field);
    TAlignment alignment = titleAlignment_;
    DoCalcTitleAttributes(field->FieldName(), canvas->Font(), canvas->Brush(), alignment);
    vxFillCellRect(canvas, rect);
    const bool buttons = titleButtons_ && !drawingDragImage_;
    const bool pressed = buttons && pressedTitleCol_ == col;
    const bool showText = DrawTitleImage(rect, field, pressed ? 1 : 0);
    bool defaultDrawing = true;
    DoDrawTitleCell(canvas, field, rect, defaultDrawing);
    if (defaultDrawing && showText) WriteCellText(title, alignment);
    if (!buttons) return;
    cellLinesDone_ = true;
    DrawTitleButtonFrame(rect, pressed);
}

// The field's label; without UseTFields the label of its Selected line, when it has one.
std::string TvxCustomDBGrid::TitleText(TField* field)
{
    std::string title = field->DisplayLabel();
    Integer line = 0;
    if (!useTFields_ && vxFindSelectedLine(selectedList_.get(), field->FieldName(), line)) {
        const std::vector<std::string> parts = SelectedParts(selectedList_->Strings(line));
        title = parts.size() > 2 ? parts[2] : std::string();
    }
    return title;
}

bool TvxCustomDBGrid::DrawTitleImage(const TRect& rect, TField* field, Integer pressed)
{
    TvxTitleImageAttributes image;
    DoCalcTitleImage(field, image);
    if (image.ImageIndex < 0 || !titleImageList_) return true;
    const Integer width = titleImageList_->Width(), height = titleImageList_->Height();
    const Integer y = (rect.top + rect.bottom - height) / 2 + pressed;
    Integer x = 0;
    switch (image.Alignment) {
    case taLeftJustify:
        x = rect.left + image.Margin + pressed;
        textRect_.left = std::min(rect.left + image.Margin + width, rect.right);
        break;
    case taRightJustify:
        x = rect.right - width - image.Margin + pressed;
        textRect_.right = std::max(rect.right - width - image.Margin, rect.left);
        break;
    case taCenter:
        x = (rect.left + rect.right - width) / 2 + pressed;
        break;
    }
    titleImageList_->Draw(GetCanvas(), x, y, image.ImageIndex);
    return image.Alignment != taCenter;
}

// A raised button, or a pressed one: lines of two points, their last pixel left out.
void TvxCustomDBGrid::DrawTitleButtonFrame(const TRect& r, bool pressed)
{
    const TColor grey = RGB(128, 128, 128);
    if (pressed) {
        PolyLine(clBlack, {{r.left, r.top}, {r.left, r.bottom}});
        PolyLine(clBlack, {{r.left, r.top}, {r.right, r.top}});
        PolyLine(grey, {{r.left + 1, r.top + 1}, {r.left + 1, r.bottom - 1}});
        PolyLine(grey, {{r.left + 1, r.bottom - 1}, {r.right, r.bottom - 1}});
        return;
    }
    PolyLine(grey, {{r.left, r.top}, {r.left, r.bottom - 1}});
    PolyLine(grey, {{r.left, r.bottom - 1}, {r.right - 1, r.bottom - 1}});
    PolyLine(grey, {{r.right - 1, r.bottom - 1}, {r.right - 1, r.top}});
    PolyLine(clBtnHighlight, {{r.left, r.top}, {r.left, r.bottom}});
    PolyLine(clBtnHighlight, {{r.left + 1, r.top}, {r.right - 1, r.top}});
    PolyLine(clBtnShadow, {{r.left, r.bottom - 1}, {r.right, r.bottom - 1}});
}

void TvxCustomDBGrid::PolyLine(TColor color, std::initializer_list<TPoint> points)
{
    TCanvas* canvas = GetCanvas();
    canvas->Pen()->SetColor(color);
    canvas->Polyline(points.begin(), Integer(points.size()));
}

void TvxCustomDBGrid::WriteCellText(const std::string& text, TAlignment alignment)
{
    TCanvas* canvas = GetCanvas();
    if (GetDataRow(drawGridRow_) >= 0) {
        Integer flags = 0;
        if (options_.Contains(dgWordWrap)) {
            flags = vxdtWordWrap;
            if (options_.Contains(dgTrailingEllipsis) &&
                vxIsSingleLineHeight(canvas->Handle(), textRect_, DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX))
                flags |= vxdtEndEllipsis;
        } else if (options_.Contains(dgTrailingEllipsis)) {
            flags = vxdtEndEllipsis;
        }
        vxDrawCellText(canvas, textRect_, 3, flags, alignment, text, 2);
        return;
    }
    const Integer pressed = titleButtons_ && pressedTitleCol_ >= 0 && drawGridCol_ == pressedTitleCol_ ? 1 : 0;
    const Integer lines = titleLines_ == 1 ? 1 : 1 + Integer(std::count(text.begin(), text.end(), '~'));
    const Integer top = Integer(RowHeights(0) / 2.0 - canvas->TextHeight(text) * lines * 0.5);
    std::string shown = text;
    std::replace(shown.begin(), shown.end(), '~', '\r');
    Integer flags = vxdtEndEllipsis;
    if (OnDrawTitleCell) flags |= vxdtKeepBackground;
    if (!useTFields_) flags |= vxdtShowPrefix;
    vxDrawCellText(canvas, textRect_, 3 + pressed, flags, alignment, shown, top + pressed);
}

// ---- drawing: the indicator

void TvxCustomDBGrid::DrawIndicatorCell(const TRect& rect, Integer row)
{
    vxFillCellRect(GetCanvas(), rect);
    if (GetDataRow(row) != dataLink_->ActiveRecord()) return;
    DrawIndicator(rect);
    selRow_ = row;
}

TBitmap* TvxCustomDBGrid::IndicatorGlyph() const
{
    TDataSet* dataSet = dataLink_->DataSet();
    switch (dataSet ? dataSet->State() : dsInactive) {
    case dsEdit: return bitmaps.Edit;
    case dsInsert: return bitmaps.Insert;
    default: return bitmaps.Arrow;
    }
}

// The glyph's white shows the cell; a yellow indicator is drawn yellow on the cell's colour.
void TvxCustomDBGrid::DrawIndicator(const TRect& rect)
{
    TCanvas* canvas = GetCanvas();
    TBitmap* source = IndicatorGlyph();
    const Integer width = source->Width(), height = source->Height();
    const TRect whole = Rect(0, 0, width, height);
    TBitmap glyph;
    glyph.Assign(source);
    canvas->SetCopyMode(SRCAND);
    if (indicatorColor_ == icYellow) {
        TBitmap onCell;
        onCell.SetWidth(width);
        onCell.SetHeight(height);
        onCell.Canvas()->Brush()->SetColor(canvas->Brush()->Color());
        onCell.Canvas()->BrushCopy(whole, &glyph, whole, clWhite);
        glyph.Canvas()->Brush()->SetColor(TColor(0x00FFFF));
        glyph.Canvas()->BrushCopy(whole, &onCell, whole, clBlack);
        canvas->SetCopyMode(SRCCOPY);
    }
    canvas->Draw(rect.left + (rect.right - rect.left - width) / 2 + 1, (rect.top + rect.bottom - height) / 2, &glyph);
    canvas->SetCopyMode(SRCCOPY);
}

// ---- drawing: data cells

void TvxCustomDBGrid::DrawDataCellContent(const TRect& rect, Integer dataCol, Integer dataRow, TGridDrawState state)
{
    TCanvas* canvas = GetCanvas();
    if (dataRow >= dataLink_->RecordCount()) {
        vxFillCellRect(canvas, rect);
        return;
    }
    std::string text;
    bool highlight = false;
    {
        const TActiveRecordKeeper keeper(dataLink_.get(), dataRow);
        drawRow_ = dataRow;
        drawCol_ = dataCol;
        forceLeftAlign_ = false;
        GetCellText(dataCol, text);
        highlight = HighlightCell(dataCol, dataRow, state, text);
        if (highlight) {
            canvas->Brush()->SetColor(clHighlight);
            canvas->Font()->SetColor(clHighlightText);
        }
        TField* field = GetColField(dataCol);
        DoCalcCellColors(field, state, highlight, canvas->Font(), canvas->Brush());
        const TAlignment alignment = field && !forceLeftAlign_ ? field->Alignment() : taLeftJustify;
        if (defaultDrawing_) WriteCellText(text, alignment);
        DrawDataCell(rect, field, state);
    }
    if (!defaultDrawing_ || !highlight || !ShowsCellFocus()) return;
    DrawCellFocusRect(rect, state);
    focusRectDrawn_ = true;
}

bool TvxCustomDBGrid::ShowsCellFocus()
{
    const TCustomForm* form = GetParentForm(this);
    return !ComponentState().Contains(csDesigning) && !options_.Contains(dgRowSelect) && form &&
           form->ActiveControl() == this;
}

// The platform grid frames the focused cell itself after this drawing; a second frame would undo it.
void TvxCustomDBGrid::DrawCellFocusRect(const TRect& rect, TGridDrawState state)
{
    TCanvas* canvas = GetCanvas();
    const bool frameComesLater =
        canvas == Canvas() && state.Contains(gdFocused) && !EditorMode() && !TCustomGrid::Options().Contains(goRowSelect);
    if (!frameComesLater) canvas->DrawFocusRect(rect);
}

void TvxCustomDBGrid::DrawCellLines(const TRect& rect, Integer col, TGridDrawState state, Integer row)
{
    if (cellLinesDone_) return;
    cellLinesDone_ = true;
    TCanvas* canvas = GetCanvas();
    const bool dataCell = col >= indicatorOffset_ && row >= titleOffset_;
    const bool whiteGrid = ColorToRGB(Color()) == 0xFFFFFF;
    if (dataCell && whiteGrid) {
        if (whiteCellBrush_) return;
        std::string text;
        if (HighlightCell(GetDataCol(col), GetDataRow(row), state, text) &&
            canvas->Brush()->Color() == clHighlight)
            return;
    }
    const bool titleRow = row < titleOffset_;
    if (!Ctl3D() && !titleRow && col >= indicatorOffset_) return;
    const TColor penColor = canvas->Pen()->Color();
    canvas->Pen()->SetWidth(1);
    const TColor edge = state.Contains(gdFixed) ? clBlack : clBtnShadow;
    const Integer l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
    const bool rowLines = options_.Contains(dgRowLines);
    if (options_.Contains(dgColLines)) {
        if (!rowLines) {
            PolyLine(clBtnHighlight, {{l, b}, {l, t - 1}});
            if (col >= indicatorOffset_) PolyLine(clBtnShadow, {{r, b - 1}, {r, t - 1}});
        } else if (whiteCellBrush_) {
            PolyLine(clBtnHighlight, {{l, b}, {l, t}});
        } else {
            if (!focusRectDrawn_) PolyLine(clBtnHighlight, {{l, b}, {l, t}});
            PolyLine(edge, {{r, b}, {r, t}});
        }
    }
    if (titleRow && whiteGrid && !rowLines) PolyLine(clBlack, {{l, b - 1}, {r, b - 1}});
    if (rowLines) {
        if (whiteCellBrush_) {
            PolyLine(clBtnHighlight, {{l, t}, {r, t}});
        } else {
            if (!focusRectDrawn_) PolyLine(clBtnHighlight, {{l, t}, {r, t}});
            PolyLine(edge, {{l, b}, {r, b}});
        }
    } else if (col < indicatorOffset_ && row == titleOffset_ && indicatorButton_) {
        PolyLine(clBtnHighlight, {{l, t}, {r, t}});
        PolyLine(clBtnShadow, {{l, t - 1}, {r, t - 1}});
    } else if (titleRow) {
        PolyLine(clBtnHighlight, {{l, t}, {r, t}});
    }
    canvas->Pen()->SetColor(penColor);
}

// ---- drawing: control cells

namespace {

const TColor MidGrey = TColor(RGB(128, 128, 128));

// True when the stream starts with the picture header: the 16-bit values 1 and 256, then the length of the rest.
bool ReadPictureHeader(TStream* stream)
{
    Word kind = 0, version = 0;
    Cardinal length = 0;
    stream->ReadBuffer(&kind, sizeof kind);
    stream->ReadBuffer(&version, sizeof version);
    stream->ReadBuffer(&length, sizeof length);
    return kind == 1 && version == 256 && Int64(length) == stream->Size() - 8;
}

// Lines from point to point with MoveTo and LineTo.
void Stroke(TCanvas* canvas, TColor color, std::initializer_list<TPoint> points)
{
    canvas->Pen()->SetColor(color);
    const TPoint* point = points.begin();
    canvas->MoveTo(point->x, point->y);
    for (++point; point != points.end(); ++point) canvas->LineTo(point->x, point->y);
}

void DrawCrossBox(TCanvas* canvas, const TRect& box, bool checked)
{
    const Integer l = box.left, t = box.top, r = box.right, b = box.bottom;
    canvas->Brush()->SetColor(clWindow);
    canvas->FillRect(box);
    Stroke(canvas, clBlack, {{r - 1, t}, {l, t}, {l, b + 1}});
    Stroke(canvas, clGrayText, {{l + 1, b}, {r, b}, {r, t - 1}});
    Stroke(canvas, clWhite, {{l, b + 1}, {r + 1, b + 1}, {r + 1, t - 1}});
    Stroke(canvas, MidGrey, {{r, t - 1}, {l - 1, t - 1}, {l - 1, b + 1}});
    if (!checked) return;
    Stroke(canvas, clBlack, {{r - 2, t + 2}, {l + 1, b - 1}});
    Stroke(canvas, clBlack, {{r - 3, t + 2}, {l + 1, b - 2}});
    Stroke(canvas, clBlack, {{r - 2, t + 3}, {l + 2, b - 1}});
    Stroke(canvas, clBlack, {{l + 2, t + 2}, {r - 1, b - 1}});
    Stroke(canvas, clBlack, {{l + 3, t + 2}, {r - 1, b - 2}});
    Stroke(canvas, clBlack, {{l + 2, t + 3}, {r - 2, b - 1}});
}

// A read-only column's box is greyed.
void DrawCheckMarkBox(TCanvas* canvas, const TRect& box, bool checked, bool readOnly)
{
    const Integer l = box.left, t = box.top, r = box.right, b = box.bottom;
    canvas->Brush()->SetColor(readOnly ? clInactiveBorder : clWindow);
    canvas->FillRect(box);
    Stroke(canvas, clBlack, {{r - 1, t}, {l, t}, {l, b}});
    Stroke(canvas, cl3DLight, {{l, b}, {r, b}, {r, t - 1}});
    Stroke(canvas, clWhite, {{l - 1, b + 1}, {r + 1, b + 1}, {r + 1, t - 2}});
    Stroke(canvas, MidGrey, {{r, t - 1}, {l - 1, t - 1}, {l - 1, b + 1}});
    if (!checked) return;
    const TColor mark = readOnly ? clInactiveCaption : clBlack;
    for (Integer i = 0; i < 3; ++i) Stroke(canvas, mark, {{l + 2 + i, t + 4 + i}, {l + 2 + i, b - 3 + i}});
    for (Integer i = 0; i < 4; ++i) Stroke(canvas, mark, {{l + 5 + i, t + 5 - i}, {l + 5 + i, b - 2 - i}});
}

// Part index of a ";"-separated parameter text; empty beyond its end.
std::string ParameterPart(const std::string& parameters, Integer index)
{
    TStringList parts;
    vxSplitString(parameters, ';', &parts);
    return index < parts.Count() ? parts.Strings(index) : std::string();
}

}  // namespace

void vxLoadBitmapFromBlob(TBitmap* bitmap, TField* field)
{
    TDataSet* dataSet = field->DataSet();
    if (!dataSet) return;
    try {
        const std::unique_ptr<TStream> stream(dataSet->CreateBlobStream(field, bmRead));
        if (!stream) return;
        if (stream->Size() > 7 && !ReadPictureHeader(stream.get())) stream->SetPosition(0);
        bitmap->LoadFromStream(stream.get());
    } catch (const std::exception&) {
        // Not a picture: the bitmap keeps what it had.
    }
}

TCopyMode vxRasterOpByName(const std::string& name)
{
    static const struct {
        const char* Name;
        TCopyMode Mode;
    } modes[] = {
        {"Source Copy", SRCCOPY},         {"Source Paint", SRCPAINT},         {"Source And", SRCAND},
        {"Source Invert", SRCINVERT},     {"Source Erase", SRCERASE},         {"Not Source Copy", NOTSRCCOPY},
        {"Not Source Erase", NOTSRCERASE}, {"Merge Paint", MERGEPAINT},
    };
    for (const auto& mode : modes)
        if (name == mode.Name) return mode.Mode;
    return SRCCOPY;
}

bool TvxCustomDBGrid::DrawControlCell(Integer col, Integer row, const TRect& rect, TGridDrawState state)
{
    const Integer dataRow = GetDataRow(row);
    if (!IsDataCell(col, row) || dataRow >= dataLink_->RecordCount()) return false;
    TField* field = GetColField(GetDataCol(col));
    if (!field) return false;
    std::string kind, parameters;
    GetControlInfo(field->FieldName(), kind, parameters);
    if (kind != "Bitmap" && kind != "ImageIndex" && kind != "CheckBox") return false;
    {
        const bool insertedRow = dataLink_->DataSet()->State() == dsInsert && dataRow == dataLink_->ActiveRecord();
        const TActiveRecordKeeper keeper(dataLink_.get(), dataRow);
        if (kind == "Bitmap")
            DrawBitmapCell(field, parameters, insertedRow);
        else if (kind == "CheckBox")
            DrawCheckBoxCell(field, parameters);
        else if (imageList_ && (dynamic_cast<TIntegerField*>(field) || dynamic_cast<TFloatField*>(field)))
            DrawImageIndexCell(field, parameters);
        else  // no image to show: the cell still gets its background
            PaintControlCellBackground(field, false);
    }
    DrawCellLines(rect, col, state, row);
    return true;
}

bool TvxCustomDBGrid::PaintControlCellBackground(TField* field, bool drawFocus)
{
    TCanvas* canvas = GetCanvas();
    canvas->Brush()->SetColor(drawState_.Contains(gdFixed) ? titleColor_ : Color());
    drawRow_ = GetDataRow(drawGridRow_);
    drawCol_ = GetDataCol(drawGridCol_);
    const bool highlight = HighlightCell(drawCol_, drawRow_, drawState_, std::string());
    if (highlight) {
        canvas->Brush()->SetColor(clHighlight);
        canvas->Font()->SetColor(clHighlightText);
    }
    DoCalcCellColors(field, drawState_, highlight, canvas->Font(), canvas->Brush());
    vxFillCellRect(canvas, textRect_);
    if (highlight && ShowsCellFocus()) {
        focusRectDrawn_ = true;
        if (drawFocus) DrawCellFocusRect(textRect_, drawState_);
    }
    return highlight;
}

void TvxCustomDBGrid::DrawBitmapCell(TField* field, const std::string& parameters, bool insertedRow)
{
    TField* source = PictureSourceField(field);
    TBitmap picture;
    const bool derived = field->Lookup() || field->Calculated();
    if (source && (derived || !insertedRow)) vxLoadBitmapFromBlob(&picture, source);
    if (picture.Width() < 1 || picture.Height() < 1) {
        PaintControlCellBackground(field, true);
        return;
    }
    TCanvas* canvas = GetCanvas();
    const TCopyMode copyMode = canvas->CopyMode();
    canvas->SetCopyMode(vxRasterOpByName(ParameterPart(parameters, 1)));
    const bool highlight = PaintControlCellBackground(field, true);
    DrawFittedBitmap(&picture, ParameterPart(parameters, 0));
    if (highlight) {
        const TColor brushColor = canvas->Brush()->Color();
        canvas->Brush()->SetColor(clHighlight);
        canvas->FrameRect(textRect_);
        canvas->Brush()->SetColor(brushColor);
        cellLinesDone_ = true;
    }
    canvas->SetCopyMode(copyMode);
}

TField* TvxCustomDBGrid::PictureSourceField(TField* field)
{
    if (!field->Lookup()) return field->Calculated() ? nullptr : field;
    TDataSet* lookupDataSet = field->LookupDataSet();
    TField* keyField = field->DataSet()->FindField(field->KeyFields());
    if (!keyField || !lookupDataSet || !lookupDataSet->Active() || !lookupDataSet->FindField(field->LookupKeyFields()))
        return nullptr;
    if (!vxLocateFieldValue(lookupDataSet, keyField->AsString(), field->LookupKeyFields(), mtExactMatch, true))
        return nullptr;
    return lookupDataSet->FindField(field->LookupResultField());
}

// Copies through the canvas's copy mode, in the fit mode's size; other modes draw nothing.
void TvxCustomDBGrid::DrawFittedBitmap(TBitmap* picture, const std::string& fitMode)
{
    TCanvas* canvas = GetCanvas();
    const TRect& cell = textRect_;
    const Int64 width = cell.right - cell.left, height = cell.bottom - cell.top;
    const Int64 bw = picture->Width(), bh = picture->Height();
    if (fitMode == "Original Size") {
        const Integer w = Integer(std::min(bw, width - 1)), h = Integer(std::min(bh, height - 1));
        canvas->CopyRect(Bounds(cell.left + 1, cell.top + 1, w, h), picture->Canvas(), Rect(0, 0, w, h));
    } else if (fitMode == "Stretch To Fit") {
        canvas->StretchDraw(cell, picture);
    } else if (fitMode == "Fit Height") {
        const Int64 scaled = bw * height / bh;
        const bool cropped = width < scaled;
        const Int64 sourceWidth = cropped ? bw * width / scaled : bw, drawnWidth = cropped ? width : scaled;
        if (drawnWidth > 2 && height > 2)
            canvas->CopyRect(Rect(cell.left + 1, cell.top, cell.left + Integer(drawnWidth), cell.bottom - 1),
                             picture->Canvas(), Rect(0, 0, Integer(sourceWidth), Integer(bh)));
    } else if (fitMode == "Fit Width") {
        const Int64 scaled = width * bh / bw;
        const bool cropped = height < scaled;
        const Int64 sourceHeight = cropped ? bh * height / scaled : bh, drawnHeight = cropped ? height : scaled;
        if (width > 2 && drawnHeight > 2)
            canvas->CopyRect(Rect(cell.left + 1, cell.top, cell.right, cell.top + Integer(drawnHeight) - 1),
                             picture->Canvas(), Rect(0, 0, Integer(bw), Integer(sourceHeight)));
    }
}

void TvxCustomDBGrid::DrawImageIndexCell(TField* field, const std::string& parameters)
{
    PaintControlCellBackground(field, false);
    TCanvas* canvas = GetCanvas();
    const Integer imageWidth = imageList_->Width(), imageHeight = imageList_->Height();
    TBitmap image;
    image.SetSize(imageWidth, imageHeight);
    image.Canvas()->Brush()->SetColor(canvas->Brush()->Color());
    image.Canvas()->FillRect(Rect(0, 0, imageWidth, imageHeight));
    const Integer index = CellImageIndex(field);
    if (index >= 0) imageList_->Draw(image.Canvas(), 0, 0, index);
    const TRect& cell = textRect_;
    const Integer width = cell.right - cell.left, height = cell.bottom - cell.top;
    const TRect target = Bounds(std::max(cell.left, (cell.left + cell.right - imageWidth) / 2),
                                std::max(cell.top, (cell.top + cell.bottom - imageHeight) / 2),
                                std::min(imageWidth, width), std::min(imageHeight, height));
    if (ParameterPart(parameters, 0) == "Shrink To Fit")
        canvas->StretchDraw(target, &image);
    else
        canvas->CopyRect(target, image.Canvas(),
                         Rect(0, 0, std::min(width - 2, imageWidth), std::min(height - 2, imageHeight)));
    if (focusRectDrawn_) vxDrawFocusFrame(canvas, cell);
}

Integer TvxCustomDBGrid::CellImageIndex(TField* field)
{
    if (field->IsNull()) return -1;
    const double value = dynamic_cast<TIntegerField*>(field) ? field->AsInteger() : field->AsFloat();
    // Also false for a value that is not a number.
    if (!(value >= 0 && value < imageList_->Count())) return -1;
    return Integer(value);  // a fraction cut off
}

void TvxCustomDBGrid::DrawCheckBoxCell(TField* field, const std::string& parameters)
{
    const std::string checkedValue = ParameterPart(parameters, 0);
    std::string value;
    if (field->Calculated() && vxTextEquals(field->FieldName(), "selected"))
        value = IsCurrentRecordSelected() ? checkedValue : ParameterPart(parameters, 1);
    else
        GetCellText(GetDataCol(drawGridCol_), value);
    PaintControlCellBackground(field, true);
    const TRect& cell = textRect_;
    const TRect box = Bounds((cell.left + cell.right - 10) / 2, (cell.top + cell.bottom - 10) / 2, 10, 10);
    DrawCheckBox(box, drawGridCol_, vxTextEquals(value, checkedValue), drawGridRow_);
}

// Composed in the shared drawing bitmap at the grid's coordinates, then copied with its frame in one piece.
void TvxCustomDBGrid::DrawCheckBox(const TRect& rect, Integer col, bool checked, Integer)
{
    TCanvas* canvas = GetCanvas();
    TBitmap* bitmap = bitmaps.DrawBitmap;
    TCanvas* target = canvas;
    if (bitmap) {
        if (bitmap->Width() < Width()) bitmap->SetWidth(Width());
        if (bitmap->Height() < Height()) bitmap->SetHeight(Height());
        target = bitmap->Canvas();
    }
    const TColor brushColor = target->Brush()->Color();
    target->Pen()->SetWidth(1);
    const TvxCheckBoxInGridStyle style = vxIntl()->CheckBoxInGridStyle();
    if (style == cbStyleXmark || (style == cbStyleAuto && !vxNewStyleControls))
        DrawCrossBox(target, rect, checked);
    else
        DrawCheckMarkBox(target, rect, checked, ColumnByIndex(GetDataCol(col))->IsReadOnly());
    target->Brush()->SetColor(brushColor);
    if (!bitmap) return;
    const TRect area = Rect(rect.left - 1, rect.top - 1, rect.right + 2, rect.bottom + 2);
    const TCopyMode copyMode = canvas->CopyMode();
    canvas->SetCopyMode(SRCCOPY);
    canvas->CopyRect(area, target, area);
    canvas->SetCopyMode(copyMode);
}

bool TvxCustomDBGrid::CanEditAcceptKey(char key)
{
    TField* field = GetSelectedField();
    return dataLink_->Active() && field && field->IsValidChar(key);
}

Integer TvxCustomDBGrid::GetEditLimit()
{
    auto* field = dynamic_cast<TStringField*>(GetColField(GetSelectedIndex()));
    return field ? field->Size() : 0;
}

std::string TvxCustomDBGrid::GetEditMask(Integer col, Integer)
{
    TField* field = GetColField(GetDataCol(col));
    return field ? field->EditMask() : std::string();
}

std::string TvxCustomDBGrid::GetEditText(Integer col, Integer)
{
    TField* field = GetColField(GetDataCol(col));
    editText_ = field ? field->EditText() : std::string();
    return editText_;
}

void TvxCustomDBGrid::SetEditText(Integer, Integer, const std::string& value)
{
    editText_ = value;
}

bool TvxCustomDBGrid::CanEditModify()
{
    TDataSet* dataSet = dataLink_->DataSet();
    if (dataSet && !keyOptions_.Contains(dgAllowInsert) && dataSet->Bof() && dataSet->Eof()) return false;
    if (readOnly_ || !dataLink_->Active() || dataLink_->ReadOnly() || GetFieldCount() == 0) return false;
    if (TField* field = GetSelectedField()) {
        const bool editableCalculated = editCalculated_ && vxIsCalculatedOrLookup(field) && !field->ReadOnly();
        if (!field->CanModify() && !editableCalculated) return false;
        if (ColumnByIndex(GetSelectedIndex())->IsReadOnly()) return false;
    }
    dataLink_->Edit();
    if (dataLink_->Editing()) dataLink_->Modified();
    return dataLink_->Editing();
}

// ---- columns

// The edited text fails its picture: the editor keeps the focus with its text selected, and the dataset's
// OnInvalidValue decides, or the user is told.
bool TvxCustomDBGrid::LeavesInvalidCell()
{
    auto* editor = dynamic_cast<TvxInplaceEdit*>(InplaceEditor());
    if (!editor || !editor->UsesPictureMask() || !dataLink_->IsModified()) return false;
    if (editor->CheckValue(editor->Text()) || editor->Picture()->GetAllowInvalidExit()) return false;
    editor->SelectAll();
    editor->SetFocus();
    dataLink_->Modified();
    TDataSet* dataSet = dataLink_->DataSet();
    if (TvxInvalidValueEvent onInvalidValue = vxGetOnInvalidValue(dataSet)) {
        onInvalidValue(dataSet, GetSelectedField());
        return true;
    }
    MessageBeep(0);
    throw EInvalidOperation(InvalidInputValue);
}

void TvxCustomDBGrid::SetSelectedIndex(Integer dataCol)
{
    if (LeavesInvalidCell()) return;
    dataLink_->UpdateData();
    dataCol = std::max({std::min(dataCol, GetFieldCount() - 1), 0, TCustomGrid::FixedCols() - indicatorOffset_});
    if (dataCol == GetSelectedIndex()) return;
    if (!inColumnChange_) {
        const Integer before = Col();
        {
            TFlagRaised changing(inColumnChange_);
            ColExit();
        }
        if (Col() != before) return;
    }
    HideEditor();
    const Integer col = dataCol + indicatorOffset_;
    if (!suppressShowEditor_ && options_.Contains(dgAlwaysShowEditor) && !IsControlCell(col, Row())) {
        HideControls();
        if (!IsMemoCell(col, Row())) ShowEditor();
    }
    SetCol(col);
    ColEnter();
}

void TvxCustomDBGrid::ColumnMoved(Integer fromIndex, Integer toIndex)
{
    const Integer from = fromIndex - indicatorOffset_, to = toIndex - indicatorOffset_;
    if (!useTFields_) {
        if (from >= 0 && from < selectedList_->Count() && to >= 0 && to < selectedList_->Count())
            selectedList_->Move(from, to);
        LayoutChanged();
    } else if (dataLink_->Active() && GetFieldCount() > 0) {
        TField* moved = GetFields(from);
        TField* target = GetFields(to);
        if (moved && target) moved->SetIndex(target->Index());
    }
    InvalidateFooter();
    if (OnColumnMoved) OnColumnMoved(this, from, to);
}

void TvxCustomDBGrid::ColWidthsChanged()
{
    TCustomGrid::ColWidthsChanged();
    if (inLayout_ || !writeBackWidths_ || !dataLink_->Active() || !HandleAllocated()) return;
    {
        TLockCount lock(layoutLock_);
        WriteWidths();
    }
    LayoutChanged();
}

// Each data column's width in characters "0" of the grid font, into its field or its Selected line.
void TvxCustomDBGrid::WriteWidths()
{
    Canvas()->Font()->Assign(Font());
    const Integer zero = std::max(Canvas()->TextWidth("0"), 1);
    auto characters = [&](Integer dataCol) {
        return (ColWidths(dataCol + indicatorOffset_) + zero / 2 - 3) / zero;
    };
    if (useTFields_) {
        for (Integer i = 0; i < GetFieldCount() && i + indicatorOffset_ < ColCount(); ++i)
            GetFields(i)->SetDisplayWidth(characters(i));
    } else {
        for (Integer i = 0; i < selectedList_->Count() && i + indicatorOffset_ < ColCount(); ++i) {
            const std::vector<std::string> parts = SelectedParts(selectedList_->Strings(i));
            std::string line = parts[0] + "\t" + IntToStr(characters(i)) + "\t" + (parts.size() > 2 ? parts[2] : "");
            if (parts.size() > 3) line += "\t" + parts[3];
            selectedList_->SetStrings(i, line);
        }
    }
    vxMarkDesignerModified(this);
}

void TvxCustomDBGrid::TopLeftChanged()
{
    TCustomGrid::TopLeftChanged();
    if (OnLeftColChanged) OnLeftColChanged(this, LeftCol());
    if (!HandleAllocated()) return;
    if (options_.Contains(dgShowFooter)) {
        TRect footer;
        GetFooterRect(footer);
        footer.bottom += 1;
        ::InvalidateRect(Handle(), &footer, FALSE);
    }
    // The right boundary of the drawn cells: the right edge of the last column that is fully shown.
    const Integer lastCol = std::min(LeftCol() + VisibleColCount() - 1, ColCount() - 1);
    const Integer boundary = CellRect(lastCol, 0).right;
    const TRect strip = Rect(boundary - 1, 0, boundary, Height());
    ::InvalidateRect(Handle(), &strip, FALSE);
}

// ---- keys

void TvxCustomDBGrid::KeyDown(Word& key, TShiftState shift)
{
    TCustomControl::KeyDown(key, shift);
    if (key == 0 || !dataLink_->Active() || !CanGridAcceptKey(key, shift)) return;
    if (shift.Contains(ssCtrl))
        CtrlKeyDown(key);
    else
        PlainKeyDown(key, shift);
}

void TvxCustomDBGrid::CtrlKeyDown(Word& key)
{
    TDataSet* dataSet = dataLink_->DataSet();
    switch (key) {
    case VK_PRIOR:
    case VK_UP: dataSet->MoveBy(-dataLink_->ActiveRecord()); break;
    case VK_NEXT:
    case VK_DOWN: dataSet->MoveBy(dataLink_->BufferCount() - dataLink_->ActiveRecord() - 1); break;
    case VK_END: dataSet->Last(); break;
    case VK_HOME: dataSet->First(); break;
    case VK_LEFT: SetSelectedIndex(0); break;
    case VK_RIGHT: SetSelectedIndex(dataSet->FieldCount() - 1); break;
    case VK_DELETE:
        DeleteRecord();
        key = 0;
        break;
    default: break;
    }
}

void TvxCustomDBGrid::DeleteRecord()
{
    TDataSet* dataSet = dataLink_->DataSet();
    if (!keyOptions_.Contains(dgAllowDelete) || readOnly_ || !dataSet->CanModify() || !options_.Contains(dgEditing))
        return;
    if (options_.Contains(dgConfirmDelete) &&
        MessageDlg(ConfirmDelete, mtConfirmation, TMsgDlgButtons{mbOK, mbCancel}, 0) == mrCancel)
        return;
    dataSet->Delete();
    HideEditor();
}

void TvxCustomDBGrid::PlainKeyDown(Word key, TShiftState shift)
{
    TDataSet* dataSet = dataLink_->DataSet();
    const bool wholeRecords = dataSet->FieldCount() == 1 || options_.Contains(dgRowSelect);
    switch (key) {
    case VK_TAB:
        if (!shift.Contains(ssAlt)) TabToColumn(!shift.Contains(ssShift));
        break;
    case VK_RETURN:
        if (keyOptions_.Contains(dgEnterToTab)) TabToColumn(!shift.Contains(ssShift));
        break;
    case VK_ESCAPE:
        dataLink_->Reset();
        if (!options_.Contains(dgAlwaysShowEditor)) {
            HideEditor();
        } else if (OnCheckValue) {
            if (auto* editor = dynamic_cast<TvxInplaceEdit*>(InplaceEditor())) editor->CheckValue(editor->Text());
        }
        break;
    case VK_PRIOR: dataSet->MoveBy(-VisibleRowCount()); break;
    case VK_NEXT: dataSet->MoveBy(VisibleRowCount()); break;
    case VK_END:
        if (wholeRecords) dataSet->Last();
        else SetSelectedIndex(GetFieldCount() - 1);
        break;
    case VK_HOME:
        if (wholeRecords) dataSet->First();
        else SetSelectedIndex(0);
        break;
    case VK_LEFT:
        if (options_.Contains(dgRowSelect)) PriorRow();
        else SetSelectedIndex(GetSelectedIndex() - 1);
        break;
    case VK_RIGHT:
        if (options_.Contains(dgRowSelect)) NextRow();
        else SetSelectedIndex(GetSelectedIndex() + 1);
        break;
    case VK_UP: PriorRow(); break;
    case VK_DOWN: NextRow(); break;
    case VK_INSERT:
        if (!readOnly_ && options_.Contains(dgEditing) && keyOptions_.Contains(dgAllowInsert)) dataSet->Insert();
        break;
    case VK_F2: {
        TField* field = GetSelectedField();
        if (field && !dynamic_cast<TBlobField*>(field) && !IsControlCell(Col(), Row())) {
            SetEditorMode(true);
            if (InplaceEditor()) InplaceEditor()->Deselect();
        }
        break;
    }
    default: break;
    }
}

void TvxCustomDBGrid::KeyPress(char& key)
{
    if (keyOptions_.Contains(dgEnterToTab) && key == '\r') key = '\t';
    if (!options_.Contains(dgAlwaysShowEditor) && key == '\r') dataLink_->UpdateData();
    TCustomGrid::KeyPress(key);
}

void TvxCustomDBGrid::PriorRow()
{
    ScrollLineUp(dataLink_->DataSet());
}

void TvxCustomDBGrid::NextRow()
{
    TDataSet* dataSet = dataLink_->DataSet();
    if (IsUntouchedInsert() && dataSet->Eof()) return;
    ScrollLineDown(dataSet);
    if (dataSet->Eof() && dataSet->CanModify() && !readOnly_ && options_.Contains(dgEditing) &&
        keyOptions_.Contains(dgAllowInsert)) {
        HideControls();
        dataSet->Append();
    }
}

bool TvxCustomDBGrid::IsUntouchedInsert() const
{
    TDataSet* dataSet = dataLink_->DataSet();
    return dataSet->State() == dsInsert && !dataSet->Modified() && !dataLink_->IsModified();
}

// Clears the flags of one mouse click or Tab step on the way out, however it is left.
class TvxCustomDBGrid::TStepFlags {
public:
    explicit TStepFlags(TvxCustomDBGrid* grid) : grid_(grid) {}
    ~TStepFlags()
    {
        grid_->suppressShowEditor_ = false;
        grid_->suppressCellChanged_ = false;
    }
    TStepFlags(const TStepFlags&) = delete;
    TStepFlags& operator=(const TStepFlags&) = delete;

private:
    TvxCustomDBGrid* grid_;
};

void TvxCustomDBGrid::TabToColumn(bool forward)
{
    TStepFlags clearFlags(this);
    const Integer firstCol = TCustomGrid::FixedCols() - indicatorOffset_;
    const Integer lastCol = GetFieldCount() - 1;
    const Integer start = GetSelectedIndex();
    auto tabStop = [&](Integer dataCol) { return TabStops(dataCol + indicatorOffset_); };
    Integer col = start;
    while (true) {
        col += forward ? 1 : -1;
        if (col < firstCol) {
            HideControls();
            if (lastCol != start && tabStop(lastCol)) suppressShowEditor_ = true;
            PriorRow();
            col = lastCol;
        } else if (col > lastCol) {
            HideControls();
            if (start == 0 && tabStop(0)) suppressShowEditor_ = true;
            NextRow();
            col = 0;
        }
        if (col == start) return;
        if (tabStop(col)) break;
        suppressShowEditor_ = false;
    }
    suppressShowEditor_ = false;
    SetSelectedIndex(col);
}

// ---- mouse

void TvxCustomDBGrid::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y)
{
    if (!AcquireFocus()) return;
    if (button == mbLeft && shift.Contains(ssDouble)) {
        DblClick();
        return;
    }
    if (Sizing(x, y)) {
        dataLink_->UpdateData();
        TCustomGrid::MouseDown(button, shift, x, y);
        return;
    }
    const TGridCoord cell = MouseCoord(x, y);
    if (cell.Y >= 0 && cell.Y < titleOffset_) {
        PressTitle(cell, shift);
        const bool moving = ComponentState().Contains(csDesigning) || TCustomGrid::Options().Contains(goColMoving);
        if (moving && cell.X >= TCustomGrid::FixedCols()) {
            if (shift.Contains(ssLeft)) DragColumn(x, y);
            return;
        }
        if (moving) TCustomGrid::MouseDown(button, shift, x, y);
    } else if (cell.Y >= 0 && cell.X >= 0 && dataLink_->Active()) {
        ClickDataCell(cell, button, shift);
    }
    Update();
    TCustomControl::MouseDown(button, shift, x, y);
}

void TvxCustomDBGrid::ClickDataCell(TGridCoord cell, TMouseButton button, TShiftState shift)
{
    {
        TStepFlags clearFlags(this);
        const TGridCoord current{Col(), Row()};
        if (cell == current && !IsControlCell(cell.X, cell.Y) && !IsMemoCell(cell.X, cell.Y)) ShowEditor();
        const bool rowChange = cell.Y >= titleOffset_ && cell.Y != Row();
        if (rowChange) suppressShowEditor_ = true;
        const bool cellChange = !(cell == current);
        suppressCellChanged_ = true;
        if (cell.X >= TCustomGrid::FixedCols()) SetSelectedIndex(cell.X - indicatorOffset_);
        suppressShowEditor_ = false;
        if (rowChange) dataLink_->DataSet()->MoveBy(cell.Y - Row());
        suppressCellChanged_ = false;
        if (cellChange) DoCellChanged();
    }
    if (!options_.Contains(dgMultiSelect)) return;
    const bool shiftOrCtrl = shift.Contains(ssShift) || shift.Contains(ssCtrl);
    const TBookmark anchorBefore = anchorBookmark_;
    if (!IsMultiSelectCheckBoxColumn(cell.X)) {
        if (shiftOrCtrl) {
            if (IsCurrentRecordSelected()) UnselectRecord();
            else SelectRecord();
        } else if (multiSelectOptions_.Contains(msoAutoUnselect) && button == mbLeft) {
            UnselectAll();
            SelectRecord();
        }
    }
    if ((shiftOrCtrl || multiSelectOptions_.Contains(msoAutoUnselect)) &&
        multiSelectOptions_.Contains(msoShiftSelect)) {
        shiftSelectActive_ = true;
        TDataSet* dataSet = dataLink_->DataSet();
        dataSet->CheckBrowseMode();
        if (anchorBookmark_ == anchorBefore) anchorBookmark_ = dataSet->GetBookmark();
    }
}

void TvxCustomDBGrid::PressTitle(TGridCoord cell, TShiftState shift)
{
    if (!titleButtons_ || !shift.Contains(ssLeft) || ComponentState().Contains(csDesigning)) return;
    pressedTitleCol_ = cell.X;
    pressedTitleRow_ = cell.Y;
    InvalidateCell(cell.X, cell.Y);
}

void TvxCustomDBGrid::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y)
{
    const bool sized = Sizing(x, y);
    TCustomGrid::MouseUp(button, shift, x, y);
    if (sized && OnColWidthChanged) OnColWidthChanged(this, MouseCoord(x, y).X);
    if (pressedTitleCol_ >= 0) {
        const Integer col = pressedTitleCol_, row = pressedTitleRow_;
        pressedTitleCol_ = -1;
        InvalidateCell(col, row);
        const TGridCoord cell = MouseCoord(x, y);
        TField* field = GetColField(GetDataCol(col));
        if (cell.X == col && cell.Y == row && y >= 0 && field && !columnDragged_)
            DoTitleButtonClick(field->FieldName());
    }
    pressedTitleRow_ = -1;
}

// ---- the column drag

void TvxCustomDBGrid::DragColumn(Integer x0, Integer y0)
{
    SetCapture(Handle());
    bool dragging = false;
    columnDragged_ = false;
    dragRightLimit_ = Width();
    dragLastX_ = x0;
    try {
        while (GetCapture() == Handle()) {
            POINT cursor;
            GetCursorPos(&cursor);
            ::ScreenToClient(Handle(), &cursor);
            MSG msg;
            const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
            if (got == 0) PostQuitMessage(Integer(msg.wParam));
            if (got <= 0) break;
            if (msg.message == WM_MOUSEMOVE && !dragging) {
                if (std::abs(cursor.x - x0) <= 2 && std::abs(cursor.y - y0) <= 2) continue;
                dragging = true;
                StartColumnDrag(x0, y0);
            } else if (msg.message == WM_MOUSEMOVE) {
                MoveDragImage(cursor.x);
            } else if (msg.message == WM_TIMER && msg.hwnd == Handle() && dragging) {
                ScrollWhileDragging();
            } else if (msg.message == WM_LBUTTONUP && dragging) {
                DropColumn(cursor.x);
                ReleaseCapture();
                DispatchMessageA(&msg);
            } else {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
    } catch (...) {
        if (dragging) KillTimer(Handle(), DragTimer);
        dragBitmap_.reset();
        if (GetCapture() == Handle()) ReleaseCapture();
        columnDragEnded_ = true;
        throw;
    }
    if (dragBitmap_) {
        KillTimer(Handle(), DragTimer);
        dragBitmap_.reset();
        Invalidate();
    }
    if (GetCapture() == Handle()) ReleaseCapture();
    columnDragEnded_ = true;
}

// The pressed title becomes an image that follows the mouse.
void TvxCustomDBGrid::StartColumnDrag(Integer x0, Integer y0)
{
    columnDragged_ = true;
    const TGridCoord pressed = MouseCoord(x0, y0);
    dragStartCol_ = pressed.X;
    const TRect cell = CellRect(pressed.X, pressed.Y);
    const Integer thumb = GetSystemMetrics(SM_CXVSCROLL);
    Integer width = std::max<Integer>(cell.right - cell.left, ColWidths(pressed.X));
    width = std::min(width, Width() - (showVertScrollBar_ ? thumb + 9 : 10) -
                                (options_.Contains(dgIndicator) ? ColWidths(0) + 2 : 0));
    const Integer height = cell.bottom - cell.top;
    dragBitmap_ = std::make_unique<TBitmap>();
    dragBitmap_->SetWidth(std::max<Integer>(width, 1));
    dragBitmap_->SetHeight(std::max<Integer>(height, 1));
    {
        TFlagRaised drawingImage(drawingDragImage_);
        DrawCell(pressed.X, pressed.Y, Rect(0, 0, width, height), TGridDrawState{gdFixed});
        PolyLine(clBlack, {{width - 1, 0}, {width - 1, height - 1}, {-1, height - 1}});
    }
    dragGrabOffset_ = x0 - cell.left;
    dragImageRect_ = TRect{};
    SetTimer(Handle(), DragTimer, 100, nullptr);
    dragRightLimit_ = NeedsHorzScrollBar() ? Width() - thumb : Width();
}

void TvxCustomDBGrid::MoveDragImage(Integer x)
{
    ::InvalidateRect(Handle(), &dragImageRect_, FALSE);
    Update();
    dragImageRect_ = Bounds(x - dragGrabOffset_, dragVertOffset_, dragBitmap_->Width(), dragBitmap_->Height());
    Canvas()->Draw(dragImageRect_.left, dragImageRect_.top, dragBitmap_.get());
    dragMovingRight_ = x > dragLastX_;
    dragLastX_ = x;
}

// The grid scrolls while the image passes its right edge or the left of the first scrollable column shown.
void TvxCustomDBGrid::ScrollWhileDragging()
{
    const bool lastColShown = LeftCol() + VisibleColCount() >= ColCount();
    Integer left = LeftCol();
    if (dragMovingRight_ && dragImageRect_.right > dragRightLimit_ && !lastColShown)
        ++left;
    else if (!dragMovingRight_ && dragImageRect_.left < CellRect(LeftCol(), 0).left &&
             LeftCol() > TCustomGrid::FixedCols())
        --left;
    if (left == LeftCol()) return;
    SetLeftCol(left);
    Update();
    Canvas()->Draw(dragImageRect_.left, dragImageRect_.top, dragBitmap_.get());
}

void TvxCustomDBGrid::DropColumn(Integer x)
{
    KillTimer(Handle(), DragTimer);
    ::InvalidateRect(Handle(), &dragImageRect_, FALSE);
    dragBitmap_.reset();
    const Integer lastCol = ColCount() - 1;
    const TRect lastCell = CellRect(lastCol, 0);
    Integer target;
    if (lastCell.right > lastCell.left && x > lastCell.right)
        target = lastCol;
    else
        target = std::clamp(MouseCoord(x, 0).X, TCustomGrid::FixedCols(), lastCol);
    pressedTitleCol_ = -1;
    if (target == dragStartCol_)
        InvalidateCell(dragStartCol_, 0);
    else
        MoveColumn(dragStartCol_, target);
}

// ---- leaving the grid

void TvxCustomDBGrid::ExitGrid(TMessage& message)
{
    if (dataLink_->Active()) {
        try {
            TDataSet* dataSet = dataLink_->DataSet();
            if (options_.Contains(dgCancelOnExit) && IsUntouchedInsert() && CanCancelOnExit())
                dataSet->Cancel();
            else
                dataLink_->UpdateData();
        } catch (...) {
            SetFocus();
            throw;
        }
    }
    TCustomGrid::Dispatch(message);
}
