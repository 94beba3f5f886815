// The GUI tests run inside one application object, as the program does.
#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

#include "gui/application.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // The tests need no screen; ctest sets this too, test discovery does not.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  morvik::MorvikApplication application(argc, argv);
  // The program keeps settings between runs: the tests keep theirs in a
  // directory of their own, never in the user's.
  QTemporaryDir settings;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  return RUN_ALL_TESTS();
}
