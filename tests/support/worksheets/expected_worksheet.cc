#include "worksheets/expected_worksheet.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace vodbc::testing {

Bytes integerCell(std::int64_t n) {
  if (n >= 0) {
    return {static_cast<unsigned char>(n % 256), static_cast<unsigned char>(n / 256 % 256),
            static_cast<unsigned char>(n / 65536 % 256),
            static_cast<unsigned char>(n / 16777216 % 256), 0};
  }
  const std::int64_t m = -n;
  return {static_cast<unsigned char>((256 - m % 256) % 256),
          static_cast<unsigned char>(255 - m / 256 % 256),
          static_cast<unsigned char>(255 - m / 65536 % 256),
          static_cast<unsigned char>(255 - m / 16777216), 0};
}

namespace {

// Halve or double into [0.5, 1), then take 32 fraction bits one weight at a
// time; the always-set first bit carries the sign.
Bytes realBits(double x, bool negative) {
  double a = std::fabs(x);
  int exponent = 127;
  while (a >= 1) {
    a /= 2;
    ++exponent;
  }
  while (a < 0.5) {
    a *= 2;
    --exponent;
  }
  unsigned char fraction[4] = {0, 0, 0, 0};  // most significant first
  double weight = 0.5;
  for (int bit = 0; bit < 32; ++bit) {
    if (a >= weight) {
      a -= weight;
      fraction[bit / 8] = static_cast<unsigned char>(fraction[bit / 8] | (0x80 >> (bit % 8)));
    }
    weight /= 2;
  }
  if (!negative) fraction[0] &= 0x7F;
  return {fraction[3], fraction[2], fraction[1], fraction[0], static_cast<unsigned char>(exponent)};
}

bool missingByWiderRule(double v) {
  const double code = -9.999999999999998E36;
  if (!(v < -1.0E36)) return false;
  if (v <= code) return true;
  std::uint64_t a = 0, b = 0;
  std::memcpy(&a, &v, 8);
  std::memcpy(&b, &code, 8);
  return (a >> 8) == (b >> 8);
}

}  // namespace

Bytes realCell(double v) {
  if (std::isnan(v) || missingByWiderRule(v)) return realBits(-1.0E18, true);
  if (v > 1.0E35) return realBits(1.0E35, false);
  if (v > -2147483648.0 && v < 2147483647.0 && v == std::floor(v)) {
    return integerCell(static_cast<std::int64_t>(v));
  }
  if (std::fabs(v) < std::ldexp(1.0, -127)) return integerCell(0);
  return realBits(v, v < 0);
}

Bytes blankCell() { return Bytes(5, ' '); }
Bytes missingCell() { return {0x3A, 0x6B, 0x0B, 0xDE, 0xBB}; }

namespace {

void append(Bytes& out, const Bytes& bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); }

void appendText(Bytes& out, const std::string& text) {
  out.insert(out.end(), text.begin(), text.end());
}

// A fixed-width field: the content over spaces, then CR.
void appendField(Bytes& out, const std::string& content) {
  appendText(out, content);
  out.push_back(0x0D);
}

std::string spaces(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

}  // namespace

