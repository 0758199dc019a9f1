// The table against the general-purpose hash maps a C++ engineer would use
// instead: std::unordered_map, absl::flat_hash_map, absl::node_hash_map,
// boost::unordered_flat_map and uthash. Every contestant gets the same keys,
// generated from a fixed seed, and does the same work.
//
// Benchmarks are named workload/contestant/keys, e.g. find_str/absl_flat/100000;
// tools/bench-report.py turns a run into ratios (library time / peer time).
//
//   build_str   build a table of n string keys with their contents, then
//               release it. Peers insert n (std::string, int) pairs, with
//               and without reserve(n) (contestant suffix _reserve); the
//               library's builder sizes itself from n.
//   find_str    look up n probes (half present, half absent, shuffled) in a
//               table of n keys, writing a found flag and the content of
//               each probe: searchStrList against a loop of find().
//   build_lng   as build_str with random 32-bit integer keys.
//   find_lng    as find_str with integer keys: searchLng against find().
//   churn_str   on a table of n keys, n/4 rounds of: remove a key, add a new
//               key, set the content of a third key; then remove the new keys
//               and add the removed ones back (5 * n/4 operations, after
//               which the table holds its original keys again).
//
// items_per_second counts keys built, probes looked up or operations done.
//
// Every build benchmark builds once before it starts timing, so the memory
// it needs is already the process's: a first build would otherwise mostly
// measure the system handing out fresh pages.
#include <benchmark/benchmark.h>

#include <absl/container/flat_hash_map.h>
#include <absl/container/node_hash_map.h>
#include <boost/unordered/unordered_flat_map.hpp>
#include <uthash.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <type_traits>
#include <vector>

#include "kelLibrary.h"

