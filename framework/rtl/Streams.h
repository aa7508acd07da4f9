// Byte streams: TStream and the handle, file, memory, string and resource streams.
#pragma once

#include <string>
#include <vector>

#include "rtl/Exceptions.h"
#include "rtl/Objects.h"
#include "rtl/Types.h"

// Seek origins.
constexpr Word soFromBeginning = 0;
constexpr Word soFromCurrent = 1;
constexpr Word soFromEnd = 2;

// File open modes: one access mode or'ed with one share mode; fmCreate alone creates (or empties) the file.
constexpr Word fmCreate = 0xFFFF;
constexpr Word fmOpenRead = 0x0000;
constexpr Word fmOpenWrite = 0x0001;
constexpr Word fmOpenReadWrite = 0x0002;
constexpr Word fmShareCompat = 0x0000;
constexpr Word fmShareExclusive = 0x0010;
constexpr Word fmShareDenyWrite = 0x0020;
constexpr Word fmShareDenyRead = 0x0030;
constexpr Word fmShareDenyNone = 0x0040;

class EResNotFound : public Exception { public: using Exception::Exception; };

class TStream : public TObject {
    DUN_CLASS(TStream, TObject)
public:
    TStream() = default;

    // Read and Write return the number of bytes moved, which may be fewer than asked.
    virtual Integer Read(void* buffer, Integer count) = 0;
    virtual Integer Write(const void* buffer, Integer count) = 0;
    // Returns the new position, or -1 when the stream cannot move there.
    virtual Int64 Seek(Int64 offset, Word origin) = 0;
    // As Read and Write, raising EReadError/EWriteError unless every byte moves.
    void ReadBuffer(void* buffer, Integer count);
    void WriteBuffer(const void* buffer, Integer count);
    // Copies count bytes from the source's position; count 0 copies the whole source from its start.
    Int64 CopyFrom(TStream* source, Int64 count);

    Int64 Position() { return Seek(0, soFromCurrent); }
    void SetPosition(Int64 position) { Seek(position, soFromBeginning); }
    virtual Int64 Size();
    virtual void SetSize(Int64 newSize) {}
};

// A stream over an open file handle (a Win32 HANDLE), which it does not close.
class THandleStream : public TStream {
    DUN_CLASS(THandleStream, TStream)
public:
    explicit THandleStream(void* handle) : handle_(handle) {}

    Integer Read(void* buffer, Integer count) override;
    Integer Write(const void* buffer, Integer count) override;
    Int64 Seek(Int64 offset, Word origin) override;
    void SetSize(Int64 newSize) override;
    void* Handle() const { return handle_; }

protected:
    void* handle_;
};

// A stream over a file it opens (fmOpenRead ... with a share mode) or creates (fmCreate) and closes when freed.
class TFileStream : public THandleStream {
    DUN_CLASS(TFileStream, THandleStream)
public:
    TFileStream(const std::string& fileName, Word mode);
    ~TFileStream() override;

    const std::string& FileName() const { return fileName_; }

private:
    static void* OpenHandle(const std::string& fileName, Word mode);

    std::string fileName_;
};

// A stream over a block of memory it does not own; descendants provide the block.
class TCustomMemoryStream : public TStream {
    DUN_CLASS(TCustomMemoryStream, TStream)
public:
    Integer Read(void* buffer, Integer count) override;
    Int64 Seek(Int64 offset, Word origin) override;
    void SaveToStream(TStream* stream);
    void SaveToFile(const std::string& fileName);
    void* Memory() const { return memory_; }

protected:
    TCustomMemoryStream() = default;
    void SetPointer(void* memory, Int64 size);
    Int64 position_ = 0;

private:
    void* memory_ = nullptr;
    Int64 size_ = 0;
};

// A growing block of memory; writing past the end extends it.
class TMemoryStream : public TCustomMemoryStream {
    DUN_CLASS(TMemoryStream, TCustomMemoryStream)
public:
    TMemoryStream() = default;

    Integer Write(const void* buffer, Integer count) override;
    void SetSize(Int64 newSize) override;
    void Clear();
    void LoadFromStream(TStream* stream);
    void LoadFromFile(const std::string& fileName);

private:
    std::vector<char> data_;
};

// A stream over a string: DataString holds what was written. The position stays within the string.
class TStringStream : public TStream {
    DUN_CLASS(TStringStream, TStream)
public:
    explicit TStringStream(const std::string& data = std::string()) : data_(data) {}

    Integer Read(void* buffer, Integer count) override;
    Integer Write(const void* buffer, Integer count) override;
    Int64 Seek(Int64 offset, Word origin) override;
    void SetSize(Int64 newSize) override;
    const std::string& DataString() const { return data_; }

private:
    std::string data_;
    Int64 position_ = 0;
};

// A read-only stream over a resource of a module (an HMODULE), found by name without regard to case.
class TResourceStream : public TCustomMemoryStream {
    DUN_CLASS(TResourceStream, TCustomMemoryStream)
public:
    // resourceType is a resource type name or an integer type such as RT_RCDATA.
    TResourceStream(void* instance, const std::string& resourceName, const char* resourceType);

    Integer Write(const void* buffer, Integer count) override;
};
