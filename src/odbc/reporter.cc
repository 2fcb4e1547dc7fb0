#include "odbc/reporter.h"

namespace vodbc {

std::string describeDiagnostic(const OdbcDiagnostic& record) {
  std::string text = record.isWarning ? kWarningWindowTitle : kErrorWindowTitle;
  text += ": SQL Error: ";
  text += record.sqlState;
  text += " Error Code: ";
  text += record.nativeCode;
  text += " ODBC Error Message: ";
  text += record.message;
  return text;
}

}  // namespace vodbc
