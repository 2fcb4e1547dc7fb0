// Runs the commands of the headless road (see road_options.h).
//
// Listing the tables and saving a retrieval file go through the same
// retrieval run the program makes for "Database...": the run connects with
// the given string as if the user had typed it into the data-source dialog,
// and the query windows are played by this tool. So the table list is the
// select-data window's, the statement is checked by executing and fetching
// it, and the file is written by the program's own retrieval-file writer
// with the connection string as the driver manager completed it.
#pragma once

#include "tools/batch/batch_options.h"

namespace vodbc {

// The command's exit status (see batch_exit.h). Results go to stdout,
// messages to stderr.
int runRoadCommand(const BatchOptions& options);

}  // namespace vodbc
