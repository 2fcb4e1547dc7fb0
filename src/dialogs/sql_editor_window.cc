// The SQL statement editor: the statement in short paragraphs, with names
// inserted from the insert table/field dialog.
#include <optional>
#include <string>

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
  kStatement = 3,
  kTables = 4,
  kColumns = 5,
  kSave = 6,
  kHelp = 7,
};

// No guard against a second editor and no cancel flag: only OK changes the
// statement.
struct SqlEditorState {
  bool firstFillPending = false;
};

SqlEditorState& state() {
  static SqlEditorState s;
  return s;
}

RetrievalSpec* specOf(toolkit::Window w) {
  return static_cast<RetrievalSpec*>(toolkit::windowData(w));
}

void onCreate(toolkit::Window w) {
  setQueryEditFont(w, kStatement);
  state().firstFillPending = true;
  RetrievalSpec* spec = specOf(w);
  if (spec == nullptr) {
    toolkit::postError(kSqlEditorNullMessage);
    toolkit::destroyWindow(w);
    return;
  }
  if (spec->sqlCapacity <= 0) {
    spec->sqlCapacity = kEditorInitialCapacity;
    spec->sqlText.clear();
  }
  toolkit::textSuspend(w, kStatement);
  toolkit::textClear(w, kStatement);
  for (const std::string& paragraph : splitStatement(spec->sqlText)) {
    toolkit::textAppendParagraph(w, kStatement, paragraph);
  }
  toolkit::textResume(w, kStatement);
  toolkit::setChecked(w, kSave, spec->saveRetrieval);
  if (state().firstFillPending) {
    toolkit::placeInTaskWindow(w);
    state().firstFillPending = false;
  }
}

void accept(toolkit::Window w, RetrievalSpec& spec) {
  JoinedStatement joined = joinStatement(allLines(w, kStatement), spec.sqlCapacity);
  if (joined.text.empty()) {
    if (toolkit::askChoice(kNoStatementQuestion, "No", "Cancel") != 1) return;
    spec.selectedTable = -1;
  }
  spec.sqlText = std::move(joined.text);
  spec.sqlCapacity = joined.capacity;
  toolkit::destroyWindow(w);
}

// Opens the insert dialog for the mode already set in the spec and inserts
// the accepted choice. A dialog that cannot be opened still inserts the
// clamped choice; a cancelled one inserts nothing.
void insertName(toolkit::Window w, RetrievalSpec& spec, const char* cantOpenMessage) {
  InsertNameRequest request{&spec, false};
  if (!toolkit::runModalDialog(kInsertNameDialog, insertNameDialogHandler, &request, w)) {
    toolkit::postError(cantOpenMessage);
    request.accepted = true;
  }
  if (!request.accepted) return;
  if (std::optional<std::string> reference = qualifiedName(spec)) {
    insertAtCaret(w, kStatement, *reference, false);
  }
}

void onControl(toolkit::Window w, RetrievalSpec& spec, const toolkit::Event& e) {
  switch (e.control) {
    case kOk:
      accept(w, spec);
      return;
    case kCancel:
      toolkit::destroyWindow(w);
      return;
    case kTables:
      chooseTableMode(spec);
      insertName(w, spec, kCantOpenInsertTableMessage);
      return;
    case kColumns:
      // Columns not read yet are read here, so the dialog opens with the
      // chosen table's fields.
      {
        const std::int32_t field = spec.insertColumn;
        chooseTableMode(spec);  // clamps the table
        spec.insertColumn = field;
      }
      if (spec.selectedTable < static_cast<std::int32_t>(spec.tables.size())) {
        ensureColumns(spec, spec.tables[static_cast<std::size_t>(spec.selectedTable)]);
      }
      chooseFieldMode(spec);
      insertName(w, spec, kCantOpenInsertFieldMessage);
      return;
    case kSave:
      spec.saveRetrieval = !spec.saveRetrieval;
      toolkit::setChecked(w, kSave, spec.saveRetrieval);
      return;
    case kHelp:
      showHelp(kSqlEditorTopic);
      return;
    default:
      return;
  }
}

void onControlEvent(toolkit::Window w, const toolkit::Event& e) {
  if (specOf(w) != nullptr) onControl(w, *specOf(w), e);
}

}  // namespace

void sqlEditorHandler(toolkit::Window w, const toolkit::Event& e) {
  static constexpr QueryWindowEvents kEvents{onCreate, nullptr, onControlEvent};
  dispatchQueryWindowEvent(w, e, kEvents);
}

}  // namespace vodbc::dialogs
