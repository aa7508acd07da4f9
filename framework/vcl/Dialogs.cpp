#include "vcl/Dialogs.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/Printers.h"
#include "vcl/StdCtrls.h"

namespace {

TDialogService realService;
TDialogService* currentService = &realService;

struct TButtonKind {
    TMsgDlgBtn Button;
    const char* Name;
    const char* Caption;
    TModalResult Result;
};

// In the order the dialog shows them.
const TButtonKind buttonKinds[] = {
    {mbYes, "Yes", "&Yes", mrYes},          {mbNo, "No", "&No", mrNo},
    {mbOK, "OK", "OK", mrOk},               {mbCancel, "Cancel", "Cancel", mrCancel},
    {mbAbort, "Abort", "&Abort", mrAbort},  {mbRetry, "Retry", "&Retry", mrRetry},
    {mbIgnore, "Ignore", "&Ignore", mrIgnore}, {mbAll, "All", "&All", mrAll},
    {mbNoToAll, "NoToAll", "N&o to All", mrNoToAll}, {mbYesToAll, "YesToAll", "Yes to &All", mrYesToAll},
    {mbHelp, "Help", "&Help", mrNone},
};

constexpr Integer dialogMargin = 8;
constexpr Integer iconSize = 32;
constexpr Integer buttonHeight = 25;
constexpr Integer minButtonWidth = 75;
constexpr Integer buttonSpacing = 6;

// Enter presses OK, else Yes, else Retry; Escape presses Cancel, else No, else OK.
TMsgDlgBtn DefaultButtonOf(TMsgDlgButtons buttons)
{
    if (buttons.Contains(mbOK)) return mbOK;
    return buttons.Contains(mbYes) ? mbYes : mbRetry;
}

TMsgDlgBtn CancelButtonOf(TMsgDlgButtons buttons)
{
    if (buttons.Contains(mbCancel)) return mbCancel;
    return buttons.Contains(mbNo) ? mbNo : mbOK;
}

const char* IconNameOf(TMsgDlgType type)
{
    switch (type) {
    case mtWarning:
        return IDI_WARNING;
    case mtError:
        return IDI_ERROR;
    case mtInformation:
        return IDI_INFORMATION;
    case mtConfirmation:
        return IDI_QUESTION;
    default:
        return nullptr;
    }
}

// The size the text takes in the font, wrapped at half the screen's width.
SIZE MeasureText(TFont* font, const std::string& text, UINT flags)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, font->Handle());
    RECT rect{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
    DrawTextA(dc, text.empty() ? " " : text.c_str(), -1, &rect, flags | DT_CALCRECT);
    SelectObject(dc, oldFont);
    ReleaseDC(nullptr, dc);
    return SIZE{rect.right, rect.bottom};
}

void AddIcon(TForm* form, TMsgDlgType type)
{
    const char* iconName = IconNameOf(type);
    if (!iconName) return;
    auto* image = new TImage(form);
    image->SetName("Image");
    image->SetParent(form);
    image->Picture()->Icon()->SetHandle(CopyIcon(LoadIconA(nullptr, iconName)));
    image->SetBounds(dialogMargin, dialogMargin, iconSize, iconSize);
}

