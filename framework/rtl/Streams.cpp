#include "rtl/Streams.h"

#include <algorithm>
#include <cstring>

#include "rtl/FileUtils.h"
#include "rtl/OSError.h"
#include "rtl/WinApi.h"

namespace {

DWORD AccessOf(Word mode)
{
    static const DWORD access[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE, 0};
    return access[mode & 3];
}

DWORD ShareOf(Word mode)
{
    static const DWORD share[] = {0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE};
    const Word index = (mode & 0xF0) >> 4;
    return index < 5 ? share[index] : 0;
}

// Where a seek from the origin lands, for streams that keep their own position.
Int64 SeekTarget(Int64 offset, Word origin, Int64 position, Int64 size)
{
    switch (origin) {
    case soFromBeginning: return offset;
    case soFromCurrent: return position + offset;
    default: return size + offset;
    }
}

}  // namespace

void TStream::ReadBuffer(void* buffer, Integer count)
{
    if (count != 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, Integer count)
{
    if (count != 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

Int64 TStream::CopyFrom(TStream* source, Int64 count)
{
    if (count == 0) {
        source->SetPosition(0);
        count = source->Size();
    }
    constexpr Integer maxBufferSize = 0xF000;
    std::vector<char> buffer(size_t(std::min<Int64>(count, maxBufferSize)));
    for (Int64 left = count; left > 0;) {
        const Integer n = Integer(std::min<Int64>(left, maxBufferSize));
        source->ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        left -= n;
    }
    return count;
}

Int64 TStream::Size()
{
    const Int64 position = Seek(0, soFromCurrent);
    const Int64 size = Seek(0, soFromEnd);
    Seek(position, soFromBeginning);
    return size;
}

Integer THandleStream::Read(void* buffer, Integer count)
{
    DWORD read = 0;
    if (count <= 0 || !ReadFile(handle_, buffer, DWORD(count), &read, nullptr)) return 0;
    return Integer(read);
}

Integer THandleStream::Write(const void* buffer, Integer count)
{
    DWORD written = 0;
    if (count <= 0 || !WriteFile(handle_, buffer, DWORD(count), &written, nullptr)) return 0;
    return Integer(written);
}

Int64 THandleStream::Seek(Int64 offset, Word origin)
{
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER position;
    if (!SetFilePointerEx(handle_, distance, &position, origin)) return -1;
    return position.QuadPart;
}

void THandleStream::SetSize(Int64 newSize)
{
    Seek(newSize, soFromBeginning);
    if (!SetEndOfFile(handle_)) RaiseLastOSError();
}

TFileStream::TFileStream(const std::string& fileName, Word mode)
        : THandleStream(OpenHandle(fileName, mode)), fileName_(fileName)
{
}

TFileStream::~TFileStream()
{
    CloseHandle(handle_);
}

void* TFileStream::OpenHandle(const std::string& fileName, Word mode)
{
    const bool create = mode == fmCreate;
    HANDLE handle = create ? CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr)
                           : CreateFileA(fileName.c_str(), AccessOf(mode), ShareOf(mode), nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) return handle;
    const std::string reason = SysErrorMessage(GetLastError());
    const std::string name = ExpandFileName(fileName);
    if (create) throw EFCreateError("Cannot create file \"" + name + "\". " + reason);
    throw EFOpenError("Cannot open file \"" + name + "\". " + reason);
}

Integer TCustomMemoryStream::Read(void* buffer, Integer count)
{
    if (position_ < 0 || count <= 0) return 0;
    const Int64 n = std::min<Int64>(size_ - position_, count);
    if (n <= 0) return 0;
    std::memcpy(buffer, static_cast<char*>(memory_) + position_, size_t(n));
    position_ += n;
    return Integer(n);
}

Int64 TCustomMemoryStream::Seek(Int64 offset, Word origin)
{
    position_ = SeekTarget(offset, origin, position_, size_);
    return position_;
}

void TCustomMemoryStream::SaveToStream(TStream* stream)
{
    stream->WriteBuffer(memory_, Integer(size_));
}

void TCustomMemoryStream::SaveToFile(const std::string& fileName)
{
    TFileStream stream(fileName, fmCreate);
    SaveToStream(&stream);
}

void TCustomMemoryStream::SetPointer(void* memory, Int64 size)
{
    memory_ = memory;
    size_ = size;
}

Integer TMemoryStream::Write(const void* buffer, Integer count)
{
    if (position_ < 0 || count <= 0) return 0;
    const Int64 end = position_ + count;
    if (end > Int64(data_.size())) {
        data_.resize(size_t(end));
        SetPointer(data_.data(), end);
    }
    std::memcpy(data_.data() + position_, buffer, size_t(count));
    position_ = end;
    return count;
}

void TMemoryStream::SetSize(Int64 newSize)
{
    data_.resize(size_t(newSize));
    SetPointer(newSize ? data_.data() : nullptr, newSize);
    if (position_ > newSize) position_ = newSize;
}

void TMemoryStream::Clear()
{
    std::vector<char>().swap(data_);
    SetPointer(nullptr, 0);
    position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream* stream)
{
    stream->SetPosition(0);
    const Int64 count = stream->Size();
    SetSize(count);
    if (count != 0) stream->ReadBuffer(data_.data(), Integer(count));
}

void TMemoryStream::LoadFromFile(const std::string& fileName)
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&stream);
}

Integer TStringStream::Read(void* buffer, Integer count)
{
    const Int64 n = std::min<Int64>(Int64(data_.size()) - position_, count);
    if (n <= 0) return 0;
    std::memcpy(buffer, data_.data() + position_, size_t(n));
    position_ += n;
    return Integer(n);
}

// Overwrites from the position and extends the string when the data runs past its end; what follows stays.
Integer TStringStream::Write(const void* buffer, Integer count)
{
    if (count <= 0) return 0;
    const size_t end = size_t(position_) + size_t(count);
    if (end > data_.size()) data_.resize(end);
    std::memcpy(data_.data() + position_, buffer, size_t(count));
    position_ = Int64(end);
    return count;
}

Int64 TStringStream::Seek(Int64 offset, Word origin)
{
    const Int64 size = Int64(data_.size());
    position_ = std::clamp<Int64>(SeekTarget(offset, origin, position_, size), 0, size);
    return position_;
}

void TStringStream::SetSize(Int64 newSize)
{
    data_.resize(size_t(newSize));
    if (position_ > newSize) position_ = newSize;
}

TResourceStream::TResourceStream(void* instance, const std::string& resourceName, const char* resourceType)
{
    HMODULE module = static_cast<HMODULE>(instance);
    HRSRC info = FindResourceA(module, resourceName.c_str(), resourceType);
    if (!info) throw EResNotFound("Resource " + resourceName + " not found");
    HGLOBAL data = LoadResource(module, info);
    SetPointer(LockResource(data), SizeofResource(module, info));
}

Integer TResourceStream::Write(const void* buffer, Integer count)
{
    throw EStreamError("Can't write to a read-only resource stream");
}
