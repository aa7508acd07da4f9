#include "vcl/Notebook.h"

#include <algorithm>

#include "classes/ClassRegistry.h"
#include "classes/Filer.h"

// The page list as strings: captions in, pages out.
class TPageAccess : public TStrings {
public:
    explicit TPageAccess(TNotebook* notebook) : notebook_(notebook) {}

    void Clear() override
    {
        while (!notebook_->pages_.empty()) Delete(Integer(notebook_->pages_.size()) - 1);
    }
    void Delete(Integer index) override
    {
        CheckIndex(index);
        TPage* page = notebook_->pages_[index];
        notebook_->RemovePage(page);
        page->SetParent(nullptr);  // a window freed with a parent would stay in the parent's tab list
        delete page;
    }
    void Insert(Integer index, const std::string& s) override
    {
        if (index < 0 || index > GetCount()) ListIndexError(index);
        auto* page = new TPage(notebook_);
        page->SetCaption(s);
        notebook_->InsertPage(index, page);
    }

protected:
    std::string Get(Integer index) const override
    {
        CheckIndex(index);
        return notebook_->pages_[index]->Caption();
    }
    Integer GetCount() const override { return Integer(notebook_->pages_.size()); }
    TObject* GetObject(Integer index) const override
    {
        CheckIndex(index);
        return notebook_->pages_[index];
    }
    void Put(Integer index, const std::string& s) override
    {
        CheckIndex(index);
        notebook_->pages_[index]->SetCaption(s);
    }

private:
    void CheckIndex(Integer index) const
    {
        if (index < 0 || index >= GetCount()) ListIndexError(index);
    }

    TNotebook* notebook_;
};

namespace {
const bool registered = (RegisterClasses<TNotebook, TPage>(), true);
}

// ---- TPage

TPage::TPage(TComponent* owner) : TCustomControl(owner)
{
    visible_ = false;
    align_ = alClient;
    parentColor_ = true;
    controlStyle_ = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks};
}

void TPage::ReadState(TReader* reader)
{
    if (auto* notebook = dynamic_cast<TNotebook*>(reader->Parent()))
        notebook->InsertPage(notebook->PageCount(), this);
    TCustomControl::ReadState(reader);
}

void TPage::Paint()
{
    Canvas()->Brush()->SetColor(color_);
    Canvas()->FillRect(ClientRect());
}

// ---- TNotebook

TNotebook::TNotebook(TComponent* owner) : TCustomControl(owner), pageAccess_(std::make_unique<TPageAccess>(this))
{
    width_ = 150;
    height_ = 150;
    controlStyle_ = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks};
    pageAccess_->Add("Default");
    SetPageIndex(0);
}

TNotebook::~TNotebook()
{
    Destroying();
    pageIndex_ = -1;
    const std::vector<TPage*> pages = std::move(pages_);
    pages_.clear();
    for (TPage* page : pages) {
        page->SetParent(nullptr);
        delete page;
    }
}

void TNotebook::Publish(TPublisher<TNotebook>& p)
{
    p.Property("ActivePage", &TNotebook::ActivePage, &TNotebook::SetActivePage).Stored(false);
    p.Property("PageIndex", &TNotebook::PageIndex, &TNotebook::SetPageIndex).Default(0);
    p.Property("OnPageChanged", &TNotebook::OnPageChanged);
}

void TNotebook::InsertPage(Integer index, TPage* page)
{
    pages_.insert(pages_.begin() + index, page);
    page->SetParent(this);
    if (state_.Contains(csLoading)) return;
    if (pageIndex_ >= index && pages_.size() > 1) ++pageIndex_;
    ShowActivePage();
}

void TNotebook::Notification(TComponent* component, TOperation operation)
{
    TCustomControl::Notification(component, operation);
    if (operation == opRemove) RemovePage(component);
}

// A page that goes leaves the list; the active page stays active, or its successor takes its place.
void TNotebook::RemovePage(TComponent* page)
{
    auto found = std::find(pages_.begin(), pages_.end(), page);
    if (found == pages_.end()) return;
    const Integer index = Integer(found - pages_.begin());
    pages_.erase(found);
    if (pageIndex_ > index || pageIndex_ >= PageCount()) --pageIndex_;
    if (!state_.Contains(csDestroying)) ShowActivePage();
}

void TNotebook::SetPageIndex(Integer index)
{
    if (state_.Contains(csLoading)) {
        pageIndex_ = index;
        return;
    }
    if (index < 0 || index >= PageCount() || index == pageIndex_) return;
    pageIndex_ = index;
    ShowActivePage();
    if (OnPageChanged) OnPageChanged(this);
}

// The active page shows, every other page is hidden.
void TNotebook::ShowActivePage()
{
    if (state_.Contains(csLoading)) return;
    for (Integer i = 0; i < PageCount(); ++i)
        if (i != pageIndex_) pages_[i]->SetVisible(false);
    if (pageIndex_ >= 0 && pageIndex_ < PageCount()) {
        pages_[pageIndex_]->BringToFront();
        pages_[pageIndex_]->SetVisible(true);
    }
}

std::string TNotebook::ActivePage() const
{
    return pageIndex_ >= 0 && pageIndex_ < PageCount() ? pages_[pageIndex_]->Caption() : std::string();
}

void TNotebook::SetActivePage(const std::string& caption)
{
    SetPageIndex(pageAccess_->IndexOf(caption));
}

void TNotebook::GetChildren(const TGetChildProc& proc, TComponent*)
{
    for (TPage* page : pages_) proc(page);
}

// The pages of a form file replace the default page.
void TNotebook::ReadState(TReader* reader)
{
    pageAccess_->Clear();
    TCustomControl::ReadState(reader);
}

void TNotebook::Loaded()
{
    TCustomControl::Loaded();
    if (pageIndex_ < 0 || pageIndex_ >= PageCount()) pageIndex_ = PageCount() ? 0 : -1;
    ShowActivePage();
}
