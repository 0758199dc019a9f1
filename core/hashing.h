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

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define KEL_HASH_SSE2 1
#endif

namespace kel {

// (sqrt(5) - 1) / 2 in double precision, written as its bit pattern
// 0x3FE3C6EF372FE950 so that every use is a constant.
inline constexpr double goldenRatio = 0x1.3c6ef372fe950p-1;

// The fraction |x - floor(x)| in [0, 1) that decides a string key's bucket.
// Only three windows of ten bytes are mixed into keys longer than 30 bytes,
// and spaces are skipped. `length` is the key's byte count before its NUL.
double stringFraction(const char* key, std::size_t length);

// stringFraction of up to kHashGroup keys at once, with their lengths; a
// null key gets length 0 and the fraction of the empty key.
constexpr int32_t kHashGroup = 8;
void stringFractions(const char* const* keys, int32_t count, std::size_t* lengths,
                     double* fractions);
// The same for keys whose lengths are known (a null key's length is 0).
void stringFractionsOfLengths(const char* const* keys, const std::size_t* lengths, int32_t count,
                              double* fractions);

// |x - floor(x)| for x = h * goldenRatio: the fraction in [0, 1) that
// decides the bucket of a key whose mixed value is h.
//
// Hash products stay below 2^31 in magnitude (|long key| * 0.618 < 2^31,
// string sums < 2^21), so t = trunc(x) is a 32-bit conversion, and d = x - t
// is exact. For x >= 0 the fraction is d. For a negative non-integer x,
// floor(x) = t - 1 and the fraction is x - (t - 1), the rounding of the exact
// value d + 1: the same double as d + 1.0. Adding 1.0 only where d < 0 is
// done with a compare mask rather than a branch, which the sign of random
// keys would make unpredictable.
inline double fractionOf(double h) {
  const double x = h * goldenRatio;
  const double d = x - static_cast<double>(static_cast<int32_t>(x));
#if defined(KEL_HASH_SSE2)
  const __m128d dd = _mm_set_sd(d);
  const __m128d one = _mm_and_pd(_mm_cmplt_sd(dd, _mm_setzero_pd()), _mm_set_sd(1.0));
  return _mm_cvtsd_f64(_mm_add_sd(dd, one));
#else
  return d < 0.0 ? d + 1.0 : d;
#endif
}

// The fraction that decides a long key's bucket.
inline double longFraction(int32_t key) { return fractionOf(static_cast<double>(key)); }

// longFraction of keys[0] to keys[n - 1]. SSE2 takes two keys an
// instruction: its packed conversions, multiply, subtract and add round each
// lane exactly as the scalar ones above do.
inline void longFractions(const int32_t* keys, int32_t n, double* fractions) {
  int32_t k = 0;
#if defined(KEL_HASH_SSE2)
  const __m128d golden = _mm_set1_pd(goldenRatio);
  const __m128d one = _mm_set1_pd(1.0);
  for (; k + 2 <= n; k += 2) {
    const __m128i pair = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(keys + k));
    const __m128d x = _mm_mul_pd(_mm_cvtepi32_pd(pair), golden);
    const __m128d d = _mm_sub_pd(x, _mm_cvtepi32_pd(_mm_cvttpd_epi32(x)));
    const __m128d negative = _mm_cmplt_pd(d, _mm_setzero_pd());
    _mm_storeu_pd(fractions + k, _mm_add_pd(d, _mm_and_pd(negative, one)));
  }
#endif
  for (; k < n; ++k) fractions[k] = longFraction(keys[k]);
}

// Scales a fraction to a bucket index in [0, size).
inline int32_t bucketOf(double fraction, int32_t size) {
  return static_cast<int32_t>(fraction * static_cast<double>(size));
}

// The two hash operations of the table, as whole functions.
int32_t hashString(const char* key, int32_t size);
int32_t hashLong(int32_t key, int32_t size);

}  // namespace kel
