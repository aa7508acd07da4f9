// Per-field setting lines kept in string lists that datasets and controls publish (PictureMasks, Selected,
// ControlType), the record check against picture masks before a post, and access to such properties by their
// published name: any class that publishes a property of the right name takes part, and a missing property is
// never an error.
//
//   PictureMasks line: field name TAB mask TAB auto-fill "T"/"F" TAB grid flag "T"/"F"
//   Selected line:     field name TAB display width TAB display label [TAB read-only "T"/"F"]
//   ControlType line:  field name ; control kind ; parameters...
#pragma once

#include <functional>
#include <string>

#include "db/DBTypes.h"
#include "rtl/Classes.h"
#include "rtl/Types.h"
#include "vcl/Controls.h"

class TCanvas;
class TComponent;
class TCustomForm;
class TDataSet;
class TDataSource;
class TField;

// Raised by the record check before the post is refused.
using TvxInvalidValueEvent = std::function<void(TDataSet* dataSet, TField* field)>;

// The validity pictures a table defines for its fields itself; the library's table provides them.
class IvxTablePictures {
public:
    virtual ~IvxTablePictures() = default;
    // Empty when the table defines no picture for the field.
    virtual std::string TableFieldPicture(const std::string& fieldName) = 0;
};

// ---- PictureMasks ----

// The table's own picture of an existing field; empty for datasets that define none.
void vxGetTablePicture(TDataSet* dataSet, const std::string& fieldName, std::string& picture);
// The field's line (the first one naming it, case ignored); without a line: empty mask, both flags true. A picture
// the table defines itself wins (and is written into the line when there is one).
void vxGetPictureMask(TDataSet* dataSet, const std::string& fieldName, bool useTablePicture, std::string& mask,
                      bool& autoFill, bool& gridFlag);
// Rewrites the field's line, each value from the arguments only when its set-flag is true; an empty mask deletes
// the line, a missing line is appended. Nothing happens when the dataset publishes no PictureMasks.
void vxSetPictureMask(TDataSet* dataSet, const std::string& fieldName, const std::string& mask, bool autoFill,
                      bool gridFlag, bool setMask, bool setAutoFill, bool setGridFlag);
std::string vxBoolToTF(bool flag);

// ---- Selected ----

// Hides every field, then shows the fields the lines name, with their width, label and the line's position.
void vxApplySelected(TDataSet* dataSet, TStrings* lines);
// One line (name, width, label) per visible field, in field order.
void vxGetSelected(TDataSet* dataSet, TStrings* lines);
bool vxFindSelectedLine(TStrings* lines, const std::string& fieldName, Integer& index);

// ---- ControlType ----

// The kind and parameter text of the last line naming the field exactly; both empty when none.
void vxFindControlType(TObject* component, const std::string& fieldName, std::string& controlType,
                       std::string& parameters);
// "CustomEdit", "LookupCombo" and "Combo", case ignored: kinds whose parameter names a control.
bool vxIsNamedControlType(const std::string& controlType);
// At design time, deletes the lines of named-control kinds whose control no longer exists.
bool vxPruneCustomControlTypes(TComponent* form, TDataSet* dataSet);
// A blob field marked as rich text by a ControlType line, or (when readContent) whose blob starts with "{\rtf".
bool vxIsRichTextField(TField* field, bool readContent);

// ---- dataset kind ----

// One of the library's dataset classes (by class name, descendants included) or a dataset publishing ControlType.
bool vxIsCompatibleDataSet(TObject* dataSet);
bool vxDataSetHasField(TObject* dataSet, const std::string& fieldName);

// ---- property access by name ----

TvxInvalidValueEvent vxGetOnInvalidValue(TObject* instance);
TStrings* vxGetPictureMasks(TObject* instance);
TStrings* vxGetControlTypes(TObject* instance);
bool vxGetValidateWithMask(TObject* instance);
bool vxGetControlInfoInDataSet(TObject* instance);
TStrings* vxGetLookupFields(TObject* instance);
TStrings* vxGetLookupLinks(TObject* instance);

// ---- lookup links ----
//   LookupFields line: calculated field ; database ; table ; result field ; index name or index fields... [; "N"]
//   LookupLinks line:  pairs of a dataset field and a lookup-table field, belonging to the LookupFields line of the
//                      same index

