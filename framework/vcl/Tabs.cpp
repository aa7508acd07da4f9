#include "vcl/Tabs.h"

#include <string>

#include "classes/ClassRegistry.h"

namespace {

const bool registered = (RegisterClasses<TTabSet>(), true);

constexpr Integer TabPadding = 9;  // blank beside a tab's caption
constexpr Integer TabSlant = 4;    // the tab's sides lean in by this much

Integer CaptionWidth(TFont* font, const std::string& caption)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font->Handle());
    const std::string text = StripHotkey(caption);
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size.cx;
}

}  // namespace

TTabSet::TTabSet(TComponent* owner) : TCustomControl(owner), tabs_(std::make_unique<TStringList>())
{
    width_ = 185;
    height_ = 21;
    color_ = clBtnFace;
    tabs_->OnChange = [this](TObject*) { TabsChanged(); };
}

TTabSet::~TTabSet() { tabs_->OnChange = nullptr; }

void TTabSet::Publish(TPublisher<TTabSet>& p)
{
    p.Property("Tabs", &TTabSet::Tabs, &TTabSet::SetTabs);
    p.Property("TabIndex", &TTabSet::TabIndex, &TTabSet::SetTabIndex).Default(-1);
    p.Property("StartMargin", &TTabSet::StartMargin, &TTabSet::SetStartMargin).Default(5);
    p.Property("EndMargin", &TTabSet::EndMargin, &TTabSet::SetEndMargin).Default(5);
    p.Property("SelectedColor", &TTabSet::SelectedColor, &TTabSet::SetSelectedColor)
        .Idents(ColorIdentToInt, ColorIntToIdent);
    p.Property("UnselectedColor", &TTabSet::UnselectedColor, &TTabSet::SetUnselectedColor)
        .Idents(ColorIdentToInt, ColorIntToIdent);
    p.Property("BackgroundColor", &TTabSet::BackgroundColor, &TTabSet::SetBackgroundColor)
        .Idents(ColorIdentToInt, ColorIntToIdent);
    p.Property("OnChange", &TTabSet::OnChange);
}

void TTabSet::SetTabIndex(Integer index)
{
    if (index == tabIndex_) return;
    if (state_.Contains(csLoading)) {
        tabIndex_ = index;
        return;
    }
    if (index < -1 || index >= tabs_->Count())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    if (!CanChange(index)) return;
    tabIndex_ = index;
    Invalidate();
    Click();
}

bool TTabSet::CanChange(Integer newIndex)
{
    bool allow = true;
    if (OnChange) OnChange(this, newIndex, allow);
    return allow;
}

// Tabs removed under the selection leave the last tab selected (or none), without asking.
void TTabSet::TabsChanged()
{
    if (!state_.Contains(csLoading) && tabIndex_ >= tabs_->Count()) tabIndex_ = tabs_->Count() - 1;
    Invalidate();
}

void TTabSet::Loaded()
{
    TCustomControl::Loaded();
    if (tabIndex_ < -1 || tabIndex_ >= tabs_->Count()) tabIndex_ = -1;
}

TRect TTabSet::ItemRect(Integer index)
{
    if (index < 0 || index >= tabs_->Count()) return TRect{};
    const Integer limit = width_ - endMargin_;
    Integer left = startMargin_;
    for (Integer i = 0; i < tabs_->Count(); ++i) {
        const Integer right = left + CaptionWidth(font_.get(), tabs_->Strings(i)) + 2 * TabPadding;
        if (right > limit) return TRect{};
        if (i == index) return Rect(left, 0, right, height_ - 2);
        left = right;
    }
    return TRect{};
}

Integer TTabSet::ItemAtPos(TPoint pos)
{
    for (Integer i = 0; i < tabs_->Count(); ++i) {
        const TRect rect = ItemRect(i);
        if (!IsRectEmpty(&rect) && PtInRect(&rect, pos)) return i;
    }
    return -1;
}

void TTabSet::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y)
{
    if (button == mbLeft) {
        const Integer index = ItemAtPos(Point(x, y));
        if (index >= 0) SetTabIndex(index);
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TTabSet::Dispatch(TMessage& message)
{
    if (message.Msg == CM_DIALOGCHAR && enabled_) {
        for (Integer i = 0; i < tabs_->Count(); ++i) {
            if (!IsAccel(Word(message.WParam), tabs_->Strings(i))) continue;
            SetTabIndex(i);
            message.Result = 1;
            return;
        }
    }
    TCustomControl::Dispatch(message);
}

void TTabSet::Paint()
{
    TCanvas* canvas = Canvas();
    canvas->Brush()->SetColor(backgroundColor_);
    canvas->FillRect(ClientRect());
    canvas->Pen()->SetColor(clBtnShadow);
    canvas->MoveTo(0, 0);
    canvas->LineTo(width_, 0);
    for (Integer i = 0; i < tabs_->Count(); ++i) {
        const TRect rect = ItemRect(i);
        if (IsRectEmpty(&rect)) break;
        PaintTab(i, rect);
    }
}

void TTabSet::PaintTab(Integer index, const TRect& rect)
{
    TCanvas* canvas = Canvas();
    const bool selected = index == tabIndex_;
    const TPoint outline[] = {Point(rect.left, rect.top), Point(rect.left + TabSlant, rect.bottom),
                              Point(rect.right - TabSlant, rect.bottom), Point(rect.right, rect.top)};
    canvas->Brush()->SetColor(selected ? selectedColor_ : unselectedColor_);
    canvas->Pen()->SetColor(clWindowText);
    canvas->Polygon(outline, 4);
    if (selected) {  // the selected tab joins the page above it
        canvas->Pen()->SetColor(selectedColor_);
        canvas->MoveTo(rect.left + 1, rect.top);
        canvas->LineTo(rect.right, rect.top);
    }
    canvas->Brush()->SetStyle(bsClear);
    canvas->Font()->Assign(font_.get());
    if (!enabled_) canvas->Font()->SetColor(clGrayText);
    TRect textRect = rect;
    canvas->DrawText(tabs_->Strings(index), textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}
