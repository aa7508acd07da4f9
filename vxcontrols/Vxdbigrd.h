// The library's data-aware grid core. TvxCustomDBGrid shows the records of its data link's buffer window, one row
// per record and one column per mapped field, with an optional indicator column and title row; which fields it
// shows comes from the dataset's visible fields (UseTFields) or from its Selected lines. TvxGridDataLink keeps the
// field map and the pending-cell-edit flags; TvxInplaceEdit edits a cell; TvxColumn carries one column's footer text;
// TvxIButton is the button of the top-left corner cell.
//
// Grid coordinates count the indicator column and the title row: data column = grid column - IndicatorOffset,
// data row = grid row - TitleOffset (data row 0 is the link's record 0). The vertical scroll bar shows the
// dataset's position, not the grid's rows.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classes/Alignment.h"
#include "db/DataLinks.h"
#include "db/DataSet.h"
#include "vcl/Buttons.h"
#include "vcl/Grids.h"
#include "vxcontrols/vxdbedit.h"

class TImageList;
class TDataSource;
class TvxCustomDBGrid;

enum TvxDBGridOption {
    dgEditing, dgAlwaysShowEditor, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs, dgRowSelect,
    dgAlwaysShowSelection, dgConfirmDelete, dgCancelOnExit, dgWordWrap, dgPerfectRowFit, dgMultiSelect, dgShowFooter,
    dgFooter3DCells, dgNoLimitColSize, dgTrailingEllipsis
};
using TvxDBGridOptions = Set<TvxDBGridOption>;
DUN_ENUM(TvxDBGridOption, "dgEditing", "dgAlwaysShowEditor", "dgTitles", "dgIndicator", "dgColumnResize",
         "dgColLines", "dgRowLines", "dgTabs", "dgRowSelect", "dgAlwaysShowSelection", "dgConfirmDelete",
         "dgCancelOnExit", "dgWordWrap", "dgPerfectRowFit", "dgMultiSelect", "dgShowFooter", "dgFooter3DCells",
         "dgNoLimitColSize", "dgTrailingEllipsis");
// dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs, dgConfirmDelete,
// dgCancelOnExit, dgWordWrap.
constexpr TvxDBGridOptions::Mask vxDefaultGridOptions = 7421;
// A change of these options lays the grid out again.
constexpr TvxDBGridOptions::Mask vxLayoutGridOptions = 0xA36F;

enum TvxDBGridKeyOption { dgEnterToTab, dgAllowDelete, dgAllowInsert };
using TvxDBGridKeyOptions = Set<TvxDBGridKeyOption>;
DUN_ENUM(TvxDBGridKeyOption, "dgEnterToTab", "dgAllowDelete", "dgAllowInsert");

enum TvxMultiSelectOption { msoAutoUnselect, msoShiftSelect };
using TvxMultiSelectOptions = Set<TvxMultiSelectOption>;
DUN_ENUM(TvxMultiSelectOption, "msoAutoUnselect", "msoShiftSelect");

enum TIndicatorColorType { icBlack, icYellow };
DUN_ENUM(TIndicatorColorType, "icBlack", "icYellow");

struct TvxTitleImageAttributes {
    Integer ImageIndex = -1;  // -1: no image
    TAlignment Alignment = taRightJustify;
    Integer Margin = 3;
};

using TCalcCellColorsEvent = std::function<void(TObject* sender, TField* field, TGridDrawState state,
                                                bool highlight, TFont* font, TBrush* brush)>;
using TCalcTitleAttributesEvent = std::function<void(TObject* sender, const std::string& fieldName, TFont* font,
                                                     TBrush* brush, TAlignment& titleAlignment)>;
using TTitleButtonClickEvent = std::function<void(TObject* sender, const std::string& fieldName)>;
using TvxDrawDataCellEvent = std::function<void(TObject* sender, const TRect& rect, TField* field,
                                                TGridDrawState state)>;
using TvxDrawTitleCellEvent = std::function<void(TObject* sender, TCanvas* canvas, TField* field, TRect rect,
                                                 bool& defaultDrawing)>;
