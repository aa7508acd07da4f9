#include "engine/btrieve/BtrLoad.h"

#include <atomic>
#include <mutex>

#include "rtl/WinApi.h"

namespace {

using TBtrCall = SmallInt(__stdcall*)(Word, void*, void*, Word*, void*, Byte, ShortInt);
using TBtrCallId = SmallInt(__stdcall*)(Word, void*, void*, Word*, void*, Byte, ShortInt, void*);
using TBtrInit = SmallInt(__stdcall*)(const char*);
using TBtrStop = SmallInt(__stdcall*)();

struct TRequesterBinding {
    std::mutex Guard;  // serialises start and stop
    HMODULE Module = nullptr;
    int Users = 0;
    std::atomic<TBtrCall> Call{nullptr};
    std::atomic<TBtrCallId> CallId{nullptr};
    TBtrInit Init = nullptr;
    TBtrStop Stop = nullptr;
};

TRequesterBinding& Binding()
{
    static TRequesterBinding binding;
    return binding;
}

void Unload(TRequesterBinding& b)
{
    b.Call = nullptr;
    b.CallId = nullptr;
    b.Init = nullptr;
    b.Stop = nullptr;
    FreeLibrary(b.Module);
    b.Module = nullptr;
    b.Users = 0;
}

template <class T>
T BindEntry(HMODULE module, const char* name)
{
    return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Loads and binds the DLL; false (nothing loaded) when it cannot be loaded or lacks an entry point.
bool Load(TRequesterBinding& b, const char* dllName)
{
    const char* name = dllName && *dllName ? dllName : DefaultRequesterDll;
    b.Module = LoadLibraryA(name);
    if (!b.Module) return false;
    b.Call = BindEntry<TBtrCall>(b.Module, "BTRCALL");
    b.CallId = BindEntry<TBtrCallId>(b.Module, "BTRCALLID");
    b.Init = BindEntry<TBtrInit>(b.Module, "WBTRVINIT");
    b.Stop = BindEntry<TBtrStop>(b.Module, "WBTRVSTOP");
    if (b.Call && b.CallId && b.Init && b.Stop) return true;
    Unload(b);
    return false;
}

}  // namespace

SmallInt StartBtrieveRequester(const char* options, const char* dllName)
{
    TRequesterBinding& b = Binding();
    std::lock_guard<std::mutex> lock(b.Guard);
    if (!b.Module && !Load(b, dllName)) return BtrStatus::RequesterInactive;
    const SmallInt status = b.Init(options ? options : "");
    if (status == BtrStatus::Ok || status == BtrStatus::AlreadyInitialized) {
        ++b.Users;
    } else if (b.Users == 0) {
        Unload(b);
    }
    return status;
}

SmallInt StopBtrieveRequester()
{
    TRequesterBinding& b = Binding();
    std::lock_guard<std::mutex> lock(b.Guard);
    if (!b.Module) return BtrStatus::Ok;
    if (b.Users > 1) {
        --b.Users;
        return BtrStatus::Ok;
    }
    const SmallInt status = b.Stop();
    Unload(b);
    return status;
}

bool IsBtrieveRequesterLoaded()
{
    TRequesterBinding& b = Binding();
    std::lock_guard<std::mutex> lock(b.Guard);
    return b.Module != nullptr;
}

SmallInt BtrCall(Word operation, void* posBlock, void* dataBuffer, Word* dataLength, void* keyBuffer,
                 Byte keyLength, ShortInt keyNumber)
{
    const TBtrCall call = Binding().Call;
    if (!call) return BtrStatus::RequesterInactive;
    return call(operation, posBlock, dataBuffer, dataLength, keyBuffer, keyLength, keyNumber);
}

SmallInt BtrCallId(Word operation, void* posBlock, void* dataBuffer, Word* dataLength, void* keyBuffer,
                   Byte keyLength, ShortInt keyNumber, void* clientId)
{
    const TBtrCallId call = Binding().CallId;
    if (!call) return BtrStatus::RequesterInactive;
    return call(operation, posBlock, dataBuffer, dataLength, keyBuffer, keyLength, keyNumber, clientId);
}
