#include "vcl/Grids.h"

#include <algorithm>
#include <utility>

#include "vcl/Forms.h"

namespace {

constexpr const char* IndexOutOfRange = "Grid index out of range";
constexpr const char* FixedColTooBig = "Fixed column count must be less than column count";
constexpr const char* FixedRowTooBig = "Fixed row count must be less than row count";
constexpr UINT_PTR DragScrollTimer = 1;
constexpr UINT DragScrollInterval = 60;
constexpr Integer SizingZone = 7;  // width of the band around a line where the mouse sizes

// Where a cell ends up when another one moves from -> to.
void MoveAdjust(Integer& cell, Integer from, Integer to)
{
    if (cell == from)
        cell = to;
    else if (from < to && cell > from && cell <= to)
        --cell;
    else if (from > to && cell >= to && cell < from)
        ++cell;
}

template <class T>
void MoveItem(std::vector<T>& items, Integer from, Integer to)
{
    T item = items[from];
    items.erase(items.begin() + from);
    items.insert(items.begin() + to, item);
}

}  // namespace

// ---- TInplaceEdit

TInplaceEdit::TInplaceEdit(TComponent* owner) : TCustomMaskEdit(owner)
{
    grid_ = dynamic_cast<TCustomGrid*>(owner);
    borderStyle_ = bsNone;
    tabStop_ = false;
    visible_ = false;
    autoSelect_ = false;
}

void TInplaceEdit::CreateParams(TCreateParams& params)
{
    TCustomMaskEdit::CreateParams(params);
    params.Style |= ES_MULTILINE;
}

void TInplaceEdit::UpdateContents()
{
    grid_->loadingEditor_ = true;
    try {
        SetText("");
        SetEditMask(grid_->GetEditMask(grid_->Col(), grid_->Row()));
        SetText(grid_->GetEditText(grid_->Col(), grid_->Row()));
        SetMaxLength(grid_->GetEditLimit());
    } catch (...) {
        grid_->loadingEditor_ = false;
        throw;
    }
    grid_->loadingEditor_ = false;
}

void TInplaceEdit::Move(const TRect& rect)
{
    SetBounds(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    SetVisible(true);
}

void TInplaceEdit::Hide()
{
    if (!Visible()) return;
    SetVisible(false);
}

bool TInplaceEdit::PosEqual(const TRect& rect) const
{
    const TRect bounds = BoundsRect();
    return EqualRect(&bounds, &rect) != 0;
}

void TInplaceEdit::Deselect()
{
    const Integer end = Integer(EditText().size());
    SetSelStart(end);
    SetSelLength(0);
}

bool TInplaceEdit::KeyBelongsToGrid(Word key, TShiftState shift)
{
    const bool forwardMovement = grid_->Options().Contains(goAlwaysShowEditor);
    const Integer length = Integer(EditText().size());
    switch (key) {
    case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT: case VK_ESCAPE:
        return true;
    case VK_INSERT:
        return shift.Empty();
    case VK_LEFT: case VK_HOME:
        return forwardMovement && SelStart() == 0 && SelLength() == 0;
    case VK_RIGHT: case VK_END:
        return forwardMovement && SelStart() >= length && SelLength() == 0;
    case VK_TAB:
        return !shift.Contains(ssAlt);
    default:
        return false;
    }
}

void TInplaceEdit::KeyDown(Word& key, TShiftState shift)
{
    if (KeyBelongsToGrid(key, shift)) {
        grid_->KeyDown(key, shift);
        key = 0;
        return;
    }
    if (key == VK_DELETE && !grid_->CanEditModify()) key = 0;
    if (key != 0) TCustomMaskEdit::KeyDown(key, shift);
}

void TInplaceEdit::KeyPress(char& key)
{
    grid_->KeyPress(key);
    const unsigned char ch = static_cast<unsigned char>(key);
    if (ch >= 32 && !grid_->CanEditAcceptKey(key)) {
        key = 0;
        MessageBeep(0);
    }
    switch (key) {
    case '\t':
    case '\x1b':
        key = 0;
        break;
    case '\r':
        if (SelStart() == 0 && SelLength() == Integer(EditText().size()))
            Deselect();
        else
            SelectAll();
        key = 0;
        break;
    default:
        if ((key == '\b' || key == 22 || key == 24 || static_cast<unsigned char>(key) >= 32) &&
            !grid_->CanEditModify())
            key = 0;
        break;
    }
    if (key != 0) TCustomMaskEdit::KeyPress(key);
}

void TInplaceEdit::KeyUp(Word& key, TShiftState shift)
{
    grid_->KeyUp(key, shift);
}

void TInplaceEdit::DblClick()
{
    grid_->DblClick();
}

void TInplaceEdit::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case WM_GETDLGCODE:
        TCustomMaskEdit::Dispatch(message);
        if (grid_->Options().Contains(goTabs)) message.Result |= DLGC_WANTTAB;
        return;
    case CN_COMMAND:
        TCustomMaskEdit::Dispatch(message);
        if (HIWORD(message.WParam) == EN_CHANGE) grid_->EditorChanged();
        return;
    default:
        TCustomMaskEdit::Dispatch(message);
    }
}

// ---- TCustomGrid geometry

struct TCustomGrid::TAxis {
    Integer LineWidth = 0;
    Integer FixedCount = 0, First = 0, Count = 0;
    Integer Extent = 0;            // client width or height
    Integer FixedBoundary = 0;     // where the scrolled cells start
    Integer GridBoundary = 0;      // where the drawn cells end
    Integer LastFullVisible = 0;   // last cell that shows whole (at least First)
    Integer LastVisible = 0;       // last cell that shows in part
    std::vector<Integer> Sizes;

    // Start of a visible cell, or -1.
    Integer Start(Integer index) const
    {
        if (index < 0 || index >= Count) return -1;
        Integer pos = 0;
        if (index < FixedCount) {
            for (Integer i = 0; i < index; ++i) pos += Sizes[i] + LineWidth;
            return pos;
        }
        if (index < First || index > LastVisible) return -1;
        pos = FixedBoundary;
        for (Integer i = First; i < index; ++i) pos += Sizes[i] + LineWidth;
        return pos;
    }
    // The cell at a position, or -1.
    Integer CellAt(Integer pos) const
    {
        if (pos < 0 || pos >= GridBoundary) return -1;
        Integer start = 0;
        for (Integer i = 0; i < FixedCount; ++i) {
            start += Sizes[i] + LineWidth;
            if (pos < start) return i;
        }
        for (Integer i = First; i < Count; ++i) {
            start += Sizes[i] + LineWidth;
            if (pos < start) return i;
        }
        return -1;
    }
};

