// Standard controls: label, edits, memo, buttons, check and radio boxes, group box, combo box and list box.
#pragma once

#include <memory>
#include <string>

#include "rtl/Classes.h"
#include "vcl/Controls.h"

enum TTextLayout { tlTop, tlCenter, tlBottom };
DUN_ENUM(TTextLayout, "tlTop", "tlCenter", "tlBottom");

class TLabel : public TGraphicControl {
    DUN_CLASS(TLabel, TGraphicControl)
public:
    explicit TLabel(TComponent* owner);

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value) { alignment_ = value; Invalidate(); }
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value) { autoSize_ = value; AdjustBounds(); }
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value) { wordWrap_ = value; AdjustBounds(); }
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value) { transparent_ = value; Invalidate(); }
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool value) { showAccelChar_ = value; Invalidate(); }
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout value) { layout_ = value; Invalidate(); }
    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* control);
    void Dispatch(TMessage& message) override;

    static void Publish(TPublisher<TLabel>& p);

protected:
    void Paint() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    void AdjustBounds();
    UINT TextFlags() const;

    TAlignment alignment_ = taLeftJustify;
    bool autoSize_ = true;
    bool wordWrap_ = false;
    bool transparent_ = false;
    bool showAccelChar_ = true;
    TTextLayout layout_ = tlTop;
    TWinControl* focusControl_ = nullptr;
};

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
DUN_ENUM(TEditCharCase, "ecNormal", "ecUpperCase", "ecLowerCase");

class TCustomEdit : public TWinControl {
    DUN_CLASS(TCustomEdit, TWinControl)
public:
    explicit TCustomEdit(TComponent* owner);

    Integer SelStart();
    void SetSelStart(Integer start);
    Integer SelLength();
    void SetSelLength(Integer length);
    std::string SelText();
    void SetSelText(const std::string& text);
    void SelectAll();
    void ClearSelection() { SetSelText(""); }
    void Clear() { SetText(""); }
    Integer MaxLength() const { return maxLength_; }
    void SetMaxLength(Integer length);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    bool Modified() const { return modified_; }
    void SetModified(bool value) { modified_ = value; }
    TEditCharCase CharCase() const { return charCase_; }
    void SetCharCase(TEditCharCase value);
    char PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char value);
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool value) { autoSelect_ = value; }
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value) { autoSize_ = value; }
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle value) { borderStyle_ = value; RecreateWnd(); }

    void Dispatch(TMessage& message) override;
    TNotifyEvent OnChange;

    static void Publish(TPublisher<TCustomEdit>& p);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void SetTextBuf(const std::string& text) override;
    virtual void Change();
    void DoEnter() override;

    Integer maxLength_ = 0;
    bool readOnly_ = false;
    bool modified_ = false;
    TEditCharCase charCase_ = ecNormal;
    char passwordChar_ = 0;
    bool autoSelect_ = true;
    bool autoSize_ = true;
    TFormBorderStyle borderStyle_ = bsSingle;
    bool settingText_ = false;
    Integer savedSelStart_ = 0, savedSelLength_ = 0;
};

class TEdit : public TCustomEdit {
    DUN_CLASS(TEdit, TCustomEdit)
public:
    explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
};

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
DUN_ENUM(TScrollStyle, "ssNone", "ssHorizontal", "ssVertical", "ssBoth");

class TMemo : public TCustomEdit {
    DUN_CLASS(TMemo, TCustomEdit)
public:
    explicit TMemo(TComponent* owner);
    TStrings* Lines();
    TStrings* LinesConst() const { return const_cast<TMemo*>(this)->Lines(); }
    void SetLines(TStrings* lines) { Lines()->Assign(lines); }
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle value) { scrollBars_ = value; RecreateWnd(); }
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value) { wordWrap_ = value; RecreateWnd(); }
    bool WantReturns() const { return wantReturns_; }
    void SetWantReturns(bool value) { wantReturns_ = value; }
    bool WantTabs() const { return wantTabs_; }
    void SetWantTabs(bool value) { wantTabs_ = value; }
    void Dispatch(TMessage& message) override;

    static void Publish(TPublisher<TMemo>& p);

protected:
    void CreateParams(TCreateParams& params) override;
    void Change() override;

private:
    void LinesChanged();
    std::unique_ptr<TStringList> lines_;
    bool syncing_ = false;
    TScrollStyle scrollBars_ = ssNone;
    bool wordWrap_ = true;
    bool wantReturns_ = true;
    bool wantTabs_ = false;
};

