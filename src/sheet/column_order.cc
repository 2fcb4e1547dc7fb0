#include "sheet/column_order.h"

#include <cstdlib>

#include "sheet/convert_column.h"
#include "sheet/sheet.h"

namespace vodbc {
namespace {

bool isPinned(ColumnType type) {
  return type == ColumnType::PinnedNumeric || type == ColumnType::PinnedText;
}

bool staysInFront(ColumnType type) { return isPinned(type) || type == ColumnType::RowNumber; }

void clearCursorAndRenumber(Sheet& sheet) {
  sheet.cursorColumn = nullptr;
  sheet.cursorIndex = -1;
  std::int32_t position = 0;
  for (SheetColumn* c = sheet.firstColumn; c != nullptr; c = c->next) {
    c->position = position++;
  }
}

void unlink(Sheet& sheet, SheetColumn* column) {
  if (column->prev != nullptr) column->prev->next = column->next;
  if (column->next != nullptr) column->next->prev = column->prev;
  if (sheet.firstColumn == column) sheet.firstColumn = column->next;
  if (sheet.lastColumn == column) sheet.lastColumn = column->prev;
  column->next = nullptr;
  column->prev = nullptr;
}

void insertBefore(Sheet& sheet, SheetColumn* column, SheetColumn* before) {
  column->next = before;
  column->prev = before->prev;
  if (before->prev != nullptr) {
    before->prev->next = column;
  } else {
    sheet.firstColumn = column;
  }
  before->prev = column;
}

void append(Sheet& sheet, SheetColumn* column) {
  column->prev = sheet.lastColumn;
  column->next = nullptr;
  if (sheet.lastColumn != nullptr) {
    sheet.lastColumn->next = column;
  } else {
    sheet.firstColumn = column;
  }
  sheet.lastColumn = column;
}

// Sets the type to `pinned` and moves the column to position 1; on refusal
// the type goes back.
bool pin(SheetColumn& column, ColumnType plain, ColumnType pinned, std::int32_t formatKind) {
  Sheet* sheet = column.sheet;
  if (column.type != plain || sheet == nullptr || sheet->pinnedCount >= 2) {
    return false;
  }
  column.type = pinned;
  if (!moveColumn(sheet, column.position, 1)) {
    column.type = plain;
    return false;
  }
  column.formatKind = formatKind;
  ++sheet->pinnedCount;
  markColumnChanged(&column, true);
  return true;
}

bool unpin(SheetColumn& column, ColumnType pinned, ColumnType plain) {
  if (column.type != pinned || column.sheet == nullptr) return false;
  column.type = plain;
  --column.sheet->pinnedCount;
  markColumnChanged(&column, true);
  return true;
}

}  // namespace

SheetColumn* findColumn(Sheet* sheet, std::int32_t p) {
  if (sheet == nullptr) return nullptr;
  const std::int64_t count = sheet->columnCount;
  const std::int64_t fromCursor = std::llabs(static_cast<std::int64_t>(sheet->cursorIndex) - p);
  SheetColumn* column = nullptr;
  if (sheet->cursorColumn != nullptr && fromCursor < p && fromCursor < count - p) {
    column = sheet->cursorColumn;
    const bool backwards = sheet->cursorIndex > p;
    for (std::int64_t i = 0; i < fromCursor && column != nullptr; ++i) {
      column = backwards ? column->prev : column->next;
    }
  } else if (p > count / 2) {
    column = sheet->lastColumn;
    for (std::int64_t i = count; i > p && column != nullptr; --i) {
      column = column->prev;
    }
  } else {
    column = sheet->firstColumn;
    for (std::int32_t i = 0; i < p && column != nullptr; ++i) {
      column = column->next;
    }
  }
  if (column == nullptr || column->position != p) return nullptr;
  sheet->cursorColumn = column;
  sheet->cursorIndex = p;
  return column;
}

bool moveColumn(Sheet* sheet, std::int32_t from, std::int32_t to) {
  if (sheet == nullptr || sheet->locked != 0 || from < 1 || to < 1) return false;
  SheetColumn* column = findColumn(sheet, from);
  if (column == nullptr) return false;
  if (!isPinned(column->type) && from == to) return true;
  if (column->type == ColumnType::RowNumber) return false;
  if (isPinned(column->type) && to != 1) return false;
  for (SheetColumn* c = sheet->firstColumn; c != nullptr; c = c->next) {
    if (c->position >= to && c->position <= from - 1 && staysInFront(c->type)) {
      return false;
    }
  }

  unlink(*sheet, column);
  --sheet->columnCount;
  clearCursorAndRenumber(*sheet);

  SheetColumn* before = nullptr;
  if (to <= sheet->columnCount) {
    for (SheetColumn* c = sheet->firstColumn; c != nullptr; c = c->next) {
      if (c->position == to) {
        before = c;
        break;
      }
    }
  }
  if (before != nullptr) {
    insertBefore(*sheet, column, before);
  } else {
    append(*sheet, column);
  }
  ++sheet->columnCount;
  clearCursorAndRenumber(*sheet);
  return true;
}

bool pinNumeric(SheetColumn& column) {
  return pin(column, ColumnType::Numeric, ColumnType::PinnedNumeric, kFormatPlain);
}

bool pinText(SheetColumn& column) {
  return pin(column, ColumnType::Text, ColumnType::PinnedText, kFormatText);
}

bool unpinNumeric(SheetColumn& column) {
  return unpin(column, ColumnType::PinnedNumeric, ColumnType::Numeric);
}

bool unpinText(SheetColumn& column) {
  return unpin(column, ColumnType::PinnedText, ColumnType::Text);
}

}  // namespace vodbc