namespace {

constexpr uint64_t kSeed = 0x6b656c4854ULL;
constexpr int kSizes[] = {1000, 100000, 1000000};

// ---------------------------------------------------------------- the data

// Identifiers such as customerOrderId, ship_date_2231 or TAX_RATE_LEVEL7:
// one to three words, camelCase, PascalCase, snake_case or UPPER_SNAKE, often
// with a number, 8 to 24 bytes long.
const char* const kWords[] = {
    "customer", "order",  "id",     "name",    "total",  "price",   "item",   "user",
    "account",  "date",   "code",   "status",  "count",  "index",   "value",  "amount",
    "region",   "product", "line",  "ship",    "bill",   "tax",     "rate",   "group",
    "key",      "type",   "flag",   "level",   "score",  "source",  "target", "batch",
    "file",     "row",    "column", "table",   "zip",    "city",    "phone",  "email",
    "vendor",   "store",  "branch", "unit",    "weight", "size",    "color",  "stock",
    "entry",    "period", "year",   "month",   "week",   "day",     "hour",   "parent",
    "child",    "node",   "link",   "owner",   "memo",   "note",    "limit",  "plan"};
constexpr int kWordCount = sizeof kWords / sizeof kWords[0];

std::string makeIdentifier(std::mt19937_64& rng) {
  for (;;) {
    const int style = static_cast<int>(rng() % 4);
    const int words = 1 + static_cast<int>(rng() % 3);
    std::string id;
    for (int w = 0; w < words; ++w) {
      std::string word = kWords[rng() % kWordCount];
      if (style == 2 || style == 3) {
        if (w > 0) id += '_';
        if (style == 3)
          for (char& c : word) c = static_cast<char>(c - 'a' + 'A');
      } else if (w > 0 || style == 1) {
        word[0] = static_cast<char>(word[0] - 'a' + 'A');
      }
      id += word;
    }
    if (rng() % 4 != 0) {
      if (style >= 2) id += '_';
      id += std::to_string(rng() % (1 + rng() % 100000));
    }
    if (id.size() >= 8 && id.size() <= 24) return id;
  }
}

struct StringData {
  std::vector<std::string> keys;    // n distinct keys, the table's
  std::vector<std::string> absent;  // n distinct keys, none of them the table's
  std::vector<int> contents;
  std::vector<std::string> probes;  // n/2 keys and n/2 absent keys, shuffled
  int hits = 0;                     // probes that are keys
  std::vector<const char*> keyPointers, absentPointers, probePointers;
};

struct LongData {
  std::vector<int32_t> keys, absent, probes;
  std::vector<int> contents;
  int hits = 0;
};

template <typename Key>
void makeProbes(const std::vector<Key>& keys, const std::vector<Key>& absent, std::mt19937_64& rng,
                std::vector<Key>& probes, int& hits) {
  const std::size_t n = keys.size();
  std::vector<std::size_t> order(n);
  for (std::size_t i = 0; i < n; ++i) order[i] = i;
  std::shuffle(order.begin(), order.end(), rng);
  hits = static_cast<int>(n / 2);
  for (std::size_t i = 0; i < n / 2; ++i) probes.push_back(keys[order[i]]);
  for (std::size_t i = n / 2; i < n; ++i) probes.push_back(absent[order[i]]);
  std::shuffle(probes.begin(), probes.end(), rng);
}

std::vector<const char*> pointersTo(const std::vector<std::string>& strings) {
  std::vector<const char*> pointers;
  for (const std::string& s : strings) pointers.push_back(s.c_str());
  return pointers;
}

const StringData& stringData(int n) {
  static std::map<int, std::unique_ptr<StringData>> cache;
  std::unique_ptr<StringData>& slot = cache[n];
  if (!slot) {
    auto d = std::make_unique<StringData>();
    std::mt19937_64 rng(kSeed + static_cast<uint64_t>(n));
    // 2n distinct identifiers, in the order drawn: the first n are the
    // table's, the others never are. Duplicates are found by sorting
    // indices, which leaves the heap as unfragmented as it can be for the
    // peers that allocate per key.
    std::vector<std::string> drawn;
    drawn.reserve(static_cast<std::size_t>(2 * n) + static_cast<std::size_t>(n) / 4);
    std::vector<char> keep;
    std::size_t distinct = 0;
    while (distinct < static_cast<std::size_t>(2 * n)) {
      while (drawn.size() < drawn.capacity()) drawn.push_back(makeIdentifier(rng));
      std::vector<std::size_t> order(drawn.size());
      for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
      std::stable_sort(order.begin(), order.end(),
                       [&](std::size_t a, std::size_t b) { return drawn[a] < drawn[b]; });
      keep.assign(drawn.size(), 1);
      for (std::size_t i = 1; i < order.size(); ++i)
        if (drawn[order[i]] == drawn[order[i - 1]]) keep[order[i]] = 0;
      distinct = static_cast<std::size_t>(std::count(keep.begin(), keep.end(), 1));
      if (distinct < static_cast<std::size_t>(2 * n)) drawn.reserve(drawn.capacity() * 2);
    }
    d->keys.reserve(n);
    d->absent.reserve(n);
    for (std::size_t i = 0; i < drawn.size(); ++i) {
      if (!keep[i]) continue;
      if (d->keys.size() < static_cast<std::size_t>(n)) d->keys.push_back(std::move(drawn[i]));
      else if (d->absent.size() < static_cast<std::size_t>(n)) d->absent.push_back(std::move(drawn[i]));
    }
    for (int i = 0; i < n; ++i) d->contents.push_back(static_cast<int>(rng()));
    makeProbes(d->keys, d->absent, rng, d->probes, d->hits);
    d->keyPointers = pointersTo(d->keys);
    d->absentPointers = pointersTo(d->absent);
    d->probePointers = pointersTo(d->probes);
    slot = std::move(d);
  }
  return *slot;
}

const LongData& longData(int n) {
  static std::map<int, std::unique_ptr<LongData>> cache;
  std::unique_ptr<LongData>& slot = cache[n];
  if (!slot) {
    auto d = std::make_unique<LongData>();
    std::mt19937_64 rng(kSeed + 1000003 * static_cast<uint64_t>(n));
    std::unordered_set<int32_t> seen;
    while (d->keys.size() < static_cast<std::size_t>(n)) {
      const auto key = static_cast<int32_t>(static_cast<uint32_t>(rng()));
      if (seen.insert(key).second) d->keys.push_back(key);
    }
    while (d->absent.size() < static_cast<std::size_t>(n)) {
      const auto key = static_cast<int32_t>(static_cast<uint32_t>(rng()));
      if (seen.insert(key).second) d->absent.push_back(key);
    }
    for (int i = 0; i < n; ++i) d->contents.push_back(static_cast<int>(rng()));
    makeProbes(d->keys, d->absent, rng, d->probes, d->hits);
    slot = std::move(d);
  }
  return *slot;
}

// ------------------------------------------------------------- the peers
//
// Every peer offers the same five operations. add leaves a present key
// alone and set adds an absent one, as the library's addOne and setContent do.

template <typename Map>
struct StdLike {
  using Key = typename Map::key_type;
  Map map;
  void reserve(std::size_t n) { map.reserve(n); }
  void add(const Key& key, int content) { map.emplace(key, content); }
  void set(const Key& key, int content) { map.insert_or_assign(key, content); }
  void remove(const Key& key) { map.erase(key); }
  const int* find(const Key& key) const {
    const auto it = map.find(key);
    return it == map.end() ? nullptr : &it->second;
  }
};

template <typename Key>
using StdMap = StdLike<std::unordered_map<Key, int>>;
template <typename Key>
using AbslFlat = StdLike<absl::flat_hash_map<Key, int>>;
template <typename Key>
using AbslNode = StdLike<absl::node_hash_map<Key, int>>;
template <typename Key>
using BoostFlat = StdLike<boost::unordered_flat_map<Key, int>>;

// uthash: intrusive entries from malloc, the string copied inline after the
// entry as the library does; Jenkins hash (uthash's default).
struct UtString {
  struct Entry {
    UT_hash_handle hh;
    int content;
    char key[1];
  };
  Entry* head = nullptr;
  UtString() = default;
  UtString(const UtString&) = delete;
  UtString& operator=(const UtString&) = delete;
  ~UtString() {
    Entry *e, *next;
    HASH_ITER(hh, head, e, next) {
      HASH_DEL(head, e);
      std::free(e);
    }
  }
  Entry* lookup(const std::string& key) const {
    Entry* e = nullptr;
    HASH_FIND(hh, head, key.data(), static_cast<unsigned>(key.size()), e);
    return e;
  }
  void reserve(std::size_t) {}
  void insertNew(const std::string& key, int content) {
    auto* e = static_cast<Entry*>(std::malloc(offsetof(Entry, key) + key.size() + 1));
    if (e == nullptr) std::abort();
    std::memcpy(e->key, key.c_str(), key.size() + 1);
    e->content = content;
    HASH_ADD_KEYPTR(hh, head, e->key, static_cast<unsigned>(key.size()), e);
  }
  void add(const std::string& key, int content) {
    if (lookup(key) == nullptr) insertNew(key, content);
  }
  void set(const std::string& key, int content) {
    if (Entry* e = lookup(key)) e->content = content;
    else insertNew(key, content);
  }
  void remove(const std::string& key) {
    if (Entry* e = lookup(key)) {
      HASH_DEL(head, e);
      std::free(e);
    }
  }
  const int* find(const std::string& key) const {
    const Entry* e = lookup(key);
    return e == nullptr ? nullptr : &e->content;
  }
};

struct UtLong {
  struct Entry {
    int32_t key;
    int content;
    UT_hash_handle hh;
  };
  Entry* head = nullptr;
  UtLong() = default;
  UtLong(const UtLong&) = delete;
  UtLong& operator=(const UtLong&) = delete;
  ~UtLong() {
    Entry *e, *next;
    HASH_ITER(hh, head, e, next) {
      HASH_DEL(head, e);
      std::free(e);
    }
  }
  Entry* lookup(int32_t key) const {
    Entry* e = nullptr;
    HASH_FIND(hh, head, &key, sizeof key, e);
    return e;
  }
  void reserve(std::size_t) {}
  void add(int32_t key, int content) {
    if (lookup(key) != nullptr) return;
    auto* e = static_cast<Entry*>(std::malloc(sizeof(Entry)));
    if (e == nullptr) std::abort();
    e->key = key;
    e->content = content;
    HASH_ADD(hh, head, key, sizeof key, e);
  }
  const int* find(int32_t key) const {
    const Entry* e = lookup(key);
    return e == nullptr ? nullptr : &e->content;
  }
};

// ------------------------------------------------------- the benchmarks

void countItems(benchmark::State& state, int perIteration) {
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * perIteration);
}

