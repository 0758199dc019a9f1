// Bucket indices of the key hash, checked against worked values and against
// vectors computed by an independent generator (tests/hash_vectors.py).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "core/hashing.h"

namespace kel {
namespace {

TEST(Hashing, GoldenRatioHasItsExactBitPattern) {
  uint64_t bits;
  std::memcpy(&bits, &goldenRatio, sizeof bits);
  EXPECT_EQ(bits, 0x3FE3C6EF372FE950u);
}

TEST(Hashing, StringKeysLandOnKnownBuckets) {
  const struct { const char* key; int32_t size, index; } cases[] = {
      {"a", 1000, 949},
      {"a", 100003, 94932},
      {"A", 1000, 172},
      {"hello world", 1000, 942},
      {"helloworld", 1000, 942},
      {"hello world", 4096, 3862},
      {"hello world", 7, 6},
      {"abc", 12, 2},
      {"\x80", 1000, 108},
      {"\xff", 1000, 618},
      {"\x01", 1000, 618},
      {"\x9f", 1000, 949},
      {"abcdefghijklmnopqrstuvwxyz0123", 1000, 664},
      {"abcdefghijklmnopqrstuvwxyz01234", 1000, 616},
      {"abcdefghijklmnopqrst#vwxyz01234", 1000, 616},  // byte 20 is skipped
      {"abcdefghijklmnopqrstuvwxyz012345", 1000, 976},
      {"abcdefghij#lmnopqrstu#wxyz012345", 1000, 976},  // bytes 10 and 21 are skipped
  };
  for (const auto& c : cases)
    EXPECT_EQ(hashString(c.key, c.size), c.index) << '"' << c.key << "\" at " << c.size;
}

TEST(Hashing, LongKeysLandOnKnownBuckets) {
  const struct { int32_t key, size, index; } cases[] = {
      {1, 1000, 618},        {-1, 1000, 381},   {123456789, 1000, 743},
      {INT32_MIN, 1000, 251}, {INT32_MAX, 1000, 130}, {1, 4096, 2531},
      {100, 7, 5},
  };
  for (const auto& c : cases)
    EXPECT_EQ(hashLong(c.key, c.size), c.index) << c.key << " at " << c.size;
}

TEST(Hashing, KeysThatMustShareABucket) {
  const int32_t sizes[] = {1, 2, 7, 12, 1000, 4096, 100003, 1 << 30};
  for (int32_t size : sizes) {
    SCOPED_TRACE(size);
    EXPECT_EQ(hashString("", size), 0);
    EXPECT_EQ(hashString("    ", size), 0);
    EXPECT_EQ(hashLong(0, size), 0);
    // Spaces are invisible in short keys.
    EXPECT_EQ(hashString("a b c", size), hashString("abc", size));
    EXPECT_EQ(hashString(" abc ", size), hashString("abc", size));
    // A one-byte string hashes like the long key of its value.
    EXPECT_EQ(hashString("a", size), hashLong(97, size));
    EXPECT_EQ(hashString("\x80", size), hashLong(128, size));
  }
}

// Every vector of tests/data/hash_vectors.tsv: "S <hex key or -> <size>
// <index>" or "L <long key> <size> <index>".
TEST(Hashing, AgreesWithTheIndependentGenerator) {
  std::ifstream vectors(KEL_HASH_VECTORS);
  ASSERT_TRUE(vectors) << KEL_HASH_VECTORS;
  std::string line;
  int checked = 0;
  while (std::getline(vectors, line)) {
    std::istringstream fields(line);
    std::string kind, key;
    int64_t size = 0, index = 0;
    ASSERT_TRUE(fields >> kind >> key >> size >> index) << line;
    int32_t actual;
    if (kind == "L") {
      actual = hashLong(static_cast<int32_t>(std::stoll(key)), static_cast<int32_t>(size));
    } else {
      std::string bytes;
      for (std::size_t i = 0; key != "-" && i < key.size(); i += 2)
        bytes.push_back(static_cast<char>(std::stoi(key.substr(i, 2), nullptr, 16)));
      actual = hashString(bytes.c_str(), static_cast<int32_t>(size));
    }
    ASSERT_EQ(actual, index) << line;
    ++checked;
  }
  EXPECT_GE(checked, 10000);
}

}  // namespace
}  // namespace kel
