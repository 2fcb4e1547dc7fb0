// Message boxes and file dialogs of the Qt backend, and the conversions its
// files share. With a scripted session each of them is answered by the
// script while it is on screen, through its real buttons.
#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QEventLoop>
#include <QtCore/QFileInfo>
#include <QtCore/QPointer>
#include <QtCore/QThread>
#include <QtCore/QTimer>
#include <QtCore/QUrl>
#include <QtGui/QGuiApplication>
#include <QtGui/QPixmap>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTreeView>
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

void screenshotAtWait(const QString& what) {
  static int count = 0;
  const char* folder = std::getenv("VODBC_SCREENSHOT");
  if (!folder || !*folder || !scripted()) return;
  // Let every window be mapped (a window manager frames and places it
  // first) and paint itself before the picture is taken.
  QElapsedTimer settling;
  settling.start();
  while (settling.elapsed() < 400) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(10);
  }
  // What a script changed by the widgets' own setters may still wait for
  // a repaint the loop has not scheduled yet: paint every window now.
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible()) window->repaint();
  }
  QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QString path =
      QDir(QString::fromLocal8Bit(folder))
          .filePath(QStringLiteral("wait-%1-%2.png").arg(++count, 2, 10, QChar(u'0')).arg(what));
  if (!screen->grabWindow(0).save(path, "PNG")) {
    std::fprintf(stderr, "screenshot: cannot save %s\n", path.toLocal8Bit().constData());
  }
}

void placeOverOwner(QWidget* window, QWidget* owner) {
  QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->availableGeometry() : QRect();
  QRect frame(QPoint(0, 0), window->size());
  frame.moveCenter(owner ? owner->frameGeometry().center() : area.center());
  // Kept whole on the screen, also over a small task window near its edge.
  if (area.isValid()) {
    frame.moveLeft(std::max(area.left(), std::min(frame.left(), area.right() - frame.width())));
    frame.moveTop(std::max(area.top(), std::min(frame.top(), area.bottom() - frame.height())));
  }
  window->move(frame.topLeft());
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
  // The first button is the safe answer: Enter, Escape and the close box
  // all choose it; another answer takes a deliberate click or mnemonic.
  box.setDefaultButton(pushButtons.front());
  box.setEscapeButton(pushButtons.front());
  box.adjustSize();
  placeOverOwner(&box, parent);
  if (scripted()) {
    QTimer::singleShot(0, &box, [&] {
      screenshotAtWait(QStringLiteral("message"));
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

// Wide enough that the name, size, type and date columns show whole.
void fitFileColumns(QFileDialog& dialog) {
  const QFontMetrics fm(dialog.font());
  dialog.resize(std::max(dialog.width(), fm.averageCharWidth() * 100),
                std::max(dialog.height(), fm.height() * 26));
  if (auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
    view->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < view->header()->count(); ++column) {
      view->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
  }
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
  if (!spec.acceptLabel.empty()) dialog.setLabelText(QFileDialog::Accept, toQ(spec.acceptLabel));
  const QString name = toQ(spec.name);
  const bool wildcard = name.contains(u'*') || name.contains(u'?');
  // Filters match any case ("*.[Ii][Dd][Bb]"); the user sees the plain
  // pattern ("*.idb"), which is what the label before the brackets says.
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  QStringList filters;
  if (wildcard) {
    filters << QStringLiteral("%1 (%2)").arg(name, anyCase(name));
  } else if (!spec.type.empty()) {
    const QString pattern = "*." + toQ(spec.type);
    filters << QStringLiteral("%1 (%2)").arg(pattern, anyCase(pattern));
  }
  filters << QStringLiteral("All files (*)");
  dialog.setNameFilters(filters);
  dialog.setViewMode(QFileDialog::Detail);
  if (!wildcard && !name.isEmpty()) dialog.selectFile(name);
  fitFileColumns(dialog);

  std::optional<std::string> scriptedPath;
  bool answered = false;
  if (scripted()) {
    QTimer::singleShot(0, &dialog, [&] {
      screenshotAtWait(QStringLiteral("file"));
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

}  // namespace toolkit::qt
