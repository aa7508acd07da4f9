#include "classes/TypInfo.h"

#include <gtest/gtest.h>

#include "classes/ClassRegistry.h"
#include "classes/tests/Gadgets.h"

namespace {

template <class F>
std::string ErrorOf(F action)
{
    try {
        action();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "no error";
}

}  // namespace

TEST(TypInfo, OrdinalKindsByName)
{
    TGadget gadget(nullptr);
    SetOrdProp(&gadget, "count", 42);
    SetOrdProp(&gadget, "Letter", 'Z');
    SetEnumProp(&gadget, "Shape", "STTRIANGLE");
    SetSetProp(&gadget, "Shapes", "[stCircle, stTriangle]");
    SetInt64Prop(&gadget, "Big", Int64(1) << 40);
    SetOrdProp(&gadget, "Enabled", 0);

    EXPECT_EQ(gadget.Count, 42);
    EXPECT_EQ(gadget.Letter, 'Z');
    EXPECT_EQ(gadget.Shape, stTriangle);
    EXPECT_EQ(gadget.Shapes, (TShapes{stCircle, stTriangle}));
    EXPECT_EQ(gadget.Big, Int64(1) << 40);
    EXPECT_FALSE(gadget.Enabled);
    EXPECT_EQ(GetOrdProp(&gadget, "Shapes"), 5);
    EXPECT_EQ(GetSetProp(&gadget, "Shapes", true), "[stCircle,stTriangle]");
    EXPECT_EQ(GetEnumProp(&gadget, "Enabled"), "False");
    EXPECT_EQ(GetEnumProp(&gadget, "Shape"), "stTriangle");

    PPropInfo shape = GetPropInfo(&gadget, "Shape");
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->PropType->Kind, tkEnumeration);
    EXPECT_EQ(GetEnumName(shape->PropType, 1), "stSquare");
    EXPECT_EQ(GetEnumValue(shape->PropType, "stsquare"), 1);
    EXPECT_EQ(GetEnumValue(shape->PropType, "stHexagon"), -1);
}

TEST(TypInfo, KindsOfEveryPropertyType)
{
    TGadget gadget(nullptr);
    const std::pair<const char*, TTypeKind> expected[] = {
        {"Count", tkInteger}, {"Letter", tkChar},     {"Shape", tkEnumeration}, {"Shapes", tkSet},
        {"Ratio", tkFloat},   {"Price", tkFloat},     {"Big", tkInt64},         {"Caption", tkLString},
        {"Lines", tkClass},   {"OnChange", tkMethod}, {"Enabled", tkEnumeration}, {"Value", tkVariant}};
    for (const auto& [name, kind] : expected) EXPECT_EQ(PropType(&gadget, name), kind) << name;
    EXPECT_EQ(GetPropInfo(&gadget, "Price")->PropType->FloatType, ftCurr);
    EXPECT_EQ(GetPropInfo(&gadget, "Lines")->PropType->ClassType, TStrings::StaticClass());
}

TEST(TypInfo, StringFloatAndObjectProperties)
{
    TGadget gadget(nullptr);
    TGadget other(nullptr);
    SetStrProp(&gadget, "Caption", "Fees");
    SetFloatProp(&gadget, "Ratio", 2.5);
    SetFloatProp(&gadget, "Price", 12.3456);
    SetObjectProp(&gadget, "Buddy", &other);
    SetVariantProp(&gadget, "Value", Variant(Int64(5)));

    EXPECT_EQ(gadget.Caption, "Fees");
    EXPECT_EQ(GetFloatProp(&gadget, "Ratio"), 2.5);
    EXPECT_EQ(gadget.Price, Currency::FromScaled(123456));
    EXPECT_EQ(GetObjectProp(&gadget, "Buddy"), &other);
    EXPECT_EQ(GetObjectProp(&gadget, "Lines"), gadget.Lines());
    EXPECT_EQ(VarType(GetVariantProp(&gadget, "Value")), varInt64);
    EXPECT_EQ(GetVariantProp(&gadget, "Value").ToInteger(), 5);

    TStringList wrongClass;
    EXPECT_THROW(SetObjectProp(&gadget, "Buddy", &wrongClass), EPropertyError);
    EXPECT_EQ(gadget.Buddy(), &other);
}

TEST(TypInfo, MissingAndMisusedProperties)
{
    TGadget gadget(nullptr);
    EXPECT_FALSE(IsPublishedProp(&gadget, "DataSource"));
    EXPECT_TRUE(IsPublishedProp(&gadget, "caption"));
    EXPECT_EQ(GetPropInfo(&gadget, "DataSource"), nullptr);
    EXPECT_EQ(GetPropInfo(static_cast<TObject*>(nullptr), "Caption"), nullptr);
    EXPECT_EQ(ErrorOf([&] { GetStrProp(&gadget, "DataSource"); }), "Property DataSource does not exist");
    EXPECT_EQ(ErrorOf([&] { SetEnumProp(&gadget, "Shape", "stHexagon"); }), "Invalid enumeration name: stHexagon");
    EXPECT_THROW(GetStrProp(&gadget, "Count"), EPropertyError);
    EXPECT_THROW(SetSetProp(&gadget, "Shapes", "[stOval]"), EPropertyError);
}

TEST(TypInfo, PropListHasAncestorsFirstAndRepublishedDefaults)
{
    TPropList list = GetPropList(TBigGadget::StaticClass());
    ASSERT_GE(list.size(), 4u);
    EXPECT_EQ(list[0]->Name, "Name");
    EXPECT_EQ(list[1]->Name, "Tag");
    EXPECT_EQ(list[2]->Name, "Count");
    EXPECT_EQ(list[2]->Default, 10);
    EXPECT_EQ(GetPropInfo(TGadget::StaticClass(), "Count")->Default, 0);
    EXPECT_EQ(list.size(), GetPropList(TGadget::StaticClass()).size());
}

