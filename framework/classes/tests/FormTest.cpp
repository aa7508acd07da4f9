#include "classes/FormResource.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "classes/ClassRegistry.h"
#include "classes/FormText.h"
#include "classes/tests/Gadgets.h"
#include "rtl/Streams.h"
#include "rtl/WinApi.h"

namespace {

// A control-like component: it has a parent among the components of its form.
class TBox : public TComponent {
    DUN_CLASS(TBox, TComponent)
public:
    explicit TBox(TComponent* owner) : TComponent(owner) {}
    std::string Caption;
    TComponent* ParentBox = nullptr;

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override { return ParentBox; }
    void SetParentComponent(TComponent* parent) override { ParentBox = parent; }
    void ReadState(TReader* reader) override
    {
        SetParentComponent(reader->Parent());
        TComponent::ReadState(reader);
    }
    void GetChildren(const TGetChildProc& proc, TComponent* root) override { ListChildrenOf(this, proc, root); }

    static void ListChildrenOf(TComponent* parent, const TGetChildProc& proc, TComponent* root)
    {
        for (Integer i = 0; i < root->ComponentCount(); ++i)
            if (root->Components(i)->HasParent() && root->Components(i)->GetParentComponent() == parent)
                proc(root->Components(i));
    }
    static void Publish(TPublisher<TBox>& p) { p.Property("Caption", &TBox::Caption); }
};

// A form-like root: non-visual components first, then its boxes.
class TBoxForm : public TComponent {
    DUN_CLASS(TBoxForm, TComponent)
public:
    explicit TBoxForm(TComponent* owner) : TComponent(owner) {}
    std::string Caption;
    TBox* Panel1 = nullptr;
    TBox* Edit1 = nullptr;
    TGadget* Timer1 = nullptr;

    void AfterConstruction() override { InitInheritedComponent(this, TComponent::StaticClass()); }
    void GetChildren(const TGetChildProc& proc, TComponent* root) override
    {
        for (Integer i = 0; i < ComponentCount(); ++i)
            if (!Components(i)->HasParent()) proc(Components(i));
        TBox::ListChildrenOf(this, proc, this);
    }
    static void Publish(TPublisher<TBoxForm>& p)
    {
        p.Property("Caption", &TBoxForm::Caption);
        p.Field("Panel1", &TBoxForm::Panel1);
        p.Field("Edit1", &TBoxForm::Edit1);
        p.Field("Timer1", &TBoxForm::Timer1);
    }
};

class TDerivedModule : public TGadgetModule {
    DUN_CLASS(TDerivedModule, TGadgetModule)
public:
    explicit TDerivedModule(TComponent* owner) : TGadgetModule(owner) {}
    TGadget* Gadget3 = nullptr;
    static void Publish(TPublisher<TDerivedModule>& p) { p.Field("Gadget3", &TDerivedModule::Gadget3); }
};

class TModuleWithoutForm : public TDataModule {
    DUN_CLASS(TModuleWithoutForm, TDataModule)
public:
    explicit TModuleWithoutForm(TComponent* owner) : TDataModule(owner) {}
};

std::string WithoutCarriageReturns(std::string text)
{
    std::erase(text, '\r');
    return text;
}

std::string ResourceText(const char* name)
{
    TResourceStream stream(GetModuleHandleA(nullptr), name, MAKEINTRESOURCEA(10));
    std::string text(size_t(stream.Size()), '\0');
    stream.ReadBuffer(text.data(), Integer(text.size()));
    return WithoutCarriageReturns(text);
}

struct TFormFixture : ::testing::Test {
    void SetUp() override { RegisterClasses<TGadget, TBox>(); }
};

}  // namespace

using FormFile = TFormFixture;

