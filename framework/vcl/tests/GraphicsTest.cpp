// Colours, fonts, bitmaps and icons.
#include <gtest/gtest.h>

#include <cstring>

#include "rtl/Exceptions.h"
#include "rtl/Streams.h"
#include "vcl/Graphics.h"

TEST(Colors, NamesAndNumbersConvertBothWays)
{
    struct Case {
        const char* Text;
        TColor Color;
    } cases[] = {{"clRed", clRed}, {"clBtnFace", clBtnFace}, {"clyellow", clYellow}, {"$00FF8000", 0x00FF8000},
                 {"255", 255}};
    for (const Case& c : cases) EXPECT_EQ(StringToColor(c.Text), c.Color) << c.Text;
    EXPECT_EQ(ColorToString(clNavy), "clNavy");
    EXPECT_EQ(ColorToString(0x123456), "$00123456");
    EXPECT_THROW(StringToColor("clNoSuch"), EConvertError);
    EXPECT_EQ(ColorToRGB(clRed), COLORREF(0x0000FF));
    EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
}

TEST(Font, SizeAndHeightFollowPixelsPerInch)
{
    TFont font;
    font.SetSize(8);
    EXPECT_EQ(font.Height(), -11);
    font.SetPixelsPerInch(600);
    font.SetSize(10);
    EXPECT_EQ(font.Height(), -83);
    EXPECT_EQ(font.Size(), 10);
    int changes = 0;
    font.OnChange = [&](TObject*) { ++changes; };
    font.SetStyle({fsBold});
    font.SetStyle({fsBold});
    EXPECT_EQ(changes, 1);
    EXPECT_NE(font.Handle(), nullptr);
}

TEST(Bitmap, CanvasDrawsIntoItsPixelsAndCopies)
{
    TBitmap bitmap;
    bitmap.SetSize(20, 10);
    TCanvas* canvas = bitmap.Canvas();
    canvas->Brush()->SetColor(clRed);
    canvas->FillRect(Rect(0, 0, 10, 10));
    EXPECT_EQ(canvas->Pixels(5, 5), clRed);
    EXPECT_EQ(canvas->Pixels(15, 5), clWhite);
    TBitmap copy;
    copy.Assign(&bitmap);
    EXPECT_EQ(copy.Width(), 20);
    EXPECT_EQ(copy.Canvas()->Pixels(5, 5), clRed);
    EXPECT_EQ(copy.TransparentColor(), clRed);
}

