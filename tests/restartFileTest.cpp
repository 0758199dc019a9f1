// The restart file: its bytes, the round trip, the atomic replacement of the
// previous file, and what a missing or damaged file does.
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/childProcess.h"
#include "tests/support/fileSupport.h"
#include "tests/support/library.h"
#include "tests/support/tableSnapshot.h"

namespace kel::test {
namespace {

// "が見つかりません" and "が壊れています" in Shift_JIS.
const std::string kNotFoundText = "\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
const std::string kDamagedText = "\x82\xaa\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7";

std::string notFoundMessage(const std::string& shownPath) {
  return "HashTable:binFileName=" + shownPath + " " + kNotFoundText;
}
std::string damagedMessage(const std::string& shownPath, long offset) {
  return "HashTable:binFileName=" + shownPath + " " + kDamagedText + "(offset=" +
         std::to_string(offset) + ")";
}

// An empty table's file, and the file of long key 1 with content 7.
const std::string kEmptyFile = Bytes().i32(2).i32(0);
const std::string kLongKey1File = Bytes().i32(6).i32(1).i32(3).i32(1).longEntry(7, 1);

class RestartFileTest : public LibraryTest {
 protected:
  std::string dump(const std::string& name = "restart.bin") {
    const std::string path = dir.file(name);
    ht.dumpToRestartFile(path.c_str());
    return readBytes(path);
  }
  void load(const std::string& bytes) {
    const std::string path = dir.file("load.bin");
    writeBytes(path, bytes);
    ht.makeHashTableFromBinFile(path.c_str());
  }
  bool hasLong(int key) {
    char found = 0;
    ht.searchLng(&key, 1, &found, nullptr);
    return found == 1;
  }
  std::vector<int> contents() {
    std::vector<int> result;
    for (const Entry& e : snapshot(ht)) result.push_back(e.content);
    return result;
  }

