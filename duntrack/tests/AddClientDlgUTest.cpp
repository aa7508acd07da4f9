// The add-client dialog from its form file: only its Yes button answers yes, and showing it resets the answer.
#include <gtest/gtest.h>

#include "duntrack/AddClientDlgU.h"
#include "vcl/TestHelpers.h"

namespace {

TEST(AddClientDialog, OnlyYesAnswersYesAndShowingResetsTheAnswer)
{
    auto* dialog = CreateObject<TAddClientDlgF>(nullptr);
    EXPECT_EQ(dialog->Caption(), "Information");
    EXPECT_EQ(dialog->Label1->Caption(), "No such client.  Do you wish to add this client now?");

    AddClientAnswer = true;
    dialog->Show();
    PumpMessages();
    EXPECT_FALSE(AddClientAnswer) << "showing resets the answer";
    SaveWindowToPng(dialog->Handle(), "AddClientDlgF.png");
    MouseClick(dialog->YesBitBtn, Point(20, 10));
    EXPECT_TRUE(AddClientAnswer);
    MouseClick(dialog->NoBitBtn, Point(20, 10));
    EXPECT_FALSE(AddClientAnswer);
    delete dialog;
}

}  // namespace
