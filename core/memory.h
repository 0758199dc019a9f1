// Allocation helpers of the table. Running out of memory is fatal: the
// report goes through the module's fatal path and the process ends with
// status 1, so no caller ever sees a null block.
#pragma once

#include <cstddef>
#include <cstdlib>

#include "report/fatalReport.h"

namespace kel {

// Inline: listings call it once for every key they copy.
inline void* allocateOrDie(std::size_t bytes) {
  void* block = std::malloc(bytes == 0 ? 1 : bytes);
  if (block == nullptr) outOfMemory();
  return block;
}
void* allocateZeroedOrDie(std::size_t count, std::size_t size);
// count elements of size bytes; out of memory when their bytes overflow.
void* allocateArrayOrDie(std::size_t count, std::size_t size);
void* reallocateOrDie(void* block, std::size_t bytes);

}  // namespace kel
