#include "db/BinaryFields.h"

#include <cstring>
#include <memory>
#include <vector>

#include "classes/TypInfo.h"
#include "db/BlobStream.h"
#include "db/DBConsts.h"
#include "db/DBErrors.h"
#include "db/DataSet.h"
#include "rtl/SysUtils.h"

// --- TBytesField, TVarBytesField -----------------------------------------------------------------------------------

TBytesField::TBytesField(TComponent* owner) : TBytesField(owner, ftBytes)
{
}

TBytesField::TBytesField(TComponent* owner, TFieldType type) : TField(owner)
{
    SetDataType(type);
    SetSize(16);
}

std::string TBytesField::GetAsString() const
{
    std::string data(DataSize(), '\0');
    return GetData(data.data()) ? data : std::string();
}

void TBytesField::SetAsString(const std::string& value)
{
    std::string data(DataSize(), '\0');
    std::memcpy(data.data(), value.data(), std::min(value.size(), data.size()));
    SetData(data.data());
}

TVarBytesField::TVarBytesField(TComponent* owner) : TBytesField(owner, ftVarBytes)
{
}

std::string TVarBytesField::GetAsString() const
{
    std::string data(DataSize(), '\0');
    if (!GetData(data.data())) return std::string();
    uint16_t length = 0;
    std::memcpy(&length, data.data(), 2);
    return data.substr(2, std::min<size_t>(length, Size()));
}

void TVarBytesField::SetAsString(const std::string& value)
{
    const uint16_t length = uint16_t(std::min<size_t>(value.size(), Size()));
    std::string data(DataSize(), '\0');
    std::memcpy(data.data(), &length, 2);
    std::memcpy(data.data() + 2, value.data(), length);
    SetData(data.data());
}

// --- Blob fields ---------------------------------------------------------------------------------------------------

namespace {

std::unique_ptr<TStream> OpenBlob(const TField* field, TBlobStreamMode mode)
{
    TStream* stream = field->DataSet()->CreateBlobStream(const_cast<TField*>(field), mode);
    if (!stream) DatabaseErrorFmt(dbconsts::SNotABlobField, {field->DisplayName()});
    return std::unique_ptr<TStream>(stream);
}

}  // namespace

TBlobField::TBlobField(TComponent* owner) : TBlobField(owner, ftBlob)
{
}

TBlobField::TBlobField(TComponent* owner, TFieldType type) : TField(owner)
{
    SetDataType(type);
}

void TBlobField::SetFieldType(TFieldType type)
{
    if (type >= ftBlob && type <= ftTypedBinary) SetDataType(type);
}

Integer TBlobField::BlobSize() const
{
    return Integer(OpenBlob(this, bmRead)->Size());
}

// Data fields read through the dataset's GetBlobFieldData, others through a blob stream.
std::string TBlobField::GetAsString() const
{
    if (FieldNo() > 0) {
        std::vector<Byte> buffer;
        const Integer length = DataSet()->GetBlobFieldData(FieldNo(), buffer);
        return std::string(reinterpret_cast<const char*>(buffer.data()), size_t(length));
    }
    std::unique_ptr<TStream> stream = OpenBlob(this, bmRead);
    std::string data(size_t(stream->Size()), '\0');
    if (!data.empty()) stream->ReadBuffer(data.data(), Integer(data.size()));
    return data;
}

void TBlobField::SetAsString(const std::string& value)
{
    std::unique_ptr<TStream> stream = OpenBlob(this, bmWrite);
    if (!value.empty()) stream->WriteBuffer(value.data(), Integer(value.size()));
    if (auto* blob = dynamic_cast<TFieldBlobStream*>(stream.get())) blob->Flush();
}

void TBlobField::SaveToStream(TStream* stream) const
{
    std::unique_ptr<TStream> blob = OpenBlob(this, bmRead);
    if (blob->Size() > 0) stream->CopyFrom(blob.get(), 0);
}

void TBlobField::LoadFromStream(TStream* stream)
{
    std::unique_ptr<TStream> blob = OpenBlob(this, bmWrite);
    if (stream->Size() > stream->Position()) blob->CopyFrom(stream, stream->Size() - stream->Position());
    if (auto* fieldBlob = dynamic_cast<TFieldBlobStream*>(blob.get())) fieldBlob->Flush();
}

void TBlobField::Assign(TPersistent* source)
{
    TMemoryStream stream;
    if (auto* blob = dynamic_cast<TBlobField*>(source)) {
        blob->SaveToStream(&stream);
    } else if (auto* strings = dynamic_cast<TStrings*>(source)) {
        strings->SaveToStream(&stream);
    } else {
        TField::Assign(source);
        return;
    }
    stream.SetPosition(0);
    LoadFromStream(&stream);
}

void TBlobField::AssignTo(TPersistent* dest)
{
    auto* strings = dynamic_cast<TStrings*>(dest);
    if (!strings) {
        TField::AssignTo(dest);
        return;
    }
    TMemoryStream stream;
    SaveToStream(&stream);
    stream.SetPosition(0);
    strings->LoadFromStream(&stream);
}

void TBlobField::FreeBuffers()
{
    if (!modified_) return;
    modified_ = false;
    if (DataSet()) DataSet()->CloseBlob(this);
}

void TBlobField::Clear()
{
    SetAsString(std::string());
}

void TBlobField::GetText(std::string& text, bool displayText) const
{
    std::string kind = KindName();
    if (!IsNull()) kind = UpperCase(kind);
    text = "(" + kind + ")";
}

TMemoField::TMemoField(TComponent* owner) : TBlobField(owner, ftMemo)
{
    SetDefaultTransliterate(true);
}

TGraphicField::TGraphicField(TComponent* owner) : TBlobField(owner, ftGraphic)
{
}

void TBytesField::Publish(TPublisher<TBytesField>& p)
{
    p.Property("Size", &TBytesField::Size, &TBytesField::SetSize).Default(16);
}

void TBlobField::Publish(TPublisher<TBlobField>& p)
{
    p.Property("Size", &TBlobField::Size, &TBlobField::SetSize).Default(0);
    p.Property("Transliterate", &TBlobField::Transliterate, &TBlobField::SetTransliterate)
        .Stored(&TBlobField::IsTransliterateStored);
}
