#include "vcl/Menus.h"

#include <algorithm>
#include <cctype>

#include "classes/Filer.h"
#include "vcl/Forms.h"

namespace {

Word nextCommand = 1;

// A window that receives the commands of a popup menu while it is tracked.
HWND PopupWindow()
{
    static HWND window = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "DunPopupList";
        RegisterClassA(&wc);
        return CreateWindowExA(0, "DunPopupList", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
    }();
    return window;
}

struct KeyName {
    Word Key;
    const char* Name;
};

const KeyName keyNames[] = {
    {VK_BACK, "BkSp"}, {VK_TAB, "Tab"}, {VK_ESCAPE, "Esc"}, {VK_RETURN, "Enter"}, {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"}, {VK_END, "End"}, {VK_HOME, "Home"}, {VK_LEFT, "Left"},
    {VK_UP, "Up"}, {VK_RIGHT, "Right"}, {VK_DOWN, "Down"}, {VK_INSERT, "Ins"}, {VK_DELETE, "Del"},
};

std::string KeyToText(Word key)
{
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, char(key));
    if (key >= VK_F1 && key <= VK_F12) return "F" + std::to_string(key - VK_F1 + 1);
    for (const KeyName& entry : keyNames)
        if (entry.Key == key) return entry.Name;
    return "";
}

bool SameTextNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

}  // namespace

TShortCut ShortCut(Word key, TShiftState shift)
{
    if (key & 0xFF00) return scNone;
    TShortCut result = key;
    if (shift.Contains(ssShift)) result |= scShift;
    if (shift.Contains(ssCtrl)) result |= scCtrl;
    if (shift.Contains(ssAlt)) result |= scAlt;
    return result;
}

std::string ShortCutToText(TShortCut shortCut)
{
    const std::string name = KeyToText(shortCut & 0xFF);
    if (name.empty()) return "";
    std::string text;
    if (shortCut & scShift) text += "Shift+";
    if (shortCut & scCtrl) text += "Ctrl+";
    if (shortCut & scAlt) text += "Alt+";
    return text + name;
}

TShortCut TextToShortCut(const std::string& text)
{
    std::string rest = text;
    TShortCut modifiers = 0;
    for (;;) {
        if (rest.size() > 6 && SameTextNoCase(rest.substr(0, 6), "Shift+")) {
            modifiers |= scShift;
            rest = rest.substr(6);
        } else if (rest.size() > 5 && SameTextNoCase(rest.substr(0, 5), "Ctrl+")) {
            modifiers |= scCtrl;
            rest = rest.substr(5);
        } else if (rest.size() > 4 && SameTextNoCase(rest.substr(0, 4), "Alt+")) {
            modifiers |= scAlt;
            rest = rest.substr(4);
        } else {
            break;
        }
    }
    for (Word key = 8; key < 255; ++key) {
        const std::string name = KeyToText(key);
        if (!name.empty() && SameTextNoCase(name, rest)) return TShortCut(key | modifiers);
    }
    return scNone;
}

// ---- TMenuItem

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(nextCommand++) {}

TMenuItem::~TMenuItem()
{
    while (!items_.empty()) {
        TMenuItem* child = items_.back();
        items_.pop_back();
        child->parent_ = nullptr;
        delete child;
    }
    if (parent_) parent_->Remove(this);
}