bool foundAsExpected(benchmark::State& state, const std::vector<char>& found, int hits) {
  if (std::count(found.begin(), found.end(), 1) == hits) return true;
  state.SkipWithError("wrong number of probes found");
  return false;
}

// build_str

void kelBuildStr(benchmark::State& state, int n) {
  const StringData& d = stringData(n);
  const KelHashTableFun& kel = kelLibrary();
  auto build = [&] {
    kel.makeHashTableStrList(const_cast<const char**>(d.keyPointers.data()), n, d.contents.data());
    kel.close();
  };
  build();
  for (auto _ : state) build();
  countItems(state, n);
}

// The same data for the library and its peers, by key type.
template <typename Key>
const auto& dataFor(int n) {
  if constexpr (std::is_same_v<Key, std::string>) return stringData(n);
  else return longData(n);
}

template <typename Peer, typename Key>
void peerBuild(benchmark::State& state, int n, bool reserve) {
  const auto& d = dataFor<Key>(n);
  auto build = [&] {
    Peer peer;
    if (reserve) peer.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) peer.add(d.keys[i], d.contents[i]);
    benchmark::DoNotOptimize(peer);
  };
  build();
  for (auto _ : state) build();
  countItems(state, n);
}

// find_str

void kelFindStr(benchmark::State& state, int n) {
  const StringData& d = stringData(n);
  const KelHashTableFun& kel = kelLibrary();
  kel.makeHashTableStrList(const_cast<const char**>(d.keyPointers.data()), n, d.contents.data());
  std::vector<char> found(n);
  std::vector<int> contents(n);
  for (auto _ : state) {
    kel.searchStrList(const_cast<const char**>(d.probePointers.data()), n, found.data(),
                      contents.data());
    benchmark::ClobberMemory();
  }
  kel.close();
  if (foundAsExpected(state, found, d.hits)) countItems(state, n);
}

