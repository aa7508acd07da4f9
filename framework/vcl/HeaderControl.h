// The header control: a row of sections with texts over the common controls' header window.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "classes/Collection.h"
#include "vcl/Controls.h"

class THeaderControl;

class THeaderSection : public TCollectionItem {
    DUN_CLASS(THeaderSection, TCollectionItem)
public:
    explicit THeaderSection(TCollection* collection) : TCollectionItem(collection) {}
    void Assign(TPersistent* source) override;

    std::string Text() const { return text_; }
    void SetText(const std::string& text);
    Integer Width() const { return width_; }
    void SetWidth(Integer width);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    // The section's left edge: the widths of the sections before it.
    Integer Left() const;
    Integer Right() const { return Left() + width_; }

    static void Publish(TPublisher<THeaderSection>& p);

private:
    std::string text_;
    Integer width_ = 50;
    TAlignment alignment_ = taLeftJustify;
};

class THeaderSections : public TCollection {
    DUN_CLASS(THeaderSections, TCollection)
public:
    explicit THeaderSections(THeaderControl* header)
        : TCollection(THeaderSection::StaticClass()), header_(header) {}
    // The window hears of the new section once it is whole.
    THeaderSection* Add();
    THeaderSection* Items(Integer index) const { return static_cast<THeaderSection*>(TCollection::Items(index)); }
    TPersistent* GetOwner() const override;

protected:
    void Update(TCollectionItem* item) override;

private:
    THeaderControl* header_;
};

using TSectionNotifyEvent = std::function<void(TObject* sender, THeaderSection* section)>;

class THeaderControl : public TWinControl {
    DUN_CLASS(THeaderControl, TWinControl)
public:
    explicit THeaderControl(TComponent* owner);

    THeaderSections* Sections() const { return sections_.get(); }
    void SetSections(THeaderSections* sections) { sections_->Assign(sections); }
    void UpdateSections();
    void Dispatch(TMessage& message) override;

    // A section was clicked; a section was resized by the user.
    TSectionNotifyEvent OnSectionClick;
    TSectionNotifyEvent OnSectionResize;

    static void Publish(TPublisher<THeaderControl>& p);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;

private:
    void Notify(TMessage& message);

    std::unique_ptr<THeaderSections> sections_;
};
