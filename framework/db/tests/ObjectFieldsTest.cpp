#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "db/BinaryFields.h"
#include "db/DBErrors.h"
#include "db/MemDataSet.h"
#include "db/ObjectFields.h"

namespace {

std::vector<std::string> NamesOf(TFields* fields)
{
    std::vector<std::string> names;
    for (Integer i = 0; i < fields->Count(); ++i) names.push_back(fields->Fields(i)->FullName());
    return names;
}

// Id, Address (an object of Street and Zip), Phones (an array of two strings), Name.
class ObjectFieldsTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        data = new TMemDataSet(nullptr);
        data->SetObjectView(GetParam());
        TFieldDefs* defs = data->FieldDefs();
        defs->Add("Id", ftInteger);
        TFieldDef* address = defs->Add("Address", ftADT);
        address->ChildDefs()->Add("Street", ftString, 20);
        address->ChildDefs()->Add("Zip", ftInteger);
        TFieldDef* phones = defs->Add("Phones", ftArray, 2);
        phones->ChildDefs()->Add("Phones[0]", ftString, 10);
        defs->Add("Name", ftString, 10);
        data->Open();
    }
    void TearDown() override { data->Free(); }

    TMemDataSet* data = nullptr;
};

TEST_P(ObjectFieldsTest, ChildrenAreListedNamedAndHoldTheirOwnValues)
{
    const bool objectView = GetParam();
    const std::vector<std::string> all = {"Id",        "Address",   "Address.Street", "Address.Zip", "Phones",
                                          "Phones[0]", "Phones[1]", "Name"};
    EXPECT_EQ(NamesOf(data->FieldList()), all);
    if (objectView)
        EXPECT_EQ(NamesOf(data->Fields()), (std::vector<std::string>{"Id", "Address", "Phones", "Name"}));
    else
        EXPECT_EQ(NamesOf(data->Fields()), all);

    auto* address = dynamic_cast<TADTField*>(data->FieldByName("Address"));
    auto* phones = dynamic_cast<TArrayField*>(data->FieldByName("phones"));
    ASSERT_TRUE(address && phones);
    ASSERT_EQ(address->FieldCount(), 2);
    TField* zip = data->FieldByName("address.zip");
    EXPECT_EQ(zip, address->Fields()->Fields(1));
    EXPECT_EQ(zip->FieldName(), "Zip");
    EXPECT_EQ(zip->ParentField(), address);
    EXPECT_EQ(phones->Fields()->Fields(1)->FieldName(), "Phones[1]");
    // A child's own name finds it only where it is listed with the top-level fields.
    EXPECT_EQ(data->FindField("Zip") == zip, !objectView);
    EXPECT_THROW(data->FieldByName("Phones[2]"), EDatabaseError);

    data->Append();
    data->FieldByName("Id")->SetAsInteger(7);
    data->FieldByName("Address.Street")->SetAsString("Main St");
    address->SetFieldValues(1, Variant(1234));
    data->FieldByName("Phones[0]")->SetAsString("555-1");
    phones->Fields()->Fields(1)->SetAsString("555-2");
    data->FieldByName("Name")->SetAsString("Ann");
    data->Post();
    data->Append();
    data->FieldByName("Id")->SetAsInteger(8);
    data->Post();

    data->First();
    EXPECT_EQ(address->FieldValues(0).ToString(), "Main St");
    EXPECT_EQ(zip->AsInteger(), 1234);
    EXPECT_EQ(data->FieldByName("Phones[1]")->AsString(), "555-2");
    EXPECT_EQ(data->FieldByName("Phones[0]")->AsString(), "555-1");
    EXPECT_EQ(data->FieldByName("Name")->AsString(), "Ann");
    const Variant value = address->Value();
    EXPECT_EQ(value[0].ToString(), "Main St");
    EXPECT_EQ(value[1].ToInteger(), 1234);
    EXPECT_EQ(address->DisplayText(), "(ADT)");
    EXPECT_EQ(phones->DisplayText(), "(Array)");
    EXPECT_FALSE(address->IsNull());
    data->Next();
    EXPECT_TRUE(address->IsNull());
    EXPECT_TRUE(VarIsNull(phones->Value()));

    // Reopening makes the same fields again, once.
    data->Close();
    data->Open();
    EXPECT_EQ(NamesOf(data->FieldList()), all);
    EXPECT_EQ(data->FieldByName("Address.Zip")->AsInteger(), 1234);
}

