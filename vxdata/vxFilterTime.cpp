#include "vxdata/vxFilterTime.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "db/BinaryFields.h"
#include "db/Field.h"
#include "db/Params.h"
#include "engine/bk/BkSession.h"
#include "engine/components/BseDBDataSet.h"
#include "engine/components/BseMainErr.h"
#include "engine/components/BseSession.h"
#include "engine/core/BseEng.h"
#include "engine/core/BseError.h"
#include "rtl/DateTime.h"
#include "rtl/Exceptions.h"
#include "rtl/StringRoutines.h"
#include "rtl/Streams.h"
#include "rtl/WinApi.h"
#include "vcl/Dialogs.h"
#include "vcl/Forms.h"
#include "vcl/RichEdit.h"
#include "vxdata/Vxcommon.h"
#include "vxdata/Vxintl.h"

namespace {

constexpr size_t MaxParamText = 32767;
constexpr Integer BlobReadOnly = 1;
// Engine statuses of a blob read: the end of the blob (success) and a read that gives nothing.
constexpr Word BlobEndStatus = 8711;
constexpr Word BlobNothingStatus = 9998;

// Writes value at the start of buffer, growing it when too small.
template <typename T>
void Store(std::vector<char>& buffer, T value)
{
    if (buffer.size() < sizeof value) buffer.resize(sizeof value);
    std::memcpy(buffer.data(), &value, sizeof value);
}

void StoreText(std::vector<char>& buffer, const std::string& text)
{
    const size_t length = std::min(text.size(), MaxParamText);
    if (buffer.size() < length + 1) buffer.resize(length + 1);
    std::memcpy(buffer.data(), text.data(), length);
    buffer[length] = '\0';
}

// False for the types whose value is not passed.
bool StoreFieldValue(TField* field, std::vector<char>& buffer)
{
    switch (field->DataType()) {
    case ftString:
    case ftMemo: StoreText(buffer, field->AsString()); return true;
    case ftSmallint: Store(buffer, SmallInt(field->AsInteger())); return true;
    case ftWord: Store(buffer, Word(field->AsInteger())); return true;
    case ftInteger: Store(buffer, Integer(field->AsInteger())); return true;
    case ftBoolean: Store(buffer, Byte(field->AsBoolean() ? 255 : 0)); return true;
    case ftFloat:
    case ftCurrency: Store(buffer, field->AsFloat()); return true;
    case ftDate: Store(buffer, DateTimeToTimeStamp(field->AsDateTime()).Date); return true;
    case ftTime: Store(buffer, DateTimeToTimeStamp(field->AsDateTime()).Time); return true;
    case ftDateTime: Store(buffer, TimeStampToMSecs(DateTimeToTimeStamp(field->AsDateTime()))); return true;
    default: return false;
    }
}

bool IsTransliteratedMemo(TField* field)
{
    auto* memo = dynamic_cast<TMemoField*>(field);
    return memo && memo->Transliterate();
}

std::string AliasPath(TVirtEng* engine, const std::string& alias)
{
    TBaseTable* list = nullptr;
    if (!engine || engine->OpenCfgInfoList("\\DATABASES\\" + alias + "\\DB INFO", list) != 0) return std::string();
    std::string path;
    CFGDesc entry{};
    while (path.empty() && engine->GetNextRecord(list, dbiNOLOCK, reinterpret_cast<Byte*>(&entry), nullptr) == 0)
        if (SameText(entry.szNodeName, "path")) path = entry.szValue;
    engine->CloseCursor(list);
    return path;
}

// ":alias:rest".
bool IsAliasTableName(const std::string& name)
{
    return name.size() > 1 && name[0] == ':' && name.find(':', 1) != std::string::npos;
}

std::string JoinPath(const std::string& directory, const std::string& name)
{
    const bool separated = (!directory.empty() && directory.back() == '\\') || (!name.empty() && name[0] == '\\');
    return directory + (separated ? "" : "\\") + name;
}

bool IsOnOtherDrive(const std::string& name, const std::string& privateDir)
{
    if (name.size() < 2 || name[1] != ':' || !std::isalpha(Byte(name[0]))) return false;
    return privateDir.empty() || std::toupper(Byte(privateDir[0])) != std::toupper(Byte(name[0]));
}

// The engine keeps no tables that a query result could be copied into: after moving to the start of the result,
// the copy ends with "not supported".
bool CopyAnswerTable(TbqDBDataset* dataSet, TBaseTable* cursor, const std::string& name)
{
    TVirtEng* engine = dataSet->Engine();
    try {
        CheckEngineResult(engine, engine->SetToBegin(cursor));
        RaiseEngineError(engine, DBIERR_NOTSUPPORTED);
    } catch (const Exception&) {
        MessageDlg("Unable to create answer table " + name, mtWarning, {mbOK}, 0);
        return false;
    }
}

// The engine runs no queries of its own and takes no answer table for a result: it refuses with "not supported".
bool SetAnswerTable(TbqDBDataset* dataSet, const std::string& name)
{
    std::string text;
    dataSet->Engine()->GetErrorString(DBIERR_NOTSUPPORTED, text);
    ShowMessage(text + "(" + name + ")");
    return false;
}

}  // namespace

