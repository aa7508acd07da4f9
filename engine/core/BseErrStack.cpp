#include "engine/core/BseErrStack.h"

#include <algorithm>
#include <cstring>

#include "engine/core/BseErrName.h"

namespace {

// Copies text into a zero-terminated field of size bytes.
void CopyField(char* field, size_t size, const std::string& text)
{
    const size_t length = std::min(text.size(), size - 1);
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

// The zero-terminated text that starts at from and ends at the latest at end.
std::string ReadText(const char* from, const char* end)
{
    return std::string(from, std::find(from, end, '\0'));
}

void AppendLine(std::string& text, const std::string& piece)
{
    if (piece.empty()) return;
    if (!text.empty()) text += "\r\n";
    text += piece;
}

}  // namespace

TErrorStack::TErrorStack(Word capacity) : capacity_(std::min(capacity, MaxCapacity)) {}

void TErrorStack::Push(const TErrorEntry& entry)
{
    if (capacity_ == 0) return;
    if (!entries_) entries_ = std::make_unique<TErrorEntry[]>(capacity_);
    const Word kept = std::min<Word>(count_, capacity_ - 1);
    std::copy_backward(&entries_[0], &entries_[kept], &entries_[kept + 1]);
    entries_[0] = entry;
    count_ = kept + 1;
}

void TErrorStack::PushException(const EBoreaEngineError& error)
{
    TErrorEntry entry{};
    entry.Code = error.Code();
    std::string text;
    ErrorCodeName(entry.Code, text, 255);
    CopyField(entry.CodeName, sizeof(entry.CodeName), text);
    entry.NativeCode = error.NativeCode();
    error.GetNativeText(text);
    CopyField(entry.NativeText, sizeof(entry.NativeText), text);
    CopyField(&entry.Context[0][0], sizeof(entry.Context), error.Text());
    Push(entry);
}

bool TErrorStack::GetEntry(Word index, TErrorEntry& entry) const
{
    if (index < 1 || index > count_) return false;
    entry = entries_[index - 1];
    return true;
}

Word TErrorStack::GetEntryText(Word index, std::string& text) const
{
    TErrorEntry entry;
    if (!GetEntry(index, entry)) return 0;
    const char* nativeTextEnd = entry.NativeText + sizeof(entry.NativeText);
    const char* contextEnd = &entry.Context[0][0] + sizeof(entry.Context);
    std::string result;
    if (entry.NativeCode != 0) AppendLine(result, ReadText(entry.NativeText, nativeTextEnd));
    if (entry.Code != 0) {
        AppendLine(result, "DBI Error Code = " + ReadText(entry.CodeName, entry.CodeName + sizeof(entry.CodeName)));
    }
    for (const char* slot : entry.Context) AppendLine(result, ReadText(slot, contextEnd));
    text = result.substr(0, EntryTextMax);
    return entry.Code;
}
