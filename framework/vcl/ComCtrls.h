// The status bar: one simple text or a row of panels.
#pragma once

#include <memory>
#include <string>

#include "classes/Collection.h"
#include "vcl/Controls.h"

class TStatusBar;

class TStatusPanel : public TCollectionItem {
    DUN_CLASS(TStatusPanel, TCollectionItem)
public:
    explicit TStatusPanel(TCollection* collection) : TCollectionItem(collection) {}
    void Assign(TPersistent* source) override;
    std::string Text() const { return text_; }
    void SetText(const std::string& text);
    Integer Width() const { return width_; }
    void SetWidth(Integer width);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);

    static void Publish(TPublisher<TStatusPanel>& p);

private:
    std::string text_;
    Integer width_ = 50;
    TAlignment alignment_ = taLeftJustify;
};

class TStatusPanels : public TCollection {
    DUN_CLASS(TStatusPanels, TCollection)
public:
    explicit TStatusPanels(TStatusBar* bar) : TCollection(TStatusPanel::StaticClass()), bar_(bar) {}
    TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
    TStatusPanel* Items(Integer index) const { return static_cast<TStatusPanel*>(TCollection::Items(index)); }
    TPersistent* GetOwner() const override;

protected:
    void Update(TCollectionItem* item) override;

private:
    TStatusBar* bar_;
};

class TStatusBar : public TWinControl {
    DUN_CLASS(TStatusBar, TWinControl)
public:
    explicit TStatusBar(TComponent* owner);

    TStatusPanels* Panels() const { return panels_.get(); }
    void SetPanels(TStatusPanels* panels) { panels_->Assign(panels); }
    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool value);
    std::string SimpleText() const { return simpleText_; }
    void SetSimpleText(const std::string& text);
    bool SizeGrip() const { return sizeGrip_; }
    void SetSizeGrip(bool value) { sizeGrip_ = value; RecreateWnd(); }
    void UpdatePanels();
    // Updates the panels once the queue gets to it (an item being added is not complete yet).
    void PostUpdatePanels();
    void Dispatch(TMessage& message) override;

    static void Publish(TPublisher<TStatusBar>& p);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;

private:
    std::unique_ptr<TStatusPanels> panels_;
    bool simplePanel_ = false;
    std::string simpleText_;
    bool sizeGrip_ = true;
};
