#include "engine/tests/sql/sqlfake/SqlScript.h"

#include <algorithm>
#include <cstring>

#include "engine/tests/sql/sqlfake/SqlFakeHook.h"

namespace {

Integer nextRowId = 1;

template <class T>
T* Arg(const intptr_t* args, int index)
{
    return reinterpret_cast<T*>(args[index]);
}

std::string Text(const intptr_t* args, int index)
{
    const char* text = Arg<const char>(args, index);
    return text ? text : "";
}

bool IsAllColumns(const void* fields)
{
    static const Byte allColumns[4] = {4, '*', '.', '*'};
    return std::memcmp(fields, allColumns, 4) == 0;
}

}  // namespace

Word TSqlResult::DataSize() const
{
    Word size = 0;
    for (const TSqlColumn& column : Columns) size = Word(size + column.Size);
    return size;
}

void TSqlResult::AddRow(const std::vector<Byte>& data)
{
    TSqlRow row{nextRowId++, data};
    row.Data.resize(DataSize());
    Rows.push_back(row);
}

TSqlScript& TSqlScript::Instance()
{
    static TSqlScript script;
    return script;
}

namespace {

void SetHook(HMODULE module, SqlFakeHook hook)
{
    const auto setHook =
        reinterpret_cast<SqlFakeSetHookProc>(reinterpret_cast<void*>(GetProcAddress(module, "SqlFakeSetHook")));
    if (setHook) setHook(hook);
}

}  // namespace

void TSqlScript::Install(const char* dllName)
{
    const HMODULE module = LoadLibraryA(dllName);
    if (module) {
        SetHook(module, &TSqlScript::Hook);
        modules_.push_back(module);
    }
    Reset();
}

void TSqlScript::Uninstall()
{
    for (const HMODULE module : modules_) {
        SetHook(module, nullptr);
        FreeLibrary(module);
    }
    modules_.clear();
}

void TSqlScript::Reset()
{
    Major = 4;
    Statuses.clear();
    Results.clear();
    LocalNames.clear();
    RemoteNames.clear();
    Calls.clear();
    cursors_.clear();
    nextCursor_ = 1;
}

std::vector<std::string> TSqlScript::Entries() const
{
    std::vector<std::string> entries;
    for (const TSqlCall& call : Calls) entries.push_back(call.Entry);
    return entries;
}

Integer TSqlScript::CountOf(const std::string& entry) const
{
    return Integer(std::count_if(Calls.begin(), Calls.end(), [&](const TSqlCall& c) { return c.Entry == entry; }));
}

const TSqlCall* TSqlScript::Last(const std::string& entry) const
{
    for (auto it = Calls.rbegin(); it != Calls.rend(); ++it)
        if (it->Entry == entry) return &*it;
    return nullptr;
}

TSqlResult& TSqlScript::ResultOf(Integer cursor)
{
    return ResultOf(cursors_[cursor]);
}

Integer TSqlScript::CurrentRow(Integer cursor) const
{
    const auto it = cursors_.find(cursor);
    return it == cursors_.end() ? -1 : it->second.Row;
}

TSqlResult& TSqlScript::ResultOf(TCursor& cursor)
{
    return Results[cursor.Text];
}

TSqlScript::TCursor* TSqlScript::CursorOf(Integer id)
{
    const auto it = cursors_.find(id);
    return it == cursors_.end() ? nullptr : &it->second;
}

int16_t TSqlScript::Hook(const char* entry, const intptr_t* args, int)
{
    return Instance().Dispatch(entry, args);
}

SmallInt TSqlScript::Answer(const std::string& entry, SmallInt status)
{
    const auto it = Statuses.find(entry);
    return it == Statuses.end() ? status : it->second;
}

