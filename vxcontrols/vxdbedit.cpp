#include "vxcontrols/vxdbedit.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <vector>

#include "classes/ClassRegistry.h"
#include "db/DataControlFocus.h"
#include "db/DataLinks.h"
#include "db/DataSet.h"
#include "db/DataSource.h"
#include "db/DateTimeFields.h"
#include "db/Field.h"
#include "rtl/Clock.h"
#include "rtl/DateParse.h"
#include "rtl/DateTime.h"
#include "rtl/FormatSettings.h"
#include "rtl/SysUtils.h"
#include "rtl/WinApi.h"
#include "vcl/Dialogs.h"
#include "vcl/Forms.h"
#include "vcl/Messages.h"
#include "vxcontrols/Vxdbigrd.h"
#include "vxdata/Vxcommon.h"
#include "vxdata/Vxpict.h"
#include "vxdata/vxDataSource.h"
#include "vxdata/vxSystem.h"

namespace {

const bool registered = (RegisterClasses<TvxDBEdit>(), true);

bool EndsWith(const std::string& text, char c) { return !text.empty() && text.back() == c; }

Integer CountOf(const std::string& text, char c) { return Integer(std::count(text.begin(), text.end(), c)); }

std::string Lower(std::string text)
{
    for (char& c : text) c = char(std::tolower(Byte(c)));
    return text;
}

std::string Upper(std::string text)
{
    for (char& c : text) c = char(std::toupper(Byte(c)));
    return text;
}

std::string TwoDigits(Integer value) { return (value < 10 ? "0" : "") + std::to_string(value); }

bool DateComplete(const std::string& text)
{
    return CountOf(text, DateSeparator) >= 2 && !EndsWith(text, DateSeparator);
}

bool TimeComplete(const std::string& text)
{
    return CountOf(text, TimeSeparator) >= 2 && !EndsWith(text, TimeSeparator);
}

bool ShowsAmPm(const std::string& text)
{
    if (TimeAMString.empty()) return TimeComplete(text);
    const std::string upper = Upper(text);
    const auto has = [&](const std::string& designator) {
        return !designator.empty() && upper.find(char(std::toupper(Byte(designator[0])))) != std::string::npos;
    };
    return has(TimeAMString) || has(TimePMString);
}

// The digits typed for the year of a date text (the date part before a blank), by the short date order.
Integer TypedYearDigits(const std::string& text)
{
    const std::string date = text.substr(0, text.find(' '));
    std::vector<std::string> parts(1);
    for (char c : date) {
        if (c == DateSeparator) parts.emplace_back();
        else parts.back() += c;
    }
    const size_t index = vxGetDateOrder(ShortDateFormat) == 2 ? 0 : 2;
    if (index >= parts.size()) return 0;
    return Integer(std::count_if(parts[index].begin(), parts[index].end(), [](char c) { return std::isdigit(Byte(c)); }));
}

}  // namespace

// ---- TvxDBPicture

bool TvxDBPicture::Binding(TDataSet*& dataSet, std::string& fieldName) const
{
    auto* dbEdit = dynamic_cast<TvxDBCustomEdit*>(edit_);
    if (!dbEdit || !dbEdit->IsBound()) return false;
    dataSet = dbEdit->DataLink()->DataSet();
    fieldName = dbEdit->DataField();
    return true;
}

std::string TvxDBPicture::PictureMask() const
{
    TDataSet* dataSet = nullptr;
    std::string fieldName;
    if (!Binding(dataSet, fieldName)) return mask_;
    std::string mask;
    bool autoFill = true, gridFlag = true;
    vxGetPictureMask(dataSet, fieldName, true, mask, autoFill, gridFlag);
    return mask;
}

void TvxDBPicture::SetPictureMask(const std::string& mask)
{
    TDataSet* dataSet = nullptr;
    std::string fieldName;
    const bool bound = Binding(dataSet, fieldName);
    if (bound) {
        std::string tablePicture;
        vxGetTablePicture(dataSet, fieldName, tablePicture);
        if (!tablePicture.empty()) {
            MessageDlg(SvxPictureInTable, mtWarning, {mbOK}, 0);
            return;
        }
    }
    mask_ = mask;
    if (bound) vxSetPictureMask(dataSet, fieldName, mask, false, false, true, false, false);
}

bool TvxDBPicture::AutoFill() const
{
    TDataSet* dataSet = nullptr;
    std::string fieldName;
    if (!Binding(dataSet, fieldName)) return autoFill_;
    std::string mask;
    bool autoFill = true, gridFlag = true;
    vxGetPictureMask(dataSet, fieldName, true, mask, autoFill, gridFlag);
    return mask.empty() ? autoFill_ : autoFill;
}

