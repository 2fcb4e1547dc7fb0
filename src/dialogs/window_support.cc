#include "dialogs/window_support.h"

#include <utility>

#include "dialogs/query_model.h"
#include "odbc/message_window.h"
#include "toolkit/placement.h"
#include "toolkit/toolkit.h"

namespace vodbc::dialogs {
namespace {

std::function<void(int)>& helpFunction() {
  static std::function<void(int)> function;
  return function;
}

}  // namespace

void setHelpFunction(std::function<void(int topic)> showHelp) {
  helpFunction() = std::move(showHelp);
}

void showHelp(int topic) {
  if (helpFunction()) helpFunction()(topic);
}

bool ensureColumns(const RetrievalSpec& spec, CatalogTable& table) {
  if (table.columnCount >= 0) return true;
  ToolkitOdbcReporter reporter;
  if (readColumnList(spec.statement, table, reporter)) return true;
  toolkit::postWarning(toolkit::formatText(kNoColumnsWarningFormat, table.name.c_str()));
  return false;
}

void setQueryEditFont(toolkit::Window w, int control) {
  if (auto font = toolkit::parseFontDescription(kQueryEditFont)) {
    toolkit::setControlFont(w, control, *font);
  }
}

std::vector<std::string> paragraphFirstLines(toolkit::Window w, int control) {
  std::vector<std::string> lines;
  const int count = toolkit::textParagraphCount(w, control);
  for (int p = 0; p < count; ++p) lines.push_back(toolkit::textLine(w, control, p, 0));
  return lines;
}

std::vector<std::string> paragraphLines(toolkit::Window w, int control, int paragraph) {
  std::vector<std::string> lines;
  const int count = toolkit::textLineCount(w, control, paragraph);
  for (int l = 0; l < count; ++l) lines.push_back(toolkit::textLine(w, control, paragraph, l));
  return lines;
}

std::vector<std::string> allLines(toolkit::Window w, int control) {
  std::vector<std::string> lines;
  const int count = toolkit::textParagraphCount(w, control);
  for (int p = 0; p < count; ++p) {
    for (std::string& line : paragraphLines(w, control, p)) lines.push_back(std::move(line));
  }
  return lines;
}

void fillList(toolkit::Window w, int control, const std::vector<std::string>& items) {
  toolkit::listSuspend(w, control);
  toolkit::listClear(w, control);
  for (const std::string& item : items) toolkit::listAppend(w, control, item);
  toolkit::listResume(w, control);
}

void insertAtCaret(toolkit::Window w, int control, std::string_view text, bool quoteIfNeeded) {
  if (!toolkit::hasControl(w, control) || text.empty()) return;
  const std::string toInsert = quoteIfNeeded ? sqlName(text) : std::string(text);
  if (toolkit::textParagraphCount(w, control) == 0) {
    toolkit::textAppendParagraph(w, control, toInsert);
    return;
  }
  const toolkit::TextSelection selection = toolkit::textSelection(w, control);
  const int paragraph = selection.start.paragraph;
  CaretInsertion r =
      insertIntoParagraph(toolkit::textParagraph(w, control, paragraph), selection, toInsert);
  toolkit::textSetParagraph(w, control, paragraph, r.paragraph);
  toolkit::setFocus(w, control);
  toolkit::setTextSelection(w, control, r.caret);
}

bool claimSingleWindow(toolkit::Window w, SingleWindowState& s) {
  if (s.open) {
    s.ownsSharedState = false;
    toolkit::destroyWindow(w);
    return false;
  }
  s.ownsSharedState = true;
  s.open = true;
  s.firstFillPending = true;
  s.current = nullptr;
  return true;
}

void dispatchQueryWindowEvent(toolkit::Window w, const toolkit::Event& e,
                              const QueryWindowEvents& events) {
  if (toolkit::answerRepaintOrClose(w, e)) return;
  switch (e.type) {
    case toolkit::EventType::Create:
      events.create(w);
      return;
    case toolkit::EventType::Destroy:
      if (events.destroy != nullptr) events.destroy(w);
      return;
    case toolkit::EventType::Control:
      events.control(w, e);
      return;
    default:
      return;
  }
}

}  // namespace vodbc::dialogs
