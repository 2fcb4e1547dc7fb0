#include "sheet/worksheet_settings.h"

#include <cstdio>
#include <cstring>

#include "sheet/column_type.h"

namespace vodbc {
namespace {

constexpr std::uint16_t kDefaultOptions[kOptionFlagCount] = {1, 0, 1, 1, 1, 1, 0, 1, 1,
                                                             1, 0, 1, 0, 0, 0, 0, 0};

constexpr const char* kMonthNames[14] = {"***",     "January",  "February", "March",  "April",
                                         "May",     "June",     "July",     "August", "September",
                                         "October", "November", "December", "***"};

SheetSettings makeDefaults() {
  SheetSettings settings{};
  std::memcpy(settings.options, kDefaultOptions, sizeof kDefaultOptions);
  settings.counts[0] = 5;
  settings.counts[1] = 300;
  settings.dateFormat = 1;
  std::snprintf(settings.namePrefix, sizeof settings.namePrefix, "C");
  for (int i = 0; i < 14; ++i) {
    std::snprintf(settings.monthNames[i], sizeof settings.monthNames[i], "%s", kMonthNames[i]);
    std::snprintf(settings.monthAbbrevs[i], sizeof settings.monthAbbrevs[i], "%.3s",
                  kMonthNames[i]);
  }
  std::snprintf(settings.datePattern, sizeof settings.datePattern, "DD.MM.YY");
  return settings;
}

SheetSettings program = makeDefaults();

}  // namespace

void initWorksheetDefaults() {
  setProgramMissingValue(kMissingValueCode);
  program = makeDefaults();
}

SheetSettings& programSettings() { return program; }

void copySettingsForSheet(const SheetSettings& from, SheetSettings& to) {
  to = from;
  for (int index : kUncopiedOptions) to.options[index] = 0;
}

}  // namespace vodbc
