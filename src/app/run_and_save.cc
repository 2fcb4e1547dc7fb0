#include "app/run_and_save.h"

#include <optional>

#include "app/help.h"
#include "app/output_names.h"
#include "app/program_state.h"
#include "app/progress_fetch.h"
#include "app/toolkit_messages.h"
#include "odbc/data_source_dialog.h"
#include "odbc/message_window.h"
#include "odbc/run/retrieval_run.h"
#include "sheet/paths.h"
#include "sheet/sheet.h"
#include "toolkit/toolkit.h"
#include "worksheet_file/worksheet_writer.h"

namespace vodbc {
namespace {

constexpr const char* kWorksheetType = "WOR";
constexpr const char* kRetrievalType = "idb";

// The save dialog of a new retrieval file and the Sheet path it offers.
RetrievalSaveHooks saveHooks() {
  RetrievalSaveHooks hooks;
  hooks.askFileName = [](std::string& directory, std::string& name,
                         const std::string& prompt) -> std::optional<std::string> {
    toolkit::FileSpec spec{directory, kRetrievalType, name};
    if (toolkit::saveFileDialog(spec, prompt) != toolkit::FileDialogResult::Ok) {
      return std::nullopt;
    }
    directory = spec.directory;
    name = spec.name;
    std::string path;
    if (!joinLimitedPath(spec.directory, spec.name, path)) return std::nullopt;
    return path;
  };
  hooks.recordSheetPath =
      [](const std::string& path) -> std::optional<std::pair<std::string, std::string>> {
    if (!currentSheet) return std::nullopt;
    setSheetPath(*currentSheet, path);
    return std::make_pair(std::string(currentSheet->directory),
                          std::string(currentSheet->fileName));
  };
  hooks.currentDirectory = [] { return toolkit::currentDirectory(); };
  return hooks;
}

// Runs the retrieval; true when it made a Sheet to report and write.
bool retrieve(const std::optional<std::string>& path, QueryWindows& windows) {
  // Nothing can reach the previous Sheet once a new run starts.
  discardCurrentSheet();
  ToolkitOdbcReporter reporter;
  RetrievalContext context(reporter, windows);
  context.ask = [](std::string_view text, std::string_view first, std::string_view second) {
    return toolkit::askChoice(text, first, second);
  };
  context.chooseDataSource = [](const std::string& initial) {
    return chooseDataSource(initial, [] { showHelpTopic(kDataSourceTopic); });
  };
  context.fetch = fetchWithProgressWindow(reporter);
  context.saveHooks = saveHooks();
  if (runRetrieval(path, context) == 0) {
    // A fetch that failed after making its Sheet leaves it incomplete.
    discardCurrentSheet();
    return false;
  }
  if (!currentSheet) return false;  // cancelled, or an empty statement
  markAllColumnsChanged(currentSheet, false);
  currentSheet->changeSeen = 1;
  return true;
}

void report() {
  toolkit::postNote(toolkit::formatText(kReportFormat, static_cast<long>(currentSheet->columnCount),
                                        static_cast<long>(currentSheet->rowCount)));
}

// Writes the Sheet; with "/c", a written worksheet ends the program.
void writeAndEnd(const std::string& path) {
  ToolkitWriterMessages messages;
  if (writeWorksheetFile(currentSheet, path.c_str(), messages) == 1 &&
      programState().closeAfterRun) {
    toolkit::destroyApplication();
  }
}

bool askOutputFile(toolkit::FileSpec& spec) {
  spec.type = kWorksheetType;
  spec.acceptLabel = "Save";
  return toolkit::openFileDialog(spec, kSaveWorksheetTitle) == toolkit::FileDialogResult::Ok;
}

void databaseCommand(QueryWindows& windows) {
  ProgramState& state = programState();
  if (!retrieve(std::nullopt, windows)) return;
  report();
  toolkit::FileSpec spec;
  spec.directory = toolkit::currentDirectory();
  if (!state.outputWorksheetPath.empty()) {
    writeAndEnd(state.outputWorksheetPath);
    return;
  }
  spec.name = numberedSheetName(state.sheetNameCounter++);
  if (!askOutputFile(spec)) return;
  std::string path;
  if (!joinLimitedPath(spec.directory, spec.name, path)) return;
  writeAndEnd(path);
}

void rerunSavedCommand(QueryWindows& windows) {
  ProgramState& state = programState();
  toolkit::FileSpec spec{toolkit::currentDirectory(), kRetrievalType, ""};
  if (toolkit::openFileDialog(spec, kOpenRetrievalTitle) != toolkit::FileDialogResult::Ok) {
    return;
  }
  std::string retrievalPath;
  if (!joinLimitedPath(spec.directory, spec.name, retrievalPath)) return;
  if (!retrieve(retrievalPath, windows)) return;
  if (!state.outputWorksheetPath.empty()) {
    writeAndEnd(state.outputWorksheetPath);
    return;
  }
  spec.name = worksheetNameFor(spec.name);
  report();
  if (!askOutputFile(spec)) return;  // opens in the retrieval file's folder
  std::string path;
  if (!joinLimitedPath(spec.directory, spec.name, path)) return;
  writeAndEnd(path);
}

void startUpRun(QueryWindows& windows) {
  ProgramState& state = programState();
  if (!retrieve(state.startRetrievalFile, windows)) return;
  report();
  toolkit::FileSpec spec;
  splitPath(state.startRetrievalFile, spec.directory, spec.name);
  spec.name = worksheetNameFor(spec.name);
  if (!askOutputFile(spec)) return;
  // The chosen file is kept: later commands write there without asking.
  if (!joinLimitedPath(spec.directory, spec.name, state.outputWorksheetPath)) {
    return;
  }
  writeAndEnd(state.outputWorksheetPath);
}

}  // namespace

ProgramState& programState() {
  static ProgramState state;
  return state;
}

void runAndSave(RunVariant variant, QueryWindows& windows) {
  switch (variant) {
    case RunVariant::kDatabase:
      databaseCommand(windows);
      return;
    case RunVariant::kRerunSaved:
      rerunSavedCommand(windows);
      return;
    case RunVariant::kStartUp:
      startUpRun(windows);
      return;
  }
}

}  // namespace vodbc
