// TTable: the platform's table component. Our system has no database engine of the platform: a table is the
// dataset engine's Btrieve table on the default session "Btrieve", reaching its database by DatabaseName.
#pragma once

#include "classes/ClassRegistry.h"
#include "engine/bk/BkTable.h"

class TTable : public TbkTable {
    DUN_CLASS(TTable, TbkTable)
public:
    explicit TTable(TComponent* owner) : TbkTable(owner) {}
};

// Every program that uses TTable registers it for form files, and it answers to the names of the platform's
// engine dataset classes, whose code paths the library chooses by class name. The engine's own datasets answer
// to neither.
inline const bool TTableRegistered = [] {
    RegisterClasses<TTable>();
    TTable::StaticClass()->AddAnswerName("TDBDataSet");
    TTable::StaticClass()->AddAnswerName("TBDEDataSet");
    return true;
}();
