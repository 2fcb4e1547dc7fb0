// vodbc-dump: shows what a worksheet file holds, or where it is damaged.
#include <getopt.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

#include "tools/dump/dump_text.h"
#include "worksheet_file/worksheet_reader.h"

namespace {

constexpr int kExitUsage = 1;
constexpr int kExitDamaged = 2;

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
    "  2  the file cannot be read, is not a worksheet file or is damaged; one\n"
    "     line on standard error names the byte offset and what was expected\n"
    "     there\n";

}  // namespace

int main(int argc, char** argv) {
  bool csv = false;
  const option options[] = {{"csv", no_argument, nullptr, 'c'},
                            {"help", no_argument, nullptr, 'h'},
                            {"version", no_argument, nullptr, 'v'},
                            {nullptr, 0, nullptr, 0}};
  opterr = 0;
  for (int option = 0; (option = getopt_long(argc, argv, "", options, nullptr)) != -1;) {
    switch (option) {
      case 'c':
        csv = true;
        break;
      case 'h':
        std::cout << kHelp;
        return 0;
      case 'v':
        std::cout << "vodbc-dump " << VODBC_VERSION << '\n';
        return 0;
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

  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::cerr << "vodbc-dump: " << path << ": cannot open: " << std::strerror(errno) << '\n';
    return kExitDamaged;
  }
  const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
  if (in.bad()) {
    std::cerr << "vodbc-dump: " << path << ": cannot read\n";
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
  std::cout.flush();
  return std::cout ? 0 : kExitDamaged;
}
