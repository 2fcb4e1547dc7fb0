// Window, dialog and menu-bar resources: layouts kept as data.
//
// Every layout lives in its own text file under resources/, one resource per
// file, named <kind>_<id>_<what>.res (dialog_107_about.res,
// menubar_1000.res). The build compiles every resources/*.res file into the
// program (library vodbc_resources; addBuiltinResources() registers them), so
// adding a dialog is adding a file: no list to edit.
//
// Format (UTF-8 text, one statement per line, '#' starts a comment line,
// words separated by blanks, TEXT in double quotes with the escapes \" \\ \n
// \t; numbers are decimal):
//
//   dialog ID TEXT size W H [at X Y]       a dialog (fixed size)
//   window ID TEXT size W H [at X Y]       a window (the user may resize it)
//     TEXT is the title; W, H, X, Y in dialog units (below).
//   then one line per control:
//   KIND ID [TEXT] at X Y size W H [OPTION ...]
//     KIND   button | static | edit | textedit | list | multilist |
//            dropdown | check
//            edit: one line of text; textedit: paragraphs, never wrapping;
//            list: one item selectable; multilist: several items
//            selectable; dropdown: a drop-down list (a list in the API).
//     TEXT   the label, "~" before a letter marks its mnemonic ("~Help").
//     OPTION default        the button pressed by Enter
//            hidden         starts invisible
//            disabled       starts disabled
//            readonly       a textedit that only shows a message: the user
//                           cannot change it, and it wraps at word
//                           boundaries (its paragraphs stay what the
//                           program put in)
//            stretch        in a window, takes what the user adds to the
//                           window's size; controls below it move down
//            centre | right alignment of a static text
//            name NAME      a name scripts may use instead of the id
//                           (letters, digits, '_'; unique in the resource)
//   tab ID ID ...                          after the controls: the order in
//                                          which Tab visits them (those it
//                                          names; without the line, the
//                                          order they are listed in)
//
//   menubar ID                               a menu bar with its key table
//   menu TEXT                                opens a menu ...
//     item TAG TEXT                          ... a command ("\t" + key text
//     separator                                  shows a key beside it)
//   end                                      ... and closes it
//   item TAG TEXT                            outside a menu: a command on
//                                            the menu bar itself
//   key KEY TAG                              KEY: F1..F12 with optional
//                                            Shift+, Ctrl+, Alt+ prefixes
//
// Dialog units follow the dialog font: 1 horizontal unit is a quarter of the
// font's average character width, 1 vertical unit an eighth of its height.
// Control ids and resource ids are the numbers the program's windows use.
//
// Example (resources/dialog_107_about.res):
//   dialog 107 "About Velora ODBC Query" size 195 78
//   button 1 "OK" at 80 60 size 34 12 default name ok
//   static 2 "Velora for Windows ODBC Query program" at 2 6 size 191 12 centre
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace toolkit {

enum class ControlKind { Button, Static, Edit, TextEdit, List, MultiList, DropDown, Check };

enum class Alignment { Left, Centre, Right };

struct ControlResource {
  ControlKind kind = ControlKind::Static;
  int id = 0;
  std::string name;  // "" when the resource gives none
  std::string text;
  int x = 0, y = 0, width = 0, height = 0;  // dialog units
  bool isDefault = false;
  bool hidden = false;
  bool disabled = false;
  bool readOnly = false;
  bool stretch = false;
  Alignment alignment = Alignment::Left;
};

struct WindowResource {
  int id = 0;
  bool resizable = false;  // "window" rather than "dialog"
  std::string title;
  int width = 0, height = 0;  // dialog units
  bool hasPosition = false;
  int x = 0, y = 0;
  std::vector<ControlResource> controls;
  std::vector<int> tabOrder;  // control ids; empty: the order of `controls`

  const ControlResource* control(int controlId) const;
  const ControlResource* controlByName(std::string_view name) const;
};

struct MenuEntry {
  enum class Kind { Command, Separator, Submenu } kind = Kind::Command;
  int tag = 0;                     // Command
  std::string label;               // Command, Submenu
  std::vector<MenuEntry> entries;  // Submenu
};

struct KeyBinding {
  std::string key;  // as written: "F2", "Shift+F1", "Ctrl+F1"
  int tag = 0;
};

struct MenuBarResource {
  int id = 0;
  std::vector<MenuEntry> entries;  // submenus and bar-level commands
  std::vector<KeyBinding> keys;
  // True when some command of the bar (at any depth) has this tag.
  bool hasCommand(int tag) const;
};

// Parses one resource file's text. On failure returns false and sets
// `error` to "ORIGIN:LINE: what is wrong".
struct ParsedResource {
  std::unique_ptr<WindowResource> window;
  std::unique_ptr<MenuBarResource> menuBar;
};
bool parseResource(std::string_view text, std::string_view origin, ParsedResource& out,
                   std::string& error);

// The program-wide table of resources. Adding a resource whose id is taken
// replaces it (tests load their own layouts over the built-in ones).
class ResourceTable {
 public:
  // Parses and adds; false with `error` set when the text is not valid.
  bool add(std::string_view text, std::string_view origin, std::string& error);
  const WindowResource* window(int id) const;
  const MenuBarResource* menuBar(int id) const;
  void clear();

 private:
  std::map<int, std::shared_ptr<const WindowResource>> windows_;
  std::map<int, std::shared_ptr<const MenuBarResource>> menuBars_;
};

ResourceTable& resources();

// Registers every resources/*.res file compiled into the program. Defined
// by the library vodbc_resources; returns false (and writes the reason to
// stderr) when one of them does not parse, which the resource tests catch.
bool addBuiltinResources();

}  // namespace toolkit
