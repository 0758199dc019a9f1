// The library as the benchmarks reach it: loaded once, privately, through
// the public header's loader, exactly as a host loads it. Benchmarks never
// link the library with -l: one export is named close and would take over
// POSIX close in the benchmark process.
#pragma once

#include <cstdio>
#include <cstdlib>

#include "kelHashTableFun.h"

#ifndef KEL_LIBRARY_PATH
#error "KEL_LIBRARY_PATH must name the built library (see bench/CMakeLists.txt)"
#endif

inline const KelHashTableFun& kelLibrary() {
  static const KelHashTableFun api = [] {
    KelHashTableFun loaded;
    if (!kelHashTableFunLoad(&loaded, KEL_LIBRARY_PATH)) {
      std::fprintf(stderr, "cannot load %s\n", KEL_LIBRARY_PATH);
      std::exit(2);
    }
    return loaded;
  }();
  return api;
}
