#include <filesystem>
#include <system_error>

#include "app/help.h"

namespace vodbc {
namespace {

std::string parentOf(std::string_view path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return ".";
  if (slash == 0) return "/";
  return std::string(path.substr(0, slash));
}

std::string joined(const std::string& folder, std::string_view rest) {
  std::string path = folder;
  if (path.empty() || path.back() != '/') path += '/';
  path += rest;
  return path;
}

}  // namespace

std::vector<std::string> helpFileCandidates(std::string_view path) {
  std::string_view file = path;
  std::size_t slash = file.rfind('/');
  if (slash != std::string_view::npos) file.remove_prefix(slash + 1);
  std::string base(file.substr(0, file.find('.')));
  if (base.empty()) base = "vodbc";
  std::string page = base + ".html";

  // The folder above the program's folder; for a program in the root
  // folder that is "/" itself.
  const std::string prefix = slash == std::string_view::npos ? std::string("..")
                             : slash == 0                    ? std::string("/")
                                                             : parentOf(parentOf(path));
  return {joined(prefix, "help/" + page), joined(prefix, "share/vodbc/help/" + page)};
}

std::string helpTopicFile(std::string_view contents, int topic) {
  return joined(parentOf(contents), std::to_string(topic) + ".html");
}

int helpTopicForResource(int resourceId) {
  switch (resourceId) {
    case 101:
      return kSelectDataTopic;
    case 105:
      return kWhereBuilderTopic;
    case 102:
      return kSqlEditorTopic;
    case 104:
      return kInsertTableFieldTopic;
    case 110:
      return kDataSourceTopic;
    default:
      return kContentsTopic;
  }
}

std::string programPath() {
  std::error_code ec;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : self.string();
}

}  // namespace vodbc
