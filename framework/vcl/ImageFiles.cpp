#include "vcl/ImageFiles.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Larger images are refused rather than allocated.
constexpr Int64 maxImageBytes = 64 << 20;
constexpr Integer maxDimension = 32768;

[[noreturn]] void InvalidBitmap() { throw EInvalidGraphic("Bitmap image is not valid"); }
[[noreturn]] void InvalidIcon() { throw EInvalidGraphic("Icon image is not valid"); }

template <class T>
T ReadAt(const std::vector<char>& bytes, size_t at)
{
    T value;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

bool IsKnownHeaderSize(DWORD size)
{
    return size == sizeof(BITMAPCOREHEADER) || size == sizeof(BITMAPINFOHEADER) || size == 52 || size == 56 ||
           size == sizeof(BITMAPV4HEADER) || size == sizeof(BITMAPV5HEADER);
}

bool IsKnownBitCount(Integer bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

Int64 RowBytes(Int64 width, Integer bitCount) { return ((width * bitCount + 31) / 32) * 4; }

// The header of an uncompressed 24-bit bottom-up image.
BITMAPINFOHEADER Rgb24Header(Integer width, Integer height)
{
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = DWORD(RowBytes(width, 24)) * height;
    return header;
}

// What the info header says about the rest of the bitmap.
struct TDibLayout {
    Integer Width = 0, Height = 0, BitCount = 0;
    Int64 TableBytes = 0;  // colour table and bit-field masks
    Int64 ImageBytes = 0;
};

TDibLayout CoreLayout(const std::vector<char>& header)
{
    TDibLayout layout;
    layout.Width = ReadAt<WORD>(header, 4);
    layout.Height = ReadAt<WORD>(header, 6);
    layout.BitCount = ReadAt<WORD>(header, 10);
    if (!IsKnownBitCount(layout.BitCount)) InvalidBitmap();
    layout.TableBytes = layout.BitCount <= 8 ? (Int64(1) << layout.BitCount) * sizeof(RGBTRIPLE) : 0;
    layout.ImageBytes = RowBytes(layout.Width, layout.BitCount) * layout.Height;
    return layout;
}

TDibLayout InfoLayout(const std::vector<char>& header)
{
    TDibLayout layout;
    layout.Width = ReadAt<LONG>(header, 4);
    layout.Height = ReadAt<LONG>(header, 8);
    layout.BitCount = ReadAt<WORD>(header, 14);
    const DWORD compression = ReadAt<DWORD>(header, 16);
    const DWORD sizeImage = ReadAt<DWORD>(header, 20);
    const DWORD colorsUsed = ReadAt<DWORD>(header, 32);
    if (!IsKnownBitCount(layout.BitCount)) InvalidBitmap();
    const Int64 paletteSize = layout.BitCount <= 8 ? Int64(1) << layout.BitCount : 0;
    if (colorsUsed > 256 || (paletteSize && colorsUsed > paletteSize)) InvalidBitmap();
    layout.TableBytes = (colorsUsed ? colorsUsed : paletteSize) * sizeof(RGBQUAD);
    const Int64 rows = std::abs(Int64(layout.Height));
    switch (compression) {
    case BI_BITFIELDS:
        if (layout.BitCount != 16 && layout.BitCount != 32) InvalidBitmap();
        if (header.size() == sizeof(BITMAPINFOHEADER)) layout.TableBytes += 3 * sizeof(DWORD);
        [[fallthrough]];
    case BI_RGB:
        layout.ImageBytes = RowBytes(layout.Width, layout.BitCount) * rows;
        break;
    case BI_RLE8:
    case BI_RLE4:
        if (layout.BitCount != (compression == BI_RLE8 ? 8 : 4) || layout.Height < 0 || sizeImage == 0)
            InvalidBitmap();
        layout.ImageBytes = sizeImage;
        break;
    default:
        InvalidBitmap();
    }
    return layout;
}

void CheckLayout(const TDibLayout& layout)
{
    if (layout.Width <= 0 || layout.Width > maxDimension || layout.Height == 0 ||
        std::abs(layout.Height) > maxDimension || layout.ImageBytes > maxImageBytes)
        InvalidBitmap();
}

// The offset of the pixels from the info header when a file header precedes it, else -1.
Int64 ReadFileHeader(TStream* stream)
{
    const Int64 start = stream->Position();
    BITMAPFILEHEADER file{};
    if (stream->Read(&file, sizeof file) == sizeof file && file.bfType == 0x4D42)
        return Int64(file.bfOffBits) - Int64(sizeof file);
    stream->SetPosition(start);
    return -1;
}

struct TDib {
    std::vector<char> Bytes;  // info header, colour table, pixels
    size_t BitsOffset = 0;
};

TDib ReadDib(TStream* stream, Int64 bitsOffset)
{
    DWORD headerSize = 0;
    stream->ReadBuffer(&headerSize, sizeof headerSize);
    if (!IsKnownHeaderSize(headerSize)) InvalidBitmap();
    TDib dib;
    dib.Bytes.resize(headerSize);
    std::memcpy(dib.Bytes.data(), &headerSize, sizeof headerSize);
    stream->ReadBuffer(dib.Bytes.data() + sizeof headerSize, Integer(headerSize - sizeof headerSize));
    const TDibLayout layout =
        headerSize == sizeof(BITMAPCOREHEADER) ? CoreLayout(dib.Bytes) : InfoLayout(dib.Bytes);
    CheckLayout(layout);
    Int64 bits = headerSize + layout.TableBytes;
    if (bitsOffset >= 0) {
        if (bitsOffset < bits || bitsOffset - bits > maxImageBytes) InvalidBitmap();
        bits = bitsOffset;
    }
    dib.BitsOffset = size_t(bits);
    dib.Bytes.resize(size_t(bits + layout.ImageBytes));
    stream->ReadBuffer(dib.Bytes.data() + headerSize, Integer(dib.Bytes.size() - headerSize));
    return dib;
}

// ---- icons

#pragma pack(push, 1)
struct TIconDirectory {
    WORD Reserved;
    WORD Type;
    WORD Count;
};
struct TIconDirEntry {
    BYTE Width;
    BYTE Height;
    BYTE ColorCount;
    BYTE Reserved;
    WORD Planes;
    WORD BitCount;
    DWORD BytesInRes;
    DWORD ImageOffset;
};
#pragma pack(pop)
static_assert(sizeof(TIconDirectory) == 6);
static_assert(sizeof(TIconDirEntry) == 16);

Integer EntrySize(BYTE size) { return size == 0 ? 256 : size; }

const TIconDirEntry* IconEntries(const std::string& file)
{
    return reinterpret_cast<const TIconDirEntry*>(file.data() + sizeof(TIconDirectory));
}

// A 24-bit bottom-up DIB section of the given size, selected into its own DC.
struct TDrawingSurface {
    TDrawingSurface(Integer width, Integer height)
    {
        BITMAPINFO info{};
        info.bmiHeader = Rgb24Header(width, height);
        Dc = CreateCompatibleDC(nullptr);
        Bitmap = CreateDIBSection(Dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&Bits), nullptr, 0);
        if (!Bitmap) {
            DeleteDC(Dc);
            throw EOutOfMemory("Out of system resources");
        }
        Old = SelectObject(Dc, Bitmap);
    }
    ~TDrawingSurface()
    {
        SelectObject(Dc, Old);
        DeleteObject(Bitmap);
        DeleteDC(Dc);
    }
    TDrawingSurface(const TDrawingSurface&) = delete;
    TDrawingSurface& operator=(const TDrawingSurface&) = delete;

    HDC Dc = nullptr;
    HBITMAP Bitmap = nullptr;
    HGDIOBJ Old = nullptr;
    unsigned char* Bits = nullptr;
};

std::string IconImageColours(HICON icon, Integer width, Integer height)
{
    TDrawingSurface surface(width, height);
    DrawIconEx(surface.Dc, 0, 0, icon, width, height, 0, nullptr, DI_IMAGE);
    GdiFlush();
    return std::string(reinterpret_cast<char*>(surface.Bits), size_t(RowBytes(width, 24)) * height);
}

// One bit per pixel, set where the icon is transparent.
std::string IconImageMask(HICON icon, Integer width, Integer height)
{
    TDrawingSurface surface(width, height);
    DrawIconEx(surface.Dc, 0, 0, icon, width, height, 0, nullptr, DI_MASK);
    GdiFlush();
    const Int64 sourceRow = RowBytes(width, 24), maskRow = RowBytes(width, 1);
    std::string mask(size_t(maskRow) * height, '\0');
    for (Integer y = 0; y < height; ++y)
        for (Integer x = 0; x < width; ++x)
            if (surface.Bits[y * sourceRow + x * 3]) mask[y * maskRow + x / 8] |= char(0x80 >> (x % 8));
    return mask;
}

template <class T>
void Append(std::string& out, const T& value)
{
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

}  // namespace

HBITMAP ReadBitmap(TStream* stream)
{
    if (stream->Size() <= stream->Position()) return nullptr;
    const Int64 bitsOffset = ReadFileHeader(stream);
    const TDib dib = ReadDib(stream, bitsOffset);
    const auto* info = reinterpret_cast<const BITMAPINFO*>(dib.Bytes.data());
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, &info->bmiHeader, CBM_INIT, dib.Bytes.data() + dib.BitsOffset, info,
                                    DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (!bitmap) InvalidBitmap();
    return bitmap;
}

void WriteBitmap(TStream* stream, HBITMAP bitmap, Integer width, Integer height)
{
    BITMAPINFO info{};
    info.bmiHeader = Rgb24Header(width, height);
    std::vector<char> bits(info.bmiHeader.biSizeImage);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, height, bits.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != height) throw EInvalidGraphic("Bitmap image is not valid");
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + info.bmiHeader.biSizeImage;
    stream->WriteBuffer(&file, sizeof file);
    stream->WriteBuffer(&info.bmiHeader, sizeof info.bmiHeader);
    stream->WriteBuffer(bits.data(), Integer(bits.size()));
}

