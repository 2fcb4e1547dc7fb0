// What the ODBC layer keeps for the whole process, put back as a new
// process has it, so a test never inherits an earlier test's driver
// manager, handles, answers or remembered folder.
#pragma once

#include "odbc/connection.h"
#include "odbc/driver_manager.h"
#include "odbc/retrieval_file.h"
#include "sheet/sheet.h"

namespace vodbc::testing {

// No driver manager loaded, no handles, no driver capabilities read, the
// save dialog's folder and name not yet chosen, no current Sheet.
inline void resetOdbcProcessState() {
  discardCurrentSheet();
  odbcHandles = OdbcHandles{};
  driverCapabilities = DriverCapabilities{};
  retrievalSaveState() = RetrievalSaveState{};
  unloadDriverManager();
}

}  // namespace vodbc::testing
