#include "hostdata/BFilesU2.h"

#include <algorithm>
#include <cstring>

#include "engine/btrieve/BtrError.h"
#include "engine/btrieve/BtrLoad.h"
#include "hostdata/OVWCon.h"
#include "rtl/SysUtils.h"
#include "vcl/Dialogs.h"
#include "vcl/Forms.h"

std::string HostDataDirectory;

namespace {

namespace Op {
constexpr Word Insert = 2;
using namespace BtrOperation;
}  // namespace Op

constexpr Word SingleNoWaitLockBias = 200;
constexpr SmallInt IncompatibleOpenMode = 88;
constexpr SmallInt KeyBufferTooShort = 21;
constexpr size_t AutoIncrementLength = 4;
constexpr size_t MaxErrorTextLength = 255;
constexpr Word KeyNumbersGivenFlag = 0x0400;
constexpr size_t KeyNumberOffset = 14;

const THostFileTagInfo TagTable[HostFileTagCount] = {
    {"CL", 393}, {"FE", 80}, {"MC", -1}, {"MT", -1}, {"MR", -1}, {"CA", 439}, {"EM", 74}, {"FS", 40},
    {"CD", 70},  {"TB", 144}, {"AD", -1}, {"SC", 2404}, {"SO", 504}, {"BI", 86}, {"MO", 0}, {"M2", -1},
    {"DC", 779}, {"DI", -1}, {"TA", -1}, {"TD", -1}, {"HF", -1}, {"RD", -1}, {"LI", 48}, {"TF", 75},
    {"TI", 127}, {"YE", 24}, {"NT", 97}, {"YG", 24}, {"CF", 178}};

// The host files by number, each with its tag and the key it is read by; 13 (the history bill file) and numbers
// past 15 open nothing.
struct THostFileEntry {
    const char* Spec;
    Byte Key;
};
const THostFileEntry HostFileTable[] = {
    {nullptr, 0},           {"YClient.qf;CL", 1},  {"YCase.qf;CA", 1},  {"YEmpl.qf;EM", 1}, {"FSplit.qf;FS", 2},
    {"Cdesc.qf;CD", 1},     {"YTable.qf;TB", 3},   {"CaseAddr.qf;AD", 1}, {"TSC.qc;SC", 1}, {"Sysop.qc;SO", 0},
    {"Fee.qf;FE", 1},       {"Bill.qf;BI", 1},     {"HFee.qf;HF", 1},   {nullptr, 0},      {"Cal.qf;DC", 2},
    {"TrDesc.qf;TD", 1}};

// The keyed operations of GetRecordByKeyKind, by kind.
const Word KeyKindOperations[] = {Op::GetEqual, Op::GetGreater, Op::GetLess, Op::GetGreaterOrEqual,
                                  Op::GetLessOrEqual};

[[noreturn]] void Fail(const std::string& text)
{
    throw EAbort(text);
}

std::string StatusLines(SmallInt status)
{
    return "Btrieve status " + IntToStr(status) + ".\r" + BtrieveStatusText(status);
}

bool IsLockStatus(SmallInt status)
{
    return status == BtrStatus::RecordLocked || status == BtrStatus::FileLocked;
}

Cardinal LockRetryDeadline()
{
    return TickCount() + LockRetryPeriodMs;
}

// Compares through the signed distance, so the tick counter's wrap does not matter.
bool DeadlinePassed(Cardinal deadline)
{
    return Integer(TickCount() - deadline) > 0;
}

bool AskRetry(const std::string& question)
{
    return MessageDlg(question, mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0) == mrYes;
}

// Shuts the layers down when the program ends. Made at the first start of the record manager, after its binding,
// so it ends before the binding does.
class TLayerFinalizer {
public:
    void Add(THostFileLayer* layer)
    {
        if (std::find(layers_.begin(), layers_.end(), layer) == layers_.end()) layers_.push_back(layer);
    }
    ~TLayerFinalizer()
    {
        for (THostFileLayer* layer : layers_) layer->Shutdown();
    }

private:
    std::vector<THostFileLayer*> layers_;
};

void ShutDownAtProgramEnd(THostFileLayer* layer)
{
    static TLayerFinalizer finalizer;
    finalizer.Add(layer);
}

// The status of one call on the caller's buffer.
SmallInt RunOnBuffer(TWinBtr& file, Word operation, void* buffer, Word length)
{
    try {
        file.ExecuteOnBuffer(operation, buffer, length);
        return BtrStatus::Ok;
    } catch (const EBoreaEngineError&) {
        return file.GetStatus();
    }
}

SmallInt OpenStatus(TWinBtr& file, const std::string& path, SmallInt mode)
{
    try {
        file.Open(path, nullptr, ShortInt(mode));
        return BtrStatus::Ok;
    } catch (const EBoreaEngineError&) {
        return file.GetStatus();
    }
}

[[noreturn]] void FailOpen(const std::string& spec, SmallInt status)
{
    Fail("The file " + spec + " could not be opened.\r\r" + StatusLines(status) + ".");
}

[[noreturn]] void FailLocate(SmallInt status)
{
    Fail("A record could not be located in the file.\r\r" + StatusLines(status));
}

[[noreturn]] void FailDelete(SmallInt status)
{
    Fail("This record could not be deleted.\r" + StatusLines(status));
}

void CopyKeyToKeyBuffer(const std::string& key, Byte (&keyBuffer)[TWinBtr::KeyBufferSize])
{
    std::memset(keyBuffer, 0, sizeof(keyBuffer));
    std::memcpy(keyBuffer, key.data(), key.size());
}

const THostFileTagInfo* FindTag(const std::string& tag)
{
    for (const THostFileTagInfo& info : TagTable) {
        if (tag == info.Name) return &info;
    }
    return nullptr;
}

SmallInt DeleteStatus(TWinBtr& file)
{
    try {
        file.Delete();
        return BtrStatus::Ok;
    } catch (const EBoreaEngineError&) {
        return file.GetStatus();
    }
}

Word StatWord(const std::vector<Byte>& stat, size_t offset)
{
    return Word(stat[offset] | stat[offset + 1] << 8);
}

// Whether the open file has the key number: its keys are numbered by their order unless the file gives numbers.
bool FileHasKey(TWinBtr& file, Byte key)
{
    std::vector<Byte> stat(TWinBtr::StatBufferSize);
    file.GetStat(stat.data());
    const Integer keys = StatWord(stat, 4);
    const bool numbersGiven = (StatWord(stat, 10) & KeyNumbersGivenFlag) != 0;
    size_t segment = TWinBtr::FileSpecSize;
    for (Integer ordinal = 0; ordinal < keys && segment + TWinBtr::SegmentSpecSize <= stat.size(); ++ordinal) {
        if ((numbersGiven ? stat[segment + KeyNumberOffset] : ordinal) == key) return true;
        while (segment + TWinBtr::SegmentSpecSize <= stat.size() &&
               (StatWord(stat, segment + 4) & TWinBtr::SegmentContinues)) {
            segment += TWinBtr::SegmentSpecSize;
        }
        segment += TWinBtr::SegmentSpecSize;
    }
    return false;
}

THostFileLayer& ProgramLayer()
{
    static THostFileLayer layer;
    return layer;
}

// Shows why a numbered file cannot be opened and ends the program; the operation that needed it is not done.
[[noreturn]] void EndProgramWithoutFile(const std::string& spec)
{
    MessageDlg("Unable to open " + spec + ".\r\rYou will not be able to perform this operation at this time.\r\r" +
                       ContactForAssistanceText,
               mtError, TMsgDlgButtons{mbOK}, 0);
    Application->Terminate();
    Abort();
}

}  // namespace