SmallInt TSqlScript::Dispatch(const std::string& entry, const intptr_t* args)
{
    TSqlCall call;
    call.Entry = entry;
    const bool hasCursor = entry != "_XQLCursor" && entry.rfind("SQL", 0) != 0 && entry != "_XQLLogin" &&
                           entry != "_XQLLogout" && entry != "XQLVersion" && entry != "xReset";
    if (hasCursor) call.Cursor = Integer(SmallInt(args[0]));
    TCursor* cursor = hasCursor ? CursorOf(call.Cursor) : nullptr;
    SmallInt status = 0;

    if (entry == "_XQLCursor") {
        cursors_[nextCursor_] = TCursor{};
        *Arg<SmallInt>(args, 0) = SmallInt(nextCursor_++);
    } else if (entry == "_XQLCompile") {
        call.Text = Text(args, 2);
        if (cursor) cursor->Text = call.Text;
    } else if (entry == "_XQLFree") {
        cursors_.erase(call.Cursor);
    } else if (entry == "XQLSubst") {
        call.Option = Integer(args[1]);
        call.Text = std::string(Arg<const char>(args, 3)) + "=" +
                    std::string(Arg<const char>(args, 5), size_t(SmallInt(args[4])));
    } else if (entry == "XQLExec") {
        if (cursor) cursor->Row = -1;
    } else if (entry == "_XQLFetch") {
        call.Option = Integer(args[1]);
        if (cursor)
            status = Fetch(*cursor, SmallInt(args[1]), *Arg<Integer>(args, 2), Arg<Byte>(args, 3),
                           *Arg<Integer>(args, 4));
    } else if (entry == "xFetch") {
        call.Option = Integer(args[2]);
        if (cursor) status = PositionFetch(*cursor, SmallInt(args[2]), Arg<Byte>(args, 5), *Arg<Integer>(args, 3));
    } else if (entry == "XQLDescribe") {
        call.Option = Integer(args[1]);
        status = cursor ? Describe(*cursor, args) : SmallInt(SqlNoCursor);
    } else if (entry == "xInsert" || entry == "xUpdate" || entry == "xRemove") {
        call.Option = Integer(*Arg<Integer>(args, 3));
        if (entry != "xRemove") call.Text = std::to_string(*reinterpret_cast<const Word*>(args[4]));
        if (!IsAllColumns(Arg<const void>(args, 2))) status = SqlBadArgument;
        else if (!cursor) status = SqlNoCursor;
        else if (entry == "xInsert") status = Insert(*cursor, *Arg<Integer>(args, 3), Arg<const Byte>(args, 4));
        else if (entry == "xUpdate") status = Update(*cursor, *Arg<Integer>(args, 3), Arg<const Byte>(args, 4));
        else status = Remove(*cursor, *Arg<Integer>(args, 3));
    } else if (entry == "_XQLLogin") {
        call.Option = Integer(args[5]);
        call.Text = Text(args, 0) + "|" + Text(args, 1) + "|" + Text(args, 2) + "|" + Text(args, 3);
    } else if (entry == "XQLVersion") {
        auto* version = Arg<Byte>(args, 0);
        call.Option = *reinterpret_cast<const Word*>(version + 4);
        call.Text.assign(reinterpret_cast<const char*>(version), 4);
        if (std::memcmp(version, "XVER", 4) == 0) std::memcpy(version + 12, &Major, 2);
    } else if (entry == "SQLGetCountDatabaseNames") {
        *Arg<SmallInt>(args, 0) = SmallInt(LocalNames.size());
    } else if (entry == "SQLGetCountRemoteDatabaseNames") {
        *Arg<SmallInt>(args, 0) = SmallInt(RemoteNames.size());
    } else if (entry == "SQLGetDatabaseNames" || entry == "SQLGetRemoteDatabaseNames") {
        call.Option = Integer(SmallInt(args[0]));
        status = DatabaseName(entry == "SQLGetDatabaseNames" ? LocalNames : RemoteNames, call.Option,
                              Arg<char>(args, 1));
    }
    Calls.push_back(call);
    return Answer(entry, status);
}

void TSqlScript::PutRow(const TSqlResult& result, const TSqlRow& row, Byte* dest) const
{
    const Word size = result.DataSize();
    const Word length = Word(2 + size);
    std::memcpy(dest, &length, 2);
    std::memcpy(dest + 2, row.Data.data(), size);
}

SmallInt TSqlScript::Fetch(TCursor& cursor, SmallInt option, Integer& length, Byte* buffer, Integer& count)
{
    TSqlResult& result = ResultOf(cursor);
    const Integer rows = Integer(result.Rows.size());
    const Integer wanted = std::max<Integer>(count, 1);
    const Word stride = result.RowStride();
    count = 0;
    const auto one = [&](Integer row) -> SmallInt {
        PutRow(result, result.Rows[size_t(row)], buffer);
        count = 1;
        length = stride;
        return 0;
    };
    switch (option & ~SqlLockOption) {
    case 0:
        return cursor.Row < 0 || cursor.Row >= rows ? SmallInt(0) : one(cursor.Row);
    case 3:
        if (cursor.Row <= 0) {
            cursor.Row = -1;
            return SqlNoMoreRows;
        }
        return one(--cursor.Row);
    case 4:
        cursor.Row = rows - 1;
        return rows == 0 ? SqlNoMoreRows : one(cursor.Row);
    case 1:
        cursor.Row = -1;
        [[fallthrough]];
    case 2:
        break;
    default:
        return SqlBadArgument;
    }
    while (count < wanted && cursor.Row + 1 < rows) {
        PutRow(result, result.Rows[size_t(++cursor.Row)], buffer + count * stride);
        ++count;
    }
    length = count * stride;
    if (count == wanted) return 0;
    if (count == 0) cursor.Row = rows;
    return SqlNoMoreRows;
}

