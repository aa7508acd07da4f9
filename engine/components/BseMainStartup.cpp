#include "engine/components/BseMainStartup.h"

#include "rtl/InitProc.h"
#include "rtl/WinApi.h"

#include <objbase.h>

namespace {

TProcedure previousInitProc = nullptr;
bool comStarted = false;

void StartCom()
{
    if (previousInitProc) previousInitProc();
    comStarted = SUCCEEDED(CoInitialize(nullptr));
}

}  // namespace

void ChainComStartup()
{
    if (IsLibrary) return;
    previousInitProc = InitProc;
    InitProc = &StartCom;
}

void EndComStartup()
{
    if (!comStarted) return;
    comStarted = false;
    CoUninitialize();
}

bool ComStarted() { return comStarted; }
