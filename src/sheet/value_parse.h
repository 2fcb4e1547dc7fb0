// Numbers, dates and timestamps read from text.
#pragma once

#include <string_view>

#include "sheet/calendar.h"  // dayNumber

namespace vodbc {

// The number a text stands for, or `missing`. Typewriter look-alikes are read
// as digits first (O o @ -> 0, I L i l -> 1, S Z s z -> 2), , : ; < > as a
// full stop, and ! " # $ % & ' ( ) / ? [ ] as blanks; then the longest
// floating-point prefix (after white space) is read. No number, or a range
// error, gives `missing`; results above 9.99999E+37 become 9.99999E+37,
// results below `missing` become `missing`.
double parseNumber(std::string_view text, double missing);

// The day number plus time of day of "yyyy-mm-dd[ hh[:mm[:ss.fff]]]", or
// `fallback` for an empty text, one starting with '*', or an impossible
// date. The month is the two characters after the first hyphen position
// (characters 6-7), the day is read from character 9 on. Characters a short
// text lacks count as absent: a text without month or day (such as a bare
// year) gives `fallback`.
double parseTimestamp(std::string_view text, double fallback);

}  // namespace vodbc
