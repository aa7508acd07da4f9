// A small client file of the host layout, shared by the tests that read host files through the engine.
#pragma once

#include "tools/mkdemo/HostDataDir.h"

struct TClientRow {
    const char* Code;
    const char* LastName;
    const char* Unassigned;
};

// In the order of insertion (key 0), which is not the order of the client codes (key 1).
inline const TClientRow ClientRows[] = {
    {"CARTER", "Adams", "000000"}, {"DELTA", "Brown", "800000"}, {"EVANS", "Clark", "000000"},
    {"BAKER", "Young", "800000"}, {"ACME", "Zeta", "000000"},
};

// Makes yclient.qf in dir with ClientRows.
inline void MakeClientFile(THostDataDir& dir)
{
    dir.MakeFile("yclient.qf");
    for (const TClientRow& row : ClientRows) {
        THostRecord record = dir.NewRecord("yclient.qf");
        record.Set("Client Code", row.Code).Set("Client Last Name", row.LastName);
        record.Set("Unassigned", row.Unassigned);
        dir.Insert("yclient.qf", record);
    }
}
