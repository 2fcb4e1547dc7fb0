// vodbc-dump and the reader behind it: damaged files always give one error
// line with a byte offset (never a crash), good files print exactly.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "files/temp_folder.h"
#include "process/run_program.h"
#include "sheets/test_sheet.h"
#include "tools/dump/dump_text.h"
#include "worksheet_file/number_cell.h"
#include "worksheet_file/windows1252.h"
#include "worksheet_file/worksheet_format.h"
#include "worksheet_file/worksheet_reader.h"
#include "worksheets/expected_worksheet.h"
#include "worksheets/memory_write.h"

namespace vodbc {
namespace {

using testing::Bytes;

// City (factor Oslo/Rome), Amount, and a one-value column with a
// Windows-1252 name: K = 3, R = 4, S = 30, L = 6, M = 2; the columns
// section starts at 2878 and the file is 3478 bytes long.
Bytes sampleFile() {
  testing::TestSheet sheet(4);
  sheet.addTexts("City", {"Oslo", "Rome", "Oslo", ""});
  sheet.addNumbers("Amount", {1.5, -2, 0.25, 4});
  sheet.addNumbers("Caf\xE9", {7});
  const testing::WriteOutcome outcome = testing::writeToMemory(sheet.get());
  EXPECT_EQ(outcome.result, 1);
  return outcome.bytes;
}

WorksheetImage sampleImage() { return testing::readBack(sampleFile()); }

// The sample's first `size` bytes as the file `path`.
void writeSample(const std::string& path, std::size_t size = 3478) {
  const Bytes bytes = sampleFile();
  testing::writeWholeFile(path,
                          std::string_view(reinterpret_cast<const char*>(bytes.data()), size));
}

std::string readError(const Bytes& bytes, std::size_t size) {
  WorksheetImage image;
  WorksheetReadError error;
  if (readWorksheet(bytes.data(), size, &image, &error)) return "accepted";
  return error.describe();
}

struct Damage {
  const char* what;
  std::size_t at;
  Bytes bytes;  // written over the file at `at`, lengthening it if need be
  std::string error;
  std::size_t keep = 3478;  // bytes of the damaged file given to the reader
};

TEST(WorksheetReader, DamageIsReportedWithItsOffset) {
  const std::string text = "hello, this is not a worksheet";
  const Damage damages[] = {
      {"undamaged", 0, {}, "accepted"},
      {"signature", 3, {0x00}, "byte 3: expected the worksheet signature (0x02), found 0x00"},
      {"title length",
       170,
       {101, 0, 0, 0, 0},
       "byte 170: expected a title length from 0 to 100, found 101"},
      {"header missing cell", 185, {0}, "byte 185: expected a missing cell after the header"},
      {"labels offset past the end",
       240,
       {0xA0, 0x86, 0x01, 0x00, 0x00},
       "byte 240: expected the labels section (108 bytes at offset 100000) within the file "
       "of 3478 bytes"},
      {"constants offset off by one",
       270,
       {0x0D, 0x0B, 0, 0, 0},
       "byte 270: expected the constants section's offset to be 2828, found 2829"},
      {"a directory cell that is not an integer",
       300,
       {0, 0, 0, 0, 0x81},
       "byte 300: expected the columns section's offset as an integer cell"},
      {"attribute field end",
       360,
       {' '},
       "byte 360: expected 0x0D ending attribute field 1 of the strings section, found 0x20"},
      {"length code beyond the rows",
       460,
       {0x25},
       "byte 459: expected a length of at most 4 rows for column 1, found 5"},
      {"name mark",
       891,
       {' '},
       "byte 891: expected the mark after the name of column 1 (0x81), found 0x20"},
      {"a value in a spare slot",
       2938,
       {'X'},
       "byte 2938: expected a blank cell in row 1 of column slot 4, beyond the column's 0 "
       "values"},
      {"one byte more",
       3478,
       {0},
       "byte 3478: expected the end of the file, found 1 more bytes",
       3479},
      {"cut in the columns",
       0,
       {},
       "byte 300: expected the columns section (600 bytes at offset 2878) within the file of "
       "3000 bytes",
       3000},
      {"empty",
       0,
       {},
       "byte 0: expected the worksheet signature, but the file ends after 0 bytes",
       0},
      {"text", 0, Bytes(text.begin(), text.end()),
       "byte 0: expected the worksheet signature (0x40), found 0x68", text.size()},
  };
  const Bytes good = sampleFile();
  ASSERT_EQ(good.size(), 3478u);
  for (const auto& d : damages) {
    SCOPED_TRACE(d.what);
    Bytes bytes = good;
    bytes.resize(std::max(bytes.size(), d.at + d.bytes.size()));
    std::copy(d.bytes.begin(), d.bytes.end(), bytes.begin() + static_cast<long>(d.at));
    EXPECT_EQ(readError(bytes, d.keep), d.error);
  }
  // An SSP matrix of two slots fills the spare slots behind the columns;
  // more than there are spare slots cannot be.
  Bytes withSsp = good;
  withSsp[320] = 2;
  withSsp[2938] = 'X';
  EXPECT_EQ(readError(withSsp, withSsp.size()), "accepted");
  withSsp[320] = 28;
  EXPECT_EQ(readError(withSsp, withSsp.size()),
            "byte 320: expected the SSP matrix section's slot count from 0 to 27, found 28");
}

// Every truncation, and any single byte changed to any of a few values: the
// reader rejects the cut file and names an offset inside it, and either
// accepts the changed file or names an offset inside it; it never reads out
// of bounds.
TEST(WorksheetReader, DamageAnywhereNeverEscapesTheFile) {
  const Bytes good = sampleFile();
  int rejected = 0;
  for (std::size_t at = 0; at < good.size(); ++at) {
    WorksheetImage image;
    WorksheetReadError error;
    ASSERT_FALSE(readWorksheet(good.data(), at, &image, &error)) << at;
    EXPECT_LE(error.offset, at);
    EXPECT_FALSE(error.expected.empty());
    for (const unsigned char value : {0x00, 0x20, 0x7F, 0xFF}) {
      Bytes bytes = good;
      bytes[at] = value;
      if (!readWorksheet(bytes.data(), bytes.size(), &image, &error)) {
        ++rejected;
        EXPECT_LE(error.offset, bytes.size());
      }
    }
  }
  EXPECT_GT(rejected, 1000);
}

TEST(DumpText, CellsPrintAsTheShortestNumberTheyHold) {
  struct Case {
    Bytes cell;
    std::string text;
  };
  const Case cases[] = {
      {{0xCC, 0xCC, 0xCC, 0x4C, 0x7C}, "0.1"},
      {{0x97, 0x6E, 0x12, 0x83, 0x76}, "-0.001"},
      {{0xFD, 0x64, 0x20, 0x71, 0x90}, "123456.789"},
      {{0x96, 0x0B, 0x13, 0x1A, 0xF4}, "1e+35"},
      {{0x00, 0x00, 0x00, 0xC0, 0x80}, "-1.5"},
      {{0x00, 0x00, 0x00, 0x00, 0x01}, "5.877471755e-39"},
      {{0x00, 0xFE, 0xFF, 0xFF, 0x00}, "-256"},
      {{0x3A, 0x6B, 0x0B, 0xDE, 0xBB}, "*"},
      {{0x20, 0x20, 0x20, 0x20, 0x20}, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(cellText(decodeWorksheetCell(c.cell.data())), c.text);
  }
}

TEST(DumpText, WorksheetTextIsShownAsUtf8) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain", "plain"},
      {"Caf\xE9", "Caf\xC3\xA9"},
      {"\x80 5", "\xE2\x82\xAC 5"},  // the euro sign
      {"a\x81z", "a\xEF\xBF\xBDz"},  // undefined in the code page
      {"\x9F\xFF", "\xC5\xB8\xC3\xBF"},
  };
  for (const auto& [text, utf8] : cases) EXPECT_EQ(windows1252ToUtf8(text), utf8);
}

// What the dump prints must be written back as the very same cell.
TEST(DumpText, PrintedNumbersWriteBackAsTheSameCell) {
  std::uint64_t state = 88172645463325252ull;
  for (int i = 0; i < 20000; ++i) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    const double mantissa = static_cast<double>(state >> 11) / 9007199254740992.0;
    const double v =
        (state & 1 ? -1 : 1) * std::ldexp(0.5 + mantissa / 2, static_cast<int>(state % 200) - 100);
    std::uint8_t cell[5], again[5];
    encodeRealCell(v, cell);
    const std::string text = cellText(decodeWorksheetCell(cell));
    encodeRealCell(std::strtod(text.c_str(), nullptr), again);
    ASSERT_EQ(Bytes(cell, cell + 5), Bytes(again, again + 5)) << v << " printed as " << text;
  }
}

