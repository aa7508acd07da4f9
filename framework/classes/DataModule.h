// TDataModule: a root component of non-visual components, created from its class's form resource.
#pragma once

#include "classes/Component.h"
#include "classes/TypInfo.h"
#include "rtl/Strings.h"

class TDataModule : public TComponent {
    DUN_CLASS(TDataModule, TComponent)
public:
    explicit TDataModule(TComponent* owner);
    ~TDataModule() override;

    // Reads the form resource named after the class (EResNotFound "Resource %s not found" when a descendant
    // class has none), then fires OnCreate.
    void AfterConstruction() override;
    // Fires OnDestroy.
    void BeforeDestruction() override;

    void GetChildren(const TGetChildProc& proc, TComponent* root) override;
    void DefineProperties(TFiler* filer) override;

    bool OldCreateOrder() const { return oldCreateOrder_; }
    void SetOldCreateOrder(bool value) { oldCreateOrder_ = value; }
    // The module's size in the designer (its place is the component's DesignLeft/DesignTop).
    Integer DesignWidth = 0;
    Integer DesignHeight = 0;

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;

    static void Publish(TPublisher<TDataModule>& p);

private:
    void DoCreate();
    void DoDestroy();

    bool oldCreateOrder_ = false;
    bool destroyed_ = false;
};