// ---- THostFileLayer

bool THostFileLayer::LoadBtrieveDll(std::string& errorText, size_t maxLength)
{
    const SmallInt status = StartBtrieveRequester(nullptr, DefaultRequesterDll);
    if (status != BtrStatus::Ok && status != BtrStatus::AlreadyInitialized) {
        errorText = BtrieveStatusText(status).substr(0, maxLength);
        return false;
    }
    ShutDownAtProgramEnd(this);
    requesterLoaded_ = true;
    return true;
}

TWinBtr& THostFileLayer::CheckFileNumber(Byte n)
{
    if (!requesterLoaded_) Fail("WBTRV32.DLL is not loaded!");
    if (!slots_[n].File) {
        Fail(variant_.NumberInInvalidFileText ? "Filenumber " + IntToStr(n) + " is not valid!"
                                               : "Filenumber is not valid!");
    }
    return *slots_[n].File;
}

void THostFileLayer::CheckRecordBuffer(TWinBtr& file, const TDynCharArr& buffer)
{
    if (buffer.empty() || buffer.size() < file.GetRecordLength()) Fail("Databuffer is invalid!");
}

// A new structure for a tag with a record length, kept as that tag's latest; none for any other tag.
std::shared_ptr<TOVFileStructure> THostFileLayer::MakeTagStructure(const std::string& tag, Byte n)
{
    const THostFileTagInfo* info = FindTag(tag);
    if (!info || info->RecordLength < 0) return nullptr;
    auto structure = std::make_shared<TOVFileStructure>();
    structure->SetBufferLength(size_t(info->RecordLength));
    structure->FileNumber = n;
    tagStructures_[size_t(info - TagTable)] = structure;
    return structure;
}

