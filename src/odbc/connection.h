// Handles, connection and the driver's SQL dialect.
//
// Usage, in this order for one retrieval (every exit after openOdbc goes
// through releaseOdbc, also on failure and on cancel):
//   if (!checkDriverManager(reporter)) return 0;
//   OpenResult o = openOdbc(reporter);            // NothingAllocated: stop
//   ConnectResult c = driverConnect(stored, runString, reporter, chooser);
//   SQLHSTMT statement = openStatement(reporter); // null: release
//   readDriverCapabilities(spec, reporter);
//   ... catalog, fetch ...
//   releaseOdbc(statement);
// OdbcSession wraps the release in a destructor for callers that want it.
// odbcHandles and driverCapabilities are program-wide; `level` carries over
// from one retrieval to the next.
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace vodbc {

class OdbcReporter;
struct RetrievalSpec;

struct OdbcHandles {
  // 3: the ODBC 3 handle functions; 2: the ODBC 2 ones.
  std::int32_t level = 3;
  SQLHENV environment = SQL_NULL_HENV;
  SQLHDBC connection = SQL_NULL_HDBC;
  // Set while `connection` is connected to a data source.
  bool connected = false;
};
extern OdbcHandles odbcHandles;

struct DriverCapabilities {
  char quoteChar = '"';
  bool catalogInDml = false;
  bool schemaInDml = false;
  // How the data source folds unquoted names (SQL_IDENTIFIER_CASE; 0 when it
  // did not say) and its own keywords, upper case: appendIdentifier quotes
  // names that would otherwise change or be read as a keyword.
  SQLUSMALLINT identifierCase = 0;
  std::set<std::string> keywords;
};
extern DriverCapabilities driverCapabilities;

// Text pieces of composed statements.
inline constexpr const char* kColumnSeparator = ",";
inline constexpr const char* kQualifierSeparator = ".";
inline constexpr std::string_view kSpecialCharacters = " '_%#$@!^[]()&*-+\"|,.?<>";

// Buffer sizes of the connection string.
inline constexpr int kConnectionStringBuffer = 1124;
inline constexpr int kConnectionStringOut = 1024;

enum class OpenResult { kOk, kNothingAllocated, kFailed };
enum class ConnectResult { kConnected, kCancelled, kFailed };

// Allocates the environment (declaring ODBC 2 behaviour) and the connection.
OpenResult openOdbc(OdbcReporter& reporter);

// Asks the user for a connection string, starting from `initial` (empty
// at first, the refused string when asked again); nullopt when they cancel.
// The program shows its data-source dialog here (see data_source_dialog.h).
using DataSourceChooser = std::function<std::optional<std::string>(const std::string& initial)>;

// Connects odbcHandles.connection without prompting. With `stored` (from a
// retrieval file) that string is used and runString is left alone; without
// it `chooser` supplies the string and runString becomes the completed
// string the driver manager returns. A chosen string that is refused is
// reported (message and diagnostics) and offered to the chooser again for
// correcting; cancelling then fails the connection as the refusal would
// have (kFailed), cancelling the first time is kCancelled.
ConnectResult driverConnect(const std::optional<std::string>& stored, std::string& runString,
                            OdbcReporter& reporter, const DataSourceChooser& chooser);

// The completed connection string as the run keeps it: when it names
// neither a data source (a non-empty DSN=) nor a DRIVER= or FILEDSN= (the
// SQLite driver completes "DRIVER=SQLite3;Database=x" into
// "DSN=;Database=x"), the DRIVER= attribute of the string that connected
// is put in front of it, so a saved retrieval file connects again.
std::string keepDriverAttribute(std::string_view completed, std::string_view connected);

// The run's statement handle, or null after the error message. Decides the
// level again from what the connected driver manager supports.
SQLHSTMT openStatement(OdbcReporter& reporter);

// True when the driver manager reports `function` as supported on the
// program-wide connection (false with no connection). The answers for the
// functions this program asks about are read once, right after connecting:
// asking later would clear the diagnostic records of the connection that a
// report is about to read.
bool supportsFunction(SQLUSMALLINT function);

// Fills spec.dataSourceName and driverCapabilities; always succeeds.
void readDriverCapabilities(RetrievalSpec& spec, OdbcReporter& reporter);

// Appends `name` to SQL text, enclosed in the quote character when it
// holds a special character, would be folded by the data source, or is a
// keyword; a quote character inside a quoted name is doubled.
void appendIdentifier(std::string& text, std::string_view name);

// Frees the statement (when given), disconnects and frees the connection,
// then the environment, with the functions of the current level; leaves
// odbcHandles without handles. Safe to call twice.
void releaseOdbc(SQLHSTMT statement);

// Releases at scope exit unless released already.
class OdbcSession {
 public:
  OdbcSession() = default;
  ~OdbcSession() { release(); }
  OdbcSession(const OdbcSession&) = delete;
  OdbcSession& operator=(const OdbcSession&) = delete;
  void setStatement(SQLHSTMT statement) { statement_ = statement; }
  SQLHSTMT statement() const { return statement_; }
  void release() {
    if (active_) releaseOdbc(statement_);
    active_ = false;
    statement_ = SQL_NULL_HSTMT;
  }

 private:
  SQLHSTMT statement_ = SQL_NULL_HSTMT;
  bool active_ = true;
};

// Messages of this file.
inline constexpr const char* kNoEnvironmentMessage = "Error: Could not allocate ODBC environment";
inline constexpr const char* kNoConnectionHandleMessage =
    "Error: Could not allocate ODBC Database Connection handle";
inline constexpr const char* kConnectFailedMessage =
    "Error: Could not Open Database Driver Connection correctly";
inline constexpr const char* kNoStatementMessage =
    "Error: Could not allocate ODBC Statement handle";
inline constexpr const char* kUnnamedDataSource = "Unnamed Data Source";

}  // namespace vodbc
