// The headless road to a first retrieval file: the commands of vodbc-batch
// that take the place of RETRIEVAL.idb OUTPUT.WOR on a machine without a
// display. They list what the driver manager offers, list the tables of a
// data source, and save a checked query as a retrieval file.
#pragma once

#include <optional>
#include <string>

namespace CLI {
class App;
}

namespace vodbc {

struct BatchOptions;

enum class RoadCommand { kNone, kListDrivers, kListSources, kListTables, kSaveRetrieval };

struct RoadOptions {
  bool listDrivers = false;
  bool listSources = false;
  bool listTables = false;
  std::optional<std::string> saveRetrieval;  // the retrieval file to write

  // The one command given; kNone when the options ask for a rerun.
  RoadCommand command() const;
};

// Declares the road's options on the batch tool's command line.
void addRoadOptions(CLI::App& app, RoadOptions& road);

// What is wrong with how the road's commands combine with each other and
// with the rerun's arguments; "" when nothing is.
std::string checkRoadOptions(const BatchOptions& options);

}  // namespace vodbc
