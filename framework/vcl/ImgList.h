// TImageList: a list of same-sized images (with masks) over the common controls' image list.
#pragma once

#include <string>

#include "classes/Component.h"
#include "vcl/Graphics.h"

class TImageList : public TComponent {
    DUN_CLASS(TImageList, TComponent)
public:
    explicit TImageList(TComponent* owner);
    ~TImageList() override;

    // Changing the size empties the list.
    Integer Width() const { return width_; }
    void SetWidth(Integer width);
    Integer Height() const { return height_; }
    void SetHeight(Integer height);
    // Transparent images need a mask; changing it empties the list.
    bool Masked() const { return masked_; }
    void SetMasked(bool masked);
    // How many images the list grows by.
    Integer AllocBy() const { return allocBy_; }
    void SetAllocBy(Integer allocBy) { allocBy_ = allocBy; }
    // The colour behind drawn images; clNone draws them transparent.
    TColor BkColor() const { return bkColor_; }
    void SetBkColor(TColor color);

    HIMAGELIST Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    Integer Count() const;

    // A bitmap wider than Width adds one image per Width pixels. Each returns the index of the first image added.
    // The mask's black pixels are opaque (none: all are).
    Integer Add(TBitmap* image, TBitmap* mask);
    // Pixels of maskColor become transparent.
    Integer AddMasked(TBitmap* image, TColor maskColor);
    void Delete(Integer index);
    void Clear();
    // Disabled images are drawn embossed in the button shadow and highlight colours.
    void Draw(TCanvas* canvas, Integer x, Integer y, Integer index, bool enabled = true);
    // The image drawn on a white bitmap of the list's size.
    void GetBitmap(Integer index, TBitmap* image);
    // Replaces the images with those cut from the bitmap resource (clNone: without mask); false when there is none.
    bool ResourceLoad(HINSTANCE instance, const std::string& name, TColor maskColor);

    TNotifyEvent OnChange;

    void DefineProperties(TFiler* filer) override;
    static void Publish(TPublisher<TImageList>& p);

protected:
    void Change();

private:
    void CheckIndex(Integer index) const;
    void FreeHandle();
    void ReadImages(TStream* stream);
    void WriteImages(TStream* stream);
    void DrawDisabled(HDC dc, Integer x, Integer y, Integer index);
    HBITMAP OpaqueShape(Integer index);

    HIMAGELIST handle_ = nullptr;
    Integer width_ = 16, height_ = 16;
    bool masked_ = true;
    Integer allocBy_ = 4;
    TColor bkColor_ = clNone;
};
