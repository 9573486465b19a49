#include "core/series/series_options.h"

#include <gtest/gtest.h>

#include "core/series/series.h"

namespace tavel {
namespace {

TEST(SeriesOptionsTest, GraphTypeFollowsTheFit) {
  const struct {
    std::int32_t type, withFit, withoutFit;
  } cases[] = {
      {kGraphLine, kGraphFit, kGraphLine},          {kGraphBar, kGraphBarFit, kGraphBar},
      {kGraphFit, kGraphFit, kGraphLine},           {kGraphNone, kGraphFit, kGraphNone},
      {kGraphLineBar, kGraphBarFit, kGraphLineBar}, {kGraphLineFit, kGraphLineFit, kGraphLine},
      {kGraphBarFit, kGraphBarFit, kGraphBar}};
  for (const auto& c : cases) {
    EXPECT_EQ(GraphTypeWithFit(c.type), c.withFit) << c.type;
    EXPECT_EQ(GraphTypeWithoutFit(c.type), c.withoutFit) << c.type;
  }
}

TEST(SeriesOptionsTest, PrinterColorItemsAndCodes) {
  const std::int32_t codes[] = {kPrinterDefault, kPrinterBlack, kPrinterRed, kPrinterGreen,
                                kPrinterBlue};
  for (int item = kItemDefault; item <= kItemBlue; ++item) {
    EXPECT_EQ(PrinterColorCodeOf(item), codes[item]);
    EXPECT_EQ(PrinterColorItemOf(codes[item]), item);
  }
  for (const std::int32_t unknown : {4, 7, 13, -1}) {
    EXPECT_EQ(PrinterColorItemOf(unknown), kItemDefault) << unknown;
  }
}

}  // namespace
}  // namespace tavel