TEST(DumpText, CsvShowsLabelsAndLeavesMissingCellsEmpty) {
  std::ostringstream csv;
  printCsv(sampleImage(), csv);
  EXPECT_EQ(csv.str(),
            "City,Amount,Caf\xC3\xA9\n"
            "Oslo,1.5,7\n"
            "Rome,-2,\n"
            "Oslo,0.25,\n"
            ",4,\n");
}

TEST(DumpText, ReadableFormShowsEverySection) {
  std::ostringstream out;
  printWorksheet(sampleImage(), out);
  const std::string text = out.str();
  for (const char* line : {
           "Title: Data from ODBC.WOR\n",
           "Size: 3478 bytes\n",
           "Header integers: 2 0 0 1 0 100 7 3 255 1 120 18 8 1\n",
           "  columns       30           4    2878          20           5       3\n",
           "  labels 1: [\"     ]\n",
           "Label sets: 1 of 6 slots, at most 2 labels\n",
           "  set 1 (2 labels, factor, column 1): Oslo | Rome\n",
           "  1 City (factor, 2 levels, length 4, label set 1)\n",
           "  3 Caf\xC3\xA9 (values, length 1)\n",
           "row\tCity\tAmount\tCaf\xC3\xA9\n",
           "1\tOslo\t1.5\t7\n",
           "4\t*\t4\t\n",
       }) {
    EXPECT_NE(text.find(line), std::string::npos) << "missing line: " << line << "\nin:\n" << text;
  }
}

