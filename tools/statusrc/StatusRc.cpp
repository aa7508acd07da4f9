// Writes the status texts as a resource script: one STRINGTABLE with entry 5000 + status, from the record manager's
// table and the engine's own statuses.
//   statusrc OUTPUT.rc
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "requester/core/Statuses.h"
#include "tools/statusrc/EngineStatuses.h"

namespace {

constexpr int StatusTextBase = 5000;

// A resource-script string literal.
std::string Quote(const char* text)
{
    std::string quoted = "\"";
    for (const char* c = text; *c; ++c) {
        if (*c == '"') quoted += "\"\"";
        else if (*c == '\\') quoted += "\\\\";
        else quoted += *c;
    }
    return quoted + "\"";
}

std::string StringTable()
{
    std::ostringstream rc;
    rc << "// Generated from the record manager's and the engine's status tables: do not edit.\n";
    rc << "STRINGTABLE\nBEGIN\n";
    for (const reqcore::StatusEntry& entry : reqcore::StatusTable()) {
        rc << "  " << StatusTextBase + entry.number << ", " << Quote(entry.text) << "\n";
    }
    for (const reqcore::StatusEntry& entry : EngineStatuses) {
        if (reqcore::StatusText(entry.number)) continue;
        rc << "  " << StatusTextBase + entry.number << ", " << Quote(entry.text) << "\n";
    }
    rc << "END\n";
    return rc.str();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: statusrc OUTPUT.rc\n";
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << StringTable();
    return out ? 0 : 1;
}
