// Alignment, panels, timers, graphic-control clicks and window images.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"
#include "vcl/TestHelpers.h"

namespace {

TEST(Controls, AlignedChildrenShareTheClientAreaOfTheirParent)
{
    std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
    form->SetBounds(10, 10, 300, 200);
    auto* top = new TPanel(form.get());
    top->SetParent(form.get());
    top->SetHeight(30);
    top->SetAlign(alTop);
    auto* bottom = new TPanel(form.get());
    bottom->SetParent(form.get());
    bottom->SetHeight(20);
    bottom->SetAlign(alBottom);
    auto* client = new TPanel(form.get());
    client->SetParent(form.get());
    client->SetAlign(alClient);
    form->Show();
    PumpMessages();
    const Integer width = form->ClientWidth(), height = form->ClientHeight();
    EXPECT_EQ(top->BoundsRect().right, width);
    EXPECT_EQ(bottom->Top(), height - 20);
    EXPECT_EQ(client->Top(), 30);
    EXPECT_EQ(client->Height(), height - 50);
    form->SetClientHeight(height + 40);
    PumpMessages();
    EXPECT_EQ(bottom->Top(), height + 20);
}

TEST(Controls, ParentFontAndColorFollowTheParentUntilSet)
{
    std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
    auto* label = new TLabel(form.get());
    label->SetParent(form.get());
    form->Font()->SetName("Arial");
    form->SetColor(clYellow);
    EXPECT_EQ(label->Font()->Name(), "Arial");
    EXPECT_EQ(label->Color(), clYellow);
    label->Font()->SetColor(clRed);
    EXPECT_FALSE(label->ParentFont());
    form->Font()->SetName("Courier New");
    EXPECT_EQ(label->Font()->Name(), "Arial");
}

TEST(Controls, ClickOnALabelReachesItThroughItsParent)
{
    std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
    auto* label = new TLabel(form.get());
    label->SetParent(form.get());
    label->SetBounds(20, 20, 80, 20);
    label->SetAutoSize(false);
    int clicks = 0;
    label->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    PumpMessages();
    ClickControl(label);
    EXPECT_EQ(clicks, 1);
}

TEST(Controls, TimerFiresThroughTheQueueUntilDisabled)
{
    TTimer timer(nullptr);
    timer.SetInterval(20);
    int ticks = 0;
    timer.OnTimer = [&](TObject*) {
        if (++ticks == 2) timer.SetEnabled(false);
    };
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 400) {
        Application->ProcessMessages();
        Sleep(5);
    }
    EXPECT_EQ(ticks, 2);
}

TEST(Controls, WindowImageIsSavedAsPng)
{
    std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
    form->SetBounds(10, 10, 120, 80);
    form->Show();
    PumpMessages();
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    const std::string file = std::string(path) + "vcl-window.png";
    ASSERT_TRUE(SaveWindowToPng(form->Handle(), file));
    FILE* f = std::fopen(file.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    unsigned char signature[8] = {};
    EXPECT_EQ(std::fread(signature, 1, 8, f), 8u);
    std::fclose(f);
    DeleteFileA(file.c_str());
    EXPECT_EQ(signature[1], 'P');
    EXPECT_EQ(signature[0], 0x89);
}

}  // namespace
