// demo: a short tour of the library, printed for a person.
#include <cstdio>
#include <cstdlib>
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

// Content of one string key, found or not.
std::string lookup(const KelHashTableFun& ht, const char* key) {
  const char* keys[] = {key};
  char found = 0;
  int content = 0;
  ht.searchStrList(keys, 1, &found, &content);
  return found ? std::to_string(content) : std::string("absent");
}

}  // namespace

int demo(Library& library) {
  const KelHashTableFun& ht = *library;
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

  std::printf("kelHashTableFun keeps one table of string and integer (\"long\") keys, each with a content.\n\n");
  ht.makeHashTableStrList(keys.data(), kKeys, contents.data());
  std::printf("makeHashTableStrList: %d keys item-0000 .. item-0999, contents 0, 10, 20, ...\n", kKeys);
  std::printf("  searchStrList: item-0042 -> %s, item-1000 -> %s\n", lookup(ht, "item-0042").c_str(),
              lookup(ht, "item-1000").c_str());
  ht.addOneStr("item-0042", 1);
  std::printf("  addOneStr item-0042 1: an existing key keeps its content -> %s\n", lookup(ht, "item-0042").c_str());
  ht.setContentStr("item-0042", 1);
  std::printf("  setContentStr item-0042 1: -> %s\n", lookup(ht, "item-0042").c_str());
  int filter = 999;
  ht.removeOneStr("item-0001", &filter);
  std::printf("  removeOneStr item-0001 with content 999: kept, its content is %d\n", filter);
  ht.removeOneStr("item-0001", nullptr);
  std::printf("  removeOneStr item-0001: -> %s\n", lookup(ht, "item-0001").c_str());
  ht.addOneLng(42, 7);
  const int longKey = 42;
  char found = 0;
  int content = 0;
  ht.searchLng(&longKey, 1, &found, &content);
  std::printf("  addOneLng 42 7: long key 42 -> %d, string key \"42\" -> %s\n", content, lookup(ht, "42").c_str());
  int count = 0;
  int* all = nullptr;
  ht.getAllValidContents(&count, &all);
  std::free(all);
  std::printf("  getAllValidContents: %d entries\n\n", count);

  const std::string path = (std::filesystem::temp_directory_path() /
                            ("kelht-demo-" + std::to_string(processId()) + ".bin")).string();
  ht.dumpToRestartFile(path.c_str());
  ht.close();
  std::printf("dumpToRestartFile, then close. What kelht info says of the file:\n");
  std::fflush(stdout);
  info(path);
  ht.makeHashTableFromBinFile(path.c_str());
  std::printf("\nmakeHashTableFromBinFile: the same chains, without hashing: item-0042 -> %s\n",
              lookup(ht, "item-0042").c_str());
  ht.close();
  std::printf("kelht verify: ");
  std::fflush(stdout);
  const int status = verify(path);
  std::filesystem::remove(path);
  return status;
}

}  // namespace kelht
