#include "core/idarray.h"
#include "support/kro_printers.h"

#include <gtest/gtest.h>

TEST(IdArray, ValueSemantics)
{
    IdArray a = IdArray::fromIds({4, 1});
    IdArray b = a;
    EXPECT_EQ(b.count(), 2);
    EXPECT_EQ(b.id(0), 4);
    EXPECT_EQ(b.ids(), (std::vector<int>{4, 1}));
    EXPECT_FALSE(b.isAll());
    EXPECT_TRUE(IdArray::all().isAll());
    EXPECT_TRUE(IdArray().isEmpty());
    EXPECT_EQ(IdArray::fromRaw({}), IdArray());
}
