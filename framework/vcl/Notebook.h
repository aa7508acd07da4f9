// The notebook: a stack of pages of which one shows at a time, chosen by index or by page caption.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "rtl/Classes.h"
#include "vcl/Controls.h"

class TNotebook;

// A page of a notebook; it fills the notebook and shows only while it is the notebook's active page.
class TPage : public TCustomControl {
    DUN_CLASS(TPage, TCustomControl)
public:
    explicit TPage(TComponent* owner);
    // A page read from a form file joins the notebook it is written in.
    void ReadState(TReader* reader) override;

protected:
    void Paint() override;
};

class TNotebook : public TCustomControl {
    DUN_CLASS(TNotebook, TCustomControl)
public:
    explicit TNotebook(TComponent* owner);
    ~TNotebook() override;

    // The captions of the pages, with the pages as objects; adding a line adds a page, deleting one frees it.
    TStrings* Pages() const { return pageAccess_.get(); }
    void SetPages(TStrings* pages) { pageAccess_->Assign(pages); }
    Integer PageIndex() const { return pageIndex_; }
    // An index outside the pages changes nothing.
    void SetPageIndex(Integer index);
    std::string ActivePage() const;
    void SetActivePage(const std::string& caption);
    Integer PageCount() const { return Integer(pages_.size()); }
    TPage* Page(Integer index) const { return pages_.at(index); }

    void GetChildren(const TGetChildProc& proc, TComponent* root) override;
    TComponent* GetChildOwner() override { return this; }
    void ReadState(TReader* reader) override;

    TNotifyEvent OnPageChanged;

    static void Publish(TPublisher<TNotebook>& p);

protected:
    friend class TPage;
    friend class TPageAccess;
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    void InsertPage(Integer index, TPage* page);
    void RemovePage(TComponent* page);
    void ShowActivePage();

private:
    std::vector<TPage*> pages_;
    std::unique_ptr<TStrings> pageAccess_;
    Integer pageIndex_ = -1;
};
