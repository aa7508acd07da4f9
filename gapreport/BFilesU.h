// The report program's older record-file layer: 256 numbered files of its own beside the program's layer
// (BFilesU2), opened by their whole spec without tags or structures, read from their first record.
#pragma once

#include <string>

#include "hostdata/BFilesU2.h"

namespace BFilesU {

void OpenHostFile(Byte n, const std::string& spec, SmallInt mode);
void CloseHostFile(Byte n);
void GetFirstRecord(Byte n, TDynCharArr& buffer, bool& endOfFile, bool lock);
// The record length of file n as the record manager reported it at the open.
Word GetRecordLength(Byte n);

const TBtrFile& HostFileSlot(Byte n);
// Closes every file and stops this layer's start of the record manager; done at program end.
void ShutdownHostFiles();

}  // namespace BFilesU
