// Plain value types shared by every part of the GUI toolkit layer: window
// handles, geometry, events, colours, fonts and file specifications.
//
// Nothing here depends on a backend; the program, the dialogs and both
// backends agree on these records.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace toolkit {

// A window handle. Windows are numbered by the toolkit; a handle whose window
// has been destroyed stays harmless: every operation on it does nothing and
// every query answers "empty" (0, "", nullptr, an empty rectangle).
// The default handle is the null window ("no window", and also what queries
// about the whole screen are asked of).
class Window {
 public:
  constexpr Window() = default;
  constexpr explicit Window(std::uint32_t id) : id_(id) {}
  constexpr std::uint32_t id() const { return id_; }
  constexpr explicit operator bool() const { return id_ != 0; }
  friend constexpr bool operator==(Window, Window) = default;

 private:
  std::uint32_t id_ = 0;
};

// A point: vertical and horizontal coordinate, in pixels.
struct Point {
  int v = 0;
  int h = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// A rectangle of 16-bit signed pixel coordinates. A client rectangle has top
// and left 0, so its right is the width and its bottom the height.
struct Rect {
  std::int16_t top = 0;
  std::int16_t left = 0;
  std::int16_t bottom = 0;
  std::int16_t right = 0;

  int width() const { return right - left; }
  int height() const { return bottom - top; }
  // A rectangle with its top-left corner at (left, top) and the given size.
  static Rect fromPosition(int left, int top, int width, int height);
  friend bool operator==(const Rect&, const Rect&) = default;
};

// What happened to a control, carried by an EventType::Control event.
enum class ControlAction {
  Pressed,           // a push button was pressed
  SelectionChanged,  // a list's or drop-down list's selection changed
  DoubleClicked,     // a list item was double-clicked (selection already set)
  CheckToggled,      // the user clicked a check box; the handler sets the mark
  TextChanged,       // the user changed the text of an edit
};

enum class EventType {
  Create,   // the window exists and its controls can be filled
  Destroy,  // the window is going away (last event it receives)
  Close,    // close box, Alt+F4, Escape in a dialog: the handler decides
  Update,   // the window must be repainted (clear its background)
  Command,  // a menu command or key of the task window: `tag`
  Control,  // a control notification: `control` and `action`
  Help,     // F1 in a window, or a help request: `control` is the focused one
  Quit,     // the desktop asks the program to end; `query` set = only asking
};

struct Event {
  EventType type = EventType::Create;
  int tag = 0;                                    // Command: the menu tag
  int control = 0;                                // Control, Help: the control id (0 for none)
  ControlAction action = ControlAction::Pressed;  // Control only
  bool query = false;                             // Quit only
};

// Every window and dialog is driven by one handler. The toolkit calls it on
// the single GUI thread; a handler may open modal windows, which nest.
using EventHandler = std::function<void(Window, const Event&)>;

// Colours are 0x00BBGGRR values, so 255 is red and 0x00C0C0C0 light grey.
// The top byte is a flag of the value and is ignored when painting.
using Colour = std::uint32_t;

// Which colour of a control is set.
enum class ColourPart { Background, Foreground };

// A font, made from a serialised description such as "01\times\1\14\" or
// "01\MS Sans Serif\0\8\NT_01/-13/...": version, family, style bits
// (1 bold, 2 italic, 4 underline), size in points, then native data that we
// ignore. A family naming "times" or "serif" means a serif face; every other
// family means the desktop's default sans-serif face.
struct Font {
  std::string family;
  bool serif = false;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  int points = 8;
  friend bool operator==(const Font&, const Font&) = default;
};

// Reads a serialised font description; nullopt when it is not one.
std::optional<Font> parseFontDescription(std::string_view description);

// A file specification as file dialogs and path helpers pass it: a folder, a
// type of up to 5 characters without the dot ("WOR", "idb", "" for all) and a
// file name (which may be a wildcard pattern such as "*.idb").
struct FileSpec {
  std::string directory;
  std::string type;
  std::string name;
  // The label of the button that accepts the choice; empty: the dialog's
  // own ("Open" or "Save"). An open dialog that names an output file says
  // what it is for.
  std::string acceptLabel = {};
};

enum class FileDialogResult { Ok, Cancelled, Failed };

// Position inside a text edit. Text edits never wrap, so every paragraph is
// exactly one line and `line` is 0 for every valid position. `character`
// counts characters (UTF-8 code points), never bytes.
struct TextPosition {
  int paragraph = 0;
  int line = 0;
  int character = 0;
  friend bool operator==(const TextPosition&, const TextPosition&) = default;
};

// A selection; start == end is the caret with nothing selected.
struct TextSelection {
  TextPosition start;
  TextPosition end;
  friend bool operator==(const TextSelection&, const TextSelection&) = default;
};

}  // namespace toolkit
