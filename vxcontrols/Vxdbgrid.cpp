#include "vxcontrols/Vxdbgrid.h"

#include "classes/ClassRegistry.h"
#include "vcl/Dialogs.h"
#include "vcl/ImgList.h"
#include "vxdata/Vxcommon.h"
#include "vxdata/vxDataSource.h"

namespace {

const bool registered = (RegisterClasses<TvxDBGrid>(), true);

constexpr const char* InvalidFixedCols = "Invalid value for FixedCols";

}  // namespace

TvxDBGrid::TvxDBGrid(TComponent* owner) : TvxCustomDBGrid(owner) {}

void TvxDBGrid::Publish(TPublisher<TvxDBGrid>& p)
{
    p.Property("DataSource", &TvxDBGrid::DataSource, &TvxDBGrid::SetDataSource);
    p.Property("FixedCols", &TvxDBGrid::FixedCols, &TvxDBGrid::SetFixedCols).Stored(true);
    p.Property("MemoAttributes", &TvxDBGrid::MemoAttributes, &TvxDBGrid::SetMemoAttributes)
        .Default(TvxMemoAttributes{mSizeable, mWordWrap});
    p.Property("TitleColor", &TvxDBGrid::TitleColor, &TvxDBGrid::SetTitleColor)
        .Idents(ColorIdentToInt, ColorIntToIdent)
        .Stored(true);
    p.Property("Selected", &TvxDBGrid::Selected, &TvxDBGrid::SetSelected);
    p.Property("ControlType", &TvxDBGrid::ControlType, &TvxDBGrid::SetControlType);
    p.Property("ControlInfoInDataset", &TvxDBGrid::ControlInfoInDataset, &TvxDBGrid::SetControlInfoInDataset)
        .Default(true);
    p.Property("UseTFields", &TvxDBGrid::UseTFields, &TvxDBGrid::SetUseTFields).Default(true);
    p.Property("Options", &TvxDBGrid::Options, &TvxDBGrid::SetOptions).Default(vxDefaultGridOptions);
    p.Property("KeyOptions", &TvxDBGrid::KeyOptions, &TvxDBGrid::SetKeyOptions)
        .Default(TvxDBGridKeyOptions{dgAllowDelete, dgAllowInsert});
    p.Property("MultiSelectOptions", &TvxDBGrid::MultiSelectOptions, &TvxDBGrid::SetMultiSelectOptions)
        .Default(TvxMultiSelectOptions{});
    p.Property("ReadOnly", &TvxDBGrid::ReadOnly, &TvxDBGrid::SetReadOnly).Default(false);
    p.Property("EditCalculated", &TvxDBGrid::EditCalculated, &TvxDBGrid::SetEditCalculated).Default(false);
    p.Property("DefaultDrawing", &TvxDBGrid::DefaultDrawing, &TvxDBGrid::SetDefaultDrawing).Default(true);
    p.Property("RowHeightPercent", &TvxDBGrid::RowHeightPercent, &TvxDBGrid::SetRowHeightPercent).Default(100);
    p.Property("TitleAlignment", &TvxDBGrid::TitleAlignment, &TvxDBGrid::SetTitleAlignment).Default(taLeftJustify);
    p.Property("TitleFont", &TvxDBGrid::TitleFont, &TvxDBGrid::SetTitleFont);
    p.Property("TitleLines", &TvxDBGrid::TitleLines, &TvxDBGrid::SetTitleLines).Default(1);
    p.Property("TitleButtons", &TvxDBGrid::TitleButtons, &TvxDBGrid::SetTitleButtons).Default(false);
    p.Property("IndicatorColor", &TvxDBGrid::IndicatorColor, &TvxDBGrid::SetIndicatorColor).Default(icBlack);
    p.Property("IndicatorButton", &TvxDBGrid::IndicatorButton, &TvxDBGrid::SetIndicatorButton).Stored(false);
    p.Property("ShowHorzScrollBar", &TvxDBGrid::ShowHorzScrollBar, &TvxDBGrid::SetShowHorzScrollBar).Default(true);
    p.Property("ShowVertScrollBar", &TvxDBGrid::ShowVertScrollBar, &TvxDBGrid::SetShowVertScrollBar).Default(true);
    p.Property("ImageList", &TvxDBGrid::ImageList, &TvxDBGrid::SetImageList);
    p.Property("TitleImageList", &TvxDBGrid::TitleImageList, &TvxDBGrid::SetTitleImageList);
    p.Property("FooterColor", &TvxDBGrid::FooterColor, &TvxDBGrid::SetFooterColor)
        .Idents(ColorIdentToInt, ColorIntToIdent)
        .Default(clBtnFace);
    p.Property("FooterCellColor", &TvxDBGrid::FooterCellColor, &TvxDBGrid::SetFooterCellColor)
        .Idents(ColorIdentToInt, ColorIntToIdent)
        .Default(clBtnFace);
    p.Property("FooterHeight", &TvxDBGrid::FooterHeight, &TvxDBGrid::SetFooterHeight).Default(0);
    p.Property("DragVertOffset", &TvxDBGrid::DragVertOffset, &TvxDBGrid::SetDragVertOffset).Default(15);
    p.Property("BorderStyle", &TvxDBGrid::BorderStyle, &TvxDBGrid::SetBorderStyle).Default(bsSingle);
    p.Property("OnCalcCellColors", &TvxDBGrid::OnCalcCellColors);
    p.Property("OnCalcTitleAttributes", &TvxDBGrid::OnCalcTitleAttributes);
    p.Property("OnCalcTitleImage", &TvxDBGrid::OnCalcTitleImage);
    p.Property("OnCheckValue", &TvxDBGrid::OnCheckValue);
    p.Property("OnColEnter", &TvxDBGrid::OnColEnter);
    p.Property("OnColExit", &TvxDBGrid::OnColExit);
    p.Property("OnColumnMoved", &TvxDBGrid::OnColumnMoved);
    p.Property("OnColWidthChanged", &TvxDBGrid::OnColWidthChanged);
    p.Property("OnDrawDataCell", &TvxDBGrid::OnDrawDataCell);
    p.Property("OnDrawFooterCell", &TvxDBGrid::OnDrawFooterCell);
    p.Property("OnDrawTitleCell", &TvxDBGrid::OnDrawTitleCell);
    p.Property("OnFieldChanged", &TvxDBGrid::OnFieldChanged);
    p.Property("OnLeftColChanged", &TvxDBGrid::OnLeftColChanged);
    p.Property("OnRowChanged", &TvxDBGrid::OnRowChanged);
    p.Property("OnCellChanged", &TvxDBGrid::OnCellChanged);
    p.Property("OnTitleButtonClick", &TvxDBGrid::OnTitleButtonClick);
    p.Property("OnTopRowChanged", &TvxDBGrid::OnTopRowChanged);
    p.Property("OnUpdateFooter", &TvxDBGrid::OnUpdateFooter);
}

