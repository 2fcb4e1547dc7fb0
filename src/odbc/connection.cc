#include "odbc/connection.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "odbc/connection_string.h"
#include "odbc/diagnostics.h"
#include "odbc/driver_manager.h"
#include "odbc/reporter.h"
#include "odbc/reserved_words.h"
#include "odbc/retrieval_spec.h"

namespace vodbc {

OdbcHandles odbcHandles;
DriverCapabilities driverCapabilities;

namespace {

// What the connected driver manager said about the functions we ask about.
struct FunctionAnswers {
  bool allocHandle = false;
  bool getDiagRec = false;
};
FunctionAnswers functionAnswers;

bool askDriverManager(SQLUSMALLINT function) {
  SQLUSMALLINT supported = SQL_FALSE;
  odbc::call<&OdbcApi::SQLGetFunctions>(odbcHandles.connection, function, &supported);
  return supported != SQL_FALSE;
}

}  // namespace

OpenResult openOdbc(OdbcReporter& reporter) {
  OdbcHandles& h = odbcHandles;
  if (h.level > 2) {
    // Anything but plain success means a driver manager we cannot trust with
    // the ODBC 3 handle functions.
    if (odbc::call<&OdbcApi::SQLAllocHandle>(SQL_HANDLE_ENV,
                                             static_cast<SQLHANDLE>(SQL_NULL_HANDLE),
                                             &h.environment) != SQL_SUCCESS) {
      h.environment = SQL_NULL_HENV;
      h.level = 2;
    }
  }
  if (h.level <= 2) {
    if (odbc::call<&OdbcApi::SQLAllocEnv>(&h.environment) != SQL_SUCCESS) {
      h.environment = SQL_NULL_HENV;
      reporter.error(kNoEnvironmentMessage);
      return OpenResult::kNothingAllocated;
    }
  }
  if (h.level > 2) {
    // The program speaks ODBC 2: dates come back with the ODBC 2 type codes
    // and SQLSTATEs in their ODBC 2 form.
    SQLRETURN rc = odbc::call<&OdbcApi::SQLSetEnvAttr>(
        h.environment, SQLINTEGER{SQL_ATTR_ODBC_VERSION},
        reinterpret_cast<SQLPOINTER>(static_cast<std::intptr_t>(SQL_OV_ODBC2)),
        SQLINTEGER{SQL_IS_INTEGER});
    if (!succeeded(rc)) {
      reportOdbcDiagnostics(h.environment, SQL_HANDLE_ENV, rc, reporter);
      return OpenResult::kFailed;
    }
  }
  SQLRETURN rc = h.level > 2 ? odbc::call<&OdbcApi::SQLAllocHandle>(SQL_HANDLE_DBC, h.environment,
                                                                    &h.connection)
                             : odbc::call<&OdbcApi::SQLAllocConnect>(h.environment, &h.connection);
  if (!succeeded(rc)) {
    h.connection = SQL_NULL_HDBC;
    reporter.error(kNoConnectionHandleMessage);
    return OpenResult::kFailed;
  }
  return OpenResult::kOk;
}

namespace {}  // namespace

std::string keepDriverAttribute(std::string_view completed, std::string_view connected) {
  for (const Attribute& a : connectionAttributes(completed)) {
    if ((a.name == "DSN" && !a.value.empty()) || a.name == "DRIVER" || a.name == "FILEDSN") {
      return std::string(completed);
    }
  }
  for (const Attribute& a : connectionAttributes(connected)) {
    if (a.name == "DRIVER") return a.text + ";" + std::string(completed);
  }
  return std::string(completed);
}

ConnectResult driverConnect(const std::optional<std::string>& stored, std::string& runString,
                            OdbcReporter& reporter, const DataSourceChooser& chooser) {
  // unixODBC has no dialog of its own to prompt in, so both ways connect
  // without prompting; the program's own dialog stands in for the driver
  // manager's.
  std::string input;
  bool refused = false;
  SQLCHAR completed[kConnectionStringBuffer] = {0};
  SQLSMALLINT completedLength = 0;
  for (;;) {
    if (stored) {
      input = *stored;
    } else {
      std::optional<std::string> chosen = chooser ? chooser(input) : std::nullopt;
      // Giving up after a refusal ends the run as the refusal does.
      if (!chosen) return refused ? ConnectResult::kFailed : ConnectResult::kCancelled;
      input = *chosen;
    }
    SQLRETURN rc = odbc::call<&OdbcApi::SQLDriverConnect>(
        odbcHandles.connection, static_cast<SQLHWND>(nullptr),
        reinterpret_cast<SQLCHAR*>(input.data()), SQLSMALLINT{SQL_NTS}, completed,
        SQLSMALLINT{kConnectionStringOut}, &completedLength, SQLUSMALLINT{SQL_DRIVER_NOPROMPT});
    if (rc == SQL_NO_DATA) return ConnectResult::kCancelled;
    if (succeeded(rc)) break;
    reporter.error(kConnectFailedMessage);
    // Tell the user why, too: the driver's records for the refusal.
    reportOdbcDiagnostics(odbcHandles.connection, SQL_HANDLE_DBC, rc, reporter);
    // A string the user chose may be corrected: the dialog opens again
    // with it. A stored string has nobody to correct it.
    if (stored || !chooser) return ConnectResult::kFailed;
    refused = true;
  }
  odbcHandles.connected = true;
  functionAnswers.allocHandle = askDriverManager(SQL_API_SQLALLOCHANDLE);
  functionAnswers.getDiagRec = askDriverManager(SQL_API_SQLGETDIAGREC);
  if (!stored) {
    completed[kConnectionStringOut - 1] = 0;
    // A completed string cut at the buffer would not connect again: keep
    // the string as built instead.
    bool cut = completedLength >= kConnectionStringOut || completed[0] == 0;
    runString = cut ? input : keepDriverAttribute(reinterpret_cast<const char*>(completed), input);
  }
  return ConnectResult::kConnected;
}

bool supportsFunction(SQLUSMALLINT function) {
  if (!odbcHandles.connected) return false;
  if (function == SQL_API_SQLALLOCHANDLE) return functionAnswers.allocHandle;
  if (function == SQL_API_SQLGETDIAGREC) return functionAnswers.getDiagRec;
  return askDriverManager(function);
}

SQLHSTMT openStatement(OdbcReporter& reporter) {
  OdbcHandles& h = odbcHandles;
  SQLHSTMT statement = SQL_NULL_HSTMT;
  SQLRETURN rc;
  if (supportsFunction(SQL_API_SQLALLOCHANDLE)) {
    h.level = 3;
    rc = odbc::call<&OdbcApi::SQLAllocHandle>(SQL_HANDLE_STMT, h.connection, &statement);
  } else {
    h.level = 2;
    rc = odbc::call<&OdbcApi::SQLAllocStmt>(h.connection, &statement);
  }
  if (!succeeded(rc)) {
    reporter.error(kNoStatementMessage);
    return SQL_NULL_HSTMT;
  }
  return statement;
}

namespace {

// A short SQLGetInfo answer into a 4-byte buffer; empty unless the driver
// answered with plain success.
std::optional<std::string> shortInfo(SQLUSMALLINT info) {
  char buffer[4] = {0};
  SQLSMALLINT length = 0;
  SQLRETURN rc = odbc::call<&OdbcApi::SQLGetInfo>(
      odbcHandles.connection, info, static_cast<SQLPOINTER>(buffer), SQLSMALLINT{4}, &length);
  if (rc != SQL_SUCCESS) return std::nullopt;
  buffer[3] = 0;
  return std::string(buffer);
}

std::optional<SQLUINTEGER> maskInfo(SQLUSMALLINT info) {
  SQLUINTEGER mask = 0;
  SQLRETURN rc =
      odbc::call<&OdbcApi::SQLGetInfo>(odbcHandles.connection, info, static_cast<SQLPOINTER>(&mask),
                                       SQLSMALLINT{4}, static_cast<SQLSMALLINT*>(nullptr));
  if (rc != SQL_SUCCESS) return std::nullopt;
  return mask;
}

std::string upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// The data source's own keywords (a comma-separated list of any length).
std::set<std::string> readKeywords() {
  std::set<std::string> words;
  std::string buffer(8192, '\0');
  SQLSMALLINT length = 0;
  SQLRETURN rc = odbc::call<&OdbcApi::SQLGetInfo>(
      odbcHandles.connection, SQLUSMALLINT{SQL_KEYWORDS}, static_cast<SQLPOINTER>(buffer.data()),
      static_cast<SQLSMALLINT>(buffer.size()), &length);
  if (!succeeded(rc)) return words;
  buffer.resize(std::strlen(buffer.c_str()));
  std::size_t start = 0;
  while (start <= buffer.size()) {
    std::size_t end = buffer.find(',', start);
    if (end == std::string::npos) end = buffer.size();
    std::string word = upper(buffer.substr(start, end - start));
    word.erase(0, word.find_first_not_of(' '));
    word.erase(word.find_last_not_of(' ') + 1);
    if (!word.empty()) words.insert(word);
    start = end + 1;
  }
  return words;
}

}  // namespace

void readDriverCapabilities(RetrievalSpec& spec, OdbcReporter& reporter) {
  DriverCapabilities& caps = driverCapabilities;
  char name[256] = {0};
  SQLSMALLINT nameLength = 0;
  SQLRETURN rc = odbc::call<&OdbcApi::SQLGetInfo>(
      odbcHandles.connection, SQLUSMALLINT{SQL_SERVER_NAME}, static_cast<SQLPOINTER>(name),
      SQLSMALLINT{255}, &nameLength);
  if (!succeeded(rc)) {
    reportOdbcDiagnostics(odbcHandles.connection, SQL_HANDLE_DBC, rc, reporter);
  }
  name[255] = 0;
  spec.dataSourceName = name[0] != 0 ? name : kUnnamedDataSource;

  // A driver that only half answers (success with information) is not
  // trusted with its answer.
  std::optional<std::string> quote = shortInfo(SQL_IDENTIFIER_QUOTE_CHAR);
  // A blank answer means the data source has no quoting: names are then
  // enclosed in blanks, which changes nothing for it.
  caps.quoteChar = quote && !quote->empty() ? (*quote)[0] : '"';

  caps.catalogInDml = false;
  if (std::optional<std::string> catalog = shortInfo(SQL_CATALOG_NAME)) {
    caps.catalogInDml = !catalog->empty() && (*catalog)[0] == 'Y';
  }
  if (caps.catalogInDml) {
    std::optional<SQLUINTEGER> usage = maskInfo(SQL_CATALOG_USAGE);
    caps.catalogInDml = usage && (*usage & SQL_CU_DML_STATEMENTS) != 0;
  }
  std::optional<SQLUINTEGER> schemaUsage = maskInfo(SQL_SCHEMA_USAGE);
  caps.schemaInDml = schemaUsage && (*schemaUsage & SQL_SU_DML_STATEMENTS) != 0;

  SQLUSMALLINT identifierCase = 0;
  rc = odbc::call<&OdbcApi::SQLGetInfo>(odbcHandles.connection, SQLUSMALLINT{SQL_IDENTIFIER_CASE},
                                        static_cast<SQLPOINTER>(&identifierCase), SQLSMALLINT{2},
                                        static_cast<SQLSMALLINT*>(nullptr));
  caps.identifierCase = succeeded(rc) ? identifierCase : 0;
  caps.keywords = readKeywords();
}

namespace {

bool needsQuotes(std::string_view name) {
  if (name.find_first_of(kSpecialCharacters) != std::string_view::npos) {
    return true;
  }
  const DriverCapabilities& caps = driverCapabilities;
  // A name the data source would fold to the other case names another
  // object unless it is quoted.
  for (char c : name) {
    if (caps.identifierCase == SQL_IC_LOWER && c >= 'A' && c <= 'Z') return true;
    if (caps.identifierCase == SQL_IC_UPPER && c >= 'a' && c <= 'z') return true;
  }
  std::string word = upper(name);
  return caps.keywords.count(word) != 0 || isOdbcReservedWord(word);
}

}  // namespace

void appendIdentifier(std::string& text, std::string_view name) {
  if (!needsQuotes(name)) {
    text.append(name);
    return;
  }
  char quote = driverCapabilities.quoteChar;
  text += quote;
  for (char c : name) {
    // Doubling is how SQL escapes the quote character; a blank "quote"
    // (a data source without quoting) has nothing to escape.
    if (c == quote && quote != ' ') text += quote;
    text += c;
  }
  text += quote;
}

void releaseOdbc(SQLHSTMT statement) {
  OdbcHandles& h = odbcHandles;
  bool odbc2 = h.level < 3;
  if (statement != SQL_NULL_HSTMT) {
    if (odbc2) {
      odbc::call<&OdbcApi::SQLFreeStmt>(statement, SQLUSMALLINT{SQL_DROP});
    } else {
      odbc::call<&OdbcApi::SQLFreeHandle>(SQLSMALLINT{SQL_HANDLE_STMT},
                                          static_cast<SQLHANDLE>(statement));
    }
  }
  if (h.connection != SQL_NULL_HDBC) {
    h.connected = false;
    odbc::call<&OdbcApi::SQLDisconnect>(h.connection);
    if (odbc2) {
      odbc::call<&OdbcApi::SQLFreeConnect>(h.connection);
    } else {
      odbc::call<&OdbcApi::SQLFreeHandle>(SQLSMALLINT{SQL_HANDLE_DBC},
                                          static_cast<SQLHANDLE>(h.connection));
    }
    h.connection = SQL_NULL_HDBC;
  }
  if (h.environment != SQL_NULL_HENV) {
    if (odbc2) {
      odbc::call<&OdbcApi::SQLFreeEnv>(h.environment);
    } else {
      odbc::call<&OdbcApi::SQLFreeHandle>(SQLSMALLINT{SQL_HANDLE_ENV},
                                          static_cast<SQLHANDLE>(h.environment));
    }
    h.environment = SQL_NULL_HENV;
  }
}

}  // namespace vodbc
