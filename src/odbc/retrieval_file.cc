#include "odbc/retrieval_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "odbc/reporter.h"
#include "odbc/retrieval_spec.h"
#include "text/utf8.h"
#include "worksheet_file/output_file.h"

namespace vodbc {
namespace {

// Reads like fgets: up to and including the next LF, or until `maxChars`
// characters have been read (a character is never split; the rest of an
// over-long line is left for the next read). Bytes that begin no character
// still count towards a bound of four bytes a character, so no line is
// ever read whole however it is made. Returns the number of characters
// read, so no caller counts them again.
std::size_t readLine(std::FILE* file, std::size_t maxChars, std::string& out) {
  out.clear();
  std::size_t chars = 0;
  const std::size_t maxBytes = maxChars * 4;
  for (;;) {
    int c = std::getc(file);
    if (c == EOF) break;
    if (out.size() == maxBytes) {
      std::ungetc(c, file);
      break;
    }
    if (!isContinuationByte(static_cast<unsigned char>(c))) {
      if (chars == maxChars) {
        std::ungetc(c, file);
        break;
      }
      ++chars;
    }
    out.push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  return chars;
}

// After a line read up to its bound: true when the line end (LF or CR LF)
// or the end of the file comes next, which is then consumed.
bool lineEndsHere(std::FILE* file) {
  int c = std::getc(file);
  if (c == EOF || c == '\n') return true;
  if (c == '\r') {
    int next = std::getc(file);
    if (next == '\n' || next == EOF) return true;
    std::ungetc(next, file);
  }
  return false;
}

// Opens `path` for reading only when it is a regular file: a FIFO or a
// device would block or never end, and a folder cannot be read. Opening
// does not wait for a FIFO's writer.
std::FILE* openRegularFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
      ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    ::close(fd);
    return nullptr;
  }
  std::FILE* file = ::fdopen(fd, "r");
  if (file == nullptr) ::close(fd);
  return file;
}

// Removes a line end (LF, or CR LF) from the end of `text`; the number of
// characters removed, 0 when there was none.
std::size_t dropLineEnd(std::string& text) {
  if (text.empty() || text.back() != '\n') return 0;
  text.pop_back();
  if (text.empty() || text.back() != '\r') return 1;
  text.pop_back();
  return 2;
}

std::string withPath(const char* format, std::string_view path) {
  // The format's "%.100s" keeps at most 100 characters of the path.
  std::string text = format;
  std::size_t at = text.find("%.100s");
  text.replace(at, 6, std::string(firstCharacters(path, 100)));
  return text;
}

}  // namespace

std::string retrievalOpenError(std::string_view path) {
  return withPath(kRetrievalOpenErrorFormat, path);
}

std::string retrievalReadError(std::string_view path) {
  return withPath(kRetrievalReadErrorFormat, path);
}

std::optional<RetrievalFile> openRetrievalFile(const std::string& path, std::string& connection,
                                               OdbcReporter& reporter) {
  std::FILE* raw = openRegularFile(path);
  if (raw == nullptr) {
    reporter.error(retrievalOpenError(path));
    return std::nullopt;
  }
  RetrievalFile file(raw);
  std::string line;
  // The first line is a tag nobody checks: files from elsewhere are used
  // as they are.
  readLine(raw, kRetrievalLineChars, line);
  readLine(raw, kRetrievalLineChars, line);
  // A connection line that does not end within its bound is refused whole:
  // the rest of it would be read as SQL and sent to the data source,
  // password and all.
  if (dropLineEnd(line) == 0 && !std::feof(raw) && !lineEndsHere(raw)) {
    reporter.error(retrievalOpenError(path) + "\n" + kConnectionLineTooLongReason);
    return std::nullopt;
  }
  connection = line;
  return file;
}

void readRetrievalSql(RetrievalFile& file, const std::string& path, RetrievalSpec& spec,
                      OdbcReporter& reporter) {
  spec.sqlCapacity = kRetrievalSqlCapacity;
  spec.sqlText.clear();
  std::FILE* raw = file.get();
  // Characters in spec.sqlText, kept up to date line by line: each line is
  // counted once, however many lines the file has.
  std::size_t chars = 0;
  const std::size_t capacity = static_cast<std::size_t>(spec.sqlCapacity);
  std::string line;
  while (raw != nullptr && !std::feof(raw)) {
    // Lines are joined by exactly one blank; a line that already ends with
    // a blank gets none.
    std::string& text = spec.sqlText;
    if (const std::size_t dropped = dropLineEnd(text); dropped > 0) {
      chars -= dropped;
      if (!text.empty() && text.back() != ' ' && chars < capacity) {
        text.push_back(' ');
        ++chars;
      }
    }
    const std::size_t lineChars = readLine(raw, capacity - chars, line);
    if (std::ferror(raw)) {
      reporter.error(retrievalReadError(path));
      break;
    }
    text += line;
    chars += lineChars;
    if (chars >= capacity || text.size() >= capacity * 4) break;
  }
  file.close();
}

bool saveRetrievalFile(const std::string& path, std::string_view connection, std::string_view sql,
                       OdbcReporter& reporter) {
  std::string content = kRetrievalTag;
  content += "\r\n";
  content.append(connection);
  content += "\r\n";
  // Line breaks inside the SQL text are written as CR LF too.
  for (std::size_t i = 0; i < sql.size(); ++i) {
    if (sql[i] == '\n' && (i == 0 || sql[i - 1] != '\r')) content += '\r';
    content += sql[i];
  }
  content += "\r\n";

  // The connection string often holds a password: a new file is its
  // owner's alone. Written like a worksheet, the file appears whole or not
  // at all, and nothing that ends the process leaves a name behind.
  AtomicOutputFile file(0600);
  if (!file.open(path) || !file.write(content.data(), content.size()) || !file.close()) {
    reporter.error(retrievalOpenError(path));
    return false;
  }
  return true;
}

RetrievalSaveState& retrievalSaveState() {
  static RetrievalSaveState state;
  return state;
}

void writeRetrievalFile(std::string_view connection, std::string_view sql,
                        const std::string* rerunPath, OdbcReporter& reporter,
                        const RetrievalSaveHooks& hooks) {
  RetrievalSaveState& state = retrievalSaveState();
  if (rerunPath == nullptr) {
    if (state.firstSave) {
      state.directory = hooks.currentDirectory ? hooks.currentDirectory() : ".";
      state.name = std::string("*.") + kRetrievalFileType;
      state.firstSave = false;
    }
  } else if (hooks.recordSheetPath) {
    // Offer the rerun file's own folder, and its name up to the first "."
    // with the retrieval type: sales.2002.idb offers sales.idb.
    if (auto sheetPath = hooks.recordSheetPath(*rerunPath)) {
      state.directory = sheetPath->first;
      const std::string& fileName = sheetPath->second;
      std::size_t dot = fileName.find('.');
      if (dot != std::string::npos) {
        state.name = fileName.substr(0, dot) + "." + kRetrievalFileType;
      }
    }
  }
  if (!hooks.askFileName) return;
  std::optional<std::string> chosen =
      hooks.askFileName(state.directory, state.name, kRetrievalSavePrompt);
  if (!chosen) return;
  saveRetrievalFile(*chosen, connection, sql, reporter);
}

}  // namespace vodbc
