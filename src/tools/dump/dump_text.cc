#include "tools/dump/dump_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ostream>

#include "worksheet_file/windows1252.h"

namespace vodbc {
namespace {

namespace fmt = worksheet_format;
using Kind = WorksheetCell::Kind;

const char* const kSectionNames[fmt::kSectionCount] = {"strings", "labels", "constants", "columns",
                                                       "SSP"};

// Attribute fields hold control bytes and count bytes: show them so that a
// reader can count positions (printable bytes as they are, others as \xNN),
// each field between brackets.
std::string visible(const std::string& bytes) {
  std::string text;
  for (const char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    if (b >= 0x20 && b < 0x7F && b != '\\') {
      text.push_back(ch);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", b);
      text += escape;
    }
  }
  return text;
}

// The label a factor cell stands for, or "" when there is none.
const std::string* labelOf(const WorksheetImage& image, const WorksheetColumn& column,
                           const WorksheetCell& cell) {
  if (column.labelSet < 0 || cell.kind != Kind::kInteger) return nullptr;
  const auto& labels = image.labelSets[static_cast<std::size_t>(column.labelSet)].labels;
  const double code = cell.value;
  if (code < 1 || code > static_cast<double>(labels.size())) return nullptr;
  return &labels[static_cast<std::size_t>(code) - 1];
}

std::string valueText(const WorksheetImage& image, const WorksheetColumn& column, int row) {
  if (row >= static_cast<int>(column.cells.size())) return "";
  const WorksheetCell& cell = column.cells[static_cast<std::size_t>(row)];
  if (const std::string* label = labelOf(image, column, cell)) {
    return windows1252ToUtf8(*label);
  }
  return cellText(cell);
}

std::string csvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char ch : text) {
    if (ch == '"') quoted.push_back('"');
    quoted.push_back(ch);
  }
  quoted.push_back('"');
  return quoted;
}

}  // namespace

std::string cellText(const WorksheetCell& cell) {
  switch (cell.kind) {
    case Kind::kBlank:
      return "";
    case Kind::kMissing:
      return "*";
    case Kind::kInteger:
      return std::to_string(static_cast<long long>(cell.value));
    case Kind::kReal:
      break;
  }
  // A real cell keeps 32 fraction bits, truncated: every number from the
  // cell's value up to (not including) one unit of the last bit above it is
  // stored as this cell. Print the shortest of them, which is normally the
  // number that was written.
  int exponent = 0;
  std::frexp(cell.value, &exponent);
  const double unit = std::ldexp(1.0, exponent - 32);
  const double low = std::fabs(cell.value);
  const double high = low + unit;
  // Rounding the middle of that range finds the short numbers inside it;
  // rounding the value itself those that lie just above it.
  const double middle = cell.value + std::copysign(unit / 2, cell.value);
  char text[64];
  for (int digits = 1; digits <= 17; ++digits) {
    for (const double candidate : {middle, cell.value}) {
      std::snprintf(text, sizeof text, "%.*g", digits, candidate);
      const double number = std::strtod(text, nullptr);
      const double shown = std::fabs(number);
      // A whole number of that size would be written as an integer cell.
      const bool integerCell =
          number > -2147483648.0 && number < 2147483647.0 && number == std::trunc(number);
      if (shown >= low && shown < high && !integerCell) return text;
    }
  }
  const auto result = std::to_chars(text, text + sizeof text, cell.value);
  return std::string(text, result.ptr);
}

