#include "vcl/Graphics.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "rtl/Exceptions.h"
#include "rtl/Streams.h"

// ---- colours

COLORREF ColorToRGB(TColor color)
{
    if (color < 0) return GetSysColor(color & 0xFF);
    return COLORREF(color);
}

namespace {

struct ColorName {
    TColor Color;
    const char* Name;
};

const ColorName colorNames[] = {
    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clNone, "clNone"}, {clDefault, "clDefault"},
    {clScrollBar, "clScrollBar"}, {clBackground, "clBackground"}, {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"}, {clMenu, "clMenu"}, {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"}, {clMenuText, "clMenuText"}, {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"}, {clActiveBorder, "clActiveBorder"}, {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"}, {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"}, {clBtnShadow, "clBtnShadow"}, {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"}, {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"}, {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"}, {clInfoBk, "clInfoBk"},
};

bool SameText(const std::string& a, const char* b)
{
    if (a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

bool IdentToColor(const std::string& ident, TColor& color)
{
    for (const ColorName& entry : colorNames) {
        if (SameText(ident, entry.Name)) {
            color = entry.Color;
            return true;
        }
    }
    return false;
}

bool ColorIdentToInt(const std::string& ident, Int64& value)
{
    TColor color;
    if (!IdentToColor(ident, color)) return false;
    value = color;
    return true;
}

bool ColorIntToIdent(Int64 value, std::string& ident)
{
    for (const ColorName& entry : colorNames) {
        if (entry.Color == TColor(value)) {
            ident = entry.Name;
            return true;
        }
    }
    return false;
}

std::string ColorToString(TColor color)
{
    for (const ColorName& entry : colorNames)
        if (entry.Color == color) return entry.Name;
    char text[16];
    std::snprintf(text, sizeof text, "$%.8X", unsigned(color));
    return text;
}

TColor StringToColor(const std::string& text)
{
    TColor color;
    if (IdentToColor(text, color)) return color;
    if (!text.empty()) {
        const bool hex = text[0] == '$';
        const std::string digits = hex ? text.substr(1) : text;
        char* end = nullptr;
        const long long value = std::strtoll(digits.c_str(), &end, hex ? 16 : 10);
        if (!digits.empty() && end && *end == 0) return TColor(uint32_t(value));
    }
    throw EConvertError("'" + text + "' is not a valid color value");
}

// ---- graphics objects

TGraphicsObject::~TGraphicsObject() { DeleteHandle(); }

void TGraphicsObject::Changed()
{
    // Listeners that ask for the handle (a window taking its font) get a new one; the old one is deleted once they
    // have let go of it (a canvas deselects it).
    HGDIOBJ old = handle_;
    handle_ = nullptr;
    if (OnChange) OnChange(this);
    if (old) DeleteObject(old);
}

void TGraphicsObject::DeleteHandle()
{
    if (handle_) DeleteObject(handle_);
    handle_ = nullptr;
}

TFont::TFont() = default;

void TFont::Assign(TPersistent* source)
{
    if (auto* font = dynamic_cast<TFont*>(source)) {
        name_ = font->name_;
        height_ = font->height_;
        pixelsPerInch_ = font->pixelsPerInch_;
        color_ = font->color_;
        style_ = font->style_;
        pitch_ = font->pitch_;
        charset_ = font->charset_;
        Changed();
        return;
    }
    TGraphicsObject::Assign(source);
}

void TFont::Publish(TPublisher<TFont>& p)
{
    p.Property("Charset", &TFont::Charset, &TFont::SetCharset);
    p.Property("Color", &TFont::Color, &TFont::SetColor).Idents(ColorIdentToInt, ColorIntToIdent);
    p.Property("Height", &TFont::Height, &TFont::SetHeight);
    p.Property("Name", &TFont::Name, &TFont::SetName);
    p.Property("Pitch", &TFont::Pitch, &TFont::SetPitch).Default(fpDefault);
    p.Property("Style", &TFont::Style, &TFont::SetStyle);
}

HFONT TFont::Handle()
{
    if (!handle_) {
        static const BYTE pitches[] = {DEFAULT_PITCH, VARIABLE_PITCH, FIXED_PITCH};
        handle_ = CreateFontA(height_, 0, 0, 0, style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL,
                              style_.Contains(fsItalic), style_.Contains(fsUnderline), style_.Contains(fsStrikeOut),
                              charset_, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, pitches[pitch_],
                              name_.c_str());
    }
    return static_cast<HFONT>(handle_);
}

void TFont::SetHandle(HFONT font)
{
    LOGFONTA info{};
    if (!font || GetObjectA(font, sizeof info, &info) == 0) return;
    name_ = info.lfFaceName;
    height_ = info.lfHeight;
    TFontStyles style;
    if (info.lfWeight >= FW_BOLD) style.Include(fsBold);
    if (info.lfItalic) style.Include(fsItalic);
    if (info.lfUnderline) style.Include(fsUnderline);
    if (info.lfStrikeOut) style.Include(fsStrikeOut);
    style_ = style;
    charset_ = info.lfCharSet;
    Changed();
}

void TFont::SetName(const std::string& name)
{
    if (name.empty() || name == name_) return;
    name_ = name;
    Changed();
}

void TFont::SetHeight(Integer height)
{
    if (height == height_) return;
    height_ = height;
    Changed();
}

Integer TFont::Size() const { return -MulDiv(height_, 72, pixelsPerInch_); }

void TFont::SetSize(Integer points) { SetHeight(-MulDiv(points, pixelsPerInch_, 72)); }

void TFont::SetColor(TColor color)
{
    if (color == color_) return;
    color_ = color;
    Changed();
}

void TFont::SetStyle(TFontStyles style)
{
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TFont::SetPitch(TFontPitch pitch)
{
    if (pitch == pitch_) return;
    pitch_ = pitch;
    Changed();
}

void TFont::SetCharset(Byte charset)
{
    if (charset == charset_) return;
    charset_ = charset;
    Changed();
}

void TBrush::Assign(TPersistent* source)
{
    if (auto* brush = dynamic_cast<TBrush*>(source)) {
        color_ = brush->color_;
        style_ = brush->style_;
        Changed();
        return;
    }
    TGraphicsObject::Assign(source);
}

void TBrush::Publish(TPublisher<TBrush>& p)
{
    p.Property("Color", &TBrush::Color, &TBrush::SetColor).Idents(ColorIdentToInt, ColorIntToIdent);
    p.Property("Style", &TBrush::Style, &TBrush::SetStyle).Default(bsSolid);
}

HBRUSH TBrush::Handle()
{
    if (!handle_) {
        static const int hatches[] = {0, 0, HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS,
                                      HS_DIAGCROSS};
        LOGBRUSH info{};
        info.lbColor = ColorToRGB(color_);
        info.lbStyle = style_ == bsSolid ? BS_SOLID : style_ == bsClear ? BS_HOLLOW : BS_HATCHED;
        info.lbHatch = hatches[style_];
        handle_ = CreateBrushIndirect(&info);
    }
    return static_cast<HBRUSH>(handle_);
}

void TBrush::SetColor(TColor color)
{
    if (color == color_ && style_ != bsClear) return;
    color_ = color;
    if (style_ == bsClear) style_ = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle style)
{
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TPen::Assign(TPersistent* source)
{
    if (auto* pen = dynamic_cast<TPen*>(source)) {
        color_ = pen->color_;
        width_ = pen->width_;
        style_ = pen->style_;
        mode_ = pen->mode_;
        Changed();
        return;
    }
    TGraphicsObject::Assign(source);
}

void TPen::Publish(TPublisher<TPen>& p)
{
    p.Property("Color", &TPen::Color, &TPen::SetColor).Idents(ColorIdentToInt, ColorIntToIdent);
    p.Property("Style", &TPen::Style, &TPen::SetStyle).Default(psSolid);
    p.Property("Width", &TPen::Width, &TPen::SetWidth).Default(1);
}

HPEN TPen::Handle()
{
    if (!handle_) {
        static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
        handle_ = CreatePen(styles[style_], width_, ColorToRGB(color_));
    }
    return static_cast<HPEN>(handle_);
}

void TPen::SetColor(TColor color)
{
    if (color == color_) return;
    color_ = color;
    Changed();
}

void TPen::SetWidth(Integer width)
{
    if (width == width_ || width < 0) return;
    width_ = width;
    Changed();
}

void TPen::SetStyle(TPenStyle style)
{
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TPen::SetMode(TPenMode mode)
{
    if (mode == mode_) return;
    mode_ = mode;
    Changed();
}

// ---- canvas

TCanvas::TCanvas() : font_(std::make_unique<TFont>()), brush_(std::make_unique<TBrush>()), pen_(std::make_unique<TPen>())
{
    auto changed = [this](TObject* sender) { ToolChanged(sender); };
    font_->OnChange = changed;
    brush_->OnChange = changed;
    pen_->OnChange = changed;
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

HDC TCanvas::Handle()
{
    RequireHandle();
    return dc_;
}

void TCanvas::SetHandle(HDC dc)
{
    if (dc == dc_) return;
    if (dc_ && toolsSelected_) {
        SelectObject(dc_, oldFont_);
        SelectObject(dc_, oldBrush_);
        SelectObject(dc_, oldPen_);
    }
    toolsSelected_ = false;
    dc_ = dc;
    if (dc_) penPos_ = TPoint{0, 0};
}

void TCanvas::RequireHandle()
{
    if (!dc_) CreateHandle();
    if (!dc_) throw EInvalidOperation("Canvas does not allow drawing");
    SelectTools();
}

// Selects the current font, brush and pen into the DC; a tool that changes is deselected first (ToolChanged).
void TCanvas::SelectTools()
{
    HGDIOBJ font = SelectObject(dc_, font_->Handle());
    HGDIOBJ brush = SelectObject(dc_, brush_->Handle());
    HGDIOBJ pen = SelectObject(dc_, pen_->Handle());
    if (!toolsSelected_) {
        oldFont_ = font;
        oldBrush_ = brush;
        oldPen_ = pen;
        toolsSelected_ = true;
    }
    static const int rop2[] = {R2_BLACK, R2_WHITE, R2_NOP, R2_NOT, R2_COPYPEN, R2_NOTCOPYPEN, R2_MERGEPENNOT,
                               R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN,
                               R2_MASKPEN, R2_NOTMASKPEN, R2_XORPEN, R2_NOTXORPEN};
    SetROP2(dc_, rop2[pen_->Mode()]);
    SetTextColor(dc_, ColorToRGB(font_->Color()));
    SetBkColor(dc_, ColorToRGB(brush_->Color()));
    SetBkMode(dc_, brush_->Style() == bsSolid ? OPAQUE : TRANSPARENT);
}

void TCanvas::ToolChanged(TObject*)
{
    if (dc_ && toolsSelected_) {
        SelectObject(dc_, oldFont_);
        SelectObject(dc_, oldBrush_);
        SelectObject(dc_, oldPen_);
        toolsSelected_ = false;
    }
}

void TCanvas::Changed()
{
    if (OnChange) OnChange(this);
}

TCanvasDrawing TCanvas::Drawing(const char* kind, const TRect& rect)
{
    TCanvasDrawing drawing;
    drawing.Canvas = this;
    drawing.Kind = kind;
    drawing.Rect = rect;
    if (dc_) GetClipBox(dc_, &drawing.ClipRect);
    drawing.CopyMode = copyMode_;
    drawing.FontName = font_->Name();
    drawing.FontHeight = font_->Height();
    drawing.FontColor = font_->Color();
    drawing.FontStyle = font_->Style();
    drawing.BrushColor = brush_->Color();
    drawing.BrushStyle = brush_->Style();
    drawing.PenColor = pen_->Color();
    drawing.PenStyle = pen_->Style();
    drawing.PenWidth = pen_->Width();
    drawing.PenMode = pen_->Mode();
    return drawing;
}

void TCanvas::Tell(const TCanvasDrawing& drawing)
{
    if (listener_) listener_->Drawn(drawing);
}

void TCanvas::Shape(const char* kind, const TRect& rect, UINT type, UINT flags)
{
    if (!listener_) return;
    TCanvasDrawing drawing = Drawing(kind, rect);
    drawing.Type = type;
    drawing.Flags = flags;
    Tell(drawing);
}

void TCanvas::CopyShape(const char* kind, const TRect& dest, const TRect& source)
{
    if (!listener_) return;
    TCanvasDrawing drawing = Drawing(kind, dest);
    drawing.SourceRect = source;
    Tell(drawing);
}

void TCanvas::TextShape(const char* kind, const TRect& rect, TPoint pos, const std::string& text, UINT flags)
{
    if (!listener_) return;
    TCanvasDrawing drawing = Drawing(kind, rect);
    drawing.Pos = pos;
    drawing.Text = text;
    drawing.Flags = flags;
    Tell(drawing);
}

TColor TCanvas::Pixels(Integer x, Integer y)
{
    RequireHandle();
    return TColor(GetPixel(dc_, x, y));
}

void TCanvas::SetPixels(Integer x, Integer y, TColor color)
{
    RequireHandle();
    SetPixel(dc_, x, y, ColorToRGB(color));
    if (listener_) {
        TCanvasDrawing drawing = Drawing("Pixel", Rect(x, y, x + 1, y + 1));
        drawing.PenColor = color;
        Tell(drawing);
    }
    Changed();
}

TRect TCanvas::ClipRect()
{
    RequireHandle();
    TRect rect{};
    GetClipBox(dc_, &rect);
    return rect;
}

void TCanvas::TextOut(Integer x, Integer y, const std::string& text)
{
    RequireHandle();
    ExtTextOutA(dc_, x, y, 0, nullptr, text.c_str(), UINT(text.size()), nullptr);
    const SIZE size = TextExtent(text);
    TextShape("TextOut", Bounds(x, y, size.cx, size.cy), Point(x, y), text, 0);
    penPos_.x = x + size.cx;
    Changed();
}

void TCanvas::TextRect(const TRect& rect, Integer x, Integer y, const std::string& text)
{
    RequireHandle();
    const UINT options = ETO_CLIPPED | (brush_->Style() != bsClear ? ETO_OPAQUE : 0);
    ExtTextOutA(dc_, x, y, options, &rect, text.c_str(), UINT(text.size()), nullptr);
    TextShape("TextRect", rect, Point(x, y), text, options);
    Changed();
}

void TCanvas::ExtTextOut(Integer x, Integer y, UINT options, const TRect* rect, const std::string& text)
{
    RequireHandle();
    ExtTextOutA(dc_, x, y, options, rect, text.c_str(), UINT(text.size()), nullptr);
    TextShape("ExtTextOut", rect ? *rect : TRect{}, Point(x, y), text, options);
    Changed();
}

Integer TCanvas::DrawText(const std::string& text, TRect& rect, UINT format)
{
    RequireHandle();
    const TRect asked = rect;
    const Integer height = DrawTextA(dc_, text.c_str(), int(text.size()), &rect, format);
    if (format & DT_CALCRECT) return height;
    TextShape("DrawText", asked, Point(asked.left, asked.top), text, format);
    Changed();
    return height;
}

SIZE TCanvas::TextExtent(const std::string& text)
{
    RequireHandle();
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc_, text.c_str(), int(text.size()), &size);
    return size;
}

Integer TCanvas::TextWidth(const std::string& text) { return TextExtent(text).cx; }

Integer TCanvas::TextHeight(const std::string& text) { return TextExtent(text).cy; }

void TCanvas::FillRect(const TRect& rect)
{
    RequireHandle();
    ::FillRect(dc_, &rect, brush_->Handle());
    Shape("FillRect", rect);
    Changed();
}

void TCanvas::FrameRect(const TRect& rect)
{
    RequireHandle();
    ::FrameRect(dc_, &rect, brush_->Handle());
    Shape("FrameRect", rect);
    Changed();
}

void TCanvas::Rectangle(Integer x1, Integer y1, Integer x2, Integer y2)
{
    RequireHandle();
    ::Rectangle(dc_, x1, y1, x2, y2);
    Shape("Rectangle", TRect{x1, y1, x2, y2});
    Changed();
}

void TCanvas::RoundRect(Integer x1, Integer y1, Integer x2, Integer y2, Integer x3, Integer y3)
{
    RequireHandle();
    ::RoundRect(dc_, x1, y1, x2, y2, x3, y3);
    Shape("RoundRect", TRect{x1, y1, x2, y2});
    Changed();
}

void TCanvas::Ellipse(Integer x1, Integer y1, Integer x2, Integer y2)
{
    RequireHandle();
    ::Ellipse(dc_, x1, y1, x2, y2);
    Shape("Ellipse", TRect{x1, y1, x2, y2});
    Changed();
}

void TCanvas::MoveTo(Integer x, Integer y)
{
    RequireHandle();
    MoveToEx(dc_, x, y, nullptr);
    penPos_ = TPoint{x, y};
}

void TCanvas::LineTo(Integer x, Integer y)
{
    RequireHandle();
    MoveToEx(dc_, penPos_.x, penPos_.y, nullptr);
    ::LineTo(dc_, x, y);
    Shape("Line", TRect{penPos_.x, penPos_.y, x, y});
    penPos_ = TPoint{x, y};
    Changed();
}

void TCanvas::Polyline(const TPoint* points, Integer count)
{
    RequireHandle();
    ::Polyline(dc_, points, count);
    for (Integer i = 1; i < count; ++i)
        Shape("Line", TRect{points[i - 1].x, points[i - 1].y, points[i].x, points[i].y});
    Changed();
}

void TCanvas::Polygon(const TPoint* points, Integer count)
{
    RequireHandle();
    ::Polygon(dc_, points, count);
    for (Integer i = 0; i < count; ++i) {
        const TPoint& to = points[(i + 1) % count];
        Shape("Line", TRect{points[i].x, points[i].y, to.x, to.y});
    }
    Changed();
}

void TCanvas::Draw(Integer x, Integer y, TGraphic* graphic)
{
    if (!graphic || graphic->Empty()) return;
    DrawGraphic("Draw", Bounds(x, y, graphic->Width(), graphic->Height()), graphic);
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic* graphic)
{
    if (!graphic || graphic->Empty()) return;
    DrawGraphic("StretchDraw", rect, graphic);
}

void TCanvas::DrawGraphic(const char* kind, const TRect& rect, TGraphic* graphic)
{
    RequireHandle();
    graphic->Draw(this, rect);
    if (listener_) {
        TCanvasDrawing drawing = Drawing(kind, rect);
        drawing.Pos = Point(rect.left, rect.top);
        Tell(drawing);
    }
    Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect)
{
    RequireHandle();
    StretchBlt(dc_, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, source->Handle(),
               sourceRect.left, sourceRect.top, sourceRect.right - sourceRect.left,
               sourceRect.bottom - sourceRect.top, copyMode_);
    CopyShape("CopyRect", dest, sourceRect);
    Changed();
}

void TCanvas::BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& sourceRect, TColor transparentColor)
{
    if (!bitmap || bitmap->Empty()) return;
    RequireHandle();
    const int width = sourceRect.right - sourceRect.left, height = sourceRect.bottom - sourceRect.top;
    const int destWidth = dest.right - dest.left, destHeight = dest.bottom - dest.top;
    // Background in the brush colour, then the bitmap without its transparent pixels.
    ::FillRect(dc_, &dest, brush_->Handle());
    HDC source = bitmap->Canvas()->Handle();
    TransparentBlt(dc_, dest.left, dest.top, destWidth, destHeight, source, sourceRect.left, sourceRect.top, width,
                   height, ColorToRGB(transparentColor));
    CopyShape("BrushCopy", dest, sourceRect);
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& rect)
{
    RequireHandle();
    ::DrawFocusRect(dc_, &rect);
    Shape("DrawFocusRect", rect);
    Changed();
}

void TCanvas::DrawFrameControl(TRect& rect, UINT type, UINT state)
{
    DrawFrame("DrawFrameControl", ::DrawFrameControl, rect, type, state);
}

void TCanvas::DrawEdge(TRect& rect, UINT edge, UINT flags)
{
    DrawFrame("DrawEdge", ::DrawEdge, rect, edge, flags);
}

// The record keeps the rectangle asked for; the caller's may become the inner one.
void TCanvas::DrawFrame(const char* kind, TFrameDrawer draw, TRect& rect, UINT type, UINT flags)
{
    RequireHandle();
    const TRect asked = rect;
    draw(dc_, &rect, type, flags);
    Shape(kind, asked, type, flags);
    Changed();
}

// ---- graphics

void TGraphic::Changed()
{
    if (OnChange) OnChange(this);
}

void TGraphic::LoadFromFile(const std::string& fileName)
{
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&file);
}

void TGraphic::SaveToFile(const std::string& fileName)
{
    TFileStream file(fileName, fmCreate);
    SaveToStream(&file);
}

namespace {

bool EndsWithNoCase(const std::string& text, const char* suffix)
{
    const size_t n = std::strlen(suffix);
    return text.size() >= n && SameText(text.substr(text.size() - n), suffix);
}

}  // namespace

class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap* bitmap) : bitmap_(bitmap) {}
    ~TBitmapCanvas() override { FreeContext(); }

    void FreeContext()
    {
        HDC dc = HandleAllocated() ? Handle() : nullptr;
        if (!dc) return;
        SetHandle(nullptr);
        SelectObject(dc, oldBitmap_);
        DeleteDC(dc);
    }

protected:
    void CreateHandle() override
    {
        if (!bitmap_->bitmap_) bitmap_->SetSize(1, 1);
        HDC dc = CreateCompatibleDC(nullptr);
        oldBitmap_ = SelectObject(dc, bitmap_->bitmap_);
        SetHandle(dc);
    }

private:
    TBitmap* bitmap_;
    HGDIOBJ oldBitmap_ = nullptr;
};

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() { FreeImage(); }

void TBitmap::FreeImage()
{
    if (canvas_) canvas_->FreeContext();
    if (bitmap_) DeleteObject(bitmap_);
    bitmap_ = nullptr;
    width_ = height_ = 0;
}

void TBitmap::Assign(TPersistent* source)
{
    auto* other = dynamic_cast<TBitmap*>(source);
    if (!other) {
        TGraphic::Assign(source);
        return;
    }
    if (other->Empty()) {
        FreeImage();
        Changed();
        return;
    }
    SetSize(other->Width(), other->Height());
    BitBlt(Canvas()->Handle(), 0, 0, width_, height_, other->Canvas()->Handle(), 0, 0, SRCCOPY);
    transparent_ = other->transparent_;
    Changed();
}

void TBitmap::SetSize(Integer width, Integer height)
{
    if (bitmap_ && width == width_ && height == height_) return;
    FreeImage();
    if (width > 0 && height > 0) {
        HDC screen = GetDC(nullptr);
        bitmap_ = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        width_ = width;
        height_ = height;
        TCanvas* canvas = Canvas();
        TRect all = Bounds(0, 0, width, height);
        ::FillRect(canvas->Handle(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    Changed();
}

void TBitmap::SetHandle(HBITMAP bitmap)
{
    FreeImage();
    bitmap_ = bitmap;
    BITMAP info{};
    if (bitmap_ && GetObjectA(bitmap_, sizeof info, &info)) {
        width_ = info.bmWidth;
        height_ = info.bmHeight;
    }
    Changed();
}

TCanvas* TBitmap::Canvas()
{
    if (!canvas_) canvas_ = std::make_unique<TBitmapCanvas>(this);
    return canvas_.get();
}

void TBitmap::Dormant()
{
    if (canvas_) canvas_->FreeContext();
}

TColor TBitmap::TransparentColor()
{
    if (Empty()) return clDefault;
    return Canvas()->Pixels(0, height_ - 1) & 0xFFFFFF;
}

void TBitmap::Draw(TCanvas* canvas, const TRect& rect)
{
    HDC source = Canvas()->Handle();
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (transparent_) {
        TransparentBlt(canvas->Handle(), rect.left, rect.top, width, height, source, 0, 0, width_, height_,
                       ColorToRGB(TransparentColor()));
    } else {
        StretchBlt(canvas->Handle(), rect.left, rect.top, width, height, source, 0, 0, width_, height_,
                   canvas->CopyMode());
    }
}

void TBitmap::LoadFromStream(TStream* stream)
{
    HBITMAP bitmap = ReadBitmap(stream);
    if (bitmap) {
        SetHandle(bitmap);
    } else if (!Empty()) {
        FreeImage();
        Changed();
    }
}

void TBitmap::SaveToStream(TStream* stream)
{
    if (Empty()) return;
    Dormant();
    WriteBitmap(stream, bitmap_, width_, height_);
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string& name)
{
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(instance, name.c_str(), IMAGE_BITMAP, 0, 0, 0));
    if (!bitmap) throw EInvalidOperation("Resource " + name + " not found");
    SetHandle(bitmap);
}

void TBitmap::LoadFromResourceID(HINSTANCE instance, Integer id)
{
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0));
    if (!bitmap) throw EInvalidOperation("Resource " + std::to_string(id) + " not found");
    SetHandle(bitmap);
}

TIcon::~TIcon()
{
    if (icon_) DestroyIcon(icon_);
}

void TIcon::Assign(TPersistent* source)
{
    auto* other = dynamic_cast<TIcon*>(source);
    if (!other) {
        TGraphic::Assign(source);
        return;
    }
    if (other == this) return;
    ReplaceIcon(other->icon_ ? CopyIcon(other->icon_) : nullptr, other->file_);
}

void TIcon::Draw(TCanvas* canvas, const TRect& rect)
{
    DrawIconEx(canvas->Handle(), rect.left, rect.top, icon_, rect.right - rect.left, rect.bottom - rect.top, 0,
               nullptr, DI_NORMAL);
}

void TIcon::SetHandle(HICON icon) { ReplaceIcon(icon, std::string()); }

void TIcon::ReplaceIcon(HICON icon, const std::string& file)
{
    if (icon_) DestroyIcon(icon_);
    icon_ = icon;
    file_ = file;
    width_ = height_ = 0;
    ICONINFO info{};
    if (icon_ && GetIconInfo(icon_, &info)) {
        BITMAP mask{};
        GetObjectA(info.hbmMask, sizeof mask, &mask);
        width_ = mask.bmWidth;
        height_ = info.hbmColor ? mask.bmHeight : mask.bmHeight / 2;  // a monochrome icon's mask holds both halves
        if (info.hbmColor) DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    Changed();
}

void TIcon::LoadFromStream(TStream* stream)
{
    if (stream->Size() <= stream->Position()) {
        if (!Empty()) SetHandle(nullptr);
        return;
    }
    const std::string file = ReadIconFile(stream);
    ReplaceIcon(IconFromFile(file), file);
}

void TIcon::SaveToStream(TStream* stream)
{
    if (Empty()) return;
    if (file_.empty()) file_ = IconFileOf(icon_, width_, height_);
    stream->WriteBuffer(file_.data(), Integer(file_.size()));
}

TPicture::TPicture() = default;

TPicture::~TPicture() = default;

void TPicture::Changed()
{
    if (OnChange) OnChange(this);
}

void TPicture::Assign(TPersistent* source)
{
    if (!source) {
        SetGraphic(nullptr);
    } else if (auto* picture = dynamic_cast<TPicture*>(source)) {
        SetGraphic(picture->Graphic());
    } else if (auto* graphic = dynamic_cast<TGraphic*>(source)) {
        SetGraphic(graphic);
    } else {
        TPersistent::Assign(source);
    }
}

// Keeps a copy of the graphic (bitmaps and icons).
void TPicture::SetGraphic(TGraphic* graphic)
{
    if (graphic == graphic_.get()) return;
    if (!graphic) {
        graphic_.reset();
    } else if (auto* bitmap = dynamic_cast<TBitmap*>(graphic)) {
        auto copy = std::make_unique<TBitmap>();
        copy->Assign(bitmap);
        graphic_ = std::move(copy);
    } else if (auto* icon = dynamic_cast<TIcon*>(graphic)) {
        auto copy = std::make_unique<TIcon>();
        copy->Assign(icon);
        graphic_ = std::move(copy);
    } else {
        throw EInvalidOperation("Unsupported graphic " + graphic->ClassName());
    }
    if (graphic_) graphic_->OnChange = [this](TObject*) { Changed(); };
    Changed();
}

TBitmap* TPicture::Bitmap()
{
    if (!dynamic_cast<TBitmap*>(graphic_.get())) {
        graphic_ = std::make_unique<TBitmap>();
        graphic_->OnChange = [this](TObject*) { Changed(); };
    }
    return static_cast<TBitmap*>(graphic_.get());
}

TIcon* TPicture::Icon()
{
    if (!dynamic_cast<TIcon*>(graphic_.get())) {
        graphic_ = std::make_unique<TIcon>();
        graphic_->OnChange = [this](TObject*) { Changed(); };
    }
    return static_cast<TIcon*>(graphic_.get());
}

void TPicture::LoadFromFile(const std::string& fileName)
{
    if (EndsWithNoCase(fileName, ".ico"))
        Icon()->LoadFromFile(fileName);
    else if (EndsWithNoCase(fileName, ".bmp"))
        Bitmap()->LoadFromFile(fileName);
    else
        throw EInvalidOperation("Unknown picture file extension (" + fileName + ")");
    Changed();
}

void TPicture::LoadFromStream(TStream* stream)
{
    Bitmap()->LoadFromStream(stream);
}
