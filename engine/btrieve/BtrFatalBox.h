// The engine's fatal errors of a program's set-up (a missing DLL entry point, an old resource format): an error box,
// then the application is asked to end.
#pragma once

#include <string>

void ShowFatalErrorAndTerminate(const std::string& text);
