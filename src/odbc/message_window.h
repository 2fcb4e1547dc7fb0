// The ODBC layer's messages shown through the GUI toolkit.
//
// Usage (GUI thread): ToolkitOdbcReporter reporter; pass it to every
// operation of the ODBC layer. Errors, warnings and notes become the
// toolkit's message boxes; each diagnostic record opens the ODBC message
// window (resource 103) modally. Where the toolkit has no windows (the
// console backend) records go to stderr instead; in headless sessions they
// go to stderr as well as to the window.
#pragma once

#include "odbc/reporter.h"
#include "toolkit/types.h"

namespace vodbc {

inline constexpr int kOdbcMessageWindow = 103;
inline constexpr const char* kMessageWindowFont =
    "01\\MS Sans Serif\\0\\8\\NT_01/-13/0/0/0/400/0/0/0/0/1/2/1/34/MS Sans Serif";
inline constexpr const char* kNullDataMessage =
    "Internal Spreadsheet Error: In ODBC Error Window - Null data pointer";

class ToolkitOdbcReporter : public OdbcReporter {
 public:
  void error(std::string_view text) override;
  void warning(std::string_view text) override;
  void note(std::string_view text) override;
  bool diagnostic(const OdbcDiagnostic& record) override;
};

// The message window's event handler; its window data is the
// OdbcDiagnostic to show.
void odbcMessageWindowHandler(toolkit::Window window, const toolkit::Event& event);

}  // namespace vodbc