void printWorksheet(const WorksheetImage& image, std::ostream& out) {
  out << "Title: " << windows1252ToUtf8(image.title) << '\n';
  out << "Size: " << image.fileSize << " bytes\n";
  out << "Header integers:";
  for (const auto n : image.header) out << ' ' << n;
  out << '\n';

  out << "Directory:\n";
  out << "  section    slots  cells/slot  offset  bytes/slot  bytes/cell  in use\n";
  for (int s = 0; s < fmt::kSectionCount; ++s) {
    const auto& row = image.directory[s];
    char line[128];
    std::snprintf(line, sizeof line, "  %-9s %6d %11d %7d %11d %11d %7d\n", kSectionNames[s],
                  row[0], row[1], row[2], row[3], row[4], row[5]);
    out << line;
  }

  out << "Attribute fields:\n";
  for (int s = 0; s < fmt::kSectionCount; ++s) {
    for (int f = 0; f < fmt::kAttributeFieldsPerSection; ++f) {
      out << "  " << kSectionNames[s] << ' ' << f + 1 << ": [" << visible(image.attributes[s][f])
          << "]\n";
    }
  }
  out << "Link lines:\n";
  for (const auto& line : image.linkLines) out << "  [" << visible(line) << "]\n";

  out << "Strings:";
  int strings = 0;
  for (const auto& text : image.strings) strings += !text.empty();
  out << (strings == 0 ? " none\n" : "\n");
  for (std::size_t i = 0; i < image.strings.size(); ++i) {
    if (!image.strings[i].empty()) {
      out << "  " << i + 1 << ": " << windows1252ToUtf8(image.strings[i]) << '\n';
    }
  }
  out << "Constants:";
  for (const auto& cell : image.constants)
    out << ' ' << (cell.kind == Kind::kBlank ? "-" : cellText(cell));
  out << '\n';

  out << "Label sets: " << image.labelSets.size() << " of " << image.labelSlots()
      << " slots, at most " << image.labelsPerSet() << " labels\n";
  for (std::size_t b = 0; b < image.labelSets.size(); ++b) {
    const auto& set = image.labelSets[b];
    out << "  set " << b + 1 << " (" << set.labels.size() << " labels, "
        << (set.factor ? "factor" : "text values");
    if (set.linkedColumn >= 0) out << ", column " << set.linkedColumn + 1;
    out << "):";
    for (std::size_t i = 0; i < set.labels.size(); ++i) {
      out << (i ? " | " : " ") << windows1252ToUtf8(set.labels[i]);
    }
    out << '\n';
  }

  out << "Columns: " << image.columns.size() << " of " << image.columnSlots() << " slots, "
      << image.rows() << " rows\n";
  for (std::size_t c = 0; c < image.columns.size(); ++c) {
    const auto& column = image.columns[c];
    out << "  " << c + 1 << ' ' << windows1252ToUtf8(column.name) << " ("
        << (column.factor ? "factor, " + std::to_string(column.levelCount) + " levels"
                          : std::string("values"))
        << ", length " << column.length << (column.lengthSaturated ? " (saturated code)" : "");
    if (column.labelSet >= 0) out << ", label set " << column.labelSet + 1;
    out << ")\n";
  }

  out << "Data:\nrow";
  for (const auto& column : image.columns) out << '\t' << windows1252ToUtf8(column.name);
  out << '\n';
  for (int r = 0; r < image.rows(); ++r) {
    out << r + 1;
    for (const auto& column : image.columns) out << '\t' << valueText(image, column, r);
    out << '\n';
  }
}

void printCsv(const WorksheetImage& image, std::ostream& out) {
  for (std::size_t c = 0; c < image.columns.size(); ++c) {
    out << (c ? "," : "") << csvField(windows1252ToUtf8(image.columns[c].name));
  }
  out << '\n';
  for (int r = 0; r < image.rows(); ++r) {
    for (std::size_t c = 0; c < image.columns.size(); ++c) {
      const auto& column = image.columns[c];
      std::string text = valueText(image, column, r);
      if (text == "*" && r < static_cast<int>(column.cells.size()) &&
          column.cells[static_cast<std::size_t>(r)].kind == Kind::kMissing) {
        text.clear();
      }
      out << (c ? "," : "") << csvField(text);
    }
    out << '\n';
  }
}

}  // namespace vodbc
