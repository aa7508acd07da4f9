#include "vxdata/Vxcommon.h"

#include <algorithm>
#include <iterator>
#include <memory>

#include "classes/Component.h"
#include "classes/TypInfo.h"
#include "db/DBErrors.h"
#include "db/DataSet.h"
#include "db/DataSource.h"
#include "db/Field.h"
#include "rtl/IntConv.h"
#include "rtl/StringRoutines.h"
#include "vcl/Forms.h"
#include "vcl/Graphics.h"
#include "vxdata/Vxintl.h"
#include "vxdata/Vxpict.h"
#include "vxdata/Vxstr.h"

namespace {

// ---- published properties of a given kind; nullptr when missing or of another kind ----

PPropInfo PropOfKind(TObject* instance, const std::string& name, std::initializer_list<TTypeKind> kinds)
{
    if (!instance) return nullptr;
    PPropInfo prop = GetPropInfo(instance, name);
    if (!prop) return nullptr;
    for (TTypeKind kind : kinds)
        if (prop->PropType->Kind == kind) return prop;
    return nullptr;
}

TObject* ObjectProp(TObject* instance, const std::string& name)
{
    PPropInfo prop = PropOfKind(instance, name, {tkClass});
    return prop ? GetObjectProp(instance, prop) : nullptr;
}

TStrings* StringsProp(TObject* instance, const std::string& name)
{
    return dynamic_cast<TStrings*>(ObjectProp(instance, name));
}

bool BoolProp(TObject* instance, const std::string& name, bool missing)
{
    PPropInfo prop = PropOfKind(instance, name, {tkEnumeration, tkInteger});
    return prop ? GetOrdProp(instance, prop) != 0 : missing;
}

bool SetBoolProp(TObject* instance, const std::string& name, bool value)
{
    PPropInfo prop = PropOfKind(instance, name, {tkEnumeration, tkInteger});
    if (!prop || !prop->Writable) return false;
    SetOrdProp(instance, prop, value ? 1 : 0);
    return true;
}

std::string StrProp(TObject* instance, const std::string& name)
{
    PPropInfo prop = PropOfKind(instance, name, {tkLString, tkString});
    return prop ? GetStrProp(instance, prop) : std::string();
}

bool SetLongStrProp(TObject* instance, const std::string& name, const std::string& value)
{
    PPropInfo prop = PropOfKind(instance, name, {tkLString});
    if (!prop || !prop->Writable) return false;
    SetStrProp(instance, prop, value);
    return true;
}

bool IsWindowControl(TObject* instance) { return instance && instance->InheritsFrom("TWinControl"); }

// ---- setting lines ----

// Field n (1-based) of a line split at the separator; empty when the line has fewer fields.
std::string LineField(const std::string& line, char separator, Integer n)
{
    Integer position = 1;
    std::string piece;
    for (Integer i = 1; i <= n; ++i) vxNextToken(line, std::string(1, separator), position, piece);
    return piece;
}

// The index of the first line whose first field is the name, case ignored; -1 when none.
Integer FindLine(TStrings* lines, const std::string& fieldName, char separator)
{
    for (Integer i = 0; i < lines->Count(); ++i)
        if (vxTextEquals(LineField(lines->Strings(i), separator, 1), fieldName)) return i;
    return -1;
}

std::string PictureMaskLine(const std::string& fieldName, const std::string& mask, bool autoFill, bool gridFlag)
{
    return fieldName + "\t" + mask + "\t" + vxBoolToTF(autoFill) + "\t" + vxBoolToTF(gridFlag);
}

}  // namespace

// ---- PictureMasks ----

void vxGetTablePicture(TDataSet* dataSet, const std::string& fieldName, std::string& picture)
{
    picture.clear();
    auto* table = dynamic_cast<IvxTablePictures*>(dataSet);
    if (table && dataSet->FindField(fieldName)) picture = table->TableFieldPicture(fieldName);
}

