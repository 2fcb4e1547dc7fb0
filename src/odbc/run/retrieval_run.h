// One retrieval run: from the check for the driver manager to the release
// of the last ODBC handle, leaving the fetched Sheet in currentSheet.
//
// Usage (the program; vodbc-batch passes NoQueryWindows and its console
// reporter):
//   RetrievalContext context(reporter, windows);
//   context.ask = ...; context.chooseDataSource = ...; context.fetch = ...;
//   std::uint16_t ok = runRetrieval(path, context);   // nullopt: interactive
//   if (ok && currentSheet) { ...report and write... }
//
// The result is 1 when nothing failed and 0 after a failure that the run
// has already shown. A 1 does not by itself mean a Sheet was made: a
// cancelled dialog, a cancelled fetch or an empty statement end the run
// with 1 and no Sheet, which is why the caller clears currentSheet first.
// Statement, connection and environment are released, in that order, on
// every exit after the environment was allocated.
#pragma once

#include <sql.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "odbc/connection.h"
#include "odbc/fetch.h"
#include "odbc/retrieval_file.h"
#include "odbc/retrieval_spec.h"
#include "odbc/run/query_windows.h"

namespace vodbc {

class OdbcReporter;

// Where the run ended; tools map it to their exit codes.
enum class RunOutcome {
  kSucceeded,  // a Sheet was made
  kNoDriverManager,
  kOdbcRefused,  // environment or connection handle refused
  kRetrievalFileUnreadable,
  kConnectCancelled,  // result 1, silent
  kConnectFailed,
  kNoStatement,
  kNoTableNames,
  kNoTables,
  kSelectWindowUnavailable,
  kSelectCancelled,     // result 1, silent
  kStatementAbandoned,  // the editor's empty-statement question: result 0, silent
  kEmptyStatement,      // result 1 after the message
  kFetchFailed,
  kFetchCancelled,  // result 1, silent, no Sheet
};

// Runs one execution and fetch of `sql` on `statement` into a new Sheet.
// The program runs it on a worker thread behind a progress window, the batch
// tool on a worker thread it can cancel from a signal.
using FetchRunner = std::function<FetchOutcome(SQLHSTMT statement, const std::string& sql)>;

// Replacements for what a retrieval file holds (vodbc-batch's --connect,
// --sql and --password-env); only used by runs with a file.
struct RetrievalOverrides {
  std::optional<std::string> connection;
  std::optional<std::string> sql;
  // Added as PWD= when the connection string holds no password.
  std::optional<std::string> password;
};

// Asks `text` with two buttons, the first being the default; returns 0 or 1.
using AskTwo =
    std::function<int(std::string_view text, std::string_view first, std::string_view second)>;

struct RetrievalContext {
  RetrievalContext(OdbcReporter& r, QueryWindows& w) : reporter(r), windows(w) {}

  OdbcReporter& reporter;
  QueryWindows& windows;
  AskTwo ask;
  DataSourceChooser chooseDataSource;  // interactive runs only
  FetchRunner fetch;                   // required
  RetrievalSaveHooks saveHooks;        // the save dialog of a new retrieval file
  RetrievalOverrides overrides;
  RunOutcome outcome = RunOutcome::kSucceeded;  // set by every run
};

std::uint16_t runRetrieval(const std::optional<std::string>& retrievalFile,
                           RetrievalContext& context);

// The run's own messages.
inline constexpr const char* kCantOpenSelectionMessage =
    "Error: Can't open OBDC Selection Window.\n"
    "Please close another window or application.";
inline constexpr const char* kCantOpenEditorMessage =
    "Error: Can't open OBDC Edit SQL Window.\n"
    "Please close another window or application.";
inline constexpr const char* kEmptyStatementMessage = "Error: Empty ODBC SQL statement";
inline constexpr const char* kCorrectStatementQuestion =
    "Do you want to edit the SQL statement to correct this error?";
inline constexpr const char* kReadFailedMessage = "Error reading ODBC Data!";

}  // namespace vodbc
