#include "vcl/Buttons.h"

#include <algorithm>

#include "vcl/Forms.h"

namespace {

struct TKindInfo {
    const char* Caption;
    TModalResult Result;
};

const TKindInfo kindInfo[] = {
    {"", mrNone},         {"OK", mrOk},          {"Cancel", mrCancel}, {"&Help", mrNone},
    {"&Yes", mrYes},      {"&No", mrNo},         {"&Close", mrNone},   {"Abort", mrAbort},
    {"&Retry", mrRetry},  {"&Ignore", mrIgnore}, {"&All", mrAll},
};

constexpr TColor glyphBackground = clOlive;

void Lines(TCanvas* canvas, TColor color, Integer width, std::initializer_list<TPoint> points)
{
    canvas->Pen()->SetColor(color);
    canvas->Pen()->SetWidth(width);
    canvas->Polyline(points.begin(), Integer(points.size()));
}

}  // namespace

std::unique_ptr<TBitmap> MakeKindGlyph(TBitBtnKind kind)
{
    auto glyph = std::make_unique<TBitmap>();
    glyph->SetSize(18, 18);
    TCanvas* canvas = glyph->Canvas();
    canvas->Brush()->SetColor(glyphBackground);
    canvas->FillRect(Rect(0, 0, 18, 18));
    canvas->Brush()->SetStyle(bsClear);
    switch (kind) {
    case bkOK:
    case bkYes:
        Lines(canvas, clGreen, 3, {Point(3, 9), Point(7, 13), Point(15, 4)});
        break;
    case bkAll:
        Lines(canvas, clGreen, 2, {Point(1, 9), Point(5, 13), Point(11, 4)});
        Lines(canvas, clGreen, 2, {Point(7, 9), Point(11, 13), Point(17, 4)});
        break;
    case bkCancel:
        Lines(canvas, clRed, 3, {Point(4, 4), Point(14, 14)});
        Lines(canvas, clRed, 3, {Point(14, 4), Point(4, 14)});
        break;
    case bkNo:
    case bkAbort:
        canvas->Pen()->SetColor(clRed);
        canvas->Pen()->SetWidth(2);
        canvas->Ellipse(3, 3, 15, 15);
        if (kind == bkNo) Lines(canvas, clRed, 2, {Point(5, 13), Point(13, 5)});
        break;
    case bkHelp:
        Lines(canvas, clNavy, 2, {Point(5, 6), Point(7, 3), Point(11, 3), Point(13, 6), Point(9, 9), Point(9, 12)});
        Lines(canvas, clNavy, 2, {Point(9, 14), Point(9, 16)});
        break;
    case bkClose:
        canvas->Pen()->SetColor(clMaroon);
        canvas->Pen()->SetWidth(1);
        canvas->Rectangle(4, 2, 14, 17);
        Lines(canvas, clMaroon, 2, {Point(11, 9), Point(12, 9)});
        break;
    case bkRetry:
        Lines(canvas, clGreen, 2, {Point(14, 9), Point(12, 4), Point(7, 3), Point(4, 7), Point(5, 12), Point(9, 14)});
        Lines(canvas, clGreen, 2, {Point(11, 10), Point(14, 9), Point(16, 12)});
        break;
    case bkIgnore:
        Lines(canvas, clNavy, 2, {Point(9, 3), Point(9, 8), Point(5, 15)});
        Lines(canvas, clNavy, 2, {Point(9, 8), Point(13, 15)});
        Lines(canvas, clNavy, 2, {Point(5, 8), Point(13, 8)});
        break;
    case bkCustom:
        break;
    }
    glyph->SetTransparent(true);
    return glyph;
}

