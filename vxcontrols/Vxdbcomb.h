// The data-aware combo box: the combo edit whose drop-down is a list box filled from Items. With MapList every line
// of Items is "display text<TAB>stored value": the edit and the list show the display texts, the field gets the
// value. Styles as the platform's combo box; type-ahead completion, incremental search in the open list, stepping
// with the arrow keys while closed, AutoDropDown and AllowClearKey.
#pragma once

#include <memory>
#include <string>

#include "vxcontrols/Vxdotdot.h"

class TvxDBComboBox;

using TvxComboCloseUpEvent = std::function<void(TvxDBComboBox* sender, bool select)>;

// The display part of an Items line (before the first TAB) and its value part (between the first and second TAB).
std::string vxComboDisplayPart(const std::string& line);
std::string vxComboValuePart(const std::string& line);

// The drop-down list: a bordered top-level tool window that never takes the focus; it searches its rows as keys
// are typed (owner-draw styles: the typed text grows until 1500 ms pass between keys).
class TvxPopupListbox : public TCustomListBox {
    DUN_CLASS(TvxPopupListbox, TCustomListBox)
public:
    explicit TvxPopupListbox(TComponent* owner);
    TvxDBComboBox* ComboBox() const;
    std::string SearchText() const { return searchText_; }
    void Dispatch(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void KeyPress(char& key) override;
    void DrawItem(Integer index, TRect rect, TOwnerDrawState state) override;

private:
    void ExtendSearchText(char key);

    std::string searchText_;
    Cardinal lastKeyTick_ = 0;
};

class TvxDBComboBox : public TvxDBCustomCombo {
    DUN_CLASS(TvxDBComboBox, TvxDBCustomCombo)
public:
    explicit TvxDBComboBox(TComponent* owner);
    ~TvxDBComboBox() override;

    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle value);
    bool MapList() const { return mapList_; }
    void SetMapList(bool value) { mapList_ = value; }
    TStrings* Items() const { return items_.get(); }
    void SetItems(TStrings* value);
    Integer ItemIndex() const { return storedIndex_; }
    void SetItemIndex(Integer index);
    bool Sorted() const { return items_->Sorted(); }
    void SetSorted(bool value) { items_->SetSorted(value); }
    Integer DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(Integer value) { dropDownCount_ = value; }
    Integer DropDownWidth() const { return dropDownWidth_; }
    void SetDropDownWidth(Integer value) { dropDownWidth_ = value; }
    Integer ItemHeight() const { return itemHeight_; }
    void SetItemHeight(Integer value) { itemHeight_ = value; }
    bool AutoDropDown() const { return autoDropDown_; }
    void SetAutoDropDown(bool value) { autoDropDown_ = value; }
    bool ShowMatchText() const { return showMatchText_; }
    void SetShowMatchText(bool value) { showMatchText_ = value; }
    bool AllowClearKey() const { return allowClearKey_; }
    void SetAllowClearKey(bool value) { allowClearKey_ = value; }
    // The list box, once the list has dropped down the first time.
    TvxPopupListbox* ListBox() const { return list_; }
    // The canvas an OnDrawItem handler paints on (the edit area's or the list's); only during that call.
    TCanvas* Canvas() const { return paintCanvas_; }

    std::string MapToValue(const std::string& text) const;
    std::string MapToDisplay(const std::string& value) const;
    void ShowValue(const std::string& value);

    void DropDown() override;
    void CloseUp(bool accept) override;
    bool IsDroppedDown() override { return listOpen_; }
    std::string GetStoredText() override;
    bool MapToDisplayText(const std::string& value, std::string& text) override;
    bool CanEditText() override;
    bool ClickEditsText() override { return !IsOwnerDraw() && style_ != csDropDownList; }
    void DrawEditText(TCanvas* canvas, const TRect& rect, Integer x, Integer y, const std::string& text) override;

    TNotifyEvent OnDropDown;
    TvxComboCloseUpEvent OnCloseUp;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

    void WndProc(TMessage& message) override;
    void Dispatch(TMessage& message) override;

    static void Publish(TPublisher<TvxDBComboBox>& p);

protected:
    void KeyDown(Word& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void KeyUp(Word& key, TShiftState shift) override;

private:
    friend class TvxPopupListbox;
    friend LRESULT CALLBACK ComboBoxMouseHook(int code, WPARAM wParam, LPARAM lParam);

    bool IsOwnerDraw() const { return style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable; }
    bool InGrid() const;
    bool IsOwnPart(TControl* control) const;
    void DataChange();
    void FillList();
    void PrepareList();
    void SelectListRow();
    void PlaceList();
    // Key-down, character and system-key-down messages; true when the message goes no further.
    bool RouteKey(TMessage& message);
    // Selects an entry as the user's choice; false when it is out of range or the field cannot be edited.
    bool SelectStep(Integer index, bool selectAll = true);
    void SearchFirstLetter(Word key);
    void CompleteMatch(char& key);
    void ReleaseMouseHook();
    void DrawItemOn(TCanvas* canvas, Integer index, const TRect& rect, TOwnerDrawState state);

    std::unique_ptr<TStringList> items_;
    TvxPopupListbox* list_ = nullptr;
    TComboBoxStyle style_ = csDropDown;
    bool mapList_ = false;
    Integer dropDownCount_ = 8;
    Integer dropDownWidth_ = 0;
    Integer itemHeight_ = 0;
    bool autoDropDown_ = false;
    bool showMatchText_ = false;
    bool allowClearKey_ = false;
    bool listOpen_ = false;
    bool firstKey_ = false;
    Integer storedIndex_ = -1;
    TCanvas* paintCanvas_ = nullptr;
    bool autoDropping_ = false;
    bool savedShowHint_ = false;
    std::function<void(TObject*)> inheritedDataChange_;
};
