// A program that links the test library only through another library: it opens the library's form and reads the
// library's resource, and exits 0 when both came with it.
#include <cstdio>

#include "vcl/tests/library/LibraryForm.h"
#include "vcl/tests/library/LibraryUser.h"

int main()
{
    Application->Initialize();
    TLibraryForm* form = OpenLibraryForm();
    form->Show();
    Application->ProcessMessages();
    const bool formRead = form->Edit1 && form->Edit1->Text() == "library text" && form->Caption() == "Library form";
    const bool noteRead = LibraryNote() == "carried from the library";
    std::printf("form %s, note %s\n", formRead ? "read" : "missing", noteRead ? "read" : "missing");
    return formRead && noteRead ? 0 : 1;
}
