#include "vcl/OleStartup.h"

#include "rtl/InitProc.h"
#include "rtl/WinApi.h"

#include <ole2.h>

namespace {

TProcedure previousInitProc = nullptr;
bool oleStarted = false;

void StartOle()
{
    if (previousInitProc) previousInitProc();
    oleStarted = SUCCEEDED(OleInitialize(nullptr));
}

}  // namespace

void ChainOleStartup()
{
    if (IsLibrary) return;
    previousInitProc = InitProc;
    InitProc = &StartOle;
}

void EndOleStartup()
{
    if (!oleStarted) return;
    oleStarted = false;
    OleUninitialize();
}

bool OleStarted() { return oleStarted; }
