#include "module/currentTable.h"

#include <cstdio>
#include <cstdlib>
#include <new>

#include "core/memory.h"

namespace kel {

HashTable* detail::current = nullptr;

using detail::current;

HashTable& startTable(int64_t n) {
  closeCurrentTable();
  auto* table = new (std::nothrow) HashTable(n);
  if (table == nullptr) outOfMemory();
  current = table;
  return *table;
}

void adoptTable(HashTable* table) {
  closeCurrentTable();
  current = table;
}

void closeCurrentTable() {
  delete current;
  current = nullptr;
}

#if defined(KEL_CHECK_INVARIANTS)
void checkCurrentTable() {
  if (current == nullptr) return;
  if (const char* broken = current->brokenInvariant()) {
    std::fprintf(stderr, "kelHashTableFun: invariant broken: %s\n", broken);
    std::abort();
  }
}
#endif

}  // namespace kel
