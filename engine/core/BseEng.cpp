#include "engine/core/BseEng.h"

#include <cstring>
#include <vector>

#include "engine/core/BseDb.h"
#include "engine/core/BseError.h"
#include "engine/core/BseMemTable.h"
#include "engine/core/BseSess.h"
#include "engine/core/BseTable.h"
#include "rtl/StringRoutines.h"

namespace {

constexpr Word ErrorStringEntries = 20;

bool Lists(TBoreaCollection* collection, TObject* item)
{
    return item && collection->IndexOf(item) >= 0;
}

// The "PATH" option's value, prepared in place; nullptr when there is none.
char* PathOption(Word count, const FLDDesc* descriptors, Byte* values)
{
    if (!descriptors || !values) return nullptr;
    for (Word i = 0; i < count; ++i) {
        if (!SameText(descriptors[i].szName, "PATH")) continue;
        char* value = reinterpret_cast<char*>(values) + descriptors[i].iOffset;
        const std::string prepared = PrepareDatabaseName(value);
        std::memcpy(value, prepared.c_str(), prepared.size() + 1);
        return value;
    }
    return nullptr;
}

// The fields of a configuration list: one configuration descriptor a row.
std::vector<FLDDesc> ConfigListFields()
{
    struct TField {
        const char* Name;
        Word Type;
        SmallInt Units1;
    };
    static const TField fields[] = {{"szNodeName", fldZSTRING, 31},
                                    {"szDescription", fldZSTRING, 127},
                                    {"iDataType", fldUINT16, 0},
                                    {"szValue", fldZSTRING, 127},
                                    {"bHasSubNodes", fldBOOL, 0}};
    std::vector<FLDDesc> descriptors;
    for (const TField& field : fields) {
        FLDDesc descriptor{};
        descriptor.iFldNum = Word(descriptors.size() + 1);
        PutText(descriptor.szName, field.Name);
        descriptor.iFldType = field.Type;
        descriptor.iUnits1 = field.Units1;
        descriptors.push_back(descriptor);
    }
    return descriptors;
}

}  // namespace

std::string PrepareDatabaseName(const std::string& name)
{
    const size_t open = name.find('[');
    if (open == std::string::npos) return name;
    const size_t close = name.find(']', open + 1);
    if (close == std::string::npos) return name;
    std::string prepared = name;
    prepared.erase(open, std::min(close + 2, name.size()) - open);
    return prepared;
}

TVirtEng::TVirtEng(TSessionClass sessionClass, TBapiListItem* owner, TBoreaCollection* collection)
        : TBapiListItem(owner, collection),
          sessionClass_(sessionClass),
          errorStack_(std::make_unique<TErrorStack>(ErrorStackCapacity))
{
    currentSession_ = NewSession("", "");
}

TVirtEng::~TVirtEng()
{
    currentSession_ = nullptr;
    sessions_.FreeAll();
}

template <class Action>
Word TVirtEng::Run(Action action)
{
    try {
        action();
        return DBIERR_NONE;
    } catch (const EBoreaEngineError& error) {
        errorStack_->Clear();
        errorStack_->PushException(error);
        return error.Code();
    }
}

template <class Action>
Word TVirtEng::OnCursor(TBaseTable* cursor, Action action)
{
    return Run([&] {
        CheckCondition(IsCursor(cursor), DBIERR_INVALIDHNDL);
        action(cursor);
    });
}

template <class Action>
Word TVirtEng::OnDatabase(TBaseDatabase* database, Action action)
{
    return Run([&] {
        CheckCondition(IsDatabase(database), DBIERR_INVALIDHNDL);
        action(database);
    });
}

template <class Action>
Word TVirtEng::OnSession(Action action)
{
    return Run([&] {
        CheckCondition(currentSession_ != nullptr, DBIERR_INVALIDHNDL);
        action(currentSession_);
    });
}

bool TVirtEng::IsSession(TBaseSession* session) const
{
    return Lists(const_cast<TBoreaCollection*>(&sessions_), session);
}

bool TVirtEng::IsDatabase(TBaseDatabase* database) const
{
    if (!database) return false;
    for (Integer i = 0; i < sessions_.Count(); ++i) {
        if (Lists(static_cast<TBaseSession*>(sessions_.At(i))->Databases(), database)) return true;
    }
    return false;
}

bool TVirtEng::IsCursor(TBaseTable* cursor) const
{
    if (!cursor) return false;
    for (Integer i = 0; i < sessions_.Count(); ++i) {
        auto* session = static_cast<TBaseSession*>(sessions_.At(i));
        if (Lists(session->ListCursors(), cursor)) return true;
        TBoreaCollection* databases = session->Databases();
        for (Integer j = 0; j < databases->Count(); ++j) {
            if (Lists(static_cast<TBaseDatabase*>(databases->At(j))->Tables(), cursor)) return true;
        }
    }
    return false;
}