  ScratchDirectory dir;
};

// ---- The writer's bytes --------------------------------------------------

TEST_F(RestartFileTest, DumpsTheTableByteForByte) {
  const char* stringKeys[] = {"ab", ""};
  const int stringContents[] = {3, 4};
  const int longKeys[] = {1};
  const int longContents[] = {7};
  const struct {
    const char* name;
    std::function<void()> build;
    std::string bytes;
  } cases[] = {
      {"empty table", [&] { ht.makeHashTableStrList(nullptr, 0, nullptr); }, kEmptyFile},
      {"long key 1, content 7", [&] { ht.makeHashTableLng(longKeys, 1, longContents); }, kLongKey1File},
      // '' hashes to bucket 0 and 'ab' to bucket 4 of 8.
      {"string keys", [&] { ht.makeHashTableStrList(stringKeys, 2, stringContents); },
       Bytes().i32(8).i32(2).i32(0).i32(1).stringEntry(4, "").i32(4).i32(1).stringEntry(3, "ab")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.build();
    EXPECT_EQ(dump(), c.bytes);
  }
}

// Dump, load and dump again, with the chain order a grown table leaves, is
// checked on every target by the scenario's committed restart files.

// ---- Files the reader accepts -------------------------------------------

// Long key 0 lands in bucket 0 and long key 1 in bucket 1 of 2; with a size
// of 1 everything lands in bucket 0. Each load replaces the table the case
// before left, so the listed contents show that nothing of it remains.
TEST_F(RestartFileTest, ReaderPlacesChainsAsStored) {
  const std::string longestKey(499999, 'x');
  const struct {
    const char* name;
    std::string bytes;
    std::vector<int> present;  // long keys that must be found
    std::vector<int> absent;
    std::vector<int> contents;  // listed in walk order; empty: not listed
  } cases[] = {
      {"chain order as stored", Bytes().i32(1).i32(3).i32(0).i32(3).longEntry(30, 3).longEntry(10, 1).longEntry(20, 2),
       {1, 2, 3}, {}, {30, 10, 20}},
      {"chain length 0 stands for one entry",
       Bytes().i32(2).i32(2).i32(0).i32(0).longEntry(10, 0).i32(1).i32(1).longEntry(11, 1), {0, 1}, {}, {10, 11}},
      {"a repeated bucket keeps its later chain",
       Bytes().i32(1).i32(2).i32(0).i32(1).longEntry(50, 5).i32(0).i32(1).longEntry(60, 6), {6}, {5}, {}},
      {"counter 0 reads no chain", Bytes().i32(2).i32(0).i32(0).i32(1).longEntry(10, 0), {}, {0}, {}},
      {"negative counter reads no chain", Bytes().i32(2).i32(-1).i32(0).i32(1).longEntry(10, 0), {}, {0}, {}},
      {"bytes after the last chain are ignored",
       Bytes().i32(2).i32(1).i32(1).i32(1).longEntry(11, 1).raw("\xff\xff\x01"), {1}, {}, {11}},
      {"over-counter chain is kept whole", Bytes().i32(1).i32(1).i32(0).i32(2).longEntry(10, 1).longEntry(20, 2),
       {1, 2}, {}, {}},
      {"string key of 499999 bytes", Bytes().i32(1).i32(1).i32(0).i32(1).stringEntry(8, longestKey), {}, {}, {8}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    load(c.bytes);
    for (int key : c.present) EXPECT_TRUE(hasLong(key)) << key;
    for (int key : c.absent) EXPECT_FALSE(hasLong(key)) << key;
    if (!c.contents.empty()) EXPECT_EQ(contents(), c.contents);
  }
  const char* probe[] = {longestKey.c_str()};
  char found = 0;
  ht.searchStrList(probe, 1, &found, nullptr);
  EXPECT_EQ(found, 1);
}

// ---- Missing and damaged files -------------------------------------------

TEST_F(RestartFileTest, DamagedFileIsFatalWithTheOffsetWhereItStopsMakingSense) {
  const Bytes header = Bytes().i32(4).i32(1);
  const Bytes chain = Bytes(header).i32(2).i32(1);  // bucket 2, one entry
  const struct {
    const char* name;
    std::string bytes;
    long offset;
  } cases[] = {
      {"empty file", "", 0},
      {"size cut short", "\x04\x00\x00", 0},
      {"size 0", Bytes().i32(0).i32(0), 0},
      {"negative size", Bytes().i32(-3).i32(0), 0},
      {"counter cut short", Bytes().i32(4).raw("\x01\x00"), 4},
      {"counter larger than the chains", header, 8},
      {"bucket index equal to size", Bytes(header).i32(4).i32(1).longEntry(1, 1), 8},
      {"negative bucket index", Bytes(header).i32(-1).i32(1).longEntry(1, 1), 8},
      {"chain length cut short", Bytes(header).i32(2).raw("\x01"), 12},
      {"content cut short", Bytes(chain).raw("\x07\x00"), 16},
      {"isLong missing", Bytes(chain).i32(7), 20},
      {"isLong 2", Bytes(chain).i32(7).u8(2).i32(1), 20},
      {"long key cut short", Bytes(chain).i32(7).u8(1).raw("\x01\x00\x00"), 21},
      {"string key without its NUL", Bytes(chain).i32(7).u8(0).raw("abc"), 21},
      {"string key of 500000 bytes", Bytes(chain).stringEntry(7, std::string(500000, 'y')), 21},
      {"chain length past the end", Bytes(header).i32(2).i32(3).longEntry(1, 1).longEntry(2, 2), 34},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.file("damaged.bin");
    writeBytes(path, c.bytes);
    expectFatal([&] { ht.makeHashTableFromBinFile(path.c_str()); }, damagedMessage(path, c.offset));
  }
}

// A missing file is fatal. A path too long for the message is shown as "..."
// and its last bytes, cut where no Shift_JIS double-byte character is split,
// and the message fills at most 999 bytes.
TEST_F(RestartFileTest, MissingFileIsFatalWithLongPathsShortenedFromTheFront) {
  const std::string prefix = "HashTable:binFileName=...";
  const std::string notFoundTail = " " + kNotFoundText;
  const std::size_t room = 999 - prefix.size() - notFoundTail.size();  // 957: odd
  const std::string ascii = "/no-such-directory/" + std::string(4981, 'a');
  std::string japanese = "/no-such-directory/" + std::string(2981, 'a');
  for (int i = 0; i < 1000; ++i) japanese += "\x82\xa0";  // あ
  ASSERT_EQ(ascii.size(), 5000u);
  ASSERT_EQ(japanese.size(), 5000u);

  const std::string shortPath = dir.file("absent.bin");
  const struct {
    const char* name;
    const std::string& path;
    std::string shown;
  } cases[] = {
      {"short", shortPath, shortPath},
      {"ASCII", ascii, "..." + ascii.substr(5000 - room)},
      // The last 957 bytes would start with the second byte of an あ.
      {"Shift_JIS", japanese, "..." + japanese.substr(5000 - room + 1)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ChildEnd end = runInChild([&] { ht.makeHashTableFromBinFile(c.path.c_str()); });
    EXPECT_EQ(end.exitStatus, 1);
    EXPECT_EQ(end.stderrBytes, fatalReport(notFoundMessage(c.shown)));
    EXPECT_LE(end.stderrBytes.size(), std::string("HashTablePure: \n").size() + 999);
  }

  // A damaged file whose path, made long with "./", still opens.
  std::string longPath = dir.path() + "/";
  while (longPath.size() < 3000) longPath += "./";
  longPath += "damaged.bin";
  writeBytes(longPath, Bytes().i32(0));
  const std::string damagedTail = " " + kDamagedText + "(offset=0)";
  const std::size_t damagedRoom = 999 - prefix.size() - damagedTail.size();
  expectFatal([&] { ht.makeHashTableFromBinFile(longPath.c_str()); },
              damagedMessage("..." + longPath.substr(longPath.size() - damagedRoom), 0));
}

// ---- Replacing the previous file -------------------------------------------

// Writes a good restart file at dir/restart.bin and returns its bytes.
std::string writeGoodFile(const KelHashTableFun& ht, const ScratchDirectory& dir) {
  const int keys[] = {1, 2, 3};
  const int values[] = {10, 20, 30};
  ht.makeHashTableLng(keys, 3, values);
  ht.dumpToRestartFile(dir.file("restart.bin").c_str());
  ht.close();
  return readBytes(dir.file("restart.bin"));
}

TEST_F(RestartFileTest, CounterMismatchOnDumpLeavesThePreviousFileIntact) {
  const std::string good = writeGoodFile(ht, dir);
  ASSERT_FALSE(good.empty());
  writeBytes(dir.file("overCounter.bin"),
             Bytes().i32(1).i32(1).i32(0).i32(2).longEntry(10, 1).longEntry(20, 2));
  expectFatal([&] {
    ht.makeHashTableFromBinFile(dir.file("overCounter.bin").c_str());
    ht.dumpToRestartFile(dir.file("restart.bin").c_str());
  }, counterMismatch(1, 2));
  EXPECT_EQ(readBytes(dir.file("restart.bin")), good);
  EXPECT_EQ(dir.names().size(), 2u) << "a temporary file was left behind";
}

// Files may not grow past 64 KiB: the dump's writes fail, or the process is
// killed with SIGKILL the moment one would pass that size.
TEST_F(RestartFileTest, DumpThatCannotFinishLeavesThePreviousFileIntact) {
  const std::string good = writeGoodFile(ht, dir);
  for (const bool killed : {false, true}) {
    SCOPED_TRACE(killed ? "killed mid-dump" : "writes fail");
    const ChildEnd end = runInChild([&] {
      std::vector<int> keys(200000);
      for (int i = 0; i < 200000; ++i) keys[i] = i;
      ht.makeHashTableLng(keys.data(), 200000, nullptr);
      const auto killSelf = +[](int) { kill(getpid(), SIGKILL); };
      signal(SIGXFSZ, killed ? killSelf : SIG_IGN);
      const rlimit limit{65536, 65536};
      setrlimit(RLIMIT_FSIZE, &limit);
      ht.dumpToRestartFile(dir.file("restart.bin").c_str());
    });
    EXPECT_EQ(end.exitStatus, killed ? -1 : 0);
    EXPECT_EQ(end.signal, killed ? SIGKILL : 0);
    EXPECT_EQ(readBytes(dir.file("restart.bin")), good);
    // Only the killed dump leaves its temporary file behind.
    EXPECT_EQ(dir.names().size(), killed ? 2u : 1u);
  }
  // Whatever the killed dump left behind does not stop the next one.
  const int keys[] = {1};
  const int values[] = {7};
  ht.makeHashTableLng(keys, 1, values);
  EXPECT_EQ(dump(), kLongKey1File);
}

// A leftover temporary file of the name a dump would use does not block it;
// beside a name so long that no temporary name fits, the file itself is
// written.
TEST_F(RestartFileTest, DumpsWithoutAFreshTemporaryFile) {
  const std::string stale = dir.file("restart.bin." + std::to_string(getpid()) + "-0.tmp");
  writeBytes(stale, "stale");
  ht.makeHashTableStrList(nullptr, 0, nullptr);
  EXPECT_EQ(dump(), kEmptyFile);
  EXPECT_EQ(readBytes(stale), "stale");
  EXPECT_EQ(dump(std::string(250, 'n')), kEmptyFile);
}

TEST_F(RestartFileTest, DumpWithNowhereToWriteReturnsQuietly) {
  ht.makeHashTableStrList(nullptr, 0, nullptr);
  ht.dumpToRestartFile(dir.file("no-such-directory/restart.bin").c_str());
  ht.close();
  ht.dumpToRestartFile(dir.file("noTable.bin").c_str());
  EXPECT_TRUE(dir.names().empty());
}

}  // namespace
}  // namespace kel::test
