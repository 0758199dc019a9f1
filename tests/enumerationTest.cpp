// Listing every content, with or without its key, in walk order: bucket
// index ascending, each chain from its head.
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "tests/childProcess.h"
#include "tests/fileSupport.h"
#include "tests/support/library.h"

namespace kel::test {
namespace {

using EnumerationTest = LibraryTest;

struct FullList {
  int count = -1;
  std::vector<int> contents;
  std::vector<std::string> stringKeys;  // "<null>" for a long entry
  std::vector<int> longKeys;
};

// Takes the host's copies and releases them with free, as a host does.
FullList fullList(const KelHashTableFun& ht) {
  FullList list;
  int* contents = nullptr;
  char** stringKeys = nullptr;
  int* longKeys = nullptr;
  ht.getAllValidFullContents(&list.count, &contents, &stringKeys, &longKeys);
  for (int i = 0; i < list.count; ++i) {
    list.contents.push_back(contents[i]);
    list.stringKeys.push_back(stringKeys[i] != nullptr ? stringKeys[i] : "<null>");
    list.longKeys.push_back(longKeys[i]);
    std::free(stringKeys[i]);
  }
  std::free(contents);
  std::free(stringKeys);
  std::free(longKeys);
  return list;
}

std::vector<int> contentList(const KelHashTableFun& ht) {
  int count = -1;
  int* contents = nullptr;
  ht.getAllValidContents(&count, &contents);
  std::vector<int> list(contents, contents + count);
  std::free(contents);
  return list;
}

// 'k' lands in bucket 0 of 6 and the long key 7 in bucket 1.
TEST_F(EnumerationTest, ListsEntriesInBucketOrderWithTheirKeys) {
  const char* keys[] = {"k"};
  const int contents[] = {5};
  ht.makeHashTableStrList(keys, 1, contents);
  ht.addOneLng(7, 9);

  const FullList list = fullList(ht);
  EXPECT_EQ(list.count, 2);
  EXPECT_EQ(list.contents, (std::vector<int>{5, 9}));
  EXPECT_EQ(list.stringKeys, (std::vector<std::string>{"k", "<null>"}));
  EXPECT_EQ(list.longKeys, (std::vector<int>{0, 7}));
  EXPECT_EQ(contentList(ht), (std::vector<int>{5, 9}));
}

TEST_F(EnumerationTest, EmptyTableGivesCountZeroAndOneSlotArrays) {
  ht.makeHashTableStrList(nullptr, 0, nullptr);
  int count = -1;
  int* contents = nullptr;
  char** stringKeys = nullptr;
  int* longKeys = nullptr;
  ht.getAllValidContents(&count, &contents);
  EXPECT_EQ(count, 0);
  EXPECT_NE(contents, nullptr);
  std::free(contents);

  count = -1;
  contents = nullptr;
  ht.getAllValidFullContents(&count, &contents, &stringKeys, &longKeys);
  EXPECT_EQ(count, 0);
  EXPECT_NE(contents, nullptr);
  EXPECT_NE(stringKeys, nullptr);
  EXPECT_NE(longKeys, nullptr);
  std::free(contents);
  std::free(stringKeys);
  std::free(longKeys);
}

TEST_F(EnumerationTest, WithoutATableTheOutArgumentsKeepTheirValues) {
  int count = 77;
  int sentinel = 0;
  int* contents = &sentinel;
  char* noKey = nullptr;
  char** stringKeys = &noKey;
  int* longKeys = &sentinel;
  ht.getAllValidContents(&count, &contents);
  ht.getAllValidFullContents(&count, &contents, &stringKeys, &longKeys);
  EXPECT_EQ(count, 77);
  EXPECT_EQ(contents, &sentinel);
  EXPECT_EQ(stringKeys, &noKey);
  EXPECT_EQ(longKeys, &sentinel);
}

// The count follows adds, removes and growth, and every remaining key is
// listed once with its content.
TEST_F(EnumerationTest, ListsExactlyTheKeysLeftAfterChanges) {
  std::map<int, int> expected;  // long key -> content
  std::vector<int> keys;
  std::vector<int> contents;
  for (int k = 0; k < 40; ++k) {
    keys.push_back(k * 7919 - 100000);
    contents.push_back(k + 1000);
    expected[keys.back()] = contents.back();
  }
  ht.makeHashTableLng(keys.data(), 40, contents.data());
  for (int k = 0; k < 40; k += 3) {
    ht.removeOneLng(keys[k], nullptr);
    expected.erase(keys[k]);
  }
  for (int k = 0; k < 100; ++k) {  // grows the table twice
    ht.addOneLng(500000 + k, -k);
    expected[500000 + k] = -k;
  }

  const FullList list = fullList(ht);
  ASSERT_EQ(list.count, static_cast<int>(expected.size()));
  std::map<int, int> listed;
  for (int i = 0; i < list.count; ++i) listed[list.longKeys[i]] = list.contents[i];
  EXPECT_EQ(listed, expected);
}

TEST_F(EnumerationTest, EachCallReturnsItsOwnArraysAndKeyCopies) {
  const char* keys[] = {"alpha", "beta"};
  ht.makeHashTableStrList(keys, 2, nullptr);
  int count[2];
  int* contents[2];
  char** stringKeys[2];
  int* longKeys[2];
  for (int call = 0; call < 2; ++call)
    ht.getAllValidFullContents(&count[call], &contents[call], &stringKeys[call], &longKeys[call]);
  EXPECT_NE(contents[0], contents[1]);
  EXPECT_NE(stringKeys[0], stringKeys[1]);
  EXPECT_NE(longKeys[0], longKeys[1]);
  for (int i = 0; i < 2; ++i) {
    EXPECT_NE(stringKeys[0][i], stringKeys[1][i]);
    EXPECT_STREQ(stringKeys[0][i], stringKeys[1][i]);
  }
  for (int call = 0; call < 2; ++call) {
    for (int i = 0; i < count[call]; ++i) std::free(stringKeys[call][i]);
    std::free(contents[call]);
    std::free(stringKeys[call]);
    std::free(longKeys[call]);
  }
}

// A restart file whose chain holds two entries under a counter of 1 loads
// unchanged; listing it then ends the process with the counter check.
TEST_F(EnumerationTest, CounterThatDisagreesWithTheChainsIsFatal) {
  ScratchDirectory dir;
  const std::string path = dir.file("overCounter.bin");
  writeBytes(path, Bytes().i32(1).i32(1).i32(0).i32(2).longEntry(10, 1).longEntry(20, 2));
  const std::pair<const char*, void (*)(const KelHashTableFun&)> listings[] = {
      {"getAllValidContents",
       [](const KelHashTableFun& h) {
         int count;
         int* contents;
         h.getAllValidContents(&count, &contents);
       }},
      {"getAllValidFullContents",
       [](const KelHashTableFun& h) {
         int count;
         int* contents;
         char** stringKeys;
         int* longKeys;
         h.getAllValidFullContents(&count, &contents, &stringKeys, &longKeys);
       }},
  };
  for (const auto& [name, list] : listings) {
    SCOPED_TRACE(name);
    const ChildEnd end = runInChild([&] {
      ht.makeHashTableFromBinFile(path.c_str());
      list(ht);
    });
    EXPECT_EQ(end.exitStatus, 1);
    EXPECT_EQ(end.stderrBytes, fatalReport(counterMismatch(1, 2)));
  }
}

}  // namespace
}  // namespace kel::test
