// Listing every content, with or without its key, in walk order: bucket
// index ascending, each chain from its head. Which keys are listed after
// adds, removes and growth is checked by the differential test.
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/childProcess.h"
#include "tests/support/fileSupport.h"
#include "tests/support/library.h"
#include "tests/support/tableSnapshot.h"

namespace kel::test {
namespace {

using EnumerationTest = LibraryTest;

// The contents as getAllValidContents lists them, released with free.
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

  EXPECT_EQ(snapshot(ht), (std::vector<Entry>{{false, "k", 0, 5}, {true, "", 7, 9}}));
  EXPECT_EQ(contentList(ht), (std::vector<int>{5, 9}));
}

// An empty table gives count 0 and arrays the host can free; without a table
// the out arguments keep their values.
TEST_F(EnumerationTest, EmptyTableGivesCountZeroAndOneSlotArraysNoTableWritesNothing) {
  for (const bool withTable : {true, false}) {
    SCOPED_TRACE(withTable ? "empty table" : "no table");
    if (withTable) ht.makeHashTableStrList(nullptr, 0, nullptr);
    else ht.close();
    int count[2] = {77, 77}, sentinel = 0;
    char* noKey = nullptr;
    int* contents[2] = {&sentinel, &sentinel};
    char** stringKeys = &noKey;
    int* longKeys = &sentinel;
    ht.getAllValidContents(&count[0], &contents[0]);
    ht.getAllValidFullContents(&count[1], &contents[1], &stringKeys, &longKeys);
    for (int call = 0; call < 2; ++call) {
      EXPECT_EQ(count[call], withTable ? 0 : 77) << call;
      EXPECT_EQ(contents[call] == &sentinel, !withTable) << call;
      EXPECT_NE(contents[call], nullptr) << call;
    }
    EXPECT_EQ(stringKeys == &noKey, !withTable);
    EXPECT_EQ(longKeys == &sentinel, !withTable);
    EXPECT_NE(stringKeys, nullptr);
    EXPECT_NE(longKeys, nullptr);
    if (withTable) {
      std::free(contents[0]);
      std::free(contents[1]);
      std::free(stringKeys);
      std::free(longKeys);
    }
  }
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
  for (const bool full : {false, true}) {
    SCOPED_TRACE(full ? "getAllValidFullContents" : "getAllValidContents");
    expectFatal([&] {
      ht.makeHashTableFromBinFile(path.c_str());
      if (full) snapshot(ht);
      else contentList(ht);
    }, counterMismatch(1, 2));
  }
}

}  // namespace
}  // namespace kel::test