TEST_F(FormFile, DataModuleIsCreatedFromItsResource)
{
    TGadgetModule* module = CreateObject<TGadgetModule>(nullptr);
    EXPECT_EQ(module->Name(), "GadgetModule");
    EXPECT_EQ(module->Log, "create;");
    EXPECT_EQ(module->DesignLeft, 192);
    EXPECT_EQ(module->DesignWidth, 215);
    ASSERT_NE(module->Gadget1, nullptr);
    ASSERT_NE(module->Gadget2, nullptr);
    TGadget& g = *module->Gadget1;
    EXPECT_EQ(g.Name(), "Gadget1");
    EXPECT_EQ(g.Owner(), module);
    EXPECT_EQ(g.Count, 3);
    EXPECT_EQ(g.Letter, 'x');
    EXPECT_EQ(g.Shape, stSquare);
    EXPECT_EQ(g.Shapes, (TShapes{stCircle, stTriangle}));
    EXPECT_EQ(g.Ratio, 1.25);
    EXPECT_EQ(g.Price, Currency::FromScaled(123450));
    EXPECT_EQ(g.Due, 45000.5);
    EXPECT_EQ(g.Big, Int64(1) << 40);
    EXPECT_EQ(g.Caption, "Fee's\tBudget");
    EXPECT_FALSE(g.Enabled);
    ASSERT_EQ(g.Lines()->Count(), 2);
    EXPECT_EQ(g.Lines()->Strings(0), "Client Code\t10\tClient Code\tF");
    EXPECT_EQ(g.Buddy(), module->Gadget2);
    ASSERT_EQ(g.Items()->Count(), 2);
    EXPECT_EQ(static_cast<TGadgetItem*>(g.Items()->Items(0))->Title, "First");
    EXPECT_EQ(static_cast<TGadgetItem*>(g.Items()->Items(0))->Width, 10);
    EXPECT_EQ(g.Font()->FaceName, "Courier");
    EXPECT_EQ(g.Font()->Size, 10);
    EXPECT_EQ(g.Blob, std::string("\x00\x01\xff", 3));
    EXPECT_EQ(g.Value.ToString(), "text");

    // Loaded runs once everything is read and every reference is fixed up.
    EXPECT_EQ(g.LoadLog, "Loaded(3,buddy);");
    EXPECT_FALSE(g.ComponentState().Contains(csLoading));
    EXPECT_FALSE(g.ComponentState().Contains(csReading));
    EXPECT_FALSE(module->ComponentState().Contains(csLoading));

    g.OnChange(&g);
    module->Gadget2->OnChange(module->Gadget2);
    EXPECT_EQ(module->Log, "create;change Gadget1;change Gadget2;");
    bool accept = true;
    g.OnValidate(&g, accept);
    EXPECT_FALSE(accept);

    EXPECT_EQ(WithoutCarriageReturns(WriteComponentText(module)), ResourceText("TGADGETMODULE"));

    TGadgetModule::DestroyLog.clear();
    module->Free();
    EXPECT_EQ(TGadgetModule::DestroyLog, "GadgetModule;");
}

TEST_F(FormFile, SecondInstanceGetsAUniqueNameAndOwnerFrees)
{
    TComponent application(nullptr);
    auto* first = CreateObject<TGadgetModule>(&application);
    auto* second = CreateObject<TGadgetModule>(&application);
    EXPECT_EQ(first->Name(), "GadgetModule");
    EXPECT_EQ(second->Name(), "GadgetModule_1");
    EXPECT_EQ(FindGlobalComponent("GadgetModule_1"), second);
    TGadgetModule::DestroyLog.clear();
    application.DestroyComponents();
    EXPECT_EQ(TGadgetModule::DestroyLog, "GadgetModule_1;GadgetModule;");
    EXPECT_EQ(FindGlobalComponent("GadgetModule"), nullptr);
}

TEST_F(FormFile, InheritedFormReadsTheAncestorsFileFirst)
{
    TDerivedModule* module = CreateObject<TDerivedModule>(nullptr);
    EXPECT_EQ(module->Name(), "DerivedModule");
    EXPECT_EQ(module->Log, "create;");
    EXPECT_EQ(module->Gadget1->Count, 99);
    EXPECT_EQ(module->Gadget1->Caption, "Fee's\tBudget");
    EXPECT_EQ(module->Gadget1->LoadLog, "Loaded(99,buddy);");  // once, after both files
    ASSERT_NE(module->Gadget3, nullptr);
    EXPECT_EQ(module->Gadget3->Caption, "Added");
    EXPECT_EQ(module->ComponentCount(), 3);
    module->Free();
}

TEST_F(FormFile, ModuleClassWithoutResourceIsRefused)
{
    try {
        CreateObject<TModuleWithoutForm>(nullptr);
        FAIL() << "no exception";
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message(), "Resource TModuleWithoutForm not found");
    }
    TDataModule* plain = CreateObject<TDataModule>(nullptr);
    EXPECT_EQ(plain->ComponentCount(), 0);
    plain->Free();
}

TEST_F(FormFile, NestedComponentsGetTheirParentsAndWriteBackInPlace)
{
    TBoxForm* form = CreateObject<TBoxForm>(nullptr);
    EXPECT_EQ(form->Caption, "Main");
    ASSERT_NE(form->Panel1, nullptr);
    ASSERT_NE(form->Edit1, nullptr);
    ASSERT_NE(form->Timer1, nullptr);
    EXPECT_EQ(form->Panel1->ParentBox, form);
    EXPECT_EQ(form->Edit1->ParentBox, form->Panel1);
    EXPECT_EQ(form->Edit1->Owner(), form);
    EXPECT_EQ(form->Timer1->Caption, "Timer");
    EXPECT_EQ(form->ComponentCount(), 5);
    EXPECT_EQ(WithoutCarriageReturns(WriteComponentText(form)), ResourceText("TBOXFORM"));
    form->Free();
}

