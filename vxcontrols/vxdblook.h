// The lookup list and the lookup combo. TvxDBLookupList is a grid over a lookup table that knows which row carries
// its value (the texts of up to three lookup fields and of a display field), positions the table on a value,
// highlights the row and takes a row by key or click. TvxPopupGrid is that grid as the drop-down window of a
// TvxDBCustomLookupCombo: a top-level tool window that leaves the keyboard focus with its combo.
//
// A list without an owner combo stands alone: every question it would ask the combo answers false.
#pragma once

#include <memory>
#include <string>

#include "classes/Alignment.h"
#include "vcl/Buttons.h"
#include "vcl/StdCtrls.h"
#include "vxcontrols/Vxdbigrd.h"

class TDataSource;
class TFieldDataLink;
class TTimer;
class TvxDBCustomLookupCombo;

enum TvxDBLookupListOption { loColLines, loRowLines, loTitles };
using TvxDBLookupListOptions = Set<TvxDBLookupListOption>;
DUN_ENUM(TvxDBLookupListOption, "loColLines", "loRowLines", "loTitles");

enum TvxSeqSearchOption { ssoEnabled, ssoCaseSensitive };
using TvxSeqSearchOptions = Set<TvxSeqSearchOption>;
DUN_ENUM(TvxSeqSearchOption, "ssoEnabled", "ssoCaseSensitive");

class TvxDBLookupList : public TvxCustomDBGrid {
    DUN_CLASS(TvxDBLookupList, TvxCustomDBGrid)
    friend class TvxDBCustomLookupCombo;

public:
    explicit TvxDBLookupList(TComponent* owner);
    ~TvxDBLookupList() override;
    static void Publish(TPublisher<TvxDBLookupList>& p);

    TvxDBCustomLookupCombo* OwnerCombo() const { return ownerCombo_; }
    void SetOwnerCombo(TvxDBCustomLookupCombo* combo) { ownerCombo_ = combo; }

    // ---- the lookup table and the list's own field
    TDataSet* LookupTable() const;
    // Raises for a table that is also the data source's, or for a component that is not a dataset.
    void SetLookupTable(TComponent* table);
    TDataSource* LookupSource() const { return lookupSource_; }
    void SetLookupSource(TDataSource* source);
    TFieldDataLink* FieldLink() const { return fieldLink_.get(); }
    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* value);
    std::string DataField() const;
    void SetDataField(const std::string& value);
    bool ReadOnly() const;
    void SetReadOnly(bool value);
    const std::string& LookupField() const { return lookupField_; }
    void SetLookupField(const std::string& value);
    TvxDBLookupListOptions Options() const { return options_; }
    void SetOptions(TvxDBLookupListOptions value);

    // ---- the value
    TField* DisplayField() const { return displayField_; }
    // Lookup field 1, 2 or 3; nullptr when not resolved.
    TField* LookupFields(Integer index) const { return lookupFields_[index - 1]; }
    Integer LookupFieldCount() const { return lookupFieldCount_; }
    const std::string& LookupValue() const { return lookupValues_[0]; }
    const std::string& LookupValue2() const { return lookupValues_[1]; }
    const std::string& LookupValue3() const { return lookupValues_[2]; }
    // Writes the value alone; SetValue looks it up.
    void SetLookupValueText(Integer index, const std::string& value) { lookupValues_[index - 1] = value; }
    const std::string& DisplayValue() const { return displayValue_; }
    void SetDisplayValueText(const std::string& value) { displayValue_ = value; }
    // The record-buffer index of the row that carries the value; -1 when none is known.
    Integer SelectedRow() const { return selectedRow_; }
    void SetSelectedRow(Integer value) { selectedRow_ = value; }
    Integer TitleOffset() const { return titleOffset_; }
    bool LastLocateFound() const { return lastLocateFound_; }
    // Lets a resize lay the grid out while it is hidden.
    using TCustomGrid::Sizing;
    bool Sizing() const { return sizing_; }
    void SetSizing(bool value) { sizing_ = value; }
    Integer UpdateNesting() const { return updateNesting_; }
    Integer& UpdateNestingCounter() { return updateNesting_; }
    bool DisplayIsLookupField() const { return displayField_ && displayField_ == lookupFields_[0]; }

    void ResolveFields(bool check);
    void LookupChanged();
    // Takes Value as lookup value 1 and finds its display text.
    void SetValue(const std::string& value);
    // Positions the table on the current lookup value and takes Value as the display text.
    void SetDisplayValue(const std::string& value);
    void LocateCurrentValue(bool forDisplay);
    void LocateLookupValue();
    void ShowDataFieldValue();
    void WriteDataField();
    virtual bool CanSelectRow();
    // Takes the values of the link's active record; then OnClick.
    virtual void SelectCurrentRow();

    // Fired when a row was taken.
    TNotifyEvent OnClick;

    void Dispatch(TMessage& message) override;

