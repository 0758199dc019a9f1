// The restart file: the current table dumped as it lies in memory (bucket
// count, counter, every chain under its bucket index) and rebuilt from such
// a file without hashing.
#pragma once

namespace kel {

// Writes the current table to `path`; nothing without a current table.
void dumpCurrentTable(const char* path);

// Builds a new current table from the restart file at `path`.
void loadCurrentTable(const char* path);

}  // namespace kel