// The LookupLinks line of the first LookupFields line naming the field exactly; empty when there is none.
void vxFindLookupLink(TObject* dataSet, const std::string& fieldName, std::string& linkLine);
// The result field (item 4) of the first LookupFields line naming the field exactly; empty when none.
void vxFindLookupResultField(TObject* dataSet, const std::string& fieldName, std::string& resultField);
std::string vxGetDatabaseName(TObject* instance);
bool vxSetDatabaseName(TObject* instance, const std::string& name);
std::string vxGetSessionName(TObject* instance);
TDataSource* vxGetDataSource(TObject* instance);
TDataSource* vxGetMasterSource(TObject* instance);
// The control routines act on window controls only.
bool vxSetDataSource(TObject* control, TDataSource* dataSource);
std::string vxGetDataField(TObject* control);
bool vxSetDataField(TObject* control, const std::string& fieldName);
bool vxGetParamCheck(TObject* instance);
bool vxSetParamCheck(TObject* instance, bool value);
bool vxSetSQL(TObject* instance, TStrings* sql);

// Bits of OnFilterOptions.
constexpr Integer vxofoEnabled = 1;
constexpr Integer vxofoShowHourGlass = 2;
constexpr Integer vxofoCancelOnEscape = 4;
Integer vxGetOnFilterOptions(TObject* instance);
void vxSetOnFilterEnabled(TObject* instance, bool enabled);

// ---- record check ----

// True for an empty text; otherwise only when the text completely satisfies the mask (a bad mask gives false).
bool vxCheckPictureText(const std::string& mask, const std::string& text);
// Run before a post: the first field whose value breaks its mask (and is not read-only) gets the focus, the event
// is called, and the post is refused with the library's PictureValidateError text and the field's display name.
void vxValidateRecordMasks(TDataSet* dataSet, const TvxInvalidValueEvent& onInvalidValue);

// ---- drawing shared by the library's controls ----

// The platform's new-style controls (flat buttons, 3-D edges) are always on in our system.
constexpr bool vxNewStyleControls = true;

// A raised button face with three dots; buttonState 2 is pressed (flat, unless the control is a paint copy).
void vxDrawEllipsisButton(TCanvas* canvas, TRect rect, Integer buttonState, bool enabled, TControlState state);
// The system's combo-box drop-down button.
void vxDrawComboArrowButton(TCanvas* canvas, TRect rect, bool pressed, bool enabled, TControlState state);
// A highlight-coloured outline with a focus rectangle over it.
void vxDrawFocusFrame(TCanvas* canvas, TRect rect);
// One line of text in the format (with the system border twice and 3 pixels) fills at least the rectangle's height.
bool vxIsSingleLineHeight(HDC dc, TRect rect, UINT format);

// ---- controls and keys ----

// The control is drawn as an image inside another control (a grid row).
bool vxIsPaintCopy(TControlState state);
// Delivers a key press to the window while the modifier (VK_MENU, VK_CONTROL, VK_SHIFT) is marked down; with Alt
// as system key messages.
void vxPostKeyWithModifier(HWND window, Word key, Word modifier);
// Ends a left-button press that the active form (or its first window control) still thinks is down.
void vxReleaseLeftButton();
// Keys that edit a search text: backspace, blank, delete, printable key codes and the keys above 145.
bool vxIsSearchKey(Word key);
void vxGetWorkArea(TRect& rect);
Integer vxScaleForDpi(Integer value, Integer pixelsPerInch);
inline Integer vxMax(Integer a, Integer b) { return a > b ? a : b; }
inline Integer vxMin(Integer a, Integer b) { return a < b ? a : b; }

// ---- components and classes ----

// The first form among the component and its owners; without one, the topmost owner.
TComponent* vxGetOwnerForm(TComponent* component);
// Would tell a form designer that the form changed; there is none in our system.
void vxMarkDesignerModified(TComponent* component);
// The class or an ancestor has the name (or answers to it), case ignored.
bool vxIsClassNamed(TClass classType, const std::string& name);
Integer vxCompareBookmarks(TDataSet* dataSet, const TBookmark& bookmark1, const TBookmark& bookmark2);

// ---- fields and texts ----

// The first field whose label equals the label, "~" read as a blank in both; empty when none.
std::string vxFieldNameFromLabel(TDataSet* dataSet, const std::string& label);
// The first line equal to the text, case ignored; -1 when none.
Integer vxIndexOfText(TStrings* lines, const std::string& text);
bool vxIsSearchableFieldType(TFieldType fieldType);
bool vxIsCalculatedOrLookup(TField* field);
// The field's value is read through the field, not the engine's record buffer: calculated and lookup fields and
// the fields of datasets that are not engine datasets.
bool vxIsNonEngineField(TField* field);
// One token of an SQL text from position (1-based), which moves past it: a quoted text with its quotes, or a run of
// "$", ".", digits, upper-case letters and "_" (at least one character). Empty at the end or at an open quote.
void vxScanSQLToken(const std::string& text, Integer& position, std::string& token);
