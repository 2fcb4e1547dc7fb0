// The progress window of the Qt backend.
//
// The job's poll may show messages (the worker's errors and questions are
// shown from it, while the worker waits for the answer). Such a message runs
// a nested event loop in which the poll timer keeps firing. Two rules keep
// the windows usable:
// - a tick that arrives while a poll is still running does nothing: the
//   progress window must never appear (as a modal window) above a message
//   the worker is waiting on, or neither could be answered;
// - while the progress window is on screen, messages and windows opened
//   from the poll belong to it (ownerForNewWindow), so they stay above it
//   and take the input.
#include <QtCore/QElapsedTimer>
#include <QtCore/QEventLoop>
#include <QtCore/QPointer>
#include <QtCore/QTimer>
#include <QtGui/QCloseEvent>
#include <QtWidgets/QDialog>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

#include "toolkit/qt/qt_internal.h"

namespace toolkit::qt {
namespace {

QPointer<QDialog>& progressOnScreen() {
  static QPointer<QDialog> window;
  return window;
}

// Escape and the close box mean Cancel here: hiding the window would only
// let it come back at the next tick.
class ProgressDialog : public QDialog {
 public:
  ProgressDialog(QWidget* parent, const ProgressJob& job) : QDialog(parent) {
    setObjectName(QStringLiteral("progress"));
    setWindowTitle(toQ(job.title));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    label_ = new QLabel(this);
    label_->setMinimumWidth(label_->fontMetrics().averageCharWidth() * 40);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    layout->addWidget(label_);
    layout->addWidget(cancel_, 0, Qt::AlignHCenter);
    connect(cancel_, &QPushButton::clicked, this, [this, &job] {
      cancel_->setEnabled(false);
      if (job.cancel) job.cancel();
    });
  }

  void setText(const QString& text) { label_->setText(text); }

  void reject() override {
    if (cancel_->isEnabled()) cancel_->click();
  }

 protected:
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    reject();
  }

 private:
  QLabel* label_;
  QPushButton* cancel_;
};

}  // namespace

QWidget* ownerForNewWindow(QWidget* intended) {
  QDialog* progress = progressOnScreen();
  return progress && progress->isVisible() ? progress : intended;
}

void showProgress(QWidget* parent, const ProgressJob& job) {
  ProgressDialog dialog(parent, job);
  QEventLoop loop;
  QElapsedTimer clock;
  clock.start();
  QTimer timer;
  bool polling = false;
  auto tick = [&] {
    if (polling) return;
    polling = true;
    std::string text;
    const bool running = job.poll && job.poll(text);
    polling = false;
    if (!running) {
      loop.quit();
      return;
    }
    if (!text.empty()) dialog.setText(toQ(text));
    if (!dialog.isVisible() && clock.elapsed() >= job.showAfter.count()) {
      dialog.show();
      progressOnScreen() = &dialog;
      screenshotAtWait(QStringLiteral("progress"));  // the user waits here too
    }
  };
  QObject::connect(&timer, &QTimer::timeout, &loop, tick);
  timer.start(100);
  QTimer::singleShot(0, &loop, tick);
  loop.exec();
  timer.stop();
  progressOnScreen() = nullptr;
  dialog.hide();
}

}  // namespace toolkit::qt
