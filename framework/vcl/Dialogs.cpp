#include "vcl/Dialogs.h"

#include <cstring>
#include <vector>

#include "vcl/Forms.h"
#include "vcl/Printers.h"
#include "vcl/StdCtrls.h"

namespace {

TDialogService realService;
TDialogService* currentService = &realService;

// Moves the next message box to a position when it is activated.
HHOOK positionHook = nullptr;
POINT boxPosition{-1, -1};

LRESULT CALLBACK PositionBoxHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        SetWindowPos(reinterpret_cast<HWND>(wParam), nullptr, boxPosition.x, boxPosition.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        UnhookWindowsHookEx(positionHook);
        positionHook = nullptr;
        return 0;
    }
    return CallNextHookEx(positionHook, code, wParam, lParam);
}

UINT ButtonFlags(TMsgDlgButtons buttons)
{
    buttons.Exclude(mbHelp);
    if (buttons == TMsgDlgButtons{mbOK, mbCancel}) return MB_OKCANCEL;
    if (buttons == TMsgDlgButtons{mbYes, mbNo}) return MB_YESNO;
    if (buttons == TMsgDlgButtons{mbYes, mbNo, mbCancel}) return MB_YESNOCANCEL;
    if (buttons == TMsgDlgButtons{mbAbort, mbRetry, mbIgnore}) return MB_ABORTRETRYIGNORE;
    if (buttons == TMsgDlgButtons{mbRetry, mbCancel}) return MB_RETRYCANCEL;
    if (buttons.Contains(mbYes) && buttons.Contains(mbCancel)) return MB_YESNOCANCEL;
    if (buttons.Contains(mbYes)) return MB_YESNO;
    if (buttons.Contains(mbCancel)) return MB_OKCANCEL;
    return MB_OK;
}

UINT IconFlags(TMsgDlgType type)
{
    switch (type) {
    case mtWarning:
        return MB_ICONWARNING;
    case mtError:
        return MB_ICONERROR;
    case mtInformation:
        return MB_ICONINFORMATION;
    case mtConfirmation:
        return MB_ICONQUESTION;
    default:
        return 0;
    }
}

}  // namespace

TDialogService* DialogService() { return currentService; }

TDialogService* SetDialogService(TDialogService* service)
{
    TDialogService* old = currentService;
    currentService = service ? service : &realService;
    return old == &realService ? nullptr : old;
}

Integer TDialogService::MessageBox(const std::string& text, const std::string& caption, UINT flags)
{
    HWND owner = GetActiveWindow();
    return MessageBoxA(owner ? owner : Application->Handle(), text.c_str(), caption.c_str(), flags | MB_TASKMODAL);
}

TModalResult TDialogService::MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                                        Integer x, Integer y)
{
    if (x >= 0 && y >= 0) {
        boxPosition = POINT{x, y};
        positionHook = SetWindowsHookExA(WH_CBT, PositionBoxHook, nullptr, GetCurrentThreadId());
    }
    const Integer result =
        MessageBox(text, MessageDlgCaption(type), ButtonFlags(buttons) | IconFlags(type));
    if (positionHook) {
        UnhookWindowsHookEx(positionHook);
        positionHook = nullptr;
    }
    return result;
}

// A small form: the prompt, an edit with the value, OK and Cancel.
bool TDialogService::InputQuery(const std::string& caption, const std::string& prompt, std::string& value)
{
    std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
    form->SetBorderStyle(bsDialog);
    form->SetCaption(caption);
    form->SetPosition(poScreenCenter);
    form->SetClientWidth(240);
    form->SetClientHeight(104);
    auto* label = new TLabel(form.get());
    label->SetParent(form.get());
    label->SetCaption(prompt);
    label->SetBounds(8, 8, 224, 16);
    auto* edit = new TEdit(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(8, 28, 224, 22);
    edit->SetText(value);
    edit->SelectAll();
    label->SetFocusControl(edit);
    auto* ok = new TButton(form.get());
    ok->SetParent(form.get());
    ok->SetCaption("OK");
    ok->SetModalResult(mrOk);
    ok->SetDefault(true);
    ok->SetBounds(76, 66, 75, 25);
    auto* cancel = new TButton(form.get());
    cancel->SetParent(form.get());
    cancel->SetCaption("Cancel");
    cancel->SetModalResult(mrCancel);
    cancel->SetCancel(true);
    cancel->SetBounds(157, 66, 75, 25);
    if (form->ShowModal() != mrOk) return false;
    value = edit->Text();
    return true;
}

TModalResult TDialogService::ShowModal(TCustomForm* form) { return form->RunModal(); }

bool TDialogService::Execute(TCommonDialog* dialog) { return dialog->Run(); }

std::string MessageDlgCaption(TMsgDlgType type)
{
    switch (type) {
    case mtWarning:
        return "Warning";
    case mtError:
        return "Error";
    case mtInformation:
        return "Information";
    case mtConfirmation:
        return "Confirm";
    default:
        return Application->Title();
    }
}

TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, Integer helpContext)
{
    return DialogService()->MessageDlg(text, type, buttons, -1, -1);
}