using TvxCalcTitleImageEvent = std::function<void(TObject* sender, TField* field,
                                                  TvxTitleImageAttributes& titleImageAttributes)>;
using TDrawFooterCellEvent = std::function<void(TObject* sender, TCanvas* canvas, TRect footerCellRect, TField* field,
                                                const std::string& footerText, bool& defaultDrawing)>;
using TColWidthChangedEvent = std::function<void(TObject* sender, Integer column)>;
using TvxLeftColChangedEvent = std::function<void(TObject* sender, Integer newLeftCol)>;
using TvxFieldChangedEvent = std::function<void(TObject* sender, TField* field)>;

// The link of one grid to its data source: the field map (entry i: the Index of the field data column i shows) and
// the flags that make a cell edit a small transaction.
class TvxGridDataLink : public TDataLink {
    DUN_CLASS(TvxGridDataLink, TDataLink)
public:
    // The most entries the field map holds.
    static constexpr Integer MaxMapSize = 16380;

    explicit TvxGridDataLink(TvxCustomDBGrid* grid);
    ~TvxGridDataLink() override;

    TvxCustomDBGrid* Grid() const { return grid_; }
    Integer FieldCount() const { return fieldCount_; }
    Integer FieldMapSize() const { return Integer(fieldMap_.size()); }
    // Appends the named field to the map; false (nothing changes) when the dataset has no such field.
    bool AddMapping(const std::string& fieldName);
    void ClearMapping();
    // nullptr for an index outside the map.
    TField* GetMappedField(Integer index) const;
    // The dataset has no persistent fields (true without a dataset).
    bool GetDefaultFields() const;

    // The cell editor holds text that is not yet in the field; Modified() says so when an edit begins.
    bool IsModified() const { return modified_; }
    void Modified() { modified_ = true; }
    bool InUpdateData() const { return inUpdateData_; }
    // Esc: throws away the typed cell text, else (after asking, when it changed) the record edit.
    void Reset();
    // Writes the cell editor's text into the field. When the field refuses it, the text stays pending.
    void UpdateData() override;

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void DataSetScrolled(Integer distance) override;
    void EditingChanged() override;
    void LayoutChanged() override;
    void RecordChanged(TField* field) override;

private:
    TvxCustomDBGrid* grid_;
    Integer fieldCount_ = 0;
    std::vector<Integer> fieldMap_;  // its size is the map's capacity
    bool modified_ = false;
    bool inUpdateData_ = false;
};

// The grid's cell editor: it wraps words while the grid's dgWordWrap is set and takes the grid's IME settings. It
// checks every keystroke against the picture mask of the current field's PictureMasks line when that line's grid
// flag is set, reloaded each time it gets the focus, and reports each check to the grid's OnCheckValue.
class TvxInplaceEdit : public TInplaceEdit {
    DUN_CLASS(TvxInplaceEdit, TInplaceEdit)
public:
    explicit TvxInplaceEdit(TvxCustomDBGrid* grid);
    ~TvxInplaceEdit() override;

    bool WordWrap() const { return wordWrap_; }
    // Multi-line and wrapping when set; the window is made anew.
    void SetWordWrap(bool value);
    TvxDBPicture* Picture() const { return picture_.get(); }
    // The field's grid flag is set and its mask is not empty.
    virtual bool UsesPictureMask();
    // True for an empty text or without a mask, else whether the text completes the mask; the grid's
    // OnCheckValue hears the result.
    virtual bool CheckValue(const std::string& text);
    // The picture logic consumed the last key press.
    bool MaskHandled() const { return maskHandled_; }

    void Dispatch(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void KeyPress(char& key) override;
    void KeyDown(Word& key, TShiftState shift) override;
    void KeyUp(Word& key, TShiftState shift) override;

private:
    TvxCustomDBGrid* DBGrid() const;
    bool EnterIsTab() const;
    void PictureKeyPress(char& key);
    // Loads the current field's picture; the cell's starting value is checked.
    void LoadPicture();
    void HandKeyToGrid(Word& key, TShiftState shift);

    std::unique_ptr<TvxDBPicture> picture_;
    bool wordWrap_ = false;
    bool useMaskInGrid_ = false;
    bool maskHandled_ = false;
};

// One mapped column of a grid: its field name and footer text. The grid's DefaultColumn has no field name; its
// footer cannot be written and it is never read-only.
class TvxColumn : public TObject {
    DUN_CLASS(TvxColumn, TObject)
public:
    TvxColumn(TvxCustomDBGrid* grid, const std::string& fieldName) : grid_(grid), fieldName_(fieldName) {}

