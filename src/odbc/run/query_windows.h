// How a retrieval run opens the query windows.
//
// The run lives with the ODBC code but must not depend on the windows (the
// batch tool links no window code), so the program hands it this interface.
// Both windows are modal: each call returns once the window has closed, with
// the user's choices left in the RetrievalSpec.
#pragma once

#include "odbc/retrieval_spec.h"

namespace vodbc {

class QueryWindows {
 public:
  virtual ~QueryWindows() = default;
  // The select-data window (resource 101). False when it could not be
  // opened; a negative spec.selectedTable afterwards means cancelled.
  virtual bool openSelectDataWindow(RetrievalSpec& spec) = 0;
  // The SQL statement editor (resource 102). False when it could not be
  // opened; the statement and spec.saveRetrieval may have changed, and a
  // negative spec.selectedTable means the user gave up on the statement.
  virtual bool openSqlEditorWindow(RetrievalSpec& spec) = 0;
};

// For programs and builds without query windows: nothing can be opened, so
// an interactive run stops with the can't-open message and a rerun goes on
// with the statement from its file.
class NoQueryWindows final : public QueryWindows {
 public:
  bool openSelectDataWindow(RetrievalSpec&) override { return false; }
  bool openSqlEditorWindow(RetrievalSpec&) override { return false; }
};

}  // namespace vodbc