bool TVirtEng::IsObject(TBapiListItem* object) const
{
    if (!object) return false;
    if (object == this) return true;
    for (Integer i = 0; i < sessions_.Count(); ++i) {
        auto* session = static_cast<TBaseSession*>(sessions_.At(i));
        if (object == session || Lists(session->ListCursors(), object)) return true;
        TBoreaCollection* databases = session->Databases();
        for (Integer j = 0; j < databases->Count(); ++j) {
            auto* database = static_cast<TBaseDatabase*>(databases->At(j));
            if (object == database || Lists(database->Tables(), object) || database->HoldsObject(object))
                return true;
        }
    }
    return false;
}

void TVirtEng::GetProp(Cardinal property, void* buffer, Word& length, Word maxLength)
{
    CheckCondition(property == engPROPVALUE, DBIERR_NOTSUPPORTED);
    std::memcpy(buffer, &engineValue_, sizeof engineValue_);
    length = sizeof engineValue_;
}

void TVirtEng::SetProp(Cardinal property, uintptr_t value)
{
    if (property == engPROPVALUE) engineValue_ = Cardinal(value);
}

TBaseSession* TVirtEng::NewSession(const std::string& name, const std::string& netDir)
{
    return sessionClass_(this, netDir, name, &sessions_);
}

Word TVirtEng::StartSession(const std::string& name, TBaseSession*& session, const std::string& netDir)
{
    session = nullptr;
    return Run([&] {
        session = NewSession(name, netDir);
        currentSession_ = session;
    });
}

Word TVirtEng::CloseSession(TBaseSession* session)
{
    return Run([&] {
        CheckCondition(IsSession(session), DBIERR_INVALIDHNDL);
        session->Free();
        currentSession_ = sessions_.Count() > 0 ? static_cast<TBaseSession*>(sessions_.At(0)) : nullptr;
        CheckCondition(currentSession_ != nullptr, DBIERR_INVALIDHNDL);
    });
}

Word TVirtEng::SetCurrSession(TBaseSession* session)
{
    return Run([&] {
        CheckCondition(IsSession(session), DBIERR_INVALIDHNDL);
        currentSession_ = session;
    });
}

Word TVirtEng::GetCurrSession(TBaseSession*& session)
{
    session = currentSession_;
    return DBIERR_NONE;
}

Word TVirtEng::GetSesInfo(SESInfo& information)
{
    return OnSession([&](TBaseSession* session) { session->GetSesInfo(information); });
}

Word TVirtEng::SetPrivateDir(const std::string& directory)
{
    if (currentSession_) currentSession_->SetPrivateDir(directory);
    return DBIERR_NONE;
}

Word TVirtEng::NativeToAnsi(char* dest, bool& dataLoss, Word length, const char* source)
{
    return OnSession([&](TBaseSession* session) { session->NativeToAnsi(dest, dataLoss, length, source); });
}

Word TVirtEng::AnsiToNative(char* dest, bool& dataLoss, Word length, const char* source)
{
    return OnSession([&](TBaseSession* session) { session->AnsiToNative(dest, dataLoss, length, source); });
}

Word TVirtEng::RegisterCallBack()
{
    return OnSession([&](TBaseSession* session) { session->RegisterCallBack(); });
}

Word TVirtEng::AddAlias(bool persistent, const std::string& name, const std::string& driverType,
                        const std::string& parameters)
{
    return OnSession([&](TBaseSession* session) { session->AddAlias(persistent, name, driverType, parameters); });
}

Word TVirtEng::DeleteAlias(const std::string& name)
{
    return OnSession([&](TBaseSession* session) { session->DeleteAlias(name); });
}

Word TVirtEng::OpenCfgInfoList(const std::string& path, TBaseTable*& cursor)
{
    cursor = nullptr;
    return OnSession([&](TBaseSession* session) {
        const std::vector<FLDDesc> fields = ConfigListFields();
        TBaseTable* list = CreateObject<TMemTable>(session, nullptr, fields.data(), 0, Word(fields.size()),
                                                   PrepareDatabaseName(path), session->ListCursors());
        try {
            session->FillConfigList(list);
        } catch (...) {
            list->Free();
            throw;
        }
        list->SetState(curNone);
        cursor = list;
    });
}

