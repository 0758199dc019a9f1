#include "core/memory.h"

#include <cstdint>
#include <cstdlib>

namespace kel {

void* allocateArrayOrDie(std::size_t count, std::size_t size) {
  if (size != 0 && count > SIZE_MAX / size) outOfMemory();
  return allocateOrDie(count * size);
}

void* allocateZeroedOrDie(std::size_t count, std::size_t size) {
  void* block = std::calloc(count == 0 ? 1 : count, size);
  if (block == nullptr) outOfMemory();
  return block;
}

void* reallocateOrDie(void* block, std::size_t bytes) {
  void* moved = std::realloc(block, bytes == 0 ? 1 : bytes);
  if (moved == nullptr) outOfMemory();
  return moved;
}

}  // namespace kel
