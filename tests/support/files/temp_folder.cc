#include "files/temp_folder.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace vodbc::testing {

namespace fs = std::filesystem;

TempFolder::TempFolder(std::string_view prefix) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device seed;
  std::mt19937 random(seed());
  std::uniform_int_distribution<int> pick(0, sizeof kLetters - 2);
  const fs::path base = fs::temp_directory_path();
  // create_directory fails on a name that exists, so a folder is never shared.
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name(prefix);
    name += '-';
    for (int i = 0; i < 8; ++i) name += kLetters[pick(random)];
    std::error_code error;
    if (fs::create_directory(base / name, error)) {
      path_ = base / name;
      fs::permissions(path_, fs::perms::owner_all, fs::perm_options::replace, error);
      return;
    }
  }
  throw std::runtime_error("no temporary folder under " + base.string());
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void writeWholeFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> folderEntries(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

std::string repeat(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

void writeRetrievalFileText(const std::string& path, const std::string& connection,
                            const std::vector<std::string>& sqlLines) {
  std::string text = "ODBC Data\r\n" + connection + "\r\n";
  for (const std::string& line : sqlLines) text += line + "\r\n";
  writeWholeFile(path, text);
}

}  // namespace vodbc::testing