TEST_P(ObjectFieldsTest, ARequiredChildMustHaveAValueAtPost)
{
    TField* street = data->FieldByName("Address.Street");
    street->SetRequired(true);
    data->Append();
    data->FieldByName("Id")->SetAsInteger(1);
    try {
        data->Post();
        ADD_FAILURE() << "posted without the required child";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Field 'Street' must have a value");
    }
    EXPECT_EQ(data->State(), dsInsert);
    street->SetAsString("Main St");
    data->Post();
    EXPECT_EQ(data->RecordCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(ObjectView, ObjectFieldsTest, ::testing::Bool());

TEST(ObjectFields, ElementsOfAnArrayOfObjectsAndUnnamedObjects)
{
    std::unique_ptr<TMemDataSet> data(new TMemDataSet(nullptr));
    TFieldDefs* defs = data->FieldDefs();
    TFieldDef* points = defs->Add("Points", ftArray, 2);
    TFieldDef* point = points->ChildDefs()->Add("Points[0]", ftADT);
    point->ChildDefs()->Add("X", ftInteger);
    point->ChildDefs()->Add("Y", ftInteger);
    TFieldDef* extra = defs->Add("Extra", ftADT);
    extra->Attributes.Include(faUnNamed);
    extra->ChildDefs()->Add("Note", ftString, 10);
    defs->Add("Last", ftInteger);
    data->Open();

    EXPECT_EQ(NamesOf(data->FieldList()),
              (std::vector<std::string>{"Points", "Points[0]", "Points[0].X", "Points[0].Y", "Points[1]", "Points[1].X",
                                        "Points[1].Y", "Extra", "Note", "Last"}));
    EXPECT_TRUE(dynamic_cast<TObjectField*>(data->FieldByName("Extra"))->UnNamed());
    data->Append();
    const std::vector<std::string> valued = {"Points[0].X", "Points[0].Y", "Points[1].X", "Points[1].Y", "Last"};
    for (size_t i = 0; i < valued.size(); ++i) data->FieldByName(valued[i])->SetAsInteger(Integer(i + 1));
    data->FieldByName("Note")->SetAsString("n");
    data->Post();
    for (size_t i = 0; i < valued.size(); ++i) EXPECT_EQ(data->FieldByName(valued[i])->AsInteger(), Integer(i + 1));
    EXPECT_EQ(data->FieldByName("Note")->AsString(), "n");
    data->Close();
}

TEST(ObjectFields, DataTypesMakeTheirFieldClassesAndNestedDataSetsLink)
{
    const struct {
        TFieldType type;
        TClass fieldClass;
    } cases[] = {
        {ftADT, TADTField::StaticClass()},
        {ftArray, TArrayField::StaticClass()},
        {ftReference, TReferenceField::StaticClass()},
        {ftDataSet, TDataSetField::StaticClass()},
    };
    for (const auto& c : cases) EXPECT_EQ(DefaultFieldClass(c.type), c.fieldClass) << FieldTypeName(c.type);

    std::unique_ptr<TMemDataSet> data(new TMemDataSet(nullptr));
    data->FieldDefs()->Add("Orders", ftDataSet);
    data->FieldDefs()->Add("Owner", ftReference, 8);
    data->FieldDefs()->Add("Notes", ftFmtMemo);
    data->Open();
    auto* orders = dynamic_cast<TDataSetField*>(data->FieldByName("Orders"));
    auto* owner = dynamic_cast<TReferenceField*>(data->FieldByName("Owner"));
    ASSERT_TRUE(orders && owner);
    EXPECT_EQ(owner->DataSize(), 8);
    EXPECT_EQ(data->FieldByName("Notes")->DataType(), ftFmtMemo);
    EXPECT_EQ(orders->NestedDataSet(), nullptr);

    auto* nested = new TMemDataSet(nullptr);
    nested->SetDataSetField(orders);
    EXPECT_EQ(orders->NestedDataSet(), nested);
    EXPECT_EQ(nested->DataSetField(), orders);
    nested->Free();
    EXPECT_EQ(orders->NestedDataSet(), nullptr);

    nested = new TMemDataSet(nullptr);
    nested->SetDataSetField(orders);
    data->Close();  // frees the default fields
    EXPECT_EQ(nested->DataSetField(), nullptr);
    nested->Free();
}

}  // namespace
