// TTable: the platform's table component. Our system has no database engine of the platform: a table is the
// dataset engine's Btrieve table on the default session "Btrieve", reaching its database by DatabaseName.
#pragma once

#include "engine/bk/BkTable.h"

class TTable : public TbkTable {
    DUN_CLASS(TTable, TbkTable)
public:
    explicit TTable(TComponent* owner) : TbkTable(owner) {}
};
