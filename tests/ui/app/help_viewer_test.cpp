#include "ui/app/help_viewer.h"

#include <gtest/gtest.h>

#include "ui/platform/qt_prompts.h"

namespace tavel {
namespace {

TEST(HelpViewerTest, HelpFileIsBesideTheExecutable) {
  EXPECT_EQ(HelpFilePath("/opt/tavel/bin/tavel"), "/opt/tavel/bin/tavel.hlp");
  EXPECT_EQ(HelpFilePath("/opt/tavel.d/TAVEL.EXE"), "/opt/tavel.d/TAVEL.hlp");
}

TEST(HelpViewerTest, ShowsTheTitleOfATopic) {
  HelpViewer viewer("/x/tavel.hlp");
  const struct {
    int context;
    const char* description;
  } topics[] = {{100, "Contents"},
                {200, "Overview"},
                {300, "Getting Started"},
                {1200, "Preferences"},
                {4242, "No help is available for this topic."}};
  for (const auto& t : topics) {
    viewer.ShowTopic(t.context);
    EXPECT_EQ(viewer.CurrentTopic(), t.context);
    const QString page = viewer.PageText();
    EXPECT_TRUE(viewer.windowTitle().startsWith("Tavel Graphics Help")) << t.context;
    EXPECT_TRUE(page.contains(t.description)) << page.toStdString();
  }
  EXPECT_TRUE(viewer.isVisible());
  EXPECT_EQ(viewer.HelpFile, "/x/tavel.hlp");
}

TEST(HelpViewerTest, ContextComesFromTheNearestCarrier) {
  QWidget window;
  SetHelpContext(&window, 400);
  QWidget inner(&window);
  QWidget innermost(&inner);
  EXPECT_EQ(HelpContextOf(&innermost), 400);
  SetHelpContext(&inner, 900);
  EXPECT_EQ(HelpContextOf(&innermost), 900);
  EXPECT_EQ(HelpContextOf(nullptr), 0);
}

TEST(QtPromptsTest, FiltersBecomeQtNameFilters) {
  const std::vector<FileFilter> filters = {
      {"Data File", "*.prn"}, {"Graph File", "*.gra *.GRA"}, {"Any File as Text", "*.*"}};
  EXPECT_EQ(QtNameFilters(filters),
            QStringList({"Data File (*.prn)", "Graph File (*.gra *.GRA)", "Any File as Text (*)"}));
}

TEST(QtPromptsTest, ShowHelpOpensTheViewerOnTheTopic) {
  QtPrompts prompts;
  prompts.SetHelpFile("/x/tavel.hlp");
  prompts.ShowHelp(300);
  ASSERT_NE(prompts.helpViewer(), nullptr);
  EXPECT_EQ(prompts.helpViewer()->CurrentTopic(), 300);
  EXPECT_EQ(prompts.helpViewer()->HelpFile, "/x/tavel.hlp");
}

}  // namespace
}  // namespace tavel