void TvxDBPicture::SetAutoFill(bool value)
{
    autoFill_ = value;
    TDataSet* dataSet = nullptr;
    std::string fieldName;
    if (Binding(dataSet, fieldName)) vxSetPictureMask(dataSet, fieldName, "", value, false, false, true, false);
}

bool TvxDBPicture::GetAllowInvalidExit() const
{
    TDataSet* dataSet = nullptr;
    std::string fieldName;
    return !Binding(dataSet, fieldName) && allowInvalidExit_;
}

void TvxDBPicture::Assign(TPersistent* source)
{
    if (auto* other = dynamic_cast<TvxDBPicture*>(source)) {
        mask_ = other->PictureMask();
        autoFill_ = other->AutoFill();
        return;
    }
    TPersistent::Assign(source);
}

void TvxDBPicture::Publish(TPublisher<TvxDBPicture>& p)
{
    p.Property("PictureMask", &TvxDBPicture::PictureMask, &TvxDBPicture::SetPictureMask);
    p.Property("AutoFill", &TvxDBPicture::AutoFill, &TvxDBPicture::SetAutoFill).Default(true);
    p.Property("AllowInvalidExit", &TvxDBPicture::GetAllowInvalidExit, &TvxDBPicture::SetAllowInvalidExit)
        .Default(false);
}

// ---- TvxCustomMaskEdit

TvxCustomMaskEdit::TvxCustomMaskEdit(TComponent* owner)
        : TCustomMaskEdit(owner), picture_(std::make_unique<TvxDBPicture>(this))
{
}

TvxCustomMaskEdit::~TvxCustomMaskEdit() = default;

void TvxCustomMaskEdit::SetWordWrap(bool value)
{
    wordWrap_ = value;
    RecreateWnd();
}

void TvxCustomMaskEdit::SetShowVertScrollBar(bool value)
{
    if (showVertScrollBar_ == value) return;
    showVertScrollBar_ = value;
    RecreateWnd();
}

bool TvxCustomMaskEdit::IsGridCell() const { return dynamic_cast<TvxCustomDBGrid*>(Parent()) != nullptr; }

bool TvxCustomMaskEdit::WindowWritable() const { return !TCustomEdit::ReadOnly(); }

void TvxCustomMaskEdit::SetWindowReadOnly(bool value) { TCustomEdit::SetReadOnly(value); }

void TvxCustomMaskEdit::CreateParams(TCreateParams& params)
{
    TCustomMaskEdit::CreateParams(params);
    params.Style &= ~DWORD(ES_WANTRETURN | ES_AUTOVSCROLL);
    if (borderStyle_ == bsNone || wordWrap_) params.Style |= ES_MULTILINE;
    if (wordWrap_) {
        params.Style |= ES_AUTOVSCROLL;
        params.Style &= ~DWORD(ES_AUTOHSCROLL);
    }
    if (wantReturns_) params.Style |= ES_WANTRETURN;
    if (showVertScrollBar_) params.Style |= WS_VSCROLL;
}

void TvxCustomMaskEdit::CreateWnd()
{
    TCustomMaskEdit::CreateWnd();
    SetEditRect();
}

void TvxCustomMaskEdit::SetEditRect()
{
    if (!HandleAllocated()) return;
    const Integer margin = borderStyle_ == bsNone ? (IsGridCell() ? 2 : 1) : 0;
    RECT rect{margin, margin, ClientWidth() - 1, ClientHeight() + 1};
    SendMessageA(handle_, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&rect));
}

void TvxCustomMaskEdit::DoCheckValue(bool passes)
{
    if (OnCheckValue) OnCheckValue(this, passes);
}

bool TvxCustomMaskEdit::CheckValue(const std::string& text)
{
    const std::string mask = GetPicture()->PictureMask();
    const bool passes = mask.empty() || vxCheckPictureText(mask, text);
    DoCheckValue(passes);
    return passes;
}

void TvxCustomMaskEdit::ApplyPicture()
{
    std::string text = Text();
    TvxPictureValidator(GetPicture()->PictureMask(), GetPicture()->AutoFill()).Check(text, GetPicture()->AutoFill());
    if (text != Text()) SetText(text);
}

void TvxCustomMaskEdit::KeyPress(char& key)
{
    TCustomMaskEdit::KeyPress(key);
    maskHandled_ = false;
    if (!UsesPictureMask()) {
        if (key == '\r' && !wantReturns_) key = 0;
        return;
    }
    if (key == '\b') {
        BeginEdit();
        if (OnCheckValue && WindowWritable()) CheckValue(vxTextAfterBackspace(Text(), SelStart(), SelLength()));
        return;
    }
    if (Byte(key) < 32) return;
    TvxMaskedKeyRules rules = vxEditKeyRules();
    rules.beginEdit = [this] {
        BeginEdit();
        return WindowWritable();
    };
    const TvxMaskedKeyResult result =
        vxProcessMaskedKey(this, GetPicture()->PictureMask(), GetPicture()->AutoFill(), key, rules);
    maskHandled_ = result.textSet;
    if (result.reported && WindowWritable()) DoCheckValue(result.passes);
}

