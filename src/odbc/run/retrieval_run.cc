#include "odbc/run/retrieval_run.h"

#include "odbc/catalog.h"
#include "odbc/driver_manager.h"
#include "odbc/reporter.h"
#include "odbc/run/build_select.h"
#include "odbc/run/connection_password.h"
#include "sheet/worksheet_settings.h"

namespace vodbc {
namespace {

void removeTrailingBlanks(std::string& text) {
  std::size_t end = text.find_last_not_of(' ');
  text.erase(end == std::string::npos ? 0 : end + 1);
}

// Everything one run holds, released by finish() in the order the driver
// manager needs: statement, connection, environment; then the file.
class Run {
 public:
  Run(const std::optional<std::string>& path, RetrievalContext& context)
      : path_(path), c_(context) {}

  std::uint16_t go();

 private:
  // Ends a run that allocated the environment.
  std::uint16_t finish(std::uint16_t result, RunOutcome outcome);
  FetchOutcome fetch();
  std::string connectionString() const;

  const std::optional<std::string>& path_;
  RetrievalContext& c_;
  std::optional<RetrievalFile> file_;
  SQLHSTMT statement_ = SQL_NULL_HSTMT;
  RetrievalSpec spec_;
  std::string connection_;
  bool fetched_ = false;  // the run got as far as executing
  bool lastFetchFailed_ = false;
};

std::string Run::connectionString() const {
  std::string s = c_.overrides.connection.value_or(connection_);
  if (c_.overrides.password && !hasPasswordAttribute(s)) {
    s = addPasswordAttribute(s, *c_.overrides.password);
  }
  return s;
}

FetchOutcome Run::fetch() {
  fetched_ = true;
  FetchOutcome r = c_.fetch(statement_, spec_.sqlText);
  lastFetchFailed_ = r == FetchOutcome::kFailed;
  return r;
}

std::uint16_t Run::finish(std::uint16_t result, RunOutcome outcome) {
  c_.outcome = outcome;
  releaseOdbc(statement_);
  statement_ = SQL_NULL_HSTMT;
  if (file_) file_->close();
  if (fetched_ && lastFetchFailed_) c_.reporter.error(kReadFailedMessage);
  return result;
}

std::uint16_t Run::go() {
  OdbcReporter& reporter = c_.reporter;
  if (!checkDriverManager(reporter)) {
    c_.outcome = RunOutcome::kNoDriverManager;
    return 0;
  }
  switch (openOdbc(reporter)) {
    case OpenResult::kNothingAllocated:
      c_.outcome = RunOutcome::kOdbcRefused;
      return 0;
    case OpenResult::kFailed:
      return finish(0, RunOutcome::kOdbcRefused);
    case OpenResult::kOk:
      break;
  }

  if (path_) {
    file_ = openRetrievalFile(*path_, connection_, reporter);
    if (!file_) return finish(0, RunOutcome::kRetrievalFileUnreadable);
    connection_ = connectionString();
  }

  std::optional<std::string> stored;
  if (path_) stored = connection_;
  switch (driverConnect(stored, connection_, reporter, c_.chooseDataSource)) {
    case ConnectResult::kCancelled:
      return finish(1, RunOutcome::kConnectCancelled);
    case ConnectResult::kFailed:
      return finish(0, RunOutcome::kConnectFailed);
    case ConnectResult::kConnected:
      break;
  }

  statement_ = openStatement(reporter);
  if (statement_ == SQL_NULL_HSTMT) return finish(0, RunOutcome::kNoStatement);

  spec_.statement = statement_;
  readDriverCapabilities(spec_, reporter);
  if (!readTableList(statement_, spec_, reporter)) {
    reporter.error(kNoTableNamesMessage);
    return finish(0, RunOutcome::kNoTableNames);
  }
  if (spec_.tableCount == 0) {
    reporter.error(kNoTablesMessage);
    return finish(0, RunOutcome::kNoTables);
  }
  for (CatalogTable& table : spec_.tables) {
    table.columnCount = -1;
    table.columns.clear();
  }

  if (path_) {
    spec_.editSql = programSettings().options[kRetrievalOption] != 0;
    readRetrievalSql(*file_, *path_, spec_, reporter);
    if (c_.overrides.sql) spec_.sqlText = *c_.overrides.sql;
  } else {
    if (!c_.windows.openSelectDataWindow(spec_)) {
      reporter.error(kCantOpenSelectionMessage);
      return finish(0, RunOutcome::kSelectWindowUnavailable);
    }
    if (spec_.selectedTable < 0) return finish(1, RunOutcome::kSelectCancelled);
    buildSelect(spec_, spec_.tables[static_cast<std::size_t>(spec_.selectedTable)]);
  }

  if (spec_.editSql) {
    if (!c_.windows.openSqlEditorWindow(spec_)) {
      reporter.error(kCantOpenEditorMessage);
    } else if (spec_.selectedTable < 0) {
      return finish(0, RunOutcome::kStatementAbandoned);
    }
  }

  removeTrailingBlanks(spec_.sqlText);
  if (spec_.sqlText.empty()) {
    reporter.error(kEmptyStatementMessage);
    return finish(1, RunOutcome::kEmptyStatement);
  }

  FetchOutcome r = fetch();
  while (r == FetchOutcome::kFailed) {
    // The first button, "No", is the default: closing the question does
    // not send the user into the editor.
    if (c_.ask(kCorrectStatementQuestion, "No", "Yes") != 1) break;
    if (!c_.windows.openSqlEditorWindow(spec_)) {
      reporter.error(kCantOpenEditorMessage);
      break;
    }
    // Whatever closed the editor, its text is tried as it stands.
    r = fetch();
  }
  if (r == FetchOutcome::kCancelled) {
    return finish(1, RunOutcome::kFetchCancelled);
  }
  if (r == FetchOutcome::kFilled && spec_.saveRetrieval) {
    const std::string* rerunPath = path_ ? &*path_ : nullptr;
    writeRetrievalFile(connection_, spec_.sqlText, rerunPath, reporter, c_.saveHooks);
  }
  if (r == FetchOutcome::kFilled) return finish(1, RunOutcome::kSucceeded);
  return finish(0, RunOutcome::kFetchFailed);
}

}  // namespace

std::uint16_t runRetrieval(const std::optional<std::string>& retrievalFile,
                           RetrievalContext& context) {
  Run run(retrievalFile, context);
  return run.go();
}

}  // namespace vodbc
