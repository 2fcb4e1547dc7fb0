// Retrieval files ("*.idb"): a saved query that can be run again.
//
//   line 1     "ODBC Data" (any first line is accepted when reading)
//   line 2     the connection string, at most 1023 characters (a longer
//              one makes the file unreadable)
//   line 3...  the SQL text; lines are joined by single blanks, at most
//              32,768 characters
// Lines end with CR LF when written; LF or CR LF is read. Text is kept as
// the user typed it (UTF-8); cuts count characters and never split one.
//
// Usage (the retrieval run):
//   std::string connection;
//   auto file = openRetrievalFile(path, connection, reporter);  // before connecting
//   if (!file) return 0;                                         // message shown
//   ... connect, read the catalog ...
//   readRetrievalSql(*file, path, spec, reporter);               // closes it
// and after a successful fetch, when asked:
//   writeRetrievalFile(connection, spec.sqlText, rerunPathOrNull, reporter, hooks);
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vodbc {

class OdbcReporter;
struct RetrievalSpec;

inline constexpr const char* kRetrievalTag = "ODBC Data";
inline constexpr const char* kRetrievalFileType = "idb";
inline constexpr std::size_t kRetrievalLineChars = 1023;
inline constexpr const char* kRetrievalOpenErrorFormat =
    "Error: In Write ODBC Retrieval File - could not open file %.100s";
inline constexpr const char* kRetrievalReadErrorFormat =
    "Read error in ODBC retrieval file %.100s!";
inline constexpr const char* kConnectionLineTooLongReason =
    "The connection string on line 2 is longer than 1023 characters.";
inline constexpr const char* kRetrievalSavePrompt = "Save Velora ODBC Data Retrieval file:";

// An open retrieval file, positioned after its connection string line.
class RetrievalFile {
 public:
  explicit RetrievalFile(std::FILE* file) : file_(file) {}
  std::FILE* get() const { return file_.get(); }
  void close() { file_.reset(); }
  bool isOpen() const { return file_ != nullptr; }

 private:
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, Closer> file_;
};

// Opens the file and reads its connection string into `connection`; null
// after the could-not-open error: also for anything but a regular file, and
// (with a second line naming the reason) for a connection line longer than
// 1023 characters.
std::optional<RetrievalFile> openRetrievalFile(const std::string& path, std::string& connection,
                                               OdbcReporter& reporter);

// Reads the SQL text into spec.sqlText (capacity 32,768) and closes the
// file. A read error is shown, and the text read so far is kept.
void readRetrievalSql(RetrievalFile& file, const std::string& path, RetrievalSpec& spec,
                      OdbcReporter& reporter);

// Writes a retrieval file at `path` through an AtomicOutputFile: it appears
// whole or not at all (new files get mode 0600, an existing file keeps its
// mode). False after the could-not-open error.
bool saveRetrievalFile(const std::string& path, std::string_view connection, std::string_view sql,
                       OdbcReporter& reporter);

// The save dialog's memory within one process.
struct RetrievalSaveState {
  std::string directory;  // where the dialog opens
  std::string name;       // the name (or "*.idb" pattern) it offers
  bool firstSave = true;  // nothing offered yet in this process
};
RetrievalSaveState& retrievalSaveState();

struct RetrievalSaveHooks {
  // Shows the save-file dialog (type "idb") with the prompt; the chosen
  // path, or nullopt for anything but OK. Directory and name are updated
  // to what the user chose so the next dialog opens there.
  std::function<std::optional<std::string>(std::string& directory, std::string& name,
                                           const std::string& prompt)>
      askFileName;
  // Records the rerun file's path in the current Sheet and returns the
  // Sheet's (directory, fileName); nullopt when there is no current Sheet.
  std::function<std::optional<std::pair<std::string, std::string>>(const std::string& path)>
      recordSheetPath;
  // The process's current directory.
  std::function<std::string()> currentDirectory;
};

// Offers a file name and writes the file; a cancelled dialog ends silently.
void writeRetrievalFile(std::string_view connection, std::string_view sql,
                        const std::string* rerunPath, OdbcReporter& reporter,
                        const RetrievalSaveHooks& hooks);

// The retrieval messages with their path, cut as the format says.
std::string retrievalOpenError(std::string_view path);
std::string retrievalReadError(std::string_view path);

}  // namespace vodbc