Word TVirtEng::OpenDatabase(const char* name, const char* type, Integer openMode, Integer shareMode,
                            const char* password, Word optionCount, const FLDDesc* descriptors, Byte* values,
                            TBaseDatabase*& database)
{
    database = nullptr;
    std::string prepared;
    if (name) {
        prepared = PrepareDatabaseName(name);
    } else if (!type) {
        const char* path = PathOption(optionCount, descriptors, values);
        if (path) prepared = path;
    }
    const TDatabaseOptions options{optionCount, descriptors, values};
    return OnSession([&](TBaseSession* session) {
        database = session->OpenDatabase(prepared.c_str(), type, openMode, shareMode, password, options);
    });
}

Word TVirtEng::CloseDatabase(TBaseDatabase*& database)
{
    return OnDatabase(database, [&](TBaseDatabase* target) {
        target->Free();
        database = nullptr;
    });
}

Word TVirtEng::OpenTable(TBaseDatabase* database, const std::string& name, const std::string& indexName,
                         Word indexId, Integer openMode, Integer shareMode, TBaseTable*& cursor)
{
    cursor = nullptr;
    return OnDatabase(database, [&](TBaseDatabase* target) {
        cursor = target->OpenTable(name, indexName, indexId, openMode, shareMode);
    });
}

Word TVirtEng::OpenFieldList(TBaseDatabase* database, const std::string& tableName, TBaseTable*& cursor)
{
    cursor = nullptr;
    return OnDatabase(database, [&](TBaseDatabase* target) { cursor = target->OpenFieldList(tableName, nullptr); });
}

Word TVirtEng::OpenIndexList(TBaseDatabase* database, const std::string& tableName, TBaseTable*& cursor)
{
    cursor = nullptr;
    return OnDatabase(database, [&](TBaseDatabase* target) { cursor = target->OpenIndexList(tableName); });
}

Word TVirtEng::OpenVchkList(TBaseDatabase* database, const std::string& tableName, TBaseTable*& cursor)
{
    cursor = nullptr;
    return OnDatabase(database, [&](TBaseDatabase* target) { cursor = target->OpenVchkList(tableName); });
}

Word TVirtEng::SetDirectory(TBaseDatabase* database, const std::string& directory)
{
    return OnDatabase(database, [&](TBaseDatabase* target) { target->SetDirectory(directory); });
}

Word TVirtEng::BeginTran(TBaseDatabase* database)
{
    return OnDatabase(database, [&](TBaseDatabase* target) { target->BeginTran(); });
}

Word TVirtEng::EndTran(TBaseDatabase* database, Integer kind)
{
    return OnDatabase(database, [&](TBaseDatabase* target) { target->EndTran(kind); });
}

Word TVirtEng::CloseCursor(TBaseTable*& cursor)
{
    return OnCursor(cursor, [&](TBaseTable* target) {
        cursor = nullptr;
        try {
            target->Close();
        } catch (...) {
            target->Free();
            throw;
        }
        target->Free();
    });
}

Word TVirtEng::CloneCursor(TBaseTable* cursor, TBaseTable*& clone)
{
    clone = nullptr;
    return OnCursor(cursor, [&](TBaseTable* target) {
        auto* database = dynamic_cast<TBaseDatabase*>(target->Owner());
        CheckCondition(database != nullptr, DBIERR_INVALIDPARAM);
        clone = database->CloneTable(target);
    });
}

Word TVirtEng::SetToBegin(TBaseTable* cursor)
{
    if (!IsCursor(cursor)) return Run([] { RaiseEngineError(DBIERR_INVALIDHNDL); });
    cursor->SetToBegin();
    return DBIERR_NONE;
}

Word TVirtEng::SetToEnd(TBaseTable* cursor)
{
    if (!IsCursor(cursor)) return Run([] { RaiseEngineError(DBIERR_INVALIDHNDL); });
    cursor->SetToEnd();
    return DBIERR_NONE;
}

Word TVirtEng::SetToCursor(TBaseTable* destination, TBaseTable* source)
{
    return OnCursor(source, [&](TBaseTable* target) {
        CheckCondition(IsCursor(destination), DBIERR_INVALIDHNDL);
        target->CopyPositionTo(destination);
    });
}

Word TVirtEng::GetBookMark(TBaseTable* cursor, void* bookmark)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->GetBookMark(bookmark); });
}

Word TVirtEng::SetToBookMark(TBaseTable* cursor, const void* bookmark)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->SetToBookMark(bookmark); });
}

Word TVirtEng::CompareBookMarks(TBaseTable* cursor, const void* bookmark1, const void* bookmark2, Integer& result)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->CompareBookMarks(bookmark1, bookmark2, result); });
}

