// The blob stream base: one blob field's value in the active record, as a memory stream. Opened for reading it holds
// the field's bytes; opened for writing or read-writing it hands its bytes back to the dataset on Flush (or, at the
// latest, when freed). bmWrite starts empty, so flushing an unwritten bmWrite stream clears the field.
#pragma once

#include <functional>
#include <string>

#include "db/DBTypes.h"
#include "rtl/Streams.h"

class TField;

class TFieldBlobStream : public TMemoryStream {
    DUN_CLASS(TFieldBlobStream, TMemoryStream)
public:
    using TBlobWriter = std::function<void(TField* field, const std::string& data)>;

    TFieldBlobStream(TField* field, TBlobStreamMode mode, const std::string& data, TBlobWriter writer);
    ~TFieldBlobStream() override;

    TField* Field() const { return field_; }
    TBlobStreamMode Mode() const { return mode_; }
    Integer Write(const void* buffer, Integer count) override;
    void SetSize(Int64 newSize) override;
    // Hands a changed value to the dataset; its errors (a read-only field, ...) reach the caller.
    void Flush();

private:
    TField* field_;
    TBlobStreamMode mode_;
    TBlobWriter writer_;
    bool modified_ = false;
};
