#include "hostdata/tests/HostModuleFixture.h"

#include <filesystem>

#include "engine/bk/BkSession.h"
#include "rtl/WinApi.h"
#include "tools/mkdemo/DemoRegistry.h"

namespace fs = std::filesystem;

void HostModuleTest::SetUp()
{
    static int counter = 0;
    folder_ = (fs::temp_directory_path() /
               ("dunmodule_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter)))
                  .string();
    fs::remove_all(folder_);
    {
        THostDataDir dir(folder_);
        MakeFiles(dir);
    }
    registry_ = std::make_unique<TMachineRegistryOverride>();
    WriteDemoRegistry(folder_);
    dialogs_ = std::make_unique<TScriptedDialogs>();
    module_ = CreateModule();
    module_->DataDirectory = folder_;
}

void HostModuleTest::TearDown()
{
    module_->Free();
    BkDefaultSession()->SetActive(false);
    dialogs_.reset();
    registry_.reset();
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

std::vector<std::string> HostModuleTest::ShownTexts() const
{
    std::vector<std::string> texts;
    for (const auto& box : dialogs_->Shown) texts.push_back(box.Text);
    return texts;
}
