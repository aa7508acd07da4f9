// Image lists: adding and cutting images, drawing them enabled and disabled, resources and form files.
#include <gtest/gtest.h>

#include <memory>

#include "classes/DataModule.h"
#include "classes/FormResource.h"
#include "rtl/Streams.h"
#include "vcl/ImgList.h"

namespace {

// An 8 x 8 image per colour side by side; each but the last has a one-pixel fuchsia frame.
void PaintStrip(TBitmap& strip, std::initializer_list<TColor> colours)
{
    strip.SetSize(8 * Integer(colours.size()), 8);
    TCanvas* canvas = strip.Canvas();
    Integer left = 0;
    for (TColor colour : colours) {
        const bool last = left == 8 * Integer(colours.size() - 1);
        canvas->Brush()->SetColor(last ? colour : clFuchsia);
        canvas->FillRect(Rect(left, 0, left + 8, 8));
        canvas->Brush()->SetColor(colour);
        canvas->FillRect(Rect(left + 1, 1, left + 7, 7));
        left += 8;
    }
}

void Fill(TBitmap& bitmap, Integer width, Integer height, TColor colour)
{
    bitmap.SetSize(width, height);
    bitmap.Canvas()->Brush()->SetColor(colour);
    bitmap.Canvas()->FillRect(Rect(0, 0, width, height));
}

TColor Rgb(TColor colour) { return TColor(ColorToRGB(colour)); }

}  // namespace

TEST(ImageList, AStripIsCutIntoImagesDrawnTransparentAndDeleted)
{
    TImageList list(nullptr);
    EXPECT_EQ(list.Width(), 16);
    EXPECT_EQ(list.Height(), 16);
    list.SetWidth(8);
    list.SetHeight(8);
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    TBitmap strip;
    PaintStrip(strip, {clRed, clBlue});
    EXPECT_EQ(list.AddMasked(&strip, clFuchsia), 0);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(changes, 1);

    TBitmap target;
    Fill(target, 20, 20, clWhite);
    list.Draw(target.Canvas(), 2, 2, 0);
    EXPECT_EQ(target.Canvas()->Pixels(2, 2), clWhite);  // the frame is transparent
    EXPECT_EQ(target.Canvas()->Pixels(5, 5), clRed);
    EXPECT_EQ(target.Canvas()->Pixels(10, 10), clWhite);

    TBitmap image;
    list.GetBitmap(1, &image);
    EXPECT_EQ(image.Width(), 8);
    EXPECT_EQ(image.Canvas()->Pixels(0, 0), clBlue);
    list.Delete(0);
    EXPECT_EQ(list.Count(), 1);
    list.GetBitmap(0, &image);
    EXPECT_EQ(image.Canvas()->Pixels(4, 4), clBlue);
    EXPECT_THROW(list.Draw(target.Canvas(), 0, 0, 1), EInvalidOperation);
    EXPECT_THROW(list.Delete(-1), EInvalidOperation);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(changes, 3);
}

TEST(ImageList, DisabledImagesAreEmbossedInButtonColours)
{
    TImageList list(nullptr);
    list.SetWidth(8);
    list.SetHeight(8);
    TBitmap strip;
    PaintStrip(strip, {clRed, clBlue});
    list.AddMasked(&strip, clFuchsia);
    TBitmap target;
    Fill(target, 10, 10, clYellow);
    list.Draw(target.Canvas(), 0, 0, 0, false);
    // The opaque square (1..6) in the shadow colour over its highlight copy one pixel down and right.
    EXPECT_EQ(target.Canvas()->Pixels(3, 3), Rgb(clBtnShadow));
    EXPECT_EQ(target.Canvas()->Pixels(7, 7), Rgb(clBtnHighlight));
    EXPECT_EQ(target.Canvas()->Pixels(0, 0), clYellow);
    EXPECT_EQ(target.Canvas()->Pixels(9, 9), clYellow);
}

TEST(ImageList, AnImageWithAMaskBitmapKeepsTheBackgroundWhereTheMaskIsWhite)
{
    TImageList list(nullptr);
    list.SetWidth(8);
    list.SetHeight(8);
    TBitmap image, mask;
    Fill(image, 8, 8, clBlack);
    image.Canvas()->Brush()->SetColor(clGreen);
    image.Canvas()->FillRect(Rect(2, 2, 6, 6));
    Fill(mask, 8, 8, clWhite);
    mask.Canvas()->Brush()->SetColor(clBlack);
    mask.Canvas()->FillRect(Rect(2, 2, 6, 6));
    EXPECT_EQ(list.Add(&image, &mask), 0);
    TBitmap target;
    Fill(target, 8, 8, clYellow);
    list.Draw(target.Canvas(), 0, 0, 0);
    EXPECT_EQ(target.Canvas()->Pixels(3, 3), clGreen);
    EXPECT_EQ(target.Canvas()->Pixels(0, 0), clYellow);
    list.SetBkColor(clNavy);
    list.Draw(target.Canvas(), 0, 0, 0);
    EXPECT_EQ(target.Canvas()->Pixels(0, 0), clNavy);
}

