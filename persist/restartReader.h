// Loading a restart file into a table. This is the non-fatal core: it never
// ends the process on a damaged file; it reports where the file stopped
// making sense and leaves the decision to its caller.
//
// The records are read as restartScanner.h describes. Chains are placed at
// their stored bucket indices without hashing, a bucket stored twice keeps
// its later chain, and the table keeps the stored size and counter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "core/HashTable.h"
#include "persist/restartScanner.h"

namespace kel {

struct RestartImage {
  HashTable* table;      // the restored table, owned by the caller; null if damaged
  int64_t damagedAt;     // byte position where a damaged file stopped making sense
  RestartDamage damage;  // and why
};

// Reads a whole restart file from `file`, which is left open.
RestartImage readRestartFile(std::FILE* file);
// Reads a restart file held in memory.
RestartImage readRestartImage(const unsigned char* bytes, std::size_t length);

}  // namespace kel
