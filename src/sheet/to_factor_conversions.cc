// Conversions whose result is a Factor: the distinct values or labels of a
// column become its levels. Distinct values are found by hashing, so time
// grows linearly with the rows; the levels, their order and the codes are
// those of a scan in the order values are first met.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <numeric>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "sheet/conversion_support.h"
#include "sheet/convert_column.h"
#include "sheet/names.h"
#include "sheet/sheet.h"

namespace vodbc {
namespace {

// Table entry sizes the collection limits are counted in: a double per
// value, a pointer per label.
constexpr std::int64_t kValueEntrySize = 8;
constexpr std::int64_t kLabelEntrySize = 4;

// A factor without levels still counts two.
constexpr std::int32_t kEmptyFactorLevelCount = 2;

// Exact equality of doubles as a hash key: 0.0 and -0.0 are one value; a NaN
// is equal to a NaN of the same bits.
std::uint64_t valueKey(double value) {
  return std::bit_cast<std::uint64_t>(value == 0.0 ? 0.0 : value);
}

// Ascending, with NaNs last, so sorting is well defined for every input.
bool valueBefore(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) {
    if (std::isnan(a) != std::isnan(b)) return std::isnan(b);
    return std::bit_cast<std::uint64_t>(a) < std::bit_cast<std::uint64_t>(b);
  }
  return a < b;
}

bool isCountingSequence(const std::vector<double>& values) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (values[i] != static_cast<double>(i + 1)) return false;
  }
  return true;
}

// Distinct labels and their keys, kept one after another in large blocks
// rather than as a string each: a column can have as many labels as rows.
class LabelStore {
 public:
  std::string_view keep(std::string_view text) {
    if (text.size() > left_) {
      blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlockBytes));
      at_ = blocks_.back().get();
      left_ = kBlockBytes;
    }
    std::memcpy(at_, text.data(), text.size());
    const std::string_view kept(at_, text.size());
    at_ += text.size();
    left_ -= text.size();
    return kept;
  }

 private:
  static constexpr std::size_t kBlockBytes = std::size_t{64} * 1024;  // far above a label's 80
  std::vector<std::unique_ptr<char[]>> blocks_;
  char* at_ = nullptr;
  std::size_t left_ = 0;
};

// A key to sort by: its first sixteen bytes as two big-endian numbers
// decide most comparisons at once (labels often share a first word, such
// as "item 12…"); the bytes after them decide the rest. Keys never hold a
// NUL, so padding short keys with zeros keeps the byte order.
struct SortKey {
  std::uint64_t head;
  std::uint64_t next;
  std::string_view key;
  std::int32_t index;  // first-met index
};

