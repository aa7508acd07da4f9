// The combo edit on real windows: its window style, button layout and text rectangle for both border styles with
// and without the button, the drop-down protocol through a real click on the button (with and without
// OnButtonClick, also when the event raises), the drop-down keys, the list style that types only while dropped
// down, and the button faces.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "db/DataSet.h"
#include "db/Field.h"
#include "db/MemDataSet.h"
#include "vcl/Forms.h"
#include "vcl/TestHelpers.h"
#include "vxcontrols/Vxdotdot.h"
#include "vxdata/vxDataSource.h"

namespace {

std::vector<LONG> Edges(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// Keeps the text rectangles the combo gives its window.
class TRectRecordingCombo : public TvxDBCustomCombo {
public:
    explicit TRectRecordingCombo(TComponent* owner) : TvxDBCustomCombo(owner) {}
    std::vector<RECT> EditRects;

    void WndProc(TMessage& message) override
    {
        if (message.Msg == EM_SETRECTNP) EditRects.push_back(*reinterpret_cast<const RECT*>(message.LParam));
        TvxDBCustomCombo::WndProc(message);
    }
};

// A combo whose drop-down stays open between DropDown and CloseUp, recording the calls.
class TOpeningCombo : public TvxDBCustomCombo {
public:
    explicit TOpeningCombo(TComponent* owner) : TvxDBCustomCombo(owner) {}
    bool Open = false;
    std::vector<std::string> Calls;

    bool IsDroppedDown() override { return Open; }
    void DropDown() override
    {
        Calls.push_back("DropDown");
        Open = true;
    }
    void CloseUp(bool accept) override
    {
        Calls.push_back(accept ? "CloseUp(True)" : "CloseUp(False)");
        Open = false;
        TvxDBCustomCombo::CloseUp(accept);
    }
};

class ComboOnForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        form.reset(CreateObject<TForm>(nullptr));
        form->SetBounds(100, 100, 300, 140);
        other = new TEdit(form.get());
        other->SetParent(form.get());
        other->SetBounds(8, 80, 120, 24);
    }
    void TearDown() override { form.reset(); }

    template <class T>
    T* Place(T* combo, Integer top = 8)
    {
        combo->SetParent(form.get());
        combo->SetBounds(8, top, 160, 24);
        return combo;
    }

    void ShowForm()
    {
        form->Show();
        ActivateForm(form.get());
        PumpMessages();
    }

    std::unique_ptr<TForm> form;
    TEdit* other = nullptr;
};

// ---- window, layout and text rectangle

TEST_F(ComboOnForm, SettingTheTextRectangleWithoutAWindowCreatesNone)
{
    TRectRecordingCombo combo(nullptr);
    combo.SetShowButton(false);
    combo.SetShowButton(true);
    EXPECT_FALSE(combo.HandleAllocated());
    EXPECT_TRUE(combo.EditRects.empty());
}

