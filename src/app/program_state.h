// What the program keeps between its commands: the start-up switches and
// the worksheet names offered so far.
#pragma once

#include <cstdint>
#include <string>

namespace vodbc {

struct ProgramState {
  // The retrieval file named on the command line; empty for none.
  std::string startRetrievalFile;
  // Where every run writes once the start-up run has chosen a worksheet
  // file: later commands of the process write there without asking.
  std::string outputWorksheetPath;
  // "/c": end the program once the start-up run has written its worksheet.
  bool closeAfterRun = false;
  // The number in the next "Sheet<n>.WOR" that "Database..." offers; it
  // advances even when the dialog is cancelled.
  std::int32_t sheetNameCounter = 1;
  // The command line as the program was started, rebuilt from argv.
  std::string commandLine;
};

ProgramState& programState();

}  // namespace vodbc
