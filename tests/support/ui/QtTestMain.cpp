#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include "shell/ui/DesktopProgram.h"

namespace {

// A window that meets a bad argument or a stop asks the application to end. The tests after it
// run in the same application: the end is cancelled, and an end already made is undone by one
// turn of the application's event loop (once the application was told to quit, every dialog
// would return at once). Events left behind by the test are delivered here as well.
class ApplicationReset : public ::testing::EmptyTestEventListener {
  void OnTestEnd(const ::testing::TestInfo&) override {
    CancelApplicationExit();
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
  }
};

}  // namespace

// Window tests need one QApplication; they run on the offscreen platform.
int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  // Windows store their settings on closing; tests never touch the user's own.
  QTemporaryDir settings;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new ApplicationReset);
  return RUN_ALL_TESTS();
}
