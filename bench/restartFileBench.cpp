// Writing and reading the restart file of a table of string keys, through
// the exports as a host calls them: dumpToRestartFile of the current table,
// and makeHashTableFromBinFile of the file it wrote. Both go through
// buffered bulk I/O; the dump includes flushing the file to disk and the
// rename over the previous file.
//
// items_per_second counts entries written or read.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "kelLibrary.h"

namespace {

// A scratch file for one benchmark, removed afterwards.
std::string scratchPath(const char* what) {
  return "/tmp/kelRestartBench-" + std::string(what) + "-" + std::to_string(getpid()) + ".bin";
}

void buildStringTable(const KelHashTableFun& ht, int count) {
  std::vector<std::string> names;
  names.reserve(count);
  for (int i = 0; i < count; ++i) names.push_back("customer/" + std::to_string(i * 7919) + "/name");
  std::vector<const char*> keys;
  std::vector<int> contents;
  for (int i = 0; i < count; ++i) {
    keys.push_back(names[i].c_str());
    contents.push_back(i);
  }
  ht.makeHashTableStrList(keys.data(), count, contents.data());
}

void BM_dump(benchmark::State& state) {
  const KelHashTableFun& ht = kelLibrary();
  const int count = static_cast<int>(state.range(0));
  buildStringTable(ht, count);
  const std::string path = scratchPath("dump");
  for (auto _ : state) ht.dumpToRestartFile(path.c_str());
  state.SetItemsProcessed(state.iterations() * count);
  ht.close();
  std::remove(path.c_str());
}

void BM_load(benchmark::State& state) {
  const KelHashTableFun& ht = kelLibrary();
  const int count = static_cast<int>(state.range(0));
  buildStringTable(ht, count);
  const std::string path = scratchPath("load");
  ht.dumpToRestartFile(path.c_str());
  ht.close();
  for (auto _ : state) {
    ht.makeHashTableFromBinFile(path.c_str());
    state.PauseTiming();
    ht.close();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * count);
  std::remove(path.c_str());
}

BENCHMARK(BM_dump)->Name("restart_dump_str")->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_load)->Name("restart_load_str")->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
