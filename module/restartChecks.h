// Restart files checked for a host that must not end on a bad one: the
// file's status, and what its check found, in the header's numbering.
#pragma once

#include <cstdint>

#include "kelHashTableFun.h"

namespace kel {

// The status of the restart file at `path`; fills *detail unless it is null.
// The current table stays as it is.
int32_t statusOfRestartFile(const char* path, KelHashTableFunFileCheck* detail);

// Makes the table of the restart file at `path` current when the file is
// sound, releasing the table it replaces first; otherwise the current table
// stays as it was, so a host that cannot resume still has the table it had.
// Only when another program writes the file in place between the check and
// the load, and the load finds it damaged, is there no current table then.
int32_t buildFromSoundRestartFile(const char* path, KelHashTableFunFileCheck* detail);

}  // namespace kel
