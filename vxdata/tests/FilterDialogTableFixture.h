// A filter dialog over the library's table on a client file of five clients (ACME, BAKER, CARTER, DELTA, EVANS),
// index 1 Client Code active.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "db/DataSource.h"
#include "engine/bk/BkSession.h"
#include "engine/tests/support/HostClientsSupport.h"
#include "rtl/StringRoutines.h"
#include "rtl/WinApi.h"
#include "tools/mkdemo/DemoRegistry.h"
#include "tools/mkdemo/MachineRegistryOverride.h"
#include "vxdata/Vxfltdlg.h"
#include "vxdata/Vxtable.h"

class FilterDialogTableFixture : public ::testing::Test {
protected:
    using Codes = std::vector<std::string>;

    void SetUp() override
    {
        namespace fs = std::filesystem;
        folder_ = (fs::temp_directory_path() / ("vxfltdlg_" + std::to_string(GetCurrentProcessId()))).string();
        fs::remove_all(folder_);
        {
            THostDataDir dir(folder_);
            MakeClientFile(dir);
        }
        registry_ = std::make_unique<TMachineRegistryOverride>();
        WriteDemoRegistry(folder_);
        table_ = new TvxTable(nullptr);
        table_->SetDatabaseName("vavuz");
        table_->SetTableName(folder_ + "\\yclient.qf;RES:YCLIENT");
        table_->SetIndexName(" 1 - Client Code");
        table_->Open();
        source_ = new TDataSource(nullptr);
        source_->SetDataSet(table_);
        dialog_ = new TvxFilterDialog(nullptr);
        dialog_->SetDataSource(source_);
    }

    void TearDown() override
    {
        dialog_->Free();
        source_->Free();
        table_->Free();
        BkDefaultSession()->SetActive(false);
        registry_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    Codes AllCodes()
    {
        Codes codes;
        for (table_->First(); !table_->Eof(); table_->Next())
            codes.push_back(Trim(table_->FieldByName("Client Code")->AsString()));
        return codes;
    }

    std::string folder_;
    std::unique_ptr<TMachineRegistryOverride> registry_;
    TvxTable* table_ = nullptr;
    TDataSource* source_ = nullptr;
    TvxFilterDialog* dialog_ = nullptr;
};