void TvxCustomMaskEdit::KeyUp(Word& key, TShiftState shift)
{
    TCustomMaskEdit::KeyUp(key, shift);
    if (key == VK_DELETE && OnCheckValue) CheckValue(Text());
}

void TvxCustomMaskEdit::DoExit()
{
    TCustomMaskEdit::DoExit();
    invalidExit_ = false;
    if (UsesPictureMask() && Modified() && !CheckValue(Text()) && !GetPicture()->GetAllowInvalidExit()) {
        SelectAll();
        SetFocus();
        SetModified(true);
        vxRefuseBeep();
        invalidExit_ = true;
    }
}

void TvxCustomMaskEdit::Dispatch(TMessage& message)
{
    if (message.Msg == WM_SIZE || (message.Msg == CM_FONTCHANGED && !ComponentState().Contains(csLoading))) {
        TCustomMaskEdit::Dispatch(message);
        SetEditRect();
        return;
    }
    TCustomMaskEdit::Dispatch(message);
}

// ---- TvxDBCustomEdit

TvxDBCustomEdit::TvxDBCustomEdit(TComponent* owner)
        : TvxCustomMaskEdit(owner), dataLink_(std::make_unique<TFieldDataLink>())
{
    InstallDataControlFocus();
    SetWindowReadOnly(true);
    controlStyle_.Include(csReplicatable);
    dataLink_->SetControl(this);
    dataLink_->OnDataChange = [this](TObject*) { DataChange(); };
    dataLink_->OnEditingChange = [this](TObject*) { EditingChange(); };
    dataLink_->OnUpdateData = [this](TObject*) { UpdateData(); };
}

TvxDBCustomEdit::~TvxDBCustomEdit()
{
    dataLink_->OnDataChange = nullptr;
    dataLink_->OnEditingChange = nullptr;
    dataLink_->OnUpdateData = nullptr;
    dataLink_->SetControl(nullptr);
}

TvxDataSource* TvxDBCustomEdit::DataSource() const { return dynamic_cast<TvxDataSource*>(dataLink_->DataSource()); }

void TvxDBCustomEdit::SetDataSource(TvxDataSource* value)
{
    dataLink_->SetDataSource(value);
    if (value) value->FreeNotification(this);
}

std::string TvxDBCustomEdit::DataField() const { return dataLink_->FieldName(); }

void TvxDBCustomEdit::SetDataField(const std::string& value)
{
    if (!ComponentState().Contains(csDesigning)) MaxLengthFix();
    dataLink_->SetFieldName(value);
}

bool TvxDBCustomEdit::ReadOnly() const { return dataLink_->ReadOnly(); }

void TvxDBCustomEdit::SetReadOnly(bool value)
{
    dataLink_->SetReadOnly(value);
    SetWindowReadOnly(value);
}

TField* TvxDBCustomEdit::Field() const { return dataLink_->Field(); }

bool TvxDBCustomEdit::IsBound() const
{
    return dataLink_->DataSource() && dataLink_->DataSet() && !dataLink_->FieldName().empty();
}

TvxDBPicture* TvxDBCustomEdit::GetPicture()
{
    if (IsBound()) {
        picture_->mask_ = picture_->PictureMask();
        picture_->autoFill_ = picture_->AutoFill();
        picture_->allowInvalidExit_ = false;
    }
    return picture_.get();
}

void TvxDBCustomEdit::SetPicture(TvxDBPicture* value)
{
    picture_->Assign(value);
    TField* field = Field();
    SetEditMask(UsesPictureMask() || !field ? std::string() : field->EditMask());
    if (!value->PictureMask().empty() && IsBound())
        vxSetPictureMask(dataLink_->DataSet(), DataField(), value->PictureMask(), value->AutoFill(), false, true, true,
                         false);
}

void TvxDBCustomEdit::MaxLengthFix()
{
    TField* field = Field();
    if (MaxLength() > 0 && field && field->DataType() == ftString && field->Size() == MaxLength()) SetMaxLength(0);
}

bool TvxDBCustomEdit::IsDateField() const
{
    TField* field = Field();
    return field ? dynamic_cast<TDateField*>(field) != nullptr : unboundDataType_ == vxEdtDate;
}

bool TvxDBCustomEdit::IsTimeField() const
{
    TField* field = Field();
    return field ? dynamic_cast<TTimeField*>(field) != nullptr : unboundDataType_ == vxEdtTime;
}

