// Runs GUI tests headless, with the toolkit's own dialogs so that tests can fill them in.
#include <gtest/gtest.h>

#include <QApplication>

// The system's font and D-Bus libraries leak a little at exit. Set here, not in the tests'
// environment, so that it holds in every run of the program, the run as another user too.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
