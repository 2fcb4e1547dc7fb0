// The command line of vodbc-batch and the rules that turn it into a run.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "tools/batch/road_options.h"

namespace vodbc {

struct BatchOptions {
  std::string retrievalFile;
  std::string outputFile;
  bool overwrite = false;                  // answer the overwrite question with "Overwrite"
  bool dryRun = false;                     // connect and execute, write nothing
  bool quiet = false;                      // no progress line, no report line
  bool summaryJson = false;                // --summary json
  bool allowPartial = false;               // write the rows of a fetch that ended with an error
  std::optional<std::string> connect;      // replaces the file's connection string
  std::optional<std::string> sql;          // replaces the file's SQL text
  std::optional<std::string> passwordEnv;  // variable that holds the password
  RoadOptions road;  // a command instead of a rerun (no RETRIEVAL.idb, OUTPUT.WOR)
};

struct BatchCommand {
  enum class Kind { kRun, kHelp, kVersion, kUsageError };
  Kind kind = Kind::kUsageError;
  BatchOptions options;
  // kHelp: the help text; kVersion: the version line; kUsageError: what was
  // wrong, followed by a hint to --help.
  std::string text;
};

// Reads the arguments (argv[0] is the program). Never exits the process.
BatchCommand parseBatchCommand(int argc, const char* const* argv);

}  // namespace vodbc
