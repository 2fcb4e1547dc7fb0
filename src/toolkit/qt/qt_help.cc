// The help window of the Qt backend: one browser for the whole program with
// Back, Contents and a search over every topic.
//
// Help is often asked for from inside a modal dialog (its Help button, F1).
// A window outside that dialog would be blocked by it: it could not be
// scrolled, searched or closed. So while a modal window is open the help
// window becomes a separate window owned by it, which the modal window does
// not block; when that window goes, help stays open on its own.
#include <QtCore/QDir>
#include <QtCore/QEvent>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QPointer>
#include <QtCore/QUrl>
#include <QtGui/QGuiApplication>
#include <QtGui/QKeyEvent>
#include <QtGui/QScreen>
#include <QtGui/QTextDocument>
#include <QtWidgets/QApplication>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTextBrowser>
#include <QtWidgets/QVBoxLayout>
#include <algorithm>

#include "toolkit/qt/qt_internal.h"

namespace toolkit::qt {
namespace {

class HelpWindow : public QWidget {
 public:
  HelpWindow() {
    setObjectName(QStringLiteral("help"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    back_ = new QPushButton(QStringLiteral("&Back"), this);
    auto* contents = new QPushButton(QStringLiteral("&Contents"), this);
    search_ = new QLineEdit(this);
    search_->setObjectName(QStringLiteral("search"));
    search_->setPlaceholderText(QStringLiteral("Search all topics"));
    auto* find = new QPushButton(QStringLiteral("&Find"), this);
    bar->addWidget(back_);
    bar->addWidget(contents);
    bar->addWidget(search_, 1);
    bar->addWidget(find);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("page"));
    layout->addLayout(bar);
    layout->addWidget(browser_, 1);
    resize(600, 500);
    back_->setEnabled(false);
    connect(back_, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QPushButton::setEnabled);
    connect(contents, &QPushButton::clicked, this, [this] { showContents(); });
    connect(find, &QPushButton::clicked, this, [this] { findNext(); });
    connect(search_, &QLineEdit::returnPressed, this, [this] { findNext(); });
    connect(browser_, &QTextBrowser::sourceChanged, this, [this] { updateTitle(); });
  }

  void open(const QString& file, int topic, const QString& contents, const QString& program) {
    contents_ = contents;
    program_ = program;
    QUrl url = QUrl::fromLocalFile(file);
    if (topic > 0) url.setFragment(QStringLiteral("topic%1").arg(topic));
    browser_->setSource(url);
    followModalWindow();
    // At first beside the window it helps with, so both can be seen; later
    // the user's place for it is kept.
    if (!placed_) placeBeside(QApplication::activeWindow());
    placed_ = true;
    show();
    raise();
    activateWindow();
    browser_->setFocus();
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
      close();
      return;
    }
    QWidget::keyPressEvent(event);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    // The modal window that owns help is going: help stays, on its own.
    if (watched == owner_ && event->type() == QEvent::Hide && isVisible()) {
      const QRect where = geometry();
      owner_->removeEventFilter(this);
      owner_ = nullptr;
      setParent(nullptr, Qt::Window);
      setGeometry(where);
      show();
    }
    return false;
  }

 private:
  // Makes the help window a separate window of the modal window on top, if
  // any, so that the modal window does not block it.
  void followModalWindow() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == owner_ || modal == this) return;
    if (owner_) owner_->removeEventFilter(this);
    owner_ = modal;
    const QRect where = geometry();
    const bool placed = testAttribute(Qt::WA_Moved);
    setParent(modal, Qt::Window);
    if (placed) setGeometry(where);
    if (modal) modal->installEventFilter(this);
  }

  // Right of `window` where the screen has room, else at the screen's
  // right edge; level with its top, whole on the screen.
  void placeBeside(QWidget* window) {
    QScreen* screen = window ? window->screen() : QGuiApplication::primaryScreen();
    if (!window || !screen) {
      placeOverOwner(this, nullptr);
      return;
    }
    const QRect area = screen->availableGeometry();
    const QRect beside = window->frameGeometry();
    QRect frame(QPoint(beside.right() + 8, beside.top()), size());
    if (frame.right() > area.right()) frame.moveRight(area.right());
    if (frame.bottom() > area.bottom()) frame.moveBottom(area.bottom());
    frame.moveLeft(std::max(frame.left(), area.left()));
    frame.moveTop(std::max(frame.top(), area.top()));
    move(frame.topLeft());
  }

  void showContents() {
    if (contents_.isEmpty()) {
      browser_->home();
    } else {
      browser_->setSource(QUrl::fromLocalFile(contents_));
    }
  }

  void updateTitle() {
    const QString topic = browser_->documentTitle();
    const QString help = program_ + QStringLiteral(" Help");
    setWindowTitle(topic.isEmpty() ? help : help + QStringLiteral(" - ") + topic);
  }

  // Every page of the help: the contents page first, then the topics in
  // name order.
  QStringList pages() const {
    const QFileInfo current(browser_->source().toLocalFile());
    QDir folder = contents_.isEmpty() ? current.dir() : QFileInfo(contents_).dir();
    QStringList files;
    if (!contents_.isEmpty()) files << QFileInfo(contents_).absoluteFilePath();
    for (const QFileInfo& f :
         folder.entryInfoList({QStringLiteral("*.html")}, QDir::Files, QDir::Name)) {
      if (!files.contains(f.absoluteFilePath())) files << f.absoluteFilePath();
    }
    return files;
  }

  static bool pageContains(const QString& file, const QString& text) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return false;
    QTextDocument document;
    document.setHtml(QString::fromUtf8(f.readAll()));
    return document.toPlainText().contains(text, Qt::CaseInsensitive);
  }

  // The next place the search text occurs: further on in this page, else
  // in the following pages (round to the start).
  void findNext() {
    const QString text = search_->text();
    if (text.isEmpty()) return;
    if (browser_->find(text)) return;
    const QStringList all = pages();
    const QString current = QFileInfo(browser_->source().toLocalFile()).absoluteFilePath();
    const int here = static_cast<int>(all.indexOf(current));
    for (int step = 1; step <= all.size(); ++step) {
      const QString& page = all[(here + step) % all.size()];
      if (!pageContains(page, text)) continue;
      if (page != current) browser_->setSource(QUrl::fromLocalFile(page));
      browser_->moveCursor(QTextCursor::Start);
      browser_->find(text);
      return;
    }
  }

  QTextBrowser* browser_;
  QLineEdit* search_;
  QPushButton* back_;
  QString contents_;
  QString program_;
  QPointer<QWidget> owner_;
  bool placed_ = false;
};

}  // namespace

bool showHelpBrowser(const QString& program, const std::string& htmlFile, int topic,
                     const std::string& contentsFile) {
  const QFileInfo info(toQ(htmlFile));
  if (!info.isFile() || !info.isReadable()) return false;
  static QPointer<HelpWindow> window;
  if (!window) window = new HelpWindow;
  const QString contents =
      contentsFile.empty() ? QString() : QFileInfo(toQ(contentsFile)).absoluteFilePath();
  window->open(info.absoluteFilePath(), topic, contents, program);
  return true;
}

}  // namespace toolkit::qt
