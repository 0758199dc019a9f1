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

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "kelLibrary.h"

namespace {

constexpr int32_t kRows = 1000000;
constexpr int32_t kRecordLength = 8;  // one integer column at byte 4

long readSyscalls() {
  std::ifstream io("/proc/self/io");
  std::string name;
  long value = 0;
  while (io >> name >> value)
    if (name == "syscr:") return value;
  return -1;
}

// A host's data set with one integer column: a record file of every row and
// a row cache of the rows first .. first + cached - 1.
struct HostDataSet {
  HostDataSet(const std::vector<int32_t>& cells, int32_t first, int32_t cached)
      : path("/tmp/kelImportBench-" + std::to_string(getpid()) + ".records") {
    std::vector<unsigned char> bytes(cells.size() * kRecordLength, 0xA5);
    for (std::size_t row = 0; row < cells.size(); ++row)
      for (int i = 0; i < 4; ++i)
        bytes[row * kRecordLength + 4 + i] = static_cast<unsigned char>(static_cast<uint32_t>(cells[row]) >> (8 * i));
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
    std::fclose(f);
    fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) std::abort();
    cache.assign(bytes.begin() + first * kRecordLength, bytes.begin() + (first + cached) * kRecordLength);
    files.recordFile = fd;
    files.stringFile = -1;
    ds.files = &files;
    ds.columnKinds = kinds;
    ds.columnOffsets = offsets;
    ds.recordLength = kRecordLength;
    ds.stringCounts = counts;
    ds.rowCount = static_cast<intptr_t>(cells.size());
    ds.rowCacheBase = cache.data();
    ds.firstCachedRow = first;
    ds.cachedRowCount = cached;
  }
  ~HostDataSet() {
    ::close(fd);
    std::remove(path.c_str());
  }
  std::string path;
  int fd = -1;
  std::vector<unsigned char> cache;
  int32_t kinds[1] = {2}, offsets[1] = {4}, counts[1] = {0};
  DataSetFiles files{};
  DataSet ds{};
};

void importLng(benchmark::State& state) {
  const KelHashTableFun& ht = kelLibrary();
  const int32_t cached = static_cast<int32_t>(kRows * state.range(0) / 100);
  const int32_t firstCached = (kRows - cached) / 2;  // the file rows lie on both sides

  std::mt19937 random(0x6b656c44);
  std::vector<int32_t> cells(kRows);
  for (int32_t& cell : cells) cell = static_cast<int32_t>(random());
  HostDataSet host(cells, firstCached, cached);
  std::vector<int> contents(kRows);
  for (int32_t i = 0; i < kRows; ++i) contents[i] = i;

  const long probe = readSyscalls();
  const long probeReads = readSyscalls() - probe;  // what reading the counter itself costs
  long reads = 0;
  for (auto _ : state) {
    const long before = readSyscalls();
    ht.makeHashTableDs(&host.ds, 0, contents.data());
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
