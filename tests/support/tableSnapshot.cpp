#include "tests/support/tableSnapshot.h"

#include <cstdlib>

namespace kel::test {

std::vector<Entry> snapshot(const KelHashTableFun& ht) {
  int count = -1;
  int* contents = nullptr;
  char** stringKeys = nullptr;
  int* longKeys = nullptr;
  ht.getAllValidFullContents(&count, &contents, &stringKeys, &longKeys);
  std::vector<Entry> entries;
  for (int i = 0; i < count; ++i) {
    const bool isLong = stringKeys[i] == nullptr;
    entries.push_back({isLong, isLong ? "" : stringKeys[i], longKeys[i], contents[i]});
    std::free(stringKeys[i]);
  }
  std::free(contents);
  std::free(stringKeys);
  std::free(longKeys);
  return entries;
}

}  // namespace kel::test