class TButtonControl : public TWinControl {
    DUN_CLASS(TButtonControl, TWinControl)
public:
    explicit TButtonControl(TComponent* owner);
};

class TButton : public TButtonControl {
    DUN_CLASS(TButton, TButtonControl)
public:
    explicit TButton(TComponent* owner);

    bool Default() const { return default_; }
    void SetDefault(bool value);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool value) { cancel_ = value; }
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult value) { modalResult_ = value; }
    void Click() override;
    void Dispatch(TMessage& message) override;

    static void Publish(TPublisher<TButton>& p);

protected:
    void CreateParams(TCreateParams& params) override;
    void SetButtonStyle(bool isDefault);
    bool active_ = false;  // the button Enter presses: the default one, or the focused button

private:
    bool default_ = false;
    bool cancel_ = false;
    TModalResult modalResult_ = mrNone;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
DUN_ENUM(TCheckBoxState, "cbUnchecked", "cbChecked", "cbGrayed");

class TCheckBox : public TButtonControl {
    DUN_CLASS(TCheckBox, TButtonControl)
public:
    explicit TCheckBox(TComponent* owner);

    bool Checked() const { return checkState_ == cbChecked; }
    void SetChecked(bool value) { SetState(value ? cbChecked : cbUnchecked); }
    TCheckBoxState State() const { return checkState_; }
    void SetState(TCheckBoxState state);
    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool value) { allowGrayed_ = value; }
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value) { alignment_ = value; RecreateWnd(); }
    void Dispatch(TMessage& message) override;

    static void Publish(TPublisher<TCheckBox>& p);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    virtual void Toggle();

private:
    TCheckBoxState checkState_ = cbUnchecked;
    bool allowGrayed_ = false;
    TAlignment alignment_ = taRightJustify;
};

class TRadioButton : public TButtonControl {
    DUN_CLASS(TRadioButton, TButtonControl)
public:
    explicit TRadioButton(TComponent* owner);

    bool Checked() const { return checked_; }
    void SetChecked(bool value);
    void Dispatch(TMessage& message) override;

    static void Publish(TPublisher<TRadioButton>& p);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;

private:
    bool checked_ = false;
};

class TGroupBox : public TCustomControl {
    DUN_CLASS(TGroupBox, TCustomControl)
public:
    explicit TGroupBox(TComponent* owner);
    void Dispatch(TMessage& message) override;

protected:
    void AdjustClientRect(TRect& rect) override;
    void Paint() override;
};

enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
using TScrollEvent = std::function<void(TObject* sender, TScrollCode code, Integer& position)>;

class TScrollBar : public TWinControl {
    DUN_CLASS(TScrollBar, TWinControl)
public:
    explicit TScrollBar(TComponent* owner);

    bool Vertical() const { return vertical_; }
    void SetVertical(bool value) { vertical_ = value; RecreateWnd(); }
    Integer Min() const { return min_; }
    void SetMin(Integer value) { SetParams(position_, value, max_); }
    Integer Max() const { return max_; }
    void SetMax(Integer value) { SetParams(position_, min_, value); }
    Integer Position() const { return position_; }
    void SetPosition(Integer value) { SetParams(value, min_, max_); }
    Integer SmallChange() const { return smallChange_; }
    void SetSmallChange(Integer value) { smallChange_ = value; }
    Integer LargeChange() const { return largeChange_; }
    void SetLargeChange(Integer value) { largeChange_ = value; }
    void SetParams(Integer position, Integer min, Integer max);
    void Dispatch(TMessage& message) override;
    TNotifyEvent OnChange;
    TScrollEvent OnScroll;

    static void Publish(TPublisher<TScrollBar>& p);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;

private:
    bool vertical_ = false;
    Integer min_ = 0, max_ = 100, position_ = 0;
    Integer smallChange_ = 1, largeChange_ = 1;
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
DUN_ENUM(TComboBoxStyle, "csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable");

class TCustomComboBox : public TWinControl {
    DUN_CLASS(TCustomComboBox, TWinControl)
public:
    explicit TCustomComboBox(TComponent* owner);

