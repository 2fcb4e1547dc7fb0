// Test helper: an OdbcReporter that keeps everything it is shown, in order,
// as lines "error: ...", "warning: ...", "note: ...", and
// "diagnostic: <title>|<state>|<code>|<message>".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "odbc/reporter.h"

namespace vodbc {

class RecordingReporter : public OdbcReporter {
 public:
  void error(std::string_view text) override { add("error: ", text); }
  void warning(std::string_view text) override { add("warning: ", text); }
  void note(std::string_view text) override { add("note: ", text); }
  bool diagnostic(const OdbcDiagnostic& record) override {
    records.push_back(record);
    lines.push_back(std::string("diagnostic: ") +
                    (record.isWarning ? kWarningWindowTitle : kErrorWindowTitle) + "|" +
                    record.sqlState + "|" + record.nativeCode + "|" + record.message);
    return windowOpens;
  }

  std::vector<std::string> lines;
  std::vector<OdbcDiagnostic> records;
  bool windowOpens = true;

 private:
  void add(const char* kind, std::string_view text) { lines.push_back(kind + std::string(text)); }
};

}  // namespace vodbc
