// Finding columns by position and moving a column to the front (pinning).
#pragma once

#include <cstdint>

namespace vodbc {

struct Sheet;
struct SheetColumn;

// The column at list position p ("Row" is 0), or null. Walks from the
// Sheet's cursor when that is closer than either end, and on success moves
// the cursor (cursorColumn, cursorIndex) to the result, so walking the
// columns in order costs one step per column.
SheetColumn* findColumn(Sheet* sheet, std::int32_t position);

// Moves the column at `from` to `to`; false, with the list unchanged, when
// the Sheet is locked, a position is below 1, no column is at `from`, the
// column is RowNumber, a pinned column would go anywhere but 1, or a
// RowNumber/pinned column stands between `to` and `from`. Clears the cursor
// and renumbers `position` on success.
bool moveColumn(Sheet* sheet, std::int32_t from, std::int32_t to);

}  // namespace vodbc
