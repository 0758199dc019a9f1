// Scale: ten million long keys and five million string keys through the
// exports, as a host would hold them: build, search every key and as many
// absent ones, list, dump, reload and dump again. Checks the counts, a sample
// of keys with their contents, and that the reloaded table dumps the same
// bytes. Not part of the default run (label scale): it needs minutes and a
// few GiB.
//
//   scaleTest LIBRARY SCRATCH_FILE
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "kelHashTableFun.h"

namespace {

int failures = 0;
void expect(bool ok, const char* what) {
  if (!ok) std::fprintf(stderr, "scale: %s\n", what), ++failures;
}

std::string fileBytes(const char* path) {
  std::string bytes;
  if (std::FILE* f = std::fopen(path, "rb")) {
    std::vector<char> chunk(1 << 20);
    for (std::size_t n; (n = std::fread(chunk.data(), 1, chunk.size(), f)) > 0;) bytes.append(chunk.data(), n);
    std::fclose(f);
  }
  return bytes;
}

// The keys 0 .. n - 1 of one kind, through `search`, all found with content i
// for key i when `present`, none found otherwise.
template <typename Search>
void expectSearch(int n, bool present, Search search) {
  std::vector<char> found(n);
  std::vector<int> contents(n, -1);
  search(found.data(), contents.data());
  int hits = 0, right = 0;
  for (int i = 0; i < n; ++i) hits += found[i], right += found[i] && contents[i] == i;
  expect(hits == (present ? n : 0) && right == hits, present ? "a key is missing" : "an absent key is found");
}

// Every listed entry is one of the n keys, with its content, and none twice.
void expectListing(const KelHashTableFun& ht, int n, bool strings, std::string (*keyOf)(int)) {
  int count = 0;
  int *contents = nullptr, *longs = nullptr;
  char** names = nullptr;
  ht.getAllValidFullContents(&count, &contents, &names, &longs);
  expect(count == n, "the listing's count differs from the keys");
  std::vector<char> seen(n);
  for (int i = 0; i < count; ++i) {
    const int c = contents[i];
    const bool mine = c >= 0 && c < n && !seen[c] &&
                      (strings ? names[i] != nullptr && keyOf(c) == names[i] : longs[i] == int(unsigned(c) * 2654435761u));
    expect(mine, "a listed entry is not a key with its content");
    if (mine) seen[c] = 1;
    std::free(names[i]);
  }
  std::free(contents), std::free(names), std::free(longs);
}

std::string pathKey(int i) { return "/data/" + std::to_string(i % 977) + "/customer_" + std::to_string(i) + ".csv"; }

}  // namespace

int main(int argc, char** argv) {
  KelHashTableFun ht;
  if (argc != 3 || !kelHashTableFunLoad(&ht, argv[1])) return std::fprintf(stderr, "usage: scaleTest LIBRARY SCRATCH\n"), 2;
  const char* file = argv[2];
  const std::string again = std::string(file) + ".again";
  for (const bool strings : {false, true}) {
    const int n = strings ? 5000000 : 10000000;
    // Long key i is i * 2654435761 (mod 2^32), distinct for distinct i; the
    // absent keys are those of n .. 2n - 1.
    std::vector<int> longs(2 * static_cast<std::size_t>(n)), contents(n);
    std::vector<std::string> names(strings ? 2 * static_cast<std::size_t>(n) : 0);
    std::vector<const char*> pointers(names.size());
    for (int i = 0; i < 2 * n; ++i) longs[i] = int(unsigned(i) * 2654435761u);
    for (std::size_t i = 0; i < names.size(); ++i) names[i] = pathKey(int(i)), pointers[i] = names[i].c_str();
    for (int i = 0; i < n; ++i) contents[i] = i;
    auto searchBoth = [&](bool present) {
      const std::size_t from = present ? 0 : n;
      expectSearch(n, present, [&](char* found, int* out) {
        if (strings) ht.searchStrList(pointers.data() + from, n, found, out);
        else ht.searchLng(longs.data() + from, n, found, out);
      });
    };
    if (strings) ht.makeHashTableStrList(pointers.data(), n, contents.data());
    else ht.makeHashTableLng(longs.data(), n, contents.data());
    searchBoth(true);
    searchBoth(false);
    expectListing(ht, n, strings, pathKey);
    ht.dumpToRestartFile(file);
    ht.close();
    ht.makeHashTableFromBinFile(file);
    searchBoth(true);
    ht.dumpToRestartFile(again.c_str());
    ht.close();
    expect(fileBytes(file) == fileBytes(again.c_str()), "the reloaded table dumps other bytes");
    std::remove(file), std::remove(again.c_str());
  }
  std::printf("%d passed, %d failed\n", failures == 0 ? 1 : 0, failures == 0 ? 0 : 1);
  return failures == 0 ? 0 : 1;
}
