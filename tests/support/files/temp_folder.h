// A temporary folder per test, and the small file chores tests share.
//
//   vodbc::testing::TempFolder folder("vodbc-writer");
//   writeWholeFile(folder.file("q.idb"), "ODBC Data\r\n...");
//   ... the folder and everything in it go when `folder` does.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vodbc::testing {

// A new, empty folder (mode 0700) under the system's temporary folder
// ($TMPDIR or /tmp), named PREFIX-XXXXXXXX; removed with its contents when
// the object is destroyed. Each object has its own folder, so tests never
// share files, whatever order or process they run in.
class TempFolder {
 public:
  explicit TempFolder(std::string_view prefix = "vodbc-test");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The folder as a string, and a name inside it.
  std::string str() const { return path_.string(); }
  std::string file(std::string_view name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// The whole file as bytes; "" when it cannot be read.
std::string readWholeFile(const std::string& path);
// Writes `bytes` as the whole file (created or truncated).
void writeWholeFile(const std::string& path, std::string_view bytes);

// The names of the entries of `folder`, sorted: what a run left behind.
std::vector<std::string> folderEntries(const std::filesystem::path& folder);

// The lines of `text`, without their '\n'.
std::vector<std::string> splitLines(const std::string& text);

// `text` with every `from` replaced by `to`.
std::string replaceAll(std::string text, const std::string& from, const std::string& to);

// `piece` written `times` times in a row.
std::string repeat(const std::string& piece, int times);

// Writes a retrieval file as the program writes one: the tag, the
// connection string and the SQL text lines, with CR LF line ends.
void writeRetrievalFileText(const std::string& path, const std::string& connection,
                            const std::vector<std::string>& sqlLines);

}  // namespace vodbc::testing