TEST_F(FormFile, ReferencesAcrossRootsAndUnknownReferences)
{
    TGadgetModule* other = CreateObject<TGadgetModule>(nullptr);
    TGadgetModule module(nullptr);
    ReadComponentText(&module,
                      "object Mine: TGadgetModule\n"
                      "  object Gadget1: TGadget\n"
                      "    Buddy = GadgetModule.Gadget2\n"
                      "  end\n"
                      "  object Gadget2: TGadget\n"
                      "    Buddy = Missing\n"
                      "  end\n"
                      "end\n");
    EXPECT_EQ(module.Gadget1->Buddy(), other->Gadget2);
    EXPECT_EQ(module.Gadget2->Buddy(), nullptr);
    std::string text = WithoutCarriageReturns(WriteComponentText(&module));
    EXPECT_NE(text.find("Buddy = GadgetModule.Gadget2\n"), std::string::npos) << text;
    other->Free();
    EXPECT_EQ(module.Gadget1->Buddy(), nullptr);  // free notification
}

TEST_F(FormFile, ReferencesWaitForTheirRootToLoad)
{
    TGadgetModule module(nullptr);
    ReadComponentText(&module,
                      "object Mine: TGadgetModule\n"
                      "  object Gadget1: TGadget\n"
                      "    Buddy = GadgetModule.Gadget2\n"
                      "  end\n"
                      "  object Gadget2: TGadget\n"
                      "    Buddy = Later.Gadget1\n"
                      "  end\n"
                      "end\n");
    EXPECT_EQ(module.Gadget1->Buddy(), nullptr);
    TGadgetModule* later = CreateObject<TGadgetModule>(nullptr);
    EXPECT_EQ(module.Gadget1->Buddy(), later->Gadget2);
    later->Free();
    EXPECT_EQ(module.Gadget1->Buddy(), nullptr);

    // A waiting reference goes with its component.
    delete module.Gadget2;
    TGadgetModule other(nullptr);
    ReadComponentText(&other, "object Later: TGadgetModule\n  object Gadget1: TGadget\n  end\nend\n");
    EXPECT_EQ(module.ComponentCount(), 1);
}

TEST_F(FormFile, ReadErrorsNameTheComponentAndProperty)
{
    struct Case {
        const char* body;
        const char* error;
    } cases[] = {
        {"Nope = 1", "Error reading Gadget1.Nope: Property Nope does not exist"},
        {"Font.Nope = 1", "Error reading Gadget1.Font.Nope: Property Nope does not exist"},
        {"Caption.Nope = 1", "Error reading Gadget1.Caption.Nope: Property Caption does not exist"},
        {"OnChange = NoSuchHandler", "Error reading Gadget1.OnChange: Invalid property value"},
        {"OnChange = GadgetValidate", "Error reading Gadget1.OnChange: Invalid property value"},
        {"Shape = stHexagon", "Error reading Gadget1.Shape: Invalid property value"},
        {"Shapes = [stCircle, stOval]", "Error reading Gadget1.Shapes: Invalid property value"},
        {"Count = 'x'", "Error reading Gadget1.Count: Invalid property value"},
        {"Count = 4294967296", "Error reading Gadget1.Count: Invalid property value"},
        {"Letter = 'xy'", "Error reading Gadget1.Letter: Invalid property value"},
        {"Caption = 5", "Error reading Gadget1.Caption: Invalid property value"},
        {"Lines.Strings = ('a' 5)", "Error reading Gadget1.Lines.Strings: Invalid property value"},
        {"Items = <\n item\n Nope = 1\n end>", "Error reading TGadgetItem.Nope: Property Nope does not exist"},
        {"Blob = 'text'", "Error reading Gadget1.Blob: Invalid property value"},
    };
    for (const Case& c : cases) {
        TGadgetModule module(nullptr);
        std::string text = std::string("object M: TGadgetModule\n  object Gadget1: TGadget\n    ") + c.body +
                           "\n  end\nend\n";
        try {
            ReadComponentText(&module, text);
            ADD_FAILURE() << c.body;
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), c.error) << c.body;
        } catch (const Exception& e) {
            ADD_FAILURE() << c.body << ": " << e.Message();
        }
        EXPECT_EQ(module.ComponentCount(), 0) << c.body;  // the half-read component is freed
        EXPECT_EQ(module.Gadget1, nullptr) << c.body;
    }
}