void THostFileLayer::ExecuteRecordOperation(Byte n, TDynCharArr& buffer, bool& endOfFile, bool& locked,
                                            Word operation)
{
    locked = false;
    TWinBtr& file = CheckFileNumber(n);
    CheckRecordBuffer(file, buffer);
    endOfFile = false;
    const SmallInt status = RunOnBuffer(file, operation, buffer.data(), file.GetRecordLength());
    if (status == BtrStatus::Ok) return;
    if (status == BtrStatus::EndOfFile) {
        endOfFile = true;
    } else if (IsLockStatus(status)) {
        locked = true;
    } else {
        Fail("A record could not be read from the file.\r\r" + StatusLines(status));
    }
}

bool THostFileLayer::ExecuteKeyedOperation(Byte n, const std::string& key, TDynCharArr& buffer, bool& locked,
                                           bool& endOfFile, Word operation)
{
    locked = false;
    endOfFile = false;
    TWinBtr& file = CheckFileNumber(n);
    CheckRecordBuffer(file, buffer);
    if (key.size() > size_t(TWinBtr::KeyBufferSize)) {
        file.SetStatus(KeyBufferTooShort);
        FailLocate(KeyBufferTooShort);
    }
    SmallInt status = BtrStatus::FileNotOpen;
    if (file.IsOpen()) {
        Byte keyBuffer[TWinBtr::KeyBufferSize];
        CopyKeyToKeyBuffer(key, keyBuffer);
        std::memcpy(file.KeyBuffer(), keyBuffer, sizeof(keyBuffer));
        status = RunOnBuffer(file, operation, buffer.data(), file.GetRecordLength());
    }
    switch (status) {
    case BtrStatus::Ok: return true;
    case BtrStatus::RecordLocked:
    case BtrStatus::FileLocked: locked = true; return false;
    case BtrStatus::KeyNotFound: return false;
    case BtrStatus::EndOfFile: endOfFile = true; return false;
    default: FailLocate(status);
    }
}

// Repeats a locked read at once until the deadline, then asks whether to go on.
bool THostFileLayer::RetryLockedOperation(Byte n, TDynCharArr& buffer, const std::string* key, Word operation,
                                          bool& endOfFile)
{
    Cardinal deadline = LockRetryDeadline();
    bool result = true;
    for (;;) {
        bool locked = false;
        if (key) {
            result = ExecuteKeyedOperation(n, *key, buffer, locked, endOfFile, operation);
        } else {
            ExecuteRecordOperation(n, buffer, endOfFile, locked, operation);
        }
        if (!locked) return result;
        if (!DeadlinePassed(deadline)) continue;
        if (!AskRetry("A record lock was encountered.  Retry?")) Fail("A record lock was encountered.");
        deadline = LockRetryDeadline();
    }
}

void THostFileLayer::ReadWithoutKey(Byte n, TDynCharArr& buffer, bool& endOfFile, bool lock, Word operation)
{
    if (lock) operation += SingleNoWaitLockBias;
    bool locked = false;
    ExecuteRecordOperation(n, buffer, endOfFile, locked, operation);
    if (locked) RetryLockedOperation(n, buffer, nullptr, operation, endOfFile);
}

