// A key as the table looks it up: the key with its hash fraction (which
// decides its bucket) and its tag bit, hashed once and then used for every
// chain it is looked up in or added to. Bulk calls hash their keys in
// groups of kHashGroup (fill); single calls one at a time (from).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/ChainIndex.h"
#include "core/Entry.h"
#include "core/EntryPool.h"
#include "core/hashing.h"

namespace kel {

// The tag bit of a key: one of eight, from a hash of the key that does not
// decide its bucket (the low bits of a string key's fraction, a mix of a
// long key's bits). The multiplier of a long key is far from the golden
// ratio times 2^32, so the top bits of the product do not follow the bucket.
inline uint8_t tagOfLong(int32_t key) {
  return static_cast<uint8_t>(1u << ((static_cast<uint32_t>(key) * 0x2545F491u) >> 29));
}
inline uint8_t tagOfFraction(double fraction) {
  uint64_t bits;
  std::memcpy(&bits, &fraction, sizeof bits);
  const uint32_t folded = static_cast<uint32_t>(bits) ^ static_cast<uint32_t>(bits >> 32);
  return static_cast<uint8_t>(1u << ((folded * 0x9E3779B1u) >> 29));
}

struct StringProbe {
  const char* key;  // null for a null key in a host's array: never present
  std::size_t length;
  double fraction;
  static StringProbe from(const char* key) {
    const std::size_t length = std::strlen(key);
    return {key, length, stringFraction(key, length)};
  }
  uint8_t tag() const { return tagOfFraction(fraction); }
  // Probes for keys[first] to keys[first + n - 1], n <= kHashGroup,
  // hashed together.
  static void fill(StringProbe* out, const char* const* keys, int32_t first, int32_t n) {
    std::size_t lengths[kHashGroup];
    double fractions[kHashGroup];
    stringFractions(keys + first, n, lengths, fractions);
    for (int32_t k = 0; k < n; ++k) out[k] = {keys[first + k], lengths[k], fractions[k]};
  }
  // Keys keys[first] to keys[first + n - 1], n <= kHashGroup, hashed
  // together, kept as arrays until a probe of one is needed.
  struct Group {
    const char* const* keys;
    std::size_t lengths[kHashGroup];
    double fractions[kHashGroup];
    void hash(const char* const* all, int32_t first, int32_t n) {
      keys = all + first;
      stringFractions(keys, n, lengths, fractions);
    }
    // Zero for a null key, which is never present.
    uint8_t tag(int32_t k) const { return keys[k] != nullptr ? tagOfFraction(fractions[k]) : 0; }
    StringProbe probe(int32_t k) const { return {keys[k], lengths[k], fractions[k]}; }
  };
  bool present() const { return key != nullptr; }
  uint32_t indexHash(const IndexSeed& seed) const { return indexHashOfString(seed, key, length); }
  bool matches(EntryRef ref, const EntryPool& pool) const {
    if (isLongRef(ref)) return false;
    const auto& e = *reinterpret_cast<const Entry*>(pool.at(ref));
    return e.length == length && e.fraction() == fraction && std::memcmp(e.key(), key, length) == 0;
  }
};

struct LongProbe {
  int32_t key;
  double fraction;
  static LongProbe from(int32_t key) { return {key, longFraction(key)}; }
  uint8_t tag() const { return tagOfLong(key); }
  static void fill(LongProbe* out, const int32_t* keys, int32_t first, int32_t n) {
    double fractions[kHashGroup];
    longFractions(keys + first, n, fractions);
    for (int32_t k = 0; k < n; ++k) out[k] = {keys[first + k], fractions[k]};
  }
  struct Group {
    const int32_t* keys;
    double fractions[kHashGroup];
    void hash(const int32_t* all, int32_t first, int32_t n) {
      keys = all + first;
      longFractions(keys, n, fractions);
    }
    uint8_t tag(int32_t k) const { return tagOfLong(keys[k]); }
    LongProbe probe(int32_t k) const { return {keys[k], fractions[k]}; }
  };
  static bool present() { return true; }
  uint32_t indexHash(const IndexSeed& seed) const { return indexHashOfLong(seed, key); }
  bool matches(EntryRef ref, const EntryPool& pool) const {
    return isLongRef(ref) && reinterpret_cast<const Entry*>(pool.at(ref))->longKey == key;
  }
};

}  // namespace kel
