// The fake requester DLL forwards its four entry points to these hooks, which the test installs.
#pragma once

#include <cstdint>

extern "C" {

struct FakeRequesterHooks {
    // clientId is null for BTRCALL.
    int16_t (*Call)(uint16_t operation, void* posBlock, void* dataBuffer, uint16_t* dataLength, void* keyBuffer,
                    uint8_t keyLength, int8_t keyNumber, const void* clientId);
    int16_t (*Init)(const char* options);
    int16_t (*Stop)();
};

// Exported as "FakeRequesterSetHooks".
typedef void (*FakeRequesterSetHooksProc)(const FakeRequesterHooks* hooks);
}