void vxGetPictureMask(TDataSet* dataSet, const std::string& fieldName, bool useTablePicture, std::string& mask,
                      bool& autoFill, bool& gridFlag)
{
    mask.clear();
    autoFill = true;
    gridFlag = true;
    TStrings* lines = vxGetPictureMasks(dataSet);
    if (!lines) return;
    const Integer index = FindLine(lines, fieldName, '\t');
    if (index >= 0) {
        const std::string line = lines->Strings(index);
        mask = LineField(line, '\t', 2);
        autoFill = LineField(line, '\t', 3) == "T";
        gridFlag = LineField(line, '\t', 4) == "T";
    }
    if (!useTablePicture) return;
    std::string tablePicture;
    vxGetTablePicture(dataSet, fieldName, tablePicture);
    if (tablePicture.empty()) return;
    if (!mask.empty()) vxSetPictureMask(dataSet, fieldName, tablePicture, autoFill, gridFlag, true, true, false);
    mask = tablePicture;
}

void vxSetPictureMask(TDataSet* dataSet, const std::string& fieldName, const std::string& mask, bool autoFill,
                      bool gridFlag, bool setMask, bool setAutoFill, bool setGridFlag)
{
    TStrings* lines = vxGetPictureMasks(dataSet);
    if (!lines) return;
    std::string newMask = mask;
    std::string tablePicture;
    vxGetTablePicture(dataSet, fieldName, tablePicture);
    if (!tablePicture.empty()) newMask = tablePicture;
    const Integer index = FindLine(lines, fieldName, '\t');
    if (index < 0) {
        if (!newMask.empty()) lines->Add(PictureMaskLine(fieldName, newMask, autoFill, gridFlag));
        return;
    }
    const std::string line = lines->Strings(index);
    if (!setMask) newMask = LineField(line, '\t', 2);
    if (!setAutoFill) autoFill = LineField(line, '\t', 3) == "T";
    if (!setGridFlag) gridFlag = LineField(line, '\t', 4) == "T";
    if (newMask.empty())
        lines->Delete(index);
    else
        lines->SetStrings(index, PictureMaskLine(fieldName, newMask, autoFill, gridFlag));
}

std::string vxBoolToTF(bool flag) { return flag ? "T" : "F"; }

// ---- Selected ----

void vxApplySelected(TDataSet* dataSet, TStrings* lines)
{
    dataSet->DisableControls();
    try {
        for (Integer i = 0; i < dataSet->FieldCount(); ++i) dataSet->Fields()->Fields(i)->SetVisible(false);
        TStringList parts;
        for (Integer line = 0; line < lines->Count(); ++line) {
            vxSplitString(lines->Strings(line), '\t', &parts);
            TField* field = dataSet->FindField(parts.Strings(0));
            if (!field) continue;
            field->SetDisplayWidth(StrToInt(parts.Strings(1)));
            field->SetDisplayLabel(parts.Strings(2));
            field->SetIndex(line);
            field->SetVisible(true);
        }
    } catch (...) {
        dataSet->EnableControls();
        throw;
    }
    dataSet->EnableControls();
}

void vxGetSelected(TDataSet* dataSet, TStrings* lines)
{
    lines->Clear();
    for (Integer i = 0; i < dataSet->FieldCount(); ++i) {
        TField* field = dataSet->Fields()->Fields(i);
        if (field->Visible())
            lines->Add(field->FieldName() + "\t" + IntToStr(field->DisplayWidth()) + "\t" + field->DisplayLabel());
    }
}

bool vxFindSelectedLine(TStrings* lines, const std::string& fieldName, Integer& index)
{
    if (!lines) return false;
    index = FindLine(lines, fieldName, '\t');
    return index >= 0;
}

// ---- ControlType ----

void vxFindControlType(TObject* component, const std::string& fieldName, std::string& controlType,
                       std::string& parameters)
{
    controlType.clear();
    parameters.clear();
    TStrings* lines = vxGetControlTypes(component);
    if (!lines) return;
    for (Integer i = 0; i < lines->Count(); ++i) {
        const std::string line = lines->Strings(i);
        if (LineField(line, ';', 1) != fieldName) continue;
        controlType = LineField(line, ';', 2);
        const size_t first = line.find(';');
        const size_t second = first == std::string::npos ? first : line.find(';', first + 1);
        parameters = second == std::string::npos ? line.substr(0, 255) : line.substr(second + 1, 255);
    }
}

