// The restart file: a table dumped as it lies in memory (bucket count,
// counter, every chain under its bucket index) and rebuilt from such a file
// without hashing.
#pragma once

#include "core/HashTable.h"
#include "persist/restartCheck.h"

namespace kel {

// How a dump ended, when it returned (persist/dumpTarget.h says which
// paths end how).
enum class DumpOutcome {
  landed,           // the file holds the table
  notOpened,        // the path could not be opened for writing: nothing changed
  failedKept,       // writing failed; the file is as it was before the dump
  failedTruncated,  // writing failed after the file was truncated in place
};

// Writes `table` to `path` (not null). Ends the process with the
// counter-mismatch report when the chains do not hold `counter` entries.
DumpOutcome dumpRestartFile(const HashTable& table, const char* path);

// Builds a table from the restart file at `path`. Ends the process with a
// report when the file cannot be opened (a folder cannot) or is damaged.
HashTable* loadRestartFile(const char* path);

// Checks the restart file at `path` (restartCheck.h); never ends the process
// but when memory runs out.
RestartCheck checkRestartFileAt(const char* path);

// Builds a table from the restart file at `path` only when its check finds
// it sound: `beforeLoading` runs, then the open file is read again from its
// start to build the table. Null otherwise, with *check saying why. A file
// that cannot be read again from its start (a pipe) counts as not opened.
HashTable* loadSoundRestartFile(const char* path, RestartCheck* check, void (*beforeLoading)());

}  // namespace kel
