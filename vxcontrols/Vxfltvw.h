// TvxFilterDialogView: the small modal form that lists a filter form's criteria in a grid (form file
// TVXFILTERDIALOGVIEW). Rows beyond the grid's height bring a vertical scroll bar.
#pragma once

#include "vcl/Forms.h"
#include "vcl/Grids.h"
#include "vxdata/Vxfltdlg.h"

class TButton;

class TvxFilterDialogView : public TForm {
    DUN_CLASS(TvxFilterDialogView, TForm)
public:
    explicit TvxFilterDialogView(TComponent* owner) : TForm(owner) {}
    void AfterConstruction() override;
    static void Publish(TPublisher<TvxFilterDialogView>& p);

    void FormCreate(TObject* sender);
    void FormShow(TObject* sender);
    void StringGrid1DrawCell(TObject* sender, Integer col, Integer row, TRect rect, TGridDrawState state);
    void StringGrid1Enter(TObject* sender);

    TStringGrid* StringGrid1 = nullptr;
    TButton* OKButton = nullptr;
};

// The summary row of a criterion: label, match type, value or bounds.
std::vector<std::string> vxFilterSummaryRow(TvxFilterDialog* dialog, const TvxFieldInfo& criterion);
// Creates, fills, shows and frees the summary of the criteria.
void vxShowFilterSummary(TvxFilterDialog* dialog, const TvxFieldInfoList& criteria);