bool TvxDBCustomEdit::IsDateTimeField() const
{
    TField* field = Field();
    return field ? dynamic_cast<TDateTimeField*>(field) != nullptr : unboundDataType_ == vxEdtDateTime;
}

bool TvxDBCustomEdit::IsMemoField() const
{
    TField* field = Field();
    return field && field->DataType() == ftMemo;
}

bool TvxDBCustomEdit::FieldIsCalculatedOrLookup() const
{
    TField* field = Field();
    return field && (field->Calculated() || field->Lookup());
}

void TvxDBCustomEdit::MarkModified()
{
    TField* field = Field();
    if (field && field->ReadOnly()) return;
    dataLink_->Modified();
    SetModified(true);
}

void TvxDBCustomEdit::BeginEdit() { dataLink_->Edit(); }

bool TvxDBCustomEdit::EditCanModify()
{
    TField* field = Field();
    if (!field) return true;
    if (dataLink_->Edit()) return true;
    TDataSet* dataSet = dataLink_->DataSet();
    return FieldIsCalculatedOrLookup() && !field->ReadOnly() && !ReadOnly() && dataSet && dataSet->CanModify();
}

void TvxDBCustomEdit::Reset()
{
    if (Field()) dataLink_->Reset();
    else SetText(unboundText_);
    SelectAll();
    SetModified(false);
    if (OnCheckValue) CheckValue(Text());
}

void TvxDBCustomEdit::Loaded()
{
    TvxCustomMaskEdit::Loaded();
    MaxLengthFix();
    if (!Field() && !ReadOnly()) SetWindowReadOnly(false);
}

void TvxDBCustomEdit::Notification(TComponent* component, TOperation operation)
{
    TvxCustomMaskEdit::Notification(component, operation);
    if (operation == opRemove && dataLink_ && component == dataLink_->DataSource()) SetDataSource(nullptr);
}

bool TvxDBCustomEdit::IsSingleLineHigh()
{
    const TRect rect{0, 0, Width() - ButtonAreaWidth(), Height()};
    HDC dc = GetDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, font_->Handle());
    const bool single = vxIsSingleLineHeight(dc, rect, 0);
    SelectObject(dc, oldFont);
    ReleaseDC(nullptr, dc);
    return single;
}

void TvxDBCustomEdit::CreateParams(TCreateParams& params)
{
    TvxCustomMaskEdit::CreateParams(params);
    if (!IsSingleLineHigh()) return;
    if (wordWrap_) params.Style |= ES_AUTOHSCROLL;
    if (borderStyle_ == bsNone && PasswordChar()) params.Style &= ~DWORD(ES_MULTILINE);
}

bool TvxDBCustomEdit::ExecuteAction(TBasicAction* action)
{
    return TvxCustomMaskEdit::ExecuteAction(action) || dataLink_->ExecuteAction(action);
}

bool TvxDBCustomEdit::UpdateAction(TBasicAction* action)
{
    return TvxCustomMaskEdit::UpdateAction(action) || dataLink_->UpdateAction(action);
}

bool TvxDBCustomEdit::IsPictureStored() const
{
    return !IsBound() && !picture_->PictureMask().empty();
}

void TvxDBCustomEdit::Change()
{
    if (!Field()) SetModified(true);
    TvxCustomMaskEdit::Change();
}

TRect TvxDBCustomEdit::GetEditRect()
{
    TRect rect = ClientRect();
    if (ButtonAreaWidth() > 0 && GetShowButton()) rect.right -= ButtonAreaWidth();
    return rect;
}

void TvxDBCustomEdit::DrawEditText(TCanvas* canvas, const TRect& rect, Integer x, Integer y, const std::string& text)
{
    canvas->TextRect(rect, x, y, text);
}

// ---- keys

bool TvxDBCustomEdit::PrepareForKey(char key)
{
    if (key != '\b' && Byte(key) < 32) return true;
    TDataSource* source = dataLink_->DataSource();
    if (!WindowWritable() && source && !source->AutoEdit()) return false;
    if (!source) {
        if (ReadOnly()) return false;
        SetWindowReadOnly(false);
    } else if (!ReadOnly() && FieldIsCalculatedOrLookup()) {
        TDataSet* dataSet = dataLink_->DataSet();
        if (Field()->ReadOnly() || !dataSet || !dataSet->CanModify()) return false;
        dataSet->Edit();
        SetWindowReadOnly(false);
    }
    return true;
}

