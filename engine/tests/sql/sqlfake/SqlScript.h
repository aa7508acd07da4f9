// The script behind the scripted SQL requester DLL: it records every call and answers from what the test set
// (version, login and per-entry statuses, result sets by statement text, database names).
//
// Rows of a result are handed out as the engine's record form: a 16-bit length (2 + the column sizes), then the
// columns. A block of rows
// (fetch, insert) holds one row every RowStride bytes: 2 + the column sizes + 4. A bookmark is a 16-bit length 4
// and the row's 32-bit id.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "rtl/Types.h"
#include "rtl/WinApi.h"

// The fake's own statuses and sizes.
constexpr SmallInt SqlNoMoreRows = -109;
constexpr SmallInt SqlNoCurrentRow = 8;
constexpr SmallInt SqlNoCursor = 17;
constexpr SmallInt SqlBadArgument = 1;
constexpr SmallInt SqlLockOption = 1024;
constexpr size_t SqlNameLength = 20;

struct TSqlCall {
    std::string Entry;
    Integer Cursor = -1;  // the cursor argument, -1 for calls without one
    Integer Option = 0;   // fetch option, column, name index, parameter count or rows written
    // Compiled text, "name=value" of a substitution, "user|password|dictionary|data" of a login, the length word
    // of the first record written.
    std::string Text;
};

struct TSqlColumn {
    std::string Name;
    SmallInt Type = 0;
    SmallInt Size = 0;
    SmallInt Decimals = 0;
};

struct TSqlRow {
    Integer Id = 0;
    std::vector<Byte> Data;  // the columns' bytes
};

struct TSqlResult {
    std::vector<TSqlColumn> Columns;
    std::vector<TSqlRow> Rows;

    Word DataSize() const;
    Word RowStride() const { return Word(2 + DataSize() + 4); }
    // A row from its column values laid end to end.
    void AddRow(const std::vector<Byte>& data);
};

class TSqlScript {
public:
    static TSqlScript& Instance();

    // Loads a scripted DLL (a file beside the test program), installs the hook in it and resets the script.
    void Install(const char* dllName);
    // Takes the hook out of every installed DLL and frees them.
    void Uninstall();
    void Reset();

    // Answers.
    SmallInt Major = 4;
    std::map<std::string, SmallInt> Statuses;       // entry -> status it answers (after doing its work)
    std::map<std::string, TSqlResult> Results;       // compiled text -> its result set
    std::vector<std::string> LocalNames, RemoteNames;

    // Records.
    std::vector<TSqlCall> Calls;
    std::vector<std::string> Entries() const;
    Integer CountOf(const std::string& entry) const;
    const TSqlCall* Last(const std::string& entry) const;
    // The result set the cursor works on (the one of its compiled text).
    TSqlResult& ResultOf(Integer cursor);
    Integer CurrentRow(Integer cursor) const;

private:
    struct TCursor {
        std::string Text;
        Integer Row = -1;  // index of the current row; -1 before the first, Rows.size() after the last
    };

    static int16_t Hook(const char* entry, const intptr_t* args, int count);
    SmallInt Dispatch(const std::string& entry, const intptr_t* args);
    SmallInt Answer(const std::string& entry, SmallInt status);
    SmallInt Fetch(TCursor& cursor, SmallInt option, Integer& length, Byte* buffer, Integer& count);
    SmallInt PositionFetch(TCursor& cursor, SmallInt option, Byte* buffer, Integer& count);
    SmallInt Describe(TCursor& cursor, const intptr_t* args);
    SmallInt Insert(TCursor& cursor, Integer& count, const Byte* records);
    SmallInt Update(TCursor& cursor, Integer& count, const Byte* records);
    SmallInt Remove(TCursor& cursor, Integer& count);
    SmallInt DatabaseName(const std::vector<std::string>& names, Integer index, char* name);
    TSqlResult& ResultOf(TCursor& cursor);
    TCursor* CursorOf(Integer id);
    void PutRow(const TSqlResult& result, const TSqlRow& row, Byte* dest) const;

    std::vector<HMODULE> modules_;
    std::map<Integer, TCursor> cursors_;
    Integer nextCursor_ = 1;
};
