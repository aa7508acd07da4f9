#include "vcl/ExtCtrls.h"

#include <algorithm>

#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace {

void DrawBevel(HDC dc, TRect& rect, TBevelCut cut, Integer width)
{
    if (cut == bvNone) return;
    if (cut != bvSpace) {
        const COLORREF topLeft = GetSysColor(cut == bvLowered ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
        const COLORREF bottomRight = GetSysColor(cut == bvLowered ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW);
        for (Integer i = 0; i < width; ++i) {
            HBRUSH light = CreateSolidBrush(topLeft), dark = CreateSolidBrush(bottomRight);
            RECT top{rect.left, rect.top, rect.right, rect.top + 1}, left{rect.left, rect.top, rect.left + 1, rect.bottom};
            RECT bottom{rect.left, rect.bottom - 1, rect.right, rect.bottom};
            RECT right{rect.right - 1, rect.top, rect.right, rect.bottom};
            FillRect(dc, &top, light);
            FillRect(dc, &left, light);
            FillRect(dc, &bottom, dark);
            FillRect(dc, &right, dark);
            DeleteObject(light);
            DeleteObject(dark);
            InflateRect(&rect, -1, -1);
        }
    } else {
        InflateRect(&rect, -width, -width);
    }
}

}  // namespace

TPanel::TPanel(TComponent* owner) : TCustomControl(owner)
{
    controlStyle_ = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                                  csDoubleClicks};
    color_ = clBtnFace;
    width_ = 185;
    height_ = 41;
}

void TPanel::Publish(TPublisher<TPanel>& p)
{
    p.Property("BevelInner", &TPanel::BevelInner, &TPanel::SetBevelInner).Default(bvNone);
    p.Property("BevelOuter", &TPanel::BevelOuter, &TPanel::SetBevelOuter).Default(bvRaised);
    p.Property("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth).Default(1);
    p.Property("BorderWidth", &TPanel::BorderWidth, &TPanel::SetBorderWidth).Default(0);
    p.Property("Alignment", &TPanel::Alignment, &TPanel::SetAlignment).Default(taCenter);
}

void TPanel::AdjustClientRect(TRect& rect)
{
    Integer inset = borderWidth_;
    if (bevelOuter_ != bvNone) inset += bevelWidth_;
    if (bevelInner_ != bvNone) inset += bevelWidth_;
    InflateRect(&rect, -inset, -inset);
}

void TPanel::Paint()
{
    TCanvas* canvas = Canvas();
    TRect rect = ClientRect();
    canvas->Brush()->SetColor(color_);
    canvas->FillRect(rect);
    HDC dc = canvas->Handle();
    DrawBevel(dc, rect, bevelOuter_, bevelWidth_);
    InflateRect(&rect, -borderWidth_, -borderWidth_);
    DrawBevel(dc, rect, bevelInner_, bevelWidth_);
    if (text_.empty()) return;
    static const UINT alignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    canvas->Brush()->SetStyle(bsClear);
    canvas->DrawText(text_, rect, DT_SINGLELINE | DT_VCENTER | alignments[alignment_]);
}

void TPanel::Dispatch(TMessage& message)
{
    if (message.Msg == CM_TEXTCHANGED) {
        Invalidate();
        return;
    }
    TCustomControl::Dispatch(message);
}

TRadioGroup::TRadioGroup(TComponent* owner) : TCustomControl(owner), items_(std::make_unique<TStringList>())
{
    controlStyle_ = TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    parentColor_ = true;
    width_ = 185;
    height_ = 105;
    items_->OnChange = [this](TObject*) { UpdateButtons(); };
}

TRadioGroup::~TRadioGroup() { buttons_.clear(); }

void TRadioGroup::Publish(TPublisher<TRadioGroup>& p)
{
    p.Property("Items", &TRadioGroup::Items, &TRadioGroup::SetItems);
    p.Property("ItemIndex", &TRadioGroup::ItemIndex, &TRadioGroup::SetItemIndex).Default(-1);
    p.Property("Columns", &TRadioGroup::Columns, &TRadioGroup::SetColumns).Default(1);
}

void TRadioGroup::Loaded()
{
    TCustomControl::Loaded();
    UpdateButtons();
}

void TRadioGroup::SetColumns(Integer columns)
{
    columns_ = std::clamp<Integer>(columns, 1, 16);
    ArrangeButtons();
}

// One radio button per item, owned by nobody: the group's window frees them as its children.
void TRadioGroup::UpdateButtons()
{
    if (state_.Contains(csLoading)) return;
    while (Integer(buttons_.size()) > items_->Count()) {
        TRadioButton* button = buttons_.back();
        buttons_.pop_back();
        delete button;
    }
    while (Integer(buttons_.size()) < items_->Count()) {
        auto* button = new TRadioButton(nullptr);
        const Integer index = Integer(buttons_.size());
        button->OnClick = [this, index](TObject*) { ButtonClicked(index); };
        button->SetParent(this);
        buttons_.push_back(button);
    }
    updating_ = true;
    for (size_t i = 0; i < buttons_.size(); ++i) {
        buttons_[i]->SetCaption(items_->Strings(Integer(i)));
        buttons_[i]->SetChecked(Integer(i) == itemIndex_);
    }
    updating_ = false;
    if (itemIndex_ >= items_->Count()) itemIndex_ = -1;
    ArrangeButtons();
}

void TRadioGroup::ArrangeButtons()
{
    if (buttons_.empty()) return;
    const Integer rows = (Integer(buttons_.size()) + columns_ - 1) / columns_;
    const Integer top = 16, columnWidth = (width_ - 16) / columns_;
    const Integer rowHeight = std::max<Integer>((height_ - top - 4) / rows, 1);
    for (size_t i = 0; i < buttons_.size(); ++i) {
        const Integer column = Integer(i) / rows, row = Integer(i) % rows;
        buttons_[i]->SetBounds(8 + column * columnWidth, top + row * rowHeight, columnWidth - 4, std::min(rowHeight, 17));
    }
}

void TRadioGroup::SetItemIndex(Integer index)
{
    if (index < -1 || index >= items_->Count()) index = -1;
    if (state_.Contains(csLoading)) {
        itemIndex_ = index;
        return;
    }
    if (index == itemIndex_) return;
    itemIndex_ = index;
    updating_ = true;
    for (size_t i = 0; i < buttons_.size(); ++i) buttons_[i]->SetChecked(Integer(i) == index);
    updating_ = false;
    Click();
}

void TRadioGroup::ButtonClicked(Integer index)
{
    if (updating_) return;
    if (buttons_[index]->Checked()) SetItemIndex(index);
}

void TRadioGroup::Paint()
{
    TCanvas* canvas = Canvas();
    RECT frame = ClientRect();
    frame.top += canvas->TextHeight("0") / 2;
    canvas->DrawEdge(frame, EDGE_ETCHED, BF_RECT);
    if (text_.empty()) return;
    TRect textRect{8, 0, 8, 0};
    canvas->DrawText(text_, textRect, DT_CALCRECT | DT_SINGLELINE);
    canvas->Brush()->SetColor(color_);
    canvas->DrawText(text_, textRect, DT_SINGLELINE);
}

void TRadioGroup::Dispatch(TMessage& message)
{
    if (message.Msg == CM_TEXTCHANGED) {
        Invalidate();
        return;
    }
    if (message.Msg == WM_WINDOWPOSCHANGED) {
        TCustomControl::Dispatch(message);
        ArrangeButtons();
        return;
    }
    TCustomControl::Dispatch(message);
}

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner)
{
    width_ = 50;
    height_ = 50;
}

