// The paragraph dialog of the rich-text control: left, right and first-line indents, alignment and spacing, shown
// and typed in the control's measurement unit.
#pragma once

#include <string>

#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

class TvxCustomRichEdit;
class TvxDBComboBox;

// Form file TVXRICHPARAGRAPHDIALOG.
class TvxRichParagraphDialog : public TForm {
    DUN_CLASS(TvxRichParagraphDialog, TForm)
public:
    explicit TvxRichParagraphDialog(TComponent* owner) : TForm(owner) {}

    TButton* OKBtn = nullptr;
    TButton* CancelBtn = nullptr;
    TPanel* Panel1 = nullptr;
    TLabel* Label4 = nullptr;
    TvxDBComboBox* AlignmentCombo = nullptr;
    TLabel* GroupBox1 = nullptr;
    TBevel* Bevel1 = nullptr;
    TLabel* Label1 = nullptr;
    TEdit* LeftEdit = nullptr;
    TLabel* Label2 = nullptr;
    TEdit* RightEdit = nullptr;
    TLabel* Label3 = nullptr;
    TEdit* FirstLineEdit = nullptr;
    TLabel* SpacingGroup = nullptr;
    TBevel* Bevel2 = nullptr;
    TLabel* BeforeParagraphLabel = nullptr;
    TEdit* BeforeParagraphEdit = nullptr;
    TLabel* AfterParagraphLabel = nullptr;
    TEdit* AfterParagraphEdit = nullptr;
    TLabel* WithinParagraphLabel = nullptr;
    TComboBox* LineSpacingComboBox = nullptr;
    TLabel* WithinParagraphAt = nullptr;
    TEdit* WithinParagraphEdit = nullptr;

    // The control whose paragraph the dialog shows and formats.
    TvxCustomRichEdit* RichEdit = nullptr;

    // Texts and hints, then the selection's paragraph.
    void Prepare(TvxCustomRichEdit* richEdit);
    // Sends the typed values for the selection.
    void ApplyToRichEdit();

    void OKClick(TObject* sender);
    void LineSpacingComboBoxClick(TObject* sender);
    void LineSpacingComboBoxChange(TObject* sender);
    void WithinParagraphEditKeyPress(TObject* sender, char& key);

    static void Publish(TPublisher<TvxRichParagraphDialog>& p);

private:
    void SetTexts();
    void ReadParagraph();
    // The first box whose text is no measure, in the order they are checked; nullptr when all are.
    TEdit* FirstInvalidBox();
    Integer LineSpacing();
};
