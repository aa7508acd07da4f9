#include <gtest/gtest.h>

#include "db/DBErrors.h"
#include "db/IndexDefs.h"
#include "db/MemDataSet.h"
#include "db/Params.h"

namespace {

TEST(Params, ValuesByNameAndTheirTypes)
{
    TParams params;
    params.CreateParam(ftString, "Client", ptInput);
    TParam* amount = params.CreateParam(ftUnknown, "Amount", ptInput);
    EXPECT_FALSE(amount->Bound());
    amount->SetValue(Variant(2.5));
    EXPECT_EQ(amount->DataType(), ftFloat);
    EXPECT_TRUE(amount->Bound());
    params.ParamByName("client")->SetAsString("ACME");
    EXPECT_EQ(params.FindParam("CLIENT")->AsString(), "ACME");
    EXPECT_EQ(params.FindParam("Nope"), nullptr);
    try {
        params.ParamByName("Nope");
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Parameter 'Nope' not found");
    }
    amount->Clear();
    EXPECT_TRUE(amount->IsNull());
    EXPECT_EQ(amount->AsInteger(), 0);

    TParams other;
    other.CreateParam(ftString, "Client", ptInput)->SetAsString("Other");
    other.CreateParam(ftInteger, "Unrelated", ptInput)->SetAsInteger(1);
    params.AssignValues(&other);
    EXPECT_EQ(params.ParamByName("Client")->AsString(), "Other");
    EXPECT_EQ(params.Count(), 2);
}

TEST(BlobStreams, WriteBackOnFlushAndReadOnlyFieldsRefuse)
{
    TMemDataSet* data = new TMemDataSet(nullptr);
    data->FieldDefs()->Add("Notes", ftMemo);
    data->Open();
    data->Append();
    TField* notes = data->FieldByName("Notes");
    {
        std::unique_ptr<TStream> stream(data->CreateBlobStream(notes, bmWrite));
        stream->WriteBuffer("abc", 3);
    }
    EXPECT_EQ(notes->AsString(), "abc");
    {
        std::unique_ptr<TStream> stream(data->CreateBlobStream(notes, bmRead));
        EXPECT_EQ(stream->Size(), 3);
        EXPECT_THROW(stream->WriteBuffer("x", 1), EStreamError);
    }
    data->Post();
    EXPECT_EQ(notes->AsString(), "abc");
    data->Edit();
    notes->SetAsString("changed");
    data->Cancel();
    EXPECT_EQ(notes->AsString(), "abc");
    data->Edit();
    notes->SetReadOnly(true);
    EXPECT_THROW(notes->SetAsString("no"), EDatabaseError);
    data->Cancel();
    data->Free();
}

}  // namespace

namespace {

TEST(IndexDefs, FindByNameAndByLeadingFields)
{
    TIndexDefs defs(nullptr);
    defs.Add("0", "Client;Case", {ixPrimary, ixUnique});
    defs.Add("1", "Name", {ixCaseInsensitive});
    defs.Add("2", "Name;Client", {});
    EXPECT_EQ(defs.Find("1")->Fields, "Name");
    try {
        defs.Find("9");
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Index '9' not found");
    }
    EXPECT_EQ(defs.FindIndexForFields("client")->Name, "0");
    EXPECT_EQ(defs.FindIndexForFields("Client;Case")->Name, "0");
    EXPECT_EQ(defs.GetIndexForFields("Name", false)->Name, "2");
    EXPECT_EQ(defs.GetIndexForFields("Name", true)->Name, "1");
    EXPECT_EQ(defs.GetIndexForFields("Case", false), nullptr);
    try {
        defs.FindIndexForFields("Cli");
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "No index for fields 'Cli'");
    }
    TIndexDefs copy(nullptr);
    copy.Assign(&defs);
    ASSERT_EQ(copy.Count(), 3);
    EXPECT_TRUE(copy.Items(0)->Options.Contains(ixUnique));
}

}  // namespace
