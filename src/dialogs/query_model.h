// What the query windows' choices mean, as pure functions over plain data.
//
// The windows (select data, WHERE builder, SQL editor, insert table/field)
// only move text between their controls and these functions; every rule
// about list texts, quoting, where text goes in and what a statement looks
// like after editing lives here and is tested by exact comparison.
// Text is UTF-8; every offset and cut counts characters.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "odbc/catalog.h"
#include "odbc/retrieval_spec.h"
#include "toolkit/types.h"

namespace vodbc {

// ---- List items -----------------------------------------------------------

// A table as the table lists show it: "TYPE: schema.name" or "TYPE: name",
// with the type text cut to six characters ("SYSTEM: sqlite_master").
std::string tableItemText(const CatalogTable& table);
// A column as the column lists show it: "N: amount".
std::string columnItemText(const CatalogColumn& column);

// ---- Select data ------------------------------------------------------------

// Marks the columns named by the first lines of the selected-columns edit:
// every column's flag is cleared, then each line selects the first column
// whose name equals it byte for byte. Lines that name no column are
// ignored. Returns how many columns are now marked.
int markSelectedColumns(CatalogTable& table, const std::vector<std::string>& lines);

// What OK does after marking: close, or ask whether to cancel (nothing
// marked and no SQL editor to follow).
enum class SelectOkStep { kClose, kAskToCancel };
SelectOkStep selectOkStep(int marked, bool editSql);

inline constexpr const char* kNoColumnsQuestion =
    "WARNING! No columns have been selected!\n\nDo you want to CANCEL opening ODBC data?";

// ---- Names put into SQL text --------------------------------------------------

// `name` as it goes into SQL text: through appendIdentifier, so quoted with
// the connected driver's quote character when it needs it.
std::string sqlName(std::string_view name);

// The reference the SQL editor inserts for the insert dialog's choice:
// [schema "."] table ["." column] and one blank; nullopt when
// spec.selectedTable is not a table.
std::optional<std::string> qualifiedName(const RetrievalSpec& spec);

// ---- Inserting at the caret ----------------------------------------------

// The text edit's paragraph `paragraph` after inserting `text` for the
// selection `selection`, and where the caret goes. A caret at the very
// start (line and character 0 at both ends) or at the end of the paragraph
// appends; otherwise the text goes in at the caret and nothing selected is
// replaced.
struct CaretInsertion {
  std::string paragraph;
  toolkit::TextSelection caret;
};
CaretInsertion insertIntoParagraph(std::string_view paragraph, toolkit::TextSelection selection,
                                   std::string_view text);

// ---- WHERE builder ----------------------------------------------------------

struct ListChoice {
  const char* shown;
  const char* inserted;
};
extern const std::vector<ListChoice> kWhereFunctions;  // 38, in list order
extern const std::vector<ListChoice> kWhereOperators;  // 13, in list order

// The condition the builder stores for the lines of its first paragraph:
// lines joined with a blank, blanks trimmed and collapsed, a leading
// "WHERE " (any case) removed.
std::string tidyWhereCondition(const std::vector<std::string>& lines);

// Stores the builder's lines as the table's condition: whereText,
// whereCapacity (grown to the collected length + 800 whenever a line might
// not fit) and hasWhere; an empty condition removes the text.
void storeWhereCondition(CatalogTable& table, const std::vector<std::string>& lines);

// The WHERE edit holds one paragraph: several become one, joined by blanks.
std::string joinParagraphsWithBlanks(const std::vector<std::string>& paragraphs);

// ---- SQL editor -------------------------------------------------------------

// The statement as the editor shows it: paragraphs of at most 60
// characters where a blank or comma allows, broken after a comma or at a
// blank (which is dropped), at most 401 characters where nothing allows.
std::vector<std::string> splitStatement(std::string_view sql);

// The statement the editor's OK leaves: every non-empty line in order, a
// blank added behind each that ends with neither a blank nor a comma; the
// capacity grows to the length + 800 whenever a line might not fit.
struct JoinedStatement {
  std::string text;
  std::int32_t capacity = 0;
};
JoinedStatement joinStatement(const std::vector<std::string>& lines, std::int32_t capacity);

inline constexpr std::int32_t kEditorInitialCapacity = 800;
inline constexpr const char* kNoStatementQuestion =
    "WARNING! No SQL statement has been entered!\n\nDo you want to CANCEL opening ODBC data?";

// Before the insert dialog opens: selectedTable clamped into the tables;
// table mode (insertColumn -1) for "Tables", and for "Columns" insertColumn
// clamped into the chosen table's columns (negative, so table mode, when
// it has none).
void chooseTableMode(RetrievalSpec& spec);
void chooseFieldMode(RetrievalSpec& spec);

}  // namespace vodbc