TEST_F(FormFile, ComponentErrors)
{
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {"object M: TGadgetModule\n  object X: TUnknownThing\n  end\nend\n", "Class TUnknownThing not found"},
        {"object M: TGadgetModule\n  object G: TGadget\n  end\n  object g: TGadget\n  end\nend\n",
         "A component named g already exists"},
        {"object M: TGadgetModule\n  inherited Gadget9: TGadget\n  end\nend\n", "Ancestor for 'Gadget9' not found"},
        {"object M: TGadgetModule\n  object X: TGadgetFont\n  end\nend\n", "Class TGadgetFont not found"},
    };
    for (const Case& c : cases) {
        TGadgetModule module(nullptr);
        try {
            ReadComponentText(&module, c.text);
            ADD_FAILURE() << c.text;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), c.error) << c.text;
        }
    }
}

TEST_F(FormFile, VariantValuesKeepTheirTypes)
{
    struct Case {
        const char* text;
        TVarType type;
    } cases[] = {
        {"5", varInteger},       {"4294967296", varInt64}, {"2.5", varDouble},     {"123450c", varCurrency},
        {"45000.5d", varDate},   {"'x'", varString},       {"True", varBoolean},   {"Null", varNull},
        {"(\n      1\n      'a')", varArray | varVariant},
    };
    for (const Case& c : cases) {
        TGadgetModule module(nullptr);
        const std::string text = std::string("object M: TGadgetModule\n  OldCreateOrder = False\n"
                                             "  object G: TGadget\n    Items = <>\n    Value = ") +
                                 c.text + "\n  end\nend\n";
        ReadComponentText(&module, text);
        auto* gadget = static_cast<TGadget*>(module.FindComponent("G"));
        EXPECT_EQ(VarType(gadget->Value), c.type) << c.text;
        EXPECT_EQ(WithoutCarriageReturns(WriteComponentText(&module)), text) << c.text;
    }
}

TEST_F(FormFile, DefaultValuesAreNotWritten)
{
    TGadgetModule module(nullptr);
    module.SetName("M");
    auto* gadget = new TGadget(&module);
    gadget->SetName("Plain");
    auto* big = new TBigGadget(&module);
    big->SetName("Big");
    big->Count = 0;
    EXPECT_EQ(WithoutCarriageReturns(WriteComponentText(&module)),
              "object M: TGadgetModule\n"
              "  OldCreateOrder = False\n"
              "  object Plain: TGadget\n"
              "    Items = <>\n"
              "  end\n"
              "  object Big: TBigGadget\n"
              "    Count = 0\n"
              "    Items = <>\n"
              "  end\n"
              "end\n");
}

TEST_F(FormFile, ModuleEventFailuresGoToTheApplicationHandler)
{
    TDataModule module(nullptr);
    module.OnCreate = [](TObject*) { throw EConvertError("bad start"); };
    EXPECT_THROW(module.AfterConstruction(), EConvertError);

    TObject* handled = nullptr;
    ApplicationHandleException = [&](TObject* sender) { handled = sender; };
    module.AfterConstruction();
    ApplicationHandleException = nullptr;
    EXPECT_EQ(handled, &module);
}

TEST_F(FormFile, NonVisualComponentKeepsItsDesignPosition)
{
    RegisterClass(TComponent::StaticClass());
    TDataModule module(nullptr);
    const std::string text = "object M: TDataModule\n  OldCreateOrder = False\n"
                             "  object Plain: TComponent\n    Left = 24\n    Top = 8\n  end\n"
                             "  object Unplaced: TComponent\n  end\nend\n";
    ReadComponentText(&module, text);
    EXPECT_EQ(module.FindComponent("Plain")->DesignLeft, 24);
    EXPECT_EQ(module.FindComponent("Plain")->DesignTop, 8);
    EXPECT_EQ(WithoutCarriageReturns(WriteComponentText(&module)), text);
    UnRegisterClass(TComponent::StaticClass());
}

TEST_F(FormFile, ModulePositionAcceptsTheOffsetNames)
{
    TDataModule module(nullptr);
    ReadComponentText(&module, "object M: TDataModule\n  HorizontalOffset = 40\n  VerticalOffset = 50\nend\n");
    EXPECT_EQ(module.DesignLeft, 40);
    EXPECT_EQ(module.DesignTop, 50);
    EXPECT_EQ(WithoutCarriageReturns(WriteComponentText(&module)),
              "object M: TDataModule\n  OldCreateOrder = False\n  Left = 40\n  Top = 50\nend\n");
}
