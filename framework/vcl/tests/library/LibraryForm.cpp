#include "vcl/tests/library/LibraryForm.h"

#include "rtl/Streams.h"

void TLibraryForm::Publish(TPublisher<TLibraryForm>& p)
{
    p.Field("Label1", &TLibraryForm::Label1);
    p.Field("Edit1", &TLibraryForm::Edit1);
}

std::string LibraryNote()
{
    HMODULE module = GetModuleHandleA(nullptr);
    if (!FindResourceA(module, "LIBRARYNOTE", MAKEINTRESOURCEA(10))) return "";
    TResourceStream stream(module, "LIBRARYNOTE", MAKEINTRESOURCEA(10));
    std::string text(size_t(stream.Size()), '\0');
    if (!text.empty()) stream.ReadBuffer(text.data(), Integer(text.size()));
    return text;
}
