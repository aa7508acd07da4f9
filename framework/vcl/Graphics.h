// Colours, fonts, brushes, pens, the canvas that draws with them, and the graphics (bitmap, icon, picture).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "classes/TypInfo.h"
#include "rtl/Objects.h"
#include "rtl/Types.h"
#include "rtl/WinApi.h"
#include "vcl/ImageFiles.h"

using TPoint = POINT;
using TRect = RECT;

inline TPoint Point(Integer x, Integer y) { return TPoint{x, y}; }
inline TRect Rect(Integer left, Integer top, Integer right, Integer bottom) { return TRect{left, top, right, bottom}; }
inline TRect Bounds(Integer left, Integer top, Integer width, Integer height)
{
    return TRect{left, top, left + width, top + height};
}

// A colour: 0x00BBGGRR, or a system colour (0x80000000 + the system colour index).
using TColor = Integer;

constexpr TColor SystemColor(int index) { return TColor(0x80000000u | unsigned(index)); }

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF,
                 clLtGray = 0xC0C0C0, clDkGray = 0x808080;
constexpr TColor clNone = 0x1FFFFFFF, clDefault = 0x20000000;

constexpr TColor clScrollBar = SystemColor(COLOR_SCROLLBAR), clBackground = SystemColor(COLOR_BACKGROUND),
                 clActiveCaption = SystemColor(COLOR_ACTIVECAPTION),
                 clInactiveCaption = SystemColor(COLOR_INACTIVECAPTION), clMenu = SystemColor(COLOR_MENU),
                 clWindow = SystemColor(COLOR_WINDOW), clWindowFrame = SystemColor(COLOR_WINDOWFRAME),
                 clMenuText = SystemColor(COLOR_MENUTEXT), clWindowText = SystemColor(COLOR_WINDOWTEXT),
                 clCaptionText = SystemColor(COLOR_CAPTIONTEXT), clActiveBorder = SystemColor(COLOR_ACTIVEBORDER),
                 clInactiveBorder = SystemColor(COLOR_INACTIVEBORDER),
                 clAppWorkSpace = SystemColor(COLOR_APPWORKSPACE), clHighlight = SystemColor(COLOR_HIGHLIGHT),
                 clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT), clBtnFace = SystemColor(COLOR_BTNFACE),
                 clBtnShadow = SystemColor(COLOR_BTNSHADOW), clGrayText = SystemColor(COLOR_GRAYTEXT),
                 clBtnText = SystemColor(COLOR_BTNTEXT),
                 clInactiveCaptionText = SystemColor(COLOR_INACTIVECAPTIONTEXT),
                 clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT), cl3DDkShadow = SystemColor(COLOR_3DDKSHADOW),
                 cl3DLight = SystemColor(COLOR_3DLIGHT), clInfoText = SystemColor(COLOR_INFOTEXT),
                 clInfoBk = SystemColor(COLOR_INFOBK);

// The RGB value of a colour; system colours are looked up.
COLORREF ColorToRGB(TColor color);
std::string ColorToString(TColor color);
// Colour names ("clRed"), system colour names, and numbers ("$00FF00", "255"); EConvertError when neither.
TColor StringToColor(const std::string& text);
bool IdentToColor(const std::string& ident, TColor& color);
// The property helpers of colour properties in form files ("clBtnFace" and numbers).
bool ColorIdentToInt(const std::string& ident, Int64& value);
bool ColorIntToIdent(Int64 value, std::string& ident);

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
DUN_ENUM(TFontStyle, "fsBold", "fsItalic", "fsUnderline", "fsStrikeOut");
using TFontStyles = Set<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
DUN_ENUM(TFontPitch, "fpDefault", "fpVariable", "fpFixed");
enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
DUN_ENUM(TBrushStyle, "bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal", "bsBDiagonal", "bsCross",
         "bsDiagCross");
enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
DUN_ENUM(TPenStyle, "psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame");
enum TPenMode { pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen,
                pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor };
using TCopyMode = LongInt;

using TNotifyEvent = std::function<void(TObject* sender)>;

// The shared base of font, brush and pen: an OS handle made on demand and a change event.
class TGraphicsObject : public TPersistent {
    DUN_CLASS(TGraphicsObject, TPersistent)
public:
    ~TGraphicsObject() override;
    TNotifyEvent OnChange;

protected:
    void Changed();
    void DeleteHandle();
    HGDIOBJ handle_ = nullptr;
};

