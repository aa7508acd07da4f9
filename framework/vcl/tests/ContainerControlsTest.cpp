// Tab set, notebook, header control and progress bar: selection rules, pages, sections, and reading them from a
// form file.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "classes/FormResource.h"
#include "vcl/Forms.h"
#include "vcl/HeaderControl.h"
#include "vcl/Notebook.h"
#include "vcl/ProgressBar.h"
#include "vcl/StdCtrls.h"
#include "vcl/Tabs.h"
#include "vcl/TestHelpers.h"

class TContainerForm : public TForm {
    DUN_CLASS(TContainerForm, TForm)
public:
    explicit TContainerForm(TComponent* owner) : TForm(owner) {}

    TTabSet* ValueRangeTabSet = nullptr;
    TNotebook* SelectNotebook = nullptr;
    TLabel* RangeLbl = nullptr;
    THeaderControl* StatusHeader = nullptr;
    TProgressBar* ProgressBar1 = nullptr;
    std::vector<Integer> asked;

    // Turns the notebook with the tabs, as the filter dialog does.
    void ValueRangeTabSetChange(TObject*, Integer newTab, bool& allowChange)
    {
        asked.push_back(newTab);
        SelectNotebook->SetPageIndex(newTab);
        allowChange = true;
    }

    static void Publish(TPublisher<TContainerForm>& p)
    {
        p.Field("ValueRangeTabSet", &TContainerForm::ValueRangeTabSet);
        p.Field("SelectNotebook", &TContainerForm::SelectNotebook);
        p.Field("RangeLbl", &TContainerForm::RangeLbl);
        p.Field("StatusHeader", &TContainerForm::StatusHeader);
        p.Field("ProgressBar1", &TContainerForm::ProgressBar1);
        p.Method("ValueRangeTabSetChange", &TContainerForm::ValueRangeTabSetChange);
    }
};

namespace {

const char* const ContainerFormText = R"(object ContainerForm: TContainerForm
  Left = 20
  Top = 20
  Width = 400
  Height = 300
  Caption = 'Containers'
  object SelectNotebook: TNotebook
    Left = 0
    Top = 0
    Width = 200
    Height = 150
    PageIndex = 1
    object TPage
      Left = 0
      Top = 0
      Caption = 'AsString'
    end
    object TPage
      Left = 0
      Top = 0
      Caption = 'asValue'
      object RangeLbl: TLabel
        Left = 7
        Top = 9
        Caption = '&Starting Range'
      end
    end
  end
  object ValueRangeTabSet: TTabSet
    Left = 0
    Top = 152
    Width = 199
    Height = 21
    Tabs.Strings = (
      'By &Value'
      'By &Range')
    TabIndex = 1
    OnChange = ValueRangeTabSetChange
  end
  object StatusHeader: THeaderControl
    Left = 0
    Top = 180
    Width = 300
    Height = 17
    Align = alNone
    Sections = <
      item
        Width = 120
      end
      item
        Text = 'Record'
        Width = 150
      end>
  end
  object ProgressBar1: TProgressBar
    Left = 0
    Top = 200
    Width = 247
    Height = 16
    Max = 40
    Position = 12
  end
end
)";

class ContainerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form.reset(CreateObject<TContainerForm>(nullptr));
        ReadComponentText(form.get(), ContainerFormText);
        form->Show();
        PumpMessages();
    }

    std::unique_ptr<TContainerForm> form;
};

TEST_F(ContainerTest, FormFileGivesPagesTabsSectionsAndRange)
{
    TNotebook* notebook = form->SelectNotebook;
    ASSERT_EQ(notebook->PageCount(), 2);
    EXPECT_EQ(notebook->Pages()->Strings(0), "AsString");
    EXPECT_EQ(notebook->PageIndex(), 1);
    EXPECT_EQ(notebook->ActivePage(), "asValue");
    EXPECT_FALSE(notebook->Page(0)->Visible());
    EXPECT_TRUE(notebook->Page(1)->Visible());
    EXPECT_EQ(form->RangeLbl->Parent(), notebook->Page(1));
    EXPECT_EQ(form->RangeLbl->Owner(), form.get());

    EXPECT_EQ(form->ValueRangeTabSet->Tabs()->Count(), 2);
    EXPECT_EQ(form->ValueRangeTabSet->TabIndex(), 1);
    EXPECT_TRUE(form->asked.empty());  // reading the form asks nothing

    HWND header = form->StatusHeader->Handle();
    ASSERT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 2);
    char text[64] = {};
    HDITEMA item{};
    item.mask = HDI_TEXT | HDI_WIDTH;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(header, HDM_GETITEMA, 1, LPARAM(&item));
    EXPECT_STREQ(text, "Record");
    EXPECT_EQ(item.cxy, 150);
    EXPECT_EQ(form->StatusHeader->Sections()->Items(1)->Left(), 120);

    EXPECT_EQ(form->ProgressBar1->Max(), 40);
    EXPECT_EQ(SendMessageA(form->ProgressBar1->Handle(), PBM_GETPOS, 0, 0), 12);
}

