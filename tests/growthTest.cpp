// Growth: when it happens, and the chain order it leaves behind.
#include <cstdint>
#include <vector>

#include "core/HashTable.h"
#include "core/hashing.h"
#include "tests/support/library.h"
#include "tests/support/tableSnapshot.h"

namespace kel {
namespace {

TEST(Growth, TheBucketCountDoublesWhenEntriesExceedThreeQuarters) {
  HashTable table(3);  // built for two keys
  EXPECT_EQ(table.size(), 8);
  for (int32_t key = 1; key <= 13; ++key) {
    table.addLong(key, key);
    const int32_t expected = key < 7 ? 8 : key < 13 ? 16 : 32;
    EXPECT_EQ(table.size(), expected) << "after " << key << " entries";
  }
}

TEST(Growth, BuildersSizeTheTableForTheirKeys) {
  const struct { int64_t n; int32_t size; } cases[] = {{1, 2}, {2, 6}, {3, 8}, {11, 32}, {1001, 3002}};
  for (const auto& c : cases) EXPECT_EQ(HashTable(c.n).size(), c.size) << c.n;
}

// Two long keys that share a bucket at 8 buckets and again at 16.
std::vector<int> twoKeysSharingABucketAt8And16() {
  std::vector<int> keys;
  for (int k = 1; keys.size() < 2; ++k)
    if (hashLong(k, 8) == 0 && hashLong(k, 16) == 0) keys.push_back(k);
  return keys;
}

class GrowthThroughTheExports : public test::LibraryTest {};

TEST_F(GrowthThroughTheExports, EntriesThatMeetInOneChainComeOutReversed) {
  const std::vector<int> pair = twoKeysSharingABucketAt8And16();
  ht.makeHashTableLng(pair.data(), 2, nullptr);  // 8 buckets
  // New entries go to the head: the second key is listed first.
  EXPECT_EQ(test::snapshot(ht)[0].longKey, pair[1]);
  for (int filler = 1000; test::snapshot(ht).size() < 7; ++filler)
    if (hashLong(filler, 16) != 0) ht.addOneLng(filler, 0);  // the 7th entry grows the table
  // The old chain was visited head first and each entry put at the new head.
  const std::vector<test::Entry> entries = test::snapshot(ht);
  EXPECT_EQ(entries[0].longKey, pair[0]);
  EXPECT_EQ(entries[1].longKey, pair[1]);
}

}  // namespace
}  // namespace kel
