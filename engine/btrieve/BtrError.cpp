#include "engine/btrieve/BtrError.h"

#include "engine/btrieve/BtrLoad.h"

namespace {

constexpr Word S(int status) { return Word(SmallInt(status)); }

constexpr TStatusCodePair kStatusMap[] = {
    {0, DBIERR_NONE},
    {1, DBIERR_INVALIDPARAM},
    {2, DBIERR_READERR},
    {3, DBIERR_READERR},
    {4, DBIERR_RECNOTFOUND},
    {5, DBIERR_NOUNIQUERECS},
    {6, DBIERR_NOSUCHINDEX},
    {7, DBIERR_INVALIDINDEXNAME},
    {8, DBIERR_NOCURRREC},
    {9, DBIERR_EOF},
    {10, DBIERR_KEYVIOL},
    {11, DBIERR_INVALIDFILENAME},
    {12, DBIERR_NOSUCHFILE},
    {13, DBIERR_UNKNOWNFILE},
    {14, DBIERR_UNKNOWNFILE},
    {15, DBIERR_READERR},
    {16, DBIERR_WRITEERR},
    {17, DBIERR_CANNOTCLOSE},
    {18, DBIERR_NODISKSPACE},
    {19, DBIERR_SYSCORRUPT},
    {20, DBIERR_NOTINITIALIZED},
    {35, DBIERR_INVALIDDIR},
    {42, DBIERR_LOSTEXCLACCESS},
    {47, DBIERR_NOFILEHANDLES},
    {51, DBIERR_INVALIDPASSWORD},
    {66, DBIERR_DBLIMIT},
    {78, DBIERR_DEADLOCK},
    {80, DBIERR_FILEBUSY},
    {81, DBIERR_LOCKED},
    {82, DBIERR_NOCURRREC},
    {84, DBIERR_LOCKED},
    {85, DBIERR_FILEBUSY},
    {86, DBIERR_OPENTBLLIMIT},
    {87, DBIERR_CURSORLIMIT},
    {88, DBIERR_INVALIDMODE},
    {91, DBIERR_OSUNKNOWNSRVERR},
    {101, DBIERR_NOMEMORY},
    {130, DBIERR_LOCKFILELIMIT},
    {133, DBIERR_USECOUNT},
    {204, DBIERR_NOSUCHTABLE},
    {205, DBIERR_INVALIDPASSWORD},
    {206, DBIERR_CURSORLIMIT},
    {209, DBIERR_INVALIDUSRPASS},
    {211, DBIERR_RECTOOBIG},
    {231, DBIERR_INVALIDRECSTRUCT},
    {285, DBIERR_NOTABLESUPPORT},
    {348, DBIERR_UNKNOWNDB},
    {538, DBIERR_INVALIDIDXDESC},
    {2120, DBIERR_CLIENTSLIMIT},
    {S(-109), DBIERR_EOF},
    {S(-101), DBIERR_NONE}, {S(-102), DBIERR_NONE}, {S(-103), DBIERR_NONE}, {S(-104), DBIERR_NONE},
    {S(-105), DBIERR_NONE}, {S(-106), DBIERR_NONE}, {S(-107), DBIERR_NONE},
    {S(-110), DBIERR_NONE}, {S(-111), DBIERR_NONE}, {S(-112), DBIERR_NONE}, {S(-113), DBIERR_NONE},
    {S(-114), DBIERR_NONE}, {S(-115), DBIERR_NONE}, {S(-116), DBIERR_NONE},
};

Word StatusCode(SmallInt status)
{
    return MapStatusToCode(kStatusMap, Integer(std::size(kStatusMap)), Word(status));
}

}  // namespace

std::span<const TStatusCodePair> BtrieveStatusMap()
{
    return kStatusMap;
}

std::string BtrieveStatusText(Integer status)
{
    return LoadProgramString(BtrieveStatusTextBase + status);
}

EBtrieveEngineError::EBtrieveEngineError(SmallInt status) : EBoreaEngineError(StatusCode(status))
{
    SetNativeCode(status);
}

EBtrieveEngineError::EBtrieveEngineError(SmallInt status, const std::string& text)
        : EBtrieveEngineError(status)
{
    attachedText_ = text.substr(0, EngineErrorTextMax);
}

void EBtrieveEngineError::GetNativeText(std::string& text) const
{
    const std::string number = std::to_string(NativeCode());
    const std::string statusText = BtrieveStatusText(NativeCode());
    if (statusText.empty()) {
        text = "Btrieve Error " + number + ".";
    } else {
        text = "Btrieve Status " + number + " - " + statusText + ".";
        if (!attachedText_.empty()) text += "\r\nKey=[" + attachedText_ + "]";
    }
    if (text.size() > EngineErrorTextMax) text.resize(EngineErrorTextMax);
}

void RaiseBtrieveError(SmallInt status)
{
    if (status == BtrStatus::EndOfFile) RaiseEOF();
    throw EBtrieveEngineError(status);
}

void RaiseBtrieveErrorWithText(SmallInt status, const std::string& text)
{
    if (status == BtrStatus::EndOfFile) RaiseEOF();
    throw EBtrieveEngineError(status, text);
}

void CheckSqlStatus(SmallInt status)
{
    if (status == BtrStatus::Ok) return;
    if (status == BtrStatus::EndOfFile) RaiseEOF();
    RaiseSqlError(status);
}

void RaiseSqlError(SmallInt status)
{
    throw EScalableSQLEngineError(status);
}

void RaiseSqlErrorWithText(SmallInt status, const std::string& text)
{
    throw EScalableSQLEngineError(status, text);
}
