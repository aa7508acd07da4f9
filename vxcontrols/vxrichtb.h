// The tab dialog of the rich-text control: the paragraph's tab stops listed in the control's measurement unit, set
// and cleared one by one or all together, and applied on OK.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

class TvxCustomRichEdit;

// The tab stops to apply for the listed texts: a text the paragraph's own stop was listed as keeps that stop with
// its alignment bits, any other is converted to twips; sorted by position, at most as many as a paragraph holds.
std::vector<Integer> vxTabStopsFromTexts(const std::vector<std::string>& texts,
                                         const std::map<std::string, Integer>& listedStops,
                                         const std::function<Integer(const std::string&)>& toTwips);

// Form file TVXRICHTABDIALOG.
class TvxRichTabDialog : public TForm {
    DUN_CLASS(TvxRichTabDialog, TForm)
public:
    explicit TvxRichTabDialog(TComponent* owner) : TForm(owner) {}

    TGroupBox* GroupBox1 = nullptr;
    TEdit* Edit1 = nullptr;
    TListBox* ListBox1 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
    TButton* OKButton = nullptr;
    TButton* Button3 = nullptr;
    TButton* Button4 = nullptr;

    // The control whose paragraph the dialog shows and formats.
    TvxCustomRichEdit* RichEdit = nullptr;

    // Texts and hints, then the selection's tab stops.
    void Prepare(TvxCustomRichEdit* richEdit);
    // Sends the listed stops for the selection.
    void ApplyToRichEdit();

    void Edit1Enter(TObject* sender);
    void Edit1Exit(TObject* sender);
    void Edit1KeyPress(TObject* sender, char& key);
    void SetButtonClick(TObject* sender);
    void Button2Click(TObject* sender);
    void Button4Click(TObject* sender);
    void OKButtonClick(TObject* sender);

    static void Publish(TPublisher<TvxRichTabDialog>& p);

private:
    void SetTexts();
    void ReadTabs();

    // Each listed text of a stop the paragraph had, with that stop as it was (alignment bits and all).
    std::map<std::string, Integer> listedStops_;
};
