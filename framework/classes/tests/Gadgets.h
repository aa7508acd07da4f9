// Test components publishing a property of every kind, a collection, a sub-object, binary data and events.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "classes/Collection.h"
#include "classes/Component.h"
#include "classes/DataModule.h"
#include "classes/Filer.h"
#include "classes/TypInfo.h"
#include "rtl/Streams.h"
#include "rtl/Strings.h"
#include "rtl/Variants.h"

enum TShape { stCircle, stSquare, stTriangle };
DUN_ENUM(TShape, "stCircle", "stSquare", "stTriangle");
using TShapes = Set<TShape>;
using TValidateEvent = std::function<void(TObject* sender, bool& accept)>;

class TGadgetFont : public TPersistent {
    DUN_CLASS(TGadgetFont, TPersistent)
public:
    std::string FaceName;
    Integer Size = 8;

    static void Publish(TPublisher<TGadgetFont>& p)
    {
        p.Property("Name", &TGadgetFont::FaceName);
        p.Property("Size", &TGadgetFont::Size).Default(8);
    }
};

class TGadgetItem : public TCollectionItem {
    DUN_CLASS(TGadgetItem, TCollectionItem)
public:
    explicit TGadgetItem(TCollection* collection) : TCollectionItem(collection) {}
    Integer Width = 0;
    std::string Title;

    void Assign(TPersistent* source) override
    {
        if (auto* other = dynamic_cast<TGadgetItem*>(source)) {
            Width = other->Width;
            Title = other->Title;
            return;
        }
        TCollectionItem::Assign(source);
    }

    static void Publish(TPublisher<TGadgetItem>& p)
    {
        p.Property("Width", &TGadgetItem::Width).Default(0);
        p.Property("Title", &TGadgetItem::Title);
    }
};

class TGadget : public TComponent {
    DUN_CLASS(TGadget, TComponent)
public:
    explicit TGadget(TComponent* owner) : TComponent(owner) {}
    ~TGadget() override { SetBuddy(nullptr); }

    Integer Count = 0;
    char Letter = 'A';
    TShape Shape = stCircle;
    TShapes Shapes;
    double Ratio = 0;
    TDateTime Due = 0;
    Currency Price;
    Int64 Big = 0;
    std::string Caption;
    bool Enabled = true;
    Variant Value;
    TNotifyEvent OnChange;
    TValidateEvent OnValidate;
    std::string Blob;  // binary data of its own
    std::string LoadLog;

    TStrings* Lines() const { return lines_.get(); }
    void SetLines(TStrings* value) { lines_->Assign(value); }
    TGadget* Buddy() const { return buddy_; }
    void SetBuddy(TGadget* value)
    {
        if (buddy_ == value) return;
        if (buddy_) buddy_->RemoveFreeNotification(this);
        buddy_ = value;
        if (buddy_) buddy_->FreeNotification(this);
    }
    TOwnedCollection* Items() const { return items_.get(); }
    void SetItems(TOwnedCollection* value) { items_->Assign(value); }
    TGadgetFont* Font() const { return font_.get(); }
    void SetFont(TGadgetFont* value)
    {
        font_->FaceName = value->FaceName;
        font_->Size = value->Size;
    }

    void Notification(TComponent* component, TOperation operation) override
    {
        TComponent::Notification(component, operation);
        if (operation == opRemove && component == buddy_) buddy_ = nullptr;
    }
    void Loaded() override
    {
        TComponent::Loaded();
        LoadLog += "Loaded(" + std::to_string(Count) + (buddy_ ? ",buddy" : "") + ");";
    }
    void DefineProperties(TFiler* filer) override
    {
        TComponent::DefineProperties(filer);
        filer->DefineBinaryProperty(
            "Blob",
            [this](TStream* s) {
                Blob.assign(size_t(s->Size()), '\0');
                s->ReadBuffer(Blob.data(), Integer(Blob.size()));
            },
            [this](TStream* s) { s->WriteBuffer(Blob.data(), Integer(Blob.size())); }, !Blob.empty());
    }

    static void Publish(TPublisher<TGadget>& p)
    {
        p.Property("Count", &TGadget::Count).Default(0);
        p.Property("Letter", &TGadget::Letter).Default('A');
        p.Property("Shape", &TGadget::Shape).Default(stCircle);
        p.Property("Shapes", &TGadget::Shapes).Default(TShapes{});
        p.Property("Ratio", &TGadget::Ratio);
        p.Property("Price", &TGadget::Price);
        p.Property("Due", &TGadget::Due).DateTime();
        p.Property("Big", &TGadget::Big).Default(Int64(0));
        p.Property("Caption", &TGadget::Caption);
        p.Property("Enabled", &TGadget::Enabled).Default(true);
        p.Property("Lines", &TGadget::Lines, &TGadget::SetLines);
        p.Property("Buddy", &TGadget::Buddy, &TGadget::SetBuddy);
        p.Property("Items", &TGadget::Items, &TGadget::SetItems);
        p.Property("Font", &TGadget::Font, &TGadget::SetFont);
        p.Property("OnChange", &TGadget::OnChange);
        p.Property("OnValidate", &TGadget::OnValidate);
        p.Property("Value", &TGadget::Value);
    }

private:
    std::unique_ptr<TStringList> lines_ = std::make_unique<TStringList>();
    std::unique_ptr<TOwnedCollection> items_ =
        std::make_unique<TOwnedCollection>(this, TGadgetItem::StaticClass());
    std::unique_ptr<TGadgetFont> font_ = std::make_unique<TGadgetFont>();
    TGadget* buddy_ = nullptr;
};

// A gadget that republishes Count with another default.
class TBigGadget : public TGadget {
    DUN_CLASS(TBigGadget, TGadget)
public:
    explicit TBigGadget(TComponent* owner) : TGadget(owner) { Count = 10; }
    static void Publish(TPublisher<TBigGadget>& p) { p.Property("Count", &TBigGadget::Count).Default(10); }
};

// A data module with fields and handlers for its gadgets.
class TGadgetModule : public TDataModule {
    DUN_CLASS(TGadgetModule, TDataModule)
public:
    explicit TGadgetModule(TComponent* owner) : TDataModule(owner) {}

    TGadget* Gadget1 = nullptr;
    TGadget* Gadget2 = nullptr;
    std::string Log;

    void GadgetChange(TObject* sender) { Log += "change " + static_cast<TComponent*>(sender)->Name() + ";"; }
    void GadgetValidate(TObject* sender, bool& accept) { accept = false; }
    void ModuleCreate(TObject* sender) { Log += "create;"; }
    void ModuleDestroy(TObject* sender) { DestroyLog += Name() + ";"; }
    static inline std::string DestroyLog;

    static void Publish(TPublisher<TGadgetModule>& p)
    {
        p.Field("Gadget1", &TGadgetModule::Gadget1);
        p.Field("Gadget2", &TGadgetModule::Gadget2);
        p.Method("GadgetChange", &TGadgetModule::GadgetChange);
        p.Method("GadgetValidate", &TGadgetModule::GadgetValidate);
        p.Method("ModuleCreate", &TGadgetModule::ModuleCreate);
        p.Method("ModuleDestroy", &TGadgetModule::ModuleDestroy);
    }
};