namespace {

template <class TAxisT>
void CalcAxis(TAxisT& axis)
{
    for (Integer i = 0; i < axis.FixedCount; ++i) axis.FixedBoundary += axis.Sizes[i] + axis.LineWidth;
    axis.GridBoundary = axis.FixedBoundary;
    axis.LastFullVisible = axis.First;
    Integer full = axis.FixedBoundary;
    for (Integer i = axis.First; i < axis.Count; ++i) {
        full += axis.Sizes[i] + axis.LineWidth;
        if (full > axis.Extent) {
            axis.GridBoundary = axis.Extent;
            break;
        }
        axis.LastFullVisible = i;
        axis.GridBoundary = full;
    }
    axis.LastVisible = axis.First - 1;
    Integer pos = axis.FixedBoundary;
    for (Integer i = axis.First; i < axis.Count && pos < axis.Extent; ++i) {
        axis.LastVisible = i;
        pos += axis.Sizes[i] + axis.LineWidth;
    }
}

}  // namespace

TCustomGrid::TAxis TCustomGrid::HorzAxis()
{
    TAxis axis;
    axis.LineWidth = options_.Contains(goVertLine) ? gridLineWidth_ : 0;
    axis.FixedCount = fixedCols_;
    axis.First = topLeft_.X;
    axis.Count = colCount_;
    axis.Extent = ClientRect().right;
    axis.Sizes = colWidths_;
    CalcAxis(axis);
    return axis;
}

TCustomGrid::TAxis TCustomGrid::VertAxis()
{
    TAxis axis;
    axis.LineWidth = options_.Contains(goHorzLine) ? gridLineWidth_ : 0;
    axis.FixedCount = fixedRows_;
    axis.First = topLeft_.Y;
    axis.Count = rowCount_;
    axis.Extent = ClientRect().bottom;
    axis.Sizes = rowHeights_;
    CalcAxis(axis);
    return axis;
}

// ---- TCustomGrid

TCustomGrid::TCustomGrid(TComponent* owner) : TCustomControl(owner), canvas_(std::make_unique<TControlCanvas>())
{
    canvas_->SetControl(this);
    controlStyle_ = TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks, csClickEvents};
    tabStop_ = true;
    width_ = 320;
    height_ = 120;
    color_ = clWindow;
    ResizeLists();
}

TCustomGrid::~TCustomGrid() = default;

void TCustomGrid::ResizeLists()
{
    colWidths_.resize(colCount_, defaultColWidth_);
    rowHeights_.resize(rowCount_, defaultRowHeight_);
    tabStops_.resize(colCount_, true);
}

void TCustomGrid::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.Style |= WS_TABSTOP;
    if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) params.Style |= WS_VSCROLL;
    if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) params.Style |= WS_HSCROLL;
    AddBorder(params, borderStyle_);
}

void TCustomGrid::CreateWnd()
{
    TCustomControl::CreateWnd();
    UpdateScrollRange();
}

void TCustomGrid::DestroyWnd()
{
    canvas_->FreeHandle();
    TCustomControl::DestroyWnd();
}

void TCustomGrid::PaintWindow(HDC dc)
{
    canvas_->FreeHandle();
    canvas_->SetHandle(dc);
    canvas_->Font()->Assign(Font());
    canvas_->Brush()->SetColor(color_);
    try {
        Paint();
    } catch (...) {
        canvas_->SetHandle(nullptr);
        throw;
    }
    canvas_->SetHandle(nullptr);
}

void TCustomGrid::Notification(TComponent* component, TOperation operation)
{
    TCustomControl::Notification(component, operation);
    if (operation == opRemove && component == inplaceEdit_) {
        inplaceEdit_ = nullptr;
        inplaceCol_ = -1;
        inplaceRow_ = -1;
    }
}

void TCustomGrid::BoundsChanged()
{
    TCustomControl::BoundsChanged();
    UpdateScrollRange();
}

void TCustomGrid::SetColCount(Integer value)
{
    value = std::max(value, 1);
    if (value == colCount_) return;
    if (value <= fixedCols_) SetFixedCols(value - 1);
    const Integer oldCols = colCount_;
    colCount_ = value;
    ResizeLists();
    if (current_.X >= colCount_) MoveColRow(colCount_ - 1, current_.Y, true, true);
    anchor_.X = std::min(anchor_.X, colCount_ - 1);
    if (topLeft_.X >= colCount_) topLeft_.X = std::max(fixedCols_, colCount_ - 1);
    SizeChanged(oldCols, rowCount_);
    UpdateScrollRange();
    Invalidate();
}

void TCustomGrid::SetRowCount(Integer value)
{
    value = std::max(value, 1);
    if (value == rowCount_) return;
    if (value <= fixedRows_) SetFixedRows(value - 1);
    const Integer oldRows = rowCount_;
    rowCount_ = value;
    ResizeLists();
    if (current_.Y >= rowCount_) MoveColRow(current_.X, rowCount_ - 1, true, true);
    anchor_.Y = std::min(anchor_.Y, rowCount_ - 1);
    if (topLeft_.Y >= rowCount_) topLeft_.Y = std::max(fixedRows_, rowCount_ - 1);
    SizeChanged(colCount_, oldRows);
    UpdateScrollRange();
    Invalidate();
}

void TCustomGrid::SetFixedCols(Integer value)
{
    if (value < 0) throw EInvalidGridOperation(IndexOutOfRange);
    if (value >= colCount_) throw EInvalidGridOperation(FixedColTooBig);
    fixedCols_ = value;
    topLeft_.X = value;
    current_.X = std::max(current_.X, value);
    anchor_ = current_;
    HideEdit();
    UpdateScrollRange();
    Invalidate();
}

void TCustomGrid::SetFixedRows(Integer value)
{
    if (value < 0) throw EInvalidGridOperation(IndexOutOfRange);
    if (value >= rowCount_) throw EInvalidGridOperation(FixedRowTooBig);
    fixedRows_ = value;
    topLeft_.Y = value;
    current_.Y = std::max(current_.Y, value);
    anchor_ = current_;
    HideEdit();
    UpdateScrollRange();
    Invalidate();
}

