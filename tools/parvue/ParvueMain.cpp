// Parvue: the report viewer's stand-in. With PARVUE_LOG set (by a test) it only appends its command line to that
// file and ends.
#include <cstdlib>
#include <fstream>

#include "rtl/WinApi.h"
#include "tools/parvue/ParvueForm.h"
#include "vcl/Dialogs.h"

namespace {

bool LogCommandLine()
{
    const char* log = std::getenv("PARVUE_LOG");
    if (!log || !*log) return false;
    std::ofstream(log, std::ios::out | std::ios::binary | std::ios::app) << GetCommandLineA() << "\r\n";
    return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (LogCommandLine()) return 0;
    Application->Initialize();
    Application->SetTitle("Report Viewer");
    auto* viewer = Application->CreateForm<TParvueForm>();
    const std::string file = ViewerReportFile(CommandLineArguments(GetCommandLineA()));
    if (!viewer->LoadReport(file)) {
        ShowMessage("The report " + file + " cannot be read.");
        return 1;
    }
    Application->Run();
    return 0;
}
