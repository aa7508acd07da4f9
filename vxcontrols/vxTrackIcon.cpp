#include "vxcontrols/vxTrackIcon.h"

#include "classes/ClassRegistry.h"
#include "vcl/Forms.h"

namespace {

const bool registered = (RegisterClasses<TvxTrackIcon>(), true);

}  // namespace

Integer vxTrackLimit(Integer value, Integer minValue, bool minLimited, Integer maxValue)
{
    if (minLimited && value < minValue) value = minValue;
    if (maxValue != 0 && value > maxValue) value = maxValue;
    return value;
}

// The drag loop holds the mouse itself: the parent does not route the mouse to the marker meanwhile.
TvxTrackIcon::TvxTrackIcon(TComponent* owner) : TGraphicControl(owner), bitmap_(std::make_unique<TBitmap>())
{
    TControlStyle style = ControlStyle();
    style.Exclude(csCaptureMouse);
    SetControlStyle(style);
}

TvxTrackIcon::~TvxTrackIcon() = default;

void TvxTrackIcon::Publish(TPublisher<TvxTrackIcon>& p)
{
    p.Property("OnEndDrag", &TvxTrackIcon::OnEndDrag);
    p.Property("BitmapName", &TvxTrackIcon::BitmapName, &TvxTrackIcon::SetBitmapName);
    p.Property("MinValue", &TvxTrackIcon::MinValue, &TvxTrackIcon::SetMinValue);
    p.Property("MaxValue", &TvxTrackIcon::MaxValue, &TvxTrackIcon::SetMaxValue);
}

void TvxTrackIcon::SetBitmapName(const std::string& value)
{
    if (value != bitmapName_) {
        bitmapName_ = value;
        if (!value.empty()) {
            bitmap_->LoadFromResourceName(GetModuleHandleA(nullptr), value);
            SetBounds(Left(), Top(), bitmap_->Width(), bitmap_->Height());
        }
    }
    Invalidate();
}

void TvxTrackIcon::SetMinValue(Integer value)
{
    minValue_ = value;
    minLimited_ = value != 0;
}

void TvxTrackIcon::SetMinLimit(Integer value)
{
    minValue_ = value;
    minLimited_ = true;
}

void TvxTrackIcon::Paint()
{
    if (bitmap_->Empty()) return;
    TCanvas* canvas = Canvas();
    canvas->Brush()->SetStyle(bsClear);
    bitmap_->SetTransparent(true);
    canvas->Draw(0, 0, bitmap_.get());
}

void TvxTrackIcon::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y)
{
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button == mbLeft) DragLoop(x, y);
}

// Mouse moves are taken here, not dispatched; everything else goes its usual way.
void TvxTrackIcon::DragLoop(Integer x0, Integer y0)
{
    TCustomForm* form = GetParentForm(this);
    if (!form) return;
    const HWND window = form->Handle();
    SetCapture(window);
    bool moved = false;
    while (GetCapture() == window) {
        POINT cursor;
        GetCursorPos(&cursor);
        const TPoint at = ScreenToClient(Point(cursor.x, cursor.y));
        MSG msg;
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            PostQuitMessage(Integer(msg.wParam));
            break;
        }
        if (msg.message == WM_MOUSEMOVE) {
            if (moved || at.x != x0 || at.y != y0) {
                moved = true;
                SetLeft(vxTrackLimit(at.x - x0 + Left(), minValue_, minLimited_, maxValue_));
            }
            continue;
        }
        if (msg.message == WM_LBUTTONUP) {
            if (moved && OnEndDrag) OnEndDrag(this);
            ReleaseCapture();
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (GetCapture() == window) ReleaseCapture();
}