    TStrings* Items() const { return items_.get(); }
    void SetItems(TStrings* items) { items_->Assign(items); }
    Integer ItemIndex();
    Integer ItemIndexValue() const { return const_cast<TCustomComboBox*>(this)->ItemIndex(); }
    void SetItemIndex(Integer index);
    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle style) { style_ = style; RecreateWnd(); }
    Integer DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(Integer count) { dropDownCount_ = count; }
    bool DroppedDown();
    void SetDroppedDown(bool value);
    Integer MaxLength() const { return maxLength_; }
    void SetMaxLength(Integer length);
    bool Sorted() const { return items_->Sorted(); }
    void SetSorted(bool value) { items_->SetSorted(value); }
    Integer SelStart();
    void SetSelStart(Integer start);
    Integer SelLength();
    void SetSelLength(Integer length);
    void SelectAll();
    void Dispatch(TMessage& message) override;

    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TNotifyEvent OnSelect;

    static void Publish(TPublisher<TCustomComboBox>& p);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    virtual void Change();
    virtual void DropDown();
    virtual void CloseUp();
    virtual void Select();

private:
    void ItemsChanged();

    std::unique_ptr<TStringList> items_;
    Integer itemIndex_ = -1;
    TComboBoxStyle style_ = csDropDown;
    Integer dropDownCount_ = 8;
    Integer maxLength_ = 0;
};

class TComboBox : public TCustomComboBox {
    DUN_CLASS(TComboBox, TCustomComboBox)
public:
    explicit TComboBox(TComponent* owner) : TCustomComboBox(owner) {}
};

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
DUN_ENUM(TListBoxStyle, "lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable");
enum TOwnerDrawStateItem { odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight, odInactive,
                           odNoAccel, odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit };
using TOwnerDrawState = Set<TOwnerDrawStateItem>;
using TDrawItemEvent = std::function<void(TWinControl* control, Integer index, TRect rect, TOwnerDrawState state)>;
using TMeasureItemEvent = std::function<void(TWinControl* control, Integer index, Integer& height)>;

// A list box; in the owner-draw styles its rows are painted by DrawItem (OnDrawItem) on Canvas, and in
// lbOwnerDrawVariable each row's height is asked of MeasureItem (OnMeasureItem) when the row is added, starting
// from ItemHeight.
class TCustomListBox : public TWinControl {
    DUN_CLASS(TCustomListBox, TWinControl)
public:
    explicit TCustomListBox(TComponent* owner);
    ~TCustomListBox() override;

    TStrings* Items() const { return items_.get(); }
    void SetItems(TStrings* items) { items_->Assign(items); }
    Integer ItemIndex();
    void SetItemIndex(Integer index);
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool value) { multiSelect_ = value; RecreateWnd(); }
    bool Selected(Integer index);
    void SetSelected(Integer index, bool value);
    Integer SelCount();
    bool Sorted() const { return items_->Sorted(); }
    void SetSorted(bool value) { items_->SetSorted(value); }
    Integer TopIndex();
    void SetTopIndex(Integer index);
    void Clear() { items_->Clear(); }
    TListBoxStyle Style() const { return style_; }
    void SetStyle(TListBoxStyle value);
    // The owner-draw row height; a standard list box's window tells its own (from the font).
    Integer ItemHeight();
    Integer ItemHeightValue() const { return const_cast<TCustomListBox*>(this)->ItemHeight(); }
    // Values that are not positive are ignored.
    void SetItemHeight(Integer value);
    bool IntegralHeight() const { return integralHeight_; }
    void SetIntegralHeight(bool value) { integralHeight_ = value; RecreateWnd(); }
    // The row at the point (client coordinates); off the rows -1 when existing, else the count of rows.
    Integer ItemAtPos(TPoint pos, bool existing);
    TRect ItemRect(Integer index);
    TCanvas* Canvas() const { return canvas_.get(); }
    void Dispatch(TMessage& message) override;

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

    static void Publish(TPublisher<TCustomListBox>& p);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    virtual void DrawItem(Integer index, TRect rect, TOwnerDrawState state);
    virtual void MeasureItem(Integer index, Integer& height);

private:
    void ItemsChanged();
    void CNDrawItem(TMessage& message);

    std::unique_ptr<TStringList> items_;
    std::unique_ptr<TControlCanvas> canvas_;
    Integer itemIndex_ = -1;
    bool multiSelect_ = false;
    TListBoxStyle style_ = lbStandard;
    Integer itemHeight_ = 16;
    bool integralHeight_ = false;
};

class TListBox : public TCustomListBox {
    DUN_CLASS(TListBox, TCustomListBox)
public:
    explicit TListBox(TComponent* owner) : TCustomListBox(owner) {}
};
