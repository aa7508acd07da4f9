#include "engine/components/BseMainErr.h"

#include <algorithm>

#include "engine/core/BseEng.h"
#include "rtl/Format.h"
#include "rtl/StringRoutines.h"

namespace {

// Message lines without empty ones and without repeats.
class TMessageLines {
public:
    void Add(const std::string& line)
    {
        if (line.empty() || std::find(lines_.begin(), lines_.end(), line) != lines_.end()) return;
        lines_.push_back(line);
    }
    std::string Joined(Word code) const
    {
        if (lines_.empty()) return Format("Borea Interface Error: ( %x )", {Integer(code)});
        std::string text;
        for (const std::string& line : lines_) text += (text.empty() ? "" : "\r\n") + line;
        return text;
    }

private:
    std::vector<std::string> lines_;
};

std::string CodeText(TVirtEng* engine, Word code)
{
    std::string text;
    if (engine) engine->GetErrorString(code, text);
    return Trim(text);
}

}  // namespace

ETDBEngineError::ETDBEngineError(TVirtEng* engine, Word code) : EDatabaseError("")
{
    errors_.push_back({code, 0, CodeText(engine, code)});
    TMessageLines lines;
    if (code != DBIERR_NOCODETEXT) lines.Add(errors_.front().Message);
    for (Word index = 1; engine; ++index) {
        Integer native = 0;
        std::string text;
        const Word entryCode = engine->GetErrorEntry(index, native, text);
        if (entryCode == 0 || entryCode == DBIERR_NOTINITIALIZED) break;
        errors_.push_back({entryCode, native, text});
        if (native == 0 && code != DBIERR_NOCODETEXT) lines.Add(CodeText(engine, entryCode));
        lines.Add(Trim(text));
    }
    SetMessage(lines.Joined(code));
}

void RaiseEngineError(TVirtEng* engine, Word code)
{
    throw ETDBEngineError(engine, code);
}

void CheckEngineResult(TVirtEng* engine, Cardinal result)
{
    const Word code = Word(result & 0xFFFF);
    if (code != 0) RaiseEngineError(engine, code);
}
