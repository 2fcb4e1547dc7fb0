// The display width of a column: the widest text form of its values (or
// levels) and its name, in characters.
#pragma once

#include <cstdint>

namespace vodbc {

struct SheetColumn;

// Sets column.displayWidth and returns it: max(w, m) + 1, where w is at
// least 2 and the longest text of the column (Text: its values, also stored
// in levelCount; Factor: ceil(log10(levelCount+1)) + 1 digits for plain
// codes, its level values' text forms, or its labels, also stored in
// labelWidth; other types: the text forms of its values), and m is the name's
// length, counted as 11 for names of 11 or more characters. For formatKind 5
// the program-wide date state is first set from the column.
std::int32_t computeDisplayWidth(SheetColumn& column);

}  // namespace vodbc
