#include "ui/app/tavel_application.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QWidget>
#include <new>
#include <stdexcept>

#include "support/scripted_prompts.h"

namespace tavel {
namespace {

// A window whose key handler fails the way a command can: out of memory, or any other error.
class FailingWidget : public QWidget {
 public:
  int handled = 0;
  bool outOfMemory = true;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    ++handled;
    if (event->key() == Qt::Key_A) {
      if (outOfMemory) throw std::bad_alloc();
      throw std::runtime_error("disk full");
    }
  }
};

TEST(TavelApplicationTest, AThrowingHandlerIsReportedAndTheProgramGoesOn) {
  TavelApplication* application = RunningApplication();
  ASSERT_NE(application, nullptr);
  testing::ScriptedPrompts prompts;
  application->SetErrorReport(&prompts);
  FailingWidget widget;
  for (const bool outOfMemory : {true, false}) {
    widget.outOfMemory = outOfMemory;
    QKeyEvent failing(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    QApplication::sendEvent(&widget, &failing);
  }
  QKeyEvent next(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier);
  QApplication::sendEvent(&widget, &next);
  application->SetErrorReport(nullptr);
  EXPECT_EQ(widget.handled, 3);
  ASSERT_EQ(prompts.reports.size(), 2u);
  EXPECT_NE(prompts.reports[0].find("memory"), std::string::npos);
  EXPECT_EQ(prompts.reports[1], "disk full");
}

}  // namespace
}  // namespace tavel
