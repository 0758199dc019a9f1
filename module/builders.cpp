#include "module/builders.h"

#include "dataset/dataSetColumn.h"
#include "module/commaList.h"
#include "module/currentTable.h"
#include "persist/restartFile.h"

namespace kel {

namespace {
int64_t tableSizeFor(int count) { return (count < 0 ? 0 : int64_t{count}) + 1; }
}  // namespace

void buildFromStrings(const char* const* keys, int count, const int* contents) {
  HashTable& table = startTable(tableSizeFor(count));
  if (keys != nullptr && count > 0) table.addStrings(keys, count, contents);
  checkCurrentTable();
}

void buildFromLongs(const int* keys, int count, const int* contents) {
  HashTable& table = startTable(tableSizeFor(count));
  if (keys != nullptr && count > 0) table.addLongs(keys, count, contents);
  checkCurrentTable();
}

void buildFromCommaList(const char* list, const int* contents) {
  if (list == nullptr) {
    buildFromStrings(nullptr, 0, contents);
    return;
  }
  const CommaList tokens(list);
  buildFromStrings(tokens.tokens(), tokens.count(), contents);
}

// The table being replaced is released first, so its memory serves the new one.
void buildFromRestartFile(const char* path) {
  closeCurrentTable();
  adoptTable(loadRestartFile(path));
}

void buildFromDataSet(const DataSet* ds, int column, const int* contents) {
  addColumn(startTable(int64_t{rowCountOf(ds)} + 1), ds, column, contents);
  checkCurrentTable();
}

}  // namespace kel