    TvxCustomDBGrid* Grid() const { return grid_; }
    const std::string& FieldName() const { return fieldName_; }
    const std::string& FooterValue() const { return footerValue_; }
    void SetFooterValue(const std::string& value);
    // The column's Selected line marks it read-only ("T").
    bool IsReadOnly() const;

private:
    friend class TvxCustomDBGrid;
    TvxCustomDBGrid* grid_;
    std::string fieldName_;
    std::string footerValue_;
};

// The button of a grid's top-left cell: placed on a grid it sets the indicator column's width.
class TvxIButton : public TSpeedButton {
    DUN_CLASS(TvxIButton, TSpeedButton)
public:
    explicit TvxIButton(TComponent* owner) : TSpeedButton(owner) {}
    // Stays in the corner: Left and Top are at most 0.
    void SetBounds(Integer left, Integer top, Integer width, Integer height) override;

protected:
    void Loaded() override;

private:
    TvxCustomDBGrid* ParentGrid() const;
};

// The drawing resources every grid of the process shares: the indicator glyphs (current record, record in edit,
// record being inserted) and one off-screen bitmap. The glyphs are the bitmap resources VXDBGARROW, VXDBEDIT and
// VXDBINSERT of the program.
struct TvxGridBitmaps {
    TBitmap* Arrow = nullptr;
    TBitmap* Edit = nullptr;
    TBitmap* Insert = nullptr;
    TBitmap* DrawBitmap = nullptr;
    Integer GridCount = 0;
};
const TvxGridBitmaps& vxGridBitmaps();
// A grid is born: the first one makes the drawing bitmap.
void vxAcquireGridBitmap();
// A grid is gone: the last one frees the drawing bitmap and the glyphs.
void vxReleaseGridBitmaps();

// Flags of vxDrawCellText.
constexpr Integer vxdtShowPrefix = 1;     // "&" marks an accelerator
constexpr Integer vxdtEndEllipsis = 2;    // "..." at the end of a cut text; never wraps
constexpr Integer vxdtWordWrap = 4;
constexpr Integer vxdtKeepBackground = 8;  // the text goes over what the cell already shows

// Draws a cell's text, composed in the shared drawing bitmap (when there is one) and copied to the cell in one piece:
// the cell is filled with the canvas's brush, the text drawn with its font from margin (left, right) and top.
void vxDrawCellText(TCanvas* canvas, TRect rect, Integer margin, Integer flags, TAlignment alignment,
                    const std::string& text, Integer top);
// Fills the rectangle with the canvas's brush colour.
void vxFillCellRect(TCanvas* canvas, const TRect& rect);

// Item 0 to 3 (name, display width, label, read-only flag; a missing flag reads "F") of the field's Selected line;
// value stays as it is when there is no line or the item is out of range.
void vxGetSelectedItem(TStrings* lines, const std::string& fieldName, Integer item, std::string& value);

// Loads the picture a blob field keeps: a bitmap file, optionally behind an 8-byte header (the 16-bit values 1 and
// 256, then the 32-bit length of the rest). A blob that is no readable bitmap leaves the bitmap as it was.
void vxLoadBitmapFromBlob(TBitmap* bitmap, TField* field);
// The raster operation of a name ("Source Copy", "Source Paint", ..., "Merge Paint"); SRCCOPY for any other.
TCopyMode vxRasterOpByName(const std::string& name);

class TvxCustomDBGrid : public TCustomGrid {
    DUN_CLASS(TvxCustomDBGrid, TCustomGrid)
    friend class TvxGridDataLink;
    friend class TvxInplaceEdit;
    friend class TvxDBCustomEdit;

public:
    explicit TvxCustomDBGrid(TComponent* owner);
    ~TvxCustomDBGrid() override;

