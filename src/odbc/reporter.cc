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

void ConsoleOdbcReporter::error(std::string_view text) {
  std::fprintf(out_, "%.*s\n", static_cast<int>(text.size()), text.data());
}

void ConsoleOdbcReporter::warning(std::string_view text) { error(text); }

void ConsoleOdbcReporter::note(std::string_view text) { error(text); }

bool ConsoleOdbcReporter::diagnostic(const OdbcDiagnostic& record) {
  error(describeDiagnostic(record));
  return true;
}

}  // namespace vodbc
