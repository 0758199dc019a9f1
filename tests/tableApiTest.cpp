// The building, update and lookup exports, driven as a host drives them:
// what the randomized differential test does not reach.
#include <algorithm>
#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/library.h"
#include "tests/support/tableSnapshot.h"

namespace kel::test {
namespace {

class TableApi : public LibraryTest {
 protected:
  // The string keys with their contents, sorted.
  std::vector<std::pair<std::string, int>> stringEntries() {
    std::vector<std::pair<std::string, int>> entries;
    for (const Entry& e : snapshot(ht)) entries.emplace_back(e.stringKey, e.content);
    std::sort(entries.begin(), entries.end());
    return entries;
  }
};

// Each token becomes a key with the content of its position in the list; a
// repeated token keeps its first. The list itself is left alone.
TEST_F(TableApi, CommaListsSplitIntoTokensPairedWithContentsInOrder) {
  const int contents[] = {1, 2, 3, 4};
  const struct {
    const char* list;
    std::vector<std::pair<std::string, int>> entries;  // sorted
  } cases[] = {
      {"", {{"", 1}}},
      {"x", {{"x", 1}}},
      {"a,b", {{"a", 1}, {"b", 2}}},
      {"a,,b", {{"", 2}, {"a", 1}, {"b", 3}}},
      {"a,", {{"", 2}, {"a", 1}}},
      {",", {{"", 1}}},  // two empty tokens, one key
      {"y,x,y", {{"x", 2}, {"y", 1}}},
      {"a b,\x82\xa0,z", {{"a b", 1}, {"z", 3}, {"\x82\xa0", 2}}},  // std::string sorts char as signed
  };
  for (const auto& c : cases) {
    std::string list = c.list;
    ht.makeHashTableStr(list.c_str(), contents);
    EXPECT_EQ(stringEntries(), c.entries) << '"' << c.list << '"';
    EXPECT_EQ(list, c.list);
  }
}

// Arguments the library cannot read are skipped; what it can use, it uses.
// (Search flags and contents with full arrays are checked by the
// differential test.)
TEST_F(TableApi, NullAndNegativeArgumentsHaveDefinedOutcomes) {
  const int contents[] = {1, 2, 3};
  ht.makeHashTableStrList(nullptr, 5, contents);
  EXPECT_TRUE(snapshot(ht).empty());
  ht.makeHashTableLng(contents, -3, contents);
  EXPECT_TRUE(snapshot(ht).empty());
  ht.makeHashTableStr(nullptr, contents);
  EXPECT_TRUE(snapshot(ht).empty());

  const char* keys[] = {"a", nullptr, "c"};
  ht.makeHashTableStrList(keys, 3, contents);
  const std::vector<std::pair<std::string, int>> built{{"a", 1}, {"c", 3}};
  EXPECT_EQ(stringEntries(), built);

  ht.addOneStr(nullptr, 4);
  ht.setContentStr(nullptr, 4);
  int content = 9;
  ht.removeOneStr(nullptr, &content);
  EXPECT_EQ(content, 0);
  char found[3] = {9, 9, 9};
  int values[3] = {0, 0, 0};
  ht.searchStrList(keys, 3, found, values);
  EXPECT_EQ(std::string(found, 3), std::string("\1\0\1", 3));
  ht.searchStrList(nullptr, 2, found, values);
  EXPECT_EQ(std::string(found, 2), std::string(2, '\0'));
  ht.searchLng(contents, -1, found, values);
  ht.searchStrList(keys, 3, nullptr, nullptr);  // nothing to write, nothing written
  values[2] = -1;
  ht.searchStrList(keys + 2, 1, nullptr, values + 2);  // contents still reported
  EXPECT_EQ(values[2], 3);
  EXPECT_EQ(stringEntries(), built);
}

TEST_F(TableApi, ABucketCountBeyond32BitsIsOutOfMemory) {
  const int key = 1;
  EXPECT_EXIT(ht.makeHashTableLng(&key, INT_MAX, nullptr), ::testing::ExitedWithCode(1),
              "^HashTablePure: HashTable:\x83\x81\x83\x82\x83\x8a\x82\xaa\x91\xab\x82\xe8\x82\xdc\x82"
              "\xb9\x82\xf1\n$");
}

}  // namespace
}  // namespace kel::test
