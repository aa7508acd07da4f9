// The keystroke filter of edits with a picture mask: a character typed at the end of the text is accepted only
// when the text it makes still fits the mask.
#pragma once

#include <string>

class TCustomEdit;

// Handles a printable key typed at the end of the edit's text (or over a selection reaching the end): the edit
// gets the would-be text when it is complete or incomplete (normalised and auto-filled by the mask), beeps when it
// is in error, and the key is consumed (set to 0). False for other keys and for typing before the end.
bool vxProcessMaskedKey(TCustomEdit* edit, const std::string& mask, bool autoFill, char& key);
