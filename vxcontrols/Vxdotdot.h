// The combo edit: the data-aware masked edit with a button at its right edge (three dots or a drop-down arrow) that
// opens and closes a drop-down through DropDown, CloseUp, IsDroppedDown, CanEditText and ClickEditsText. The base has
// no list: its DropDown runs OnButtonClick.
#pragma once

#include "vcl/Buttons.h"
#include "vxcontrols/vxdbedit.h"

class TvxDBCustomCombo;

enum TvxComboButtonStyle { cbsEllipsis, cbsDownArrow };
DUN_ENUM(TvxComboButtonStyle, "cbsEllipsis", "cbsDownArrow");

// The window a combo's button sits in, at the combo's right edge: max(SM_CXVSCROLL + 4, 17) x 17, replicatable.
TWinControl* vxCreateComboButtonContainer(TWinControl* combo);
// The width a combo's button gets: max(SM_CXVSCROLL, 15).
Integer vxComboButtonWidth();
// Places the container at the combo's right edge (inside a 3-D border) and the button over the container's height.
void vxLayoutComboButton(TCustomEdit* combo, TWinControl* container, TControl* button);

class TvxComboDlgButton : public TSpeedButton {
    DUN_CLASS(TvxComboDlgButton, TSpeedButton)
public:
    explicit TvxComboDlgButton(TComponent* owner) : TSpeedButton(owner) {}
    TButtonState State() const;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
    void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;

private:
    bool held_ = false;
};

class TvxDBCustomCombo : public TvxDBCustomEdit {
    DUN_CLASS(TvxDBCustomCombo, TvxDBCustomEdit)
public:
    explicit TvxDBCustomCombo(TComponent* owner);
    ~TvxDBCustomCombo() override;

    bool GetShowButton() override;
    void SetShowButton(bool value) override;
    bool ShowButton() { return GetShowButton(); }
    TvxComboButtonStyle ButtonStyle() const { return buttonStyle_; }
    void SetButtonStyle(TvxComboButtonStyle value);
    Byte ListStyle() const { return listStyle_; }
    void SetListStyle(Byte value) { listStyle_ = value; }
    bool DroppedDown() const { return droppedDown_; }
    TvxComboDlgButton* Button() const { return button_; }
    TWinControl* ButtonContainer() const { return container_; }

    virtual HBITMAP ButtonGlyph() { return nullptr; }
    virtual void PaintButton(TCanvas* canvas, const TRect& rect, bool& defaultPaint, TControlState controlState,
                             TButtonState buttonState);
    virtual bool ClickEditsText() { return listStyle_ != 1; }
    bool CanEditText() override { return listStyle_ != 1 || IsDroppedDown(); }
    virtual bool IsDroppedDown() { return droppedDown_; }
    virtual void CloseUp(bool accept);
    virtual void DropDown();
    void ButtonClick();
    Integer ButtonAreaWidth() override { return container_->Width(); }
    Integer TextAreaRight() override { return container_->Left() - 1; }
    void UpdateButtonLayout();

    TNotifyEvent OnButtonClick;

    void Dispatch(TMessage& message) override;

    static void Publish(TPublisher<TvxDBCustomCombo>& p);

protected:
    void Loaded() override;
    void CreateParams(TCreateParams& params) override;
    // The window's first size comes before it is ours: the button is placed once it exists.
    void CreateWnd() override;
    void SetEditRect() override;
    void KeyDown(Word& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void ToggleByMouse(TMessage& message);
    // Enter and Esc close an open drop-down, Alt+Up and Alt+Down open or close it; a key used up becomes 0.
    void DropDownKeys(Word& key, TShiftState shift);

private:
    void ApplyButtonGlyph();

    TWinControl* container_ = nullptr;
    TvxComboDlgButton* button_ = nullptr;
    TvxComboButtonStyle buttonStyle_ = cbsEllipsis;
    Byte listStyle_ = 0;
    bool droppedDown_ = false;
};
