// demo: a short tour of the library's seventeen exports on a sample table,
// printed for a person.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "commands.h"
#include "library.h"

#if defined(_WIN32)
#include <process.h>
#define processId _getpid
#else
#include <unistd.h>
#define processId getpid
#endif

namespace kelht {

namespace {

constexpr int kKeys = 1000;

std::string found(char flag, int content) {
  return flag ? std::to_string(content) : std::string("absent");
}

std::string lookup(const KelHashTableFun& ht, const char* key) {
  const char* keys[] = {key};
  char flag = 0;
  int content = 0;
  ht.searchStrList(keys, 1, &flag, &content);
  return found(flag, content);
}

std::string lookupLong(const KelHashTableFun& ht, int key) {
  char flag = 0;
  int content = 0;
  ht.searchLng(&key, 1, &flag, &content);
  return found(flag, content);
}

// item-0000 .. item-0999 with contents 0, 10, 20, ...
void buildSample(const KelHashTableFun& ht) {
  std::vector<std::string> names;
  std::vector<const char*> keys;
  std::vector<int> contents;
  for (int i = 0; i < kKeys; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "item-%04d", i);
    names.push_back(name);
    contents.push_back(i * 10);
  }
  for (const std::string& name : names) keys.push_back(name.c_str());
  ht.makeHashTableStrList(keys.data(), kKeys, contents.data());
  std::printf("makeHashTableStrList: %d keys item-0000 .. item-0999, contents 0, 10, 20, ...\n", kKeys);
  std::printf("  searchStrList: item-0042 -> %s, item-1000 -> %s\n", lookup(ht, "item-0042").c_str(),
              lookup(ht, "item-1000").c_str());
}

void changeSample(const KelHashTableFun& ht) {
  ht.addOneStr("item-0042", 1);
  std::printf("  addOneStr item-0042 1: a present key keeps its content -> %s\n", lookup(ht, "item-0042").c_str());
  ht.setContentStr("item-0042", 1);
  std::printf("  setContentStr item-0042 1: -> %s\n", lookup(ht, "item-0042").c_str());
  int filter = 999;
  ht.removeOneStr("item-0001", &filter);
  std::printf("  removeOneStr item-0001 if its content is 999: kept, it is %d\n", filter);
  ht.removeOneStr("item-0001", nullptr);
  std::printf("  removeOneStr item-0001: -> %s\n", lookup(ht, "item-0001").c_str());
  ht.addOneLng(42, 7);
  ht.setContentLng(43, 8);
  ht.removeOneLng(43, nullptr);
  std::printf("  addOneLng 42 7, setContentLng 43 8, removeOneLng 43: long key 42 -> %s, 43 -> %s, "
              "string key \"42\" -> %s\n",
              lookupLong(ht, 42).c_str(), lookupLong(ht, 43).c_str(), lookup(ht, "42").c_str());
}

void listSample(const KelHashTableFun& ht) {
  int count = 0;
  int* contents = nullptr;
  ht.getAllValidContents(&count, &contents);
  std::free(contents);
  char** stringKeys = nullptr;
  int* longKeys = nullptr;
  ht.getAllValidFullContents(&count, &contents, &stringKeys, &longKeys);
  std::printf("  getAllValidContents, getAllValidFullContents: %d entries; first in walk order: %s -> %d\n",
              count, stringKeys[0] ? stringKeys[0] : std::to_string(longKeys[0]).c_str(), contents[0]);
  for (int i = 0; i < count; ++i) std::free(stringKeys[i]);
  std::free(stringKeys);
  std::free(longKeys);
  std::free(contents);
}

void dumpAndReload(const KelHashTableFun& ht, const std::string& path) {
  ht.dumpToRestartFile(path.c_str());
  ht.close();
  std::printf("\ndumpToRestartFile, then close. What kelht info says of the file:\n");
  std::fflush(stdout);
  info(path);
  ht.makeHashTableFromBinFile(path.c_str());
  std::printf("\nmakeHashTableFromBinFile: the same chains, without hashing: item-0042 -> %s\n",
              lookup(ht, "item-0042").c_str());
  ht.close();
}

void otherBuilders(const KelHashTableFun& ht) {
  const int colourContents[] = {1, 2, 3};
  ht.makeHashTableStr("red,green,blue", colourContents);
  std::printf("\nmakeHashTableStr \"red,green,blue\" [1 2 3]: green -> %s\n", lookup(ht, "green").c_str());
  const int numbers[] = {-5, 0, 5};
  ht.makeHashTableLng(numbers, 3, nullptr);
  std::printf("makeHashTableLng [-5 0 5], no contents: -5 -> %s\n", lookupLong(ht, -5).c_str());
  // A data set of five rows, all cached in memory: no file is read.
  const int32_t rows[5][2] = {{1, 100}, {2, 200}, {3, 100}, {4, 300}, {5, 200}};
  const int32_t kinds[2] = {2, 2}, offsets[2] = {0, 4};
  const int rowContents[5] = {10, 20, 30, 40, 50};
  DataSetFiles files{};
  files.recordFile = files.stringFile = -1;
  DataSet ds{};
  ds.files = &files;
  ds.rowCacheBase = rows;
  ds.rowCount = ds.cachedRowCount = 5;
  ds.recordLength = sizeof rows[0];
  ds.columnKinds = kinds;
  ds.columnOffsets = offsets;
  ht.makeHashTableDs(&ds, 1, rowContents);
  std::printf("makeHashTableDs, a data set's second column 100 200 100 300 200: 100 -> %s, 200 -> %s "
              "(the first row wins)\n",
              lookupLong(ht, 100).c_str(), lookupLong(ht, 200).c_str());
  ht.close();
}

}  // namespace

int demo(Library& library) {
  const KelHashTableFun& ht = *library;
  std::printf("kelHashTableFun keeps one table of string and integer (\"long\") keys, each with a "
              "content.\n\n");
  buildSample(ht);
  changeSample(ht);
  listSample(ht);
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("kelht-demo-" + std::to_string(processId()) + ".bin")).string();
  dumpAndReload(ht, path);
  std::printf("kelht verify: ");
  std::fflush(stdout);
  const int status = verify(path);
  std::filesystem::remove(path);
  otherBuilders(ht);
  return status;
}

}  // namespace kelht
