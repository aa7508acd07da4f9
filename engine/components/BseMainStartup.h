// Start-up and shut-down of the dataset components: COM for the program's main thread, started by the
// application's initialisation hook.
#pragma once

// Chains the COM start onto the application's initialisation hook (not in a library): the previous hook runs
// first, then CoInitialize.
void ChainComStartup();
// CoUninitialize once when the hook's CoInitialize succeeded.
void EndComStartup();
// Whether the hook's CoInitialize succeeded and has not been ended.
bool ComStarted();
