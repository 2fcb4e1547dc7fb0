// Scripted sessions: a script plays the user, a transcript records what the
// user would have seen. Both backends with windows follow the same script
// and write the same transcript, so one test runs against real widgets and
// in memory alike.
//
// Environment (read by startSessionFromEnvironment, which the backend chooser
// calls): VODBC_SCRIPT=FILE holds the user's answers; VODBC_TRANSCRIPT=FILE
// receives the transcript (truncated at start, flushed after every line).
//
// Script: one command per line, consumed in order each time the program
// waits for the user. Blank lines and lines starting with '#' are skipped.
// TEXT is a double-quoted string with the escapes \" \\ \n \t; where a
// command ends in a free value (STRING, LABEL, PATH) the value may also be
// written unquoted, as the rest of the line with surrounding blanks dropped.
//
//   connect STRING | connect cancel   answer the data-source dialog: the
//                                     window on top must name an edit
//                                     "connection" and buttons "ok" and
//                                     "cancel" in its resource; STRING is
//                                     typed into the edit, then ok pressed
//   answer LABEL                      press a message box button by its label
//   file PATH | file cancel           answer a file dialog; a relative PATH is
//                                     taken from the dialog's folder
//   window ID                         assert that the top window is resource
//                                     ID ("task" for the task window)
//   select CTL INDEX|TEXT             single click on a list item
//   dblclick CTL INDEX|TEXT           double click on a list item
//   multiselect CTL I,J,...           the selection becomes exactly these
//   check CTL on|off                  click a check box when its mark differs
//   text CTL TEXT                     replace an edit's text
//   caret CTL PAR POS                 put the caret (no selection)
//   click CTL                         press a button
//   close                             the top window's close box
//   menu TAG                          a menu command of the task window (or a
//                                     command of its key table)
//
// CTL is a control id of the top window's resource or its name there; list
// items are chosen by index (from 0) or by their full text. A line that does
// not fit the window on top (unknown control, wrong kind of control, no such
// item, a message box answer while a window waits, ...) ends the program:
//   PROGRAM: script line N: WHAT IS WRONG
// on stderr and exit status 3. When the script runs out while the program
// waits, it ends with
//   PROGRAM: script ran out while waiting for WHAT
// (WHAT names the window by resource id and title, the message box by kind
// and text, or the file dialog by title) and exit status 3.
//
// Transcript: one line per thing the user sees, texts quoted like TEXT above.
//   open task "TITLE"                 the task window appeared
//   open ID "TITLE"                   a window became visible
//   title ID "TITLE"                  its title changed later
//   list ID CTL: "ITEM" *"ITEM" ...   a list's items ('*' marks selected)
//   text ID CTL: "PAR" "PAR" ...      a text edit's paragraphs
//   set ID CTL "TEXT"                 the text of another control
//   check ID CTL on|off               a check box's mark
//   close ID "TITLE"                  a window went away ("close task" last)
//   error "TEXT" | warning "TEXT" | note "TEXT"
//   ask "TEXT" "BUTTON" "BUTTON" ["BUTTON"]
//   file open|save "TITLE" "DIRECTORY" "TYPE" "NAME"
//   help TOPIC
// Control lines report what the program changed since the user last saw the
// window, written when the program next waits for the user (or shows a
// message, or closes the window): only controls whose content differs from
// what was last reported (at first, from the resource) appear, in resource
// order.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/backend.h"
#include "toolkit/types.h"

namespace toolkit {

// ---- Script commands (pure parsing) ----------------------------------------

struct ScriptCommand {
  enum class Verb {
    None,  // blank or comment line
    Connect,
    Answer,
    File,
    WindowIs,
    Select,
    DoubleClick,
    MultiSelect,
    Check,
    Text,
    Caret,
    Click,
    Close,
    Menu,
  };
  Verb verb = Verb::None;
  std::string control;       // CTL as written (id or name)
  std::string value;         // STRING, LABEL, PATH, TEXT, or an item's TEXT
  bool cancel = false;       // connect cancel, file cancel
  bool byIndex = false;      // select/dblclick by INDEX
  int number = 0;            // INDEX, ID, TAG, PAR
  int number2 = 0;           // POS
  bool on = false;           // check on|off
  bool isTask = false;       // window task
  std::vector<int> indices;  // multiselect
};

// Parses one script line. False with `error` set when the line is not a
// command (the caller adds the line number).
bool parseScriptLine(std::string_view line, ScriptCommand& out, std::string& error);

// Quotes a text for the transcript and error messages ("a\"b\n").
std::string quoteText(std::string_view text);

// ---- The program-wide session -----------------------------------------------

// Starts a session. `script` nullopt: nobody plays the user (the Qt backend
// then waits for a real one; the headless backend ends at the first wait).
// `transcriptPath` empty: no transcript file; the lines are still kept in
// memory for transcriptLines().
void startSession(std::optional<std::string> scriptText, const std::string& transcriptPath);
// Reads VODBC_SCRIPT and VODBC_TRANSCRIPT. False with `error` set when the
// script cannot be read or the transcript cannot be created.
bool startSessionFromEnvironment(std::string& error);
void endSession();

// True when a script plays the user.
bool scripted();
// True when a script or a transcript is active.
bool recording();
// Every transcript line so far (for in-process tests).
std::vector<std::string> transcriptLines();

// ---- For backends ----------------------------------------------------------

// Writes a transcript line (after announcing pending windows and changes).
void transcript(std::string_view line);
// Writes pending window announcements and control changes.
void flushTranscript();

// The program waits for the user in a window (a modal loop, or the task
// window's event loop): reads the next script line and carries it out on
// the top window through Backend::perform. Ends the program when the script
// has run out or the line does not fit.
void scriptStep();

// The program waits for a message box: returns the index of the button the
// next script line answers.
int scriptAnswerMessage(MessageKind kind, std::string_view text,
                        const std::vector<std::string>& buttons);

// The program waits for a file dialog: nullopt for "file cancel", else the
// absolute path the script names (relative paths joined to the dialog's
// folder).
std::optional<std::string> scriptAnswerFile(bool save, const FileSpec& spec,
                                            std::string_view title);

}  // namespace toolkit
