#include "app/output_names.h"

#include "sheet/paths.h"

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
  std::size_t chars = 0;
  for (char c : path) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++chars;
  }
  if (chars > kMaxPathChars) {
    path.clear();
    return false;
  }
  return true;
}

}  // namespace vodbc