void DrawButtonContent(TCanvas* canvas, TRect rect, TBitmap* glyph, Integer numGlyphs, TButtonState state,
                       const std::string& caption, TButtonLayout layout, Integer margin, Integer spacing)
{
    HDC dc = canvas->Handle();
    const bool hasGlyph = glyph && !glyph->Empty();
    const Integer glyphWidth = hasGlyph ? glyph->Width() / std::max(1, numGlyphs) : 0;
    const Integer glyphHeight = hasGlyph ? glyph->Height() : 0;
    TRect textRect{0, 0, 0, 0};
    canvas->DrawText(caption, textRect, DT_CALCRECT | DT_SINGLELINE);
    const Integer textWidth = textRect.right, textHeight = textRect.bottom;
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
    const Integer gap = hasGlyph && !caption.empty() ? spacing : 0;
    const Integer totalWidth = horizontal ? glyphWidth + gap + textWidth : std::max(glyphWidth, textWidth);
    const Integer totalHeight = horizontal ? std::max(glyphHeight, textHeight) : glyphHeight + gap + textHeight;
    const Integer width = rect.right - rect.left, height = rect.bottom - rect.top;
    Integer x = rect.left + (margin >= 0 && horizontal ? margin : (width - totalWidth) / 2);
    Integer y = rect.top + (margin >= 0 && !horizontal ? margin : (height - totalHeight) / 2);
    TPoint glyphAt{}, textAt{};
    switch (layout) {
    case blGlyphLeft:
        glyphAt = Point(x, rect.top + (height - glyphHeight) / 2);
        textAt = Point(x + glyphWidth + gap, rect.top + (height - textHeight) / 2);
        break;
    case blGlyphRight:
        textAt = Point(x, rect.top + (height - textHeight) / 2);
        glyphAt = Point(x + textWidth + gap, rect.top + (height - glyphHeight) / 2);
        break;
    case blGlyphTop:
        glyphAt = Point(rect.left + (width - glyphWidth) / 2, y);
        textAt = Point(rect.left + (width - textWidth) / 2, y + glyphHeight + gap);
        break;
    case blGlyphBottom:
        textAt = Point(rect.left + (width - textWidth) / 2, y);
        glyphAt = Point(rect.left + (width - glyphWidth) / 2, y + textHeight + gap);
        break;
    }
    if (state == bsDown) {
        ++glyphAt.x, ++glyphAt.y, ++textAt.x, ++textAt.y;
    }
    if (hasGlyph) {
        const Integer index = std::min<Integer>(state, numGlyphs - 1);
        const bool grayed = state == bsDisabled && numGlyphs < 2;
        TransparentBlt(dc, glyphAt.x, glyphAt.y, glyphWidth, glyphHeight, glyph->Canvas()->Handle(),
                       index * glyphWidth, 0, glyphWidth, glyphHeight, ColorToRGB(glyph->TransparentColor()));
        if (grayed) {
            RECT cover = Bounds(glyphAt.x, glyphAt.y, glyphWidth, glyphHeight);
            HBRUSH hatch = CreateHatchBrush(HS_DIAGCROSS, GetSysColor(COLOR_BTNFACE));
            FillRect(dc, &cover, hatch);
            DeleteObject(hatch);
        }
    }
    if (!caption.empty()) {
        canvas->Brush()->SetStyle(bsClear);
        if (state == bsDisabled) canvas->Font()->SetColor(clGrayText);
        TRect at = Bounds(textAt.x, textAt.y, textWidth, textHeight);
        canvas->DrawText(caption, at, DT_SINGLELINE);
    }
}

// ---- TBitBtn

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner), glyph_(std::make_unique<TBitmap>())
{
    glyph_->OnChange = [this](TObject*) { Invalidate(); };
}

