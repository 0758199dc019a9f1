// Dumping the current table to a restart file.
#pragma once

#include "persist/restartFile.h"

namespace kel {

// Nothing without a current table or with a null path.
void dumpCurrentTable(const char* path);

// How the last dump since the library was loaded ended; false when there was
// none, or the last one had a null path or no current table to write.
bool lastDumpOutcome(DumpOutcome* outcome);

}  // namespace kel
