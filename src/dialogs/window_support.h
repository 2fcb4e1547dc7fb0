// What the four query windows share: their resource ids, help, the
// warning for unreadable columns, and the text-edit operations they use.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "odbc/catalog.h"
#include "odbc/retrieval_spec.h"
#include "toolkit/types.h"

namespace vodbc::dialogs {

inline constexpr int kSelectDataWindow = 101;
inline constexpr int kSqlEditorWindow = 102;
inline constexpr int kInsertNameDialog = 104;
inline constexpr int kWhereBuilderWindow = 105;

inline constexpr int kSelectDataTopic = 4403;
inline constexpr int kWhereBuilderTopic = 4404;
inline constexpr int kSqlEditorTopic = 4405;
inline constexpr int kInsertNameTopic = 4406;

// The font the WHERE and SQL text edits are given.
inline constexpr const char* kQueryEditFont =
    "01\\MS Sans Serif\\0\\8\\NT_01/-13/0/0/0/400/0/0/0/0/1/2/1/34/MS Sans Serif";

// How the windows open a help topic; the program installs its own (the
// windows library knows nothing about help files). Without one, Help does
// nothing.
void setHelpFunction(std::function<void(int topic)> showHelp);
void showHelp(int topic);

// Reads the table's columns when they have not been read yet; on failure
// shows "Warning: Could NOT get columns for table NAME" and returns false
// (the table stays unread, so a later request tries again).
bool ensureColumns(const RetrievalSpec& spec, CatalogTable& table);

void setQueryEditFont(toolkit::Window w, int control);

// The first line of every paragraph of a text edit, in order.
std::vector<std::string> paragraphFirstLines(toolkit::Window w, int control);
// Every line of one paragraph, or of all paragraphs, in order.
std::vector<std::string> paragraphLines(toolkit::Window w, int control, int paragraph);
std::vector<std::string> allLines(toolkit::Window w, int control);

// Replaces a list's items (suspended while filling).
void fillList(toolkit::Window w, int control, const std::vector<std::string>& items);

// The state of a window of which only one may exist at a time (select data,
// WHERE builder, insert table/field).
struct SingleWindowState {
  bool open = false;                // such a window exists
  CatalogTable* current = nullptr;  // the table its lists show
  bool ownsSharedState = true;      // false in a refused second window
  bool firstFillPending = false;    // placed on its first fill, not before
};

// Called on creation. While another such window is open, destroys `w` at
// once and marks it as owning nothing (its destroy arm must leave the open
// window's state alone) and returns false; otherwise claims the state for
// `w` and returns true.
bool claimSingleWindow(toolkit::Window w, SingleWindowState& s);

// What differs between the query windows' event handlers; `destroy` may be
// null (the SQL editor keeps nothing to give back).
struct QueryWindowEvents {
  void (*create)(toolkit::Window);
  void (*destroy)(toolkit::Window);
  void (*control)(toolkit::Window, const toolkit::Event&);
};

// The one event road of every query window: the close box destroys the
// window (so its destroy arm decides what closing means), a repaint clears
// the background, and creation, destruction and control events go to the
// window's own arms.
void dispatchQueryWindowEvent(toolkit::Window w, const toolkit::Event& e,
                              const QueryWindowEvents& events);

// insertAtCaret: puts `text` at the caret of a text edit (quoted as a name
// when `quoteIfNeeded`), gives the edit the focus and leaves the caret
// behind the insertion. Empty text does nothing.
void insertAtCaret(toolkit::Window w, int control, std::string_view text, bool quoteIfNeeded);

}  // namespace vodbc::dialogs
