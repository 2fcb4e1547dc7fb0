// The WHERE clause builder: a one-paragraph condition edited by typing or
// by double-clicking columns, functions and operators.
#include "dialogs/query_model.h"
#include "dialogs/query_window_handlers.h"
#include "dialogs/window_support.h"
#include "text/utf8.h"
#include "toolkit/placement.h"
#include "toolkit/toolkit.h"

namespace vodbc::dialogs {
namespace {

enum Control {
  kOk = 1,
  kCancel = 2,
  kClear = 3,
  kCondition = 5,
  kColumns = 7,
  kFunctions = 9,
  kOperators = 11,
  kHelp = 12,
};

struct WhereBuilderState : SingleWindowState {};

WhereBuilderState& state() {
  static WhereBuilderState s;
  return s;
}

std::vector<std::string> shownTexts(const std::vector<ListChoice>& choices) {
  std::vector<std::string> texts;
  for (const ListChoice& c : choices) texts.emplace_back(c.shown);
  return texts;
}

void onCreate(toolkit::Window w) {
  WhereBuilderState& s = state();
  setQueryEditFont(w, kCondition);
  if (!claimSingleWindow(w, s)) return;
  auto* spec = static_cast<RetrievalSpec*>(toolkit::windowData(w));
  if (spec == nullptr || spec->selectedTable < 0 ||
      spec->selectedTable >= static_cast<std::int32_t>(spec->tables.size())) {
    toolkit::postError(kWhereBuilderNullMessage);
    toolkit::destroyWindow(w);
    return;
  }
  CatalogTable& table = spec->tables[static_cast<std::size_t>(spec->selectedTable)];
  s.current = &table;
  toolkit::textClear(w, kCondition);
  if (table.hasWhere && table.whereText) {
    toolkit::textAppendParagraph(w, kCondition, *table.whereText);
  }
  ensureColumns(*spec, table);
  std::vector<std::string> names;
  for (const CatalogColumn& column : table.columns) names.push_back(column.name);
  fillList(w, kColumns, names);
  fillList(w, kFunctions, shownTexts(kWhereFunctions));
  fillList(w, kOperators, shownTexts(kWhereOperators));
  toolkit::setFocus(w, kCondition);
  if (s.firstFillPending) {
    toolkit::placeInTaskWindow(w);
    s.firstFillPending = false;
  }
}

// The condition is one paragraph: a line break typed or pasted becomes a
// blank, so nothing the user wrote is left out of the condition.
void keepOneParagraph(toolkit::Window w) {
  const int count = toolkit::textParagraphCount(w, kCondition);
  if (count <= 1) return;
  const toolkit::TextSelection selection = toolkit::textSelection(w, kCondition);
  std::vector<std::string> paragraphs;
  int caret = 0;
  for (int p = 0; p < count; ++p) {
    paragraphs.push_back(toolkit::textParagraph(w, kCondition, p));
    if (p < selection.end.paragraph)
      caret += static_cast<int>(countCharacters(paragraphs.back())) + 1;
  }
  caret += selection.end.character;
  toolkit::textSuspend(w, kCondition);
  toolkit::textClear(w, kCondition);
  toolkit::textAppendParagraph(w, kCondition, joinParagraphsWithBlanks(paragraphs));
  toolkit::textResume(w, kCondition);
  const toolkit::TextPosition at{0, 0, caret};
  toolkit::setTextSelection(w, kCondition, {at, at});
}

void insertChoice(toolkit::Window w, int control) {
  const int i = toolkit::listSelectedIndex(w, control);
  if (i < 0 || i >= toolkit::listCount(w, control)) return;
  if (control == kColumns) {
    const CatalogTable* table = state().current;
    if (table == nullptr || i >= static_cast<int>(table->columns.size())) return;
    insertAtCaret(w, kCondition, table->columns[static_cast<std::size_t>(i)].name, true);
    return;
  }
  const std::vector<ListChoice>& choices =
      control == kFunctions ? kWhereFunctions : kWhereOperators;
  if (i >= static_cast<int>(choices.size())) return;
  insertAtCaret(w, kCondition, choices[static_cast<std::size_t>(i)].inserted, false);
}

void onControl(toolkit::Window w, const toolkit::Event& e) {
  WhereBuilderState& s = state();
  switch (e.control) {
    case kColumns:
    case kFunctions:
    case kOperators:
      if (e.action == toolkit::ControlAction::DoubleClicked) insertChoice(w, e.control);
      return;
    case kCondition:
      if (e.action == toolkit::ControlAction::TextChanged) keepOneParagraph(w);
      return;
    case kClear:
      toolkit::textClear(w, kCondition);
      return;
    case kHelp:
      showHelp(kWhereBuilderTopic);
      return;
    case kCancel:
      toolkit::destroyWindow(w);
      return;
    case kOk:
      if (s.current != nullptr) {
        std::vector<std::string> lines;
        if (toolkit::textParagraphCount(w, kCondition) > 0) {
          lines = paragraphLines(w, kCondition, 0);
        }
        storeWhereCondition(*s.current, lines);
      }
      toolkit::destroyWindow(w);
      return;
    default:
      return;
  }
}

void onDestroy(toolkit::Window) {
  WhereBuilderState& s = state();
  if (!s.ownsSharedState) {
    s.ownsSharedState = true;
    return;
  }
  s.open = false;
  s.current = nullptr;
}

void onControlEvent(toolkit::Window w, const toolkit::Event& e) {
  if (state().ownsSharedState) onControl(w, e);
}

}  // namespace

void whereBuilderHandler(toolkit::Window w, const toolkit::Event& e) {
  static constexpr QueryWindowEvents kEvents{onCreate, onDestroy, onControlEvent};
  dispatchQueryWindowEvent(w, e, kEvents);
}

}  // namespace vodbc::dialogs
