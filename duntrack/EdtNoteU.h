// TEdtNoteF: the dialog that changes or empties one delinquent-account note.
#pragma once

#include <string>

#include "vcl/Buttons.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

class TEdtNoteF : public TForm {
    DUN_CLASS(TEdtNoteF, TForm)
public:
    explicit TEdtNoteF(TComponent* owner) : TForm(owner) {}
    static void Publish(TPublisher<TEdtNoteF>& p);

    TEdit* Edit1 = nullptr;
    TBitBtn* BitBtnDelete = nullptr;
    TBitBtn* BitBtnSave = nullptr;
    TBitBtn* BitBtnCancel = nullptr;

    // The account the note belongs to, set before ShowModal.
    std::string ClientCode;
    std::string CaseSuffix;
    // Whether the dialog ended with Save.
    bool Saved = false;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void Edit1Change(TObject* Sender);
    void BitBtnSaveClick(TObject* Sender);
    void BitBtnDeleteClick(TObject* Sender);
    void BitBtnCancelClick(TObject* Sender);

private:
    bool ignoreChange_ = false;
    std::string shownText_;
};

extern TEdtNoteF* EdtNoteF;