bool vxIsNamedControlType(const std::string& controlType)
{
    return vxTextEquals(controlType, "CustomEdit") || vxTextEquals(controlType, "LookupCombo") ||
           vxTextEquals(controlType, "Combo");
}

namespace {

// Whether the control a named-control line's parameter names still exists.
bool NamedControlExists(TComponent* form, TDataSet* dataSet, const std::string& parameter)
{
    if (parameter.find('.') == std::string::npos) return form->FindComponent(parameter) != nullptr;
    const std::string name = vxTextAfterChar(parameter, '.');
    return name.empty() || (dataSet->Owner() && dataSet->Owner()->FindComponent(name));
}

}  // namespace

bool vxPruneCustomControlTypes(TComponent* form, TDataSet* dataSet)
{
    if (!form || !form->ComponentState().Contains(csDesigning)) return true;
    TStrings* lines = vxGetControlTypes(dataSet);
    if (!lines) return true;
    TStringList parts;
    for (Integer i = lines->Count() - 1; i >= 0; --i) {
        vxSplitString(lines->Strings(i), ';', &parts);
        if (parts.Count() <= 1 || !vxIsNamedControlType(parts.Strings(1))) continue;
        const std::string parameter = parts.Count() > 2 ? parts.Strings(2) : std::string();
        if (!NamedControlExists(form, dataSet, parameter)) lines->Delete(i);
    }
    return true;
}

bool vxIsRichTextField(TField* field, bool readContent)
{
    if (!field || !field->IsBlob()) return false;
    TDataSet* dataSet = field->DataSet();
    if (TStrings* lines = vxGetControlTypes(dataSet)) {
        const std::string marker = field->FieldName() + ";RichEdit";
        for (Integer i = 0; i < lines->Count(); ++i)
            if (lines->Strings(i).compare(0, marker.size(), marker) == 0) return true;
    }
    if (!readContent || !dataSet) return false;
    std::unique_ptr<TStream> stream(dataSet->CreateBlobStream(field, bmRead));
    if (!stream) return false;
    char start[5] = {' ', ' ', ' ', ' ', ' '};
    stream->Read(start, 5);
    return std::string(start, 5) == "{\\rtf";
}

// ---- dataset kind ----

bool vxIsCompatibleDataSet(TObject* dataSet)
{
    if (!dataSet) return false;
    for (const char* name : {"TvxTable", "TvxQuery", "TvxQBE", "TvxStoredProc", "TvxClientDataSet"})
        if (dataSet->InheritsFrom(name)) return true;
    return vxGetControlTypes(dataSet) != nullptr;
}

bool vxDataSetHasField(TObject* dataSet, const std::string& fieldName)
{
    auto* typed = dynamic_cast<TDataSet*>(dataSet);
    return typed && typed->FindField(fieldName);
}

// ---- property access by name ----

TvxInvalidValueEvent vxGetOnInvalidValue(TObject* instance)
{
    PPropInfo prop = PropOfKind(instance, "OnInvalidValue", {tkMethod});
    if (!prop) return nullptr;
    try {
        return GetMethodProp(instance, prop).As<TvxInvalidValueEvent>();
    } catch (const EInvalidCast&) {
        return nullptr;  // an event of another shape
    }
}

TStrings* vxGetPictureMasks(TObject* instance) { return StringsProp(instance, "PictureMasks"); }
TStrings* vxGetControlTypes(TObject* instance) { return StringsProp(instance, "ControlType"); }
bool vxGetValidateWithMask(TObject* instance) { return BoolProp(instance, "ValidateWithMask", false); }
bool vxGetControlInfoInDataSet(TObject* instance) { return BoolProp(instance, "ControlInfoInDataSet", true); }
TStrings* vxGetLookupFields(TObject* instance) { return StringsProp(instance, "LookupFields"); }
TStrings* vxGetLookupLinks(TObject* instance) { return StringsProp(instance, "LookupLinks"); }
std::string vxGetDatabaseName(TObject* instance) { return StrProp(instance, "DatabaseName"); }

