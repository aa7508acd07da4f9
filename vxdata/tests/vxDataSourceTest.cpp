// The library's data source read from a form file and working as a data source.
#include <memory>

#include <gtest/gtest.h>

#include "classes/ClassRegistry.h"
#include "vxdata/vxDataSource.h"

TEST(vxDataSourceTest, IsRegisteredAndActsAsADataSource)
{
    ASSERT_EQ(GetClass("TvxDataSource"), TvxDataSource::StaticClass());
    std::unique_ptr<TObject> made(CreateObjectByName("TvxDataSource", nullptr));
    auto* source = dynamic_cast<TDataSource*>(made.get());
    ASSERT_NE(source, nullptr);
    EXPECT_TRUE(source->AutoEdit());
    EXPECT_TRUE(source->Enabled());
}
