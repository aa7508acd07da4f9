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

#include "rtl/Classes.h"
#include "rtl/Types.h"

class TComponent;
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
