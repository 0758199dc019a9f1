// The table against std::unordered_map, absl::flat_hash_map and
// boost::unordered_flat_map (bench/peers.h) on the key sets of
// bench/keySets.h. Benchmarks are named workload_keys/contestant/n, e.g.
// hit_ascii/boost/1000000; tools/bench-report.py turns a run into ratios
// (library time / fastest peer's time).
//
//   build  build a table of the n keys with their contents, then release
//          it: makeHashTableStrList or makeHashTableLng and close; peers
//          reserve(n), try_emplace every key, destroy
//   hit    look up the n keys in a shuffled order in a table of the n keys,
//          writing a found flag and the content of each: searchStrList or
//          searchLng against a loop of find
//   miss   the same with n keys the table does not hold
//   grow   one-by-one adds into a table built for no keys (every growth
//          step on the way): addOneStr or addOneLng; peers without reserve
//   enum   list every key with its content into freshly allocated arrays,
//          every string key copied into a block of its own, then free them
//          all: getAllValidFullContents; peers iterate and copy
//
// Contestant `hash` (hit and miss of every key set) is not a map: the
// library's own bulk hashing of the same probes, alone, computing the bucket
// index of every probe as the search does and writing it to an array, with
// no table. The report shows it beside the library's search, as the part of
// the search that is the hash. It is compiled in from the core's sources
// (bench/bulkHashing.h), so KEL_BENCH_LIBRARY does not change it.
//
// Contestant `gather` (hit_lng and miss_lng) is the floor a chained table
// cannot go below: one random 4-byte bucket head per key from an array of
// the table's bucket count, plus one random 12-byte entry per hit.
//
// items_per_second counts keys. Every build, grow and enumeration benchmark
// runs once before it starts timing, so the memory it needs is already the
// process's.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "bulkHashing.h"
#include "keySets.h"
#include "kelLibrary.h"
#include "peers.h"

