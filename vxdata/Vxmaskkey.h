// The keystroke filter of edits with a picture mask: a typed character is accepted only when the text it makes
// still fits the mask. Every edit with a picture mask runs its printable keys through vxProcessMaskedKey; the
// rules say how much of the text it checks and what happens to keys the mask does not decide.
#pragma once

#include <functional>
#include <string>

#include "rtl/Types.h"

class TCustomEdit;

struct TvxMaskedKeyRules {
    // Check typing anywhere in the text; otherwise only at the end (or over a selection reaching the end).
    bool checkMiddle = false;
    // Consume every key the routine looks at, also on an empty result, a bad mask and an error in the middle;
    // otherwise those keys go on to the window.
    bool consumeAll = true;
    // Asked before the edit takes the new text (the caller puts its data into edit mode here); false when the
    // edit may not be written, which leaves the key alone. Unset: always writable.
    std::function<bool()> beginEdit;
};

// The library's edits check typing anywhere and leave the keys the mask does not decide to the window.
inline TvxMaskedKeyRules vxEditKeyRules() { return {true, false, nullptr}; }

struct TvxMaskedKeyResult {
    bool handled = false;   // a printable key the routine looked at
    bool textSet = false;   // the edit holds the checked text and the key was consumed
    bool beeped = false;
    bool reported = false;  // the check has an answer for OnCheckValue: passes
    bool passes = false;
};

// Runs a printable key (#32 and above) against the mask; control keys and, without checkMiddle, typing before the
// end are not handled. A complete or incomplete result goes into the edit (normalised and auto-filled by the
// mask) with the caret at the end when the whole text was selected, else after the typed character and the
// literals auto-fill appended; an impossible character at the end beeps.
TvxMaskedKeyResult vxProcessMaskedKey(TCustomEdit* edit, const std::string& mask, bool autoFill, char& key,
                                      const TvxMaskedKeyRules& rules);
// End-of-text filtering that consumes every key it looks at; true when it did.
bool vxProcessMaskedKey(TCustomEdit* edit, const std::string& mask, bool autoFill, char& key);

// MessageBeep(0) for a refused key, counted so that tests can see it.
void vxRefuseBeep();
extern Integer vxRefuseBeeps;

// The texts Backspace and Delete leave: the selection removed, else the character before (Backspace) or at
// (Delete) the caret.
std::string vxTextAfterBackspace(const std::string& text, Integer selStart, Integer selLength);
std::string vxTextAfterDelete(const std::string& text, Integer selStart, Integer selLength);
