// Dumping the current table to a restart file.
#pragma once

namespace kel {

// Nothing without a current table.
void dumpCurrentTable(const char* path);

}  // namespace kel
