#include "dataset/dataSetCells.h"

#include <cstring>

#include "dataset/dataSetFiles.h"
#include "dataset/dataSetWords.h"

namespace kel {
namespace {

constexpr int32_t kStringColumn = 1;

// a + b * c in 32-bit arithmetic, wrapping around instead of overflowing.
int32_t wrappingOffset(int32_t a, int32_t b, int32_t c) {
  return signed32(static_cast<uint32_t>(a) + static_cast<uint32_t>(b) * static_cast<uint32_t>(c));
}

bool isCached(const DataSet& ds, int32_t row) {
  if (ds.rowCacheBase == nullptr) return false;
  const int64_t first = wordValue(ds.firstCachedRow);
  return first <= row && row < first + wordValue(ds.cachedRowCount);
}

int32_t cachedCell(const DataSet& ds, int32_t row, int32_t columnOffset) {
  const int64_t at = (row - int64_t{wordValue(ds.firstCachedRow)}) * wordValue(ds.recordLength) +
                     columnOffset;
  const auto* cell = static_cast<const unsigned char*>(ds.rowCacheBase) + static_cast<intptr_t>(at);
  int32_t value;
  std::memcpy(&value, cell, sizeof value);
  return value;
}

int32_t fileCell(const DataSet& ds, int32_t row, int32_t columnOffset) {
  const bool sought =
      seekRecords(ds.files, wrappingOffset(columnOffset, wordValue(ds.recordLength), row));
  unsigned char bytes[4] = {0, 0, 0, 0};
  const int32_t got = readRecords(ds.files, bytes, 4);
  if (!sought || !readSucceeded(got, 4)) return 0;
  return signed32(uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
                  uint32_t{bytes[3]} << 24);
}

}  // namespace

int32_t readLongCell(const DataSet& ds, int32_t row, int32_t column) {
  const int32_t columnOffset = ds.columnOffsets[column];
  return isCached(ds, row) ? cachedCell(ds, row, columnOffset) : fileCell(ds, row, columnOffset);
}

const char* columnString(const DataSet& ds, int32_t column, int32_t i,
                         char (&scratch)[kStringBlock]) {
  const int32_t offset = ds.stringOffsets[column][i];
  const int32_t inMemory = wordValue(ds.stringHeapMemoryLength);
  if (offset < 0 || (offset < inMemory && ds.stringHeapMemoryBase == nullptr)) return "";
  if (offset < inMemory) return ds.stringHeapMemoryBase + offset;

  // A read puts its bytes at the start of the one buffer of the import and
  // leaves the rest as it was; at the end of the file that is the byte 0xFF
  // alone, before what earlier strings left.
  const bool sought = seekStrings(ds.files, signed32(static_cast<uint32_t>(offset) -
                                                     static_cast<uint32_t>(inMemory)));
  if (!sought || readStrings(ds.files, scratch, kStringBlock) < 0) scratch[0] = '\0';
  scratch[kStringBlock - 1] = '\0';
  return scratch;
}

int32_t stringCount(const DataSet& ds, int32_t column) {
  if (ds.columnKinds == nullptr || ds.columnKinds[column] != kStringColumn) return 0;
  if (ds.stringCounts == nullptr || ds.stringOffsets == nullptr) return 0;
  if (ds.stringOffsets[column] == nullptr) return 0;
  return ds.stringCounts[column];
}

}  // namespace kel
