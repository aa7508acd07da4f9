// The library's masked edits: TvxCustomMaskEdit checks every keystroke, paste and cut against a picture mask;
// TvxDBCustomEdit shows and edits one field, fills in dates and times on Space and writes the text back with
// picture validation; TvxDBPicture is the mask property, kept in the dataset's PictureMasks line when bound.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "vcl/Mask.h"
#include "vxdata/Vxmaskkey.h"

class TControlCanvas;
class TDataSet;
class TField;
class TFieldDataLink;
class TvxCustomMaskEdit;
class TvxDataSource;
class TvxCustomDBGrid;

using TvxValidateEvent = std::function<void(TObject* sender, bool passesPictureTest)>;

enum TvxEditDataType { vxDefault, vxEdtDate, vxEdtTime, vxEdtDateTime };
DUN_ENUM(TvxEditDataType, "vxDefault", "vxEdtDate", "vxEdtTime", "vxEdtDateTime");

inline constexpr const char* SvxPictureInTable = "Picture mask already defined in Paradox table. ";

class TvxDBPicture : public TPersistent {
    DUN_CLASS(TvxDBPicture, TPersistent)
public:
    explicit TvxDBPicture(TCustomMaskEdit* edit) : edit_(edit) {}

    std::string PictureMask() const;
    void SetPictureMask(const std::string& mask);
    bool AutoFill() const;
    void SetAutoFill(bool value);
    bool GetAllowInvalidExit() const;
    void SetAllowInvalidExit(bool value) { allowInvalidExit_ = value; }
    void Assign(TPersistent* source) override;

    static void Publish(TPublisher<TvxDBPicture>& p);

private:
    friend class TvxDBCustomEdit;
    // The dataset and field name of a bound edit; false when unbound.
    bool Binding(TDataSet*& dataSet, std::string& fieldName) const;

    TCustomMaskEdit* edit_;
    std::string mask_;
    bool autoFill_ = true;
    bool allowInvalidExit_ = false;
};

class TvxCustomMaskEdit : public TCustomMaskEdit {
    DUN_CLASS(TvxCustomMaskEdit, TCustomMaskEdit)
public:
    explicit TvxCustomMaskEdit(TComponent* owner);
    ~TvxCustomMaskEdit() override;

    virtual TvxDBPicture* GetPicture() { return picture_.get(); }
    virtual void SetPicture(TvxDBPicture* value) { picture_->Assign(value); }
    bool UsePictureMask() const { return usePictureMask_; }
    void SetUsePictureMask(bool value) { usePictureMask_ = value; }
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    bool WantReturns() const { return wantReturns_; }
    void SetWantReturns(bool value) { wantReturns_ = value; }
    bool ShowVertScrollBar() const { return showVertScrollBar_; }
    void SetShowVertScrollBar(bool value);

    bool UsesPictureMask() { return usePictureMask_ && !GetPicture()->PictureMask().empty(); }
    // True for an empty text or mask, else when the text completes the mask; reported to OnCheckValue.
    bool CheckValue(const std::string& text);
    // Puts the text through the mask with auto-fill.
    void ApplyPicture();
    bool MaskHandled() const { return maskHandled_; }
    bool InvalidExit() const { return invalidExit_; }

    TvxValidateEvent OnCheckValue;

    void Dispatch(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void KeyPress(char& key) override;
    void KeyUp(Word& key, TShiftState shift) override;
    void DoExit() override;
    virtual void SetEditRect();
    virtual void DoCheckValue(bool passes);
    // Asks for the right to change the text (a bound edit puts its dataset into edit mode).
    virtual void BeginEdit() {}
    // The edit sits in a cell of the library's data grid.
    virtual bool IsGridCell() const;
    bool WindowWritable() const;
    void SetWindowReadOnly(bool value);

    std::unique_ptr<TvxDBPicture> picture_;
    bool usePictureMask_ = true;
    bool wordWrap_ = false;
    bool wantReturns_ = false;
    bool showVertScrollBar_ = false;
    bool maskHandled_ = false;
    bool invalidExit_ = false;
};

class TvxDBCustomEdit : public TvxCustomMaskEdit {
    DUN_CLASS(TvxDBCustomEdit, TvxCustomMaskEdit)
public:
    explicit TvxDBCustomEdit(TComponent* owner);
    ~TvxDBCustomEdit() override;

