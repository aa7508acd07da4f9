#pragma once

// Start-up hook run by TApplication::Initialize; units chain onto it (keep the previous value and call it first).
using TProcedure = void (*)();
extern TProcedure InitProc;

// True in a module built as a library rather than a program.
extern bool IsLibrary;
