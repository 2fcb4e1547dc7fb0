// The progress window and the messages its job shows, in the real Qt
// widgets. The job's poll shows a message (as the fetch's worker has the GUI
// thread show its errors and questions) either at once, before the progress
// window could appear, or once the progress window is on screen. Either
// way, while the message is open it must be the modal window that takes the
// input, stacked above the progress window; the progress window must never
// come up over it (the worker waits on the message, so neither could ever be
// answered). Each way is tried many times, since the freeze this guards
// against depended on when the progress timer fired.
#include <gtest/gtest.h>

#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMessageBox>
#include <chrono>
#include <cstdlib>
#include <string>

#include "toolkit/backend.h"
#include "toolkit/qt/qt_backend.h"
#include "toolkit/toolkit.h"

namespace toolkit {
namespace {

QWidget* visibleTopLevel(const char* objectName) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->isVisible() && w->objectName() == QLatin1String(objectName)) return w;
  }
  return nullptr;
}

QMessageBox* visibleMessageBox() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) return box;
  }
  return nullptr;
}

enum class When { AtOnce, AfterTheProgressWindowIsShown };

struct Outcome {
  std::string problem;  // "" when every check held
  bool answered = false;
};

// Runs one job whose poll shows a message; while the message is open the
// progress timer gets several chances to fire, then the checks run and the
// message is answered with Enter, as a user would.
Outcome runOnce(When when) {
  Outcome outcome;
  bool shown = false;  // the message went up; the worker waits on it
  ProgressJob job;
  job.title = "Progress";
  job.showAfter = std::chrono::milliseconds(when == When::AtOnce ? 50 : 0);
  job.poll = [&](std::string& text) {
    text = "working";
    // Still running while the worker waits on its message; done once the
    // message was answered.
    if (shown) return !outcome.answered;
    if (when == When::AfterTheProgressWindowIsShown && !visibleTopLevel("progress")) return true;
    shown = true;
    QTimer checker;
    int ticks = 0;
    QObject::connect(&checker, &QTimer::timeout, [&] {
      if (++ticks < 5) return;
      checker.stop();
      QMessageBox* box = visibleMessageBox();
      QWidget* modal = QApplication::activeModalWidget();
      QWidget* progress = visibleTopLevel("progress");
      if (!box) {
        outcome.problem = "the message is not on screen";
      } else if (modal != box) {
        outcome.problem = std::string("the modal window taking input is ") +
                          (modal ? modal->metaObject()->className() : "none") + ", not the message";
      } else if (progress && box->parentWidget() != progress) {
        outcome.problem = "the message is not stacked above the progress window";
      }
      if (box && modal == box) QTest::keyClick(box, Qt::Key_Return);
      // A message that did not take the key is closed all the same, so a
      // failure ends instead of hanging.
      if (box && box->isVisible()) box->done(0);
    });
    checker.start(50);
    postError("The worker waits for this message");
    outcome.answered = true;
    return true;
  };
  runProgressDialog(job);
  if (outcome.problem.empty() && QApplication::activeModalWidget() != nullptr) {
    outcome.problem = "a modal window is left open";
  }
  return outcome;
}

TEST(ProgressAndMessages, AMessageFromTheJobAlwaysTakesTheInput) {
  static int argc = 1;
  static char name[] = "progress_messages_test";
  static char* argv[] = {name, nullptr};
  installBackend(makeQtBackend(argc, argv));
  for (When when : {When::AtOnce, When::AfterTheProgressWindowIsShown}) {
    for (int run = 0; run < 20; ++run) {
      SCOPED_TRACE((when == When::AtOnce ? "at once, run " : "after shown, run ") +
                   std::to_string(run));
      const Outcome o = runOnce(when);
      EXPECT_TRUE(o.answered);
      EXPECT_EQ(o.problem, "");
    }
  }
  installBackend(nullptr);
}

}  // namespace
}  // namespace toolkit

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::setenv("QT_LOGGING_RULES", "*.debug=false;*.info=false;*.warning=false", 1);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
