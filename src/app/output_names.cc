#include "app/output_names.h"

#include "sheet/paths.h"
#include "text/utf8.h"

namespace vodbc {

std::string numberedSheetName(std::int32_t counter) {
  return "Sheet" + std::to_string(counter) + ".WOR";
}

std::string worksheetNameFor(std::string_view retrievalName) {
  std::size_t dot = retrievalName.rfind('.');
  std::string name(retrievalName.substr(0, dot));
  return name + ".WOR";
}

bool joinLimitedPath(std::string_view directory, std::string_view name, std::string& path) {
  if (!joinPath(directory, name, path)) return false;
  if (countCharacters(path) > kMaxPathChars) {
    path.clear();
    return false;
  }
  return true;
}

}  // namespace vodbc
