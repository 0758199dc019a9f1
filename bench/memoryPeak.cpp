// Peak resident memory of one table over its lifetime, per key:
//
//   memoryPeak CONTESTANT KEYS N
//
// CONTESTANT is kel, std, absl or boost; KEYS is ascii, path, sjis or lng
// (bench/keySets.h). The keys are generated first and the memory freed on
// the way is handed back to the system; then the peak is reset, the table
// is built (the library's builder, or reserve(n) and try_emplace for a peer)
// and released, and the program prints the growth of the peak resident set
// divided by N, in bytes, with the contestant and the keys.
//
// Linux only: it reads and resets the peak through /proc/self. Built with
// -DKEL_PEERS_WITHOUT_ABSL (the 32-bit build) it has no absl contestant.
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "keySets.h"
#include "kelLibrary.h"
#include "peers.h"

namespace {

long statusKiB(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string name;
  long value = -1;
  while (status >> name) {
    if (name == field) {
      status >> value;
      return value;
    }
    status.ignore(1 << 12, '\n');
  }
  return -1;
}

void resetPeak() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
}

template <typename Map>
void buildPeer(bench::KeySet set, int n) {
  Map map;
  map.reserve(static_cast<std::size_t>(n));
  if (set == bench::KeySet::kLong) {
    if constexpr (std::is_same_v<typename Map::key_type, int32_t>) {
      const bench::LongKeys& d = bench::longKeys(n);
      for (int i = 0; i < n; ++i) map.try_emplace(d.keys[i], d.contents[i]);
    }
  } else {
    if constexpr (!std::is_same_v<typename Map::key_type, int32_t>) {
      const bench::StringKeys& d = bench::stringKeys(set, n);
      for (int i = 0; i < n; ++i) map.try_emplace(std::string(d.keys[i]), d.contents[i]);
    }
  }
}

template <typename Strings, typename Longs>
void buildPeer2(bench::KeySet set, int n) {
  if (set == bench::KeySet::kLong) buildPeer<Longs>(set, n);
  else buildPeer<Strings>(set, n);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s kel|std|absl|boost ascii|path|sjis|lng N\n", argv[0]);
    return 2;
  }
  const std::string contestant = argv[1], keys = argv[2];
  const int n = std::atoi(argv[3]);
  bench::KeySet set = bench::KeySet::kLong;
  for (bench::KeySet s : {bench::KeySet::kAscii, bench::KeySet::kPath, bench::KeySet::kSjis})
    if (keys == bench::nameOf(s)) set = s;
  if (set == bench::KeySet::kLong) bench::longKeys(n);
  else bench::stringKeys(set, n);
  const KelHashTableFun& kel = kelLibrary();
  kel.makeHashTableLng(nullptr, 0, nullptr);  // the library's own start-up costs
  kel.close();
  malloc_trim(0);
  resetPeak();
  const long before = statusKiB("VmRSS:");
  if (contestant == "kel") {
    if (set == bench::KeySet::kLong) {
      const bench::LongKeys& d = bench::longKeys(n);
      kel.makeHashTableLng(d.keys.data(), n, d.contents.data());
    } else {
      const bench::StringKeys& d = bench::stringKeys(set, n);
      kel.makeHashTableStrList(const_cast<const char**>(d.keyPointers.data()), n, d.contents.data());
    }
    kel.close();
  } else if (contestant == "std") {
    buildPeer2<bench::StdStrings, bench::StdLongs>(set, n);
  } else if (contestant == "boost") {
    buildPeer2<bench::BoostStrings, bench::BoostLongs>(set, n);
#if !defined(KEL_PEERS_WITHOUT_ABSL)
  } else if (contestant == "absl") {
    buildPeer2<bench::AbslStrings, bench::AbslLongs>(set, n);
#endif
  } else {
    std::fprintf(stderr, "unknown contestant %s\n", contestant.c_str());
    return 2;
  }
  const long peak = statusKiB("VmHWM:");
  std::printf("%s %s %d %.1f\n", contestant.c_str(), keys.c_str(), n,
              static_cast<double>(peak - before) * 1024.0 / n);
  return 0;
}
