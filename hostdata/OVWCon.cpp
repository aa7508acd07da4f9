#include "hostdata/OVWCon.h"

#include <memory>
#include <utility>
#include <vector>

#include "rtl/Registry.h"
#include "rtl/StringRoutines.h"
#include "vcl/Dialogs.h"
#include "vcl/Forms.h"
#include "vxcontrols/vxdblook.h"

const std::string CallForAssistanceSuffix = "\r\rPlease call KDV, Inc. for assistance.";
const std::string ContactForAssistanceText = "Please contact KDV, Inc. for assistance.";
const std::string NoAccessText = "Sorry, you don't have access to this function.";
const std::string MinusNinetyNineText = "-99";

const std::string AliasKeyVavuz = "\\Software\\Borea\\Btrieve\\Aliases\\VAVUZ";
const std::string AliasKeyOvwmas = "\\Software\\Borea\\Btrieve\\Aliases\\OVWMAS";
const std::string AliasKeyOvmngr = "\\Software\\Borea\\Btrieve\\Aliases\\OVMNGR";
const std::string HostKey = "\\Software\\KDV\\Ordavane\\Host";
const std::string RemoteKey = "\\Software\\KDV\\Ordavane\\Remote";

TControl* HoverWatchedControl = nullptr;

namespace {

struct TConfigPlace {
    std::string Key;
    std::string ValueName;
};

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

TConfigPlace AliasPlace(const std::string& name)
{
    if (StartsWith(name, "REMOTE")) return {AliasKeyOvwmas, "PhysicalName"};
    if (StartsWith(name, "CMDATA")) return {AliasKeyOvmngr, "PhysicalName"};
    return {AliasKeyVavuz, name};
}

TConfigPlace HostPlace(const std::string& name)
{
    if (StartsWith(name, "REMOTE")) return {RemoteKey, "AuditPrinter"};
    if (StartsWith(name, "BPRINTER")) return {RemoteKey, "BatchPrinter"};
    if (StartsWith(name, "APRINTER")) return {RemoteKey, "AuditPrinter"};
    if (StartsWith(name, "PRINTEROPTS")) return {RemoteKey, "BatchPrintOptions"};
    return {HostKey, name};
}

void ShowInformation(const std::string& text)
{
    MessageDlg(text, mtInformation, TMsgDlgButtons{mbOK}, 0);
}

std::unique_ptr<TRegistry> MachineRegistry()
{
    auto registry = std::make_unique<TRegistry>();
    registry->SetRootKey(HKEY_LOCAL_MACHINE);
    return registry;
}

// The remote printer value a name selects by its first character.
std::string RemotePrinterValueName(const std::string& name)
{
    if (name[0] == 'A') return "AuditPrinter";
    if (name[0] == 'P') return "BatchPrintOptions";
    return "BatchPrinter";
}

bool IsRemotePrinterName(const std::string& name)
{
    return name.find("PRINTER") == 1;
}

// Opens key (never created) and writes the values; false after a message when the key does not open or a write
// fails.
bool WriteValues(const std::string& key, const std::vector<std::pair<std::string, std::string>>& values,
                 const std::string& keyFailureText, const std::string& writeFailureText)
{
    auto registry = MachineRegistry();
    if (!registry->OpenKey(key, false)) {
        ShowInformation(keyFailureText);
        return false;
    }
    try {
        for (const auto& [valueName, data] : values) registry->WriteString(valueName, data);
    } catch (const Exception&) {
        ShowInformation(writeFailureText);
        return false;
    }
    return true;
}

}  // namespace

std::string ReadMachineString(const std::string& key, const std::string& valueName, const std::string& failureText)
{
    try {
        auto registry = MachineRegistry();
        if (registry->OpenKeyReadOnly(key)) return registry->ReadString(valueName);
    } catch (const Exception&) {
    }
    ShowInformation(failureText);
    return "";
}

std::string ReadConfigValue(const std::string& name, bool aliasMode)
{
    const TConfigPlace place = aliasMode ? AliasPlace(name) : HostPlace(name);
    return ReadMachineString(place.Key, place.ValueName,
                             "Not able to read the '" + place.ValueName + "' value from the registry at this time." +
                                     ContactForAssistanceText);
}

bool WriteConfigValue(const std::string& name, const std::string& data)
{
    const std::string resetFailure = "Unable to reset the '" + name + "' value at this time." + ContactForAssistanceText;
    if (name == "REMOTEPhysicalName") {
        return WriteValues(AliasKeyVavuz, {{"PhysicalName", data}, {"Descripton", "REMOTE Mode"}}, resetFailure,
                           resetFailure);
    }
    if (IsRemotePrinterName(name)) {
        return WriteValues(RemoteKey, {{RemotePrinterValueName(name), data}},
                           "Unable to reset the remote default printer value at this time." + ContactForAssistanceText,
                           resetFailure);
    }
    return WriteValues(HostKey, {{name, data}}, resetFailure, resetFailure);
}

void PostHoverToMainForm()
{
    if (!HoverWatchedControl || !Application || !Application->MainForm()) return;
    POINT cursor{};
    if (!GetCursorPos(&cursor)) return;
    TWinControl* underCursor = FindVCLWindow(WindowFromPoint(cursor));
    if (!underCursor || underCursor->Name().empty() || underCursor == HoverWatchedControl) return;
    PostMessageA(Application->MainForm()->Handle(), HoverMessage, 0, 0);
}

void StripFormFrameStyle(TCreateParams& params)
{
    params.Style &= ~DWORD(WS_DLGFRAME | WS_BORDER | WS_THICKFRAME);
}

void SetLookupComboSearch(TvxDBCustomLookupCombo* combo, bool on)
{
    combo->SetAutoDropDown(on);
    combo->SetShowMatchText(on);
    combo->SetSeqSearchOptions(on ? TvxSeqSearchOptions{ssoEnabled} : TvxSeqSearchOptions{});
}

void LookupComboKeyFilter(TvxDBCustomLookupCombo* combo, Word& key, bool blankKeyZero)
{
    const bool editingKey = key == VK_BACK || key == VK_DELETE || key == VK_LEFT || key == VK_RIGHT ||
                            key == VK_HOME || key == VK_END;
    const bool blankZero = blankKeyZero && key == 0 && Trim(combo->Text()).empty();
    if (!editingKey && !blankZero) return;
    SetLookupComboSearch(combo, false);
    combo->DropDownGrid()->SetVisible(false);
}

void ColorLookupCombos(TComponent* owner, bool invalidate)
{
    for (Integer i = 0; i < owner->ComponentCount(); ++i) {
        auto* combo = dynamic_cast<TvxDBLookupCombo*>(owner->Components(i));
        if (!combo) continue;
        combo->DropDownGrid()->SetColor(clYellow);
        combo->DropDownGrid()->Font()->SetColor(clMaroon);
        if (invalidate) combo->Invalidate();
    }
}
