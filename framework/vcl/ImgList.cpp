#include "vcl/ImgList.h"

#include <objbase.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "classes/ClassRegistry.h"
#include "classes/Filer.h"
#include "rtl/Streams.h"

// Declared by the common controls' header only when the COM stream interface is known before it.
extern "C" {
HIMAGELIST WINAPI ImageList_Read(IStream* stream);
BOOL WINAPI ImageList_Write(HIMAGELIST list, IStream* stream);
}

namespace {

struct TRegistration {
    TRegistration() { RegisterClasses<TImageList>(); }
} registration;

// Fills the source's opaque shape (its black pixels) with a colour, leaving the rest of the destination.
void PaintShape(HDC dc, Integer x, Integer y, Integer width, Integer height, HDC shape, TColor color)
{
    constexpr DWORD destWhereSourceSetElsePattern = 0x00B8074A;
    HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    BitBlt(dc, x, y, width, height, shape, 0, 0, destWhereSourceSetElsePattern);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
}

std::string ReadRest(TStream* stream)
{
    std::string bytes(size_t(std::max<Int64>(0, stream->Size() - stream->Position())), '\0');
    if (!bytes.empty()) stream->ReadBuffer(bytes.data(), Integer(bytes.size()));
    return bytes;
}

// A COM stream over a copy of the bytes (or an empty one).
IStream* MemoryComStream(const std::string& bytes)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.empty() ? 1 : bytes.size());
    if (!memory) throw EOutOfMemory("Out of memory");
    std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
    GlobalUnlock(memory);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        throw EOutOfMemory("Out of memory");
    }
    ULARGE_INTEGER size;
    size.QuadPart = bytes.size();
    stream->SetSize(size);
    return stream;
}

std::string ComStreamBytes(IStream* stream)
{
    LARGE_INTEGER zero{};
    ULARGE_INTEGER end{};
    stream->Seek(zero, STREAM_SEEK_CUR, &end);
    HGLOBAL memory = nullptr;
    GetHGlobalFromStream(stream, &memory);
    std::string bytes(static_cast<const char*>(GlobalLock(memory)), size_t(end.QuadPart));
    GlobalUnlock(memory);
    return bytes;
}

}  // namespace

TImageList::TImageList(TComponent* owner) : TComponent(owner) {}

TImageList::~TImageList() { FreeHandle(); }

void TImageList::Publish(TPublisher<TImageList>& p)
{
    p.Property("AllocBy", &TImageList::AllocBy, &TImageList::SetAllocBy).Default(4);
    p.Property("BkColor", &TImageList::BkColor, &TImageList::SetBkColor)
        .Default(clNone)
        .Idents(ColorIdentToInt, ColorIntToIdent);
    p.Property("Height", &TImageList::Height, &TImageList::SetHeight).Default(16);
    p.Property("Masked", &TImageList::Masked, &TImageList::SetMasked).Default(true);
    p.Property("Width", &TImageList::Width, &TImageList::SetWidth).Default(16);
    p.Property("OnChange", &TImageList::OnChange);
}

void TImageList::DefineProperties(TFiler* filer)
{
    TComponent::DefineProperties(filer);
    filer->DefineBinaryProperty(
        "Bitmap", [this](TStream* stream) { ReadImages(stream); }, [this](TStream* stream) { WriteImages(stream); },
        Count() > 0);
}

void TImageList::Change()
{
    if (OnChange) OnChange(this);
}

HIMAGELIST TImageList::Handle()
{
    if (!handle_) {
        handle_ = ImageList_Create(width_, height_, ILC_COLOR24 | (masked_ ? ILC_MASK : 0), allocBy_, allocBy_);
        if (!handle_) throw EOutOfMemory("Out of system resources");
        ImageList_SetBkColor(handle_, bkColor_ == clNone ? CLR_NONE : ColorToRGB(bkColor_));
    }
    return handle_;
}

void TImageList::FreeHandle()
{
    if (handle_) ImageList_Destroy(handle_);
    handle_ = nullptr;
}

Integer TImageList::Count() const { return handle_ ? ImageList_GetImageCount(handle_) : 0; }

void TImageList::SetWidth(Integer width)
{
    if (width == width_) return;
    width_ = width;
    if (handle_) ImageList_SetIconSize(handle_, width_, height_);
    Change();
}

void TImageList::SetHeight(Integer height)
{
    if (height == height_) return;
    height_ = height;
    if (handle_) ImageList_SetIconSize(handle_, width_, height_);
    Change();
}

void TImageList::SetMasked(bool masked)
{
    if (masked == masked_) return;
    masked_ = masked;
    FreeHandle();
    Change();
}

void TImageList::SetBkColor(TColor color)
{
    bkColor_ = color;
    if (handle_) ImageList_SetBkColor(handle_, color == clNone ? CLR_NONE : ColorToRGB(color));
    Change();
}

void TImageList::CheckIndex(Integer index) const
{
    if (index < 0 || index >= Count()) throw EInvalidOperation("Invalid ImageList Index");
}

Integer TImageList::Add(TBitmap* image, TBitmap* mask)
{
    image->Dormant();
    if (mask) mask->Dormant();
    const Integer index = ImageList_Add(Handle(), image->Handle(), mask ? mask->Handle() : nullptr);
    if (index < 0) throw EInvalidOperation("Unable to insert an image");
    Change();
    return index;
}

