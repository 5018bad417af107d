#include "command/commandhistory.h"
#include <gtest/gtest.h>
TEST(CommandHistory, Placeholder) { CommandHistory h; h.add("a"); EXPECT_EQ(h.size(), 1); }
