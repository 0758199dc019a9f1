// How the library reads a numeric word of the host's records: the signed
// 32-bit number held in the word's low 32 bits (the whole word on a 32-bit
// build; the upper half of a 64-bit word is ignored).
#pragma once

#include <cstdint>

namespace kel {

// The signed 32-bit number with these bits (two's complement), without an
// out-of-range conversion.
inline int32_t signed32(uint32_t bits) {
  return bits <= 0x7FFFFFFFu ? static_cast<int32_t>(bits) : -static_cast<int32_t>(~bits) - 1;
}

inline int32_t wordValue(intptr_t word) {
  return signed32(static_cast<uint32_t>(static_cast<uintptr_t>(word)));
}

}  // namespace kel
