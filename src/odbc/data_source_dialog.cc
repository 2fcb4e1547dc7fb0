#include "odbc/data_source_dialog.h"

#include <sql.h>
#include <sqlext.h>

#include "odbc/connection.h"
#include "odbc/connection_string.h"
#include "odbc/driver_listing.h"
#include "odbc/driver_manager.h"
#include "toolkit/placement.h"
#include "toolkit/toolkit.h"

namespace vodbc {
namespace {

enum Control {
  kSources = 2,
  kDrivers = 4,
  kConnection = 6,
  kOk = 7,
  kCancel = 8,
  kHelp = 9,
  kNoSourcesHint = 10,
  kBrowse = 11,
};

constexpr const char* kBrowseTitle = "Choose the database file";

struct DialogState {
  std::vector<std::string> sources;
  std::vector<std::string> drivers;
  std::string initial;
  std::optional<std::string> chosen;
  const std::function<void()>* onHelp = nullptr;
};

// Browse is offered while the string names a driver that keeps its
// database in a file.
void updateBrowse(toolkit::Window window) {
  toolkit::setControlEnabled(window, kBrowse,
                             namesFileDriver(toolkit::controlText(window, kConnection)));
}

void browseForDatabase(toolkit::Window window) {
  toolkit::FileSpec spec{toolkit::currentDirectory(), "", ""};
  if (toolkit::openFileDialog(spec, kBrowseTitle) != toolkit::FileDialogResult::Ok) return;
  const std::string path =
      spec.directory == "/" ? "/" + spec.name : spec.directory + "/" + spec.name;
  toolkit::setControlText(window, kConnection,
                          withDatabase(toolkit::controlText(window, kConnection), path));
  updateBrowse(window);
}

std::vector<std::string> namesOf(const std::vector<ListedName>& entries) {
  std::vector<std::string> names;
  for (const ListedName& entry : entries) names.push_back(entry.name);
  return names;
}

void handler(toolkit::Window window, const toolkit::Event& event) {
  auto* state = static_cast<DialogState*>(toolkit::windowData(window));
  if (state == nullptr) return;
  if (toolkit::answerRepaintOrClose(window, event)) return;
  switch (event.type) {
    case toolkit::EventType::Create:
      toolkit::listSuspend(window, kSources);
      for (const std::string& name : state->sources) {
        toolkit::listAppend(window, kSources, name);
      }
      toolkit::listResume(window, kSources);
      toolkit::listSuspend(window, kDrivers);
      for (const std::string& name : state->drivers) {
        toolkit::listAppend(window, kDrivers, name);
      }
      toolkit::listResume(window, kDrivers);
      toolkit::setControlVisible(window, kNoSourcesHint, state->sources.empty());
      toolkit::setControlText(window, kConnection, state->initial);
      updateBrowse(window);
      toolkit::centreOnTaskWindow(window);
      toolkit::setFocus(window, kConnection);
      return;
    case toolkit::EventType::Control: {
      if (event.control == kSources || event.control == kDrivers) {
        std::vector<std::string> picked = toolkit::listSelectedItems(window, event.control);
        if (picked.empty()) return;
        std::string text = event.control == kSources ? "DSN=" + picked.front() + ";"
                                                     : "Driver={" + picked.front() + "};";
        toolkit::setControlText(window, kConnection, text);
        updateBrowse(window);
        // A data source is complete: double-clicking it connects. A driver
        // still needs its attributes typed behind it.
        if (event.action == toolkit::ControlAction::DoubleClicked && event.control == kSources) {
          state->chosen = text;
          toolkit::destroyWindow(window);
        }
      } else if (event.control == kConnection) {
        updateBrowse(window);
      } else if (event.control == kBrowse) {
        browseForDatabase(window);
      } else if (event.control == kOk) {
        state->chosen = toolkit::controlText(window, kConnection);
        toolkit::destroyWindow(window);
      } else if (event.control == kCancel) {
        toolkit::destroyWindow(window);
      } else if (event.control == kHelp && state->onHelp && *state->onHelp) {
        (*state->onHelp)();
      }
      return;
    }
    default:
      return;
  }
}

}  // namespace

std::vector<std::string> listDataSources() {
  return namesOf(listFromDriverManager(Listing::kDataSources));
}

std::vector<std::string> listDrivers() { return namesOf(listFromDriverManager(Listing::kDrivers)); }

std::optional<std::string> chooseDataSource(const std::string& initial,
                                            const std::function<void()>& onHelp) {
  DialogState state;
  state.sources = listDataSources();
  state.drivers = listDrivers();
  state.initial = initial;
  state.onHelp = &onHelp;
  if (!toolkit::runModalDialog(kDataSourceDialog, handler, &state, toolkit::taskWindow())) {
    return std::nullopt;
  }
  return state.chosen;
}

}  // namespace vodbc
