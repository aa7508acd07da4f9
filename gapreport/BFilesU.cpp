#include "gapreport/BFilesU.h"

namespace BFilesU {

namespace {

THostFileLayer& Layer()
{
    static THostFileLayer layer({.Tagged = false, .NumberInInvalidFileText = true});
    return layer;
}

}  // namespace

void OpenHostFile(Byte n, const std::string& spec, SmallInt mode)
{
    Layer().OpenHostFile(n, spec, mode);
}

void CloseHostFile(Byte n)
{
    Layer().CloseHostFile(n);
}

void GetFirstRecord(Byte n, TDynCharArr& buffer, bool& endOfFile, bool lock)
{
    Layer().ReadWithoutKey(n, buffer, endOfFile, lock, BtrOperation::GetFirst);
}

Word GetRecordLength(Byte n)
{
    return Layer().GetRecordLength(n);
}

const TBtrFile& HostFileSlot(Byte n)
{
    return Layer().Slot(n);
}

void ShutdownHostFiles()
{
    Layer().Shutdown();
}

}  // namespace BFilesU
