#include "core/series/number_text.h"

#include <gtest/gtest.h>
TEST(Placeholder, Runs) { EXPECT_EQ(tavel::FormatNumber(0.25L, 14), ".25"); }
