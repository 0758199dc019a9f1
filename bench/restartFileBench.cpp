// Writing and reading the restart file of a table of path-like keys
// (bench/keySets.h), through the exports as a host calls them, against what
// the same bytes cost without the library:
//
//   dump_path/kel       dumpToRestartFile of the current table
//   dump_path/raw       the same bytes, already in memory, written with one
//                       fwrite to a temporary file that is flushed to disk,
//                       renamed over the previous file and its directory
//                       flushed: the same flush the dump makes
//   load_path/kel       makeHashTableFromBinFile of the file the dump wrote
//   load_path/raw       the file read with one fread into a buffer allocated
//                       (and touched) beforehand, plus one malloc and copy
//                       per string key
//
// Closing the table, and freeing the raw load's blocks, are not timed.
// items_per_second counts entries.
#include <benchmark/benchmark.h>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "keySets.h"
#include "kelLibrary.h"

namespace {

std::string scratchPath(const char* what) {
  return "/tmp/kelRestartBench-" + std::string(what) + "-" + std::to_string(getpid()) + ".bin";
}

void buildPathTable(int n) {
  const bench::StringKeys& d = bench::stringKeys(bench::KeySet::kPath, n);
  kelLibrary().makeHashTableStrList(const_cast<const char**>(d.keyPointers.data()), n,
                                    d.contents.data());
}

// The restart file of a table of n path-like keys, written to a scratch
// path; no table is left current.
std::string dumpedPathTable(int n, const char* what) {
  buildPathTable(n);
  const std::string path = scratchPath(what);
  kelLibrary().dumpToRestartFile(path.c_str());
  kelLibrary().close();
  return path;
}

std::vector<char> fileBytes(const std::string& path) {
  std::vector<char> bytes;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    char chunk[1 << 16];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    std::fclose(f);
  }
  return bytes;
}

void kelDump(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  buildPathTable(n);
  const std::string path = scratchPath("dump");
  for (auto _ : state) kelLibrary().dumpToRestartFile(path.c_str());
  kelLibrary().close();
  std::remove(path.c_str());
  state.SetItemsProcessed(state.iterations() * n);
}

void rawDump(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::string path = dumpedPathTable(n, "raw-dump");
  const std::vector<char> bytes = fileBytes(path);
  const std::string temporary = path + ".tmp";
  for (auto _ : state) {
    std::FILE* f = std::fopen(temporary.c_str(), "wb");
    if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
    std::fflush(f);
    fsync(fileno(f));
    std::fclose(f);
    std::rename(temporary.c_str(), path.c_str());
    if (DIR* dir = opendir("/tmp")) {
      fsync(dirfd(dir));
      closedir(dir);
    }
  }
  std::remove(path.c_str());
  state.SetItemsProcessed(state.iterations() * n);
}

void kelLoad(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::string path = dumpedPathTable(n, "load");
  for (auto _ : state) {
    kelLibrary().makeHashTableFromBinFile(path.c_str());
    state.PauseTiming();
    kelLibrary().close();
    state.ResumeTiming();
  }
  std::remove(path.c_str());
  state.SetItemsProcessed(state.iterations() * n);
}

void rawLoad(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::string path = dumpedPathTable(n, "raw-load");
  // Where every string key starts in the file, and its length with the NUL.
  std::vector<std::size_t> offsets, lengths;
  {
    const std::vector<char> bytes = fileBytes(path);
    std::size_t at = 8;
    auto i32 = [&] {
      int32_t v;
      std::memcpy(&v, &bytes[at], 4);
      at += 4;
      return v;
    };
    while (at < bytes.size()) {
      i32();
      const int32_t chain = i32();
      for (int32_t e = 0; e < chain; ++e) {
        i32();
        const bool isLong = bytes[at++] != 0;
        if (isLong) {
          i32();
          continue;
        }
        const std::size_t length = std::strlen(&bytes[at]) + 1;
        offsets.push_back(at);
        lengths.push_back(length);
        at += length;
      }
    }
  }
  std::vector<char*> keys(offsets.size());
  std::vector<char> buffer(fileBytes(path).size());
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    char* bytes = buffer.data();
    if (std::fread(bytes, 1, buffer.size(), f) != buffer.size()) std::abort();
    std::fclose(f);
    for (std::size_t k = 0; k < offsets.size(); ++k) {
      keys[k] = static_cast<char*>(std::malloc(lengths[k]));
      std::memcpy(keys[k], bytes + offsets[k], lengths[k]);
    }
    benchmark::DoNotOptimize(keys.data());
    state.PauseTiming();
    for (char* key : keys) std::free(key);
    state.ResumeTiming();
  }
  std::remove(path.c_str());
  state.SetItemsProcessed(state.iterations() * n);
}

BENCHMARK(kelDump)->Name("dump_path/kel")->Arg(1000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(rawDump)->Name("dump_path/raw")->Arg(1000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(kelLoad)->Name("load_path/kel")->Arg(1000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(rawLoad)->Name("load_path/raw")->Arg(1000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