Bytes buildWorksheetBytes(const ExpectedWorksheet& e) {
  const int R = e.rows;
  const int K = e.columns;
  int S = 0;
  if (R <= 1000) {
    S = std::clamp(((K + 5) / 10 + 2) * 10, 30, 127);
  } else {
    S = std::min(K + 10, 127);
  }
  const int B = static_cast<int>(e.labelSets.size());
  int M = 0;
  for (const auto& set : e.labelSets) M = std::max(M, static_cast<int>(set.labels.size()));
  const int L = std::min(B + 5, 127);
  const int T = static_cast<int>(e.title.size());
  const int A = 99 + 4 * L + 6 * S;

  Bytes out = {0x40, 0x0D, 0xC1, 0x02, 0x67, 0x0C, 0x70, 0x00, 0x70, 0x01, 0x70};
  appendText(out, e.title);
  out.push_back(0x0D);
  appendText(out, spaces(100 - T));
  append(out, {0x03, 0x00, 0x00});
  for (int n : {2, 0, 0, 1, 0, 100, L + 1, 3, 255, 1, S * R, T, 8, 1}) append(out, integerCell(n));
  for (int i = 0; i < 3; ++i) append(out, missingCell());

  const int strings = 1577 + A + S;
  const int labels = strings + 810;
  const int constants = labels + 9 * M * L;
  const int columns = constants + 50;
  const int directory[5][6] = {{10, 80, strings, 81, 81, 0},
                               {L, M, labels, 9 * M, 9, L},
                               {10, 1, constants, 5, 5, 0},
                               {S, R, columns, 5 * R, 5, K},
                               {0, R, columns + 5 * R * K, 5 * R, 5, 0}};
  for (const auto& row : directory) {
    for (int n : row) append(out, integerCell(n));
  }

  // Attribute fields.
  for (int w : {10, 10, 10, 0, 10}) appendField(out, spaces(w));
  std::string counts = spaces(L), owners = spaces(L), marks = spaces(L);
  for (int b = 0; b < B; ++b) {
    counts[b] = static_cast<char>(e.labelSets[b].labels.size() + 32);
    if (e.labelSets[b].factorColumn >= 0) owners[b] = '"';
    marks[b] = 'L';
  }
  appendField(out, counts);
  appendField(out, owners);
  appendField(out, marks);
  appendField(out, "");
  appendField(out, spaces(L));
  for (int w : {10, 10, 0, 0, 10}) appendField(out, spaces(w));
  std::string codes = spaces(2 * S), kinds = spaces(S), levels = spaces(S);
  for (std::size_t c = 0; c < e.written.size(); ++c) {
    const auto& column = e.written[c];
    const int length = std::min(column.length, 50175);
    codes[2 * c] = static_cast<char>(length / 224 + 32);
    codes[2 * c + 1] = static_cast<char>(length % 224 + 32);
    kinds[c] = column.factor ? 'F' : 'V';
    if (column.factor) levels[c] = static_cast<char>(column.levelCount + 31);
  }
  appendField(out, codes);
  appendField(out, spaces(S));
  appendField(out, kinds);
  appendField(out, levels);
  appendField(out, spaces(S));
  for (int w : {1, 1, 1, 1, 0}) appendField(out, spaces(w));

  // Link lines.
  std::string toColumns = spaces(100), toLabels = spaces(100);
  for (int b = 0; b < B && b < 50; ++b) {
    const int c = e.labelSets[b].factorColumn;
    if (c < 0) continue;
    toColumns[2 * b] = 3;
    toColumns[2 * b + 1] = static_cast<char>(c + 33);
    toLabels[2 * b] = 1;
    toLabels[2 * b + 1] = static_cast<char>(b + 33);
  }
  appendField(out, toColumns);
  appendField(out, toLabels);

  // Name lengths and the name block.
  std::string lengths = spaces(S);
  for (std::size_t c = 0; c < e.written.size(); ++c) {
    lengths[c] = static_cast<char>(e.written[c].name.size() + 32);
  }
  appendField(out, lengths);
  std::vector<std::string> lines(1, std::string(1, '\x80'));
  for (std::size_t c = 0; c < e.written.size(); ++c) {
    const std::string& name = e.written[c].name;
    if (lines.back().size() + name.size() >= 255) lines.emplace_back();
    lines.back() += name;
    lines.back() += static_cast<char>(0x80 + c + 1);
  }
  while (lines.size() < 4) lines.push_back(std::string(1, '\x80'));
  for (auto& line : lines) appendField(out, line + spaces(255 - static_cast<int>(line.size())));

  for (int i = 0; i < 10; ++i) appendField(out, spaces(80));

  for (int b = 0; b < L; ++b) {
    for (int i = 0; i < M; ++i) {
      std::string cell = spaces(8);
      if (b < B && i < static_cast<int>(e.labelSets[b].labels.size())) {
        const std::string& label = e.labelSets[b].labels[i];
        cell.replace(0, std::min<std::size_t>(label.size(), 8), label.substr(0, 8));
      }
      appendField(out, cell);
    }
  }

  for (int i = 0; i < 10; ++i) append(out, missingCell());

  for (const auto& column : e.written) {
    for (const auto& cell : column.cells) append(out, cell);
    for (int r = static_cast<int>(column.cells.size()); r < R; ++r) append(out, blankCell());
  }
  for (int slot = K; slot < S; ++slot) {
    for (int r = 0; r < R; ++r) append(out, blankCell());
  }
  return out;
}

std::string firstDifference(const Bytes& actual, const Bytes& expected) {
  const std::size_t common = std::min(actual.size(), expected.size());
  std::size_t at = 0;
  while (at < common && actual[at] == expected[at]) ++at;
  if (at == common && actual.size() == expected.size()) return "";
  std::string text = "first difference at byte " + std::to_string(at) + " (sizes " +
                     std::to_string(actual.size()) + " and " + std::to_string(expected.size()) +
                     "):";
  char part[8];
  for (const Bytes* bytes : {&actual, &expected}) {
    text += bytes == &actual ? "\n  written: " : "\n  expected:";
    for (std::size_t i = at; i < at + 16 && i < bytes->size(); ++i) {
      std::snprintf(part, sizeof part, " %02X", (*bytes)[i]);
      text += part;
    }
  }
  return text;
}

std::string numbered(const char* prefix, int i) {
  char text[16];
  std::snprintf(text, sizeof text, "%s%03d", prefix, i);
  return text;
}

ExpectedWorksheet expectedSheet(int rows, std::vector<ExpectedColumn> columns,
                                std::vector<ExpectedLabelSet> labelSets) {
  ExpectedWorksheet e;
  e.title = "Data from ODBC.WOR";
  e.rows = rows;
  e.columns = static_cast<int>(columns.size());
  e.written = std::move(columns);
  e.labelSets = std::move(labelSets);
  return e;
}

}  // namespace vodbc::testing
