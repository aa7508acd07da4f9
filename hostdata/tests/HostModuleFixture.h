// A data module of host tables on a fixture data directory: host files made by the test, alias VAVUZ pointed at
// them in a scratch machine registry, and scripted message boxes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "hostdata/HostDataModule.h"
#include "hostdata/tests/HostRows.h"
#include "tools/mkdemo/HostDataDir.h"
#include "tools/mkdemo/MachineRegistryOverride.h"
#include "vcl/TestHelpers.h"

class HostModuleTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Fills the data directory before the module is created.
    virtual void MakeFiles(THostDataDir& dir) {}
    // The program's module.
    virtual THostDataModule* CreateModule() = 0;

    std::string Path(const std::string& file) const { return folder_ + "\\" + file; }
    // The texts of the message boxes shown so far.
    std::vector<std::string> ShownTexts() const;

    std::string folder_;
    std::unique_ptr<TMachineRegistryOverride> registry_;
    std::unique_ptr<TScriptedDialogs> dialogs_;
    THostDataModule* module_ = nullptr;
};