bool TvxDBCustomEdit::FillDateTimePart(char& key)
{
    const bool timeField = IsTimeField();
    if (!WindowWritable() || !(IsDateField() || timeField || IsDateTimeField())) return false;
    const std::string text = Text();
    const bool allSelected = SelLength() == Integer(text.size());
    if (!allSelected && SelStart() != Integer(text.size())) return false;
    if (ReadOnly()) {
        vxRefuseBeep();
        return false;
    }
    std::string s = allSelected ? std::string() : text;
    const TDateTime now = Now();
    Word year, month, day, hour, minute, second, msec;
    DecodeDate(now, year, month, day);
    DecodeTime(now, hour, minute, second, msec);
    key = 0;
    dataLink_->Edit();

    const auto show = [this](const std::string& value) {
        SetText(value);
        SetSelStart(Integer(value.size()));
        MarkModified();
    };
    TvxDateTimePart part;
    if (timeField) {
        part = vxGetTimePartAt(SelStart(), s);
    } else if (allSelected) {
        const Integer order = vxGetDateOrder(ShortDateFormat);
        part = order == 1 ? dtpDay : order == 2 ? dtpYear : dtpMonth;
    } else if (!DateComplete(s) && !EndsWith(s, DateSeparator)) {
        show(s + DateSeparator);
        return true;
    } else {
        part = vxGetDateTimePartAt(SelStart(), s, false);
    }
    if ((DateComplete(s) || timeField) && part < dtpHour) part = dtpHour;

    if (part <= dtpYear) {
        if (part == dtpDay)
            s += Lower(ShortDateFormat).find("dd") != std::string::npos ? TwoDigits(day) : std::to_string(day);
        else if (part == dtpMonth)
            s += Lower(ShortDateFormat).find("mm") != std::string::npos ? TwoDigits(month) : std::to_string(month);
        else
            s += ShortDateFormat.find("yyyy") != std::string::npos ? std::to_string(year) : TwoDigits(year % 100);
        if (!EndsWith(s, DateSeparator) && CountOf(s, DateSeparator) < 2) s += DateSeparator;
    } else if (!IsDateField() && !ShowsAmPm(s)) {
        if (TimeComplete(s) && part == dtpSecond) part = dtpAmPm;
        if (part == dtpHour && !timeField && !EndsWith(s, ' ')) {
            show(s + ' ');
            return true;
        }
        if (part == dtpMinute && !EndsWith(s, TimeSeparator)) {
            show(s + TimeSeparator);
            return true;
        }
        if (part == dtpHour) {
            const Integer shown = TimeAMString.empty() ? hour : (hour % 12 == 0 ? 12 : hour % 12);
            s += std::to_string(shown) + TimeSeparator;
        } else if (part == dtpMinute) {
            s += TwoDigits(minute) + TimeSeparator;
        } else if (part == dtpSecond) {
            s += TwoDigits(second);
        } else {
            if (!EndsWith(s, ' ')) s += ' ';
            s += hour >= 12 ? "PM" : "AM";
        }
    }
    show(s);
    return true;
}

void TvxDBCustomEdit::KeyPress(char& key)
{
    if (!PrepareForKey(key)) {
        key = 0;
        return;
    }
    if (key == ' ' && autoFillDate_ && !(GetPicture()->AutoFill() && UsesPictureMask())) {
        BeginEdit();
        if (GetKeyState(VK_CONTROL) >= 0 && FillDateTimePart(key)) {
            if (OnCheckValue) CheckValue(Text());
            return;
        }
    }
    TvxCustomMaskEdit::KeyPress(key);
    if (MaskHandled()) MarkModified();
    std::string unused;
    TField* field = Field();
    if (!MapToDisplayText("", unused) && field && Byte(key) >= 32 && !field->IsValidChar(key)) {
        vxRefuseBeep();
        key = 0;
    }
    const bool inGrid = IsGridCell();
    if (key == '\b' || key == 22 || key == 24 || Byte(key) >= 32) {
        dataLink_->Edit();
        MarkModified();
        if (!CanEditText()) key = 0;
    } else if (key == '\t') {
        if (inGrid) key = 0;
    } else if (key == '\r') {
        if (wantReturns_) {
            dataLink_->Edit();
            MarkModified();
        } else if (inGrid) {
            key = 0;
        }
    } else if (key == 27) {
        Reset();
        Invalidate();
        key = 0;
        if (TvxCustomDBGrid* grid = ParentGrid()) grid->SetFocus();
    }
}

TvxCustomDBGrid* TvxDBCustomEdit::ParentGrid() const { return dynamic_cast<TvxCustomDBGrid*>(Parent()); }

bool TvxDBCustomEdit::KeepsGridKeys() { return IsMemoField() && SelLength() != Integer(Text().size()); }

bool TvxDBCustomEdit::CaretAtStart()
{
    const Integer start = SelStart(), length = SelLength();
    return (start == 0 && (length == 0 || (IsMasked() && length == 1))) || length == Integer(Text().size());
}