TModalResult MessageDlgPos(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, Integer helpContext,
                           Integer x, Integer y)
{
    return DialogService()->MessageDlg(text, type, buttons, x, y);
}

void ShowMessage(const std::string& text) { DialogService()->MessageBox(text, Application->Title(), MB_OK); }

std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& defaultValue)
{
    std::string value = defaultValue;
    return DialogService()->InputQuery(caption, prompt, value) ? value : defaultValue;
}

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value)
{
    return DialogService()->InputQuery(caption, prompt, value);
}

// ---- common dialogs

bool TCommonDialog::Execute()
{
    if (OnShow) OnShow(this);
    const bool result = DialogService()->Execute(this);
    if (OnClose) OnClose(this);
    return result;
}

HWND TCommonDialog::OwnerWindow() const
{
    HWND active = GetActiveWindow();
    return active ? active : Application->Handle();
}

bool TOpenDialog::Run() { return RunFileDialog(false); }

bool TOpenDialog::RunFileDialog(bool save)
{
    std::string filter = Filter;
    for (char& c : filter)
        if (c == '|') c = '\0';
    filter.append(2, '\0');
    std::vector<char> file(MAX_PATH * 4, '\0');
    std::strncpy(file.data(), FileName.c_str(), file.size() - 1);
    OPENFILENAMEA data{};
    data.lStructSize = sizeof data;
    data.hwndOwner = OwnerWindow();
    data.lpstrFilter = Filter.empty() ? nullptr : filter.c_str();
    data.nFilterIndex = FilterIndex;
    data.lpstrFile = file.data();
    data.nMaxFile = DWORD(file.size());
    data.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
    data.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
    data.lpstrDefExt = DefaultExt.empty() ? nullptr : DefaultExt.c_str();
    data.Flags = OFN_EXPLORER | OFN_ENABLESIZING;
    if (Options.Contains(ofOverwritePrompt)) data.Flags |= OFN_OVERWRITEPROMPT;
    if (Options.Contains(ofHideReadOnly)) data.Flags |= OFN_HIDEREADONLY;
    if (Options.Contains(ofNoChangeDir)) data.Flags |= OFN_NOCHANGEDIR;
    if (Options.Contains(ofPathMustExist)) data.Flags |= OFN_PATHMUSTEXIST;
    if (Options.Contains(ofFileMustExist)) data.Flags |= OFN_FILEMUSTEXIST;
    if (Options.Contains(ofCreatePrompt)) data.Flags |= OFN_CREATEPROMPT;
    const BOOL ok = save ? GetSaveFileNameA(&data) : GetOpenFileNameA(&data);
    if (!ok) return false;
    FileName = file.data();
    FilterIndex = Integer(data.nFilterIndex);
    return true;
}

bool TColorDialog::Run()
{
    static COLORREF custom[16] = {};
    CHOOSECOLORA data{};
    data.lStructSize = sizeof data;
    data.hwndOwner = OwnerWindow();
    data.rgbResult = ColorToRGB(Color);
    data.lpCustColors = custom;
    data.Flags = CC_RGBINIT;
    if (!ChooseColorA(&data)) return false;
    Color = TColor(data.rgbResult);
    return true;
}

TFontDialog::TFontDialog(TComponent* owner) : TCommonDialog(owner), font_(std::make_unique<TFont>()) {}

bool TFontDialog::Run()
{
    LOGFONTA logFont{};
    GetObjectA(font_->Handle(), sizeof logFont, &logFont);
    CHOOSEFONTA data{};
    data.lStructSize = sizeof data;
    data.hwndOwner = OwnerWindow();
    data.lpLogFont = &logFont;
    data.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
    data.rgbColors = ColorToRGB(font_->Color());
    if (!ChooseFontA(&data)) return false;
    font_->SetHandle(CreateFontIndirectA(&logFont));
    font_->SetColor(TColor(data.rgbColors));
    return true;
}

bool TPrintDialog::Run()
{
    PRINTDLGA data{};
    data.lStructSize = sizeof data;
    data.hwndOwner = OwnerWindow();
    data.Flags = PD_USEDEVMODECOPIESANDCOLLATE | (MaxPage > 0 ? 0 : PD_NOPAGENUMS);
    data.nCopies = WORD(Copies);
    data.nFromPage = WORD(FromPage);
    data.nToPage = WORD(ToPage);
    data.nMinPage = WORD(MinPage);
    data.nMaxPage = WORD(MaxPage);
    if (!PrintDlgA(&data)) return false;
    if (data.hDevNames) {
        auto* names = static_cast<DEVNAMES*>(GlobalLock(data.hDevNames));
        const std::string device = reinterpret_cast<const char*>(names) + names->wDeviceOffset;
        GlobalUnlock(data.hDevNames);
        GlobalFree(data.hDevNames);
        const auto& printers = Printer()->Printers();
        for (size_t i = 0; i < printers.size(); ++i)
            if (printers[i] == device) Printer()->SetPrinterIndex(Integer(i));
    }
    if (data.hDevMode) GlobalFree(data.hDevMode);
    Copies = data.nCopies;
    FromPage = data.nFromPage;
    ToPage = data.nToPage;
    Printer()->SetCopies(Copies);
    return true;
}

