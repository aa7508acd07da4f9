// A client-name lookup combo over the programs' table on a host client file: the calculated name is searched by
// the library's scan.
#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "db/DataSource.h"
#include "db/StringField.h"
#include "engine/bk/BkSession.h"
#include "engine/bk/BtrInfoU.h"
#include "engine/tests/support/HostClientsSupport.h"
#include "rtl/StringRoutines.h"
#include "rtl/WinApi.h"
#include "tools/mkdemo/DemoRegistry.h"
#include "tools/mkdemo/MachineRegistryOverride.h"
#include "vcl/Forms.h"
#include "vcl/TestHelpers.h"
#include "vxcontrols/vxdblook.h"

namespace {

namespace fs = std::filesystem;

class LookupComboHost : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = (fs::temp_directory_path() / ("lookuphost_" + std::to_string(GetCurrentProcessId()))).string();
        fs::remove_all(folder_);
        {
            THostDataDir dir(folder_);
            MakeClientFile(dir);
        }
        registry_ = std::make_unique<TMachineRegistryOverride>();
        WriteDemoRegistry(folder_);
        clients_ = new TvxBkTable(nullptr);
        clients_->SetDatabaseName("VAVUZ");
        clients_->SetTableName(folder_ + "\\yclient.qf;RES:YCLIENT");
        clients_->SetIndexName("1");
        for (const char* name : {"Client Code", "Client Last Name", "Client First Name"}) {
            auto* field = CreateObject<TStringField>(clients_);
            field->SetFieldName(name);
            field->SetSize(30);
            field->SetDataSet(clients_);
        }
        auto* full = CreateObject<TStringField>(clients_);
        full->SetFieldName("LastCommaFirst");
        full->SetSize(62);
        full->SetFieldKind(fkCalculated);
        full->SetDataSet(clients_);
        clients_->OnCalcFields = [](TDataSet* ds) {
            ds->FieldByName("LastCommaFirst")
                ->SetAsString(Trim(ds->FieldByName("Client Last Name")->AsString()) + ", " +
                              Trim(ds->FieldByName("Client First Name")->AsString()));
        };
        clients_->Open();
        form_ = CreateObject<TForm>(nullptr);
        form_->SetBounds(100, 100, 300, 200);
        combo_ = new TvxDBLookupCombo(form_);
        combo_->SetParent(form_);
        combo_->SetBounds(8, 8, 200, 24);
        combo_->SetLookupTable(clients_);
        combo_->SetLookupField("LastCommaFirst");
        form_->Show();
        combo_->SetFocus();
        PumpMessages();
    }

    void TearDown() override
    {
        delete form_;
        clients_->Free();
        BkDefaultSession()->SetActive(false);
        registry_.reset();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    std::string Code() const { return Trim(clients_->FieldByName("Client Code")->AsString()); }

    std::string folder_;
    std::unique_ptr<TMachineRegistryOverride> registry_;
    TvxBkTable* clients_ = nullptr;
    TForm* form_ = nullptr;
    TvxDBLookupCombo* combo_ = nullptr;
};

TEST_F(LookupComboHost, FindsAClientByTheBeginningOfItsNameWithoutRegardToCase)
{
    combo_->DropDown();
    PumpMessages();
    combo_->SetText("CLARK, ");
    combo_->PerformSearch();
    EXPECT_TRUE(combo_->LastSearchFound());
    EXPECT_EQ(Code(), "EVANS");
    EXPECT_EQ(combo_->DropDownGrid()->DisplayValue().substr(0, 5), "Clark");

    combo_->SetText("nobody");
    combo_->PerformSearch();
    EXPECT_FALSE(combo_->LastSearchFound());
    EXPECT_EQ(Code(), "EVANS") << "the table stays on its record";
    combo_->CloseUp(false);
}

}  // namespace