class TFont : public TGraphicsObject {
    DUN_CLASS(TFont, TGraphicsObject)
public:
    TFont();
    void Assign(TPersistent* source) override;

    HFONT Handle();
    void SetHandle(HFONT font);
    const std::string& Name() const { return name_; }
    void SetName(const std::string& name);
    // Negative: character height in pixels; positive: cell height.
    Integer Height() const { return height_; }
    void SetHeight(Integer height);
    // Points at PixelsPerInch.
    Integer Size() const;
    void SetSize(Integer points);
    Integer PixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(Integer ppi) { pixelsPerInch_ = ppi; }
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch pitch);
    Byte Charset() const { return charset_; }
    void SetCharset(Byte charset);

    static void Publish(TPublisher<TFont>& p);

private:
    std::string name_ = "MS Sans Serif";
    Integer height_ = -11;
    Integer pixelsPerInch_ = 96;
    TColor color_ = clWindowText;
    TFontStyles style_;
    TFontPitch pitch_ = fpDefault;
    Byte charset_ = DEFAULT_CHARSET;
};

class TBrush : public TGraphicsObject {
    DUN_CLASS(TBrush, TGraphicsObject)
public:
    TBrush() = default;
    void Assign(TPersistent* source) override;

    HBRUSH Handle();
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle style);

    static void Publish(TPublisher<TBrush>& p);

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
};

class TPen : public TGraphicsObject {
    DUN_CLASS(TPen, TGraphicsObject)
public:
    TPen() = default;
    void Assign(TPersistent* source) override;

    HPEN Handle();
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    Integer Width() const { return width_; }
    void SetWidth(Integer width);
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle style);
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode mode);

    static void Publish(TPublisher<TPen>& p);

private:
    TColor color_ = clBlack;
    Integer width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
};

class TGraphic;
class TBitmap;
class TCanvas;

// One drawing call on a canvas, with the canvas's clip box, copy mode and tools as they were at the call.
struct TCanvasDrawing {
    TCanvas* Canvas = nullptr;
    // The canvas method: "TextOut", "TextRect", "ExtTextOut", "DrawText", "FillRect", "FrameRect", "Rectangle",
    // "RoundRect", "Ellipse", "Line", "Pixel", "DrawFocusRect", "DrawFrameControl", "DrawEdge", "Draw",
    // "StretchDraw", "CopyRect", "BrushCopy"; an image list's Draw is "ImageList".
    std::string Kind;
    TRect Rect{};       // where it draws (text is clipped to it); a line runs from (left, top) to (right, bottom)
    TPoint Pos{};       // where a text or an image starts
    std::string Text;
    UINT Flags = 0;     // DrawText format, ExtTextOut options, DrawEdge BF_ flags, DrawFrameControl DFCS_ state
    UINT Type = 0;      // DrawEdge edge (EDGE_, BDR_), DrawFrameControl kind (DFC_)
    Integer Index = -1; // an image list's image
    bool Enabled = true;  // an image list's image drawn enabled
    TRect SourceRect{};   // what CopyRect and BrushCopy copy
    TRect ClipRect{};     // the clip box of the canvas
    TCopyMode CopyMode = SRCCOPY;
    std::string FontName;
    Integer FontHeight = 0;
    TColor FontColor = clBlack;
    TFontStyles FontStyle;
    TColor BrushColor = clWhite;
    TBrushStyle BrushStyle = bsSolid;
    TColor PenColor = clBlack;
    TPenStyle PenStyle = psSolid;
    Integer PenWidth = 1;
    TPenMode PenMode = pmCopy;
};

// Hears what a canvas draws, as it is asked to: the printer's capture and the tests' recorder listen through this.
class TCanvasListener {
public:
    virtual ~TCanvasListener() = default;
    virtual void Drawn(const TCanvasDrawing& drawing) = 0;
};

// Drawing on a device context. A canvas with no handle asks CreateHandle for one (a control canvas gets its
// window's DC; a bitmap canvas selects the bitmap into a memory DC).
class TCanvas : public TPersistent {
    DUN_CLASS(TCanvas, TPersistent)
public:
    TCanvas();
    ~TCanvas() override;

