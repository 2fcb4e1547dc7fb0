#include "sheet/conversion_support.h"

#include <algorithm>
#include <utility>

#include "sheet/convert_column.h"
#include "sheet/sheet.h"
#include "sheet/value_format.h"

namespace vodbc {
namespace {

constexpr std::int64_t kCollectionByteLimit = 16'000'000;
constexpr std::int64_t kCollectionGrowth = 20;

std::int64_t collectionByteLimit = kCollectionByteLimit;

}  // namespace

void setCollectionByteLimitForTesting(std::int64_t bytes) {
  collectionByteLimit = bytes > 0 ? bytes : kCollectionByteLimit;
}

bool collectionFits(std::int64_t entries, std::int64_t entrySize) {
  const std::int64_t steps =
      std::max<std::int64_t>(1, (entries + kCollectionGrowth - 1) / kCollectionGrowth);
  return steps * kCollectionGrowth * entrySize <= collectionByteLimit;
}

void replaceValues(SheetColumn& column, ColumnStorage storage) {
  const std::int32_t length = column.length;
  releaseStorage(column, StorageSlot::Values);
  column.valueStorage = std::move(storage);
  column.length = length;
}

void installLevelValues(SheetColumn& column, ColumnStorage storage, std::int32_t count) {
  releaseStorage(column, StorageSlot::LevelValues);
  column.levelValueStorage = std::move(storage);
  column.levelValueCount = count;
}

void installLevelLabels(SheetColumn& column, ColumnStorage storage, std::int32_t count) {
  releaseStorage(column, StorageSlot::LevelLabels);
  column.levelLabelStorage = std::move(storage);
  column.levelLabelCount = count;
}

void prepareDateState(const SheetColumn& column) {
  if (column.formatKind == kFormatDateTime) {
    setDateOption(column.dateOption);
    setDateFormat(column.dateFormat);
  }
}

}  // namespace vodbc