    // ---- fields and the data link
    TvxGridDataLink* DataLink() const { return dataLink_.get(); }
    TDataSource* DataSource() const { return dataLink_->DataSource(); }
    void SetDataSource(TDataSource* value);
    Integer GetFieldCount() const { return dataLink_->FieldCount(); }
    // The field data column index shows (no activity check); nullptr outside the map.
    TField* GetFields(Integer index) const { return dataLink_->GetMappedField(index); }
    // nullptr unless the link is active and the data column is mapped.
    TField* GetColField(Integer dataCol) const;
    Integer GetSelectedIndex() const { return Col() - indicatorOffset_; }
    // The field of the current data column; nullptr when none is mapped there.
    TField* GetSelectedField() const { return GetFields(GetSelectedIndex()); }
    Integer GetDataCol(Integer col) const { return col - indicatorOffset_; }
    Integer GetDataRow(Integer row) const { return row - titleOffset_; }
    Integer IndicatorOffset() const { return indicatorOffset_; }
    Integer TitleOffset() const { return titleOffset_; }
    bool IsDataCell(Integer col, Integer row) const;
    bool IsMemoCell(Integer col, Integer row) const;
    // The CheckBox ControlType line of the cell's field: its checked (part 3) and unchecked (part 4) values.
    bool GetCheckBoxValues(Integer col, Integer row, std::string& uncheckedText, std::string& checkedText);
    // The column of the "selected" field with a CheckBox line (the multi-select column).
    bool IsMultiSelectCheckBoxColumn(Integer col);

    // ---- columns
    Integer ColumnCount() const { return Integer(columns_.size()); }
    TvxColumn* Columns(Integer index) const { return columns_.at(size_t(index)).get(); }
    TvxColumn* DefaultColumn() const { return defaultColumn_.get(); }
    // The first column of the field (case ignored), else DefaultColumn.
    TvxColumn* ColumnByName(const std::string& fieldName) const;
    // The column of a data column's field; DefaultColumn when no field is mapped there.
    TvxColumn* ColumnByIndex(Integer dataCol) const;

    // ---- setting lines
    // The grid's own Selected lines; callers may change them in place.
    TStrings* Selected() const { return selectedList_.get(); }
    void SetSelected(TStrings* value) { selectedList_->Assign(value); }
    TStrings* ControlType() const { return controlTypeList_.get(); }
    void SetControlType(TStrings* value) { controlTypeList_->Assign(value); }
    bool ControlInfoInDataset() const { return controlInfoInDataset_; }
    void SetControlInfoInDataset(bool value) { controlInfoInDataset_ = value; }
    // The ControlType lines in effect: the dataset's with ControlInfoInDataset (empty without one), else the grid's.
    TStrings* GetControlTypeList();
    // The kind and parameters of the field's last ControlType line; empty when none.
    virtual void GetControlInfo(const std::string& fieldName, std::string& controlType, std::string& parameters);

