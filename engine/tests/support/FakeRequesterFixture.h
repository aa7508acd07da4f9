// Fixtures over the fake requester DLL (fakebtrv.dll beside the test program).
#pragma once

#include <gtest/gtest.h>

#include "engine/btrieve/BtrLoad.h"
#include "engine/tests/support/RequesterScript.h"
#include "rtl/WinApi.h"

// The fake DLL is loaded and scripted, the binding is not started.
class FakeDllTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        module_ = LoadLibraryA("fakebtrv.dll");
        ASSERT_NE(module_, nullptr);
        Script().Install(module_);
    }
    void TearDown() override
    {
        while (IsBtrieveRequesterLoaded()) StopBtrieveRequester();
        if (module_) FreeLibrary(module_);
    }
    static RequesterScript& Script() { return RequesterScript::Instance(); }

private:
    HMODULE module_ = nullptr;
};

// The binding is started on the fake DLL.
class FakeRequesterTest : public FakeDllTest {
protected:
    void SetUp() override
    {
        FakeDllTest::SetUp();
        ASSERT_EQ(StartBtrieveRequester("", "fakebtrv.dll"), 0);
        Script().Reset();
    }
};
