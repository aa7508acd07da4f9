#include "engine/core/BseError.h"

#include "rtl/WinApi.h"

namespace {

std::string CutText(const std::string& text)
{
    return text.substr(0, EngineErrorTextMax);
}

}  // namespace

EBoreaEngineError::EBoreaEngineError(Word code) : EAbort(std::string()), code_(code) {}

EBoreaEngineError::EBoreaEngineError(Word code, const std::string& text)
        : EAbort(std::string()), code_(code), text_(CutText(text))
{
}

void EBoreaEngineError::GetNativeText(std::string& text) const
{
    text.clear();
}

void RaiseEngineError(Word code)
{
    throw EBoreaEngineError(code);
}

void RaiseEngineErrorText(Word code, const std::string& text)
{
    throw EBoreaEngineError(code, text);
}

void RaiseEOF()
{
    throw EBoreaEOFError();
}

void RaiseBOF()
{
    throw EBoreaBOFError();
}

bool CheckCondition(bool condition, Word code)
{
    if (!condition) RaiseEngineError(code);
    return true;
}

void RaiseNotSupported(Integer textId)
{
    RaiseEngineErrorText(DBIERR_NOTSUPPORTED, LoadProgramString(textId));
}

Word MapStatusToCode(const TStatusCodePair* pairs, Integer count, Word status)
{
    if (status == 0 || count <= 0) return status;
    for (Integer i = 0; i < count; ++i) {
        if (pairs[i].Status == status) return pairs[i].Code;
    }
    return status;
}

std::string LoadProgramString(Integer id)
{
    if (id < 0 || id > 0xFFFF) return std::string();
    char text[1024];
    const int length = LoadStringA(GetModuleHandleA(nullptr), UINT(id), text, sizeof(text));
    return length > 0 ? std::string(text, length) : std::string();
}