    HDC Handle();
    void SetHandle(HDC dc);
    bool HandleAllocated() const { return dc_ != nullptr; }
    TFont* Font() const { return font_.get(); }
    void SetFont(TFont* font) { font_->Assign(font); }
    TBrush* Brush() const { return brush_.get(); }
    void SetBrush(TBrush* brush) { brush_->Assign(brush); }
    TPen* Pen() const { return pen_.get(); }
    void SetPen(TPen* pen) { pen_->Assign(pen); }
    TPoint PenPos() const { return penPos_; }
    void SetPenPos(TPoint pos) { MoveTo(pos.x, pos.y); }
    TCopyMode CopyMode() const { return copyMode_; }
    void SetCopyMode(TCopyMode mode) { copyMode_ = mode; }
    TColor Pixels(Integer x, Integer y);
    void SetPixels(Integer x, Integer y, TColor color);
    TRect ClipRect();

    void TextOut(Integer x, Integer y, const std::string& text);
    void TextRect(const TRect& rect, Integer x, Integer y, const std::string& text);
    // ExtTextOut with ETO_ options; rect may be nullptr.
    void ExtTextOut(Integer x, Integer y, UINT options, const TRect* rect, const std::string& text);
    // DrawText with a DT_ format; returns the text's height. With DT_CALCRECT it only measures (into rect).
    Integer DrawText(const std::string& text, TRect& rect, UINT format);
    Integer TextWidth(const std::string& text);
    Integer TextHeight(const std::string& text);
    SIZE TextExtent(const std::string& text);
    void FillRect(const TRect& rect);
    void FrameRect(const TRect& rect);
    void Rectangle(Integer x1, Integer y1, Integer x2, Integer y2);
    void Rectangle(const TRect& rect) { Rectangle(rect.left, rect.top, rect.right, rect.bottom); }
    void RoundRect(Integer x1, Integer y1, Integer x2, Integer y2, Integer x3, Integer y3);
    void Ellipse(Integer x1, Integer y1, Integer x2, Integer y2);
    void MoveTo(Integer x, Integer y);
    void LineTo(Integer x, Integer y);
    void Polyline(const TPoint* points, Integer count);
    void Polygon(const TPoint* points, Integer count);
    void Draw(Integer x, Integer y, TGraphic* graphic);
    void StretchDraw(const TRect& rect, TGraphic* graphic);
    void CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect);
    // Copies the bitmap, drawing its pixels of colour transparentColor in the brush colour.
    void BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& sourceRect, TColor transparentColor);
    void DrawFocusRect(const TRect& rect);
    // DrawFrameControl of a DFC_ kind in a DFCS_ state; DFCS_ADJUSTRECT leaves rect the inner rectangle.
    void DrawFrameControl(TRect& rect, UINT type, UINT state);
    // DrawEdge of an EDGE_ or BDR_ edge on the BF_ sides; BF_ADJUST leaves rect the inner rectangle.
    void DrawEdge(TRect& rect, UINT edge, UINT flags);

    TCanvasListener* Listener() const { return listener_; }
    void SetListener(TCanvasListener* listener) { listener_ = listener; }
    // A record of a drawing of this kind on the canvas now: its clip box, copy mode and tools.
    TCanvasDrawing Drawing(const char* kind, const TRect& rect);
    TNotifyEvent OnChange;

protected:
    virtual void CreateHandle() {}
    void Changed();

private:
    void RequireHandle();
    void SelectTools();
    void ToolChanged(TObject*);
    void Tell(const TCanvasDrawing& drawing);
    void Shape(const char* kind, const TRect& rect, UINT type = 0, UINT flags = 0);
    void CopyShape(const char* kind, const TRect& dest, const TRect& source);
    void TextShape(const char* kind, const TRect& rect, TPoint pos, const std::string& text, UINT flags);
    void DrawGraphic(const char* kind, const TRect& rect, TGraphic* graphic);
    using TFrameDrawer = BOOL(WINAPI*)(HDC, LPRECT, UINT, UINT);
    void DrawFrame(const char* kind, TFrameDrawer draw, TRect& rect, UINT type, UINT flags);

    HDC dc_ = nullptr;
    std::unique_ptr<TFont> font_;
    std::unique_ptr<TBrush> brush_;
    std::unique_ptr<TPen> pen_;
    TPoint penPos_{0, 0};
    TCopyMode copyMode_ = SRCCOPY;
    HGDIOBJ oldFont_ = nullptr, oldBrush_ = nullptr, oldPen_ = nullptr;
    bool toolsSelected_ = false;
    TCanvasListener* listener_ = nullptr;
};