const std::string kDump = std::string(VODBC_BINARY_DIR) + "/bin/vodbc-dump";

// The program on damaged, missing and good files, and its usage.
TEST(DumpProgram, StatusAndOutput) {
  const testing::TempFolder folder("vodbc-test");
  const std::string path = folder.file("f.WOR");
  for (const std::size_t cut : {0, 7, 111, 200, 349, 600, 2000, 3477}) {
    SCOPED_TRACE(cut);
    writeSample(path, cut);
    const testing::ProgramResult damaged = testing::runProgram(kDump, {path});
    EXPECT_EQ(damaged.status, 2);
    EXPECT_EQ(damaged.out, "");
    EXPECT_EQ(damaged.err.rfind("vodbc-dump: " + path + ": byte ", 0), 0u) << damaged.err;
    EXPECT_EQ(std::count(damaged.err.begin(), damaged.err.end(), '\n'), 1) << damaged.err;
  }
  const std::string absent = folder.file("absent.WOR");
  const testing::ProgramResult missing = testing::runProgram(kDump, {absent});
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err, "vodbc-dump: " + absent + ": cannot open: No such file or directory\n");

  writeSample(path);
  const struct {
    std::vector<std::string> args;
    int status;
    std::string outStart;  // and nothing on stderr unless the status is 1
  } cases[] = {
      {{"--csv", path}, 0, "City,Amount,Caf\xC3\xA9\nOslo,1.5,7\n"},
      {{path}, 0, "Title: Data from ODBC.WOR\n"},
      {{"--help"}, 0, "Usage: vodbc-dump [--csv] FILE.WOR\n"},
      {{}, 1, ""},
      {{"--bogus", path}, 1, ""},
      {{path, path}, 1, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.empty() ? "no arguments" : c.args[0]);
    const testing::ProgramResult r = testing::runProgram(kDump, c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out.rfind(c.outStart, 0), 0u) << r.out;
    if (c.status == 0) {
      EXPECT_EQ(r.err, "");
    } else {
      EXPECT_EQ(r.out, "");
      EXPECT_NE(r.err.find("Usage: vodbc-dump [--csv] FILE.WOR"), std::string::npos);
    }
  }
}