bool TvxDBCustomEdit::CaretAtEnd()
{
    const Integer size = Integer(Text().size());
    return (SelLength() == 0 && SelStart() == size) || SelLength() == size;
}

void TvxDBCustomEdit::HandKeyToGrid(TvxCustomDBGrid* grid, Word& key, TShiftState shift)
{
    grid->SetFocus();
    if (grid->Focused()) grid->KeyDown(key, shift);
    key = 0;
}

bool TvxDBCustomEdit::GridKeyDown(TvxCustomDBGrid* grid, Word& key, TShiftState shift)
{
    const bool ctrl = shift.Contains(ssCtrl);
    const bool alwaysShowEditor = grid->Options().Contains(dgAlwaysShowEditor);
    bool toGrid = false;
    switch (key) {
    case VK_ESCAPE: toGrid = !Modified(); break;
    case VK_PRIOR: case VK_NEXT: case VK_UP: case VK_DOWN: toGrid = !shift.Contains(ssAlt); break;
    case VK_HOME: case VK_LEFT: toGrid = alwaysShowEditor && (ctrl || CaretAtStart()); break;
    case VK_END: case VK_RIGHT: toGrid = alwaysShowEditor && (ctrl || CaretAtEnd()); break;
    case VK_INSERT: toGrid = !shift.Contains(ssShift); break;
    case VK_DELETE: toGrid = ctrl; break;
    case VK_F2:
        if (grid->OnKeyDown) grid->OnKeyDown(grid, key, shift);
        if (key == VK_F2 && CanEditText()) SendMessageA(Handle(), EM_SETSEL, WPARAM(-1), 0);
        return false;
    default: break;
    }
    if (toGrid) HandKeyToGrid(grid, key, shift);
    if (!CanEditText() && (key == VK_END || key == VK_HOME || key == VK_LEFT || key == VK_RIGHT))
        HandKeyToGrid(grid, key, shift);
    if (key != 0 && grid->OnKeyDown) grid->OnKeyDown(grid, key, shift);
    return true;
}

void TvxDBCustomEdit::KeyDown(Word& key, TShiftState shift)
{
    TvxCustomDBGrid* grid = ParentGrid();
    if (grid && !KeepsGridKeys() && !GridKeyDown(grid, key, shift)) return;
    if (key == 0) return;
    TvxCustomMaskEdit::KeyDown(key, shift);
    if (key == VK_DELETE || (key == VK_INSERT && shift.Contains(ssShift))) {
        if (!Field()) {
            if (!ReadOnly()) SetWindowReadOnly(false);
        } else {
            dataLink_->Edit();
            MarkModified();
        }
    }
}

void TvxDBCustomEdit::CNKeyDown(TMessage& message)
{
    if (ComponentState().Contains(csDesigning)) {
        TvxCustomMaskEdit::Dispatch(message);
        return;
    }
    TWMKey& keyMessage = MessageAs<TWMKey>(message);
    Word key = keyMessage.CharCode;
    const TShiftState shift = KeyDataToShiftState(keyMessage.KeyData);
    if (wantReturns_ && key == VK_RETURN && !shift.Contains(ssCtrl)) {
        message.Result = 0;
        return;
    }
    TvxCustomDBGrid* grid = ParentGrid();
    if (grid && (key == VK_RETURN || (key == VK_TAB && grid->Options().Contains(dgTabs)))) {
        HandKeyToGrid(grid, key, shift);
        message.Result = 1;
        return;
    }
    TvxCustomMaskEdit::Dispatch(message);
}

// ---- data

void TvxDBCustomEdit::DataChange()
{
    TField* field = Field();
    if (!field) {
        alignment_ = taLeftJustify;
        SetEditMask("");
        SetText(ComponentState().Contains(csDesigning) ? Name() : std::string());
        return;
    }
    if (alignment_ != field->Alignment()) {
        SetEditText("");
        alignment_ = field->Alignment();
    }
    if (!UsesPictureMask()) SetEditMask(field->EditMask());
    if (!ComponentState().Contains(csDesigning) && field->DataType() == ftString && MaxLength() == 0)
        SetMaxLength(field->Size());
    if ((focused_ || IsMemoField()) && dataLink_->CanModify())
        SetText(IsMemoField() ? field->AsString() : field->EditText());
    else
        SetEditText(field->DisplayText());
}

void TvxDBCustomEdit::EditingChange() { SetWindowReadOnly(!dataLink_->Editing()); }