void TBevel::Publish(TPublisher<TBevel>& p)
{
    p.Property("Shape", &TBevel::Shape, &TBevel::SetShape).Default(bsBox);
    p.Property("Style", &TBevel::Style, &TBevel::SetStyle).Default(bsLowered);
}

void TBevel::Paint()
{
    TCanvas* canvas = Canvas();
    TRect rect = ClientRect();
    const UINT edge = style_ == bsLowered ? EDGE_SUNKEN : EDGE_RAISED;
    switch (shape_) {
    case bsBox:
        canvas->DrawEdge(rect, style_ == bsLowered ? BDR_SUNKENOUTER : BDR_RAISEDOUTER, BF_RECT);
        break;
    case bsFrame:
        canvas->DrawEdge(rect, EDGE_ETCHED, BF_RECT);
        break;
    case bsTopLine:
        canvas->DrawEdge(rect, edge, BF_TOP);
        break;
    case bsBottomLine:
        canvas->DrawEdge(rect, edge, BF_BOTTOM);
        break;
    case bsLeftLine:
        canvas->DrawEdge(rect, edge, BF_LEFT);
        break;
    case bsRightLine:
        canvas->DrawEdge(rect, edge, BF_RIGHT);
        break;
    case bsSpacer:
        break;
    }
}

TShape::TShape(TComponent* owner)
        : TGraphicControl(owner), brush_(std::make_unique<TBrush>()), pen_(std::make_unique<TPen>())
{
    width_ = 65;
    height_ = 65;
    brush_->OnChange = [this](TObject*) { Invalidate(); };
    pen_->OnChange = [this](TObject*) { Invalidate(); };
}

void TShape::Publish(TPublisher<TShape>& p)
{
    p.Property("Shape", &TShape::Shape, &TShape::SetShape).Default(stRectangle);
    p.Property("Brush", &TShape::Brush, &TShape::SetBrush);
    p.Property("Pen", &TShape::Pen, &TShape::SetPen);
}

