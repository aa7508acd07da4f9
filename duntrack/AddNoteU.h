// TAddNoteF: the dialog that asks for a new delinquent-account note, with a button (Alt-D) that puts today's date
// in front of the text.
#pragma once

#include <string>

#include "vcl/Buttons.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

class TAddNoteF : public TForm {
    DUN_CLASS(TAddNoteF, TForm)
public:
    explicit TAddNoteF(TComponent* owner) : TForm(owner) {}
    static void Publish(TPublisher<TAddNoteF>& p);

    TEdit* Edit1 = nullptr;
    TBitBtn* BitBtnAdd = nullptr;
    TBitBtn* BitBtnCancel = nullptr;
    TBitBtn* BitBtn1 = nullptr;

    // The account the note is for, set before ShowModal.
    std::string ClientCode;
    std::string CaseSuffix;
    // Whether the dialog ended with Add.
    bool Added = false;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void Edit1Change(TObject* Sender);
    void BitBtnAddClick(TObject* Sender);
    void BitBtnCancelClick(TObject* Sender);
    void BitBtn1Click(TObject* Sender);
};

// "CLIENT" or "CLIENT-SUFFIX" after the caption's start.
std::string NoteCaption(const std::string& start, const std::string& clientCode, const std::string& caseSuffix);

// The text grown by one point.
void GrowFont(TControl* control, Integer points);

extern TAddNoteF* AddNoteF;
