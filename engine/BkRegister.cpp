#include "engine/BkRegister.h"

#include "classes/ClassRegistry.h"
#include "engine/BkDatabase.h"
#include "engine/BkSession.h"
#include "engine/BtrInfoU.h"

void RegisterBkClasses() { RegisterClasses<TbkSession, TbkDatabase, TbkTable, TbkBatchMove, TvxBkTable>(); }
