// vodbc-dump: shows what a worksheet file holds, or where it is damaged.
#include <fcntl.h>
#include <getopt.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "tools/dump/dump_text.h"
#include "worksheet_file/worksheet_format.h"
#include "worksheet_file/worksheet_reader.h"

namespace {

constexpr int kExitUsage = 1;
constexpr int kExitDamaged = 2;
constexpr int kExitOutputFailed = 3;

// Reads the whole file into `bytes`; "" on success, else what was wrong.
// Only a regular file no larger than the largest worksheet file is read: a
// FIFO would block, a device never end, and a huge file is no worksheet.
std::string readWorksheetBytes(const char* path, std::vector<unsigned char>& bytes) {
  const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::string("cannot open: ") + std::strerror(errno);
  std::string problem;
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    problem = std::string("cannot open: ") + std::strerror(errno);
  } else if (!S_ISREG(info.st_mode)) {
    problem = "not a regular file";
  } else if (static_cast<std::uint64_t>(info.st_size) > vodbc::worksheet_format::kLargestFileSize) {
    problem = std::to_string(info.st_size) + " bytes, more than any worksheet file holds (" +
              std::to_string(vodbc::worksheet_format::kLargestFileSize) + ")";
  } else {
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        problem = std::string("cannot read: ") + std::strerror(errno);
        break;
      }
      if (n == 0) break;  // shrank while being read: what is there is judged
      done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
  }
  ::close(fd);
  return problem;
}

const char kHelp[] =
    "Usage: vodbc-dump [--csv] FILE.WOR\n"
    "       vodbc-dump --help | --version\n"
    "\n"
    "Reads a Velora worksheet file and prints what it holds: the title, the\n"
    "header integers, the section directory, the attribute fields and link\n"
    "lines, the column names, the label sets and the data, one row per line.\n"
    "Every offset and size is checked against the section directory first.\n"
    "Text in the file (Windows-1252) is printed as UTF-8.\n"
    "\n"
    "Options:\n"
    "  --csv     print only the data as CSV: the column names, then one line\n"
    "            per row; missing values are empty, labelled factors show\n"
    "            their labels (a file links at most 50 label sets to their\n"
    "            columns; factors with an unlinked set show their codes)\n"
    "  --help    print this text and exit\n"
    "  --version print the version and exit\n"
    "\n"
    "Exit status:\n"
    "  0  the file was read and printed\n"
    "  1  wrong usage\n"
    "  2  the file cannot be read, is not a regular file, is larger than any\n"
    "     worksheet file, is not a worksheet file or is damaged; one line on\n"
    "     standard error says why (for damage: the byte offset and what was\n"
    "     expected there)\n"
    "  3  standard output could not be written (also for --help and\n"
    "     --version); one line on standard error says so\n";

// Whatever was printed must have reached standard output (a full disk
// behind a redirection fails only here): a failure is said on standard error
// and has a status of its own.
int finishOutput() {
  std::cout.flush();
  if (std::cout) return 0;
  std::cerr << "vodbc-dump: standard output could not be written\n";
  return kExitOutputFailed;
}

}  // namespace

int main(int argc, char** argv) {
  bool csv = false;
  const option options[] = {{"csv", no_argument, nullptr, 'c'},
                            {"help", no_argument, nullptr, 'h'},
                            {"version", no_argument, nullptr, 'v'},
                            {nullptr, 0, nullptr, 0}};
  opterr = 0;
  // vodbc-dump has one thread.
  // NOLINTNEXTLINE(concurrency-mt-unsafe)
  for (int option = 0; (option = getopt_long(argc, argv, "", options, nullptr)) != -1;) {
    switch (option) {
      case 'c':
        csv = true;
        break;
      case 'h':
        std::cout << kHelp;
        return finishOutput();
      case 'v':
        std::cout << "vodbc-dump " << VODBC_VERSION << '\n';
        return finishOutput();
      default:
        std::cerr << "vodbc-dump: unknown option " << argv[optind - 1]
                  << "\nUsage: vodbc-dump [--csv] FILE.WOR (see --help)\n";
        return kExitUsage;
    }
  }
  if (argc - optind != 1) {
    std::cerr << "Usage: vodbc-dump [--csv] FILE.WOR (see --help)\n";
    return kExitUsage;
  }
  const char* path = argv[optind];

  std::vector<unsigned char> bytes;
  if (std::string problem = readWorksheetBytes(path, bytes); !problem.empty()) {
    std::cerr << "vodbc-dump: " << path << ": " << problem << '\n';
    return kExitDamaged;
  }

  vodbc::WorksheetImage image;
  vodbc::WorksheetReadError error;
  if (!vodbc::readWorksheet(bytes.data(), bytes.size(), &image, &error)) {
    std::cerr << "vodbc-dump: " << path << ": " << error.describe() << '\n';
    return kExitDamaged;
  }
  if (csv) {
    vodbc::printCsv(image, std::cout);
  } else {
    vodbc::printWorksheet(image, std::cout);
  }
  return finishOutput();
}
