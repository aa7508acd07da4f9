#include "engine/bk/BkRegister.h"

#include "classes/ClassRegistry.h"
#include "engine/bk/BkDatabase.h"
#include "engine/bk/BkSession.h"
#include "engine/bk/BtrInfoU.h"

void RegisterBkClasses() { RegisterClasses<TbkSession, TbkDatabase, TbkTable, TbkBatchMove, TvxBkTable>(); }
