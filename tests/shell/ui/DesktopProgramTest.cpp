#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "shell/ui/DesktopProgram.h"
#include "shell/ui/QtText.h"

namespace {

TEST(DesktopProgramIcons, ByReportKind) {
  struct Case {
    ReportKind kind;
    ReportIcon icon;
  };
  const Case cases[] = {
      {ReportKind::Error, ReportIcon::Exclamation},
      {ReportKind::Warning, ReportIcon::Exclamation},
      {ReportKind::ProgramError, ReportIcon::Warning},
      {ReportKind::Assertion, ReportIcon::Warning},
      {ReportKind::FatalError, ReportIcon::Critical},
      {ReportKind::Information, ReportIcon::Information},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.kind));
    EXPECT_EQ(IconForReport({c.kind, "c", "t", false}), c.icon);
  }
}

TEST(DesktopProgramExit, FailureStatusWinsOverANormalEnd) {
  QTimer::singleShot(0, [] {
    RequestApplicationExit(0);
    RequestApplicationExit(1);
  });
  EXPECT_EQ(QApplication::exec(), 1);
}

TEST(DesktopProgramExit, WaitsUntilTheOpenMessageBoxIsClosed) {
  bool boxClosedBeforeExit = false;
  // Closing the only window would otherwise end the loop on its own.
  QApplication::setQuitOnLastWindowClosed(false);
  QTimer::singleShot(0, [&] {
    QMessageBox box(QMessageBox::Warning, "Error", "first");
    QTimer::singleShot(0, [] { RequestApplicationExit(1); });
    bool accepted = false;
    QTimer::singleShot(0, [&] {
      QTimer::singleShot(0, [&] {
        accepted = true;
        box.accept();
      });
    });
    box.exec();
    boxClosedBeforeExit = accepted;
  });
  EXPECT_EQ(QApplication::exec(), 1);
  QApplication::setQuitOnLastWindowClosed(true);
  EXPECT_TRUE(boxClosedBeforeExit);
}

TEST(DesktopProgramText, Windows1252RoundTrip) {
  std::string all;
  for (int byte = 1; byte < 256; ++byte) all += static_cast<char>(byte);
  EXPECT_EQ(ToText(FromText(all)), all);
  EXPECT_EQ(FromText("\x80 caf\xe9"), QString::fromUtf8("\u20ac caf\u00e9"));
  EXPECT_EQ(ToText(QString::fromUtf8("\u4e2d")), "?");
}

}  // namespace