TEST_F(ContainerTest, TabSetOffersEveryChangeToItsHandlerWhichMayRefuseIt)
{
    TTabSet* tabs = form->ValueRangeTabSet;
    Integer clicks = 0;
    tabs->OnClick = [&](TObject*) { ++clicks; };
    tabs->SetTabIndex(0);
    EXPECT_EQ(form->asked, (std::vector<Integer>{0}));
    EXPECT_EQ(form->SelectNotebook->ActivePage(), "AsString");
    EXPECT_EQ(clicks, 1);

    tabs->OnChange = [&](TObject*, Integer, bool& allow) { allow = false; };
    tabs->SetTabIndex(1);
    EXPECT_EQ(tabs->TabIndex(), 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_THROW(tabs->SetTabIndex(2), EListError);
    EXPECT_THROW(tabs->SetTabIndex(-2), EListError);

    tabs->OnChange = nullptr;
    tabs->SetTabIndex(-1);
    EXPECT_EQ(tabs->TabIndex(), -1);
}

TEST_F(ContainerTest, TabSetSelectsByClickAndAccelerator)
{
    TTabSet* tabs = form->ValueRangeTabSet;
    const TRect first = tabs->ItemRect(0), second = tabs->ItemRect(1);
    ASSERT_FALSE(IsRectEmpty(&first));
    EXPECT_EQ(second.left, first.right);
    EXPECT_EQ(tabs->ItemAtPos(Point(first.right + 2, 5)), 1);
    EXPECT_EQ(tabs->ItemAtPos(Point(second.right + 50, 5)), -1);

    const LPARAM at = MAKELPARAM((first.left + first.right) / 2, (first.top + first.bottom) / 2);
    PostMessageA(tabs->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(tabs->Handle(), WM_LBUTTONUP, 0, at);
    PumpMessages();
    EXPECT_EQ(tabs->TabIndex(), 0);
    EXPECT_EQ(form->SelectNotebook->PageIndex(), 0);

    EXPECT_EQ(tabs->Perform(CM_DIALOGCHAR, 'r'), 1);
    EXPECT_EQ(tabs->TabIndex(), 1);
    EXPECT_EQ(tabs->Perform(CM_DIALOGCHAR, 'x'), 0);

    tabs->Tabs()->Delete(1);  // the selected tab goes: the last one left is selected
    EXPECT_EQ(tabs->TabIndex(), 0);
}

TEST(Notebook, PagesComeAndGoAndOnlyTheActiveOneShows)
{
    std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
    auto* notebook = new TNotebook(form.get());
    notebook->SetParent(form.get());
    EXPECT_EQ(notebook->ActivePage(), "Default");
    Integer changes = 0;
    notebook->OnPageChanged = [&](TObject*) { ++changes; };

    notebook->Pages()->Add("Second");
    notebook->Pages()->Add("Third");
    auto* edit = new TEdit(form.get());
    edit->SetParent(notebook->Page(2));
    form->Show();
    PumpMessages();
    EXPECT_FALSE(edit->Showing());

    notebook->SetActivePage("Third");
    EXPECT_EQ(notebook->PageIndex(), 2);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(edit->Showing());
    EXPECT_FALSE(notebook->Page(0)->Visible());
    notebook->SetPageIndex(7);  // no such page: nothing changes
    notebook->SetActivePage("None");
    EXPECT_EQ(notebook->PageIndex(), 2);
    EXPECT_EQ(changes, 1);

    notebook->Pages()->Delete(0);  // a page before the active one
    EXPECT_EQ(notebook->ActivePage(), "Third");
    EXPECT_EQ(notebook->PageIndex(), 1);
    notebook->Pages()->Delete(1);  // the active page itself: its predecessor shows
    EXPECT_EQ(notebook->ActivePage(), "Second");
    EXPECT_TRUE(notebook->Page(0)->Visible());
    notebook->Pages()->SetStrings(0, "Renamed");
    EXPECT_EQ(notebook->ActivePage(), "Renamed");
    EXPECT_THROW(notebook->Pages()->Delete(3), EListError);
}

TEST_F(ContainerTest, HeaderFollowsItsSectionsAndReportsClicks)
{
    THeaderControl* header = form->StatusHeader;
    header->Sections()->Items(0)->SetText("Table");
    header->Sections()->Add()->SetText("Third");
    HWND window = header->Handle();
    EXPECT_EQ(SendMessageA(window, HDM_GETITEMCOUNT, 0, 0), 3);
    char text[64] = {};
    HDITEMA item{};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(window, HDM_GETITEMA, 0, LPARAM(&item));
    EXPECT_STREQ(text, "Table");
    header->Sections()->Delete(2);
    EXPECT_EQ(SendMessageA(window, HDM_GETITEMCOUNT, 0, 0), 2);

    std::vector<Integer> clicked;
    header->OnSectionClick = [&](TObject*, THeaderSection* section) { clicked.push_back(section->Index()); };
    const LPARAM at = MAKELPARAM(130, 8);  // inside the second section
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(window, WM_LBUTTONUP, 0, at);
    PumpMessages();
    EXPECT_EQ(clicked, (std::vector<Integer>{1}));
}

TEST_F(ContainerTest, ProgressBarKeepsItsPositionWithinTheRange)
{
    TProgressBar* bar = form->ProgressBar1;
    HWND window = bar->Handle();
    struct Case {
        Integer Set, Expected;
    } cases[] = {{20, 20}, {41, 40}, {-5, 0}, {40, 40}};
    for (const Case& c : cases) {
        bar->SetPosition(c.Set);
        EXPECT_EQ(bar->Position(), c.Expected) << c.Set;
        EXPECT_EQ(SendMessageA(window, PBM_GETPOS, 0, 0), c.Expected) << c.Set;
    }
    bar->SetMax(10);
    EXPECT_EQ(bar->Position(), 10);
    bar->SetPosition(0);
    bar->SetStep(3);
    bar->StepIt();
    bar->StepIt();
    EXPECT_EQ(SendMessageA(window, PBM_GETPOS, 0, 0), 6);
    EXPECT_THROW(bar->SetMin(11), EInvalidOperation);
    EXPECT_EQ(bar->Min(), 0);
}

}  // namespace