    // ---- properties
    TvxDBGridOptions Options() const { return options_; }
    void SetOptions(TvxDBGridOptions value);
    TvxDBGridKeyOptions KeyOptions() const { return keyOptions_; }
    void SetKeyOptions(TvxDBGridKeyOptions value) { keyOptions_ = value; }
    TvxMultiSelectOptions MultiSelectOptions() const { return multiSelectOptions_; }
    void SetMultiSelectOptions(TvxMultiSelectOptions value) { multiSelectOptions_ = value; }
    bool UseTFields() const { return useTFields_; }
    void SetUseTFields(bool value) { useTFields_ = value; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }
    bool EditCalculated() const { return editCalculated_; }
    void SetEditCalculated(bool value) { editCalculated_ = value; }
    bool DefaultDrawing() const { return defaultDrawing_; }
    void SetDefaultDrawing(bool value) { defaultDrawing_ = value; }
    TFont* TitleFont() const { return titleFont_.get(); }
    void SetTitleFont(TFont* value);
    TAlignment TitleAlignment() const { return titleAlignment_; }
    void SetTitleAlignment(TAlignment value);
    Integer TitleLines() const { return titleLines_; }
    void SetTitleLines(Integer value);
    bool TitleButtons() const { return titleButtons_; }
    void SetTitleButtons(bool value);
    Integer RowHeightPercent() const { return rowHeightPercent_; }
    void SetRowHeightPercent(Integer value);
    TIndicatorColorType IndicatorColor() const { return indicatorColor_; }
    void SetIndicatorColor(TIndicatorColorType value);
    Integer IndicatorWidth() const { return indicatorWidth_; }
    void SetIndicatorWidth(Integer value) { indicatorWidth_ = value; }
    TvxIButton* IndicatorButton() const { return indicatorButton_; }
    void SetIndicatorButton(TvxIButton* value);
    bool ShowHorzScrollBar() const;
    void SetShowHorzScrollBar(bool value);
    bool ShowVertScrollBar() const { return showVertScrollBar_; }
    void SetShowVertScrollBar(bool value);
    TImageList* ImageList() const { return imageList_; }
    void SetImageList(TImageList* value);
    TImageList* TitleImageList() const { return titleImageList_; }
    void SetTitleImageList(TImageList* value);
    TColor FooterColor() const { return footerColor_; }
    void SetFooterColor(TColor value);
    TColor FooterCellColor() const { return footerCellColor_; }
    void SetFooterCellColor(TColor value);
    Integer FooterHeight() const { return footerHeight_; }
    // A negative height counts as 0 (automatic).
    void SetFooterHeight(Integer value);
    Integer DragVertOffset() const { return dragVertOffset_; }
    void SetDragVertOffset(Integer value) { dragVertOffset_ = value; }
    // Mouse and scroll-bar input first takes the focus.
    bool FocusOnMouse() const { return focusOnMouse_; }
    void SetFocusOnMouse(bool value) { focusOnMouse_ = value; }
    // DataChanged leaves embedded cell controls alone (an embedded lookup combo sets it around its edit).
    bool KeepControlsOnDataChange() const { return keepControlsOnDataChange_; }
    void SetKeepControlsOnDataChange(bool value) { keepControlsOnDataChange_ = value; }
    // The text of the current cell as the editor shows it.
    const std::string& EditText() const { return editText_; }

    // ---- layout
    virtual void LayoutChanged();
    // Always false: the perfect row fit works only while a grid is designed.
    bool PerfectRowFitActive() const { return false; }
    // Makes the grid exactly as high as its rows; true when the height changed.
    bool FitHeightToRows();

    // ---- footer
    TRect ClientRect() override;
    virtual void GetFooterRect(TRect& rect);
    void InvalidateFooter();

    // ---- data
    virtual void UpdateData();
    // Takes the focus for mouse or scroll-bar input when FocusOnMouse; false when the focus could not be taken.
    bool AcquireFocus();
    bool ExecuteAction(TBasicAction* action) override;
    bool UpdateAction(TBasicAction* action) override;
    // Streams the indicator button as the grid's child.
    void GetChildren(const TGetChildProc& proc, TComponent* root) override;
    void WndProc(TMessage& message) override;
    void Dispatch(TMessage& message) override;

    // ---- cells and input
    // Makes the data column current once the edited text passed its check and went into the field.
    void SetSelectedIndex(Integer dataCol);
    // Where drawing goes: the drag image while a column is dragged, else the grid's canvas.
    TCanvas* GetCanvas() const;
    Integer PressedTitleCol() const { return pressedTitleCol_; }
    // The last column drag moved the mouse far enough to be a drag.
    bool ColumnDragged() const { return columnDragged_; }
    // A user's column resize goes into the fields' DisplayWidth or the Selected lines.
    bool WriteBackWidths() const { return writeBackWidths_; }
    void SetWriteBackWidths(bool value) { writeBackWidths_ = value; }

    // ---- multi-selection hooks: nothing here, multi-select grids fill them
    virtual void UnselectAll() {}
    virtual void SelectRecord() {}
    virtual void UnselectRecord() {}