template <typename Peer, typename Key>
void peerFind(benchmark::State& state, int n) {
  const auto& d = dataFor<Key>(n);
  Peer peer;
  for (int i = 0; i < n; ++i) peer.add(d.keys[i], d.contents[i]);
  std::vector<char> found(n);
  std::vector<int> contents(n);
  for (auto _ : state) {
    for (int i = 0; i < n; ++i) {
      const int* content = peer.find(d.probes[i]);
      found[i] = content != nullptr;
      if (content != nullptr) contents[i] = *content;
    }
    benchmark::ClobberMemory();
  }
  if (foundAsExpected(state, found, d.hits)) countItems(state, n);
}

// build_lng

void kelBuildLng(benchmark::State& state, int n) {
  const LongData& d = longData(n);
  const KelHashTableFun& kel = kelLibrary();
  auto build = [&] {
    kel.makeHashTableLng(d.keys.data(), n, d.contents.data());
    kel.close();
  };
  build();
  for (auto _ : state) build();
  countItems(state, n);
}


// find_lng

void kelFindLng(benchmark::State& state, int n) {
  const LongData& d = longData(n);
  const KelHashTableFun& kel = kelLibrary();
  kel.makeHashTableLng(d.keys.data(), n, d.contents.data());
  std::vector<char> found(n);
  std::vector<int> contents(n);
  for (auto _ : state) {
    kel.searchLng(d.probes.data(), n, found.data(), contents.data());
    benchmark::ClobberMemory();
  }
  kel.close();
  if (foundAsExpected(state, found, d.hits)) countItems(state, n);
}