// ---- lookup links

namespace {

// The index of the first LookupFields line whose first item is the name exactly; -1 when none.
Integer LookupFieldsLine(TStrings* lookupFields, const std::string& fieldName)
{
    for (Integer i = 0; lookupFields && i < lookupFields->Count(); ++i) {
        Integer position = 1;
        std::string name;
        vxNextToken(lookupFields->Strings(i), ";", position, name);
        if (name == fieldName) return i;
    }
    return -1;
}

}  // namespace

void vxFindLookupLink(TObject* dataSet, const std::string& fieldName, std::string& linkLine)
{
    linkLine.clear();
    TStrings* links = vxGetLookupLinks(dataSet);
    if (!links) return;
    const Integer line = LookupFieldsLine(vxGetLookupFields(dataSet), fieldName);
    if (line >= 0 && line < links->Count()) linkLine = links->Strings(line);
}

void vxFindLookupResultField(TObject* dataSet, const std::string& fieldName, std::string& resultField)
{
    resultField.clear();
    TStrings* lookupFields = vxGetLookupFields(dataSet);
    const Integer line = LookupFieldsLine(lookupFields, fieldName);
    if (line < 0) return;
    Integer position = 1;
    Integer item = 0;
    while (item < 4 && position > 0) {
        vxNextToken(lookupFields->Strings(line), ";", position, resultField);
        ++item;
    }
    if (item < 4) resultField.clear();
}

bool vxSetDatabaseName(TObject* instance, const std::string& name)
{
    return SetLongStrProp(instance, "DatabaseName", name);
}

std::string vxGetSessionName(TObject* instance) { return StrProp(instance, "SessionName"); }

TDataSource* vxGetDataSource(TObject* instance)
{
    return dynamic_cast<TDataSource*>(ObjectProp(instance, "DataSource"));
}

TDataSource* vxGetMasterSource(TObject* instance)
{
    return dynamic_cast<TDataSource*>(ObjectProp(instance, "MasterSource"));
}

bool vxSetDataSource(TObject* control, TDataSource* dataSource)
{
    if (!IsWindowControl(control)) return false;
    PPropInfo prop = PropOfKind(control, "DataSource", {tkClass});
    if (!prop || !prop->Writable) return false;
    SetObjectProp(control, prop, dataSource);
    return true;
}

std::string vxGetDataField(TObject* control)
{
    return IsWindowControl(control) ? StrProp(control, "DataField") : std::string();
}

bool vxSetDataField(TObject* control, const std::string& fieldName)
{
    return IsWindowControl(control) && SetLongStrProp(control, "DataField", fieldName);
}

bool vxGetParamCheck(TObject* instance) { return BoolProp(instance, "ParamCheck", false); }
bool vxSetParamCheck(TObject* instance, bool value) { return SetBoolProp(instance, "ParamCheck", value); }

bool vxSetSQL(TObject* instance, TStrings* sql)
{
    PPropInfo prop = PropOfKind(instance, "SQL", {tkClass});
    if (!prop || !prop->Writable) return false;
    SetObjectProp(instance, prop, sql);
    return true;
}

Integer vxGetOnFilterOptions(TObject* instance)
{
    if (instance && instance->InheritsFrom("TvxClientDataSet")) {
        auto* dataSet = dynamic_cast<TDataSet*>(instance);
        return dataSet && dataSet->Filtered() ? vxofoEnabled : 0;
    }
    PPropInfo prop = PropOfKind(instance, "OnFilterOptions", {tkSet, tkInteger});
    return prop ? Integer(GetOrdProp(instance, prop)) : 0;
}

void vxSetOnFilterEnabled(TObject* instance, bool enabled)
{
    PPropInfo prop = PropOfKind(instance, "OnFilterOptions", {tkSet, tkInteger});
    if (!prop || !prop->Writable) return;
    Int64 options = GetOrdProp(instance, prop);
    options = enabled ? (options | vxofoEnabled) : (options & ~Int64(vxofoEnabled));
    SetOrdProp(instance, prop, options);
}

// ---- record check ----

