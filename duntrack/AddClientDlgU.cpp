#include "duntrack/AddClientDlgU.h"

bool AddClientAnswer = false;

void TAddClientDlgF::Publish(TPublisher<TAddClientDlgF>& p)
{
    p.Field("Label1", &TAddClientDlgF::Label1);
    p.Field("YesBitBtn", &TAddClientDlgF::YesBitBtn);
    p.Field("NoBitBtn", &TAddClientDlgF::NoBitBtn);
    p.Method("FormShow", &TAddClientDlgF::FormShow);
    p.Method("YesBitBtnClick", &TAddClientDlgF::YesBitBtnClick);
}

void TAddClientDlgF::FormShow(TObject*)
{
    AddClientAnswer = false;
}

void TAddClientDlgF::YesBitBtnClick(TObject* Sender)
{
    AddClientAnswer = Sender == YesBitBtn;
}
