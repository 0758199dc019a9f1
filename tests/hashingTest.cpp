// Bucket indices of the key hash against values worked by hand
// (tests/data/worked_values.tsv) and vectors from an independent generator
// (tests/hash_vectors.py, tests/data/hash_vectors.tsv), on the single-key
// path and on the paths that hash several keys at once. A line is
// "S <key bytes in hex, or -> <size> <index>" or "L <long key> <size> <index>".
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/hashing.h"

namespace kel {
namespace {

struct Vector {
  std::string line, key;
  bool isLong;
  int32_t longKey, size, index;
};

std::vector<Vector> readVectors(const std::string& name) {
  std::ifstream file(std::string(KEL_HASH_VECTORS) + "/" + name);
  std::vector<Vector> vectors;
  for (std::string line; std::getline(file, line);) {
    std::istringstream fields(line);
    std::string kind, key;
    int64_t size = 0, index = 0;
    fields >> kind >> key >> size >> index;
    Vector v{line, "", kind == "L", 0, static_cast<int32_t>(size), static_cast<int32_t>(index)};
    if (v.isLong) v.longKey = static_cast<int32_t>(std::stoll(key));
    for (std::size_t i = 0; !v.isLong && key != "-" && i < key.size(); i += 2)
      v.key.push_back(static_cast<char>(std::stoi(key.substr(i, 2), nullptr, 16)));
    vectors.push_back(v);
  }
  return vectors;
}

TEST(Hashing, GoldenRatioHasItsExactBitPattern) {
  uint64_t bits;
  std::memcpy(&bits, &goldenRatio, sizeof bits);
  EXPECT_EQ(bits, 0x3FE3C6EF372FE950u);
}

TEST(Hashing, KeysLandOnTheirBuckets) {
  for (const char* name : {"worked_values.tsv", "hash_vectors.tsv"}) {
    const std::vector<Vector> vectors = readVectors(name);
    EXPECT_GE(vectors.size(), 20u) << name;
    std::vector<const Vector*> strings, longs;
    for (const Vector& v : vectors) {
      const int32_t index = v.isLong ? hashLong(v.longKey, v.size) : hashString(v.key.c_str(), v.size);
      EXPECT_EQ(index, v.index) << name << ": " << v.line;
      (v.isLong ? longs : strings).push_back(&v);
    }
    // Groups of an odd count: pairs, then a key alone.
    for (std::size_t first = 0; first < longs.size(); first += 7) {
      const int32_t n = static_cast<int32_t>(std::min<std::size_t>(7, longs.size() - first));
      int32_t keys[7];
      double fractions[7];
      for (int32_t k = 0; k < n; ++k) keys[k] = longs[first + k]->longKey;
      longFractions(keys, n, fractions);
      for (int32_t k = 0; k < n; ++k)
        EXPECT_EQ(bucketOf(fractions[k], longs[first + k]->size), longs[first + k]->index)
            << name << " in a group: " << longs[first + k]->line;
    }
    // Keys of one size side by side, so a group mixes keys of many lengths.
    std::stable_sort(strings.begin(), strings.end(),
                     [](const Vector* a, const Vector* b) { return a->size < b->size; });
    for (std::size_t first = 0; first < strings.size(); first += kHashGroup) {
      const char* keys[kHashGroup];
      const int32_t n = static_cast<int32_t>(std::min<std::size_t>(kHashGroup, strings.size() - first));
      for (int32_t k = 0; k < n; ++k) keys[k] = strings[first + k]->key.c_str();
      std::size_t lengths[kHashGroup];
      double fractions[kHashGroup];
      stringFractions(keys, n, lengths, fractions);
      for (int32_t k = 0; k < n; ++k)
        EXPECT_EQ(bucketOf(fractions[k], strings[first + k]->size), strings[first + k]->index)
            << name << " in a group: " << strings[first + k]->line;
    }
  }
}

}  // namespace
}  // namespace kel