Word TVirtEng::GetRecord(TBaseTable* cursor, Integer lock, Byte* record, RECProps* properties)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->GetRecord(lock, record, properties); });
}

Word TVirtEng::GetNextRecord(TBaseTable* cursor, Integer lock, Byte* record, RECProps* properties)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->GetNextRecord(lock, record, properties); });
}

Word TVirtEng::GetPriorRecord(TBaseTable* cursor, Integer lock, Byte* record, RECProps* properties)
{
    const Word result =
            OnCursor(cursor, [&](TBaseTable* target) { target->GetPriorRecord(lock, record, properties); });
    return result == DBIERR_EOF ? DBIERR_BOF : result;
}

Word TVirtEng::GetRecordForKey(TBaseTable* cursor, bool keyItself, Word fieldCount, Word length, const Byte* key,
                               Byte* record)
{
    return OnCursor(cursor, [&](TBaseTable* target) {
        target->GetRecordForKey(keyItself, fieldCount, record, key, length);
    });
}

Word TVirtEng::GetVchkDesc(TBaseTable* cursor, Word number, VCHKDesc& descriptor)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->GetVchkDesc(number, descriptor); });
}

Word TVirtEng::RelRecordLock(TBaseTable* cursor, bool all)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->RelRecordLock(all); });
}

Word TVirtEng::InitRecord(TBaseTable* cursor, Byte* record)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->InitRecord(record); });
}

Word TVirtEng::InsertRecord(TBaseTable* cursor, Integer lock, Byte* record)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->InsertRecord(lock, record); });
}

Word TVirtEng::AppendRecord(TBaseTable* cursor, Byte* record)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->AppendRecord(record); });
}

Word TVirtEng::ModifyRecord(TBaseTable* cursor, Byte* record, bool freeLock)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->ModifyRecord(record, freeLock); });
}

Word TVirtEng::DeleteRecord(TBaseTable* cursor, Byte* record)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->DeleteRecord(record); });
}

Word TVirtEng::ReadBlock(TBaseTable* cursor, Integer& count, Byte* buffer)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->ReadBlock(count, buffer); });
}

Word TVirtEng::SetToSeqNo(TBaseTable* cursor, Integer number)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->SetToSeqNo(number); });
}

Word TVirtEng::GetField(TBaseTable* cursor, Word fieldNumber, Byte* record, void* dest, bool& blank)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->GetField(fieldNumber, record, blank, dest); });
}

Word TVirtEng::PutField(TBaseTable* cursor, Word fieldNumber, Byte* record, const void* value)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->PutField(fieldNumber, record, value); });
}

Word TVirtEng::VerifyField(TBaseTable* cursor, Word fieldNumber, const void* value, bool& blank)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->VerifyField(fieldNumber, value, blank); });
}

Word TVirtEng::OpenBlob(TBaseTable* cursor, Byte* record, Word field, Integer openMode)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->OpenBlob(record, field, openMode); });
}

Word TVirtEng::GetBlobSize(TBaseTable* cursor, Byte* record, Word field, Cardinal& size)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->GetBlobSize(record, field, size); });
}

Word TVirtEng::GetBlob(TBaseTable* cursor, Byte* record, Word field, Cardinal offset, Cardinal length, void* dest,
                       Cardinal& read)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->GetBlob(record, field, offset, length, dest, read); });
}

Word TVirtEng::PutBlob(TBaseTable* cursor, Byte* record, Word field, Cardinal offset, Cardinal length,
                       const void* source)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->PutBlob(record, field, offset, length, source); });
}

Word TVirtEng::TruncateBlob(TBaseTable* cursor, Byte* record, Word field, Cardinal length)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->TruncateBlob(record, field, length); });
}

Word TVirtEng::FreeBlob(TBaseTable* cursor, Byte* record, Word field)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->FreeBlob(record, field); });
}

Word TVirtEng::GetCursorProps(TBaseTable* cursor, CURProps& properties)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->GetCursorProps(properties); });
}

Word TVirtEng::GetFieldDescs(TBaseTable* cursor, FLDDesc* descriptors)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->GetFieldDescs(descriptors); });
}

Word TVirtEng::GetRecordCount(TBaseTable* cursor, Integer& count)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->GetRecordCount(count); });
}

Word TVirtEng::GetExactRecordCount(TBaseTable* cursor, Integer& count)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->GetExactRecordCount(count); });
}

Word TVirtEng::ForceReread(TBaseTable* cursor)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->ForceReread(); });
}

Word TVirtEng::ForceRecordReread(TBaseTable* cursor, Byte* record)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->ForceRecordReread(record); });
}

