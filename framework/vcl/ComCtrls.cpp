#include "vcl/ComCtrls.h"

#include <vector>

void TStatusPanel::Publish(TPublisher<TStatusPanel>& p)
{
    p.Property("Text", &TStatusPanel::Text, &TStatusPanel::SetText);
    p.Property("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth);
    p.Property("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment).Default(taLeftJustify);
}

void TStatusPanel::Assign(TPersistent* source)
{
    if (auto* panel = dynamic_cast<TStatusPanel*>(source)) {
        text_ = panel->text_;
        width_ = panel->width_;
        alignment_ = panel->alignment_;
        Changed(false);
        return;
    }
    TCollectionItem::Assign(source);
}

void TStatusPanel::SetText(const std::string& text)
{
    text_ = text;
    Changed(false);
}

void TStatusPanel::SetWidth(Integer width)
{
    width_ = width;
    Changed(true);
}

void TStatusPanel::SetAlignment(TAlignment alignment)
{
    alignment_ = alignment;
    Changed(false);
}

TPersistent* TStatusPanels::GetOwner() const { return bar_; }

void TStatusPanels::Update(TCollectionItem* item)
{
    if (item)
        bar_->UpdatePanels();
    else
        bar_->PostUpdatePanels();
}

namespace {
constexpr Cardinal CM_UPDATEPANELS = CM_BASE + 0x3F0;
}

void TStatusBar::PostUpdatePanels()
{
    if (handle_) PostMessageA(handle_, CM_UPDATEPANELS, 0, 0);
}

void TStatusBar::Dispatch(TMessage& message)
{
    if (message.Msg == CM_UPDATEPANELS) {
        UpdatePanels();
        return;
    }
    TWinControl::Dispatch(message);
}

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner), panels_(std::make_unique<TStatusPanels>(this))
{
    align_ = alBottom;
    height_ = 19;
    width_ = 200;
    color_ = clBtnFace;
}

void TStatusBar::Publish(TPublisher<TStatusBar>& p)
{
    p.Property("Panels", &TStatusBar::Panels, &TStatusBar::SetPanels);
    p.Property("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel).Default(false);
    p.Property("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
    p.Property("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip).Default(true);
}

void TStatusBar::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SystemClass = STATUSCLASSNAMEA;
    params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | (sizeGrip_ ? SBARS_SIZEGRIP : 0);
}

void TStatusBar::CreateWindowHandle(const TCreateParams& params)
{
    static const bool initialised = [] {
        INITCOMMONCONTROLSEX init{sizeof init, ICC_BAR_CLASSES};
        return InitCommonControlsEx(&init) != FALSE;
    }();
    (void)initialised;
    TWinControl::CreateWindowHandle(params);
    UpdatePanels();
}

void TStatusBar::SetSimplePanel(bool value)
{
    simplePanel_ = value;
    UpdatePanels();
}

void TStatusBar::SetSimpleText(const std::string& text)
{
    simpleText_ = text;
    if (handle_ && simplePanel_) SendMessageA(handle_, SB_SETTEXTA, 255 | SBT_NOBORDERS, LPARAM(simpleText_.c_str()));
}

// The panels' right edges and texts go to the window ("\t" centres, "\t\t" right-aligns a part's text).
void TStatusBar::UpdatePanels()
{
    if (!handle_) return;
    SendMessageA(handle_, SB_SIMPLE, simplePanel_, 0);
    if (simplePanel_) {
        SendMessageA(handle_, SB_SETTEXTA, 255 | SBT_NOBORDERS, LPARAM(simpleText_.c_str()));
        return;
    }
    std::vector<int> edges;
    Integer right = 0;
    for (Integer i = 0; i < panels_->Count(); ++i) {
        right += panels_->Items(i)->Width();
        edges.push_back(i + 1 == panels_->Count() ? -1 : right);
    }
    if (edges.empty()) edges.push_back(-1);
    SendMessageA(handle_, SB_SETPARTS, edges.size(), LPARAM(edges.data()));
    for (Integer i = 0; i < panels_->Count(); ++i) {
        static const char* prefixes[] = {"", "\t\t", "\t"};
        const std::string text = prefixes[panels_->Items(i)->Alignment()] + panels_->Items(i)->Text();
        SendMessageA(handle_, SB_SETTEXTA, i, LPARAM(text.c_str()));
    }
}
