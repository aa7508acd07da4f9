// Bitmap buttons (standard kinds with glyphs drawn by us) and speed buttons (flat, grouped, down state).
#pragma once

#include <memory>

#include "vcl/StdCtrls.h"

enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
DUN_ENUM(TBitBtnKind, "bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose", "bkAbort", "bkRetry",
         "bkIgnore", "bkAll");
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
DUN_ENUM(TButtonLayout, "blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom");
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

// The glyph of a standard kind, drawn on an 18 x 18 bitmap whose bottom-left pixel is the transparent colour.
std::unique_ptr<TBitmap> MakeKindGlyph(TBitBtnKind kind);

// Draws a button face's glyph and caption in rect (shared by bitmap and speed buttons).
void DrawButtonContent(TCanvas* canvas, TRect rect, TBitmap* glyph, Integer numGlyphs, TButtonState state,
                       const std::string& caption, TButtonLayout layout, Integer margin, Integer spacing);

class TBitBtn : public TButton {
    DUN_CLASS(TBitBtn, TButton)
public:
    explicit TBitBtn(TComponent* owner);

    TBitBtnKind Kind() const { return kind_; }
    void SetKind(TBitBtnKind kind);
    TBitmap* Glyph() const { return glyph_.get(); }
    void SetGlyph(TBitmap* glyph);
    Integer NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(Integer value) { numGlyphs_ = std::max(1, value); Invalidate(); }
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout value) { layout_ = value; Invalidate(); }
    Integer Margin() const { return margin_; }
    void SetMargin(Integer value) { margin_ = value; Invalidate(); }
    Integer Spacing() const { return spacing_; }
    void SetSpacing(Integer value) { spacing_ = value; Invalidate(); }
    void Click() override;
    void Dispatch(TMessage& message) override;

    static void Publish(TPublisher<TBitBtn>& p);

protected:
    void CreateParams(TCreateParams& params) override;

private:
    void DrawItem(const DRAWITEMSTRUCT& item);

    TBitBtnKind kind_ = bkCustom;
    std::unique_ptr<TBitmap> glyph_;
    Integer numGlyphs_ = 1;
    TButtonLayout layout_ = blGlyphLeft;
    Integer margin_ = -1;
    Integer spacing_ = 4;
};

class TSpeedButton : public TGraphicControl {
    DUN_CLASS(TSpeedButton, TGraphicControl)
public:
    explicit TSpeedButton(TComponent* owner);

    Integer GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(Integer value) { groupIndex_ = value; }
    bool Down() const { return down_; }
    void SetDown(bool value);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool value) { allowAllUp_ = value; }
    bool Flat() const { return flat_; }
    void SetFlat(bool value) { flat_ = value; Invalidate(); }
    TBitmap* Glyph() const { return glyph_.get(); }
    void SetGlyph(TBitmap* glyph);
    Integer NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(Integer value) { numGlyphs_ = std::max(1, value); Invalidate(); }
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout value) { layout_ = value; Invalidate(); }
    Integer Margin() const { return margin_; }
    void SetMargin(Integer value) { margin_ = value; Invalidate(); }
    Integer Spacing() const { return spacing_; }
    void SetSpacing(Integer value) { spacing_ = value; Invalidate(); }
    void Click() override;
    void Dispatch(TMessage& message) override;

    static void Publish(TPublisher<TSpeedButton>& p);

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
    void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;

private:
    void ReleaseGroup();

    Integer groupIndex_ = 0;
    bool down_ = false;
    bool allowAllUp_ = false;
    bool flat_ = false;
    bool pressed_ = false;
    bool mouseInside_ = false;
    std::unique_ptr<TBitmap> glyph_;
    Integer numGlyphs_ = 1;
    TButtonLayout layout_ = blGlyphLeft;
    Integer margin_ = -1;
    Integer spacing_ = 4;
};
