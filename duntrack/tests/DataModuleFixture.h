// The tracking program's data module on a fixture data directory.
#pragma once

#include "duntrack/OVWDatModU.h"
#include "hostdata/tests/HostModuleFixture.h"

class DataModuleTest : public HostModuleTest {
protected:
    THostDataModule* CreateModule() override
    {
        AuditTrailUnavailable = false;
        return dm_ = CreateObject<TDM>(nullptr);
    }

    TDM* dm_ = nullptr;
};
