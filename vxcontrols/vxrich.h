// The page-setup dialog of the rich-text control: its margins in the control's unit, and the paper, orientation
// and printer, which go to the program's printer.
#pragma once

#include "vcl/Dialogs.h"

#include <commdlg.h>

class TvxCustomRichEdit;

class TvxPageSetupDialog : public TCommonDialog {
    DUN_CLASS(TvxPageSetupDialog, TCommonDialog)
public:
    explicit TvxPageSetupDialog(TComponent* owner) : TCommonDialog(owner) {}

    TvxCustomRichEdit* RichEdit() const { return richEdit_; }
    void SetRichEdit(TvxCustomRichEdit* richEdit);

    bool Run() override;
    // The record the dialog opens with: the control's margins and the printer's device names and a copy of its
    // device mode (blocks the record owns until Accept or Release).
    PAGESETUPDLGA PrepareRecord();
    // Takes what the user chose into the control and the printer, and frees the record's blocks.
    void Accept(PAGESETUPDLGA& record);
    // Frees the record's blocks.
    static void Release(PAGESETUPDLGA& record);

    void Notification(TComponent* component, TOperation operation) override;

protected:
    // The platform's dialog: true when the user accepted.
    virtual bool ShowDialog(PAGESETUPDLGA& record);

private:
    TvxCustomRichEdit* richEdit_ = nullptr;
};
