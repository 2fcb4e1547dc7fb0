// Column type conversion. Each conversion requires the column to have the
// type it converts from (otherwise it fails at once and changes nothing),
// builds the new storage completely, then releases what it replaces, keeps
// `length` and `decimals` unless stated otherwise, and marks the column
// changed (clearing the Sheet's changeSeen). A failed conversion leaves the
// column's type, storage and fields as they were. Results: true on success.
//
// A numeric value counts as missing when it is <= missingValueOf(column); a
// text when it is empty.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "sheet/column_type.h"

namespace vodbc {

struct SheetColumn;

// Dispatches by (from, to). Does nothing when the column or its Sheet is
// missing, either is locked, or from == to; otherwise marks the column
// changed and converts when the pair is one it handles. `from` is the type
// the caller believes the column has; every step checks the real type. The
// caller sees the outcome in column->type.
void convertColumn(SheetColumn* column, ColumnType from, ColumnType to, bool ignoreCase,
                   bool normaliseSpaces, bool sortLevels);

// Text -> Numeric through parseNumber; formatKind 1, valueWidth 25,
// decimals -1.
bool textToNumber(SheetColumn& column);

// Text -> Numeric through parseTimestamp; formatKind 5, dateFormat 34,
// valueWidth 25, decimals -1. The fetch applies it to timestamp-shaped text.
bool textToDateTime(SheetColumn& column);

// As textToDateTime, for a Text column whose `length` texts are not stored
// but handed over by `next`, one call per row in row order, each as the
// column would have stored it. The fetch builds its date columns this way:
// their texts would otherwise be stored only to be parsed and dropped.
bool textsToDateTime(SheetColumn& column, const std::function<std::string_view()>& next);

// Numeric -> Factor: distinct non-missing values in the order first met
// (ascending with sortLevels) become levels 1..k; level values are kept
// unless they are exactly 1..k. Without any value: levelCount 2. Fails
// (column unchanged) when more than 2,000,000 distinct values are met.
bool numericToFactor(SheetColumn& column, bool sortLevels);

// Text -> Factor: distinct non-empty labels (the text, blank-normalised with
// normaliseSpaces, cut to 40 characters; equal ignoring A-Z case with
// ignoreCase, the first spelling met kept) become levels 1..k, sorted with
// sortLevels (bytes compared unsigned, A-Z folded with ignoreCase). Fails
// (column unchanged) when more than 4,000,000 distinct labels are met.
bool textToFactor(SheetColumn& column, bool ignoreCase, bool normaliseSpaces, bool sortLevels);

// Factor -> Numeric; with useLevelValues codes 1..n become their level
// values. Level storages are released; the values keep their storage.
bool factorToNumeric(SheetColumn& column, bool useLevelValues);

// Numeric -> Text: formatted values (missing -> empty text); levelCount is
// the longest text, formatKind 4, valueWidth 81.
bool numericToText(SheetColumn& column);

// Factor -> Text: each code as its number, level value or label.
bool factorToText(SheetColumn& column);

// Pin a Numeric/Text column at position 1 (refused while the Sheet's
// pinnedCount is 2 or more, or when the move is refused).
bool pinNumeric(SheetColumn& column);
bool pinText(SheetColumn& column);

// PinnedNumeric/PinnedText back to Numeric/Text; the column keeps its place.
bool unpinNumeric(SheetColumn& column);
bool unpinText(SheetColumn& column);

// Test hook: the byte limit of the distinct-value collections of the factor
// conversions (16,000,000; entries counted as 8 bytes per value and 4 per
// label, the table growing in steps of 20 entries).
void setCollectionByteLimitForTesting(std::int64_t bytes);

}  // namespace vodbc
