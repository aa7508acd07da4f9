// TAddClientDlgF: the dialog that offers to add a client that does not exist. The program creates it at start-up
// and no path of the program shows it.
#pragma once

#include "vcl/Buttons.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

// The answer of the dialog: true only after its Yes button.
extern bool AddClientAnswer;

class TAddClientDlgF : public TForm {
    DUN_CLASS(TAddClientDlgF, TForm)
public:
    explicit TAddClientDlgF(TComponent* owner) : TForm(owner) {}
    static void Publish(TPublisher<TAddClientDlgF>& p);

    TLabel* Label1 = nullptr;
    TBitBtn* YesBitBtn = nullptr;
    TBitBtn* NoBitBtn = nullptr;

    void FormShow(TObject* Sender);
    void YesBitBtnClick(TObject* Sender);
};