// churn_str: the table holds the same keys after every iteration.

void kelChurnStr(benchmark::State& state, int n) {
  const StringData& d = stringData(n);
  const KelHashTableFun& kel = kelLibrary();
  kel.makeHashTableStrList(const_cast<const char**>(d.keyPointers.data()), n, d.contents.data());
  const int rounds = n / 4;
  int value = 0;
  for (auto _ : state) {
    for (int i = 0; i < rounds; ++i) {
      kel.removeOneStr(d.keyPointers[i], nullptr);
      kel.addOneStr(d.absentPointers[i], i);
      kel.setContentStr(d.keyPointers[rounds + i], ++value);
    }
    for (int i = 0; i < rounds; ++i) {
      kel.removeOneStr(d.absentPointers[i], nullptr);
      kel.addOneStr(d.keyPointers[i], d.contents[i]);
    }
  }
  std::vector<char> found(n);
  kel.searchStrList(const_cast<const char**>(d.keyPointers.data()), n, found.data(), nullptr);
  kel.close();
  if (foundAsExpected(state, found, n)) countItems(state, 5 * rounds);
}

template <typename Peer>
void peerChurnStr(benchmark::State& state, int n) {
  const StringData& d = stringData(n);
  Peer peer;
  for (int i = 0; i < n; ++i) peer.add(d.keys[i], d.contents[i]);
  const int rounds = n / 4;
  int value = 0;
  for (auto _ : state) {
    for (int i = 0; i < rounds; ++i) {
      peer.remove(d.keys[i]);
      peer.add(d.absent[i], i);
      peer.set(d.keys[rounds + i], ++value);
    }
    for (int i = 0; i < rounds; ++i) {
      peer.remove(d.absent[i]);
      peer.add(d.keys[i], d.contents[i]);
    }
  }
  std::vector<char> found(n);
  for (int i = 0; i < n; ++i) found[i] = peer.find(d.keys[i]) != nullptr;
  if (foundAsExpected(state, found, n)) countItems(state, 5 * rounds);
}

// ------------------------------------------------------- registration

template <typename Function>
void add(const std::string& workload, const std::string& contestant, int n, Function function) {
  const std::string name = workload + "/" + contestant + "/" + std::to_string(n);
  benchmark::RegisterBenchmark(name.c_str(), [function, n](benchmark::State& state) {
    function(state, n);
  })->Unit(benchmark::kMicrosecond);
}