TvxDataSource* TvxDBGrid::DataSource() const
{
    return dynamic_cast<TvxDataSource*>(TvxCustomDBGrid::DataSource());
}

void TvxDBGrid::SetDataSource(TvxDataSource* value)
{
    TvxCustomDBGrid::SetDataSource(value);
}

void TvxDBGrid::SetFixedCols(Integer value)
{
    if (value < 0 || (DataLink()->Active() && IndicatorOffset() + value >= ColCount())) {
        MessageDlg(InvalidFixedCols, mtWarning, TMsgDlgButtons{mbOK}, 0);
        return;
    }
    fixedCols_ = value;
    LayoutChanged();
}

void TvxDBGrid::SetTitleColor(TColor value)
{
    if (value == titleColor_) return;
    titleColor_ = value;
    LayoutChanged();
}

void TvxDBGrid::ApplySelected()
{
    if (!UseTFields()) {
        LayoutChanged();
        return;
    }
    if (TDataSet* dataSet = DataLink()->DataSet()) vxApplySelected(dataSet, Selected());
}

void TvxDBGrid::SetColumnAttributes()
{
    ApplyFixedCols();
    TvxCustomDBGrid::SetColumnAttributes();
}

// The platform grid's fixed columns are the indicator and the fixed data columns, once a dataset is open.
void TvxDBGrid::ApplyFixedCols()
{
    const Integer fixed = IndicatorOffset() + fixedCols_;
    TDataSet* dataSet = DataLink()->DataSet();
    if (fixed == TCustomGrid::FixedCols() || !dataSet || !dataSet->Active() || fixed >= ColCount()) return;
    TCustomGrid::SetFixedCols(fixed);
    for (Integer col = 0; col <= fixed; ++col) SetTabStops(col, false);
}
