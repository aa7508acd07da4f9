// A fake requester DLL: the four entry points, each forwarded to the hooks a test installed (success without).
#include "engine/tests/support/FakeRequesterHooks.h"

namespace {
FakeRequesterHooks hooks{};
}

extern "C" {

__declspec(dllexport) void FakeRequesterSetHooks(const FakeRequesterHooks* newHooks)
{
    hooks = newHooks ? *newHooks : FakeRequesterHooks{};
}

int16_t __stdcall BTRCALL(uint16_t operation, void* posBlock, void* dataBuffer, uint16_t* dataLength,
                          void* keyBuffer, uint8_t keyLength, int8_t keyNumber)
{
    return hooks.Call ? hooks.Call(operation, posBlock, dataBuffer, dataLength, keyBuffer, keyLength, keyNumber,
                                   nullptr)
                      : 0;
}

int16_t __stdcall BTRCALLID(uint16_t operation, void* posBlock, void* dataBuffer, uint16_t* dataLength,
                            void* keyBuffer, uint8_t keyLength, int8_t keyNumber, void* clientId)
{
    return hooks.Call ? hooks.Call(operation, posBlock, dataBuffer, dataLength, keyBuffer, keyLength, keyNumber,
                                   clientId)
                      : 0;
}

int16_t __stdcall WBTRVINIT(const char* options)
{
    return hooks.Init ? hooks.Init(options) : 0;
}

int16_t __stdcall WBTRVSTOP()
{
    return hooks.Stop ? hooks.Stop() : 0;
}

}  // extern "C"
