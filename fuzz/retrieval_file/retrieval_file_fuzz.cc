// The retrieval-file reader over any file content. Properties: the
// connection string and the SQL text keep their character bounds, the
// connection string holds no line end, and nothing is shown except the
// read error (which an in-memory file never gives).
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "common/fuzz_input.h"
#include "odbc/retrieval_file.h"
#include "odbc/retrieval_spec.h"
#include "odbc_doubles/recording_reporter.h"
#include "text/utf8.h"

namespace vodbc::fuzz {
namespace {

// An in-memory file with a path, so the reader opens it as users' files
// are opened, without touching a disk.
class MemoryFile {
 public:
  MemoryFile() : fd_(::memfd_create("retrieval", 0)) {
    if (fd_ < 0) fail("memfd_create");
  }
  ~MemoryFile() { ::close(fd_); }
  std::string fill(const std::uint8_t* data, std::size_t size) {
    if (::ftruncate(fd_, 0) != 0 || ::pwrite(fd_, data, size, 0) != static_cast<ssize_t>(size)) {
      fail("writing the in-memory file");
    }
    return "/proc/self/fd/" + std::to_string(fd_);
  }

 private:
  int fd_;
};

}  // namespace
}  // namespace vodbc::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vodbc;
  using namespace vodbc::fuzz;
  static MemoryFile memory;
  const std::string path = memory.fill(data, size);
  RecordingReporter reporter;
  std::string connection;
  std::optional<RetrievalFile> file = openRetrievalFile(path, connection, reporter);
  if (!file) return 0;  // refused with its message: allowed for any content
  if (countCharacters(connection) > kRetrievalLineChars) fail("connection string bound");
  if (connection.find('\n') != std::string::npos) fail("connection string holds no line end");
  RetrievalSpec spec;
  readRetrievalSql(*file, path, spec, reporter);
  if (countCharacters(spec.sqlText) > static_cast<std::size_t>(kRetrievalSqlCapacity)) {
    fail("SQL text bound");
  }
  if (spec.sqlText.size() > size) fail("the SQL text only holds what the file holds");
  if (file->isOpen()) fail("the file is closed after reading");
  if (!reporter.lines.empty()) fail("an in-memory file reads without a message");
  return 0;
}