Word TVirtEng::SetRange(TBaseTable* cursor, bool keyItself, Word fieldCount1, Word length1, const Byte* key1,
                        bool inclusive1, Word fieldCount2, Word length2, const Byte* key2, bool inclusive2)
{
    return OnCursor(cursor, [&](TBaseTable* target) {
        target->SetRange(keyItself, fieldCount1, length1, key1, inclusive1, fieldCount2, length2, key2, inclusive2);
    });
}

Word TVirtEng::ResetRange(TBaseTable* cursor)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->ResetRange(); });
}

Word TVirtEng::SwitchToIndex(TBaseTable* cursor, const std::string& indexName, bool keepPosition)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->SwitchToIndex(indexName, keepPosition); });
}

Word TVirtEng::SetToKey(TBaseTable* cursor, Word condition, bool keyItself, Word fieldCount, Word length,
                        const Byte* key)
{
    return OnCursor(cursor, [&](TBaseTable* target) {
        target->SetToKey(condition, keyItself, fieldCount, length, key);
    });
}

Word TVirtEng::ExtractKey(TBaseTable* cursor, const Byte* record, Byte* key)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->ExtractKey(record, key); });
}

Word TVirtEng::GetIndexDesc(TBaseTable* cursor, Word number, IDXDesc& descriptor)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->GetIndexDesc(number, descriptor); });
}

Word TVirtEng::GetIndexDescs(TBaseTable* cursor, IDXDesc* descriptors)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->GetIndexDescs(descriptors); });
}

Word TVirtEng::AddFilter(TBaseTable* cursor, uintptr_t clientData, Word priority, bool canAbort,
                         const Byte* expression, TFilterCallback callback, TFilterListItem*& filter)
{
    filter = nullptr;
    return OnCursor(cursor, [&](TBaseTable* target) {
        filter = target->AddFilter(clientData, priority, canAbort, expression, callback);
    });
}

Word TVirtEng::DropFilter(TBaseTable* cursor, TFilterListItem* filter)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->DropFilter(filter); });
}

Word TVirtEng::ActivateFilter(TBaseTable* cursor, TFilterListItem* filter)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->ActivateFilter(filter); });
}

Word TVirtEng::DeactivateFilter(TBaseTable* cursor, TFilterListItem* filter)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->DeactivateFilter(filter); });
}

Word TVirtEng::BeginDelayedUpdates(TBaseTable*& cursor)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->BeginDelayedUpdates(cursor); });
}

Word TVirtEng::EndDelayedUpdates(TBaseTable*& cursor)
{
    return OnCursor(cursor, [&](TBaseTable* target) { target->EndDelayedUpdates(cursor); });
}

Word TVirtEng::GetProp(TBapiListItem* object, Cardinal property, void* buffer, Word maxLength, Word& length)
{
    length = 0;
    if (!object) return DBIERR_INVALIDPARAM;
    return Run([&] {
        CheckCondition(IsObject(object), DBIERR_INVALIDHNDL);
        object->GetProp(property, buffer, length, maxLength);
    });
}

Word TVirtEng::SetProp(TBapiListItem* object, Cardinal property, uintptr_t value)
{
    if (!object) return DBIERR_INVALIDPARAM;
    return Run([&] {
        CheckCondition(IsObject(object), DBIERR_INVALIDHNDL);
        object->SetProp(property, value);
    });
}

Word TVirtEng::GetObjFromObj(TBapiListItem* object, Word kind, TBapiListItem*& result)
{
    result = nullptr;
    if (kind != objSESSION || !object) return DBIERR_INVALIDPARAM;
    if (!IsObject(object)) return Run([] { RaiseEngineError(DBIERR_INVALIDHNDL); });
    result = object->Owner();
    return DBIERR_NONE;
}

Word TVirtEng::GetErrorEntry(Word index, Integer& nativeCode, std::string& text)
{
    TErrorEntry entry{};
    if (!errorStack_->GetEntry(index, entry)) return DBIERR_NONE;
    nativeCode = entry.NativeCode;
    return errorStack_->GetEntryText(index, text);
}

Word TVirtEng::GetErrorString(Word code, std::string& text)
{
    for (Word index = 1; index <= ErrorStringEntries; ++index) {
        TErrorEntry entry{};
        if (!errorStack_->GetEntry(index, entry) || entry.Code != code) continue;
        errorStack_->GetEntryText(index, text);
        return DBIERR_NONE;
    }
    text.clear();
    return code;
}

Word TVirtEng::RegisterConstraintCallBack()
{
    return DBIERR_NA;
}

Word TVirtEng::UnregisterConstraintCallBack()
{
    return DBIERR_NA;
}
