// Key hashing: a golden-ratio multiplicative (Fibonacci) hash in IEEE double
// arithmetic. Bucket indices must come out bit for bit the same on every
// target, because restart files store chains under their bucket index and
// are reloaded without hashing. Every multiply and add below is rounded on
// its own: the library is compiled with -ffp-contract=off, and 32-bit x86
// builds use SSE2 instead of the x87 unit.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace kel {

// (sqrt(5) - 1) / 2, computed at load time; bit pattern 0x3FE3C6EF372FE950.
extern const double goldenRatio;

// The fraction |x - floor(x)| in [0, 1) that decides a string key's bucket.
// Only three windows of ten bytes are mixed into keys longer than 30 bytes,
// and spaces are skipped. `length` is the key's byte count before its NUL.
double stringFraction(const char* key, std::size_t length);

// stringFraction of up to kHashGroup keys at once, with their lengths; a
// null key gets length 0 and the fraction of the empty key.
constexpr int32_t kHashGroup = 8;
void stringFractions(const char* const* keys, int32_t count, std::size_t* lengths,
                     double* fractions);

// floor(x) for |x| < 2^52, exact, without a libm call and without a branch:
// truncation toward zero, then one step down for negative non-integers.
// Hash products stay far below that bound (|long key| * 0.618 < 2^31,
// string sums < 2^22).
inline double exactFloor(double x) {
  const double t = static_cast<double>(static_cast<int64_t>(x));
  return t - static_cast<double>(t > x);
}

// |x - floor(x)| for x = h * goldenRatio: the fraction in [0, 1) that
// decides the bucket of a key whose mixed value is h.
inline double fractionOf(double h) {
  const double x = h * goldenRatio;
  return std::fabs(x - exactFloor(x));
}

// The fraction that decides a long key's bucket.
inline double longFraction(int32_t key) { return fractionOf(static_cast<double>(key)); }

// Scales a fraction to a bucket index in [0, size).
inline int32_t bucketOf(double fraction, int32_t size) {
  return static_cast<int32_t>(fraction * static_cast<double>(size));
}

// The two hash operations of the table, as whole functions.
int32_t hashString(const char* key, int32_t size);
int32_t hashLong(int32_t key, int32_t size);

}  // namespace kel
