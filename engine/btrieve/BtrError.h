// Btrieve and Scalable SQL status errors: the engine code of each status, the status texts and the raisers.
#pragma once

#include <span>
#include <string>

#include "engine/core/BseError.h"

// Statuses with their engine codes; a status not here keeps its own number as the code.
std::span<const TStatusCodePair> BtrieveStatusMap();

// The requester's published description of status: the program's string-table entry 5000 + status (empty when
// there is none).
constexpr Integer BtrieveStatusTextBase = 5000;
std::string BtrieveStatusText(Integer status);

// One failing Btrieve status: NativeCode is the status, Code its engine code through BtrieveStatusMap.
class EBtrieveEngineError : public EBoreaEngineError {
public:
    explicit EBtrieveEngineError(SmallInt status);
    // text (a file name, key value, ...) is cut to 255 characters and shown after the status text.
    EBtrieveEngineError(SmallInt status, const std::string& text);

    SmallInt Status() const { return SmallInt(NativeCode()); }
    const std::string& AttachedText() const { return attachedText_; }
    Word AttachedTextLength() const { return Word(attachedText_.size()); }

    // "Btrieve Status <n> - <text>." (and a line "Key=[<attached text>]"), or "Btrieve Error <n>." when the
    // status has no text; at most 255 characters.
    void GetNativeText(std::string& text) const override;

private:
    std::string attachedText_;
};

// A failing Scalable SQL status; the same data and text.
class EScalableSQLEngineError : public EBtrieveEngineError {
public:
    using EBtrieveEngineError::EBtrieveEngineError;
};

// Raise a failing status: 9 (end of file) as EBoreaEOFError, any other as EBtrieveEngineError.
[[noreturn]] void RaiseBtrieveError(SmallInt status);
[[noreturn]] void RaiseBtrieveErrorWithText(SmallInt status, const std::string& text);

// 0 returns; 9 raises EBoreaEOFError; any other status raises EScalableSQLEngineError.
void CheckSqlStatus(SmallInt status);
[[noreturn]] void RaiseSqlError(SmallInt status);
[[noreturn]] void RaiseSqlErrorWithText(SmallInt status, const std::string& text);
