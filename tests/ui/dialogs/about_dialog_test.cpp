#include "ui/dialogs/about_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace tavel {
namespace {

TEST(AboutDialogTest, BlackBoxWithItsLabelsCentredOnTheFrame) {
  QWidget frame;
  frame.setGeometry(100, 80, 801, 601);
  frame.show();
  TAboutF about(&frame);
  about.show();
  EXPECT_EQ(about.windowTitle(), "About Tavel Graphics");
  QStringList texts;
  for (const QLabel* label : about.findChildren<QLabel*>()) texts << label->text();
  EXPECT_TRUE(texts.contains("TAVEL GRAPHICS"));
  EXPECT_TRUE(texts.contains("(32-bit) Version 1.98"));
  EXPECT_EQ(about.palette().color(QPalette::Window), QColor(Qt::black));
  EXPECT_TRUE(about.windowFlags() & Qt::WindowStaysOnTopHint);
  const QRect f = frame.frameGeometry();
  const QRect a = about.frameGeometry();
  EXPECT_EQ(a.left(), f.left() + (f.width() - a.width()) / 2);
  EXPECT_EQ(a.top(), f.top() + (f.height() - a.height()) / 2);
  QTest::keyClick(&about, Qt::Key_Escape);
  EXPECT_FALSE(about.isVisible());
}

}  // namespace
}  // namespace tavel