void vxFieldToParam(TField* field, TParam* param, std::vector<char>& buffer)
{
    if (!StoreFieldValue(field, buffer)) return;
    param->SetDataType(field->DataType());
    param->SetData(buffer.data());
}

Integer vxReadBlobAtFilter(TbqBDEDataset* dataSet, Byte* record, std::vector<char>& dest, TField* field,
                           Integer maxSize)
{
    TVirtEng* engine = dataSet->Engine();
    TBaseTable* cursor = dataSet->Handle();
    const Word fieldNo = Word(field->FieldNo());
    CheckEngineResult(engine, engine->OpenBlob(cursor, record, fieldNo, BlobReadOnly));
    Cardinal read = 0;
    try {
        const Integer capacity = Integer(std::min<size_t>(dest.size(), 0x7FFFFFFF)) - 1;
        const Integer wanted = std::min({maxSize, vxGetFilterMemoSize(), capacity});
        if (wanted > 0) {
            const Word status = engine->GetBlob(cursor, record, fieldNo, 0, Cardinal(wanted), dest.data(), read);
            if (status == BlobNothingStatus) read = 0;
            else if (status != 0 && status != BlobEndStatus) RaiseEngineError(engine, status);
        }
        if (!dest.empty()) dest[read] = '\0';
        if (read > 0 && IsTransliteratedMemo(field)) dataSet->Translate(dest.data(), dest.data(), false);
    } catch (...) {
        engine->FreeBlob(cursor, record, fieldNo);
        throw;
    }
    engine->FreeBlob(cursor, record, fieldNo);
    return Integer(read);
}

bool vxCheckFilterEscape(TObject* dataSet)
{
    MSG message;
    if (!PeekMessageA(&message, nullptr, WM_KEYDOWN, WM_CHAR, PM_REMOVE)) return false;
    if (message.message != WM_KEYDOWN || message.wParam != VK_ESCAPE) return false;
    vxSetOnFilterEnabled(dataSet, false);
    return true;
}

void vxRichTextToPlain(TWinControl* owner, std::vector<char>& text, Integer& size, TRichEdit*& richEdit,
                       TMemoryStream*& stream)
{
    if (!stream) stream = new TMemoryStream();
    stream->Clear();
    stream->Write(text.data(), std::clamp<Integer>(size, 0, Integer(text.size())));
    if (!richEdit) {
        richEdit = new TRichEdit(owner);
        richEdit->SetVisible(false);
        richEdit->SetParent(owner);
    }
    richEdit->SetPlainText(false);
    stream->SetPosition(0);
    richEdit->Lines()->LoadFromStream(stream);
    const std::string plain = richEdit->Text();
    const size_t length = text.empty() ? 0 : std::min(plain.size(), text.size() - 1);
    std::memcpy(text.data(), plain.data(), length);
    if (!text.empty()) text[length] = '\0';
    size = Integer(length);
}

std::unique_ptr<char[]> vxStringsToPChar(TStrings* lines, bool blankSeparated)
{
    std::string text;
    for (Integer i = 0; i < lines->Count(); ++i) {
        if (i > 0) text += blankSeparated ? " " : "\r\n";
        text += lines->Strings(i);
    }
    auto buffer = std::make_unique<char[]>(text.size() + 1);
    std::memcpy(buffer.get(), text.c_str(), text.size() + 1);
    return buffer;
}

void vxGetAliasPath(const std::string& alias, std::string& path)
{
    path = AliasPath(BkEngine(), alias);
}

bool vxPrepareAnswerTable(TbqDBDataset* dataSet, TBaseTable* cursor, const std::string& answerTable)
{
    if (answerTable.empty()) return false;
    std::string name = answerTable;
    if (IsAliasTableName(name)) {
        const size_t second = name.find(':', 1);
        const std::string path = AliasPath(dataSet->Engine(), name.substr(1, second - 1));
        if (path.empty()) {
            Application->MessageBox("Invalid Alias in QBE", "", MB_OK);
            return false;
        }
        name = JoinPath(path, name.substr(second + 1));
    }
    if (IsOnOtherDrive(name, dataSet->DBSession()->PrivateDir())) return CopyAnswerTable(dataSet, cursor, name);
    return SetAnswerTable(dataSet, name);
}
