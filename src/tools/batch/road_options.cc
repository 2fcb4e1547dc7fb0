#include "tools/batch/road_options.h"

#include <CLI/CLI.hpp>

#include "tools/batch/batch_options.h"

namespace vodbc {

RoadCommand RoadOptions::command() const {
  if (listDrivers) return RoadCommand::kListDrivers;
  if (listSources) return RoadCommand::kListSources;
  if (listTables) return RoadCommand::kListTables;
  if (saveRetrieval) return RoadCommand::kSaveRetrieval;
  return RoadCommand::kNone;
}

void addRoadOptions(CLI::App& app, RoadOptions& road) {
  const std::string group = "Without a retrieval file";
  app.add_flag("--list-drivers", road.listDrivers,
               "Print the installed ODBC drivers, one per line, and exit")
      ->group(group);
  app.add_flag("--list-sources", road.listSources,
               "Print the registered data sources, one per line: the name, a tab, its driver")
      ->group(group);
  app.add_flag("--list-tables", road.listTables,
               "Connect with --connect and print its tables and views as the program lists "
               "them (\"TABLE: sales\"), one per line")
      ->group(group);
  app.add_option("--save-retrieval", road.saveRetrieval,
                 "Connect with --connect, run --sql once to check it, and save both as a "
                 "retrieval file FILE.idb (the connection string as the driver manager "
                 "completed it); --overwrite replaces an existing FILE.idb")
      ->type_name("FILE.idb")
      ->group(group);
}

std::string checkRoadOptions(const BatchOptions& o) {
  const RoadOptions& road = o.road;
  int commands =
      road.listDrivers + road.listSources + road.listTables + road.saveRetrieval.has_value();
  if (commands == 0) return "";
  if (commands > 1) {
    return "--list-drivers, --list-sources, --list-tables and --save-retrieval exclude "
           "each other";
  }
  if (!o.retrievalFile.empty() || !o.outputFile.empty()) {
    return "RETRIEVAL.idb and OUTPUT.WOR are not given with --list-drivers, --list-sources, "
           "--list-tables or --save-retrieval";
  }
  if (o.dryRun || o.summaryJson) return "--dry-run and --summary only go with a rerun";
  // A password kept out of files would end up in the saved one: the
  // driver manager's completed string holds it.
  if (o.passwordEnv) return "--password-env only goes with a rerun";
  RoadCommand command = road.command();
  bool connects = command == RoadCommand::kListTables || command == RoadCommand::kSaveRetrieval;
  if (!connects && (o.connect || o.sql || o.overwrite)) {
    return "--list-drivers and --list-sources take no other options";
  }
  if (connects && !o.connect) return "--connect STRING is required here";
  if (command == RoadCommand::kListTables && (o.sql || o.overwrite)) {
    return "--list-tables takes only --connect";
  }
  if (command == RoadCommand::kSaveRetrieval) {
    if (!o.sql) return "--sql TEXT is required with --save-retrieval";
    if (road.saveRetrieval->empty()) return "--save-retrieval needs a file name";
  }
  return "";
}

}  // namespace vodbc
