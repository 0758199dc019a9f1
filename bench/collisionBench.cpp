// Keys that the bucket hash cannot tell apart, against ordinary keys of the
// same length doing the same work, and against Boost's flat map on the same
// colliding keys. Every key of a colliding set lands in one bucket:
//
//   skip40   40-byte path-like keys that differ only at bytes 10-14 and
//            25-29, which the hash of a 40-byte key does not read
//   plain40  40-byte keys that differ everywhere
//   space24  24-byte keys of the same twelve letters that differ only in
//            where their twelve spaces are (the hash skips spaces)
//   plain24  24-byte keys that differ everywhere
//   groupL   40-byte keys in groups of L that share a bucket (L = 2 to 64):
//            what a chain of L entries costs walked and indexed (hit and
//            build at 20,000 keys; a library built with another index
//            threshold, loaded through KEL_BENCH_LIBRARY, gives the other)
//
// Workloads, n keys each (names as in tableBench.cpp: workload_keys/who/n):
//   build    makeHashTableStrList, then close
//   hit      searchStrList of the n keys, shuffled
//   miss     searchStrList of n absent keys of the same shape
//   grow     addOneStr of every key into a table built for none
//   set      setContentStr of every key of a built table
//   remove   removeOneStr of every key of a built table (the build untimed)
//   load     makeHashTableFromBinFile of the table's restart file (for a
//            colliding set: one chain of n keys), then close
//   loadhit  searchStrList of the n keys in a table loaded from that file
//   loadremove  removeOneStr of every key of a table loaded from it
//
// The old library took about 26 us a key for 20,000 colliding keys on
// build, hit and grow: runs at 200,000 take minutes an iteration there
// (KEL_BENCH_LIBRARY chooses the library, as for kelBench).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include "kelLibrary.h"
#include "peers.h"

