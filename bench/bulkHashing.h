// The library's own bulk hashing, alone: the bucket indices of many keys,
// computed by the probe groups the table's bulk finds hash their keys with
// (core/probes.h), without a table. Compiled from the core's sources with the
// library's flags (bench/CMakeLists.txt), not loaded: KEL_BENCH_LIBRARY does
// not change it.
#pragma once

#include <cstdint>

namespace bench {

// buckets[i]: the index of keys[i] in a table of `size` buckets.
void stringBucketsInBulk(const char* const* keys, int32_t count, int32_t size, int32_t* buckets);
void longBucketsInBulk(const int32_t* keys, int32_t count, int32_t size, int32_t* buckets);

}  // namespace bench
