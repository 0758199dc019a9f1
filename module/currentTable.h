// The module's single current table. Builders replace it, close releases it,
// every other export works on it and does nothing while there is none. This
// is the one place that changes it.
#pragma once

#include <cstdint>

#include "core/HashTable.h"

namespace kel {

namespace detail {
// Written by currentTable.cpp alone; read inline, since every export asks
// for it (a single add, which is otherwise about 100 instructions, paid a
// call for it).
extern HashTable* current;
}  // namespace detail

// The current table, or null.
inline HashTable* currentTable() { return detail::current; }

// Releases the current table, then makes a new table for n - 1 keys current
// and returns it. The original kept the table it replaced alive, but no
// handle to it exists, so releasing it changes nothing a host can see except
// that its memory comes back (first, so the new table can use it).
HashTable& startTable(int64_t n);

// Makes `table` (a table just built elsewhere) current. The table it replaces
// must already be released: builders that make their table elsewhere call
// closeCurrentTable first.
void adoptTable(HashTable* table);

void closeCurrentTable();

// Checked builds (KEL_CHECK_INVARIANTS) walk the current table after every
// call that changes it and abort with a description when it breaks one of
// the table's invariants; other builds do nothing here.
#if defined(KEL_CHECK_INVARIANTS)
void checkCurrentTable();
#else
inline void checkCurrentTable() {}
#endif

}  // namespace kel
