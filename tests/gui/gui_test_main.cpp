// The GUI tests run inside one application object, as the program does.
#include <gtest/gtest.h>

#include "gui/application.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // The tests need no screen; ctest sets this too, test discovery does not.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  morvik::MorvikApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