void TShape::Paint()
{
    TCanvas* canvas = Canvas();
    canvas->SetPen(pen_.get());
    canvas->SetBrush(brush_.get());
    const Integer penWidth = pen_->Width();
    Integer x = penWidth / 2, y = x;
    Integer w = width_ - penWidth + 1, h = height_ - penWidth + 1;
    if (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle) {
        const Integer side = std::min(w, h);
        x += (w - side) / 2;
        y += (h - side) / 2;
        w = h = side;
    }
    switch (shape_) {
    case stRectangle:
    case stSquare:
        canvas->Rectangle(x, y, x + w, y + h);
        break;
    case stRoundRect:
    case stRoundSquare:
        canvas->RoundRect(x, y, x + w, y + h, std::min(w, h) / 4, std::min(w, h) / 4);
        break;
    default:
        canvas->Ellipse(x, y, x + w, y + h);
        break;
    }
}

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(std::make_unique<TPicture>())
{
    width_ = 105;
    height_ = 105;
    picture_->OnChange = [this](TObject*) { Invalidate(); };
}

void TImage::Publish(TPublisher<TImage>& p)
{
    p.Property("Picture", &TImage::Picture, &TImage::SetPicture);
    p.Property("Stretch", &TImage::Stretch, &TImage::SetStretch).Default(false);
    p.Property("Center", &TImage::Center, &TImage::SetCenter).Default(false);
}

void TImage::Paint()
{
    TGraphic* graphic = picture_->Graphic();
    if (!graphic || graphic->Empty()) return;
    if (stretch_) {
        Canvas()->StretchDraw(ClientRect(), graphic);
        return;
    }
    const Integer x = center_ ? (width_ - graphic->Width()) / 2 : 0;
    const Integer y = center_ ? (height_ - graphic->Height()) / 2 : 0;
    Canvas()->Draw(x, y, graphic);
}

// Window timers: each TTimer's hidden window gets the queue's WM_TIMER.
class TWindowTimers : public TTimerService {
public:
    void StartTimer(TTimer* timer) override { SetTimer(timer->window_, 1, timer->interval_, nullptr); }
    void StopTimer(TTimer* timer) override { KillTimer(timer->window_, 1); }

    static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (msg == WM_TIMER) {
            if (auto* timer = reinterpret_cast<TTimer*>(GetWindowLongPtrA(window, GWLP_USERDATA))) Tick(timer);
            return 0;
        }
        return DefWindowProcA(window, msg, wParam, lParam);
    }
};

namespace {
TWindowTimers windowTimers;
TTimerService* currentTimerService = &windowTimers;
// The timers started, in the order they were started.
std::vector<TTimer*> runningTimers;
}  // namespace

TTimerService* TimerService() { return currentTimerService; }

TTimerService* SetTimerService(TTimerService* service)
{
    TTimerService* old = currentTimerService;
    currentTimerService = service ? service : &windowTimers;
    for (TTimer* timer : std::vector<TTimer*>(runningTimers)) timer->UpdateTimer();
    return old == &windowTimers ? nullptr : old;
}

TTimer::TTimer(TComponent* owner) : TComponent(owner)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = TWindowTimers::WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "DunTimer";
    RegisterClassA(&wc);
    window_ = CreateWindowExA(0, "DunTimer", "", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    UpdateTimer();
}

TTimer::~TTimer()
{
    StopTimer();
    DestroyWindow(window_);
}

void TTimer::Publish(TPublisher<TTimer>& p)
{
    p.Property("Enabled", &TTimer::Enabled, &TTimer::SetEnabled).Default(true);
    p.Property("Interval", &TTimer::Interval, &TTimer::SetInterval).Default(1000);
    p.Property("OnTimer", &TTimer::OnTimer);
}

void TTimer::SetEnabled(bool value)
{
    enabled_ = value;
    UpdateTimer();
}

void TTimer::SetInterval(Cardinal value)
{
    interval_ = value;
    UpdateTimer();
}

void TTimer::StopTimer()
{
    if (!service_) return;
    service_->StopTimer(this);
    service_ = nullptr;
    runningTimers.erase(std::find(runningTimers.begin(), runningTimers.end(), this));
}

void TTimer::UpdateTimer()
{
    StopTimer();
    if (!enabled_ || interval_ == 0) return;
    service_ = TimerService();
    service_->StartTimer(this);
    runningTimers.push_back(this);
}

void TTimer::Tick()
{
    try {
        Timer();
    } catch (...) {
        Application->HandleException(this);
    }
}

void TTimer::Timer()
{
    if (OnTimer) OnTimer(this);
}
