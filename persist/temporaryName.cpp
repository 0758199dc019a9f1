#include "persist/temporaryName.h"

#include <cstdio>
#include <cstring>

namespace kel {

namespace {

// Moves past one or more decimal digits; null when there are none.
const char* pastDigits(const char* text) {
  const char* end = text;
  while (*end >= '0' && *end <= '9') ++end;
  return end != text ? end : nullptr;
}

}  // namespace

bool formatTemporaryName(char* name, std::size_t size, const char* file, long processId, int n) {
  const int length = std::snprintf(name, size, "%s.%ld-%d.tmp", file, processId, n);
  return length > 0 && static_cast<std::size_t>(length) < size;
}

bool isTemporaryNameOf(const char* name, const char* base) {
  const std::size_t baseLength = std::strlen(base);
  if (std::strncmp(name, base, baseLength) != 0 || name[baseLength] != '.') return false;
  const char* processId = pastDigits(name + baseLength + 1);
  const char* n = processId != nullptr && *processId == '-' ? pastDigits(processId + 1) : nullptr;
  return n != nullptr && std::strcmp(n, ".tmp") == 0;
}

}  // namespace kel
