// makeHashTableDs on data sets a host keeps partly in memory and partly in
// its record and string files.
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/dataSetFixture.h"
#include "tests/support/library.h"

namespace kel::test {
namespace {

using Longs = std::multimap<int32_t, int>;
using Strings = std::multimap<std::string, int>;

class DataSetImportTest : public LibraryTest {};

// Ten rows; the record file holds 100 + row for every row, while the cache
// window (rows 3 to 6) holds 200 + row, so a cached row read from the file,
// or an uncached row read from the cache, changes the table.
TEST_F(DataSetImportTest, CachedRowsComeFromMemoryAndTheRowsAroundTheWindowFromTheFile) {
  HostDataSet host;
  host.recordFile({100, 101, 102, 103, 104, 105, 106, 107, 108, 109})
      .rowCache(3, {203, 204, 205, 206});
  const std::vector<int> contents{0, 10, 20, 30, 40, 50, 60, 70, 80, 90};

  ht.makeHashTableDs(&host.ds, HostDataSet::kIntegerColumn, contents.data());

  EXPECT_EQ(tableContents(ht).longs, (Longs{{100, 0}, {101, 10}, {102, 20}, {203, 30},
                                            {204, 40}, {205, 50}, {206, 60}, {107, 70},
                                            {108, 80}, {109, 90}}));
}

// Both files are left at a known position, and hold other values than the
// host's memory: a seek or a read would move them.
TEST_F(DataSetImportTest, ColumnsHeldInMemoryTouchNoFile) {
  struct Case {
    const char* name;
    int column;
    std::function<void(HostDataSet&)> setUp;
    TableContents expected;
  };
  const std::vector<Case> cases{
      {"every row cached; repeated cells keep the first content",
       HostDataSet::kIntegerColumn,
       [](HostDataSet& h) { h.recordFile({1, 2, 3, 4}).rowCache(0, {5, 9, 5, 9}); },
       {{}, {{5, 1}, {9, 2}}}},
      {"every string in memory; repeated strings keep the first content",
       HostDataSet::kStringColumn,
       [](HostDataSet& h) {
         h.stringHeap(std::string("red\0green\0blue\0red\0", 19), std::string("file\0", 5))
             .strings({0, 4, 10, 15});
       },
       {{{"red", 1}, {"green", 2}, {"blue", 3}}, {}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HostDataSet host;
    c.setUp(host);
    ASSERT_EQ(::lseek(host.recordDescriptor(), 2, SEEK_SET), 2);
    ASSERT_EQ(::lseek(host.stringDescriptor(), 2, SEEK_SET), 2);
    const std::vector<int> contents{1, 2, 3, 4};

    ht.makeHashTableDs(&host.ds, c.column, contents.data());

    const TableContents table = tableContents(ht);
    EXPECT_EQ(table.longs, c.expected.longs);
    EXPECT_EQ(table.strings, c.expected.strings);
    EXPECT_EQ(::lseek(host.recordDescriptor(), 0, SEEK_CUR), 2);
    EXPECT_EQ(::lseek(host.stringDescriptor(), 0, SEEK_CUR), 2);
  }
}

// Seven rows and four strings: the table is made for the row count whatever
// the column, and only an integer or a string column adds keys.
TEST_F(DataSetImportTest, TheTableIsMadeForTheRowCountAndFilledByKind) {
  struct Case {
    const char* name;
    std::function<void(HostDataSet&)> change;
    int column;
    int32_t buckets;  // 2 * trunc(1.5 * (rows + 1))
    size_t longs, strings;
  };
  const std::vector<Case> cases{
      {"integer column", [](HostDataSet&) {}, HostDataSet::kIntegerColumn, 24, 7, 0},
      {"string column", [](HostDataSet&) {}, HostDataSet::kStringColumn, 24, 0, 4},
      {"another kind", [](HostDataSet&) {}, HostDataSet::kOtherColumn, 24, 0, 0},
      {"negative column", [](HostDataSet&) {}, -1, 24, 0, 0},
      {"no rows", [](HostDataSet& h) { h.ds.rowCount = 0; }, HostDataSet::kIntegerColumn, 2, 0,
       0},
      // -1 in the low 32 bits of the word, not sign-extended on a 64-bit build
      {"negative row count",
       [](HostDataSet& h) { h.ds.rowCount = static_cast<intptr_t>(uintptr_t{0xFFFFFFFFu}); },
       HostDataSet::kIntegerColumn, 2, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HostDataSet host;
    host.recordFile({10, 11, 12, 13, 14, 15, 16})
        .stringHeap(std::string("a\0b\0c\0d\0", 8), "")
        .strings({0, 2, 4, 6});
    c.change(host);

    ht.makeHashTableDs(&host.ds, c.column, nullptr);

    const TableContents table = tableContents(ht);
    EXPECT_EQ(bucketCount(ht), c.buckets);
    EXPECT_EQ(table.longs.size(), c.longs);
    EXPECT_EQ(table.strings.size(), c.strings);
  }
}

TEST_F(DataSetImportTest, NoDataSetMakesAnEmptyTableOfTwoBuckets) {
  ht.makeHashTableLng(std::vector<int>{1, 2, 3}.data(), 3, nullptr);
  ht.makeHashTableDs(nullptr, HostDataSet::kIntegerColumn, nullptr);
  EXPECT_EQ(bucketCount(ht), 2);
  EXPECT_TRUE(tableContents(ht).longs.empty());
}

// Two rows read from the record file; the second cannot be read whole.
// Contents 1 and 2 show which row gave which key.
TEST_F(DataSetImportTest, ARecordThatCannotBeReadGivesAFixedCell) {
  struct Case {
    const char* name;
    std::function<void(HostDataSet&)> change;
    Longs expected;
  };
  const std::vector<Case> cases{
      {"the file ends before the row: 255, nothing of the row before",
       [](HostDataSet& h) { h.truncateRecordFile(HostDataSet::kRecordLength); },
       {{0x12345678, 1}, {255, 2}}},
      {"the file ends inside the cell: 0",
       [](HostDataSet& h) { h.truncateRecordFile(HostDataSet::kRecordLength + 6); },
       {{0x12345678, 1}, {0, 2}}},
      {"the offset wraps past 2^31 and cannot be sought: 0",
       [](HostDataSet& h) { h.ds.recordLength = INT32_MAX; },
       {{0x12345678, 1}, {0, 2}}},
      {"the descriptor is not open: 0", [](HostDataSet& h) { h.files.recordFile = -1; },
       {{0, 1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HostDataSet host;
    host.recordFile({0x12345678, 0x0BADCAFE});
    c.change(host);
    const std::vector<int> contents{1, 2};

    ht.makeHashTableDs(&host.ds, HostDataSet::kIntegerColumn, contents.data());

    EXPECT_EQ(tableContents(ht).longs, c.expected);
  }
}

// The heap: "mem" in memory (4 bytes), then in the string file a string of
// 1500 bytes, "short" and "omega" without a NUL at the end of the file.
TEST_F(DataSetImportTest, StringsFromTheStringFile) {
  const std::string longString(1500, 'x');
  const std::string file = longString + '\0' + "short" + '\0' + "omega";
  const int32_t atLong = 4, atShort = atLong + 1501, atOmega = atShort + 6,
                atEnd = atOmega + 5;
  const std::string kept(1023, 'x');
  struct Case {
    const char* name;
    std::vector<int32_t> offsets;
    bool closedFile;
    Strings expected;
  };
  const std::vector<Case> cases{
      {"memory and file; a string cut short by the file's end but with its NUL",
       {0, atLong, atShort}, false, {{"mem", 0}, {kept, 0}, {"short", 0}}},
      {"no NUL before the file ends: the bytes that came, nothing of the string before",
       {atLong, atOmega}, false, {{kept, 0}, {"omega", 0}}},
      {"at the file's end: the byte 0xFF alone", {atLong, atEnd}, false,
       {{kept, 0}, {"\xFF", 0}}},
      {"negative offset: empty, nothing before the heap is read", {-3}, false, {{"", 0}}},
      {"the descriptor is not open: empty", {0, atLong}, true, {{"mem", 0}, {"", 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HostDataSet host;
    host.stringHeap(std::string("mem\0", 4), file).strings(c.offsets);
    if (c.closedFile) host.files.stringFile = -1;

    ht.makeHashTableDs(&host.ds, HostDataSet::kStringColumn, nullptr);

    EXPECT_EQ(tableContents(ht).strings, c.expected);
  }
}

}  // namespace
}  // namespace kel::test