// Nothing but a regular file of at most the largest worksheet's size is
// read, whatever the path names; each refusal is one line and status 2.
TEST(DumpProgram, RefusesWhatCannotBeAWorksheetFile) {
  const testing::TempFolder folder("vodbc-test");
  const std::string fifo = folder.file("fifo.WOR");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string huge = folder.file("huge.WOR");
  std::ofstream(huge).close();
  std::filesystem::resize_file(huge, worksheet_format::kLargestFileSize + 1);  // sparse
  const std::string largest = std::to_string(worksheet_format::kLargestFileSize);
  const struct {
    std::string path;
    std::string error;
  } cases[] = {
      {folder.str(), "not a regular file"},
      {fifo, "not a regular file"},
      {"/dev/zero", "not a regular file"},
      {huge, std::to_string(worksheet_format::kLargestFileSize + 1) +
                 " bytes, more than any worksheet file holds (" + largest + ")"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const testing::ProgramResult r = testing::runProgram(kDump, {c.path});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "vodbc-dump: " + c.path + ": " + c.error + "\n");
  }
}

TEST(DumpProgram, AFullStandardOutputIsReported) {
  // Every road that prints, the help and the version included.
  const testing::TempFolder folder("vodbc-test");
  const std::string path = folder.file("f.WOR");
  writeSample(path);
  const std::vector<std::vector<std::string>> cases = {
      {"--csv", path}, {path}, {"--help"}, {"--version"}};
  for (const std::vector<std::string>& args : cases) {
    SCOPED_TRACE(args[0]);
    std::vector<std::string> shell = {"-c", "exec \"$0\" \"$@\" >/dev/full", kDump};
    shell.insert(shell.end(), args.begin(), args.end());
    const testing::ProgramResult r = testing::runProgram("/bin/sh", shell);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "vodbc-dump: standard output could not be written\n");
  }
}

// The exit statuses --help lists are the ones the man page explains.
TEST(DumpProgram, HelpAndManPageListTheSameExitStatuses) {
  const testing::ProgramResult help = testing::runProgram(kDump, {"--help"});
  ASSERT_EQ(help.status, 0);
  std::set<std::string> helpStatuses;
  std::istringstream helpLines(help.out.substr(help.out.find("Exit status:")));
  for (std::string line; std::getline(helpLines, line);) {
    if (line.size() > 3 && line.rfind("  ", 0) == 0 && std::isdigit(line[2]) && line[3] == ' ') {
      helpStatuses.insert(line.substr(2, 1));
    }
  }
  std::ifstream page(std::string(VODBC_SOURCE_DIR) + "/docs/man/vodbc-dump.1");
  std::set<std::string> manStatuses;
  bool inStatuses = false;
  for (std::string line; std::getline(page, line);) {
    if (line.rfind(".SH", 0) == 0) inStatuses = line == ".SH EXIT STATUS";
    // A status is a tag line of its own (".B 2"); other bold words are text.
    if (inStatuses && line.size() == 4 && line.rfind(".B ", 0) == 0 && std::isdigit(line[3])) {
      manStatuses.insert(line.substr(3));
    }
  }
  EXPECT_EQ(helpStatuses, (std::set<std::string>{"0", "1", "2", "3"}));
  EXPECT_EQ(manStatuses, helpStatuses);
}

}  // namespace
}  // namespace vodbc
