#include "engine/btrieve/BtrFatalBox.h"

#include "rtl/WinApi.h"
#include "vcl/Forms.h"

void ShowFatalErrorAndTerminate(const std::string& text)
{
    Application->MessageBox(text, "", MB_ICONERROR | MB_OK);
    Application->Terminate();
}
