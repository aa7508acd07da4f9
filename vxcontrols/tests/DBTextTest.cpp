// The data-aware label: it shows its field's text as the dataset moves and changes.
#include <gtest/gtest.h>

#include <memory>

#include "db/DataSource.h"
#include "db/MemDataSet.h"
#include "vcl/Forms.h"
#include "vcl/TestHelpers.h"
#include "vxcontrols/DBText.h"

namespace {

TEST(DBText, FollowsItsFieldThroughTheDataSource)
{
    TScriptedDialogs dialogs;
    std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
    form->SetBounds(100, 100, 240, 80);
    auto* data = new TMemDataSet(form.get());
    data->FieldDefs()->Add("CCA", ftString, 3);
    data->FieldDefs()->Add("Phone 1", ftString, 14);
    data->Open();
    data->AppendRecord({Variant("ABC"), Variant("(555) 123-4567")});
    data->AppendRecord({Variant("XYZ"), Variant("(555) 987-6543")});
    auto* source = new TDataSource(form.get());
    auto* phone = new TDBText(form.get());
    phone->SetParent(form.get());
    phone->SetBounds(8, 8, 200, 17);
    EXPECT_FALSE(phone->AutoSize());
    phone->SetDataField("Phone 1");
    EXPECT_EQ(phone->Caption(), "");
    phone->SetDataSource(source);
    source->SetDataSet(data);
    data->First();
    EXPECT_EQ(phone->Field(), data->FieldByName("Phone 1"));
    EXPECT_EQ(phone->Caption(), "(555) 123-4567");
    form->Show();
    PumpMessages();
    EXPECT_TRUE(SaveWindowToPng(form->Handle(), "dbtext.png"));

    data->Next();
    EXPECT_EQ(phone->Caption(), "(555) 987-6543");
    data->Edit();
    data->FieldByName("Phone 1")->SetAsString("none");
    data->Post();
    EXPECT_EQ(phone->Caption(), "none");
    phone->SetDataField("CCA");
    EXPECT_EQ(phone->Caption(), "XYZ");
    data->Close();
    EXPECT_EQ(phone->Caption(), "");
    // The source freed: the label lets go of it.
    delete source;
    EXPECT_EQ(phone->DataSource(), nullptr);
    EXPECT_TRUE(dialogs.Shown.empty());
}

}  // namespace
