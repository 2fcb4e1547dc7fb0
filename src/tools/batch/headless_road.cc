#include "tools/batch/headless_road.h"

#include <cstdio>
#include <iostream>
#include <string>

#include "dialogs/query_model.h"
#include "odbc/connection.h"
#include "odbc/driver_listing.h"
#include "odbc/driver_manager.h"
#include "odbc/fetch.h"
#include "odbc/run/retrieval_run.h"
#include "sheet/paths.h"
#include "sheet/sheet.h"
#include "sheet/worksheet_settings.h"
#include "tools/batch/batch_console.h"
#include "tools/batch/batch_exit.h"

namespace vodbc {
namespace {

// The select-data window as --list-tables plays it: it prints the list the
// window would show, then closes as if cancelled.
class TableListingWindows final : public QueryWindows {
 public:
  bool openSelectDataWindow(RetrievalSpec& spec) override {
    for (const CatalogTable& table : spec.tables) std::cout << tableItemText(table) << '\n';
    spec.selectedTable = -1;
    return true;
  }
  bool openSqlEditorWindow(RetrievalSpec&) override { return false; }
};

// The query windows as --save-retrieval plays them: a table is picked only
// to get to the SQL editor, where the given statement replaces the composed
// one and "Save edited text" is ticked.
class GivenStatementWindows final : public QueryWindows {
 public:
  explicit GivenStatementWindows(std::string sql) : sql_(std::move(sql)) {}
  bool openSelectDataWindow(RetrievalSpec& spec) override {
    spec.selectedTable = 0;
    spec.editSql = true;
    return true;
  }
  bool openSqlEditorWindow(RetrievalSpec& spec) override {
    spec.sqlText = sql_;
    spec.saveRetrieval = true;
    return true;
  }

 private:
  std::string sql_;
};

// Passes everything on to the console and remembers whether one error was
// among it: the retrieval-file writer reports a failed save only by message.
class ErrorWatch final : public OdbcReporter {
 public:
  ErrorWatch(OdbcReporter& next, std::string watched) : next_(next), watched_(std::move(watched)) {}
  void error(std::string_view text) override {
    if (text == watched_) seen_ = true;
    next_.error(text);
  }
  void warning(std::string_view text) override { next_.warning(text); }
  void note(std::string_view text) override { next_.note(text); }
  bool diagnostic(const OdbcDiagnostic& record) override { return next_.diagnostic(record); }
  bool seen() const { return seen_; }

 private:
  OdbcReporter& next_;
  std::string watched_;
  bool seen_ = false;
};

int printDriverManagerList(Listing listing, BatchConsole& console) {
  if (!checkDriverManager(console)) return kExitConnection;
  if (openOdbc(console) != OpenResult::kOk) {
    releaseOdbc(SQL_NULL_HSTMT);
    return kExitConnection;
  }
  for (const ListedName& entry : listFromDriverManager(listing)) {
    std::cout << entry.name;
    if (listing == Listing::kDataSources) std::cout << '\t' << entry.detail;
    std::cout << '\n';
  }
  releaseOdbc(SQL_NULL_HSTMT);
  return kExitWritten;
}

// One interactive retrieval run with the connection string given as the
// user's answer to the data-source dialog; the questions get their first,
// safe answer.
RunOutcome runWithWindows(const std::string& connection, QueryWindows& windows,
                          OdbcReporter& reporter, const RetrievalSaveHooks& saveHooks) {
  initWorksheetDefaults();
  discardCurrentSheet();
  RetrievalContext context(reporter, windows);
  // The given string is the only answer: once it is refused there is nobody
  // to correct it, so the second asking cancels and the run ends as refused.
  context.chooseDataSource = [&connection, asked = false](const std::string&) mutable {
    if (asked) return std::optional<std::string>();
    asked = true;
    return std::optional<std::string>(connection);
  };
  context.ask = [](std::string_view, std::string_view, std::string_view) { return 0; };
  context.fetch = [&reporter](SQLHSTMT statement, const std::string& sql) {
    return fetchIntoSheet(statement, sql, reporter);
  };
  context.saveHooks = saveHooks;
  runRetrieval(std::nullopt, context);
  discardCurrentSheet();
  return context.outcome;
}

int listTables(const BatchOptions& o, BatchConsole& console) {
  TableListingWindows windows;
  RunOutcome outcome = runWithWindows(*o.connect, windows, console, {});
  return outcome == RunOutcome::kSelectCancelled ? kExitWritten : batchExitForRun(outcome);
}

int saveRetrieval(const BatchOptions& o, BatchConsole& console) {
  const std::string& path = *o.road.saveRetrieval;
  if (!o.overwrite && fileExists(path)) {
    console.error(path + " exists; --overwrite replaces it");
    return kExitNotWritten;
  }
  GivenStatementWindows windows(*o.sql);
  ErrorWatch watch(console, retrievalOpenError(path));
  RetrievalSaveHooks hooks;
  hooks.askFileName = [&path](std::string&, std::string&, const std::string&) {
    return std::optional<std::string>(path);
  };
  RunOutcome outcome = runWithWindows(*o.connect, windows, watch, hooks);
  if (outcome != RunOutcome::kSucceeded) return batchExitForRun(outcome);
  if (watch.seen()) return kExitNotWritten;
  if (!o.quiet) console.note("saved " + path);
  return kExitWritten;
}

}  // namespace

int runRoadCommand(const BatchOptions& o) {
  BatchConsole console(stderr, "", false);
  switch (o.road.command()) {
    case RoadCommand::kListDrivers:
      return printDriverManagerList(Listing::kDrivers, console);
    case RoadCommand::kListSources:
      return printDriverManagerList(Listing::kDataSources, console);
    case RoadCommand::kListTables:
      return listTables(o, console);
    case RoadCommand::kSaveRetrieval:
      return saveRetrieval(o, console);
    case RoadCommand::kNone:
      break;
  }
  return kExitUsage;
}

}  // namespace vodbc
