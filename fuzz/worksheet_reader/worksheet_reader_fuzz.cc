// vodbc-dump's reading of any bytes as a worksheet file, and its printing of
// whatever it accepts. Properties: a refusal names an offset inside the
// file (or its end) and what was expected; an accepted file prints as text
// and as CSV.
#include <cstdint>
#include <sstream>

#include "common/fuzz_input.h"
#include "tools/dump/dump_text.h"
#include "worksheet_file/worksheet_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vodbc;
  WorksheetImage image;
  WorksheetReadError error;
  if (!readWorksheet(data, size, &image, &error)) {
    if (error.offset > size) fuzz::fail("a refusal points inside the file");
    if (error.expected.empty()) fuzz::fail("a refusal says what was expected");
    return 0;
  }
  std::ostringstream text, csv;
  printWorksheet(image, text);
  printCsv(image, csv);
  if (text.str().empty()) fuzz::fail("an accepted file prints something");
  return 0;
}
