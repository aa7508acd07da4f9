// The program's start-up: Application->CreateForm makes forms and data modules, setting the program's global
// variable before the form file is read and OnCreate runs.
#include <gtest/gtest.h>

#include "classes/DataModule.h"
#include "rtl/Streams.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"

class TStartupModule;
TStartupModule* StartupModule = nullptr;

class TStartupModule : public TDataModule {
    DUN_CLASS(TStartupModule, TDataModule)
public:
    explicit TStartupModule(TComponent* owner) : TDataModule(owner) {}

    TTimer* Timer1 = nullptr;
    bool GlobalWasSet = false;

    void ModuleCreate(TObject*) { GlobalWasSet = StartupModule == this && Timer1; }

    static void Publish(TPublisher<TStartupModule>& p)
    {
        p.Field("Timer1", &TStartupModule::Timer1);
        p.Method("ModuleCreate", &TStartupModule::ModuleCreate);
    }
};

// A data module of a class without a form file: its creation fails.
class TUnreadModule : public TDataModule {
    DUN_CLASS(TUnreadModule, TDataModule)
public:
    explicit TUnreadModule(TComponent* owner) : TDataModule(owner) {}
};

namespace {

TEST(ApplicationCreateForm, ADataModuleIsMadeLikeAFormOwnedByTheApplication)
{
    TCustomForm* mainForm = Application->MainForm();
    Application->CreateForm(StartupModule);
    ASSERT_NE(StartupModule, nullptr);
    EXPECT_EQ(StartupModule->Owner(), Application);
    EXPECT_TRUE(StartupModule->GlobalWasSet) << "set before the form file and OnCreate";
    ASSERT_NE(StartupModule->Timer1, nullptr);
    EXPECT_EQ(StartupModule->Timer1->Interval(), 25u);
    EXPECT_FALSE(StartupModule->Timer1->Enabled());
    EXPECT_EQ(Application->MainForm(), mainForm) << "a data module never becomes the main form";
    StartupModule->Free();
    StartupModule = nullptr;
}

TEST(ApplicationCreateForm, AFailedCreationClearsTheGlobalVariable)
{
    TUnreadModule* module = reinterpret_cast<TUnreadModule*>(1);
    const Integer components = Application->ComponentCount();
    EXPECT_THROW(Application->CreateForm(module), EResNotFound);
    EXPECT_EQ(module, nullptr);
    EXPECT_EQ(Application->ComponentCount(), components);
}

}  // namespace