std::uint64_t bigEndianAt(std::string_view key, std::size_t from) {
  std::uint64_t value = 0;
  for (std::size_t i = from; i < from + 8; ++i) {
    value = (value << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
  }
  return value;
}

SortKey sortKeyOf(std::string_view key, std::int32_t index) {
  return {bigEndianAt(key, 0), bigEndianAt(key, 8), key, index};
}

bool sortsBefore(const SortKey& a, const SortKey& b) {
  if (a.head != b.head) return a.head < b.head;
  if (a.next != b.next) return a.next < b.next;
  return a.key < b.key;
}

// The label of a text: blank-normalised over at most 80 characters when
// asked, cut to 40 characters either way. `buffer` holds 81 bytes.
std::string_view labelOf(const char* text, bool normaliseSpaces, char* buffer) {
  if (normaliseSpaces) {
    normaliseBlanks(buffer, text, kTextValueWidth);
    text = buffer;
  }
  return std::string_view(text, strnlen(text, kLabelWidth));
}

// The same label with the letters A-Z folded to lower case.
std::string_view foldedLabel(std::string_view label, char* buffer) {
  for (std::size_t i = 0; i < label.size(); ++i) {
    const char c = label[i];
    buffer[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return std::string_view(buffer, label.size());
}

// Maps the positions of `order` (sorted first-met indexes) to 1-based codes
// by first-met index.
std::vector<std::int32_t> codesByFirstMet(const std::vector<std::int32_t>& order) {
  std::vector<std::int32_t> codes(order.size());
  for (std::size_t rank = 0; rank < order.size(); ++rank) {
    codes[static_cast<std::size_t>(order[rank])] = static_cast<std::int32_t>(rank + 1);
  }
  return codes;
}

}  // namespace

bool numericToFactor(SheetColumn& column, bool sortLevels) {
  if (column.type != ColumnType::Numeric) return false;
  const double missing = missingValueOf(column);

  std::vector<double> distinct;
  std::unordered_map<std::uint64_t, std::int32_t> firstMet;
  for (const double value : numericValues(column)) {
    if (value <= missing) continue;
    const auto [it, added] =
        firstMet.try_emplace(valueKey(value), static_cast<std::int32_t>(distinct.size()));
    if (!added) continue;
    if (!collectionFits(static_cast<std::int64_t>(distinct.size()) + 1, kValueEntrySize)) {
      return false;
    }
    distinct.push_back(value);
  }

  std::vector<std::int32_t> order(distinct.size());
  std::iota(order.begin(), order.end(), 0);
  if (sortLevels && distinct.size() >= 2) {
    std::sort(order.begin(), order.end(), [&](std::int32_t a, std::int32_t b) {
      return valueBefore(distinct[static_cast<std::size_t>(a)],
                         distinct[static_cast<std::size_t>(b)]);
    });
  }
  const std::vector<std::int32_t> codes = codesByFirstMet(order);
  for (double& value : numericValues(column)) {
    if (value <= missing) continue;
    value = codes[static_cast<std::size_t>(firstMet.at(valueKey(value)))];
  }

  std::vector<double> levels;
  levels.reserve(order.size());
  for (std::int32_t index : order) levels.push_back(distinct[static_cast<std::size_t>(index)]);
  const auto k = static_cast<std::int32_t>(levels.size());
  releaseStorage(column, StorageSlot::LevelValues);
  releaseStorage(column, StorageSlot::LevelLabels);
  column.levelKind = 0;
  if (k > 0 && !isCountingSequence(levels)) {
    ColumnStorage storage = allocateStorage(ColumnType::LevelValues, k);
    std::size_t i = 0;
    for (double& level : numbersIn(storage)) level = levels[i++];
    installLevelValues(column, std::move(storage), k);
    column.levelKind = 1;
  }
  column.levelCount = k > 0 ? k : kEmptyFactorLevelCount;
  column.valueWidth = kFactorValueWidth;
  column.type = ColumnType::Factor;
  markColumnChanged(&column, true);
  return true;
}

bool textToFactor(SheetColumn& column, bool ignoreCase, bool normaliseSpaces, bool sortLevels) {
  if (column.type != ColumnType::Text) return false;

  // Labels in the order first met, with the spelling first met; the index
  // is keyed by the label, case-folded with ignoreCase.
  LabelStore store;
  std::vector<std::string_view> labels;
  std::vector<std::string_view> keys;
  std::unordered_map<std::string_view, std::int32_t> firstMet;
  std::vector<std::int32_t> rowLevel;  // first-met index per row, -1 empty
  rowLevel.reserve(static_cast<std::size_t>(std::max(column.length, 0)));
  char labelBuffer[kTextValueWidth + 1];
  char keyBuffer[kTextValueWidth + 1];
  for (const char* text : textValues(column)) {
    const std::string_view label = labelOf(text, normaliseSpaces, labelBuffer);
    if (label.empty()) {
      rowLevel.push_back(-1);
      continue;
    }
    const std::string_view key = ignoreCase ? foldedLabel(label, keyBuffer) : label;
    auto it = firstMet.find(key);
    if (it == firstMet.end()) {
      if (!collectionFits(static_cast<std::int64_t>(labels.size()) + 1, kLabelEntrySize)) {
        return false;
      }
      const std::string_view keptLabel = store.keep(label);
      const std::string_view keptKey = key == label ? keptLabel : store.keep(key);
      it = firstMet.emplace(keptKey, static_cast<std::int32_t>(labels.size())).first;
      labels.push_back(keptLabel);
      keys.push_back(keptKey);
    }
    rowLevel.push_back(it->second);
  }

  // Sorting by the key compares bytes as unsigned, A-Z folded with
  // ignoreCase; distinct labels have distinct keys, so there are no ties.
  std::vector<std::int32_t> order(labels.size());
  std::iota(order.begin(), order.end(), 0);
  if (sortLevels && labels.size() >= 2) {
    std::vector<SortKey> sorted;
    sorted.reserve(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
      sorted.push_back(sortKeyOf(keys[i], static_cast<std::int32_t>(i)));
    }
    std::sort(sorted.begin(), sorted.end(), sortsBefore);
    for (std::size_t rank = 0; rank < sorted.size(); ++rank) order[rank] = sorted[rank].index;
  }
  const std::vector<std::int32_t> codes = codesByFirstMet(order);

  const double missing = missingValueOf(column);
  ColumnStorage storage = allocateStorage(ColumnType::Numeric, column.length);
  std::size_t row = 0;
  for (double& value : numbersIn(storage)) {
    const std::int32_t level = row < rowLevel.size() ? rowLevel[row] : -1;
    value = level < 0 ? missing : codes[static_cast<std::size_t>(level)];
    ++row;
  }
  replaceValues(column, std::move(storage));
  column.type = ColumnType::Factor;
  column.valueWidth = kFactorValueWidth;
  column.decimals = -1;
  releaseStorage(column, StorageSlot::LevelValues);
  releaseStorage(column, StorageSlot::LevelLabels);

  const auto k = static_cast<std::int32_t>(labels.size());
  if (k >= 1) {
    column.levelCount = k;
    column.levelKind = 2;
    column.formatKind = kFormatText;
    TextStorageBuilder labelStorage(ColumnType::LevelLabels, k);
    std::size_t widest = 0;
    for (const std::int32_t index : order) {
      const std::string_view label = labels[static_cast<std::size_t>(index)];
      labelStorage.add(label);
      widest = std::max(widest, label.size());
    }
    installLevelLabels(column, labelStorage.finish(), k);
    column.labelWidth = static_cast<std::int32_t>(widest);
  } else {
    column.levelCount = kEmptyFactorLevelCount;
    column.levelKind = 0;
    column.formatKind = kFormatPlain;
    column.labelWidth = 0;
  }
  markColumnChanged(&column, true);
  return true;
}

}  // namespace vodbc