void TBitBtn::Publish(TPublisher<TBitBtn>& p)
{
    p.Property("Kind", &TBitBtn::Kind, &TBitBtn::SetKind).Default(bkCustom);
    p.Property("Glyph", &TBitBtn::Glyph, &TBitBtn::SetGlyph);
    p.Property("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs).Default(1);
    p.Property("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout).Default(blGlyphLeft);
    p.Property("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin).Default(-1);
    p.Property("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing).Default(4);
}

// A kind brings its caption, modal result, default or cancel role and glyph.
void TBitBtn::SetKind(TBitBtnKind kind)
{
    kind_ = kind;
    if (kind == bkCustom) return;
    SetCaption(kindInfo[kind].Caption);
    SetModalResult(kindInfo[kind].Result);
    if (kind == bkOK || kind == bkYes) SetDefault(true);
    if (kind == bkCancel || kind == bkNo) SetCancel(true);
    glyph_ = MakeKindGlyph(kind);
    glyph_->OnChange = [this](TObject*) { Invalidate(); };
    Invalidate();
}

void TBitBtn::SetGlyph(TBitmap* glyph)
{
    glyph_->Assign(glyph);
    if (glyph && !glyph->Empty()) glyph_->SetTransparent(true);
    Invalidate();
}

void TBitBtn::Click()
{
    if (kind_ == bkClose) {
        if (TCustomForm* form = GetParentForm(this)) form->Close();
        return;
    }
    if (kind_ == bkHelp && !OnClick) return;
    TButton::Click();
}

void TBitBtn::CreateParams(TCreateParams& params)
{
    TButton::CreateParams(params);
    params.Style = (params.Style & ~(BS_DEFPUSHBUTTON | BS_PUSHBUTTON)) | BS_OWNERDRAW;
}

void TBitBtn::Dispatch(TMessage& message)
{
    if (message.Msg == CN_DRAWITEM) {
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam));
        message.Result = TRUE;
        return;
    }
    if (message.Msg == CM_FOCUSCHANGED || message.Msg == CM_ENABLEDCHANGED) {
        TButton::Dispatch(message);
        Invalidate();
        return;
    }
    TButton::Dispatch(message);
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& item)
{
    TCanvas canvas;
    canvas.SetHandle(item.hDC);
    canvas.Font()->Assign(font_.get());
    RECT rect = item.rcItem;
    const bool down = item.itemState & ODS_SELECTED;
    const bool focused = item.itemState & ODS_FOCUS;
    if (active_ || focused) {
        FrameRect(item.hDC, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        InflateRect(&rect, -1, -1);
    }
    DrawFrameControl(item.hDC, &rect, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
    const TButtonState state = !enabled_ ? bsDisabled : down ? bsDown : bsUp;
    DrawButtonContent(&canvas, rect, glyph_.get(), numGlyphs_, state, Caption(), layout_, margin_, spacing_);
    if (focused) {
        InflateRect(&rect, -3, -3);
        DrawFocusRect(item.hDC, &rect);
    }
    canvas.SetHandle(nullptr);
}

// ---- TSpeedButton

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner), glyph_(std::make_unique<TBitmap>())
{
    controlStyle_ = TControlStyle{csCaptureMouse, csDoubleClicks};
    width_ = 23;
    height_ = 22;
    parentColor_ = true;
    glyph_->OnChange = [this](TObject*) { Invalidate(); };
}

void TSpeedButton::Publish(TPublisher<TSpeedButton>& p)
{
    p.Property("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex).Default(0);
    p.Property("Down", &TSpeedButton::Down, &TSpeedButton::SetDown).Default(false);
    p.Property("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp).Default(false);
    p.Property("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat).Default(false);
    p.Property("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph);
    p.Property("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs).Default(1);
    p.Property("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout).Default(blGlyphLeft);
    p.Property("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin).Default(-1);
    p.Property("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing).Default(4);
}

void TSpeedButton::SetGlyph(TBitmap* glyph)
{
    glyph_->Assign(glyph);
    if (glyph && !glyph->Empty()) glyph_->SetTransparent(true);
    Invalidate();
}

// Down only sticks in a group; putting one down releases the others of its group under the same parent.
void TSpeedButton::SetDown(bool value)
{
    if (groupIndex_ == 0) value = false;
    if (value == down_) return;
    if (down_ && !value && !allowAllUp_) return;
    down_ = value;
    if (down_) ReleaseGroup();
    Invalidate();
}

void TSpeedButton::ReleaseGroup()
{
    if (!parent_ || groupIndex_ == 0) return;
    for (Integer i = 0; i < parent_->ControlCount(); ++i) {
        auto* other = dynamic_cast<TSpeedButton*>(parent_->Controls(i));
        if (other && other != this && other->groupIndex_ == groupIndex_ && other->down_) {
            other->down_ = false;
            other->Invalidate();
        }
    }
}

void TSpeedButton::Click()
{
    TGraphicControl::Click();
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y)
{
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !enabled_) return;
    pressed_ = true;
    Invalidate();
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y)
{
    TGraphicControl::MouseUp(button, shift, x, y);
    if (button != mbLeft || !pressed_) return;
    pressed_ = false;
    const TRect client = ClientRect();
    if (!PtInRect(&client, Point(x, y))) {
        Invalidate();
        return;
    }
    if (groupIndex_ != 0) SetDown(allowAllUp_ ? !down_ : true);
    Invalidate();
    Click();
}

void TSpeedButton::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        mouseInside_ = message.Msg == CM_MOUSEENTER;
        if (flat_) Invalidate();
        return;
    case CM_DIALOGCHAR:
        if (IsAccel(Word(message.WParam), text_) && enabled_ && Visible()) {
            Click();
            message.Result = 1;
        }
        return;
    default:
        TGraphicControl::Dispatch(message);
    }
}

void TSpeedButton::Paint()
{
    TCanvas* canvas = Canvas();
    RECT rect = ClientRect();
    const bool showDown = pressed_ || down_;
    canvas->Brush()->SetColor(color_);
    canvas->FillRect(rect);
    if (!flat_) {
        canvas->DrawFrameControl(rect, DFC_BUTTON, DFCS_BUTTONPUSH | (showDown ? DFCS_PUSHED : 0));
    } else if (showDown || mouseInside_) {
        canvas->DrawEdge(rect, showDown ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
    InflateRect(&rect, -2, -2);
    const TButtonState state = !enabled_ ? bsDisabled : down_ ? bsExclusive : pressed_ ? bsDown : bsUp;
    DrawButtonContent(canvas, rect, glyph_.get(), numGlyphs_, state, text_, layout_, margin_, spacing_);
}
