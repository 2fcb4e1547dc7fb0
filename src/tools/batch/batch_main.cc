// vodbc-batch RETRIEVAL.idb OUTPUT.WOR: reruns a saved retrieval with no
// window at all, for scripts and scheduled jobs.
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <thread>

#include "odbc/run/background_fetch.h"
#include "odbc/run/query_windows.h"
#include "odbc/run/retrieval_run.h"
#include "sheet/paths.h"
#include "sheet/sheet.h"
#include "sheet/worksheet_settings.h"
#include "text/process_locale.h"
#include "tools/batch/batch_console.h"
#include "tools/batch/batch_exit.h"
#include "tools/batch/batch_options.h"
#include "tools/batch/batch_summary.h"
#include "tools/batch/headless_road.h"
#include "worksheet_file/worksheet_reader.h"
#include "worksheet_file/worksheet_writer.h"

namespace vodbc {
namespace {

volatile std::sig_atomic_t interrupted = 0;

void onInterrupt(int) { interrupted = 1; }

void catchInterrupts() {
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs the fetch on a worker thread while this thread shows progress, passes
// the fetch's messages on in order and turns Ctrl+C into a cancel.
FetchRunner fetchWithProgress(BatchConsole& console) {
  return [&console](SQLHSTMT statement, const std::string& sql) {
    QueuedReporter queued(console);
    BackgroundFetch fetch(statement, sql, queued);
    auto start = std::chrono::steady_clock::now();
    while (!fetch.finished()) {
      queued.runPending();
      // Asked again on every round: a cancel that reaches the driver before
      // the statement starts running is lost on some drivers.
      if (interrupted) fetch.cancel();
      double seconds = secondsSince(start);
      if (seconds >= 0.5) {
        char line[96];
        std::snprintf(line, sizeof line, "%lld rows fetched, %.1f s%s",
                      static_cast<long long>(fetch.rows()), seconds,
                      fetch.cancelRequested() ? " (cancelling)" : "");
        console.progress(line);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    queued.runPending();
    console.clearProgress();
    return fetch.wait();
  };
}

std::vector<std::string> writtenNames(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
  WorksheetImage image;
  WorksheetReadError error;
  std::vector<std::string> names;
  if (!readWorksheet(bytes.data(), bytes.size(), &image, &error)) return names;
  for (const WorksheetColumn& column : image.columns) names.push_back(column.name);
  return names;
}

int run(const BatchOptions& o) {
  RetrievalOverrides overrides;
  overrides.connection = o.connect;
  overrides.sql = o.sql;
  if (o.passwordEnv) {
    const char* password = std::getenv(o.passwordEnv->c_str());
    if (!password) {
      std::fprintf(stderr, "error: the environment variable %s is not set\n",
                   o.passwordEnv->c_str());
      return kExitUsage;
    }
    overrides.password = password;
  }

  bool terminal = ::isatty(STDERR_FILENO) == 1;
  BatchConsole console(stderr, o.overwrite ? "Overwrite" : "", terminal && !o.quiet);

  if (!o.dryRun && !o.overwrite && fileExists(o.outputFile)) {
    console.error(o.outputFile + " exists; --overwrite replaces it");
    return kExitNotWritten;
  }

  catchInterrupts();
  initWorksheetDefaults();
  discardCurrentSheet();

  NoQueryWindows windows;
  RetrievalContext context(console, windows);
  context.overrides = overrides;
  context.fetch = fetchWithProgress(console);
  context.ask = [&console](std::string_view text, std::string_view first, std::string_view second) {
    return console.ask(text, first, second) == WriterMessages::Button::kFirst ? 0 : 1;
  };

  auto start = std::chrono::steady_clock::now();
  std::uint16_t result = runRetrieval(o.retrievalFile, context);
  SummaryInput summary;
  summary.retrievalFile = o.retrievalFile;
  summary.outputFile = o.outputFile;
  summary.dryRun = o.dryRun;
  summary.retrievalSeconds = secondsSince(start);

  if (interrupted) {
    console.note("interrupted; nothing was written");
    return kExitInterrupted;
  }
  if (result == 0 || currentSheet == nullptr) {
    int status = batchExitForRun(context.outcome);
    return status == kExitWritten ? kExitStatement : status;
  }

  Sheet* sheet = currentSheet;
  markAllColumnsChanged(sheet, false);
  sheet->changeSeen = 1;
  if (!o.quiet) {
    console.note("Retrieved " + std::to_string(sheet->columnCount) + " columns by " +
                 std::to_string(sheet->rowCount) + " rows of data from ODBC Query");
  }
  summary.fetched = fetchedColumns(*sheet);

  int status = kExitWritten;
  if (!o.dryRun) {
    auto writeStart = std::chrono::steady_clock::now();
    summary.written = writeWorksheetFile(sheet, o.outputFile.c_str(), console) == 1;
    summary.writeSeconds = secondsSince(writeStart);
    if (summary.written) {
      summary.writtenNames = writtenNames(o.outputFile);
    } else {
      status = kExitNotWritten;
    }
  }
  if (o.summaryJson) {
    summary.sheet = sheet;
    std::cout << buildSummary(summary).dump(2) << std::endl;
  }
  return status;
}

}  // namespace
}  // namespace vodbc

int main(int argc, char** argv) {
  vodbc::useProcessLocale();
  vodbc::BatchCommand command = vodbc::parseBatchCommand(argc, argv);
  switch (command.kind) {
    case vodbc::BatchCommand::Kind::kHelp:
    case vodbc::BatchCommand::Kind::kVersion:
      std::cout << command.text << std::endl;
      return 0;
    case vodbc::BatchCommand::Kind::kUsageError:
      std::cerr << "vodbc-batch: " << command.text << std::endl;
      return vodbc::kExitUsage;
    case vodbc::BatchCommand::Kind::kRun:
      break;
  }
  // The headless road's commands replace the rerun.
  if (command.options.road.command() != vodbc::RoadCommand::kNone) {
    return vodbc::runRoadCommand(command.options);
  }
  return vodbc::run(command.options);
}
