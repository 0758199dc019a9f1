// The library as the benchmarks reach it: loaded once, privately, through
// the public header's loader, exactly as a host loads it. Benchmarks never
// link the library with -l: one export is named close and would take over
// POSIX close in the benchmark process.
//
// KEL_BENCH_LIBRARY, when set, names another build of the library to load
// instead of the one this program was built with (to compare two builds).
#pragma once

#include <cstdio>
#include <cstdlib>

#include "kelHashTableFun.h"

#ifndef KEL_LIBRARY_PATH
#error "KEL_LIBRARY_PATH must name the built library (see bench/CMakeLists.txt)"
#endif

inline const KelHashTableFun& kelLibrary() {
  static const KelHashTableFun api = [] {
    const char* path = std::getenv("KEL_BENCH_LIBRARY");
    if (path == nullptr || *path == '\0') path = KEL_LIBRARY_PATH;
    KelHashTableFun loaded;
    if (!kelHashTableFunLoad(&loaded, path)) {
      std::fprintf(stderr, "cannot load %s\n", path);
      std::exit(2);
    }
    return loaded;
  }();
  return api;
}
