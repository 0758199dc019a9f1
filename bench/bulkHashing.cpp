#include "bulkHashing.h"

#include "core/probes.h"

namespace bench {

namespace {

// The bucket of every key, hashed kHashGroup keys at a time through the
// probe type's Group, as the table's bulk finds hash them.
template <typename Probe, typename Key>
void bucketsInBulk(const Key* keys, int32_t count, int32_t size, int32_t* buckets) {
  typename Probe::Group group;
  for (int32_t first = 0, n = 0; first < count; first += n) {
    n = count - first < kel::kHashGroup ? count - first : kel::kHashGroup;
    group.hash(keys, first, n);
    for (int32_t k = 0; k < n; ++k) buckets[first + k] = kel::bucketOf(group.fractions[k], size);
  }
}

}  // namespace

void stringBucketsInBulk(const char* const* keys, int32_t count, int32_t size, int32_t* buckets) {
  bucketsInBulk<kel::StringProbe>(keys, count, size, buckets);
}

void longBucketsInBulk(const int32_t* keys, int32_t count, int32_t size, int32_t* buckets) {
  bucketsInBulk<kel::LongProbe>(keys, count, size, buckets);
}

}  // namespace bench
