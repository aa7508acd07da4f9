// TvxDataSource: the library's data source. It behaves as the framework's data source; controls of the library
// publish their DataSource with this class, and form files name it.
#pragma once

#include "db/DataSource.h"

class TvxDataSource : public TDataSource {
    DUN_CLASS(TvxDataSource, TDataSource)
public:
    explicit TvxDataSource(TComponent* owner);
};
