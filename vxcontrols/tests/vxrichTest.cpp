// The rich-text page-setup dialog: the record it opens with, what an accepted dialog changes and what a cancelled
// one frees. The platform's dialog is answered by the test.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "vcl/Forms.h"
#include "vcl/Printers.h"
#include "vcl/TestHelpers.h"
#include "vxcontrols/vxrich.h"
#include "vxcontrols/vxriched.h"

namespace {

// Answers the platform's dialog with the script.
class TAnsweredPageSetup : public TvxPageSetupDialog {
public:
    using TvxPageSetupDialog::TvxPageSetupDialog;
    std::function<bool(PAGESETUPDLGA&)> Answer;
    PAGESETUPDLGA Shown{};

protected:
    bool ShowDialog(PAGESETUPDLGA& record) override
    {
        Shown = record;
        return Answer(record);
    }
};

bool Freed(HGLOBAL block) { return GlobalSize(block) == 0; }

class PageSetup : public ::testing::Test {
protected:
    void SetUp() override
    {
        form.reset(CreateObject<TForm>(nullptr));
        edit = new TvxCustomRichEdit(form.get());
        edit->SetParent(form.get());
        dialog = new TAnsweredPageSetup(form.get());
        dialog->SetRichEdit(edit);
        Printer()->SetPrinterIndex(Printer()->PrinterIndex());  // a fresh device mode
    }
    void TearDown() override
    {
        form.reset();
        Printer()->SetPrinterIndex(Printer()->PrinterIndex());
    }

