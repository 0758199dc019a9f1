// The module's single current table. Builders replace it, close releases it,
// every other export works on it and does nothing while there is none.
#pragma once

#include <cstdint>

#include "core/HashTablePure.h"

namespace kel {

extern HashTablePure* currentTable;

// Sets loadFactor to 0.75 and makes a new table for n - 1 keys current. The
// table it replaces is released: no handle to it exists, so the host can no
// longer reach it.
HashTablePure& startTable(int64_t n);

// Makes `table` current, releasing the table it replaces.
void replaceCurrentTable(HashTablePure* table);

void closeCurrentTable();

}  // namespace kel
