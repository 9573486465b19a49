#include "core/scale/zoom.h"

#include <gtest/gtest.h>

namespace tavel {
namespace {

// A picked range becomes limits on a step of 1, 2 or 5 times a power of ten; ends within a
// quarter step snap; a fixed division count (the right axis) is kept.
TEST(NiceZoomRangeTest, LimitsAroundThePick) {
  const struct {
    Real low, high;
    std::int32_t major;
    Real min, max;
    std::int32_t divisions, minor, decimals;
  } cases[] = {
      {9.9L, 20.2L, 0, 10, 20, 10, 5, 0},  // ends a hair off a step snap onto it
      {0.123L, 0.456L, 0, 0.1L, 0.45L, 7, 5, 2},
      {-3.3L, 7.7L, 0, -4, 8, 6, 4, 0},
      {1234, 1236, 0, 1234, 1236, 10, 4, 1},
      {20, 40, 4, 20, 40, 4, 5, 0},
      {21, 43, 4, 20, 60, 4, 5, 0},  // four divisions of 10 cannot hold it: of 10 more
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<double>(c.low));
    const auto r = NiceZoomRange(c.high, c.low, c.major);  // either order
    ASSERT_TRUE(r.has_value());
    EXPECT_NEAR(static_cast<double>(r->Min), static_cast<double>(c.min), 1e-12);
    EXPECT_NEAR(static_cast<double>(r->Max), static_cast<double>(c.max), 1e-12);
    EXPECT_EQ(r->Major, c.divisions);
    EXPECT_EQ(r->Minor, c.minor);
    EXPECT_EQ(r->Decimals, c.decimals);
  }
  for (const auto& [low, high] : {std::pair<Real, Real>{1, 1}, {0, 1e4932L}, {1e20L, 1e20L + 1}}) {
    EXPECT_FALSE(NiceZoomRange(low, high).has_value()) << static_cast<double>(high);
  }
}

// A logarithmic axis takes the range itself; one that would need a value of 0 or less is
// refused and leaves the settings.
TEST(ZoomAxisTest, LogarithmicAxesTakeTheRange) {
  GraphSettings s;
  s.LogX = true;
  s.MultiScaleX = true;
  ASSERT_TRUE(ZoomAxis(s, Axis::X, 3, 700));
  EXPECT_EQ(s.XScaleMin, 3);
  EXPECT_EQ(s.XScaleMax, 700);
  EXPECT_FALSE(s.MultiScaleX);
  const GraphSettings before = s;
  EXPECT_FALSE(ZoomAxis(s, Axis::X, -1, 10));
  EXPECT_EQ(TakeScaleView(s), TakeScaleView(before));
}

}  // namespace
}  // namespace tavel
