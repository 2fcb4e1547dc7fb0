#include "dialogs/toolkit_query_windows.h"

#include <utility>

#include "dialogs/query_window_handlers.h"
#include "dialogs/window_support.h"
#include "toolkit/toolkit.h"

namespace vodbc {

ToolkitQueryWindows::ToolkitQueryWindows(std::function<void(int topic)> showHelp) {
  dialogs::setHelpFunction(std::move(showHelp));
}

bool ToolkitQueryWindows::openSelectDataWindow(RetrievalSpec& spec) {
  return toolkit::runModalDialog(dialogs::kSelectDataWindow, dialogs::selectDataWindowHandler,
                                 &spec, toolkit::taskWindow());
}

bool ToolkitQueryWindows::openSqlEditorWindow(RetrievalSpec& spec) {
  return toolkit::runModalDialog(dialogs::kSqlEditorWindow, dialogs::sqlEditorHandler, &spec,
                                 toolkit::taskWindow());
}

}  // namespace vodbc