namespace {

using bench::KeySet;

void countItems(benchmark::State& state, int n) {
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

void expectFound(benchmark::State& state, const std::vector<char>& found, int expected) {
  int count = 0;
  for (char f : found) count += f;
  if (count != expected) state.SkipWithError("wrong number of keys found");
}

// ------------------------------------------------------------ the library

const KelHashTableFun& kel() { return kelLibrary(); }

void kelMake(KeySet set, int n) {
  if (set == KeySet::kLong) {
    const bench::LongKeys& d = bench::longKeys(n);
    kel().makeHashTableLng(d.keys.data(), n, d.contents.data());
  } else {
    const bench::StringKeys& d = bench::stringKeys(set, n);
    kel().makeHashTableStrList(const_cast<const char**>(d.keyPointers.data()), n, d.contents.data());
  }
}

void kelBuild(benchmark::State& state, KeySet set, int n) {
  auto build = [&] {
    kelMake(set, n);
    kel().close();
  };
  build();
  for (auto _ : state) build();
  countItems(state, n);
}

void kelSearch(benchmark::State& state, KeySet set, int n, bool hits) {
  kelMake(set, n);
  std::vector<char> found(n);
  std::vector<int> contents(n);
  for (auto _ : state) {
    if (set == KeySet::kLong) {
      const bench::LongKeys& d = bench::longKeys(n);
      kel().searchLng((hits ? d.hits : d.absent).data(), n, found.data(), contents.data());
    } else {
      const bench::StringKeys& d = bench::stringKeys(set, n);
      const auto& probes = hits ? d.hitPointers : d.absentPointers;
      kel().searchStrList(const_cast<const char**>(probes.data()), n, found.data(), contents.data());
    }
    benchmark::ClobberMemory();
  }
  kel().close();
  expectFound(state, found, hits ? n : 0);
  countItems(state, n);
}

void kelGrow(benchmark::State& state, KeySet set, int n) {
  auto grow = [&] {
    if (set == KeySet::kLong) {
      const bench::LongKeys& d = bench::longKeys(n);
      kel().makeHashTableLng(nullptr, 0, nullptr);
      for (int i = 0; i < n; ++i) kel().addOneLng(d.keys[i], d.contents[i]);
    } else {
      const bench::StringKeys& d = bench::stringKeys(set, n);
      kel().makeHashTableStrList(nullptr, 0, nullptr);
      for (int i = 0; i < n; ++i) kel().addOneStr(d.keyPointers[i], d.contents[i]);
    }
    kel().close();
  };
  grow();
  for (auto _ : state) grow();
  countItems(state, n);
}

void kelEnumerate(benchmark::State& state, KeySet set, int n) {
  kelMake(set, n);
  auto enumerate = [] {
    int count = 0;
    int* contents = nullptr;
    char** strings = nullptr;
    int* longs = nullptr;
    kel().getAllValidFullContents(&count, &contents, &strings, &longs);
    for (int i = 0; i < count; ++i) std::free(strings[i]);
    std::free(contents);
    std::free(strings);
    std::free(longs);
  };
  enumerate();
  for (auto _ : state) enumerate();
  kel().close();
  countItems(state, n);
}

// ------------------------------------------------------- the library's hash

void expectInTable(benchmark::State& state, const std::vector<int32_t>& buckets, int32_t size) {
  for (int32_t bucket : buckets) {
    if (bucket < 0 || bucket >= size) {
      state.SkipWithError("bucket index outside the table");
      return;
    }
  }
}

// The bucket indices of the probes a search of the n keys takes, in a table
// of the bucket count the library gives n keys.
void kelHash(benchmark::State& state, KeySet set, int n, bool hits) {
  const auto size = static_cast<int32_t>(bench::bucketsFor(n));
  std::vector<int32_t> buckets(n);
  if (set == KeySet::kLong) {
    const bench::LongKeys& d = bench::longKeys(n);
    const int32_t* probes = (hits ? d.hits : d.absent).data();
    for (auto _ : state) {
      bench::longBucketsInBulk(probes, n, size, buckets.data());
      benchmark::ClobberMemory();
    }
  } else {
    const bench::StringKeys& d = bench::stringKeys(set, n);
    const char* const* probes = (hits ? d.hitPointers : d.absentPointers).data();
    for (auto _ : state) {
      bench::stringBucketsInBulk(probes, n, size, buckets.data());
      benchmark::ClobberMemory();
    }
  }
  expectInTable(state, buckets, size);
  countItems(state, n);
}

// ---------------------------------------------------------------- the peers

template <typename Map>
constexpr bool kLongMap = std::is_same_v<typename Map::key_type, int32_t>;

template <typename Map>
void fill(Map& map, KeySet set, int n) {
  if constexpr (kLongMap<Map>) {
    const bench::LongKeys& d = bench::longKeys(n);
    for (int i = 0; i < n; ++i) map.try_emplace(d.keys[i], d.contents[i]);
  } else {
    const bench::StringKeys& d = bench::stringKeys(set, n);
    for (int i = 0; i < n; ++i) map.try_emplace(std::string(d.keys[i]), d.contents[i]);
  }
}

template <typename Map>
void peerBuild(benchmark::State& state, KeySet set, int n) {
  auto build = [&] {
    Map map;
    map.reserve(static_cast<std::size_t>(n));
    fill(map, set, n);
    benchmark::DoNotOptimize(map);
  };
  build();
  for (auto _ : state) build();
  countItems(state, n);
}

template <typename Map, typename Probe>
void lookUp(const Map& map, const std::vector<Probe>& probes, std::vector<char>& found,
            std::vector<int>& contents) {
  const std::size_t n = probes.size();
  for (std::size_t i = 0; i < n; ++i) {
    const auto it = map.find(bench::probe<Map>(probes[i]));
    found[i] = it != map.end();
    if (it != map.end()) contents[i] = it->second;
  }
}

template <typename Map>
void peerSearch(benchmark::State& state, KeySet set, int n, bool hits) {
  Map map;
  map.reserve(static_cast<std::size_t>(n));
  fill(map, set, n);
  std::vector<char> found(n);
  std::vector<int> contents(n);
  for (auto _ : state) {
    if constexpr (kLongMap<Map>) {
      const bench::LongKeys& d = bench::longKeys(n);
      lookUp(map, hits ? d.hits : d.absent, found, contents);
    } else {
      const bench::StringKeys& d = bench::stringKeys(set, n);
      lookUp(map, hits ? d.hits : d.absent, found, contents);
    }
    benchmark::ClobberMemory();
  }
  expectFound(state, found, hits ? n : 0);
  countItems(state, n);
}

template <typename Map>
void peerGrow(benchmark::State& state, KeySet set, int n) {
  auto grow = [&] {
    Map map;
    fill(map, set, n);
    benchmark::DoNotOptimize(map);
  };
  grow();
  for (auto _ : state) grow();
  countItems(state, n);
}

// What getAllValidFullContents hands a host, made from the peer's map.
template <typename Map>
void peerEnumerate(benchmark::State& state, KeySet set, int n) {
  Map map;
  map.reserve(static_cast<std::size_t>(n));
  fill(map, set, n);
  auto enumerate = [&] {
    const std::size_t slots = map.size() + 1;
    int* contents = static_cast<int*>(std::malloc(slots * sizeof(int)));
    char** strings = static_cast<char**>(std::malloc(slots * sizeof(char*)));
    int* longs = static_cast<int*>(std::malloc(slots * sizeof(int)));
    std::size_t i = 0;
    for (const auto& [key, content] : map) {
      contents[i] = content;
      if constexpr (kLongMap<Map>) {
        strings[i] = nullptr;
        longs[i] = key;
      } else {
        strings[i] = static_cast<char*>(std::malloc(key.size() + 1));
        std::memcpy(strings[i], key.c_str(), key.size() + 1);
        longs[i] = 0;
      }
      ++i;
    }
    benchmark::DoNotOptimize(strings);
    if constexpr (!kLongMap<Map>)
      for (std::size_t k = 0; k < i; ++k) std::free(strings[k]);
    std::free(contents);
    std::free(strings);
    std::free(longs);
  };
  enumerate();
  for (auto _ : state) enumerate();
  countItems(state, n);
}

// ----------------------------------------------------------------- the floor

struct Gather {
  std::vector<uint32_t> heads;
  struct Entry { uint32_t next; int32_t content; int32_t key; };
  std::vector<Entry> entries;
  std::vector<uint32_t> bucketOfProbe, entryOfProbe;
};

void gatherFloor(benchmark::State& state, int n, bool hits) {
  Gather g;
  std::mt19937_64 rng(bench::kSeed);
  g.heads.resize(static_cast<std::size_t>(bench::bucketsFor(n)));
  for (uint32_t& h : g.heads) h = static_cast<uint32_t>(rng());
  g.entries.resize(n);
  for (auto& e : g.entries) e = {static_cast<uint32_t>(rng()), static_cast<int32_t>(rng()), 0};
  for (int i = 0; i < n; ++i) {
    g.bucketOfProbe.push_back(static_cast<uint32_t>(rng() % g.heads.size()));
    g.entryOfProbe.push_back(static_cast<uint32_t>(rng() % g.entries.size()));
  }
  std::vector<char> found(n);
  for (auto _ : state) {
    for (int i = 0; i < n; ++i) {
      const uint32_t head = g.heads[g.bucketOfProbe[i]];
      found[i] = static_cast<char>(head & 1);
      if (hits) found[i] = static_cast<char>(found[i] + g.entries[g.entryOfProbe[i]].content);
    }
    benchmark::ClobberMemory();
  }
  countItems(state, n);
}

// -------------------------------------------------------------- registration

template <typename Function>
void add(const std::string& workload, KeySet set, const char* contestant, int n, Function f) {
  const std::string name =
      workload + "_" + bench::nameOf(set) + "/" + contestant + "/" + std::to_string(n);
  benchmark::RegisterBenchmark(name.c_str(), [f, set, n](benchmark::State& state) {
    f(state, set, n);
  })->Unit(benchmark::kMicrosecond);
}

template <typename Std, typename Absl, typename Boost>
void addWorkloads(KeySet set, int n) {
  add("build", set, "kel", n, kelBuild);
  add("build", set, "std", n, peerBuild<Std>);
  add("build", set, "absl", n, peerBuild<Absl>);
  add("build", set, "boost", n, peerBuild<Boost>);
  for (bool hits : {true, false}) {
    const char* workload = hits ? "hit" : "miss";
    auto search = [hits](auto f) {
      return [f, hits](benchmark::State& s, KeySet set, int n) { f(s, set, n, hits); };
    };
    add(workload, set, "kel", n, search(kelSearch));
    add(workload, set, "hash", n, search(kelHash));
    add(workload, set, "std", n, search(peerSearch<Std>));
    add(workload, set, "absl", n, search(peerSearch<Absl>));
    add(workload, set, "boost", n, search(peerSearch<Boost>));
    if (set == KeySet::kLong)
      add(workload, set, "gather", n,
          [hits](benchmark::State& s, KeySet, int n) { gatherFloor(s, n, hits); });
  }
  add("grow", set, "kel", n, kelGrow);
  add("grow", set, "std", n, peerGrow<Std>);
  add("grow", set, "absl", n, peerGrow<Absl>);
  add("grow", set, "boost", n, peerGrow<Boost>);
  add("enum", set, "kel", n, kelEnumerate);
  add("enum", set, "std", n, peerEnumerate<Std>);
  add("enum", set, "absl", n, peerEnumerate<Absl>);
  add("enum", set, "boost", n, peerEnumerate<Boost>);
}

int registerAll() {
  using namespace bench;
  // The scaling series for short identifiers and long keys; the other key
  // sets up to 1,000,000 keys.
  for (int n : {1000, 10000, 100000, 1000000, 10000000}) {
    addWorkloads<StdStrings, AbslStrings, BoostStrings>(KeySet::kAscii, n);
    addWorkloads<StdLongs, AbslLongs, BoostLongs>(KeySet::kLong, n);
  }
  for (int n : {1000, 10000, 100000, 1000000}) {
    addWorkloads<StdStrings, AbslStrings, BoostStrings>(KeySet::kPath, n);
    addWorkloads<StdStrings, AbslStrings, BoostStrings>(KeySet::kSjis, n);
  }
  return 0;
}

const int registered = registerAll();

}  // namespace
