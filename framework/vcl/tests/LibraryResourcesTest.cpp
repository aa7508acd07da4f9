// Resources a static library declares once come with the test program that links it.
#include <gtest/gtest.h>

#include <memory>

#include "vcl/tests/library/LibraryForm.h"
#include "vcl/TestHelpers.h"

TEST(LibraryResources, TheLibrarysFormAndResourceScriptComeWithTheTestProgram)
{
    std::unique_ptr<TLibraryForm> form(CreateObject<TLibraryForm>(nullptr));
    ASSERT_NE(form->Edit1, nullptr);
    EXPECT_EQ(form->Caption(), "Library form");
    EXPECT_EQ(form->Edit1->Text(), "library text");
    EXPECT_EQ(form->Label1->Caption(), "Read from the library");
    EXPECT_EQ(LibraryNote(), "carried from the library");

    form->Show();
    PumpMessages();
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    EXPECT_TRUE(SaveWindowToPng(form->Handle(), std::string(path) + "library-form.png"));
}
