// Reading a restart file. This is the parsing core: it never ends the
// process on a damaged file; it reports where the file stopped making sense
// and leaves the decision to its caller.
//
// Chains are placed at their stored bucket indices without hashing, and the
// table keeps the stored size and counter. A file is damaged when it ends
// before a field is complete, stores a size below 1, a bucket index outside
// 0 to size - 1, an isLong byte other than 0 or 1, or a string key of more
// than kLongestStringKey bytes. The offset of a damaged file is the byte
// position of the first field that cannot be accepted (for a string key, the
// position of its first byte). Bytes after the last chain that the counter
// asks for are ignored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "core/HashTable.h"

namespace kel {

// The longest string key a restart file may hold, not counting its NUL.
constexpr std::size_t kLongestStringKey = 499999;

struct RestartImage {
  HashTable* table;  // the restored table, owned by the caller; null if damaged
  int64_t damagedAt;     // byte position where a damaged file stopped making sense
};

// Reads a whole restart file from `file`, which is left open.
RestartImage readRestartFile(std::FILE* file);
// Reads a restart file held in memory.
RestartImage readRestartImage(const unsigned char* bytes, std::size_t length);

}  // namespace kel
