// makeHashTableDs on an integer column of one million rows, of which a share
// is held in the host's row cache and the rest is read from the record file.
//
//   import_lng/<cached percent>   build the table from the column, then close it
//
// items_per_second counts rows imported. reads_per_file_row is the number of
// read system calls the process made during an import (Linux /proc/self/io,
// syscr) divided by the number of rows read from the file: the import makes
// one lseek and one read per uncached row and nothing per cached row, so
// this stays at 1 (or is 0 when every row is cached).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "kelLibrary.h"
#include "tests/support/dataSetFixture.h"

namespace {

constexpr int32_t kRows = 1000000;

long readSyscalls() {
  std::ifstream io("/proc/self/io");
  std::string name;
  long value = 0;
  while (io >> name >> value)
    if (name == "syscr:") return value;
  return -1;
}

void importLng(benchmark::State& state) {
  const KelHashTableFun& ht = kelLibrary();
  const int32_t cached = static_cast<int32_t>(kRows * state.range(0) / 100);
  const int32_t firstCached = (kRows - cached) / 2;  // the file rows lie on both sides

  std::mt19937 random(0x6b656c44);
  std::vector<int32_t> cells(kRows);
  for (int32_t& cell : cells) cell = static_cast<int32_t>(random());
  const std::vector<int32_t> cachedCells(cells.begin() + firstCached,
                                         cells.begin() + firstCached + cached);
  kel::test::HostDataSet host;
  host.recordFile(cells).rowCache(firstCached, cachedCells);
  std::vector<int> contents(kRows);
  for (int32_t i = 0; i < kRows; ++i) contents[i] = i;

  const long probe = readSyscalls();
  const long probeReads = readSyscalls() - probe;  // what reading the counter itself costs
  long reads = 0;
  for (auto _ : state) {
    const long before = readSyscalls();
    ht.makeHashTableDs(&host.ds, kel::test::HostDataSet::kIntegerColumn, contents.data());
    reads += readSyscalls() - before - probeReads;
    state.PauseTiming();
    ht.close();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kRows);
  const int32_t fileRows = kRows - cached;
  state.counters["reads_per_file_row"] =
      fileRows > 0 ? static_cast<double>(reads) / (static_cast<double>(fileRows) * state.iterations())
                   : static_cast<double>(reads);
}

BENCHMARK(importLng)->Name("import_lng")->Arg(0)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace
