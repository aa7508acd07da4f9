// Menus: items (captions with '&', checks, radio groups, shortcuts, submenus), the main menu of a form and popup
// menus. The OS menu is rebuilt from the items whenever one changes.
#pragma once

#include <string>
#include <vector>

#include "vcl/Controls.h"

using TShortCut = Word;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;

TShortCut ShortCut(Word key, TShiftState shift);
std::string ShortCutToText(TShortCut shortCut);
TShortCut TextToShortCut(const std::string& text);

class TMenu;

class TMenuItem : public TComponent {
    DUN_CLASS(TMenuItem, TComponent)
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    bool RadioItem() const { return radioItem_; }
    void SetRadioItem(bool value);
    Byte GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(Byte index) { groupIndex_ = index; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    // Shown in bold: the item a double click would choose.
    bool Default() const { return default_; }
    void SetDefault(bool value);
    std::string Hint() const { return hint_; }
    void SetHint(const std::string& hint) { hint_ = hint; }
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut shortCut);
    enum TMenuBreak { mbNone, mbBreak, mbBarBreak };
    TMenuBreak Break() const { return break_; }
    void SetBreak(TMenuBreak value);
    bool IsLine() const { return caption_ == "-"; }

    Integer Count() const { return Integer(items_.size()); }
    TMenuItem* Items(Integer index) const { return items_.at(index); }
    TMenuItem* Parent() const { return parent_; }
    Integer MenuIndex() const;
    void Add(TMenuItem* item);
    void Insert(Integer index, TMenuItem* item);
    void Delete(Integer index);
    void Remove(TMenuItem* item);
    void Clear();
    TMenuItem* Find(const std::string& caption) const;
    Word Command() const { return command_; }
    HMENU Handle() const { return handle_; }

    virtual void Click();
    TNotifyEvent OnClick;

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* parent) override;
    void GetChildren(const TGetChildProc& proc, TComponent* root) override;
    void ReadState(TReader* reader) override;

    static void Publish(TPublisher<TMenuItem>& p);

private:
    friend class TMenu;
    void Changed();
    void AppendTo(HMENU menu);
    TMenuItem* FindCommand(Word command);
    TMenuItem* FindShortCut(TShortCut shortCut);
    void UncheckGroupSiblings();

    std::string caption_;
    bool checked_ = false;
    bool radioItem_ = false;
    Byte groupIndex_ = 0;
    bool enabled_ = true;
    bool visible_ = true;
    bool default_ = false;
    std::string hint_;
    TShortCut shortCut_ = scNone;
    TMenuBreak break_ = mbNone;
    std::vector<TMenuItem*> items_;
    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr;  // set on the root item
    Word command_;
    HMENU handle_ = nullptr;
};

class TMenu : public TComponent {
    DUN_CLASS(TMenu, TComponent)
public:
    explicit TMenu(TComponent* owner);
    ~TMenu() override;

    TMenuItem* Items() const { return items_; }
    HMENU Handle();
    bool IsShortCut(TWMKey& message);
    // Runs the item of a WM_COMMAND menu identifier; false when none of this menu has it.
    bool DispatchCommand(Word command);
    TMenuItem* FindItem(Word command) const;

    void GetChildren(const TGetChildProc& proc, TComponent* root) override;

protected:
    friend class TMenuItem;
    virtual void MenuChanged();
    virtual HMENU CreateMenuHandle() = 0;
    void RebuildHandle();

    TMenuItem* items_;
    HMENU handle_ = nullptr;
};

class TMainMenu : public TMenu {
    DUN_CLASS(TMainMenu, TMenu)
public:
    explicit TMainMenu(TComponent* owner) : TMenu(owner) {}

protected:
    void MenuChanged() override;
    HMENU CreateMenuHandle() override { return CreateMenu(); }
};

enum TPopupAlignment { paLeft, paRight, paCenter };
DUN_ENUM(TPopupAlignment, "paLeft", "paRight", "paCenter");

class TPopupMenu : public TMenu {
    DUN_CLASS(TPopupMenu, TMenu)
public:
    explicit TPopupMenu(TComponent* owner) : TMenu(owner) {}

    // Shows the menu at a screen position and waits until it closes; the chosen item is clicked.
    virtual void Popup(Integer x, Integer y);
    TPopupAlignment Alignment() const { return alignment_; }
    void SetAlignment(TPopupAlignment alignment) { alignment_ = alignment; }
    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool value) { autoPopup_ = value; }
    TComponent* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(TComponent* component) { popupComponent_ = component; }
    TNotifyEvent OnPopup;

    static void Publish(TPublisher<TPopupMenu>& p);

protected:
    HMENU CreateMenuHandle() override { return CreatePopupMenu(); }

private:
    TPopupAlignment alignment_ = paLeft;
    bool autoPopup_ = true;
    TComponent* popupComponent_ = nullptr;
};