namespace {

// A 5 x 3 bitmap (rows padded in the file) whose pixels all differ.
void PaintPattern(TBitmap& bitmap)
{
    bitmap.SetSize(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) bitmap.Canvas()->SetPixels(x, y, TColor(RGB(40 * x, 80 * y, 200 - 30 * x)));
}

void ExpectSamePixels(TBitmap& expected, TBitmap& actual)
{
    ASSERT_EQ(actual.Width(), expected.Width());
    ASSERT_EQ(actual.Height(), expected.Height());
    for (int y = 0; y < expected.Height(); ++y)
        for (int x = 0; x < expected.Width(); ++x)
            EXPECT_EQ(actual.Canvas()->Pixels(x, y), expected.Canvas()->Pixels(x, y)) << x << "," << y;
}

std::string Bytes(TMemoryStream& stream)
{
    return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

// A bare 40-byte-header DIB of width x height at 24 bits.
std::string BareDib(int width, int height)
{
    TBitmap bitmap;
    bitmap.SetSize(width, height);
    TMemoryStream stream;
    bitmap.SaveToStream(&stream);
    return Bytes(stream).substr(sizeof(BITMAPFILEHEADER));
}

}  // namespace

TEST(Bitmap, StreamRoundTripFromAnyPositionWithAndWithoutFileHeader)
{
    TBitmap original;
    PaintPattern(original);
    TMemoryStream stream;
    stream.WriteBuffer("8 bytes!", 8);
    original.SaveToStream(&stream);
    const Int64 end = stream.Size();
    stream.WriteBuffer("tail", 4);
    EXPECT_EQ(Bytes(stream).substr(8, 2), "BM");

    TBitmap withHeader;
    stream.SetPosition(8);
    withHeader.LoadFromStream(&stream);
    ExpectSamePixels(original, withHeader);
    EXPECT_EQ(stream.Position(), end);  // what follows the bitmap is left unread

    TMemoryStream bare;
    bare.WriteBuffer("abc", 3);
    const std::string dib = Bytes(stream).substr(8 + sizeof(BITMAPFILEHEADER));
    bare.WriteBuffer(dib.data(), Integer(dib.size()));
    bare.SetPosition(3);
    TBitmap withoutHeader;
    withoutHeader.LoadFromStream(&bare);
    ExpectSamePixels(original, withoutHeader);

    bare.SetPosition(bare.Size());
    withoutHeader.LoadFromStream(&bare);
    EXPECT_TRUE(withoutHeader.Empty());
    TMemoryStream nothing;
    withoutHeader.SaveToStream(&nothing);
    EXPECT_EQ(nothing.Size(), 0);
}

TEST(Bitmap, PaletteBitmapsLoadTheirColours)
{
    // 2 x 2, 4 bits: a red and a blue pixel on top, both green below (rows bottom-up, padded to 4 bytes).
    BITMAPINFOHEADER header{sizeof header, 2, 2, 1, 4, BI_RGB, 0, 0, 0, 0, 0};
    std::string dib(reinterpret_cast<const char*>(&header), sizeof header);
    const RGBQUAD palette[16] = {{0, 0, 255, 0}, {255, 0, 0, 0}, {0, 255, 0, 0}};
    dib.append(reinterpret_cast<const char*>(palette), sizeof palette);
    dib += std::string("\x22\0\0\0\x01\0\0\0", 8);
    TStringStream stream(dib);
    TBitmap bitmap;
    bitmap.LoadFromStream(&stream);
    EXPECT_EQ(bitmap.Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(bitmap.Canvas()->Pixels(1, 0), clBlue);
    EXPECT_EQ(bitmap.Canvas()->Pixels(1, 1), clLime);
}

TEST(Bitmap, DamagedDataIsRefused)
{
    const std::string good = BareDib(4, 4);
    struct Case {
        const char* What;
        size_t Offset;
        int32_t Value;
    } cases[] = {{"header size", 0, 41},      {"width", 4, 0},         {"negative width", 4, -3},
                 {"huge height", 8, 1 << 24}, {"huge width", 4, 0x7FFFFFFF}, {"bit count", 14, 3},    {"compression", 16, 9},
                 {"colours used", 32, 1000}};
    for (const Case& c : cases) {
        std::string bad = good;
        if (c.Offset == 14)
            std::memcpy(bad.data() + c.Offset, &c.Value, 2);
        else
            std::memcpy(bad.data() + c.Offset, &c.Value, 4);
        TStringStream stream(bad);
        TBitmap bitmap;
        EXPECT_THROW(bitmap.LoadFromStream(&stream), EInvalidGraphic) << c.What;
    }
    TStringStream truncated(good.substr(0, good.size() - 1));
    TBitmap bitmap;
    EXPECT_THROW(bitmap.LoadFromStream(&truncated), EReadError);
    TStringStream notABitmap("BM and then some text that is no header");
    EXPECT_THROW(bitmap.LoadFromStream(&notABitmap), EInvalidGraphic);
}

TEST(Bitmap, FilesAndPicturesLoadThroughStreams)
{
    TBitmap original;
    PaintPattern(original);
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string fileName = std::string(folder) + "vcl-graphics-test.bmp";
    original.SaveToFile(fileName);
    TPicture picture;
    picture.LoadFromFile(fileName);
    DeleteFileA(fileName.c_str());
    ExpectSamePixels(original, *picture.Bitmap());

    TMemoryStream stream;
    original.SaveToStream(&stream);
    stream.SetPosition(0);
    TPicture fromStream;
    int changes = 0;
    fromStream.OnChange = [&](TObject*) { ++changes; };
    fromStream.LoadFromStream(&stream);
    EXPECT_GE(changes, 1);
    ExpectSamePixels(original, *fromStream.Bitmap());
}

TEST(Icon, StreamRoundTripKeepsImageAndMask)
{
    // 16 x 16: the left half red, the right half transparent (black in the colours, white in the mask).
    TBitmap colours, mask;
    colours.SetSize(16, 16);
    colours.Canvas()->Brush()->SetColor(clBlack);
    colours.Canvas()->FillRect(Rect(8, 0, 16, 16));
    colours.Canvas()->Brush()->SetColor(clRed);
    colours.Canvas()->FillRect(Rect(0, 0, 8, 16));
    mask.SetSize(16, 16);
    mask.Canvas()->Brush()->SetColor(clBlack);
    mask.Canvas()->FillRect(Rect(0, 0, 8, 16));
    colours.Dormant();
    mask.Dormant();
    HBITMAP monoMask = static_cast<HBITMAP>(CopyImage(mask.Handle(), IMAGE_BITMAP, 16, 16, LR_MONOCHROME));
    ICONINFO info{TRUE, 0, 0, monoMask, colours.Handle()};
    TIcon icon;
    icon.SetHandle(CreateIconIndirect(&info));
    DeleteObject(monoMask);
    ASSERT_FALSE(icon.Empty());
    EXPECT_EQ(icon.Width(), 16);

    TMemoryStream stream;
    stream.WriteBuffer("xy", 2);
    icon.SaveToStream(&stream);
    stream.SetPosition(2);
    TIcon loaded;
    loaded.LoadFromStream(&stream);
    EXPECT_EQ(loaded.Width(), 16);
    EXPECT_EQ(loaded.Height(), 16);
    TBitmap drawn;
    drawn.SetSize(16, 16);
    drawn.Canvas()->Draw(0, 0, &loaded);
    EXPECT_EQ(drawn.Canvas()->Pixels(2, 8), clRed);
    EXPECT_EQ(drawn.Canvas()->Pixels(13, 8), clWhite);

    TMemoryStream again;
    loaded.SaveToStream(&again);
    EXPECT_EQ(Bytes(again), Bytes(stream).substr(2));  // the loaded file, byte for byte
    TIcon copy;
    copy.Assign(&loaded);
    EXPECT_EQ(copy.Width(), 16);
    EXPECT_NE(copy.Handle(), loaded.Handle());
    EXPECT_THROW(colours.Assign(&loaded), EConvertError);

    TStringStream notAnIcon(std::string("\0\0\2\0\1\0", 6));
    EXPECT_THROW(loaded.LoadFromStream(&notAnIcon), EInvalidGraphic);
    EXPECT_FALSE(loaded.Empty());
    loaded.LoadFromStream(&again);  // at its end
    EXPECT_TRUE(loaded.Empty());
}
