// What the run tests share: a reporter that records what the user would
// see, query windows that act like a scripted user, and SQLite databases
// made on the spot.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "odbc/reporter.h"
#include "odbc/run/query_windows.h"

namespace vodbc::testing {

// Records "error: TEXT", "warning: TEXT", "note: TEXT" and
// "diagnostic: STATE" lines, in order; a call from another thread than the
// one that made the recorder is marked " (on another thread)".
class RecordingReporter final : public OdbcReporter {
 public:
  void error(std::string_view text) override { add("error: ", text); }
  void warning(std::string_view text) override { add("warning: ", text); }
  void note(std::string_view text) override { add("note: ", text); }
  bool diagnostic(const OdbcDiagnostic& record) override {
    add("diagnostic: ", record.sqlState);
    return true;
  }
  std::vector<std::string> lines;

 private:
  void add(std::string_view kind, std::string_view text) {
    std::string line = std::string(kind) + std::string(text);
    if (std::this_thread::get_id() != owner_) line += " (on another thread)";
    lines.push_back(std::move(line));
  }
  std::thread::id owner_ = std::this_thread::get_id();
};

// Query windows whose behaviour each test supplies; a missing function
// means the window cannot be opened.
class ScriptedWindows final : public QueryWindows {
 public:
  std::function<void(RetrievalSpec&)> selectData;
  std::function<void(RetrievalSpec&)> sqlEditor;
  int selectOpened = 0;
  int editorOpened = 0;

  bool openSelectDataWindow(RetrievalSpec& spec) override {
    if (!selectData) return false;
    ++selectOpened;
    selectData(spec);
    return true;
  }
  bool openSqlEditorWindow(RetrievalSpec& spec) override {
    if (!sqlEditor) return false;
    ++editorOpened;
    sqlEditor(spec);
    return true;
  }
};

// A new temporary folder for one test.
std::string makeTempFolder();

// Makes an SQLite database at `path` by running `sql` with the sqlite3
// command; returns its connection string through the private driver
// registration ("DRIVER=SQLite3;Database=<path>").
std::string makeSqliteDatabase(const std::string& path, const std::string& sql);

// Writes a retrieval file: the tag, the connection string and the SQL text
// lines, with CR LF line ends.
void writeRetrievalFileText(const std::string& path, const std::string& connection,
                            const std::vector<std::string>& sqlLines);

std::string readWholeFile(const std::string& path);

// `text` with every `from` replaced by `to`.
std::string replaceAll(std::string text, const std::string& from, const std::string& to);

// The lines of `text`, without their line ends.
std::vector<std::string> splitLines(const std::string& text);

// A program run to its end: exit status (1000 + signal when killed), and
// what it wrote on stdout and stderr.
struct Result {
  int status = -1;
  std::string out, err;
};

// Runs `program` with `args`, stdout and stderr going to files in `folder`.
// `whileRunning`, when given, gets the process id while it runs.
Result runProgram(const std::string& program, const std::vector<std::string>& args,
                  const std::string& folder, const std::function<void(int pid)>& whileRunning = {});

}  // namespace vodbc::testing
