// Grids: TCustomGrid lays out columns and rows of cells (fixed ones at the top and left), scrolls, selects, sizes and
// moves columns and rows by mouse and edits a cell in an in-place editor; TDrawGrid draws through an event and
// TStringGrid keeps a text per cell. All geometry follows ClientRect, which descendants may narrow.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "rtl/Exceptions.h"
#include "vcl/Mask.h"

class EInvalidGridOperation : public Exception { public: using Exception::Exception; };

enum TGridOption { goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect, goDrawFocusSelected,
                   goRowSizing, goColSizing, goRowMoving, goColMoving, goEditing, goTabs, goRowSelect,
                   goAlwaysShowEditor, goThumbTracking };
using TGridOptions = Set<TGridOption>;
DUN_ENUM(TGridOption, "goFixedVertLine", "goFixedHorzLine", "goVertLine", "goHorzLine", "goRangeSelect",
         "goDrawFocusSelected", "goRowSizing", "goColSizing", "goRowMoving", "goColMoving", "goEditing", "goTabs",
         "goRowSelect", "goAlwaysShowEditor", "goThumbTracking");
enum TGridDrawStateItem { gdSelected, gdFocused, gdFixed };
using TGridDrawState = Set<TGridDrawStateItem>;
enum TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };
enum TGridScrollDirection { sdLeft, sdRight, sdUp, sdDown };
using TGridScrollDirections = Set<TGridScrollDirection>;

struct TGridCoord {
    Integer X = 0;
    Integer Y = 0;
    bool operator==(const TGridCoord&) const = default;
};
struct TGridRect {
    Integer Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const TGridRect&) const = default;
};

class TCustomGrid;

using TDrawCellEvent = std::function<void(TObject* sender, Integer col, Integer row, TRect rect, TGridDrawState state)>;
using TSelectCellEvent = std::function<void(TObject* sender, Integer col, Integer row, bool& canSelect)>;
using TGetEditEvent = std::function<void(TObject* sender, Integer col, Integer row, std::string& value)>;
using TSetEditEvent = std::function<void(TObject* sender, Integer col, Integer row, const std::string& value)>;
using TMovedEvent = std::function<void(TObject* sender, Integer fromIndex, Integer toIndex)>;

// The cell editor of a grid: a borderless masked edit placed over the current cell.
class TInplaceEdit : public TCustomMaskEdit {
    DUN_CLASS(TInplaceEdit, TCustomMaskEdit)
public:
    explicit TInplaceEdit(TComponent* owner);

    TCustomGrid* Grid() const { return grid_; }
    // Loads the current cell's mask, limit and text from the grid.
    virtual void UpdateContents();
    // Places the editor over the rectangle and shows it.
    void Move(const TRect& rect);
    void Hide() override;
    bool PosEqual(const TRect& rect) const;
    void Deselect();
    void Dispatch(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void KeyDown(Word& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void KeyUp(Word& key, TShiftState shift) override;
    void DblClick() override;

private:
    friend class TCustomGrid;
    // Keys the editor does not use itself move the grid.
    bool KeyBelongsToGrid(Word key, TShiftState shift);
    TCustomGrid* grid_ = nullptr;
};

class TCustomGrid : public TCustomControl {
    DUN_CLASS(TCustomGrid, TCustomControl)
    friend class TInplaceEdit;

public:
    explicit TCustomGrid(TComponent* owner);
    ~TCustomGrid() override;

    Integer ColCount() const { return colCount_; }
    void SetColCount(Integer value);
    Integer RowCount() const { return rowCount_; }
    void SetRowCount(Integer value);
    Integer FixedCols() const { return fixedCols_; }
    void SetFixedCols(Integer value);
    Integer FixedRows() const { return fixedRows_; }
    void SetFixedRows(Integer value);
    Integer Col() const { return current_.X; }
    void SetCol(Integer value);
    Integer Row() const { return current_.Y; }
    void SetRow(Integer value);
    Integer LeftCol() const { return topLeft_.X; }
    void SetLeftCol(Integer value);
    Integer TopRow() const { return topLeft_.Y; }
    void SetTopRow(Integer value);
    // Scrollable columns (rows) that fit whole from LeftCol (TopRow); at least 1.
    Integer VisibleColCount();
    Integer VisibleRowCount();
    Integer ColWidths(Integer index) const;
    void SetColWidths(Integer index, Integer value);
    Integer RowHeights(Integer index) const;
    void SetRowHeights(Integer index, Integer value);
    bool TabStops(Integer index) const;
    void SetTabStops(Integer index, bool value);
    Integer DefaultColWidth() const { return defaultColWidth_; }
    void SetDefaultColWidth(Integer value);
    Integer DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(Integer value);
    Integer GridLineWidth() const { return gridLineWidth_; }
    void SetGridLineWidth(Integer value);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle value);
    TGridOptions Options() const { return options_; }
    void SetOptions(TGridOptions value);
    TColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(TColor value) { fixedColor_ = value; Invalidate(); }
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle value) { borderStyle_ = value; RecreateWnd(); }
    TGridRect Selection() const;
    void SetSelection(const TGridRect& value);
    TGridState GridState() const { return gridState_; }
    // A canvas on the grid's window that also measures and draws outside painting.
    TCanvas* Canvas() const { return canvas_.get(); }

