#include "dataset/dataSetColumn.h"

#include "dataset/dataSetCells.h"
#include "dataset/dataSetWords.h"

namespace kel {
namespace {

constexpr int32_t kStringColumn = 1;
constexpr int32_t kIntegerColumn = 2;

int32_t contentAt(const int* contents, int32_t i) { return contents != nullptr ? contents[i] : 0; }

void addIntegerColumn(HashTable& table, const DataSet& ds, int32_t column, const int* contents) {
  if (ds.columnOffsets == nullptr) return;
  const int32_t rows = rowCountOf(&ds);
  for (int32_t row = 0; row < rows; ++row)
    table.addLong(readLongCell(ds, row, column), contentAt(contents, row));
}

void addStringColumn(HashTable& table, const DataSet& ds, int32_t column, const int* contents) {
  char scratch[kStringBlock] = {};  // one buffer for the whole column, zeroed first
  const int32_t count = stringCount(ds, column);
  for (int32_t i = 0; i < count; ++i)
    table.addString(columnString(ds, column, i, scratch), contentAt(contents, i));
}

}  // namespace

int32_t rowCountOf(const DataSet* ds) {
  const int32_t rows = ds != nullptr ? wordValue(ds->rowCount) : 0;
  return rows < 0 ? 0 : rows;
}

void addColumn(HashTable& table, const DataSet* ds, int column, const int* contents) {
  if (ds == nullptr || column < 0 || ds->columnKinds == nullptr) return;
  switch (ds->columnKinds[column]) {
    case kIntegerColumn:
      addIntegerColumn(table, *ds, column, contents);
      break;
    case kStringColumn:
      addStringColumn(table, *ds, column, contents);
      break;
    default:
      break;  // any other kind adds nothing
  }
}

}  // namespace kel
