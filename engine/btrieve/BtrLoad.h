// The Btrieve requester binding: the requester DLL loaded at run time and its four entry points.
//
// The binding is process-wide and shared by every user (the engine's session, the programs' record-file layers):
// each successful start (status 0 or 1016) must be paired with one stop; only the stop of the last user stops
// and unloads the requester. While nothing is loaded every call answers BtrStatus::RequesterInactive.
#pragma once

#include "rtl/Types.h"

// Requester statuses the engine itself tests or raises.
namespace BtrStatus {
constexpr SmallInt Ok = 0;
constexpr SmallInt FileNotOpen = 3;
constexpr SmallInt KeyNotFound = 4;
constexpr SmallInt InvalidKeyNumber = 6;
constexpr SmallInt EndOfFile = 9;
constexpr SmallInt InvalidFileName = 11;
constexpr SmallInt RequesterInactive = 20;
constexpr SmallInt DataBufferTooShort = 22;
constexpr SmallInt InvalidKeyPath = 44;
constexpr SmallInt RecordNotLocked = 81;
constexpr SmallInt RecordLocked = 84;
constexpr SmallInt FileLocked = 85;
constexpr SmallInt AlreadyInitialized = 1016;
constexpr SmallInt ConversionFailed = 2999;
}  // namespace BtrStatus

// The requester DLL loaded when no name is given.
constexpr const char* DefaultRequesterDll = "wbtrv32.dll";

// Loads the requester (dllName, or DefaultRequesterDll when null or empty) unless it is loaded, binds its entry
// points and initialises it with options. Returns the initialisation status, or RequesterInactive when the DLL
// cannot be loaded or lacks an entry point. Callers take 0 and AlreadyInitialized as success.
SmallInt StartBtrieveRequester(const char* options, const char* dllName);

// Ends one user's start. The last user's stop calls the requester's stop and unloads it, returning its status;
// any other stop returns 0, as does a stop while nothing is loaded.
SmallInt StopBtrieveRequester();

bool IsBtrieveRequesterLoaded();

// The requester's calls; RequesterInactive without a call while it is not loaded.
SmallInt BtrCall(Word operation, void* posBlock, void* dataBuffer, Word* dataLength, void* keyBuffer,
                 Byte keyLength, ShortInt keyNumber);
SmallInt BtrCallId(Word operation, void* posBlock, void* dataBuffer, Word* dataLength, void* keyBuffer,
                   Byte keyLength, ShortInt keyNumber, void* clientId);
