#include "core/hashing.h"

#include <cmath>
#include <cstring>

namespace kel {

const double goldenRatio = (std::sqrt(5.0) - 1.0) * 0.5;

namespace {

constexpr double kCharMultiplier = 1.3;  // 0x3FF4CCCCCCCCCCCD
constexpr std::size_t kShortKey = 30;    // longer keys are sampled in windows
constexpr std::size_t kWindow = 10;

// h = h * 1.3 + |(signed char)c| for every byte but the space.
inline double mixBytes(double h, const unsigned char* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned char c = bytes[i];
    if (c == 0x20) continue;
    const int v = c < 0x80 ? c : 256 - c;  // absolute value of the signed byte
    h = h * kCharMultiplier + static_cast<double>(v);
  }
  return h;
}

}  // namespace

double stringFraction(const char* key, std::size_t length) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(key);
  double h = 0.0;
  if (length <= kShortKey) {
    h = mixBytes(h, bytes, length);
  } else {
    // Windows: the first ten bytes, ten from the middle, the last ten.
    // (length - 10) / 2 equals trunc((length - 10) * 0.5) for every length
    // a key can have, so the middle start is computed in integers.
    const std::size_t middle = (length - kWindow) / 2;
    h = mixBytes(h, bytes, kWindow);
    h = mixBytes(h, bytes + middle, kWindow);
    h = mixBytes(h, bytes + length - kWindow, kWindow);
  }
  return fractionOf(h);
}

int32_t hashString(const char* key, int32_t size) {
  return bucketOf(stringFraction(key, std::strlen(key)), size);
}

int32_t hashLong(int32_t key, int32_t size) { return bucketOf(longFraction(key), size); }

}  // namespace kel