protected:
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    void CreateWnd() override;
    void Paint() override;
    void DrawCell(Integer col, Integer row, TRect rect, TGridDrawState state) override;
    void Scroll(Integer distance) override;
    bool HighlightCell(Integer dataCol, Integer dataRow, TGridDrawState state, const std::string& value) override;
    void DefineFieldMap() override;
    void SetColumnAttributes() override;
    void LinkActive(bool value) override;
    bool CanGridAcceptKey(Word key, TShiftState shift) override;
    void KeyDown(Word& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
    void MouseMove(TShiftState shift, Integer x, Integer y) override;
    void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;

    bool OwnerBound() const;
    bool OwnerVisible() const;

private:
    void CheckDuplicate(TDataSource* dataSource, TDataSource* lookupSource) const;
    bool RowMatchesValue(Integer dataRow);
    bool LocateBoundValue(bool forDisplay);
    bool SearchLookupTable(const std::string& value, const std::string& fieldName, bool caseSensitive);
    void TakeLookupValues();
    void ClearLookupValues();
    void ClearDisplayAndValue()
    {
        displayValue_.clear();
        lookupValues_[0].clear();
    }
    void MoveToFirstRecord();
    void InvalidateSelectedRow();
    void VerticalScroll(TMessage& message);
    void Exit(TMessage& message);
    bool PressOnDataRow(Integer row) const;

    TvxDBCustomLookupCombo* ownerCombo_ = nullptr;
    std::unique_ptr<TFieldDataLink> fieldLink_;
    TDataSource* lookupSource_ = nullptr;
    std::string lookupField_;
    TField* displayField_ = nullptr;
    TField* lookupFields_[3] = {};
    Integer lookupFieldCount_ = 0;
    std::string lookupValues_[3];
    std::string displayValue_;
    Integer selectedRow_ = -1;
    TvxDBLookupListOptions options_;
    Integer titleOffset_ = 0;
    bool lastLocateFound_ = false;
    bool inKeyDown_ = false;
    bool sizing_ = false;
    Integer updateNesting_ = 0;
};

// The drop-down grid of a lookup combo (its owner).
class TvxPopupGrid : public TvxDBLookupList {
    DUN_CLASS(TvxPopupGrid, TvxDBLookupList)
    friend class TvxDBCustomLookupCombo;

public:
    explicit TvxPopupGrid(TvxDBCustomLookupCombo* owner);
    void Dispatch(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void LinkActive(bool value) override;
    bool CanSelectRow() override;
    void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
};

// Scoped: the framework's combo box style has values of the same names.
// The combo's arrow button: its face is the combo's PaintButton; a press opens or closes the grid.
class TvxComboButton : public TSpeedButton {
    DUN_CLASS(TvxComboButton, TSpeedButton)
public:
    explicit TvxComboButton(TComponent* owner) : TSpeedButton(owner) {}
    bool Pressed() const { return pressed_; }

protected:
    void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
    void MouseMove(TShiftState shift, Integer x, Integer y) override;
    void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
    void Paint() override;

private:
    TvxDBCustomLookupCombo* Combo() const;
    bool pressed_ = false;
};

enum class TvxDBLookupComboStyle { csDropDown, csDropDownList };
DUN_ENUM(TvxDBLookupComboStyle, "csDropDown", "csDropDownList");

using TNotifyCloseUpEvent =
    std::function<void(TObject* sender, TDataSet* lookupTable, TDataSet* fillTable, bool modified)>;
using TNotInListEvent =
    std::function<void(TObject* sender, TDataSet* lookupTable, const std::string& newValue, bool& accept)>;

// The lookup combo: an edit whose typed text searches the lookup table, with the drop-down grid of the table's
// rows; a taken row gives the combo its value (up to three lookup field texts) and its display text.
class TvxDBCustomLookupCombo : public TCustomEdit {
    DUN_CLASS(TvxDBCustomLookupCombo, TCustomEdit)
public:
    explicit TvxDBCustomLookupCombo(TComponent* owner);
    ~TvxDBCustomLookupCombo() override;

    TvxPopupGrid* DropDownGrid() const { return grid_; }
    TFieldDataLink* FieldLink() const { return fieldLink_.get(); }

