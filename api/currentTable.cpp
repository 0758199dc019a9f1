#include "api/currentTable.h"

#include <new>

#include "core/memory.h"

namespace kel {

HashTablePure* currentTable = nullptr;

void replaceCurrentTable(HashTablePure* table) {
  delete currentTable;
  currentTable = table;
}

HashTablePure& startTable(int64_t n) {
  closeCurrentTable();  // first, so the old table's memory serves the new one
  loadFactor = 0.75;
  auto* table = new (std::nothrow) HashTablePure(n);
  if (table == nullptr) outOfMemory();
  currentTable = table;
  return *table;
}

void closeCurrentTable() { replaceCurrentTable(nullptr); }

}  // namespace kel