TEST_F(ComboOnForm, WindowStyleButtonPlaceAndTextRectangleFollowBorderAndButton)
{
    struct Case {
        TBorderStyle border;
        bool ctl3D;
        bool showButton;
        Integer buttonInset;  // from the combo's right edge to the container's right edge
        Integer margin;       // left and top of the text rectangle
        Integer buttonTop;
    };
    const Case cases[] = {
        {bsSingle, true, true, 4, 0, 0},   {bsSingle, true, false, 4, 0, 0},
        {bsSingle, false, true, 0, 0, 0},  {bsNone, true, true, 0, 2, -1},
        {bsNone, true, false, 0, 2, -1},
    };
    ShowForm();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.border) + " ctl3D " + std::to_string(c.ctl3D) + " button " +
                     std::to_string(c.showButton));
        auto* combo = Place(new TRectRecordingCombo(form.get()));
        combo->SetBorderStyle(c.border);
        combo->SetParentCtl3D(false);
        combo->SetCtl3D(c.ctl3D);
        combo->SetShowButton(c.showButton);
        combo->HandleNeeded();
        combo->SetWidth(170);
        PumpMessages();

        const LONG style = GetWindowLongA(combo->Handle(), GWL_STYLE);
        EXPECT_EQ(style & (ES_WANTRETURN | ES_AUTOVSCROLL), 0);
        EXPECT_NE(style & WS_CLIPCHILDREN, 0);

        TWinControl* container = combo->ButtonContainer();
        const Integer buttonWidth = std::max(GetSystemMetrics(SM_CXVSCROLL), 15);
        EXPECT_EQ(container->Visible(), c.showButton);
        EXPECT_EQ(Edges(container->BoundsRect()),
                  Edges(Bounds(170 - buttonWidth - c.buttonInset, 0, buttonWidth, combo->ClientHeight())));
        EXPECT_EQ(combo->Button()->Top(), c.buttonTop);
        EXPECT_EQ(combo->Button()->Height(), container->Height() - c.buttonTop);

        ASSERT_FALSE(combo->EditRects.empty());
        const RECT rect = combo->EditRects.back();
        const Integer right = c.showButton ? container->Left() - 2 : combo->ClientWidth() - 2;
        EXPECT_EQ(rect.left, c.margin);
        EXPECT_EQ(rect.top, c.margin);
        EXPECT_EQ(rect.right, right);
        EXPECT_EQ(rect.bottom, combo->ClientHeight() + 1);
        delete combo;
    }
}

// ---- the drop-down protocol

// A bound combo (a data source on a one-record dataset) with an ellipsis button.
class BoundCombo : public ComboOnForm {
protected:
    void SetUp() override
    {
        ComboOnForm::SetUp();
        data = new TMemDataSet(nullptr);
        data->FieldDefs()->Add("Code", ftString, 10);
        data->Open();
        data->Append();
        data->FieldByName("Code")->SetAsString("A1");
        data->Post();
        source = new TvxDataSource(nullptr);
        source->SetDataSet(data);
        combo = Place(new TvxDBCustomCombo(form.get()));
        combo->SetDataSource(source);
        combo->SetDataField("Code");
        ShowForm();
        other->SetFocus();
        PumpMessages();
    }
    void TearDown() override
    {
        form.reset();
        delete source;
        delete data;
    }

    void ClickButton()
    {
        MouseClick(combo->Button(), Point(combo->Button()->Width() / 2, combo->Button()->Height() / 2));
    }

    TMemDataSet* data = nullptr;
    TvxDataSource* source = nullptr;
    TvxDBCustomCombo* combo = nullptr;
};

TEST_F(BoundCombo, ButtonWithoutEventOnlyTakesTheFocus)
{
    ClickButton();
    EXPECT_TRUE(combo->Focused());
    EXPECT_FALSE(combo->IsDroppedDown());
    EXPECT_EQ(data->State(), dsBrowse);
    EXPECT_FALSE(combo->Modified());
}

TEST_F(BoundCombo, ButtonRunsTheEventWhileDroppedDownAndEditing)
{
    struct Seen {
        bool droppedDown;
        TDataSetState state;
        bool focused;
    };
    std::vector<Seen> seen;
    combo->OnButtonClick = [&](TObject* sender) {
        EXPECT_EQ(sender, combo);
        seen.push_back({combo->IsDroppedDown(), data->State(), combo->Focused()});
    };
    ClickButton();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].droppedDown);
    EXPECT_EQ(seen[0].state, dsEdit);
    EXPECT_TRUE(seen[0].focused);
    EXPECT_FALSE(combo->IsDroppedDown());
}

TEST_F(BoundCombo, EventThatRaisesIsReportedAndLeavesTheComboClosed)
{
    TScriptedDialogs dialogs;
    combo->OnButtonClick = [](TObject*) { throw Exception("No way"); };
    ClickButton();
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text, "No way.");
    EXPECT_FALSE(combo->IsDroppedDown());
    EXPECT_THROW(combo->DropDown(), Exception);
    EXPECT_FALSE(combo->IsDroppedDown());
}

