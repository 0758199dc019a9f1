// Checking a restart file without building its table: what loading it
// would give, read by the loader's own rules (restartScanner.h).
//
//   - sound: the load succeeds (memory permitting), and the table it makes
//     holds `counter` entries, so listing and dumping it succeed;
//   - damaged: the load ends the process, with scan.offset in its message;
//   - inconsistent: the load succeeds, but the table's chains do not hold
//     `counter` entries, so listing or dumping it ends the process.
//
// The entries of the loaded table are those of the last chain stored for
// each bucket, since a bucket stored again replaces its chain. Counting them
// takes the bucket and length of every chain, 8 bytes for a chain record of
// 14 bytes or more: memory bounded by the file's length, whatever bucket
// count the file stores.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "persist/restartScanner.h"

namespace kel {

enum class RestartStatus { sound, notOpened, damaged, inconsistent };

struct RestartCheck {
  RestartStatus status;
  RestartScan scan;   // damaged: why and where; otherwise where the records end
  int32_t size;       // as stored; 0 when the file ends before it
  int32_t counter;    // likewise
  int64_t entries;    // in the loaded table (for a damaged file, in its chains read whole)
  int64_t misplaced;  // entry records outside the bucket their key hashes to
};

// The check of a file that cannot be opened.
RestartCheck notOpenedCheck();

// Checks the restart file `file` from its current position; the file is left open.
RestartCheck checkRestartFile(std::FILE* file);
// Checks a restart file held in memory.
RestartCheck checkRestartImage(const unsigned char* bytes, std::size_t length);

}  // namespace kel
