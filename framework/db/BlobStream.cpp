#include "db/BlobStream.h"

#include <cstring>

#include "db/DBErrors.h"

TFieldBlobStream::TFieldBlobStream(TField* field, TBlobStreamMode mode, const std::string& data, TBlobWriter writer)
        : field_(field), mode_(mode), writer_(std::move(writer))
{
    if (mode == bmWrite) {
        modified_ = true;
        return;
    }
    if (!data.empty()) TMemoryStream::Write(data.data(), Integer(data.size()));
    SetPosition(0);
}

TFieldBlobStream::~TFieldBlobStream()
{
    try {
        Flush();
    } catch (const Exception&) {
        // A destructor cannot pass the error on; callers that care call Flush first.
    }
}

Integer TFieldBlobStream::Write(const void* buffer, Integer count)
{
    if (mode_ == bmRead) throw EStreamError("Stream write error");
    modified_ = true;
    return TMemoryStream::Write(buffer, count);
}

void TFieldBlobStream::SetSize(Int64 newSize)
{
    if (mode_ == bmRead) throw EStreamError("Stream write error");
    modified_ = true;
    TMemoryStream::SetSize(newSize);
}

void TFieldBlobStream::Flush()
{
    if (!modified_ || mode_ == bmRead) return;
    modified_ = false;
    std::string data(size_t(Size()), '\0');
    if (!data.empty()) std::memcpy(data.data(), Memory(), data.size());
    writer_(field_, data);
}
