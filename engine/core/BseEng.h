// TVirtEng: the engine's single entry point. Every method forwards to one operation of a session, database or
// cursor and turns an engine failure into its 16-bit code (0 = success) with the failure on the error stack.
// Handles are checked against the objects the facade's sessions own: an unknown or freed one gives
// DBIERR_INVALIDHNDL. Exceptions that are not engine errors pass out unchanged.
#pragma once

#include <memory>
#include <string>

#include "engine/core/BseBase.h"
#include "engine/core/BseErrStack.h"
#include "engine/core/BseSessRecords.h"
#include "engine/core/BseTable.h"

class TBaseDatabase;
class TBaseSession;
class TVirtEng;

// Makes a driver session: (facade, net directory, name, collection).
using TSessionClass = TBaseSession* (*)(TVirtEng* engine, const std::string& netDir, const std::string& name,
                                       TBoreaCollection* collection);

template <class T>
TBaseSession* MakeSession(TVirtEng* engine, const std::string& netDir, const std::string& name,
                          TBoreaCollection* collection)
{
    return CreateObject<T>(engine, netDir, name, collection);
}

// The facade's own property.
constexpr Cardinal engPROPVALUE = 0xFF070002;
// Object kinds of GetObjFromObj.
constexpr Word objSESSION = 2;
constexpr Word ErrorStackCapacity = 10;

class TVirtEng : public TBapiListItem {
    DUN_CLASS(TVirtEng, TBapiListItem)
public:
    // Starts the default session; its failure is raised (and the facade not made).
    TVirtEng(TSessionClass sessionClass, TBapiListItem* owner, TBoreaCollection* collection);
    ~TVirtEng() override;

    TErrorStack* ErrorStack() const { return errorStack_.get(); }
    TBoreaCollection* Sessions() { return &sessions_; }
    TBaseSession* CurrentSession() const { return currentSession_; }

    void GetProp(Cardinal property, void* buffer, Word& length, Word maxLength) override;
    void SetProp(Cardinal property, uintptr_t value) override;

    // Sessions.
    Word StartSession(const std::string& name, TBaseSession*& session, const std::string& netDir);
    Word CloseSession(TBaseSession* session);
    Word SetCurrSession(TBaseSession* session);
    Word GetCurrSession(TBaseSession*& session);
    Word GetSesInfo(SESInfo& information);
    Word SetPrivateDir(const std::string& directory);
    Word NativeToAnsi(char* dest, bool& dataLoss, Word length, const char* source);
    Word AnsiToNative(char* dest, bool& dataLoss, Word length, const char* source);
    Word RegisterCallBack();
    Word AddAlias(bool persistent, const std::string& name, const std::string& driverType,
                  const std::string& parameters);
    Word DeleteAlias(const std::string& name);
    // The configuration list of path (prepared like a database name).
    Word OpenCfgInfoList(const std::string& path, TBaseTable*& cursor);

    // Databases. name and type none with a "PATH" option take the option's value as the name.
    Word OpenDatabase(const char* name, const char* type, Integer openMode, Integer shareMode, const char* password,
                      Word optionCount, const FLDDesc* descriptors, Byte* values, TBaseDatabase*& database);
    Word CloseDatabase(TBaseDatabase*& database);
    // indexId (DefaultIndexId or NoIndexId) counts only when indexName is empty.
    Word OpenTable(TBaseDatabase* database, const std::string& name, const std::string& indexName, Word indexId,
                   Integer openMode, Integer shareMode, TBaseTable*& cursor);
    Word OpenFieldList(TBaseDatabase* database, const std::string& tableName, TBaseTable*& cursor);
    Word OpenIndexList(TBaseDatabase* database, const std::string& tableName, TBaseTable*& cursor);
    Word OpenVchkList(TBaseDatabase* database, const std::string& tableName, TBaseTable*& cursor);
    Word SetDirectory(TBaseDatabase* database, const std::string& directory);
    Word BeginTran(TBaseDatabase* database);
    // kind: xendCOMMIT or xendABORT.
    Word EndTran(TBaseDatabase* database, Integer kind);

