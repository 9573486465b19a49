#include "core/files/export_choices.h"

#include <gtest/gtest.h>

namespace tavel {
namespace {

TEST(ExportChoicesTest, WrittenChoicesReadBackExactly) {
  const ExportChoices choices{true, 148.5, 0.1 + 0.2, 300, true, true, false};
  EXPECT_EQ(ParseExportChoices(ExportChoicesText(choices)), choices);
}

// A file another version wrote, or one damaged: what can be used is, the rest gives nothing.
TEST(ExportChoicesTest, ReadingTakesWhatItKnowsAndRefusesWhatIsNoValue) {
  struct Case {
    const char* text;
    bool read;
  };
  const Case cases[] = {
      {"width=350\r\nheight=300\r\n", true},
      {"height=300\nnew-choice=7\n\nwidth=350", true},
      {"width=350\n", false},
      {"width=0\nheight=300\n", false},
      {"width=nan\nheight=300\n", false},
      {"width=1e300\nheight=300\n", false},
      {"width=350px\nheight=300\n", false},
      {"width=350\nheight=300\ndpi=-96\n", false},
      {"width=350\nheight=300\npaper=yes\n", false},
      {"width=350\nheight=300\nunits=inch\n", false},
      {"width 350\nheight=300\n", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseExportChoices(c.text).has_value(), c.read) << c.text;
  }
}

}  // namespace
}  // namespace tavel
