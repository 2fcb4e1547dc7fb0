#include "tools/batch/batch_interrupt.h"

#include <signal.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "tools/batch/batch_exit.h"

namespace vodbc {
namespace {

volatile std::sig_atomic_t interrupted = 0;

void onInterrupt(int) { interrupted = 1; }

}  // namespace

void catchInterrupts() {
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

bool interruptRequested() { return interrupted != 0; }

bool cancelInterruptedFetch(BackgroundFetch& fetch, double secondsSinceInterrupt) {
  // Asked again on every round: a cancel that reaches the driver before its
  // call has really started is lost on some drivers.
  fetch.cancel();
  return !fetch.finished() && secondsSinceInterrupt >= kCancelGraceSeconds;
}

void leaveInterrupted() {
  // The worker is still inside a driver call that cannot be interrupted
  // safely (an endless statement on SQLite, say). Freeing the handles under
  // it would be the very heap corruption the cancel avoids, and waiting may
  // never end. No file has been started, so nothing is written.
  std::fflush(stdout);
  std::fflush(stderr);
  ::_exit(kExitInterrupted);
}

}  // namespace vodbc
