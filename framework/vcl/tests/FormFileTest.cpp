// A dialog read from its form file: components, properties, nesting, menus, event bindings, and how it behaves.
#include <gtest/gtest.h>

#include <memory>

#include "classes/FormResource.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"
#include "vcl/StdCtrls.h"
#include "vcl/TestHelpers.h"

class TNoteForm : public TForm {
    DUN_CLASS(TNoteForm, TForm)
public:
    explicit TNoteForm(TComponent* owner) : TForm(owner) {}

    TLabel* Label1 = nullptr;
    TEdit* Edit1 = nullptr;
    TButton* AddButton = nullptr;
    TButton* CancelButton = nullptr;
    TPanel* Panel1 = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* Exit1 = nullptr;
    int created = 0;
    int exits = 0;

    void FormCreate(TObject*) { ++created; }
    void Edit1Change(TObject*) { AddButton->SetEnabled(!Edit1->Text().empty()); }
    void Exit1Click(TObject*) { ++exits; }

    static void Publish(TPublisher<TNoteForm>& p)
    {
        p.Field("Label1", &TNoteForm::Label1);
        p.Field("Edit1", &TNoteForm::Edit1);
        p.Field("AddButton", &TNoteForm::AddButton);
        p.Field("CancelButton", &TNoteForm::CancelButton);
        p.Field("Panel1", &TNoteForm::Panel1);
        p.Field("MainMenu1", &TNoteForm::MainMenu1);
        p.Field("Exit1", &TNoteForm::Exit1);
        p.Method("FormCreate", &TNoteForm::FormCreate);
        p.Method("Edit1Change", &TNoteForm::Edit1Change);
        p.Method("Exit1Click", &TNoteForm::Exit1Click);
    }
};

namespace {

TEST(FormFile, ComponentsPropertiesAndEventsComeFromTheFormFile)
{
    TScriptedDialogs dialogs;
    std::unique_ptr<TNoteForm> form(CreateObject<TNoteForm>(nullptr));
    ASSERT_NE(form->Edit1, nullptr);
    EXPECT_EQ(form->created, 1);
    EXPECT_EQ(form->Caption(), "Adding a note");
    EXPECT_EQ(form->BorderStyle(), bsDialog);
    EXPECT_EQ(form->ClientWidth(), 300);
    EXPECT_EQ(form->Color(), clBtnFace);
    EXPECT_TRUE(form->KeyPreview());
    EXPECT_TRUE(form->Font()->Style().Contains(fsBold));
    EXPECT_EQ(form->Edit1->Parent(), form.get());
    EXPECT_EQ(form->Edit1->MaxLength(), 78);
    EXPECT_TRUE(form->Edit1->Font()->Style().Contains(fsBold));  // parent font
    EXPECT_EQ(form->Label1->FocusControl(), form->Edit1);
    EXPECT_TRUE(form->AddButton->Default());
    EXPECT_EQ(form->AddButton->ModalResult(), mrOk);
    EXPECT_FALSE(form->AddButton->Enabled());
    EXPECT_EQ(form->CancelButton->TabOrder(), 2);
    EXPECT_EQ(form->Panel1->Color(), clRed);
    EXPECT_EQ(form->Panel1->Font()->Color(), clNavy);
    ASSERT_EQ(form->Panel1->ControlCount(), 1);
    auto* shape = dynamic_cast<TShape*>(form->Panel1->Controls(0));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->Brush()->Color(), clYellow);
    EXPECT_EQ(form->Menu(), form->MainMenu1);
    ASSERT_EQ(form->MainMenu1->Items()->Count(), 1);
    EXPECT_EQ(form->MainMenu1->Items()->Items(0)->Items(0), form->Exit1);
    EXPECT_EQ(form->Exit1->ShortCut(), ShortCut('X', {ssCtrl}));
}

TEST(FormFile, ReadDialogWorksModallyWithItsHandlers)
{
    TScriptedDialogs dialogs;
    std::unique_ptr<TNoteForm> form(CreateObject<TNoteForm>(nullptr));
    dialogs.AnswerNextModalForm([](TCustomForm* f) {
        auto* note = static_cast<TNoteForm*>(f);
        TypeKey(VK_RETURN);  // Add is disabled: nothing happens
        TypeText("late fee");
        TypeKey('X', {ssCtrl});
        TypeKey(VK_RETURN);
        if (note->ModalResult() == mrNone) note->SetModalResult(mrAbort);
    });
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_EQ(form->Edit1->Text(), "late fee");
    EXPECT_EQ(form->exits, 1);
}

TEST(FormFile, FormWrittenBackReadsTheSame)
{
    TScriptedDialogs dialogs;
    std::unique_ptr<TNoteForm> form(CreateObject<TNoteForm>(nullptr));
    const std::string text = WriteComponentText(form.get());
    EXPECT_NE(text.find("object Edit1: TEdit"), std::string::npos);
    EXPECT_NE(text.find("OnChange = Edit1Change"), std::string::npos);
    EXPECT_NE(text.find("Color = clRed"), std::string::npos);
    EXPECT_NE(text.find("object Exit1: TMenuItem"), std::string::npos);
}

}  // namespace