std::string ReadIconFile(TStream* stream)
{
    TIconDirectory directory{};
    if (stream->Read(&directory, sizeof directory) != sizeof directory || directory.Reserved != 0 ||
        directory.Type != 1 || directory.Count == 0)
        InvalidIcon();
    std::string file(sizeof directory + directory.Count * sizeof(TIconDirEntry), '\0');
    std::memcpy(file.data(), &directory, sizeof directory);
    stream->ReadBuffer(file.data() + sizeof directory, Integer(file.size() - sizeof directory));
    Int64 end = Int64(file.size());
    for (WORD i = 0; i < directory.Count; ++i) {
        const TIconDirEntry& entry = IconEntries(file)[i];
        if (entry.ImageOffset < file.size() || entry.BytesInRes == 0) InvalidIcon();
        end = std::max(end, Int64(entry.ImageOffset) + entry.BytesInRes);
    }
    if (end > maxImageBytes) InvalidIcon();
    const size_t read = file.size();
    file.resize(size_t(end));
    stream->ReadBuffer(file.data() + read, Integer(file.size() - read));
    return file;
}

HICON IconFromFile(const std::string& file)
{
    const auto count = reinterpret_cast<const TIconDirectory*>(file.data())->Count;
    const TIconDirEntry* chosen = IconEntries(file);
    for (WORD i = 0; i < count; ++i) {
        const TIconDirEntry& entry = IconEntries(file)[i];
        if (EntrySize(entry.Width) == GetSystemMetrics(SM_CXICON) &&
            EntrySize(entry.Height) == GetSystemMetrics(SM_CYICON)) {
            chosen = &entry;
            break;
        }
    }
    auto* image = reinterpret_cast<BYTE*>(const_cast<char*>(file.data())) + chosen->ImageOffset;
    HICON icon = CreateIconFromResourceEx(image, chosen->BytesInRes, TRUE, 0x00030000, EntrySize(chosen->Width),
                                          EntrySize(chosen->Height), LR_DEFAULTCOLOR);
    if (!icon) InvalidIcon();
    return icon;
}

std::string IconFileOf(HICON icon, Integer width, Integer height)
{
    const std::string colours = IconImageColours(icon, width, height);
    const std::string mask = IconImageMask(icon, width, height);
    BITMAPINFOHEADER header = Rgb24Header(width, height * 2);  // the colours, then the mask
    header.biSizeImage = DWORD(colours.size() + mask.size());
    const TIconDirectory directory{0, 1, 1};
    const TIconDirEntry entry{BYTE(width >= 256 ? 0 : width), BYTE(height >= 256 ? 0 : height), 0, 0, 1, 24,
                              DWORD(sizeof header + header.biSizeImage),
                              DWORD(sizeof directory + sizeof(TIconDirEntry))};
    std::string file;
    Append(file, directory);
    Append(file, entry);
    Append(file, header);
    file += colours;
    file += mask;
    return file;
}
