#include "duntrack/AddNoteU.h"

#include "classes/ClassRegistry.h"
#include "hostdata/DateFmtu.h"
#include "rtl/Clock.h"
#include "rtl/StringRoutines.h"
#include "vcl/Dialogs.h"

TAddNoteF* AddNoteF = nullptr;

namespace {

const bool registered = (RegisterClasses<TAddNoteF>(), true);

// A text shorter than this leaves room for the date and a blank within the 78 characters of a note.
constexpr size_t RoomForDate = 68;
constexpr Integer LargeFontsPixelsPerInch = 120;

}  // namespace

std::string NoteCaption(const std::string& start, const std::string& clientCode, const std::string& caseSuffix)
{
    const std::string suffix = Trim(caseSuffix);
    return start + Trim(clientCode) + (suffix.empty() ? "" : "-" + suffix);
}

void GrowFont(TControl* control, Integer points) { control->Font()->SetSize(control->Font()->Size() + points); }

void TAddNoteF::Publish(TPublisher<TAddNoteF>& p)
{
    p.Field("Edit1", &TAddNoteF::Edit1);
    p.Field("BitBtnAdd", &TAddNoteF::BitBtnAdd);
    p.Field("BitBtnCancel", &TAddNoteF::BitBtnCancel);
    p.Field("BitBtn1", &TAddNoteF::BitBtn1);
    p.Method("FormCreate", &TAddNoteF::FormCreate);
    p.Method("FormShow", &TAddNoteF::FormShow);
    p.Method("Edit1Change", &TAddNoteF::Edit1Change);
    p.Method("BitBtnAddClick", &TAddNoteF::BitBtnAddClick);
    p.Method("BitBtnCancelClick", &TAddNoteF::BitBtnCancelClick);
    p.Method("BitBtn1Click", &TAddNoteF::BitBtn1Click);
}

void TAddNoteF::FormCreate(TObject*)
{
    if (Screen->PixelsPerInch() != LargeFontsPixelsPerInch) {
        GrowFont(Edit1, 1);
        BitBtnCancel->SetLeft(ClientWidth() - BitBtnCancel->Width() - 20);
        BitBtnAdd->SetLeft(BitBtnCancel->Left() - BitBtnAdd->Width() - 8);
        const Integer height = BitBtn1->Height();
        BitBtn1->SetTop(BitBtn1->Top() + height - 6);
        BitBtn1->SetHeight(height + height / 2);
        GrowFont(BitBtn1, 1);
    }
    Edit1->SetWidth(BitBtnAdd->Left() - 16);
    BitBtn1->SetLeft(Edit1->Left() + (Edit1->Width() - BitBtn1->Width()) / 2);
}

void TAddNoteF::FormShow(TObject*)
{
    Added = false;
    SetCaption(NoteCaption("Adding a Delinquent Account Note for ", ClientCode, CaseSuffix));
}

void TAddNoteF::Edit1Change(TObject*) { BitBtnAdd->SetEnabled(!Edit1->Text().empty()); }

void TAddNoteF::BitBtnAddClick(TObject*)
{
    Added = true;
    Close();
}

void TAddNoteF::BitBtnCancelClick(TObject*) { Close(); }

void TAddNoteF::BitBtn1Click(TObject*)
{
    try {
        const std::string today = HostDateToDisplayDate(DateToHostDate(true, Date()), true);
        if (Edit1->Text().size() < RoomForDate) {
            Edit1->SetText(today + " " + Edit1->Text());
            Edit1->SetFocus();
            // No selection: the caret stands at the end of the text.
            Edit1->SetSelStart(Integer(Edit1->Text().size()));
        } else {
            MessageDlg("Insufficient space to insert date. Comment is limited to 78 characters.", mtError,
                       TMsgDlgButtons{mbOK}, 0);
        }
    } catch (const Exception&) {
    }
}