    // Cursors.
    // Frees the cursor also when its close fails.
    Word CloseCursor(TBaseTable*& cursor);
    // A new cursor on the same table, opened by the cursor's database; DBIERR_INVALIDPARAM for a cursor that no
    // database owns.
    Word CloneCursor(TBaseTable* cursor, TBaseTable*& clone);
    Word SetToBegin(TBaseTable* cursor);
    Word SetToEnd(TBaseTable* cursor);
    Word SetToCursor(TBaseTable* destination, TBaseTable* source);
    Word GetBookMark(TBaseTable* cursor, void* bookmark);
    Word SetToBookMark(TBaseTable* cursor, const void* bookmark);
    Word CompareBookMarks(TBaseTable* cursor, const void* bookmark1, const void* bookmark2, Integer& result);
    Word GetRecord(TBaseTable* cursor, Integer lock, Byte* record, RECProps* properties);
    Word GetNextRecord(TBaseTable* cursor, Integer lock, Byte* record, RECProps* properties);
    // Running off either end reports DBIERR_BOF.
    Word GetPriorRecord(TBaseTable* cursor, Integer lock, Byte* record, RECProps* properties);
    Word GetRecordForKey(TBaseTable* cursor, bool keyItself, Word fieldCount, Word length, const Byte* key,
                         Byte* record);
    Word GetVchkDesc(TBaseTable* cursor, Word number, VCHKDesc& descriptor);
    Word RelRecordLock(TBaseTable* cursor, bool all);
    Word InitRecord(TBaseTable* cursor, Byte* record);
    Word InsertRecord(TBaseTable* cursor, Integer lock, Byte* record);
    Word AppendRecord(TBaseTable* cursor, Byte* record);
    Word ModifyRecord(TBaseTable* cursor, Byte* record, bool freeLock);
    Word DeleteRecord(TBaseTable* cursor, Byte* record);
    Word ReadBlock(TBaseTable* cursor, Integer& count, Byte* buffer);
    Word SetToSeqNo(TBaseTable* cursor, Integer number);
    Word GetField(TBaseTable* cursor, Word fieldNumber, Byte* record, void* dest, bool& blank);
    Word PutField(TBaseTable* cursor, Word fieldNumber, Byte* record, const void* value);
    Word VerifyField(TBaseTable* cursor, Word fieldNumber, const void* value, bool& blank);
    Word OpenBlob(TBaseTable* cursor, Byte* record, Word field, Integer openMode);
    Word GetBlobSize(TBaseTable* cursor, Byte* record, Word field, Cardinal& size);
    Word GetBlob(TBaseTable* cursor, Byte* record, Word field, Cardinal offset, Cardinal length, void* dest,
                 Cardinal& read);
    Word PutBlob(TBaseTable* cursor, Byte* record, Word field, Cardinal offset, Cardinal length,
                 const void* source);
    Word TruncateBlob(TBaseTable* cursor, Byte* record, Word field, Cardinal length);
    Word FreeBlob(TBaseTable* cursor, Byte* record, Word field);
    Word GetCursorProps(TBaseTable* cursor, CURProps& properties);
    Word GetFieldDescs(TBaseTable* cursor, FLDDesc* descriptors);
    Word GetRecordCount(TBaseTable* cursor, Integer& count);
    Word GetExactRecordCount(TBaseTable* cursor, Integer& count);
    Word ForceReread(TBaseTable* cursor);
    Word ForceRecordReread(TBaseTable* cursor, Byte* record);
    Word SetRange(TBaseTable* cursor, bool keyItself, Word fieldCount1, Word length1, const Byte* key1,
                  bool inclusive1, Word fieldCount2, Word length2, const Byte* key2, bool inclusive2);
    Word ResetRange(TBaseTable* cursor);
    Word SwitchToIndex(TBaseTable* cursor, const std::string& indexName, bool keepPosition);
    Word SetToKey(TBaseTable* cursor, Word condition, bool keyItself, Word fieldCount, Word length,
                  const Byte* key);
    Word ExtractKey(TBaseTable* cursor, const Byte* record, Byte* key);
    Word GetIndexDesc(TBaseTable* cursor, Word number, IDXDesc& descriptor);
    Word GetIndexDescs(TBaseTable* cursor, IDXDesc* descriptors);
    Word AddFilter(TBaseTable* cursor, uintptr_t clientData, Word priority, bool canAbort, const Byte* expression,
                   TFilterCallback callback, TFilterListItem*& filter);
    Word DropFilter(TBaseTable* cursor, TFilterListItem* filter);
    Word ActivateFilter(TBaseTable* cursor, TFilterListItem* filter);
    Word DeactivateFilter(TBaseTable* cursor, TFilterListItem* filter);
    // Replaces the handle with a cached-updates cursor over it.
    Word BeginDelayedUpdates(TBaseTable*& cursor);
    Word EndDelayedUpdates(TBaseTable*& cursor);

    // Any engine object: none gives DBIERR_INVALIDPARAM, an object the facade does not know DBIERR_INVALIDHNDL.
    Word GetProp(TBapiListItem* object, Cardinal property, void* buffer, Word maxLength, Word& length);
    Word SetProp(TBapiListItem* object, Cardinal property, uintptr_t value);
    Word GetObjFromObj(TBapiListItem* object, Word kind, TBapiListItem*& result);

    // The error stack.
    Word GetErrorEntry(Word index, Integer& nativeCode, std::string& text);
    Word GetErrorString(Word code, std::string& text);
    Word RegisterConstraintCallBack();
    Word UnregisterConstraintCallBack();

    // Whether the handle is an object of this facade's sessions.
    bool IsSession(TBaseSession* session) const;
    bool IsDatabase(TBaseDatabase* database) const;
    bool IsCursor(TBaseTable* cursor) const;
    // The facade, or a session, database, cursor or object a database holds.
    bool IsObject(TBapiListItem* object) const;

private:
    // Runs action; an engine error clears the stack, is pushed and its code returned.
    template <class Action>
    Word Run(Action action);
    template <class Action>
    Word OnCursor(TBaseTable* cursor, Action action);
    template <class Action>
    Word OnDatabase(TBaseDatabase* database, Action action);
    template <class Action>
    Word OnSession(Action action);
    TBaseSession* NewSession(const std::string& name, const std::string& netDir);

    TSessionClass sessionClass_;
    std::unique_ptr<TErrorStack> errorStack_;
    TBoreaCollection sessions_;
    TBaseSession* currentSession_ = nullptr;
    Cardinal engineValue_ = 0;
};

// Removes a bracketed prefix: from "[" up to and including the character after the next "]".
std::string PrepareDatabaseName(const std::string& name);
