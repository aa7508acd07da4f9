// OLE for the program's main thread (rich-edit object callbacks, drag and drop, the OLE clipboard), started by the
// application's initialisation hook and ended at shut-down.
#pragma once

// Chains the OLE start onto the application's initialisation hook (not in a library): the previous hook runs
// first, then OleInitialize.
void ChainOleStartup();
// OleUninitialize once when the hook's OleInitialize succeeded.
void EndOleStartup();
// Whether the hook's OleInitialize succeeded and has not been ended.
bool OleStarted();