bool vxCheckPictureText(const std::string& mask, const std::string& text)
{
    if (text.empty()) return true;
    TvxPictureValidator validator(mask, false);
    std::string copy = text;
    return validator.Check(copy, false) == prComplete;
}

void vxValidateRecordMasks(TDataSet* dataSet, const TvxInvalidValueEvent& onInvalidValue)
{
    for (Integer i = 0; i < dataSet->FieldCount(); ++i) {
        TField* field = dataSet->Fields()->Fields(i);
        std::string mask;
        bool autoFill, gridFlag;
        vxGetPictureMask(dataSet, field->FieldName(), true, mask, autoFill, gridFlag);
        if (mask.empty() || vxCheckPictureText(mask, field->AsString()) || field->ReadOnly()) continue;
        field->FocusControl();
        if (onInvalidValue) onInvalidValue(dataSet, field);
        DatabaseError(vxIntl()->UserMessages()->PictureValidateError + field->DisplayName());
    }
}

// ---- drawing shared by the library's controls

void vxDrawEllipsisButton(TCanvas* canvas, TRect rect, Integer buttonState, bool /*enabled*/, TControlState state)
{
    const bool pressed = buttonState == 2;
    UINT flags = BF_RECT | BF_MIDDLE;
    if (pressed && !vxIsPaintCopy(state)) flags |= BF_FLAT;
    TRect face = rect;
    canvas->DrawEdge(face, EDGE_RAISED, flags);
    const Integer width = rect.right - rect.left, height = rect.bottom - rect.top;
    const Integer side = std::max<Integer>((width + 1) / 8, 1);
    Integer x = rect.left + width / 2, y = rect.top + (height + 1) / 2;
    if (!pressed) {
        --x;
        --y;
    }
    canvas->Brush()->SetColor(clBlack);
    for (Integer dot = -1; dot <= 1; ++dot) canvas->FillRect(Bounds(x + dot * 2 * side, y, side, side));
}

void vxDrawComboArrowButton(TCanvas* canvas, TRect rect, bool pressed, bool enabled, TControlState state)
{
    UINT flags = DFCS_SCROLLCOMBOBOX;
    if (!enabled) flags |= DFCS_INACTIVE;
    if (pressed && !vxIsPaintCopy(state)) flags |= DFCS_PUSHED | DFCS_FLAT;
    canvas->DrawFrameControl(rect, DFC_SCROLL, flags);
}

void vxDrawFocusFrame(TCanvas* canvas, TRect rect)
{
    const TBrushStyle brushStyle = canvas->Brush()->Style();
    const TColor penColor = canvas->Pen()->Color();
    canvas->Pen()->SetColor(clHighlight);
    canvas->Brush()->SetStyle(bsClear);
    canvas->Rectangle(rect);
    canvas->Font()->SetColor(clHighlight);
    canvas->Brush()->SetStyle(brushStyle);
    canvas->Pen()->SetColor(penColor);
    canvas->DrawFocusRect(rect);
}

bool vxIsSingleLineHeight(HDC dc, TRect rect, UINT format)
{
    TRect measured = rect;
    DrawTextA(dc, " ", 1, &measured, format | DT_CALCRECT);
    const Integer lineHeight = measured.bottom - measured.top;
    return lineHeight + 2 * GetSystemMetrics(SM_CYBORDER) + 3 >= rect.bottom - rect.top;
}

// ---- controls and keys

bool vxIsPaintCopy(TControlState state)
{
    return state.Contains(csPaintCopy);
}

void vxPostKeyWithModifier(HWND window, Word key, Word modifier)
{
    constexpr Byte Down = 129;
    BYTE saved[256];
    BYTE pressed[256];
    GetKeyboardState(saved);
    std::copy(std::begin(saved), std::end(saved), std::begin(pressed));
    pressed[modifier & 0xFF] = Down;
    pressed[key & 0xFF] = Down;
    SetKeyboardState(pressed);
    const bool alt = modifier == VK_MENU;
    const LPARAM context = alt ? LPARAM(1) << 29 : 0;
    const LPARAM released = (LPARAM(1) << 30) | (LPARAM(1) << 31);
    try {
        SendMessageA(window, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 1 | context);
        SendMessageA(window, alt ? WM_SYSKEYUP : WM_KEYUP, key, 1 | context | released);
    } catch (...) {
        SetKeyboardState(saved);
        throw;
    }
    SetKeyboardState(saved);
}

