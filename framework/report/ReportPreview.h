// The modal preview of a report's built pages: page navigation, zoom and a Print command.
#pragma once

#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

class TBandReport;

// One page drawn at the preview's zoom on a white sheet.
class TReportPageView : public TCustomControl {
    DUN_CLASS(TReportPageView, TCustomControl)
public:
    explicit TReportPageView(TComponent* owner) : TCustomControl(owner) {}
    TBandReport* Report = nullptr;
    Integer PageIndex = 0;
    Integer Zoom = 100;
    // Sizes the view to the page at the zoom and redraws it.
    void Update();

protected:
    void Paint() override;
};

class TReportPreview : public TForm {
    DUN_CLASS(TReportPreview, TForm)
public:
    TReportPreview(TComponent* owner, TBandReport* report);

    Integer PageIndex() const { return view_->PageIndex; }
    Integer PageCount() const;
    void ShowPage(Integer index);
    Integer Zoom() const { return view_->Zoom; }
    void SetZoom(Integer zoom);

    TButton* FirstButton;
    TButton* PriorButton;
    TButton* NextButton;
    TButton* LastButton;
    TButton* ZoomInButton;
    TButton* ZoomOutButton;
    TButton* PrintButton;
    TButton* CloseButton;
    TLabel* PageLabel;
    TScrollBox* PageBox;

private:
    TButton* AddButton(const std::string& caption, Integer left, Integer width, TNotifyEvent onClick);
    void PreviewKeyDown(TObject* sender, Word& key, TShiftState shift);

    TBandReport* report_;
    TPanel* toolBar_;
    TReportPageView* view_;
};
