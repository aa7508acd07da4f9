// The tab set: a row of tabs drawn by the control, one of them selected, as found below a notebook.
#pragma once

#include <functional>
#include <memory>

#include "rtl/Classes.h"
#include "vcl/Controls.h"

using TTabChangeEvent = std::function<void(TObject* sender, Integer newTab, bool& allowChange)>;

class TTabSet : public TCustomControl {
    DUN_CLASS(TTabSet, TCustomControl)
public:
    explicit TTabSet(TComponent* owner);
    ~TTabSet() override;

    TStrings* Tabs() const { return tabs_.get(); }
    void SetTabs(TStrings* tabs) { tabs_->Assign(tabs); }
    // -1: no tab selected. A change is first offered to OnChange, which may refuse it.
    Integer TabIndex() const { return tabIndex_; }
    void SetTabIndex(Integer index);
    Integer StartMargin() const { return startMargin_; }
    void SetStartMargin(Integer value) { startMargin_ = value; Invalidate(); }
    Integer EndMargin() const { return endMargin_; }
    void SetEndMargin(Integer value) { endMargin_ = value; Invalidate(); }
    TColor SelectedColor() const { return selectedColor_; }
    void SetSelectedColor(TColor value) { selectedColor_ = value; Invalidate(); }
    TColor UnselectedColor() const { return unselectedColor_; }
    void SetUnselectedColor(TColor value) { unselectedColor_ = value; Invalidate(); }
    TColor BackgroundColor() const { return backgroundColor_; }
    void SetBackgroundColor(TColor value) { backgroundColor_ = value; Invalidate(); }

    // The tab under a point of the client area; -1 for none.
    Integer ItemAtPos(TPoint pos);
    // The tab's place in the client area; empty for a tab that does not fit.
    TRect ItemRect(Integer index);
    void Dispatch(TMessage& message) override;

    TTabChangeEvent OnChange;

    static void Publish(TPublisher<TTabSet>& p);

protected:
    virtual bool CanChange(Integer newIndex);
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
    void Loaded() override;

private:
    void TabsChanged();
    void PaintTab(Integer index, const TRect& rect);

    std::unique_ptr<TStringList> tabs_;
    Integer tabIndex_ = -1;
    Integer startMargin_ = 5;
    Integer endMargin_ = 5;
    TColor selectedColor_ = clBtnFace;
    TColor unselectedColor_ = clWindow;
    TColor backgroundColor_ = clBtnFace;
};
