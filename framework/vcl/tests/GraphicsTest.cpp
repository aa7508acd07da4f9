// Colours, fonts and bitmaps.
#include <gtest/gtest.h>

#include "rtl/Exceptions.h"
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