namespace {

// A copy of this test program with a bitmap resource added, loaded as data.
class TResourceModule {
public:
    TResourceModule(const std::string& name, TBitmap& bitmap)
    {
        char folder[MAX_PATH], self[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        fileName_ = std::string(folder) + "vcl-imagelist-resources.exe";
        CopyFileA(self, fileName_.c_str(), FALSE);
        TMemoryStream stream;
        bitmap.SaveToStream(&stream);
        const auto* bytes = static_cast<char*>(stream.Memory()) + sizeof(BITMAPFILEHEADER);
        HANDLE update = BeginUpdateResourceA(fileName_.c_str(), FALSE);
        UpdateResourceA(update, RT_BITMAP, name.c_str(), 0, const_cast<char*>(bytes),
                        DWORD(stream.Size() - sizeof(BITMAPFILEHEADER)));
        EndUpdateResourceA(update, FALSE);
        module_ = LoadLibraryExA(fileName_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    ~TResourceModule()
    {
        FreeLibrary(module_);
        DeleteFileA(fileName_.c_str());
    }
    HINSTANCE Module() const { return module_; }

private:
    std::string fileName_;
    HMODULE module_ = nullptr;
};

}  // namespace

TEST(ImageList, ResourceLoadCutsABitmapResourceIntoImages)
{
    TBitmap strip;
    PaintStrip(strip, {clRed, clLime, clBlue});
    TResourceModule resources("VX_DBN_STRIP", strip);
    ASSERT_NE(resources.Module(), nullptr);
    TImageList list(nullptr);
    list.SetWidth(8);
    list.SetHeight(8);
    list.AddMasked(&strip, clFuchsia);
    EXPECT_TRUE(list.ResourceLoad(resources.Module(), "vx_dbn_strip", clFuchsia));
    EXPECT_EQ(list.Count(), 3);  // replaced, not added
    TBitmap image;
    list.GetBitmap(1, &image);
    EXPECT_EQ(image.Canvas()->Pixels(0, 0), clWhite);
    EXPECT_EQ(image.Canvas()->Pixels(4, 4), clLime);
    EXPECT_FALSE(list.ResourceLoad(resources.Module(), "VX_DBN_NONE", clFuchsia));
    EXPECT_EQ(list.Count(), 3);
}

TEST(ImageList, AFormFileKeepsItsSizePositionAndImages)
{
    std::unique_ptr<TDataModule> module(CreateObject<TDataModule>(nullptr));
    module->SetName("ImagesModule");
    auto* list = CreateObject<TImageList>(module.get());
    list->SetName("ImageList1");
    list->SetWidth(8);
    list->SetHeight(8);
    list->DesignLeft = 16;
    list->DesignTop = 24;
    TBitmap strip;
    PaintStrip(strip, {clRed, clBlue});
    list->AddMasked(&strip, clFuchsia);
    const std::string text = WriteComponentText(module.get());
    EXPECT_NE(text.find("object ImageList1: TImageList"), std::string::npos) << text;
    EXPECT_NE(text.find("Bitmap = {"), std::string::npos) << text;
    module.reset();

    std::unique_ptr<TDataModule> loaded(CreateObject<TDataModule>(nullptr));
    ReadComponentText(loaded.get(), text);
    auto* read = dynamic_cast<TImageList*>(loaded->FindComponent("ImageList1"));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->Width(), 8);
    EXPECT_EQ(read->DesignLeft, 16);
    EXPECT_EQ(read->DesignTop, 24);
    ASSERT_EQ(read->Count(), 2);
    TBitmap image;
    read->GetBitmap(0, &image);
    EXPECT_EQ(image.Canvas()->Pixels(0, 0), clWhite);
    EXPECT_EQ(image.Canvas()->Pixels(3, 3), clRed);

    std::unique_ptr<TDataModule> empty(CreateObject<TDataModule>(nullptr));
    ReadComponentText(empty.get(),
                      "object OtherModule: TDataModule\n"
                      "  object ImageList2: TImageList\n    Left = 8\n    Top = 8\n  end\nend\n");
    auto* plain = dynamic_cast<TImageList*>(empty->FindComponent("ImageList2"));
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->Height(), 16);
    EXPECT_EQ(plain->Count(), 0);
}
