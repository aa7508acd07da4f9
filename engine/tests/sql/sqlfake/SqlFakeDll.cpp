// The scripted SQL requester: every entry point of the requester and of the database-name library, each handing
// its name and arguments to the test's hook.
#include <cstdint>
#include <initializer_list>

#include "engine/tests/sql/sqlfake/SqlFakeHook.h"

namespace {

SqlFakeHook hook = nullptr;

int16_t Forward(const char* entry, std::initializer_list<intptr_t> args)
{
    return hook ? hook(entry, args.begin(), int(args.size())) : 0;
}

intptr_t P(const void* pointer)
{
    return reinterpret_cast<intptr_t>(pointer);
}

}  // namespace

#define SQL_FAKE_NO_ARGS(name) \
    int16_t __stdcall name() { return Forward(#name, {}); }

extern "C" {

__declspec(dllexport) void SqlFakeSetHook(SqlFakeHook newHook)
{
    hook = newHook;
}

int16_t __stdcall _XQLCursor(int16_t* cursorId)
{
    return Forward("_XQLCursor", {P(cursorId)});
}

int16_t __stdcall _XQLCompile(int16_t cursorId, int16_t* length, const char* text)
{
    return Forward("_XQLCompile", {cursorId, P(length), P(text)});
}

int16_t __stdcall _XQLFree(int16_t cursorId)
{
    return Forward("_XQLFree", {cursorId});
}

int16_t __stdcall XQLSubst(int16_t cursorId, int16_t count, int16_t nameLength, const char* names,
                           int16_t valueLength, const char* values)
{
    return Forward("XQLSubst", {cursorId, count, nameLength, P(names), valueLength, P(values)});
}

int16_t __stdcall XQLExec(int16_t cursorId)
{
    return Forward("XQLExec", {cursorId});
}

int16_t __stdcall _XQLFetch(int16_t cursorId, int16_t option, int32_t* length, void* buffer, int32_t* count,
                            int16_t asciiFlag, int16_t spacing)
{
    return Forward("_XQLFetch", {cursorId, option, P(length), P(buffer), P(count), asciiFlag, spacing});
}

int16_t __stdcall XQLDescribe(int16_t cursorId, int16_t column, int16_t* type, int16_t* size, int16_t* decimals,
                              int16_t* displayWidth, int16_t* nameLength, char* name)
{
    return Forward("XQLDescribe",
                   {cursorId, column, P(type), P(size), P(decimals), P(displayWidth), P(nameLength), P(name)});
}

int16_t __stdcall _XQLLogin(const char* user, const char* password, const char* dictionaryPath,
                            const char* dataPath, const char* reserved, int16_t flag)
{
    return Forward("_XQLLogin", {P(user), P(password), P(dictionaryPath), P(dataPath), P(reserved), flag});
}

int16_t __stdcall _XQLLogout()
{
    return Forward("_XQLLogout", {});
}

int16_t __stdcall XQLVersion(void* version)
{
    return Forward("XQLVersion", {P(version)});
}

int16_t __stdcall xFetch(int16_t cursorId, int32_t* length, int16_t option, int32_t* count, int32_t* rejectCount,
                         void* buffer)
{
    return Forward("xFetch", {cursorId, P(length), option, P(count), P(rejectCount), P(buffer)});
}

int16_t __stdcall xInsert(int16_t cursorId, int16_t* fieldCount, const void* fields, int32_t* count, void* records)
{
    return Forward("xInsert", {cursorId, P(fieldCount), P(fields), P(count), P(records)});
}

int16_t __stdcall xUpdate(int16_t cursorId, int16_t* fieldCount, const void* fields, int32_t* count, void* records)
{
    return Forward("xUpdate", {cursorId, P(fieldCount), P(fields), P(count), P(records)});
}

int16_t __stdcall xRemove(int16_t cursorId, int16_t* fieldCount, const void* fields, int32_t* count)
{
    return Forward("xRemove", {cursorId, P(fieldCount), P(fields), P(count)});
}

int16_t __stdcall xReset(void* buffer)
{
    return Forward("xReset", {P(buffer)});
}

int16_t __stdcall SQLGetCountDatabaseNames(int16_t* count)
{
    return Forward("SQLGetCountDatabaseNames", {P(count)});
}

int16_t __stdcall SQLGetCountRemoteDatabaseNames(int16_t* count)
{
    return Forward("SQLGetCountRemoteDatabaseNames", {P(count)});
}

int16_t __stdcall SQLGetDatabaseNames(int16_t index, char* name)
{
    return Forward("SQLGetDatabaseNames", {index, P(name)});
}

int16_t __stdcall SQLGetRemoteDatabaseNames(int16_t index, char* name)
{
    return Forward("SQLGetRemoteDatabaseNames", {index, P(name)});
}

// Bound and never called: a call still reaches the hook, so a test sees it.
SQL_FAKE_NO_ARGS(_xGetSessionID)
SQL_FAKE_NO_ARGS(_xPutSessionID)
SQL_FAKE_NO_ARGS(_XQLCallback)
SQL_FAKE_NO_ARGS(_xShareSessionID)
SQL_FAKE_NO_ARGS(XQLFormat)
SQL_FAKE_NO_ARGS(XQLSPUtility)
SQL_FAKE_NO_ARGS(XQLStatus)
SQL_FAKE_NO_ARGS(_XQLStop)
SQL_FAKE_NO_ARGS(XQLConvert)
SQL_FAKE_NO_ARGS(XQLValidate)
SQL_FAKE_NO_ARGS(XQLMask)
SQL_FAKE_NO_ARGS(xCompute)
SQL_FAKE_NO_ARGS(xDescribe)
SQL_FAKE_NO_ARGS(xMovefld)
SQL_FAKE_NO_ARGS(xField)
SQL_FAKE_NO_ARGS(xFree)
SQL_FAKE_NO_ARGS(xJoin)
SQL_FAKE_NO_ARGS(xLogin)
SQL_FAKE_NO_ARGS(xLogout)
SQL_FAKE_NO_ARGS(xNew)
SQL_FAKE_NO_ARGS(xOrder)
SQL_FAKE_NO_ARGS(xRemall)
SQL_FAKE_NO_ARGS(xRestrict)
SQL_FAKE_NO_ARGS(xStop)
SQL_FAKE_NO_ARGS(xTrans)
SQL_FAKE_NO_ARGS(xStore)
SQL_FAKE_NO_ARGS(xRecall)
SQL_FAKE_NO_ARGS(xUpdall)
SQL_FAKE_NO_ARGS(xDD)
SQL_FAKE_NO_ARGS(xDDAttr)
SQL_FAKE_NO_ARGS(xDDModify)
SQL_FAKE_NO_ARGS(xDDCreate)
SQL_FAKE_NO_ARGS(xDDDrop)
SQL_FAKE_NO_ARGS(xDDField)
SQL_FAKE_NO_ARGS(xDDFile)
SQL_FAKE_NO_ARGS(xDDIndex)
SQL_FAKE_NO_ARGS(xDDPath)
SQL_FAKE_NO_ARGS(xDDView)
SQL_FAKE_NO_ARGS(xAccess)
SQL_FAKE_NO_ARGS(xPassword)
SQL_FAKE_NO_ARGS(xSecurity)
SQL_FAKE_NO_ARGS(xUser)
SQL_FAKE_NO_ARGS(xChar)
SQL_FAKE_NO_ARGS(xVersion)
SQL_FAKE_NO_ARGS(xStatus)
SQL_FAKE_NO_ARGS(xConvert)
SQL_FAKE_NO_ARGS(xValidate)
SQL_FAKE_NO_ARGS(xMask)
SQL_FAKE_NO_ARGS(SQLUnloadDBNames)

}  // extern "C"
