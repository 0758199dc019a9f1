#include "module/dump.h"

#include "module/currentTable.h"

namespace kel {

namespace {
bool dumped = false;
DumpOutcome last = DumpOutcome::notOpened;
}  // namespace

void dumpCurrentTable(const char* path) {
  const HashTable* table = currentTable();
  dumped = table != nullptr && path != nullptr;
  if (dumped) last = dumpRestartFile(*table, path);
}

bool lastDumpOutcome(DumpOutcome* outcome) {
  if (dumped) *outcome = last;
  return dumped;
}

}  // namespace kel