namespace {

constexpr uint64_t kSeed = 0x636f6c6c6964ULL;

struct Keys {
  std::vector<std::string> keys, absent;
  std::vector<const char*> keyPointers, absentPointers, hitPointers;
  std::vector<int> contents;
  std::string restartFile;
};

std::string base36(uint64_t value, std::size_t digits) {
  std::string s(digits, '0');
  for (std::size_t i = digits; i-- > 0; value /= 36) s[i] = "0123456789abcdefghijklmnopqrstuvwxyz"[value % 36];
  return s;
}

std::string makeKey(const std::string& set, uint64_t i, std::mt19937_64& rng) {
  if (set.compare(0, 5, "group") == 0) {
    const uint64_t size = std::stoul(set.substr(5));
    const uint64_t member = i / 7919;
    return "/g" + base36(member / size * 7919 + 13, 8) + base36(member % size, 5) + "/shard/07/00000/block.dat";
  }
  if (set == "skip40") {
    const std::string digits = base36(i, 10);
    return "/srv/data/" + digits.substr(0, 5) + "/shard/07/" + digits.substr(5) + "/block.dat";
  }
  if (set == "space24") {
    std::string s = std::string(12, ' ') + std::string(12, 'x');
    std::shuffle(s.begin(), s.end(), rng);
    char letter = 'a';
    for (char& c : s)
      if (c == 'x') c = letter++;
    return s;
  }
  std::string s(set == "plain40" ? 40 : 24, ' ');
  for (char& c : s) c = static_cast<char>('a' + rng() % 26);
  return s;
}

const Keys& keysOf(const std::string& set, int n) {
  static std::map<std::pair<std::string, int>, std::unique_ptr<Keys>> cache;
  std::unique_ptr<Keys>& slot = cache[{set, n}];
  if (slot) return *slot;
  auto d = std::make_unique<Keys>();
  std::mt19937_64 rng(kSeed + static_cast<uint64_t>(n));
  std::unordered_set<std::string> seen;
  for (uint64_t i = 0; d->keys.size() + d->absent.size() < 2 * static_cast<std::size_t>(n); ++i) {
    std::string key = makeKey(set, i * 7919, rng);
    if (!seen.insert(key).second) continue;
    (d->keys.size() < static_cast<std::size_t>(n) ? d->keys : d->absent).push_back(std::move(key));
  }
  for (const auto& k : d->keys) d->keyPointers.push_back(k.c_str());
  for (const auto& k : d->absent) d->absentPointers.push_back(k.c_str());
  d->hitPointers = d->keyPointers;
  std::shuffle(d->hitPointers.begin(), d->hitPointers.end(), rng);
  for (int i = 0; i < n; ++i) d->contents.push_back(static_cast<int>(rng()));
  slot = std::move(d);
  return *slot;
}

const KelHashTableFun& kel() { return kelLibrary(); }

void make(const Keys& d) {
  kel().makeHashTableStrList(const_cast<const char**>(d.keyPointers.data()), static_cast<int>(d.keys.size()),
                             d.contents.data());
}

// The table of the keys dumped once, to a file removed at exit.
const std::string& restartFileOf(const std::string& set, int n) {
  Keys& d = const_cast<Keys&>(keysOf(set, n));
  if (d.restartFile.empty()) {
    d.restartFile = "/tmp/kelCollision-" + std::to_string(getpid()) + "-" + set + "-" + std::to_string(n) + ".bin";
    make(d);
    kel().dumpToRestartFile(d.restartFile.c_str());
    kel().close();
    static std::vector<std::string> files;
    files.push_back(d.restartFile);
    std::atexit([] {
      for (const auto& f : files) std::remove(f.c_str());
    });
  }
  return d.restartFile;
}

void search(benchmark::State& state, const std::vector<const char*>& probes, int expected) {
  const int n = static_cast<int>(probes.size());
  std::vector<char> found(n);
  std::vector<int> contents(n);
  for (auto _ : state) {
    kel().searchStrList(const_cast<const char**>(probes.data()), n, found.data(), contents.data());
    benchmark::ClobberMemory();
  }
  if (std::count(found.begin(), found.end(), 1) != expected) state.SkipWithError("wrong number of keys found");
}

void removeAll(benchmark::State& state, const Keys& d, void (*start)(const Keys&, const std::string&),
               const std::string& file) {
  for (auto _ : state) {
    state.PauseTiming();
    start(d, file);
    state.ResumeTiming();
    for (const char* key : d.hitPointers) kel().removeOneStr(key, nullptr);
    state.PauseTiming();
    kel().close();
    state.ResumeTiming();
  }
}

void kelWorkload(benchmark::State& state, const std::string& workload, const std::string& set, int n) {
  const Keys& d = keysOf(set, n);
  auto built = [](const Keys& keys, const std::string&) { make(keys); };
  auto loaded = [](const Keys&, const std::string& file) { kel().makeHashTableFromBinFile(file.c_str()); };
  // Builds, growth and loads run once before timing, as in tableBench.cpp.
  auto timed = [&](auto run) {
    run();
    for (auto _ : state) run();
  };
  if (workload == "build") {
    timed([&] { make(d), kel().close(); });
  } else if (workload == "hit" || workload == "miss") {
    make(d);
    search(state, workload == "hit" ? d.hitPointers : d.absentPointers, workload == "hit" ? n : 0);
    kel().close();
  } else if (workload == "grow") {
    timed([&] {
      kel().makeHashTableStrList(nullptr, 0, nullptr);
      for (int i = 0; i < n; ++i) kel().addOneStr(d.keyPointers[i], d.contents[i]);
      kel().close();
    });
  } else if (workload == "set") {
    make(d);
    int round = 0;
    for (auto _ : state) {
      ++round;
      for (const char* key : d.hitPointers) kel().setContentStr(key, round);
    }
    kel().close();
  } else if (workload == "remove") {
    removeAll(state, d, built, "");
  } else if (workload == "load") {
    const std::string& file = restartFileOf(set, n);
    timed([&] { kel().makeHashTableFromBinFile(file.c_str()), kel().close(); });
  } else if (workload == "loadhit") {
    kel().makeHashTableFromBinFile(restartFileOf(set, n).c_str());
    search(state, d.hitPointers, n);
    kel().close();
  } else if (workload == "loadremove") {
    removeAll(state, d, loaded, restartFileOf(set, n));
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

void boostWorkload(benchmark::State& state, const std::string& workload, const std::string& set, int n) {
  const Keys& d = keysOf(set, n);
  auto fill = [&](bench::BoostStrings& map) {
    for (int i = 0; i < n; ++i) map.try_emplace(d.keys[i], d.contents[i]);
  };
  if (workload == "build" || workload == "grow") {
    auto run = [&] {
      bench::BoostStrings map;
      if (workload == "build") map.reserve(static_cast<std::size_t>(n));
      fill(map);
      benchmark::DoNotOptimize(map);
    };
    run();
    for (auto _ : state) run();
  } else if (workload == "hit" || workload == "miss") {
    bench::BoostStrings map;
    map.reserve(static_cast<std::size_t>(n));
    fill(map);
    const auto& probes = workload == "hit" ? d.hitPointers : d.absentPointers;
    std::vector<char> found(n);
    std::vector<int> contents(n);
    for (auto _ : state) {
      for (int i = 0; i < n; ++i) {
        const auto it = map.find(std::string_view(probes[i]));
        found[i] = it != map.end();
        if (it != map.end()) contents[i] = it->second;
      }
      benchmark::ClobberMemory();
    }
  } else if (workload == "set") {
    bench::BoostStrings map;
    map.reserve(static_cast<std::size_t>(n));
    fill(map);
    int round = 0;
    for (auto _ : state) {
      ++round;
      for (const char* key : d.hitPointers) map.insert_or_assign(std::string(key), round);
    }
  } else if (workload == "remove") {
    for (auto _ : state) {
      state.PauseTiming();
      bench::BoostStrings map;
      map.reserve(static_cast<std::size_t>(n));
      fill(map);
      state.ResumeTiming();
      for (const char* key : d.hitPointers) map.erase(std::string_view(key));
      benchmark::DoNotOptimize(map);
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

int registerAll() {
  const char* const workloads[] = {"build", "hit", "miss", "grow", "set", "remove"};
  const char* const fileWorkloads[] = {"load", "loadhit", "loadremove"};
  for (int n : {20000, 200000}) {
    for (const std::string set : {"skip40", "plain40", "space24", "plain24"}) {
      const bool colliding = set == "skip40" || set == "space24";
      auto add = [&](const std::string& workload, const char* who, auto run) {
        const std::string name = workload + "_" + set + "/" + who + "/" + std::to_string(n);
        benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& s) { run(s, workload, set, n); })
            ->Unit(benchmark::kMicrosecond);
      };
      for (const char* workload : workloads) {
        add(workload, "kel", kelWorkload);
        if (colliding) add(workload, "boost", boostWorkload);
      }
      if (set == "skip40" || set == "plain40")
        for (const char* workload : fileWorkloads) add(workload, "kel", kelWorkload);
    }
  }
  for (int size : {2, 4, 8, 12, 16, 24, 32, 64})
    for (const char* workload : {"build", "hit"}) {
      const std::string set = "group" + std::to_string(size);
      const std::string name = std::string(workload) + "_" + set + "/kel/20000";
      benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& s) { kelWorkload(s, workload, set, 20000); })
          ->Unit(benchmark::kMicrosecond);
    }
  return 0;
}

const int registered = registerAll();

}  // namespace
