// The commands that run a retrieval and save its worksheet: "Database..."
// (interactive), "Rerun Saved..." (a retrieval file the user picks) and the
// start-up rerun of the retrieval file named on the command line. Each runs
// the retrieval, reports how much it retrieved, asks for the worksheet file
// and writes it; a cancelled dialog or a failed run ends the command
// silently (the run has shown its own messages).
#pragma once

#include <string>

namespace vodbc {

class QueryWindows;

enum class RunVariant { kDatabase, kRerunSaved, kStartUp };

// Runs one variant. The query windows are the program's; the start-up
// variant takes its file from programState().startRetrievalFile.
void runAndSave(RunVariant variant, QueryWindows& windows);

// Texts of the commands.
inline constexpr const char* kReportFormat =
    "Retrieved %li columns by %li rows of data from ODBC Query";
inline constexpr const char* kSaveWorksheetTitle = "Velora Save ODBC data in Worksheet";
inline constexpr const char* kOpenRetrievalTitle = "Velora Open ODBC data retrieval file";

}  // namespace vodbc
