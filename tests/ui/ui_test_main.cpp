#include "ui/app/tavel_application.h"

#include <gtest/gtest.h>

// Window tests need one application object for the whole run, the program's own so that
// errors thrown by handlers are caught as in the program; the offscreen platform is chosen by
// the test environment so no display is needed.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  tavel::TavelApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