bool TPrinterSetupDialog::Run()
{
    PRINTDLGA data{};
    data.lStructSize = sizeof data;
    data.hwndOwner = OwnerWindow();
    data.Flags = PD_PRINTSETUP;
    if (!PrintDlgA(&data)) return false;
    if (data.hDevNames) {
        auto* names = static_cast<DEVNAMES*>(GlobalLock(data.hDevNames));
        const std::string device = reinterpret_cast<const char*>(names) + names->wDeviceOffset;
        GlobalUnlock(data.hDevNames);
        GlobalFree(data.hDevNames);
        const auto& printers = Printer()->Printers();
        for (size_t i = 0; i < printers.size(); ++i)
            if (printers[i] == device) Printer()->SetPrinterIndex(Integer(i));
    }
    if (data.hDevMode) {
        auto* mode = static_cast<DEVMODEA*>(GlobalLock(data.hDevMode));
        if (DEVMODEA* current = Printer()->DeviceMode())
            std::memcpy(current, mode, std::min<size_t>(mode->dmSize + mode->dmDriverExtra,
                                                        current->dmSize + current->dmDriverExtra));
        GlobalUnlock(data.hDevMode);
        GlobalFree(data.hDevMode);
        Printer()->DeviceModeChanged();
    }
    return true;
}

// ---- find and replace

namespace {
const UINT findMessage = RegisterWindowMessageA(FINDMSGSTRINGA);
}

LRESULT CALLBACK FindOwnerProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == findMessage) {
        auto* data = reinterpret_cast<FINDREPLACEA*>(lParam);
        auto* dialog = reinterpret_cast<TFindDialog*>(data->lCustData);
        try {
            dialog->Notified(*data);
        } catch (...) {
            Application->HandleException(dialog);
        }
        return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

TFindDialog::TFindDialog(TComponent* owner) : TCommonDialog(owner) {}

TFindDialog::~TFindDialog()
{
    CloseDialog();
    if (owner_) DestroyWindow(owner_);
}

void TFindDialog::CloseDialog()
{
    if (!window_) return;
    Application->RemoveDialogWindow(window_);
    DestroyWindow(window_);
    window_ = nullptr;
}

bool TFindDialog::Run()
{
    if (window_) {
        SetForegroundWindow(window_);
        return true;
    }
    if (!owner_) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = FindOwnerProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "DunFindOwner";
        RegisterClassA(&wc);
        owner_ = CreateWindowExA(0, "DunFindOwner", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance,
                                 nullptr);
    }
    std::strncpy(findBuffer_, FindText.c_str(), sizeof findBuffer_ - 1);
    std::strncpy(replaceBuffer_, ReplaceText.c_str(), sizeof replaceBuffer_ - 1);
    data_ = FINDREPLACEA{};
    data_.lStructSize = sizeof data_;
    data_.hwndOwner = owner_;
    data_.lpstrFindWhat = findBuffer_;
    data_.wFindWhatLen = sizeof findBuffer_;
    data_.lpstrReplaceWith = replaceBuffer_;
    data_.wReplaceWithLen = sizeof replaceBuffer_;
    data_.lCustData = reinterpret_cast<LPARAM>(this);
    if (Options.Contains(frDown)) data_.Flags |= FR_DOWN;
    if (Options.Contains(frMatchCase)) data_.Flags |= FR_MATCHCASE;
    if (Options.Contains(frWholeWord)) data_.Flags |= FR_WHOLEWORD;
    if (Options.Contains(frHideMatchCase)) data_.Flags |= FR_HIDEMATCHCASE;
    if (Options.Contains(frHideWholeWord)) data_.Flags |= FR_HIDEWHOLEWORD;
    if (Options.Contains(frHideUpDown)) data_.Flags |= FR_HIDEUPDOWN;
    window_ = IsReplace() ? ::ReplaceTextA(&data_) : ::FindTextA(&data_);
    if (window_) Application->AddDialogWindow(window_);
    return window_ != nullptr;
}

void TFindDialog::Notified(const FINDREPLACEA& data)
{
    FindText = data.lpstrFindWhat;
    ReplaceText = data.lpstrReplaceWith ? data.lpstrReplaceWith : "";
    TFindOptions options;
    if (data.Flags & FR_DOWN) options.Include(frDown);
    if (data.Flags & FR_MATCHCASE) options.Include(frMatchCase);
    if (data.Flags & FR_WHOLEWORD) options.Include(frWholeWord);
    if (data.Flags & FR_DIALOGTERM) {
        Application->RemoveDialogWindow(window_);
        window_ = nullptr;
        if (OnClose) OnClose(this);
        return;
    }
    if (data.Flags & FR_FINDNEXT) {
        options.Include(frFindNext);
        Options = options;
        if (OnFind) OnFind(this);
    } else if (data.Flags & (FR_REPLACE | FR_REPLACEALL)) {
        options.Include(data.Flags & FR_REPLACE ? frReplace : frReplaceAll);
        Options = options;
        if (OnReplace) OnReplace(this);
    }
}