// A picture that draws itself on a canvas.
class TGraphic : public TPersistent {
    DUN_CLASS(TGraphic, TPersistent)
public:
    virtual bool Empty() const = 0;
    virtual Integer Width() const = 0;
    virtual Integer Height() const = 0;
    virtual void Draw(TCanvas* canvas, const TRect& rect) = 0;
    // From the stream's position on; an empty rest of the stream makes the graphic empty.
    virtual void LoadFromStream(TStream* stream) = 0;
    // Writes nothing when the graphic is empty.
    virtual void SaveToStream(TStream* stream) = 0;
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent) { transparent_ = transparent; }
    TNotifyEvent OnChange;

protected:
    void Changed();
    bool transparent_ = false;
};

class TBitmapCanvas;

class TBitmap : public TGraphic {
    DUN_CLASS(TBitmap, TGraphic)
public:
    TBitmap();
    ~TBitmap() override;
    void Assign(TPersistent* source) override;

    bool Empty() const override { return bitmap_ == nullptr; }
    Integer Width() const override { return width_; }
    Integer Height() const override { return height_; }
    void SetWidth(Integer width) { SetSize(width, height_); }
    void SetHeight(Integer height) { SetSize(width_, height); }
    void SetSize(Integer width, Integer height);
    void Draw(TCanvas* canvas, const TRect& rect) override;
    // A .bmp file, or a bitmap without the file header.
    void LoadFromStream(TStream* stream) override;
    // A .bmp file of 24 bits per pixel.
    void SaveToStream(TStream* stream) override;
    void LoadFromResourceName(HINSTANCE instance, const std::string& name);
    void LoadFromResourceID(HINSTANCE instance, Integer id);
    HBITMAP Handle() const { return bitmap_; }
    // Takes ownership of the bitmap.
    void SetHandle(HBITMAP bitmap);
    TCanvas* Canvas();
    TColor TransparentColor();
    // Takes the bitmap out of its canvas's DC, so that it may be selected elsewhere; the canvas comes back on use.
    void Dormant();

private:
    friend class TBitmapCanvas;
    void FreeImage();

    HBITMAP bitmap_ = nullptr;
    Integer width_ = 0, height_ = 0;
    std::unique_ptr<TBitmapCanvas> canvas_;
};

class TIcon : public TGraphic {
    DUN_CLASS(TIcon, TGraphic)
public:
    TIcon() = default;
    ~TIcon() override;
    void Assign(TPersistent* source) override;
    bool Empty() const override { return icon_ == nullptr; }
    Integer Width() const override { return width_; }
    Integer Height() const override { return height_; }
    void Draw(TCanvas* canvas, const TRect& rect) override;
    // An .ico file; saving writes back the file the icon was loaded from.
    void LoadFromStream(TStream* stream) override;
    void SaveToStream(TStream* stream) override;
    HICON Handle() const { return icon_; }
    // Takes ownership of the icon.
    void SetHandle(HICON icon);

private:
    void ReplaceIcon(HICON icon, const std::string& file);

    HICON icon_ = nullptr;
    Integer width_ = 0, height_ = 0;
    std::string file_;  // the .ico file it came from, if any
};

// Holds one graphic of any kind.
class TPicture : public TPersistent {
    DUN_CLASS(TPicture, TPersistent)
public:
    TPicture();
    ~TPicture() override;
    void Assign(TPersistent* source) override;

    TGraphic* Graphic() const { return graphic_.get(); }
    void SetGraphic(TGraphic* graphic);
    TBitmap* Bitmap();
    TIcon* Icon();
    Integer Width() const { return graphic_ ? graphic_->Width() : 0; }
    Integer Height() const { return graphic_ ? graphic_->Height() : 0; }
    // .bmp and .ico files, by extension.
    void LoadFromFile(const std::string& fileName);
    // A bitmap (TBitmap::LoadFromStream).
    void LoadFromStream(TStream* stream);
    TNotifyEvent OnChange;

private:
    void Changed();
    std::unique_ptr<TGraphic> graphic_;
};
