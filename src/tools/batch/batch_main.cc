// vodbc-batch RETRIEVAL.idb OUTPUT.WOR: reruns a saved retrieval with no
// window at all, for scripts and scheduled jobs.
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>

#include "odbc/run/background_fetch.h"
#include "odbc/run/query_windows.h"
#include "odbc/run/retrieval_run.h"
#include "sheet/checked_alloc.h"
#include "sheet/paths.h"
#include "sheet/sheet.h"
#include "sheet/worksheet_settings.h"
#include "text/process_locale.h"
#include "tools/batch/batch_console.h"
#include "tools/batch/batch_exit.h"
#include "tools/batch/batch_interrupt.h"
#include "tools/batch/batch_options.h"
#include "tools/batch/batch_summary.h"
#include "tools/batch/headless_road.h"
#include "worksheet_file/output_file.h"
#include "worksheet_file/worksheet_reader.h"
#include "worksheet_file/worksheet_writer.h"

namespace vodbc {
namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs the fetch on a worker thread while this thread shows progress, passes
// the fetch's messages on in order and turns Ctrl+C into a cancel.
// `complete` is cleared when the last fetch ended early with an error.
FetchRunner fetchWithProgress(BatchConsole& console, bool& complete) {
  return [&console, &complete](SQLHSTMT statement, const std::string& sql) {
    QueuedReporter queued(console);
    BackgroundFetch fetch(statement, sql, queued);
    auto start = std::chrono::steady_clock::now();
    std::optional<std::chrono::steady_clock::time_point> interruptedAt;
    while (!fetch.finished()) {
      queued.runPending();
      if (interruptRequested()) {
        if (!interruptedAt) interruptedAt = std::chrono::steady_clock::now();
        if (cancelInterruptedFetch(fetch, secondsSince(*interruptedAt))) {
          console.clearProgress();
          console.note(kInterruptedStuckNote);
          leaveInterrupted();
        }
      }
      double seconds = secondsSince(start);
      if (seconds >= 0.5) {
        char line[96];
        std::snprintf(line, sizeof line, "%lld rows fetched, %.1f s%s",
                      static_cast<long long>(fetch.rows()), seconds,
                      fetch.cancelRequested() ? " (cancelling)" : "");
        console.progress(line);
      }
      fetch.waitFinished(std::chrono::milliseconds(50));
    }
    queued.runPending();
    console.clearProgress();
    FetchOutcome outcome = fetch.wait();
    complete = fetch.complete();
    return outcome;
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

// The writer stays silent when a write or the final step fails (a full
// disk, a file size limit, another run that created the file first); a
// script's log should still say why.
void reportWriteFailure(const std::string& path, const AtomicOutputFile& file,
                        BatchConsole& console) {
  if (file.failureError() == 0) return;  // the writer has said why
  console.error(path + " was not written: " + std::strerror(file.failureError()) +
                (file.failureError() == EEXIST ? " (created meanwhile by another program)" : ""));
}

// Why nothing was written, in the summary's words.
const char* reasonForExit(int status) {
  switch (status) {
    case kExitRetrievalFile:
      return "retrieval file missing or unreadable";
    case kExitConnection:
      return "no driver manager, connection refused, or no tables";
    case kExitStatement:
      return "empty statement, execution or fetch failed";
    case kExitNotWritten:
      return "worksheet not written";
    case kExitInterrupted:
      return "interrupted";
  }
  return "failed";
}

// Prints the summary when asked for; false (after saying so) when standard
// output did not take it.
bool printSummary(const BatchOptions& o, SummaryInput& summary, BatchConsole& console) {
  if (!o.summaryJson) return true;
  std::cout << summaryText(summary) << std::endl;
  if (std::cout) return true;
  console.error("the summary could not be written to standard output");
  return false;
}

// Ends a run that wrote nothing with `status`, after the summary.
int endWithout(int status, const BatchOptions& o, SummaryInput& summary, BatchConsole& console) {
  summary.written = false;
  if (summary.reason.empty()) summary.reason = reasonForExit(status);
  printSummary(o, summary, console);
  return status;
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
  SummaryInput summary;
  summary.retrievalFile = o.retrievalFile;
  summary.outputFile = o.outputFile;
  summary.dryRun = o.dryRun;

  if (!o.dryRun && !o.overwrite && fileExists(o.outputFile)) {
    console.error(o.outputFile + " exists; --overwrite replaces it");
    summary.reason = "the worksheet file exists and --overwrite was not given";
    return endWithout(kExitNotWritten, o, summary, console);
  }

  catchInterrupts();
  // Past a file size limit a write fails (and is reported) instead of the
  // process being killed.
  std::signal(SIGXFSZ, SIG_IGN);
  initWorksheetDefaults();
  discardCurrentSheet();

  NoQueryWindows windows;
  RetrievalContext context(console, windows);
  context.overrides = overrides;
  bool complete = true;
  context.fetch = fetchWithProgress(console, complete);
  context.ask = [&console](std::string_view text, std::string_view first, std::string_view second) {
    return console.ask(text, first, second) == WriterMessages::Button::kFirst ? 0 : 1;
  };

  auto start = std::chrono::steady_clock::now();
  std::uint16_t result = runRetrieval(o.retrievalFile, context);
  summary.retrievalSeconds = secondsSince(start);

  if (interruptRequested()) {
    console.note(kInterruptedNote);
    return endWithout(kExitInterrupted, o, summary, console);
  }
  if (result == 0 || currentSheet == nullptr) {
    int status = batchExitForRun(context.outcome);
    return endWithout(status == kExitWritten ? kExitStatement : status, o, summary, console);
  }

  Sheet* sheet = currentSheet;
  markAllColumnsChanged(sheet, false);
  sheet->changeSeen = 1;
  if (!o.quiet) {
    console.note("Retrieved " + std::to_string(sheet->columnCount) + " columns by " +
                 std::to_string(sheet->rowCount) + " rows of data from ODBC Query");
  }
  summary.fetched = fetchedColumns(*sheet);
  summary.sheet = sheet;
  summary.complete = complete;
  if (!complete && !o.allowPartial) {
    // A scheduled rerun must never replace a good file with a cut one.
    console.error("the fetch ended with an error after " + std::to_string(sheet->rowCount) +
                  " rows; nothing was written (--allow-partial writes them)");
    summary.reason = "the fetch ended with an error";
    return endWithout(kExitStatement, o, summary, console);
  }

  int status = kExitWritten;
  if (!o.dryRun) {
    auto writeStart = std::chrono::steady_clock::now();
    AtomicOutputFile file;
    summary.written = writeWorksheetFile(sheet, o.outputFile.c_str(), console, file) == 1;
    summary.writeSeconds = secondsSince(writeStart);
    if (!summary.written) {
      status = kExitNotWritten;
      summary.reason = reasonForExit(status);
      reportWriteFailure(o.outputFile, file, console);
    } else if (o.summaryJson) {
      // Reading the file back costs as much as a second write; only the
      // summary needs the names as written.
      summary.writtenNames = writtenNames(o.outputFile);
    }
  }
  if (!printSummary(o, summary, console)) return kExitNotWritten;
  return status;
}

}  // namespace
}  // namespace vodbc

int main(int argc, char** argv) {
  vodbc::installOutOfMemoryHandler();
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
