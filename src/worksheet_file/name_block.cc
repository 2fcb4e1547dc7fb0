#include "worksheet_file/name_block.h"

#include <algorithm>
#include <cassert>

namespace vodbc {
namespace {

namespace fmt = worksheet_format;

// Walks the packing rule: a name stays on the current line when its start
// plus its length stays below 255; otherwise it opens the next line at 0.
// The first line opens with a mark, so its first name starts at 1. Calls
// place(line, position, index) for every name; returns the lines used.
template <class Place>
int walkPacking(const std::vector<int>& lengths, Place place) {
  int line = 0;
  int position = 1;
  for (std::size_t j = 0; j < lengths.size(); ++j) {
    if (position + lengths[j] >= fmt::kNameLineWidth) {
      ++line;
      position = 0;
    }
    place(line, position, j);
    position += lengths[j] + 1;
  }
  return line + 1;
}

int budget(const std::vector<int>& lengths, int columnCount) {
  int total = 0;
  for (const int n : lengths) total += n + 1;
  // Columns that are not written take one byte each.
  total += std::max(0, columnCount - static_cast<int>(lengths.size()));
  return total;
}

}  // namespace

bool namesFitBlock(const std::vector<int>& lengths) {
  return walkPacking(lengths, [](int, int, std::size_t) {}) <= fmt::kNameLineCount;
}

std::vector<int> fitNameLengths(const std::vector<int>& lengths, int columnCount) {
  std::vector<int> fitted = lengths;
  const auto clipAll = [&fitted](int cut) {
    for (int& n : fitted) n = std::min(n, cut);
  };
  const auto longest = [&fitted] {
    return fitted.empty() ? 0 : *std::max_element(fitted.begin(), fitted.end());
  };

  int total = 0;
  for (const int n : fitted) total += n + 1;
  if (total > fmt::kNameBudget && columnCount > 0) {
    for (int cut = longest() - (total - fmt::kNameBudget) / columnCount;
         cut >= fmt::kShortestClippedName; --cut) {
      clipAll(cut);
      if (budget(fitted, columnCount) < fmt::kNameBudget) break;
    }
  }
  // The budget ignores the space lost at line ends, so names that pass it
  // can still need a fifth line; shorten them all until they fit.
  while (!namesFitBlock(fitted) && longest() > 0) clipAll(longest() - 1);
  return fitted;
}

std::array<std::string, fmt::kNameLineCount> packNames(const std::vector<std::string_view>& names,
                                                       const std::vector<int>& lengths) {
  assert(names.size() == lengths.size() && namesFitBlock(lengths));
  std::array<std::string, fmt::kNameLineCount> lines;
  for (auto& line : lines) {
    line.assign(fmt::kNameLineWidth, static_cast<char>(fmt::kSpace));
    line[0] = static_cast<char>(fmt::kNameMark);
  }
  walkPacking(lengths, [&](int line, int position, std::size_t j) {
    std::string& text = lines[static_cast<std::size_t>(line)];
    const auto n = static_cast<std::size_t>(lengths[j]);
    const auto start = static_cast<std::size_t>(position);
    for (std::size_t i = 0; i < n && i < names[j].size(); ++i) {
      text[start + i] = names[j][i];
    }
    text[start + n] = static_cast<char>(fmt::kNameMark + j + 1);
  });
  return lines;
}

}  // namespace vodbc
