// Shared steps of the column conversions (internal to the sheet library).
#pragma once

#include <cstdint>

#include "sheet/column_storage.h"

namespace vodbc {

struct SheetColumn;

// Releases the column's value storage and installs `storage` in its place,
// keeping `length`.
void replaceValues(SheetColumn& column, ColumnStorage storage);

// Installs `storage` as the column's level values / level labels, with
// `count` values.
void installLevelValues(SheetColumn& column, ColumnStorage storage, std::int32_t count);
void installLevelLabels(SheetColumn& column, ColumnStorage storage, std::int32_t count);

// Whether a distinct-value collection of `entries` entries of `entrySize`
// bytes fits: the table starts with room for 20 entries and grows by 20, and
// may not need more than the collection byte limit (16,000,000).
bool collectionFits(std::int64_t entries, std::int64_t entrySize);

// Sets the program-wide date state from the column when it holds dates.
void prepareDateState(const SheetColumn& column);

}  // namespace vodbc
