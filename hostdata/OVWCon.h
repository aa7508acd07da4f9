// Configuration values of the host installation (registry), the texts that end the program's messages, and the
// look of the lookup forms.
#pragma once

#include <string>

#include "vcl/Controls.h"

class TvxDBCustomLookupCombo;

extern const std::string CallForAssistanceSuffix;
extern const std::string ContactForAssistanceText;
extern const std::string NoAccessText;
extern const std::string MinusNinetyNineText;

// Registry places below HKEY_LOCAL_MACHINE.
extern const std::string AliasKeyVavuz;
extern const std::string AliasKeyOvwmas;
extern const std::string AliasKeyOvmngr;
extern const std::string HostKey;
extern const std::string RemoteKey;

// The string value below HKEY_LOCAL_MACHINE, opened read-only. A key that cannot be opened, or a value that cannot
// be read, shows failureText in an information box and reads as ""; a missing value reads as "" quietly.
std::string ReadMachineString(const std::string& key, const std::string& valueName, const std::string& failureText);

// One string value: an alias value (aliasMode) or a host setting. A key that cannot be opened, or a value that
// cannot be read, shows a message and reads as ""; a missing value reads as "" without a message.
std::string ReadConfigValue(const std::string& name, bool aliasMode);

// Writes one value into an existing key (keys are never created); true when written. Failures show a message.
bool WriteConfigValue(const std::string& name, const std::string& data);

// The lookup combos' common behaviour and look. The tracking program's routines are the defaults; the note
// viewer's differ in the two flags (dunlist/bin.h).
// Stores on in the combo's AutoDropDown and ShowMatchText, and [ssoEnabled] or [] in its SeqSearchOptions.
void SetLookupComboSearch(TvxDBCustomLookupCombo* combo, bool on);
// Backspace, Delete, Left, Right, Home and End (and, when blankKeyZero, the key 0 on a blank text) switch the
// combo's search off and hide its drop-down grid. The key is left as it is.
void LookupComboKeyFilter(TvxDBCustomLookupCombo* combo, Word& key, bool blankKeyZero = true);
// Every lookup combo owned by owner gets a yellow drop-down grid with a maroon font, and is repainted when asked.
void ColorLookupCombos(TComponent* owner, bool invalidate = true);

// The message WM_USER + 100 posted to the main form when the mouse rests on another named control.
constexpr UINT HoverMessage = WM_USER + 100;
// The control PostHoverToMainForm compares against; none by default.
extern TControl* HoverWatchedControl;
void PostHoverToMainForm();

// Removes the dialog frame, border and sizing frame from a form's window style.
void StripFormFrameStyle(TCreateParams& params);
