#include "db/DBLoginDialogs.h"

#include <memory>

#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace {

constexpr Integer Margin = 8;
constexpr Integer PromptWidth = 72;
constexpr Integer EditWidth = 184;
constexpr Integer RowHeight = 28;
constexpr Integer ButtonWidth = 75;
constexpr Integer ButtonHeight = 25;
constexpr Integer ClientWidth = Margin + PromptWidth + EditWidth + Margin;

// A dialog form of the given rows of prompts, with OK and Cancel below them.
std::unique_ptr<TForm> NewDialog(const std::string& caption, Integer rows)
{
    std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
    form->SetBorderStyle(bsDialog);
    form->SetCaption(caption);
    form->SetPosition(poScreenCenter);
    form->SetClientWidth(ClientWidth);
    const Integer buttonsTop = Margin + rows * RowHeight + Margin;
    form->SetClientHeight(buttonsTop + ButtonHeight + Margin);
    auto* ok = new TButton(form.get());
    ok->SetParent(form.get());
    ok->SetName("OKButton");
    ok->SetCaption("OK");
    ok->SetModalResult(mrOk);
    ok->SetDefault(true);
    ok->SetBounds(ClientWidth - Margin - 2 * ButtonWidth - 6, buttonsTop, ButtonWidth, ButtonHeight);
    auto* cancel = new TButton(form.get());
    cancel->SetParent(form.get());
    cancel->SetName("CancelButton");
    cancel->SetCaption("Cancel");
    cancel->SetModalResult(mrCancel);
    cancel->SetCancel(true);
    cancel->SetBounds(ClientWidth - Margin - ButtonWidth, buttonsTop, ButtonWidth, ButtonHeight);
    return form;
}

TLabel* AddPrompt(TForm* form, Integer row, const std::string& text)
{
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetCaption(text);
    label->SetBounds(Margin, Margin + row * RowHeight + 4, PromptWidth, 16);
    return label;
}

TEdit* AddEdit(TForm* form, Integer row, const std::string& name, const std::string& prompt,
               const std::string& text)
{
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetName(name);
    edit->SetBounds(Margin + PromptWidth, Margin + row * RowHeight, EditWidth, 22);
    edit->SetText(text);
    AddPrompt(form, row, prompt)->SetFocusControl(edit);
    return edit;
}

// The control that has the focus when the form shows.
void FocusOnShow(TForm* form, TWinControl* control)
{
    form->OnShow = [form, control](TObject*) { form->SetActiveControl(control); };
}

TEdit* AddPasswordEdit(TForm* form, Integer row)
{
    TEdit* edit = AddEdit(form, row, "PasswordEdit", "&Password:", "");
    edit->SetPasswordChar('*');
    return edit;
}

}  // namespace

bool PasswordDialog(std::string& password)
{
    std::unique_ptr<TForm> form = NewDialog("Enter password", 1);
    TEdit* passwordEdit = AddPasswordEdit(form.get(), 0);
    FocusOnShow(form.get(), passwordEdit);
    if (form->ShowModal() != mrOk) return false;
    password = passwordEdit->Text();
    return true;
}

bool LoginDialogEx(const std::string& databaseName, std::string& userName, std::string& password, bool nameReadOnly)
{
    std::unique_ptr<TForm> form = NewDialog("Database Login", 3);
    AddPrompt(form.get(), 0, "Database:");
    auto* name = new TLabel(form.get());
    name->SetParent(form.get());
    name->SetName("DatabaseName");
    name->SetCaption(databaseName);
    name->SetBounds(Margin + PromptWidth, Margin + 4, EditWidth, 16);
    TEdit* userEdit = AddEdit(form.get(), 1, "UserNameEdit", "&User Name:", userName);
    userEdit->SetReadOnly(nameReadOnly);
    TEdit* passwordEdit = AddPasswordEdit(form.get(), 2);
    FocusOnShow(form.get(), userName.empty() && !nameReadOnly ? userEdit : passwordEdit);
    if (form->ShowModal() != mrOk) return false;
    userName = userEdit->Text();
    password = passwordEdit->Text();
    return true;
}