SmallInt TSqlScript::PositionFetch(TCursor& cursor, SmallInt option, Byte* buffer, Integer& count)
{
    TSqlResult& result = ResultOf(cursor);
    count = 0;
    if (option == 5) {
        if (cursor.Row < 0 || cursor.Row >= Integer(result.Rows.size())) return 0;
        const Word length = 4;
        std::memcpy(buffer, &length, 2);
        std::memcpy(buffer + 2, &result.Rows[size_t(cursor.Row)].Id, 4);
        count = 1;
        return 0;
    }
    if ((option & ~SqlLockOption) != 256) return SqlBadArgument;
    Integer id = 0;
    std::memcpy(&id, buffer + 2, 4);
    for (size_t i = 0; i < result.Rows.size(); ++i) {
        if (result.Rows[i].Id != id) continue;
        cursor.Row = Integer(i);
        PutRow(result, result.Rows[i], buffer);
        count = 1;
        return 0;
    }
    return 0;
}

SmallInt TSqlScript::Describe(TCursor& cursor, const intptr_t* args)
{
    TSqlResult& result = ResultOf(cursor);
    const Integer column = Integer(SmallInt(args[1]));
    if (column < 1 || column > Integer(result.Columns.size())) return 804;
    const TSqlColumn& c = result.Columns[size_t(column - 1)];
    *Arg<SmallInt>(args, 2) = c.Type;
    *Arg<SmallInt>(args, 3) = c.Size;
    *Arg<SmallInt>(args, 4) = c.Decimals;
    *Arg<SmallInt>(args, 5) = c.Size;
    SmallInt& nameLength = *Arg<SmallInt>(args, 6);
    const size_t length = std::min<size_t>(c.Name.size(), size_t(std::max<SmallInt>(nameLength, 0)));
    std::memcpy(Arg<char>(args, 7), c.Name.data(), length);
    nameLength = SmallInt(length);
    return 0;
}

SmallInt TSqlScript::Insert(TCursor& cursor, Integer& count, const Byte* records)
{
    TSqlResult& result = ResultOf(cursor);
    const Integer wanted = count;
    for (count = 0; count < wanted; ++count) {
        const Byte* record = records + count * result.RowStride();
        TSqlRow row{nextRowId++, std::vector<Byte>(record + 2, record + 2 + result.DataSize())};
        const Integer at = std::clamp<Integer>(cursor.Row + 1, 0, Integer(result.Rows.size()));
        result.Rows.insert(result.Rows.begin() + at, row);
        cursor.Row = at;
    }
    return 0;
}

SmallInt TSqlScript::Update(TCursor& cursor, Integer& count, const Byte* records)
{
    TSqlResult& result = ResultOf(cursor);
    count = 0;
    if (cursor.Row < 0 || cursor.Row >= Integer(result.Rows.size())) return SqlNoCurrentRow;
    result.Rows[size_t(cursor.Row)].Data.assign(records + 2, records + 2 + result.DataSize());
    count = 1;
    return 0;
}

SmallInt TSqlScript::Remove(TCursor& cursor, Integer& count)
{
    TSqlResult& result = ResultOf(cursor);
    count = 0;
    if (cursor.Row < 0 || cursor.Row >= Integer(result.Rows.size())) return SqlNoCurrentRow;
    result.Rows.erase(result.Rows.begin() + cursor.Row);
    --cursor.Row;  // the next fetch gives the row after the removed one
    count = 1;
    return 0;
}

SmallInt TSqlScript::DatabaseName(const std::vector<std::string>& names, Integer index, char* name)
{
    if (index < 0 || index >= Integer(names.size())) return SqlBadArgument;
    std::memset(name, ' ', SqlNameLength);
    std::memcpy(name, names[size_t(index)].data(), std::min<size_t>(names[size_t(index)].size(), SqlNameLength));
    return 0;
}