    // ---- properties
    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* value);
    std::string DataField() const;
    void SetDataField(const std::string& value);
    TDataSet* LookupTable() const { return grid_->LookupTable(); }
    void SetLookupTable(TComponent* value) { grid_->SetLookupTable(value); }
    const std::string& LookupField() const { return grid_->LookupField(); }
    void SetLookupField(const std::string& value);
    TStrings* Selected() const { return grid_->Selected(); }
    void SetSelected(TStrings* value) { grid_->Selected()->Assign(value); }
    TvxDBLookupListOptions Options() const { return grid_->Options(); }
    void SetOptions(TvxDBLookupListOptions value) { grid_->SetOptions(value); }
    TvxDBLookupComboStyle Style() const { return style_; }
    void SetStyle(TvxDBLookupComboStyle value) { style_ = value; }
    Integer DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(Integer value) { dropDownCount_ = value; }
    bool AutoDropDown() const { return autoDropDown_; }
    void SetAutoDropDown(bool value) { autoDropDown_ = value; }
    TvxSeqSearchOptions SeqSearchOptions() const { return seqSearchOptions_; }
    void SetSeqSearchOptions(TvxSeqSearchOptions value) { seqSearchOptions_ = value; }
    bool ShowMatchText() const { return showMatchText_; }
    void SetShowMatchText(bool value) { showMatchText_ = value; }
    bool OrderByDisplay() const { return orderByDisplay_; }
    void SetOrderByDisplay(bool value) { orderByDisplay_ = value; }
    bool AllowClearKey() const { return allowClearKey_; }
    void SetAllowClearKey(bool value) { allowClearKey_ = value; }
    Integer DropDownWidth() const { return dropDownWidth_; }
    void SetDropDownWidth(Integer value) { dropDownWidth_ = value; }
    TAlignment DropDownAlignment() const { return dropDownAlignment_; }
    void SetDropDownAlignment(TAlignment value) { dropDownAlignment_ = value; }
    TImageList* ImageList() const { return imageList_; }
    void SetImageList(TImageList* value);
    bool MultiLine() const { return multiLine_; }
    // Re-creates the window when the value changes.
    void SetMultiLine(bool value);
    bool ShowButton() const;
    void SetShowButton(bool value);
    TvxComboButton* Button() const { return button_; }
    bool UseTFields() const { return grid_->UseTFields(); }
    void SetUseTFields(bool value) { grid_->SetUseTFields(value); }
    bool ReadOnly() const;
    void SetReadOnly(bool value);

    // ---- the value
    const std::string& LookupValue() const { return grid_->LookupValue(); }
    void SetLookupValue(const std::string& value);
    // The grid's value 2 (3), first refreshed from the data source's field of lookup field 2's (3's) name.
    std::string LookupValue2();
    std::string LookupValue3();
    void SetDisplayValue(const std::string& value);
    // Shows the lookup record of a combo bound to a plain field (the record view borrows the combo).
    void ShowLookupRecord();

    // ---- what the drop-down grid asks
    bool IsLookupFieldBound() const;
    bool UseSequentialSearch() const;
    bool SequentialSearch(const std::string& value, const std::string& fieldName, bool partial, bool caseSensitive);
    bool LastSearchFound() const { return lastSearchFound_; }
    void SetLastSearchFound(bool value) { lastSearchFound_ = value; }
    const std::string& SearchedText() const { return searchedText_; }
    void SetSearchedText(const std::string& value) { searchedText_ = value; }
    // The text searches look for: the edit text while it can be typed, else the lookup value.
    std::string SearchValue();
    bool CanEditText() const;
    bool ClickEditsText() const;
    bool CanModifyData() const;
    void BeginEdit();
    void SelectAllIfEditable();
    void TakeListSelection(TObject* sender = nullptr);
    void CommitPendingSearch();
    void DataChange();
    bool IsDroppedDown() const;
    // Opens the grid below (or above) the combo.
    virtual void DropDown();
    // Closes the grid; Modified takes the current row or the typed text, else it is discarded.
    virtual void CloseUp(bool modified);
    void PositionDropDown();
    Integer ColumnsWidth(Integer skip);
    Integer RowsShown() const { return rowsShown_; }
    // The thread's one mouse hook of all lookup combos; nullptr while none is installed.
    static HHOOK MouseHook();
    void UpdateButtonLayout();
    void SetEditRect();
    Integer MinimumHeight();
    // Draws the arrow; DefaultPaint false leaves the speed button's own face undrawn.
    virtual void PaintButton(TCanvas* canvas, const TRect& rect, bool& defaultPaint, TControlState controlState,
                             bool pressed);
    // The button's glyph: the system's combo arrow bitmap.
    virtual HBITMAP ButtonGlyph();
    // True makes a write of the data field copy lookup fields 2 and 3 also without a highlighted row.
    virtual bool AlwaysCopyLookupFields() { return false; }
    // The canvas a combo whose text cannot be typed paints its face on.
    TCanvas* PaintCanvas();
    // A press on the combo or its button dragged into the open grid goes on there.
    void ForwardDragToList(TControl* source, Integer x, Integer y);

