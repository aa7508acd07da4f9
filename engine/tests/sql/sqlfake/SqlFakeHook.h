// The scripted SQL requester DLL hands every call to one hook that the test installs: the entry point's name and
// its arguments, each widened to a pointer-sized word (16-bit values sign-extended). Without a hook every call
// answers status 0.
#pragma once

#include <cstdint>

extern "C" {

typedef int16_t (*SqlFakeHook)(const char* entry, const intptr_t* args, int count);

// Exported as "SqlFakeSetHook".
typedef void (*SqlFakeSetHookProc)(SqlFakeHook hook);
}
