#include "module/dump.h"

#include "module/currentTable.h"
#include "persist/restartFile.h"

namespace kel {

void dumpCurrentTable(const char* path) {
  if (const HashTable* table = currentTable()) dumpRestartFile(*table, path);
}

}  // namespace kel
