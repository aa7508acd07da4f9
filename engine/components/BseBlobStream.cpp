#include "engine/components/BseBlobStream.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "classes/Component.h"
#include "db/DBConsts.h"
#include "engine/components/BseBDEDataset.h"
#include "engine/components/BseMainText.h"
#include "engine/core/BseEng.h"
#include "engine/core/BseError.h"

namespace {
constexpr const char* SNoFieldAccess = "Cannot access field '%s' in a filter";
constexpr Integer blobReadOnly = 1;
constexpr Integer blobReadWrite = 0;
constexpr Word DBIERR_ENDOFBLOB = 0x2207;
constexpr Word DBIERR_INVALIDBLOBOFFSET = 0x270E;
}  // namespace

TbqBlobStream::TbqBlobStream(TBlobField* field, TBlobStreamMode mode)
    : field_(field),
      dataSet_(dynamic_cast<TbqBDEDataset*>(field->DataSet())),
      mode_(mode),
      fieldNo_(Word(field->FieldNo()))
{
    if (!dataSet_) throw EInvalidCast("Invalid class typecast");
    if (!dataSet_->GetActiveRecBuf(record_)) return;
    Open();
}

void TbqBlobStream::Open()
{
    if (dataSet_->State() == dsFilter) DatabaseErrorFmt(SNoFieldAccess, {field_->DisplayName()});
    if (!field_->Modified()) {
        Integer openMode = blobReadOnly;
        if (mode_ == bmRead) {
            cached_ = dataSet_->CacheBlobs() && record_ == dataSet_->ActiveBuffer() &&
                      (field_->IsNull() || !dataSet_->GetBlobData(field_, record_).empty());
        } else {
            dataSet_->SetBlobData(field_, record_, "");
            if (field_->ReadOnly()) DatabaseErrorFmt(dbconsts::SFieldReadOnly, {field_->DisplayName()});
            if (dataSet_->State() != dsEdit && dataSet_->State() != dsInsert) DatabaseError(dbconsts::SNotEditing);
            openMode = blobReadWrite;
        }
        if (!cached_) {
            if (dataSet_->State() == dsBrowse) dataSet_->GetCurrentRecord(dataSet_->ActiveBuffer());
            CheckEngineResult(Engine(), Engine()->OpenBlob(dataSet_->Handle(), Record(), fieldNo_, openMode));
        }
    }
    opened_ = true;
    if (mode_ == bmWrite) Truncate();
}

TbqBlobStream::~TbqBlobStream()
{
    if (!opened_) return;
    if (modified_) field_->SetModified(true);
    if (!field_->Modified() && !cached_) Engine()->FreeBlob(dataSet_->Handle(), Record(), fieldNo_);
    if (!modified_) return;
    try {
        dataSet_->DataEvent(deFieldChange, intptr_t(field_));
    } catch (...) {
        if (ApplicationHandleException) ApplicationHandleException(dataSet_);
    }
}

TVirtEng* TbqBlobStream::Engine() { return dataSet_->Engine(); }

Byte* TbqBlobStream::Record() const { return reinterpret_cast<Byte*>(record_); }

Integer TbqBlobStream::Read(void* buffer, Integer count)
{
    if (!opened_) return 0;
    return cached_ ? ReadFromCache(buffer, count) : ReadFromEngine(buffer, count);
}

Integer TbqBlobStream::ReadFromCache(void* buffer, Integer count)
{
    const std::string text = dataSet_->GetBlobData(field_, record_);
    const Integer result = std::min(count, Integer(text.size()) - position_);
    if (result <= 0) return result;
    std::memcpy(buffer, text.data() + position_, size_t(result));
    position_ += result;
    return result;
}

Integer TbqBlobStream::ReadFromEngine(void* buffer, Integer count)
{
    Cardinal read = 0;
    const Word result = Engine()->GetBlob(dataSet_->Handle(), Record(), fieldNo_, Cardinal(position_),
                                          Cardinal(count), buffer, read);
    if (result == DBIERR_INVALIDBLOBOFFSET) return 0;
    if (result != 0 && result != DBIERR_ENDOFBLOB) RaiseEngineError(Engine(), result);
    char* bytes = static_cast<char*>(buffer);
    if (field_->Transliterate()) NativeToAnsiBuf(Engine(), bytes, Integer(read), bytes);
    if (CollectsForCache()) CollectForCache(bytes, Integer(read));
    position_ += Integer(read);
    return Integer(read);
}

bool TbqBlobStream::CollectsForCache() const
{
    return dataSet_->CacheBlobs() && record_ == dataSet_->ActiveBuffer() && mode_ == bmRead &&
           !field_->Modified() && position_ == Integer(cacheText_.size());
}

void TbqBlobStream::CollectForCache(const char* bytes, Integer count)
{
    cacheText_.append(bytes, size_t(count));
    if (Integer(cacheText_.size()) != BlobSize()) return;
    dataSet_->SetBlobData(field_, record_, cacheText_);
    cacheText_.clear();
    cached_ = true;
    Engine()->FreeBlob(dataSet_->Handle(), Record(), fieldNo_);
}

Integer TbqBlobStream::Write(const void* buffer, Integer count)
{
    if (!opened_) return 0;
    const void* bytes = buffer;
    std::vector<char> native;
    if (field_->Transliterate()) {
        native.resize(size_t(std::max(count, 0)));
        AnsiToNativeBuf(Engine(), static_cast<const char*>(buffer), count, native.data());
        bytes = native.data();
    }
    CheckEngineResult(Engine(), Engine()->PutBlob(dataSet_->Handle(), Record(), fieldNo_, Cardinal(position_),
                                                  Cardinal(count), bytes));
    position_ += count;
    modified_ = true;
    dataSet_->SetBlobData(field_, record_, "");
    return count;
}

Int64 TbqBlobStream::Seek(Int64 offset, Word origin)
{
    switch (origin) {
    case soFromBeginning: position_ = Integer(offset); break;
    case soFromCurrent: position_ += Integer(offset); break;
    case soFromEnd: position_ = Integer(offset) + BlobSize(); break;
    }
    return position_;
}

void TbqBlobStream::Truncate()
{
    if (!opened_) return;
    CheckEngineResult(Engine(), Engine()->TruncateBlob(dataSet_->Handle(), Record(), fieldNo_, Cardinal(position_)));
    modified_ = true;
    dataSet_->SetBlobData(field_, record_, "");
}

Integer TbqBlobStream::BlobSize()
{
    if (!opened_) return 0;
    if (cached_) return Integer(dataSet_->GetBlobData(field_, record_).size());
    Cardinal size = 0;
    CheckEngineResult(Engine(), Engine()->GetBlobSize(dataSet_->Handle(), Record(), fieldNo_, size));
    return Integer(size);
}
