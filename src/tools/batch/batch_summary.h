// The machine-readable summary of a vodbc-batch run (--summary json).
//
//   {
//     "retrieval_file": "...", "output_file": "...",
//     "written": true, "dry_run": false, "complete": true, "reason": null,
//     "columns": 3, "rows": 120,
//     "column_list": [
//       {"name": "region", "type": "factor", "levels": 4,
//        "written_name": "region", "conversion": "text to factor"}, ...],
//     "seconds": {"retrieval": 0.41, "write": 0.02, "total": 0.43}
//   }
// "complete" is false when a fetch error ended the rows early (written only
// with --allow-partial); "reason" says why nothing was written (null when
// the file was). Names are UTF-8: bytes that are not valid UTF-8 (a file
// name is any bytes) are each replaced by U+FFFD when printed. "type" is what the worksheet holds
// (numeric, date, factor, or text for a column that could not be written); "levels" is null except
// for factors; "written_name" is the name as the file holds it (cut to make room for all names),
// null when the column was not written; "conversion" says how the fetched column became the written
// one: "none", "text to date", "text to factor", "text to factor to numeric".
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace vodbc {

struct Sheet;

// What the fetch made of each column, taken before the writer converts.
struct FetchedColumn {
  std::string name;  // UTF-8
  enum class Kind { kNumeric, kDate, kText } kind = Kind::kNumeric;
};
std::vector<FetchedColumn> fetchedColumns(const Sheet& sheet);

struct SummaryInput {
  std::string retrievalFile;
  std::string outputFile;
  bool written = false;
  bool dryRun = false;
  bool complete = true;
  std::string reason;                     // empty when written
  const Sheet* sheet = nullptr;           // after the writer's conversions
  std::vector<FetchedColumn> fetched;     // before them
  std::vector<std::string> writtenNames;  // from the file, Windows-1252
  double retrievalSeconds = 0;
  double writeSeconds = 0;
};

nlohmann::json buildSummary(const SummaryInput& input);
// The summary as printed: indented JSON that is valid UTF-8 whatever bytes
// the names hold.
std::string summaryText(const SummaryInput& input);

// Windows-1252 (the worksheet's text) to UTF-8.
std::string windows1252ToUtf8(std::string_view text);

}  // namespace vodbc