TEST(TypInfo, EventsBindToPublishedMethodsByName)
{
    TGadgetModule module(nullptr);
    TGadget gadget(&module);
    gadget.SetName("Gadget1");

    void* code = MethodAddress(&module, "gadgetchange");
    ASSERT_NE(code, nullptr);
    EXPECT_EQ(MethodName(&module, code), "GadgetChange");
    EXPECT_EQ(MethodAddress(&module, "NoSuchMethod"), nullptr);
    EXPECT_EQ(MethodName(&module, nullptr), "");

    FindMethod(&module, "GadgetChange").As<TNotifyEvent>()(&gadget);
    EXPECT_EQ(module.Log, "change Gadget1;");
    module.Log.clear();

    SetMethodProp(&gadget, "OnChange", FindMethod(&module, "GadgetChange"));
    ASSERT_TRUE(gadget.OnChange);
    gadget.OnChange(&gadget);
    EXPECT_EQ(module.Log, "change Gadget1;");

    TMethod value = GetMethodProp(&gadget, "OnChange");
    EXPECT_EQ(value.Code, code);
    EXPECT_EQ(value.Data, &module);
    EXPECT_TRUE(value.Assigned());

    SetMethodProp(&gadget, "OnValidate", FindMethod(&module, "GadgetValidate"));
    bool accept = true;
    GetMethodProp(&gadget, "OnValidate").As<TValidateEvent>()(&gadget, accept);
    EXPECT_FALSE(accept);

    // A handler of another signature is refused.
    EXPECT_THROW(SetMethodProp(&gadget, "OnChange", FindMethod(&module, "GadgetValidate")), EPropertyError);
    EXPECT_THROW(GetMethodProp(&gadget, "OnChange").As<TValidateEvent>(), EInvalidCast);

    SetMethodProp(&gadget, "OnChange", TMethod{});
    EXPECT_FALSE(gadget.OnChange);
    EXPECT_FALSE(GetMethodProp(&gadget, "OnChange").Assigned());
}

TEST(TypInfo, EventValuesOfPlainHandlersCopyAcrossObjects)
{
    TGadget source(nullptr);
    TGadget target(nullptr);
    int calls = 0;
    source.OnChange = [&](TObject*) { ++calls; };
    TMethod value = GetMethodProp(&source, "OnChange");
    EXPECT_EQ(value.Code, nullptr);
    EXPECT_TRUE(value.Assigned());
    SetMethodProp(&target, "OnChange", value);
    target.OnChange(&target);
    EXPECT_EQ(calls, 1);
}

TEST(ClassRegistry, FindCreateAndAncestryByName)
{
    RegisterClasses<TGadget, TBigGadget>();
    RegisterClass(TGadget::StaticClass());  // again: ignored
    EXPECT_EQ(GetClass("tgadget"), TGadget::StaticClass());
    EXPECT_EQ(GetClass("TUnknown"), nullptr);
    EXPECT_EQ(ErrorOf([] { FindClass("TUnknown"); }), "Class TUnknown not found");
    EXPECT_THROW(FindClass("TUnknown"), EClassNotFound);

    TComponent owner(nullptr);
    TObject* made = CreateObjectByName("TBigGadget", &owner);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->ClassType(), TBigGadget::StaticClass());
    EXPECT_EQ(static_cast<TComponent*>(made)->Owner(), &owner);
    EXPECT_EQ(static_cast<TGadget*>(made)->Count, 10);
    EXPECT_TRUE(made->InheritsFrom("TGadget"));
    EXPECT_TRUE(made->InheritsFrom("TComponent"));
    EXPECT_FALSE(made->InheritsFrom("TDataModule"));

    RegisterClass(TStrings::StaticClass());
    EXPECT_THROW(CreateObjectByName("TStrings"), EInvalidOperation);  // abstract
    UnRegisterClass(TStrings::StaticClass());
    EXPECT_EQ(GetClass("TStrings"), nullptr);
}

TEST(ClassRegistry, AliasNamesAndConflicts)
{
    RegisterClassAlias(TGadget::StaticClass(), "TWidget");
    EXPECT_EQ(FindClass("TWidget"), TGadget::StaticClass());
    EXPECT_EQ(ErrorOf([] { RegisterClassAlias(TBigGadget::StaticClass(), "TWidget"); }),
              "A class named TWidget already exists");
}

namespace {

// Two properties on one pair of indexed accessors, and one without a setter.
class TSpan : public TPersistent {
    DUN_CLASS(TSpan, TPersistent)
public:
    Integer Edge[2] = {0, 0};
    static void Publish(TPublisher<TSpan>& p)
    {
        p.Property<Integer>("Low", [](TSpan* s) { return s->Edge[0]; }, [](TSpan* s, Integer v) { s->Edge[0] = v; });
        p.Property<Integer>("High", [](TSpan* s) { return s->Edge[1]; }, [](TSpan* s, Integer v) { s->Edge[1] = v; });
        p.Property<Integer>("Length", [](TSpan* s) { return s->Edge[1] - s->Edge[0]; });
    }
};

}  // namespace

TEST(TypInfo, PropertiesThroughFunctions)
{
    TSpan span;
    SetOrdProp(&span, "Low", 3);
    SetOrdProp(&span, "High", 10);
    EXPECT_EQ(span.Edge[0], 3);
    EXPECT_EQ(GetOrdProp(&span, "Length"), 7);
    EXPECT_FALSE(GetPropInfo(&span, "Length")->Writable);
    EXPECT_EQ(ErrorOf([&] { SetOrdProp(&span, "Length", 1); }), "Property Length is read-only");
}