    TNotifyEvent OnColEnter;
    TNotifyEvent OnColExit;
    TvxDrawDataCellEvent OnDrawDataCell;
    TCalcCellColorsEvent OnCalcCellColors;
    TCalcTitleAttributesEvent OnCalcTitleAttributes;
    TvxDrawTitleCellEvent OnDrawTitleCell;
    TvxCalcTitleImageEvent OnCalcTitleImage;
    TTitleButtonClickEvent OnTitleButtonClick;
    TvxValidateEvent OnCheckValue;
    TNotifyEvent OnTopRowChanged;
    TNotifyEvent OnRowChanged;
    TNotifyEvent OnCellChanged;
    TvxLeftColChangedEvent OnLeftColChanged;
    TMovedEvent OnColumnMoved;
    TColWidthChangedEvent OnColWidthChanged;
    TDrawFooterCellEvent OnDrawFooterCell;
    TvxFieldChangedEvent OnFieldChanged;
    TNotifyEvent OnUpdateFooter;

protected:
    // ---- platform overrides
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    void CreateWnd() override;
    TInplaceEdit* CreateEditor() override;
    void DrawCell(Integer col, Integer row, TRect rect, TGridDrawState state) override;
    void TimedScroll(TGridScrollDirections direction) override;
    void TopLeftChanged() override;
    // The rows, then the footer strip with one cell per shown column.
    void Paint() override;
    void ColWidthsChanged() override;
    void ColumnMoved(Integer fromIndex, Integer toIndex) override;
    bool CanEditAcceptKey(char key) override;
    bool CanEditModify() override;
    Integer GetEditLimit() override;
    std::string GetEditMask(Integer col, Integer row) override;
    std::string GetEditText(Integer col, Integer row) override;
    void SetEditText(Integer col, Integer row, const std::string& value) override;
    void KeyDown(Word& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
    void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;

    // ---- drawing slots
    virtual bool HighlightCell(Integer dataCol, Integer dataRow, TGridDrawState state, const std::string& value);
    // Fires OnCalcCellColors; true when the cell's brush is then white.
    virtual bool DoCalcCellColors(TField* field, TGridDrawState state, bool highlight, TFont* font, TBrush* brush);
    virtual void DoCalcTitleImage(TField* field, TvxTitleImageAttributes& attributes);
    virtual void DrawDataCell(const TRect& rect, TField* field, TGridDrawState state);
    // The 3-D lines of a cell that shows a control, once per cell.
    void DrawCellLines(const TRect& rect, Integer col, TGridDrawState state, Integer row);
    // Draws a data cell whose field has a Bitmap, ImageIndex or CheckBox ControlType line; false for any other.
    bool DrawControlCell(Integer col, Integer row, const TRect& rect, TGridDrawState state);
    // A 10 x 10 check box in rect, as a cross or a check mark (CheckBoxInGridStyle).
    virtual void DrawCheckBox(const TRect& rect, Integer col, bool checked, Integer row);

    // ---- layout slots
    virtual void DefineFieldMap();
    virtual void SetColumnAttributes();
    virtual void UpdateRowHeights();

    // ---- data slots
    virtual void LinkActive(bool value);
    virtual void DataChanged();
    virtual void Scroll(Integer distance);
    // Derived grids say which cells hold embedded controls and hide those controls.
    virtual bool IsControlCell(Integer col, Integer row) { return false; }
    virtual void HideControls() {}
    virtual void RefreshSelectedRows() {}
    virtual bool IsRowSelected(Integer dataRow) { return false; }
    virtual bool IsCurrentRecordSelected() { return false; }
    virtual bool CanCancelOnExit() { return true; }
    // ---- record moves of the keys
    void PriorRow();
    // The next record; moving down past the last one appends a record in an editable grid.
    void NextRow();
    void TabToColumn(bool forward);
    // The dataset inserts a record that neither it nor the cell editor has changed.
    bool IsUntouchedInsert() const;
    // The text a data column shows for the link's active record: the field's display text.
    virtual void GetCellText(Integer dataCol, std::string& text);
    virtual TColor GetColumnColor(Integer col) { return Color(); }

    // ---- notifications
    virtual void DoTopRowChanged();
    virtual void DoRowChanged();
    virtual void DoCellChanged();
    virtual void DoFieldChanged(TField* field);
    virtual void ColEnter();
    virtual void ColExit();
    virtual void DoUpdateFooter();
    virtual void DoTitleButtonClick(const std::string& fieldName);
    virtual void DoCalcTitleAttributes(const std::string& fieldName, TFont* font, TBrush* brush,
                                       TAlignment& alignment);
    virtual void DoDrawTitleCell(TCanvas* canvas, TField* field, TRect rect, bool& defaultDrawing);
    virtual void CheckRowChanged();
    virtual void CheckUpdateFooter();

    // Moves a column by its title with the mouse, in a message loop of its own until the button comes up.
    void DragColumn(Integer x0, Integer y0);

    // ---- synchronisation steps
    void UpdateRowCount();
    void UpdateActive();
    void UpdateScrollBar();
    void InvalidateIndicator();

    // The indicator glyph of the active record: arrow, I-beam (edit) or asterisk (insert).
    TBitmap* IndicatorGlyph() const;
    bool InLayout() const { return inLayout_; }

    TColor titleColor_ = clBtnFace;
    std::string editText_;
    // Grid row in which the indicator glyph was last drawn.
    Integer selRow_ = 0;
    bool suppressCellChanged_ = false;
    bool suppressShowEditor_ = false;
    // A Shift range selection and its anchor record (multi-select grids).
    bool shiftSelectActive_ = false;
    TBookmark anchorBookmark_;
    // The values of the multi-select check box column.
    std::string checkedText_;
    std::string uncheckedText_;
    // Non-zero while a layout runs: LayoutChanged and resizing do nothing then.
    Byte layoutLock_ = 0;

private:
    // The link's notifications.
    void RecordChanged(TField* field);
    void FieldChanged(TField* field);
    void UpdateFieldText();

    void TitleFontChanged(TObject* sender);
    void ParentFontChanged(TMessage& message);
    void Resized(TMessage& message);
    void VerticalScroll(Word code, Integer position);
    void ScrollLineUp(TDataSet* dataSet);
    void ScrollLineDown(TDataSet* dataSet);
    void ScrollThumb(TDataSet* dataSet, Integer position);
    // The repaint part of Scroll: true when the move was too far and the whole grid was invalidated.
    bool ScrollRows(Integer distance);
    void ShowEditorAfterScroll();
    void FocusInMdiChild();
    bool MasterMoved();
    void RebuildColumns();
    Integer ColumnWidth(TField* field, const std::vector<std::string>& selectedParts);
    Integer TitleWidth(const std::string& title);
    bool ColumnTabStop(TField* field);
    bool NeedsHorzScrollBar();
    Integer FooterStripHeight();
    Integer LastVisibleCellRight();
    void DrawFooterCell(Integer col, const TRect& strip);
    void DrawFooterCellFrame(const TRect& rect);
    void DrawTitleCell(const TRect& rect, Integer col, Integer dataCol);
    std::string TitleText(TField* field);
    // Draws the image of a title and narrows the text rectangle; false when it is centred (no text then).
    bool DrawTitleImage(const TRect& rect, TField* field, Integer pressed);
    void DrawTitleButtonFrame(const TRect& rect, bool pressed);
    void DrawIndicatorCell(const TRect& rect, Integer row);
    void DrawIndicator(const TRect& rect);
    void DrawDataCellContent(const TRect& rect, Integer dataCol, Integer dataRow, TGridDrawState state);
    // Highlighted cells of a grid that is its form's active control get a focus rectangle.
    bool ShowsCellFocus();
    void DrawCellFocusRect(const TRect& rect, TGridDrawState state);
    // ---- drawing: control cells (the cell being drawn: textRect_, drawState_, drawGridCol_, drawGridRow_)
    // Fills the cell in its colours, with a focus rectangle when drawFocus; true when the cell is highlighted.
    bool PaintControlCellBackground(TField* field, bool drawFocus);
    void DrawBitmapCell(TField* field, const std::string& parameters, bool insertedRow);
    // The field whose blob holds the picture: the field itself, or the result field of a lookup field's record;
    // nullptr when that record is not found, and for calculated fields.
    TField* PictureSourceField(TField* field);
    void DrawFittedBitmap(TBitmap* picture, const std::string& fitMode);
    void DrawImageIndexCell(TField* field, const std::string& parameters);
    // The image list's image the field's value names; -1 for none (null, negative, beyond the list).
    Integer CellImageIndex(TField* field);
    void DrawCheckBoxCell(TField* field, const std::string& parameters);
    void WriteCellText(const std::string& text, TAlignment alignment);
    void PolyLine(TColor color, std::initializer_list<TPoint> points);
    // ---- input steps
    class TStepFlags;
    bool LeavesInvalidCell();
    void CtrlKeyDown(Word& key);
    void PlainKeyDown(Word key, TShiftState shift);
    void DeleteRecord();
    void ClickDataCell(TGridCoord cell, TMouseButton button, TShiftState shift);
    void PressTitle(TGridCoord cell, TShiftState shift);
    void StartColumnDrag(Integer x0, Integer y0);
    void MoveDragImage(Integer x);
    void ScrollWhileDragging();
    void DropColumn(Integer x);
    void ExitGrid(TMessage& message);
    void WriteWidths();

    std::unique_ptr<TStringList> selectedList_;
    std::unique_ptr<TFont> titleFont_;
    TColor footerColor_ = clBtnFace;
    TColor footerCellColor_ = clBtnFace;
    Integer footerHeight_ = 0;
    bool readOnly_ = false;
    bool inLayout_ = false;
    TvxDBGridOptions options_ = TvxDBGridOptions::FromMask(vxDefaultGridOptions);
    TvxDBGridKeyOptions keyOptions_{dgAllowDelete, dgAllowInsert};
    Byte titleOffset_ = 1;
    Byte indicatorOffset_ = 1;
    bool defaultDrawing_ = true;
    bool selfChangingTitleFont_ = false;
    std::unique_ptr<TvxGridDataLink> dataLink_;
    TIndicatorColorType indicatorColor_ = icBlack;
    TAlignment titleAlignment_ = taLeftJustify;
    Integer rowHeightPercent_ = 100;
    Integer titleLines_ = 1;
    bool showVertScrollBar_ = true;
    bool titleButtons_ = false;
    bool editCalculated_ = false;
    bool useTFields_ = true;
    Integer indicatorWidth_ = 11;
    TvxIButton* indicatorButton_ = nullptr;
    TImageList* imageList_ = nullptr;
    TImageList* titleImageList_ = nullptr;
    bool inUpdateRowCount_ = false;
    TvxMultiSelectOptions multiSelectOptions_;
    std::vector<std::unique_ptr<TvxColumn>> columns_;
    std::unique_ptr<TStringList> controlTypeList_;
    std::unique_ptr<TStringList> noControlTypes_;
    bool controlInfoInDataset_ = true;
    bool pendingColEnter_ = false;
    TBookmark rowBookmark_;
    TBookmark masterBookmark_;
    Integer lastCol_ = -1;
    bool footerDirty_ = false;
    std::unique_ptr<TvxColumn> defaultColumn_;
    bool focusOnMouse_ = true;
    Integer dragVertOffset_ = 15;
    bool keepControlsOnDataChange_ = false;
    // ---- the cell being drawn
    TRect textRect_{};
    TGridDrawState drawState_;
    Integer drawGridCol_ = 0;
    Integer drawGridRow_ = 0;
    bool focusRectDrawn_ = false;
    bool cellLinesDone_ = false;
    bool whiteCellBrush_ = false;
    bool forceLeftAlign_ = false;
    Integer drawRow_ = 0;
    Integer drawCol_ = 0;
    // ---- input
    bool inColumnChange_ = false;
    Integer pressedTitleCol_ = -1;
    Integer pressedTitleRow_ = -1;
    // ---- the column drag
    bool columnDragged_ = false;
    bool columnDragEnded_ = false;
    bool drawingDragImage_ = false;
    std::unique_ptr<TBitmap> dragBitmap_;
    TRect dragImageRect_{};
    Integer dragStartCol_ = 0;
    Integer dragGrabOffset_ = 0;
    Integer dragLastX_ = 0;
    bool dragMovingRight_ = false;
    Integer dragRightLimit_ = 0;
    bool writeBackWidths_ = true;
};
