// The cursor dataset on host files of the record manager: Locate by the active key and by a scan, Lookup, and
// expression and record filters evaluated on the Btrieve cursor.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/btrieve/BtrSess.h"
#include "engine/components/BseBDEDataset.h"
#include "engine/core/BseEng.h"
#include "engine/tests/support/HostClientsSupport.h"
#include "rtl/StringRoutines.h"
#include "rtl/WinApi.h"

namespace {

namespace fs = std::filesystem;

struct TFreeObject {
    void operator()(TObject* object) const { object->Free(); }
};

// The client file on one key, opened through the facade.
class TClientDataset : public TbqBDEDataset {
    DUN_CLASS(TClientDataset, TbqBDEDataset)
public:
    TClientDataset(TVirtEng* engine, TBaseDatabase* database, std::string tableName, std::string indexName)
        : TbqBDEDataset(nullptr), engine_(engine), database_(database), tableName_(std::move(tableName)),
          indexName_(std::move(indexName))
    {
    }
    TVirtEng* Engine() const override { return engine_; }

    std::string Code() const { return Trim(FieldByName("Client Code")->AsString()); }
    std::vector<std::string> Codes()
    {
        std::vector<std::string> codes;
        for (First(); !Eof(); Next()) codes.push_back(Code());
        return codes;
    }

protected:
    TBaseTable* CreateHandle() override
    {
        TBaseTable* cursor = nullptr;
        Check(engine_->OpenTable(database_, tableName_, indexName_, DefaultIndexId, 0, 0, cursor));
        return cursor;
    }

private:
    TVirtEng* engine_;
    TBaseDatabase* database_;
    std::string tableName_;
    std::string indexName_;
};

class HostCursorDataset : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = (fs::temp_directory_path() / ("bdehost_" + std::to_string(GetCurrentProcessId()))).string();
        fs::remove_all(folder_);
        MakeClients();
        engine_.reset(CreateObject<TVirtEng>(&MakeSession<TBtrSession>, nullptr, nullptr));
        ASSERT_EQ(engine_->OpenDatabase(folder_.c_str(), nullptr, 0, 0, nullptr, 0, nullptr, nullptr, database_), 0);
        clients_.reset(new TClientDataset(engine_.get(), database_, "yclient.qf;RES:YCLIENT", "1"));
        clients_->Open();
    }
    void TearDown() override
    {
        clients_.reset();
        engine_.reset();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    void MakeClients()
    {
        THostDataDir dir(folder_);
        MakeClientFile(dir);
    }

    std::string folder_;
    std::unique_ptr<TVirtEng, TFreeObject> engine_;
    TBaseDatabase* database_ = nullptr;
    std::unique_ptr<TClientDataset, TFreeObject> clients_;
};

}  // namespace

TEST_F(HostCursorDataset, LocateByTheActiveKeyAndByScan)
{
    struct TCase {
        std::string Field;
        std::string Value;
        TLocateOptions Options;
        std::string Found;  // empty: not found, the position stays on BAKER
    } cases[] = {
        {"Client Code", "DELTA", {}, "DELTA"},
        {"Client Code", "DELTB", {}, ""},
        {"Client Code", "EV", {loPartialKey}, "EVANS"},
        {"Client Last Name", "Clark", {}, "EVANS"},
        {"Client Last Name", "young", {loCaseInsensitive}, "BAKER"},
        {"Client Last Name", "Nobody", {}, ""},
    };
    for (const TCase& c : cases) {
        clients_->First();
        clients_->Next();
        EXPECT_EQ(clients_->Locate(c.Field, Variant(c.Value), c.Options), !c.Found.empty()) << c.Value;
        EXPECT_EQ(clients_->Code(), c.Found.empty() ? "BAKER" : c.Found) << c.Value;
    }
}

TEST_F(HostCursorDataset, LookupReadsAnotherRecordWithoutMoving)
{
    clients_->First();
    EXPECT_EQ(Trim(clients_->Lookup("Client Last Name", Variant("Brown"), "Client Code").ToString()), "DELTA");
    EXPECT_EQ(clients_->Code(), "ACME");
}

TEST_F(HostCursorDataset, ExpressionAndRecordFiltersCombine)
{
    clients_->SetFilter("[Unassigned] < '8'");
    clients_->SetFiltered(true);
    EXPECT_EQ(clients_->Codes(), (std::vector<std::string>{"ACME", "CARTER", "EVANS"}));
    clients_->SetOnFilterRecord([](TDataSet* data, bool& accept) {
        accept = Trim(data->FieldByName("Client Code")->AsString()) != "CARTER";
    });
    EXPECT_EQ(clients_->Codes(), (std::vector<std::string>{"ACME", "EVANS"}));
    clients_->SetFiltered(false);
    EXPECT_EQ(clients_->Codes().size(), 5u);
}

TEST_F(HostCursorDataset, ARecordLockedByAnotherSessionRaisesTheLockStatusFirst)
{
    TBaseSession* mainSession = nullptr;
    TBaseSession* otherSession = nullptr;
    TBaseDatabase* otherDatabase = nullptr;
    ASSERT_EQ(engine_->GetCurrSession(mainSession), 0);
    ASSERT_EQ(engine_->StartSession("", otherSession, ""), 0);
    ASSERT_EQ(engine_->SetCurrSession(otherSession), 0);
    ASSERT_EQ(engine_->OpenDatabase(folder_.c_str(), nullptr, 0, 0, nullptr, 0, nullptr, nullptr, otherDatabase), 0);
    TClientDataset other(engine_.get(), otherDatabase, "yclient.qf;RES:YCLIENT", "1");
    other.Open();
    other.Edit();
    ASSERT_EQ(engine_->SetCurrSession(mainSession), 0);
    clients_->First();
    try {
        clients_->Edit();
        FAIL() << "the locked record was edited";
    } catch (const ETDBEngineError& e) {
        EXPECT_EQ(e.Message().substr(0, 17), "Btrieve Status 84") << e.Message();
    }
    other.Cancel();
    other.Close();
}
