// Allocation helpers of the table. Running out of memory is fatal: the
// report goes through the module's fatal path and the process ends with
// status 1, so no caller ever sees a null block.
#pragma once

#include <cstddef>

#include "report/fatalReport.h"

namespace kel {

void* allocateOrDie(std::size_t bytes);
void* allocateZeroedOrDie(std::size_t count, std::size_t size);
// count elements of size bytes; out of memory when their bytes overflow.
void* allocateArrayOrDie(std::size_t count, std::size_t size);
void* reallocateOrDie(void* block, std::size_t bytes);

}  // namespace kel
