// The one way into <windows.h>: lean, no min/max macros, and none of the A/W macros that collide with the
// framework's method names. Call the ANSI functions by their full names (SendMessageA, DrawTextA, ...).
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef STRICT
#define STRICT
#endif

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <winspool.h>
#include <shellapi.h>

#undef CopyFile
#undef CreateDirectory
#undef CreateFont
#undef CreateProcess
#undef CreateWindow
#undef DeleteFile
#undef DispatchMessage
#undef DrawText
#undef ExtTextOut
#undef FindResource
#undef FindWindow
#undef GetClassName
#undef GetCurrentDirectory
#undef GetMessage
#undef GetObject
#undef GetProp
#undef GetUserName
#undef LoadBitmap
#undef LoadCursor
#undef LoadIcon
#undef LoadString
#undef MessageBox
#undef MoveFile
#undef PeekMessage
#undef PostMessage
#undef RemoveProp
#undef RegisterClass
#undef SendMessage
#undef SetProp
#undef SetCurrentDirectory
#undef ShellExecute
#undef TextOut
#undef UnregisterClass