// ---- keys and the typing list style

TEST_F(ComboOnForm, DropDownKeysActOnTheDropDown)
{
    struct Case {
        bool open;
        Word key;
        TShiftState shift;
        std::vector<std::string> calls;
        bool openAfter;
    };
    const Case cases[] = {
        {false, VK_DOWN, {ssAlt}, {"DropDown"}, true},
        {false, VK_UP, {ssAlt}, {"DropDown"}, true},
        {true, VK_UP, {ssAlt}, {"CloseUp(True)"}, false},
        {true, VK_RETURN, {}, {"CloseUp(True)"}, false},
        {true, VK_ESCAPE, {}, {"CloseUp(False)"}, false},
        {false, VK_RETURN, {}, {}, false},
        {false, VK_DOWN, {}, {}, false},
    };
    auto* combo = Place(new TOpeningCombo(form.get()));
    ShowForm();
    combo->SetFocus();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.key) + (c.open ? " open" : " closed"));
        combo->Open = c.open;
        combo->Calls.clear();
        TypeKey(c.key, c.shift);
        EXPECT_EQ(combo->Calls, c.calls);
        EXPECT_EQ(combo->Open, c.openAfter);
    }
}

TEST_F(ComboOnForm, ListStyleOneTypesOnlyWhileDroppedDownAndAClickToggles)
{
    auto* combo = Place(new TOpeningCombo(form.get()));
    combo->SetListStyle(1);
    ShowForm();
    combo->SetFocus();
    PumpMessages();
    TypeText("ab");
    EXPECT_EQ(combo->Text(), "");
    EXPECT_FALSE(combo->ClickEditsText());

    MouseClick(combo, Point(20, 10));
    EXPECT_EQ(combo->Calls, std::vector<std::string>{"DropDown"});
    EXPECT_TRUE(combo->CanEditText());
    TypeText("ab");
    EXPECT_EQ(combo->Text(), "ab");
    MouseClick(combo, Point(20, 10));
    EXPECT_EQ(combo->Calls, (std::vector<std::string>{"DropDown", "CloseUp(True)"}));
    EXPECT_EQ(GetCapture(), nullptr);
}

// ---- the button face

TEST_F(ComboOnForm, ButtonStyleChangesOnlyTheFace)
{
    auto* ellipsis = Place(new TRectRecordingCombo(form.get()), 8);
    auto* arrow = Place(new TvxDBCustomCombo(form.get()), 40);
    arrow->SetButtonStyle(cbsDownArrow);
    ShowForm();
    EXPECT_TRUE(SaveWindowToPng(form->Handle(), "vxdotdot-faces.png"));

    const auto faceDrawings = [&](TvxDBCustomCombo* combo) {
        TCanvasRecorder recorder;
        combo->Button()->Canvas()->SetListener(&recorder);
        combo->Button()->Invalidate();
        combo->ButtonContainer()->Update();
        combo->Button()->Canvas()->SetListener(nullptr);
        return DrawingKinds(recorder.Drawings);
    };
    EXPECT_EQ(faceDrawings(ellipsis), (std::vector<std::string>{"DrawEdge", "FillRect", "FillRect", "FillRect"}));
    EXPECT_EQ(faceDrawings(arrow), std::vector<std::string>{"DrawFrameControl"});

    const size_t rectsBefore = ellipsis->EditRects.size();
    const auto containerBefore = Edges(ellipsis->ButtonContainer()->BoundsRect());
    ellipsis->SetButtonStyle(cbsDownArrow);
    EXPECT_EQ(faceDrawings(ellipsis), std::vector<std::string>{"DrawFrameControl"});
    EXPECT_EQ(ellipsis->EditRects.size(), rectsBefore);
    EXPECT_EQ(Edges(ellipsis->ButtonContainer()->BoundsRect()), containerBefore);
}

}  // namespace
