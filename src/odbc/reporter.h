// How the ODBC layer shows things to the user.
//
// Usage: every operation of this library that can fail takes an
// OdbcReporter& and shows its messages only through it, in the order the
// user must see them. The program hands in toolkitReporter() (message boxes
// and the ODBC message window), vodbc-batch its console (stderr),
// tests a recorder. A reporter used by a fetch on a worker thread is called
// on that thread: the implementation must carry the call to the GUI thread
// and return only once the user has closed the box or window.
#pragma once

#include <string>
#include <string_view>

namespace vodbc {

// One diagnostic record as the ODBC message window shows it.
struct OdbcDiagnostic {
  std::string sqlState;    // five characters
  std::string nativeCode;  // upper-case hexadecimal of the 32-bit code
  std::string message;     // at most 510 bytes
  bool isWarning = false;  // the failed call returned SQL_SUCCESS_WITH_INFO
};

inline constexpr const char* kErrorWindowTitle = "Velora ODBC Error Message";
inline constexpr const char* kWarningWindowTitle = "Velora ODBC Warning Message";

class OdbcReporter {
 public:
  virtual ~OdbcReporter() = default;
  // Modal message boxes of the three kinds, with the text verbatim.
  virtual void error(std::string_view text) = 0;
  virtual void warning(std::string_view text) = 0;
  virtual void note(std::string_view text) = 0;
  // Shows one record in the ODBC message window and returns once it is
  // closed; false when the window could not be opened.
  virtual bool diagnostic(const OdbcDiagnostic& record) = 0;
};

// The text a console or transcript shows for one record:
//   "<title>: SQL Error: <state> Error Code: <code> ODBC Error Message: <text>"
std::string describeDiagnostic(const OdbcDiagnostic& record);

}  // namespace vodbc