void TCustomGrid::SetCol(Integer value)
{
    if (value != current_.X) FocusCell(value, current_.Y, true);
}

void TCustomGrid::SetRow(Integer value)
{
    if (value != current_.Y) FocusCell(current_.X, value, true);
}

void TCustomGrid::SetLeftCol(Integer value)
{
    if (value < fixedCols_ || value >= colCount_) throw EInvalidGridOperation(IndexOutOfRange);
    MoveTopLeft(value, topLeft_.Y);
}

void TCustomGrid::SetTopRow(Integer value)
{
    if (value < fixedRows_ || value >= rowCount_) throw EInvalidGridOperation(IndexOutOfRange);
    MoveTopLeft(topLeft_.X, value);
}

Integer TCustomGrid::VisibleColCount()
{
    const TAxis axis = HorzAxis();
    return axis.LastFullVisible - axis.First + 1;
}

Integer TCustomGrid::VisibleRowCount()
{
    const TAxis axis = VertAxis();
    return axis.LastFullVisible - axis.First + 1;
}

Integer TCustomGrid::ColWidths(Integer index) const
{
    if (index < 0 || index >= colCount_) return defaultColWidth_;
    return colWidths_[index];
}

void TCustomGrid::SetColWidths(Integer index, Integer value)
{
    if (index < 0 || index >= colCount_) throw EInvalidGridOperation(IndexOutOfRange);
    if (colWidths_[index] == value) return;
    colWidths_[index] = value;
    ColWidthsChanged();
}

Integer TCustomGrid::RowHeights(Integer index) const
{
    if (index < 0 || index >= rowCount_) return defaultRowHeight_;
    return rowHeights_[index];
}

void TCustomGrid::SetRowHeights(Integer index, Integer value)
{
    if (index < 0 || index >= rowCount_) throw EInvalidGridOperation(IndexOutOfRange);
    if (rowHeights_[index] == value) return;
    rowHeights_[index] = value;
    RowHeightsChanged();
}

bool TCustomGrid::TabStops(Integer index) const
{
    return index < 0 || index >= colCount_ || tabStops_[index];
}

void TCustomGrid::SetTabStops(Integer index, bool value)
{
    if (index < 0 || index >= colCount_) throw EInvalidGridOperation(IndexOutOfRange);
    tabStops_[index] = value;
}

void TCustomGrid::SetDefaultColWidth(Integer value)
{
    defaultColWidth_ = value;
    std::fill(colWidths_.begin(), colWidths_.end(), value);
    ColWidthsChanged();
}

void TCustomGrid::SetDefaultRowHeight(Integer value)
{
    defaultRowHeight_ = value;
    std::fill(rowHeights_.begin(), rowHeights_.end(), value);
    RowHeightsChanged();
}

void TCustomGrid::SetGridLineWidth(Integer value)
{
    if (value == gridLineWidth_) return;
    gridLineWidth_ = value;
    ColWidthsChanged();
    RowHeightsChanged();
}

void TCustomGrid::SetScrollBars(TScrollStyle value)
{
    if (value == scrollBars_) return;
    scrollBars_ = value;
    RecreateWnd();
}

void TCustomGrid::SetOptions(TGridOptions value)
{
    if (value == options_) return;
    if (!value.Contains(goEditing) || value.Contains(goRowSelect)) HideEditor();
    options_ = value;
    if (options_.Contains(goAlwaysShowEditor)) SetEditorMode(true);
    if (options_.Contains(goRowSelect)) anchor_ = current_;
    UpdateScrollRange();
    Invalidate();
}

TGridRect TCustomGrid::Selection() const
{
    TGridRect rect{std::min(anchor_.X, current_.X), std::min(anchor_.Y, current_.Y), std::max(anchor_.X, current_.X),
                   std::max(anchor_.Y, current_.Y)};
    if (options_.Contains(goRowSelect)) {
        rect.Left = fixedCols_;
        rect.Right = colCount_ - 1;
    }
    return rect;
}

void TCustomGrid::SetSelection(const TGridRect& value)
{
    anchor_ = {value.Left, value.Top};
    current_ = {value.Right, value.Bottom};
    ClampInView();
    Invalidate();
}

TRect TCustomGrid::BoxRect(Integer left, Integer top, Integer right, Integer bottom)
{
    const TAxis horz = HorzAxis(), vert = VertAxis();
    auto span = [](const TAxis& axis, Integer first, Integer last, Integer& from, Integer& to) {
        from = -1;
        to = -1;
        for (Integer i = first; i <= last; ++i) {
            const Integer start = axis.Start(i);
            if (start < 0) continue;
            if (from < 0) from = start;
            to = std::min(start + axis.Sizes[i], axis.Extent);
        }
        return from >= 0;
    };
    Integer x1, x2, y1, y2;
    if (!span(horz, std::min(left, right), std::max(left, right), x1, x2) ||
        !span(vert, std::min(top, bottom), std::max(top, bottom), y1, y2))
        return Rect(0, 0, 0, 0);
    return Rect(x1, y1, x2, y2);
}

TRect TCustomGrid::CellRect(Integer col, Integer row)
{
    return BoxRect(col, row, col, row);
}

TGridCoord TCustomGrid::MouseCoord(Integer x, Integer y)
{
    const Integer col = HorzAxis().CellAt(x), row = VertAxis().CellAt(y);
    if (col < 0 || row < 0) return {-1, -1};
    return {col, row};
}

void TCustomGrid::InvalidateCell(Integer col, Integer row)
{
    InvalidateGridRect({col, row, col, row});
}

void TCustomGrid::InvalidateCol(Integer col)
{
    InvalidateGridRect({col, 0, col, rowCount_ - 1});
}

void TCustomGrid::InvalidateRow(Integer row)
{
    InvalidateGridRect({0, row, colCount_ - 1, row});
}

void TCustomGrid::InvalidateGridRect(const TGridRect& cells)
{
    if (!HandleAllocated()) return;
    const TRect rect = BoxRect(cells.Left, cells.Top, cells.Right, cells.Bottom);
    ::InvalidateRect(Handle(), &rect, FALSE);
}

// ---- scrolling

