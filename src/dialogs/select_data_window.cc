// The select-data window: table, columns, Where, and the two options.
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
  kClear = 3,
  kSelectAll = 4,
  kWhere = 5,
  kTables = 7,
  kColumns = 9,
  kSelected = 11,
  kAdd = 12,
  kEditSql = 13,
  kSave = 14,
  kHelp = 15,
};

struct SelectDataState : SingleWindowState {
  bool cancelOnClose = false;
};

SelectDataState& state() {
  static SelectDataState s;
  return s;
}

RetrievalSpec* specOf(toolkit::Window w) {
  return static_cast<RetrievalSpec*>(toolkit::windowData(w));
}

void showTable(toolkit::Window w, RetrievalSpec& spec, int index) {
  SelectDataState& s = state();
  CatalogTable& table = spec.tables[static_cast<std::size_t>(index)];
  s.current = &table;
  toolkit::setChecked(w, kEditSql, spec.editSql);
  toolkit::setChecked(w, kSave, spec.saveRetrieval);
  ensureColumns(spec, table);

  std::vector<std::string> items;
  toolkit::textSuspend(w, kSelected);
  toolkit::textClear(w, kSelected);
  for (const CatalogColumn& column : table.columns) {
    items.push_back(columnItemText(column));
    if (column.selected) toolkit::textAppendParagraph(w, kSelected, column.name);
  }
  toolkit::textResume(w, kSelected);
  fillList(w, kColumns, items);
  toolkit::setFocus(w, kTables);
  if (s.firstFillPending) {
    toolkit::placeInTaskWindow(w);
    s.firstFillPending = false;
  }
  s.cancelOnClose = true;
}

void appendColumn(toolkit::Window w, int index) {
  const CatalogTable* table = state().current;
  if (table == nullptr || index < 0 || index >= static_cast<int>(table->columns.size())) return;
  toolkit::textAppendParagraph(w, kSelected, table->columns[static_cast<std::size_t>(index)].name);
}

void accept(toolkit::Window w, RetrievalSpec& spec) {
  SelectDataState& s = state();
  if (s.current == nullptr) return;
  const int marked = markSelectedColumns(*s.current, paragraphFirstLines(w, kSelected));
  if (selectOkStep(marked, spec.editSql) == SelectOkStep::kAskToCancel) {
    if (toolkit::askChoice(kNoColumnsQuestion, "No", "Cancel") != 1) return;
    spec.selectedTable = -1;
  }
  s.cancelOnClose = false;
  toolkit::destroyWindow(w);
}

void onControl(toolkit::Window w, RetrievalSpec& spec, const toolkit::Event& e) {
  SelectDataState& s = state();
  switch (e.control) {
    case kTables: {
      if (e.action != toolkit::ControlAction::SelectionChanged) return;
      const int i = toolkit::listSelectedIndex(w, kTables);
      if (i >= 0 && i < spec.tableCount) {
        spec.selectedTable = i;
        showTable(w, spec, i);
      }
      return;
    }
    case kColumns:
      if (e.action == toolkit::ControlAction::DoubleClicked) {
        appendColumn(w, toolkit::listSelectedIndex(w, kColumns));
      }
      return;
    case kAdd:
      for (int i : toolkit::listSelectedIndices(w, kColumns)) appendColumn(w, i);
      return;
    case kSelectAll:
      toolkit::textClear(w, kSelected);
      if (s.current) {
        for (std::size_t i = 0; i < s.current->columns.size(); ++i) {
          appendColumn(w, static_cast<int>(i));
        }
      }
      return;
    case kClear:
      toolkit::textClear(w, kSelected);
      return;
    case kEditSql:
      spec.editSql = !spec.editSql;
      toolkit::setChecked(w, kEditSql, spec.editSql);
      return;
    case kSave:
      spec.saveRetrieval = !spec.saveRetrieval;
      toolkit::setChecked(w, kSave, spec.saveRetrieval);
      return;
    case kWhere:
      if (!toolkit::runModalDialog(kWhereBuilderWindow, whereBuilderHandler, &spec,
                                   toolkit::taskWindow())) {
        toolkit::postError(kCantOpenWhereMessage);
      }
      return;
    case kHelp:
      showHelp(kSelectDataTopic);
      return;
    case kOk:
      accept(w, spec);
      return;
    case kCancel:
      s.cancelOnClose = true;
      toolkit::destroyWindow(w);
      return;
    default:
      return;
  }
}

void onCreate(toolkit::Window w) {
  SelectDataState& s = state();
  if (!claimSingleWindow(w, s)) return;
  s.cancelOnClose = false;
  RetrievalSpec* spec = specOf(w);
  if (spec == nullptr || spec->tables.empty()) {
    toolkit::postError(kSelectDataNullMessage);
    s.cancelOnClose = false;
    toolkit::destroyWindow(w);
    return;
  }
  std::vector<std::string> items;
  for (const CatalogTable& table : spec->tables) items.push_back(tableItemText(table));
  fillList(w, kTables, items);
  if (spec->selectedTable < 0 || spec->selectedTable >= spec->tableCount) spec->selectedTable = 0;
  toolkit::listSetSelected(w, kTables, spec->selectedTable, true);
  showTable(w, *spec, spec->selectedTable);
}

void onDestroy(toolkit::Window w) {
  SelectDataState& s = state();
  if (!s.ownsSharedState) {
    s.ownsSharedState = true;
    return;
  }
  RetrievalSpec* spec = specOf(w);
  if (s.cancelOnClose && spec != nullptr) spec->selectedTable = -1;
  s.open = false;
  s.current = nullptr;
}

void onControlEvent(toolkit::Window w, const toolkit::Event& e) {
  if (state().ownsSharedState && specOf(w) != nullptr) onControl(w, *specOf(w), e);
}

}  // namespace

void selectDataWindowHandler(toolkit::Window w, const toolkit::Event& e) {
  static constexpr QueryWindowEvents kEvents{onCreate, onDestroy, onControlEvent};
  dispatchQueryWindowEvent(w, e, kEvents);
}

}  // namespace vodbc::dialogs
