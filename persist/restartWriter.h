// Writing a restart file: size and counter, then one chain record per
// non-empty bucket in ascending bucket index, each chain from its head. All
// integers are 32-bit little-endian; a string key is written with its NUL.
#pragma once

#include <cstdint>
#include <cstdio>

#include "core/HashTable.h"

namespace kel {

struct RestartWrite {
  int64_t entries;  // entries written, to be checked against the counter
  bool complete;    // every byte reached the FILE without an error
};

// Writes `table` to `file`, which is left open (and flushed).
RestartWrite writeRestartFile(const HashTable& table, std::FILE* file);

}  // namespace kel