Integer TCustomGrid::MaxLeftCol()
{
    const TAxis axis = HorzAxis();
    Integer room = axis.Extent - axis.FixedBoundary;
    Integer col = colCount_;
    while (col > fixedCols_ && room >= colWidths_[col - 1] + axis.LineWidth) room -= colWidths_[--col] + axis.LineWidth;
    return std::max(fixedCols_, std::min(col, colCount_ - 1));
}

Integer TCustomGrid::MaxTopRow()
{
    const TAxis axis = VertAxis();
    Integer room = axis.Extent - axis.FixedBoundary;
    Integer row = rowCount_;
    while (row > fixedRows_ && room >= rowHeights_[row - 1] + axis.LineWidth) room -= rowHeights_[--row] + axis.LineWidth;
    return std::max(fixedRows_, std::min(row, rowCount_ - 1));
}

void TCustomGrid::MoveTopLeft(Integer left, Integer top)
{
    if (left == topLeft_.X && top == topLeft_.Y) return;
    topLeft_ = {left, top};
    TopLeftChanged();
    UpdateScrollRange();
    Invalidate();
}

void TCustomGrid::TopLeftChanged()
{
    RelocateEditor();
}

void TCustomGrid::ClampInView()
{
    if (!HandleAllocated()) return;
    Integer left = topLeft_.X, top = topLeft_.Y;
    if (current_.X >= fixedCols_) {
        if (current_.X < left) left = current_.X;
        while (left < current_.X) {
            TAxis axis = HorzAxis();
            axis.First = left;
            axis.FixedBoundary = 0;
            axis.LastFullVisible = 0;
            axis.LastVisible = 0;
            CalcAxis(axis);
            if (current_.X <= axis.LastFullVisible) break;
            ++left;
        }
    }
    if (current_.Y >= fixedRows_) {
        if (current_.Y < top) top = current_.Y;
        while (top < current_.Y) {
            TAxis axis = VertAxis();
            axis.First = top;
            axis.FixedBoundary = 0;
            axis.LastFullVisible = 0;
            axis.LastVisible = 0;
            CalcAxis(axis);
            if (current_.Y <= axis.LastFullVisible) break;
            ++top;
        }
    }
    MoveTopLeft(left, top);
}

void TCustomGrid::UpdateScrollRange()
{
    if (!HandleAllocated()) return;
    const bool horz = scrollBars_ == ssHorizontal || scrollBars_ == ssBoth;
    const bool vert = scrollBars_ == ssVertical || scrollBars_ == ssBoth;
    if (horz) {
        const Integer maxLeft = MaxLeftCol();
        SetScrollRange(Handle(), SB_HORZ, fixedCols_, maxLeft > fixedCols_ ? maxLeft : fixedCols_, TRUE);
        SetScrollPos(Handle(), SB_HORZ, topLeft_.X, TRUE);
    }
    if (vert) {
        const Integer maxTop = MaxTopRow();
        SetScrollRange(Handle(), SB_VERT, fixedRows_, maxTop > fixedRows_ ? maxTop : fixedRows_, TRUE);
        SetScrollPos(Handle(), SB_VERT, topLeft_.Y, TRUE);
    }
}

void TCustomGrid::ScrollMessage(bool horizontal, Word code, Integer pos)
{
    const Integer first = horizontal ? fixedCols_ : fixedRows_;
    const Integer last = horizontal ? MaxLeftCol() : MaxTopRow();
    const Integer page = horizontal ? VisibleColCount() : VisibleRowCount();
    Integer value = horizontal ? topLeft_.X : topLeft_.Y;
    switch (code) {
    case SB_LINEUP: --value; break;
    case SB_LINEDOWN: ++value; break;
    case SB_PAGEUP: value -= page; break;
    case SB_PAGEDOWN: value += page; break;
    case SB_THUMBPOSITION: value = pos; break;
    case SB_THUMBTRACK:
        if (options_.Contains(goThumbTracking)) value = pos;
        break;
    case SB_TOP: value = first; break;
    case SB_BOTTOM: value = last; break;
    default: break;
    }
    value = std::clamp(value, first, std::max(first, last));
    if (horizontal)
        MoveTopLeft(value, topLeft_.Y);
    else
        MoveTopLeft(topLeft_.X, value);
}

void TCustomGrid::TimedScroll(TGridScrollDirections direction)
{
    if (options_.Contains(goRowSelect)) direction = direction - TGridScrollDirections{sdLeft, sdRight};
    Integer left = topLeft_.X, top = topLeft_.Y;
    TGridCoord drag = current_;
    if (direction.Contains(sdLeft) && left > fixedCols_) drag.X = --left;
    if (direction.Contains(sdRight) && left < MaxLeftCol()) {
        ++left;
        drag.X = std::min(HorzAxis().LastFullVisible + 1, colCount_ - 1);
    }
    if (direction.Contains(sdUp) && top > fixedRows_) drag.Y = --top;
    if (direction.Contains(sdDown) && top < MaxTopRow()) {
        ++top;
        drag.Y = std::min(VertAxis().LastFullVisible + 1, rowCount_ - 1);
    }
    if (left == topLeft_.X && top == topLeft_.Y) return;
    MoveTopLeft(left, top);
    if (gridState_ == gsSelecting) MoveColRow(drag.X, drag.Y, false, false);
    if (gridState_ == gsColMoving) movePos_ = drag.X;
    if (gridState_ == gsRowMoving) movePos_ = drag.Y;
}

void TCustomGrid::StartDragScroll()
{
    if (dragTimerOn_ || !HandleAllocated()) return;
    dragTimerOn_ = SetTimer(Handle(), DragScrollTimer, DragScrollInterval, nullptr) != 0;
}

void TCustomGrid::BeginSelecting()
{
    gridState_ = gsSelecting;
    StartDragScroll();
}

void TCustomGrid::StopDragScroll()
{
    if (!dragTimerOn_) return;
    KillTimer(Handle(), DragScrollTimer);
    dragTimerOn_ = false;
}

void TCustomGrid::DragScrollTick()
{
    POINT point;
    GetCursorPos(&point);
    ::ScreenToClient(Handle(), &point);
    const TAxis horz = HorzAxis(), vert = VertAxis();
    TGridScrollDirections direction;
    if (point.x < horz.FixedBoundary) direction.Include(sdLeft);
    if (point.x >= horz.Extent) direction.Include(sdRight);
    if (gridState_ != gsColMoving) {
        if (point.y < vert.FixedBoundary) direction.Include(sdUp);
        if (point.y >= vert.Extent) direction.Include(sdDown);
    }
    if (!direction.Empty()) TimedScroll(direction);
}

