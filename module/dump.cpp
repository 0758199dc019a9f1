#include "module/dump.h"

#include "kelHashTableFun.h"
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

static_assert(static_cast<int>(DumpOutcome::landed) + 1 == KELHASHTABLEFUN_DUMP_LANDED &&
                  static_cast<int>(DumpOutcome::notOpened) + 1 == KELHASHTABLEFUN_DUMP_NOT_OPENED &&
                  static_cast<int>(DumpOutcome::failedKept) + 1 == KELHASHTABLEFUN_DUMP_FAILED_KEPT &&
                  static_cast<int>(DumpOutcome::failedTruncated) + 1 ==
                      KELHASHTABLEFUN_DUMP_FAILED_TRUNCATED,
              "outcomes are numbered as the header numbers them, after none");

int32_t lastDumpOutcomeCode() {
  return dumped ? static_cast<int32_t>(last) + 1 : KELHASHTABLEFUN_DUMP_NONE;
}

}  // namespace kel