Integer TImageList::AddMasked(TBitmap* image, TColor maskColor)
{
    if (!masked_ || maskColor == clNone) return Add(image, nullptr);
    image->Dormant();
    const Integer index = ImageList_AddMasked(Handle(), image->Handle(), ColorToRGB(maskColor));
    if (index < 0) throw EInvalidOperation("Unable to insert an image");
    Change();
    return index;
}

void TImageList::Delete(Integer index)
{
    CheckIndex(index);
    ImageList_Remove(handle_, index);
    Change();
}

void TImageList::Clear()
{
    if (handle_) ImageList_Remove(handle_, -1);
    Change();
}

void TImageList::Draw(TCanvas* canvas, Integer x, Integer y, Integer index, bool enabled)
{
    CheckIndex(index);
    HDC dc = canvas->Handle();
    if (enabled)
        ImageList_Draw(handle_, index, dc, x, y, ILD_NORMAL);
    else
        DrawDisabled(dc, x, y, index);
    if (TCanvasListener* listener = canvas->Listener()) {
        TCanvasDrawing drawing = canvas->Drawing("ImageList", Bounds(x, y, width_, height_));
        drawing.Pos = Point(x, y);
        drawing.Index = index;
        drawing.Enabled = enabled;
        listener->Drawn(drawing);
    }
}

void TImageList::DrawDisabled(HDC dc, Integer x, Integer y, Integer index)
{
    HBITMAP shapeBitmap = OpaqueShape(index);
    HDC shape = CreateCompatibleDC(dc);
    HGDIOBJ oldBitmap = SelectObject(shape, shapeBitmap);
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF oldBack = ::SetBkColor(dc, RGB(255, 255, 255));
    PaintShape(dc, x + 1, y + 1, width_, height_, shape, clBtnHighlight);
    PaintShape(dc, x, y, width_, height_, shape, clBtnShadow);
    SetTextColor(dc, oldText);
    ::SetBkColor(dc, oldBack);
    SelectObject(shape, oldBitmap);
    DeleteObject(shapeBitmap);
    DeleteDC(shape);
}

// A monochrome bitmap of the image, black where it is opaque: the pixels it draws alike on white and on black.
HBITMAP TImageList::OpaqueShape(Integer index)
{
    const Integer rowBytes = ((width_ + 15) / 16) * 2;
    std::vector<unsigned char> bits(size_t(rowBytes) * height_, 0xFF);
    TBitmap onWhite, onBlack;
    onWhite.SetSize(width_, height_);
    onBlack.SetSize(width_, height_);
    PatBlt(onBlack.Canvas()->Handle(), 0, 0, width_, height_, BLACKNESS);
    ImageList_DrawEx(handle_, index, onWhite.Canvas()->Handle(), 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_NORMAL);
    ImageList_DrawEx(handle_, index, onBlack.Canvas()->Handle(), 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_NORMAL);
    for (Integer row = 0; row < height_; ++row)
        for (Integer column = 0; column < width_; ++column)
            if (onWhite.Canvas()->Pixels(column, row) == onBlack.Canvas()->Pixels(column, row))
                bits[row * rowBytes + column / 8] &= ~(0x80 >> (column % 8));
    return CreateBitmap(width_, height_, 1, 1, bits.data());
}

void TImageList::GetBitmap(Integer index, TBitmap* image)
{
    CheckIndex(index);
    image->SetSize(width_, height_);
    TCanvas* canvas = image->Canvas();
    canvas->Brush()->SetColor(clWhite);
    canvas->FillRect(Rect(0, 0, width_, height_));
    ImageList_Draw(handle_, index, canvas->Handle(), 0, 0, ILD_NORMAL);
}

bool TImageList::ResourceLoad(HINSTANCE instance, const std::string& name, TColor maskColor)
{
    if (!FindResourceA(instance, name.c_str(), RT_BITMAP)) return false;
    TBitmap strip;
    strip.LoadFromResourceName(instance, name);
    if (handle_) ImageList_Remove(handle_, -1);
    AddMasked(&strip, maskColor);
    return true;
}

void TImageList::ReadImages(TStream* stream)
{
    IStream* source = MemoryComStream(ReadRest(stream));
    HIMAGELIST list = ImageList_Read(source);
    source->Release();
    if (!list) throw EReadError("Failed to read ImageList data from stream");
    FreeHandle();
    handle_ = list;
    int width = 0, height = 0;
    ImageList_GetIconSize(handle_, &width, &height);
    width_ = width;
    height_ = height;
    ImageList_SetBkColor(handle_, bkColor_ == clNone ? CLR_NONE : ColorToRGB(bkColor_));
    Change();
}

void TImageList::WriteImages(TStream* stream)
{
    IStream* target = MemoryComStream(std::string());
    const bool written = ImageList_Write(Handle(), target);
    const std::string bytes = written ? ComStreamBytes(target) : std::string();
    target->Release();
    if (!written) throw EWriteError("Failed to write ImageList data to stream");
    stream->WriteBuffer(bytes.data(), Integer(bytes.size()));
}