// ---- current cell and selection

void TCustomGrid::MoveColRow(Integer col, Integer row, bool moveAnchor, bool show)
{
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) throw EInvalidGridOperation(IndexOutOfRange);
    if (!SelectCell(col, row)) return;
    if (!options_.Contains(goAlwaysShowEditor)) HideEditor();
    else HideEdit();
    current_ = {col, row};
    if (moveAnchor || !options_.Contains(goRangeSelect)) anchor_ = current_;
    if (show) ClampInView();
    Invalidate();
    UpdateEdit();
    Click();
}

void TCustomGrid::FocusCell(Integer col, Integer row, bool moveAnchor)
{
    MoveColRow(col, row, moveAnchor, true);
}

// ---- editor

TInplaceEdit* TCustomGrid::CreateEditor()
{
    return new TInplaceEdit(this);
}

bool TCustomGrid::CanEditShow()
{
    if (!options_.Contains(goEditing) || options_.Contains(goRowSelect) || !editorMode_ || !HandleAllocated())
        return false;
    if (options_.Contains(goAlwaysShowEditor)) return true;
    const TCustomForm* form = GetParentForm(this);
    return Focused() || (inplaceEdit_ && inplaceEdit_->Focused()) || (form && form->ActiveControl() == this);
}

void TCustomGrid::SetEditorMode(bool value)
{
    if (value)
        ShowEditor();
    else
        HideEditor();
}

void TCustomGrid::ShowEditor()
{
    editorMode_ = true;
    UpdateEdit();
}

void TCustomGrid::HideEditor()
{
    editorMode_ = false;
    try {
        HideEdit();
    } catch (...) {
        editorMode_ = true;
        throw;
    }
}

void TCustomGrid::InvalidateEditor()
{
    inplaceCol_ = -1;
    inplaceRow_ = -1;
    UpdateEdit();
}

void TCustomGrid::UpdateEdit()
{
    if (!CanEditShow()) return;
    if (!inplaceEdit_) {
        inplaceEdit_ = CreateEditor();
        inplaceEdit_->grid_ = this;
        inplaceEdit_->SetParent(this);
    }
    if (inplaceCol_ != current_.X || inplaceRow_ != current_.Y) {
        inplaceCol_ = current_.X;
        inplaceRow_ = current_.Y;
        inplaceEdit_->UpdateContents();
        inplaceEdit_->SelectAll();
    }
    const TRect rect = CellRect(current_.X, current_.Y);
    if (rect.right > rect.left) inplaceEdit_->Move(rect);
    if (Focused()) inplaceEdit_->SetFocus();
}

void TCustomGrid::HideEdit()
{
    if (!inplaceEdit_ || !inplaceEdit_->Visible()) return;
    const bool hadFocus = inplaceEdit_->Focused();
    // A masked text that misses characters keeps the editor open (and the current cell where it is).
    if (hadFocus) inplaceEdit_->ValidateEdit();
    UpdateText();
    inplaceCol_ = -1;
    inplaceRow_ = -1;
    inplaceEdit_->Hide();
    if (hadFocus) SetFocus();
}

void TCustomGrid::RelocateEditor()
{
    if (!inplaceEdit_ || !inplaceEdit_->Visible() || inplaceCol_ < 0) return;
    const TRect rect = CellRect(inplaceCol_, inplaceRow_);
    if (rect.right > rect.left) inplaceEdit_->Move(rect);
}

void TCustomGrid::UpdateText()
{
    if (inplaceEdit_ && inplaceCol_ >= 0 && inplaceRow_ >= 0)
        SetEditText(inplaceCol_, inplaceRow_, inplaceEdit_->Text());
}

void TCustomGrid::EditorChanged()
{
    if (!loadingEditor_) UpdateText();
}

// ---- sizes and moves

void TCustomGrid::ColWidthsChanged()
{
    UpdateScrollRange();
    RelocateEditor();
    Invalidate();
}

void TCustomGrid::RowHeightsChanged()
{
    UpdateScrollRange();
    RelocateEditor();
    Invalidate();
}

void TCustomGrid::MoveColumn(Integer fromIndex, Integer toIndex)
{
    if (fromIndex == toIndex) return;
    if (fromIndex < 0 || toIndex < 0 || fromIndex >= colCount_ || toIndex >= colCount_)
        throw EInvalidGridOperation(IndexOutOfRange);
    MoveItem(colWidths_, fromIndex, toIndex);
    {
        std::vector<char> stops(tabStops_.begin(), tabStops_.end());
        MoveItem(stops, fromIndex, toIndex);
        tabStops_.assign(stops.begin(), stops.end());
    }
    MoveAdjust(current_.X, fromIndex, toIndex);
    MoveAdjust(anchor_.X, fromIndex, toIndex);
    MoveAdjust(inplaceCol_, fromIndex, toIndex);
    Invalidate();
    ColumnMoved(fromIndex, toIndex);
    ColWidthsChanged();
    UpdateEdit();
}

void TCustomGrid::MoveRow(Integer fromIndex, Integer toIndex)
{
    if (fromIndex == toIndex) return;
    if (fromIndex < 0 || toIndex < 0 || fromIndex >= rowCount_ || toIndex >= rowCount_)
        throw EInvalidGridOperation(IndexOutOfRange);
    MoveItem(rowHeights_, fromIndex, toIndex);
    MoveAdjust(current_.Y, fromIndex, toIndex);
    MoveAdjust(anchor_.Y, fromIndex, toIndex);
    MoveAdjust(inplaceRow_, fromIndex, toIndex);
    Invalidate();
    RowMoved(fromIndex, toIndex);
    RowHeightsChanged();
    UpdateEdit();
}

// ---- painting

