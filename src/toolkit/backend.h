// The abstract backend behind toolkit.h, and how a program installs one.
//
// Programs: call installBackend() once before anything else of the toolkit
// (the window program uses installChosenBackend() from
// "toolkit/qt/choose_backend.h", vodbc-batch installs a ConsoleBackend from
// "toolkit/console_backend.h", tests install the one they test).
//
// Backend implementers: the core library keeps the window table (ids,
// resources, handlers, data, parents, the stack of open windows), the help
// hook, the transcript and the script; a backend only makes native windows
// and controls, runs event loops and shows messages and file dialogs. It
// reports what the user does by calling dispatchEvent() (declared below).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/resource.h"
#include "toolkit/toolkit.h"
#include "toolkit/types.h"

namespace toolkit {

enum class MessageKind { Error, Warning, Note, Ask };

// One thing a scripted user does to the top window (session.h turns script
// lines into these, already checked against the window's resource and
// contents).
struct UserAction {
  enum class Kind {
    Select,       // single click on list item `index`
    DoubleClick,  // double click on list item `index`
    MultiSelect,  // the selection becomes exactly `indices`
    Check,        // make check box `on` (clicks it when it differs)
    SetText,      // replace the edit's text (paragraphs split at '\n')
    SetCaret,     // empty selection at `caret`
    Press,        // press a button (or click a check box)
    Close,        // the close box
    Menu,         // task window menu command `tag`
  };
  Kind kind = Kind::Press;
  int control = 0;
  int index = 0;
  std::vector<int> indices;
  bool on = false;
  std::string text;
  TextPosition caret;
  int tag = 0;
};

class Backend {
 public:
  virtual ~Backend() = default;

  virtual const char* name() const = 0;  // "qt", "headless", "console"
  // False for backends that open no window (the console backend):
  // runModalDialog and openModelessDialog then fail cleanly.
  virtual bool hasWindows() const = 0;

  // Application. runEventLoop makes the native task window for `task`
  // (already in the window table), delivers its Create event once the loop
  // runs, and returns when quitEventLoop() is called.
  virtual int runEventLoop(Window task, const AppConfig& config,
                           const MenuBarResource* menuBar) = 0;
  virtual void quitEventLoop() = 0;

  // Windows. createWindow makes the native window (invisible) for an entry
  // of the window table; a `modal` one blocks the others once shown.
  // runModalLoop returns once windowExists(w) is false. destroyNative
  // frees the native window (deferred when a handler of it is still
  // running) and ends a modal loop waiting for it.
  virtual bool createWindow(Window w, const WindowResource& resource, Window parent,
                            bool modal) = 0;
  virtual void runModalLoop(Window w) = 0;
  virtual void destroyNative(Window w) = 0;
  virtual Rect clientRect(Window w) = 0;
  virtual void moveWindow(Window w, Rect clientArea) = 0;
  virtual Point translatePoint(Window from, Window to, Point p) = 0;
  virtual void setVisible(Window w, bool visible) = 0;
  virtual bool isVisible(Window w) = 0;
  virtual void setTitle(Window w, std::string_view title) = 0;
  virtual std::string title(Window w) = 0;
  virtual void clearWindow(Window w, Colour colour) = 0;
  virtual Rect screenRect() = 0;
  virtual Colour backgroundColour() = 0;

  // Controls.
  virtual void setControlText(Window w, int control, std::string_view t) = 0;
  virtual std::string controlText(Window w, int control) = 0;
  virtual void setControlVisible(Window w, int control, bool visible) = 0;
  virtual void setControlEnabled(Window w, int control, bool enabled) = 0;
  virtual void setChecked(Window w, int control, bool checked) = 0;
  virtual bool isChecked(Window w, int control) = 0;
  virtual void setFocus(Window w, int control) = 0;
  virtual int focusedControl(Window w) = 0;
  virtual void setControlFont(Window w, int control, const Font& font) = 0;
  virtual void setControlColour(Window w, int control, ColourPart part, Colour colour) = 0;

  // Lists. Setting a selection by program sends no event.
  virtual void listAppend(Window w, int control, std::string_view item) = 0;
  virtual void listClear(Window w, int control) = 0;
  virtual std::vector<std::string> listItems(Window w, int control) = 0;
  virtual std::vector<int> listSelection(Window w, int control) = 0;
  virtual void listSetSelected(Window w, int control, int index, bool selected) = 0;
  virtual void listSuspend(Window w, int control) = 0;
  virtual void listResume(Window w, int control) = 0;

  // Text edits (see toolkit.h for the paragraph model).
  virtual std::vector<std::string> textParagraphs(Window w, int control) = 0;
  virtual void textClear(Window w, int control) = 0;
  virtual void textAppendParagraph(Window w, int control, std::string_view text) = 0;
  virtual bool textSetParagraph(Window w, int control, int paragraph, std::string_view text) = 0;
  virtual TextSelection textSelection(Window w, int control) = 0;
  virtual void setTextSelection(Window w, int control, TextSelection s) = 0;
  virtual void textSuspend(Window w, int control) = 0;
  virtual void textResume(Window w, int control) = 0;

  // Messages: returns the index of the pressed button (0 for the OK of
  // error, warning and note boxes). `buttons` holds the labels.
  virtual int showMessage(MessageKind kind, std::string_view text,
                          const std::vector<std::string>& buttons) = 0;
  virtual FileDialogResult fileDialog(bool save, FileSpec& spec, std::string_view title) = 0;
  virtual bool showHelpWindow(const std::string& htmlFile, int topic,
                              const std::string& contentsFile) = 0;
  virtual void runProgressDialog(const ProgressJob& job) = 0;

  // Carries out a scripted user action on window `w` as if the user did
  // it: real widgets are clicked, and the events reach the handlers.
  virtual void perform(Window w, const UserAction& action) = 0;
};

// Installs the program's backend; the previous one (if any) is destroyed.
// Passing nullptr uninstalls. Not to be called while windows are open.
void installBackend(std::unique_ptr<Backend> backend);
// The installed backend, or nullptr.
Backend* backend();

// Delivers an event to a window's handler (through the help hook for help
// requests). Backends call it for what the user does; the call returns after
// the handler (and every modal window it opened) has returned. Does nothing
// for windows that no longer exist.
void dispatchEvent(Window w, const Event& event);

// The window a scripted action applies to: the most recently opened window
// that still exists, else the task window.
Window topWindow();

// The resource a window was made from; nullptr for the task window.
const WindowResource* windowResource(Window w);

}  // namespace toolkit
