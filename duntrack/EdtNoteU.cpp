#include "duntrack/EdtNoteU.h"

#include "classes/ClassRegistry.h"
#include "duntrack/AddNoteU.h"

TEdtNoteF* EdtNoteF = nullptr;

namespace {

const bool registered = (RegisterClasses<TEdtNoteF>(), true);

constexpr Integer SmallFontsPixelsPerInch = 96;

}  // namespace

void TEdtNoteF::Publish(TPublisher<TEdtNoteF>& p)
{
    p.Field("Edit1", &TEdtNoteF::Edit1);
    p.Field("BitBtnDelete", &TEdtNoteF::BitBtnDelete);
    p.Field("BitBtnSave", &TEdtNoteF::BitBtnSave);
    p.Field("BitBtnCancel", &TEdtNoteF::BitBtnCancel);
    p.Method("FormCreate", &TEdtNoteF::FormCreate);
    p.Method("FormShow", &TEdtNoteF::FormShow);
    p.Method("Edit1Change", &TEdtNoteF::Edit1Change);
    p.Method("BitBtnSaveClick", &TEdtNoteF::BitBtnSaveClick);
    p.Method("BitBtnDeleteClick", &TEdtNoteF::BitBtnDeleteClick);
    p.Method("BitBtnCancelClick", &TEdtNoteF::BitBtnCancelClick);
}

void TEdtNoteF::FormCreate(TObject*)
{
    // The text the account form puts in before the first showing is no change of the user's.
    ignoreChange_ = true;
    Edit1->HandleNeeded();
    if (Screen->PixelsPerInch() != SmallFontsPixelsPerInch) return;
    GrowFont(Edit1, 1);
    Edit1->SetWidth(Edit1->Width() + Edit1->Width() / 4);
    BitBtnCancel->SetLeft(ClientWidth() - BitBtnCancel->Width() - 8);
    BitBtnSave->SetLeft(BitBtnCancel->Left() - BitBtnSave->Width() - 8);
    const Integer height = BitBtnDelete->Height();
    BitBtnDelete->SetBounds(BitBtnDelete->Left() + BitBtnDelete->Width() / 2, BitBtnDelete->Top() + height - 12,
                            BitBtnDelete->Width(), height + height / 3);
    TFontStyles style = BitBtnDelete->Font()->Style();
    style.Include(fsBold);
    BitBtnDelete->Font()->SetStyle(style);
    GrowFont(BitBtnDelete, 2);
}

void TEdtNoteF::FormShow(TObject*)
{
    Saved = false;
    shownText_ = Edit1->Text();
    SetCaption(NoteCaption("Editing a Delinquent Account Note for ", ClientCode, CaseSuffix));
}

void TEdtNoteF::Edit1Change(TObject*)
{
    if (ignoreChange_) {
        ignoreChange_ = false;
        return;
    }
    if (Edit1->Text() != shownText_) BitBtnSave->SetEnabled(true);
}

void TEdtNoteF::BitBtnDeleteClick(TObject*) { Edit1->SetText(""); }

void TEdtNoteF::BitBtnSaveClick(TObject*)
{
    Saved = true;
    Close();
}

void TEdtNoteF::BitBtnCancelClick(TObject*) { Close(); }
