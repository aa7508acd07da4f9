// Shared pieces of the cursor tests: a table of names and codes and short ways to read it.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "engine/core/BseError.h"
#include "engine/tests/support/FakeKeyedTable.h"

// NAME (string of 8) at 0, CODE (32-bit) at 8, NUM (16-bit) at 12; index 0 on NAME, index 1 on CODE.
inline TFakeTablePtr MakeNameCodeTable(const std::vector<std::string>& names)
{
    TFakeTablePtr table = MakeFakeTable({{"NAME", fldZSTRING, 8}, {"CODE", fldINT32, 4}, {"NUM", fldINT16, 2}},
                                        {{"ByName", {1}}, {"ByCode", {2}}});
    Integer code = 1;
    for (const std::string& name : names) table->Add({name, std::to_string(code++), "0"});
    return table;
}

inline std::string NameOf(const std::vector<Byte>& record)
{
    return std::string(reinterpret_cast<const char*>(record.data()), strnlen(reinterpret_cast<const char*>(record.data()), 8));
}

inline Integer CodeOf(const void* record)
{
    Integer code;
    std::memcpy(&code, static_cast<const Byte*>(record) + 8, sizeof code);
    return code;
}

inline std::string Next(TBaseTable& table, Integer lock = dbiNOLOCK)
{
    std::vector<Byte> record(table.GetRecordBufferSize());
    table.GetNextRecord(lock, record.data(), nullptr);
    return NameOf(record);
}

inline std::string Prior(TBaseTable& table, Integer lock = dbiNOLOCK)
{
    std::vector<Byte> record(table.GetRecordBufferSize());
    table.GetPriorRecord(lock, record.data(), nullptr);
    return NameOf(record);
}

inline std::string Current(TBaseTable& table)
{
    std::vector<Byte> record(table.GetRecordBufferSize());
    table.GetRecord(dbiNOLOCK, record.data(), nullptr);
    return NameOf(record);
}

// Every name from here to the end.
inline std::vector<std::string> Rest(TBaseTable& table)
{
    std::vector<std::string> names;
    try {
        for (;;) names.push_back(Next(table));
    } catch (const EBoreaEOFError&) {
    }
    return names;
}

// The engine code the call fails with, 0 when it succeeds.
template <class F>
Word ErrorOf(F call)
{
    try {
        call();
    } catch (const EBoreaEngineError& e) {
        return e.Code();
    }
    return 0;
}

// Accepts the records whose CODE is even.
inline Word __stdcall EvenCodes(uintptr_t, void* record, Integer)
{
    return CodeOf(record) % 2 == 0 ? 1 : 0;
}

// Rejects the record whose NAME equals the text at clientData.
inline Word __stdcall AllBut(uintptr_t clientData, void* record, Integer)
{
    return std::strncmp(static_cast<const char*>(record), reinterpret_cast<const char*>(clientData), 8) != 0;
}

// A key of the NAME index.
inline std::vector<Byte> NameKey(const std::string& name)
{
    std::vector<Byte> key(MaxKeyLength, 0);
    std::memcpy(key.data(), name.data(), std::min<size_t>(name.size(), 8));
    return key;
}
