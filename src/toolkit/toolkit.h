// The GUI toolkit services vodbc relies on, behind one interface.
//
// Every window, message box, file dialog and help window of the program goes
// through the free functions below. They forward to the backend installed at
// start-up (backend.h): real Qt 6 Widgets windows, the headless backend driven
// by a script, or the console backend of programs without windows.
//
// Rules every caller can rely on:
// - Everything runs on the single GUI thread (runProgressDialog is the one
//   place where another thread's work is waited for).
// - Windows and dialogs are made from resources (resource.h) by resource id;
//   controls are addressed by (window, control id) as the resource numbers
//   them. An unknown window or control makes setters do nothing and queries
//   answer empty.
// - A modal window opened inside a handler returns only after it has been
//   destroyed; modal windows nest.
// - Messages are modal and show their full text; `text` is UTF-8.
// - In scripted sessions (session.h) everything the user would see also goes
//   to the transcript, whichever backend runs.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/types.h"

namespace toolkit {

// ---- Application --------------------------------------------------------

struct AppConfig {
  int menuBarResource = 1000;      // the task window's menu bar and keys
  std::string baseName = "vodbc";  // base application name
  std::string appName = "Query";   // application name
  std::string taskTitle;           // the task window's title
  // The task window's initial client size; the program moves it in its
  // creation event.
  int taskWidth = 250;
  int taskHeight = 100;
  // The program's icon as SVG text, shown by every window; "" for none.
  std::string iconSvg;
};

// Creates the task window with `taskHandler` and runs the event loop until
// destroyApplication(). The task window's Create event arrives once the loop
// runs, so the handler may open modal windows and even destroy the
// application from inside it. Returns 0, or the backend's failure status.
// Requires an installed backend (backend.h).
int runApplication(const AppConfig& config, EventHandler taskHandler);

// Ends the event loop: every open window is destroyed (each gets Destroy,
// the task window last) and runApplication returns. Modal loops still on
// the stack unwind as their windows go.
void destroyApplication();

// Accepts a Quit event that was only a query (Event::query set).
void allowQuit();

// Delivers a Quit event to the task window, as the desktop does when the
// session ends (`query` true: the desktop only asks whether it may end).
// True when the program agreed: it called allowQuit() for a query, or it
// destroyed the application.
bool postQuitRequest(bool query);

// ---- Attributes -----------------------------------------------------------

// The task window (null before runApplication created it).
Window taskWindow();
// The client rectangle of the screen (top-left 0, 0).
Rect screenRect();
// The height that pushes placed windows down in the task window (the task
// window's menu bar does not cover its client area here, so it is 0).
int placementPushDown();
// The toolkit's window background colour.
Colour backgroundColour();

// ---- Windows and dialogs --------------------------------------------------

// Opens window or dialog resource `resourceId` modally with `handler` and
// `data` (read back with windowData), as a child of `parent` (the null
// window: the screen). The window is invisible until the handler makes it
// visible (setVisible, or the placement helpers). Returns after the window
// has been destroyed: true when it was created, false when it could not be
// (unknown resource id, or a backend without windows).
bool runModalDialog(int resourceId, EventHandler handler, void* data, Window parent = Window());

// Opens a resource as a modeless window and returns at once: the window, or
// the null window when it could not be created.
Window openModelessDialog(int resourceId, EventHandler handler, void* data,
                          Window parent = Window());

// Destroys the window: its handler gets Destroy, then the window is gone and
// a modal loop waiting for it returns. Safe to call from the window's own
// handler (the toolkit defers freeing the native window) and on a handle
// that is already gone.
void destroyWindow(Window w);

bool windowExists(Window w);
int windowResourceId(Window w);  // 0 for the task window and unknown windows
void* windowData(Window w);
Window parentWindow(Window w);  // null window: the screen
Rect clientRect(Window w);      // top-left 0, 0
// Moves the window so that its client area is `clientArea`, given in the
// client coordinates of its parent (the screen for top-level windows).
void moveWindow(Window w, Rect clientArea);
// Translates a point from the client coordinates of `from` into those of
// `to` (the null window: the screen).
Point translatePoint(Window from, Window to, Point p);
void setVisible(Window w, bool visible);
bool isVisible(Window w);
void setTitle(Window w, std::string_view title);
std::string title(Window w);
// Paints the whole client area with `colour` (used from Update events).
void clearWindow(Window w, Colour colour);

// ---- Controls -------------------------------------------------------------

bool hasControl(Window w, int control);
// Text of a button, static text, check box or one-line edit. For a text
// edit, the paragraphs joined with '\n'.
void setControlText(Window w, int control, std::string_view text);
std::string controlText(Window w, int control);
void setControlVisible(Window w, int control, bool visible);
void setControlEnabled(Window w, int control, bool enabled);
void setChecked(Window w, int control, bool checked);
bool isChecked(Window w, int control);
void setFocus(Window w, int control);
int focusedControl(Window w);  // 0 when no control has the focus
void setControlFont(Window w, int control, const Font& font);
void setControlColour(Window w, int control, ColourPart part, Colour colour);

// ---- Lists (list boxes, multi-selection lists, drop-down lists) -----------

void listAppend(Window w, int control, std::string_view item);
void listClear(Window w, int control);
int listCount(Window w, int control);
std::string listItem(Window w, int control, int index);  // "" when out of range
std::vector<std::string> listItems(Window w, int control);
// The first selected index, -1 when nothing is selected.
int listSelectedIndex(Window w, int control);
// Every selected index in list order.
std::vector<int> listSelectedIndices(Window w, int control);
std::vector<std::string> listSelectedItems(Window w, int control);
// Selects or deselects one item; in a single-selection list selecting an
// item deselects the others. Out-of-range indexes do nothing. Setting a
// selection by program sends no event.
void listSetSelected(Window w, int control, int index, bool selected);
// Bracket bulk changes; the list repaints once at listResume.
void listSuspend(Window w, int control);
void listResume(Window w, int control);

// ---- Text edits (multi-paragraph, never wrapping) -------------------------
//
// A text edit holds paragraphs; each paragraph is exactly one line. A text
// edit whose whole text is empty holds no paragraph. Offsets count
// characters, not bytes.

void textClear(Window w, int control);
void textAppendParagraph(Window w, int control, std::string_view text);
// Replaces paragraph `paragraph`; false when there is no such paragraph.
bool textSetParagraph(Window w, int control, int paragraph, std::string_view text);
int textParagraphCount(Window w, int control);
// 1 for an existing paragraph, 0 otherwise (no wrapping).
int textLineCount(Window w, int control, int paragraph);
std::string textLine(Window w, int control, int paragraph, int line);
std::string textParagraph(Window w, int control, int paragraph);
// Characters of one paragraph.
int textCharCount(Window w, int control, int paragraph);
TextSelection textSelection(Window w, int control);
// Positions beyond the text are clamped to it.
void setTextSelection(Window w, int control, TextSelection selection);
void textSuspend(Window w, int control);
void textResume(Window w, int control);

// ---- Messages -------------------------------------------------------------

// Modal message boxes with an OK button. The text is shown in full.
void postError(std::string_view text);
void postWarning(std::string_view text);
void postNote(std::string_view text);

// A modal question with two or three labelled buttons ("" for no third).
// The first button is the default and the safe answer: Enter, Escape and
// the close box all press it. Returns which button was pressed: 0, 1 or 2.
int askChoice(std::string_view text, std::string_view first, std::string_view second,
              std::string_view third = {});

// printf-style formatting for message texts ("Warning: Could NOT get
// columns for table %s").
std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// ---- File dialogs -----------------------------------------------------------
//
// Both start in spec.directory (the current directory when empty) and show
// files of spec.type (any case; all files when empty). A name holding '*'
// or '?' is a filter, not a name. In the save dialog a typed name without
// an extension gets "." + spec.type appended; the open dialog does so only
// when no file of the name as typed exists (an existing "noext" opens as
// it is). The open dialog accepts names of files that do not exist yet. Neither asks its own
// "replace?" question, and neither changes the current directory. Ok only when a file was chosen:
// then spec.directory and spec.name hold the choice (no '/' at the directory's end unless it is the
// root).

FileDialogResult openFileDialog(FileSpec& spec, std::string_view title);
FileDialogResult saveFileDialog(FileSpec& spec, std::string_view title);

// ---- Directories ------------------------------------------------------------

std::string currentDirectory();
// Makes `path` the current directory; false (and nothing changed) when it
// is not a directory that can be entered.
bool changeDirectory(const std::string& path);
// The directory the program considers its home: the current directory when
// the application started, or what setDefaultDirectory made it.
std::string defaultDirectory();
void setDefaultDirectory(const std::string& path);
bool isReadableFile(const std::string& path);

// ---- Help -----------------------------------------------------------------

// The program's help hook sees every Help event, and every Command event
// whose tag lies in 32450..32462 (the standard help commands), before the
// window's handler. It returns true when the event should still go to the
// handler as usual, false when help has consumed it. The toolkit knows
// nothing about help files.
using HelpHook = std::function<bool(Window, const Event&)>;
inline constexpr int kFirstHelpCommand = 32450;
inline constexpr int kLastHelpCommand = 32462;
void setHelpHook(HelpHook hook);

// Shows an HTML help file at a topic (an anchor named "topic<N>", or the
// top for topic 0) in a help window with Back, Contents (`contentsFile`,
// else the first page shown) and a search over every page of the file's
// folder. Help opened from inside a modal window stays usable while that
// window is open. Headless sessions record "help N" in the transcript.
// Returns false when the file cannot be read.
bool showHelpWindow(const std::string& htmlFile, int topic, const std::string& contentsFile = {});

// ---- Progress of a long job -------------------------------------------------

// A job running on another thread, shown by a modal progress window.
struct ProgressJob {
  std::string title;
  // The window appears only when the job is still running after this long.
  std::chrono::milliseconds showAfter{500};
  // Called on the GUI thread about ten times a second. Returns false once
  // the job has finished; may set `text` to the line to show (rows so far,
  // elapsed time).
  std::function<bool(std::string& text)> poll;
  // Called on the GUI thread when the user presses Cancel; the job keeps
  // being polled until it reports that it has finished.
  std::function<void()> cancel;
};

// Returns when job.poll() has returned false. The headless and console
// backends show nothing and only poll.
void runProgressDialog(const ProgressJob& job);

}  // namespace toolkit