void THostFileLayer::RetryDeleteRecord(Byte n)
{
    Cardinal deadline = LockRetryDeadline();
    for (;;) {
        const SmallInt status = DeleteStatus(CheckFileNumber(n));
        if (status == BtrStatus::Ok) return;
        if (!IsLockStatus(status)) FailDelete(status);
        if (!DeadlinePassed(deadline)) continue;
        if (!AskRetry("A record lock was encountered.  Retry?")) Fail("A record lock was encountered.");
        deadline = LockRetryDeadline();
    }
}

void THostFileLayer::FreeAllFileSlots()
{
    for (TBtrFile& slot : slots_) {
        slot.File.reset();
        slot.Structure.reset();
        slot.Path.clear();
    }
}

void THostFileLayer::OpenHostFile(Byte n, const std::string& spec, SmallInt mode)
{
    if (!requesterLoaded_) {
        std::string errorText;
        if (!LoadBtrieveDll(errorText, MaxErrorTextLength)) return;
    }
    Cardinal deadline = LockRetryDeadline();
    TBtrFile& slot = slots_[n];
    if (slot.File) Fail("File already opened as number " + IntToStr(n) + ":\r" + slot.Path);
    const THostFileSpec parts = variant_.Tagged ? SplitHostFileSpec(spec) : THostFileSpec{spec, ""};
    auto file = std::make_unique<TWinBtr>(nullptr);
    for (;;) {
        const SmallInt status = OpenStatus(*file, parts.Path, mode);
        if (status == BtrStatus::Ok) break;
        if (status != BtrStatus::FileLocked && status != IncompatibleOpenMode) FailOpen(spec, status);
        if (!DeadlinePassed(deadline)) continue;
        if (!AskRetry("File:  " + spec + "\r\rA file lock was encountered.  Retry?")) FailOpen(spec, status);
        deadline = LockRetryDeadline();
    }
    slot.File = std::move(file);
    slot.Path = parts.Path;
    slot.Structure = MakeTagStructure(parts.Tag, n);
}

void THostFileLayer::CloseHostFile(Byte n)
{
    TBtrFile& slot = slots_[n];
    if (!slot.File || !slot.File->IsOpen()) return;
    try {
        slot.File->Close();
    } catch (const EBoreaEngineError&) {
        Fail("The file " + slot.Path + " could not be closed.\r\r" + StatusLines(slot.File->GetStatus()));
    }
    slot.Path.clear();
    slot.Structure.reset();
    slot.File.reset();
}

bool THostFileLayer::IsFileOpen(Byte n) const
{
    return slots_[n].File && slots_[n].File->IsOpen();
}

void THostFileLayer::SetFileIndex(Byte n, Byte key)
{
    TWinBtr& file = CheckFileNumber(n);
    if (!FileHasKey(file, key)) {
        file.SetStatus(BtrStatus::InvalidKeyNumber);
        Fail("Unable to set an index for file #" + IntToStr(n) + ".\r\r" + StatusLines(BtrStatus::InvalidKeyNumber));
    }
    file.SetKeyNumber(ShortInt(key));
}

bool THostFileLayer::GetEqualRecord(Byte n, const std::string& key, TDynCharArr& buffer, bool lock)
{
    const Word operation = Op::GetEqual + (lock ? SingleNoWaitLockBias : 0);
    bool locked = false;
    bool endOfFile = false;
    const bool found = ExecuteKeyedOperation(n, key, buffer, locked, endOfFile, operation);
    if (!found && locked) return RetryLockedOperation(n, buffer, &key, operation, endOfFile);
    return found;
}

void THostFileLayer::InsertRecord(Byte n, const std::string& text)
{
    TWinBtr& file = CheckFileNumber(n);
    std::string record(AutoIncrementLength, '\0');
    record += text;
    const SmallInt status = RunOnBuffer(file, Op::Insert, record.data(), Word(record.size()));
    if (status != BtrStatus::Ok) Fail("This record could not be written.\r" + StatusLines(status));
}

void THostFileLayer::DeleteCurrentRecord(Byte n)
{
    const SmallInt status = DeleteStatus(CheckFileNumber(n));
    if (status == BtrStatus::Ok) return;
    if (!IsLockStatus(status)) FailDelete(status);
    RetryDeleteRecord(n);
}

Word THostFileLayer::GetRecordLength(Byte n)
{
    TWinBtr& file = CheckFileNumber(n);
    try {
        return file.GetRecordLength();
    } catch (const EBoreaEngineError&) {
        Fail("Unable to retrieve record length.\r\r" + StatusLines(file.GetStatus()));
    }
}

