// Numbered direct access to host record files through the record manager: up to 256 open files, reads into a
// caller's buffer, insert and delete, lock retries with a question to the user. Every failure is an EAbort whose
// text names the operation and the record-manager status.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/btrieve/BtrWObj.h"
#include "rtl/Objects.h"
#include "rtl/Types.h"

using TDynCharArr = std::vector<char>;

// The record buffer of a file opened under a tag with a record length.
class TOVFileStructure : public TObject {
    DUN_CLASS(TOVFileStructure, TObject)
public:
    TDynCharArr Buffer;
    Byte FileNumber = 0;
    bool EndOfFile = false;

    void SetBufferLength(size_t length) { Buffer.assign(length, '\0'); }
};

// The tags of a host file spec ("path;TAG"), in their order.
enum class HostFileTag {
    CL, FE, MC, MT, MR, CA, EM, FS, CD, TB, AD, SC, SO, BI, MO,
    M2, DC, DI, TA, TD, HF, RD, LI, TF, TI, YE, NT, YG, CF
};
constexpr int HostFileTagCount = 29;

struct THostFileTagInfo {
    const char* Name;
    int RecordLength;  // -1: the tag gives no structure
};
const THostFileTagInfo& HostFileTagInfo(HostFileTag tag);

// A file spec split into its path and tag; the tag is empty without ";".
struct THostFileSpec {
    std::string Path;
    std::string Tag;
};
THostFileSpec SplitHostFileSpec(const std::string& spec);

struct TBtrFile {
    std::string Path;
    std::shared_ptr<TOVFileStructure> Structure;
    std::unique_ptr<TWinBtr> File;
};

constexpr int HostFileSlotCount = 256;
constexpr Cardinal LockRetryPeriodMs = 3000;

void OpenHostFile(Byte n, const std::string& spec, SmallInt mode);
void CloseHostFile(Byte n);
bool IsFileOpen(Byte n);
// The key later reads of file n use; a key number the file does not have is refused with status 6.
void SetFileIndex(Byte n, Byte key);
void GetFirstRecord(Byte n, TDynCharArr& buffer, bool& endOfFile, bool lock);
void GetNextRecord(Byte n, TDynCharArr& buffer, bool& endOfFile, bool lock);
void GetPrevRecord(Byte n, TDynCharArr& buffer, bool& endOfFile, bool lock);
bool GetEqualRecord(Byte n, const std::string& key, TDynCharArr& buffer, bool lock);
// Inserts four zero bytes (the autoincrement field, numbered by the record manager) followed by text.
void InsertRecord(Byte n, const std::string& text);
void DeleteCurrentRecord(Byte n);

const TBtrFile& HostFileSlot(Byte n);
// The structure of the latest open under tag (none before).
std::shared_ptr<TOVFileStructure> HostTagStructure(HostFileTag tag);

// Closes every file, frees the structures and stops the record manager; done at program end.
void ShutdownHostFiles();