    // ---- search
    void PerformSearch();
    void DoIncrementalSearch();
    TTimer* SearchTimer() const { return searchTimer_; }

    TNotifyEvent OnDropDown;
    TNotifyCloseUpEvent OnCloseUp;
    TNotInListEvent OnNotInList;

    void Dispatch(TMessage& message) override;

protected:
    void Notification(TComponent* component, TOperation operation) override;
    void Loaded() override;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void KeyDown(Word& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void KeyUp(Word& key, TShiftState shift) override;
    void Change() override;
    void DoEnter() override;
    void MouseMove(TShiftState shift, Integer x, Integer y) override;

private:
    void PaintFace(TMessage& message);
    bool PaintsItself();
    // The parent when it is a data grid (TvxDBGrid), else nullptr.
    TvxCustomDBGrid* ParentDBGrid() const;
    bool InFocusedGrid() const;
    std::string PaintedText();
    void HideGrid();
    bool RouteKeyToGrid(TvxCustomDBGrid* grid, Word& key, TShiftState shift);
    bool GridTakesKey(TvxCustomDBGrid* grid, Word key, TShiftState shift);
    void HandKeyToGrid(TvxCustomDBGrid* grid, Word& key);
    bool LocateInQuery(TDataSet* table, TField* field, const std::string& value, bool partial, bool caseSensitive);
    void EditingChange();
    void UpdateData();
    void ActiveChange();
    void RestoreSavedText();
    void CloseUpClosed();
    void CloseUpOpen(bool& modified);
    bool TakeNotInList(bool& notInListAccepted);
    void WriteUnboundValue(bool wasFound, bool notInListAccepted);
    void WritePlainField(bool wasFound, bool& modified);
    bool CNKeyDown(TMessage& message);
    void EscapePressed();
    void ClearByKey(Word& key);
    bool SearchAfterKey(Word& key);
    std::string PredictedText(char key);
    void PasteText();
    void ToggleByMouse(TMessage& message);
    void DeriveLookupField();
    void WriteLookupFields(bool& modified);
    void AddSelectedLine();
    Integer DropDownHeight(Integer rows);
    void FitToRecords();
    void InstallMouseHook();
    void RemoveMouseHook();
    void CMExit(TMessage& message);
    void CancelMode(TMessage& message);

    std::unique_ptr<TFieldDataLink> fieldLink_;
    TWinControl* buttonContainer_ = nullptr;
    TvxComboButton* button_ = nullptr;
    std::unique_ptr<TControlCanvas> paintCanvas_;
    TvxPopupGrid* grid_ = nullptr;
    TTimer* searchTimer_ = nullptr;
    TvxDBLookupComboStyle style_ = TvxDBLookupComboStyle::csDropDown;
    Integer dropDownCount_ = 8;
    bool autoDropDown_ = false;
    TvxSeqSearchOptions seqSearchOptions_{ssoEnabled};
    bool showMatchText_ = false;
    bool allowClearKey_ = false;
    bool orderByDisplay_ = true;
    std::string lastSearchText_;
    std::string searchedText_;
    std::string savedText_;
    std::string savedLookupValue_;
    bool lastSearchFound_ = true;
    bool dropDownPending_ = false;
    bool closingUp_ = false;
    bool inNotInList_ = false;
    bool writingValue_ = false;
    bool internalUpdate_ = false;
    Integer rowsShown_ = 0;
    Integer dropDownWidth_ = 0;
    TAlignment dropDownAlignment_ = taLeftJustify;
    bool multiLine_ = false;
    TImageList* imageList_ = nullptr;
};

// The lookup combo as forms place it: it publishes the properties of its base.
class TvxDBLookupCombo : public TvxDBCustomLookupCombo {
    DUN_CLASS(TvxDBLookupCombo, TvxDBCustomLookupCombo)
public:
    explicit TvxDBLookupCombo(TComponent* owner) : TvxDBCustomLookupCombo(owner) {}
    static void Publish(TPublisher<TvxDBLookupCombo>& p);
};
