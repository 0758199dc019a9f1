// The library, loaded the way hosts load it (the public header's loader),
// for the commands that build or search a table.
//
// Where it is found: the path given with --library, else the one in the
// KELHT_LIBRARY environment variable, else beside kelht's own executable,
// else in the installed library folder relative to it (KELHT_LIBRARY_DIR,
// set by the build).
#pragma once

#include <string>

#include "kelHashTableFun.h"

namespace kelht {

class Library {
 public:
  // `path` empty: found as above. Loading waits for the first use.
  explicit Library(std::string path) : path_(std::move(path)) {}
  ~Library();
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  // The loaded exports; a Failure when the library cannot be loaded.
  const KelHashTableFun& operator*();
  const KelHashTableFun* operator->() { return &**this; }

 private:
  std::string path_;
  KelHashTableFun api_{};
  bool loaded_ = false;
};

}  // namespace kelht
