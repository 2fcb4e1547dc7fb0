// The event handlers of the four query windows.
//
// Each window keeps its state program-wide (one window of each kind at a
// time): a window created while another of its kind is open destroys
// itself at once and leaves the open one alone. The select-data window, the
// WHERE builder and the SQL editor take the run's RetrievalSpec as window
// data; the insert dialog takes an InsertNameRequest.
#pragma once

#include "odbc/retrieval_spec.h"
#include "toolkit/types.h"

namespace vodbc::dialogs {

// Resource 101: one table, its columns, the Where button and two options.
// OK leaves the chosen table in selectedTable and the chosen columns
// marked; Cancel and the close box leave selectedTable -1. editSql and
// saveRetrieval keep their check boxes either way.
void selectDataWindowHandler(toolkit::Window w, const toolkit::Event& e);

// Resource 105: the condition of tables[selectedTable]. OK stores it in
// the table (whereText, hasWhere); Cancel and the close box leave it.
void whereBuilderHandler(toolkit::Window w, const toolkit::Event& e);

// Resource 102: the statement in short paragraphs. OK joins them into
// sqlText (an emptied statement may cancel the retrieval: selectedTable
// -1); Cancel and the close box leave the statement as it was.
void sqlEditorHandler(toolkit::Window w, const toolkit::Event& e);

// Resource 104, opened by the SQL editor with spec.insertColumn -1 for a
// table, or a field index for a field of spec.tables[spec.selectedTable].
// Accepted: the choice is in selectedTable and insertColumn. Cancelled
// (Cancel, close box): `accepted` stays false and both are as they were,
// so only the insertion is given up, not the retrieval.
struct InsertNameRequest {
  RetrievalSpec* spec = nullptr;
  bool accepted = false;
};
void insertNameDialogHandler(toolkit::Window w, const toolkit::Event& e);

// Internal errors of windows created without their data.
inline constexpr const char* kSelectDataNullMessage =
    "Internal Spreadsheet Error: In Select ODBC Data Window - Null data pointer";
inline constexpr const char* kWhereBuilderNullMessage =
    "Internal Spreadsheet Error: In ODBC Where clause Window - Null data pointer";
inline constexpr const char* kSqlEditorNullMessage =
    "Internal Spreadsheet Error: In Edit SQL Window - Null data pointer";
inline constexpr const char* kInsertNameNullMessage =
    "Internal Spreadsheet Error: In Select ODBC Insert Table/Field Window - Null data pointer";

inline constexpr const char* kCantOpenWhereMessage =
    "Can't ODBC Where open window\nPlease close another window or application!";
inline constexpr const char* kCantOpenInsertTableMessage =
    "Can't open ODBC Insert Table Name dialog!";
inline constexpr const char* kCantOpenInsertFieldMessage =
    "Can't open ODBC Insert Field Name dialog!";

inline constexpr const char* kInsertTableTitle = "ODBC Insert Table Name";
inline constexpr const char* kInsertFieldTitle = "ODBC Insert Field Name";

}  // namespace vodbc::dialogs
