// The restart file: a table dumped as it lies in memory (bucket count,
// counter, every chain under its bucket index) and rebuilt from such a file
// without hashing.
#pragma once

#include "core/HashTable.h"

namespace kel {

// Writes `table` to `path`; nothing when `path` is null or cannot be opened.
// Ends the process with the counter-mismatch report when the chains do not
// hold `counter` entries.
void dumpRestartFile(const HashTable& table, const char* path);

// Builds a table from the restart file at `path`. Ends the process with a
// report when the file cannot be opened or is damaged.
HashTable* loadRestartFile(const char* path);

}  // namespace kel
