#include "core/hashing.h"

#include <array>
#include <cmath>
#include <cstring>

namespace kel {

namespace {

constexpr std::size_t kShortKey = 30;  // longer keys are sampled in windows
constexpr std::size_t kWindow = 10;

// Per byte c: h = h * multiplier[c] + value[c]. For every byte but the space
// that is h * 1.3 + |c as a signed char|; for the space it is h * 1.0 + 0.0,
// which is h exactly (h is never negative), so a space counts as skipped.
// Padding with spaces therefore lets several keys be mixed in lockstep.
struct MixTable {
  std::array<double, 256> multiplier;
  std::array<double, 256> value;
};

constexpr MixTable makeMixTable() {
  MixTable table{};
  for (int c = 0; c < 256; ++c) {
    const bool space = c == 0x20;
    table.multiplier[c] = space ? 1.0 : 1.3;  // 1.3 is 0x3FF4CCCCCCCCCCCD
    table.value[c] = space ? 0.0 : static_cast<double>(c < 0x80 ? c : 256 - c);
  }
  return table;
}

constexpr MixTable kMix = makeMixTable();

inline double mix(double h, unsigned char c) { return h * kMix.multiplier[c] + kMix.value[c]; }

inline double mixRange(double h, const char* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) h = mix(h, static_cast<unsigned char>(bytes[i]));
  return h;
}

// The bytes that contribute to a key's hash: every byte of a key of up to 30
// bytes; of a longer key the first ten, ten from the middle and the last
// ten. (length - 10) / 2 equals trunc((length - 10) * 0.5) for every length
// a key can have.
std::size_t middleWindow(std::size_t length) { return (length - kWindow) / 2; }

// Copies the contributing bytes, in order, to `out`; returns their count.
std::size_t contributingBytes(const char* key, std::size_t length, unsigned char out[kShortKey]) {
  if (length <= kShortKey) {
    std::memcpy(out, key, length);
    return length;
  }
  const std::size_t middle = middleWindow(length);
  std::memcpy(out, key, kWindow);
  std::memcpy(out + kWindow, key + middle, kWindow);
  std::memcpy(out + 2 * kWindow, key + length - kWindow, kWindow);
  return kShortKey;
}

}  // namespace

double stringFraction(const char* key, std::size_t length) {
  if (length <= kShortKey) return fractionOf(mixRange(0.0, key, length));
  double h = mixRange(0.0, key, kWindow);
  h = mixRange(h, key + middleWindow(length), kWindow);
  return fractionOf(mixRange(h, key + length - kWindow, kWindow));
}

// Each key's h is a chain of dependent multiply-adds; mixing a group of keys
// byte by byte in lockstep lets their chains overlap. Shorter keys are
// padded with spaces, which leave h as it is.
void stringFractionsOfLengths(const char* const* keys, const std::size_t* lengths, int32_t count,
                              double* fractions) {
  unsigned char bytes[kHashGroup][kShortKey];
  std::memset(bytes, 0x20, sizeof bytes);
  std::size_t longest = 0;
  for (int32_t k = 0; k < count; ++k) {
    if (keys[k] == nullptr) continue;
    const std::size_t used = contributingBytes(keys[k], lengths[k], bytes[k]);
    if (used > longest) longest = used;
  }
  double h[kHashGroup] = {};
  for (std::size_t i = 0; i < longest; ++i)
    for (int32_t k = 0; k < kHashGroup; ++k) h[k] = mix(h[k], bytes[k][i]);
  for (int32_t k = 0; k < count; ++k) fractions[k] = fractionOf(h[k]);
}

void stringFractions(const char* const* keys, int32_t count, std::size_t* lengths,
                     double* fractions) {
  for (int32_t k = 0; k < count; ++k) lengths[k] = keys[k] != nullptr ? std::strlen(keys[k]) : 0;
  stringFractionsOfLengths(keys, lengths, count, fractions);
}

int32_t hashString(const char* key, int32_t size) {
  return bucketOf(stringFraction(key, std::strlen(key)), size);
}

int32_t hashLong(int32_t key, int32_t size) { return bucketOf(longFraction(key), size); }

}  // namespace kel
