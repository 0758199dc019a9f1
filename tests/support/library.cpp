#include "tests/support/library.h"

#include <cstdio>
#include <cstdlib>

namespace kel::test {

const KelHashTableFun& library() {
  static const KelHashTableFun loaded = [] {
    KelHashTableFun api;
    if (!kelHashTableFunLoad(&api, KEL_LIBRARY_PATH)) {
      std::fprintf(stderr, "cannot load %s\n", KEL_LIBRARY_PATH);
      std::abort();
    }
    return api;
  }();
  return loaded;
}

}  // namespace kel::test
