#include "engine/sql/BtrSqlStmt.h"

#include <cstdio>
#include <cstring>

#include "engine/btrieve/BtrError.h"
#include "engine/core/BseDb.h"
#include "engine/core/BseError.h"
#include "engine/core/BseSess.h"
#include "engine/sql/BtrSqlAgg.h"
#include "engine/sql/BtrSqlLoad.h"
#include "rtl/DateFormat.h"
#include "rtl/DateTime.h"
#include "rtl/FloatConv.h"

namespace {

constexpr SmallInt ProcedureKind = 1;

std::string VariableName(Integer number)
{
    char name[16];
    std::snprintf(name, sizeof name, "QVAR%4.4d", int(number));
    return name;
}

template <class T>
T ValueAt(const Byte* value)
{
    T result{};
    std::memcpy(&result, value, sizeof result);
    return result;
}

// A text parameter ends at its zero or, when the descriptor gives a length, within it.
std::string TextValue(const Byte* value, Word length)
{
    const auto* text = reinterpret_cast<const char*>(value);
    return length > 0 ? std::string(text, strnlen(text, length)) : std::string(text);
}

// A parameter value of the descriptor's logical type as the text the requester substitutes.
std::string ParameterText(const FLDDesc& descriptor, const Byte* value)
{
    switch (descriptor.iFldType) {
    case fldZSTRING: return TextValue(value, descriptor.iLen);
    case fldDATE: return DateToStr(TDateTime(ValueAt<Integer>(value) - DateDelta));
    case fldBOOL: return ValueAt<SmallInt>(value) != 0 ? "TRUE" : "FALSE";
    case fldINT16: return std::to_string(ValueAt<SmallInt>(value));
    case fldINT32: return std::to_string(ValueAt<Integer>(value));
    case fldUINT16: return std::to_string(ValueAt<Word>(value));
    case fldUINT32: return std::to_string(ValueAt<Cardinal>(value));
    case fldINT64: return std::to_string(ValueAt<int64_t>(value));
    case fldUINT64: return std::to_string(ValueAt<uint64_t>(value));
    case fldFLOAT:
    case fldBCD:
    case fldFLOATIEEE: return FloatToStr(ValueAt<double>(value));
    case fldTIME: return TimeToStr(TDateTime(double(ValueAt<Integer>(value)) / MSecsPerDay));
    default: return "";
    }
}

}  // namespace

std::string SubstituteSqlParameters(const std::string& text, Integer& count)
{
    std::string result;
    result.reserve(text.size());
    count = 0;
    bool quoted = false;
    for (const char c : text) {
        if (c == '\'') quoted = !quoted;
        if (quoted || (c != ':' && c != '?'))
            result += c;
        else if (c == ':')
            result += '@';
        else
            result += "@" + VariableName(count++);
    }
    return result;
}

TSSQLSqlStmt::TSSQLSqlStmt(TBaseDatabase* owner, SmallInt kind, const char* text, TBoreaCollection* collection,
                           const Byte* clientId)
        : TSqlStmt(owner, kind, text, collection), clientId_(clientId)
{
}

void TSSQLSqlStmt::SetText(const char* text)
{
    FreeCursor();
    if (!text) {
        TSqlStmt::SetText(nullptr);
        return;
    }
    Integer count = 0;
    TSqlStmt::SetText(SubstituteSqlParameters(text, count).c_str());
}

void TSSQLSqlStmt::AfterCreate()
{
    Prepare();
}

void TSSQLSqlStmt::BeforeDestroy()
{
    FreeCursor();
}

void TSSQLSqlStmt::FreeCursor()
{
    if (cursorId_ < 0) return;
    XqlFree(cursorId_);
    cursorId_ = -1;
}

void TSSQLSqlStmt::Prepare()
{
    FreeCursor();
    if (!HasText()) return;
    SmallInt cursorId = -1;
    CheckSqlStatus(XqlCursor(cursorId));
    cursorId_ = cursorId;
    std::string text = Text();
    SmallInt length = SmallInt(text.size());
    const SmallInt status = XqlCompile(cursorId_, length, text.c_str());
    if (status != SqlStatus::UnresolvedSubstitution) CheckSqlStatus(status);
}

void TSSQLSqlStmt::PrepareWhenNeeded()
{
    if (cursorId_ < 0) Prepare();
}

void TSSQLSqlStmt::SetParams(const TDatabaseOptions& parameters)
{
    PrepareWhenNeeded();
    Integer number = 0;
    for (Word i = 0; i < parameters.Count; ++i) {
        const FLDDesc& descriptor = parameters.Descriptors[i];
        if (descriptor.szName[0] != '\0') continue;
        const std::string value = ParameterText(descriptor, parameters.Values + descriptor.iOffset);
        const std::string name = VariableName(number++);
        CheckSqlStatus(XqlSubst(cursorId_, 1, SmallInt(name.size() + 1), name.c_str(), SmallInt(value.size()),
                                value.c_str()));
    }
}

void TSSQLSqlStmt::Execute(TBaseTable** result)
{
    PrepareWhenNeeded();
    if (!result) {
        CheckSqlStatus(XqlExec(cursorId_));
        return;
    }
    auto* database = static_cast<TBaseDatabase*>(Owner());
    TBtrSqlBaseTable* cursor =
        Kind() == ProcedureKind
            ? CreateObject<TBtrSqlAggTable>(database, database->Tables(), clientId_, cursorId_)
            : CreateObject<TBtrSqlBaseTable>(database, database->Tables(), clientId_, cursorId_);
    try {
        cursor->Open();
    } catch (...) {
        cursor->Free();
        throw;
    }
    *result = cursor;
}