void THostFileLayer::Shutdown()
{
    for (auto& structure : tagStructures_) structure.reset();
    FreeAllFileSlots();
    if (requesterLoaded_) StopBtrieveRequester();
    requesterLoaded_ = false;
}

// ---- TOVFileStructure

void TOVFileStructure::GetFirst()
{
    GetFirstRecord(FileNumber, Buffer, EndOfFile, false);
}

void TOVFileStructure::GetNext()
{
    GetNextRecord(FileNumber, Buffer, EndOfFile, false);
}

bool TOVFileStructure::GetByKey(const std::string& key, int kind)
{
    return GetRecordByKeyKind(FileNumber, key, Buffer, EndOfFile, kind);
}

// ---- the program's layer

const THostFileTagInfo& HostFileTagInfo(HostFileTag tag)
{
    return TagTable[size_t(tag)];
}

THostFileSpec SplitHostFileSpec(const std::string& spec)
{
    const size_t separator = spec.find(';');
    if (separator == std::string::npos) return {spec, ""};
    return {spec.substr(0, separator), spec.substr(separator + 1)};
}

void OpenHostFile(Byte n, const std::string& spec, SmallInt mode)
{
    ProgramLayer().OpenHostFile(n, spec, mode);
}

void CloseHostFile(Byte n)
{
    ProgramLayer().CloseHostFile(n);
}

bool IsFileOpen(Byte n)
{
    return ProgramLayer().IsFileOpen(n);
}

void SetFileIndex(Byte n, Byte key)
{
    ProgramLayer().SetFileIndex(n, key);
}

void GetFirstRecord(Byte n, TDynCharArr& buffer, bool& endOfFile, bool lock)
{
    ProgramLayer().ReadWithoutKey(n, buffer, endOfFile, lock, Op::GetFirst);
}

void GetNextRecord(Byte n, TDynCharArr& buffer, bool& endOfFile, bool lock)
{
    ProgramLayer().ReadWithoutKey(n, buffer, endOfFile, lock, Op::GetNext);
}

void GetPrevRecord(Byte n, TDynCharArr& buffer, bool& endOfFile, bool lock)
{
    ProgramLayer().ReadWithoutKey(n, buffer, endOfFile, lock, Op::GetPrev);
}

bool GetEqualRecord(Byte n, const std::string& key, TDynCharArr& buffer, bool lock)
{
    return ProgramLayer().GetEqualRecord(n, key, buffer, lock);
}

bool ExecuteKeyedOperation(Byte n, const std::string& key, TDynCharArr& buffer, bool& locked, bool& endOfFile,
                           Word operation)
{
    return ProgramLayer().ExecuteKeyedOperation(n, key, buffer, locked, endOfFile, operation);
}

bool GetRecordByKeyKind(Byte n, const std::string& key, TDynCharArr& buffer, bool& endOfFile, int kind)
{
    if (kind < 0 || size_t(kind) >= std::size(KeyKindOperations)) return false;
    bool locked = false;
    return ExecuteKeyedOperation(n, key, buffer, locked, endOfFile, KeyKindOperations[kind]);
}

void InsertRecord(Byte n, const std::string& text)
{
    ProgramLayer().InsertRecord(n, text);
}

void DeleteCurrentRecord(Byte n)
{
    ProgramLayer().DeleteCurrentRecord(n);
}

void OpenHostFileByNumber(Byte n)
{
    if (n >= std::size(HostFileTable) || !HostFileTable[n].Spec || IsFileOpen(n)) return;
    const THostFileEntry& entry = HostFileTable[n];
    try {
        OpenHostFile(n, HostDataDirectory + "\\" + entry.Spec, 0);
        SetFileIndex(n, entry.Key);
    } catch (const Exception&) {
        EndProgramWithoutFile(entry.Spec);
    }
}

const TBtrFile& HostFileSlot(Byte n)
{
    return ProgramLayer().Slot(n);
}

std::shared_ptr<TOVFileStructure> HostTagStructure(HostFileTag tag)
{
    return ProgramLayer().TagStructure(tag);
}

void ShutdownHostFiles()
{
    ProgramLayer().Shutdown();
}
