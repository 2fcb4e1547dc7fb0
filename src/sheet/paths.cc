#include "sheet/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "sheet/fixed_text.h"
#include "sheet/sheet.h"

namespace vodbc {
namespace {

constexpr std::size_t kMaxPath = 256;      // characters of a path
constexpr std::size_t kMaxBareName = 255;  // characters of a bare name
constexpr std::size_t kMaxSheetDirectory = 255;

std::optional<std::string> defaultDirectorySetting;

std::optional<std::string> currentDirectory() {
  char buffer[4096];
  if (getcwd(buffer, sizeof buffer) == nullptr) return std::nullopt;
  return std::string(buffer);
}

}  // namespace

void setDefaultDirectory(std::string_view directory) {
  if (directory.empty()) {
    defaultDirectorySetting.reset();
  } else {
    defaultDirectorySetting = std::string(directory);
  }
}

std::string defaultDirectory() {
  if (defaultDirectorySetting) return *defaultDirectorySetting;
  return currentDirectory().value_or(std::string("/"));
}

bool splitPath(std::string_view path, std::string& directory, std::string& name) {
  if (path.find('/') == std::string_view::npos) {
    name = std::string(path.substr(0, kMaxBareName));
    directory = defaultDirectory();
    return !path.empty();
  }
  const std::string_view copy = path.substr(0, kMaxPath);
  const std::size_t slash = copy.rfind('/');
  if (slash == std::string_view::npos) {
    // The only '/' lay beyond the first 256 characters: the whole copy is
    // the folder part.
    directory = std::string(copy);
    name.clear();
    return true;
  }
  directory = slash == 0 ? std::string("/") : std::string(copy.substr(0, slash));
  name = std::string(copy.substr(slash + 1));
  return true;
}

bool joinPath(std::string_view directory, std::string_view name, std::string& path) {
  if (directory.empty() || directory.size() > kMaxPath) {
    path.clear();
    return false;
  }
  path = std::string(directory);
  if (path.back() != '/') path += '/';
  path += name;
  return true;
}

bool fileExists(std::string_view path) {
  std::string directory;
  std::string name;
  if (!splitPath(path, directory, name) || name.empty()) return false;
  std::string full;
  if (!joinPath(directory, name, full)) return false;
  struct stat info {};
  return stat(full.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

void setSheetPath(Sheet& sheet, std::string_view path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) {
    copyCut(sheet.fileName, path, kPathLength);
    setSheetDirectory(sheet, false);
    return;
  }
  copyCut(sheet.fileName, path.substr(slash + 1), kPathLength);
  copyCut(sheet.directory, slash == 0 ? std::string_view("/") : path.substr(0, slash),
          kMaxSheetDirectory);
}

bool setSheetDirectory(Sheet& sheet, bool currentOnly) {
  const std::optional<std::string> current = currentDirectory();
  if (current && current->size() <= kMaxPath) {
    copyCut(sheet.directory, *current, kPathLength);
    return true;
  }
  if (currentOnly) return false;
  const std::string fallback = defaultDirectory();
  if (fallback.size() > kMaxPath) return false;
  copyCut(sheet.directory, fallback, kPathLength);
  return true;
}

}  // namespace vodbc