void TMenuItem::Publish(TPublisher<TMenuItem>& p)
{
    p.Property("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
    p.Property("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked).Default(false);
    p.Property("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem).Default(false);
    p.Property("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex).Default(0);
    p.Property("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled).Default(true);
    p.Property("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible).Default(true);
    p.Property("Default", &TMenuItem::Default, &TMenuItem::SetDefault).Default(false);
    p.Property("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
    p.Property("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut).Default(0);
    p.Property("OnClick", &TMenuItem::OnClick);
}

void TMenuItem::Changed()
{
    TMenuItem* root = this;
    while (root->parent_) root = root->parent_;
    if (root->menu_) root->menu_->MenuChanged();
}

void TMenuItem::SetCaption(const std::string& caption)
{
    caption_ = caption;
    Changed();
}

void TMenuItem::SetChecked(bool checked)
{
    checked_ = checked;
    if (checked && radioItem_) UncheckGroupSiblings();
    Changed();
}

void TMenuItem::UncheckGroupSiblings()
{
    if (!parent_) return;
    for (TMenuItem* sibling : parent_->items_)
        if (sibling != this && sibling->radioItem_ && sibling->groupIndex_ == groupIndex_) sibling->checked_ = false;
}

void TMenuItem::SetRadioItem(bool value)
{
    radioItem_ = value;
    if (checked_ && radioItem_) UncheckGroupSiblings();
    Changed();
}

void TMenuItem::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    Changed();
}

void TMenuItem::SetVisible(bool visible)
{
    visible_ = visible;
    Changed();
}

void TMenuItem::SetDefault(bool value)
{
    default_ = value;
    Changed();
}

void TMenuItem::SetShortCut(TShortCut shortCut)
{
    shortCut_ = shortCut;
    Changed();
}

void TMenuItem::SetBreak(TMenuBreak value)
{
    break_ = value;
    Changed();
}

Integer TMenuItem::MenuIndex() const
{
    if (!parent_) return -1;
    auto& list = parent_->items_;
    return Integer(std::find(list.begin(), list.end(), this) - list.begin());
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(Integer index, TMenuItem* item)
{
    if (item->parent_) throw EInvalidOperation("Menu inserted twice");
    if (index < 0 || index > Count()) throw EListError("Menu index out of range");
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
    if (item->checked_ && item->radioItem_) item->UncheckGroupSiblings();
    Changed();
}

void TMenuItem::Delete(Integer index)
{
    if (index < 0 || index >= Count()) throw EListError("Menu index out of range");
    TMenuItem* item = items_[index];
    items_.erase(items_.begin() + index);
    item->parent_ = nullptr;
    Changed();
}

void TMenuItem::Remove(TMenuItem* item)
{
    auto found = std::find(items_.begin(), items_.end(), item);
    if (found == items_.end()) throw EInvalidOperation("Sub-menu is not in menu");
    Delete(Integer(found - items_.begin()));
}

void TMenuItem::Clear()
{
    while (!items_.empty()) delete items_.back();
}

TMenuItem* TMenuItem::Find(const std::string& caption) const
{
    const std::string wanted = StripHotkey(caption);
    for (TMenuItem* item : items_)
        if (SameTextNoCase(StripHotkey(item->caption_), wanted)) return item;
    return nullptr;
}

void TMenuItem::Click()
{
    if (OnClick) OnClick(this);
}

TComponent* TMenuItem::GetParentComponent() const
{
    if (parent_ && parent_->menu_) return parent_->menu_;
    return parent_;
}

void TMenuItem::SetParentComponent(TComponent* parent)
{
    if (parent_) parent_->Remove(this);
    if (auto* menu = dynamic_cast<TMenu*>(parent))
        menu->Items()->Add(this);
    else if (auto* item = dynamic_cast<TMenuItem*>(parent))
        item->Add(this);
}

void TMenuItem::ReadState(TReader* reader)
{
    if (reader->Parent() && reader->Parent() != this) SetParentComponent(reader->Parent());
    TComponent::ReadState(reader);
}

void TMenuItem::GetChildren(const TGetChildProc& proc, TComponent* root)
{
    for (TMenuItem* item : items_) proc(item);
}

void TMenuItem::AppendTo(HMENU menu)
{
    if (!visible_) return;
    if (IsLine()) {
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        return;
    }
    std::string text = caption_;
    if (shortCut_ != scNone) text += "\t" + ShortCutToText(shortCut_);
    handle_ = nullptr;
    HMENU submenu = nullptr;
    if (!items_.empty()) {
        submenu = CreatePopupMenu();
        for (TMenuItem* item : items_) item->AppendTo(submenu);
        handle_ = submenu;
    }
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | (submenu ? MIIM_SUBMENU : 0);
    info.fType = MFT_STRING | (radioItem_ ? MFT_RADIOCHECK : 0) |
                 (break_ == mbBreak ? MFT_MENUBREAK : break_ == mbBarBreak ? MFT_MENUBARBREAK : 0);
    info.fState = (checked_ ? MFS_CHECKED : 0) | (enabled_ ? 0 : MFS_GRAYED) | (default_ ? MFS_DEFAULT : 0);
    info.wID = command_;
    info.hSubMenu = submenu;
    info.dwTypeData = text.data();
    InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, &info);
}

TMenuItem* TMenuItem::FindCommand(Word command)
{
    if (command_ == command && items_.empty()) return this;
    for (TMenuItem* item : items_)
        if (TMenuItem* found = item->FindCommand(command)) return found;
    return nullptr;
}

TMenuItem* TMenuItem::FindShortCut(TShortCut shortCut)
{
    for (TMenuItem* item : items_) {
        if (!item->visible_ || !item->enabled_) continue;
        if (item->shortCut_ == shortCut && item->items_.empty()) return item;
        if (TMenuItem* found = item->FindShortCut(shortCut)) return found;
    }
    return nullptr;
}

// ---- TMenu

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(nullptr))
{
    items_->menu_ = this;
}

TMenu::~TMenu()
{
    delete items_;
    if (handle_) DestroyMenu(handle_);
}

HMENU TMenu::Handle()
{
    if (!handle_) {
        handle_ = CreateMenuHandle();
        RebuildHandle();
    }
    return handle_;
}

void TMenu::RebuildHandle()
{
    if (!handle_) return;
    while (GetMenuItemCount(handle_) > 0) DeleteMenu(handle_, 0, MF_BYPOSITION);
    for (TMenuItem* item : items_->items_) item->AppendTo(handle_);
}

void TMenu::MenuChanged() { RebuildHandle(); }

void TMenu::GetChildren(const TGetChildProc& proc, TComponent* root)
{
    for (TMenuItem* item : items_->items_) proc(item);
}

TMenuItem* TMenu::FindItem(Word command) const { return items_->FindCommand(command); }

bool TMenu::DispatchCommand(Word command)
{
    TMenuItem* item = FindItem(command);
    if (!item) return false;
    item->Click();
    return true;
}

bool TMenu::IsShortCut(TWMKey& message)
{
    const TShortCut shortCut = ::ShortCut(message.CharCode, GetShiftState());
    if (shortCut == scNone) return false;
    TMenuItem* item = items_->FindShortCut(shortCut);
    if (!item) return false;
    item->Click();
    return true;
}

void TMainMenu::MenuChanged()
{
    TMenu::MenuChanged();
    if (auto* form = dynamic_cast<TCustomForm*>(Owner()); form && form->HandleAllocated() && form->Menu() == this)
        DrawMenuBar(form->Handle());
}

void TPopupMenu::Publish(TPublisher<TPopupMenu>& p)
{
    p.Property("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment).Default(paLeft);
    p.Property("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup).Default(true);
    p.Property("OnPopup", &TPopupMenu::OnPopup);
}

void TPopupMenu::Popup(Integer x, Integer y)
{
    if (OnPopup) OnPopup(this);
    static const UINT alignments[] = {TPM_LEFTALIGN, TPM_RIGHTALIGN, TPM_CENTERALIGN};
    const UINT command = TrackPopupMenu(Handle(), alignments[alignment_] | TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0,
                                        PopupWindow(), nullptr);
    if (command) DispatchCommand(Word(command));
}
