// Message boxes, input boxes and the common dialogs. Every modal box and modal form goes through the dialog service;
// a test replaces the service to script the answers (see TestHelpers).
#pragma once

#include <string>

#include "vcl/Controls.h"

class TCustomForm;
class TCommonDialog;
class TForm;

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = Set<TMsgDlgBtn>;
inline const TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline const TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline const TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};

class TDialogService {
public:
    virtual ~TDialogService() = default;
    // MessageBoxA flags and result (IDOK, IDYES, ...).
    virtual Integer MessageBox(const std::string& text, const std::string& caption, UINT flags);
    // The message dialog form shown through ShowModal; x, y < 0: centred on the screen.
    virtual TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                                    Integer x, Integer y);
    virtual bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);
    virtual TModalResult ShowModal(TCustomForm* form);
    virtual bool Execute(TCommonDialog* dialog);
};

TDialogService* DialogService();
// Installs a service (nullptr: the real one) and returns the one it replaces; the caller keeps ownership of both.
TDialogService* SetDialogService(TDialogService* service);

TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, Integer helpContext);
TModalResult MessageDlgPos(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, Integer helpContext,
                           Integer x, Integer y);
void ShowMessage(const std::string& text);
std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& defaultValue);
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);
// The caption MessageDlg gives a box of this type ("Warning", "Error", ...; the application title for mtCustom).
std::string MessageDlgCaption(TMsgDlgType type);
// The message dialog, not shown: the type's icon, the text and a button per member of the set in the order Yes,
// No, OK, Cancel, Abort, Retry, Ignore, All, No to All, Yes to All, Help, each named after its kind ("Yes",
// "NoToAll") and answering its modal result. The caller frees it.
TForm* CreateMessageDialog(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons);

class TCommonDialog : public TComponent {
    DUN_CLASS(TCommonDialog, TComponent)
public:
    explicit TCommonDialog(TComponent* owner) : TComponent(owner) {}
    // Through the dialog service.
    bool Execute();
    // The real dialog.
    virtual bool Run() = 0;
    TNotifyEvent OnShow;
    TNotifyEvent OnClose;

protected:
    HWND OwnerWindow() const;
    // A modeless dialog is still up when Execute returns: it tells of its closing itself.
    virtual bool Modeless() const { return false; }
};

enum TOpenOption { ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate,
                   ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt,
                   ofShareAware, ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames,
                   ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing };
using TOpenOptions = Set<TOpenOption>;

class TOpenDialog : public TCommonDialog {
    DUN_CLASS(TOpenDialog, TCommonDialog)
public:
    explicit TOpenDialog(TComponent* owner) : TCommonDialog(owner) {}
    bool Run() override;

    std::string FileName;
    std::string Filter;  // "Text files (*.txt)|*.txt|All files (*.*)|*.*"
    Integer FilterIndex = 1;
    std::string InitialDir;
    std::string DefaultExt;
    std::string Title;
    TOpenOptions Options{ofHideReadOnly};

protected:
    bool RunFileDialog(bool save);
};

class TSaveDialog : public TOpenDialog {
    DUN_CLASS(TSaveDialog, TOpenDialog)
public:
    explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}
    bool Run() override { return RunFileDialog(true); }
};

class TColorDialog : public TCommonDialog {
    DUN_CLASS(TColorDialog, TCommonDialog)
public:
    explicit TColorDialog(TComponent* owner) : TCommonDialog(owner) {}
    bool Run() override;
    TColor Color = clBlack;
};

enum TFontDialogDevice { fdScreen, fdPrinter, fdBoth };
enum TFontDialogOption { fdAnsiOnly, fdTrueTypeOnly, fdEffects, fdFixedPitchOnly, fdForceFontExist, fdNoFaceSel,
                         fdNoOEMFonts, fdNoSimulations, fdNoSizeSel, fdNoStyleSel, fdNoVectorFonts, fdShowHelp,
                         fdWysiwyg, fdLimitSize, fdScalableOnly, fdApplyButton };
using TFontDialogOptions = Set<TFontDialogOption>;

class TFontDialog : public TCommonDialog {
    DUN_CLASS(TFontDialog, TCommonDialog)
public:
    explicit TFontDialog(TComponent* owner);
    bool Run() override;
    TFont* Font() const { return font_.get(); }
    // The fonts listed: the screen's, the printer's (the program's printer) or both.
    TFontDialogDevice Device = fdScreen;
    TFontDialogOptions Options{fdEffects};
    // Point sizes offered when fdLimitSize is set.
    Integer MinFontSize = 0, MaxFontSize = 0;

private:
    std::unique_ptr<TFont> font_;
};

enum TPrintRange { prAllPages, prSelection, prPageNums };

// Printer choice, copies and page range; the chosen printer with the settings made in the box (orientation,
// copies) becomes the program's printer.
class TPrintDialog : public TCommonDialog {
    DUN_CLASS(TPrintDialog, TCommonDialog)
public:
    explicit TPrintDialog(TComponent* owner) : TCommonDialog(owner) {}
    bool Run() override;
    Integer Copies = 1;
    Integer FromPage = 0, ToPage = 0, MinPage = 0, MaxPage = 0;
    TPrintRange PrintRange = prAllPages;
};

class TPrinterSetupDialog : public TCommonDialog {
    DUN_CLASS(TPrinterSetupDialog, TCommonDialog)
public:
    explicit TPrinterSetupDialog(TComponent* owner) : TCommonDialog(owner) {}
    bool Run() override;
};

enum TFindOption { frDown, frFindNext, frHideMatchCase, frHideWholeWord, frHideUpDown, frMatchCase,
                   frDisableMatchCase, frDisableUpDown, frDisableWholeWord, frReplace, frReplaceAll, frWholeWord,
                   frShowHelp };
using TFindOptions = Set<TFindOption>;

// Modeless: Execute shows the box and returns; the events fire while it is up.
class TFindDialog : public TCommonDialog {
    DUN_CLASS(TFindDialog, TCommonDialog)
public:
    explicit TFindDialog(TComponent* owner);
    ~TFindDialog() override;
    bool Run() override;
    void CloseDialog();
    std::string FindText;
    TFindOptions Options{frDown};
    TNotifyEvent OnFind;
    TNotifyEvent OnReplace;

protected:
    bool Modeless() const override { return true; }
    virtual bool IsReplace() const { return false; }
    void Notified(const FINDREPLACEA& data);

private:
    friend LRESULT CALLBACK FindOwnerProc(HWND, UINT, WPARAM, LPARAM);
    HWND window_ = nullptr;
    HWND owner_ = nullptr;
    FINDREPLACEA data_{};
    char findBuffer_[256] = {};
    char replaceBuffer_[256] = {};

public:
    std::string ReplaceText;
};

class TReplaceDialog : public TFindDialog {
    DUN_CLASS(TReplaceDialog, TFindDialog)
public:
    explicit TReplaceDialog(TComponent* owner) : TFindDialog(owner) {}

protected:
    bool IsReplace() const override { return true; }
};
