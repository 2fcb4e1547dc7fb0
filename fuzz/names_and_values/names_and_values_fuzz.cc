// Column names from any text, and numbers and timestamps read from any
// text. Properties: a sanitised name has 1 to 32 allowed characters and
// no leading digit or bracket; a
// parsed number is the missing value or a finite number in the kept range;
// a parsed timestamp is the fallback or a finite day number.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "common/fuzz_input.h"
#include "sheet/column_type.h"
#include "sheet/names.h"
#include "sheet/value_parse.h"
#include "sheet/worksheet_settings.h"

namespace vodbc::fuzz {
namespace {

bool allowed(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '%' ||
         c == '_' || c == '[' || c == ']';
}

void checkName(const char* name) {
  const std::size_t length = std::strlen(name);
  if (length == 0 || length > 32) fail("a name has 1 to 32 characters");
  for (std::size_t i = 0; i < length; ++i) {
    if (!allowed(name[i])) fail("a name holds only allowed characters");
  }
  // The '%' prefix is decided on the first character as the user wrote
  // it, so a name that began with punctuation or a byte beyond ASCII
  // begins with the '_' that replaced it: kept as it is.
  const char first = name[0];
  if ((first >= '0' && first <= '9') || first == '[' || first == ']') {
    fail("a name never begins with a digit or a bracket");
  }
  // Brackets are not checked: only the first '[' and the first ']' are put
  // right, one step after another, so "a]]b" keeps a ']' and "P][e][e"
  // ends as "Pre][e", as the users' existing names have always come out.
}

}  // namespace
}  // namespace vodbc::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vodbc;
  using namespace vodbc::fuzz;
  static const bool ready = (initWorksheetDefaults(), true);
  (void)ready;
  FuzzInput in(data, size);
  // The name goes into a buffer of exactly 33 bytes, as the fetch hands it.
  const std::string raw = in.text(32);
  auto name = std::make_unique<char[]>(33);
  std::memset(name.get(), 0, 33);
  std::memcpy(name.get(), raw.data(), raw.size());
  sanitiseName(name.get());
  checkName(name.get());

  const double missing = programMissingValue();
  const std::string text = in.rest();
  const double number = parseNumber(text, missing);
  if (number != missing && (!std::isfinite(number) || number > kLargestValue || number < missing)) {
    fail("a number is missing or finite within the kept range");
  }
  const double fallback = -1.5;
  const double stamp = parseTimestamp(text, fallback);
  if (stamp != fallback && !std::isfinite(stamp)) fail("a timestamp is the fallback or finite");
  return 0;
}
