// Dumping the current table to a restart file.
#pragma once

#include <cstdint>

#include "persist/restartFile.h"

namespace kel {

// Nothing without a current table or with a null path.
void dumpCurrentTable(const char* path);

// How the last dump since the library was loaded ended, as the header
// numbers it: KELHASHTABLEFUN_DUMP_NONE when there was none, or the last
// one had a null path or no current table to write.
int32_t lastDumpOutcomeCode();

}  // namespace kel
