// Showing a screen report: the host's report viewer started on the report file, or, when it cannot be started, a
// batch file with the same command opened through the shell.
#pragma once

#include <string>

// The viewer's command for the screen report named fileName (its first eight characters, "." and characters 7-8):
// the program directory's "Parvue" (quoted when the path holds a blank), the data directory with "\ ", the report
// file, " 10 W".
std::string ViewerCommand(const std::string& programDirectory, const std::string& dataDirectory,
                          const std::string& fileName);
// Starts the command and waits until the viewer takes input; falls back to LaunchViewerBatch.
void StartReportViewer(const std::string& command);
// Writes the command as the only line of "temp" + suffix + ".bat" in the data directory and opens that file
// through the shell, hidden; an error box when the shell cannot.
void LaunchViewerBatch(const std::string& command, const std::string& suffix);