void TCustomGrid::Paint()
{
    const TAxis horz = HorzAxis(), vert = VertAxis();
    const TGridRect selection = Selection();
    const bool focused = Focused() || (inplaceEdit_ && inplaceEdit_->Focused());
    TCanvas* canvas = Canvas();
    auto visibleCells = [](const TAxis& axis) {
        std::vector<Integer> cells;
        for (Integer i = 0; i < axis.FixedCount; ++i) cells.push_back(i);
        for (Integer i = axis.First; i <= axis.LastVisible; ++i) cells.push_back(i);
        return cells;
    };
    for (Integer row : visibleCells(vert)) {
        for (Integer col : visibleCells(horz)) {
            const Integer x = horz.Start(col), y = vert.Start(row);
            const TRect rect = Rect(x, y, x + horz.Sizes[col], y + vert.Sizes[row]);
            TGridDrawState state;
            canvas->Font()->Assign(Font());
            if (col < fixedCols_ || row < fixedRows_) {
                state.Include(gdFixed);
                canvas->Brush()->SetColor(fixedColor_);
            } else {
                const bool current = col == current_.X && row == current_.Y;
                const bool inSelection = col >= selection.Left && col <= selection.Right &&
                                         row >= selection.Top && row <= selection.Bottom;
                if (current && focused) state.Include(gdFocused);
                const bool highlight = inSelection && (options_.Contains(goRowSelect) ||
                                                       options_.Contains(goDrawFocusSelected) || !current);
                if (inSelection) state.Include(gdSelected);
                if (highlight && (focused || options_.Contains(goRowSelect))) {
                    canvas->Brush()->SetColor(clHighlight);
                    canvas->Font()->SetColor(clHighlightText);
                } else {
                    canvas->Brush()->SetColor(color_);
                }
            }
            canvas->FillRect(rect);
            DrawCell(col, row, rect, state);
            if (state.Contains(gdFocused) && !editorMode_ && !options_.Contains(goRowSelect))
                canvas->DrawFocusRect(rect);
        }
    }
    PaintGridLines(horz, vert);
}

void TCustomGrid::PaintGridLines(const TAxis& horz, const TAxis& vert)
{
    TCanvas* canvas = Canvas();
    const TRect client = ClientRect();
    auto fillLines = [&](const TAxis& axis, bool vertical) {
        if (axis.LineWidth == 0) return;
        for (Integer i = 0; i < axis.Count; ++i) {
            const Integer start = axis.Start(i);
            if (start < 0) continue;
            const Integer line = start + axis.Sizes[i];
            if (line >= axis.Extent) continue;
            canvas->Brush()->SetColor(i < axis.FixedCount ? clBlack : clSilver);
            const Integer otherEnd = vertical ? vert.GridBoundary : horz.GridBoundary;
            canvas->FillRect(vertical ? Rect(line, 0, line + axis.LineWidth, otherEnd)
                                      : Rect(0, line, otherEnd, line + axis.LineWidth));
        }
    };
    fillLines(horz, true);
    fillLines(vert, false);
    canvas->Brush()->SetColor(color_);
    if (horz.GridBoundary < client.right) canvas->FillRect(Rect(horz.GridBoundary, 0, client.right, client.bottom));
    if (vert.GridBoundary < client.bottom)
        canvas->FillRect(Rect(0, vert.GridBoundary, horz.GridBoundary, client.bottom));
}

// ---- mouse

bool TCustomGrid::CalcSizingState(Integer x, Integer y, TGridState& state, Integer& index, Integer& sizingPos,
                                  Integer& sizingOffset)
{
    auto findLine = [&](const TAxis& axis, Integer pos, TGridState newState) {
        const Integer back = axis.LineWidth < SizingZone ? (SizingZone - axis.LineWidth) / 2 : 0;
        const Integer range = std::max(axis.LineWidth, SizingZone);
        for (Integer i = axis.First; i <= axis.LastVisible; ++i) {
            const Integer line = axis.Start(i) + axis.Sizes[i];
            if (line > axis.GridBoundary) break;
            if (pos >= line - back && pos <= line - back + range) {
                state = newState;
                index = i;
                sizingPos = line;
                sizingOffset = line - pos;
                return true;
            }
        }
        return false;
    };
    const TAxis horz = HorzAxis(), vert = VertAxis();
    if (options_.Contains(goColSizing) && y >= 0 && y < vert.FixedBoundary && findLine(horz, x, gsColSizing))
        return true;
    if (options_.Contains(goRowSizing) && x >= 0 && x < horz.FixedBoundary && findLine(vert, y, gsRowSizing))
        return true;
    return false;
}

bool TCustomGrid::Sizing(Integer x, Integer y)
{
    TGridState state = gsNormal;
    Integer index = 0, pos = 0, offset = 0;
    if (gridState_ != gsNormal) return gridState_ == gsColSizing || gridState_ == gsRowSizing;
    return CalcSizingState(x, y, state, index, pos, offset);
}