void TvxDBCustomEdit::UpdateData()
{
    if (!WindowWritable()) return;
    TDataSet* dataSet = dataLink_->DataSet();
    if (UsesPictureMask() && vxGetValidateWithMask(dataSet)) {
        if (!CheckValue(GetStoredText())) {
            if (TvxInvalidValueEvent onInvalid = vxGetOnInvalidValue(dataSet)) onInvalid(dataSet, Field());
            else ValidateError();
        }
    } else {
        ValidateEdit();
    }
    if (!Modified()) return;
    TField* field = Field();
    const std::string text = GetStoredText();
    if (IsMemoField()) {
        field->SetAsString(text);
    } else if (dataLink_->Editing() || FieldIsCalculatedOrLookup()) {
        if (text.empty()) field->SetEditText("");
        else if (dynamic_cast<TDateTimeField*>(field) && vxIsDateTimeText(text)) WriteDateTime(field, text);
        else field->SetEditText(text);
    }
}

void TvxDBCustomEdit::WriteDateTime(TField* field, const std::string& text)
{
    const TDateTime value = StrToDateTime(text);
    Word year, month, day;
    DecodeDate(value, year, month, day);
    const TDateTime timeOfDay = value - std::floor(value);
    TDateTime date = std::floor(value);
    if (year < 1950 && TypedYearDigits(text) <= 2) date = EncodeDate(Word(year + 100), month, day);
    field->SetAsDateTime(date + timeOfDay);
}

// ---- focus, clipboard, painting

void TvxDBCustomEdit::SetFocused(bool value)
{
    if (focused_ == value) return;
    focused_ = value;
    if (alignment_ != taLeftJustify && !IsMasked()) Invalidate();
    if (Field()) dataLink_->Reset();
    else if (value) unboundText_ = Text();
}

void TvxDBCustomEdit::DoEnter()
{
    TvxCustomMaskEdit::DoEnter();
    GetPicture();
    if (ParentGrid()) SelectAll();
    if (!Field()) SetModified(false);
    if (!dataLink_->DataSource() && !ReadOnly()) SetWindowReadOnly(false);
}

