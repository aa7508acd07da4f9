// The library's query family without a query backend: opening refuses with the engine's error, the record-filter
// event and its options are the table's, posts skip the masks on a QBE, and ~ variables are substituted.
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/bk/BkSession.h"
#include "engine/components/BseMainErr.h"
#include "engine/core/BseError.h"
#include "classes/TypInfo.h"
#include "tools/mkdemo/DemoRegistry.h"
#include "tools/mkdemo/MachineRegistryOverride.h"
#include "vcl/TestHelpers.h"
#include "vxdata/Vxqbe.h"
#include "vxdata/Vxquery.h"
#include "vxdata/vxstorep.h"

namespace {

template <class T>
struct TFreeDataSet {
    void operator()(T* dataSet) const { dataSet->Free(); }
};
template <class T>
using TDataSetPtr = std::unique_ptr<T, TFreeDataSet<T>>;

void ExpectRefusedToOpen(TDataSet* dataSet)
{
    try {
        dataSet->Open();
        FAIL() << dataSet->ClassName();
    } catch (const ETDBEngineError& e) {
        EXPECT_EQ(e.Errors(0).ErrorCode, DBIERR_NOTSUPPORTED) << dataSet->ClassName();
    }
    EXPECT_FALSE(dataSet->Active());
}

TEST(VxQueryFamily, EveryKindRefusesToOpenWithTheEnginesError)
{
    const std::string folder = (std::filesystem::temp_directory_path() / "vxquery_data").string();
    std::filesystem::create_directories(folder);
    TMachineRegistryOverride registry;
    WriteDemoRegistry(folder);
    TDataSetPtr<TvxQuery> query(new TvxQuery(nullptr));
    query->SQL()->Add("select * from clients");
    TDataSetPtr<TvxStoredProc> storedProc(new TvxStoredProc(nullptr));
    storedProc->StoredProcName = "Totals";
    TDataSetPtr<TvxQBE> qbe(new TvxQBE(nullptr));
    qbe->QBE()->Add("Query");
    for (TvxQueryDataSet* dataSet : {static_cast<TvxQueryDataSet*>(query.get()),
                                     static_cast<TvxQueryDataSet*>(storedProc.get()),
                                     static_cast<TvxQueryDataSet*>(qbe.get())}) {
        TScriptedDialogs dialogs;
        dataSet->SetDatabaseName("vavuz");
        EXPECT_EQ(dataSet->OnFilterOptions(), (TvxFilterOptions{ofoEnabled, ofoShowHourGlass}));
        ExpectRefusedToOpen(dataSet);
        EXPECT_TRUE(dialogs.Shown.empty());
    }
    BkDefaultSession()->SetActive(false);
}

TEST(VxQueryFamily, TheFilterEventIsSharedAndWaitsForTheCursor)
{
    TScriptedDialogs dialogs;
    TDataSetPtr<TvxStoredProc> storedProc(new TvxStoredProc(nullptr));
    TvxStoredProc* seen = nullptr;
    storedProc->SetOnFilter([&](TvxStoredProc* dataSet, bool&) { seen = dataSet; });
    EXPECT_TRUE(storedProc->RecordFilter().Assigned());
    EXPECT_EQ(storedProc->RecordFilter().Handle(), nullptr) << "installed when opened";
    EXPECT_TRUE(dialogs.Shown.empty()) << "no warning for a closed dataset";
    storedProc->SetOnFilterOptions({ofoEnabled, ofoCancelOnEscape});
    EXPECT_EQ(GetOrdProp(storedProc.get(), "OnFilterOptions"), vxofoEnabled | vxofoCancelOnEscape);
    vxSetOnFilterEnabled(storedProc.get(), false);
    EXPECT_EQ(storedProc->OnFilterOptions(), (TvxFilterOptions{ofoCancelOnEscape}));
    storedProc->SetOnFilter(nullptr);
    EXPECT_FALSE(storedProc->RecordFilter().Assigned());
}

TEST(VxQueryFamily, QBEVariablesAreSubstituted)
{
    TDataSetPtr<TvxQBE> qbe(new TvxQBE(nullptr));
    EXPECT_TRUE(qbe->AuxiliaryTables);
    EXPECT_TRUE(qbe->BlankAsZero);
    const std::string longValue(300, 'x');
    qbe->SetVariable("Cust", "ACME");
    qbe->SetVariable("cust", "BAKER");  // the later one wins
    qbe->SetVariable("Long", longValue);
    qbe->QBE()->Add("Query");
    qbe->QBE()->Add("clients.db | Code | Name");
    qbe->QBE()->Add("           | ~CUST | ~Unknown_1# rest");
    qbe->QBE()->Add("           | ~Long | ~Cust tail " + std::string(300, 'y'));
    EXPECT_EQ(qbe->SubstitutedText(), "Query\r\nclients.db | Code | Name\r\n           | BAKER |   rest\r\n"
                                      "           | " + longValue.substr(0, 255) + " | BAKER tail " +
                                          std::string(300, 'y'));
    BkDefaultSession()->SetActive(false);
}

}  // namespace