void TCustomGrid::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y)
{
    if (!Focused() && CanFocus() && !(inplaceEdit_ && inplaceEdit_->Focused())) {
        SetFocus();
        if (!Focused()) return;
    }
    if (button == mbLeft) {
        if (CalcSizingState(x, y, gridState_, sizingIndex_, sizingPos_, sizingOffset_)) {
            SetCapture(Handle());
        } else if (const TGridCoord cell = MouseCoord(x, y); cell.X >= 0) {
            if (options_.Contains(goColMoving) && cell.Y < fixedRows_ && cell.X >= fixedCols_) {
                gridState_ = gsColMoving;
                moveIndex_ = movePos_ = cell.X;
                SetCapture(Handle());
                StartDragScroll();
            } else if (options_.Contains(goRowMoving) && cell.X < fixedCols_ && cell.Y >= fixedRows_) {
                gridState_ = gsRowMoving;
                moveIndex_ = movePos_ = cell.Y;
                SetCapture(Handle());
                StartDragScroll();
            } else if (cell.X >= fixedCols_ && cell.Y >= fixedRows_) {
                if (options_.Contains(goEditing) && !options_.Contains(goAlwaysShowEditor) &&
                    cell == current_) {
                    ShowEditor();
                } else {
                    MoveColRow(cell.X, cell.Y, !(shift.Contains(ssShift) && options_.Contains(goRangeSelect)), true);
                    gridState_ = gsSelecting;
                    SetCapture(Handle());
                    StartDragScroll();
                }
            }
        }
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TCustomGrid::MouseMove(TShiftState shift, Integer x, Integer y)
{
    switch (gridState_) {
    case gsSelecting: {
        const TGridCoord cell = MouseCoord(x, y);
        if (cell.X >= fixedCols_ && cell.Y >= fixedRows_ && !(cell == current_))
            MoveColRow(cell.X, cell.Y, false, false);
        break;
    }
    case gsColSizing:
    case gsRowSizing:
        sizingPos_ = (gridState_ == gsColSizing ? x : y) + sizingOffset_;
        break;
    case gsColMoving:
    case gsRowMoving: {
        const TGridCoord cell = MouseCoord(x, y);
        if (gridState_ == gsColMoving && cell.X >= fixedCols_) movePos_ = cell.X;
        if (gridState_ == gsRowMoving && cell.Y >= fixedRows_) movePos_ = cell.Y;
        break;
    }
    default:
        break;
    }
    TCustomControl::MouseMove(shift, x, y);
}

void TCustomGrid::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y)
{
    const TGridState state = gridState_;
    gridState_ = gsNormal;
    StopDragScroll();
    if (state != gsNormal && GetCapture() == Handle()) ReleaseCapture();
    switch (state) {
    case gsColSizing: {
        const Integer size = x + sizingOffset_ - HorzAxis().Start(sizingIndex_);
        if (size > 1) SetColWidths(sizingIndex_, size);
        break;
    }
    case gsRowSizing: {
        const Integer size = y + sizingOffset_ - VertAxis().Start(sizingIndex_);
        if (size > 1) SetRowHeights(sizingIndex_, size);
        break;
    }
    case gsColMoving:
        if (movePos_ != moveIndex_) MoveColumn(moveIndex_, movePos_);
        break;
    case gsRowMoving:
        if (movePos_ != moveIndex_) MoveRow(moveIndex_, movePos_);
        break;
    default:
        break;
    }
    TCustomControl::MouseUp(button, shift, x, y);
}

void TCustomGrid::DblClick()
{
    TCustomControl::DblClick();
}

// ---- keyboard

void TCustomGrid::KeyDown(Word& key, TShiftState shift)
{
    TCustomControl::KeyDown(key, shift);
    if (key == 0 || !CanGridAcceptKey(key, shift)) return;
    TGridCoord target = current_;
    const bool rowSelect = options_.Contains(goRowSelect);
    const Integer page = VisibleRowCount();
    if (shift.Contains(ssCtrl)) {
        switch (key) {
        case VK_UP: MoveTopLeft(topLeft_.X, std::max(fixedRows_, topLeft_.Y - 1)); return;
        case VK_DOWN: MoveTopLeft(topLeft_.X, std::min(MaxTopRow(), topLeft_.Y + 1)); return;
        case VK_PRIOR: target.Y = topLeft_.Y; break;
        case VK_NEXT: target.Y = VertAxis().LastFullVisible; break;
        case VK_HOME: target = {fixedCols_, fixedRows_}; break;
        case VK_END: target = {colCount_ - 1, rowCount_ - 1}; break;
        default: return;
        }
    } else {
        switch (key) {
        case VK_UP: --target.Y; break;
        case VK_DOWN: ++target.Y; break;
        case VK_LEFT: if (!rowSelect) --target.X; break;
        case VK_RIGHT: if (!rowSelect) ++target.X; break;
        case VK_PRIOR: target.Y -= page; break;
        case VK_NEXT: target.Y += page; break;
        case VK_HOME: if (rowSelect) target.Y = fixedRows_; else target.X = fixedCols_; break;
        case VK_END: if (rowSelect) target.Y = rowCount_ - 1; else target.X = colCount_ - 1; break;
        case VK_TAB:
            if (shift.Contains(ssAlt) || !options_.Contains(goTabs)) return;
            do {
                if (shift.Contains(ssShift)) {
                    if (--target.X < fixedCols_) {
                        if (target.Y <= fixedRows_) return;
                        target = {colCount_ - 1, target.Y - 1};
                    }
                } else if (++target.X >= colCount_) {
                    if (target.Y >= rowCount_ - 1) return;
                    target = {fixedCols_, target.Y + 1};
                }
            } while (!TabStops(target.X) && !(target == current_));
            break;
        case VK_F2:
            SetEditorMode(true);
            if (inplaceEdit_) inplaceEdit_->Deselect();
            return;
        default: return;
        }
    }
    target.X = std::clamp(target.X, fixedCols_, colCount_ - 1);
    target.Y = std::clamp(target.Y, fixedRows_, rowCount_ - 1);
    if (!(target == current_))
        FocusCell(target.X, target.Y, !(shift.Contains(ssShift) && options_.Contains(goRangeSelect)));
}

void TCustomGrid::KeyPress(char& key)
{
    if (!options_.Contains(goAlwaysShowEditor) && key == '\r') {
        if (editorMode_)
            HideEditor();
        else
            ShowEditor();
        key = 0;
    }
    TCustomControl::KeyPress(key);
}

// ---- messages

void TCustomGrid::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case WM_GETDLGCODE:
        message.Result = DLGC_WANTARROWS;
        if (options_.Contains(goTabs) && !options_.Contains(goRowSelect)) message.Result |= DLGC_WANTTAB;
        if (options_.Contains(goEditing)) message.Result |= DLGC_WANTCHARS;
        return;
    case WM_CHAR: {
        const unsigned char ch = static_cast<unsigned char>(message.WParam);
        if (options_.Contains(goEditing) && (ch == '\b' || ch >= 32)) {
            ShowEditor();
            if (inplaceEdit_ && inplaceEdit_->Visible())
                PostMessageA(inplaceEdit_->Handle(), WM_CHAR, message.WParam, message.LParam);
            return;
        }
        break;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (message.LParam == 0) {
            ScrollMessage(message.Msg == WM_HSCROLL, LOWORD(message.WParam), HIWORD(message.WParam));
            return;
        }
        break;
    case WM_TIMER:
        if (message.WParam == DragScrollTimer) {
            DragScrollTick();
            return;
        }
        break;
    case WM_SETCURSOR:
        if (LOWORD(message.LParam) == HTCLIENT && gridState_ == gsNormal) {
            POINT point;
            GetCursorPos(&point);
            ::ScreenToClient(Handle(), &point);
            TGridState state = gsNormal;
            Integer index = 0, pos = 0, offset = 0;
            if (CalcSizingState(point.x, point.y, state, index, pos, offset)) {
                ::SetCursor(LoadCursorA(nullptr, state == gsColSizing ? IDC_SIZEWE : IDC_SIZENS));
                message.Result = 1;
                return;
            }
        }
        break;
    case WM_SIZE:
        TCustomControl::Dispatch(message);
        UpdateScrollRange();
        MoveTopLeft(std::min(topLeft_.X, MaxLeftCol()), std::min(topLeft_.Y, MaxTopRow()));
        return;
    case WM_SETFOCUS:
        TCustomControl::Dispatch(message);
        if (!inplaceEdit_ || !inplaceEdit_->Focused()) {
            Invalidate();
            UpdateEdit();
        }
        return;
    case WM_KILLFOCUS:
        TCustomControl::Dispatch(message);
        Invalidate();
        return;
    case WM_CANCELMODE:
        StopDragScroll();
        gridState_ = gsNormal;
        break;
    default:
        break;
    }
    TCustomControl::Dispatch(message);
}

