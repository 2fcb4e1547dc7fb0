// Pieces of the Qt backend shared between its files (not an interface for
// the program).
#pragma once

#include <QtCore/QPointer>
#include <QtCore/QString>
#include <QtGui/QAction>
#include <QtWidgets/QWidget>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/backend.h"

namespace toolkit::qt {

inline QString toQ(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

inline std::string fromQ(const QString& s) { return s.toStdString(); }

// Character offsets of the interface count code points; Qt counts UTF-16
// units. These convert within one string.
int unitsToCharacters(const QString& s, int units);
int charactersToUnits(const QString& s, int characters);

// "~H" marks a mnemonic in resources and labels; Qt marks it with "&".
QString mnemonicText(std::string_view text);

// A Windows-style 0x00BBGGRR value as a Qt colour.
QColor toQColor(Colour c);

// Makes the widget of one control (qt_controls.cc); events go to window
// `w` unless `quiet` is above 0 at the time.
QWidget* makeControl(Window w, QWidget* parent, const ControlResource& c, const int& quiet);

// Fills the task window's menu bar and key table; `actions` receives the
// menu command of every tag.
class TaskMainWindow;
void buildMenu(TaskMainWindow* main, Window task, const MenuBarResource& bar,
               std::map<int, QPointer<QAction>>& actions);

// Message boxes and file dialogs (qt_dialogs.cc). `parent` is the window on
// top, or null.
int showMessageBox(QWidget* parent, const QString& title, MessageKind kind, std::string_view text,
                   const std::vector<std::string>& buttons);
FileDialogResult showFileDialog(QWidget* parent, bool save, FileSpec& spec, std::string_view title);

// Centres a top-level window over the window it belongs to (the screen's
// middle without one), kept whole on the screen.
void placeOverOwner(QWidget* window, QWidget* owner);

// The help window (qt_help.cc); `program` names the program in its title.
bool showHelpBrowser(const QString& program, const std::string& htmlFile, int topic,
                     const std::string& contentsFile);

// The progress window (qt_progress.cc).
void showProgress(QWidget* parent, const ProgressJob& job);
// The window that a window or message opened now belongs to: the progress
// window while it is on screen (a message the worker waits on must stay
// above it), else `intended`.
QWidget* ownerForNewWindow(QWidget* intended);

// When VODBC_SCREENSHOT names a folder, saves a picture of the screen there
// (wait-01-WHAT.png, wait-02-WHAT.png, ...) each time a script is about to
// answer for the user, so a scripted session documents every window it went
// through. WHAT says what waits: a resource id, "task", "message", "file" or
// "progress".
void screenshotAtWait(const QString& what);

}  // namespace toolkit::qt
