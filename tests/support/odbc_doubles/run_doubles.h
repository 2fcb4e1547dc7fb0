// Stand-ins for what the retrieval run is handed: a reporter that records
// what the user would see, marking calls from other threads, and query
// windows that act like a scripted user.
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

}  // namespace vodbc::testing
