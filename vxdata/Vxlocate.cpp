#include "vxdata/Vxlocate.h"

#include "db/DataSet.h"
#include "db/Field.h"
#include "rtl/FloatConv.h"
#include "rtl/StringRoutines.h"
#include "vcl/Dialogs.h"
#include "vcl/Forms.h"
#include "vxdata/vxSystem.h"

namespace {

bool IsFloatField(TField* field)
{
    const TFieldType type = field->DataType();
    return type == ftFloat || type == ftCurrency || type == ftBCD;
}

// An exact search on a number field compares numbers; a search that is not a number matches nothing there.
bool NumberMatches(TField* field, const std::string& search)
{
    const std::string text = field->AsString();
    if (!vxIsFloatText(search) || text.empty()) return false;
    double wanted = 0, held = 0;
    return TryStrToFloat(search, wanted) && TryStrToFloat(text, held) && wanted == held;
}

bool RecordMatches(TField* field, const std::string& search, Integer matchType, bool caseSensitive)
{
    if (matchType == mtExactMatch && IsFloatField(field) && !search.empty()) return NumberMatches(field, search);
    return vxLocateTextMatches(field->AsString(), search, matchType, caseSensitive);
}

// Steps through the records after the current one, with the dataset's controls still, until one matches.
bool ScanForward(TDataSet* dataSet, TField* field, const std::string& search, Integer matchType, bool caseSensitive)
{
    dataSet->DisableControls();
    try {
        for (dataSet->Next(); !dataSet->Eof(); dataSet->Next())
            if (RecordMatches(field, search, matchType, caseSensitive)) {
                dataSet->EnableControls();
                return true;
            }
    } catch (...) {
        dataSet->EnableControls();
        throw;
    }
    dataSet->EnableControls();
    return false;
}

class THourGlass {
public:
    THourGlass() { Screen->SetCursor(crHourGlass); }
    ~THourGlass() { Screen->SetCursor(crDefault); }
    THourGlass(const THourGlass&) = delete;
    THourGlass& operator=(const THourGlass&) = delete;
};

}  // namespace

bool vxLocateTextMatches(const std::string& text, const std::string& search, Integer matchType, bool caseSensitive)
{
    const std::string compared = caseSensitive ? text : AnsiUpperCase(text);
    switch (matchType) {
    case mtExactMatch: return compared == search;
    case mtPartialMatchStart: return compared.compare(0, search.size(), search) == 0;
    case mtPartialMatchAny: return compared.find(search) != std::string::npos;
    default: return false;
    }
}

bool vxLocateValue(bool fromStart, TDataSet* dataSet, const std::string& fieldName, bool caseSensitive,
                   Integer matchType, const std::string& value)
{
    dataSet->CheckBrowseMode();
    TField* field = dataSet->FindField(fieldName);
    if (!field) {
        MessageDlg("Field " + fieldName + " not found.", mtWarning, TMsgDlgButtons{mbOK}, 0);
        return false;
    }
    dataSet->UpdateCursorPos();
    const std::string search = caseSensitive ? value : AnsiUpperCase(value);
    const TBookmark start = dataSet->GetBookmark();
    bool found = false;
    try {
        THourGlass hourGlass;
        if (fromStart) {
            dataSet->First();
            found = !dataSet->IsEmpty() && RecordMatches(field, search, matchType, caseSensitive);
        }
        if (!found) found = ScanForward(dataSet, field, search, matchType, caseSensitive);
    } catch (...) {
        if (!start.empty()) dataSet->GotoBookmark(start);
        throw;
    }
    if (!found && !start.empty()) dataSet->GotoBookmark(start);
    return found;
}

bool vxLocateFieldValue(TDataSet* dataSet, const std::string& value, const std::string& fieldName, Integer matchType,
                        bool caseSensitive)
{
    if (TField* field = dataSet->FindField(fieldName)) {
        const std::string text = field->AsString();
        if (caseSensitive ? text == value : AnsiLowerCase(text) == AnsiLowerCase(value)) return true;
    }
    return vxLocateValue(true, dataSet, fieldName, caseSensitive, matchType, value);
}