void vxReleaseLeftButton()
{
    TCustomForm* form = Screen->ActiveForm();
    if (!form) return;
    TWinControl* target = form;
    if (!form->ControlState().Contains(csLButtonDown)) {
        target = nullptr;
        for (Integer i = 0; i < form->ControlCount() && !target; ++i)
            target = dynamic_cast<TWinControl*>(form->Controls(i));
        if (!target || !target->ControlState().Contains(csLButtonDown)) return;
    }
    PostMessageA(target->Handle(), WM_LBUTTONUP, 0, 0);
}

bool vxIsSearchKey(Word key)
{
    return key == VK_BACK || key == VK_SPACE || key == VK_DELETE || (key >= 48 && key <= 111) || key > 145;
}

void vxGetWorkArea(TRect& rect)
{
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &rect, 0);
}

Integer vxScaleForDpi(Integer value, Integer pixelsPerInch)
{
    return value * pixelsPerInch / 96;
}

// ---- components and classes

TComponent* vxGetOwnerForm(TComponent* component)
{
    for (TComponent* c = component; c; c = c->Owner())
        if (dynamic_cast<TCustomForm*>(c) || !c->Owner()) return c;
    return nullptr;
}

void vxMarkDesignerModified(TComponent*) {}

bool vxIsClassNamed(TClass classType, const std::string& name)
{
    return classType && classType->InheritsFrom(name);
}

Integer vxCompareBookmarks(TDataSet* dataSet, const TBookmark& bookmark1, const TBookmark& bookmark2)
{
    return dataSet->CompareBookmarks(bookmark1, bookmark2);
}

// ---- fields and texts

std::string vxFieldNameFromLabel(TDataSet* dataSet, const std::string& label)
{
    auto blanked = [](std::string text) {
        std::replace(text.begin(), text.end(), '~', ' ');
        return text;
    };
    const std::string wanted = blanked(label);
    for (Integer i = 0; i < dataSet->FieldCount(); ++i) {
        TField* field = dataSet->Fields()->Fields(i);
        if (blanked(field->DisplayLabel()) == wanted) return field->FieldName();
    }
    return "";
}

Integer vxIndexOfText(TStrings* lines, const std::string& text)
{
    for (Integer i = 0; i < lines->Count(); ++i)
        if (SameText(lines->Strings(i), text)) return i;
    return -1;
}

bool vxIsSearchableFieldType(TFieldType fieldType)
{
    return fieldType != ftBytes && fieldType != ftVarBytes && fieldType != ftBlob && fieldType != ftGraphic;
}

bool vxIsCalculatedOrLookup(TField* field)
{
    return field->Calculated() || field->Lookup();
}

bool vxIsNonEngineField(TField* field)
{
    if (!field->DataSet()) return false;
    return vxIsCalculatedOrLookup(field) || !vxIsClassNamed(field->DataSet()->ClassType(), "TBDEDataSet");
}

void vxScanSQLToken(const std::string& text, Integer& position, std::string& token)
{
    token.clear();
    const Integer length = Integer(text.size());
    if (position <= 0 || position > length) return;
    auto at = [&](Integer p) { return text[size_t(p - 1)]; };
    while (position <= length && (at(position) == ' ' || at(position) == '\t')) ++position;
    if (position > length) return;
    const char first = at(position);
    if (first == '"' || first == '\'') {
        const size_t close = text.find(first, size_t(position));
        if (close == std::string::npos) return;
        token = text.substr(size_t(position - 1), close - size_t(position) + 2);
        position = Integer(close) + 2;
        return;
    }
    auto inRun = [](char c) { return c == '$' || c == '.' || c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'); };
    Integer end = position;
    while (end <= length && inRun(at(end))) ++end;
    const Integer tokenLength = std::max<Integer>(end - position, 1);
    token = text.substr(size_t(position - 1), size_t(tokenLength));
    position += tokenLength;
}
