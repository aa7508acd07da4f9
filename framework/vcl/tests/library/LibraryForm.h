// A form and a resource script that a static library declares once (dun_library_resources): the programs and tests
// that link the library carry them.
#pragma once

#include <string>

#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

class TLibraryForm : public TForm {
    DUN_CLASS(TLibraryForm, TForm)
public:
    explicit TLibraryForm(TComponent* owner) : TForm(owner) {}

    TLabel* Label1 = nullptr;
    TEdit* Edit1 = nullptr;

    static void Publish(TPublisher<TLibraryForm>& p);
};

// The text of the library's RCDATA resource LIBRARYNOTE (a file named by the library's resource script); empty
// when the program does not carry it.
std::string LibraryNote();
