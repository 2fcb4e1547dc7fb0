// Exit statuses of vodbc-batch. Scripts test them, so they never change
// meaning: each names a class of cause, not one message.
#pragma once

#include "odbc/run/retrieval_run.h"

namespace vodbc {

enum BatchExit : int {
  kExitWritten = 0,  // the worksheet file was written
  kExitUsage = 2,
  kExitRetrievalFile = 3,  // missing or unreadable retrieval file
  kExitConnection = 4,     // no driver manager, connection refused, no tables
  kExitStatement = 5,      // empty statement, execution or fetch failed
  kExitNotWritten = 6,     // existing file, column or row limit, write error
  kExitInterrupted = 130,  // Ctrl+C
};
// 7 and 8 come from the worksheet model itself, which ends the process when
// an allocation is over its cap or memory runs out.

// The status for a run that did not end with a Sheet.
inline int batchExitForRun(RunOutcome outcome) {
  switch (outcome) {
    case RunOutcome::kSucceeded:
      return kExitWritten;
    case RunOutcome::kRetrievalFileUnreadable:
      return kExitRetrievalFile;
    case RunOutcome::kNoDriverManager:
    case RunOutcome::kOdbcRefused:
    case RunOutcome::kConnectCancelled:
    case RunOutcome::kConnectFailed:
    case RunOutcome::kNoStatement:
    case RunOutcome::kNoTableNames:
    case RunOutcome::kNoTables:
      return kExitConnection;
    case RunOutcome::kFetchCancelled:
      return kExitInterrupted;
    case RunOutcome::kSelectWindowUnavailable:
    case RunOutcome::kSelectCancelled:
    case RunOutcome::kStatementAbandoned:
    case RunOutcome::kEmptyStatement:
    case RunOutcome::kFetchFailed:
      return kExitStatement;
  }
  return kExitStatement;
}

}  // namespace vodbc
