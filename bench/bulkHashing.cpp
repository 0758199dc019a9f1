#include "bulkHashing.h"

#include <cstddef>

#include "core/hashing.h"

namespace bench {

namespace {

// How many keys the group that starts at `first` holds: kHashGroup, fewer
// at the end.
int32_t groupAt(int32_t first, int32_t count) {
  return count - first < kel::kHashGroup ? count - first : kel::kHashGroup;
}

}  // namespace

// As a bulk search fills its string probes: kHashGroup keys at a time, each
// key's length found by stringFractions.
void stringBucketsInBulk(const char* const* keys, int32_t count, int32_t size, int32_t* buckets) {
  std::size_t lengths[kel::kHashGroup];
  double fractions[kel::kHashGroup];
  for (int32_t first = 0, n = 0; first < count; first += n) {
    n = groupAt(first, count);
    kel::stringFractions(keys + first, n, lengths, fractions);
    for (int32_t k = 0; k < n; ++k) buckets[first + k] = kel::bucketOf(fractions[k], size);
  }
}

// As a bulk search fills its long probes.
void longBucketsInBulk(const int32_t* keys, int32_t count, int32_t size, int32_t* buckets) {
  double fractions[kel::kHashGroup];
  for (int32_t first = 0, n = 0; first < count; first += n) {
    n = groupAt(first, count);
    kel::longFractions(keys + first, n, fractions);
    for (int32_t k = 0; k < n; ++k) buckets[first + k] = kel::bucketOf(fractions[k], size);
  }
}

}  // namespace bench
