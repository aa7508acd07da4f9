#include "gapreport/ReportBinU.h"

#include "gapreport/BFilesU.h"
#include "rtl/Exceptions.h"

std::string SysopDateFormat;

namespace {

constexpr Byte SysopFile = 19;
constexpr size_t DateFormatOffset = 22;

std::string ReadDateFormatLetter()
{
    TDynCharArr record(BFilesU::GetRecordLength(SysopFile));
    bool endOfFile = false;
    BFilesU::GetFirstRecord(SysopFile, record, endOfFile, false);
    if (endOfFile || record.size() <= DateFormatOffset) return "";
    return std::string(1, record[DateFormatOffset]);
}

}  // namespace

void ReadSysopDateFormat()
{
    BFilesU::OpenHostFile(SysopFile, HostDataDirectory + "\\sysop.qc", 0);
    std::string letter;
    try {
        letter = ReadDateFormatLetter();
    } catch (const Exception&) {
        try {
            BFilesU::CloseHostFile(SysopFile);
        } catch (const Exception&) {
        }
        throw;
    }
    BFilesU::CloseHostFile(SysopFile);
    SysopDateFormat = letter;
}
