#include "vxdata/vxDataSource.h"

#include "classes/ClassRegistry.h"

namespace {
const bool registered = (RegisterClasses<TvxDataSource>(), true);
}

TvxDataSource::TvxDataSource(TComponent* owner) : TDataSource(owner) {}
