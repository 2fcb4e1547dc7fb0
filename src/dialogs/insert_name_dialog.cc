// The insert table/field dialog: one table, or one field of a table, for
// the SQL editor to insert.
#include "dialogs/query_model.h"
#include "dialogs/query_window_handlers.h"
#include "dialogs/window_support.h"
#include "toolkit/placement.h"
#include "toolkit/toolkit.h"

namespace vodbc::dialogs {
namespace {

enum Control {
  kOk = 1,
  kCancel = 2,
  kFieldsLabel = 5,
  kTables = 4,
  kFields = 6,
  kHelp = 7,
};

struct InsertNameState : SingleWindowState {
  bool fieldMode = false;
  bool cancelOnClose = false;
  // The choice on entry, given back when the dialog is cancelled.
  std::int32_t entryTable = 0;
  std::int32_t entryColumn = 0;
};

InsertNameState& state() {
  static InsertNameState s;
  return s;
}

InsertNameRequest* requestOf(toolkit::Window w) {
  return static_cast<InsertNameRequest*>(toolkit::windowData(w));
}

void refresh(toolkit::Window w, RetrievalSpec& spec) {
  InsertNameState& s = state();
  CatalogTable& table = spec.tables[static_cast<std::size_t>(spec.selectedTable)];
  s.current = &table;
  if (s.fieldMode) {
    ensureColumns(spec, table);
    std::vector<std::string> items;
    for (const CatalogColumn& column : table.columns) items.push_back(columnItemText(column));
    fillList(w, kFields, items);
    toolkit::listSetSelected(w, kFields, spec.insertColumn, true);
  }
  if (s.firstFillPending) {
    toolkit::centreOnTaskWindow(w);
    s.firstFillPending = false;
  }
  s.cancelOnClose = true;
}

void onCreate(toolkit::Window w) {
  InsertNameState& s = state();
  if (!claimSingleWindow(w, s)) return;
  s.cancelOnClose = false;
  InsertNameRequest* request = requestOf(w);
  if (request == nullptr || request->spec == nullptr || request->spec->tables.empty()) {
    toolkit::postError(kInsertNameNullMessage);
    s.cancelOnClose = false;
    toolkit::destroyWindow(w);
    return;
  }
  RetrievalSpec& spec = *request->spec;
  s.entryTable = spec.selectedTable;
  s.entryColumn = spec.insertColumn;
  s.fieldMode = spec.insertColumn >= 0;
  toolkit::setTitle(w, s.fieldMode ? kInsertFieldTitle : kInsertTableTitle);
  if (!s.fieldMode) {
    toolkit::setControlVisible(w, kFields, false);
    toolkit::setControlVisible(w, kFieldsLabel, false);
  }
  if (spec.selectedTable < 0 || spec.selectedTable >= spec.tableCount) spec.selectedTable = 0;
  std::vector<std::string> items;
  for (const CatalogTable& table : spec.tables) items.push_back(tableItemText(table));
  fillList(w, kTables, items);
  toolkit::listSetSelected(w, kTables, spec.selectedTable, true);
  refresh(w, spec);
}

void accept(toolkit::Window w) {
  state().cancelOnClose = false;
  toolkit::destroyWindow(w);
}

void onControl(toolkit::Window w, RetrievalSpec& spec, const toolkit::Event& e) {
  InsertNameState& s = state();
  const bool doubleClick = e.action == toolkit::ControlAction::DoubleClicked;
  switch (e.control) {
    case kTables: {
      const int i = toolkit::listSelectedIndex(w, kTables);
      const bool changed = i != spec.selectedTable;
      if (i >= 0 && i < spec.tableCount) spec.selectedTable = i;
      if (doubleClick) {
        accept(w);
      } else if (s.fieldMode && changed && i >= 0 && i < spec.tableCount) {
        spec.insertColumn = 0;
        refresh(w, spec);
      }
      return;
    }
    case kFields: {
      const int i = toolkit::listSelectedIndex(w, kFields);
      if (s.current != nullptr && i >= 0 && i < s.current->columnCount) spec.insertColumn = i;
      if (doubleClick) accept(w);
      return;
    }
    case kOk:
      accept(w);
      return;
    case kCancel:
      s.cancelOnClose = true;
      toolkit::destroyWindow(w);
      return;
    case kHelp:
      showHelp(kInsertNameTopic);
      return;
    default:
      return;
  }
}

void onDestroy(toolkit::Window w) {
  InsertNameState& s = state();
  if (!s.ownsSharedState) {
    s.ownsSharedState = true;
    return;
  }
  InsertNameRequest* request = requestOf(w);
  if (request != nullptr && request->spec != nullptr) {
    if (s.cancelOnClose) {
      request->spec->selectedTable = s.entryTable;
      request->spec->insertColumn = s.entryColumn;
      request->accepted = false;
    } else {
      request->accepted = true;
    }
  }
  s.open = false;
  s.current = nullptr;
}

void onControlEvent(toolkit::Window w, const toolkit::Event& e) {
  InsertNameRequest* request = requestOf(w);
  if (state().ownsSharedState && request != nullptr && request->spec != nullptr) {
    onControl(w, *request->spec, e);
  }
}

}  // namespace

void insertNameDialogHandler(toolkit::Window w, const toolkit::Event& e) {
  static constexpr QueryWindowEvents kEvents{onCreate, onDestroy, onControlEvent};
  dispatchQueryWindowEvent(w, e, kEvents);
}

}  // namespace vodbc::dialogs
