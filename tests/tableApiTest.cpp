// The building, update and lookup exports, driven as a host drives them:
// what the randomized differential test does not reach.
#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/library.h"
#include "tests/support/tableSnapshot.h"

namespace kel::test {
namespace {

class TableApi : public LibraryTest {
 protected:
  // Searches one string key; returns its content, or nullopt-like -999.
  int lookup(const char* key) {
    char found = 7;
    int content = -999;
    ht.searchStrList(&key, 1, &found, &content);
    return found ? content : -999;
  }
  int lookup(int key) {
    char found = 7;
    int content = -999;
    ht.searchLng(&key, 1, &found, &content);
    return found ? content : -999;
  }
  std::vector<std::string> stringKeys() {
    std::vector<std::string> keys;
    for (const Entry& e : snapshot(ht)) keys.push_back(e.stringKey);
    return keys;
  }
};

constexpr int kAbsent = -999;

struct ListCase {
  const char* list;
  std::vector<std::string> keys;  // sorted
};

TEST_F(TableApi, CommaListsSplitIntoTokens) {
  const ListCase cases[] = {
      {"", {""}},
      {"x", {"x"}},
      {"a,b", {"a", "b"}},
      {"a,,b", {"", "a", "b"}},
      {"a,", {"", "a"}},
      {",", {""}},  // two empty tokens, one key
      {"a b,\x82\xa0,z", {"a b", "z", "\x82\xa0"}},  // std::string sorts char as signed
  };
  for (const ListCase& c : cases) {
    ht.makeHashTableStr(c.list, nullptr);
    std::vector<std::string> keys = stringKeys();
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, c.keys) << '"' << c.list << '"';
    ht.close();
  }
}

TEST_F(TableApi, CommaListPairsContentsInTokenOrderAndLeavesTheListAlone) {
  char list[] = "x,y";
  const int contents[] = {3, 4};
  ht.makeHashTableStr(list, contents);
  EXPECT_EQ(lookup("x"), 3);
  EXPECT_EQ(lookup("y"), 4);
  EXPECT_EQ(lookup("x,y"), kAbsent);
  EXPECT_STREQ(list, "x,y");

  ht.makeHashTableStr("", contents);
  EXPECT_EQ(lookup(""), 3);
}

TEST_F(TableApi, SearchClearsFlagsAndWritesOnlyTheContentsOfFoundKeys) {
  const char* keys[] = {"a", "b"};
  const int contents[] = {1, 2};
  const char* probes[] = {"b", "zz", "a"};
  char found[3];
  int values[3];

  std::memset(found, 9, sizeof found);
  std::fill(values, values + 3, -1);
  ht.searchStrList(probes, 3, found, values);  // no current table
  EXPECT_EQ(std::string(found, 3), std::string(3, '\0'));
  EXPECT_EQ(std::vector<int>(values, values + 3), std::vector<int>({-1, -1, -1}));

  ht.makeHashTableStrList(keys, 2, contents);
  std::memset(found, 9, sizeof found);
  ht.searchStrList(probes, 3, found, values);
  EXPECT_EQ(std::string(found, 3), std::string("\1\0\1", 3));
  EXPECT_EQ(std::vector<int>(values, values + 3), std::vector<int>({2, -1, 1}));

  ht.searchStrList(probes, 3, nullptr, nullptr);  // nothing to write, nothing written
  ht.searchStrList(probes, 3, nullptr, values);   // contents still reported
  EXPECT_EQ(values[0], 2);
}

TEST_F(TableApi, EveryCallButTheBuildersIsHarmlessWithoutATable) {
  ht.close();
  ht.close();
  ht.addOneStr("a", 1);
  ht.addOneLng(1, 1);
  ht.setContentStr("a", 1);
  ht.setContentLng(1, 1);
  int content = 42;
  ht.removeOneStr("a", &content);
  ht.removeOneLng(1, &content);
  EXPECT_EQ(content, 42);
  int count = -5;
  int* contents = nullptr;
  ht.getAllValidContents(&count, &contents);
  EXPECT_EQ(count, -5);
  EXPECT_EQ(contents, nullptr);
  ht.makeHashTableLng(nullptr, 0, nullptr);  // a builder makes a table again
  ht.addOneLng(1, 1);
  EXPECT_EQ(lookup(1), 1);
}

// Arguments the library cannot read are skipped; what it can use, it uses.
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
  EXPECT_EQ(stringKeys().size(), 2u);
  EXPECT_EQ(lookup("c"), 3);

  ht.addOneStr(nullptr, 4);
  ht.setContentStr(nullptr, 4);
  int content = 9;
  ht.removeOneStr(nullptr, &content);
  EXPECT_EQ(content, 0);
  char found[2] = {9, 9};
  int values[2] = {0, 0};
  ht.searchStrList(keys, 2, found, values);
  EXPECT_EQ(found[1], 0);
  ht.searchStrList(nullptr, 2, found, values);
  EXPECT_EQ(std::string(found, 2), std::string(2, '\0'));
  ht.searchLng(contents, -1, found, values);
  EXPECT_EQ(snapshot(ht).size(), 2u);
}

TEST_F(TableApi, ABucketCountBeyond32BitsIsOutOfMemory) {
  const int key = 1;
  EXPECT_EXIT(ht.makeHashTableLng(&key, INT_MAX, nullptr), ::testing::ExitedWithCode(1),
              "^HashTablePure: HashTable:\x83\x81\x83\x82\x83\x8a\x82\xaa\x91\xab\x82\xe8\x82\xdc\x82"
              "\xb9\x82\xf1\n$");
}

}  // namespace
}  // namespace kel::test
