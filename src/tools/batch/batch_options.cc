#include "tools/batch/batch_options.h"

#include <CLI/CLI.hpp>
#include <vector>

namespace vodbc {
namespace {

constexpr const char* kFooter =
    "The run is the one the program makes for \"Rerun Saved...\": it connects\n"
    "with the retrieval file's connection string, runs its SQL text and writes\n"
    "the result as a worksheet file. Messages go to stderr; no question waits\n"
    "for an answer (each gets the answer that ends the run safely).\n"
    "\n"
    "Exit status:\n"
    "  0    the worksheet file was written (with --dry-run: the query ran;\n"
    "       --list-*: listed; --save-retrieval: the retrieval file was written)\n"
    "  2    usage error\n"
    "  3    retrieval file missing or unreadable\n"
    "  4    no driver manager, connection refused, or no tables\n"
    "  5    empty statement, execution or fetch failed (also a fetch that\n"
    "       ended with an error after some rows, unless --allow-partial)\n"
    "  6    worksheet or retrieval file not written (existing file without\n"
    "       --overwrite, too many columns or rows, open or write error), or\n"
    "       the summary could not be printed\n"
    "  7, 8 out of memory\n"
    "  130  interrupted (Ctrl+C, SIGTERM or SIGHUP)\n"
    "\n"
    "The summary is JSON in UTF-8 and is printed for every run that got as\n"
    "far as the retrieval file, with \"written\", \"complete\" and, when\n"
    "nothing was written, \"reason\". Bytes of a file name or column name\n"
    "that are not valid UTF-8 are each replaced by U+FFFD.";

// The rerun needs both files; a command of the headless road needs neither
// and has rules of its own.
std::string missingRunArguments(const BatchOptions& o) {
  if (o.road.command() != RoadCommand::kNone) return checkRoadOptions(o);
  if (o.retrievalFile.empty()) return "RETRIEVAL.idb is required";
  if (o.outputFile.empty()) return "OUTPUT.WOR is required";
  return "";
}

}  // namespace

BatchCommand parseBatchCommand(int argc, const char* const* argv) {
  BatchCommand command;
  BatchOptions& o = command.options;
  CLI::App app{"Reruns a saved retrieval file and writes a Velora worksheet file.", "vodbc-batch"};
  app.set_help_flag("-h,--help", "Print this help and exit");
  app.set_version_flag("--version", std::string("vodbc-batch ") + VODBC_VERSION,
                       "Print the version and exit");
  // Required unless a command of the headless road replaces the rerun;
  // checked after parsing.
  app.add_option("RETRIEVAL.idb", o.retrievalFile, "The retrieval file to run");
  app.add_option("OUTPUT.WOR", o.outputFile, "The worksheet file to write");
  app.add_flag("--overwrite", o.overwrite,
               "Replace OUTPUT.WOR when it exists (its strings, constants and "
               "SSP matrix are lost)");
  app.add_option("--connect", o.connect, "Connection string to use instead of the file's");
  app.add_option("--sql", o.sql, "SQL text to run instead of the file's");
  app.add_option("--password-env", o.passwordEnv,
                 "Add PWD= from this environment variable when the "
                 "connection string holds no password");
  app.add_flag("--allow-partial", o.allowPartial,
               "Write the rows fetched before a fetch error (the summary says "
               "\"complete\": false) instead of writing nothing");
  app.add_flag("--dry-run", o.dryRun, "Connect and run the statement, but write nothing");
  std::string summary;
  app.add_option("--summary", summary, "Print a run summary on stdout; FORMAT is json")
      ->check(CLI::IsMember({"json"}))
      ->type_name("FORMAT");
  app.add_flag("-q,--quiet", o.quiet, "No progress line and no report of the rows retrieved");
  addRoadOptions(app, o.road);
  app.footer(kFooter);

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    command.kind = BatchCommand::Kind::kHelp;
    command.text = app.help();
    return command;
  } catch (const CLI::CallForVersion& e) {
    command.kind = BatchCommand::Kind::kVersion;
    command.text = e.what();
    return command;
  } catch (const CLI::ParseError& e) {
    command.kind = BatchCommand::Kind::kUsageError;
    command.text = std::string(e.what()) + "\nRun with --help for more information.";
    return command;
  }
  o.summaryJson = summary == "json";
  if (std::string problem = missingRunArguments(o); !problem.empty()) {
    command.text = problem + "\nRun with --help for more information.";
    return command;
  }
  if (o.passwordEnv && o.passwordEnv->empty()) {
    command.text =
        "--password-env needs the name of an environment variable"
        "\nRun with --help for more information.";
    return command;
  }
  command.kind = BatchCommand::Kind::kRun;
  return command;
}

}  // namespace vodbc
