// The missing-time report program. The host product starts it with the run date and the report-data identifier
// (and possibly the report's parameters); it writes one report and ends.
#include "gapreport/MissingTimeu.h"
#include "rtl/WinApi.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    Application->Initialize();
    Application->CreateForm<TMissingTimef>();
    Application->Run();
    return 0;
}