// ---- TDrawGrid

void TDrawGrid::Publish(TPublisher<TDrawGrid>& p)
{
    p.Property("ColCount", &TDrawGrid::ColCount, &TDrawGrid::SetColCount).Default(5);
    p.Property("RowCount", &TDrawGrid::RowCount, &TDrawGrid::SetRowCount).Default(5);
    p.Property("FixedCols", &TDrawGrid::FixedCols, &TDrawGrid::SetFixedCols).Default(1);
    p.Property("FixedRows", &TDrawGrid::FixedRows, &TDrawGrid::SetFixedRows).Default(1);
    p.Property("DefaultColWidth", &TDrawGrid::DefaultColWidth, &TDrawGrid::SetDefaultColWidth).Default(64);
    p.Property("DefaultRowHeight", &TDrawGrid::DefaultRowHeight, &TDrawGrid::SetDefaultRowHeight).Default(24);
    p.Property("GridLineWidth", &TDrawGrid::GridLineWidth, &TDrawGrid::SetGridLineWidth).Default(1);
    p.Property("ScrollBars", &TDrawGrid::ScrollBars, &TDrawGrid::SetScrollBars).Default(ssBoth);
    p.Property("Options", &TDrawGrid::Options, &TDrawGrid::SetOptions);
    p.Property("FixedColor", &TDrawGrid::FixedColor, &TDrawGrid::SetFixedColor).Default(clBtnFace);
    p.Property("BorderStyle", &TDrawGrid::BorderStyle, &TDrawGrid::SetBorderStyle).Default(bsSingle);
    p.Property("DefaultDrawing", &TDrawGrid::DefaultDrawing, &TDrawGrid::SetDefaultDrawing).Default(true);
}

void TDrawGrid::DrawCell(Integer col, Integer row, TRect rect, TGridDrawState state)
{
    if (OnDrawCell) OnDrawCell(this, col, row, rect, state);
}

bool TDrawGrid::SelectCell(Integer col, Integer row)
{
    bool canSelect = true;
    if (OnSelectCell) OnSelectCell(this, col, row, canSelect);
    return canSelect;
}

std::string TDrawGrid::GetEditMask(Integer col, Integer row)
{
    std::string value;
    if (OnGetEditMask) OnGetEditMask(this, col, row, value);
    return value;
}

std::string TDrawGrid::GetEditText(Integer col, Integer row)
{
    std::string value;
    if (OnGetEditText) OnGetEditText(this, col, row, value);
    return value;
}

void TDrawGrid::SetEditText(Integer col, Integer row, const std::string& value)
{
    if (OnSetEditText) OnSetEditText(this, col, row, value);
}

void TDrawGrid::ColumnMoved(Integer fromIndex, Integer toIndex)
{
    if (OnColumnMoved) OnColumnMoved(this, fromIndex, toIndex);
}

void TDrawGrid::RowMoved(Integer fromIndex, Integer toIndex)
{
    if (OnRowMoved) OnRowMoved(this, fromIndex, toIndex);
}

void TDrawGrid::TopLeftChanged()
{
    TCustomGrid::TopLeftChanged();
    if (OnTopLeftChanged) OnTopLeftChanged(this);
}

// ---- TStringGrid

std::string TStringGrid::Cells(Integer col, Integer row) const
{
    const auto found = cells_.find({col, row});
    return found == cells_.end() ? std::string() : found->second.Text;
}

void TStringGrid::SetCells(Integer col, Integer row, const std::string& value)
{
    cells_[{col, row}].Text = value;
    InvalidateCell(col, row);
}

TObject* TStringGrid::Objects(Integer col, Integer row) const
{
    const auto found = cells_.find({col, row});
    return found == cells_.end() ? nullptr : found->second.Object;
}

void TStringGrid::SetObjects(Integer col, Integer row, TObject* value)
{
    cells_[{col, row}].Object = value;
}

void TStringGrid::DrawCell(Integer col, Integer row, TRect rect, TGridDrawState state)
{
    if (defaultDrawing_) Canvas()->TextRect(rect, rect.left + 2, rect.top + 2, Cells(col, row));
    TDrawGrid::DrawCell(col, row, rect, state);
}

std::string TStringGrid::GetEditText(Integer col, Integer row)
{
    std::string value = Cells(col, row);
    if (OnGetEditText) OnGetEditText(this, col, row, value);
    return value;
}

void TStringGrid::SetEditText(Integer col, Integer row, const std::string& value)
{
    if (Cells(col, row) != value) SetCells(col, row, value);
    TDrawGrid::SetEditText(col, row, value);
}

namespace {

// Renumbers one coordinate of every cell as a move from -> to does.
template <class TCells>
void RenumberCells(TCells& cells, Integer from, Integer to, bool columns)
{
    TCells moved;
    for (auto& [key, data] : cells) {
        auto newKey = key;
        MoveAdjust(columns ? newKey.first : newKey.second, from, to);
        moved.emplace(newKey, std::move(data));
    }
    cells = std::move(moved);
}

}  // namespace

void TStringGrid::ColumnMoved(Integer fromIndex, Integer toIndex)
{
    RenumberCells(cells_, fromIndex, toIndex, true);
    TDrawGrid::ColumnMoved(fromIndex, toIndex);
}

void TStringGrid::RowMoved(Integer fromIndex, Integer toIndex)
{
    RenumberCells(cells_, fromIndex, toIndex, false);
    TDrawGrid::RowMoved(fromIndex, toIndex);
}
