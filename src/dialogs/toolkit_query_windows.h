// The query windows as the retrieval run opens them.
//
// Usage (the program, once the toolkit runs):
//   static ToolkitQueryWindows windows([](int topic) { showHelpTopic(topic); });
//   RetrievalContext context(reporter, windows);
// Each call opens its window modally over the task window and returns once
// it has closed, with the choices left in the RetrievalSpec.
#pragma once

#include <functional>

#include "odbc/run/query_windows.h"

namespace vodbc {

class ToolkitQueryWindows final : public QueryWindows {
 public:
  // `showHelp` opens a help topic (the windows' Help buttons).
  explicit ToolkitQueryWindows(std::function<void(int topic)> showHelp);
  bool openSelectDataWindow(RetrievalSpec& spec) override;
  bool openSqlEditorWindow(RetrievalSpec& spec) override;
};

}  // namespace vodbc