int registerAll() {
  // Per workload and size: the library first, then its peers.
  for (int n : kSizes) {
    add("build_str", "kel", n, kelBuildStr);
    add("build_str", "std", n, [](benchmark::State& s, int n) { peerBuild<StdMap<std::string>, std::string>(s, n, false); });
    add("build_str", "std_reserve", n, [](benchmark::State& s, int n) { peerBuild<StdMap<std::string>, std::string>(s, n, true); });
    add("build_str", "absl_flat", n, [](benchmark::State& s, int n) { peerBuild<AbslFlat<std::string>, std::string>(s, n, false); });
    add("build_str", "absl_flat_reserve", n, [](benchmark::State& s, int n) { peerBuild<AbslFlat<std::string>, std::string>(s, n, true); });
    add("build_str", "absl_node", n, [](benchmark::State& s, int n) { peerBuild<AbslNode<std::string>, std::string>(s, n, false); });
    add("build_str", "absl_node_reserve", n, [](benchmark::State& s, int n) { peerBuild<AbslNode<std::string>, std::string>(s, n, true); });
    add("build_str", "boost_flat", n, [](benchmark::State& s, int n) { peerBuild<BoostFlat<std::string>, std::string>(s, n, false); });
    add("build_str", "boost_flat_reserve", n, [](benchmark::State& s, int n) { peerBuild<BoostFlat<std::string>, std::string>(s, n, true); });
    add("build_str", "uthash", n, [](benchmark::State& s, int n) { peerBuild<UtString, std::string>(s, n, false); });
  }
  for (int n : kSizes) {
    add("find_str", "kel", n, kelFindStr);
    add("find_str", "std", n, peerFind<StdMap<std::string>, std::string>);
    add("find_str", "absl_flat", n, peerFind<AbslFlat<std::string>, std::string>);
    add("find_str", "absl_node", n, peerFind<AbslNode<std::string>, std::string>);
    add("find_str", "boost_flat", n, peerFind<BoostFlat<std::string>, std::string>);
    add("find_str", "uthash", n, peerFind<UtString, std::string>);
  }
  for (int n : kSizes) {
    add("build_lng", "kel", n, kelBuildLng);
    add("build_lng", "std", n, [](benchmark::State& s, int n) { peerBuild<StdMap<int32_t>, int32_t>(s, n, false); });
    add("build_lng", "std_reserve", n, [](benchmark::State& s, int n) { peerBuild<StdMap<int32_t>, int32_t>(s, n, true); });
    add("build_lng", "absl_flat", n, [](benchmark::State& s, int n) { peerBuild<AbslFlat<int32_t>, int32_t>(s, n, false); });
    add("build_lng", "absl_flat_reserve", n, [](benchmark::State& s, int n) { peerBuild<AbslFlat<int32_t>, int32_t>(s, n, true); });
    add("build_lng", "absl_node", n, [](benchmark::State& s, int n) { peerBuild<AbslNode<int32_t>, int32_t>(s, n, false); });
    add("build_lng", "absl_node_reserve", n, [](benchmark::State& s, int n) { peerBuild<AbslNode<int32_t>, int32_t>(s, n, true); });
    add("build_lng", "boost_flat", n, [](benchmark::State& s, int n) { peerBuild<BoostFlat<int32_t>, int32_t>(s, n, false); });
    add("build_lng", "boost_flat_reserve", n, [](benchmark::State& s, int n) { peerBuild<BoostFlat<int32_t>, int32_t>(s, n, true); });
    add("build_lng", "uthash", n, [](benchmark::State& s, int n) { peerBuild<UtLong, int32_t>(s, n, false); });
  }
  for (int n : kSizes) {
    add("find_lng", "kel", n, kelFindLng);
    add("find_lng", "std", n, peerFind<StdMap<int32_t>, int32_t>);
    add("find_lng", "absl_flat", n, peerFind<AbslFlat<int32_t>, int32_t>);
    add("find_lng", "absl_node", n, peerFind<AbslNode<int32_t>, int32_t>);
    add("find_lng", "boost_flat", n, peerFind<BoostFlat<int32_t>, int32_t>);
    add("find_lng", "uthash", n, peerFind<UtLong, int32_t>);
  }
  for (int n : kSizes) {
    add("churn_str", "kel", n, kelChurnStr);
    add("churn_str", "std", n, peerChurnStr<StdMap<std::string>>);
    add("churn_str", "absl_flat", n, peerChurnStr<AbslFlat<std::string>>);
    add("churn_str", "absl_node", n, peerChurnStr<AbslNode<std::string>>);
    add("churn_str", "boost_flat", n, peerChurnStr<BoostFlat<std::string>>);
    add("churn_str", "uthash", n, peerChurnStr<UtString>);
  }
  return 0;
}

const int registered = registerAll();

}  // namespace
