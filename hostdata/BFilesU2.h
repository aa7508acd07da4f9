// Numbered direct access to host record files through the record manager: up to 256 open files, reads into a
// caller's buffer, insert and delete, lock retries with a question to the user. Every failure is an EAbort whose
// text names the operation and the record-manager status.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "engine/btrieve/BtrWObj.h"
#include "rtl/Objects.h"
#include "rtl/Types.h"

using TDynCharArr = std::vector<char>;

// The record-manager operations callers pass to the keyed reads.
namespace BtrOperation {
constexpr Word GetEqual = 5;
constexpr Word GetNext = 6;
constexpr Word GetPrev = 7;
constexpr Word GetGreater = 8;
constexpr Word GetGreaterOrEqual = 9;
constexpr Word GetLess = 10;
constexpr Word GetLessOrEqual = 11;
constexpr Word GetFirst = 12;
}  // namespace BtrOperation

// The record buffer of a file opened under a tag with a record length.
class TOVFileStructure : public TObject {
    DUN_CLASS(TOVFileStructure, TObject)
public:
    TDynCharArr Buffer;
    Byte FileNumber = 0;
    bool EndOfFile = false;

    void SetBufferLength(size_t length) { Buffer.assign(length, '\0'); }

    // The first or next record of the structure's file into Buffer, without a lock; EndOfFile after the last.
    void GetFirst();
    void GetNext();
    // GetRecordByKeyKind on the structure's file into Buffer; true when found.
    bool GetByKey(const std::string& key, int kind);
    // The buffer itself, not a copy: the next read through the structure overwrites it.
    TDynCharArr& GetBuffer() { return Buffer; }
    bool GetEndOfFile() const { return EndOfFile; }
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

// What sets an older variant of the layer apart.
struct THostFileLayerVariant {
    // A spec's ";TAG" selects a structure; otherwise the whole spec is the path and no slot has a structure.
    bool Tagged = true;
    // "Filenumber 7 is not valid!" rather than "Filenumber is not valid!".
    bool NumberInInvalidFileText = false;
};

// One set of 256 slots with its own start of the record manager (stopped by Shutdown, or when the program ends).
class THostFileLayer {
public:
    explicit THostFileLayer(THostFileLayerVariant variant = {}) : variant_(variant) {}
    THostFileLayer(const THostFileLayer&) = delete;
    THostFileLayer& operator=(const THostFileLayer&) = delete;

    void OpenHostFile(Byte n, const std::string& spec, SmallInt mode);
    void CloseHostFile(Byte n);
    bool IsFileOpen(Byte n) const;
    void SetFileIndex(Byte n, Byte key);
    // A read without a key (operation GetFirst, GetNext or GetPrev), retried while the record is locked.
    void ReadWithoutKey(Byte n, TDynCharArr& buffer, bool& endOfFile, bool lock, Word operation);
    // One keyed read without retry; a locked record sets locked and reads as not found.
    bool ExecuteKeyedOperation(Byte n, const std::string& key, TDynCharArr& buffer, bool& locked, bool& endOfFile,
                               Word operation);
    bool GetEqualRecord(Byte n, const std::string& key, TDynCharArr& buffer, bool lock);
    void InsertRecord(Byte n, const std::string& text);
    void DeleteCurrentRecord(Byte n);
    // The record length of file n as the record manager reports it.
    Word GetRecordLength(Byte n);
    // The slot's file object; raises when the record manager is not loaded or the slot is free.
    TWinBtr& CheckFileNumber(Byte n);
    // Raises for a buffer shorter than the file's records.
    void CheckRecordBuffer(TWinBtr& file, const TDynCharArr& buffer);

    const TBtrFile& Slot(Byte n) const { return slots_[n]; }
    std::shared_ptr<TOVFileStructure> TagStructure(HostFileTag tag) const { return tagStructures_[size_t(tag)]; }

    // Closes every file, frees the structures and stops this layer's start of the record manager.
    void Shutdown();

private:
    bool LoadBtrieveDll(std::string& errorText, size_t maxLength);
    std::shared_ptr<TOVFileStructure> MakeTagStructure(const std::string& tag, Byte n);
    void ExecuteRecordOperation(Byte n, TDynCharArr& buffer, bool& endOfFile, bool& locked, Word operation);
    bool RetryLockedOperation(Byte n, TDynCharArr& buffer, const std::string* key, Word operation, bool& endOfFile);
    void RetryDeleteRecord(Byte n);
    void FreeAllFileSlots();

    THostFileLayerVariant variant_;
    bool requesterLoaded_ = false;
    std::array<TBtrFile, HostFileSlotCount> slots_;
    std::array<std::shared_ptr<TOVFileStructure>, HostFileTagCount> tagStructures_;
};

// The host data directory, without a trailing backslash; the file-name table opens its files there.
extern std::string HostDataDirectory;

// The program's layer.
void OpenHostFile(Byte n, const std::string& spec, SmallInt mode);
void CloseHostFile(Byte n);
bool IsFileOpen(Byte n);
// The key later reads of file n use; a key number the file does not have is refused with status 6.
void SetFileIndex(Byte n, Byte key);
void GetFirstRecord(Byte n, TDynCharArr& buffer, bool& endOfFile, bool lock);
void GetNextRecord(Byte n, TDynCharArr& buffer, bool& endOfFile, bool lock);
void GetPrevRecord(Byte n, TDynCharArr& buffer, bool& endOfFile, bool lock);
bool GetEqualRecord(Byte n, const std::string& key, TDynCharArr& buffer, bool lock);
bool ExecuteKeyedOperation(Byte n, const std::string& key, TDynCharArr& buffer, bool& locked, bool& endOfFile,
                           Word operation);
// A keyed read without lock or retry by kind: 0 equal, 1 greater, 2 less, 3 greater or equal, 4 less or equal.
// Another kind reads nothing; a locked record reads as not found. True when found.
bool GetRecordByKeyKind(Byte n, const std::string& key, TDynCharArr& buffer, bool& endOfFile, int kind);
// Inserts four zero bytes (the autoincrement field, numbered by the record manager) followed by text.
void InsertRecord(Byte n, const std::string& text);
void DeleteCurrentRecord(Byte n);

// Opens entry n of the host file-name table in the data directory under number n, unless n is open. A failure
// shows an error box naming the entry and ends the program (Application terminated, EAbort raised).
void OpenHostFileByNumber(Byte n);

const TBtrFile& HostFileSlot(Byte n);
// The structure of the latest open under tag (none before).
std::shared_ptr<TOVFileStructure> HostTagStructure(HostFileTag tag);

// Closes every file, frees the structures and stops the record manager; done at program end.
void ShutdownHostFiles();