TLabel* AddMessage(TForm* form, const std::string& text, Integer left)
{
    const SIZE size = MeasureText(form->Font(), text, DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    auto* label = new TLabel(form);
    label->SetName("Message");
    label->SetParent(form);
    label->SetShowAccelChar(false);
    label->SetWordWrap(true);
    label->SetCaption(text);
    label->SetBounds(left, dialogMargin, size.cx, size.cy);
    return label;
}

std::vector<TButton*> AddButtons(TForm* form, TMsgDlgButtons buttons)
{
    std::vector<TButton*> added;
    for (const TButtonKind& kind : buttonKinds) {
        if (!buttons.Contains(kind.Button)) continue;
        auto* button = new TButton(form);
        button->SetName(kind.Name);
        button->SetParent(form);
        button->SetCaption(kind.Caption);
        button->SetModalResult(kind.Result);
        button->SetDefault(kind.Button == DefaultButtonOf(buttons));
        button->SetCancel(kind.Button == CancelButtonOf(buttons));
        const Integer width = MeasureText(form->Font(), kind.Caption, DT_SINGLELINE).cx + 2 * dialogMargin;
        button->SetBounds(0, 0, std::max(minButtonWidth, width), buttonHeight);
        if (kind.Button == mbHelp) {
            button->OnClick = [](TObject*) {
                if (!Application->HelpFile().empty())
                    WinHelpA(Application->Handle(), Application->HelpFile().c_str(), HELP_FINDER, 0);
            };
        }
        added.push_back(button);
    }
    return added;
}

// Sizes the form round the icon and text, with the buttons centred in a row below them.
void LayOut(TForm* form, TLabel* message, const std::vector<TButton*>& buttons)
{
    Integer rowWidth = 0;
    for (TButton* button : buttons) rowWidth += button->Width();
    if (!buttons.empty()) rowWidth += buttonSpacing * Integer(buttons.size() - 1);
    const Integer textBottom = std::max(message->Top() + message->Height(), dialogMargin + iconSize);
    const Integer clientWidth = std::max(message->Left() + message->Width(), rowWidth) + dialogMargin;
    const Integer rowTop = textBottom + 2 * dialogMargin;
    Integer x = (clientWidth + dialogMargin - rowWidth) / 2;
    for (TButton* button : buttons) {
        button->SetBounds(x, rowTop, button->Width(), buttonHeight);
        x += button->Width() + buttonSpacing;
    }
    form->SetClientWidth(clientWidth + dialogMargin);
    form->SetClientHeight(rowTop + buttonHeight + dialogMargin);
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
    std::unique_ptr<TForm> form(CreateMessageDialog(text, type, buttons));
    if (x >= 0 && y >= 0) {
        form->SetPosition(poDesigned);
        form->SetLeft(x);
        form->SetTop(y);
    }
    return form->ShowModal();
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

TForm* CreateMessageDialog(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons)
{
    std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
    form->SetBorderStyle(bsDialog);
    form->SetCaption(MessageDlgCaption(type));
    form->SetPosition(poScreenCenter);
    AddIcon(form.get(), type);
    TLabel* message = AddMessage(form.get(), text, IconNameOf(type) ? 2 * dialogMargin + iconSize : dialogMargin);
    const std::vector<TButton*> added = AddButtons(form.get(), buttons);
    LayOut(form.get(), message, added);
    const auto defaultButton = std::find_if(added.begin(), added.end(), [](TButton* b) { return b->Default(); });
    if (defaultButton != added.end()) {
        TForm* shown = form.get();
        form->OnShow = [shown, button = *defaultButton](TObject*) { shown->SetActiveControl(button); };
    }
    return form.release();
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
    if (OnClose && !Modeless()) OnClose(this);
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

namespace {

DWORD FontDialogFlags(TFontDialogDevice device, TFontDialogOptions options)
{
    static const DWORD devices[] = {CF_SCREENFONTS, CF_PRINTERFONTS, CF_BOTH};
    static const std::pair<TFontDialogOption, DWORD> flags[] = {
        {fdAnsiOnly, CF_ANSIONLY}, {fdTrueTypeOnly, CF_TTONLY}, {fdEffects, CF_EFFECTS},
        {fdFixedPitchOnly, CF_FIXEDPITCHONLY}, {fdForceFontExist, CF_FORCEFONTEXIST}, {fdNoFaceSel, CF_NOFACESEL},
        {fdNoOEMFonts, CF_NOOEMFONTS}, {fdNoSimulations, CF_NOSIMULATIONS}, {fdNoSizeSel, CF_NOSIZESEL},
        {fdNoStyleSel, CF_NOSTYLESEL}, {fdNoVectorFonts, CF_NOVECTORFONTS}, {fdShowHelp, CF_SHOWHELP},
        {fdWysiwyg, CF_WYSIWYG}, {fdLimitSize, CF_LIMITSIZE}, {fdScalableOnly, CF_SCALABLEONLY},
        {fdApplyButton, CF_APPLY}};
    DWORD result = devices[device];
    for (const auto& [option, flag] : flags)
        if (options.Contains(option)) result |= flag;
    return result;
}

}  // namespace

TFontDialog::TFontDialog(TComponent* owner) : TCommonDialog(owner), font_(std::make_unique<TFont>()) {}

bool TFontDialog::Run()
{
    LOGFONTA logFont{};
    GetObjectA(font_->Handle(), sizeof logFont, &logFont);
    CHOOSEFONTA data{};
    data.lStructSize = sizeof data;
    data.hwndOwner = OwnerWindow();
    data.lpLogFont = &logFont;
    data.Flags = CF_INITTOLOGFONTSTRUCT | FontDialogFlags(Device, Options);
    HDC printerDC = nullptr;
    if (Device != fdScreen && !Printer()->Printers().empty() && Printer()->PrinterIndex() >= 0)
        printerDC = data.hDC = Printer()->Handle();
    if (!printerDC) data.Flags &= ~(CF_PRINTERFONTS | CF_WYSIWYG);
    if (Options.Contains(fdLimitSize)) {
        data.nSizeMin = MinFontSize;
        data.nSizeMax = MaxFontSize;
    }
    data.rgbColors = ColorToRGB(font_->Color());
    if (!ChooseFontA(&data)) return false;
    font_->SetHandle(CreateFontIndirectA(&logFont));
    font_->SetColor(TColor(data.rgbColors));
    return true;
}

namespace {

// A movable global copy of the printer's device mode, for a printer dialog to start from (nullptr: none, and the
// box starts from the system's default printer); copies above 0 replace the printer's.
HGLOBAL CopyOfPrinterDeviceMode(Integer copies = 0)
{
    const DEVMODEA* mode = nullptr;
    try {
        mode = Printer()->DeviceMode();
    } catch (const EPrinter&) {
        return nullptr;
    }
    if (!mode) return nullptr;
    const size_t size = mode->dmSize + mode->dmDriverExtra;
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!copy) return nullptr;
    auto* copied = static_cast<DEVMODEA*>(GlobalLock(copy));
    std::memcpy(copied, mode, size);
    if (copies > 0) {
        copied->dmCopies = SmallInt(copies);
        copied->dmFields |= DM_COPIES;
    }
    GlobalUnlock(copy);
    return copy;
}

// The printer and device mode a printer dialog returns become the program's printer's; frees both.
void TakeDialogPrinter(PRINTDLGA& data)
{
    if (data.hDevNames) {
        auto* names = static_cast<DEVNAMES*>(GlobalLock(data.hDevNames));
        const std::string device = reinterpret_cast<const char*>(names) + names->wDeviceOffset;
        GlobalUnlock(data.hDevNames);
        GlobalFree(data.hDevNames);
        data.hDevNames = nullptr;
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
        data.hDevMode = nullptr;
        Printer()->DeviceModeChanged();
    }
}

DWORD PrintRangeFlag(TPrintRange range)
{
    static const DWORD flags[] = {PD_ALLPAGES, PD_SELECTION, PD_PAGENUMS};
    return flags[range];
}

TPrintRange PrintRangeOf(DWORD flags)
{
    if (flags & PD_SELECTION) return prSelection;
    return flags & PD_PAGENUMS ? prPageNums : prAllPages;
}

}  // namespace

bool TPrintDialog::Run()
{
    PRINTDLGA data{};
    data.lStructSize = sizeof data;
    data.hwndOwner = OwnerWindow();
    data.hDevMode = CopyOfPrinterDeviceMode(Copies);
    data.Flags = PD_USEDEVMODECOPIESANDCOLLATE | PrintRangeFlag(PrintRange) | (MaxPage > 0 ? 0 : PD_NOPAGENUMS) |
                 (PrintRange == prSelection ? 0 : PD_NOSELECTION);
    data.nCopies = WORD(Copies);
    data.nFromPage = WORD(FromPage);
    data.nToPage = WORD(ToPage);
    data.nMinPage = WORD(MinPage);
    data.nMaxPage = WORD(MaxPage);
    if (!PrintDlgA(&data)) {
        if (data.hDevMode) GlobalFree(data.hDevMode);
        if (data.hDevNames) GlobalFree(data.hDevNames);
        return false;
    }
    TakeDialogPrinter(data);
    // The copies come in the device mode, or in nCopies from a box that cannot put them there.
    if (data.nCopies > 1) Printer()->SetCopies(data.nCopies);
    Copies = Printer()->Copies();
    FromPage = data.nFromPage;
    ToPage = data.nToPage;
    PrintRange = PrintRangeOf(data.Flags);
    return true;
}

bool TPrinterSetupDialog::Run()
{
    PRINTDLGA data{};
    data.lStructSize = sizeof data;
    data.hwndOwner = OwnerWindow();
    data.hDevMode = CopyOfPrinterDeviceMode();
    data.Flags = PD_PRINTSETUP;
    if (!PrintDlgA(&data)) {
        if (data.hDevMode) GlobalFree(data.hDevMode);
        return false;
    }
    TakeDialogPrinter(data);
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
    OnClose = nullptr;
    CloseDialog();
    if (owner_) DestroyWindow(owner_);
}

void TFindDialog::CloseDialog()
{
    if (!window_) return;
    Application->RemoveDialogWindow(window_);
    DestroyWindow(window_);
    window_ = nullptr;
    if (OnClose) OnClose(this);
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
    // What the box shows and hides stays as set; what the user chose is read back.
    TFindOptions options;
    for (TFindOption kept : {frHideMatchCase, frHideWholeWord, frHideUpDown, frDisableMatchCase, frDisableUpDown,
                             frDisableWholeWord, frShowHelp})
        if (Options.Contains(kept)) options.Include(kept);
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
