// The fetch of a retrieval on a worker thread behind the toolkit's modal
// progress window.
//
// The window appears once the fetch has run for half a second and shows the
// rows fetched so far and the time taken; its Cancel stops the fetch the way
// the driver allows (odbc/fetch_control.h). Messages the fetch shows on its thread
// are carried to the GUI thread and shown there, in order, while the worker
// waits for them to be answered. The fetch itself never touches the event
// loop.
#pragma once

#include "odbc/reporter.h"
#include "odbc/run/retrieval_run.h"

namespace vodbc {

FetchRunner fetchWithProgressWindow(OdbcReporter& reporter);

// The progress window's line: "12000 rows fetched in 3.4 seconds".
std::string progressText(std::int64_t rows, double seconds);

}  // namespace vodbc
