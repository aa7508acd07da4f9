#include "vcl/tests/library/LibraryUser.h"

#include "vcl/tests/library/LibraryForm.h"

TLibraryForm* OpenLibraryForm() { return Application->CreateForm<TLibraryForm>(); }
