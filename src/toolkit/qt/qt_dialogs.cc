// Message boxes, file dialogs, the help browser and the progress window of
// the Qt backend. With a scripted session each of them is answered by the
// script while it is on screen, through its real buttons.
#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QEventLoop>
#include <QtCore/QFileInfo>
#include <QtCore/QPointer>
#include <QtCore/QTimer>
#include <QtCore/QUrl>
#include <QtGui/QGuiApplication>
#include <QtGui/QPixmap>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTextBrowser>
#include <QtWidgets/QVBoxLayout>
#include <cstdio>
#include <cstdlib>

#include "toolkit/qt/qt_internal.h"
#include "toolkit/session.h"

namespace toolkit::qt {

int unitsToCharacters(const QString& s, int units) {
  int n = 0;
  for (int i = 0; i < units && i < s.size(); ++i) {
    if (!s[i].isLowSurrogate()) ++n;
  }
  return n;
}

int charactersToUnits(const QString& s, int characters) {
  int i = 0;
  for (int n = 0; i < s.size() && n < characters; ++n) {
    i += s[i].isHighSurrogate() && i + 1 < s.size() ? 2 : 1;
  }
  return i;
}

QString mnemonicText(std::string_view text) {
  QString out;
  for (QChar c : toQ(text)) {
    if (c == u'&') {
      out += QStringLiteral("&&");
    } else if (c == u'~') {
      out += u'&';
    } else {
      out += c;
    }
  }
  return out;
}

QColor toQColor(Colour c) {
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

void screenshotAtWait() {
  static int count = 0;
  const char* folder = std::getenv("VODBC_SCREENSHOT");
  if (!folder || !*folder || !scripted()) return;
  // Let every window paint itself before the picture is taken.
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QString path =
      QDir(QString::fromLocal8Bit(folder))
          .filePath(QStringLiteral("wait-%1.png").arg(++count, 2, 10, QChar(u'0')));
  if (!screen->grabWindow(0).save(path, "PNG")) {
    std::fprintf(stderr, "screenshot: cannot save %s\n", path.toLocal8Bit().constData());
  }
}

int showMessageBox(QWidget* parent, const QString& title, MessageKind kind, std::string_view text,
                   const std::vector<std::string>& buttons) {
  static const QMessageBox::Icon icons[] = {QMessageBox::Critical, QMessageBox::Warning,
                                            QMessageBox::Information, QMessageBox::Question};
  QMessageBox box(icons[static_cast<int>(kind)], title, toQ(text), QMessageBox::NoButton, parent);
  box.setTextFormat(Qt::PlainText);
  std::vector<QPushButton*> pushButtons;
  for (const auto& label : buttons) {
    pushButtons.push_back(box.addButton(toQ(label), QMessageBox::ActionRole));
  }
  if (pushButtons.empty()) return -1;
  // The first button is the default; Escape and the close box press the
  // last one.
  box.setDefaultButton(pushButtons.front());
  box.setEscapeButton(pushButtons.back());
  // Centred over the window it belongs to, also where no window manager
  // places it (under Xvfb).
  if (parent) {
    box.adjustSize();
    box.move(parent->geometry().center() - box.rect().center());
  }
  if (scripted()) {
    QTimer::singleShot(0, &box, [&] {
      screenshotAtWait();
      pushButtons[scriptAnswerMessage(kind, text, buttons)]->click();
    });
  }
  box.exec();
  for (std::size_t i = 0; i < pushButtons.size(); ++i) {
    if (box.clickedButton() == pushButtons[i]) return static_cast<int>(i);
  }
  return static_cast<int>(pushButtons.size()) - 1;
}

namespace {

// "*.WOR" as a pattern that matches any case: "*.[Ww][Oo][Rr]".
QString anyCase(const QString& pattern) {
  QString out;
  for (QChar c : pattern) {
    if (c.isLetter() && c.toLower() != c.toUpper()) {
      out += u'[';
      out += c.toUpper();
      out += c.toLower();
      out += u']';
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

FileDialogResult showFileDialog(QWidget* parent, bool save, FileSpec& spec,
                                std::string_view title) {
  QFileDialog dialog(parent, toQ(title), toQ(spec.directory));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  // The open dialog also names files that do not exist yet (an output file).
  dialog.setFileMode(QFileDialog::AnyFile);
  const QString name = toQ(spec.name);
  const bool wildcard = name.contains(u'*') || name.contains(u'?');
  QStringList filters;
  if (wildcard) {
    filters << QStringLiteral("%1 (%2)").arg(name, anyCase(name));
  } else if (!spec.type.empty()) {
    const QString type = toQ(spec.type);
    filters << QStringLiteral("%1 files (%2)").arg(type, anyCase("*." + type));
  }
  filters << QStringLiteral("All files (*)");
  dialog.setNameFilters(filters);
  if (!wildcard && !name.isEmpty()) dialog.selectFile(name);

  std::optional<std::string> scriptedPath;
  bool answered = false;
  if (scripted()) {
    QTimer::singleShot(0, &dialog, [&] {
      screenshotAtWait();
      scriptedPath = scriptAnswerFile(save, spec, title);
      answered = true;
      if (scriptedPath) {
        dialog.selectFile(toQ(*scriptedPath));
        static_cast<QDialog&>(dialog).done(QDialog::Accepted);
      } else {
        static_cast<QDialog&>(dialog).done(QDialog::Rejected);
      }
    });
  }
  if (dialog.exec() != QDialog::Accepted) return FileDialogResult::Cancelled;
  QString chosen;
  if (answered) {
    chosen = toQ(*scriptedPath);
  } else if (!dialog.selectedFiles().isEmpty()) {
    chosen = dialog.selectedFiles().front();
  }
  if (chosen.isEmpty()) return FileDialogResult::Cancelled;
  const QFileInfo info(chosen);
  spec.directory = fromQ(QDir::cleanPath(info.absolutePath()));
  spec.name = fromQ(info.fileName());
  return FileDialogResult::Ok;
}

namespace {

// One help window for the whole program: a browser with a contents button
// and a search field.
class HelpWindow : public QWidget {
 public:
  HelpWindow() {
    setWindowTitle(QStringLiteral("Help"));
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    auto* contents = new QPushButton(QStringLiteral("&Contents"), this);
    search_ = new QLineEdit(this);
    search_->setPlaceholderText(QStringLiteral("Search"));
    auto* find = new QPushButton(QStringLiteral("&Find"), this);
    bar->addWidget(contents);
    bar->addWidget(search_, 1);
    bar->addWidget(find);
    browser_ = new QTextBrowser(this);
    layout->addLayout(bar);
    layout->addWidget(browser_, 1);
    resize(560, 480);
    connect(contents, &QPushButton::clicked, browser_, &QTextBrowser::home);
    auto findNext = [this] {
      if (!browser_->find(search_->text())) {
        browser_->moveCursor(QTextCursor::Start);
        browser_->find(search_->text());
      }
    };
    connect(find, &QPushButton::clicked, this, findNext);
    connect(search_, &QLineEdit::returnPressed, this, findNext);
  }

  void open(const QString& file, int topic) {
    QUrl url = QUrl::fromLocalFile(file);
    if (topic > 0) url.setFragment(QStringLiteral("topic%1").arg(topic));
    browser_->setSource(url);
    show();
    raise();
  }

 private:
  QTextBrowser* browser_;
  QLineEdit* search_;
};

}  // namespace

bool showHelpBrowser(const std::string& htmlFile, int topic) {
  const QFileInfo info(toQ(htmlFile));
  if (!info.isFile() || !info.isReadable()) return false;
  static QPointer<HelpWindow> window;
  if (!window) window = new HelpWindow;
  window->open(info.absoluteFilePath(), topic);
  return true;
}

void showProgress(QWidget* parent, const ProgressJob& job) {
  QDialog dialog(parent);
  dialog.setWindowTitle(toQ(job.title));
  dialog.setModal(true);
  auto* layout = new QVBoxLayout(&dialog);
  auto* label = new QLabel(&dialog);
  label->setMinimumWidth(260);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), &dialog);
  layout->addWidget(label);
  layout->addWidget(cancel, 0, Qt::AlignHCenter);
  QObject::connect(cancel, &QPushButton::clicked, &dialog, [&] {
    cancel->setEnabled(false);
    if (job.cancel) job.cancel();
  });
  QEventLoop loop;
  QElapsedTimer clock;
  clock.start();
  QTimer timer;
  auto tick = [&] {
    std::string text;
    if (!job.poll || !job.poll(text)) {
      loop.quit();
      return;
    }
    if (!text.empty()) label->setText(toQ(text));
    if (!dialog.isVisible() && clock.elapsed() >= job.showAfter.count()) dialog.show();
  };
  QObject::connect(&timer, &QTimer::timeout, &loop, tick);
  timer.start(100);
  QTimer::singleShot(0, &loop, tick);
  loop.exec();
  timer.stop();
  dialog.hide();
}

}  // namespace toolkit::qt
