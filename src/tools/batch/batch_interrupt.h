// How vodbc-batch is stopped from outside: Ctrl+C (SIGINT), SIGTERM and
// SIGHUP all cancel the run the same way. Nothing is written after one has
// arrived, and the exit status is 130.
#pragma once

#include "odbc/run/background_fetch.h"

namespace vodbc {

// Installs the handlers; from then on a signal only sets the flag.
void catchInterrupts();
bool interruptRequested();

// How long a cancelled fetch may take to come back from a driver call that
// its driver does not let us interrupt, before the process ends without it.
inline constexpr double kCancelGraceSeconds = 3.0;

// What vodbc-batch says when a signal stopped it.
inline constexpr const char* kInterruptedNote = "interrupted; nothing was written";
// ... when the driver went on with a statement it cannot be asked to stop.
inline constexpr const char* kInterruptedStuckNote =
    "interrupted; nothing was written (the driver could not stop its statement)";

// Called by the loop that polls a background fetch, after a signal: asks
// the fetch to stop. True once the grace has passed with the worker still
// inside a driver call: then the caller leaves with leaveInterrupted().
bool cancelInterruptedFetch(BackgroundFetch& fetch, double secondsSinceInterrupt);

// Ends the process at once with exit 130, without touching the handles a
// stuck driver call still uses (the system releases them).
[[noreturn]] void leaveInterrupted();

}  // namespace vodbc
