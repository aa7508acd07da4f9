// Ctl3D and ParentCtl3D (3-D or flat borders, inherited from the parent), ImeMode and ImeName, Anchors (distances
// kept to the parent's edges) and Constraints (limits of SetBounds and of the user's sizing): from form files, back
// into them, and on real windows.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "classes/FormResource.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"
#include "vcl/TestHelpers.h"

namespace {

const char* const formText =
    "object PropertiesForm: TForm\n"
    "  Left = 60\n"
    "  Top = 60\n"
    "  Caption = 'Properties'\n"
    "  ClientHeight = 240\n"
    "  ClientWidth = 400\n"
    "  Constraints.MaxHeight = 420\n"
    "  Constraints.MaxWidth = 640\n"
    "  Constraints.MinHeight = 200\n"
    "  Constraints.MinWidth = 300\n"
    "  object Panel1: TPanel\n"
    "    Left = 8\n"
    "    Top = 8\n"
    "    Width = 180\n"
    "    Height = 90\n"
    "    Ctl3D = False\n"
    "    object FlatEdit: TEdit\n"
    "      Left = 8\n"
    "      Top = 8\n"
    "      Width = 160\n"
    "      Height = 21\n"
    "    end\n"
    "    object OwnEdit: TEdit\n"
    "      Left = 8\n"
    "      Top = 40\n"
    "      Width = 160\n"
    "      Height = 21\n"
    "      Ctl3D = True\n"
    "    end\n"
    "  end\n"
    "  object NameEdit: TEdit\n"
    "    Left = 200\n"
    "    Top = 8\n"
    "    Width = 192\n"
    "    Height = 21\n"
    "    Anchors = [akLeft, akTop, akRight]\n"
    "    ImeMode = imClose\n"
    "    ImeName = 'Japanese'\n"
    "  end\n"
    "  object NotesMemo: TMemo\n"
    "    Left = 200\n"
    "    Top = 40\n"
    "    Width = 192\n"
    "    Height = 150\n"
    "    Anchors = [akLeft, akTop, akRight, akBottom]\n"
    "  end\n"
    "  object OkButton: TButton\n"
    "    Left = 317\n"
    "    Top = 204\n"
    "    Width = 75\n"
    "    Height = 25\n"
    "    Anchors = [akRight, akBottom]\n"
    "    Caption = 'OK'\n"
    "  end\n"
    "  object CentredLabel: TLabel\n"
    "    Left = 60\n"
    "    Top = 120\n"
    "    Width = 80\n"
    "    Height = 13\n"
    "    Anchors = []\n"
    "    Caption = 'In the middle'\n"
    "  end\n"
    "end\n";

template <class T>
T* Find(TComponent* form, const char* name)
{
    return dynamic_cast<T*>(form->FindComponent(name));
}

bool HasClientEdge(TWinControl* control)
{
    return (GetWindowLongPtrA(control->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
}

bool HasFlatBorder(TWinControl* control)
{
    return (GetWindowLongPtrA(control->Handle(), GWL_STYLE) & WS_BORDER) != 0;
}

// The distances of a control to the edges of its parent's client area that its anchors name (-1 for the others):
// left, top, right, bottom.
TRect AnchoredDistances(TControl* control)
{
    const TRect client = control->Parent()->ClientRect();
    const TAnchors anchors = control->Anchors();
    auto distance = [&](TAnchorKind edge, Integer value) { return anchors.Contains(edge) ? value : -1; };
    return Rect(distance(akLeft, control->Left()), distance(akTop, control->Top()),
                distance(akRight, client.right - control->Left() - control->Width()),
                distance(akBottom, client.bottom - control->Top() - control->Height()));
}

bool SameRect(const TRect& a, const TRect& b) { return EqualRect(&a, &b) != 0; }

class ControlProperties : public ::testing::Test {
protected:
    TForm* ReadForm(const std::string& text)
    {
        forms.emplace_back(CreateObject<TForm>(nullptr));
        ReadComponentText(forms.back().get(), text);
        return forms.back().get();
    }

    void TearDown() override
    {
        forms.clear();
        PumpMessages(20);
    }

    TScriptedDialogs dialogs;
    std::vector<std::unique_ptr<TForm>> forms;
};

TEST_F(ControlProperties, AFormFileReadsAndWritesThePropertiesBack)
{
    TForm* form = ReadForm(formText);
    auto* panel = Find<TPanel>(form, "Panel1");
    auto* flat = Find<TEdit>(form, "FlatEdit");
    auto* own = Find<TEdit>(form, "OwnEdit");
    auto* name = Find<TEdit>(form, "NameEdit");
    ASSERT_TRUE(panel && flat && own && name);
    EXPECT_FALSE(panel->Ctl3D());
    EXPECT_FALSE(panel->ParentCtl3D());
    EXPECT_FALSE(flat->Ctl3D());  // from its parent
    EXPECT_TRUE(flat->ParentCtl3D());
    EXPECT_TRUE(own->Ctl3D());
    EXPECT_FALSE(own->ParentCtl3D());
    EXPECT_EQ(name->Anchors(), (TAnchors{akLeft, akTop, akRight}));
    EXPECT_EQ(Find<TLabel>(form, "CentredLabel")->Anchors(), TAnchors{});
    EXPECT_EQ(name->ImeMode(), imClose);
    EXPECT_EQ(name->ImeName(), "Japanese");
    EXPECT_EQ(flat->ImeMode(), imDontCare);
    EXPECT_EQ(form->Constraints()->MinWidth(), 300);
    EXPECT_EQ(form->Constraints()->MaxHeight(), 420);

    const std::string written = WriteComponentText(form);
    for (const char* line : {"Constraints.MaxHeight = 420", "Constraints.MinWidth = 300", "Ctl3D = False",
                             "Ctl3D = True", "ParentCtl3D = False", "Anchors = [akLeft, akTop, akRight]",
                             "Anchors = []", "ImeMode = imClose", "ImeName = 'Japanese'"})
        EXPECT_NE(written.find(line), std::string::npos) << line;
    // Defaults are not written: the edit that follows its parent, the default anchors and IME mode.
    EXPECT_EQ(written.find("Anchors = [akLeft, akTop]\n"), std::string::npos);
    EXPECT_EQ(written.find("imDontCare"), std::string::npos);
    const size_t flatAt = written.find("object FlatEdit"), ownAt = written.find("object OwnEdit");
    EXPECT_EQ(written.substr(flatAt, ownAt - flatAt).find("Ctl3D"), std::string::npos);

    TForm* again = ReadForm(written);
    EXPECT_EQ(WriteComponentText(again), written);
    EXPECT_FALSE(Find<TEdit>(again, "FlatEdit")->Ctl3D());
    EXPECT_EQ(Find<TEdit>(again, "NameEdit")->Anchors(), (TAnchors{akLeft, akTop, akRight}));
}

TEST_F(ControlProperties, Ctl3DGivesSunkenOrFlatBordersAndFollowsTheParent)
{
    TForm* form = ReadForm(formText);
    auto* panel = Find<TPanel>(form, "Panel1");
    auto* flat = Find<TEdit>(form, "FlatEdit");
    auto* own = Find<TEdit>(form, "OwnEdit");
    form->Show();
    PumpMessages();
    // An edit draws a flat border inside its client area; the sunken edge takes two pixels each side outside it.
    EXPECT_FALSE(HasClientEdge(flat));
    EXPECT_EQ(flat->ClientWidth(), flat->Width());
    EXPECT_TRUE(HasClientEdge(own));
    EXPECT_EQ(own->ClientWidth(), own->Width() - 4);

    flat->SetText("kept");
    panel->SetCtl3D(true);
    EXPECT_TRUE(HasClientEdge(flat));
    EXPECT_EQ(flat->ClientWidth(), flat->Width() - 4);
    EXPECT_EQ(flat->Text(), "kept");

    own->SetParentCtl3D(true);
    panel->SetCtl3D(false);
    EXPECT_FALSE(own->Ctl3D());
    EXPECT_FALSE(HasClientEdge(own));

    // A control made in code follows its parent until its own Ctl3D is set.
    auto* later = new TEdit(form);
    later->SetParent(panel);
    EXPECT_FALSE(later->Ctl3D());
    later->SetCtl3D(true);
    EXPECT_FALSE(later->ParentCtl3D());
    panel->SetCtl3D(true);
    panel->SetCtl3D(false);
    EXPECT_TRUE(later->Ctl3D());

    // A grid and a list box take the same borders.
    auto* list = new TListBox(form);
    list->SetParent(panel);
    EXPECT_TRUE(HasFlatBorder(list));
    list->SetCtl3D(true);
    EXPECT_TRUE(HasClientEdge(list));

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    delete later;
    delete list;
    form->SetBounds(form->Left(), form->Top(), form->Width() + 120, form->Height() + 60);
    PumpMessages();
    EXPECT_TRUE(SaveWindowToPng(form->Handle(), std::string(temp) + "control-properties.png"));
}

TEST_F(ControlProperties, AnchoredControlsKeepTheirDistancesWhenTheFormIsResized)
{
    TForm* form = ReadForm(formText);
    form->Show();
    PumpMessages();
    auto* name = Find<TEdit>(form, "NameEdit");
    auto* memo = Find<TMemo>(form, "NotesMemo");
    auto* ok = Find<TButton>(form, "OkButton");
    auto* label = Find<TLabel>(form, "CentredLabel");
    auto* panel = Find<TPanel>(form, "Panel1");
    const TRect nameBefore = AnchoredDistances(name), memoBefore = AnchoredDistances(memo),
                okBefore = AnchoredDistances(ok);
    const TRect panelBefore = panel->BoundsRect();
    const Integer labelMiddle = label->Left() + label->Width() / 2;
    const Integer okWidth = ok->Width();

    auto expectKept = [&](const char* how) {
        EXPECT_PRED2(SameRect, AnchoredDistances(name), nameBefore) << how;
        EXPECT_PRED2(SameRect, AnchoredDistances(memo), memoBefore) << how;
        EXPECT_PRED2(SameRect, AnchoredDistances(ok), okBefore) << how;
        EXPECT_PRED2(SameRect, panel->BoundsRect(), panelBefore) << how;  // the default anchors: left and top
        EXPECT_EQ(ok->Width(), okWidth) << how;
    };
    const Integer clientWidth = form->ClientWidth();
    form->SetBounds(form->Left(), form->Top(), form->Width() + 100, form->Height() + 50);
    expectKept("SetBounds");
    EXPECT_EQ(name->Width(), 192 + 100);
    EXPECT_EQ(label->Left() + label->Width() / 2, MulDiv(labelMiddle, form->ClientWidth(), clientWidth));

    SizeFormByMouse(form, -140, -40);  // a person narrows it, by the corner
    expectKept("sized by the user");
    EXPECT_EQ(memo->Width(), 192 - 40);
}

TEST_F(ControlProperties, ConstraintsLimitSetBoundsAndTheUsersSizing)
{
    TForm* form = ReadForm(formText);
    form->Show();
    PumpMessages();
    form->SetBounds(form->Left(), form->Top(), 900, 100);
    EXPECT_EQ(form->Width(), 640);
    EXPECT_EQ(form->Height(), 200);

    SizeFormByMouse(form, -500, -300);
    EXPECT_EQ(form->Width(), 300);
    EXPECT_EQ(form->Height(), 200);
    SizeFormByMouse(form, 600, 500);  // the system's sizing loop here stops a pixel short of the largest size
    EXPECT_LE(form->Width(), 640);
    EXPECT_GE(form->Width(), 639);
    EXPECT_LE(form->Height(), 420);
    EXPECT_GE(form->Height(), 419);

    // Changed constraints take hold of the present size; a minimum above the maximum raises the maximum.
    form->Constraints()->SetMaxWidth(500);
    EXPECT_EQ(form->Width(), 500);
    form->Constraints()->SetMinWidth(560);
    EXPECT_EQ(form->Constraints()->MaxWidth(), 560);
    EXPECT_EQ(form->Width(), 560);
    form->Constraints()->SetMaxWidth(0);
    SizeFormByMouse(form, 100, 0);
    EXPECT_EQ(form->Width(), 660);
    SizeFormByMouse(form, -200, 0);
    EXPECT_EQ(form->Width(), 560);

    auto* memo = Find<TMemo>(form, "NotesMemo");
    memo->Constraints()->SetMaxHeight(80);
    EXPECT_EQ(memo->Height(), 80);
    memo->Constraints()->SetMinHeight(100);
    memo->SetBounds(memo->Left(), memo->Top(), memo->Width(), 20);
    EXPECT_EQ(memo->Height(), 100);
    EXPECT_EQ(memo->Constraints()->MaxHeight(), 100);
}

}  // namespace
