#include "gapreport/ReportViewer.h"

#include <fstream>

#include "gapreport/MissingTimeu.h"
#include "rtl/ProcessStart.h"
#include "rtl/StringRoutines.h"
#include "vcl/Dialogs.h"

namespace {

constexpr Cardinal ViewerIdleWaitMs = 10000;

std::string ShellFailureReason(INT_PTR result)
{
    switch (result) {
    case 2: return "The specified file was not found.";
    case 3: return "The specified path was not found.";
    default: return "Unknown error.";
    }
}

}  // namespace

std::string ViewerCommand(const std::string& programDirectory, const std::string& dataDirectory,
                          const std::string& fileName)
{
    std::string viewer = programDirectory + "\\Parvue";
    // A blank would let the system take the path's first words for the program ("C:\Program.exe").
    if (viewer.find(' ') != std::string::npos) viewer = "\"" + viewer + "\"";
    return viewer + " " + dataDirectory + "\\ " + Copy(fileName, 1, 8) + "." + Copy(fileName, 7, 2) + " 10 W";
}

void StartReportViewer(const std::string& command)
{
    TProcessStart start;
    start.CommandLine = command;
    start.ShowWindow = SW_SHOWNORMAL;
    if (std::unique_ptr<TStartedProcess> viewer = ProcessService()->CreateProcess(start)) {
        viewer->WaitForInputIdle(ViewerIdleWaitMs);
        return;
    }
    LaunchViewerBatch(command, "#$");
}

void LaunchViewerBatch(const std::string& command, const std::string& suffix)
{
    const std::string batchFile = DataDirectory + "\\temp" + suffix + ".bat";
    {
        std::ofstream batch(batchFile, std::ios::out | std::ios::binary | std::ios::trunc);
        batch << command << "\r\n";
    }
    const INT_PTR result = ProcessService()->ShellExecute(nullptr, "open", batchFile, "", "", SW_HIDE);
    if (result > 32) return;
    MessageDlg("The Ordavane Report Viewer cannot be accessed at this time. \r\r"
               "The command to launch the required program was: \r\r" +
                       command + "\r\rand the error returned was " + ShellFailureReason(result) +
                       "\r\rPlease email this image to KDV, Inc.",
               mtError, TMsgDlgButtons{mbOK}, 0);
}