    std::unique_ptr<TForm> form;
    TvxCustomRichEdit* edit = nullptr;
    TAnsweredPageSetup* dialog = nullptr;
};

TEST_F(PageSetup, TheRecordHoldsMarginsInTheUnitAndThePrintersNamesAndMode)
{
    struct Case {
        const char* Name;
        TvxMeasurementUnits Unit;
        TvxRichEditWidth Width;
        DWORD UnitFlag;
        bool PaperDisabled;
    } cases[] = {
        {"inches", muInches, rewWindowSize, PSD_INTHOUSANDTHSOFINCHES, true},
        {"centimetres", muCentimeters, rewWindowSize, PSD_INHUNDREDTHSOFMILLIMETERS, true},
        {"printer width", muInches, rewPrinterSize, PSD_INTHOUSANDTHSOFINCHES, false},
    };
    edit->PrintMargins()->SetLeft(0.7);
    edit->PrintMargins()->SetTop(1.5);
    edit->PrintMargins()->SetRight(2);
    edit->PrintMargins()->SetBottom(0.25);
    edit->SetPaperSize(DMPAPER_LEGAL);
    const std::string device = PrinterService()->DeviceName(Printer()->Printers()[Printer()->PrinterIndex()]);
    for (const Case& c : cases) {
        edit->SetMeasurementUnits(c.Unit);
        edit->SetEditWidth(c.Width);
        PAGESETUPDLGA record = dialog->PrepareRecord();
        EXPECT_TRUE(record.Flags & PSD_MARGINS) << c.Name;
        EXPECT_TRUE(record.Flags & PSD_ENABLEPAGESETUPHOOK) << c.Name;
        EXPECT_NE(record.lpfnPageSetupHook, nullptr);
        EXPECT_TRUE(record.Flags & c.UnitFlag) << c.Name;
        EXPECT_EQ((record.Flags & PSD_DISABLEPAPER) != 0, c.PaperDisabled) << c.Name;
        EXPECT_EQ(record.rtMargin.left, 700) << c.Name;
        EXPECT_EQ(record.rtMargin.top, 1500);
        EXPECT_EQ(record.rtMargin.right, 2000);
        EXPECT_EQ(record.rtMargin.bottom, 250);

        ASSERT_NE(record.hDevNames, nullptr);
        const auto* names = static_cast<const DEVNAMES*>(GlobalLock(record.hDevNames));
        const char* text = reinterpret_cast<const char*>(names);
        EXPECT_EQ(names->wDriverOffset, 8);
        EXPECT_EQ(std::string(text + names->wDeviceOffset), device);
        EXPECT_EQ(names->wDeviceOffset, 8 + std::string(text + 8).size() + 1);
        GlobalUnlock(record.hDevNames);

        ASSERT_NE(record.hDevMode, nullptr);
        const auto* mode = static_cast<const DEVMODEA*>(GlobalLock(record.hDevMode));
        EXPECT_EQ(mode->dmPaperSize == DMPAPER_LEGAL, c.Width == rewPrinterSize) << c.Name;
        GlobalUnlock(record.hDevMode);
        TvxPageSetupDialog::Release(record);
    }
}

TEST_F(PageSetup, ACancelFreesBothBlocksAndChangesNothing)
{
    HGLOBAL names = nullptr, mode = nullptr;
    dialog->Answer = [&](PAGESETUPDLGA& record) {
        names = record.hDevNames;
        mode = record.hDevMode;
        record.rtMargin = RECT{100, 100, 100, 100};
        return false;
    };
    TScriptedDialogs dialogs;
    dialogs.AnswerNextCommonDialog(false, [](TCommonDialog* shown) { shown->Run(); });
    EXPECT_FALSE(dialog->Execute());
    ASSERT_NE(names, nullptr);
    ASSERT_NE(mode, nullptr);
    EXPECT_TRUE(Freed(names));
    EXPECT_TRUE(Freed(mode));
    EXPECT_DOUBLE_EQ(edit->PrintMargins()->Left(), 1.0);
}

TEST_F(PageSetup, AnAcceptedDialogSetsMarginsPaperAndOrientation)
{
    edit->SetEditWidth(rewPrinterSize);
    HGLOBAL names = nullptr;
    dialog->Answer = [&](PAGESETUPDLGA& record) {
        names = record.hDevNames;
        record.rtMargin = RECT{500, 750, 1250, 2000};
        auto* mode = static_cast<DEVMODEA*>(GlobalLock(record.hDevMode));
        mode->dmPaperSize = DMPAPER_LEGAL;
        mode->dmOrientation = DMORIENT_LANDSCAPE;
        GlobalUnlock(record.hDevMode);
        return true;
    };
    TScriptedDialogs dialogs;
    dialogs.AnswerNextCommonDialog(true, [](TCommonDialog* shown) { EXPECT_TRUE(shown->Run()); });
    EXPECT_TRUE(dialog->Execute());
    EXPECT_TRUE(Freed(names));
    EXPECT_DOUBLE_EQ(edit->PrintMargins()->Left(), 0.5);
    EXPECT_DOUBLE_EQ(edit->PrintMargins()->Top(), 0.75);
    EXPECT_DOUBLE_EQ(edit->PrintMargins()->Right(), 1.25);
    EXPECT_DOUBLE_EQ(edit->PrintMargins()->Bottom(), 2.0);
    EXPECT_EQ(edit->PaperSize(), DMPAPER_LEGAL);
    EXPECT_EQ(Printer()->DeviceMode()->dmPaperSize, DMPAPER_LEGAL);
    EXPECT_EQ(Printer()->Orientation(), poLandscape);
}

// The real dialog, cancelled once it is up: it opens centred and a third of the way down.
TEST_F(PageSetup, TheRealDialogOpensCentredAndCancels)
{
    TvxPageSetupDialog real(nullptr);
    real.SetRichEdit(edit);
    RECT bounds{};
    bool seen = false;
    std::function<void()> close = [&] {
        HWND box = GetForegroundWindow();
        if (!box || seen) return;
        char name[32] = {};
        GetClassNameA(box, name, sizeof name);
        if (std::string(name) != "#32770") return;
        seen = true;
        GetWindowRect(box, &bounds);
        SaveWindowToPng(box, "vxrich_pagesetup.png");
        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    };
    static std::function<void()>* pending = nullptr;
    pending = &close;
    const UINT_PTR timer = SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR, DWORD) { (*pending)(); });
    EXPECT_FALSE(real.Run());
    KillTimer(nullptr, timer);
    ASSERT_TRUE(seen);
    const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    EXPECT_NEAR(bounds.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2, 1);
    EXPECT_NEAR(bounds.top, (GetSystemMetrics(SM_CYSCREEN) - height) / 3, 1);
}

}  // namespace
