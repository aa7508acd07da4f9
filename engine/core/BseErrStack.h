// The engine's error stack: the failures the facade recorded, newest first.
#pragma once

#include <memory>
#include <string>

#include "engine/core/BseError.h"
#include "rtl/Objects.h"

#pragma pack(push, 1)
struct TErrorEntry {
    Integer NativeCode;
    char NativeText[261];
    Word Code;
    char CodeName[128];
    char Context[4][128];  // one text, written from the start of the first slot
};
#pragma pack(pop)
static_assert(sizeof(TErrorEntry) == 907);

class TErrorStack : public TObject {
    DUN_CLASS(TErrorStack, TObject)
public:
    static constexpr Word MaxCapacity = 20;
    // Longest entry text handed to a caller.
    static constexpr size_t EntryTextMax = 260;

    explicit TErrorStack(Word capacity);

    void Clear() { count_ = 0; }
    void Push(const TErrorEntry& entry);
    void PushException(const EBoreaEngineError& error);
    // index is 1-based, 1 = newest; false outside 1..Count.
    bool GetEntry(Word index, TErrorEntry& entry) const;
    bool HasEntries() const { return count_ > 0; }
    Word Count() const { return count_; }

    // The text of entry index (native text, code name and context, one piece a line), cut to EntryTextMax;
    // returns the entry's code, or 0 (text untouched) when there is no such entry.
    Word GetEntryText(Word index, std::string& text) const;

private:
    Word capacity_;
    Word count_ = 0;
    std::unique_ptr<TErrorEntry[]> entries_;  // allocated at the first push
};