    TvxDBPicture* GetPicture() override;
    void SetPicture(TvxDBPicture* value) override;
    TvxDataSource* DataSource() const;
    void SetDataSource(TvxDataSource* value);
    std::string DataField() const;
    void SetDataField(const std::string& value);
    bool ReadOnly() const;
    void SetReadOnly(bool value);
    bool AutoFillDate() const { return autoFillDate_; }
    void SetAutoFillDate(bool value) { autoFillDate_ = value; }
    TvxEditDataType UnboundDataType() const { return unboundDataType_; }
    void SetUnboundDataType(TvxEditDataType value) { unboundDataType_ = value; }
    TField* Field() const;
    // Bound: a data source with a dataset and a field name.
    bool IsBound() const;
    TFieldDataLink* DataLink() const { return dataLink_.get(); }

    // Sets the modified flags of the edit and its link (refused for a read-only field).
    void MarkModified();
    void Reset() override;

    virtual bool CanEditText() { return true; }
    virtual TRect GetEditRect();
    virtual std::string GetStoredText() { return Text(); }
    virtual void DrawEditText(TCanvas* canvas, const TRect& rect, Integer x, Integer y, const std::string& text);
    virtual bool GetShowButton() { return false; }
    virtual void SetShowButton(bool) {}
    virtual bool MapToDisplayText(const std::string& value, std::string& text) { return false; }
    virtual Integer ButtonAreaWidth() { return 0; }
    virtual Integer TextAreaRight() { return ClientWidth() - 1; }

    bool ExecuteAction(TBasicAction* action) override;
    bool UpdateAction(TBasicAction* action) override;
    void Dispatch(TMessage& message) override;

protected:
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    void CreateParams(TCreateParams& params) override;
    bool EditCanModify() override;
    void KeyPress(char& key) override;
    void KeyDown(Word& key, TShiftState shift) override;
    void DoEnter() override;
    void Change() override;
    void BeginEdit() override;
    // The picture goes into a form file only when it is the edit's own.
    bool IsPictureStored() const;

private:
    bool IsDateField() const;
    bool IsTimeField() const;
    bool IsDateTimeField() const;
    bool IsMemoField() const;
    bool FieldIsCalculatedOrLookup() const;
    // The text area is no taller than one line of the edit's font.
    bool IsSingleLineHigh();
    // False when the key may not change the text.
    bool PrepareForKey(char key);
    // The grid the edit sits in; nullptr elsewhere.
    TvxCustomDBGrid* ParentGrid() const;
    // A memo that has not all of its text selected keeps the grid's keys.
    bool KeepsGridKeys();
    bool CaretAtStart();
    bool CaretAtEnd();
    // The grid takes the focus and, when it has it, the key.
    void HandKeyToGrid(TvxCustomDBGrid* grid, Word& key, TShiftState shift);
    // The keys of a grid cell; false when the key is done with (F2).
    bool GridKeyDown(TvxCustomDBGrid* grid, Word& key, TShiftState shift);
    void CNKeyDown(TMessage& message);
    // The date and time fill on Space; true when it acted.
    bool FillDateTimePart(char& key);
    void DataChange();
    void EditingChange();
    void UpdateData();
    void WriteDateTime(TField* field, const std::string& text);
    void MaxLengthFix();
    void SetFocused(bool value);
    void CMEnter(TMessage& message);
    void CMExit(TMessage& message);
    void Paste(TMessage& message);
    void Cut(TMessage& message);
    bool InFocusedGrid() const;
    bool PaintsItself();
    // The text the edit paints itself: at most 255 characters, a password hidden.
    std::string PaintedText();
    void PaintUnfocused(HDC dc);
    void WMPaint(TMessage& message);

    std::unique_ptr<TFieldDataLink> dataLink_;
    std::unique_ptr<TControlCanvas> canvas_;
    TAlignment alignment_ = taLeftJustify;
    bool focused_ = false;
    bool autoFillDate_ = true;
    TvxEditDataType unboundDataType_ = vxDefault;
    std::string unboundText_;
};

class TvxDBEdit : public TvxDBCustomEdit {
    DUN_CLASS(TvxDBEdit, TvxDBCustomEdit)
public:
    explicit TvxDBEdit(TComponent* owner) : TvxDBCustomEdit(owner) {}
    static void Publish(TPublisher<TvxDBEdit>& p);
};
