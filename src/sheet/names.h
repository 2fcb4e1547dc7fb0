// Column and label names. A worksheet column name has at most 32 characters
// from A-Z, a-z, 0-9, '%', '_', '[' and ']'; it does not begin with a digit,
// '_' or a bracket (such names get the prefix '%'), and has at most one
// bracketed part, at its end.
#pragma once

#include <cstdint>

namespace vodbc {

// Writes the normalised form of at most the first `max` characters of `src`
// into `dest` (which may be `src`): trailing and leading blanks dropped, each
// run of blanks inside reduced to its first blank. Empty or blank-only text
// gives the empty text. `dest` needs room for min(strlen(src), max) + 1.
void normaliseBlanks(char* dest, const char* src, std::int64_t max);

// Rewrites a name in its buffer of at least 33 bytes into a valid column
// name; a name with nothing usable left becomes a default name. Null is
// ignored. Names are not made unique.
void sanitiseName(char* name);

// Writes a default name into `out` (at least 33 bytes): the program-wide
// namePrefix and a number, "%.6s%li" or, with the bracketNames option,
// "%.8s[%li]". When n < 1 the program-wide nameCounter is incremented and
// its new value used; otherwise n itself, leaving the counter alone.
void defaultName(char* out, std::int32_t n);

}  // namespace vodbc