    // The cell's rectangle in client coordinates; empty when the cell is not on screen.
    TRect CellRect(Integer col, Integer row);
    // The cell under a client point; -1 for a coordinate outside the cells.
    TGridCoord MouseCoord(Integer x, Integer y);
    bool EditorMode() const { return editorMode_; }
    void SetEditorMode(bool value);
    void ShowEditor();
    void HideEditor();
    void InvalidateEditor();
    TInplaceEdit* InplaceEditor() const { return inplaceEdit_; }
    void MoveColumn(Integer fromIndex, Integer toIndex);
    void MoveRow(Integer fromIndex, Integer toIndex);
    void InvalidateCell(Integer col, Integer row);
    void InvalidateCol(Integer col);
    void InvalidateRow(Integer row);

    void Dispatch(TMessage& message) override;

protected:
    // -- operations descendants override
    virtual void DrawCell(Integer col, Integer row, TRect rect, TGridDrawState state) = 0;
    void Paint() override;
    virtual TInplaceEdit* CreateEditor();
    virtual bool CanEditAcceptKey(char key) { return true; }
    virtual bool CanGridAcceptKey(Word key, TShiftState shift) { return true; }
    virtual bool CanEditModify() { return options_.Contains(goEditing); }
    virtual bool CanEditShow();
    virtual Integer GetEditLimit() { return 0; }
    virtual std::string GetEditMask(Integer col, Integer row) { return ""; }
    virtual std::string GetEditText(Integer col, Integer row) { return ""; }
    virtual void SetEditText(Integer col, Integer row, const std::string& value) {}
    virtual void ColumnMoved(Integer fromIndex, Integer toIndex) {}
    virtual void RowMoved(Integer fromIndex, Integer toIndex) {}
    virtual void TimedScroll(TGridScrollDirections direction);
    virtual void ColWidthsChanged();
    virtual void RowHeightsChanged();
    virtual void TopLeftChanged();
    virtual bool SelectCell(Integer col, Integer row) { return true; }
    virtual void SizeChanged(Integer oldColCount, Integer oldRowCount) {}
    void KeyDown(Word& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
    void MouseMove(TShiftState shift, Integer x, Integer y) override;
    void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
    void DblClick() override;

    // -- helpers descendants call
    // The screen rectangle of a block of cells, clipped to what is visible.
    TRect BoxRect(Integer left, Integer top, Integer right, Integer bottom);
    // The point is on a column (row) border where the mouse may size it.
    bool Sizing(Integer x, Integer y);
    // Makes (col, row) current; the anchor follows unless moveAnchor is false; show scrolls it into view.
    void MoveColRow(Integer col, Integer row, bool moveAnchor, bool show);
    void FocusCell(Integer col, Integer row, bool moveAnchor);
    // Enters the mouse-selection state with its scrolling timer, as a press on a cell does.
    void BeginSelecting();
    // Writes the editor's text to the cell it edits.
    void UpdateText();
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void PaintWindow(HDC dc) override;
    void BoundsChanged() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    struct TAxis;  // the geometry of one direction, computed from the client rectangle
    TAxis HorzAxis();
    TAxis VertAxis();
    bool CalcSizingState(Integer x, Integer y, TGridState& state, Integer& index, Integer& sizingPos,
                         Integer& sizingOffset);
    void MoveTopLeft(Integer left, Integer top);
    void ClampInView();
    void UpdateScrollRange();
    void ScrollMessage(bool horizontal, Word code, Integer pos);
    void SelectionMoved(const TGridRect& oldSelection);
    void InvalidateGridRect(const TGridRect& cells);
    void UpdateEdit();
    void HideEdit();
    void PaintGridLines(const TAxis& horz, const TAxis& vert);
    void RelocateEditor();
    void StartDragScroll();
    void StopDragScroll();
    void DragScrollTick();
    void ResizeLists();
    Integer MaxLeftCol();
    Integer MaxTopRow();
    void EditorChanged();

    std::unique_ptr<TControlCanvas> canvas_;
    Integer colCount_ = 5, rowCount_ = 5, fixedCols_ = 1, fixedRows_ = 1;
    Integer defaultColWidth_ = 64, defaultRowHeight_ = 24, gridLineWidth_ = 1;
    std::vector<Integer> colWidths_, rowHeights_;  // empty: every size is the default
    std::vector<bool> tabStops_;
    TScrollStyle scrollBars_ = ssBoth;
    TGridOptions options_{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
    TColor fixedColor_ = clBtnFace;
    TFormBorderStyle borderStyle_ = bsSingle;
    TGridCoord current_{1, 1}, anchor_{1, 1}, topLeft_{1, 1};
    bool editorMode_ = false;
    TInplaceEdit* inplaceEdit_ = nullptr;
    Integer inplaceCol_ = -1, inplaceRow_ = -1;
    TGridState gridState_ = gsNormal;
    Integer sizingIndex_ = 0, sizingPos_ = 0, sizingOffset_ = 0;
    Integer moveIndex_ = 0, movePos_ = 0;
    bool dragTimerOn_ = false;
    bool loadingEditor_ = false;
};

class TDrawGrid : public TCustomGrid {
    DUN_CLASS(TDrawGrid, TCustomGrid)
public:
    explicit TDrawGrid(TComponent* owner) : TCustomGrid(owner) {}
    static void Publish(TPublisher<TDrawGrid>& p);
    bool DefaultDrawing() const { return defaultDrawing_; }
    void SetDefaultDrawing(bool value) { defaultDrawing_ = value; Invalidate(); }

    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;
    TGetEditEvent OnGetEditMask;
    TGetEditEvent OnGetEditText;
    TSetEditEvent OnSetEditText;
    TMovedEvent OnColumnMoved;
    TMovedEvent OnRowMoved;
    TNotifyEvent OnTopLeftChanged;

protected:
    void DrawCell(Integer col, Integer row, TRect rect, TGridDrawState state) override;
    bool SelectCell(Integer col, Integer row) override;
    std::string GetEditMask(Integer col, Integer row) override;
    std::string GetEditText(Integer col, Integer row) override;
    void SetEditText(Integer col, Integer row, const std::string& value) override;
    void ColumnMoved(Integer fromIndex, Integer toIndex) override;
    void RowMoved(Integer fromIndex, Integer toIndex) override;
    void TopLeftChanged() override;

    bool defaultDrawing_ = true;
};

class TStringGrid : public TDrawGrid {
    DUN_CLASS(TStringGrid, TDrawGrid)
public:
    explicit TStringGrid(TComponent* owner) : TDrawGrid(owner) {}
    std::string Cells(Integer col, Integer row) const;
    void SetCells(Integer col, Integer row, const std::string& value);
    TObject* Objects(Integer col, Integer row) const;
    void SetObjects(Integer col, Integer row, TObject* value);

protected:
    void DrawCell(Integer col, Integer row, TRect rect, TGridDrawState state) override;
    std::string GetEditText(Integer col, Integer row) override;
    void SetEditText(Integer col, Integer row, const std::string& value) override;
    void ColumnMoved(Integer fromIndex, Integer toIndex) override;
    void RowMoved(Integer fromIndex, Integer toIndex) override;

private:
    struct TCellData {
        std::string Text;
        TObject* Object = nullptr;
    };
    // Cells by (column, row); columns and rows move by renumbering.
    std::map<std::pair<Integer, Integer>, TCellData> cells_;
};
