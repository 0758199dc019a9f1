#include "dataset/dataSetImport.h"

#include "api/currentTable.h"
#include "dataset/dataSetCells.h"
#include "dataset/dataSetWords.h"

namespace kel {
namespace {

constexpr int32_t kStringColumn = 1;
constexpr int32_t kIntegerColumn = 2;

int32_t contentAt(const int* contents, int32_t i) { return contents != nullptr ? contents[i] : 0; }

void addIntegerColumn(HashTablePure& table, const DataSet& ds, int32_t rows, int32_t column,
                      const int* contents) {
  if (ds.columnOffsets == nullptr) return;
  for (int32_t row = 0; row < rows; ++row)
    table.addLong(readLongCell(ds, row, column), contentAt(contents, row));
}

void addStringColumn(HashTablePure& table, const DataSet& ds, int32_t column,
                     const int* contents) {
  char scratch[kStringBlock];
  const int32_t count = stringCount(ds, column);
  for (int32_t i = 0; i < count; ++i)
    table.addString(columnString(ds, column, i, scratch), contentAt(contents, i));
}

}  // namespace

void makeTableFromDataSet(const DataSet* ds, int column, const int* contents) {
  int32_t rows = ds != nullptr ? wordValue(ds->rowCount) : 0;
  if (rows < 0) rows = 0;
  HashTablePure& table = startTable(int64_t{rows} + 1);
  if (ds == nullptr || column < 0 || ds->columnKinds == nullptr) return;

  switch (ds->columnKinds[column]) {
    case kIntegerColumn:
      addIntegerColumn(table, *ds, rows, column, contents);
      break;
    case kStringColumn:
      addStringColumn(table, *ds, column, contents);
      break;
    default:
      break;  // any other kind leaves the new table empty
  }
}

}  // namespace kel