void TvxDBCustomEdit::CMEnter(TMessage& message)
{
    SetFocused(true);
    if (AutoSelect() && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
    TvxCustomMaskEdit::Dispatch(message);
    if (!CanEditText()) Invalidate();
}

void TvxDBCustomEdit::CMExit(TMessage& message)
{
    const bool wasModified = Modified();
    try {
        dataLink_->UpdateRecord();
    } catch (...) {
        SelectAll();
        SetFocus();
        SetModified(wasModified);
        throw;
    }
    TvxCustomMaskEdit::Dispatch(message);
    if (!InvalidExit()) {
        SetFocused(false);
        SetSelStart(0);
        SetSelLength(0);
    }
    if (!CanEditText()) Invalidate();
}

void TvxDBCustomEdit::Paste(TMessage& message)
{
    if (!dataLink_->DataSource()) {
        if (ReadOnly()) return;
        SetWindowReadOnly(false);
    }
    dataLink_->Edit();
    const Integer oldCaret = SelStart(), oldLength = Integer(Text().size());
    TvxCustomMaskEdit::Dispatch(message);
    MarkModified();
    ApplyPicture();
    if (SelStart() == 0) SetSelStart(oldCaret + Integer(Text().size()) - oldLength);
    if (OnCheckValue) CheckValue(Text());
}

void TvxDBCustomEdit::Cut(TMessage& message)
{
    dataLink_->Edit();
    TvxCustomMaskEdit::Dispatch(message);
    MarkModified();
    if (OnCheckValue) CheckValue(Text());
}

bool TvxDBCustomEdit::InFocusedGrid() const
{
    TvxCustomDBGrid* grid = ParentGrid();
    return grid && grid->Focused();
}

bool TvxDBCustomEdit::PaintsItself()
{
    if (controlState_.Contains(csPaintCopy) || !CanEditText() || InFocusedGrid()) return true;
    return alignment_ != taLeftJustify && GetFocus() != handle_;
}

std::string TvxDBCustomEdit::PaintedText()
{
    TField* field = Field();
    std::string text;
    if (controlState_.Contains(csPaintCopy) && field) {
        if (!MapToDisplayText(field->AsString(), text)) text = field->DisplayText();
    } else if (IsMemoField()) {
        text = field->AsString();
    } else {
        text = EditText();
    }
    text = text.substr(0, 255);
    if (PasswordChar()) text.assign(text.size(), PasswordChar());
    return text;
}

void TvxDBCustomEdit::PaintUnfocused(HDC dc)
{
    if (!canvas_) {
        canvas_ = std::make_unique<TControlCanvas>();
        canvas_->SetControl(this);
    }
    TCanvas* canvas = canvas_.get();
    canvas->SetHandle(dc);
    canvas->Font()->Assign(font_.get());
    TvxCustomDBGrid* grid = ParentGrid();
    const bool paintingCopy = controlState_.Contains(csPaintCopy);
    if (!enabled_ && color_ != clGrayText) canvas->Font()->SetColor(clGrayText);
    else if (grid) canvas->Font()->SetColor(grid->Font()->Color());
    TRect rect = ClientRect();
    const bool bordered = borderStyle_ != bsNone;
    if (bordered && (!Ctl3D() || (!paintingCopy && grid))) {
        canvas->Brush()->SetColor(clWindowFrame);
        canvas->FrameRect(rect);
    }
    InflateRect(&rect, -1, -1);
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(color_);
    canvas->FillRect(rect);
    rect = GetEditRect();
    InflateRect(&rect, -1, -1);
    const std::string text = PaintedText();
    const bool highlighted = ((!CanEditText() && focused_) || InFocusedGrid()) && !paintingCopy;
    if (highlighted) {
        canvas->Brush()->SetColor(clHighlight);
        canvas->Font()->SetColor(clHighlightText);
    }
    const bool gridFocus = InFocusedGrid() || (grid && focused_);
    const Integer margin = bordered ? 1 : gridFocus ? 3 : 2;
    const Integer width = canvas->TextWidth(text);
    Integer x = margin + 1;
    if (alignment_ == taRightJustify)
        x = (GetShowButton() ? TextAreaRight() : rect.right) - width - margin - 1;
    else if (alignment_ == taCenter)
        x = (rect.left + rect.right - width) / 2;
    if (paintingCopy) --x;
    DrawEditText(canvas, rect, x - 1, margin - 1, text);
    if (highlighted) {
        TRect focusRect = GetEditRect();
        if (bordered) {
            ++focusRect.left;
            ++focusRect.top;
            --focusRect.bottom;
        }
        canvas->DrawFocusRect(focusRect);
    }
    canvas->SetHandle(nullptr);
}

void TvxDBCustomEdit::WMPaint(TMessage& message)
{
    if (!PaintsItself()) {
        TvxCustomMaskEdit::Dispatch(message);
        return;
    }
    PAINTSTRUCT paint;
    HDC dc = message.WParam ? reinterpret_cast<HDC>(message.WParam) : BeginPaint(handle_, &paint);
    PaintUnfocused(dc);
    if (!message.WParam) EndPaint(handle_, &paint);
}

void TvxDBCustomEdit::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case CM_ENTER:
        CMEnter(message);
        return;
    case CM_EXIT:
        CMExit(message);
        return;
    case WM_PASTE:
        Paste(message);
        return;
    case WM_CUT:
        Cut(message);
        return;
    case WM_PAINT:
        WMPaint(message);
        return;
    case CN_KEYDOWN:
        CNKeyDown(message);
        return;
    case WM_VSCROLL:
        if (ParentGrid()) SetFocus();
        TvxCustomMaskEdit::Dispatch(message);
        return;
    case CM_GETDATALINK:
        message.Result = reinterpret_cast<LRESULT>(dataLink_.get());
        return;
    default:
        TvxCustomMaskEdit::Dispatch(message);
    }
}

// ---- TvxDBEdit

void TvxDBEdit::Publish(TPublisher<TvxDBEdit>& p)
{
    p.Property("DataField", &TvxDBEdit::DataField, &TvxDBEdit::SetDataField);
    p.Property("DataSource", &TvxDBEdit::DataSource, &TvxDBEdit::SetDataSource);
    p.Property("ReadOnly", &TvxDBEdit::ReadOnly, &TvxDBEdit::SetReadOnly).Default(false);
    p.Property("AutoFillDate", &TvxDBEdit::AutoFillDate, &TvxDBEdit::SetAutoFillDate).Default(true);
    p.Property("UnboundDataType", &TvxDBEdit::UnboundDataType, &TvxDBEdit::SetUnboundDataType).Default(vxDefault);
    p.Property("Picture", &TvxDBEdit::GetPicture, &TvxDBEdit::SetPicture).Stored(&TvxDBEdit::IsPictureStored);
    p.Property("UsePictureMask", &TvxDBEdit::UsePictureMask, &TvxDBEdit::SetUsePictureMask).Default(true);
    p.Property("WordWrap", &TvxDBEdit::WordWrap, &TvxDBEdit::SetWordWrap).Default(false);
    p.Property("WantReturns", &TvxDBEdit::WantReturns, &TvxDBEdit::SetWantReturns).Default(false);
    p.Property("ShowVertScrollBar", &TvxDBEdit::ShowVertScrollBar, &TvxDBEdit::SetShowVertScrollBar).Default(false);
    p.Property("OnCheckValue", &TvxDBEdit::OnCheckValue);
}
