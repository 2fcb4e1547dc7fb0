// The worksheet settings: one program-wide record with built-in defaults,
// copied into every new Sheet.
#pragma once

#include <cstdint>

namespace vodbc {

constexpr int kOptionFlagCount = 17;

// Indexes into SheetSettings::options of the flags this system reads.
constexpr int kBracketNamesOption = 6;  // default names as "C[1]"
constexpr int kRetrievalOption = 14;    // read by the retrieval run
constexpr int kDateOptionOption = 15;   // dateOption of new columns
// Flags that a Sheet's copy never takes over (they stay 0 there).
constexpr int kUncopiedOptions[] = {7, 8, 16};

struct SheetSettings {
  // Last number given to a default column name; the program-wide instance
  // is the one counted.
  std::int32_t nameCounter{};
  // Defaults 1,0,1,1,1,1,0,1,1,1,0,1,0,0,0,0,0.
  std::uint16_t options[kOptionFlagCount]{};
  // Carried into each Sheet (defaults 5 and 300); not used here.
  std::int32_t counts[2]{};
  // Default date layout code of new columns (1).
  std::int32_t dateFormat{};
  // Prefix of default column names ("C").
  char namePrefix[10]{};
  // "***", "January" .. "December", "***"; carried, not used here.
  char monthNames[14][24]{};
  // "***", "Jan" .. "Dec", "***"; carried, not used here.
  char monthAbbrevs[14][4]{};
  // "DD.MM.YY"; carried, not used here.
  char datePattern[83]{};
};

// Sets the program-wide missing-value code and resets the program-wide
// settings to their defaults (nameCounter 0). Called once at start-up; tests
// call it to start from a known state.
void initWorksheetDefaults();

// The program-wide settings (the defaults until initWorksheetDefaults runs).
SheetSettings& programSettings();

// A Sheet's copy: the counter, counts, dateFormat, texts and option flags,
// except flags 8, 9 and 17 (indexes 7, 8, 16), which stay 0.
void copySettingsForSheet(const SheetSettings& from, SheetSettings& to);

}  // namespace vodbc
